// What the sign answers the message windows' commands, decoded. The two
// windows read a line by their own rules: the default message window also
// takes the idle display state and the "default message" acknowledgement;
// the test message window passes over a line without ":" or a clock echo.
#pragma once

#include "glowset/core/protocol/default_message_record.h"

#include <optional>
#include <string_view>

namespace glowset {

enum class MessageWindow { DefaultMessage, TestMessage };

struct MessageReply {
    enum class Kind {
        None,           // nothing the window shows
        Done,           // the sign took the command
        Refused,        // the sign answered "error"
        IdleDisplay,    // the idle time display state, in `idleOn`
        DefaultStored,  // "default message": the sign stored it
        Record          // the default message record, in `record`
    };
    Kind kind = Kind::None;
    bool idleOn = false;
    std::optional<DefaultMessageRecord> record;
};

MessageReply decodeMessageReply(MessageWindow window, std::string_view line);

}  // namespace glowset
