// glowctl: its command line, and the program against signsim programs on pseudo-terminals.
#include "glowctl/app/command_line.h"
#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/ser2net.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace glowctl {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

TEST(GlowctlCommandLine, WhatIsTakenAndWhatIsRefused) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        // the verb, the ports and the file as taken, or the start of the problem
        {{"find"}, "find ports=0"},
        {{"--port", "COM3", "--port=/dev/ttyUSB0", "--json", "read", "a-{port}.led"},
         "read ports=2 json file=a-{port}.led"},
        {{"--quiet", "--port", "COM1", "read", "x.led"}, "read ports=1 quiet file=x.led"},
        {{}, "no verb"},
        {{"--port"}, "--port needs a port"},
        {{"--port="}, "--port needs a port"},
        {{"-x", "find"}, "unknown option '-x'"},
        {{"find", "--port", "COM1"}, "find ports=1"},  // options after the verb too
        {{"find", "extra"}, "find takes no arguments"},
        {{"read", "x.led"}, "read needs --port"},
        {{"--port", "COM1", "read"}, "read takes one settings file"},
        {{"--port", "COM1", "--port", "COM2", "read", "x.led"},
         "reading several signs needs {port}"},
        {{"fetch", "x.led"}, "unknown verb 'fetch'"},
        {{"--port", "COM1", "clock", "set", "--time", "2026-12-24 18:30"}, "--time needs"},
        {{"--port", "COM1", "idle-time", "up"}, "idle-time takes on, off or status"},
        {{"--port", "COM1", "factory-reset"},
         "factory-reset replaces the whole set-up: give --yes"},
        {{"--port", "COM1", "--time", "2026-12-24 18:30:00", "find"}, "--time goes with clock set"},
        {{"--port", "COM1", "default-message", "set"}, "default-message set takes a settings"},
        {{"--port", "COM1", "default-message", "set", "x.led", "--text", "Hi"},
         "default-message set takes a settings file or --text"},
        {{"--port", "COM1", "default-message", "set", "x.led", "--font", "1"},
         "the display options of a settings file are its own"},
        {{"--port", "COM1", "default-message", "get", "x.led", "--any-model"},
         "default-message-get ports=1 file=x.led any-model"},
        {{"--port", "COM1", "--port", "COM2", "default-message", "get", "x.led"},
         "reading several signs needs {port}"},
        {{"--port", "COM1", "--any-model", "default-message", "get"}, "--any-model goes with"},
        {{"--port", "COM1", "message", "$FBHi", "--id", "3", "--priority", "2", "--beep", "1",
          "--timeout", "30", "--speed", "2"},
         "message ports=1 text=$FBHi codes=-1-1-1-12-1 id=3 priority=2 beep=1 timeout=30"},
        {{"--port", "COM1", "message", "$Fz"}, "\"$Fz\" is no font code ($FA to $FY)"},
        {{"--port", "COM1", "message", "a$CN"}, "\"$CN\" is no colour code"},
        {{"--port", "COM1", "message", "a$C"}, "\"$C\" is no colour code"},
        {{"--port", "COM1", "message", "$5 $L$T2"}, "message ports=1 text=$5 $L$T2"},
        {{"--port", "COM1", "message"}, "message takes one text"},
        {{"--port", "COM1", "--id", "8", "message", "x"}, "--id needs a message id, 0 to 7"},
        {{"--port", "COM1", "--priority", "5", "message", "x"}, "--priority needs a priority"},
        {{"--port", "COM1", "--timeout", "1e3", "message", "x"}, "--timeout needs a whole"},
        {{"--port", "COM1", "--beep", "1", "find"}, "--id, --priority, --beep and --timeout go"},
        {{"--port", "COM1", "--id", "0", "find"}, "--id, --priority, --beep and --timeout go"},
        {{"--port", "COM1", "default-message", "set", "--text", "Hi", "--font", "1"},
         "a default message needs --font, --colour"},
        {{"--port", "COM1", "--font", "x"}, "--font needs a list position"},
        {{"--port", "COM1", "--text", "Hi", "find"}, "--text and the display options go with"},
        {{"--port", "COM1", "--font", "0", "find"}, "--text and the display options go with"},
        {{"--port", "COM1", "--force", "diff", "x.led"}, "--dry-run and --force go with write"},
        {{"--port", "COM1", "write", "x.led", "--dry-run", "--any-model"},
         "write ports=1 file=x.led dry-run any-model"},
    };
    for (const auto& [arguments, expected] : cases) {
        const ParsedCommandLine parsed = parseCommandLine(arguments);
        std::string seen = parsed.problem;
        if (parsed.line) {
            const CommandLine& l = *parsed.line;
            const char* verbs[] = {"find",
                                   "read",
                                   "diff",
                                   "write",
                                   "clock",
                                   "idle-on",
                                   "idle-off",
                                   "idle-status",
                                   "reset",
                                   "default-message-get",
                                   "default-message-set",
                                   "message"};
            std::string codes;
            for (const int c : l.codes) codes += std::to_string(c);
            seen = std::string(verbs[static_cast<int>(l.verb)]) +
                   " ports=" + std::to_string(l.ports.size()) + (l.json ? " json" : "") +
                   (l.quiet ? " quiet" : "") + (l.file.empty() ? "" : " file=" + l.file) +
                   (l.dryRun ? " dry-run" : "") + (l.force ? " force" : "") +
                   (l.anyModel ? " any-model" : "") + (l.text ? " text=" + *l.text : "") +
                   (codes == "-1-1-1-1-1-1" ? "" : " codes=" + codes) +
                   (l.id >= 0 ? " id=" + std::to_string(l.id) : "") +
                   (l.priority >= 0 ? " priority=" + std::to_string(l.priority) : "") +
                   (l.beep >= 0 ? " beep=" + std::to_string(l.beep) : "") +
                   (l.timeout ? " timeout=" + *l.timeout : "");
        }
        EXPECT_EQ(seen.substr(0, expected.size()), expected) << ::testing::PrintToString(arguments);
    }
    EXPECT_EQ(fileForPort("signs/{port}-{port}.led", "/dev/ttyUSB0"),
              "signs/_dev_ttyUSB0-_dev_ttyUSB0.led");
}

