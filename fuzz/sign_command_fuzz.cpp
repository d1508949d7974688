// Any bytes on the line into the simulated sign, in several models.
#include "sim/signsim/sign.h"
#include "sim/signsim/terminal_view.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const char* model : {"XY12", "RV2210", "KL404"}) {
        signsim::Sign sign({model, "4"}, [] { return std::time_t(1700000000); });
        sign.receive(bytes);
        sign.settingsLine();
        sign.defaultMessageRecord();
        signsim::renderDisplay(sign.display());
        signsim::escapeBytes(bytes);
    }
    return 0;
}
