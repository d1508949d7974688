// What a screen reader calls a control: its accessible name or a buddy label's text; a
// combo box speaks its entry, so only a labelled-by label names it.
#pragma once

#include <QtWidgets>

namespace testsupport {

inline QString labelledBy(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    if (!iface) return {};
    for (const auto& [label, relation] : iface->relations(QAccessible::Label)) {
        if (label && !label->text(QAccessible::Name).trimmed().isEmpty()) {
            return label->text(QAccessible::Name).trimmed();
        }
    }
    return {};
}

// What a screen reader would call the widget ("" when it has no name).
inline QString spokenName(QWidget* widget) {
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (combo->lineEdit() && !combo->lineEdit()->accessibleName().isEmpty()) {
            return combo->lineEdit()->accessibleName();
        }
        return labelledBy(widget);
    }
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    const QString name = iface ? iface->text(QAccessible::Name).trimmed() : QString();
    return name.isEmpty() ? labelledBy(widget) : name;
}

inline bool takesInput(QWidget* widget) {
    if (qobject_cast<QLineEdit*>(widget) && qobject_cast<QComboBox*>(widget->parentWidget())) {
        return false;  // an editable combo box's own line: the combo box is named
    }
    return qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
           qobject_cast<QLineEdit*>(widget) || qobject_cast<QTextEdit*>(widget) ||
           qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QAbstractSpinBox*>(widget) ||
           qobject_cast<QAbstractSlider*>(widget) || widget->focusPolicy() != Qt::NoFocus;
}

}  // namespace testsupport
