// The signsim program on its pseudo-terminal, driven like a serial port.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace {

class SignsimProgram : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("signsim-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        link_ = (dir_ / "sign").string();
        log_ = (dir_ / "log").string();
    }
    void TearDown() override {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        std::filesystem::remove_all(dir_);
    }

    void start(std::vector<std::string> args) {
        pid_ = ::fork();
        ASSERT_GE(pid_, 0);
        if (pid_ == 0) {
            const int out = ::open(log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(out, 1);
            ::dup2(out, 2);
            std::vector<char*> argv{const_cast<char*>(SIGNSIM_PROGRAM)};
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(SIGNSIM_PROGRAM, argv.data());
            ::_exit(127);
        }
        // Waits (bounded) for the program to create its link.
        for (int i = 0; i < 500 && !std::filesystem::is_symlink(link_); ++i) ::usleep(10000);
        ASSERT_TRUE(std::filesystem::is_symlink(link_));
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
    std::string link_, log_;
    pid_t pid_ = -1;
};

TEST_F(SignsimProgram, AnswersDownloadAllAndStopsCleanlyOnInterrupt) {
    start({"--model", "TB330", "--firmware", "4.1", "--link", link_, "--quiet"});
    const int fd = openDevice();
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "DOWNLOAD_ALL\r", 13), 13);
    const std::string reply = readLine(fd);
    EXPECT_EQ(reply.rfind("TB330,4.1:69,65,65,", 0), 0u) << reply;
    ASSERT_EQ(::write(fd, "<UC>hello\r", 10), 10);
    EXPECT_EQ(readLine(fd), "user cmd");
    ::close(fd);

    ::kill(pid_, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(pid_, &status, 0), pid_);
    pid_ = -1;
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(link_));  // the link is removed on exit
}

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
}

TEST_F(SignsimProgram, RefusesBadOptions) {
    const std::string command = std::string(SIGNSIM_PROGRAM) + " --model 'A:B' >/dev/null 2>&1";
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 2);
    const std::string unknown = std::string(SIGNSIM_PROGRAM) + " --bogus >/dev/null 2>&1";
    EXPECT_EQ(WEXITSTATUS(std::system(unknown.c_str())), 2);
}

}  // namespace
