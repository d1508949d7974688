#include "common/ports/port_names.h"

#include "common/ports/stored_port_numbers.h"

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
    environment.identify = [](const std::string& device) { return identifyDevice(device); };
    environment.loadNumbers = loadStoredPortNumbers;
    environment.saveNumbers = storePortNumbers;
    environment.loadUrls = loadStoredPortUrls;
    return environment;
}

std::optional<int> portNumberOfName(const std::string& name) {
    if (name.size() < 4 || name.size() > 12 || name.compare(0, 3, "COM") != 0 ||
        name.find_first_not_of("0123456789", 3) != std::string::npos) {
        return std::nullopt;
    }
    return std::stoi(name.substr(3));
}

PortSlot slotForPortName(const std::string& name, const PortEnvironment& environment) {
    const auto number = portNumberOfName(name);
    if (!number) return {name, name, {}};
    return portSlot(*number, environment);
}

std::string deviceForPortName(const std::string& name, const PortEnvironment& environment) {
    return slotForPortName(name, environment).device;
}

bool assignNumbers(const std::vector<std::string>& present, PortNumbers& numbers,
                   const PortUrls& urls) {
    bool changed = false;
    for (const auto& identity : present) {
        if (numbers.count(identity)) continue;
        int free = 1;
        while (urls.count(free) ||
               std::any_of(numbers.begin(), numbers.end(),
                           [free](const auto& entry) { return entry.second == free; })) {
            ++free;
        }
        numbers[identity] = free;
        changed = true;
    }
    return changed;
}

PortSlot portSlot(int portNumber, const PortEnvironment& environment) {
    if (portNumber < 1) return {};
    if (environment.variable) {
        const auto value = environment.variable("COM" + std::to_string(portNumber));
        if (value && !value->empty()) return {*value, *value, {}};
    }
    const PortUrls urls = environment.loadUrls ? environment.loadUrls() : PortUrls();
    if (const auto url = urls.find(portNumber); url != urls.end())
        return {url->second, url->second, {}};
    if (!environment.serialDevices) return {};
    const std::vector<std::string> devices = environment.serialDevices();
    if (!environment.loadNumbers || !environment.identify) {
        if (static_cast<size_t>(portNumber) > devices.size()) return {};
        return {devices[portNumber - 1], devices[portNumber - 1], {}};
    }
    std::vector<DeviceIdentity> identities;
    std::vector<std::string> present;
    for (const auto& device : devices) {
        identities.push_back(environment.identify(device));
        present.push_back(identities.back().identity);
    }
    PortNumbers numbers = environment.loadNumbers();
    if (assignNumbers(present, numbers, urls) && environment.saveNumbers) {
        environment.saveNumbers(numbers);
    }
    for (size_t i = 0; i < devices.size(); ++i) {
        if (numbers[present[i]] == portNumber) {
            return {devices[i], identities[i].identity, identities[i].product};
        }
    }
    for (const auto& [identity, number] : numbers) {
        if (number == portNumber) return {{}, identity, {}};
    }
    return {};
}

std::string describeSlot(const PortSlot& slot) {
    if (slot.device.empty()) {
        return slot.identity.empty() ? "no device" : "no device (kept for " + slot.identity + ")";
    }
    return slot.product.empty() ? slot.device : slot.device + " (" + slot.product + ")";
}

std::optional<std::string> deviceForPort(int portNumber, const PortEnvironment& environment) {
    PortSlot slot = portSlot(portNumber, environment);
    if (slot.device.empty()) return std::nullopt;
    return std::move(slot.device);
}

}  // namespace ports
