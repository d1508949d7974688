#include "glowset/windows/inline_codes.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

TEST(FontPositionFor, EveryPreviewReadsBackAsItsOwnPosition) {
    const auto& table = fontPreviewTable();
    for (int position = 0; position < kInlineFontCount; ++position) {
        EXPECT_EQ(fontPositionFor(table[position]), position) << position;
    }
}

TEST(FontPositionFor, FormatsOutsideTheTable) {
    const struct { FontPreview format; std::optional<int> position; } cases[] = {
        {{"Arial", 11, true, true}, 9},   // Arial 11 is J whatever the marks
        {{"Arial", 9, true, true}, 2},    // the colour-shade mark is not looked at
        {{"Arial", 16, true, true}, 20},  // shade wins over colour shade
        {{"Arial Black", 10, true, false}, 7},
        {{"Times New Roman", 11, false, true}, {}},  // colour shade alone has no code
        {{"Times New Roman", 16, true, false}, 24},  {{"Book Antiqua", 11, false, true}, 11},
        {{"Arial", 14, false, false}, {}},           {{"Courier", 10, false, false}, {}},
        {{"arial black", 12, true, false}, 18},  // family names in any case
    };
    for (const auto& c : cases)
        EXPECT_EQ(fontPositionFor(c.format), c.position) << c.format.typeface;
}

TEST(ColourPositionFor, FirstMatchWins) {
    const struct { Rgb colour; std::optional<int> position; } cases[] = {
        {{118, 129, 97}, 0}, {{255, 0, 0}, 1}, {{128, 128, 128}, 9},
        {{0, 0, 0}, 12},     {{1, 2, 3}, {}},  {{255, 138, 21}, 8},
    };
    for (const auto& c : cases) EXPECT_EQ(colourPositionFor(c.colour), c.position);
}

FormattedChar at(char ch, int font, int colour) {
    const FontPreview& f = fontPreviewTable()[font];
    return {ch,      std::string(f.typeface), f.size,
            f.shade, f.colourShade,           colourPreviewTable()[colour]};
}

std::vector<FormattedChar> text(const std::string& s, int font, int colour) {
    std::vector<FormattedChar> out;
    for (char c : s) out.push_back(at(c, font, colour));
    return out;
}

std::vector<FormattedChar> operator+(std::vector<FormattedChar> a,
                                     const std::vector<FormattedChar>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// What the test message window's table does not reach (it types and
// colours the common cases itself).
TEST(BuildInlineText, HeaderAndInlineCodes) {
    FormattedChar unknownFont = at('z', 5, 3);
    unknownFont.size = 14;
    FormattedChar unknownColour = at('q', 5, 3);
    unknownColour.colour = {1, 2, 3};
    std::vector<FormattedChar> typedCodes =
        text("$FBx", 5, 3);  // in a font and colour with no code
    for (auto& c : typedCodes) c.typeface = "Courier", c.colour = {1, 2, 3};
    const struct {
        const char* name;
        std::vector<FormattedChar> chars;
        std::optional<int> font, colour;
        std::string inlineText;
    } cases[] = {
        {"empty", {}, {}, {}, ""},
        {"same preview colour: no code", text("x", 3, 9) + text("y", 3, 10), 3, 9, "xy"},
        {"spaces are never checked", text("a", 2, 1) + text(" ", 7, 5) + text("b", 2, 1), 2, 1,
         "a b"},
        {"leading space: the header from the first visible letter", text(" a", 2, 1), 2, 1, " a"},
        {"glyphless characters are never checked",
         text("a", 2, 1) + text("\xA0\xAD\n", 7, 12) + text("b", 2, 1), 2, 1, "a\xA0\xAD\nb"},
        {"unknown first font: colour still in the header", std::vector{unknownFont}, {}, 3, "z"},
        {"unknown colour sends no code",
         text("a", 5, 3) + std::vector{unknownColour} + text("b", 5, 3), 5, 3, "aq$CDb"},
        {"line break is a character", text("a\nb", 1, 2), 1, 2, "a\nb"},
        {"typed codes stay text and select nothing", typedCodes, {}, {}, "$FBx"},
    };
    for (const auto& c : cases) {
        const InlineText result = buildInlineText(c.chars);
        EXPECT_EQ(result.headerFont, c.font) << c.name;
        EXPECT_EQ(result.headerColour, c.colour) << c.name;
        EXPECT_EQ(result.text, c.inlineText) << c.name;
    }
}

}  // namespace
}  // namespace glowset
