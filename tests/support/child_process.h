// The project's programs started from tests, output to a file. Wait limits only keep a
// hang from stalling the suite; no test asserts how long anything took.
#pragma once

#include "tests/support/files.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace testsupport {

// Polls every 10 ms until the condition holds or the limit passes.
inline bool pollUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    for (auto waited = std::chrono::milliseconds(0); waited < limit;
         waited += std::chrono::milliseconds(10)) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() { stop(SIGKILL); }

    // Starts args[0] with the arguments and the "NAME=value" entries of
    // `environment` added; output goes to `output` ("" = nowhere).
    void start(const std::vector<std::string>& args,
               const std::vector<std::string>& environment = {}, const std::string& output = {}) {
        std::vector<char*> argv, envp;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        for (char** e = environ; *e; ++e) envp.push_back(*e);
        for (const auto& e : environment) envp.insert(envp.begin(), const_cast<char*>(e.c_str()));
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        const char* sink = output.empty() ? "/dev/null" : output.c_str();
        posix_spawn_file_actions_addopen(&files, 1, sink, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&files, 1, 2);
        if (posix_spawn(&pid_, argv[0], &files, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&files);
    }
    // Sends a signal and waits for the end: the exit code, or -1 after a
    // signal (-2 when it is still running at the limit).
    int stop(int signal = SIGINT, std::chrono::milliseconds limit = std::chrono::hours(1)) {
        if (pid_ > 0) ::kill(pid_, signal);
        return wait(limit);
    }
    // Waits for the end; with a limit, a child still running then is killed
    // and -2 returned.
    int wait(std::chrono::milliseconds limit = std::chrono::hours(1)) {
        if (pid_ <= 0) return -1;
        int status = 0;
        if (!pollUntil([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, limit)) {
            stop(SIGKILL);
            return -2;
        }
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    pid_t pid_ = -1;
};

inline bool waitForText(const std::string& path, const std::string& text) {
    return pollUntil([&] { return fileText(path).find(text) != std::string::npos; },
                     std::chrono::seconds(30));
}

// A simulator's link appears once its device is ready.
inline bool waitForPath(const std::string& path) {
    return pollUntil([&] { return std::filesystem::exists(std::filesystem::symlink_status(path)); },
                     std::chrono::seconds(5));
}

}  // namespace testsupport
