#include "glowset/core/text/message_text.h"

#include "glowset/core/options/option_sets.h"

namespace glowset {
namespace {

// Replaces every occurrence of `from`, left to right and non-overlapping.
void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty()) return;
    std::string result;
    size_t pos = 0;
    while (true) {
        const size_t hit = text.find(from, pos);
        if (hit == std::string::npos) break;
        result.append(text, pos, hit - pos);
        result.append(to);
        pos = hit + from.size();
    }
    result.append(text, pos, std::string::npos);
    text = std::move(result);
}

}  // namespace

std::string placeholderFor(int formatCode) {
    if (formatCode < 0 || formatCode >= kTimeFormatCount) return {};
    return std::string(timeFormats()[formatCode].placeholder);
}

std::string storedToDisplay(std::string_view stored) {
    std::string text(stored);
    replaceAll(text, std::string(1, static_cast<char>(kStoredLineBreak)), "\r\n");
    for (const TimeFormat& format : timeFormats()) {
        replaceAll(text, std::string(1, static_cast<char>(format.storedByte)), format.placeholder);
    }
    return text;
}

std::string displayToWire(std::string_view line) {
    std::string text(line);
    for (const TimeFormat& format : timeFormats()) {
        replaceAll(text, format.placeholder, format.wireCode);
    }
    replaceAll(text, "\n", "$L");
    replaceAll(text, "\r", "");
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "$L") == 0) {
        text.resize(text.size() - 2);
    }
    return text;
}

std::string wireToStored(std::string_view wire) {
    std::string stored;
    for (size_t i = 0; i < wire.size(); ++i) {
        if (wire[i] == '$' && i + 1 < wire.size()) {
            if (wire[i + 1] == 'L') {
                stored += static_cast<char>(kStoredLineBreak);
                ++i;
                continue;
            }
            if (wire[i + 1] == 'T' && i + 2 < wire.size() && wire[i + 2] >= '0' &&
                wire[i + 2] < '0' + kTimeFormatCount) {
                stored += static_cast<char>(timeFormats()[wire[i + 2] - '0'].storedByte);
                i += 2;
                continue;
            }
        }
        stored += wire[i];
    }
    return stored;
}

}  // namespace glowset
