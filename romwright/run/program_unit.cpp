#include "romwright/run/program_unit.h"

#include "common/ports/port_url.h"
#include "romwright/programmers/m16c_programmer.h"
#include "romwright/programmers/native_programmer.h"
#include "romwright/rom/rom_image.h"
#include "romwright/serial/serial_port.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace romwright {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void report(const std::function<void(const std::string&)>& to, const std::string& text) {
    if (to) to(text);
}

void progress(const RunCallbacks& callbacks, uint32_t total, uint32_t done) {
    if (callbacks.progress) callbacks.progress(total, done);
}

// Pages of a service range: the last partial page counts as a page to
// process but not towards the total.
uint32_t range_total(uint32_t start, uint32_t end) {
    return end > start ? (end - start) / 256 : 0;
}

}  // namespace

const std::array<FlashBlock, kFlashBlockCount>& flash_blocks() {
    static const std::array<FlashBlock, kFlashBlockCount> blocks = {{
        {0x0F000, 0x0FFFF, 0x0FFFE},
        {0x80000, 0x8FFFF, 0x8FFFE},
        {0x90000, 0x9FFFF, 0x9FFFE},
        {0xA0000, 0xAFFFF, 0xAFFFE},
        {0xB0000, 0xBFFFF, 0xBFFFE},
        {0xC0000, 0xCFFFF, 0xCFFFE},
        {0xD0000, 0xDFFFF, 0xDFFFE},
        {0xE0000, 0xEFFFF, 0xEFFFE},
        {0xF0000, 0xF7FFF, 0xF7FFE},
        {0xF8000, 0xF9FFF, 0xF9FFE},
        {0xFA000, 0xFBFFF, 0xFBFFE},
        {0xFC000, 0xFDFFF, 0xFDFFE},
        {0xFE000, 0xFEFFF, 0xFEFFE},
        {0xFF000, 0xFFFFF, 0xFFFFE},
    }};
    return blocks;
}

std::optional<size_t> flash_block_index(uint32_t address) {
    const auto& blocks = flash_blocks();
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (blocks[i].first <= address && address <= blocks[i].last) return i;
    }
    return std::nullopt;
}

ProgrammerFactory default_programmers(Printer print) {
    return [print](uint8_t kind, unsigned flags) -> std::unique_ptr<Programmer> {
        if (kind == kM16cProgrammer) return std::make_unique<M16cProgrammer>(print);
        return std::make_unique<NativeProgrammer>(flags & kChainLoad, flags & kNoBreak, print);
    };
}

int progress_percent(uint32_t total, uint32_t done) {
    if (total == 0) return 100;
    return static_cast<int>((static_cast<uint64_t>(done) * 100 + total - 1) / total);
}

namespace {

// A run's transfer: the port's and the file's troubles are noted as they
// happen, and the result is chosen from them at the end.
class Transfer {
  public:
    // `keep_written`: remember every page written, for verify().
    Transfer(Programmer& programmer, std::FILE* file, const RunCallbacks& callbacks,
             bool keep_written)
        : programmer_(programmer),
          file_(file),
          callbacks_(callbacks),
          keep_written_(keep_written) {}

    // The pages of a service range in turn, with progress, until `page`
    // says stop (false) or the range ends.
    void for_each_page(uint32_t start, uint32_t end,
                       const std::function<bool(uint32_t, std::array<uint8_t, 256>&)>& page);
    void read_range(uint32_t start, uint32_t end);
    void write_range(uint32_t start, uint32_t end);
    void write_image();
    void verify();
    RunResult result(const std::string& path);

  private:
    bool stopping() const {
        return (callbacks_.stop && callbacks_.stop()) || cancel_requested || serial_port_lost() ||
               unit_silent();
    }
    // Reads a page, retrying while the unit answers wrongly; the receive
    // queue is purged before each retry so a late byte of the failed answer
    // is not taken for the next one.
    bool read_page(uint32_t address, uint8_t* data);
    bool write_page(uint32_t address, const uint8_t* data, uint16_t write_word);
    void note_silence(uint32_t address);

