#include "glowset/core/session/sign_copy.h"

#include "glowset/core/protocol/numbers.h"

#include <algorithm>
#include <cmath>

namespace glowset {

int ChangeFlags::setCount() const {
    return static_cast<int>(std::count(priorityChanged.begin(), priorityChanged.end(), true) +
                            std::count(linkChanged.begin(), linkChanged.end(), true)) +
           idModeChanged + userCommandChanged;
}

void ChangeFlags::setAll() {
    priorityChanged.fill(true);
    std::fill(linkChanged.begin(), linkChanged.begin() + 8, true);
    idModeChanged = true;
    userCommandChanged = true;
}

int16_t timeoutSeconds(const std::string& text) {
    const double value = roundHalfEven(leadingNumber(text));
    if (std::isnan(value)) return 0;
    return static_cast<int16_t>(std::clamp(value, -32768.0, 32767.0));
}

int getChangedRows(const WindowSettings& window, SignCopy& copy, ChangeFlags& flags) {
    int count = 0;
    for (int p = 0; p < 5; ++p) {
        auto& stored = copy.priorities[p];
        const auto& shown = window.priorities[p];
        for (int v = 0; v < 7; ++v) {
            if (shown.codes[v] != stored[v]) {
                flags.priorityChanged[p] = true;
                stored[v] = shown.codes[v];
            }
        }
        const int16_t timeout = timeoutSeconds(shown.timeoutText);
        if (timeout != stored[7]) {
            flags.priorityChanged[p] = true;
            stored[7] = timeout;
        }
    }
    for (int n = 0; n < 8; ++n) {
        if (window.capcodes[n] != copy.capcodes[n]) {
            flags.linkChanged[n] = true;
            copy.capcodes[n] = window.capcodes[n];
            ++count;
        }
        if (window.capcodes[n].empty()) continue;
        const int16_t index = window.linkPriorities[n];
        if (index != -1 && index != leadingNumber(copy.linkPriorities[n])) {
            flags.linkChanged[n] = true;
            copy.linkPriorities[n] = std::to_string(index);
            ++count;
        }
    }
    if (window.userCommand != copy.userCommand) {
        flags.userCommandChanged = true;
        copy.userCommand = window.userCommand;
    }
    if (window.autoId != copy.idMode) {
        flags.idModeChanged = true;
        copy.idMode = window.autoId;
        ++count;
    }
    count += flags.userCommandChanged;
    count += static_cast<int>(
        std::count(flags.priorityChanged.begin(), flags.priorityChanged.end(), true));
    return count;
}

void ChangeFlags::add(const ChangeFlags& other) {
    for (size_t p = 0; p < priorityChanged.size(); ++p)
        priorityChanged[p] |= other.priorityChanged[p];
    for (size_t n = 0; n < linkChanged.size(); ++n) linkChanged[n] |= other.linkChanged[n];
    idModeChanged |= other.idModeChanged;
    userCommandChanged |= other.userCommandChanged;
}

void ChangeFlags::remove(const ChangeFlags& other) {
    for (size_t p = 0; p < priorityChanged.size(); ++p)
        priorityChanged[p] &= !other.priorityChanged[p];
    for (size_t n = 0; n < linkChanged.size(); ++n) linkChanged[n] &= !other.linkChanged[n];
    idModeChanged &= !other.idModeChanged;
    userCommandChanged &= !other.userCommandChanged;
}

}  // namespace glowset
