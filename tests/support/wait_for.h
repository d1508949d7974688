// Qt events until a condition holds; the limit only keeps a hang from stalling the suite.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

namespace testsupport {

inline bool waitFor(const std::function<bool()>& condition, int limitMs = 30000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

}  // namespace testsupport