// Runs glowctl without a display, with one more environment setting; standard output and
// standard error apart.
struct Outcome {
    int exitCode;
    std::string output, errors;
};
Outcome glowctl(const std::vector<std::string>& args, const std::string& setting = "X=") {
    static const std::string folder = testsupport::scratchFolder("glowctl-runs");
    static int counter = 0;
    const std::string out = folder + "/" + std::to_string(counter) + ".out";
    const std::string err = folder + "/" + std::to_string(counter++) + ".err";
    std::vector<std::string> command = {"/bin/sh", "-c", "exec \"$0\" \"$@\" 2>\"$GLOWCTL_ERRORS\"",
                                        GLOWCTL_PROGRAM};
    command.insert(command.end(), args.begin(), args.end());
    testsupport::ChildProcess program;
    program.start(command, {"GLOWCTL_ERRORS=" + err, "DISPLAY=", "WAYLAND_DISPLAY=", setting}, out);
    const int code = program.wait(60s);
    return {code, testsupport::fileText(out), testsupport::fileText(err)};
}

class GlowctlWithSigns : public ::testing::Test {
  protected:
    // A signsim program of this model behind `link`.
    std::string startSign(const std::string& name, std::vector<std::string> options) {
        const std::string link = folder + "/" + name;
        std::vector<std::string> args = {SIGNSIM_PROGRAM, "--quiet", "--link", link};
        args.insert(args.end(), options.begin(), options.end());
        signs.emplace_back(std::make_unique<testsupport::ChildProcess>())
            ->start(args, {}, folder + "/" + name + ".log");
        EXPECT_TRUE(testsupport::waitForPath(link));
        return link;
    }
    const std::string folder = testsupport::scratchFolder("glowctl-signs");
    std::vector<std::unique_ptr<testsupport::ChildProcess>> signs;  // killed when they go
};

