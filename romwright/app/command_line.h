// romwright's command line. On Linux the shell has already split and
// unquoted it, so every argument is one token; each token is applied in
// order, later values replacing earlier ones, run flags staying set.
//   -f<path>        choose the ROM image (and tick "Don't use break")
//   -c<n>           use port COMn
//   -g              start a run at once and close the window after a success
//   -r<start>-<end> read mode: copy the flash range into the file (hexadecimal)
//   -w<start>-<end> raw-write mode: write the file into the flash range
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace romwright {

// The pieces between the delimiters, in order; a piece after the last
// delimiter only when it is not empty ("1000-" gives one piece, "-2000" two).
std::vector<std::string> split_on(const std::string& text, char delimiter);

// A hexadecimal number at the start of the text (an optional "0x", digits
// in either case, up to the first other character), or the default when no
// digit is there. Values beyond 32 bits stay at 0xFFFFFFFF.
uint32_t parse_hex(const std::string& text, uint32_t fallback);

// One option as the window applies it.
struct Option {
    enum Kind { SelectFile, SelectPort, Go, SetRange } kind = Go;
    std::string path;             // SelectFile
    int port = 0;                 // SelectPort: the number n of "-cn" (0 when none)
    uint32_t start = 0, end = 0;  // SetRange
    unsigned flag = 0;            // SetRange: the mode it sets when both ends are nonzero
};

// The options of the arguments after the program name; other tokens are ignored.
std::vector<Option> parse_command_line(const std::vector<std::string>& arguments);

// Why a script's run refuses a token the window would ignore or read
// loosely ("-c10", "-r0-1000", "-port", a stray word); "" for a sound one.
std::string strict_option_problem(const std::string& token);

}  // namespace romwright
