#include "glowset/core/text/typed_text.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace glowset {
namespace {

const std::array<Conversion, 25>& conversions() {
    static const std::array<Conversion, 25> table = {{
        {U'\u2018', "'"},  {U'\u2019', "'"},   {U'\u201A', "'"},  {U'\u201B', "'"},
        {U'\u2032', "'"},  {U'\u201C', "\""},  {U'\u201D', "\""}, {U'\u201E', "\""},
        {U'\u201F', "\""}, {U'\u2033', "\""},  {U'\u2010', "-"},  {U'\u2011', "-"},
        {U'\u2012', "-"},  {U'\u2013', "-"},   {U'\u2014', "-"},  {U'\u2015', "-"},
        {U'\u2212', "-"},  {U'\u2026', "..."}, {U'\u00A0', " "},  {U'\u2007', " "},
        {U'\u2009', " "},  {U'\u202F', " "},   {U'\u2002', " "},  {U'\u2003', " "},
        {U'\t', " "},
    }};
    return table;
}

std::string utf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

}  // namespace

const Conversion* conversionFor(char32_t character) {
    for (const Conversion& c : conversions()) {
        if (c.from == character) return &c;
    }
    return nullptr;
}

bool refusedForSign(char32_t c) {
    if (conversionFor(c)) return false;
    if (c == U'\n' || c == U'\r') return false;             // line breaks
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;  // control characters
    if (c >= 170 && c <= 178) return true;                  // the sign's own codes
    return c > 0xFF;                                        // outside the code page
}

TypedText checkTypedText(std::u32string_view typed) {
    TypedText result;
    for (char32_t c : typed) {
        if (const Conversion* conversion = conversionFor(c)) {
            for (char ch : conversion->to) result.text += static_cast<unsigned char>(ch);
            const bool known = std::any_of(result.conversions.begin(), result.conversions.end(),
                                           [c](const Conversion& seen) { return seen.from == c; });
            if (!known) result.conversions.push_back(*conversion);
            continue;
        }
        if (refusedForSign(c) && result.refused.find(c) == std::u32string::npos) {
            result.refused += c;
        }
        result.text += c;
    }
    return result;
}

std::string describeConversions(const std::vector<Conversion>& list) {
    std::string text;
    for (const Conversion& c : list) {
        if (!text.empty()) text += ", ";
        text += c.from == U'\t' ? std::string("tab") : utf8(c.from);
        text += " to ";
        text += c.to == " " ? std::string("space") : c.to;
    }
    return text;
}

std::string describeRefused(std::u32string_view refused) {
    std::string text;
    for (char32_t c : refused) {
        if (!text.empty()) text += ", ";
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
        // A control character is named by its code alone.
        text += (c < 0x20 || (c >= 0x7F && c <= 0x9F)) ? std::string(code)
                                                       : utf8(c) + " (" + code + ")";
    }
    return text;
}

}  // namespace glowset
