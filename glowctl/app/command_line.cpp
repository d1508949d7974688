#include "glowctl/app/command_line.h"

#include <algorithm>
#include <regex>

namespace glowctl {
namespace {

constexpr const char* kPortPlaceholder = "{port}";

ParsedCommandLine refuse(const std::string& problem) {
    return {std::nullopt, problem};
}

// The display options of a default message, in the file's order.
int codeOption(const std::string& option) {
    const char* options[] = {"--font", "--colour", "--style", "--alignment", "--speed", "--pause"};
    for (int c = 0; c < 6; ++c) {
        if (option == options[c]) return c;
    }
    return option == "--color" ? 1 : -1;
}

std::optional<int> wholeCode(const std::string& text) {
    if (text.empty() || text.size() > 4 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::stoi(text);
}

// The inline codes a test message may carry: "$F" + A to Y, "$C" + A to M.
std::optional<std::string> inlineCodeProblem(const std::string& text) {
    for (size_t at = text.find('$'); at != std::string::npos; at = text.find('$', at + 1)) {
        if (at + 1 >= text.size() || (text[at + 1] != 'F' && text[at + 1] != 'C')) continue;
        const char last = text[at + 1] == 'F' ? 'Y' : 'M';
        if (at + 2 < text.size() && text[at + 2] >= 'A' && text[at + 2] <= last) continue;
        return "\"" + text.substr(at, 3) + "\" is no " +
               (last == 'Y' ? "font code ($FA to $FY)" : "colour code ($CA to $CM)");
    }
    return std::nullopt;
}

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    std::vector<std::string> words;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--help" || a == "-h") {
            line.help = true;
        } else if (a == "--version") {
            line.version = true;
        } else if (a == "--json") {
            line.json = true;
        } else if (a == "--quiet") {
            line.quiet = true;
        } else if (a == "--dry-run") {
            line.dryRun = true;
        } else if (a == "--force") {
            line.force = true;
        } else if (a == "--any-model") {
            line.anyModel = true;
        } else if (a == "--port") {
            if (i + 1 >= arguments.size())
                return refuse("--port needs a port: COM1 to COM12 or a device path");
            line.ports.push_back(arguments[++i]);
        } else if (a == "--yes") {
            line.yes = true;
        } else if (a == "--time") {
            if (i + 1 >= arguments.size()) return refuse("--time needs \"YYYY-MM-DD HH:MM:SS\"");
            line.time = arguments[++i];
            static const std::regex form(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2})");
            if (!std::regex_match(line.time, form)) {
                return refuse("--time needs \"YYYY-MM-DD HH:MM:SS\", not \"" + line.time + "\"");
            }
        } else if (a == "--text") {
            if (i + 1 >= arguments.size()) return refuse("--text needs the message");
            line.text = arguments[++i];
        } else if (a == "--id" || a == "--priority" || a == "--beep") {
            const auto value =
                i + 1 < arguments.size() ? wholeCode(arguments[i + 1]) : std::nullopt;
            const int top = a == "--id" ? 7 : a == "--priority" ? 4 : 9999;
            if (!value || *value > top) {
                return refuse(a == "--id"         ? "--id needs a message id, 0 to 7"
                              : a == "--priority" ? "--priority needs a priority, 0 to 4"
                                                  : "--beep needs a list position, 0 or more");
            }
            (a == "--id" ? line.id : a == "--priority" ? line.priority : line.beep) = *value;
            ++i;
        } else if (a == "--timeout") {
            // Sent as typed, as the window's box sends it; the sign judges its range.
            if (i + 1 >= arguments.size() || !wholeCode(arguments[i + 1]))
                return refuse("--timeout needs a whole number of seconds, up to 9999");
            line.timeout = arguments[++i];
        } else if (const int code = codeOption(a); code >= 0) {
            const auto value =
                i + 1 < arguments.size() ? wholeCode(arguments[i + 1]) : std::nullopt;
            if (!value) return refuse(a + " needs a list position, 0 or more");
            line.codes[code] = *value;
            ++i;
        } else if (a.rfind("--port=", 0) == 0) {
            line.ports.push_back(a.substr(7));
        } else if (a.size() > 1 && a[0] == '-') {
            return refuse("unknown option '" + a + "'");
        } else {
            words.push_back(a);
        }
    }
    if (line.help || line.version) return {line, {}};
    for (const std::string& port : line.ports) {
        if (port.empty()) return refuse("--port needs a port: COM1 to COM12 or a device path");
    }
    if (words.empty())
        return refuse(
            "no verb: find, read, diff, write, default-message, clock, idle-time, message or "
            "factory-reset");
    const std::string& verb = words[0];
    const std::vector<std::string> args(words.begin() + 1, words.end());
    if (verb == "find") {
        if (!args.empty()) return refuse("find takes no arguments, not '" + args[0] + "'");
        line.verb = Verb::Find;
    } else if (verb == "read" || verb == "diff" || verb == "write") {
        if (args.size() != 1) return refuse(verb + " takes one settings file, FILE.led");
        if (line.ports.empty()) return refuse(verb + " needs --port");
        line.verb = verb == "read" ? Verb::Read : verb == "diff" ? Verb::Diff : Verb::Write;
        line.file = args[0];
        if (line.verb == Verb::Read && line.ports.size() > 1 &&
            line.file.find(kPortPlaceholder) == std::string::npos) {
            return refuse(
                "reading several signs needs {port} in the file name, as in sign-{port}.led");
        }
    } else if (verb == "default-message") {
        if (line.ports.empty()) return refuse(verb + " needs --port");
        if (args.empty() || args.size() > 2 || (args[0] != "get" && args[0] != "set")) {
            return refuse("default-message takes get or set, and a settings file or none");
        }
        line.verb = args[0] == "get" ? Verb::DefaultMessageGet : Verb::DefaultMessageSet;
        if (args.size() == 2) line.file = args[1];
        if (line.verb == Verb::DefaultMessageGet && line.ports.size() > 1 && !line.file.empty() &&
            line.file.find(kPortPlaceholder) == std::string::npos) {
            return refuse(
                "reading several signs needs {port} in the file name, as in sign-{port}.led");
        }
        if (line.verb == Verb::DefaultMessageSet && line.text.has_value() == !line.file.empty()) {
            return refuse(
                "default-message set takes a settings file or --text (\"\" deletes the "
                "message), one of them");
        }
        const bool anyCode =
            std::find(line.codes.begin(), line.codes.end(), -1) != line.codes.end();
        if (line.text && !line.text->empty() && anyCode) {
            return refuse(
                "a default message needs --font, --colour, --style, --alignment, --speed "
                "and --pause");
        }
    } else if (verb == "message") {
        if (line.ports.empty()) return refuse(verb + " needs --port");
        if (args.size() != 1 || line.text) return refuse("message takes one text, TEXT");
        line.verb = Verb::Message;
        line.text = args[0];
        if (const auto problem = inlineCodeProblem(args[0])) return refuse(*problem);
    } else if (verb == "clock" || verb == "idle-time" || verb == "factory-reset") {
        if (line.ports.empty()) return refuse(verb + " needs --port");
        const std::string what = args.empty() ? "" : args[0];
        if (verb == "clock" && args.size() == 1 && what == "set") {
            line.verb = Verb::ClockSet;
        } else if (verb == "idle-time" && args.size() == 1 &&
                   (what == "on" || what == "off" || what == "status")) {
            line.verb = what == "on"    ? Verb::IdleOn
                        : what == "off" ? Verb::IdleOff
                                        : Verb::IdleStatus;
        } else if (verb == "factory-reset" && args.empty()) {
            if (!line.yes) return refuse("factory-reset replaces the whole set-up: give --yes");
            line.verb = Verb::FactoryReset;
        } else {
            return refuse(verb == "clock"       ? "clock takes set"
                          : verb == "idle-time" ? "idle-time takes on, off or status"
                                                : "factory-reset takes --yes only");
        }
    } else {
        return refuse("unknown verb '" + verb + "'");
    }
    if (!line.time.empty() && line.verb != Verb::ClockSet)
        return refuse("--time goes with clock set");
    if ((line.dryRun || line.force) && line.verb != Verb::Write)
        return refuse("--dry-run and --force go with write");
    const bool withFile =
        line.verb == Verb::Write ||
        ((line.verb == Verb::DefaultMessageGet || line.verb == Verb::DefaultMessageSet) &&
         !line.file.empty());
    if (line.anyModel && !withFile)
        return refuse("--any-model goes with write and default-message with a settings file");
    const bool codesGiven = std::find_if(line.codes.begin(), line.codes.end(),
                                         [](int c) { return c >= 0; }) != line.codes.end();
    const bool message = line.verb == Verb::Message;
    if ((line.text || codesGiven) && line.verb != Verb::DefaultMessageSet && !message)
        return refuse("--text and the display options go with default-message set and message");
    if (codesGiven && !line.file.empty())
        return refuse("the display options of a settings file are its own");
    if ((line.id >= 0 || line.priority >= 0 || line.beep >= 0 || line.timeout) && !message)
        return refuse("--id, --priority, --beep and --timeout go with message");
    return {line, {}};
}

