// Any command line through romwright's option parsing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "romwright/app/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> tokens;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ' ') {
            tokens.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    romwright::parse_command_line(tokens);
    for (const auto& piece : romwright::split_on(text, '-')) romwright::parse_hex(piece, 0);
    return 0;
}
