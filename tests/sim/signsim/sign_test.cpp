#include "sim/signsim/sign.h"

#include <gtest/gtest.h>

namespace signsim {
namespace {

using Replies = std::vector<std::string>;

// 2024-03-05 09:07:03 local time.
std::time_t fixedNow() {
    std::tm t{};
    t.tm_year = 124, t.tm_mon = 2, t.tm_mday = 5, t.tm_hour = 9, t.tm_min = 7, t.tm_sec = 3;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

TEST(Sign, RepliesToEveryCommand) {
    const struct { const char* command; Replies replies; } cases[] = {
        // clang-format off
        {"<DF pr=2 f=3 c=0 s=1 a=2 sp=2 p=5 b=0 t=10>", {"default 2"}}, {"<DF pr=0 f=0 c=0 s=0 a=0 sp=0 p=0 b=0 t=>", {"default 0"}},
        {"<DF pr=5 f=0 c=0 s=0 a=0 sp=0 p=0 b=0 t=1>", {"error"}}, {"<DF pr=1 f=25 c=0 s=0 a=0 sp=0 p=0 b=0 t=1>", {"error"}},
        {"<DF pr=1 f=-1 c=-1 s=-1 a=-1 sp=-1 p=-1 b=-1 t=1>", {"error"}}, {"<DF pr=1 f=0 c=0 s=0 a=0 sp=0 p=0 b=0 t=abc>", {"error"}},
        {"<id=auto>", {"Auto ID"}}, {"<id=user>", {"User ID"}}, {"<UC>RESET 12", {"user cmd"}}, {"<UC>", {"user cmd"}},
        {"<link id=3 cap=0>", {"delinked"}}, {"<link id=3 cap=1234,5678 pr=1>", {"linked 3"}},
        {"<link id=8 cap=1 pr=1>", {"error"}}, {"<link id=3 cap=12,,3 pr=1>", {"error"}}, {"<FD>", {"done"}},
        {"<DF f=1 c=2 s=0 a=0 sp=0 p=0>Hi", {"default message"}}, {"<del id=def>", {"done"}},
        {"<id=4 f=1 s=0 c=3 a=0 b=0 p=0 sp=0 t=5>Test", {"done"}}, {"<id=9 f=1 s=0 c=3 a=0 b=0 p=0 sp=0 t=5>Test", {"error"}},
        {"<TIME f=1 c=2 s=0 a=0 sp=0 p=0 fm=2>IDLE ON", {"done"}}, {"<TIME>IDLE OFF", {"done"}},
        {"<Time time=09:07:03 date=2024/03/05-2>SET TIME", {"done"}}, {"<Time time=25:07:03 date=2024/03/05-2>SET TIME", {"error"}},
        {"RESET", {"done"}}, {"TIME_STATUS", {"TIME:STATUS:0"}}, {"hello", {"error"}}, {"<nonsense>", {"error"}},
        {"<DF pr=1", {"error"}}, {"", {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        Sign sign({"XY12", "4"}, fixedNow);
        EXPECT_EQ(sign.handleCommand(c.command), c.replies) << c.command;
    }
}

TEST(Sign, FramingOnTheLine) {
    Sign sign({"XY12", {}}, fixedNow);
    // Two commands in one write, one split over two writes, LF ignored.
    EXPECT_EQ(sign.receive("<id=auto>\r<id=us"), "Auto ID\n");
    EXPECT_EQ(sign.receive("er>\r\n"), "User ID\n");
    // The idle switches come without a terminator.
    EXPECT_EQ(sign.receive("<TIME>IDLE ON"), "done\n");
    EXPECT_TRUE(sign.state().idle.on);
    EXPECT_EQ(sign.receive("TIME_STATUS\r"), "TIME:STATUS:1\n");
    // An endless line without CR is dropped instead of growing.
    EXPECT_EQ(sign.receive(std::string(5000, 'x')), "error\n");
    EXPECT_EQ(sign.receive("\r"), "");
}

TEST(Sign, DisplayShowsFontsColoursAndTheClock) {
    Sign sign({"XY12", {}}, fixedNow);
    EXPECT_EQ(sign.display().what, "");
    sign.handleCommand("<DF f=1 c=2 s=0 a=0 sp=0 p=0>Open $T2");
    EXPECT_EQ(sign.display().what, "default message");
    EXPECT_EQ(sign.display().plainText(), "Open 09:07");

    sign.handleCommand("<Time time=23:59:00 date=2024/12/31-2>SET TIME");
    EXPECT_EQ(sign.display().plainText(), "Open 23:59");
    const std::tm clock = sign.clockTime();
    EXPECT_EQ(clock.tm_year, 124);
    EXPECT_EQ(clock.tm_mon, 11);

    sign.handleCommand("<id=2 f=3 s=0 c=3 a=0 b=0 p=0 sp=0 t=5>Red$CEGreen$LBig$FVx");
    const ShownMessage shown = sign.display();
    EXPECT_EQ(shown.what, "test message 2");
    const std::vector<ShownSegment> expected = {{"Red", 3, 3}, {"Green\nBig", 3, 4}, {"x", 21, 4}};
    EXPECT_EQ(shown.segments, expected);
}

}  // namespace
}  // namespace signsim
