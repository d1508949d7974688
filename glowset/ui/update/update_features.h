// The version check at the end of the port search, the new-version
// download, the firmware notice, the about window and the flasher start,
// attached to the main window.
#pragma once

#include "glowset/ui/main_window/main_window_hooks.h"
#include "glowset/ui/platform/platform.h"

#include <memory>

namespace glowset {

class GlowsetMain;
class LEDNewVersionDownload;

struct UpdateFeatures {
    // How the new-version window is shown; by default modally. Tests look at
    // it instead.
    std::function<void(LEDNewVersionDownload&)> showNewVersionWindow;
    std::unique_ptr<WebPage> WebBrowser1;
    std::unique_ptr<Launcher> launcher;
    // The longest wait for the downloads page.
    int pageTimeoutMs = 15000;
    // The port search has started the load the version check reads.
    bool pageLoadStarted = false;
};

// Fills the main window's hooks for these features; `main` points to the
// window once it is made. The returned object must live as long as the window.
std::unique_ptr<UpdateFeatures> addUpdateFeatures(MainWindowHooks& hooks, Platform& platform,
                                                  GlowsetMain* const& main);

// The flasher's path: the program folder and the flasher's file name.
QString flasherPath(const QString& programFolder);

}  // namespace glowset
