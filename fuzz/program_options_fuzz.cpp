// Any argument list through romwright's whole command line, long and short options.
#include "romwright/app/program_options.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> arguments;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            arguments.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    romwright::parse_program_options(arguments);
    return 0;
}
