#include "romwright/programmers/m16c_programmer.h"

#include "romwright/serial/serial_port.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace romwright {
namespace {

constexpr uint8_t kSet9600 = 0xB0, kSet57600 = 0xB3, kReadStatus = 0x70, kIdCheck = 0xF5,
                  kBlockErase = 0x20, kConfirm = 0xD0, kPageProgram = 0x41;

void write_bytes(std::initializer_list<uint8_t> bytes) {
    serial_write(bytes.begin(), bytes.size());
}

// Bits 8-15 and 16-23 of an address: the page that holds it.
uint8_t a1(uint32_t address) {
    return static_cast<uint8_t>(address >> 8);
}
uint8_t a2(uint32_t address) {
    return static_cast<uint8_t>(address >> 16);
}

}  // namespace

Printer stdout_printer() {
    return [](const std::string& text) {
        std::cout << text;
        std::cout.flush();
    };
}

RunResult M16cProgrammer::connect(const std::string& port) {
    if (!open_serial_port(port, 9600)) return kPortError;
    // The unit answers once it is reset into boot mode; keep asking until it
    // does or the user cancels.
    while (true) {
        write_bytes({kSet9600});
        write_bytes({kSet9600});
        uint8_t reply = 0;
        const size_t got = serial_read(&reply, 1);
        if (cancel_requested) return kCancelled;
        if (serial_port_lost()) return kPortError;
        if (got == 1 && reply == kSet9600) break;
        if (entry_timed_out()) return kInvalidResponse;
    }
    write_bytes({kSet57600});
    uint8_t reply = 0;
    if (serial_read(&reply, 1) != 1 || reply != kSet57600) return kInvalidResponse;
    set_serial_baud(57600);
    if (!m16c_check_status()) return kInvalidResponse;
    write_bytes({kIdCheck, 0xDF, 0xFF, 0x0F, 0x07, 0, 0, 0, 0, 0, 0, 0});
    if (!m16c_check_status()) return kInvalidResponse;
    return kSuccess;
}

bool M16cProgrammer::m16c_check_status() {
    write_bytes({kReadStatus});
    return read_status();
}

bool M16cProgrammer::read_status() {
    uint8_t status[2] = {0, 0};
    if (serial_read(status, 2) < 2) {
        print_("M16C is not responding\n");
        return false;
    }
    // The ready bit of SRD set counts as good whatever SRD1 says.
    if ((status[1] & 0x01) && !(status[0] & 0x80)) {
        char text[64];
        std::snprintf(text, sizeof text, "Incorrect response from M16C (0x%02x,0x%02x)\n",
                      status[0], status[1]);
        print_(text);
        return false;
    }
    return true;
}

bool M16cProgrammer::erase_block(uint32_t erase_address) {
    write_bytes({kBlockErase, a1(erase_address), a2(erase_address), kConfirm, kReadStatus});
    if (read_status()) return true;
    print_("error erasing block\n");
    return false;
}

bool M16cProgrammer::write_page(uint32_t address, const uint8_t* data, uint16_t) {
    // Command, data and the status request in one write: the same bytes on
    // the line, but one transfer instead of three through a USB adapter.
    uint8_t command[3 + 256 + 1] = {kPageProgram, a1(address), a2(address)};
    std::copy(data, data + 256, command + 3);
    command[sizeof command - 1] = kReadStatus;
    serial_write(command, sizeof command);
    if (read_status()) return true;
    print_("error programming block\n");
    return false;
}

bool M16cProgrammer::read_page(uint32_t, uint8_t*) {
    print_("page reads not currently supported by this programmer\n");
    return false;
}

bool M16cProgrammer::finish() {
    print_(
        "\nRemove the jumper beside the microprocessor, and reset the pager for normal "
        "operation.\n");
    return true;
}

}  // namespace romwright
