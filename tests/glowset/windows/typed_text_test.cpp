// Typed text against what the sign can show: converted, refused, untouched.
#include "glowset/windows/typed_text.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

TEST(TypedText, ConvertedRefusedAndUntouched) {
    const struct {
        std::u32string typed;
        std::u32string text;
        std::string conversions;
        std::string refused;
    } cases[] = {
        {U"plain ASCII 123 <hh:mm>", U"plain ASCII 123 <hh:mm>", "", ""},
        {U"caf\u00E9 \u00FC\u00DF \u00A9", U"caf\u00E9 \u00FC\u00DF \u00A9", "", ""},  // Latin-1 letters stay
        {U"line\r\nbreak\nok", U"line\r\nbreak\nok", "", ""},
        {U"\u201CHi\u201D \u2018x\u2019", U"\"Hi\" 'x'", "\u201C to \", \u201D to \", \u2018 to ', \u2019 to '", ""},
        {U"a\u2013b\u2014c\u2212d", U"a-b-c-d", "\u2013 to -, \u2014 to -, \u2212 to -", ""},
        {U"wait\u2026", U"wait...", "\u2026 to ...", ""},
        {U"no\u00A0break\tand tab", U"no break and tab", "\u00A0 to space, tab to space", ""},
        {U"5 \u20AC", U"5 \u20AC", "", "\u20AC (U+20AC)"},
        {U"hi \U0001F600", U"hi \U0001F600", "", "\U0001F600 (U+1F600)"},
        {U"25\u00B0C \u00B1 \u00AA\u00B2", U"25\u00B0C \u00B1 \u00AA\u00B2", "",
         "\u00B0 (U+00B0), \u00B1 (U+00B1), \u00AA (U+00AA), \u00B2 (U+00B2)"},
        {U"soft\u00ADhyphen", U"soft\u00ADhyphen", "", "\u00AD (U+00AD)"},
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

}  // namespace
}  // namespace glowset
