#include "romwright/run/run_result.h"

#include "romwright/serial/serial_port.h"

namespace romwright {

std::string result_text(RunResult result) {
    switch (result) {
        case kSuccess:
            return "no error";
        case kCancelled:
            return "Programming cancelled";
        case kPortError:
            return "Unable to open comport";
        case kInvalidFile:
            return "Invalid file";
        case kInvalidFileName:
            return "Invalid filename";
        case kInvalidResponse:
            return "Invalid response from unit";
        default:
            return "Error programming unit";
    }
}

std::string status_after_run(RunResult result, int last_percent, const std::string& problem) {
    if (problem == kPortDisconnected) return problem;
    if (!problem.empty() && result != kSuccess && result != kCancelled) {
        return status_after_run(result, last_percent) + ": " + problem;
    }
    switch (result) {
        case kSuccess:
            return "Successfully programmed unit";
        case kCancelled:
            return "Programming cancelled (%" + std::to_string(last_percent) + ")";
        case kPortError:
            return "Unable to open COM port";
        default:
            return result_text(result);
    }
}

}  // namespace romwright
