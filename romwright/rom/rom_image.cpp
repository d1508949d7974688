#include "romwright/rom/rom_image.h"

#include <cstring>

namespace romwright {

bool read_text_field(std::FILE* stream, std::string& text, size_t limit) {
    text.clear();
    while (true) {
        const int c = std::fgetc(stream);
        if (c == EOF) return false;
        if (c == 0) return true;
        if (text.size() + 1 < limit) text.push_back(static_cast<char>(c));
    }
}

RunResult read_rom_header(std::FILE* stream, RomHeader& header) {
    std::string magic;
    if (!read_text_field(stream, magic, kTextLimit) || magic != kRomMagic) return kInvalidFile;
    if (!read_text_field(stream, header.caption1, kTextLimit)) return kInvalidFile;
    if (!read_text_field(stream, header.caption2, kTextLimit)) return kInvalidFile;
    const int programmer = std::fgetc(stream);
    if (programmer == EOF) return kInvalidFile;
    header.programmer = static_cast<uint8_t>(programmer);
    return kSuccess;
}

RunResult read_rom_header(const std::string& path, RomHeader& header) {
    std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    if (!file) return kInvalidFileName;
    const RunResult result = read_rom_header(file, header);
    std::fclose(file);
    return result;
}

uint32_t count_records(std::FILE* stream) {
    const long start = std::ftell(stream);
    if (start < 0 || std::fseek(stream, 0, SEEK_END) != 0) return 0;
    const long end = std::ftell(stream);
    std::fseek(stream, start, SEEK_SET);
    if (end < start) return 0;
    return static_cast<uint32_t>(static_cast<unsigned long>(end - start) / kRecordSize);
}

bool read_record(std::FILE* stream, RomRecord& record) {
    uint8_t bytes[kRecordSize];
    if (std::fread(bytes, 1, kRecordSize, stream) != kRecordSize) return false;
    record.kind = bytes[0];
    record.address = static_cast<uint32_t>(bytes[4]) | static_cast<uint32_t>(bytes[5]) << 8 |
                     static_cast<uint32_t>(bytes[6]) << 16 | static_cast<uint32_t>(bytes[7]) << 24;
    record.write_word = static_cast<uint16_t>(bytes[8] | bytes[9] << 8);
    std::memcpy(record.data.data(), bytes + 10, kPageSize);
    return true;
}

std::string rom_description(const RomHeader& header) {
    return header.caption1 + " " + header.caption2;
}

}  // namespace romwright
