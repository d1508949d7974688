// Builders for every command line sent to a sign. Each returns the line
// without its terminator; the sender appends kCommandEnd (CR) except where a
// command is sent bare (the idle display switches).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace glowset {

inline constexpr char kCommandEnd = '\r';
inline constexpr char kReplyEnd = '\n';

// Option codes of one priority as list positions (-1 = nothing selected) and
// the time-out text exactly as typed.
struct PriorityRecord {
    int16_t font = -1;
    int16_t style = -1;
    int16_t colour = -1;
    int16_t speed = -1;
    int16_t alignment = -1;
    int16_t pause = -1;
    int16_t beep = -1;
    std::string timeout;
};

// Main window.
std::string downloadAllCommand();                                        // DOWNLOAD_ALL
std::string priorityRecordCommand(int priority, const PriorityRecord&);  // <DF pr=...>
std::string idModeCommand(bool automatic);                               // <id=auto> / <id=user>
std::string userCommandCommand(std::string_view text);                   // <UC>text
std::string linkClearCommand(int id);                                    // <link id=N cap=0>
std::string linkSetCommand(int id, std::string_view capcodes, int priority);
std::string factoryDefaultsCommand();  // <FD>

// Default message window. The six codes are list positions.
struct DefaultMessageParams {
    int16_t font = -1;
    int16_t colour = -1;
    int16_t style = -1;
    int16_t alignment = -1;
    int16_t speed = -1;
    int16_t pause = -1;
};
// "<DF f= c= s= a= sp= p=>" + message, encoded for the wire.
std::string defaultMessageCommand(const DefaultMessageParams&, std::string_view messageText);
std::string deleteDefaultMessageCommand();    // <del id=def>
std::string downloadDefaultMessageCommand();  // DOWNLOAD_DEFAULT_MSG
std::string timeStatusCommand();              // TIME_STATUS
// "<TIME f= c= s= a= sp= p= fm=>IDLE ON": idle time display with these codes.
std::string idleTimeDisplayCommand(const DefaultMessageParams&, int16_t timeFormat);
// "<TIME>IDLE ON" / "<TIME>IDLE OFF": sent without terminator.
std::string idleSwitchCommand(bool on);
std::string resetCommand();  // RESET

// Test message window.
struct TestMessageParams {
    int16_t id = 0;
    int16_t font = -1;
    int16_t style = -1;
    int16_t colour = -1;
    int16_t alignment = -1;
    int16_t beep = -1;
    int16_t pause = -1;
    int16_t speed = -1;
    std::string timeout;
};
// "<id= f= s= c= a= b= p= sp= t=>" + inline text, encoded for the wire.
std::string testMessageCommand(const TestMessageParams&, std::string_view inlineText);

}  // namespace glowset