    Programmer& programmer_;
    std::FILE* file_;
    const RunCallbacks& callbacks_;
    bool keep_written_;
    std::vector<std::pair<uint32_t, std::array<uint8_t, 256>>> written_;
    bool unit_failed_ = false;
    bool file_failed_ = false;
    std::string problem_;
};

void Transfer::note_silence(uint32_t address) {
    if (!unit_silent() || !problem_.empty()) return;
    char text[120];
    std::snprintf(text, sizeof text, "the unit sent nothing for %lld seconds (address %05X)",
                  static_cast<long long>(kUnitSilenceLimit.count() / 1000), address);
    problem_ = text;
    stdout_printer()(std::string(text) + "\n");
}

bool Transfer::read_page(uint32_t address, uint8_t* data) {
    while (!programmer_.read_page(address, data)) {
        if (stopping()) {
            note_silence(address);
            return false;
        }
        serial_purge_receive();
    }
    return true;
}

bool Transfer::write_page(uint32_t address, const uint8_t* data, uint16_t write_word) {
    if (!programmer_.write_page(address, data, write_word)) {
        note_silence(address);
        unit_failed_ = true;
        return false;
    }
    if (keep_written_) {
        written_.emplace_back(address, std::array<uint8_t, 256>{});
        std::copy(data, data + 256, written_.back().second.begin());
    }
    return true;
}

void Transfer::for_each_page(uint32_t start, uint32_t end,
                             const std::function<bool(uint32_t, std::array<uint8_t, 256>&)>& page) {
    const uint32_t total = range_total(start, end);
    uint32_t done = 0;
    for (uint32_t address = start; address < end; address += 256) {
        if (callbacks_.stop && callbacks_.stop()) break;
        std::array<uint8_t, 256> buffer{};
        if (!page(address, buffer)) break;
        progress(callbacks_, total, ++done);
        if (address > UINT32_MAX - 256) break;
    }
}

void Transfer::read_range(uint32_t start, uint32_t end) {
    for_each_page(start, end, [this](uint32_t address, std::array<uint8_t, 256>& page) {
        if (!read_page(address, page.data())) return false;
        // Each page is flushed as it comes, so a full disk stops the run at
        // once instead of at the close.
        if (std::fwrite(page.data(), 1, page.size(), file_) != page.size() ||
            std::fflush(file_) != 0) {
            file_failed_ = true;
            problem_ = std::string("cannot write the page file: ") + std::strerror(errno);
            return false;
        }
        return true;
    });
}

void Transfer::write_range(uint32_t start, uint32_t end) {
    for_each_page(start, end, [this](uint32_t address, std::array<uint8_t, 256>& page) {
        std::fread(page.data(), 1, page.size(), file_);
        return write_page(address, page.data(), 0);
    });
}

void Transfer::write_image() {
    std::array<bool, kFlashBlockCount> erased{};
    const uint32_t total = count_records(file_);
    uint32_t done = 0;
    RomRecord record;
    while (!(callbacks_.stop && callbacks_.stop()) && read_record(file_, record)) {
        if (record.kind == kIgnoredRecord) continue;
        if (record.kind != kPageRecord) {
            report(callbacks_.error, "\nBad record, skipping\n");
            continue;
        }
        if (const auto block = flash_block_index(record.address); block && !erased[*block]) {
            erased[*block] = true;
            const uint32_t erase_address = flash_blocks()[*block].erase_address;
            if (!programmer_.erase_block(erase_address)) {
                // Pages written into an unerased block would be ANDed into
                // the old contents: stop before the first of them.
                note_silence(erase_address);
                unit_failed_ = true;
                if (problem_.empty()) {
                    char text[80];
                    std::snprintf(text, sizeof text, "the unit did not erase the block at %05X",
                                  flash_blocks()[*block].first);
                    problem_ = text;
                }
                break;
            }
            progress(callbacks_, total, done);
        }
        if (!write_page(record.address, record.data.data(), record.write_word)) break;
        progress(callbacks_, total, ++done);
    }
}

void Transfer::verify() {
    if (unit_failed_ || stopping()) return;
    report(callbacks_.info, "Verifying " + std::to_string(written_.size()) + " pages...\n");
    std::array<uint8_t, 256> page{};
    for (const auto& [address, data] : written_) {
        if (!read_page(address, page.data())) return;
        if (page != data) {
            unit_failed_ = true;
            char text[80];
            std::snprintf(text, sizeof text, "verification failed: the page at %05X differs",
                          address);
            problem_ = text;
            return;
        }
    }
}

RunResult Transfer::result(const std::string& path) {
    if (std::fclose(file_) != 0 && !file_failed_) {
        file_failed_ = true;
        problem_ = "cannot write " + path + ": " + std::strerror(errno);
    }
    file_ = nullptr;
    RunResult result = kSuccess;
    if (cancel_requested) {
        return kCancelled;
    } else if (serial_port_lost()) {
        result = kPortError;
        problem_ = kPortDisconnected;
    } else if (unit_silent()) {
        result = kInvalidResponse;
    } else if (file_failed_) {
        result = kInvalidFile;
    } else if (unit_failed_) {
        result = kProgrammingError;
    }
    if (result != kSuccess) report(callbacks_.problem, problem_);
    return result;
}

}  // namespace

