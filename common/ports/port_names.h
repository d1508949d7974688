// Which device stands behind a port number ("COM n"), for both programs.
#pragma once

#include "common/ports/device_identity.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ports {

// COM numbers by device identity, as kept between runs.
using PortNumbers = std::map<std::string, int>;
// Servers' URLs by the COM number the user gave each.
using PortUrls = std::map<int, std::string>;

// Where the rule looks: the environment and the serial devices present.
struct PortEnvironment {
    std::function<std::optional<std::string>(const std::string& name)> variable;
    std::function<std::vector<std::string>()> serialDevices;  // in rule order
    // With these set, a device keeps its number: the identity of each device
    // present is looked up in the stored numbers, and a device seen for the
    // first time gets the lowest number nobody holds. Without them port n is
    // simply the n-th device.
    std::function<DeviceIdentity(const std::string& device)> identify;
    std::function<PortNumbers()> loadNumbers;
    std::function<void(const PortNumbers&)> saveNumbers;
    // COM numbers given to servers' URLs; a device never takes one of them.
    std::function<PortUrls()> loadUrls;
};

// What stands behind a port number.
struct PortSlot {
    std::string device;    // "" when no device present has the number
    std::string identity;  // the owner of the number, present or not
    std::string product;   // USB product name of a present device
};

// Gives every identity in `present` that has no number the lowest free one
// (not one of `urls`), in the order given; true when `numbers` changed.
bool assignNumbers(const std::vector<std::string>& present, PortNumbers& numbers,
                   const PortUrls& urls = {});

// Port n: the variable COM<n> when it is set and not empty, else the URL
// given number n, else the device that holds number n.
PortSlot portSlot(int portNumber, const PortEnvironment& environment);

// The tool tip of a port list entry: the device and its product, or who
// the number is kept for.
std::string describeSlot(const PortSlot& slot);

// The real environment: getenv, then /dev/ttyUSB*, /dev/ttyACM* and the
// /dev/ttyS* ports whose UART exists, each group in numeric order, with the
// numbers kept in the user's settings shared by both programs.
PortEnvironment systemPortEnvironment();

// The device of port n (see portSlot); nullopt when there is none.
std::optional<std::string> deviceForPort(int portNumber, const PortEnvironment& environment);

// The number n of a port name "COMn" (n of one to nine digits); nullopt for
// anything else, which is taken as a device path.
std::optional<int> portNumberOfName(const std::string& name);

// The device a port name stands for: "COMn" by the rule above ("" when it
// has none), any other name as a device path.
std::string deviceForPortName(const std::string& name, const PortEnvironment& environment);
PortSlot slotForPortName(const std::string& name, const PortEnvironment& environment);

// Orders device names like "/dev/ttyUSB10" after "/dev/ttyUSB2".
void sortByNumber(std::vector<std::string>& devices);

}  // namespace ports
