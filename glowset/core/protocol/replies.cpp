#include "glowset/core/protocol/replies.h"

#include "glowset/core/protocol/numbers.h"

namespace glowset {
namespace {

// The second piece when the line is split at every single blank.
std::optional<std::string> secondWordOf(std::string_view line) {
    const size_t first = line.find(' ');
    if (first == std::string_view::npos) return std::nullopt;
    const size_t second = line.find(' ', first + 1);
    return std::string(line.substr(
        first + 1, second == std::string_view::npos ? std::string_view::npos : second - first - 1));
}

}  // namespace

Reply classifyReply(std::string_view line) {
    if (line.empty()) return {};
    const std::string lower = toLowerAscii(line);
    const auto contains = [&](std::string_view word) {
        return lower.find(word) != std::string::npos;
    };
    if (contains("done")) return {ReplyKind::Done, {}};
    if (contains("default")) return {ReplyKind::Default, secondWordOf(line)};
    if (lower == "delinked") return {ReplyKind::Delinked, {}};
    if (contains("linked")) return {ReplyKind::Linked, secondWordOf(line)};
    if (lower == "user cmd") return {ReplyKind::UserCommand, {}};
    if (lower == "auto id") return {ReplyKind::AutoId, {}};
    if (lower == "user id") return {ReplyKind::UserId, {}};
    if (lower == "error") return {ReplyKind::Error, {}};
    if (contains(":")) return {ReplyKind::Settings, {}};
    return {};
}

std::optional<std::string> statusTextForReply(const Reply& reply, int progressValue) {
    switch (reply.kind) {
        case ReplyKind::Done:
            return "Uploaded " + shortestDecimal(progressValue / 20.0) + " Successfull";
        case ReplyKind::Default:
            if (!reply.secondWord) return std::nullopt;
            return "Default Uploaded : " + *reply.secondWord;
        case ReplyKind::Linked:
            if (!reply.secondWord) return std::nullopt;
            return "Linked ID : " + *reply.secondWord;
        case ReplyKind::UserCommand:
            return "User Command Uploaded";
        case ReplyKind::AutoId:
            return "Switched to Auto ID";
        case ReplyKind::UserId:
            return "Switched to User ID";
        default:
            return std::nullopt;
    }
}

}  // namespace glowset
