// Text the operator types for the sign, checked against what the sign can
// show: single bytes of the 8-bit code page, where bytes 170 to 178 are the
// sign's own codes (a line break and the time placeholders). Characters
// with a well-known 8-bit equivalent (typographic quotes and dashes, the
// ellipsis, non-breaking and other wide spaces, a tab) are converted; the
// rest of what lies outside the code page, and typed characters that the
// sign would read as its own codes, cannot be sent.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace glowset {

struct Conversion {
    char32_t from;
    std::string to;  // 8-bit text
};

// The 8-bit text a character is converted to, when it has a well-known one.
const Conversion* conversionFor(char32_t character);
// True for a character that can neither travel as it is nor be converted.
bool refusedForSign(char32_t character);

struct TypedText {
    std::u32string text;                  // with the conversions made
    std::vector<Conversion> conversions;  // each kind once, in order of first use
    std::u32string refused;               // each refused character once, in order
};
TypedText checkTypedText(std::u32string_view typed);

// "“ to \", … to ..." for a status line (UTF-8).
std::string describeConversions(const std::vector<Conversion>& conversions);
// "€ (U+20AC), ° (U+00B0)" (UTF-8).
std::string describeRefused(std::u32string_view refused);

}  // namespace glowset
