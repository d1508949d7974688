#include "romwright/serial/network_device.h"

#include "common/ports/rfc2217.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace romwright {
namespace {

using Clock = std::chrono::steady_clock;
using ports::PortUrl;
namespace telnet = ports::rfc2217;

using ports::server::kBusyListen;
using ports::server::kQuietAfterOffers;

int milliseconds_until(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// A connected, non-blocking TCP socket, or -1 with the reason in `problem`.
int connect_to(const PortUrl& url, const std::string& name, std::string& problem) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (const int rc = ::getaddrinfo(url.host.c_str(), url.service.c_str(), &hints, &found)) {
        problem = ports::server::connectFailureText(
            name, url, ports::server::ConnectFailure::UnknownHost, ::gai_strerror(rc));
        return -1;
    }
    const auto deadline = Clock::now() + kServerAnswerLimit;
    int error = ETIMEDOUT;
    int fd = -1;
    for (addrinfo* a = found; a && fd < 0 && Clock::now() < deadline; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            error = errno;
            continue;
        }
        if (::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            error = errno;
            if (error == EINPROGRESS) {
                pollfd p{fd, POLLOUT, 0};
                error = ETIMEDOUT;
                if (::poll(&p, 1, milliseconds_until(deadline)) == 1) {
                    socklen_t size = sizeof error;
                    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
                }
            }
            if (error != 0 && error != EINPROGRESS) {
                ::close(fd);
                fd = -1;
            }
        }
    }
    ::freeaddrinfo(found);
    if (fd >= 0) {
        // Each page's reply waits on the last bytes written: send them at once.
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        return fd;
    }
    using ports::server::ConnectFailure;
    problem = ports::server::connectFailureText(name, url,
                                                error == ECONNREFUSED ? ConnectFailure::Refused
                                                : error == ETIMEDOUT  ? ConnectFailure::NoAnswer
                                                                      : ConnectFailure::Other,
                                                std::strerror(error));
    return -1;
}

class NetworkDevice : public SerialDevice {
  public:
    NetworkDevice(int fd, bool telnet, std::string name)
        : fd_(fd), telnet_(telnet), name_(std::move(name)) {}
    ~NetworkDevice() override { ::close(fd_); }

    // Brings the far line to the baud rate, 8N1, empty queues, DTR and RTS
    // on; false, with the reason, when the server cannot or will not.
    bool open_line(int baud, std::string& problem) {
        listening_ = true;
        auto until = Clock::now() + kBusyListen;
        while (!lost_ && fill(until)) {
            if (telnet_) until = std::min(until, Clock::now() + kQuietAfterOffers);
        }
        listening_ = false;
        if (lost_ || ports::server::saysBusy(pending_)) return refused(problem);
        pending_.clear();  // nothing was asked yet: this is no answer
        if (!telnet_) {
            baud_ = baud;
            return true;
        }
        send_raw(telnet::Client::greeting() + client_.takeReplies());
        const std::pair<telnet::Command, uint32_t> settings[] = {
            {telnet::kSetBaudRate, static_cast<uint32_t>(baud)},
            {telnet::kSetDataSize, 8},
            {telnet::kSetParity, telnet::kParityNone},
            {telnet::kSetStopSize, telnet::kStopBitsOne}};
        for (const auto& [command, value] : settings) {
            client_.forget(command);
            send_raw(telnet::Client::command(command, value));
        }
        const auto deadline = Clock::now() + kServerAnswerLimit;
        for (const auto& [command, value] : settings) {
            while (!client_.confirmed(command) && !lost_ && !client_.comPortRefused() &&
                   fill(deadline)) {
            }
            if (lost_) return refused(problem);
            if (client_.comPortRefused()) {
                problem = ports::server::noComPortOptionText(name_);
                return false;
            }
            if (!client_.confirmed(command)) {
                problem = ports::server::unconfirmedSettingsText(name_);
                return false;
            }
        }
        baud_ = baud;
        // Both queues start empty; DTR and RTS are not confirmed by every
        // server, so they are only asked for.
        send_raw(telnet::Client::command(telnet::kPurgeData, telnet::kPurgeBoth));
        send_raw(telnet::Client::command(telnet::kSetControl, telnet::kDtrOn));
        send_raw(telnet::Client::command(telnet::kSetControl, telnet::kRtsOn));
        pending_.clear();
        return !lost_;
    }

