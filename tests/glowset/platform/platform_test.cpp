// Platform pieces that carry logic: the virtual clock, port names and the
// words for a port that cannot be opened.
#include <gtest/gtest.h>

#include "glowset/platform/dialogs.h"
#include "glowset/platform/port_names.h"
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

TEST(PortNames, EnvironmentFirstThenTheNthDevice) {
    PortEnvironment environment{
        [](const std::string& name) -> std::optional<std::string> {
            if (name == "COM3") return "/tmp/sign";
            if (name == "COM4") return "";
            return std::nullopt;
        },
        [] {
            return std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0"};
        }};
    const struct {
        int port;
        std::optional<std::string> device;
    } cases[] = {
        {1, "/dev/ttyUSB0"}, {3, "/tmp/sign"},  {2, "/dev/ttyUSB1"},
        {4, std::nullopt},   {0, std::nullopt}, {13, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(deviceForPort(c.port, environment), c.device) << c.port;
    // COM4 set but empty falls back to the fourth device: there is none.
    std::vector<std::string> devices = {"/dev/ttyUSB10", "/dev/ttyUSB2", "/dev/ttyUSB1"};
    sortByNumber(devices);
    EXPECT_EQ(devices, (std::vector<std::string>{"/dev/ttyUSB1", "/dev/ttyUSB2", "/dev/ttyUSB10"}));
}

TEST(OpenFailure, WordsAUserCanActOn) {
    const struct {
        OpenFailure failure;
        std::string device, group, detail;
        int number;
        std::string text;
    } cases[] = {
        {OpenFailure::NoDevice, "", "", "", kErrorNoDevice,
         "no device for COM2 (plug in an adapter or set COM2=/dev/...)"},
        {OpenFailure::NoDevice, "/dev/ttyUSB0", "", "", kErrorNoDevice,
         "/dev/ttyUSB0 does not exist"},
        {OpenFailure::InUse, "/dev/ttyUSB0", "", "", kErrorPortInUse,
         "/dev/ttyUSB0 is in use by another program"},
        {OpenFailure::NoPermission, "/dev/ttyUSB0", "uucp", "", kErrorNoPermission,
         "no permission for /dev/ttyUSB0: add yourself to the group uucp and log in again"},
        {OpenFailure::NoPermission, "/dev/ttyUSB0", "", "", kErrorNoPermission,
         "no permission for /dev/ttyUSB0: add yourself to the group dialout and log in again"},
        {OpenFailure::Other, "/dev/ttyS0", "", "I/O error", kErrorPortFailed,
         "/dev/ttyS0: I/O error"},
    };
    for (const auto& c : cases) {
        const OpenError error = describeOpenFailure(c.failure, 2, c.device, c.group, c.detail);
        EXPECT_EQ(error.number, c.number);
        EXPECT_EQ(error.description, c.text);
    }
}

TEST(FileFilter, WrittenForQt) {
    EXPECT_EQ(qtFileFilter("Text (*.led) | *.led"), "Text (*.led)");
    EXPECT_EQ(qtFileFilter("ROM Files | *.rom"), "ROM Files (*.rom)");
    EXPECT_EQ(qtFileFilter("*.txt"), "*.txt");
}

}  // namespace
}  // namespace glowset
