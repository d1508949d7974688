#include "glowset/protocol/settings_line.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

// A body of 90 fields: priority P holds the eight values given, the links
// and the tail as given.
std::string body(const std::vector<std::string>& priorities, const std::string& links,
                 const std::string& tail) {
    std::string text;
    for (const auto& p : priorities) text += p + ",";
    return text + links + tail;
}

std::string emptyLinks() {
    std::string text;
    for (int j = 0; j < 16; ++j) text += "0,0,5,";
    return text;
}

TEST(ParseSettingsLine, Header) {
    const struct {
        const char* line;
        const char* model;
        std::optional<std::string> firmware;
    } cases[] = {
        {"XY12:1", "XY12", {}},                 {"XY12,5:1", "XY12", "5"},
        {"DOWNLOAD_ALLXY12,7:1", "XY12", "7"},
        {"DOWNLOAD_ALLXY12DOWNLOAD_ALL,4.1:1", "XY12", "4.1"},
        {"download_allXY12:1", "download_allXY12", {}},  // the echo is removed in exact case only
        {"XY12,:1", "XY12", ""},      {"XY12,3,9:1", "XY12", "3"},  {":1,2", "", {}},
        {"KL404 :1", "KL404 ", {}},
    };
    for (const auto& c : cases) {
        const SettingsLine line = parseSettingsLine(c.line);
        EXPECT_EQ(line.model, c.model) << c.line;
        EXPECT_EQ(line.firmwareCount, c.firmware) << c.line;
    }
}

TEST(ParseSettingsLine, MissingFieldsStayDistinctFromEmptyOnes) {
    const struct {
        const char* line;
        size_t fields;
        int probe;
        std::optional<std::string> value;
    } cases[] = {
        {"M:", 0, 0, {}},           // no body at all
        {"M", 0, 0, {}},            // no colon
        {"M:,", 2, 1, ""},          // an empty field is present
        {"M:1,2", 2, 2, {}},        // the third is missing
        {"M:a:b", 1, 0, "a"},       // only the first two pieces count
        {"M:1,2,3", 3, -1, {}},
    };
    for (const auto& c : cases) {
        const SettingsLine line = parseSettingsLine(c.line);
        EXPECT_EQ(line.body.size(), c.fields) << c.line;
        EXPECT_EQ(line.field(c.probe), c.value) << c.line;
    }
    std::string many = "M:";
    for (int i = 0; i < 120; ++i) many += std::to_string(i) + ",";
    EXPECT_EQ(parseSettingsLine(many).body.size(), 90u);  // more fields are ignored
}

TEST(DecodePriority, ByModel) {
    using D = DecodedPriority;
    const struct {
        const char* model;
        const char* fields;  // font, style, colour, speed, alignment, pause, beep, time-out
        D expected;
    } cases[] = {
        {"XY12", "3,1,2,4,0,5,21,50", D{3, 1, 2, 4, 0, 5, 1, 10}},
        {"TB330", "67,65,66,48,49,48,22,52", D{3, 0, 1, 0, 0, 0, 2, 10}},
        {"RV2210", "64,66,68,52,51,57,20,53", D{0, 1, 3, 4, 2, 9, 0, 11}},
        {"tb330", "67,65,66,48,49,48,22,52", D{67, 65, 66, 48, 49, 48, 2, 10}},  // exact case
        {"XY12", "abc,,7x,-1,2.5,3.5,x,12.5", D{0, 0, 7, -1, 2, 4, -20, 2}},  // text reads as 0
        {"XY12", "1,1,1,1,1,1,1,62.5", D{1, 1, 1, 1, 1, 1, -19, 12}},  // 12.5 rounds to even
        {"XY12", "99999,1,1,1,1,1,32788,999999",
         D{std::nullopt, 1, 1, 1, 1, 1, std::nullopt, std::nullopt}},  // no wrapping
    };
    for (const auto& c : cases) {
        const std::string line = std::string(c.model) + ":" + c.fields;
        EXPECT_EQ(decodePriority(parseSettingsLine(line), 0), c.expected) << line;
    }
}

