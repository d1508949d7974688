// One programming pass: pick the programmer, bring the unit into its
// loader, erase each flash block before its first page, write the pages,
// report progress, finish and say how it went. Two service modes read a
// flash range into a page file or write a page file into a range.
#pragma once

#include "romwright/programmers/programmer.h"
#include "romwright/run/run_result.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace romwright {

enum RunFlags : unsigned {
    kChainLoad = 1,
    kNoBreak = 2,
    kReadMode = 4,
    kRawWriteMode = 8,
    // After writing, read every written page back through the native
    // loader and compare (ROM and raw-write modes).
    kVerify = 16,
};

// How long a connected unit may send nothing before the run gives up on it.
inline constexpr std::chrono::milliseconds kUnitSilenceLimit{10000};

struct RunCallbacks {
    std::function<void(const std::string&)> error;
    std::function<void(uint32_t total, uint32_t done)> progress;
    std::function<void(const std::string&)> info;
    // Asked between pages: true ends the transfer (the program is closing).
    std::function<bool()> stop;
    // Why a run failed, in plain words, when there is more to say than the
    // result's text (which port trouble, which page, which file).
    std::function<void(const std::string&)> problem;
};

struct FlashBlock {
    uint32_t first;
    uint32_t last;  // inclusive
    uint32_t erase_address;
};
inline constexpr size_t kFlashBlockCount = 14;
const std::array<FlashBlock, kFlashBlockCount>& flash_blocks();
// The block that holds an address, if any.
std::optional<size_t> flash_block_index(uint32_t address);

// Makes the programmer a run uses; tests hand in their own printers.
using ProgrammerFactory = std::function<std::unique_ptr<Programmer>(uint8_t kind, unsigned flags)>;
// The programmers a run uses; their messages go to `print`.
ProgrammerFactory default_programmers(Printer print = stdout_printer());

// Why a run cannot go through a raw socket:// port (it carries no speed
// change and no break); "" when it can or the port is no such URL.
std::string raw_socket_refusal(const std::string& port, uint8_t kind, unsigned flags);

RunResult program_unit(const std::string& port, const std::string& path, unsigned flags,
                       uint32_t range_start, uint32_t range_end, const RunCallbacks& callbacks,
                       const ProgrammerFactory& programmers = default_programmers());

// The percentage the window shows: done of total, rounded up; 100 when the
// total is 0 (a service range shorter than a page) so nothing divides by 0.
int progress_percent(uint32_t total, uint32_t done);

}  // namespace romwright
