#include "romwright/serial/serial_port.h"

#include "common/ports/port_url.h"
#include "romwright/serial/network_device.h"
#include "romwright/serial/termios_device.h"

namespace romwright {

std::atomic<bool> cancel_requested{false};

namespace {

using std::chrono::milliseconds;

std::unique_ptr<SerialDevice> port;  // at most one open port
DeviceOpener opener;
SerialClock clock_now;
std::string problem;
bool lost = false;
milliseconds silence_limit{0};
milliseconds last_heard{0};
milliseconds entry_limit{0};
milliseconds opened_at{0};
bool entry_expired = false;  // stays so until the next opening, also once closed

milliseconds now() {
    if (clock_now) return clock_now();
    return std::chrono::duration_cast<milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void note_loss() {
    if (port && port->lost() && !lost) {
        lost = true;
        problem = kPortDisconnected;
    }
}

}  // namespace

void set_device_opener(DeviceOpener replacement) {
    opener = std::move(replacement);
}

void set_serial_clock(SerialClock clock) {
    clock_now = std::move(clock);
}

bool open_serial_port(const std::string& name, int baud) {
    port.reset();  // opening replaces any earlier port
    problem.clear();
    lost = false;
    silence_limit = milliseconds(0);
    opened_at = now();
    entry_expired = false;
    if (opener) {
        port = opener(name, baud, problem);
    } else if (ports::looksLikeUrl(name)) {
        port = open_network_device(name, baud, problem);
    } else {
        port = open_termios_device(name, baud, problem);
    }
    return port != nullptr;
}

bool set_serial_baud(int baud) {
    return port && port->set_baud(baud);
}

bool set_read_timeout(int ms) {
    return port && port->set_timeout(ms);
}

void serial_set_break() {
    if (port) port->set_break(true);
}

void serial_clear_break() {
    if (port) port->set_break(false);
}

void serial_purge_receive() {
    if (port) port->purge_receive();
}

size_t serial_write(const uint8_t* bytes, size_t count) {
    if (!port) return 0;
    const size_t written = port->write(bytes, count);
    note_loss();
    return written;
}

size_t serial_read(uint8_t* buffer, size_t count) {
    if (!port) return 0;
    const size_t got = port->read(buffer, count);
    if (got > 0) last_heard = now();
    note_loss();
    return got;
}

void close_serial_port() {
    port.reset();
    silence_limit = milliseconds(0);
}

bool serial_port_open() {
    return port != nullptr;
}

bool serial_port_lost() {
    return lost;
}

std::string serial_problem() {
    return problem;
}

void set_silence_limit(milliseconds limit) {
    silence_limit = limit;
    last_heard = now();
}

bool unit_silent() {
    return silence_limit.count() > 0 && now() - last_heard >= silence_limit;
}

void set_entry_limit(milliseconds limit) {
    entry_limit = limit;
}

milliseconds entry_limit_set() {
    return entry_limit;
}

bool entry_timed_out() {
    // The silence limit is off exactly while the entry waits for the unit.
    if (!entry_expired && entry_limit.count() > 0 && port && silence_limit.count() == 0 &&
        now() - opened_at >= entry_limit) {
        entry_expired = true;
    }
    return entry_expired;
}

bool wait_for_byte(uint8_t& byte) {
    while (!cancel_requested && port && !port->lost() && !unit_silent() && !entry_timed_out()) {
        if (serial_read(&byte, 1) == 1) return true;
    }
    return false;
}

}  // namespace romwright
