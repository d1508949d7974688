// What glowctl prints on standard output: one line per sign in words, or
// one JSON object per port.
#pragma once

#include "glowctl/app/command_line.h"
#include "glowctl/run/sign_job.h"

#include <string>
#include <vector>

namespace glowctl {

// The results of one run, in the order the ports were given.
std::string reportText(Verb verb, const std::vector<JobResult>& results);
std::string reportJson(Verb verb, const std::vector<JobResult>& results);

// A string as a JSON string literal (bytes above 127 taken as Latin-1).
std::string jsonString(const std::string& text);

}  // namespace glowctl
