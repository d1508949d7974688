// How signsim shows its traffic and its display in a terminal.
#pragma once

#include "sim/signsim/sign.h"

#include <string>
#include <string_view>

namespace signsim {

// A line of traffic made readable: printable ASCII as it is, CR and LF as
// \r and \n, every other byte as \xHH.
std::string escapeBytes(std::string_view bytes);

// The sign's display as a framed panel, each segment in its colour (24-bit
// ANSI colours), 8-bit text converted to UTF-8.
std::string renderDisplay(const ShownMessage& shown);

}  // namespace signsim
