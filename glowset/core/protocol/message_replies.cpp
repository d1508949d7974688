#include "glowset/core/protocol/message_replies.h"

#include "glowset/core/protocol/numbers.h"
#include "glowset/core/text/sign_clock.h"

namespace glowset {

MessageReply decodeMessageReply(MessageWindow window, std::string_view line) {
    using Kind = MessageReply::Kind;
    MessageReply reply;
    if (line.empty()) return reply;
    if (containsIgnoreCase(line, "done")) {
        reply.kind = Kind::Done;
        return reply;
    }
    if (equalsIgnoreCase(line, "error")) {
        reply.kind = Kind::Refused;
        return reply;
    }
    if (window == MessageWindow::DefaultMessage) {
        if (line.rfind("TIME", 0) == 0) {
            if (const auto on = idleDisplayFromReply(line)) {
                reply.kind = Kind::IdleDisplay;
                reply.idleOn = *on;
            }
            return reply;
        }
        if (line.rfind("default", 0) == 0) {
            reply.kind = Kind::DefaultStored;
            return reply;
        }
    } else if (line.find(':') == std::string_view::npos ||
               line.find("SET TIME") != std::string_view::npos) {
        return reply;
    }
    reply.record = parseDefaultMessageRecord(line);
    if (reply.record) reply.kind = Kind::Record;
    return reply;
}

}  // namespace glowset
