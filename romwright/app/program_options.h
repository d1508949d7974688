// romwright's whole command line: the single-token options the window has
// always taken (-f -c -g -r -w, see command_line.h) and the long options
// for scripts (--help, --version, --port, --console, --verify), which Qt's
// parser reads. Single-dash tokens it does not know are ignored, as they
// always were; an unknown long option is refused.
#pragma once

#include "romwright/app/command_line.h"

#include <string>
#include <vector>

namespace romwright {

struct ProgramOptions {
    std::vector<Option> options;  // the single-token options, in order
    bool help = false;
    bool version = false;
    bool console = false;  // no window: progress and results on standard error
    bool verify = false;
    int wait_seconds = 60;  // --wait: how long a console run waits for the unit; 0 for ever
    std::string port;       // --port: a device path used instead of a COM number
    std::string error;      // why the command line was refused; "" when it was not
};

// Exit codes of a run without a window, one per result; documented in the
// help text and the README.
inline constexpr int kExitBadCommandLine = 64;
int console_exit_code(int run_result);

ProgramOptions parse_program_options(const std::vector<std::string>& arguments);
// The text of --help.
std::string program_help();

}  // namespace romwright
