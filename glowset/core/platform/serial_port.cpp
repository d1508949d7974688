#include "glowset/core/platform/serial_port.h"

namespace glowset {

OpenError describeOpenFailure(OpenFailure failure, int portNumber, const std::string& device,
                              const ports::DeviceFacts& facts, const std::string& detail) {
    int number = kErrorPortFailed;
    switch (failure) {
        case OpenFailure::NoDevice:
            number = kErrorNoDevice;
            break;
        case OpenFailure::InUse:
            number = kErrorPortInUse;
            break;
        case OpenFailure::NoPermission:
            number = kErrorNoPermission;
            break;
        case OpenFailure::Other:
            break;
    }
    return {number, ports::describeOpenFailure(failure, "COM" + std::to_string(portNumber), device,
                                               facts, detail)};
}

}  // namespace glowset
