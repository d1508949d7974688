// The serial port on Linux: termios over the device that a port name stands for.
#pragma once

#include "romwright/serial/serial_port.h"

#include <memory>
#include <string>
#include <sys/types.h>

namespace romwright {

// Opens the device of a port name ("COM1" ... "COM9", or a device path) at a
// baud rate: exclusive, raw 8N1, no flow control, DTR and RTS raised,
// T = 1000 ms. nullptr when any step fails, with the reason in `problem`.
std::unique_ptr<SerialDevice> open_termios_device(const std::string& port, int baud,
                                                  std::string& problem);

// The calls the device reads and writes its descriptor with; tests give
// their own to see how each error a driver can return is taken.
struct DeviceCalls {
    ssize_t (*read)(int fd, void* buffer, size_t count);
    ssize_t (*write)(int fd, const void* bytes, size_t count);
};

// The device over a descriptor already opened and configured, which it
// takes over (and closes).
std::unique_ptr<SerialDevice> termios_device_over(int fd, DeviceCalls calls);

// What a port name stands for, as a port list's tool tip shows it: the
// device path and product, or whom the number is kept for.
std::string describe_port(const std::string& port);

}  // namespace romwright
