// What the main window believes the sign holds, and the change detection
// that compares the window's controls with it to decide what an upload sends.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace glowset {

// The order of a priority's values in the settings line and in SignCopy.
inline constexpr int kPriorityValueCount =
    8;  // font, style, colour, speed, alignment, pause, beep, time-out
inline constexpr int kLinkSlots = 9;  // 0-8, of which 0-7 are used

// The controls as the change detection reads them.
struct WindowSettings {
    struct Priority {
        // font, style, colour, speed, alignment, pause, beep: selected positions, -1 for none
        std::array<int16_t, 7> codes{-1, -1, -1, -1, -1, -1, -1};
        std::string timeoutText;
    };
    std::array<Priority, 5> priorities;
    std::array<std::string, 8> capcodes;
    std::array<int16_t, 8> linkPriorities{-1, -1, -1, -1, -1, -1, -1, -1};
    std::string userCommand;
    int16_t autoId = 0;  // the check box value
};

struct SignCopy {
    // Per priority: font, style, colour, speed, alignment, pause, beep and the
    // time-out in seconds.
    std::array<std::array<int16_t, kPriorityValueCount>, 5> priorities{};
    std::array<std::string, kLinkSlots> capcodes;
    std::array<std::string, kLinkSlots> linkPriorities;  // decimal text
    int16_t idMode = 0;
    std::string userCommand;
};

struct ChangeFlags {
    std::array<bool, 5> priorityChanged{};
    std::array<bool, kLinkSlots> linkChanged{};
    bool idModeChanged = false;
    bool userCommandChanged = false;

    int setCount() const;
    void setAll();  // what Force Upload sends: every record, link, id mode and user command
    void add(const ChangeFlags& other);     // sets every flag that is set in other
    void remove(const ChangeFlags& other);  // clears every flag that is set in other
};

// The time-out box's text as the number the sign copy keeps: its leading
// number rounded, clamped to 16 bits, so odd text never stops the program.
int16_t timeoutSeconds(const std::string& text);

// Compares every control with the copy, sets the flag of each difference and
// stores the control's value in the copy. Never clears a flag. Returns a
// count that is 0 exactly when nothing is to be sent.
int getChangedRows(const WindowSettings& window, SignCopy& copy, ChangeFlags& flags);

}  // namespace glowset
