// The three forms of a message text: what the operator edits in a message
// box (line breaks as CR LF, time placeholders such as "<hh:mm>"), what the
// sign stores and returns (single bytes 170 to 178), and what travels in a
// command ("$L", "$T0" to "$T7").
#pragma once

#include <string>
#include <string_view>

namespace glowset {

// "<" + list text + ">" of a time format; "" for a code outside 0 to 7.
std::string placeholderFor(int formatCode);

// Stored form to message-box text: byte 170 becomes CR LF, bytes 171 to 178
// become the placeholders of formats 0 to 7.
std::string storedToDisplay(std::string_view stored);

// A whole command line (tag and message text) to what is written to the
// port, without the terminator: placeholders to "$T" codes, LF to "$L", CR
// dropped, and a "$L" at the very end removed.
std::string displayToWire(std::string_view line);

// Wire form back to the stored form, as a sign keeps a default message:
// "$L" becomes 170 and "$T0" to "$T7" become 171 to 178.
std::string wireToStored(std::string_view wire);

}  // namespace glowset
