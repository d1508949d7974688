// Number reading shared by the sign protocol, the settings file and the
// version check. The sign and the files carry numbers as plain decimal text;
// these helpers fix exactly how such text becomes a number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace glowset {

// The number at the start of a text: optional blanks, an optional sign,
// digits with an optional "." and fraction. Text that does not begin with a
// number reads as 0 ("12abc" is 12, "abc" is 0, "" is 0).
double leadingNumber(std::string_view text);

// The whole text as a decimal number, blanks around it allowed; nullopt when
// anything else is in it ("12", " -3.5 " are numbers; "", "12a", "1e5" not).
std::optional<double> wholeNumber(std::string_view text);

// Rounds to the nearest integer, a half to the even neighbour (2.5 -> 2).
double roundHalfEven(double value);

// The value rounded half to even as a 16-bit signed integer, or nullopt when
// it does not fit (the value is never wrapped).
std::optional<int16_t> toInt16(double value);

// A number in its shortest decimal form with "." as the decimal point and no
// exponent for everyday magnitudes: 3 -> "3", 3.05 -> "3.05", 4.8 -> "4.8".
std::string shortestDecimal(double value);

// ASCII-only case folding; the sign protocol and the file keys are ASCII.
std::string toLowerAscii(std::string_view text);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
bool containsIgnoreCase(std::string_view text, std::string_view key);

}  // namespace glowset
