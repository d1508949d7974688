// Classification of the reply lines that reach the main window, and the
// status texts they produce.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace glowset {

enum class ReplyKind {
    Ignored,      // empty or unknown line
    Done,         // contains "done"
    Default,      // contains "default"
    Delinked,     // is "delinked"
    Linked,       // contains "linked"
    UserCommand,  // is "user cmd"
    AutoId,       // is "Auto ID"
    UserId,       // is "User ID"
    Error,        // is "error"
    Settings,     // contains ":" - the settings line
};

struct Reply {
    ReplyKind kind = ReplyKind::Ignored;
    // The second blank-separated word, for "default" and "linked" replies;
    // nullopt when the line has no blank.
    std::optional<std::string> secondWord;
};

// Tests the line (without its LF) against the reply words in their fixed
// order; letter case is ignored, a CR stays part of the line.
Reply classifyReply(std::string_view line);

// The status line for a reply, given the upload progress value; nullopt for
// replies that show nothing. A reply whose second word is missing also gives
// nullopt: the status line then shows its previous text again.
std::optional<std::string> statusTextForReply(const Reply& reply, int progressValue);

}  // namespace glowset
