// The romwright program as scripts run it, against the unitsim program on a pseudo-terminal.
#include "tests/romwright/support/fake_device.h"
#include "tests/support/ser2net.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace romwright::testing {
namespace {

using namespace std::chrono_literals;

// Runs romwright without a display, "NAME=value" entries added; returns its exit code.
// `apart`: standard error goes to the file in ROMWRIGHT_ERRORS, `output` holds the rest.
int runWithoutDisplay(const std::vector<std::string>& args, std::string& output,
                      const std::vector<std::string>& environment = {}, bool apart = false) {
    static int counter = 0;
    const std::string log = tempPath("romwright-" + std::to_string(counter++) + ".log");
    std::vector<std::string> command = {"/usr/bin/env",    "-u", "DISPLAY",        "-u",
                                        "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM"};
    command.insert(command.end(), environment.begin(), environment.end());
    if (apart)
        command.insert(command.end(),
                       {"/bin/sh", "-c", "exec \"$0\" \"$@\" 2>\"$ROMWRIGHT_ERRORS\""});
    command.push_back(ROMWRIGHT_PROGRAM);
    command.insert(command.end(), args.begin(), args.end());
    testsupport::ChildProcess program;
    program.start(command, {}, log);
    const int code = program.wait(60s);
    output = testsupport::fileText(log);
    return code;
}

std::string lastLine(std::string text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text.substr(text.rfind('\n') + 1);  // npos + 1 is 0: the whole text
}

// The image a workbench makes with unitsim: bytes a line likes to mangle, at both ends
// of the flash; `programmer` 0 is the M16C.
std::string imageFor(int programmer) {
    const std::string path = tempPath("image-" + std::to_string(programmer) + ".rom");
    testsupport::ChildProcess maker;
    maker.start(
        {UNITSIM_PROGRAM, "--protocol", programmer ? "native" : "m16c", "--make-rom", path});
    return maker.wait(60s) == 0 ? path : "";
}

bool holdsTheImage(const Bytes& flash) {
    if (flash.size() != 1u << 20 || flash[0x80400] != 0xFF) return false;
    for (const auto& page : unitsim::sampleRom(unitsim::Protocol::Native).pages) {
        const auto start = flash.begin() + page.address;
        if (std::count(start, start + 256, page.fill) != 256) return false;
    }
    return true;
}

// One run per fault: its exit code, and its words on the last line of standard error.
TEST(RomwrightConsole, EachResultHasItsExitCodeAndItsWords) {
    const std::string image = imageFor(1), m16cImage = imageFor(0);
    const struct {
        const char* name;
        std::vector<std::string> unit;  // unitsim options; empty: no unit
        std::vector<std::string> args;  // after "--console" (and "--port" with the unit's device)
        int exitCode;
        std::string lastLine;  // its start
        std::string alsoSaid;
        bool flashHoldsTheImage;
    } cases[] = {
        // clang-format off
        {"programmed through a line left cooked", {"--cooked", "--quiet"}, {"-f" + image}, 0,
         "Successfully programmed unit", "pages/s", true},
        {"programmed through the M16C loader", {"--protocol", "m16c", "--quiet"}, {"-f" + m16cImage}, 0,
         "Successfully programmed unit", "", true},
        {"programmed and verified through a line left cooked", {"--cooked", "--quiet"}, {"--verify", "-f" + image}, 0,
         "Successfully programmed unit", "Verifying 6 pages", true},
        {"cable pulled", {"--fault", "vanish-after=2"}, {"-f" + image}, 2, "The port was disconnected", "", false},
        {"every erase refused", {"--fault", "refuse-erase"}, {"-f" + image}, 6,
         "Error programming unit: the unit did not erase the block at 0F000", "", false},
        {"silent after connect", {"--fault", "silent-after-connect"}, {"-f" + image}, 5,
         "Invalid response from unit: the unit sent nothing for 10 seconds", "\nthe unit sent nothing for 10 seconds (address 0FFFE)\n", false},
        {"page file on a full disk", {"--quiet"}, {"-f/dev/full", "-r80000-80400"}, 3,
         "Invalid file: cannot write the page file", "", false},
        {"a range from 1 reads too", {"--quiet"}, {"-f/dev/full", "-r1-100"}, 3,
         "Invalid file: cannot write the page file", "", false},
        {"not a serial device", {}, {"--port", "/dev/null", "-f" + image}, 2,
         "Unable to open COM port: /dev/null: Inappropriate ioctl for device", "", false},
        {"no device", {}, {"--port", "/nonexistent/tty", "-f" + image}, 2,
         "Unable to open COM port: /nonexistent/tty does not exist", "", false},
        {"no such image", {}, {"-f/nonexistent.rom"}, 4, "Invalid filename", "", false},
        {"unknown long option", {}, {"--bogus"}, 64, "Try 'romwright --help'.", "Unknown option 'bogus'", false},
        {"--port last, with no path", {}, {"--port"}, 64, "Try 'romwright --help'.", "Missing value after '--port'", false},
        {"a read says so", {"--quiet"}, {"-f" + tempPath("read.bin"), "-r80000-80400"}, 0, "", "Reading unit (%100)", false},
        // What the window ignores or reads loosely, a script's run refuses.
        {"-c10", {}, {"-c10", "-f" + image}, 64, "Try 'romwright --help'.", "'-c10' names no port", false},
        {"a range from 0 is not turned into a write", {}, {"-f" + image, "-r0-1000"}, 64, "Try", "'-r0-1000' is no range", false},
        {"a typo", {}, {"-port", "unit", "-f" + image}, 64, "Try", "unknown option '-port'", false},
        {"a stray word", {}, {"-f" + image, "unit"}, 64, "Try", "unexpected argument 'unit'", false},
        {"--wait without a number", {}, {"--wait", "soon", "-f" + image}, 64, "Try", "--wait takes whole seconds", false},
        {"--help names the program", {}, {"--help"}, 0, "", "Usage: romwright [options]\n", false},
        // clang-format on
    };
    for (const auto& c : cases) {
        UnitProgram unit;
        std::vector<std::string> args = {"--console"};
        if (!c.unit.empty()) {
            unit.start(c.unit);
            args.insert(args.end(), {"--port", unit.link});
        }
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::string output;
        EXPECT_EQ(runWithoutDisplay(args, output), c.exitCode) << c.name << "\n" << output;
        EXPECT_EQ(lastLine(output).substr(0, c.lastLine.size()), c.lastLine) << c.name;
        EXPECT_NE(output.find(c.alsoSaid), std::string::npos) << c.name << "\n" << output;
        if (!c.unit.empty()) {
            EXPECT_EQ(holdsTheImage(unit.stop()), c.flashHoldsTheImage) << c.name;
        }
    }
}

// The loader's own words go to standard output; the run's (progress, the result last) to
// standard error.
TEST(RomwrightConsole, EachStreamCarriesWhatTheHelpSays) {
    UnitProgram unit;
    unit.start({"--quiet"});
    const std::string errors = tempPath("streams.err");
    std::string output;
    EXPECT_EQ(runWithoutDisplay({"--console", "--port", unit.link, "-f" + imageFor(1)}, output,
                                {"ROMWRIGHT_ERRORS=" + errors}, true),
              0);
    const std::string standardError = testsupport::fileText(errors);
    EXPECT_NE(output.find("Please reset pager\nUnit in programming mode\n"), std::string::npos)
        << output;
    EXPECT_EQ(output.find("unit ("), std::string::npos) << output;
    for (const char* said : {"Please reset unit\n", "Flashing unit (%100)"}) {
        EXPECT_NE(standardError.find(said), std::string::npos) << said << "\n" << standardError;
    }
    EXPECT_EQ(lastLine(standardError), "Successfully programmed unit");
}

// A script's SIGTERM cancels the run: the port is let go and the exit code says so.
TEST(RomwrightConsole, ASignalEndsTheRunAsACancel) {
    UnitProgram unit;
    unit.start({"--fault", "drop-second-reply"});  // held inside the first page
    const std::string log = tempPath("signalled.log");
    testsupport::ChildProcess program;
    program.start({ROMWRIGHT_PROGRAM, "--console", "--port", unit.link, "-f" + imageFor(1)}, {},
                  log);
    EXPECT_TRUE(testsupport::waitForText(log, "Flashing unit (%0)"));  // printed as it happens
    EXPECT_EQ(program.stop(SIGTERM, 30s), 1);
    EXPECT_EQ(lastLine(testsupport::fileText(log)).substr(0, 21), "Programming cancelled");
}

TEST(RomwrightConsole, PortsHeldOrForbiddenAreToldApart) {
    const std::string image = imageFor(1);
    UnitProgram unit;
    unit.start({"--quiet"});
    const int held = ::open(unit.link.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    std::string output;
    EXPECT_EQ(runWithoutDisplay({"--console", "-c1", "-f" + image}, output, {"COM1=" + unit.link}),
              2);
    EXPECT_NE(lastLine(output).find("is in use by another program"), std::string::npos) << output;
    ::close(held);

    // Let go, the port works twice in a row: no run locks out the next. -c9 is the last -c.
    for (const std::string port : {"1", "9"}) {
        EXPECT_EQ(runWithoutDisplay({"--console", "-c" + port, "-f" + image}, output,
                                    {"COM" + port + "=" + unit.link}),
                  0)
            << output;
    }
    EXPECT_TRUE(holdsTheImage(unit.stop()));

    if (::geteuid() != 0) {  // root may open anything
        const std::string forbidden = tempPath("forbidden-tty");
        std::ofstream(forbidden).put('x');
        ::chmod(forbidden.c_str(), 0);
        EXPECT_EQ(runWithoutDisplay({"--console", "--port", forbidden, "-f" + image}, output), 2);
        EXPECT_NE(lastLine(output).find("no permission for " + forbidden), std::string::npos)
            << output;
    }
}

TEST(RomwrightWindow, ScriptedRunsWithoutAScreen) {
    // A bad record's warning goes to standard error; the run goes on and exits 0.
    UnitProgram unit;
    unit.start({"--quiet"});
    const std::string image =
        writeRom({.pages = {{0xF0000, 0x0A}, {0xF0100, 0x0B, 0, 9}, {0xF0200, 0x0C}}},
                 tempPath("program.rom"));
    std::string output;
    EXPECT_EQ(runWithoutDisplay({"-f" + image, "-c1", "-g"}, output,
                                {"COM1=" + unit.link, "QT_QPA_PLATFORM=offscreen"}),
              0);
    EXPECT_NE(output.find("Flasher Error: Bad record, skipping"), std::string::npos) << output;
    const Bytes flash = unit.stop();
    ASSERT_EQ(flash.size(), 1u << 20);
    EXPECT_EQ(flash[0xF0000], 0x0A);
    EXPECT_EQ(flash[0xF0200], 0x0C);

    // A failed run leaves the window open, its result on standard error; SIGTERM exits 1.
    UnitProgram refusing;
    refusing.start({"--fault", "refuse-page=2"});
    const std::string log = tempPath("refused.log");
    testsupport::ChildProcess program;
    program.start({ROMWRIGHT_PROGRAM, "-f" + image, "-c1", "-g"},
                  {"COM1=" + refusing.link, "QT_QPA_PLATFORM=offscreen"}, log);
    EXPECT_TRUE(testsupport::waitForText(log, "Error programming unit"));
    EXPECT_EQ(program.stop(SIGTERM), 1);
    refusing.stop();

    EXPECT_EQ(runWithoutDisplay({"-g"}, output), 2);
    EXPECT_EQ(lastLine(output), "Can't load dialog box!");
}

using testsupport::loopbackPort;

// ser2net in front of a unit's pseudo-terminal at 57600 8N1: an RFC 2217 port and a raw one.
struct Ser2net : testsupport::Ser2net {
    explicit Ser2net(const std::string& device)
        : testsupport::Ser2net({device}, std::filesystem::path(tempPath("x")).parent_path(),
                               "57600n81") {}
};

// Flashing through the server: the same results and words as on a local line.
TEST(RomwrightThroughSer2net, FlashesAndRefusesAsOnALocalLine) {
    const std::string image = imageFor(1), m16cImage = imageFor(0);
    const struct {
        const char* name;
        std::vector<std::string> unit;
        bool raw;  // socket:// instead of rfc2217://
        std::vector<std::string> args;
        int exitCode;
        std::string lastLine;  // its start
        bool flashHoldsTheImage;
    } cases[] = {
        // clang-format off
        {"native, verified", {}, false, {"--verify", "-f" + image}, 0, "Successfully programmed unit", true},
        // The unit hears only its loader's speed: the switch to 57600 must reach the line.
        {"M16C", {"--protocol", "m16c"}, false, {"-f" + m16cImage}, 0, "Successfully programmed unit", true},
        {"native through a raw socket", {}, true, {"-f" + image}, 0, "Successfully programmed unit", true},
        {"M16C refused on a raw socket", {"--protocol", "m16c"}, true, {"-f" + m16cImage}, 2,
         "Unable to open COM port: socket://127.0.0.1:", false},
        // clang-format on
    };
    for (const auto& c : cases) {
        UnitProgram unit;
        unit.start(c.unit);
        Ser2net server(unit.link);
        std::vector<std::string> args = {"--console", "--port",
                                         c.raw ? server.socket() : server.rfc2217()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::string output;
        EXPECT_EQ(runWithoutDisplay(args, output), c.exitCode) << c.name << "\n" << output;
        EXPECT_EQ(lastLine(output).substr(0, c.lastLine.size()), c.lastLine) << c.name;
        server.stop();
        EXPECT_EQ(holdsTheImage(unit.stop()), c.flashHoldsTheImage) << c.name;
    }
}

// Servers that do not serve: each run ends in its words, none hangs. On a raw socket silence
// is the unit's.
TEST(RomwrightThroughSer2net, ServersThatDoNotServe) {
    int silent, nobody;
    const std::string quiet = "127.0.0.1:" + std::to_string(loopbackPort(silent, true));
    const std::string closed = "127.0.0.1:" + std::to_string(loopbackPort(nobody, false));
    const struct {
        std::string port;
        int exitCode;
        std::string said;  // in the last line
    } cases[] = {
        {"rfc2217://" + quiet, 2, "the server did not confirm the line settings within 3 seconds"},
        {"socket://" + quiet, 5,
         "Invalid response from unit: the unit did not enter its loader within 1 second"},
        {"rfc2217://" + closed, 2, "the server refused the connection"},
        {"socket://no-such-host.invalid:4001", 2, "unknown host no-such-host.invalid"},
        {"rfc2217://127.0.0.1", 2, "not a port URL"},
    };
    const std::string image = imageFor(1);
    for (const auto& c : cases) {
        std::string output;
        EXPECT_EQ(
            runWithoutDisplay({"--console", "--wait", "1", "--port", c.port, "-f" + image}, output),
            c.exitCode)
            << c.port << "\n"
            << output;
        EXPECT_NE(lastLine(output).find(c.said), std::string::npos) << output;
    }
    ::close(silent);
}

// 0xFF, CR, LF, XON, XOFF and NUL go to the unit and come back unchanged.
TEST(RomwrightThroughSer2net, AwkwardBytesCrossBothWays) {
    UnitProgram unit;
    unit.start({});
    Ser2net server(unit.link);
    std::string page;
    for (int i = 0; i < 256; ++i) page += "\xFF\r\n\x11\x13\x00\xFF\xFF"[i % 8];
    const std::string written = tempPath("awkward.bin"), read = tempPath("awkward-read.bin");
    std::ofstream(written, std::ios::binary) << page;
    std::string output;
    for (const auto& [file, range] :
         {std::pair{written, "-w80000-80100"}, {read, "-r80000-80100"}}) {
        EXPECT_EQ(runWithoutDisplay({"--console", "--port", server.rfc2217(), "-f" + file, range},
                                    output),
                  0)
            << output;
    }
    EXPECT_EQ(testsupport::fileText(read), page);
    server.stop();
    const Bytes flash = unit.stop();
    ASSERT_EQ(flash.size(), 1u << 20);
    EXPECT_EQ(std::string(flash.begin() + 0x80000, flash.begin() + 0x80100), page);
}

// A port another client holds is busy; a server that goes away mid-run is a pulled cable.
TEST(RomwrightThroughSer2net, BusyAndGone) {
    UnitProgram unit;
    unit.start({"--fault", "drop-second-reply"});  // held inside the first page
    Ser2net server(unit.link);
    const int holder = server.holdPort();
    std::string output;
    for (const std::string& port : {server.rfc2217(), server.socket()}) {  // one device behind both
        EXPECT_EQ(runWithoutDisplay({"--console", "--port", port, "-f" + imageFor(1)}, output), 2);
        EXPECT_NE(lastLine(output).find("is in use by another program"), std::string::npos)
            << output;
    }
    ::close(holder);
    std::this_thread::sleep_for(300ms);

    const std::string log = tempPath("ser2net-gone.log");
    testsupport::ChildProcess program;
    program.start({ROMWRIGHT_PROGRAM, "--console", "--port", server.rfc2217(), "-f" + imageFor(1)},
                  {}, log);
    EXPECT_TRUE(testsupport::waitForText(log, "Flashing unit (%0)"));
    server.stop();
    EXPECT_EQ(program.wait(30s), 2) << testsupport::fileText(log);
    EXPECT_EQ(lastLine(testsupport::fileText(log)), "The port was disconnected");
}

}  // namespace
}  // namespace romwright::testing
