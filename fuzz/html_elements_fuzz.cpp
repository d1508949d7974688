// Any downloads page through the HTML reader, the version search and parser.
#include "glowset/core/update/html_elements.h"
#include "glowset/core/update/version_text.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view page(reinterpret_cast<const char*>(data), size);
    glowset::ParseVersionText(glowset::lastElementTextContaining(page, "glowset"));
    glowset::normalizeWhitespace(page);
    if (std::isnan(glowset::ParseVersionText(std::string(page)))) std::abort();
    return 0;
}
