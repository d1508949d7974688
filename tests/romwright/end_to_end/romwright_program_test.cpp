// The romwright program as a script runs it: options, exit code, the flash.
#include <gtest/gtest.h>

#include "tests/romwright/support/fake_device.h"

namespace romwright::testing {
namespace {

int runRomwright(const std::vector<std::string>& args,
                 const std::vector<std::string>& environment) {
    testsupport::ChildProcess program;
    std::vector<std::string> command = {ROMWRIGHT_PROGRAM};
    command.insert(command.end(), args.begin(), args.end());
    program.start(command, environment);
    return program.wait();
}

TEST(RomwrightProgram, ScriptedFlashExitsZeroWithTheImageInTheFlash) {
    UnitProgram unit;
    unit.start({});
    RomBuilder builder;
    for (int p = 0; p < 40; ++p) builder.page(0xF0000 + 256u * p, static_cast<uint8_t>(0x0A + p));
    const std::string image = builder.writeTo(tempPath("program.rom"));
    EXPECT_EQ(runRomwright({"-f" + image, "-c1", "-g"},
                           {"COM1=" + unit.link, "QT_QPA_PLATFORM=offscreen"}),
              0);
    const Bytes flash = unit.stop();
    ASSERT_EQ(flash.size(), 1u << 20);
    for (int p = 0; p < 40; ++p) EXPECT_EQ(flash[0xF0000 + 256u * p + 100], 0x0A + p) << p;
    EXPECT_EQ(flash[0xF0000 + 256u * 40], 0xFF);
}

TEST(RomwrightProgram, RefusedPageExitsOneAndNoDisplayExitsTwo) {
    UnitProgram unit;
    unit.start({"--fault", "refuse-page=2"});
    RomBuilder builder;
    builder.page(0x80000, 1).page(0x80100, 2);
    const std::string image = builder.writeTo(tempPath("refused.rom"));
    // A failed run leaves the window open; SIGTERM closes it as a script's
    // time-out would.
    testsupport::ChildProcess program;
    program.start({ROMWRIGHT_PROGRAM, "-f" + image, "-c1", "-g"},
                  {"COM1=" + unit.link, "QT_QPA_PLATFORM=offscreen"});
    ::sleep(2);
    EXPECT_EQ(program.stop(SIGTERM), 1);
    unit.stop();

    testsupport::ChildProcess headless;
    headless.start({"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u",
                    "QT_QPA_PLATFORM", ROMWRIGHT_PROGRAM, "-g"});
    EXPECT_EQ(headless.wait(), 2);
}

}  // namespace
}  // namespace romwright::testing
