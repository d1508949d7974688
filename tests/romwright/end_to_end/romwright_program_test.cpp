// The romwright program as a script runs it: options, exit code, the flash.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/romwright/support/fake_device.h"

namespace romwright::testing {
namespace {

// Runs a program with arguments and extra environment; returns its exit code.
int runProgram(const std::vector<std::string>& args, const std::vector<std::string>& environment) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open("/dev/null", O_WRONLY);
        ::dup2(out, 1);
        ::dup2(out, 2);
        for (const auto& e : environment) ::putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class RomwrightProgram : public ::testing::Test {
  protected:
    void startUnit(const std::vector<std::string>& extra) {
        link = tempPath("program-unit");
        dump = link + ".dump";
        std::filesystem::remove(dump);
        unitPid = ::fork();
        if (unitPid == 0) {
            const int out = ::open("/dev/null", O_WRONLY);
            ::dup2(out, 1);
            std::vector<std::string> args = {UNITSIM_PROGRAM, "--link", link,
                                             "--dump",        dump,     "--quiet"};
            args.insert(args.end(), extra.begin(), extra.end());
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(UNITSIM_PROGRAM, argv.data());
            ::_exit(127);
        }
        for (int i = 0; i < 500 && !std::filesystem::is_symlink(link); ++i) ::usleep(10000);
        ASSERT_TRUE(std::filesystem::is_symlink(link));
    }
    Bytes stopUnit() {
        ::kill(unitPid, SIGINT);
        ::waitpid(unitPid, nullptr, 0);
        unitPid = -1;
        std::ifstream in(dump, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    void TearDown() override {
        if (unitPid > 0) {
            ::kill(unitPid, SIGKILL);
            ::waitpid(unitPid, nullptr, 0);
        }
    }
    std::string link, dump;
    pid_t unitPid = -1;
};

TEST_F(RomwrightProgram, ScriptedFlashExitsZeroWithTheImageInTheFlash) {
    startUnit({});
    RomBuilder builder;
    for (int p = 0; p < 40; ++p) builder.page(0xF0000 + 256u * p, static_cast<uint8_t>(0x0A + p));
    const std::string image = builder.writeTo(tempPath("program.rom"));
    EXPECT_EQ(runProgram({ROMWRIGHT_PROGRAM, "-f" + image, "-c1", "-g"},
                         {"COM1=" + link, "QT_QPA_PLATFORM=offscreen"}),
              0);
    const Bytes flash = stopUnit();
    ASSERT_EQ(flash.size(), 1u << 20);
    for (int p = 0; p < 40; ++p) EXPECT_EQ(flash[0xF0000 + 256u * p + 100], 0x0A + p) << p;
    EXPECT_EQ(flash[0xF0000 + 256u * 40], 0xFF);
}

TEST_F(RomwrightProgram, RefusedPageExitsOneAndNoDisplayExitsTwo) {
    startUnit({"--fault", "refuse-page=2"});
    RomBuilder builder;
    builder.page(0x80000, 1).page(0x80100, 2);
    const std::string image = builder.writeTo(tempPath("refused.rom"));
    // A failed run leaves the window open; SIGTERM closes it as a script's
    // time-out would.
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("COM1", link.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        const int out = ::open("/dev/null", O_WRONLY);
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::execl(ROMWRIGHT_PROGRAM, ROMWRIGHT_PROGRAM, ("-f" + image).c_str(), "-c1", "-g", nullptr);
        ::_exit(127);
    }
    ::sleep(2);
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    stopUnit();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);

    EXPECT_EQ(runProgram({"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u",
                          "QT_QPA_PLATFORM", ROMWRIGHT_PROGRAM, "-g"},
                         {}),
              2);
}

}  // namespace
}  // namespace romwright::testing
