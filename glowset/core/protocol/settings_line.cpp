#include "glowset/core/protocol/settings_line.h"

#include "glowset/core/options/option_sets.h"
#include "glowset/core/protocol/numbers.h"

namespace glowset {
namespace {

constexpr std::string_view kEcho = "DOWNLOAD_ALL";

std::vector<std::string> splitAt(std::string_view text, char separator, size_t maxPieces) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (pieces.size() < maxPieces) {
        const size_t end = text.find(separator, start);
        pieces.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return pieces;
}

// Offsets of the signs that report each code as a character code; beep and
// time-out have their own scales.
constexpr std::array<int, kBeep> kCharacterOffsets = {64, 65, 65, 48, 49, 48};

}  // namespace

std::optional<std::string> SettingsLine::field(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= body.size()) return std::nullopt;
    return body[index];
}

SettingsLine parseSettingsLine(std::string_view line) {
    SettingsLine result;
    const size_t colon = line.find(':');
    std::string header(line.substr(0, colon));
    for (size_t pos = 0; (pos = header.find(kEcho, pos)) != std::string::npos;) {
        header.erase(pos, kEcho.size());
    }
    result.header = header;
    const size_t comma = header.find(',');
    result.model = header.substr(0, comma);
    if (comma != std::string::npos) result.firmwareCount = header.substr(comma + 1);
    if (colon != std::string_view::npos) {
        std::string_view body = line.substr(colon + 1);
        body = body.substr(0, body.find(':'));  // only the first two pieces count
        if (!body.empty()) result.body = splitAt(body, ',', kSettingsBodyFields);
    }
    return result;
}

namespace {

bool allOf(std::string_view text, std::string_view allowed) {
    return text.find_first_not_of(allowed) == std::string_view::npos;
}

// A decimal number as the sign writes one: an optional sign, digits, an
// optional fraction; or nothing.
bool numberOrEmpty(std::string_view text) {
    if (text.empty()) return true;
    if (text[0] == '-' || text[0] == '+') text.remove_prefix(1);
    const size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
    return !(whole.empty() && fraction.empty()) && allOf(whole, "0123456789") &&
           allOf(fraction, "0123456789");
}

}  // namespace

bool isSettingsLine(std::string_view text) {
    if (text.find(':') == std::string_view::npos) return false;
    const SettingsLine line = parseSettingsLine(text);
    constexpr std::string_view kNameCharacters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._-";
    if (line.model.empty() || line.model.size() > 32 || !allOf(line.model, kNameCharacters))
        return false;
    // The count is all that follows the model: a second comma makes it no number.
    if (line.firmwareCount && !allOf(*line.firmwareCount, "0123456789.")) return false;
    if (line.body.empty()) return false;
    for (size_t i = 0; i < line.body.size() && static_cast<int>(i) < kUserCommandField; ++i) {
        if (!numberOrEmpty(line.body[i])) return false;
    }
    return true;
}

DecodedPriority decodePriority(const SettingsLine& line, int priority) {
    DecodedPriority values;
    const bool offsets = reportsOffsetCodes(line.model);
    for (int f = 0; f < kPriorityFieldCount; ++f) {
        const auto text = line.field(kPriorityFieldCount * priority + f);
        if (!text) continue;
        double number = leadingNumber(*text);
        if (f == kBeep) {
            number -= 20;
        } else if (f == kTimeout) {
            number /= 5;
        } else if (offsets) {
            number -= kCharacterOffsets[f];
        }
        values[f] = toInt16(number);
    }
    return values;
}

void mergeLinkEntries(LinkEntries& entries, const SettingsLine& line) {
    for (int j = 0; j < kLinkEntryCount; ++j) {
        const int base = kLinkFieldsStart + 3 * j;
        if (auto id = line.field(base)) entries[j].id = std::move(id);
        if (auto capcode = line.field(base + 1)) entries[j].capcode = std::move(capcode);
        if (auto priority = line.field(base + 2)) entries[j].priority = std::move(priority);
    }
}

std::array<LinkBox, kLinkIds> linkBoxesFrom(const LinkEntries& entries) {
    std::array<LinkBox, kLinkIds> boxes;
    for (const LinkEntry& entry : entries) {
        if (!entry.capcode || *entry.capcode == "0" || !entry.id) continue;
        const auto id = toInt16(leadingNumber(*entry.id));
        if (!id || *id < 0 || *id >= kLinkIds) continue;
        LinkBox& box = boxes[*id];
        box.capcodes = box.capcodes.empty() ? *entry.capcode : box.capcodes + "," + *entry.capcode;
        if (!entry.priority) continue;
        const double priority = leadingNumber(*entry.priority);
        if (priority < 5) {
            if (const auto index = toInt16(priority)) {
                box.priorityIndex = index;
                box.priorityText = *entry.priority;
            }
        }
    }
    return boxes;
}

std::optional<bool> idModeOf(const SettingsLine& line) {
    const auto text = line.field(kIdModeField);
    if (!text) return std::nullopt;
    return *text == "1";
}

std::optional<std::string> userCommandOf(const SettingsLine& line) {
    return line.field(kUserCommandField);
}

}  // namespace glowset
