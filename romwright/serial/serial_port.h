// The flasher's serial port: one process-wide port, opened by a
// programmer's connect step and closed at the end of each run. Reads wait
// up to the read time-out T in total; the cancel flag ends every wait loop
// of the programmers.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace romwright {

// Set by the window's Cancel button, cleared when a run starts, read by
// every waiting loop.
extern std::atomic<bool> cancel_requested;

// What the port layer drives: a termios device, or an in-process unit in
// tests (a pseudo-terminal cannot carry a break).
class SerialDevice {
  public:
    virtual ~SerialDevice() = default;
    virtual bool set_baud(int baud) = 0;
    // T: a read waits up to T in total, a write gives up after T.
    virtual bool set_timeout(int milliseconds) = 0;
    virtual void set_break(bool on) = 0;
    virtual void purge_receive() = 0;
    virtual size_t write(const uint8_t* bytes, size_t count) = 0;
    virtual size_t read(uint8_t* buffer, size_t count) = 0;
};

// Opens the device behind a port name at a baud rate; nullptr on failure.
using DeviceOpener =
    std::function<std::unique_ptr<SerialDevice>(const std::string& port, int baud)>;
// Replaces how ports are opened (tests); an empty opener restores termios.
void set_device_opener(DeviceOpener opener);

bool open_serial_port(const std::string& port, int baud);
bool set_serial_baud(int baud);
bool set_read_timeout(int milliseconds);
void serial_set_break();
void serial_clear_break();
void serial_purge_receive();
size_t serial_write(const uint8_t* bytes, size_t count);
size_t serial_read(uint8_t* buffer, size_t count);
void close_serial_port();
bool serial_port_open();

// One reply byte: reads one byte at a time (each read waits up to T) until
// one arrives or cancel_requested is set. False on cancel.
bool wait_for_byte(uint8_t& byte);

}  // namespace romwright
