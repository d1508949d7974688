// Finds a window's control by its object name, as a user finds it by its
// caption: tests press and read controls, never a window's members.
#pragma once

#include <QString>
#include <QWidget>

#include <stdexcept>

namespace testsupport {

template <class T = QWidget>
T* named(const QWidget& root, const QString& name) {
    T* found = root.findChild<T*>(name);
    if (!found) throw std::runtime_error("no control named " + name.toStdString());
    return found;
}

}  // namespace testsupport