    bool set_baud(int baud) override {
        if (lost_) return false;
        if (!telnet_) return baud == baud_;  // a raw socket runs at the server's speed
        // The next byte must already go at the new speed: wait for the server.
        client_.forget(telnet::kSetBaudRate);
        send_raw(telnet::Client::command(telnet::kSetBaudRate, static_cast<uint32_t>(baud)));
        const auto deadline = Clock::now() + kServerAnswerLimit;
        while (!client_.confirmed(telnet::kSetBaudRate) && !lost_ && fill(deadline)) {
        }
        if (!client_.confirmed(telnet::kSetBaudRate)) return false;
        baud_ = baud;
        return true;
    }

    bool set_timeout(int milliseconds) override {
        timeout_ = std::chrono::milliseconds(milliseconds);
        return !lost_;
    }

    void set_break(bool on) override {
        if (telnet_ && !lost_) {
            send_raw(telnet::Client::command(telnet::kSetControl,
                                             on ? telnet::kBreakOn : telnet::kBreakOff));
        }
    }

    void purge_receive() override {
        if (lost_) return;
        if (telnet_) send_raw(telnet::Client::command(telnet::kPurgeData, telnet::kPurgeReceive));
        while (fill(Clock::now())) {
        }
        pending_.clear();
    }

    size_t write(const uint8_t* bytes, size_t count) override {
        const std::string_view data(reinterpret_cast<const char*>(bytes), count);
        return send_raw(telnet_ ? telnet::Client::escape(data) : std::string(data)) ? count : 0;
    }

    size_t read(uint8_t* buffer, size_t count) override {
        const auto deadline = Clock::now() + timeout_;
        while (pending_.size() < count && !lost_ && fill(deadline)) {
        }
        const size_t done = std::min(count, pending_.size());
        std::memcpy(buffer, pending_.data(), done);
        pending_.erase(0, done);
        return done;
    }

    bool lost() const override { return lost_; }

  private:
    bool refused(std::string& problem) const {
        problem = ports::server::closedDuringOpenText(name_, pending_);
        return false;
    }

    // Takes in what the server has sent, waiting until the deadline for
    // something; false when nothing came or the server is gone.
    bool fill(Clock::time_point deadline) {
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, milliseconds_until(deadline));
        if (ready <= 0) return false;
        char chunk[4096];
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
            lost_ = true;
            return false;
        }
        if (n < 0) return true;
        // Acknowledge at once: a server that holds small writes until the
        // last one is acknowledged (Nagle) would otherwise wait for this
        // side's delayed acknowledgement, 40 ms, before its next answer.
        const int on = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
        const std::string_view got(chunk, static_cast<size_t>(n));
        if (!telnet_) {
            pending_ += got;
            return true;
        }
        pending_ += client_.receive(got);
        if (!listening_) {
            if (const std::string replies = client_.takeReplies(); !replies.empty()) {
                send_raw(replies);
            }
        }
        return true;
    }

    // Sends every byte, waiting up to T for room; false when the server is
    // gone or the time ran out.
    bool send_raw(const std::string& bytes) {
        const auto deadline = Clock::now() + timeout_;
        size_t done = 0;
        while (done < bytes.size() && !lost_) {
            const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n > 0) {
                done += static_cast<size_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                lost_ = true;
                break;
            }
            pollfd p{fd_, POLLOUT, 0};
            if (::poll(&p, 1, milliseconds_until(deadline)) <= 0) break;
        }
        return done == bytes.size();
    }

    int fd_;
    bool telnet_;
    std::string name_;
    telnet::Client client_;
    std::string pending_;  // data received and not read yet
    bool lost_ = false;
    bool listening_ = false;  // before the first write: answers owed wait
    int baud_ = 0;
    std::chrono::milliseconds timeout_{1000};
};

}  // namespace

std::unique_ptr<SerialDevice> open_network_device(const std::string& name, int baud,
                                                  std::string& problem) {
    const auto url = ports::parsePortUrl(name);
    if (!url) {
        problem = ports::server::notAUrlText(name);
        return nullptr;
    }
    const int fd = connect_to(*url, name, problem);
    if (fd < 0) return nullptr;
    auto device = std::make_unique<NetworkDevice>(fd, url->kind == PortUrl::Rfc2217, name);
    if (!device->open_line(baud, problem)) return nullptr;
    return device;
}

}  // namespace romwright