std::string raw_socket_refusal(const std::string& port, uint8_t kind, unsigned flags) {
    const auto url = ports::parsePortUrl(port);
    if (!url || url->kind != ports::PortUrl::Socket) return {};
    if (kind == kM16cProgrammer) {
        return port +
               " is a raw socket, which cannot change the line's speed as the M16C "
               "loader needs: use rfc2217://";
    }
    if (!(flags & (kNoBreak | kChainLoad))) {
        return port +
               " is a raw socket, which cannot send the break that brings the unit "
               "into its loader: use rfc2217://, or \"Don't use break\"";
    }
    return {};
}

RunResult program_unit(const std::string& port, const std::string& path, unsigned flags,
                       uint32_t range_start, uint32_t range_end, const RunCallbacks& callbacks,
                       const ProgrammerFactory& programmers) {
    cancel_requested = false;

    const bool read_mode = flags & kReadMode;
    const bool raw_write = !read_mode && (flags & kRawWriteMode);
    if (path.empty()) return kInvalidFileName;
    File file(std::fopen(path.c_str(), read_mode ? "wb" : "rb"));
    if (!file) {
        report(callbacks.problem, path + ": " + std::strerror(errno));
        return kInvalidFileName;
    }

    uint8_t kind = kNativeProgrammer;
    if (!read_mode && !raw_write) {
        RomHeader header;
        if (read_rom_header(file.get(), header) != kSuccess) return kInvalidFile;
        kind = header.programmer;
        if (kind == kM16cProgrammer) {
            report(callbacks.info, "Using M16C programmer...\n");
        } else if (kind == kNativeProgrammer) {
            report(callbacks.info, "Using Orvantis Signals Company KV programmer...\n");
        } else {
            const std::string text =
                "Unknown programmer required. Please contact Orvantis Signals Company for a newer "
                "programmer\n";
            report(callbacks.info, text);
            report(callbacks.problem, text.substr(0, text.size() - 1));
            return kPortError;
        }
        if (kind == kM16cProgrammer && (flags & kVerify)) {
            report(callbacks.problem,
                   "this image is for the M16C boot loader, which cannot read pages back to "
                   "verify them");
            return kProgrammingError;
        }
    }
    if (const std::string why = raw_socket_refusal(port, kind, flags); !why.empty()) {
        report(callbacks.problem, why);
        return kPortError;
    }
    std::unique_ptr<Programmer> programmer = programmers(kind, flags);
    const RunResult connected = programmer->connect(port);
    if (connected != kSuccess) {
        if (connected == kPortError) report(callbacks.problem, serial_problem());
        if (entry_timed_out()) {
            const long long seconds = entry_limit_set().count() / 1000;
            report(callbacks.problem, "the unit did not enter its loader within " +
                                          std::to_string(seconds) +
                                          (seconds == 1 ? " second" : " seconds"));
        }
        close_serial_port();
        return connected;
    }
    // The entry handshake waits for the user; from here on the unit answers
    // at once or not at all.
    set_silence_limit(kUnitSilenceLimit);

    const bool verify = (flags & kVerify) && !read_mode;
    Transfer transfer(*programmer, file.release(), callbacks, verify);
    if (read_mode) {
        transfer.read_range(range_start, range_end);
    } else if (raw_write) {
        transfer.write_range(range_start, range_end);
    } else {
        transfer.write_image();
    }
    if (verify) transfer.verify();
    programmer->finish();
    const RunResult result = transfer.result(path);
    close_serial_port();
    return result;
}

}  // namespace romwright
