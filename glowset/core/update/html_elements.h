// Finding a text on a web page as a reader sees it: an element's text is the
// text of the element and all its descendants, without the contents of
// scripts and style sheets and without comments, its white space folded.
#pragma once

#include <string>
#include <string_view>

namespace glowset {

// Runs of white space (non-breaking and other Unicode spaces included) as
// one blank, none at the start or the end. UTF-8.
std::string normalizeWhitespace(std::string_view text);

// Parses any bytes as HTML (broken markup is repaired as browsers do) and
// returns the folded text of the last element, in document order and after
// the root element, whose text holds the key in any letter case; "" when
// none does. Memory and time stay proportional to the page, however deep
// its elements nest.
std::string lastElementTextContaining(std::string_view html, std::string_view key);

}  // namespace glowset
