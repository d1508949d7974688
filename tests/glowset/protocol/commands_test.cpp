// Command lines whose bytes depend on their input in ways the window tests do
// not reach: unselected lists, odd time-out text, every placeholder.
#include "glowset/protocol/commands.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

TEST(Commands, LinesBuiltFromTheirFields) {
    PriorityRecord unselected;  // every list without a selection, odd time-out text
    unselected.timeout = "1 5";
    TestMessageParams test;
    test.id = 7, test.font = 1, test.style = 2, test.colour = 3, test.alignment = 0,
    test.beep = 1, test.pause = 4, test.speed = 2, test.timeout = "30";
    const struct { std::string built; const char* expected; } cases[] = {
        {priorityRecordCommand(4, unselected),
         "<DF pr=4 f=-1 c=-1 s=-1 a=-1 sp=-1 p=-1 b=-1 t=1 5>"},
        {defaultMessageCommand(DefaultMessageParams{}, ""), "<DF f=-1 c=-1 s=-1 a=-1 sp=-1 p=-1>"},
        {testMessageCommand(test, "Hi$CD<mm/dd/yyyy>"),
         "<id=7 f=1 s=2 c=3 a=0 b=1 p=4 sp=2 t=30>Hi$CD$T4"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.built, c.expected);
}

}  // namespace
}  // namespace glowset
