// The settings line: a sign's answer to "DOWNLOAD_ALL".
//
//   [DOWNLOAD_ALL]model[,firmware]:f0,f1,...,f89
//
// Fields 8P..8P+7 are font, style, colour, speed, alignment, pause, beep and
// time-out of priority P; fields 40+3j..42+3j are link entry j (id, capcode,
// priority); field 88 is the id mode and field 89 the user command.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace glowset {

inline constexpr int kSettingsBodyFields = 90;
inline constexpr int kLinkEntryCount = 16;
inline constexpr int kLinkFieldsStart = 40;
inline constexpr int kIdModeField = 88;
inline constexpr int kUserCommandField = 89;

// The order in which the settings line reports the values of a priority.
enum PriorityField { kFont, kStyle, kColour, kSpeed, kAlignment, kPause, kBeep, kTimeout };
inline constexpr int kPriorityFieldCount = 8;

struct SettingsLine {
    std::string header;  // with every "DOWNLOAD_ALL" removed
    std::string model;   // the header's first comma field
    // All of the header after its first comma; nullopt for a sign too old to
    // report a firmware count (a header without ",").
    std::optional<std::string> firmwareCount;
    std::vector<std::string> body;  // at most kSettingsBodyFields fields

    // A body field; nullopt when the line is too short to hold it (an empty
    // field is present and reads as "").
    std::optional<std::string> field(int index) const;
};

// True for a line that is a sign's settings line: a model name (letters,
// digits, ".", "_", "-"; "DOWNLOAD_ALL" echoes removed) with an optional
// firmware count, ":", and at least one field, with numbers wherever the
// priority, link and id-mode fields stand (an empty field is allowed). The
// user command may hold anything. Lines from other devices (a console, a
// modem) are not.
bool isSettingsLine(std::string_view line);

// Splits a settings line. Never fails: a line without ":" has an empty body.
SettingsLine parseSettingsLine(std::string_view line);

// The values of one priority as the main window's codes (list positions and
// the time-out in seconds), decoded for the sign's model. An entry is nullopt
// when its field is missing or its value does not fit 16 bits.
using DecodedPriority = std::array<std::optional<int16_t>, kPriorityFieldCount>;
DecodedPriority decodePriority(const SettingsLine& line, int priority);

// One link entry as the sign reported it. The main window keeps the entries
// between settings lines: a field missing from a short line keeps the value
// it had (nullopt until a line first reports it).
struct LinkEntry {
    std::optional<std::string> id;
    std::optional<std::string> capcode;
    std::optional<std::string> priority;
};
using LinkEntries = std::array<LinkEntry, kLinkEntryCount>;
void mergeLinkEntries(LinkEntries& entries, const SettingsLine& line);

// What the link controls of one message id show after the entries are applied.
struct LinkBox {
    std::string capcodes;  // entries of this id joined by "," in entry order
    // Position to select in the id's priority list, and its text as reported;
    // nullopt leaves the list as it is (no entry, or priority 5 or more).
    std::optional<int16_t> priorityIndex;
    std::string priorityText;
};
inline constexpr int kLinkIds = 8;
std::array<LinkBox, kLinkIds> linkBoxesFrom(const LinkEntries& entries);

// Field 88: "1" is automatic ids, anything else user ids; nullopt if missing.
std::optional<bool> idModeOf(const SettingsLine& line);
// Field 89, the user command text; nullopt if missing.
std::optional<std::string> userCommandOf(const SettingsLine& line);

}  // namespace glowset
