#include "glowset/core/platform/clock.h"

namespace glowset {

void sleepTicks(Clock& clock, int count, const std::function<bool()>& stop) {
    const long long deadline = clock.nowMilliseconds() + 10LL * (count > 0 ? count : 0);
    // A timer of its own wakes the wait at its deadline, so the real clock
    // blocks in between instead of spinning.
    auto wake = clock.createTimer(count > 0 ? 10 * count : 1);
    wake->onTick = [] {};
    wake->setEnabled(true);
    while (clock.nowMilliseconds() < deadline && !(stop && stop())) clock.processEvents();
}

}  // namespace glowset
