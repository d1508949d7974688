// Any bytes and breaks on the line into the simulated unit, both loaders.
#include "sim/unitsim/unit.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (auto protocol : {unitsim::Protocol::M16c, unitsim::Protocol::Native}) {
        unitsim::Unit unit(protocol);
        unit.hostBaud(0);
        std::vector<uint8_t> chunk;
        for (size_t i = 0; i < size; ++i) {
            if (data[i] == 0xFE && i + 1 < size) {  // a break event
                unit.receive(chunk);
                chunk.clear();
                unit.lineBreak(data[++i] & 1);
            } else {
                chunk.push_back(data[i]);
            }
        }
        unit.receive(chunk);
    }
    return 0;
}
