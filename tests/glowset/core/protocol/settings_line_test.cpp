#include "glowset/core/protocol/settings_line.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

// A line of 90 fields with these link entries, the others empty.
std::string lineWithLinks(const std::vector<std::array<const char*, 3>>& entries) {
    std::string links;
    for (size_t j = 0; j < 16; ++j) {
        if (j < entries.size()) {
            links += std::string(entries[j][0]) + "," + entries[j][1] + "," + entries[j][2] + ",";
        } else {
            links += "0,0,5,";
        }
    }
    std::string priorities;
    for (int p = 0; p < 5; ++p) priorities += "0,0,0,0,0,0,20,5,";
    return "XY12:" + priorities + links + "0,cmd";
}

TEST(LinkBoxes, EntriesJoinPerIdAndTheLaterPriorityWins) {
    LinkEntries entries;
    // clang-format off
    mergeLinkEntries(entries, parseSettingsLine(lineWithLinks({
        {"3", "1111", "1"}, {"3", "2222", "2"}, {"5", "0", "0"}, {"6", "777", "5"}, {"9", "888", "1"},
        {"x", "999", "3"}, {"-3", "333", "1"}, {"99999", "555", "1"}, {"8", "808", "1"}, {"2", "444", "-1"}})));
    // clang-format on
    const auto boxes = linkBoxesFrom(entries);
    EXPECT_EQ(boxes[3].capcodes, "1111,2222");
    EXPECT_EQ(boxes[3].priorityIndex, 2);
    EXPECT_EQ(boxes[3].priorityText, "2");
    EXPECT_EQ(boxes[5].capcodes, "");  // capcode "0" is an empty entry
    EXPECT_EQ(boxes[6].capcodes, "777");
    EXPECT_EQ(boxes[6].priorityIndex, std::nullopt);  // priority 5 or more: list left alone
    EXPECT_EQ(boxes[0].capcodes, "999");  // id text that is no number reads as 0; -3 and 99999 go
    EXPECT_EQ(boxes[0].priorityIndex, 3);
    EXPECT_EQ(boxes[2].priorityIndex, -1);  // below 5: selects -1, clearing the list
    for (int id : {1, 4, 7}) EXPECT_EQ(boxes[id].capcodes, "") << id;

    std::string shortLine = "XY12:";
    for (int i = 0; i < 40; ++i) shortLine += "0,";
    mergeLinkEntries(entries, parseSettingsLine(shortLine + "4,400"));  // ends inside entry 0
    EXPECT_EQ(linkBoxesFrom(entries)[4].priorityIndex, 1);              // entry 0's priority kept
    EXPECT_EQ(linkBoxesFrom(entries)[3].capcodes, "2222");              // entry 1 untouched
}

}  // namespace
}  // namespace glowset
