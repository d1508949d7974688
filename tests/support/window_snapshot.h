// What a window shows, control by control, compared with a reviewed copy
// kept under tests/golden: every named control's state (hidden, disabled,
// text, position, check state, bar value, tool tip), sorted by name, and no
// geometry. One comparison catches a control left enabled, shown or unset
// anywhere on the window, which single checks of chosen controls miss.
//
// MARQUELLE_UPDATE_GOLDEN=1 writes the copies instead of comparing; review
// the difference before committing it.
#pragma once

#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// Texts that differ between runs: controls left out (a clock), and texts
// swapped for stable words (a scratch folder).
struct Unstable {
    std::vector<QString> leaveOut;
    std::vector<std::pair<QString, QString>> replace;
};

// The window's named controls, one line each.
std::string describeControls(const QWidget& window, const Unstable& unstable = {});

// Compares the window with tests/golden/<name>.txt.
::testing::AssertionResult showsAsRecorded(const QWidget& window, const std::string& name,
                                           const Unstable& unstable = {});

}  // namespace testsupport
