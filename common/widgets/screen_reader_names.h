// Names for controls as a screen reader speaks them.
//
// A line edit or button is named by its accessible name, or by a label
// whose buddy it is. A combo box is different: on Linux its accessible name
// is its current entry, and only a label tied to it (a "labelled by"
// relation) says what it is for. A combo box with no label of its own
// beside it (a cell of a grid under a column header) gets an invisible one.
#pragma once

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace widgets {

inline void nameForScreenReaders(QWidget* control, const QString& name) {
    control->setAccessibleName(name);
    auto* combo = qobject_cast<QComboBox*>(control);
    if (!combo) return;
    if (combo->lineEdit()) combo->lineEdit()->setAccessibleName(name);
    auto* label = new QLabel(name, control->parentWidget());
    label->setObjectName(control->objectName() + "_name");
    label->setBuddy(control);
    label->hide();
}

// Ties a visible label to the control it stands beside.
inline void labelFor(QLabel* label, QWidget* control) {
    label->setBuddy(control);
    if (!qobject_cast<QComboBox*>(control)) {
        control->setAccessibleName(label->text().remove('&').remove(':').trimmed());
    }
}

// A label that is followed like a link (a picture that opens a web site):
// readers announce it as a link, and it takes the keyboard focus.
inline void presentAsLink(QLabel* label, const QString& name) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory([](const QString& className, QObject* object) {
            QAccessibleInterface* link = nullptr;
            if (className == "QLabel" && object->property("presentAsLink").toBool()) {
                link = new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Link);
            }
            return link;
        });
        return true;
    }();
    (void)factoryInstalled;
    label->setProperty("presentAsLink", true);
    label->setFocusPolicy(Qt::StrongFocus);
    label->setAccessibleName(name);
}

}  // namespace widgets
