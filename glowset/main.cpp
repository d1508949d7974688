// glowset: the sign configuration program.
#include <QApplication>

#include "glowset/link/glowset_main.h"
#include "glowset/platform/qt_clock.h"
#include "glowset/platform/qt_serial_port.h"
#include "glowset/update/update_features.h"
#include "glowset/windows/factory_defaults_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Marquelle");
    glowset::QtClock clock;
    glowset::QtDialogs dialogs;
    glowset::Platform platform{clock, dialogs,
                               [] { return std::make_unique<glowset::QtSerialPort>(); },
                               glowset::systemPortEnvironment()};
    glowset::GlowsetMain window(platform);
    glowset::installSecondaryWindows(window, platform);
    const auto updates = glowset::installUpdateFeatures(window, platform);
    window.show();
    return app.exec();
}
