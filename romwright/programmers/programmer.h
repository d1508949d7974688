// The five operations a programming run needs from a unit's loader.
#pragma once

#include "romwright/run/run_result.h"

#include <cstdint>
#include <functional>
#include <string>

namespace romwright {

// Where protocol diagnostics go: standard output unless a test listens.
using Printer = std::function<void(const std::string&)>;
Printer stdout_printer();

class Programmer {
  public:
    virtual ~Programmer() = default;
    virtual RunResult connect(const std::string& port) = 0;
    virtual bool erase_block(uint32_t erase_address) = 0;
    virtual bool write_page(uint32_t address, const uint8_t* data, uint16_t write_word) = 0;
    virtual bool read_page(uint32_t address, uint8_t* data) = 0;
    virtual bool finish() = 0;
};

}  // namespace romwright
