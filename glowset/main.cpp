// glowset: the sign configuration program.
#include "glowset/link/glowset_main.h"
#include "glowset/link/sign_link.h"
#include "glowset/platform/qt_clock.h"
#include "glowset/platform/qt_serial_port.h"
#include "glowset/update/update_features.h"
#include "glowset/windows/factory_defaults_window.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <atomic>
#include <csignal>

namespace {

// SIGTERM and SIGINT (a logout, Ctrl-C in the terminal) close the window
// like its close box: the port is closed and the program ends with 0.
std::atomic<bool> terminationRequested{false};
void onTermination(int) {
    terminationRequested = true;
}

}  // namespace

int main(int argc, char** argv) {
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
