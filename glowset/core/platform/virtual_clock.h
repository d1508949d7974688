// A clock whose time moves only when asked: processEvents() jumps to the
// next due timer tick or posted event and runs it. Events due at the same
// moment run in the order they were scheduled.
#pragma once

#include "glowset/core/platform/clock.h"

#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace glowset {

class VirtualClock : public Clock {
  public:
    VirtualClock();
    ~VirtualClock() override;

    std::unique_ptr<Timer> createTimer(int intervalMilliseconds) override;
    void processEvents() override;
    long long nowMilliseconds() const override { return now_; }

    // Runs `action` when the clock reaches now + delay.
    void post(long long delayMilliseconds, std::function<void()> action);
    // Runs everything due up to now + milliseconds, in time order, and ends
    // with the clock at that time (or later, when a handler waited past it).
    void advance(long long milliseconds);
    // Processes events until `done` holds or `limitMilliseconds` have passed;
    // returns whether it holds.
    bool runUntil(const std::function<bool()>& done, long long limitMilliseconds);

  private:
    class VirtualTimer;
    friend class VirtualTimer;
    struct Due {
        long long time;
        long long sequence;
        bool operator<(const Due& other) const {
            return time != other.time ? time < other.time : sequence < other.sequence;
        }
    };
    using Queue = std::map<Due, std::function<void()>>;

    Queue::iterator schedule(long long time, std::function<void()> action);
    void cancel(Queue::iterator it);
    bool runNext(long long limit);

    long long now_ = 0;
    long long sequence_ = 0;
    Queue queue_;
    std::shared_ptr<bool> alive_;
};

}  // namespace glowset
