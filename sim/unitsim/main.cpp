// unitsim: a simulated sign controller on a pseudo-terminal.
#include "sim/common/pseudo_terminal.h"
#include "sim/unitsim/rom_file.h"
#include "sim/unitsim/unit.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

namespace {

std::atomic<bool> stopRequested{false};
void onSignal(int) {
    stopRequested = true;
}

void usage(std::FILE* to) {
    std::fprintf(
        to,
        "usage: unitsim [--protocol m16c|native] [--pace] [--load FILE] [--dump FILE]\n"
        "               [--fault NAME]... [--link PATH] [--quiet] [--cooked]\n"
        "       unitsim [--protocol m16c|native] --make-rom FILE\n"
        "  --protocol   the loader the unit runs (default native)\n"
        "  --pace       answer at the real line rate (9600 or 57600 baud)\n"
        "  --load FILE  flash contents at start (up to 1 MB; the rest stays 0xFF)\n"
        "  --dump FILE  flash contents written at exit\n"
        "  --fault      refuse-page=N, silent, garbage, drop-second-reply, short-read,\n"
        "               refuse-erase, silent-after-connect (native), corrupt-page=N (one wrong\n"
        "               byte in the n-th page written), vanish-after=N (the line\n"
        "               closes after n pages, as a pulled cable)\n"
        "  --link PATH  also make PATH a symbolic link to the device\n"
        "  --quiet      no log of erases and writes\n"
        "  --cooked     leave the line as a terminal (echo, CR/LF, XON/XOFF):\n"
        "               only a host that sets its port up gets clean bytes\n"
        "  --make-rom   write a firmware image for the unit's loader to FILE and\n"
        "               stop: pages of bytes a serial line likes to mangle\n"
        "The native loader is entered with the handshakes (a pseudo-terminal\n"
        "cannot carry a break), so flash with \"Don't use break\" or \"Chain load\".\n");
}

bool parseFault(const std::string& text, unitsim::Faults& faults) {
    if (text.rfind("refuse-page=", 0) == 0) {
        const int n = std::atoi(text.c_str() + 12);
        if (n < 1) return false;
        faults.refusePage = n;
    } else if (text == "silent") {
        faults.silent = true;
    } else if (text == "garbage") {
        faults.garbage = true;
    } else if (text == "drop-second-reply") {
        faults.dropSecondWriteReply = true;
    } else if (text == "short-read") {
        faults.shortRead = true;
    } else if (text == "refuse-erase") {
        faults.refuseErase = true;
    } else if (text == "silent-after-connect") {
        faults.silentAfterConnect = true;
    } else if (text.rfind("corrupt-page=", 0) == 0) {
        const int n = std::atoi(text.c_str() + 13);
        if (n < 1) return false;
        faults.corruptPage = n;
    } else if (text.rfind("vanish-after=", 0) == 0) {
        const int n = std::atoi(text.c_str() + 13);
        if (n < 0) return false;
        faults.vanishAfter = n;
    } else {
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    unitsim::Protocol protocol = unitsim::Protocol::Native;
    unitsim::Faults faults;
    std::string load, dump, link, makeRom;
    bool pace = false, quiet = false, cooked = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "unitsim: %s needs a value\n", arg.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--protocol") {
            const std::string name = value();
            if (name == "m16c") {
                protocol = unitsim::Protocol::M16c;
            } else if (name == "native") {
                protocol = unitsim::Protocol::Native;
            } else {
                std::fprintf(stderr, "unitsim: unknown protocol %s (m16c or native)\n",
                             name.c_str());
                return 2;
            }
        } else if (arg == "--pace") {
            pace = true;
        } else if (arg == "--load") {
            load = value();
        } else if (arg == "--dump") {
            dump = value();
        } else if (arg == "--fault") {
            const std::string name = value();
            if (!parseFault(name, faults)) {
                std::fprintf(stderr, "unitsim: unknown fault %s\n", name.c_str());
                return 2;
            }
        } else if (arg == "--make-rom") {
            makeRom = value();
        } else if (arg == "--link") {
            link = value();
        } else if (arg == "--cooked") {
            cooked = true;
        } else if (arg == "--quiet") {
            quiet = true;
        } else if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else {
            std::fprintf(stderr, "unitsim: unknown option %s\n", arg.c_str());
            usage(stderr);
            return 2;
        }
    }

