// The simulated sign: its line framing, and the signsim program
// on its pseudo-terminal, driven like a serial port.
#include "sim/signsim/sign.h"

#include <poll.h>
#include <termios.h>

#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/files.h"

namespace signsim {
namespace {

TEST(Sign, FramingOnTheLine) {
    Sign sign({"XY12", {}}, [] { return std::time_t(1700000000); });
    // Two commands in one write, one split over two writes, LF ignored.
    EXPECT_EQ(sign.receive("<id=auto>\r<id=us"), "Auto ID\n");
    EXPECT_EQ(sign.receive("er>\r\n"), "User ID\n");
    // The idle switches come without a terminator.
    EXPECT_EQ(sign.receive("<TIME>IDLE ON"), "done\n");
    EXPECT_TRUE(sign.state().idle.on);
    EXPECT_EQ(sign.receive("TIME_STATUS\r"), "TIME:STATUS:1\n");
    // An endless line without CR is dropped instead of growing.
    EXPECT_EQ(sign.receive(std::string(5000, 'x')), "error\n");
    EXPECT_EQ(sign.receive("\r"), "");
}

class SignsimProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = testsupport::scratchFolder("signsim-test");
        link_ = (dir_ / "sign").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    void start(std::vector<std::string> args) {
        args.insert(args.begin(), SIGNSIM_PROGRAM);
        sign_.start(args);
        ASSERT_TRUE(testsupport::waitForPath(link_));
    }

    int openDevice() {
        const int fd = ::open(link_.c_str(), O_RDWR | O_NOCTTY);
        termios t{};
        ::tcgetattr(fd, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
        return fd;
    }

    // Reads up to the first LF, waiting at most a few seconds in all.
    std::string readLine(int fd) {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char c;
            if (::read(fd, &c, 1) != 1) break;
            if (c == '\n') return line;
            line += c;
        }
        return line + "<timed out>";
    }

    std::filesystem::path dir_;
    std::string link_;
    testsupport::ChildProcess sign_;
};

TEST_F(SignsimProgram, RepliesAfterTheDeviceWasClosedAreNotReadByTheNextOpen) {
    start({"--link", link_, "--quiet"});
    int fd = openDevice();
    ASSERT_EQ(::write(fd, "<id=auto>\r", 10), 10);
    ::close(fd);  // closed before reading the reply
    ::usleep(300000);
    fd = openDevice();
    ASSERT_EQ(::write(fd, "<id=user>\r", 10), 10);
    EXPECT_EQ(readLine(fd), "User ID");
    ::close(fd);
    EXPECT_EQ(sign_.stop(SIGINT), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(link_));  // the link is removed on exit
}

}  // namespace
}  // namespace signsim