// Two signs read at once into one file each, their default messages included.
TEST_F(GlowctlWithSigns, ReadsSeveralSignsAtOnceIntoSettingsFiles) {
    const std::string rv = startSign("rv", {"--model", "RV2210", "--firmware", "4.1"});
    const std::string xy = startSign("xy", {"--model", "XY12", "--firmware", "3", "--pace"});
    // The RV2210 is given a default message of two lines, right-aligned.
    std::ofstream(rv) << "<DF f=1 c=1 s=0 a=1 sp=0 p=0>HELLO$Lthere\r";
    ::usleep(300 * 1000);  // for the sign to take it
    const Outcome found = glowctl({"--port", rv, "--port", xy, "find"});
    EXPECT_EQ(found.exitCode, 0) << found.errors;
    EXPECT_EQ(found.output, rv + ": RV2210, build 4.1\n" + xy + ": XY12, build 3\n");

    const Outcome read =
        glowctl({"--json", "--port", rv, "--port", xy, "read", folder + "/{port}.led"});
    ASSERT_EQ(read.exitCode, 0) << read.errors;
    const std::string rvFile = fileForPort(folder + "/{port}.led", rv);
    EXPECT_NE(read.output.find("{\"port\":\"" + rv + "\",\"found\":true,\"model\":\"RV2210\""),
              std::string::npos)
        << read.output;
    const std::string text = testsupport::fileText(rvFile);
    EXPECT_NE(text.find("Model:RV2210\r\nCom:0\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("DefaultMsg:HELLO\xAAthere\r\nDefaultFont:1\r\nDefaultColor:1\r\n"
                        "DefaultStyle:0\r\nDefaultAlignment:1\r\n"),
              std::string::npos)
        << text;
}

// A set-up changed in a file goes to one sign; read back from it and written to a second
// sign of the model, both read the same. What is sent is what differs, and only that.
TEST_F(GlowctlWithSigns, ReadChangeWriteAndReadAgainGivesTheSameFileFromTwoSigns) {
    const std::string first = startSign("first", {"--model", "XY12"});
    const std::string second = startSign("second", {"--model", "XY12", "--pace"});
    const std::string original = folder + "/original.led", changed = folder + "/changed.led";
    ASSERT_EQ(glowctl({"--port", first, "read", original}).exitCode, 0);
    std::string text = testsupport::fileText(original);
    const size_t pri1 = text.find("Pri1:"), link2 = text.find("LinkID2:");
    ASSERT_NE(pri1, std::string::npos);
    text.replace(pri1, text.find('\r', pri1) - pri1, "Pri1:3,1,0,2,0,2,0,20");
    text.replace(link2, text.find('\r', link2) - link2, "LinkID2:1111,2222,3");
    ASSERT_TRUE(testsupport::writeFile(changed, text));

    const Outcome diff = glowctl({"--port", first, "diff", changed});
    EXPECT_EQ(diff.exitCode, 1);
    EXPECT_EQ(diff.output, first +
                               ": Pri1 differs: file 3,1,0,2,0,2,0,20, sign 5,0,0,2,0,2,0,10\n" +
                               first + ": LinkID2 differs: file 1111,2222,3, sign ,-1\n");
    EXPECT_EQ(glowctl({"--port", first, "write", "--dry-run", changed}).exitCode, 1);
    EXPECT_EQ(glowctl({"--port", first, "diff", changed}).exitCode, 1);  // nothing was sent
    const Outcome written = glowctl({"--port", first, "write", changed});
    ASSERT_EQ(written.exitCode, 0) << written.errors;
    EXPECT_NE(written.errors.find(first + ": reading the sign back\n"), std::string::npos);
    EXPECT_NE(written.output.find(first + ": sent <link id=2 cap=1111,2222 pr=3>\n"),
              std::string::npos)
        << written.output;
    EXPECT_EQ(glowctl({"--port", first, "write", changed}).output,
              first + ": XY12: nothing to send\n");

    const std::string fromFirst = folder + "/from-first.led",
                      fromSecond = folder + "/from-second.led";
    ASSERT_EQ(glowctl({"--port", first, "read", fromFirst}).exitCode, 0);
    ASSERT_EQ(glowctl({"--port", second, "write", fromFirst}).exitCode, 0);
    ASSERT_EQ(glowctl({"--port", second, "read", fromSecond}).exitCode, 0);
    EXPECT_EQ(testsupport::fileText(fromSecond), testsupport::fileText(fromFirst));
    EXPECT_NE(testsupport::fileText(fromFirst).find("LinkID2:1111,2222,3\r\n"), std::string::npos);

    // Four at once, one pulled after its download: the other three finish and report.
    const std::string third = startSign("third", {"--model", "XY12"}),
                      pulled = startSign("pulled", {"--model", "XY12", "--vanish-after", "1"});
    const Outcome four = glowctl({"--port", first, "--port", second, "--port", third, "--port",
                                  pulled, "write", "--force", fromFirst});
    EXPECT_EQ(four.exitCode, 2);
    for (const std::string& sign : {first, second, third}) {
        EXPECT_NE(four.output.find(sign + ": XY12: read back, it holds"), std::string::npos)
            << sign;
    }
    EXPECT_NE(four.errors.find(pulled + ": "), std::string::npos) << four.errors;
}

