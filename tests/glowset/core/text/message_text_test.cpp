// Message text: stored, shown and sent forms, typed characters, inline codes.
#include "glowset/core/text/message_text.h"

#include "glowset/core/options/option_sets.h"
#include "glowset/core/text/inline_codes.h"
#include "glowset/core/text/typed_text.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

TEST(DisplayToWire, EncodesTheWholeLine) {
    const std::pair<const char*, const char*> cases[] = {
        // clang-format off
        {"<DF f=1>Now <hh:mm> on\r\nDay <dd.MM yyyy>", "<DF f=1>Now $T2 on$LDay $T6"},
        {"A\r\n", "A"}, {"A\r\n\r\n", "A$L"},             // a final line break is not sent, one only
        {"A$LB", "A$LB"}, {"A$L", "A"}, {"$L", ""},         // nor a literal "$L" at the very end
        {"<hh:mm:ss A/PM>", "$T1"}, {"<hh:mm:ss><hh:mm>", "$T0$T2"},  // the longer placeholder first
        {"<HH:MM> <other>", "<HH:MM> <other>"}, {"a\rb\nc", "ab$Lc"}, {"", ""},
        // clang-format on
    };
    for (const auto& [line, wire] : cases) EXPECT_EQ(displayToWire(line), wire) << line;
}

// Positions are the codes the sign gets: a KL404's lists have gaps and repeats.
TEST(OptionSets, Kl404EntriesStandAtTheirCodes) {
    const OptionSet& k = kl404OptionSet();
    const struct {
        const OptionList& list;
        size_t position;
        const char* label;
    } cases[] = {
        {k.font, 6, "Normal"},        {k.font, 7, "Fat"},          {k.font, 19, "Tall"},
        {k.font, 21, "Large"},        {k.font, 20, "----"},        {k.colour, 8, "Orange"},
        {k.colour, 0, "---"},         {k.style, 11, "Cover DOWN"}, {k.style, 17, "Cover DOWN"},
        {k.style, 22, "Cover RIGHT"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.list.at(c.position), c.label) << c.label;
}

TEST(WireToStored, IsTheSignsFormOfWhatWasSent) {
    EXPECT_EQ(wireToStored("Hi$Lthere $T2$T7$L"), "Hi\xAAthere \xAD\xB2\xAA");
    EXPECT_EQ(wireToStored("$T8 $X $"), "$T8 $X $");
    // Sent and read back, a message box text comes back as it was typed.
    const std::string typed =
        "Open <hh:mm:ss><hh:mm:ss A/PM><hh:mm><hh:mm A/PM>\r\nClosed "
        "<mm/dd/yyyy><yyyy-mm-dd><dd.MM yyyy><mm'dd'yy>";
    EXPECT_EQ(storedToDisplay(wireToStored(displayToWire(typed))), typed);
    for (int code : {-1, 8}) EXPECT_EQ(placeholderFor(code), "") << code;
}

// Typed text against what the sign can show: converted, refused, untouched.
TEST(TypedText, ConvertedRefusedAndUntouched) {
    const struct {
        std::u32string typed;
        std::u32string text;
        std::string conversions;
        std::string refused;
    } cases[] = {
        {U"plain ASCII 123 <hh:mm>", U"plain ASCII 123 <hh:mm>", "", ""},
        {U"caf\u00E9 \u00FC\u00DF \u00A9\u00FF", U"caf\u00E9 \u00FC\u00DF \u00A9\u00FF", "",
         ""},  // Latin-1 letters stay
        {U"line\r\nbreak\nok", U"line\r\nbreak\nok", "", ""},
        {U"\u201CHi\u201D \u2018x\u2019", U"\"Hi\" 'x'",
         "\u201C to \", \u201D to \", \u2018 to ', \u2019 to '", ""},
        {U"a\u2013b\u2014c\u2212d", U"a-b-c-d", "\u2013 to -, \u2014 to -, \u2212 to -", ""},
        {U"wait\u2026", U"wait...", "\u2026 to ...", ""},
        {U"no\u00A0break\tand tab", U"no break and tab", "\u00A0 to space, tab to space", ""},
        {U"5 \u20AC", U"5 \u20AC", "", "\u20AC (U+20AC)"},
        {U"hi \U0001F600", U"hi \U0001F600", "", "\U0001F600 (U+1F600)"},
        {U"\U00100000", U"\U00100000", "", "\U00100000 (U+100000)"},  // the last plane
        {U"25\u00B0C \u00B1 \u00AA\u00B2", U"25\u00B0C \u00B1 \u00AA\u00B2", "",
         "\u00B0 (U+00B0), \u00B1 (U+00B1), \u00AA (U+00AA), \u00B2 (U+00B2)"},
        {U"soft\u00ADhyphen", U"soft\u00ADhyphen", "", "\u00AD (U+00AD)"},
        {U"\u07FF\u0800", U"\u07FF\u0800", "",
         "\u07FF (U+07FF), \u0800 (U+0800)"},        // 2 and 3 bytes
        {U"\u00A9\u00B3", U"\u00A9\u00B3", "", ""},  // 169 and 179: just outside the sign's codes
        {U"bell\a and \u0085", U"bell\a and \u0085", "", "U+0007, U+0085"},
        {U"del\x7F", U"del\x7F", "", "U+007F"},
        {U"\u20AC\u20AC", U"\u20AC\u20AC", "", "\u20AC (U+20AC)"},  // each named once
    };
    for (const auto& c : cases) {
        const TypedText result = checkTypedText(c.typed);
        EXPECT_TRUE(result.text == c.text) << describeRefused(c.typed);
        EXPECT_EQ(describeConversions(result.conversions), c.conversions);
        EXPECT_EQ(describeRefused(result.refused), c.refused);
    }
}

TEST(FontPositionFor, FormatsOutsideTheTable) {
    const std::pair<FontPreview, std::optional<int>> cases[] = {
        // clang-format off
        {{"Arial", 11, true, true}, 9}, {{"Arial", 9, true, true}, 2},  // colour shade not looked at
        {{"Arial", 16, true, true}, 20},  {{"Arial Black", 10, true, false}, 7},  // shade wins
        {{"Times New Roman", 11, false, true}, {}},  // colour shade alone has no code
        {{"Times New Roman", 16, true, false}, 24}, {{"Book Antiqua", 11, false, true}, 11},
        {{"Arial", 14, false, false}, {}},          {{"Times", 11, false, false}, {}},  // as long as "Arial"
        {{"Book Antiqua", 16, false, false}, {}},   {{"Times New Roman", 12, true, false}, {}},
        {{"arial black", 12, true, false}, 18},  // family names in any case
        // clang-format on
    };
    for (const auto& [format, position] : cases)
        EXPECT_EQ(fontPositionFor(format), position) << format.typeface;
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

// What the test message window's own cases do not reach.
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
        {"black first: its colour in the header", text("x", 5, 12), 5, 12, "x"},
        // clang-format off
        {"a later font is a code, not the header", std::vector{unknownFont} + text("y", 2, 3), {}, 3,
         "z$FCy"},
        {"a later colour is a code too", std::vector{unknownColour} + text("y", 5, 3), 5, {},
         "q$CDy"},
        // clang-format on
        {"unknown colour sends no code",
         text("a", 5, 3) + std::vector{unknownColour} + text("b", 5, 3), 5, 3, "aq$CDb"},
        {"a typeface change alone is a font change", text("a", 1, 2) + text("b", 3, 2), 1, 2,
         "a$FDb"},
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
