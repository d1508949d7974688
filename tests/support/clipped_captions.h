// Captions cut off at the fonts in use, and editable lists scrolled to their entry's end.
#pragma once

#include <QtWidgets>

#include <string>
#include <vector>

namespace testsupport {

inline std::vector<std::string> clippedCaptions(QWidget* window) {
    std::vector<std::string> clipped;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->window() != window || !widget->isVisible()) continue;
        QString text;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
        if (auto* label = qobject_cast<QLabel*>(widget); label && !label->wordWrap()) {
            text = label->text();
        }
        auto* combo = qobject_cast<QComboBox*>(widget);
        if (combo && combo->lineEdit() && combo->lineEdit()->cursorPosition() != 0 &&
            !combo->lineEdit()->hasFocus()) {
            clipped.push_back(combo->objectName().toStdString() + " shows the end of " +
                              combo->currentText().toStdString());
        }
        if (text.isEmpty()) continue;
        if (widget->width() < widget->sizeHint().width() ||
            widget->height() < widget->minimumSizeHint().height()) {
            clipped.push_back(text.toStdString() + " (" + std::to_string(widget->width()) + "<" +
                              std::to_string(widget->sizeHint().width()) + ")");
        }
    }
    return clipped;
}

}  // namespace testsupport
