// A programming run without a window, for scripts: the run's settings come
// from the command line, progress (percent, pages per second, time left),
// warnings and the result go to standard error, and the exit code tells
// the result.
#pragma once

#include "romwright/app/program_options.h"
#include "romwright/run/program_unit.h"

#include <cstdio>

namespace romwright {

// Runs once; returns the exit code. SIGINT and SIGTERM cancel the run.
int run_console(const ProgramOptions& options, std::FILE* report,
                const ProgrammerFactory& programmers = default_programmers());

// The settings a run takes from the options, as the window would apply them.
struct RunSettings {
    std::string port = "COM1";
    std::string path;
    unsigned flags = 0;
    uint32_t range_start = 0, range_end = 0;
};
RunSettings settings_from(const ProgramOptions& options);

}  // namespace romwright
