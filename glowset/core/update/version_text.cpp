#include "glowset/core/update/version_text.h"

#include "glowset/core/protocol/numbers.h"

namespace glowset {
namespace {

std::string_view dropLast(std::string_view text, size_t count) {
    return text.substr(0, text.size() > count ? text.size() - count : 0);
}

double numberOrZero(std::string_view text) {
    return wholeNumber(text).value_or(0.0);
}

}  // namespace

double ParseVersionText(std::string_view text) {
    if (text.find("VQK9X") != std::string_view::npos) {
        const std::string_view rest = text.size() > 5 ? text.substr(5) : std::string_view{};
        return numberOrZero(dropLast(rest, 4));
    }
    if (text.find("Glowset") != std::string_view::npos) {
        const size_t first = text.find(' ');
        if (first == std::string_view::npos) return 0.0;
        const size_t second = text.find(' ', first + 1);
        const std::string_view piece =
            text.substr(first + 1, second == std::string_view::npos ? second : second - first - 1);
        return numberOrZero(dropLast(piece, 4));
    }
    std::string collected;
    for (char c : dropLast(text, 4)) {
        if ((c >= '0' && c <= '9') || c == '.') collected += c;
    }
    return numberOrZero(collected);
}

}  // namespace glowset
