// Flashing through the termios layer into the unitsim program on a
// pseudo-terminal, and reading the flash back.
#include <filesystem>
#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "romwright/run/program_unit.h"
#include "romwright/serial/serial_port.h"
#include "romwright/serial/termios_device.h"
#include "tests/romwright/support/fake_device.h"

namespace romwright::testing {
namespace {

class FlashThroughPty : public ::testing::Test {
  protected:
    void start(const std::vector<std::string>& extra) {
        unit.start(extra);
        ASSERT_TRUE(std::filesystem::is_symlink(unit.link));
        ::setenv("COM1", unit.link.c_str(), 1);
    }
    Bytes stop() { return unit.stop(); }
    void TearDown() override { ::unsetenv("COM1"); }

    // An image from address `base` on, with pages of the bytes a serial line
    // likes to mangle (NUL, LF, CR, XON, XOFF) among random ones.
    static RomBuilder image(int pages, int programmer, Bytes& expected, uint32_t base = 0x80000) {
        RomBuilder builder;
        builder.programmer = programmer;
        expected.assign(1u << 20, 0xFF);
        std::mt19937 random(42);
        const uint8_t fills[] = {0x00, 0x0A, 0x0D, 0x11, 0x13, 0xFF};
        for (int p = 0; p < pages; ++p) {
            const uint32_t address = base + 256u * static_cast<uint32_t>(p);
            Bytes data(256);
            if (p < 6) {
                std::fill(data.begin(), data.end(), fills[p]);
            } else {
                for (auto& b : data) b = static_cast<uint8_t>(random());
            }
            builder.pageData(address, data, static_cast<uint16_t>(p));
            std::copy(data.begin(), data.end(), expected.begin() + address);
        }
        return builder;
    }

    UnitProgram unit;
};

TEST_F(FlashThroughPty, NativeLoaderWholeFlashImageReadsBackIdentically) {
    start({"--protocol", "native"});
    Bytes expected;
    const std::string path = image(4096, 1, expected, 0).writeTo(tempPath("native.rom"));
    RunCallbacks callbacks;
    uint32_t lastDone = 0;
    callbacks.progress = [&](uint32_t, uint32_t done) { lastDone = done; };
    ASSERT_EQ(program_unit("COM1", path, kNoBreak, 0, 0, callbacks), kSuccess);
    EXPECT_EQ(lastDone, 4096u);

    // Read mode brings the same bytes back.
    const std::string readBack = tempPath("readback.bin");
    ASSERT_EQ(program_unit("COM1", readBack, kChainLoad | kReadMode, 0, 0x100000, callbacks),
              kSuccess);
    std::ifstream in(readBack, std::ios::binary);
    const Bytes read((std::istreambuf_iterator<char>(in)), {});
    EXPECT_TRUE(read == expected);

    const Bytes flash = stop();
    ASSERT_EQ(flash.size(), expected.size());
    EXPECT_TRUE(flash == expected);
}

// A line left as a terminal (echo, CR/LF translation, XON/XOFF, line
// editing): only the flasher's own set-up keeps LF, CR, XON and XOFF intact,
// in both directions.
TEST_F(FlashThroughPty, ACookedLineStillCarriesEveryByte) {
    start({"--cooked"});
    Bytes expected;
    const std::string path = image(8, 1, expected).writeTo(tempPath("cooked.rom"));
    ASSERT_EQ(program_unit("COM1", path, kNoBreak, 0, 0, {}), kSuccess);
    const std::string readBack = tempPath("cooked.bin");
    ASSERT_EQ(program_unit("COM1", readBack, kNoBreak | kReadMode, 0x80000, 0x80800, {}),
              kSuccess);
    std::ifstream in(readBack, std::ios::binary);
    const Bytes read((std::istreambuf_iterator<char>(in)), {});
    EXPECT_TRUE(std::equal(read.begin(), read.end(), expected.begin() + 0x80000));
    const Bytes flash = stop();
    ASSERT_EQ(flash.size(), expected.size());
    EXPECT_TRUE(flash == expected);
}

TEST_F(FlashThroughPty, M16cBootLoaderWholeFlashImage) {
    start({"--protocol", "m16c"});
    Bytes expected;
    const std::string path = image(4096, 0, expected, 0).writeTo(tempPath("m16c.rom"));
    ASSERT_EQ(program_unit("COM1", path, 0, 0, 0, {}), kSuccess);
    const Bytes flash = stop();
    ASSERT_EQ(flash.size(), expected.size());
    EXPECT_TRUE(flash == expected);
}

}  // namespace
}  // namespace romwright::testing
