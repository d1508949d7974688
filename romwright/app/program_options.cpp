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
    "Exit codes with --console: 0 programmed, 1 cancelled, 2 port (cannot be\n"
    "opened, or disconnected), 3 invalid file, 4 invalid file name, 5 invalid\n"
    "response from the unit, 6 other failure (a page or block refused, a\n"
    "verify mismatch), 64 bad command line.\n"
    "With the window: 0 when a run succeeded, 1 when none did, 2 when the\n"
    "window cannot be shown, 64 bad command line.";

struct Parser {
    QCommandLineParser parser;
    QCommandLineOption help{"help", "Show this help and exit."};
    QCommandLineOption version{"version", "Show the version and exit."};
    QCommandLineOption port{"port",
                            "Use the serial device <path> (for example under "
                            "/dev/serial/by-id/) instead of a COM number.",
                            "path"};
    QCommandLineOption console{"console",
                               "Run without a window or display: progress and "
                               "warnings on standard error, the result last."};
    QCommandLineOption verify{"verify",
                              "After writing, read every written page back and "
                              "compare (native loader only)."};
    Parser() {
        parser.setApplicationDescription(kDescription);
        parser.addOptions({help, version, port, console, verify});
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
        if (token == "--port" && i + 1 < arguments.size() && arguments[i + 1].rfind("--", 0) != 0) {
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
        if (result.port.empty()) result.error = "--port needs a device path.";
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
