// The termios device on a pseudo-terminal: a long write goes on as the far end reads; a
// hang-up is seen.
#include "romwright/serial/termios_device.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace romwright {
namespace {

TEST(TermiosDevice, LongWritesWaitForRoomAndAHangUpIsSeen) {
    const int far = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(far, 0);
    ASSERT_EQ(::grantpt(far) | ::unlockpt(far), 0);
    std::string problem;
    auto device = open_termios_device(::ptsname(far), 57600, problem);
    ASSERT_NE(device, nullptr) << problem;
    std::atomic<bool> written = false;
    std::thread reader([&] {  // drains the far end until the write has returned
        std::vector<char> sink(4096);
        for (pollfd p{far, POLLIN, 0}; !written || ::poll(&p, 1, 0) > 0;) {
            if (::poll(&p, 1, 10) > 0) ::read(far, sink.data(), sink.size());
        }
    });
    const std::vector<uint8_t> bytes(65536, 0x5A);
    EXPECT_EQ(device->write(bytes.data(), bytes.size()), bytes.size());
    written = true;
    reader.join();

    ::close(far);
    uint8_t buffer[4];
    EXPECT_EQ(device->read(buffer, sizeof buffer), 0u);
    EXPECT_TRUE(device->lost());
    EXPECT_EQ(device->write(bytes.data(), 1), 0u);
}

}  // namespace
}  // namespace romwright

namespace romwright {
namespace {

// What the driver answers: every call fails with `error` until `failures` calls
// have failed, then one byte goes through.
int error = 0;
int failures = 0;
int calls = 0;
ssize_t answer() {
    if (++calls > failures) return 1;
    errno = error;
    return -1;
}

// Each error a driver returns: tried again, the device gone, or the transfer given up.
TEST(TermiosDevice, EachReadAndWriteErrorIsTakenForWhatItMeans) {
    enum class Taken { Retried, Lost, GivenUp };
    const std::pair<int, Taken> cases[] = {{EAGAIN, Taken::Retried}, {EINTR, Taken::Retried},
                                           {EIO, Taken::Lost},       {ENXIO, Taken::Lost},
                                           {ENODEV, Taken::Lost},    {EPIPE, Taken::Lost},
                                           {EBADF, Taken::GivenUp},  {EINVAL, Taken::GivenUp}};
    for (const bool reading : {true, false}) {
        for (const auto& [errorNumber, taken] : cases) {
            int ends[2];
            ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, ends), 0);
            ASSERT_EQ(::write(ends[1], "x", 1), 1);  // the descriptor polls readable
            auto device =
                termios_device_over(ends[0], {[](int, void*, size_t) { return answer(); },
                                              [](int, const void*, size_t) { return answer(); }});
            device->set_timeout(200);
            error = errorNumber;
            failures = 2;
            calls = 0;
            uint8_t byte = 0;
            const size_t moved = reading ? device->read(&byte, 1) : device->write(&byte, 1);
            const Taken seen = device->lost() ? Taken::Lost
                               : moved == 1   ? Taken::Retried
                                              : Taken::GivenUp;
            EXPECT_EQ(seen, taken) << (reading ? "read " : "write ") << std::strerror(errorNumber);
            EXPECT_EQ(calls, taken == Taken::Retried ? 3 : 1) << std::strerror(errorNumber);
            device.reset();
            ::close(ends[1]);
        }
    }
}

}  // namespace
}  // namespace romwright
