#include "glowset/core/platform/qt_clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace glowset {
namespace {

class QtTimer : public Timer {
  public:
    explicit QtTimer(int interval) {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(interval);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (running_ || !onTick) return;  // no second run inside a wait
            running_ = true;
            onTick();
            running_ = false;
        });
    }
    void setInterval(int milliseconds) override { timer_.setInterval(milliseconds); }
    int interval() const override { return timer_.interval(); }
    void setEnabled(bool enabled) override {
        if (enabled && !timer_.isActive()) {
            timer_.start();
        } else if (!enabled) {
            timer_.stop();
        }
    }
    bool enabled() const override { return timer_.isActive(); }

  private:
    QTimer timer_;
    bool running_ = false;
};

const QElapsedTimer& startTime() {
    static const QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}

}  // namespace

std::unique_ptr<Timer> QtClock::createTimer(int intervalMilliseconds) {
    return std::make_unique<QtTimer>(intervalMilliseconds);
}

void QtClock::processEvents() {
    // Blocks until something happens (a timer tick at the latest) instead of
    // polling, so a wait costs no processor time.
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

long long QtClock::nowMilliseconds() const {
    return startTime().elapsed();
}

}  // namespace glowset
