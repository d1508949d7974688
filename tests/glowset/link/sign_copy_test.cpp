#include "glowset/link/sign_copy.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

TEST(TimeoutSeconds, OddTextNeverStopsTheProgram) {
    const struct { const char* text; int16_t seconds; } cases[] = {
        {"10", 10},         {"", 0},    {"abc", 0}, {"12.5", 12}, {"13.5", 14}, {"99999", 32767},
        {"-99999", -32768}, {"7 s", 7}, {"1e9", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(timeoutSeconds(c.text), c.seconds) << c.text;
}

TEST(GetChangedRows, FlagsAndCounts) {
    const struct {
        const char* name;
        std::function<void(WindowSettings&)> change;
        int count;
        std::array<bool, 5> priorities;
        std::array<bool, 9> links;
        bool idMode, userCommand;
    } cases[] = {
        // clang-format off
        {"nothing", [](WindowSettings&) {}, 0, {}, {}, false, false},
        {"beep of priority 3", [](WindowSettings& w) { w.priorities[3].codes[6] = 2; }, 1,
         {false, false, false, true, false}, {}, false, false},
        {"time-out with the same value", [](WindowSettings& w) { w.priorities[1].timeoutText = "10.0"; }, 0,
         {}, {}, false, false},
        {"time-out", [](WindowSettings& w) { w.priorities[1].timeoutText = "11"; }, 1,
         {false, true, false, false, false}, {}, false, false},
        {"capcode and its priority count twice", [](WindowSettings& w) { w.capcodes[2] = "77"; w.linkPriorities[2] = 1; }, 2,
         {}, {false, false, true}, false, false},
        {"priority of an empty capcode is not looked at", [](WindowSettings& w) { w.linkPriorities[4] = 3; }, 0,
         {}, {}, false, false},
        {"priority without selection is not looked at", [](WindowSettings& w) { w.capcodes[1] = "5"; w.linkPriorities[1] = -1; }, 1,
         {}, {false, true}, false, false},
        {"user command and id mode", [](WindowSettings& w) { w.userCommand = "X"; w.autoId = 1; }, 2,
         {}, {}, true, true},
        // clang-format on
    };
    for (const auto& c : cases) {
        WindowSettings window;
        SignCopy copy;
        for (int p = 0; p < 5; ++p) {
            window.priorities[p].codes = {1, 2, 3, 4, 0, 5, 1};
            window.priorities[p].timeoutText = "10";
            copy.priorities[p] = {1, 2, 3, 4, 0, 5, 1, 10};
        }
        ChangeFlags flags;
        ASSERT_EQ(getChangedRows(window, copy, flags), 0) << c.name;
        c.change(window);
        EXPECT_EQ(getChangedRows(window, copy, flags), c.count) << c.name;
        EXPECT_EQ(flags.priorityChanged, c.priorities) << c.name;
        EXPECT_EQ(flags.linkChanged, c.links) << c.name;
        EXPECT_EQ(flags.idModeChanged, c.idMode) << c.name;
        EXPECT_EQ(flags.userCommandChanged, c.userCommand) << c.name;
        // The copy took the values over: a second run counts only pending flags.
        ChangeFlags fresh;
        EXPECT_EQ(getChangedRows(window, copy, fresh), 0) << c.name;
    }
}

}  // namespace
}  // namespace glowset
