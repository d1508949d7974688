#include "romwright/app/console_run.h"

#include "romwright/run/run_result.h"
#include "romwright/serial/serial_port.h"

#include <chrono>
#include <csignal>
#include <string>

namespace romwright {
namespace {

using Clock = std::chrono::steady_clock;

void cancel_on_signal(int) {
    cancel_requested = true;  // a lock-free atomic store is safe in a handler
}

// The text without the line breaks the window's message boxes carry.
std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of('\n');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of('\n') - first + 1);
}

class ConsoleProgress {
  public:
    ConsoleProgress(std::FILE* report, const char* doing) : report_(report), doing_(doing) {}

    void update(uint32_t total, uint32_t done) {
        const int percent = progress_percent(total, done);
        if (percent == last_percent_) return;
        last_percent_ = percent;
        const auto now = Clock::now();
        if (done == 0 || !started_) {
            start_ = now;
            start_done_ = done;
            started_ = true;
        }
        const double seconds = std::chrono::duration<double>(now - start_).count();
        std::fprintf(report_, "%s unit (%%%d)", doing_, percent);
        if (seconds > 0 && done > start_done_) {
            const double rate = (done - start_done_) / seconds;
            const double left = done < total ? (total - done) / rate : 0;
            std::fprintf(report_, " %.1f pages/s, %d:%02d left", rate, static_cast<int>(left) / 60,
                         static_cast<int>(left) % 60);
        }
        std::fputc('\n', report_);
        std::fflush(report_);
    }
    int last_percent() const { return last_percent_ < 0 ? 0 : last_percent_; }

  private:
    std::FILE* report_;
    const char* doing_;  // "Flashing", or "Reading" for a read of the flash
    int last_percent_ = -1;
    bool started_ = false;
    Clock::time_point start_;
    uint32_t start_done_ = 0;
};

}  // namespace

RunSettings settings_from(const ProgramOptions& options) {
    RunSettings settings;
    for (const Option& option : options.options) {
        switch (option.kind) {
            case Option::SelectFile:
                settings.path = option.path;
                settings.flags |= kNoBreak;
                break;
            case Option::SelectPort:
                if (option.port >= 1 && option.port <= 9)
                    settings.port = "COM" + std::to_string(option.port);
                break;
            case Option::Go:
                break;
            case Option::SetRange:
                settings.range_start = option.start;
                settings.range_end = option.end;
                if (option.start != 0 && option.end != 0) settings.flags |= option.flag;
                break;
        }
    }
    if (!options.port.empty()) settings.port = options.port;
    if (options.verify) settings.flags |= kVerify;
    return settings;
}

int run_console(const ProgramOptions& options, std::FILE* report,
                const ProgrammerFactory& programmers) {
    const RunSettings settings = settings_from(options);
    ConsoleProgress progress(report, settings.flags & kReadMode ? "Reading" : "Flashing");
    std::string problem;
    RunCallbacks callbacks;
    callbacks.error = [report](const std::string& text) {
        std::fprintf(report, "Flasher Error: %s\n", trimmed(text).c_str());
    };
    callbacks.progress = [&progress](uint32_t total, uint32_t done) {
        progress.update(total, done);
    };
    callbacks.info = [report](const std::string& text) {
        std::fprintf(report, "%s\n", trimmed(text).c_str());
    };
    callbacks.problem = [&problem](const std::string& text) { problem = text; };

    std::fprintf(report, "Please reset unit\n");
    std::fflush(report);
    set_entry_limit(std::chrono::seconds(options.wait_seconds));
    const auto previous_int = std::signal(SIGINT, cancel_on_signal);
    const auto previous_term = std::signal(SIGTERM, cancel_on_signal);
    const RunResult result =
        program_unit(settings.port, settings.path, settings.flags, settings.range_start,
                     settings.range_end, callbacks, programmers);
    set_entry_limit(std::chrono::milliseconds(0));
    std::signal(SIGINT, previous_int);
    std::signal(SIGTERM, previous_term);
    std::fprintf(report, "%s\n",
                 status_after_run(result, progress.last_percent(), problem).c_str());
    std::fflush(report);
    return console_exit_code(result);
}

}  // namespace romwright
