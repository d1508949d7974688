// Flashing an image end to end into the unitsim program on a
// pseudo-terminal, through the termios port layer.
//
//   flash_bench [--pages N] [--paced-only | --unpaced-only | --ser2net]
//
// Without pacing the unit answers at once, so the time per page is the
// flasher's own overhead. With pacing the unit takes the line time of every
// byte at 57600 baud, so the run cannot be faster than the line-time bound
// of the bytes exchanged; the ratio says how close to it the flasher gets.
// --ser2net runs the paced flash through a ser2net in front of the unit, as
// an rfc2217:// port.
#include "romwright/run/program_unit.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <set>
#include <signal.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string writeImage(const std::string& path, int pages, std::set<size_t>& blocks) {
    std::ofstream out(path, std::ios::binary);
    const std::string header = std::string("Orvantis Signals Company ROMFile v100") + '\0' +
                               "Bench" + '\0' + "image" + '\0' + '\1';
    out.write(header.data(), static_cast<long>(header.size()));
    std::vector<char> record(268, 0);
    for (int page = 0; page < pages; ++page) {
        const uint32_t address = static_cast<uint32_t>(page) * 256;
        record[0] = 2;
        for (int i = 0; i < 4; ++i) record[4 + i] = static_cast<char>(address >> (8 * i));
        for (int i = 0; i < 256; ++i) record[10 + i] = static_cast<char>(page + i);
        out.write(record.data(), static_cast<long>(record.size()));
        if (const auto block = romwright::flash_block_index(address)) blocks.insert(*block);
    }
    return path;
}

pid_t startProgram(const std::vector<std::string>& args) {
    std::fflush(stdout);
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

// ser2net in front of the device, without its per-character delay; the
// port name to flash through.
std::string startSer2net(const std::string& device, pid_t& pid) {
    const int port = freePort();
    const std::string config =
        (std::filesystem::temp_directory_path() / "flash-bench-ser2net.yaml").string();
    std::ofstream(config) << "%YAML 1.1\n---\nconnection: &bench\n  accepter: "
                          << "telnet(rfc2217),tcp,127.0.0.1," << port << "\n  connector: serialdev,"
                          << device << ",57600n81,local\n  options:\n    chardelay: false\n";
    pid = startProgram({"/usr/sbin/ser2net", "-n", "-c", config, "-P", config + ".pid"});
    ::usleep(500000);  // listening by then
    return "rfc2217://127.0.0.1:" + std::to_string(port);
}

// Runs one flash against a fresh unit; returns seconds.
double flashOnce(const std::string& unitsim, const std::string& image, bool paced,
                 bool throughServer = false) {
    const std::string link = (std::filesystem::temp_directory_path() / "flash-bench-unit").string();
    std::filesystem::remove(link);
    std::vector<std::string> args = {unitsim, "--link", link, "--quiet"};
    if (paced) args.push_back("--pace");
    const pid_t pid = startProgram(args);
    for (int i = 0; i < 500 && !std::filesystem::is_symlink(link); ++i) ::usleep(10000);
    ::setenv("COM1", link.c_str(), 1);
    pid_t server = 0;
    const std::string port = throughServer ? startSer2net(link, server) : "COM1";
    const auto start = std::chrono::steady_clock::now();
    const romwright::RunResult result =
        romwright::program_unit(port, image, romwright::kNoBreak, 0, 0, {});
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const pid_t child : {server, pid}) {
        if (child <= 0) continue;
        ::kill(child, SIGINT);
        ::waitpid(child, nullptr, 0);
    }
    if (result != romwright::kSuccess) {
        std::fprintf(stderr, "flash_bench: the run ended with %d\n", result);
        std::exit(1);
    }
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    int pages = 4096;
    bool paced = true, unpaced = true, throughServer = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--pages") && i + 1 < argc) {
            pages = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--paced-only")) {
            unpaced = false;
        } else if (!std::strcmp(argv[i], "--unpaced-only")) {
            paced = false;
        } else if (!std::strcmp(argv[i], "--ser2net")) {
            throughServer = true;
            unpaced = false;
        }
    }
    if (pages < 1 || pages > 4096) {
        std::fprintf(stderr, "flash_bench: --pages takes 1 to 4096\n");
        return 2;
    }
    const std::string unitsim = UNITSIM_PROGRAM;
    std::set<size_t> blocks;
    const std::string image = writeImage(
        (std::filesystem::temp_directory_path() / "flash-bench.rom").string(), pages, blocks);
    std::printf("image: %d pages, %zu block erases\n", pages, blocks.size());
    if (unpaced) {
        const double seconds = flashOnce(unitsim, image, false);
        std::printf("unpaced: %.3f s, %.3f ms of host overhead per page\n", seconds,
                    seconds * 1000 / pages);
    }
    if (paced) {
        // Bytes on the line: the handshake and its answer, per block an erase
        // frame and its answer, per page a write frame, the data and two
        // answers, and the finish frame.
        const double bytes = 2 + 7.0 * static_cast<double>(blocks.size()) + 264.0 * pages + 6;
        const double bound = bytes * 10 / 57600;
        const double seconds = flashOnce(unitsim, image, true, throughServer);
        std::printf(
            "paced at 57600 baud%s: %.2f s against a line-time bound of %.2f s: ratio %.4f\n",
            throughServer ? " through ser2net" : "", seconds, bound, seconds / bound);
    }
    return 0;
}
