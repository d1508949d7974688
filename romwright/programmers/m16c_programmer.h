// The M16C microcontroller's own serial boot loader (UART mode): sync at
// 9600 baud, switch to 57600, ID check, block erase and page program, each
// judged by the status register pair.
#pragma once

#include "romwright/programmers/programmer.h"

namespace romwright {

class M16cProgrammer : public Programmer {
  public:
    explicit M16cProgrammer(Printer print = stdout_printer()) : print_(std::move(print)) {}
    RunResult connect(const std::string& port) override;
    bool erase_block(uint32_t erase_address) override;
    bool write_page(uint32_t address, const uint8_t* data, uint16_t write_word) override;
    bool read_page(uint32_t address, uint8_t* data) override;
    bool finish() override;

    // Reads the status register pair; false when it is missing or says the
    // last command failed.
    bool m16c_check_status();

  private:
    // The answer to a status request already sent.
    bool read_status();
    Printer print_;
};

}  // namespace romwright
