// The elements of a web page in document order, each as the text of the
// element and all its descendants: what the version check searches.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace glowset {

// Parses any bytes as HTML (broken markup is repaired as browsers do);
// element 0 is the root element. An empty page has no elements.
std::vector<std::string> htmlElementTexts(std::string_view html);

}  // namespace glowset
