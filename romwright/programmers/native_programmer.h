// The maker's own loader ("KV programmer") at 57600 baud: 6-byte command
// frames answered with 0x06 (yes) or 0x15 (no); entered with a break, a
// handshake without a break, or a chain-load handshake.
#pragma once

#include "romwright/programmers/programmer.h"

namespace romwright {

class NativeProgrammer : public Programmer {
  public:
    NativeProgrammer(bool chain_load, bool no_break, Printer print = stdout_printer())
        : chain_load_(chain_load), no_break_(no_break), print_(std::move(print)) {}
    RunResult connect(const std::string& port) override;
    bool erase_block(uint32_t erase_address) override;
    bool write_page(uint32_t address, const uint8_t* data, uint16_t write_word) override;
    bool read_page(uint32_t address, uint8_t* data) override;
    bool finish() override;

  private:
    // Sends the handshake byte and listens until 0x06 comes back; false on cancel.
    bool handshake(uint8_t byte);
    // The entry handshake ended without the unit: cancelled, or the port
    // went away. Closes the port.
    RunResult entry_ended();
    bool chain_load_;
    bool no_break_;
    Printer print_;
};

}  // namespace romwright
