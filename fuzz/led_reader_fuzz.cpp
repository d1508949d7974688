// Any file through the settings-file reader; what it reads writes out and reads back.
#include "glowset/core/settings/led_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view contents(reinterpret_cast<const char*>(data), size);
    const glowset::LedReadResult result = glowset::readLedFile(contents);
    if (result.error && result.error->description.empty()) std::abort();

    // Apply the priorities read to a set-up and check it survives a round trip.
    glowset::LedSettings settings;
    for (const auto& application : result.applications) {
        if (const auto* p = std::get_if<glowset::led::PriorityValues>(&application)) {
            settings.priorities[p->priority] = p->values;
        } else if (const auto* m = std::get_if<glowset::led::DefaultMessage>(&application)) {
            settings.defaultMessage = m->stored;
        }
    }
    const glowset::LedReadResult again = glowset::readLedFile(glowset::writeLedFile(settings));
    if (again.error) std::abort();
    return 0;
}
