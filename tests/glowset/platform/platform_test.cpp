// Platform pieces that carry logic: the virtual clock, port names and the
// words for a port that cannot be opened.
#include <gtest/gtest.h>

#include "glowset/platform/dialogs.h"
#include "glowset/platform/serial_port.h"
#include "glowset/platform/serial_port.h"
#include "glowset/platform/virtual_clock.h"

namespace glowset {
namespace {

TEST(VirtualClock, TimersTickInOrderAndSkipTicksWhileTheirHandlerWaits) {
    VirtualClock clock;
    std::vector<std::pair<long long, char>> log;
    auto fast = clock.createTimer(10);
    auto slow = clock.createTimer(25);
    int slowTicks = 0;
    fast->onTick = [&] { log.push_back({clock.nowMilliseconds(), 'f'}); };
    slow->onTick = [&] {
        log.push_back({clock.nowMilliseconds(), 's'});
        if (++slowTicks == 1) {
            // A wait inside the handler: the timer's own ticks are skipped.
            const long long until = clock.nowMilliseconds() + 60;
            while (clock.nowMilliseconds() < until) clock.processEvents();
        }
    };
    fast->setEnabled(true);
    slow->setEnabled(true);
    clock.advance(100);
    fast->setEnabled(false);
    slow->setEnabled(false);
    std::vector<std::pair<long long, char>> expected = {
        {10, 'f'}, {20, 'f'}, {25, 's'}, {30, 'f'}, {40, 'f'},  {50, 'f'},
        {60, 'f'}, {70, 'f'}, {80, 'f'}, {90, 'f'}, {100, 's'}, {100, 'f'}};
    EXPECT_EQ(log, expected);
}

TEST(VirtualClock, IntervalChangesAndReEnabling) {
    VirtualClock clock;
    auto timer = clock.createTimer(100);
    std::vector<long long> ticks;
    timer->onTick = [&] { ticks.push_back(clock.nowMilliseconds()); };
    timer->setEnabled(true);
    clock.advance(50);
    timer->setEnabled(true);  // already on: the count goes on
    clock.advance(60);        // t=110
    timer->setInterval(30);   // restarts: next at 140
    clock.advance(40);
    timer->setEnabled(false);
    clock.advance(100);
    EXPECT_EQ(ticks, (std::vector<long long>{100, 140}));
}

TEST(FileFilter, WrittenForQt) {
    EXPECT_EQ(qtFileFilter("Text (*.led) | *.led"), "Text (*.led)");
    EXPECT_EQ(qtFileFilter("ROM Files | *.rom"), "ROM Files (*.rom)");
    EXPECT_EQ(qtFileFilter("*.txt"), "*.txt");
}

}  // namespace
}  // namespace glowset
