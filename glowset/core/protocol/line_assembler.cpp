#include "glowset/core/protocol/line_assembler.h"

#include "glowset/core/protocol/commands.h"

namespace glowset {

std::optional<std::string> LineAssembler::add(char c) {
    if (c != kReplyEnd) {
        if (discarding_) return std::nullopt;
        buffer_ += c;
        if (buffer_.size() > kReceiveLineLimit) {
            buffer_.clear();
            discarding_ = true;
        }
        return std::nullopt;
    }
    std::string line = std::move(buffer_);
    buffer_.clear();
    if (discarding_) {
        discarding_ = false;
        return std::nullopt;
    }
    return line;
}

void LineAssembler::reset() {
    buffer_.clear();
    discarding_ = false;
}

}  // namespace glowset
