#include "glowset/core/text/inline_codes.h"

#include "glowset/core/protocol/numbers.h"

namespace glowset {

const std::array<FontPreview, kInlineFontCount>& fontPreviewTable() {
    static constexpr std::string_view arial = "Arial", black = "Arial Black",
                                      times = "Times New Roman", antiqua = "Book Antiqua";
    static const std::array<FontPreview, kInlineFontCount> table = {{
        {arial, 8, false, false},  {arial, 9, false, false},   {arial, 9, true, false},
        {black, 9, false, false},  {black, 9, true, false},    {arial, 10, false, false},
        {arial, 10, true, false},  {black, 10, false, false},  {black, 11, true, false},
        {arial, 11, false, true},  {times, 11, false, false},  {antiqua, 11, false, false},
        {times, 11, true, false},  {antiqua, 11, true, false}, {times, 11, true, true},
        {arial, 12, false, false}, {arial, 12, true, false},   {black, 12, false, false},
        {black, 12, true, false},  {arial, 16, false, false},  {arial, 16, true, false},
        {black, 16, false, false}, {black, 16, true, false},   {arial, 16, false, true},
        {times, 16, false, true},
    }};
    return table;
}

const std::array<Rgb, kInlineColourCount>& colourPreviewTable() {
    static const std::array<Rgb, kInlineColourCount> table = {{
        {118, 129, 97},
        {255, 0, 0},
        {0, 255, 0},
        {128, 0, 0},
        {0, 128, 0},
        {240, 240, 0},
        {85, 43, 0},
        {200, 200, 0},
        {255, 138, 21},
        {128, 128, 128},
        {128, 128, 128},
        {128, 128, 128},
        {0, 0, 0},
    }};
    return table;
}

std::optional<int> fontPositionFor(const FontPreview& f) {
    // Letters as positions: A = 0 ... Y = 24.
    const auto at = [](char letter) { return std::optional<int>(letter - 'A'); };
    const bool arial = equalsIgnoreCase(f.typeface, "Arial");
    const bool black = equalsIgnoreCase(f.typeface, "Arial Black");
    const bool antiqua = equalsIgnoreCase(f.typeface, "Book Antiqua");
    const bool times = equalsIgnoreCase(f.typeface, "Times New Roman");
    if (arial) {
        switch (f.size) {
            case 8:
                return at('A');
            case 9:
                return at(f.shade ? 'C' : 'B');
            case 10:
                return at(f.shade ? 'G' : 'F');
            case 11:
                return at('J');
            case 12:
                return at(f.shade ? 'Q' : 'P');
            case 16:
                return at(f.shade ? 'U' : f.colourShade ? 'X' : 'T');
        }
    } else if (black) {
        switch (f.size) {
            case 9:
                return at(f.shade ? 'E' : 'D');
            case 10:
                return at('H');
            case 11:
                return at('I');
            case 12:
                return at(f.shade ? 'S' : 'R');
            case 16:
                return at(f.shade ? 'W' : 'V');
        }
    } else if (antiqua && f.size == 11) {
        return at(f.shade ? 'N' : 'L');
    } else if (times && f.size == 11) {
        if (!f.shade && !f.colourShade) return at('K');
        if (f.shade && !f.colourShade) return at('M');
        if (f.shade && f.colourShade) return at('O');
    } else if (times && f.size == 16) {
        return at('Y');
    }
    return std::nullopt;
}

std::optional<int> colourPositionFor(const Rgb& colour) {
    const auto& table = colourPreviewTable();
    for (int i = 0; i < kInlineColourCount; ++i) {
        if (table[i] == colour) return i;
    }
    return std::nullopt;
}

std::string fontCode(int position) {
    return std::string("$F") + static_cast<char>('A' + position);
}

std::string colourCode(int position) {
    return std::string("$C") + static_cast<char>('A' + position);
}

bool hasVisibleGlyph(char ch) {
    const auto byte = static_cast<unsigned char>(ch);
    return byte > 0x20 && byte != 0x7F && !(byte >= 0x80 && byte <= 0xA0) && byte != 0xAD;
}

InlineText buildInlineText(const std::vector<FormattedChar>& characters) {
    InlineText result;
    bool first = true;
    FontPreview lastFont;
    std::string lastTypeface;  // keeps lastFont.typeface alive
    Rgb lastColour;
    // Codes written before any visible character: candidates for the header.
    bool atStart = true;
    for (const FormattedChar& c : characters) {
        if (!hasVisibleGlyph(c.ch)) {
            // A space, a line break or an empty line shows no font or colour:
            // its format (an empty paragraph's is the editor's default) must
            // not become the message's.
            result.text += c.ch;
            continue;
        }
        const FontPreview font{c.typeface, c.size, c.shade, c.colourShade};
        const bool fontChanged =
            first || !(font.size == lastFont.size && font.shade == lastFont.shade &&
                       font.colourShade == lastFont.colourShade && c.typeface == lastTypeface);
        if (fontChanged) {
            if (const auto position = fontPositionFor(font)) {
                if (atStart && !result.headerFont) {
                    result.headerFont = position;
                } else {
                    result.text += fontCode(*position);
                }
            }
            lastTypeface = c.typeface;
            lastFont = {lastTypeface, c.size, c.shade, c.colourShade};
        }
        if (first || !(c.colour == lastColour)) {
            if (const auto position = colourPositionFor(c.colour)) {
                if (atStart && !result.headerColour) {
                    result.headerColour = position;
                } else {
                    result.text += colourCode(*position);
                }
            }
            lastColour = c.colour;
        }
        first = false;
        atStart = false;
        result.text += c.ch;
    }
    return result;
}

}  // namespace glowset
