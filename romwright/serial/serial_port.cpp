#include "romwright/serial/serial_port.h"

#include "romwright/serial/termios_device.h"

namespace romwright {

std::atomic<bool> cancel_requested{false};

namespace {

std::unique_ptr<SerialDevice> port;  // at most one open port
DeviceOpener opener;

}  // namespace

void set_device_opener(DeviceOpener replacement) {
    opener = std::move(replacement);
}

bool open_serial_port(const std::string& name, int baud) {
    port.reset();  // opening replaces any earlier port
    port = opener ? opener(name, baud) : open_termios_device(name, baud);
    return port != nullptr;
}

bool set_serial_baud(int baud) {
    return port && port->set_baud(baud);
}

bool set_read_timeout(int milliseconds) {
    return port && port->set_timeout(milliseconds);
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
    return port ? port->write(bytes, count) : 0;
}

size_t serial_read(uint8_t* buffer, size_t count) {
    return port ? port->read(buffer, count) : 0;
}

void close_serial_port() {
    port.reset();
}

bool serial_port_open() {
    return port != nullptr;
}

bool wait_for_byte(uint8_t& byte) {
    while (!cancel_requested) {
        if (serial_read(&byte, 1) == 1) return true;
        if (!port) return false;
    }
    return false;
}

}  // namespace romwright
