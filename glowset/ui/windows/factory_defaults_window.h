// "Setup Factory Defaults": asks before the sign's whole set-up is replaced
// by its factory settings. "Yes" sends the reset on the main window's port
// and leaves the read-back to the main window.
#pragma once

#include "glowset/ui/main_window/main_window_hooks.h"
#include "glowset/ui/platform/platform.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace glowset {

class GlowsetMain;

class Warning : public QDialog {
  public:
    Warning(GlowsetMain& main, QWidget* parent = nullptr);
    void Yes_Click();
    void No_Click();

    QLabel* Label1;
    QPushButton *Yes, *No;

  private:
    GlowsetMain& main_;
};

// The hooks that open the secondary windows over the main window, which
// `main` points to once it is made.
void addSecondaryWindows(MainWindowHooks& hooks, Platform& platform, GlowsetMain* const& main);

}  // namespace glowset