// The lines each sign of `names` says, in its log.
std::string said(const std::string& folder, const std::string& name) {
    return testsupport::fileText(folder + "/" + name + ".log");
}

// Every verb of the message windows, as the windows do them, on four signs at once.
TEST_F(GlowctlWithSigns, MessageWindowVerbsOnFourSignsAtOnce) {
    const std::vector<std::string> names = {"a", "b", "c", "d"},
                                   models = {"TB330", "TB330", "RV2210", "KL404"};
    std::vector<std::string> ports, all;
    for (size_t n = 0; n < names.size(); ++n) {
        ports.push_back(startSign(names[n], {"--model", models[n]}));
        all.insert(all.end(), {"--port", ports.back()});
    }
    const auto onAll = [&all](std::vector<std::string> args) {
        args.insert(args.begin(), all.begin(), all.end());
        return glowctl(args);
    };
    const auto eachSays = [&ports](const std::string& words) {
        std::string out;
        for (const std::string& port : ports) out += port + words + "\n";
        return out;
    };
    const Outcome clock = onAll({"clock", "set", "--time", "2026-12-24 18:30:00"});
    EXPECT_EQ(std::pair(clock.exitCode, clock.output), std::pair(0, eachSays(": clock set")));
    EXPECT_NE(said(folder, "c").find("<Time time=18:30:00 date=2026/12/24-4>SET TIME"),
              std::string::npos);
    for (const std::string state : {"on", "status", "off"}) {
        const Outcome idle = onAll({"idle-time", state});
        EXPECT_EQ(idle.output,
                  eachSays(": idle time display is " + std::string(state == "off" ? "off" : "on")));
    }

    // A default message: quotes converted, a line break kept, the part the record cannot carry
    // named; then read into one file per sign.
    const Outcome set = onAll({"default-message", "set", "--text",
                               "Open \u201cnow\u201d\n<hh:mm>, ok", "--font", "1", "--colour", "2",
                               "--style", "0", "--alignment", "1", "--speed", "0", "--pause", "2"});
    EXPECT_EQ(set.exitCode, 0) << set.errors;
    EXPECT_EQ(set.output.find(
                  ports[0] +
                  ": default message \"Open \\\"now\\\"\\r\\n<hh:mm>\", font 1, colour 2, "
                  "style 0, alignment 1, speed 0, pause 2, idle time display off\n" +
                  ports[0] + ": not checked, as the sign's record ends before it: \", ok\"\n"),
              0u)
        << set.output;
    const Outcome get = onAll({"default-message", "get", folder + "/dm-{port}.led"});
    EXPECT_EQ(get.exitCode, 0) << get.errors;
    EXPECT_NE(get.errors.find(ports[2] + ": reading the default message\n"), std::string::npos);
    for (const std::string& port : ports) {
        EXPECT_NE(
            testsupport::fileText(fileForPort(folder + "/dm-{port}.led", port))
                .find("DefaultMsg:Open \"now\"\xAA<hh:mm>\r\nDefaultFont:1\r\nDefaultColor:2\r\n"),
            std::string::npos)
            << port;
    }

    // Into a file that exists, only its default message lines change; from it to another sign,
    // the whole message, colons and all.
    const std::string file = folder + "/kept.led";
    ASSERT_EQ(glowctl({"--port", ports[1], "read", file}).exitCode, 0);
    std::string before = testsupport::fileText(file);
    const size_t kept = before.find("DefaultMsg:");
    before.replace(kept, before.find('\r', kept) - kept,
                   "DefaultMsg:Time: 10\xAA"
                   "a,b");
    before += "a line of its own\r\n";
    ASSERT_TRUE(testsupport::writeFile(file, before));
    ASSERT_EQ(glowctl({"--port", ports[1], "default-message", "set", file}).exitCode, 0);
    EXPECT_NE(said(folder, "b").find("<- <DF f=1 c=2 s=0 a=1 sp=0 p=2>Time: 10$La,b\n"),
              std::string::npos);
    ASSERT_EQ(glowctl({"--port", ports[0], "default-message", "get", file}).exitCode, 0);
    std::string expected = before;
    const size_t message = expected.find("DefaultMsg:");
    expected.replace(message, expected.find("\r\n", message) - message,
                     "DefaultMsg:Open \"now\"\xAA<hh:mm>");
    EXPECT_EQ(testsupport::fileText(file), expected);
    EXPECT_EQ(glowctl({"--port", ports[3], "default-message", "get", file}).exitCode,
              3);  // a KL404
    EXPECT_EQ(testsupport::fileText(file), expected);

    // A test message takes its priority's settings, read first, with the options over them;
    // a font or colour code that opens the text goes into the header.
    std::string setup = testsupport::fileText(file);
    const size_t pri1 = setup.find("Pri1:");
    setup.replace(pri1, setup.find('\r', pri1) - pri1, "Pri1:3,1,4,2,0,1,2,25");
    ASSERT_TRUE(testsupport::writeFile(file, setup));
    ASSERT_EQ(glowctl({"--port", ports[0], "--port", ports[1], "write", file}).exitCode, 0);
    const Outcome message4 = onAll({"message", "$CBOpen $FD$CCnow\n<hh:mm>", "--priority", "1",
                                    "--pause", "3", "--alignment", "1", "--id", "6"});
    EXPECT_EQ(message4.exitCode, 0) << message4.errors;
    EXPECT_EQ(message4.output.substr(0, message4.output.find('\n')),
              ports[0] + ": taken: <id=6 f=3 s=1 c=1 a=1 b=2 p=3 sp=2 t=25>Open $FD$CCnow$L$T2");
    EXPECT_NE(said(folder, "d").find("<- <id=6 "), std::string::npos);
    const Outcome refused = onAll({"message", "Price \u20ac5"});
    EXPECT_EQ(refused.exitCode, 3);
    EXPECT_NE(
        refused.errors.find(ports[2] + ": the sign cannot show \u20ac (U+20AC); nothing was sent"),
        std::string::npos);
    EXPECT_EQ(said(folder, "c").find("Price"), std::string::npos);
    const Outcome error = glowctl({"--port", ports[0], "message", "x", "--timeout", "7000"});
    EXPECT_EQ(error.exitCode, 5);
    EXPECT_NE(error.errors.find("answered \"error\""), std::string::npos);

    const Outcome reset = onAll({"factory-reset", "--yes"});
    EXPECT_EQ(reset.exitCode, 0);
    EXPECT_NE(reset.output.find(ports[3] + ": KL404: reset to its factory set-up\n"),
              std::string::npos);
}

