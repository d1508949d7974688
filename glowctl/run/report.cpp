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

std::string reportText(Verb verb, const std::vector<JobResult>& results) {
    std::string out;
    for (const JobResult& r : results) {
        if (r.exitCode != kDone) continue;  // said on standard error
        out += r.port + ": " + r.model + (r.build.empty() ? "" : ", build " + r.build);
        if (verb == Verb::Read) out += ", read into " + r.file;
        out += "\n";
    }
    return out;
}

std::string reportJson(Verb verb, const std::vector<JobResult>& results) {
    std::string out;
    for (const JobResult& r : results) {
        out += "{\"port\":" + jsonString(r.port) + ",\"found\":" + (r.found ? "true" : "false");
        if (r.found)
            out += ",\"model\":" + jsonString(r.model) + ",\"build\":" + jsonString(r.build);
        if (verb == Verb::Read && !r.file.empty()) out += ",\"file\":" + jsonString(r.file);
        out += ",\"exit\":" + std::to_string(r.exitCode);
        if (!r.error.empty()) out += ",\"error\":" + jsonString(r.error);
        out += "}\n";
    }
    return out;
}

}  // namespace glowctl
