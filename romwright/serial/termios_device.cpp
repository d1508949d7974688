#include "romwright/serial/termios_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace romwright {
namespace {

using Clock = std::chrono::steady_clock;

speed_t speed_for(int baud) {
    switch (baud) {
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return B0;
    }
}

class TermiosDevice : public SerialDevice {
  public:
    explicit TermiosDevice(int fd) : fd_(fd) {}
    ~TermiosDevice() override {
        ::ioctl(fd_, TIOCCBRK);
        ::close(fd_);
    }

    bool configure(int baud) {
        termios t{};
        if (::tcgetattr(fd_, &t) != 0) return false;
        ::cfmakeraw(&t);
        t.c_iflag &=
            ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | PARMRK | ICRNL | INLCR | IGNCR);
        t.c_iflag |= IGNBRK;  // a break on the line is not a 0x00 byte
        t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
        t.c_cflag |= CS8 | CLOCAL | CREAD;
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
        const speed_t speed = speed_for(baud);
        if (speed == B0 || ::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0)
            return false;
        if (::tcsetattr(fd_, TCSANOW, &t) != 0) return false;
        // DTR and RTS on; a pseudo-terminal has no such lines, so a refusal is fine.
        int lines = TIOCM_DTR | TIOCM_RTS;
        ::ioctl(fd_, TIOCMBIS, &lines);
        return true;
    }

    bool set_baud(int baud) override {
        termios t{};
        const speed_t speed = speed_for(baud);
        if (speed == B0 || ::tcgetattr(fd_, &t) != 0) return false;
        ::cfsetispeed(&t, speed);
        ::cfsetospeed(&t, speed);
        return ::tcsetattr(fd_, TCSADRAIN, &t) == 0;
    }

    bool set_timeout(int milliseconds) override {
        timeout_ = std::chrono::milliseconds(milliseconds);
        return true;
    }

    void set_break(bool on) override { ::ioctl(fd_, on ? TIOCSBRK : TIOCCBRK); }

    void purge_receive() override { ::tcflush(fd_, TCIFLUSH); }

    size_t write(const uint8_t* bytes, size_t count) override {
        const auto deadline = Clock::now() + timeout_;
        size_t done = 0;
        while (done < count) {
            const ssize_t n = ::write(fd_, bytes + done, count - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) break;
            if (!wait(POLLOUT, deadline)) break;
        }
        return done;
    }

    size_t read(uint8_t* buffer, size_t count) override {
        const auto deadline = Clock::now() + timeout_;
        size_t done = 0;
        while (done < count) {
            const ssize_t n = ::read(fd_, buffer + done, count - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) break;
            if (!wait(POLLIN, deadline)) break;
        }
        return done;
    }

  private:
    // Waits for the descriptor until the deadline; false when it has passed.
    bool wait(short events, Clock::time_point deadline) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd_, events, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) return true;
        if (ready > 0 && (p.revents & (POLLHUP | POLLERR)) && !(p.revents & events)) {
            // The other end went away: nothing more will come before the deadline.
            ::poll(nullptr, 0, static_cast<int>(left.count()));
            return false;
        }
        return ready > 0;
    }

    int fd_;
    std::chrono::milliseconds timeout_{1000};
};

long long trailing_number(const std::string& name) {
    size_t start = name.size();
    while (start > 0 && name[start - 1] >= '0' && name[start - 1] <= '9') --start;
    if (start == name.size() || name.size() - start > 9) return -1;
    return std::stoll(name.substr(start));
}

std::vector<std::string> devices_with_prefix(const std::string& prefix, bool need_uart) {
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev", error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= prefix.size() || name.rfind(prefix, 0) != 0 || trailing_number(name) < 0)
            continue;
        if (need_uart) {
            // The kernel reports type 0 for a ttyS port without a UART.
            std::ifstream type("/sys/class/tty/" + name + "/type");
            int value = 0;
            if (!(type >> value) || value == 0) continue;
        }
        found.push_back(entry.path().string());
    }
    std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
        return trailing_number(a) < trailing_number(b);
    });
    return found;
}

}  // namespace

std::string device_for_port_name(const std::string& port) {
    if (port.size() < 4 || port.compare(0, 3, "COM") != 0 ||
        port.find_first_not_of("0123456789", 3) != std::string::npos) {
        return port;
    }
    if (const char* value = std::getenv(port.c_str()); value && *value) return value;
    const long long n = trailing_number(port);
    std::vector<std::string> devices = devices_with_prefix("ttyUSB", false);
    for (const auto& list :
         {devices_with_prefix("ttyACM", false), devices_with_prefix("ttyS", true)}) {
        devices.insert(devices.end(), list.begin(), list.end());
    }
    if (n < 1 || static_cast<size_t>(n) > devices.size()) return {};
    return devices[static_cast<size_t>(n - 1)];
}

std::unique_ptr<SerialDevice> open_termios_device(const std::string& port, int baud) {
    const std::string path = device_for_port_name(port);
    if (path.empty()) return nullptr;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    // Not shared: another program holding a lock on it, or an exclusive
    // open, makes this fail at once.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
        ::close(fd);
        return nullptr;
    }
    auto device = std::make_unique<TermiosDevice>(fd);
    if (!device->configure(baud)) return nullptr;
    return device;
}

}  // namespace romwright
