#include "romwright/run/program_unit.h"

#include <cstdio>
#include <memory>

#include "romwright/programmers/m16c_programmer.h"
#include "romwright/programmers/native_programmer.h"
#include "romwright/rom/rom_image.h"
#include "romwright/serial/serial_port.h"

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

ProgrammerFactory default_programmers() {
    return [](uint8_t kind, unsigned flags) -> std::unique_ptr<Programmer> {
        if (kind == kM16cProgrammer) return std::make_unique<M16cProgrammer>();
        return std::make_unique<NativeProgrammer>(flags & kChainLoad, flags & kNoBreak);
    };
}

int progress_percent(uint32_t total, uint32_t done) {
    if (total == 0) return 100;
    return static_cast<int>((static_cast<uint64_t>(done) * 100 + total - 1) / total);
}

RunResult program_unit(const std::string& port, const std::string& path, unsigned flags,
                       uint32_t range_start, uint32_t range_end, const RunCallbacks& callbacks,
                       const ProgrammerFactory& programmers) {
    cancel_requested = false;
    std::array<bool, kFlashBlockCount> erased{};

    const bool read_mode = flags & kReadMode;
    const bool raw_write = !read_mode && (flags & kRawWriteMode);
    if (path.empty()) return kInvalidFileName;
    File file(std::fopen(path.c_str(), read_mode ? "wb" : "rb"));
    if (!file) return kInvalidFileName;

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
            report(
                callbacks.info,
                "Unknown programmer required. Please contact Orvantis Signals Company for a newer "
                "programmer\n");
            return kPortError;
        }
    }
    std::unique_ptr<Programmer> programmer = programmers(kind, flags);
    const RunResult connected = programmer->connect(port);
    if (connected != kSuccess) {
        close_serial_port();
        return connected;
    }

    bool write_failed = false;
    uint32_t done = 0;
    if (read_mode || raw_write) {
        const uint32_t total = range_total(range_start, range_end);
        for (uint32_t address = range_start; address < range_end && !write_failed; address += 256) {
            if (callbacks.stop && callbacks.stop()) break;
            std::array<uint8_t, 256> page{};
            if (read_mode) {
                bool read = false;
                while (!(read = programmer->read_page(address, page.data())) && !cancel_requested) {
                }
                if (!read) break;
                std::fwrite(page.data(), 1, page.size(), file.get());
            } else {
                std::fread(page.data(), 1, page.size(), file.get());
                if (!programmer->write_page(address, page.data(), 0)) {
                    write_failed = true;
                    break;
                }
            }
            progress(callbacks, total, ++done);
            if (address > UINT32_MAX - 256) break;
        }
    } else {
        const uint32_t total = count_records(file.get());
        RomRecord record;
        while (!(callbacks.stop && callbacks.stop()) && read_record(file.get(), record)) {
            if (record.kind == kIgnoredRecord) continue;
            if (record.kind != kPageRecord) {
                report(callbacks.error, "\nBad record, skipping\n");
                continue;
            }
            if (const auto block = flash_block_index(record.address); block && !erased[*block]) {
                programmer->erase_block(flash_blocks()[*block].erase_address);
                erased[*block] = true;
                progress(callbacks, total, done);
            }
            if (!programmer->write_page(record.address, record.data.data(), record.write_word)) {
                write_failed = true;
                break;
            }
            progress(callbacks, total, ++done);
        }
    }
    programmer->finish();
    file.reset();
    close_serial_port();
    if (cancel_requested) return kCancelled;
    return write_failed ? kProgrammingError : kSuccess;
}

}  // namespace romwright
