#include "sim/signsim/terminal_view.h"

#include <array>
#include <cstdio>

namespace signsim {
namespace {

struct Colour {
    int r, g, b;
};

// Colours of the sign's LEDs by colour position. "Auto" shows amber, the
// mixed colours alternate red and green by character.
constexpr std::array<Colour, 13> kLedColours = {{
    {255, 176, 0},    // Auto
    {255, 90, 90},    // Light Red
    {120, 255, 120},  // Light Green
    {230, 0, 0},      // Red
    {0, 200, 0},      // Green
    {240, 240, 0},    // Yellow
    {150, 90, 30},    // Brown
    {255, 176, 0},    // Amber
    {255, 128, 0},    // Orange
    {0, 0, 0},        // Mix V1
    {0, 0, 0},        // Mix V2
    {0, 0, 0},        // Mix H
    {70, 70, 70},     // Black: unlit LEDs
}};

std::string colourEscape(Colour c) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "\x1b[38;2;%d;%d;%dm", c.r, c.g, c.b);
    return buffer;
}

std::string latin1ToUtf8(unsigned char c) {
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    std::string out;
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
    return out;
}

}  // namespace

std::string escapeBytes(std::string_view bytes) {
    std::string out;
    for (char ch : bytes) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c >= 0x20 && c < 0x7F) {
            out += ch;
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
            out += buffer;
        }
    }
    return out;
}

std::string renderDisplay(const ShownMessage& shown) {
    const std::string reset = "\x1b[0m";
    std::string out = "+-- sign display" +
                      (shown.what.empty() ? std::string(" (dark)") : ": " + shown.what) + "\n| ";
    size_t mixed = 0;
    for (const ShownSegment& segment : shown.segments) {
        const bool isMixed = segment.colour >= 9 && segment.colour <= 11;
        const Colour colour = segment.colour >= 0 && segment.colour < 13
                                  ? kLedColours[segment.colour]
                                  : kLedColours[0];
        for (char ch : segment.text) {
            if (ch == '\n') {
                out += reset + "\n| ";
                continue;
            }
            out += colourEscape(isMixed ? (mixed++ % 2 ? Colour{0, 200, 0} : Colour{230, 0, 0})
                                        : colour);
            out += latin1ToUtf8(static_cast<unsigned char>(ch));
        }
    }
    return out + reset + "\n+--\n";
}

}  // namespace signsim
