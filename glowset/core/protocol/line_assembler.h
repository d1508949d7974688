// Reply lines from the characters a port hands over one at a time: a line
// ends at LF; a line that grows past the limit without one is noise, and it
// is dropped up to its LF so memory stays bounded.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace glowset {

inline constexpr size_t kReceiveLineLimit = 4096;

class LineAssembler {
  public:
    // One character; a whole line (without its LF) when this one ended it.
    std::optional<std::string> add(char c);
    // Drops a partial line (the port closed, or the line timed out).
    void reset();
    // Characters of a line are arriving and its LF has not come yet.
    bool inLine() const { return !buffer_.empty() || discarding_; }

  private:
    std::string buffer_;
    bool discarding_ = false;  // inside an overlong line, until its LF
};

}  // namespace glowset
