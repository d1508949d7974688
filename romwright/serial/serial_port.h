// The flasher's serial port: one process-wide port, opened by a
// programmer's connect step and closed at the end of each run. Reads wait
// up to the read time-out T in total; the cancel flag ends every wait loop
// of the programmers, and so do a port that went away and, once a unit is
// connected, a unit that has been silent too long.
#pragma once

#include <atomic>
#include <chrono>
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
    // The device went away (hang-up, I/O error): nothing will come again.
    virtual bool lost() const { return false; }
};

// Opens the device behind a port name at a baud rate; nullptr on failure,
// with the reason in `problem` when the opener knows it.
using DeviceOpener = std::function<std::unique_ptr<SerialDevice>(const std::string& port, int baud,
                                                                 std::string& problem)>;
// Replaces how ports are opened (tests); an empty opener restores termios.
void set_device_opener(DeviceOpener opener);

// Milliseconds on a steady clock; tests hand in a clock that moves only
// when a simulated wait passes.
using SerialClock = std::function<std::chrono::milliseconds()>;
void set_serial_clock(SerialClock clock);

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

// The port went away during this run (it stays so until the next open).
bool serial_port_lost();
// The last port trouble in words: why the open failed, or that the port
// was disconnected; "" when there was none since the last open.
std::string serial_problem();
inline constexpr const char* kPortDisconnected = "The port was disconnected";

// A unit that sends nothing for this long counts as silent; 0 turns the
// limit off (as during the entry handshake, which waits for the user).
// Setting it starts the count afresh.
void set_silence_limit(std::chrono::milliseconds limit);
bool unit_silent();

// How long a run's entry may wait for the unit to answer, counted from the
// port's opening (a person resets the unit meanwhile). 0, the default, waits
// for ever, as the window does; a script's console run sets a limit. It
// stays set for later runs.
void set_entry_limit(std::chrono::milliseconds limit);
std::chrono::milliseconds entry_limit_set();
// The entry has waited past its limit (until the next opening); never once
// the unit is connected.
bool entry_timed_out();

// One reply byte: reads one byte at a time (each read waits up to T) until
// one arrives, cancel_requested is set, the port is lost or the unit has
// been silent too long (or the entry waited too long). False without a byte.
bool wait_for_byte(uint8_t& byte);

}  // namespace romwright
