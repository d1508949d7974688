#include "sim/signsim/sign.h"

#include <charconv>
#include <cstdio>
#include <map>

namespace signsim {
namespace {

constexpr unsigned char kStoredLineBreak = 170;
constexpr unsigned char kStoredTimeBase = 171;  // 171 + format code
constexpr size_t kMaxLine = 4096;

bool isKL404(const std::string& model) {
    return model == "KL404";
}
bool reportsCharacterCodes(const std::string& model) {
    return model == "RV2210" || model == "TB330";
}

// How many entries each option has on this sign; a code outside is refused.
struct Ranges {
    int font = 25, style = 28, colour = 13, alignment = 3, speed = 5, pause = 10, beep = 3;
};
Ranges rangesFor(const std::string& model) {
    Ranges r;
    if (isKL404(model)) r.style = 23;
    return r;
}

std::optional<int> parseInt(std::string_view text) {
    int value = 0;
    if (text.empty()) return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool inRange(std::optional<int> v, int count) {
    return v && *v >= 0 && *v < count;
}

// A tag "<name k=v k=v>rest": the name, the attributes and the text after it.
// A piece without "=" belongs to the previous value (a value with a blank).
struct Tag {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string rest;
    std::optional<int> number(const std::string& key) const {
        const auto it = attributes.find(key);
        return it == attributes.end() ? std::nullopt : parseInt(it->second);
    }
    bool has(const std::string& key) const { return attributes.count(key) != 0; }
};

std::optional<Tag> parseTag(std::string_view line) {
    if (line.empty() || line[0] != '<') return std::nullopt;
    const size_t close = line.find('>');
    if (close == std::string_view::npos) return std::nullopt;
    Tag tag;
    tag.rest = std::string(line.substr(close + 1));
    const std::string_view inside = line.substr(1, close - 1);
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= inside.size()) {
        const size_t blank = inside.find(' ', start);
        pieces.emplace_back(
            inside.substr(start, blank == std::string_view::npos ? blank : blank - start));
        if (blank == std::string_view::npos) break;
        start = blank + 1;
    }
    std::string lastKey;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const size_t eq = pieces[i].find('=');
        if (i == 0) {  // the name; "id=3" of a test message is a name too
            tag.name = pieces[i];
            continue;
        }
        if (eq == std::string::npos) {
            if (lastKey.empty()) return std::nullopt;
            tag.attributes[lastKey] += " " + pieces[i];
            continue;
        }
        lastKey = pieces[i].substr(0, eq);
        tag.attributes[lastKey] = pieces[i].substr(eq + 1);
    }
    return tag;
}

std::optional<DisplayParams> readParams(const Tag& tag, const Ranges& r) {
    DisplayParams p;
    const auto f = tag.number("f"), c = tag.number("c"), s = tag.number("s"), a = tag.number("a"),
               sp = tag.number("sp"), pa = tag.number("p");
    if (!inRange(f, r.font) || !inRange(c, r.colour) || !inRange(s, r.style) ||
        !inRange(a, r.alignment) || !inRange(sp, r.speed) || !inRange(pa, r.pause)) {
        return std::nullopt;
    }
    p = {*f, *c, *s, *a, *sp, *pa};
    return p;
}

// Wire form of a message to the stored form: "$L" -> 170, "$Tn" -> 171 + n.
std::string wireToStored(std::string_view wire) {
    std::string out;
    for (size_t i = 0; i < wire.size(); ++i) {
        if (wire[i] == '$' && i + 1 < wire.size() && wire[i + 1] == 'L') {
            out += static_cast<char>(kStoredLineBreak);
            ++i;
        } else if (wire[i] == '$' && i + 2 < wire.size() && wire[i + 1] == 'T' &&
                   wire[i + 2] >= '0' && wire[i + 2] <= '7') {
            out += static_cast<char>(kStoredTimeBase + (wire[i + 2] - '0'));
            i += 2;
        } else {
            out += wire[i];
        }
    }
    return out;
}

// Seconds since the epoch of a broken-down time read as if it were UTC: the
// sign's clock is a plain calendar time without a zone.
long long naiveSeconds(std::tm t) {
    return static_cast<long long>(timegm(&t));
}

}  // namespace

