#include "glowset/core/protocol/default_message_record.h"

#include "glowset/core/options/option_sets.h"
#include "glowset/core/protocol/numbers.h"

#include <algorithm>

namespace glowset {

std::optional<DefaultMessageRecord> parseDefaultMessageRecord(std::string_view line) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    DefaultMessageRecord record;
    record.model = std::string(line.substr(0, colon));
    std::string_view rest = line.substr(colon + 1);
    rest = rest.substr(0, rest.find(':'));  // only the piece before a second ":"
    size_t start = 0;
    for (int field = 0; field < 9; ++field) {
        if (start > rest.size()) break;
        const size_t comma = rest.find(',', start);
        const std::string_view piece =
            rest.substr(start, comma == std::string_view::npos ? comma : comma - start);
        if (field < 6) {
            const double value = std::clamp(wholeNumber(piece).value_or(0.0), -32768.0, 32767.0);
            record.numbers[field] = toInt16(value).value_or(0);
        } else if (field == 8) {
            record.storedText = std::string(piece);
        }
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return record;
}

std::array<int16_t, 6> recordPositions(const DefaultMessageRecord& record) {
    std::array<int16_t, 6> positions = record.numbers;
    if (record.model == kModelRV2210) {
        constexpr std::array<int, 6> offsets = {64, 65, 65, 48, 49, 48};
        for (int i = 0; i < 6; ++i) positions[i] = static_cast<int16_t>(positions[i] - offsets[i]);
    }
    return positions;
}

}  // namespace glowset
