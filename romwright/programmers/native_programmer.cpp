#include "romwright/programmers/native_programmer.h"

#include "romwright/serial/serial_port.h"

#include <array>
#include <cstdio>

namespace romwright {
namespace {

constexpr uint8_t kAck = 0x06, kNak = 0x15;

void send_frame(uint8_t command, uint32_t address, uint8_t b4, uint8_t b5) {
    const std::array<uint8_t, 6> frame = {command,
                                          static_cast<uint8_t>(address >> 16),
                                          static_cast<uint8_t>(address >> 8),
                                          static_cast<uint8_t>(address),
                                          b4,
                                          b5};
    serial_write(frame.data(), frame.size());
}

}  // namespace

bool NativeProgrammer::handshake(uint8_t byte) {
    while (true) {
        uint8_t reply = 0;
        size_t got = 0;
        do {
            serial_write(&byte, 1);
            got = serial_read(&reply, 1);
            if (cancel_requested || serial_port_lost()) return false;
            if (got == 0 && entry_timed_out()) return false;
        } while (got == 0);
        if (reply == kAck) return true;
        if (entry_timed_out()) return false;  // answering, but never what it should
    }
}

RunResult NativeProgrammer::entry_ended() {
    const RunResult result = serial_port_lost()  ? kPortError
                             : entry_timed_out() ? kInvalidResponse
                                                 : kCancelled;
    close_serial_port();
    return result;
}

RunResult NativeProgrammer::connect(const std::string& port) {
    if (!open_serial_port(port, 57600)) {
        char text[300];
        std::snprintf(text, sizeof text, "Unable to open com port %s\n", port.c_str());
        print_(text);
        return kPortError;
    }
    serial_set_break();
    print_("Please reset pager\n");
    if (chain_load_ || no_break_) {
        // The break was a short pulse; the handshake listens 100 ms per try.
        serial_purge_receive();
        serial_clear_break();
        if (!set_read_timeout(100)) return kPortError;
        if (chain_load_) {
            if (!handshake(0x0B) || !handshake(0x0A)) return entry_ended();
        } else {
            if (!handshake(0x0A)) return entry_ended();
            print_("Unit in programming mode\n");
        }
        if (!set_read_timeout(1000)) return kPortError;
        return kSuccess;
    }
    // Break mode: the break stays on until the unit, reset, says it is there.
    while (true) {
        uint8_t reply = 0;
        if (!wait_for_byte(reply)) return entry_ended();
        if (reply == kAck) break;
    }
    serial_purge_receive();
    serial_clear_break();
    return kSuccess;
}

bool NativeProgrammer::erase_block(uint32_t erase_address) {
    send_frame('e', erase_address, 0, 0);
    uint8_t reply = 0;
    if (!wait_for_byte(reply)) return false;
    if (reply == kAck) return true;
    print_(reply == kNak ? "Error erasing block\n" : "Undefined response\n");
    return false;
}

bool NativeProgrammer::write_page(uint32_t address, const uint8_t* data, uint16_t write_word) {
    send_frame('w', address, static_cast<uint8_t>(write_word >> 8),
               static_cast<uint8_t>(write_word));
    uint8_t reply = 0;
    if (!wait_for_byte(reply)) return false;
    if (reply != kAck) {
        print_(reply == kNak ? "error in write command\n"
                             : "undefined response to write command\n");
        return false;
    }
    serial_write(data, 256);
    if (!wait_for_byte(reply)) return false;
    if (reply == kAck) return true;
    print_(reply == kNak ? "error in writing ROM\n" : "undefined response to write command\n");
    return false;
}

bool NativeProgrammer::read_page(uint32_t address, uint8_t* data) {
    send_frame('r', address, 0x01, 0x00);
    uint8_t reply = 0;
    if (!wait_for_byte(reply)) return false;
    if (reply != kAck) {
        print_(reply == kNak ? "error in read command\n" : "undefined response to read command\n");
        return false;
    }
    // The page and three more bytes that the flasher does not look at.
    uint8_t answer[259];
    if (serial_read(answer, sizeof answer) != sizeof answer) return false;
    std::copy(answer, answer + 256, data);
    return true;
}

bool NativeProgrammer::finish() {
    send_frame('t', 0, 0, 0);
    return true;
}

}  // namespace romwright
