#include "romwright/app/command_line.h"

#include <gtest/gtest.h>

#include "romwright/run/program_unit.h"

namespace romwright {
namespace {

TEST(ParseHex, DigitsUpToTheFirstOtherCharacter) {
    const struct { const char* text; uint32_t value; } cases[] = {
        {"80000", 0x80000},        {"0x1F", 0x1F},            {"0XaB", 0xAB},
        {"ff", 0xFF},              {"12g4", 0x12},            {"XYZ", 7},
        {"", 7},                   {"0x", 7},                 {"0", 0},
        {"ffffffff", 0xFFFFFFFF},
        {"123456789", 0xFFFFFFFF},  // beyond 32 bits stays at the top, never wraps
    };
    for (const auto& c : cases) EXPECT_EQ(parse_hex(c.text, 7), c.value) << c.text;
}

TEST(ParseCommandLine, TokensToOptions) {
    using K = Option::Kind;
    const struct {
        std::vector<std::string> tokens;
        std::vector<K> kinds;
        std::string path;
        int port;
        uint32_t start, end;
        unsigned flag;
    } cases[] = {
        {{"-f/tmp/a b.rom"}, {K::SelectFile}, "/tmp/a b.rom", 0, 0, 0, 0},
        {{"-c3"}, {K::SelectPort}, "", 3, 0, 0, 0},
        {{"-c"}, {K::SelectPort}, "", 0, 0, 0, 0},
        {{"-c12x"}, {K::SelectPort}, "", 12, 0, 0, 0},
        {{"-g"}, {K::Go}, "", 0, 0, 0, 0},
        {{"-go"}, {}, "", 0, 0, 0, 0},  // -g only as a whole token
        {{"-r80000-90000"}, {K::SetRange}, "", 0, 0x80000, 0x90000, kReadMode},
        {{"-w100-500"}, {K::SetRange}, "", 0, 0x100, 0x500, kRawWriteMode},
        {{"-r1000-"}, {}, "", 0, 0, 0, 0},  // one piece: nothing
        {{"-rXYZ-100"}, {K::SetRange}, "", 0, 0, 0x100, kReadMode},
        {{"app", "", "x", "-x5", "-"}, {}, "", 0, 0, 0, 0},
        {{"-fa.rom", "-c2", "-g"}, {K::SelectFile, K::SelectPort, K::Go}, "", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const auto options = parse_command_line(c.tokens);
        std::vector<K> kinds;
        for (const auto& o : options) kinds.push_back(o.kind);
        EXPECT_EQ(kinds, c.kinds) << c.tokens[0];
        if (options.size() != 1) continue;
        EXPECT_EQ(options[0].path, c.path) << c.tokens[0];
        EXPECT_EQ(options[0].port, c.port) << c.tokens[0];
        EXPECT_EQ(options[0].start, c.start) << c.tokens[0];
        EXPECT_EQ(options[0].end, c.end) << c.tokens[0];
        EXPECT_EQ(options[0].flag, c.flag) << c.tokens[0];
    }
}

}  // namespace
}  // namespace romwright
