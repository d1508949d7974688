// The sign's answer to "DOWNLOAD_DEFAULT_MSG":
//   model ":" font "," style "," colour "," speed "," alignment "," pause ","
//   x "," y "," text
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace glowset {

struct DefaultMessageRecord {
    std::string model;
    // font, style, colour, speed, alignment, pause as the record gives them
    // (a missing or non-numeric field reads as 0).
    std::array<int16_t, 6> numbers{};
    std::string storedText;  // the ninth field; cut at a "," or ":" in the message
};
enum RecordField {
    kRecordFont,
    kRecordStyle,
    kRecordColour,
    kRecordSpeed,
    kRecordAlignment,
    kRecordPause
};

// nullopt for a line without ":", which cannot be a record.
std::optional<DefaultMessageRecord> parseDefaultMessageRecord(std::string_view line);

// The list positions the record stands for: an RV2210 sign reports each as
// a character code from its offset (font 64, style and colour 65, speed and
// pause 48, alignment 49); every other model reports the positions.
std::array<int16_t, 6> recordPositions(const DefaultMessageRecord& record);

}  // namespace glowset
