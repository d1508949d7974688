// The settings file (*.led): a whole sign set-up as "Key:value" lines in the
// 8-bit code page, each ended by CR LF.
//
// The writer produces the exact bytes of a file. The reader turns a file into
// the ordered list of changes its lines make to the main window; it stops at
// the first value that cannot be converted where a number is needed, so the
// window can apply everything before it and report the failure.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace glowset {

struct LedPriority {
    // font, style, colour, speed, alignment, pause, beep as list positions
    // (-1 = no selection), then the time-out text as typed.
    std::array<int16_t, 7> codes{-1, -1, -1, -1, -1, -1, -1};
    std::string timeout;
    bool operator==(const LedPriority&) const = default;
};

struct LedLink {
    std::string capcodes;   // text of the id's capcode box
    int16_t priority = -1;  // position of the id's priority list
};

// The default message and its six codes in the order of the file's lines.
enum DefaultCode { kDefFont, kDefColor, kDefStyle, kDefAlign, kDefSpeed, kDefPause };
inline constexpr int kDefaultCodeCount = 6;

struct LedSettings {
    std::string model;  // caption of the model label
    int16_t com = 0;    // port list position + 1; 0 when none is selected
    std::array<LedPriority, 5> priorities;
    std::array<LedLink, 8> links;
    std::string defaultMessage;  // line breaks as CR LF, as the main window keeps it
    std::array<int16_t, kDefaultCodeCount> defaultCodes{};
    int16_t autoId = 0;  // 0 clear, 1 ticked, 2 greyed
};

// The whole file: 23 lines and an empty last line, CR LF after each.
std::string writeLedFile(const LedSettings& settings);

// ---- reading --------------------------------------------------------------

// One change a line of the file makes to the main window.
namespace led {
struct ModelCaption {
    std::string text;
    bool operator==(const ModelCaption&) const = default;
};
// The "Com:" value minus 1.
struct PortPosition {
    int16_t position;
    bool operator==(const PortPosition&) const = default;
};
struct PriorityValues {
    int priority;
    LedPriority values;
    bool operator==(const PriorityValues&) const = default;
};
struct LinkCapcodes {
    int link;
    std::string text;
    bool operator==(const LinkCapcodes&) const = default;
};
// Only for values below 5.
struct LinkPriority {
    int link;
    int16_t position;
    bool operator==(const LinkPriority&) const = default;
};
// Capcode box and priority text emptied.
struct LinkCleared {
    int link;
    bool operator==(const LinkCleared&) const = default;
};
// Byte 170 kept as it is.
struct DefaultMessage {
    std::string stored;
    bool operator==(const DefaultMessage&) const = default;
};
struct DefaultCodeValue {
    DefaultCode code;
    int16_t value;
    bool operator==(const DefaultCodeValue&) const = default;
};
struct AutoIdValue {
    int16_t value;
    bool operator==(const AutoIdValue&) const = default;
};
}  // namespace led

using LedApplication = std::variant<led::ModelCaption, led::PortPosition, led::PriorityValues,
                                    led::LinkCapcodes, led::LinkPriority, led::LinkCleared,
                                    led::DefaultMessage, led::DefaultCodeValue, led::AutoIdValue>;

struct LedReadError {
    int line = 0;  // 1-based line of the file
    int number = 0;
    std::string description;
};

struct LedReadResult {
    std::vector<LedApplication> applications;  // in file order
    std::optional<LedReadError> error;         // set when reading stopped early
};

inline constexpr int kLedErrorNotANumber = 13;
inline constexpr int kLedErrorOutOfRange = 6;

// Reads the contents of a settings file. Lines may end in CR LF, LF or CR.
LedReadResult readLedFile(std::string_view contents);

}  // namespace glowset
