// Firmware images in the flasher's .rom form, for a workbench without the maker's files:
// a magic line, two captions and the loader byte, then a 268-byte record for each page.
#pragma once

#include "sim/unitsim/unit.h"

#include <cstdint>
#include <string>
#include <vector>

namespace unitsim {

struct RomPage {
    uint32_t address = 0;
    uint8_t fill = 0;  // every byte of the page
    uint16_t writeWord = 0;
    uint8_t kind = 2;  // 2 is a page to write
};

struct RomFile {
    std::string magic = "Orvantis Signals Company ROMFile v100";
    std::string caption1 = "Sign", caption2 = "firmware";
    int loader = 1;  // the byte after the captions: 0 the M16C boot loader, 1 native; <0 none
    std::vector<RomPage> pages;

    // `count` pages one after the other from `first`, filled with 1, 2, ...
    RomFile& addPages(uint32_t first, int count);
    std::vector<uint8_t> bytes() const;
};

// What --make-rom writes: pages at both ends of the flash, each filled with a byte a
// serial line likes to mangle (LF, NUL, CR, XON, XOFF, backslash).
RomFile sampleRom(Protocol protocol);

// Writes the whole file or leaves none; on failure `error` says why.
bool writeRomFile(const RomFile& rom, const std::string& path, std::string& error);

}  // namespace unitsim