// Eight clocks set at once are set together: each sign is set to within a second of the
// computer's time (the simulator counts whole seconds).
TEST_F(GlowctlWithSigns, EightClocksSetAtOnceAgreeWithTheComputer) {
    std::vector<std::string> args;
    for (int n = 0; n < 8; ++n) {
        args.insert(args.end(),
                    {"--port", startSign("clock" + std::to_string(n), {"--model", "XY12"})});
    }
    args.insert(args.end(), {"clock", "set"});
    ASSERT_EQ(glowctl(args).exitCode, 0);
    for (int n = 0; n < 8; ++n) {
        const std::string log = said(folder, "clock" + std::to_string(n));
        const size_t at = log.find("signsim: clock set, ");
        ASSERT_NE(at, std::string::npos) << log;
        const int offset = std::stoi(log.substr(at + 20));
        EXPECT_TRUE(offset == 0 || offset == -1) << n << ": " << offset;
    }
}

// Signs behind one ser2net, through rfc2217:// and socket://: what works on a local line
// works there, and a busy port or a server that goes away mid-write ends in words.
TEST_F(GlowctlWithSigns, ThroughASerialDeviceServer) {
    std::vector<std::string> links;
    for (const std::string name : {"n0", "n1", "n2", "n3"})
        links.push_back(startSign(name, {"--model", "XY12"}));
    testsupport::Ser2net server(links, folder, "9600n81");
    const std::string first = server.rfc2217(0), original = folder + "/net.led",
                      changed = folder + "/net-changed.led";
    ASSERT_EQ(glowctl({"--port", first, "read", original}).exitCode, 0);
    std::string text = testsupport::fileText(original);
    const size_t pri1 = text.find("Pri1:");
    text.replace(pri1, text.find('\r', pri1) - pri1, "Pri1:3,1,0,2,0,2,0,20");
    ASSERT_TRUE(testsupport::writeFile(changed, text));
    const Outcome diff = glowctl({"--port", first, "diff", changed});
    EXPECT_EQ(
        std::pair(diff.exitCode, diff.output),
        std::pair(1, first + ": Pri1 differs: file 3,1,0,2,0,2,0,20, sign 5,0,0,2,0,2,0,10\n"));
    const Outcome written = glowctl({"--port", first, "write", changed});
    EXPECT_EQ(written.exitCode, 0) << written.errors;
    EXPECT_NE(said(folder, "n0").find("<- <DF pr=1 f=3 c=0 s=1 "), std::string::npos);
    EXPECT_EQ(glowctl({"--port", first, "diff", changed}).exitCode, 0);

    // Four at once, two of them through raw sockets.
    const Outcome four =
        glowctl({"--port", first, "--port", server.rfc2217(1), "--port", server.socket(2), "--port",
                 server.socket(3), "write", "--force", changed});
    EXPECT_EQ(four.exitCode, 0) << four.errors;
    for (const std::string& port : {first, server.rfc2217(1), server.socket(2), server.socket(3)}) {
        EXPECT_NE(four.output.find(port + ": XY12: read back, it holds"), std::string::npos)
            << four.output;
    }

    // COM7, given to a server's URL by a line of ports.conf.
    std::filesystem::create_directories(folder + "/config/Marquelle");
    std::ofstream(folder + "/config/Marquelle/ports.conf") << "7=" << server.socket(2) << "\n";
    const Outcome byNumber =
        glowctl({"--port", "COM7", "find"}, "XDG_CONFIG_HOME=" + folder + "/config");
    EXPECT_EQ(std::pair(byNumber.exitCode, byNumber.output), std::pair(0, "COM7: XY12\n"s));

    // A port another client holds is busy, in the server's words.
    const int held = server.holdPort(3);
    const Outcome busy = glowctl({"--port", server.rfc2217(3), "find"});
    EXPECT_EQ(busy.exitCode, 2);
    EXPECT_NE(busy.errors.find("is in use by another program (the server says"), std::string::npos)
        << busy.errors;
    ::close(held);

    // The server stopped mid-write: exit 2, what was sent and what was not.
    const std::string log = folder + "/net-stopped.log";
    testsupport::ChildProcess writing;
    writing.start({GLOWCTL_PROGRAM, "--port", server.rfc2217(1), "write", "--force", original}, {},
                  log);
    ASSERT_TRUE(testsupport::waitForText(log, "sending item 2 of 15"));
    server.stop();
    EXPECT_EQ(writing.wait(30s), 2);
    const std::string stopped = testsupport::fileText(log);
    EXPECT_NE(stopped.find(server.rfc2217(1) + ": the server closed the connection"),
              std::string::npos)
        << stopped;
    EXPECT_NE(stopped.find("; sent: Pri0"), std::string::npos) << stopped;
    EXPECT_NE(stopped.find("; not sent: "), std::string::npos) << stopped;
}

