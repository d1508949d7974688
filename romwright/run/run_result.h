// How a programming run (or the header preview) ended, and the words the
// window shows for it.
#pragma once

#include <string>

namespace romwright {

using RunResult = int;
inline constexpr RunResult kSuccess = 0;
inline constexpr RunResult kCancelled = 1;
inline constexpr RunResult kPortError = 2;
inline constexpr RunResult kInvalidFile = 3;
inline constexpr RunResult kInvalidFileName = 4;
inline constexpr RunResult kInvalidResponse = 5;
inline constexpr RunResult kProgrammingError = 6;

// The text of a result where the preview reports a bad file.
std::string result_text(RunResult result);
// The status line at the end of a run; the cancel text carries the last
// percentage shown, and a failure the run's problem in plain words when it
// told one (a disconnected port is said on its own).
std::string status_after_run(RunResult result, int last_percent, const std::string& problem = {});

}  // namespace romwright
