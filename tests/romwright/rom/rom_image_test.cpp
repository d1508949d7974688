#include "romwright/rom/rom_image.h"

#include <gtest/gtest.h>

#include "tests/romwright/support/fake_device.h"

namespace romwright::testing {
namespace {

TEST(ReadRomHeader, FieldsAndEveryWayToBeInvalid) {
    const std::string long300(300, 'y');
    const std::string magic = RomBuilder().magic;
    constexpr size_t kWhole = SIZE_MAX;
    const struct {
        const char* name;
        RomBuilder rom;
        size_t keep;  // bytes of the file kept
        RunResult result;
        std::string caption1;
        int programmer;
    } cases[] = {
        // clang-format off
        {"good", {}, kWhole, kSuccess, "Sign", 1},
        {"magic with more after it", {.magic = magic + "x"}, kWhole, kInvalidFile, "", 0},
        {"caption of 300 is cut but read to its end", {.caption1 = long300}, kWhole, kSuccess, std::string(255, 'y'), 1},
        {"no programmer byte", {}, 38 + 5 + 9, kInvalidFile, "", 0},
        {"file ends inside caption2", {}, 45, kInvalidFile, "", 0},
        {"empty file", {}, 0, kInvalidFile, "", 0},
        {"unknown programmer passes the header", {.programmer = 7}, kWhole, kSuccess, "Sign", 7},
        // clang-format on
    };
    for (const auto& c : cases) {
        RomBuilder builder = c.rom;
        Bytes bytes = builder.page(0x80000, 0x11).bytes();
        bytes.resize(std::min(bytes.size(), c.keep));
        bytes.push_back(0);  // fmemopen needs a buffer; the extra byte is cut off below
        RomHeader header;
        std::FILE* stream =
            bytes.size() > 1 ? fmemopen(bytes.data(), bytes.size() - 1, "rb") : nullptr;
        const RunResult result = stream ? read_rom_header(stream, header) : kInvalidFile;
        if (stream) std::fclose(stream);
        EXPECT_EQ(result, c.result) << c.name;
        if (result == kSuccess) {
            EXPECT_EQ(header.caption1, c.caption1) << c.name;
            EXPECT_EQ(header.caption2, "firmware") << c.name;
            EXPECT_EQ(header.programmer, c.programmer) << c.name;
        }
    }
}

}  // namespace
}  // namespace romwright::testing
