// What the main window asks of the rest of the program: the windows it
// opens and the checks that run at the end of its port search. glowset's
// main() makes them and hands them in when the window is made; a hook that
// is empty does nothing.
#pragma once

#include <functional>

namespace glowset {

struct MainWindowHooks {
    std::function<void()> openDefaultMessageWindow;
    std::function<void()> openTestMessageWindow;
    std::function<void()> openFactoryDefaultsWindow;
    // Starts loading the downloads page while the port search runs.
    std::function<void()> startPageLoad;
    std::function<void()> CheckWebVersion;
    std::function<void()> OfferNewVersion;
    std::function<void()> FCount_Change;
    std::function<void()> signUpgrade_Click;
    std::function<void()> signAbout_Click;
    std::function<void()> Image1_Click;
};

}  // namespace glowset