std::string lineWithLinks(const std::vector<std::array<const char*, 3>>& entries) {
    std::string links;
    for (size_t j = 0; j < 16; ++j) {
        if (j < entries.size()) {
            links += std::string(entries[j][0]) + "," + entries[j][1] + "," + entries[j][2] + ",";
        } else {
            links += "0,0,5,";
        }
    }
    return "XY12:" + body(std::vector<std::string>(5, "0,0,0,0,0,0,20,5"), links, "0,cmd");
}

TEST(LinkBoxes, EntriesJoinPerIdAndTheLaterPriorityWins) {
    LinkEntries entries;
    mergeLinkEntries(entries,
                     parseSettingsLine(lineWithLinks({{"3", "1111", "1"},
                                                      {"3", "2222", "2"},
                                                      {"5", "0", "0"},
                                                      {"6", "777", "5"},
                                                      {"9", "888", "1"},
                                                      {"x", "999", "3"},
                                                      {"2", "444", "-1"}})));
    const auto boxes = linkBoxesFrom(entries);
    EXPECT_EQ(boxes[3].capcodes, "1111,2222");
    EXPECT_EQ(boxes[3].priorityIndex, 2);
    EXPECT_EQ(boxes[3].priorityText, "2");
    EXPECT_EQ(boxes[5].capcodes, "");  // capcode "0" is an empty entry
    EXPECT_EQ(boxes[6].capcodes, "777");
    EXPECT_EQ(boxes[6].priorityIndex, std::nullopt);  // priority 5 or more: list left alone
    EXPECT_EQ(boxes[0].capcodes, "999");              // id text that is no number reads as 0
    EXPECT_EQ(boxes[0].priorityIndex, 3);
    EXPECT_EQ(boxes[2].priorityIndex, -1);  // below 5: selects -1, clearing the list
    for (int id : {1, 4, 7}) EXPECT_EQ(boxes[id].capcodes, "") << id;
}

TEST(LinkBoxes, AShortLineKeepsTheEntriesItDoesNotReach) {
    LinkEntries entries;
    mergeLinkEntries(entries, parseSettingsLine(lineWithLinks({{"1", "100", "0"}, {"2", "200", "1"}})));
    // Reaches only the id and capcode of entry 0.
    std::string shortLine = "XY12:";
    for (int i = 0; i < 40; ++i) shortLine += "0,";
    shortLine += "4,400";
    mergeLinkEntries(entries, parseSettingsLine(shortLine));
    const auto boxes = linkBoxesFrom(entries);
    EXPECT_EQ(boxes[4].capcodes, "400");
    EXPECT_EQ(boxes[4].priorityIndex, 0);  // entry 0's priority kept from the first line
    EXPECT_EQ(boxes[1].capcodes, "");
    EXPECT_EQ(boxes[2].capcodes, "200");
}

TEST(IdModeAndUserCommand, Fields88And89) {
    const struct {
        std::string tail;
        std::optional<bool> autoId;
        std::optional<std::string> user;
    } cases[] = {
        {"1,RESET NOW", true, "RESET NOW"},  {"0,", false, ""},
        {",x", false, "x"},                  {"11,x", false, "x"},
        {"1", true, std::nullopt},
    };
    for (const auto& c : cases) {
        const SettingsLine line = parseSettingsLine(
            "M:" + body(std::vector<std::string>(5, "0,0,0,0,0,0,20,5"), emptyLinks(), c.tail));
        EXPECT_EQ(idModeOf(line), c.autoId) << c.tail;
        EXPECT_EQ(userCommandOf(line), c.user) << c.tail;
    }
    EXPECT_EQ(idModeOf(parseSettingsLine("M:1,2")), std::nullopt);
}

}  // namespace
}  // namespace glowset
