// What a person would see wrong in a window at the font in use: a caption its
// control cuts off, two visible controls on top of each other, a control
// outside its window; and controls that take input but have no spoken name.
#pragma once

#include <QString>
#include <QWidget>

#include <string>
#include <vector>

namespace testsupport {

// The font the layout is checked at: a stock desktop's, larger than Qt's own
// default. scripts/setup installs it (fonts-dejavu-core).
inline constexpr const char* kDesktopFontFamily = "DejaVu Sans";
inline constexpr int kDesktopFontPoints = 11;

// One line per fault; empty when none. Controls named in mayLieOutside may
// lie outside their window.
std::vector<std::string> layoutFaults(const QWidget& window,
                                      const std::vector<QString>& mayLieOutside = {});

// Controls that take input but have no object name, or no spoken name.
std::vector<std::string> unnamedInputControls(const QWidget& window);

}  // namespace testsupport
