// glowset: the sign configuration program.
#include "glowset/core/platform/qt_clock.h"
#include "glowset/core/platform/qt_serial_port.h"
#include "glowset/core/session/sign_link.h"
#include "glowset/ui/main_window/glowset_main.h"
#include "glowset/ui/update/update_features.h"
#include "glowset/ui/windows/factory_defaults_window.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

// SIGTERM and SIGINT (a logout, Ctrl-C in the terminal) close the window
// like its close box: the port is closed and the program ends with 0.
std::atomic<bool> terminationRequested{false};
void onTermination(int) {
    terminationRequested = true;
}

const char* const kHelp =
    "Usage: glowset\n"
    "Configures an LED message sign on a serial port. The window searches COM 1 to COM 12\n"
    "for a sign, reads its whole set-up and lets you edit, upload and save it.\n"
    "\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Environment:\n"
    "  COM<n>                 the device of port COM n (for example COM3=/dev/ttyUSB0);\n"
    "                         otherwise each serial device keeps the number it was first\n"
    "                         given (~/.config/Marquelle/ports.conf)\n"
    "  GLOWSET_DOWNLOADS_URL  the downloads page the version check reads\n";

// --help and --version answer without a window (and without a display).
std::optional<int> answerWithoutWindow(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--version")) {
            std::printf("glowset %s\n", MARQUELLE_VERSION);
            return 0;
        }
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto code = answerWithoutWindow(argc, argv)) return *code;
    QApplication app(argc, argv);
    // Settings the program remembers live under one organisation with the
    // flasher's.
    QApplication::setOrganizationName("Marquelle");
    QApplication::setApplicationName("glowset");
    QApplication::setApplicationDisplayName("Marquelle");
    // The desktop matches the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName("com.orvantis_signals.glowset");
    QApplication::setWindowIcon(QIcon(":/icons/com.orvantis_signals.glowset.png"));
    glowset::QtClock clock;
    glowset::QtDialogs dialogs;
    // One owner of the sign's device; each window talks through a view of it.
    glowset::SignLink link(std::make_unique<glowset::QtSerialPort>());
    glowset::Platform platform{clock, dialogs, [&link] { return link.makeView(); },
                               glowset::systemPortEnvironment()};
    // The one place where the windows are wired together: the main window
    // gets the hooks that open the others and run the version check.
    glowset::GlowsetMain* mainWindow = nullptr;
    glowset::MainWindowHooks hooks;
    glowset::addSecondaryWindows(hooks, platform, mainWindow);
    const auto updates = glowset::addUpdateFeatures(hooks, platform, mainWindow);
    glowset::GlowsetMain window(platform, hooks);
    mainWindow = &window;
    std::signal(SIGTERM, onTermination);
    std::signal(SIGINT, onTermination);
    QTimer terminationCheck;
    QObject::connect(&terminationCheck, &QTimer::timeout, [&window] {
        if (!terminationRequested) return;
        terminationRequested = false;
        // A modal window open on top goes first, as the close box would
        // need it to.
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        window.close();
    });
    terminationCheck.start(100);
    window.show();
    app.exec();
    return 0;
}
