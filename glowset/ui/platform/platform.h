// Everything a window needs from the machine, handed in so that tests can
// replace each part: the clock, serial ports, dialogs and the port names.
#pragma once

#include "glowset/core/platform/clock.h"
#include "glowset/core/platform/serial_port.h"
#include "glowset/ui/platform/dialogs.h"
#include "glowset/ui/platform/web.h"

#include <functional>
#include <memory>

namespace glowset {

struct Platform {
    Clock& clock;
    Dialogs& dialogs;
    // A new serial port object; each window owns its own.
    std::function<std::unique_ptr<SerialPort>()> makeSerialPort;
    PortEnvironment ports;
    // The web and other programs, for the version check and the flasher start.
    std::function<std::unique_ptr<WebPage>()> makeWebPage = makeQtWebPage;
    std::function<std::unique_ptr<Downloader>()> makeDownloader = [] { return makeQtDownloader(); };
    std::function<std::unique_ptr<Launcher>()> makeLauncher = makeQtLauncher;
    std::function<QString()> desktop = desktopFolder;
    std::function<QString()> appFolder = programFolder;
};

}  // namespace glowset
