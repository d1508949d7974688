#include "glowctl/run/report.h"

#include <cstdio>

namespace glowctl {

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n' || c == '\r' || c == '\t') {
            out += c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\t";
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else if (byte >= 0x80) {  // Latin-1 to UTF-8
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        } else {
            out += c;
        }
    }
    return out + "\"";
}

namespace {

// A line as it goes on the wire, its terminator left out.
std::string shown(std::string line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return line;
}

}  // namespace

std::string reportText(Verb verb, const std::vector<JobResult>& results) {
    std::string out;
    for (const JobResult& r : results) {
        if (!r.error.empty()) continue;  // said on standard error
        const std::string sign =
            r.port + ": " + r.model + (r.build.empty() ? "" : ", build " + r.build);
        if (verb == Verb::Find || verb == Verb::Read) {
            out += sign + (verb == Verb::Read ? ", read into " + r.file : "") + "\n";
            continue;
        }
        if (r.defaultMessage) {
            const auto& c = r.defaultCodes;
            out +=
                r.port + ": default message " + jsonString(*r.defaultMessage) + ", font " +
                std::to_string(c[0]) + ", colour " + std::to_string(c[1]) + ", style " +
                std::to_string(c[2]) + ", alignment " + std::to_string(c[3]) + ", speed " +
                std::to_string(c[4]) + ", pause " + std::to_string(c[5]) +
                (r.idleTimeOn ? std::string(", idle time display ") + (*r.idleTimeOn ? "on" : "off")
                              : std::string()) +
                "\n";
            if (!r.file.empty()) out += r.port + ": written into " + r.file + "\n";
            if (!r.unchecked.empty()) {
                out += r.port + ": not checked, as the sign's record ends before it: " +
                       jsonString(r.unchecked) + "\n";
            }
            continue;
        }
        if (verb == Verb::Message) {
            for (const std::string& line : r.sent) out += r.port + ": taken: " + shown(line) + "\n";
            continue;
        }
        if (verb == Verb::ClockSet) {
            out += r.port + ": clock set\n";
            continue;
        }
        if (r.idleTimeOn) {
            out += r.port + ": idle time display is " + (*r.idleTimeOn ? "on" : "off") + "\n";
            continue;
        }
        if (verb == Verb::FactoryReset) {
            out += sign + ": reset to its factory set-up\n";
            continue;
        }
        for (const Difference& d : r.differences) {
            out += r.port + ": " + d.item + " differs: file " + d.file + ", sign " + d.sign + "\n";
        }
        if (verb == Verb::Diff) {
            if (r.differences.empty()) out += sign + ": no differences\n";
            continue;
        }
        for (const std::string& line : r.sent) {
            out += r.port + (r.exitCode == kDifferent ? ": would send " : ": sent ") + shown(line) +
                   "\n";
        }
        if (r.sent.empty())
            out += sign + ": nothing to send\n";
        else if (r.exitCode == kDone)
            out += sign + ": read back, it holds the file's set-up\n";
    }
    return out;
}

// The exit code in a word, for a script that reads JSON.
std::string resultWord(int exitCode) {
    switch (exitCode) {
        case kDone:
            return "done";
        case kDifferent:
            return "differs";
        case kPortFailed:
            return "port failed";
        case kFileFailed:
            return "file refused";
        case kSignSilent:
            return "sign silent or refused";
        case kReadBackDiffers:
            return "not taken";
        default:
            return exitCode > 128 ? "stopped" : "failed";
    }
}

std::string reportJson(Verb verb, const std::vector<JobResult>& results) {
    std::string out;
    for (const JobResult& r : results) {
        out += "{\"port\":" + jsonString(r.port) + ",\"found\":" + (r.found ? "true" : "false");
        if (r.found)
            out += ",\"model\":" + jsonString(r.model) + ",\"build\":" + jsonString(r.build);
        if (!r.file.empty()) out += ",\"file\":" + jsonString(r.file);
        if (r.idleTimeOn) out += std::string(",\"idle\":") + (*r.idleTimeOn ? "true" : "false");
        if (r.defaultMessage) {
            out += ",\"message\":" + jsonString(*r.defaultMessage) + ",\"codes\":[";
            for (size_t c = 0; c < r.defaultCodes.size(); ++c) {
                out += (c ? "," : "") + std::to_string(r.defaultCodes[c]);
            }
            out += "]";
            if (!r.unchecked.empty()) out += ",\"unchecked\":" + jsonString(r.unchecked);
        }
        if (verb == Verb::Diff || verb == Verb::Write) {
            std::string items;
            for (const Difference& d : r.differences) {
                items += std::string(items.empty() ? "" : ",") + "{\"item\":" + jsonString(d.item) +
                         ",\"file\":" + jsonString(d.file) + ",\"sign\":" + jsonString(d.sign) +
                         "}";
            }
            out += ",\"differences\":[" + items + "]";
        }
        if (verb == Verb::Write || verb == Verb::Message) {
            std::string lines;
            for (const std::string& line : r.sent) {
                lines += std::string(lines.empty() ? "" : ",") + jsonString(shown(line));
            }
            out += ",\"sent\":[" + lines + "]";
        }
        out += ",\"result\":" + jsonString(resultWord(r.exitCode)) +
               ",\"exit\":" + std::to_string(r.exitCode);
        if (!r.error.empty()) out += ",\"error\":" + jsonString(r.error);
        out += "}\n";
    }
    return out;
}

}  // namespace glowctl
