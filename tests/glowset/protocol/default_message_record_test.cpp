#include "glowset/protocol/default_message_record.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

TEST(DefaultMessageRecord, FieldsPositionsAndText) {
    using P = std::array<int16_t, 6>;
    const struct { const char* line; std::optional<P> positions; std::string text; } cases[] = {
        {"XY12:3,1,2,4,0,5,0,0,HELLO", P{3, 1, 2, 4, 0, 5}, "HELLO"},
        {"RV2210:65,65,66,48,49,48,0,0,HELLO", P{1, 0, 1, 0, 0, 0}, "HELLO"},
        {"TB330:65,65,66,48,49,48,0,0,x", P{65, 65, 66, 48, 49, 48}, "x"},  // only RV2210 offsets
        {"XY12:3,x,,4", P{3, 0, 0, 4, 0, 0}, ""},                           // missing or odd: 0
        {"XY12:1,1,1,1,1,1,0,0,a,b", P{1, 1, 1, 1, 1, 1}, "a"},             // cut at ","
        {"XY12:1,1,1,1,1,1,0,0,a:b", P{1, 1, 1, 1, 1, 1}, "a"},             // cut at ":"
        {"XY12:99999,1,1,1,1,1,0,0,\xAA\xAD", P{32767, 1, 1, 1, 1, 1}, "\xAA\xAD"},
        {"no colon", std::nullopt, ""},
        {":", P{0, 0, 0, 0, 0, 0}, ""},
    };
    for (const auto& c : cases) {
        const auto record = parseDefaultMessageRecord(c.line);
        ASSERT_EQ(record.has_value(), c.positions.has_value()) << c.line;
        if (!record) continue;
        EXPECT_EQ(recordPositions(*record), *c.positions) << c.line;
        EXPECT_EQ(record->storedText, c.text) << c.line;
    }
}

}  // namespace
}  // namespace glowset
