#include "glowset/core/settings/led_file.h"

#include "glowset/core/options/option_sets.h"
#include "glowset/core/protocol/numbers.h"

namespace glowset {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Line breaks of the message become byte 170 so the message stays on its
// one line. CR LF is the message box's own break; a lone CR or LF is turned
// into the same byte, because left as it is it would end the line and the
// rest of the message would be read as further lines of the file.
std::string messageForFile(std::string_view message) {
    std::string out;
    for (size_t i = 0; i < message.size(); ++i) {
        const char c = message[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < message.size() && message[i + 1] == '\n') ++i;
            out += static_cast<char>(kStoredLineBreak);
        } else {
            out += c;
        }
    }
    return out;
}

constexpr std::array<std::string_view, kDefaultCodeCount> kDefaultKeys = {
    "DefaultFont:",      "DefaultColor:", "DefaultStyle:",
    "DefaultAlignment:", "DefaultSpeed:", "DefaultPause:"};

}  // namespace

std::string writeLedFile(const LedSettings& s) {
    std::string out;
    const auto line = [&](std::string_view key, std::string_view value) {
        out.append(key).append(value).append(kLineEnd);
    };
    const auto number = [](int value) { return std::to_string(value); };

    line("Model:", s.model);
    line("Com:", number(s.com));
    for (size_t p = 0; p < s.priorities.size(); ++p) {
        std::string value;
        for (int16_t code : s.priorities[p].codes) value += number(code) + ",";
        value += s.priorities[p].timeout;
        line("Pri" + number(static_cast<int>(p)) + ":", value);
    }
    for (size_t i = 0; i < s.links.size(); ++i) {
        line("LinkID" + number(static_cast<int>(i)) + ":",
             s.links[i].capcodes + "," + number(s.links[i].priority));
    }
    line("DefaultMsg:", messageForFile(s.defaultMessage));
    for (int c = 0; c < kDefaultCodeCount; ++c) line(kDefaultKeys[c], number(s.defaultCodes[c]));
    line("AutoID:", number(s.autoId));
    out.append(kLineEnd);
    return out;
}

namespace {

std::vector<std::string_view> splitLines(std::string_view contents) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < contents.size()) {
        const size_t end = contents.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(contents.substr(start));
            break;
        }
        lines.push_back(contents.substr(start, end - start));
        start = end + 1;
        if (contents[end] == '\r' && start < contents.size() && contents[start] == '\n') ++start;
    }
    return lines;
}

std::vector<std::string_view> splitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        fields.push_back(
            text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos) return fields;
        start = comma + 1;
    }
}

// Applies the keys of one line to `out`; returns an error when a number is
// needed and the value is not one.
class LineReader {
  public:
    LineReader(std::string_view line, int lineNumber, std::vector<LedApplication>& out)
        : line_(line), lower_(toLowerAscii(line)), lineNumber_(lineNumber), out_(out) {
        const size_t first = line.find(':');
        if (first != std::string_view::npos) {
            const size_t second = line.find(':', first + 1);
            value_ = line.substr(first + 1,
                                 second == std::string_view::npos ? second : second - first - 1);
        }
    }

    std::optional<LedReadError> apply() {
        // The message line is the message to its end: Save writes it whole,
        // and a colon or another key's name in it is text, not a value's end.
        constexpr std::string_view messageKey = "defaultmsg:";
        if (lower_.starts_with(messageKey)) {
            out_.push_back(led::DefaultMessage{std::string(line_.substr(messageKey.size()))});
            return std::nullopt;
        }
        if (has("Model:")) out_.push_back(led::ModelCaption{std::string(value_)});
        if (has("Com:")) {
            const auto n = number("Com:", value_);
            if (!n) return error_;
            const auto position = toInt16(*n - 1);
            if (!position) return outOfRange("Com:", value_);
            out_.push_back(led::PortPosition{*position});
        }
        for (int p = 0; p < kPriorityCount; ++p) {
            if (has("Pri" + std::to_string(p) + ":")) {
                if (auto failed = applyPriority(p)) return failed;
            }
        }
        for (int i = 0; i < kLinkIdCount; ++i) {
            if (has("LinkID" + std::to_string(i) + ":")) {
                if (auto failed = applyLink(i)) return failed;
            }
        }
        if (has("DefaultMsg:")) out_.push_back(led::DefaultMessage{std::string(value_)});
        for (int c = 0; c < kDefaultCodeCount; ++c) {
            if (!has(kDefaultKeys[c])) continue;
            const auto value = integer(kDefaultKeys[c], value_);
            if (!value) return error_;
            out_.push_back(led::DefaultCodeValue{static_cast<DefaultCode>(c), *value});
        }
        if (has("AutoID:")) {
            const auto value = integer("AutoID:", value_);
            if (!value) return error_;
            out_.push_back(led::AutoIdValue{*value});
        }
        return std::nullopt;
    }

