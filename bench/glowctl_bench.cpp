// One changed item written with glowctl to 1, 4 and 8 signsim signs at
// once, each sign paced at 9600 baud: the time of each run against one
// sign's. Every sign is on its own pseudo-terminal and served by its own
// session, so N signs should take about as long as one. With --server the
// signs are reached through one ser2net, each by its rfc2217:// port.
//
//   glowctl_bench [--signs 1,4,8] [--runs 3] [--server]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

pid_t startSign(const std::string& link) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execl(SIGNSIM_PROGRAM, SIGNSIM_PROGRAM, "--model", "XY12", "--quiet", "--pace", "--link",
                link.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int i = 0; i < 500 && !fs::exists(link); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pid;
}

// Runs glowctl quietly; its exit code.
int glowctl(const std::vector<std::string>& args) {
    std::string command = std::string(GLOWCTL_PROGRAM) + " --quiet";
    for (const auto& a : args) command += " '" + a + "'";
    command += " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// ser2net in front of every sign, RFC 2217 ports from `firstPort` up; its pid.
pid_t startServer(const std::string& folder, const std::vector<std::string>& links, int firstPort) {
    const std::string config = folder + "/ser2net.yaml";
    std::ofstream yaml(config);
    yaml << "%YAML 1.1\n---\n";
    for (size_t i = 0; i < links.size(); ++i) {
        yaml << "connection: &c" << i << "\n  accepter: telnet(rfc2217),tcp,127.0.0.1,"
             << firstPort + static_cast<int>(i) << "\n  connector: serialdev,"
             << fs::canonical(links[i]).string()
             << ",9600n81,local\n  options:\n    chardelay: false\n";
    }
    yaml.close();
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execl("/usr/sbin/ser2net", "ser2net", "-n", "-c", config.c_str(), "-P",
                (config + ".pid").c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    return pid;
}

std::vector<int> numbers(const char* list) {
    std::vector<int> out;
    std::stringstream in(list);
    for (std::string item; std::getline(in, item, ',');) out.push_back(std::atoi(item.c_str()));
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> counts = {1, 4, 8};
    int runs = 3;
    bool server = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--server") == 0) server = true;
        if (i + 1 >= argc) continue;
        if (std::strcmp(argv[i], "--signs") == 0) counts = numbers(argv[i + 1]);
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::atoi(argv[i + 1]);
    }
    char pattern[] = "/tmp/glowctl-bench-XXXXXX";
    const std::string folder = ::mkdtemp(pattern);
    int most = 0;
    for (int n : counts) most = std::max(most, n);
    std::vector<pid_t> signs;
    std::vector<std::string> links;
    for (int i = 0; i < most; ++i) {
        links.push_back(folder + "/sign" + std::to_string(i));
        signs.push_back(startSign(links.back()));
    }
    pid_t serverPid = 0;
    if (server) {
        const int firstPort = 43000 + ::getpid() % 1000 * 10;
        serverPid = startServer(folder, links, firstPort);
        for (size_t i = 0; i < links.size(); ++i)
            links[i] = "rfc2217://127.0.0.1:" + std::to_string(firstPort + static_cast<int>(i));
    }
    // A file that differs from the signs in one item, and its original.
    const std::string original = folder + "/original.led", changed = folder + "/changed.led";
    if (glowctl({"--port", links[0], "read", original}) != 0) {
        std::fprintf(stderr, "glowctl_bench: cannot read the first sign\n");
        return 1;
    }
    std::string text = fileText(original);
    const size_t pri = text.find("Pri2:");
    std::ofstream(changed, std::ios::binary)
        << text.substr(0, pri) << "Pri2:1,0,1,0,0,0,0,12" << text.substr(text.find('\r', pri));

    std::printf("signs  write (read, send one item, read back)   against one sign\n");
    double one = 0;
    for (int n : counts) {
        double best = 1e9;
        for (int run = 0; run < runs; ++run) {
            std::vector<std::string> restore = {}, write = {};
            for (int i = 0; i < n; ++i) {
                restore.insert(restore.end(), {"--port", links[i]});
                write.insert(write.end(), {"--port", links[i]});
            }
            restore.insert(restore.end(), {"write", original});
            write.insert(write.end(), {"write", changed});
            glowctl(restore);
            const auto start = Clock::now();
            const int code = glowctl(write);
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            if (code != 0)
                std::fprintf(stderr, "glowctl_bench: write to %d signs gave %d\n", n, code);
            best = std::min(best, seconds);
        }
        if (n == counts.front()) one = best;
        std::printf("%5d  %6.2f s                                   %.2f\n", n, best, best / one);
    }
    if (serverPid) signs.insert(signs.begin(), serverPid);
    for (pid_t pid : signs) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
    fs::remove_all(folder);
    return 0;
}
