#include "glowset/platform/serial_port.h"

namespace glowset {

OpenError describeOpenFailure(OpenFailure failure, int portNumber, const std::string& device,
                              const std::string& group, const std::string& detail) {
    const std::string port = "COM" + std::to_string(portNumber);
    switch (failure) {
        case OpenFailure::NoDevice:
            if (device.empty()) {
                return {kErrorNoDevice, "no device for " + port + " (plug in an adapter or set " +
                                            port + "=/dev/...)"};
            }
            return {kErrorNoDevice, device + " does not exist"};
        case OpenFailure::InUse:
            return {kErrorPortInUse, device + " is in use by another program"};
        case OpenFailure::NoPermission:
            return {kErrorNoPermission,
                    "no permission for " + device + ": add yourself to the group " +
                        (group.empty() ? std::string("dialout") : group) + " and log in again"};
        case OpenFailure::Other:
            break;
    }
    return {kErrorPortFailed, device + ": " + (detail.empty() ? "cannot be opened" : detail)};
}

}  // namespace glowset
