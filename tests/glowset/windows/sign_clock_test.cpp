#include "glowset/windows/sign_clock.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

TEST(ClockCommand, FieldsArePaddedAndTheWeekdayIsADigit) {
    const struct { LocalTime time; const char* expected; } cases[] = {
        {{2023, 1, 1, 0, 0, 0, 0}, "<Time time=00:00:00 date=2023/01/01-0>SET TIME"},
        {{2026, 12, 31, 23, 59, 59, 4}, "<Time time=23:59:59 date=2026/12/31-4>SET TIME"},
        {{999, 10, 10, 10, 10, 10, 6}, "<Time time=10:10:10 date=999/10/10-6>SET TIME"},
    };
    for (const auto& c : cases) EXPECT_EQ(clockCommand(c.time), c.expected);
}

TEST(IdleDisplayFromReply, OnlyTheThirdFieldOfATimeLineCounts) {
    const struct { const char* line; std::optional<bool> on; } cases[] = {
        {"TIME:STATUS:1", true},   {"TIME:STATUS:0", false}, {"TIME:x:1:more", true},
        {"TIME:x:10", false},      {"TIME:x:", false},       {"TIME::1", true},
        {"TIME:1", std::nullopt},  {"TIME", std::nullopt},   {"time:x:1", std::nullopt},
        {" TIME:x:1", std::nullopt}, {"TIMES:a:1", true},    {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(idleDisplayFromReply(c.line), c.on) << c.line;
}

}  // namespace
}  // namespace glowset
