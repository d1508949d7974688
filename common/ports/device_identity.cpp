#include "common/ports/device_identity.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace ports {
namespace fs = std::filesystem;
namespace {

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    return line;
}

// The by-id link that resolves to the device, if any.
std::string byIdName(const std::string& device, const std::string& root) {
    std::error_code error;
    const fs::path target = fs::weakly_canonical(fs::path(root + device), error);
    if (error) return {};
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(root + "/dev/serial/by-id", error)) {
        std::error_code linkError;
        const fs::path resolved = fs::weakly_canonical(entry.path(), linkError);
        if (!linkError && resolved == target) names.push_back(entry.path().filename().string());
    }
    if (names.empty()) return {};
    std::sort(names.begin(), names.end());
    return names.front();
}

// The USB device (the directory with idVendor) above a tty's sysfs node.
fs::path usbDeviceOf(const std::string& device, const std::string& root) {
    const std::string name = fs::path(device).filename().string();
    std::error_code error;
    fs::path node = fs::canonical(fs::path(root + "/sys/class/tty") / name / "device", error);
    if (error) return {};
    const fs::path top = fs::path(root + "/sys");
    for (int depth = 0; depth < 6 && !node.empty() && node != top && node != node.root_path();
         ++depth) {
        if (fs::exists(node / "idVendor", error)) return node;
        node = node.parent_path();
    }
    return {};
}

bool hasTty(const fs::path& usbDevice) {
    std::error_code error;
    fs::recursive_directory_iterator walk(usbDevice, fs::directory_options::none, error);
    for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        const std::string name = walk->path().filename().string();
        if (name == "tty" || name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0) {
            return true;
        }
        if (walk.depth() >= 2) walk.disable_recursion_pending();
    }
    return false;
}

// USB serial converter chips by vendor: FTDI, Prolific, Silicon Labs,
// WCH. Used only to explain a missing tty, never to claim a device.
bool serialAdapterVendor(const std::string& vendor) {
    return vendor == "0403" || vendor == "067b" || vendor == "10c4" || vendor == "1a86";
}

}  // namespace

DeviceIdentity identifyDevice(const std::string& device, const std::string& root) {
    DeviceIdentity result;
    const fs::path usb = usbDeviceOf(device, root);
    if (!usb.empty()) result.product = firstLine(usb / "product");
    result.identity = byIdName(device, root);
    if (!result.identity.empty()) return result;
    if (!usb.empty()) {
        result.identity = "usb " + firstLine(usb / "idVendor") + ":" + firstLine(usb / "idProduct");
        const std::string serial = firstLine(usb / "serial");
        if (!serial.empty()) {
            result.identity += " " + serial;
        } else {
            // Without a serial number the USB socket is what tells two alike apart.
            result.identity += " at " + usb.filename().string();
        }
        return result;
    }
    result.identity = device;
    return result;
}

std::vector<std::string> adaptersWithoutTty(const std::string& root) {
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(root + "/sys/bus/usb/devices", error)) {
        const fs::path dir = entry.path();
        if (!serialAdapterVendor(firstLine(dir / "idVendor")) || hasTty(dir)) continue;
        const std::string product = firstLine(dir / "product");
        found.push_back(product.empty()
                            ? firstLine(dir / "idVendor") + ":" + firstLine(dir / "idProduct")
                            : product);
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace ports
