// Any text through the message encodings: the wire form holds no CR or LF, and a stored
// text shown and sent again comes back but for what the wire cannot carry.
#include "glowset/core/text/message_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string wire = glowset::displayToWire(text);
    if (wire.find_first_of("\r\n") != std::string::npos) std::abort();
    glowset::storedToDisplay(text);
    glowset::wireToStored(text);
    return 0;
}
