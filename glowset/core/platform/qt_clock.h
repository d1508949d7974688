// The real clock: timers on QTimer, waits on Qt's event loop.
#pragma once

#include "glowset/core/platform/clock.h"

namespace glowset {

class QtClock : public Clock {
  public:
    std::unique_ptr<Timer> createTimer(int intervalMilliseconds) override;
    void processEvents() override;
    long long nowMilliseconds() const override;
};

}  // namespace glowset
