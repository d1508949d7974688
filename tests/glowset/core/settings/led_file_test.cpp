#include "glowset/core/settings/led_file.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

using namespace led;  // what a line applies

TEST(WriteLedFile, StartUpStateGivesTheExactBytes) {
    LedSettings settings;  // nothing known yet: empty model, every code -1
    settings.com = 1;
    const std::string expected =
        "Model:\r\nCom:1\r\n"
        "Pri0:-1,-1,-1,-1,-1,-1,-1,\r\nPri1:-1,-1,-1,-1,-1,-1,-1,\r\n"
        "Pri2:-1,-1,-1,-1,-1,-1,-1,\r\nPri3:-1,-1,-1,-1,-1,-1,-1,\r\n"
        "Pri4:-1,-1,-1,-1,-1,-1,-1,\r\n"
        "LinkID0:,-1\r\nLinkID1:,-1\r\nLinkID2:,-1\r\nLinkID3:,-1\r\n"
        "LinkID4:,-1\r\nLinkID5:,-1\r\nLinkID6:,-1\r\nLinkID7:,-1\r\n"
        "DefaultMsg:\r\nDefaultFont:0\r\nDefaultColor:0\r\nDefaultStyle:0\r\n"
        "DefaultAlignment:0\r\nDefaultSpeed:0\r\nDefaultPause:0\r\nAutoID:0\r\n\r\n";
    EXPECT_EQ(writeLedFile(settings), expected);
}

// Each line break of the message is one stored break; an empty line keeps both of its.
TEST(WriteLedFile, EachLineBreakOfTheMessageIsKept) {
    const std::string br(1, '\xAA');
    const std::pair<const char*, std::string> cases[] = {
        {"a\r\nb", "a" + br + "b"},          {"a\n\nb", "a" + br + br + "b"},
        {"a\r\n\r\nb", "a" + br + br + "b"}, {"a\rb", "a" + br + "b"},
        {"a\r\r\nb", "a" + br + br + "b"},   {"\n", br},
    };
    for (const auto& [message, stored] : cases) {
        LedSettings settings;
        settings.defaultMessage = message;
        const std::string file = writeLedFile(settings);
        EXPECT_NE(file.find("\r\nDefaultMsg:" + stored + "\r\nDefaultFont:"), std::string::npos)
            << ::testing::PrintToString(std::string(message));
    }
}

TEST(ReadLedFile, WhatEachLineApplies) {
    const std::pair<const char*, std::vector<LedApplication>> cases[] = {
        {"Model:XY12", {ModelCaption{"XY12"}}},
        {"Com:3", {PortPosition{2}}},
        {"Com:0", {PortPosition{-1}}},
        {"Pri2:5,0,3,2,0,1,0,30", {PriorityValues{2, {{5, 0, 3, 2, 0, 1, 0}, "30"}}}},
        {"pri3:1,2,3,4,0,5,1,10", {PriorityValues{3, {{1, 2, 3, 4, 0, 5, 1}, "10"}}}},
        {"Pri1:1.6,x,3y,,4,5,6,abc", {PriorityValues{1, {{2, 0, 3, 0, 4, 5, 6}, "abc"}}}},
        {"Pri0:1,2,3,4,5,6,7,1,0", {}},  // a time-out with a comma: nine fields, ignored
        {"Pri0:1,2,3", {}},
        {"Pri5:1,2,3,4,5,6,7,8", {}},  // there is no priority 5
        {"LinkID4:1234,2", {LinkCapcodes{4, "1234"}, LinkPriority{4, 2}}},
        {"LinkID4:1234,-1", {LinkCapcodes{4, "1234"}, LinkPriority{4, -1}}},
        {"LinkID4:1234,5", {LinkCapcodes{4, "1234"}}},  // 5 or more: list left alone
        {"LinkID4:1111,2222,1",
         {LinkCapcodes{4, "1111,2222"}, LinkPriority{4, 1}}},  // all ids kept
        {"LinkID4:1111", {LinkCleared{4}}},
        {"LinkID7:", {LinkCleared{7}}},
        {"DefaultMsg:OPEN\xAANOW", {DefaultMessage{"OPEN\xAANOW"}}},
        {"DefaultMsg:Time: 10", {DefaultMessage{"Time: 10"}}},  // the message to the line end
        {"defaultmsg:a,b:c", {DefaultMessage{"a,b:c"}}},
        {"DefaultFont:5", {DefaultCodeValue{kDefFont, 5}}},
        {"DEFAULTPAUSE:-1", {DefaultCodeValue{kDefPause, -1}}},
        {"AutoID:2", {AutoIdValue{2}}},
        {"", {}},
        {"no keys here", {}},
        // Several keys in one line, applied in key order, all with the same value; a message
        // line holds only the message.
        {"x DefaultMsg:1,2,3,4,5,6,7,8 Pri0:",
         {PriorityValues{0, {{1, 2, 3, 4, 5, 6, 7}, "8 Pri0"}},
          DefaultMessage{"1,2,3,4,5,6,7,8 Pri0"}}},
        {"DefaultMsg:1,2,3,4,5,6,7,8 Pri0:", {DefaultMessage{"1,2,3,4,5,6,7,8 Pri0:"}}},
    };
    for (const auto& [line, expected] : cases) {
        const LedReadResult result = readLedFile(line);
        EXPECT_FALSE(result.error) << line << ": " << result.error->description;
        EXPECT_EQ(result.applications, expected) << line;
    }
}

TEST(ReadLedFile, StopsAtTheFirstValueThatIsNotANumber) {
    const struct {
        const char* contents;
        size_t appliedBefore;
        int line;
        int number;
    } cases[] = {
        {"Model:A\r\nCom:x\r\nAutoID:1\r\n", 1, 2, kLedErrorNotANumber},
        {"Com:\r\n", 0, 1, kLedErrorNotANumber},
        {"LinkID2:12,abc\r\nModel:B\r\n", 1, 1, kLedErrorNotANumber},  // capcode applied first
        {"Model:A\nDefaultColor:3x\n", 1, 2, kLedErrorNotANumber},
        {"Model:A\rAutoID:\r", 1, 2, kLedErrorNotANumber},
        {"AutoID:70000\r\n", 0, 1, kLedErrorOutOfRange},
        {"Pri1:99999,0,0,0,0,0,0,5\r\n", 0, 1, kLedErrorOutOfRange},
        {"\r\n\r\nCom:99999\r\n", 0, 3, kLedErrorOutOfRange},
    };
    for (const auto& c : cases) {
        const LedReadResult result = readLedFile(c.contents);
        ASSERT_TRUE(result.error) << c.contents;
        EXPECT_EQ(result.applications.size(), c.appliedBefore) << c.contents;
        EXPECT_EQ(result.error->line, c.line) << c.contents;
        EXPECT_EQ(result.error->number, c.number) << c.contents;
        EXPECT_NE(result.error->description.find("Line " + std::to_string(c.line)),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace glowset
