// romwright: writes firmware images into a sign controller's flash.
#include "romwright/app/console_run.h"
#include "romwright/app/flasher_window.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// SIGTERM or SIGINT (a script's time-out, Ctrl-C) closes the window like its
// close box: the run is stopped, the port closed, the exit code returned.
std::atomic<bool> terminationRequested{false};
void onTermination(int) {
    terminationRequested = true;
}

// Qt ends the process when it finds no display; say so in our words first.
bool windowPossible(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "-platform")) return true;
    }
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const romwright::ProgramOptions options = romwright::parse_program_options(arguments);
    if (!options.error.empty()) {
        std::fprintf(stderr, "romwright: %s\nTry 'romwright --help'.\n", options.error.c_str());
        return romwright::kExitBadCommandLine;
    }
    if (options.help || options.version) {
        // The help's usage line names the program by this, not by the path
        // it was started from.
        int name_count = 1;
        char name[] = "romwright";
        char* name_only[] = {name, nullptr};
        QCoreApplication app(name_count, name_only);
        QCoreApplication::setApplicationName("romwright");
        if (options.help) {
            std::fputs(romwright::program_help().c_str(), stdout);
        } else {
            std::printf("romwright %s\n", MARQUELLE_VERSION);
        }
        return 0;
    }
    if (options.console) return romwright::run_console(options, stderr);

    if (!windowPossible(argc, argv)) {
        std::fputs("Can't load dialog box!\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Marquelle");
    QApplication::setApplicationName("romwright");
    QGuiApplication::setDesktopFileName("com.orvantis_signals.romwright");
    QApplication::setWindowIcon(QIcon(":/icons/com.orvantis_signals.romwright.png"));
    romwright::FlasherState state;
    romwright::FlasherWindow window(state);
    window.apply_program_options(options);
    window.start_worker();
    window.showNormal();
    std::signal(SIGTERM, onTermination);
    std::signal(SIGINT, onTermination);
    QTimer terminationCheck;
    QObject::connect(&terminationCheck, &QTimer::timeout, [&window] {
        if (terminationRequested) window.close();
    });
    terminationCheck.start(100);
    app.exec();
    window.stop_worker();
    return state.exit_code();
}
