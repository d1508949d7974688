// Any reply line through the classifier, status texts, TIME reply and settings parser.
#include "glowset/core/protocol/replies.h"
#include "glowset/core/protocol/settings_line.h"
#include "glowset/core/text/sign_clock.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const glowset::Reply reply = glowset::classifyReply(text);
    glowset::statusTextForReply(reply, static_cast<int>(size) * 20);
    glowset::idleDisplayFromReply(text);
    const glowset::SettingsLine line = glowset::parseSettingsLine(text);
    for (int p = 0; p < 5; ++p) glowset::decodePriority(line, p);
    glowset::LinkEntries entries;
    glowset::mergeLinkEntries(entries, line);
    glowset::mergeLinkEntries(entries, line);
    glowset::linkBoxesFrom(entries);
    glowset::idModeOf(line);
    glowset::userCommandOf(line);
    return 0;
}
