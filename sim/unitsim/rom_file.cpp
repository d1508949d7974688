#include "sim/unitsim/rom_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace unitsim {

RomFile& RomFile::addPages(uint32_t first, int count) {
    for (int p = 0; p < count; ++p) {
        pages.push_back({.address = first + 256u * p, .fill = static_cast<uint8_t>(p + 1)});
    }
    return *this;
}

std::vector<uint8_t> RomFile::bytes() const {
    std::vector<uint8_t> out;
    for (const std::string* text : {&magic, &caption1, &caption2}) {
        out.insert(out.end(), text->begin(), text->end());
        out.push_back(0);
    }
    if (loader >= 0) out.push_back(static_cast<uint8_t>(loader));
    for (const RomPage& page : pages) {
        std::vector<uint8_t> record(268, 0);
        record[0] = page.kind;
        for (int i = 0; i < 4; ++i) record[4 + i] = static_cast<uint8_t>(page.address >> (8 * i));
        record[8] = static_cast<uint8_t>(page.writeWord);
        record[9] = static_cast<uint8_t>(page.writeWord >> 8);
        std::fill(record.begin() + 10, record.begin() + 266, page.fill);
        out.insert(out.end(), record.begin(), record.end());
    }
    return out;
}

RomFile sampleRom(Protocol protocol) {
    RomFile rom{.caption1 = "unitsim sample",
                .caption2 = "test pattern",
                .loader = protocol == Protocol::M16c ? 0 : 1};
    rom.pages = {{0x0F000, 0x0A}, {0x80000, 0x00}, {0x80100, 0x0D},
                 {0x80200, 0x11}, {0x80300, 0x13}, {0xFFF00, 0x5C}};
    return rom;
}

bool writeRomFile(const RomFile& rom, const std::string& path, std::string& error) {
    const std::vector<uint8_t> bytes = rom.bytes();
    const std::string part = path + ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (out) {
            out.close();
            if (out && std::rename(part.c_str(), path.c_str()) == 0) return true;
        }
    }
    error = "cannot write " + path + ": " + std::strerror(errno);
    std::remove(part.c_str());
    return false;
}

}  // namespace unitsim
