// COM numbers, the numbers devices keep, their identities, and why a port will not open.
#include "common/ports/open_failure.h"
#include "common/ports/port_names.h"
#include "common/ports/port_url.h"
#include "common/ports/stored_port_numbers.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ports {
namespace {
PortEnvironment bench() {
    return {.variable = [](const std::string& name) -> std::optional<std::string> {
                if (name == "COM3") return "/tmp/sign";
                if (name == "COM4") return "";
                return std::nullopt;
            },
            .serialDevices =
                [] {
                    return std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0"};
                }};
}

TEST(PortUrls, ServersByNameOrAddressAndNothingElse) {
    const std::pair<const char*, std::string> cases[] = {
        {"rfc2217://signs.example:4001", "rfc2217 signs.example 4001"},
        {"socket://10.0.0.7:1", "socket 10.0.0.7 1"},
        {"rfc2217://[::1]:65535", "rfc2217 ::1 65535"},
        {"rfc2217://host:65536", ""},
        {"rfc2217://host:0", ""},
        {"rfc2217://host", ""},
        {"rfc2217://:4001", ""},
        {"rfc2217://host:40x1", ""},
        {"rfc2217://::1:4001", ""},
        {"telnet://host:4001", ""},
        {"rfc2217://[::1]4001", ""},
        {"/dev/ttyUSB0", ""},
    };
    for (const auto& [name, expected] : cases) {
        const auto url = parsePortUrl(name);
        EXPECT_EQ(url ? (url->kind == PortUrl::Socket ? "socket " : "rfc2217 ") + url->host + " " +
                            url->service
                      : "",
                  expected)
            << name;
    }
}

TEST(PortNames, EnvironmentFirstThenTheNthDevice) {
    const std::pair<std::string, std::string> cases[] = {
        {"COM1", "/dev/ttyUSB0"},
        {"COM3", "/tmp/sign"},
        {"COM2", "/dev/ttyUSB1"},
        {"COM4", ""},  // set but empty: the fourth device, and there is none
        {"COM0", ""},
        {"COM13", ""},
        {"/dev/serial/by-id/usb-x", "/dev/serial/by-id/usb-x"},  // a path stays a path
        {"COM", "COM"},
        {"COMX", "COMX"},
        {"com1", "com1"},
        {"COM1234567890", "COM1234567890"},  // too many digits for a number
    };
    for (const auto& [name, device] : cases)
        EXPECT_EQ(deviceForPortName(name, bench()), device) << name;

    std::vector<std::string> devices = {"/dev/ttyUSB10", "/dev/ttyUSB2", "/dev/ttyUSB1"};
    sortByNumber(devices);
    EXPECT_EQ(devices, (std::vector<std::string>{"/dev/ttyUSB1", "/dev/ttyUSB2", "/dev/ttyUSB10"}));
}

// Each sentence names the port or device, the group, and the step to take.
TEST(OpenFailure, WordsNameTheDeviceAndTheStepToTake) {
    const DeviceFacts notInGroup{.group = "uucp"};
    const DeviceFacts joinedAfterLogin{.group = "dialout", .userListedInGroup = true};
    const struct {
        OpenFailure failure;
        std::string port, device;
        DeviceFacts facts;
        std::vector<std::string> mentions;
    } cases[] = {
        // clang-format off
        {OpenFailure::NoDevice, "COM2", "", {}, {"COM2", "COM2=/dev/"}},
        {OpenFailure::NoDevice, "COM2", "", {.keptFor = "usb-Maker_Sign_Cable_A10K-if00-port0"},
         {"no device for COM2: the number belongs to usb-Maker_Sign_Cable_A10K-if00-port0, which is not plugged in"}},
        {OpenFailure::NoDevice, "COM2", "", {.adaptersWithoutTty = {"Sign Cable"}},
         {"Sign Cable is plugged in but has no serial device", "brltty"}},
        {OpenFailure::NoPermission, "COM2", "/dev/ttyUSB0", notInGroup,
         {"/dev/ttyUSB0", "group uucp", "usermod -aG uucp", "log in again"}},
        {OpenFailure::NoPermission, "COM2", "/dev/ttyUSB0", {}, {"group dialout"}},
        {OpenFailure::NoPermission, "COM2", "/dev/ttyUSB0", joinedAfterLogin,
         {"you are in the group dialout", "log out and in again"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        const std::string text = describeOpenFailure(c.failure, c.port, c.device, c.facts);
        for (const auto& m : c.mentions) EXPECT_NE(text.find(m), std::string::npos) << text;
    }
    EXPECT_EQ(describeOpenFailure(OpenFailure::Other, "COM1", "/dev/ttyS0", {}, "I/O error"),
              "/dev/ttyS0: I/O error");
}

TEST(OpenFailure, FactsOfARealFile) {
    const auto folder = std::filesystem::path(testsupport::scratchFolder("ports-test"));
    const auto path = folder / "device";
    std::ofstream(path).put('x');
    const DeviceFacts facts = deviceFacts(path.string());
    std::filesystem::remove_all(folder);
    // A file we made belongs to our own group, which this process holds.
    EXPECT_TRUE(facts.groupInSession);
    const group* own = ::getgrgid(::getegid());
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(facts.group, own->gr_name);
    EXPECT_EQ(deviceFacts("/nonexistent/tty").group, "");
}

namespace fs = std::filesystem;

// Adapters plugged and pulled between steps; numbers kept in memory as on disk.
struct Desk {
    std::vector<std::string> plugged;  // device paths in scan order
    PortNumbers kept;
    int saves = 0;
    std::optional<std::string> com1;
    PortUrls urls;

    PortEnvironment environment() {
        PortEnvironment e;
        e.variable = [this](const std::string& name) {
            return name == "COM1" ? com1 : std::nullopt;
        };
        e.serialDevices = [this] { return plugged; };
        // The identity of "/dev/ttyUSBn=NAME" is NAME, as a by-id name would be.
        e.identify = [](const std::string& device) {
            const auto cut = device.find('=');
            return DeviceIdentity{device.substr(cut + 1), "Adapter " + device.substr(cut + 1)};
        };
        e.loadNumbers = [this] { return kept; };
        e.saveNumbers = [this](const PortNumbers& n) {
            kept = n;
            ++saves;
        };
        e.loadUrls = [this] { return urls; };
        return e;
    }
    std::string device(int n) { return portSlot(n, environment()).device; }
};

TEST(PortNumbers, ADeviceKeepsItsNumberWhenOthersComeAndGo) {
    Desk desk;
    desk.kept = {{"blue", 2}};  // from an earlier run: the new ones fill in around it
    desk.plugged = {"/dev/ttyUSB0=red", "/dev/ttyUSB1=blue", "/dev/ttyS0=/dev/ttyS0"};
    EXPECT_EQ(desk.device(1), "/dev/ttyUSB0=red");
    EXPECT_EQ(desk.device(3), "/dev/ttyS0=/dev/ttyS0");
    EXPECT_EQ(desk.saves, 1);  // numbers are written once, when they change

    // red is pulled: blue keeps 2 (it is now the first USB device), 1 is kept for red.
    desk.plugged = {"/dev/ttyUSB0=blue", "/dev/ttyS0=/dev/ttyS0"};
    EXPECT_EQ(desk.device(2), "/dev/ttyUSB0=blue");
    const PortSlot gone = portSlot(1, desk.environment());
    EXPECT_EQ(gone.device, "");
    EXPECT_EQ(gone.identity, "red");
    EXPECT_EQ(describeSlot(gone), "no device (kept for red)");

    // A new adapter takes the lowest number nobody holds, not red's.
    desk.plugged = {"/dev/ttyUSB0=green", "/dev/ttyUSB1=blue"};
    EXPECT_EQ(desk.device(4), "/dev/ttyUSB0=green");
    // red comes back on another path and has its number again.
    desk.plugged = {"/dev/ttyUSB0=green", "/dev/ttyUSB1=blue", "/dev/ttyUSB2=red"};
    EXPECT_EQ(desk.device(1), "/dev/ttyUSB2=red");
    EXPECT_EQ(describeSlot(portSlot(1, desk.environment())), "/dev/ttyUSB2=red (Adapter red)");
    EXPECT_EQ(desk.saves, 2);

    // A number given to a server's URL is the URL's, and no new adapter takes it.
    desk.urls = {{5, "rfc2217://signs.example:4001"}};
    desk.plugged.push_back("/dev/ttyUSB3=white");
    EXPECT_EQ(desk.device(5), "rfc2217://signs.example:4001");
    EXPECT_EQ(describeSlot(portSlot(5, desk.environment())), "rfc2217://signs.example:4001");
    EXPECT_EQ(desk.device(6), "/dev/ttyUSB3=white");

    // The variable still wins, and a number nobody holds has no device.
    desk.com1 = "/tmp/sign";
    EXPECT_EQ(desk.device(1), "/tmp/sign");
    EXPECT_EQ(describeSlot(portSlot(9, desk.environment())), "no device");
}

// A scratch root with the parts of /dev and /sys the identity is read from.
struct FakeSystem {
    fs::path root = testsupport::scratchFolder("ports-sys");
    ~FakeSystem() { fs::remove_all(root); }
    void write(const fs::path& file, const std::string& text) {
        fs::create_directories((root / file).parent_path());
        std::ofstream(root / file) << text << "\n";
    }
    // A USB adapter at usb1/1-2 whose interface carries `tty` (or nothing).
    void usbAdapter(const std::string& port, const std::string& vendor, const std::string& serial,
                    const std::string& tty) {
        const fs::path usb = "sys/devices/usb1/" + port;
        write(usb / "idVendor", vendor);
        write(usb / "idProduct", "6001");
        write(usb / "product", "Sign Cable");
        if (!serial.empty()) write(usb / "serial", serial);
        fs::create_directories(root / usb / (port + ":1.0"));
        fs::create_directories(root / "sys/bus/usb/devices");
        fs::create_directory_symlink(root / usb, root / "sys/bus/usb/devices" / port);
        if (tty.empty()) return;
        fs::create_directories(root / usb / (port + ":1.0") / tty);
        fs::create_directories(root / "sys/class/tty" / tty);
        fs::create_directory_symlink(root / usb / (port + ":1.0"),
                                     root / "sys/class/tty" / tty / "device");
        write("dev/" + tty, "");
    }
};

TEST(DeviceIdentity, ByIdThenUsbAttributesThenThePath) {
    FakeSystem sys;
    sys.usbAdapter("1-1", "0403", "A10K", "ttyUSB0");
    sys.usbAdapter("1-2", "067b", "", "ttyUSB1");
    sys.usbAdapter("1-3", "1a86", "", "");  // claimed by another driver: no tty
    sys.write("dev/ttyS0", "");
    fs::create_directories(sys.root / "dev/serial/by-id");
    fs::create_symlink(sys.root / "dev/ttyUSB0",
                       sys.root / "dev/serial/by-id/usb-Maker_Sign_Cable_A10K-if00-port0");

    const std::string root = sys.root.string();
    const struct {
        std::string device, identity, product;
    } cases[] = {
        {"/dev/ttyUSB0", "usb-Maker_Sign_Cable_A10K-if00-port0", "Sign Cable"},
        {"/dev/ttyUSB1", "usb 067b:6001 at 1-2", "Sign Cable"},  // no serial: its socket
        {"/dev/ttyS0", "/dev/ttyS0", ""},
    };
    for (const auto& c : cases) {
        const DeviceIdentity id = identifyDevice(c.device, root);
        EXPECT_EQ(id.identity, c.identity) << c.device;
        EXPECT_EQ(id.product, c.product) << c.device;
    }
    EXPECT_EQ(adaptersWithoutTty(root), std::vector<std::string>{"Sign Cable"});
    EXPECT_TRUE(adaptersWithoutTty(root + "/nowhere").empty());
}

// Numbers written by one program are read by the other; damage loses only its entries.
TEST(PortNumbers, StoredNumbersSurviveARunAndDamage) {
    const fs::path home = testsupport::scratchFolder("ports-conf");
    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    storePortNumbers({{"/dev/ttyS0", 3}, {"usb-a", 1}});
    EXPECT_EQ(loadStoredPortNumbers(), (PortNumbers{{"/dev/ttyS0", 3}, {"usb-a", 1}}));

    std::ofstream(home / "Marquelle/ports.conf")
        << "[devices]\n1\\identity=usb-a\n1\\number=1\n2\\identity=usb-b\n2\\number=1\n"
           "3\\identity=usb-c\n3\\number=x\n4\\identity=usb-d\n4\\number=4\nsize=4\n";
    EXPECT_EQ(loadStoredPortNumbers(), (PortNumbers{{"usb-a", 1}, {"usb-d", 4}}));

    // A user's line gives a number to a server; only whole numbers and URLs count, and
    // storing the numbers keeps the line.
    std::ofstream(home / "Marquelle/ports.conf")
        << "7=rfc2217://signs.example:4001\n0=socket://a:1\nx=socket://a:1\n8=/dev/ttyUSB0\n"
           "9=socket://[::1]:4002\n[devices]\n1\\identity=usb-a\n1\\number=1\nsize=1\n";
    const PortUrls urls = {{7, "rfc2217://signs.example:4001"}, {9, "socket://[::1]:4002"}};
    EXPECT_EQ(loadStoredPortUrls(), urls);
    storePortNumbers({{"usb-a", 1}, {"usb-b", 2}});
    EXPECT_EQ(loadStoredPortUrls(), urls);
    EXPECT_EQ(loadStoredPortNumbers().size(), 2u);
    fs::remove_all(home);
}

}  // namespace
}  // namespace ports
