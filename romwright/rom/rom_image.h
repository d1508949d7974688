// ROM images (*.rom): a header of three NUL-terminated texts and a
// programmer byte, then 268-byte records, little-endian, no checksum, no
// count, no end marker.
#pragma once

#include "romwright/run/run_result.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

namespace romwright {

inline constexpr const char* kRomMagic = "Orvantis Signals Company ROMFile v100";
inline constexpr size_t kRecordSize = 268;
inline constexpr size_t kPageSize = 256;
// Texts are kept to this many characters; longer ones are cut, but always
// read up to their NUL so the fields after them stay in place.
inline constexpr size_t kTextLimit = 256;

enum ProgrammerKind : uint8_t { kM16cProgrammer = 0, kNativeProgrammer = 1 };
enum RecordKind : uint8_t { kPageRecord = 2, kIgnoredRecord = 3 };

struct RomHeader {
    std::string caption1;
    std::string caption2;
    uint8_t programmer = 0;
};

struct RomRecord {
    uint8_t kind = 0;
    uint32_t address = 0;
    uint16_t write_word = 0;
    std::array<uint8_t, kPageSize> data{};
};

// Reads one text field up to and including its NUL; keeps at most limit - 1
// characters of it. False when the file ends before the NUL.
bool read_text_field(std::FILE* stream, std::string& text, size_t limit);

// Reads the header from the stream's current position: invalid file (3) for
// a field cut short, a wrong magic or a missing programmer byte.
RunResult read_rom_header(std::FILE* stream, RomHeader& header);

// The preview: opens the file (invalid file name, 4, when it cannot be
// opened), reads its header and closes it again.
RunResult read_rom_header(const std::string& path, RomHeader& header);

// The record count a run reports as its progress total: the whole records
// from the stream's current position to the end of the file. The position
// is left where it was.
uint32_t count_records(std::FILE* stream);

// The next whole record; false at the end of the file (a trailing part of
// a record is not a record).
bool read_record(std::FILE* stream, RomRecord& record);

// The caption the window shows: caption1, a space, caption2.
std::string rom_description(const RomHeader& header);

}  // namespace romwright
