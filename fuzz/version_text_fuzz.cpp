// Any page text through the version parser and the page search.
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
    std::vector<std::string> elements;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            elements.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    glowset::FindPageText(elements, "glowset");
    return 0;
}