std::string ShownMessage::plainText() const {
    std::string text;
    for (const auto& s : segments) text += s.text;
    return text;
}

Sign::Sign(SignOptions options, TimeSource now)
    : options_(std::move(options)), now_(std::move(now)) {
    restoreFactoryDefaults();
}

void Sign::restoreFactoryDefaults() {
    const bool kl404 = isKL404(options_.model);
    PrioritySettings factory{kl404 ? 6 : 5, 0, kl404 ? 3 : 0, 2, 0, 2, 0, 10};
    state_.priorities.fill(factory);
    state_.links.clear();
    state_.autoId = true;
    state_.userCommand.clear();
    state_.defaultMessage = {};
    state_.idle = {};
    shown_ = {};
}

std::string Sign::receive(std::string_view bytes) {
    std::string out;
    const auto answer = [&](std::string_view line) {
        const std::vector<std::string> replies = handleCommand(line);
        if (onCommand) onCommand(line, replies);
        for (const std::string& reply : replies) out += reply + "\n";
    };
    for (char c : bytes) {
        if (c == '\n') continue;
        if (c == '\r') {
            if (!discarding_) answer(pending_);
            discarding_ = false;
            pending_.clear();
            continue;
        }
        if (discarding_) continue;
        pending_ += c;
        // The idle display switches are sent without a terminator.
        if (pending_ == "<TIME>IDLE ON" || pending_ == "<TIME>IDLE OFF") {
            answer(pending_);
            pending_.clear();
        } else if (pending_.size() > kMaxLine) {
            // Noise without a CR: refuse it once and drop the rest of the line.
            pending_.clear();
            discarding_ = true;
            out += "error\n";
        }
    }
    return out;
}

std::vector<std::string> Sign::handleCommand(std::string_view line) {
    if (line.empty()) return {};
    if (line == "DOWNLOAD_ALL") return {settingsLine()};
    if (line == "DOWNLOAD_DEFAULT_MSG") return {defaultMessageRecord()};
    if (line == "TIME_STATUS") return {std::string("TIME:STATUS:") + (state_.idle.on ? "1" : "0")};
    if (line == "RESET") return {"done"};
    return handleTag(line);
}

