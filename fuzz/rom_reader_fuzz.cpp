// Any file through the ROM header and record readers.
#include "romwright/rom/rom_image.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::vector<uint8_t> copy(data, data + size);
    std::FILE* stream = fmemopen(copy.data(), copy.size(), "rb");
    if (!stream) return 0;
    romwright::RomHeader header;
    if (romwright::read_rom_header(stream, header) == romwright::kSuccess) {
        const uint32_t total = romwright::count_records(stream);
        romwright::RomRecord record;
        uint32_t seen = 0;
        while (romwright::read_record(stream, record)) ++seen;
        if (seen != total) __builtin_trap();  // the total counts exactly the records read
    }
    std::fclose(stream);
    return 0;
}
