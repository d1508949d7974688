// signsim: a simulated LED sign on a pseudo-terminal.
#include "sim/common/pseudo_terminal.h"
#include "sim/signsim/sign.h"
#include "sim/signsim/terminal_view.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
        "usage: signsim [--model NAME] [--firmware COUNT] [--echo] [--link PATH] [--quiet]\n"
        "               [--pace] [--vanish-after N]\n"
        "  --model NAME      model name the sign reports (default MQ3000;\n"
        "                    KL404, RV2210 and TB330 behave like those signs)\n"
        "  --firmware COUNT  firmware count to report (none when omitted)\n"
        "  --echo            start the settings line with DOWNLOAD_ALL\n"
        "  --link PATH       also make PATH a symbolic link to the device\n"
        "  --quiet           log traffic only, do not draw the display\n"
        "  --pace            send replies at the line rate of 9600 baud\n"
        "  --vanish-after N  close the line after the N-th command, as a pulled cable\n");
}

}  // namespace

int main(int argc, char** argv) {
    signsim::SignOptions options;
    std::string link;
    bool quiet = false, pace = false;
    int vanishAfter = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](const char* name) -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "signsim: %s needs a value\n", name);
                usage(stderr);
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--model") {
            options.model = value("--model");
            if (options.model.empty() || options.model.find_first_of(":,") != std::string::npos) {
                std::fprintf(
                    stderr, "signsim: a model name must be non-empty and hold no \":\" or \",\"\n");
                return 2;
            }
        } else if (arg == "--firmware") {
            options.firmware = value("--firmware");
            if (options.firmware->find_first_of(":,") != std::string::npos) {
                std::fprintf(stderr, "signsim: a firmware count must hold no \":\" or \",\"\n");
                return 2;
            }
        } else if (arg == "--echo") {
            options.echoDownload = true;
        } else if (arg == "--link") {
            link = value("--link");
        } else if (arg == "--quiet") {
            quiet = true;
        } else if (arg == "--pace") {
            pace = true;
        } else if (arg == "--vanish-after") {
            vanishAfter = std::atoi(value("--vanish-after").c_str());
            if (vanishAfter < 1) {
                std::fprintf(stderr, "signsim: --vanish-after takes a number from 1 up\n");
                return 2;
            }
        } else if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else {
            std::fprintf(stderr, "signsim: unknown option %s\n", arg.c_str());
            usage(stderr);
            return 2;
        }
    }

    sim::PseudoTerminal terminal;
    if (!terminal.open()) {
        std::fprintf(stderr, "signsim: %s\n", terminal.error().c_str());
        return 1;
    }
    if (!link.empty() && !terminal.makeLink(link)) {
        std::fprintf(stderr, "signsim: %s\n", terminal.error().c_str());
        return 1;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGHUP, onSignal);

    signsim::Sign sign(options);
    int commands = 0;
    sign.onCommand = [&commands, &sign](std::string_view command,
                                        const std::vector<std::string>& replies) {
        ++commands;
        std::printf("<- %s\n", signsim::escapeBytes(command).c_str());
        for (const std::string& reply : replies) {
            std::printf("-> %s\n", signsim::escapeBytes(reply).c_str());
        }
        // How far the clock just set is from the computer's, for a check of
        // many signs set at once.
        if (command.ends_with(">SET TIME") && replies == std::vector<std::string>{"done"}) {
            std::printf("signsim: clock set, %lld s from the computer's\n",
                        sign.state().clockOffsetSeconds);
        }
    };
    std::printf("signsim: sign \"%s\"%s%s on %s\n", options.model.c_str(),
                options.firmware ? ", firmware count " : "",
                options.firmware ? options.firmware->c_str() : "", terminal.devicePath().c_str());
    std::printf("COM3=%s\n", terminal.devicePath().c_str());
    if (!link.empty())
        std::printf("signsim: %s -> %s\n", link.c_str(), terminal.devicePath().c_str());
    std::printf("signsim: Ctrl-C ends the simulation\n");
    std::fflush(stdout);

    signsim::ShownMessage lastShown = sign.display();
    while (!stopRequested) {
        const std::string bytes = terminal.read(100);
        if (bytes.empty()) continue;
        if (const int baud = terminal.lineBaud(); baud != 0 && baud != 9600) {
            // The sign listens at 9600 baud: at any other speed it hears noise.
            std::printf("signsim: %zu bytes sent at %s; the sign only hears 9600 baud\n",
                        bytes.size(), baud < 0 ? "an odd speed" : std::to_string(baud).c_str());
            std::fflush(stdout);
            continue;
        }
        const std::string reply = sign.receive(bytes);
        if (vanishAfter > 0 && commands >= vanishAfter) {
            terminal.close();
            std::printf("signsim: the line is gone after %d commands\n", commands);
            std::fflush(stdout);
            break;
        }
        if (pace) {
            // 10 bits a character at 9600 baud: a 300-character line takes 312 ms.
            auto due = std::chrono::steady_clock::now();
            for (char c : reply) {
                due += std::chrono::microseconds(1042);
                std::this_thread::sleep_until(due);
                terminal.write(std::string(1, c));
            }
        } else if (!reply.empty() && !terminal.write(reply)) {
            std::printf("signsim: could not send the reply\n");
        }
        const signsim::ShownMessage shown = sign.display();
        if (!quiet && (shown.what != lastShown.what || shown.segments != lastShown.segments)) {
            std::fputs(signsim::renderDisplay(shown).c_str(), stdout);
            lastShown = shown;
        }
        std::fflush(stdout);
    }
    std::printf("signsim: stopped\n");
    return 0;
}
