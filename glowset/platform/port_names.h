// Which device stands behind port number n ("COM n").
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace glowset {

// Where the rule looks: the environment and the serial devices present.
struct PortEnvironment {
    std::function<std::optional<std::string>(const std::string& name)> variable;
    std::function<std::vector<std::string>()> serialDevices;  // in rule order
};

// The real environment: getenv, then /dev/ttyUSB*, /dev/ttyACM* and the
// /dev/ttyS* ports whose UART exists, each group in numeric order.
PortEnvironment systemPortEnvironment();

// The device of port n: the variable COM<n> when it is set and not empty,
// else the n-th serial device; nullopt when there is none.
std::optional<std::string> deviceForPort(int portNumber, const PortEnvironment& environment);

// Orders device names like "/dev/ttyUSB10" after "/dev/ttyUSB2".
void sortByNumber(std::vector<std::string>& devices);

}  // namespace glowset
