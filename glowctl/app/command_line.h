// glowctl's command line: [--port PORT]... [--json] [--quiet] VERB [ARGS].
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace glowctl {

enum class Verb {
    Find,
    Read,
    Diff,
    Write,
    ClockSet,
    IdleOn,
    IdleOff,
    IdleStatus,
    FactoryReset,
    DefaultMessageGet,
    DefaultMessageSet,
    Message
};

struct CommandLine {
    std::vector<std::string> ports;  // as given, in order
    bool json = false;
    bool quiet = false;
    bool help = false;
    bool yes = false;  // factory-reset: the operator means it
    bool version = false;
    Verb verb = Verb::Find;
    // The settings file, "{port}" standing for each port's name.
    std::string file;
    // write: print what would be sent and send nothing; send everything; take
    // a file made for another model.
    bool dryRun = false, force = false, anyModel = false;
    // clock set --time: "YYYY-MM-DD HH:MM:SS"; empty for the computer's time.
    std::string time;
    // default-message set: the text ("" deletes the message); message: the
    // test message. The display options in the file's order (font, colour,
    // style, alignment, speed, pause), -1 unset.
    std::optional<std::string> text;
    std::array<int, 6> codes{-1, -1, -1, -1, -1, -1};
    // message: the message id, the priority whose settings it takes, the
    // beep position and the time-out; -1 or nullopt unset.
    int id = -1, priority = -1, beep = -1;
    std::optional<std::string> timeout;
};

// The command line, or the problem in words (exit 64).
struct ParsedCommandLine {
    std::optional<CommandLine> line;
    std::string problem;
};
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The file name for one port: "{port}" replaced by the port's name, with a
// device path's "/" turned into "_" so that it stays one file name.
std::string fileForPort(const std::string& pattern, const std::string& port);

std::string helpText();

}  // namespace glowctl
