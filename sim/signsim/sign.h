// A simulated LED message sign: keeps a whole set-up, answers every command
// of the sign protocol with the sign's reply words and knows what it would
// show on its display. Plain C++ so tests can run it in process.
#pragma once

#include <array>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace signsim {

struct SignOptions {
    std::string model = "MQ3000";
    // Firmware count reported after the model; none for an old sign.
    std::optional<std::string> firmware;
    // Repeat "DOWNLOAD_ALL" at the start of the settings line, as some signs do.
    bool echoDownload = false;
};

struct PrioritySettings {
    int font = 0, style = 0, colour = 0, speed = 0, alignment = 0, pause = 0, beep = 0;
    int timeoutSeconds = 0;
    bool operator==(const PrioritySettings&) const = default;
};

struct LinkEntry {
    int id = 0;
    std::string capcode;
    int priority = 0;
    bool operator==(const LinkEntry&) const = default;
};

struct DisplayParams {
    int font = 0, colour = 0, style = 0, alignment = 0, speed = 0, pause = 0;
    bool operator==(const DisplayParams&) const = default;
};

struct DefaultMessage {
    bool present = false;
    std::string stored;  // line breaks as byte 170, time codes as 171 to 178
    DisplayParams params;
};

struct IdleTimeDisplay {
    bool on = false;
    DisplayParams params;
    int format = 0;
};

inline constexpr int kPriorities = 5;
inline constexpr int kMaxLinks = 16;

struct SignState {
    std::array<PrioritySettings, kPriorities> priorities;
    std::vector<LinkEntry> links;  // at most kMaxLinks
    bool autoId = true;
    std::string userCommand;
    DefaultMessage defaultMessage;
    IdleTimeDisplay idle;
    long long clockOffsetSeconds = 0;  // sign clock minus PC clock
};

// A run of displayed text in one font and colour (list positions).
struct ShownSegment {
    std::string text;  // 8-bit text; '\n' for a line break
    int font = 0;
    int colour = 0;
    bool operator==(const ShownSegment&) const = default;
};

struct ShownMessage {
    std::string what;  // "test message 3", "default message", "time", "" when dark
    std::vector<ShownSegment> segments;
    std::string plainText() const;
};

class Sign {
  public:
    using TimeSource = std::function<std::time_t()>;
    explicit Sign(
        SignOptions options, TimeSource now = [] { return std::time(nullptr); });

    // Bytes arriving on the line; returns the bytes the sign sends back
    // (each reply line ended by LF). Commands end with CR; LF is ignored.
    std::string receive(std::string_view bytes);

    // Called by receive() for every command with the replies it gave.
    std::function<void(std::string_view command, const std::vector<std::string>& replies)>
        onCommand;

    // One complete command without its CR; returns the reply lines.
    std::vector<std::string> handleCommand(std::string_view line);

    std::string settingsLine() const;          // answer to DOWNLOAD_ALL
    std::string defaultMessageRecord() const;  // answer to DOWNLOAD_DEFAULT_MSG
    void restoreFactoryDefaults();

    const SignOptions& options() const { return options_; }
    const SignState& state() const { return state_; }
    SignState& state() { return state_; }
    ShownMessage display() const;
    // The sign's clock as broken-down time (tm_wday 0 = Sunday).
    std::tm clockTime() const;

  private:
    std::vector<std::string> handleTag(std::string_view line);
    std::string formatTime(int format) const;
    ShownMessage decodeInline(std::string_view what, std::string_view text, int font,
                              int colour) const;

    SignOptions options_;
    TimeSource now_;
    SignState state_;
    std::string pending_;      // bytes of the command being received
    bool discarding_ = false;  // inside an overlong line, until its CR
    ShownMessage shown_;       // last test message, if any
};

}  // namespace signsim
