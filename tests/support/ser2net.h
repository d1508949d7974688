// The real ser2net in front of pseudo-terminals, for tests of both programs:
// each device gets an RFC 2217 port and a raw one on the loopback.
#pragma once

#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

// A loopback port that takes connections into its queue and never answers (`listening`), or
// one where nobody listens.
inline int loopbackPort(int& fd, bool listening) {
    fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{.sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}};
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    if (listening) {
        ::listen(fd, 4);
    } else {
        ::close(fd);
    }
    return ntohs(address.sin_port);
}

class Ser2net {
  public:
    // `line`: ser2net's speed and format, as "57600n81".
    Ser2net(const std::vector<std::string>& devices, const std::string& folder,
            const std::string& line) {
        static int counter = 0;
        const std::string config = folder + "/ser2net-" + std::to_string(counter++) + ".yaml";
        std::ofstream yaml(config);
        yaml << "%YAML 1.1\n---\n";
        for (const std::string& device : devices) {
            for (const auto& [accepter, ports] :
                 {std::pair{"telnet(rfc2217),tcp", &telnet_}, std::pair{"tcp", &raw_}}) {
                int fd;
                ports->push_back(loopbackPort(fd, false));
                // No character delay: by default the server holds each byte up to a millisecond.
                yaml << "connection: &c" << ports->back() << "\n  accepter: " << accepter
                     << ",127.0.0.1," << ports->back() << "\n  connector: serialdev," << device
                     << "," << line << ",local\n  options:\n    chardelay: false\n";
            }
        }
        yaml.close();
        process_.start({"/usr/sbin/ser2net", "-n", "-c", config, "-P", config + ".pid"}, {},
                       config + ".log");
        const bool up = pollUntil(
            [&] {
                for (size_t i = 0; i < telnet_.size(); ++i) {
                    if (!listening(telnet_[i]) || !listening(raw_[i])) return false;
                }
                return true;
            },
            std::chrono::seconds(10));
        if (!up) ADD_FAILURE() << "ser2net did not start: " << fileText(config + ".log");
    }
    void stop() { process_.stop(SIGTERM); }
    std::string rfc2217(size_t i = 0) const {
        return "rfc2217://127.0.0.1:" + std::to_string(telnet_[i]);
    }
    std::string socket(size_t i = 0) const {
        return "socket://127.0.0.1:" + std::to_string(raw_[i]);
    }
    // Another client on port i's telnet side, once the server serves it (a
    // server letting its last client go calls the port busy for a moment);
    // the socket, to be closed to let go.
    int holdPort(size_t i = 0) const {
        int held = -1;
        const bool served = pollUntil(
            [&] {
                if (held >= 0) ::close(held);
                held = ::socket(AF_INET, SOCK_STREAM, 0);
                sockaddr_in address{.sin_family = AF_INET,
                                    .sin_port = htons(static_cast<uint16_t>(telnet_[i])),
                                    .sin_addr = {htonl(INADDR_LOOPBACK)}};
                ::connect(held, reinterpret_cast<sockaddr*>(&address), sizeof address);
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                char said[256] = {};
                const ssize_t n = ::recv(held, said, sizeof said - 1, MSG_DONTWAIT);
                return n > 0 && std::string(said, static_cast<size_t>(n)).find("in use") ==
                                    std::string::npos;
            },
            std::chrono::seconds(10));
        if (!served) ADD_FAILURE() << "ser2net did not serve the holding client";
        return held;
    }

  private:
    // Listening, as the kernel's table says: a test connection would open the device.
    static bool listening(int port) {
        char local[32];
        std::snprintf(local, sizeof local, ":%04X 00000000:0000 0A", port);
        return fileText("/proc/net/tcp").find(local) != std::string::npos;
    }
    std::vector<int> telnet_, raw_;
    ChildProcess process_;
};

}  // namespace testsupport
