#include "romwright/app/command_line.h"

#include "romwright/run/program_unit.h"

#include <cctype>

namespace romwright {

std::vector<std::string> split_on(const std::string& text, char delimiter) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (true) {
        const size_t at = text.find(delimiter, start);
        if (at == std::string::npos) {
            if (start < text.size()) pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, at - start));
        start = at + 1;
    }
}

uint32_t parse_hex(const std::string& text, uint32_t fallback) {
    size_t i = 0;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) i = 2;
    uint64_t value = 0;
    bool any = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            break;
        }
        any = true;
        value = value * 16 + static_cast<uint64_t>(digit);
        if (value > UINT32_MAX) value = UINT32_MAX + 1ULL;  // stays above 32 bits
    }
    if (!any) return fallback;
    return value > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(value);
}

namespace {

bool all_hex(const std::string& text) {
    size_t i = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') ? 2 : 0;
    if (i == text.size()) return false;
    for (; i < text.size(); ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    return true;
}

}  // namespace

std::string strict_option_problem(const std::string& token) {
    if (token == "-g") return {};
    if (token.size() < 2 || token[0] != '-') return "unexpected argument '" + token + "'";
    const std::string value = token.substr(2);
    switch (token[1]) {
        case 'f':
            if (value.empty()) return "-f needs the image's path joined to it (-f/path/image.rom)";
            return {};
        case 'c':
            if (value.size() == 1 && value[0] >= '1' && value[0] <= '9') return {};
            return "'" + token + "' names no port: -c takes 1 to 9 (--port takes any device)";
        case 'r':
        case 'w': {
            const auto pieces = split_on(value, '-');
            if (pieces.size() == 2 && all_hex(pieces[0]) && all_hex(pieces[1])) {
                const uint32_t start = parse_hex(pieces[0], 0), end = parse_hex(pieces[1], 0);
                if (start != 0 && end > start) return {};
            }
            return "'" + token + "' is no range: give two nonzero hexadecimal addresses, the " +
                   "end above the start (-" + token[1] + "80000-80400)";
        }
        default:
            return "unknown option '" + token + "'";
    }
}

std::vector<Option> parse_command_line(const std::vector<std::string>& arguments) {
    std::vector<Option> options;
    for (const std::string& token : arguments) {
        if (token == "-g") {
            Option go;
            go.kind = Option::Go;
            options.push_back(go);
            continue;
        }
        if (token.size() < 2 || token[0] != '-') continue;
        const std::string value = token.substr(2);
        switch (token[1]) {
            case 'f': {
                Option option;
                option.kind = Option::SelectFile;
                option.path = value;
                options.push_back(option);
            } break;
            case 'c': {
                int n = 0;
                for (char c : value) {
                    if (c < '0' || c > '9' || n > 100000) break;
                    n = n * 10 + (c - '0');
                }
                Option option;
                option.kind = Option::SelectPort;
                option.port = n;
                options.push_back(option);
                break;
            }
            case 'r':
            case 'w': {
                const auto pieces = split_on(value, '-');
                if (pieces.size() != 2) break;
                Option option;
                option.kind = Option::SetRange;
                option.start = parse_hex(pieces[0], 0);
                option.end = parse_hex(pieces[1], 0);
                option.flag = token[1] == 'r' ? kReadMode : kRawWriteMode;
                options.push_back(option);
                break;
            }
            default:
                break;
        }
    }
    return options;
}

}  // namespace romwright