  private:
    bool has(std::string_view key) const {
        return lower_.find(toLowerAscii(key)) != std::string::npos;
    }

    // Eight fields: seven codes (each the field's leading number) and the
    // time-out text. Any other count leaves the priority alone.
    std::optional<LedReadError> applyPriority(int p) {
        const auto fields = splitFields(value_);
        if (fields.size() != 8) return std::nullopt;
        led::PriorityValues values{p, {}};
        for (size_t f = 0; f < 7; ++f) {
            const auto code = toInt16(leadingNumber(fields[f]));
            if (!code) return outOfRange("Pri" + std::to_string(p) + ":", fields[f]);
            values.values.codes[f] = *code;
        }
        values.values.timeout = std::string(fields[7]);
        out_.push_back(std::move(values));
        return std::nullopt;
    }

    // The capcodes, then the priority last. A link box holding several ids
    // is saved with the commas between them, so every field before the last
    // is an id; fewer than two fields clear the link.
    std::optional<LedReadError> applyLink(int i) {
        const auto fields = splitFields(value_);
        if (fields.size() < 2) {
            out_.push_back(led::LinkCleared{i});
            return std::nullopt;
        }
        std::string capcodes(fields[0]);
        for (size_t f = 1; f + 1 < fields.size(); ++f) capcodes += "," + std::string(fields[f]);
        out_.push_back(led::LinkCapcodes{i, capcodes});
        const std::string key = "LinkID" + std::to_string(i) + ":";
        const std::string_view priority = fields.back();
        const auto n = number(key, priority);
        if (!n) return error_;
        if (*n >= 5) return std::nullopt;  // the list keeps its selection
        const auto position = toInt16(*n);
        if (!position) return outOfRange(key, priority);
        out_.push_back(led::LinkPriority{i, *position});
        return std::nullopt;
    }

    std::optional<double> number(std::string_view key, std::string_view text) {
        const auto n = wholeNumber(text);
        if (!n) {
            error_ = LedReadError{lineNumber_, kLedErrorNotANumber,
                                  "Line " + std::to_string(lineNumber_) + ": \"" +
                                      std::string(key) + "\" needs a number, but the file has \"" +
                                      std::string(text) + "\"."};
        }
        return n;
    }

    std::optional<int16_t> integer(std::string_view key, std::string_view text) {
        const auto n = number(key, text);
        if (!n) return std::nullopt;
        const auto value = toInt16(*n);
        if (!value) error_ = outOfRange(key, text);
        return value;
    }

    LedReadError outOfRange(std::string_view key, std::string_view text) const {
        return LedReadError{lineNumber_, kLedErrorOutOfRange,
                            "Line " + std::to_string(lineNumber_) + ": the value \"" +
                                std::string(text) + "\" of \"" + std::string(key) +
                                "\" is out of range."};
    }

    std::string_view line_;
    std::string lower_;
    std::string_view value_;
    int lineNumber_;
    std::vector<LedApplication>& out_;
    LedReadError error_;
};

}  // namespace

LedReadResult readLedFile(std::string_view contents) {
    LedReadResult result;
    int lineNumber = 0;
    for (std::string_view line : splitLines(contents)) {
        ++lineNumber;
        LineReader reader(line, lineNumber, result.applications);
        if (auto failed = reader.apply()) {
            result.error = std::move(failed);
            break;
        }
    }
    return result;
}

}  // namespace glowset
