#include "glowctl/run/settings_file.h"

#include "glowset/core/options/option_sets.h"
#include "glowset/core/protocol/numbers.h"

#include <array>

namespace glowctl {
namespace {

using namespace glowset;

std::vector<std::string_view> lines(std::string_view contents) {
    std::vector<std::string_view> out;
    size_t start = 0;
    while (start < contents.size()) {
        const size_t end = contents.find_first_of("\r\n", start);
        out.push_back(contents.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) break;
        start = end + (contents.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return out;
}

std::vector<std::string_view> fields(std::string_view value) {
    std::vector<std::string_view> out;
    for (size_t start = 0;;) {
        const size_t comma = value.find(',', start);
        out.push_back(value.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos) return out;
        start = comma + 1;
    }
}

bool isNumber(std::string_view text) {
    return wholeNumber(text).has_value();
}

// Every line a saved file has, and what its value must be.
enum class Value { Any, Number, Priority, Link };
std::vector<std::pair<std::string, Value>> requiredLines() {
    std::vector<std::pair<std::string, Value>> keys = {{"Model:", Value::Any},
                                                       {"Com:", Value::Number}};
    for (int p = 0; p < 5; ++p) keys.emplace_back("Pri" + std::to_string(p) + ":", Value::Priority);
    for (int i = 0; i < 8; ++i) keys.emplace_back("LinkID" + std::to_string(i) + ":", Value::Link);
    keys.emplace_back("DefaultMsg:", Value::Any);
    for (const char* key : {"DefaultFont:", "DefaultColor:", "DefaultStyle:", "DefaultAlignment:",
                            "DefaultSpeed:", "DefaultPause:", "AutoID:"}) {
        keys.emplace_back(key, Value::Number);
    }
    return keys;
}

std::optional<std::string> valueProblem(std::string_view value, Value kind) {
    const auto f = fields(value);
    switch (kind) {
        case Value::Any:
            return std::nullopt;
        case Value::Number:
            if (isNumber(value)) return std::nullopt;
            return "needs a number";
        case Value::Priority:
            if (f.size() != 8) return "needs eight fields, not " + std::to_string(f.size());
            for (const auto field : f) {
                if (!isNumber(field)) return "has \"" + std::string(field) + "\" for a number";
            }
            return std::nullopt;
        case Value::Link:
            if (f.size() < 2 || !isNumber(f.back())) return "needs its ids and then a priority";
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

std::variant<SettingsFile, std::string> checkSettingsFile(const std::string& path,
                                                          std::string_view contents) {
    const auto fileLines = lines(contents);
    SettingsFile file;
    for (const auto& [key, kind] : requiredLines()) {
        bool present = false;
        for (size_t n = 0; n < fileLines.size() && !present; ++n) {
            const std::string_view line = fileLines[n];
            if (toLowerAscii(line.substr(0, key.size())) != toLowerAscii(key)) continue;
            present = true;
            const std::string_view value = line.substr(key.size());
            if (const auto problem = valueProblem(value, kind)) {
                return path + ", line " + std::to_string(n + 1) + ": \"" + key + "\" " + *problem;
            }
            if (key == "Model:") file.model = std::string(value);
        }
        if (!present) return path + ": no \"" + key + "\" line";
    }
    LedReadResult read = readLedFile(contents);
    if (read.error) return path + ": " + read.error->description;
    file.applications = std::move(read.applications);
    return file;
}

std::optional<std::string> applySettingsFile(const SettingsFile& file, const std::string& signModel,
                                             WindowSettings& wanted) {
    const auto lists = listsInRowOrder(optionSetForModel(signModel));
    const auto listed = [](int position, size_t count) {
        return position >= -1 && position < static_cast<int>(count);
    };
    for (const LedApplication& application : file.applications) {
        if (const auto* a = std::get_if<led::PriorityValues>(&application)) {
            for (int v = 0; v < kPriorityListCount; ++v) {
                if (!listed(a->values.codes[v], lists[v]->size())) {
                    return "Pri" + std::to_string(a->priority) + " has no entry " +
                           std::to_string(a->values.codes[v]) + " in field " +
                           std::to_string(v + 1) + " for a " + signModel;
                }
                wanted.priorities[a->priority].codes[v] = a->values.codes[v];
            }
            wanted.priorities[a->priority].timeoutText = a->values.timeout;
        } else if (const auto* a = std::get_if<led::LinkCapcodes>(&application)) {
            wanted.capcodes[a->link] = a->text;
        } else if (const auto* a = std::get_if<led::LinkPriority>(&application)) {
            if (!listed(a->position, kPriorityCount)) {
                return "LinkID" + std::to_string(a->link) + " has no priority " +
                       std::to_string(a->position);
            }
            wanted.linkPriorities[a->link] = a->position;
        } else if (const auto* a = std::get_if<led::LinkCleared>(&application)) {
            wanted.capcodes[a->link].clear();
            wanted.linkPriorities[a->link] = -1;
        } else if (const auto* a = std::get_if<led::AutoIdValue>(&application)) {
            if (a->value < 0 || a->value > 2) return "AutoID must be 0, 1 or 2";
            wanted.autoId = a->value;
        }
    }
    return std::nullopt;
}

FileDefaultMessage fileDefaultMessage(const SettingsFile& file) {
    FileDefaultMessage message;
    for (const LedApplication& application : file.applications) {
        if (const auto* a = std::get_if<led::DefaultMessage>(&application)) {
            message.text.clear();
            for (const char c : a->stored) {
                message.text += static_cast<unsigned char>(c) == kStoredLineBreak ? '\n' : c;
            }
        } else if (const auto* a = std::get_if<led::DefaultCodeValue>(&application)) {
            message.codes[a->code] = a->value;
        }
    }
    return message;
}

std::optional<std::string> missingDefaultCode(const FileDefaultMessage& message) {
    if (message.text.empty()) return std::nullopt;  // a delete needs no codes
    const char* names[] = {"font", "colour", "style", "alignment", "speed", "pause"};
    const char* keys[] = {"DefaultFont:",      "DefaultColor:", "DefaultStyle:",
                          "DefaultAlignment:", "DefaultSpeed:", "DefaultPause:"};
    for (int c = 0; c < 6; ++c) {
        if (message.codes[c] < 0) {
            return std::string(names[c]) + " (" + keys[c] + std::to_string(message.codes[c]) + ")";
        }
    }
    return std::nullopt;
}

std::string withDefaultMessageOf(std::string_view contents, std::string_view fresh) {
    const auto freshLines = lines(fresh);
    std::string out;
    size_t copied = 0;
    for (const std::string_view line : lines(contents)) {
        const size_t colon = line.find(':');
        const std::string key = toLowerAscii(line.substr(0, colon + 1));
        if (colon == std::string_view::npos || key.rfind("default", 0) != 0) continue;
        for (const std::string_view replacement : freshLines) {
            if (toLowerAscii(replacement.substr(0, colon + 1)) != key) continue;
            const size_t at = static_cast<size_t>(line.data() - contents.data());
            out.append(contents.substr(copied, at - copied)).append(replacement);
            copied = at + line.size();
            break;
        }
    }
    return out.append(contents.substr(copied));
}

std::vector<std::string> markedItems(const ChangeFlags& marked) {
    std::vector<std::string> items;
    for (int p = 0; p < 5; ++p) {
        if (marked.priorityChanged[p]) items.push_back("Pri" + std::to_string(p));
    }
    if (marked.idModeChanged) items.push_back("AutoID");
    if (marked.userCommandChanged) items.push_back("user command");
    for (int n = 0; n < 8; ++n) {
        if (marked.linkChanged[n]) items.push_back("LinkID" + std::to_string(n));
    }
    return items;
}

}  // namespace glowctl