// Each failure in words on standard error with its exit code; nothing half-written.
TEST_F(GlowctlWithSigns, FailuresEndInWordsAndTheirExitCodes) {
    const std::string sign = startSign("sign", {"--model", "XY12"});
    const std::string vanishing =
        startSign("vanishing", {"--model", "XY12", "--vanish-after", "4"});
    const int far = ::posix_openpt(O_RDWR | O_NOCTTY);  // a line with nothing behind it
    ASSERT_GE(far, 0);
    ASSERT_EQ(::grantpt(far) | ::unlockpt(far), 0);
    const std::string silent = ::ptsname(far);
    const std::string unwritable = folder + "/no-such-folder/x.led", good = folder + "/good.led";
    ASSERT_EQ(glowctl({"--port", sign, "read", good}).exitCode, 0);
    const auto variant = [&](const std::string& key, const std::string& line) {  // of `good`
        std::string text = testsupport::fileText(good), path = good + "-" + key.substr(0, 4);
        const size_t at = text.find(key);
        testsupport::writeFile(path, text.replace(at, text.find('\r', at) - at, line));
        return path;
    };
    const std::string other = variant("Model:", "Model:RV2210"),
                      refused = variant("Pri1:", "Pri1:0,0,0,0,0,0,0,70000"),
                      shortFile = variant("Pri3:", ""), noMessage = variant("DefaultMsg:", ""),
                      badLink = variant("LinkID2:", "LinkID2:1,x"),
                      noEntry = variant("Pri4:", "Pri4:99,0,0,2,0,2,0,10");
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string said;
    } cases[] = {
        {{"--port", folder + "/absent", "find"}, 2, "does not exist"},
        {{"--port", "/dev/null", "find"}, 2, "/dev/null: /dev/null: Inappropriate ioctl"},
        {{"--port", silent, "find"}, 5, "no sign answered on " + silent},
        {{"--port", sign, "read", unwritable}, 3, unwritable + ": "},
        {{"--port", sign, "write", shortFile}, 3, shortFile + ": no \"Pri3:\" line"},
        {{"--port", sign, "diff", noMessage}, 3, noMessage + ": no \"DefaultMsg:\" line"},
        {{"--port", folder + "/absent", "clock", "set"}, 2, "does not exist"},
        {{"--port", sign, "diff", badLink}, 3, "\"LinkID2:\" needs its ids and then a priority"},
        {{"--port", sign, "write", noEntry}, 3, "Pri4 has no entry 99 in field 1 for a XY12"},
        {{"--port", sign, "diff", folder + "/missing.led"}, 3, "missing.led: "},  // unreadable
        {{"--port", sign, "write", other},
         3,
         "is for a RV2210, the sign on " + sign + " is a XY12"},
        {{"--port", vanishing, "write", "--force", good},
         2,
         "; sent: Pri0 Pri1 Pri2; not sent: Pri3"},
        {{"--port", "COM13", "find"}, 64, "'COM13' is no port"},
        {{"--port", "rfc2217://signs.example", "find"}, 64, "is no port: COM1 to COM12, a device"},
        {{"--port", sign, "fetch"}, 64, "Try 'glowctl --help'."},
        {{"--port", sign, "--port", silent, "find"},
         0,
         "no sign answered on " + silent},  // found one
        {{"--port", silent, "--port", folder + "/absent", "find"},
         5,
         "does not exist"},  // the largest
    };
    for (const auto& c : cases) {
        const Outcome run = glowctl(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << ::testing::PrintToString(c.args) << run.errors;
        EXPECT_NE(run.errors.find(c.said), std::string::npos) << run.errors;
    }
    EXPECT_FALSE(std::filesystem::exists(unwritable));

    // SIGTERM mid-write: the item on its way goes out, the rest is named as not sent.
    const std::string log = folder + "/stopped.log";
    testsupport::ChildProcess writing;
    writing.start({GLOWCTL_PROGRAM, "--port", sign, "write", "--force", good}, {}, log);
    ASSERT_TRUE(testsupport::waitForText(log, "sending item 1 of 15, about 8 s left"));
    const Outcome meanwhile = glowctl({"--port", sign, "find"});  // the port stays the writer's
    EXPECT_EQ(meanwhile.exitCode, 2);
    EXPECT_NE(meanwhile.errors.find("is in use by another program"), std::string::npos);
    EXPECT_EQ(writing.stop(SIGTERM, 30s), 143);
    const std::string said = testsupport::fileText(log);
    const size_t sent = said.find(sign + ": stopped; sent: "), unsent = said.find("; not sent: ");
    ASSERT_NE(sent, std::string::npos) << said;
    EXPECT_NE(said.find("LinkID7", unsent), std::string::npos) << said;  // the last item
    ::close(far);
    EXPECT_EQ(glowctl({"--help"}).output.substr(0, 15), "Usage: glowctl ");
}

}  // namespace
}  // namespace glowctl
