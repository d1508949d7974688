#include "sim/common/pseudo_terminal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace sim {

PseudoTerminal::~PseudoTerminal() {
    close();
}

void PseudoTerminal::close() {
    if (!link_.empty()) ::unlink(link_.c_str());
    link_.clear();
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

bool PseudoTerminal::open(bool cooked) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error_ = std::string("cannot open a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    char name[256];
    if (::ptsname_r(master_, name, sizeof name) != 0) {
        error_ = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    path_ = name;
    // Raw both ways (no echo, no CR/LF translation, 8-bit clean), so a
    // program that opens the device without configuring it still gets the
    // bytes unchanged. The settings stay with the device after this close.
    const int device = ::open(name, O_RDWR | O_NOCTTY);
    if (device < 0) {
        error_ = "cannot open " + path_ + ": " + std::strerror(errno);
        return false;
    }
    termios settings{};
    if (::tcgetattr(device, &settings) == 0) {
        if (cooked) {
            settings.c_iflag |= ICRNL | IXON;
            settings.c_oflag |= OPOST | ONLCR;
            settings.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
        } else {
            ::cfmakeraw(&settings);
        }
        ::cfsetspeed(&settings, B9600);
        ::tcsetattr(device, TCSANOW, &settings);
    }
    ::close(device);
    const int flags = ::fcntl(master_, F_GETFL);
    ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    return true;
}

bool PseudoTerminal::makeLink(const std::string& link) {
    struct stat info {};
    if (::lstat(link.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            error_ = link + " exists and is not a symbolic link; left alone";
            return false;
        }
        ::unlink(link.c_str());
    }
    if (::symlink(path_.c_str(), link.c_str()) != 0) {
        error_ = "cannot create " + link + ": " + std::strerror(errno);
        return false;
    }
    link_ = link;
    return true;
}

std::string PseudoTerminal::read(int timeoutMs) {
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) return {};
    if (!(p.revents & POLLIN)) {
        if (p.revents & POLLHUP) {
            if (!hungUp_) discardUnreadInput();
            hungUp_ = true;
            // Wait a little instead of spinning on the hang-up.
            ::poll(nullptr, 0, timeoutMs < 20 ? timeoutMs : 20);
        }
        return {};
    }
    hungUp_ = false;
    char buffer[4096];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

int PseudoTerminal::lineBaud() const {
    // The master side reports the settings the program made on its side.
    termios settings{};
    if (master_ < 0 || ::tcgetattr(master_, &settings) != 0) return 0;
    const speed_t speed = ::cfgetospeed(&settings);
    const speed_t input = ::cfgetispeed(&settings);
    if (input != 0 && input != speed) return -1;
    const std::pair<speed_t, int> known[] = {
        {B9600, 9600}, {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};
    for (const auto& [code, baud] : known) {
        if (speed == code) return baud;
    }
    return -1;
}

void PseudoTerminal::discardUnreadInput() {
    // Replies that reached the device after its user closed it wait in its
    // input queue; a real port drops them on close, so drop them here before
    // the next program opens the device and reads them as fresh.
    ::tcflush(master_, TCOFLUSH);
    const int device = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (device >= 0) {
        ::tcflush(device, TCIFLUSH);
        ::close(device);
    }
}

bool PseudoTerminal::write(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace sim
