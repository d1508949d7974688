// A new, empty folder under the temporary directory, unique to this call:
// a folder named after the process id may be left from another user's run.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace testsupport {

inline std::string scratchFolder(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make " + pattern);
    return pattern;
}

}  // namespace testsupport
