// A window's control by object name, as a user finds it by caption.
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
