// Inline font and colour codes of a test message. The editor previews each
// sign font by a PC typeface, size and two on/off marks, and each sign colour
// by a PC colour; sending walks the formatted characters and turns every
// change into "$F" + letter or "$C" + letter.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace glowset {

struct FontPreview {
    std::string_view typeface;
    int size = 0;  // points
    bool shade = false;
    bool colourShade = false;
    bool operator==(const FontPreview&) const = default;
};

struct Rgb {
    int red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr int kInlineFontCount = 25;    // codes "A" to "Y"
inline constexpr int kInlineColourCount = 13;  // codes "A" to "M"

const std::array<FontPreview, kInlineFontCount>& fontPreviewTable();
const std::array<Rgb, kInlineColourCount>& colourPreviewTable();

// The font position whose preview this format is, by the reading-back rules;
// nullopt when the format matches no sign font.
std::optional<int> fontPositionFor(const FontPreview& format);
// The first colour position with this preview colour; nullopt when none.
std::optional<int> colourPositionFor(const Rgb& colour);

std::string fontCode(int position);    // "$F" + letter
std::string colourCode(int position);  // "$C" + letter

// One character of the editor with its format. The typeface is owned here
// because the editor's family names are not the table's string views.
struct FormattedChar {
    char ch = ' ';
    std::string typeface;
    int size = 0;
    bool shade = false;
    bool colourShade = false;
    Rgb colour;
};

struct InlineText {
    std::optional<int> headerFont;    // first font, sent as f=
    std::optional<int> headerColour;  // first colour, sent as c=
    std::string text;                 // the characters with later changes inline
};

// True for an 8-bit character that shows something: not a space, a line
// break or another control character, a non-breaking space or a soft hyphen.
bool hasVisibleGlyph(char ch);

// Walks the characters: a font or colour code wherever the format of a
// visible character differs from the last one written (the first visible
// character always counts as a change), then the character; characters
// without a visible glyph go as they are. The font and colour codes of the
// first visible character move into the header.
InlineText buildInlineText(const std::vector<FormattedChar>& characters);

}  // namespace glowset
