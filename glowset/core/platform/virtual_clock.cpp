#include "glowset/core/platform/virtual_clock.h"

#include <limits>

namespace glowset {

class VirtualClock::VirtualTimer : public Timer {
  public:
    VirtualTimer(VirtualClock& clock, int interval)
        : clock_(clock), alive_(clock.alive_), interval_(interval) {}
    ~VirtualTimer() override { unschedule(); }

    void setInterval(int milliseconds) override {
        interval_ = milliseconds;
        if (enabled_) {
            unschedule();
            scheduleNext();
        }
    }
    int interval() const override { return interval_; }
    void setEnabled(bool enabled) override {
        if (enabled == enabled_) return;
        enabled_ = enabled;
        if (enabled) {
            scheduleNext();
        } else {
            unschedule();
        }
    }
    bool enabled() const override { return enabled_; }

  private:
    void scheduleNext() {
        const long long step = interval_ > 0 ? interval_ : 1;
        pending_ = clock_.schedule(clock_.now_ + step, [this] { fire(); });
        scheduled_ = true;
    }
    void unschedule() {
        if (scheduled_ && *alive_) clock_.cancel(pending_);
        scheduled_ = false;
    }
    void fire() {
        scheduled_ = false;
        if (!enabled_) return;
        scheduleNext();  // the next tick is due one interval after this one
        if (running_ || !onTick) return;
        running_ = true;
        onTick();
        running_ = false;
    }

    VirtualClock& clock_;
    std::shared_ptr<bool> alive_;
    int interval_;
    bool enabled_ = false;
    bool running_ = false;
    bool scheduled_ = false;
    Queue::iterator pending_;
};

VirtualClock::VirtualClock() : alive_(std::make_shared<bool>(true)) {}

VirtualClock::~VirtualClock() {
    *alive_ = false;
}

std::unique_ptr<Timer> VirtualClock::createTimer(int intervalMilliseconds) {
    return std::make_unique<VirtualTimer>(*this, intervalMilliseconds);
}

VirtualClock::Queue::iterator VirtualClock::schedule(long long time, std::function<void()> action) {
    return queue_.emplace(Due{time, sequence_++}, std::move(action)).first;
}

void VirtualClock::cancel(Queue::iterator it) {
    queue_.erase(it);
}

void VirtualClock::post(long long delayMilliseconds, std::function<void()> action) {
    schedule(now_ + (delayMilliseconds > 0 ? delayMilliseconds : 0), std::move(action));
}

bool VirtualClock::runNext(long long limit) {
    if (queue_.empty() || queue_.begin()->first.time > limit) return false;
    auto it = queue_.begin();
    if (it->first.time > now_) now_ = it->first.time;
    std::function<void()> action = std::move(it->second);
    queue_.erase(it);
    action();
    return true;
}

void VirtualClock::processEvents() {
    // A wait with nothing scheduled would never end; time still moves on by
    // a tick so a caller polling a condition sees progress.
    if (!runNext(std::numeric_limits<long long>::max())) now_ += 10;
}

void VirtualClock::advance(long long milliseconds) {
    const long long target = now_ + milliseconds;
    while (runNext(target)) {
    }
    if (now_ < target) now_ = target;
}

bool VirtualClock::runUntil(const std::function<bool()>& done, long long limitMilliseconds) {
    const long long limit = now_ + limitMilliseconds;
    while (!done()) {
        if (!runNext(limit)) {
            now_ = limit;
            return done();
        }
    }
    return true;
}

}  // namespace glowset
