// The lines an upload sends for a wanted set-up, in the order it sends them:
// each marked record, the id mode, the user command, then each marked link
// (an optional clear line and a set line).
#pragma once

#include "glowset/core/session/sign_copy.h"

#include <array>
#include <string>
#include <vector>

namespace glowset {

// The record of each priority, the id mode and the user command, terminated.
std::array<std::string, 7> uploadCommands(const WindowSettings& wanted);

// A link's lines, terminated: clear then set, or a clear alone when its
// capcodes are no number.
std::vector<std::string> linkLines(int id, const std::string& capcodes, int priority);

// Every line an upload of the marked items would send, links as their boxes
// stand now.
std::vector<std::string> plannedUpload(const WindowSettings& wanted, const ChangeFlags& marked);

}  // namespace glowset
