// The COM number rule and the words for a port that will not open.
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "common/ports/open_failure.h"
#include "common/ports/port_names.h"
#include "tests/support/files.h"

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

TEST(PortNames, EnvironmentFirstThenTheNthDevice) {
    const struct { std::string name; std::string device; } cases[] = {
        {"COM1", "/dev/ttyUSB0"},  {"COM3", "/tmp/sign"},     {"COM2", "/dev/ttyUSB1"},
        {"COM4", ""},  // set but empty: the fourth device, and there is none
        {"COM0", ""},
        {"COM13", ""},
        {"/dev/serial/by-id/usb-x", "/dev/serial/by-id/usb-x"},  // a path stays a path
        {"COM", "COM"},    {"COMX", "COMX"},  {"com1", "com1"},
        {"COM1234567890", "COM1234567890"},  // too many digits for a number
    };
    for (const auto& c : cases) EXPECT_EQ(deviceForPortName(c.name, bench()), c.device) << c.name;

    std::vector<std::string> devices = {"/dev/ttyUSB10", "/dev/ttyUSB2", "/dev/ttyUSB1"};
    sortByNumber(devices);
    EXPECT_EQ(devices, (std::vector<std::string>{"/dev/ttyUSB1", "/dev/ttyUSB2", "/dev/ttyUSB10"}));
}

TEST(OpenFailure, ErrnoGivesTheCause) {
    const struct { int error; OpenFailure failure; } cases[] = {
        {ENOENT, OpenFailure::NoDevice},    {ENXIO, OpenFailure::NoDevice},
        {ENODEV, OpenFailure::NoDevice},    {EBUSY, OpenFailure::InUse},
        {EWOULDBLOCK, OpenFailure::InUse},  {EACCES, OpenFailure::NoPermission},
        {EPERM, OpenFailure::NoPermission}, {EIO, OpenFailure::Other},
    };
    for (const auto& c : cases) EXPECT_EQ(classifyOpenError(c.error), c.failure) << c.error;
}

// Each sentence names what the user needs to act: the port or device, the
// group, and the step to take.
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
        {OpenFailure::NoDevice, "COM2", "/dev/ttyUSB0", {}, {"COM2", "/dev/ttyUSB0", "not exist"}},
        {OpenFailure::NoDevice, "/dev/x", "/dev/x", {}, {"/dev/x does not exist"}},
        {OpenFailure::NoDevice, "COM2", "", {.keptFor = "usb-Maker_Sign_Cable_A10K-if00-port0"},
         {"no device for COM2: the number belongs to usb-Maker_Sign_Cable_A10K-if00-port0, which is not plugged in"}},
        {OpenFailure::NoDevice, "COM2", "", {.adaptersWithoutTty = {"Sign Cable"}},
         {"Sign Cable is plugged in but has no serial device", "brltty"}},
        {OpenFailure::InUse, "COM2", "/dev/ttyUSB0", {}, {"/dev/ttyUSB0", "another program"}},
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

}  // namespace
}  // namespace ports
