#include "glowset/protocol/replies.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

TEST(ClassifyReply, FirstMatchingRuleInTableOrder) {
    using K = ReplyKind;
    const struct {
        const char* line;
        ReplyKind kind;
        std::optional<std::string> secondWord;
    } cases[] = {
        {"", K::Ignored, {}},       {"Done", K::Done, {}},      {"DONE.", K::Done, {}},
        {"job done", K::Done, {}},
        {"default done", K::Done, {}},  // "done" is tested before "default"
        {"default 2", K::Default, "2"},
        {"DEFAULT message stored", K::Default, "message"},
        {"default", K::Default, {}},
        {"linked default", K::Default, "default"},  // "default" before "linked"
        {"delinked", K::Delinked, {}},
        {"Delinked", K::Delinked, {}},
        {"delinked 4", K::Linked, "4"},  // not the whole line, so reply 4
        {"linked 4", K::Linked, "4"},
        {"linked", K::Linked, {}},
        {"linked  4", K::Linked, ""},  // split at every blank: the second piece is empty
        {"user cmd", K::UserCommand, {}},
        {"USER CMD", K::UserCommand, {}},
        {"user cmd ", K::Ignored, {}},  // "is" means the whole line
        {"Auto ID", K::AutoId, {}},
        {"auto id", K::AutoId, {}},
        {"Auto ID\r", K::Ignored, {}},  // the CR is part of the line
        {"User ID", K::UserId, {}},         {"error", K::Error, {}},
        {"ERROR", K::Error, {}},            {"error: bad", K::Settings, {}},
        {"XY12,5:1,2,3", K::Settings, {}},  {"hello", K::Ignored, {}},
    };
    for (const auto& c : cases) {
        const Reply reply = classifyReply(c.line);
        EXPECT_EQ(reply.kind, c.kind) << '"' << c.line << '"';
        EXPECT_EQ(reply.secondWord, c.secondWord) << '"' << c.line << '"';
    }
}

}  // namespace
}  // namespace glowset
