#include "common/ports/port_names.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace ports {
namespace {

long long trailingNumber(const std::string& name) {
    size_t start = name.size();
    while (start > 0 && name[start - 1] >= '0' && name[start - 1] <= '9') --start;
    if (start == name.size() || name.size() - start > 9) return -1;
    return std::stoll(name.substr(start));
}

std::vector<std::string> devicesWithPrefix(const std::string& prefix) {
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev", error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0 && trailingNumber(name) >= 0 &&
            name.size() > prefix.size()) {
            found.push_back(entry.path().string());
        }
    }
    sortByNumber(found);
    return found;
}

// /dev/ttyS0 ... exist whether or not a UART is fitted; the kernel reports
// type 0 for a port without one.
bool uartPresent(const std::string& device) {
    const std::string name = std::filesystem::path(device).filename().string();
    std::ifstream type("/sys/class/tty/" + name + "/type");
    int value = 0;
    return type >> value && value != 0;
}

}  // namespace

void sortByNumber(std::vector<std::string>& devices) {
    std::sort(devices.begin(), devices.end(), [](const std::string& a, const std::string& b) {
        const long long na = trailingNumber(a), nb = trailingNumber(b);
        return na != nb ? na < nb : a < b;
    });
}

PortEnvironment systemPortEnvironment() {
    PortEnvironment environment;
    environment.variable = [](const std::string& name) -> std::optional<std::string> {
        const char* value = std::getenv(name.c_str());
        if (!value) return std::nullopt;
        return std::string(value);
    };
    environment.serialDevices = [] {
        std::vector<std::string> devices = devicesWithPrefix("ttyUSB");
        const auto acm = devicesWithPrefix("ttyACM");
        devices.insert(devices.end(), acm.begin(), acm.end());
        for (const auto& s : devicesWithPrefix("ttyS")) {
            if (uartPresent(s)) devices.push_back(s);
        }
        return devices;
    };
    return environment;
}

std::optional<int> portNumberOfName(const std::string& name) {
    if (name.size() < 4 || name.size() > 12 || name.compare(0, 3, "COM") != 0 ||
        name.find_first_not_of("0123456789", 3) != std::string::npos) {
        return std::nullopt;
    }
    return std::stoi(name.substr(3));
}

std::string deviceForPortName(const std::string& name, const PortEnvironment& environment) {
    const auto number = portNumberOfName(name);
    if (!number) return name;
    return deviceForPort(*number, environment).value_or(std::string());
}

std::optional<std::string> deviceForPort(int portNumber, const PortEnvironment& environment) {
    if (portNumber < 1) return std::nullopt;
    if (environment.variable) {
        const auto value = environment.variable("COM" + std::to_string(portNumber));
        if (value && !value->empty()) return value;
    }
    if (!environment.serialDevices) return std::nullopt;
    const std::vector<std::string> devices = environment.serialDevices();
    if (static_cast<size_t>(portNumber) > devices.size()) return std::nullopt;
    return devices[portNumber - 1];
}

}  // namespace ports
