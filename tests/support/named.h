// A window's control by object name, as a user finds it by caption.
#pragma once

#include <QAbstractButton>
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

#include <stdexcept>

namespace testsupport {

template <class T = QWidget>
T* named(const QWidget& root, const QString& name) {
    T* found = root.findChild<T*>(name);
    if (!found) throw std::runtime_error("no control named " + name.toStdString());
    return found;
}

// Presses a button as the operator does: a hidden or disabled one cannot be pressed.
inline void press(const QWidget& root, const QString& name) {
    auto* button = named<QAbstractButton>(root, name);
    if (!button->isEnabled() || !button->isVisibleTo(&root)) {
        ADD_FAILURE() << name.toStdString() << " is hidden or disabled";
        return;
    }
    button->click();
}

}  // namespace testsupport
