// Why a serial device would not open, in words a user can act on; shared
// by both programs so that they tell the same story.
#pragma once

#include "common/ports/port_names.h"

#include <string>
#include <vector>

namespace ports {

enum class OpenFailure { NoDevice, InUse, NoPermission, Other };

// What the system says about the device and the user, gathered apart from
// the wording so that the wording can be checked without a real device.
struct DeviceFacts {
    std::string group;               // the group that owns the device
    bool groupInSession = false;     // this process holds that group
    bool userListedInGroup = false;  // the group database names the user
    // For a port with no device: whose number it is, and USB serial adapters
    // that are plugged in but have no tty.
    std::string keptFor;
    std::vector<std::string> adaptersWithoutTty;
};

// The facts of a device path on this machine.
DeviceFacts deviceFacts(const std::string& device);
// The facts of a port whose device is missing.
DeviceFacts missingDeviceFacts(const PortSlot& slot);

// The failure an errno of open() or flock() stands for.
OpenFailure classifyOpenError(int error);

// The sentence for a failure. `port` is the name the user chose ("COM3" or a
// path), `device` the path tried ("" when the port number has no device),
// `detail` the system's own text for OpenFailure::Other.
std::string describeOpenFailure(OpenFailure failure, const std::string& port,
                                const std::string& device, const DeviceFacts& facts = {},
                                const std::string& detail = {});

}  // namespace ports
