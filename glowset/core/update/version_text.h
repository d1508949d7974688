// Reading the newest program version from the texts of the downloads page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace glowset {

// The version number a page text names:
//  - a text holding "VQK9X": drop the first five and the last four characters;
//  - a text holding "Glowset": the second blank-separated piece without its
//    last four characters ("Glowset 4.73.zip" gives 4.73);
//  - otherwise the digits and dots of the text without its last four
//    characters, in order ("glowset-4.80.exe" gives 4.8).
// A piece that is not a number gives 0.
double ParseVersionText(std::string_view text);

}  // namespace glowset
