// Command lines whose bytes depend on their input: unselected lists, time-out
// text, message encoding and time placeholders.
#include "glowset/protocol/commands.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

TEST(Commands, LinesBuiltFromTheirFields) {
    PriorityRecord p2;
    p2.font = 3, p2.colour = 0, p2.style = 1, p2.alignment = 2, p2.speed = 2, p2.pause = 5,
    p2.beep = 0, p2.timeout = "10";
    PriorityRecord unselected;  // every list without a selection, odd time-out text
    unselected.timeout = "1 5";
    DefaultMessageParams params;
    params.font = 5, params.colour = 3, params.style = 0, params.alignment = 2, params.speed = 1,
    params.pause = 4;
    TestMessageParams test;
    test.id = 7, test.font = 1, test.style = 2, test.colour = 3, test.alignment = 0,
    test.beep = 1, test.pause = 4, test.speed = 2, test.timeout = "30";

    const struct { std::string built; const char* expected; } cases[] = {
        {priorityRecordCommand(2, p2), "<DF pr=2 f=3 c=0 s=1 a=2 sp=2 p=5 b=0 t=10>"},
        {priorityRecordCommand(4, unselected),
         "<DF pr=4 f=-1 c=-1 s=-1 a=-1 sp=-1 p=-1 b=-1 t=1 5>"},
        {linkSetCommand(3, "1234,5678", 1), "<link id=3 cap=1234,5678 pr=1>"},
        // The message is encoded: line breaks and time placeholders.
        {defaultMessageCommand(params, "Now <hh:mm>\r\nDay\r\n"),
         "<DF f=5 c=3 s=0 a=2 sp=1 p=4>Now $T2$LDay"},
        {defaultMessageCommand(DefaultMessageParams{}, ""), "<DF f=-1 c=-1 s=-1 a=-1 sp=-1 p=-1>"},
        {idleTimeDisplayCommand(params, 6), "<TIME f=5 c=3 s=0 a=2 sp=1 p=4 fm=6>IDLE ON"},
        {testMessageCommand(test, "Hi$CD<mm/dd/yyyy>"),
         "<id=7 f=1 s=2 c=3 a=0 b=1 p=4 sp=2 t=30>Hi$CD$T4"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.built, c.expected);
}

}  // namespace
}  // namespace glowset
