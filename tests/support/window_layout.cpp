#include "tests/support/window_layout.h"

#include "tests/support/accessible_names.h"

#include <QtWidgets>

#include <algorithm>

namespace testsupport {
namespace {

// A widget that is a part of a composite control rather than a control of
// the window: below a scroll area, a combo box or a spin box, or Qt's own.
bool isInternalPart(const QWidget* widget, const QWidget& window) {
    if (widget->objectName().startsWith("qt_")) return true;
    for (const QWidget* up = widget->parentWidget(); up && up != &window; up = up->parentWidget()) {
        if (up->objectName().startsWith("qt_") || qobject_cast<const QAbstractScrollArea*>(up) ||
            qobject_cast<const QComboBox*>(up) || qobject_cast<const QAbstractSpinBox*>(up) ||
            qobject_cast<const QMenuBar*>(up)) {
            return true;
        }
    }
    return false;
}

QString describe(const QWidget* w) {
    return w->objectName().isEmpty() ? QString("a ") + w->metaObject()->className()
                                     : w->objectName();
}

// The caption a control shows in one line, if any.
QString captionOf(const QWidget* w) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(w); label && !label->wordWrap()) {
        return label->text();
    }
    return {};
}

// Where a control draws its caption, as its style lays it out.
QRect captionRoom(const QWidget* w) {
    const auto element = qobject_cast<const QPushButton*>(w)    ? QStyle::SE_PushButtonContents
                         : qobject_cast<const QCheckBox*>(w)    ? QStyle::SE_CheckBoxContents
                         : qobject_cast<const QRadioButton*>(w) ? QStyle::SE_RadioButtonContents
                                                                : QStyle::SE_CustomBase;
    if (element == QStyle::SE_CustomBase) return w->contentsRect();
    QStyleOptionButton option;
    option.initFrom(w);
    option.text = static_cast<const QAbstractButton*>(w)->text();
    return w->style()->subElementRect(element, &option, w);
}

std::string clipped(const QWidget* w) {
    const QString caption = captionOf(w);
    if (caption.isEmpty()) return {};
    const QSize needs = w->fontMetrics().size(Qt::TextShowMnemonic, caption);
    const QRect room = captionRoom(w);
    if (room.width() >= needs.width() && room.height() >= needs.height()) return {};
    return QString("%1 cuts off \"%2\" (%3x%4 of %5x%6)")
        .arg(describe(w), caption)
        .arg(room.width())
        .arg(room.height())
        .arg(needs.width())
        .arg(needs.height())
        .toStdString();
}

// The window's own controls, without the parts a composite control is made of.
std::vector<QWidget*> ownControls(const QWidget& window) {
    std::vector<QWidget*> controls;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (w->window() == &window && !isInternalPart(w, window)) controls.push_back(w);
    }
    return controls;
}

}  // namespace

std::vector<std::string> layoutFaults(const QWidget& window,
                                      const std::vector<QString>& mayLieOutside) {
    std::vector<QWidget*> shown;
    for (QWidget* w : ownControls(window)) {
        if (w->isVisibleTo(&window)) shown.push_back(w);
    }
    const auto excepted = [&](const QWidget* w) {
        return std::find(mayLieOutside.begin(), mayLieOutside.end(), w->objectName()) !=
               mayLieOutside.end();
    };
    std::vector<std::string> faults;
    for (size_t i = 0; i < shown.size(); ++i) {
        const QWidget* w = shown[i];
        if (std::string why = clipped(w); !why.empty()) faults.push_back(why);
        // Inside its parent and so, parent by parent, inside the window.
        const QWidget* parent = w->parentWidget();
        if (!parent->rect().contains(w->geometry()) && !excepted(w)) {
            // A main window's controls sit on its unnamed central widget.
            const QString room = parent == &window || parent->objectName().isEmpty()
                                     ? QString("its window")
                                     : describe(parent);
            faults.push_back((describe(w) + " lies outside " + room).toStdString());
        }
        for (size_t j = i + 1; j < shown.size(); ++j) {
            const QWidget* other = shown[j];
            if (other->parentWidget() == w->parentWidget() &&
                w->geometry().intersects(other->geometry())) {
                faults.push_back((describe(w) + " overlaps " + describe(other)).toStdString());
            }
        }
    }
    return faults;
}

std::vector<std::string> unnamedInputControls(const QWidget& window) {
    std::vector<std::string> unnamed;
    for (QWidget* w : ownControls(window)) {
        // A control hidden for good (kept for what it stores) is never reached.
        if (!takesInput(w) || w->isHidden()) continue;
        if (w->objectName().isEmpty()) {
            unnamed.push_back(describe(w).toStdString() + " has no object name");
        } else if (spokenName(w).isEmpty()) {
            unnamed.push_back(describe(w).toStdString() + " has no name a screen reader speaks");
        }
    }
    return unnamed;
}

}  // namespace testsupport
