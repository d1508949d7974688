#include "romwright/serial/termios_device.h"

#include "common/ports/open_failure.h"
#include "common/ports/port_names.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

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

// Errors after which the device is gone: a pulled USB adapter, or the far
// end of a pseudo-terminal closed.
bool device_gone(int error) {
    return error == EIO || error == ENXIO || error == ENODEV || error == EPIPE;
}

class TermiosDevice : public SerialDevice {
  public:
    TermiosDevice(int fd, DeviceCalls calls) : fd_(fd), calls_(calls) {}
    ~TermiosDevice() override {
        if (!lost_) ::ioctl(fd_, TIOCCBRK);
        // The exclusive flag belongs to the device, not to this descriptor:
        // left set, it outlives us wherever the other end stays open (a
        // pseudo-terminal, a bridge) and locks out the next normal user.
        ::ioctl(fd_, TIOCNXCL);
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
        if (lost_ || speed == B0 || ::tcgetattr(fd_, &t) != 0) return false;
        ::cfsetispeed(&t, speed);
        ::cfsetospeed(&t, speed);
        return ::tcsetattr(fd_, TCSADRAIN, &t) == 0;
    }

    bool set_timeout(int milliseconds) override {
        timeout_ = std::chrono::milliseconds(milliseconds);
        return !lost_;
    }

    void set_break(bool on) override {
        if (!lost_) ::ioctl(fd_, on ? TIOCSBRK : TIOCCBRK);
    }

    void purge_receive() override {
        if (!lost_) ::tcflush(fd_, TCIFLUSH);
    }

    size_t write(const uint8_t* bytes, size_t count) override {
        const auto deadline = Clock::now() + timeout_;
        size_t done = 0;
        while (done < count && !lost_) {
            const ssize_t n = calls_.write(fd_, bytes + done, count - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
                continue;
            }
            if (n < 0 && device_gone(errno)) {
                lost_ = true;
                break;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) break;
            if (!wait(POLLOUT, deadline)) break;
        }
        return done;
    }

    size_t read(uint8_t* buffer, size_t count) override {
        const auto deadline = Clock::now() + timeout_;
        size_t done = 0;
        // Wait first: with a reply on its way, a read before it arrives is
        // a wasted call on every reply.
        while (done < count && !lost_ && wait(POLLIN, deadline)) {
            const ssize_t n = calls_.read(fd_, buffer + done, count - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
            } else if (n == 0 || device_gone(errno)) {
                lost_ = true;  // end of file on a terminal: it hung up
            } else if (errno != EAGAIN && errno != EINTR) {
                break;
            }
        }
        return done;
    }

    bool lost() const override { return lost_; }

  private:
    // Waits for the descriptor until the deadline; false when it has passed
    // or the device went away (which ends every later wait at once too).
    bool wait(short events, Clock::time_point deadline) {
        while (!lost_) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd p{fd_, events, 0};
            const int ready = ::poll(&p, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
            if (ready < 0 && errno == EINTR) continue;
            if (ready < 0) return false;
            if (ready == 0) return false;
            if (p.revents & events) return true;
            if (!(p.revents & (POLLHUP | POLLERR | POLLNVAL))) return false;
            lost_ = true;
        }
        return false;
    }

    int fd_;
    DeviceCalls calls_;
    bool lost_ = false;
    std::chrono::milliseconds timeout_{1000};
};

}  // namespace

std::unique_ptr<SerialDevice> termios_device_over(int fd, DeviceCalls calls) {
    return std::make_unique<TermiosDevice>(fd, calls);
}

std::string describe_port(const std::string& port) {
    return ports::describeSlot(ports::slotForPortName(port, ports::systemPortEnvironment()));
}

std::unique_ptr<SerialDevice> open_termios_device(const std::string& port, int baud,
                                                  std::string& problem) {
    const ports::PortSlot slot = ports::slotForPortName(port, ports::systemPortEnvironment());
    const std::string& path = slot.device;
    const auto fail = [&](int error) -> std::unique_ptr<SerialDevice> {
        const ports::OpenFailure failure =
            path.empty() ? ports::OpenFailure::NoDevice : ports::classifyOpenError(error);
        problem = ports::describeOpenFailure(failure, port, path,
                                             failure == ports::OpenFailure::NoDevice
                                                 ? ports::missingDeviceFacts(slot)
                                                 : ports::deviceFacts(path),
                                             std::strerror(error));
        return nullptr;
    };
    if (path.empty()) return fail(ENOENT);
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(errno);
    // Not shared: another program holding a lock on it, or an exclusive
    // open, makes this fail at once.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        return fail(error);
    }
    auto device = std::make_unique<TermiosDevice>(fd, DeviceCalls{::read, ::write});
    if (!device->configure(baud)) return fail(errno ? errno : EINVAL);
    return device;
}

}  // namespace romwright
