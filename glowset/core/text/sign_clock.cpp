#include "glowset/core/text/sign_clock.h"

#include <cstdio>

namespace glowset {

std::string clockCommand(const LocalTime& now) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "<Time time=%02d:%02d:%02d date=%d/%02d/%02d-%d>SET TIME",
                  now.hour, now.minute, now.second, now.year, now.month, now.day, now.weekday);
    return buffer;
}

std::optional<bool> idleDisplayFromReply(std::string_view line) {
    if (line.substr(0, 4) != "TIME") return std::nullopt;
    size_t start = 0;
    for (int field = 0; field < 2; ++field) {
        const size_t colon = line.find(':', start);
        if (colon == std::string_view::npos) return std::nullopt;
        start = colon + 1;
    }
    const size_t end = line.find(':', start);
    return line.substr(start, end == std::string_view::npos ? end : end - start) == "1";
}

}  // namespace glowset
