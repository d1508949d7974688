// The termios device on a pseudo-terminal: a long write goes on as the far end reads; a
// hang-up is seen.
#include "romwright/serial/termios_device.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
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
