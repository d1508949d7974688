// What a window shows, every named control's state sorted by name (no geometry), against
// a reviewed copy under tests/golden. MARQUELLE_UPDATE_GOLDEN=1 writes the copies instead.
#pragma once

#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// Controls left out (a clock) and texts swapped for stable words (a scratch folder).
struct Unstable {
    std::vector<QString> leaveOut;
    std::vector<std::pair<QString, QString>> replace;
};

// The window's named controls, one line each.
std::string describeControls(const QWidget& window, const Unstable& unstable = {});

// Compares the window with tests/golden/<name>.txt; fails, writing nothing, while a
// control that takes input has no object name or no spoken name.
::testing::AssertionResult showsAsRecorded(const QWidget& window, const std::string& name,
                                           const Unstable& unstable = {});

}  // namespace testsupport
