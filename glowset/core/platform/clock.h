// Time as the session and the windows see it: timers with an interval and a tick handler,
// and event processing for waits. The real clock runs on Qt's event loop;
// the virtual clock lets tests run minutes of timer-driven work in
// milliseconds, the same way on every run.
#pragma once

#include <functional>
#include <memory>

namespace glowset {

class Timer {
  public:
    virtual ~Timer() = default;
    // Changing the interval of a running timer restarts its count.
    virtual void setInterval(int milliseconds) = 0;
    virtual int interval() const = 0;
    // Switching a running timer on again does not restart its count.
    virtual void setEnabled(bool enabled) = 0;
    virtual bool enabled() const = 0;

    // Runs on every tick. A tick that falls due while the handler of the same
    // timer is still running (inside a wait) is skipped.
    std::function<void()> onTick;
};

class Clock {
  public:
    virtual ~Clock() = default;
    // A new timer, switched off.
    virtual std::unique_ptr<Timer> createTimer(int intervalMilliseconds) = 0;
    // Handles what is pending (timer ticks, serial data, window input); when
    // nothing is, waits for the next event instead of spinning.
    virtual void processEvents() = 0;
    // Milliseconds on this clock's own time line.
    virtual long long nowMilliseconds() const = 0;
};

}  // namespace glowset