std::vector<std::string> Sign::handleTag(std::string_view line) {
    const auto tag = parseTag(line);
    if (!tag) return {"error"};
    const Ranges r = rangesFor(options_.model);
    const std::string name = tag->name;

    if (name == "DF" && tag->has("pr")) {  // record of one priority
        const auto pr = tag->number("pr");
        const auto params = readParams(*tag, r);
        const auto beep = tag->number("b");
        const std::string timeout = tag->attributes.count("t") ? tag->attributes.at("t") : "";
        const auto seconds = timeout.empty() ? std::optional<int>(0) : parseInt(timeout);
        if (!inRange(pr, kPriorities) || !params || !inRange(beep, r.beep) || !seconds ||
            *seconds < 0 || *seconds > 6000 || !tag->rest.empty()) {
            return {"error"};
        }
        state_.priorities[*pr] = {params->font,      params->style, params->colour, params->speed,
                                  params->alignment, params->pause, *beep,          *seconds};
        return {"default " + std::to_string(*pr)};
    }
    if (name == "DF") {  // the default message
        const auto params = readParams(*tag, r);
        if (!params) return {"error"};
        state_.defaultMessage = {true, wireToStored(tag->rest), *params};
        return {"default message"};
    }
    if (name == "del" && tag->attributes.count("id") && tag->attributes.at("id") == "def") {
        state_.defaultMessage = {};
        return {"done"};
    }
    if (name.rfind("id=", 0) == 0) {
        const std::string id = name.substr(3);
        if (id == "auto" || id == "user") {
            if (!tag->attributes.empty() || !tag->rest.empty()) return {"error"};
            state_.autoId = id == "auto";
            return {state_.autoId ? "Auto ID" : "User ID"};
        }
        const auto number = parseInt(id);
        const auto params = readParams(*tag, r);
        const std::string timeout = tag->attributes.count("t") ? tag->attributes.at("t") : "";
        const auto seconds = timeout.empty() ? std::optional<int>(0) : parseInt(timeout);
        if (!inRange(number, 8) || !params || !seconds || *seconds < 0 || *seconds > 6000)
            return {"error"};
        shown_ = decodeInline("test message " + id, tag->rest, params->font, params->colour);
        return {"done"};
    }
    if (name == "UC" && tag->attributes.empty()) {
        if (tag->rest.find_first_of(":,") != std::string::npos) return {"error"};
        state_.userCommand = tag->rest;
        return {"user cmd"};
    }
    if (name == "link") {
        const auto id = tag->number("id");
        if (!inRange(id, 8) || !tag->has("cap")) return {"error"};
        const std::string cap = tag->attributes.at("cap");
        if (cap == "0" && !tag->has("pr")) {
            std::erase_if(state_.links, [&](const LinkEntry& e) { return e.id == *id; });
            return {"delinked"};
        }
        const auto pr = tag->number("pr");
        if (!inRange(pr, kPriorities) || cap.empty()) return {"error"};
        std::vector<LinkEntry> added;
        size_t start = 0;
        while (true) {
            const size_t comma = cap.find(',', start);
            const std::string one =
                cap.substr(start, comma == std::string::npos ? comma : comma - start);
            if (one.empty() || one == "0" || one.find_first_of(": ") != std::string::npos) {
                return {"error"};
            }
            added.push_back({*id, one, *pr});
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        if (state_.links.size() + added.size() > kMaxLinks) return {"error"};
        state_.links.insert(state_.links.end(), added.begin(), added.end());
        return {"linked " + std::to_string(*id)};
    }
    if (name == "FD" && tag->attributes.empty()) {
        restoreFactoryDefaults();
        return {"done"};
    }
    if (name == "TIME" && tag->attributes.empty()) {
        if (tag->rest == "IDLE ON" || tag->rest == "IDLE OFF") {
            state_.idle.on = tag->rest == "IDLE ON";
            return {"done"};
        }
        return {"error"};
    }
    if (name == "TIME" && tag->rest == "IDLE ON") {
        const auto params = readParams(*tag, r);
        const auto format = tag->number("fm");
        if (!params || !inRange(format, 8)) return {"error"};
        state_.idle = {true, *params, *format};
        return {"done"};
    }
    if (name == "Time" && tag->rest == "SET TIME") {
        std::tm t{};
        int weekday = 0;
        char extra = 0;
        const std::string time = tag->attributes.count("time") ? tag->attributes.at("time") : "";
        const std::string date = tag->attributes.count("date") ? tag->attributes.at("date") : "";
        if (std::sscanf(time.c_str(), "%2d:%2d:%2d%c", &t.tm_hour, &t.tm_min, &t.tm_sec, &extra) !=
                3 ||
            std::sscanf(date.c_str(), "%d/%2d/%2d-%1d%c", &t.tm_year, &t.tm_mon, &t.tm_mday,
                        &weekday, &extra) != 4 ||
            t.tm_hour > 23 || t.tm_min > 59 || t.tm_sec > 59 || t.tm_mon < 1 || t.tm_mon > 12 ||
            t.tm_mday < 1 || t.tm_mday > 31 || weekday > 6 || t.tm_year < 1970 ||
            t.tm_year > 9999) {
            return {"error"};
        }
        t.tm_year -= 1900;
        t.tm_mon -= 1;
        const std::time_t pc = now_();
        std::tm pcLocal{};
        localtime_r(&pc, &pcLocal);
        state_.clockOffsetSeconds = naiveSeconds(t) - naiveSeconds(pcLocal);
        return {"done"};
    }
    return {"error"};
}

std::string Sign::settingsLine() const {
    const bool codes = reportsCharacterCodes(options_.model);
    std::string line = options_.echoDownload ? "DOWNLOAD_ALL" : "";
    line += options_.model;
    if (options_.firmware) line += "," + *options_.firmware;
    line += ":";
    const auto add = [&](const std::string& field) { line += field + ","; };
    const auto num = [&](int value) { add(std::to_string(value)); };
    for (const PrioritySettings& p : state_.priorities) {
        // Signs that report character codes count each index from a letter
        // or digit: font from 64, style and colour from 65, speed and pause
        // from 48, alignment from 49.
        num(p.font + (codes ? 64 : 0));
        num(p.style + (codes ? 65 : 0));
        num(p.colour + (codes ? 65 : 0));
        num(p.speed + (codes ? 48 : 0));
        num(p.alignment + (codes ? 49 : 0));
        num(p.pause + (codes ? 48 : 0));
        num(p.beep + 20);
        num(p.timeoutSeconds * 5);
    }
    for (int j = 0; j < kMaxLinks; ++j) {
        if (j < static_cast<int>(state_.links.size())) {
            const LinkEntry& e = state_.links[j];
            num(e.id);
            add(e.capcode);
            num(e.priority);
        } else {
            add("0");
            add("0");
            add("5");
        }
    }
    add(state_.autoId ? "1" : "0");
    line += state_.userCommand;
    return line;
}

std::string Sign::defaultMessageRecord() const {
    const DisplayParams& p = state_.defaultMessage.params;
    const bool codes = options_.model == "RV2210";
    std::string record = options_.model + ":";
    for (int value : {p.font + (codes ? 64 : 0), p.style + (codes ? 65 : 0),
                      p.colour + (codes ? 65 : 0), p.speed + (codes ? 48 : 0),
                      p.alignment + (codes ? 49 : 0), p.pause + (codes ? 48 : 0), 0, 0}) {
        record += std::to_string(value) + ",";
    }
    return record + (state_.defaultMessage.present ? state_.defaultMessage.stored : "");
}

std::tm Sign::clockTime() const {
    const std::time_t pc = now_();
    std::tm local{};
    localtime_r(&pc, &local);
    const std::time_t sign =
        static_cast<std::time_t>(naiveSeconds(local) + state_.clockOffsetSeconds);
    std::tm result{};
    gmtime_r(&sign, &result);
    return result;
}

std::string Sign::formatTime(int format) const {
    static const char* const patterns[] = {"%H:%M:%S", "%I:%M:%S %p", "%H:%M",    "%I:%M %p",
                                           "%m/%d/%Y", "%Y-%m-%d",    "%d.%m %Y", "%m'%d'%y"};
    if (format < 0 || format > 7) return {};
    const std::tm t = clockTime();
    char buffer[64];
    std::strftime(buffer, sizeof buffer, patterns[format], &t);
    return buffer;
}

ShownMessage Sign::decodeInline(std::string_view what, std::string_view text, int font,
                                int colour) const {
    ShownMessage shown{std::string(what), {}};
    const auto append = [&](std::string_view piece) {
        if (shown.segments.empty() || shown.segments.back().font != font ||
            shown.segments.back().colour != colour) {
            shown.segments.push_back({"", font, colour});
        }
        shown.segments.back().text += piece;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (text[i] == '$' && i + 1 < text.size()) {
            const char kind = text[i + 1];
            if (kind == 'L') {
                append("\n");
                ++i;
                continue;
            }
            if (i + 2 < text.size()) {
                const char code = text[i + 2];
                if (kind == 'F' && code >= 'A' && code <= 'Y') {
                    font = code - 'A';
                    i += 2;
                    continue;
                }
                if (kind == 'C' && code >= 'A' && code <= 'M') {
                    colour = code - 'A';
                    i += 2;
                    continue;
                }
                if (kind == 'T' && code >= '0' && code <= '7') {
                    append(formatTime(code - '0'));
                    i += 2;
                    continue;
                }
            }
        }
        if (c == kStoredLineBreak) {
            append("\n");
        } else if (c > kStoredLineBreak && c < kStoredTimeBase + 8) {
            append(formatTime(c - kStoredTimeBase));
        } else {
            append(std::string(1, text[i]));
        }
    }
    return shown;
}

ShownMessage Sign::display() const {
    if (!shown_.what.empty()) return shown_;
    const DefaultMessage& message = state_.defaultMessage;
    if (state_.idle.on && (!message.present || message.stored.empty())) {
        return {
            "time",
            {{formatTime(state_.idle.format), state_.idle.params.font, state_.idle.params.colour}}};
    }
    if (message.present) {
        return decodeInline("default message", message.stored, message.params.font,
                            message.params.colour);
    }
    return {};
}

}  // namespace signsim
