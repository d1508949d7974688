// Which device stands behind a port number ("COM n"), for both programs.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ports {

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

// The number n of a port name "COMn" (n of one to nine digits); nullopt for
// anything else, which is taken as a device path.
std::optional<int> portNumberOfName(const std::string& name);

// The device a port name stands for: "COMn" by the rule above ("" when it
// has none), any other name as a device path.
std::string deviceForPortName(const std::string& name, const PortEnvironment& environment);

// Orders device names like "/dev/ttyUSB10" after "/dev/ttyUSB2".
void sortByNumber(std::vector<std::string>& devices);

}  // namespace ports
