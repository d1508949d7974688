#include "romwright/app/program_options.h"

#include "romwright/run/run_result.h"

#include <QCommandLineParser>
#include <QStringList>

namespace romwright {
namespace {

const char* const kDescription =
    "Writes a firmware image into a sign controller's flash.\n"
    "\n"
    "Single-token options (a value follows its letters directly):\n"
    "  -f<path>          the ROM image (ticks \"Don't use break\")\n"
    "  -c<n>             use port COM<n>, 1 to 9\n"
    "  -g                start at once; close the window after a success\n"
    "  -r<start>-<end>   read the flash range (hexadecimal) into the file\n"
    "  -w<start>-<end>   write the file into the flash range\n"
    "\n"
    "COM<n> is the device in the environment variable COM<n> when it is set,\n"
    "else the device that holds number n: each serial device keeps the number\n"
    "it was first given, also when it is unplugged and plugged in again.\n"
    "\n"
    "With --console, -c takes 1 to 9, a range two nonzero hexadecimal\n"
    "addresses, and an unknown or loose option is refused (the window ignores\n"
    "it). Standard output carries the loader's own words (\"Please reset\n"
    "pager\", \"Unit in programming mode\", what the unit did wrong);\n"
    "standard error carries \"Please reset unit\", the programmer used,\n"
    "progress, warnings, and the result as its last line.\n"
    "\n"
    "Exit codes with --console: 0 programmed, 1 cancelled, 2 port (cannot be\n"
    "opened, or disconnected), 3 invalid file, 4 invalid file name, 5 invalid\n"
    "response from the unit (also: no answer within --wait, silent for 10 s\n"
    "once connected), 6 other failure (a page or block refused, a verify\n"
    "mismatch), 64 bad command line.\n"
    "With the window: 0 when a run succeeded, 1 when none did, 2 when the\n"
    "window cannot be shown, 64 bad command line.";

struct Parser {
    QCommandLineParser parser;
    QCommandLineOption help{"help", "Show this help and exit."};
    QCommandLineOption version{"version", "Show the version and exit."};
    QCommandLineOption port{"port",
                            "Use <port> instead of a COM number: a serial device (for example "
                            "under /dev/serial/by-id/), or a serial device server's port, "
                            "rfc2217://host:port (line settings, purge and break reach the far "
                            "port) or socket://host:port (raw TCP at the server's speed; no M16C "
                            "speed change, no break).",
                            "port"};
    QCommandLineOption console{"console",
                               "Run without a window or display: progress and "
                               "warnings on standard error, the result last."};
    QCommandLineOption verify{"verify",
                              "After writing, read every written page back and "
                              "compare (native loader only)."};
    QCommandLineOption wait{"wait",
                            "With --console: give up after <seconds> (default 60) when the unit "
                            "does not enter its loader, exit 5; 0 waits for ever.",
                            "seconds", "60"};
    Parser() {
        parser.setApplicationDescription(kDescription);
        parser.addOptions({help, version, port, console, verify, wait});
    }
};

}  // namespace

int console_exit_code(int run_result) {
    return run_result >= kSuccess && run_result <= kInvalidResponse ? run_result
                                                                    : kProgrammingError;
}

ProgramOptions parse_program_options(const std::vector<std::string>& arguments) {
    ProgramOptions result;
    std::vector<std::string> single;
    QStringList longOptions = {"romwright"};
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& token = arguments[i];
        if (token.rfind("--", 0) != 0) {
            single.push_back(token);
            continue;
        }
        longOptions << QString::fromLocal8Bit(token.c_str());
        // "--port PATH": the path is the next token unless that is another
        // long option (then the parser says the value is missing).
        if ((token == "--port" || token == "--wait") && i + 1 < arguments.size() &&
            arguments[i + 1].rfind("--", 0) != 0) {
            longOptions << QString::fromLocal8Bit(arguments[++i].c_str());
        }
    }
    result.options = parse_command_line(single);

    Parser p;
    if (!p.parser.parse(longOptions)) {
        result.error = p.parser.errorText().toStdString();
        return result;
    }
    if (!p.parser.positionalArguments().isEmpty()) {
        result.error =
            "Unexpected argument '" + p.parser.positionalArguments().first().toStdString() + "'.";
        return result;
    }
    result.help = p.parser.isSet(p.help);
    result.version = p.parser.isSet(p.version);
    result.console = p.parser.isSet(p.console);
    result.verify = p.parser.isSet(p.verify);
    if (p.parser.isSet(p.port)) {
        result.port = p.parser.value(p.port).toLocal8Bit().toStdString();
        if (result.port.empty()) result.error = "--port needs a device path or a URL.";
    }
    if (p.parser.isSet(p.wait)) {
        bool number = false;
        result.wait_seconds = p.parser.value(p.wait).toInt(&number);
        if (!result.console) {
            result.error = "--wait applies to --console runs only (the window waits for ever).";
        } else if (!number || result.wait_seconds < 0 || result.wait_seconds > 86400) {
            result.error = "--wait takes whole seconds from 0 (for ever) to 86400.";
        }
    }
    // A script's run refuses what the window would ignore or read loosely:
    // a run that does something else than asked is worse than none.
    if (result.console && result.error.empty() && !result.help && !result.version) {
        for (const std::string& token : single) {
            const std::string problem = strict_option_problem(token);
            if (!problem.empty()) {
                result.error = problem + ".";
                break;
            }
        }
    }
    return result;
}

std::string program_help() {
    Parser p;
    // helpText() names the program by its first argument.
    p.parser.parse({"romwright"});
    return p.parser.helpText().toStdString();
}

}  // namespace romwright
