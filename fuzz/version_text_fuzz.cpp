// Any page text through the version parser.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "glowset/update/version_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double version = glowset::ParseVersionText(text);
    if (std::isnan(version)) std::abort();
    return 0;
}
