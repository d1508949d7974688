// Starting the project's programs from tests: a child process with its
// arguments and environment, its output sent to a file (or nowhere), and a
// wait for the file or link it makes.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() { kill(SIGKILL); }

    // Starts args[0] with the arguments; "NAME=value" entries of `environment`
    // are added to its environment. Output goes to `output` ("" = nowhere).
    void start(const std::vector<std::string>& args,
               const std::vector<std::string>& environment = {}, const std::string& output = {}) {
        pid_ = ::fork();
        if (pid_ != 0) return;
        const int out = ::open(output.empty() ? "/dev/null" : output.c_str(),
                               O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(out, 2);
        for (const auto& e : environment) ::putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    // Sends a signal and waits for the end; the exit code, or -1 after a signal.
    int stop(int signal = SIGINT) { return kill(signal); }
    // Waits for the end without a signal.
    int wait() {
        if (pid_ <= 0) return -1;
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // Waits at most `limit` for the end; the exit code, -1 after a signal,
    // -2 when it was still running (it is then killed). The limit only
    // keeps a hang from stalling the suite; no test asserts how long it took.
    int wait(std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (pid_ > 0) {
            int status = 0;
            const pid_t done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                kill(SIGKILL);
                return -2;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }
    bool running() const { return pid_ > 0; }

  private:
    int kill(int signal) {
        if (pid_ <= 0) return -1;
        ::kill(pid_, signal);
        return wait();
    }
    pid_t pid_ = -1;
};

// The whole text of a file ("" when it cannot be read).
inline std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Waits (at most half a minute, against a hang) until the file holds the text.
inline bool waitForText(const std::string& path, const std::string& text) {
    for (int i = 0; i < 3000; ++i) {
        if (fileText(path).find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Waits (at most a few seconds) until the path exists, as a simulator's
// link does once its device is ready.
inline bool waitForPath(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
        if (std::filesystem::exists(std::filesystem::symlink_status(path))) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

}  // namespace testsupport