std::string fileForPort(const std::string& pattern, const std::string& port) {
    std::string name = port;
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    std::string file = pattern;
    const std::string placeholder = kPortPlaceholder;
    for (size_t at = file.find(placeholder); at != std::string::npos;
         at = file.find(placeholder, at + name.size())) {
        file.replace(at, placeholder.size(), name);
    }
    return file;
}

std::string helpText() {
    return "Usage: glowctl [--port PORT]... [--json] [--quiet] VERB [ARGS]\n"
           "Reads, compares and writes the set-up of Marquelle signs, many at once.\n"
           "\n"
           "Verbs:\n"
           "  find           every port a sign answers on, with its model and build number;\n"
           "                 without --port, COM1 to COM12\n"
           "  read FILE.led  the sign's whole set-up, default message included, into a\n"
           "                 settings file; with several ports, {port} in FILE stands for\n"
           "                 each port's name\n"
           "  diff FILE.led  what differs between the file and the sign, item by item\n"
           "  write FILE.led [--dry-run] [--force] [--any-model]\n"
           "                 sends what differs (everything with --force) as Upload to Sign\n"
           "                 does, reads the sign back and compares; --dry-run prints the\n"
           "                 lines and sends nothing; a file made for another model is\n"
           "                 refused without --any-model. The default message, the user\n"
           "                 command and the idle display are left as the sign has them.\n"
           "  default-message get [FILE.led]\n"
           "                 the sign's default message, its six codes and the idle display;\n"
           "                 with FILE, written into it: into a file that exists only its\n"
           "                 default message lines change\n"
           "  default-message set FILE.led\n"
           "                 sets the default message and codes a settings file holds\n"
           "  default-message set --text TEXT --font N --colour N --style N --alignment N\n"
           "                 --speed N --pause N\n"
           "                 sets it as the default message window's Upload to Sign does\n"
           "                 (--text \"\" deletes it) and reads it back; N is a position in\n"
           "                 the model's list, as the window's lists show them; --any-model\n"
           "                 takes a settings file made for another model\n"
           "  clock set [--time \"YYYY-MM-DD HH:MM:SS\"]\n"
           "                 sets the sign's clock, to the computer's time by default\n"
           "  idle-time on|off|status\n"
           "                 switches the time display when idle, and reads its state back\n"
           "  message TEXT [--id N] [--priority N] [--font N] ... [--beep N] [--timeout S]\n"
           "                 sends a test message as the test message window does, with the\n"
           "                 settings of the priority (0 by default) read from the sign, the\n"
           "                 options over them; $FA to $FY and $CA to $CM in TEXT change the\n"
           "                 font and colour, <hh:mm> and the other placeholders show the time\n"
           "  factory-reset --yes\n"
           "                 replaces the sign's whole set-up by its factory settings and\n"
           "                 reads it back\n"
           "\n"
           "Options:\n"
           "  --port PORT    COM1 to COM12 (the numbers glowset shows), a device path, or\n"
           "                 rfc2217://host:port or socket://host:port;\n"
           "                 give it again for more signs, which are served at the same time\n"
           "  --json         one JSON object per port on standard output\n"
           "  --quiet        no progress on standard error\n"
           "  --help, --version\n"
           "\n"
           "Results go to standard output, progress and errors to standard error.\n"
           "Exit status: the largest of the ports' (find: 0 when it found a sign):\n"
           "  0 done, or nothing differs   1 differences found (diff, write --dry-run)\n"
           "  2 the port cannot be opened, is busy or was disconnected\n"
           "  3 the settings file is unreadable, malformed, for another model, or cannot\n"
           "    be written, or the text or a position cannot go to the sign (nothing sent)\n"
           "  5 no sign answered, or it answered \"error\"\n"
           "  6 the sign read back differs after a write, a default message or an idle switch\n"
           "  64 a bad command line\n";
}

}  // namespace glowctl
