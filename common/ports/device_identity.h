// What a serial device is, beyond the path it has today: the name that stays
// the same when the adapter is plugged in again, and what to call it.
#pragma once

#include <string>
#include <vector>

namespace ports {

struct DeviceIdentity {
    // Its /dev/serial/by-id name, else "usb VVVV:PPPP SERIAL", else the
    // device path (an on-board port).
    std::string identity;
    std::string product;  // the USB product name; "" when not a USB device
};

// Reads /dev/serial/by-id and sysfs under `root` ("" for the real system;
// a test points it at a tree of its own).
DeviceIdentity identifyDevice(const std::string& device, const std::string& root = {});

// The product names of USB serial adapters that are plugged in but have no
// tty: something else (brltty, typically) has claimed their interface.
std::vector<std::string> adaptersWithoutTty(const std::string& root = {});

}  // namespace ports
