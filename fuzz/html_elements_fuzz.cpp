// Any downloads page through the HTML reader and the version search.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "glowset/update/html_elements.h"
#include "glowset/update/version_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto texts =
        glowset::htmlElementTexts(std::string_view(reinterpret_cast<const char*>(data), size));
    glowset::ParseVersionText(glowset::FindPageText(texts, "glowset"));
    return 0;
}
