#include "glowset/core/protocol/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace glowset {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads [sign] digits [. digits] starting at pos. Returns the number of
// characters used (0 when there is no number) and the value. from_chars is
// locale-independent, so "." stays the decimal point under any locale.
size_t scanNumber(std::string_view text, size_t pos, double& value) {
    size_t i = pos;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const size_t digitsStart = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    size_t digitCount = i - digitsStart;
    if (i < text.size() && text[i] == '.') {
        const size_t dot = i++;
        while (i < text.size() && isDigit(text[i])) ++i;
        // "5." is 5, but a lone "." is no number.
        if (i - dot - 1 == 0 && digitCount == 0) i = dot;
        digitCount += i > dot ? i - dot - 1 : 0;
    }
    if (digitCount == 0) return 0;
    double result = 0.0;
    const char* first = text.data() + digitsStart;
    const auto [end, error] = std::from_chars(first, text.data() + i, result);
    if (error == std::errc::result_out_of_range) {
        result = std::numeric_limits<double>::infinity();
    } else if (error != std::errc() || end != text.data() + i) {
        return 0;
    }
    value = negative ? -result : result;
    return i - pos;
}

}  // namespace

double leadingNumber(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    double value = 0.0;
    return scanNumber(text, pos, value) > 0 ? value : 0.0;
}

std::optional<double> wholeNumber(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    double value = 0.0;
    const size_t used = scanNumber(text, pos, value);
    if (used == 0) return std::nullopt;
    pos += used;
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    if (pos != text.size()) return std::nullopt;
    return value;
}

double roundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::optional<int16_t> toInt16(double value) {
    const double rounded = roundHalfEven(value);
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<int16_t>::min() ||
        rounded > std::numeric_limits<int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int16_t>(rounded);
}

std::string shortestDecimal(double value) {
    if (value == 0.0) return "0";  // also turns -0 into "0"
    if (!std::isfinite(value)) return std::isnan(value) ? "nan" : (value > 0 ? "inf" : "-inf");
    // Shortest text that reads back as the same double, never with an exponent;
    // to_chars does not depend on the locale.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

std::string toLowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && toLowerAscii(a) == toLowerAscii(b);
}

bool containsIgnoreCase(std::string_view text, std::string_view key) {
    return toLowerAscii(text).find(toLowerAscii(key)) != std::string::npos;
}

}  // namespace glowset
