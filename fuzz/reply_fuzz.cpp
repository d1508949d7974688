// Any reply line through the classifier, its status texts and the TIME reply.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "glowset/protocol/replies.h"
#include "glowset/windows/sign_clock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const glowset::Reply reply = glowset::classifyReply(line);
    glowset::statusTextForReply(reply, static_cast<int>(size) * 20);
    glowset::idleDisplayFromReply(line);
    return 0;
}