    if (!makeRom.empty()) {
        const unitsim::RomFile rom = unitsim::sampleRom(protocol);
        std::string error;
        if (!unitsim::writeRomFile(rom, makeRom, error)) {
            std::fprintf(stderr, "unitsim: %s\n", error.c_str());
            return 1;
        }
        std::printf("unitsim: wrote %s: %zu pages for the %s loader\n", makeRom.c_str(),
                    rom.pages.size(), protocol == unitsim::Protocol::M16c ? "M16C boot" : "native");
        return 0;
    }
    unitsim::Unit unit(protocol, faults);
    if (!load.empty()) {
        std::ifstream in(load, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "unitsim: cannot read %s\n", load.c_str());
            return 1;
        }
        in.read(reinterpret_cast<char*>(unit.flash().data()), unitsim::kFlashSize);
    }
    sim::PseudoTerminal terminal;
    if (!terminal.open(cooked) || (!link.empty() && !terminal.makeLink(link))) {
        std::fprintf(stderr, "unitsim: %s\n", terminal.error().c_str());
        return 1;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGHUP, onSignal);
    std::printf("unitsim: %s loader on %s\nCOM1=%s\n",
                protocol == unitsim::Protocol::M16c ? "M16C boot" : "native",
                terminal.devicePath().c_str(), terminal.devicePath().c_str());
    if (!link.empty())
        std::printf("unitsim: %s -> %s\n", link.c_str(), terminal.devicePath().c_str());
    std::fflush(stdout);

    using Clock = std::chrono::steady_clock;
    Clock::time_point lineFree = Clock::now();
    int written = unit.pagesWritten(), erased = unit.blocksErased();
    while (!stopRequested && !(faults.vanishAfter && unit.pagesWritten() >= *faults.vanishAfter)) {
        const std::string bytes = terminal.read(100);
        if (bytes.empty()) continue;
        const int baud = protocol == unitsim::Protocol::M16c && !unit.inLoader() ? 9600 : 57600;
        const auto byteTime = std::chrono::nanoseconds(10'000'000'000LL / baud);  // 10 bits a byte
        if (pace) {
            // The bytes took their time on the line before the unit had them.
            lineFree = std::max(lineFree, Clock::now()) + byteTime * bytes.size();
            std::this_thread::sleep_until(lineFree);
        }
        // Bytes sent at another speed than the unit listens at are noise to it.
        unit.hostBaud(terminal.lineBaud());
        const std::vector<uint8_t> answer =
            unit.receive(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        if (!answer.empty()) {
            if (pace) {
                lineFree += byteTime * answer.size();
                std::this_thread::sleep_until(lineFree);
            }
            terminal.write(std::string(answer.begin(), answer.end()));
        }
        if (!quiet && (unit.pagesWritten() != written || unit.blocksErased() != erased)) {
            if (unit.blocksErased() != erased)
                std::printf("erased block at %05X\n", unit.eraseLog().back());
            written = unit.pagesWritten();
            erased = unit.blocksErased();
            if (written % 256 == 0 && written > 0) std::printf("%d pages written\n", written);
            std::fflush(stdout);
        }
    }
    if (!stopRequested) {
        terminal.close();
        std::printf("unitsim: line closed after %d pages\n", unit.pagesWritten());
    }
    if (!dump.empty()) {
        std::ofstream out(dump, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(unit.flash().data()), unitsim::kFlashSize);
        if (!out) {
            std::fprintf(stderr, "unitsim: cannot write %s\n", dump.c_str());
            return 1;
        }
    }
    std::printf("unitsim: stopped after %d page writes and %d block erases\n", unit.pagesWritten(),
                unit.blocksErased());
    return 0;
}
