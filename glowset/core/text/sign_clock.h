// The sign's clock and its idle time display: the command that sets the
// clock from the PC's local time, and the reply that tells whether the idle
// time display is on.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace glowset {

// A moment of the PC's local clock, each field as the calendar shows it.
struct LocalTime {
    int year = 0;
    int month = 1;  // 1 to 12
    int day = 1;    // 1 to 31
    int hour = 0;   // 0 to 23
    int minute = 0;
    int second = 0;
    int weekday = 0;  // 0 Sunday to 6 Saturday
};

// "<Time time=HH:MM:SS date=YYYY/MO/DD-W>SET TIME", without terminator.
std::string clockCommand(const LocalTime& now);

// The idle display state a reply line reports: a line beginning "TIME" whose
// third ":"-field is exactly "1" means on, any other third field off. Lines
// that do not begin with "TIME", or have no third field, leave the state as
// it was (nullopt).
std::optional<bool> idleDisplayFromReply(std::string_view line);

inline constexpr std::string_view kIdleOnCaption = "is ON";
inline constexpr std::string_view kIdleOffCaption = "is OFF";

}  // namespace glowset
