#include "glowset/core/protocol/commands.h"

#include "glowset/core/text/message_text.h"

namespace glowset {
namespace {

// " key=value" with the value in decimal.
std::string attribute(std::string_view key, int value) {
    return " " + std::string(key) + "=" + std::to_string(value);
}

std::string attribute(std::string_view key, std::string_view value) {
    return " " + std::string(key) + "=" + std::string(value);
}

}  // namespace

std::string downloadAllCommand() {
    return "DOWNLOAD_ALL";
}

std::string priorityRecordCommand(int priority, const PriorityRecord& r) {
    return "<DF" + attribute("pr", priority) + attribute("f", r.font) + attribute("c", r.colour) +
           attribute("s", r.style) + attribute("a", r.alignment) + attribute("sp", r.speed) +
           attribute("p", r.pause) + attribute("b", r.beep) + attribute("t", r.timeout) + ">";
}

std::string idModeCommand(bool automatic) {
    return automatic ? "<id=auto>" : "<id=user>";
}

std::string userCommandCommand(std::string_view text) {
    return "<UC>" + std::string(text);
}

std::string linkClearCommand(int id) {
    return "<link" + attribute("id", id) + " cap=0>";
}

std::string linkSetCommand(int id, std::string_view capcodes, int priority) {
    return "<link" + attribute("id", id) + attribute("cap", capcodes) + attribute("pr", priority) +
           ">";
}

std::string factoryDefaultsCommand() {
    return "<FD>";
}

std::string defaultMessageCommand(const DefaultMessageParams& p, std::string_view messageText) {
    const std::string tag = "<DF" + attribute("f", p.font) + attribute("c", p.colour) +
                            attribute("s", p.style) + attribute("a", p.alignment) +
                            attribute("sp", p.speed) + attribute("p", p.pause) + ">";
    return displayToWire(tag + std::string(messageText));
}

std::string deleteDefaultMessageCommand() {
    return "<del id=def>";
}

std::string downloadDefaultMessageCommand() {
    return "DOWNLOAD_DEFAULT_MSG";
}

std::string timeStatusCommand() {
    return "TIME_STATUS";
}

std::string idleTimeDisplayCommand(const DefaultMessageParams& p, int16_t timeFormat) {
    return "<TIME" + attribute("f", p.font) + attribute("c", p.colour) + attribute("s", p.style) +
           attribute("a", p.alignment) + attribute("sp", p.speed) + attribute("p", p.pause) +
           attribute("fm", timeFormat) + ">IDLE ON";
}

std::string idleSwitchCommand(bool on) {
    return on ? "<TIME>IDLE ON" : "<TIME>IDLE OFF";
}

std::string resetCommand() {
    return "RESET";
}

std::string testMessageCommand(const TestMessageParams& p, std::string_view inlineText) {
    const std::string tag =
        "<id=" + std::to_string(p.id) + attribute("f", p.font) + attribute("s", p.style) +
        attribute("c", p.colour) + attribute("a", p.alignment) + attribute("b", p.beep) +
        attribute("p", p.pause) + attribute("sp", p.speed) + attribute("t", p.timeout) + ">";
    return displayToWire(tag + std::string(inlineText));
}

}  // namespace glowset
