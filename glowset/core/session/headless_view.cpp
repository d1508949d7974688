#include "glowset/core/session/headless_view.h"

#include "glowset/core/options/option_sets.h"

namespace glowset {

LinkBoxes HeadlessView::linkBoxes(int id) const {
    return {wanted.capcodes[id], wanted.linkPriorities[id]};
}

void HeadlessView::repeatStatus() {
    if (!statuses.empty()) statuses.push_back(statuses.back());
}

void HeadlessView::portUnavailable(int portNumber, const std::string& why) {
    unavailable.emplace_back(portNumber, why);
}

void HeadlessView::invalidPort(int portNumber) {
    statuses.push_back("COM" + std::to_string(portNumber) + " is no port number");
}

void HeadlessView::settingsRead(const SignReading& reading) {
    lastReading = reading;
    typeText_ = reading.typeText;
    // The lists are filled anew for the model, so a code stands only where
    // the sign reported one its list has an entry for.
    const auto lists = listsInRowOrder(optionSetForModel(reading.model));
    for (int p = 0; p < 5; ++p) {
        const DecodedPriority& values = reading.priorities[p];
        auto& wantedPriority = wanted.priorities[p];
        for (int v = 0; v < kPriorityListCount; ++v) {
            const bool listed =
                values[v] && *values[v] >= -1 && *values[v] < static_cast<int>(lists[v]->size());
            wantedPriority.codes[v] = listed ? *values[v] : -1;
        }
        if (values[kTimeout]) wantedPriority.timeoutText = std::to_string(*values[kTimeout]);
    }
    for (int n = 0; n < 8; ++n) {
        wanted.capcodes[n] = reading.capcodes[n];
        wanted.linkPriorities[n] = reading.linkPriorities[n].value_or(-1);
    }
    if (reading.automaticIds) wanted.autoId = *reading.automaticIds ? 1 : 0;
    if (reading.userCommand) wanted.userCommand = *reading.userCommand;
}

void HeadlessView::clearLink(int id) {
    wanted.capcodes[id].clear();
    wanted.linkPriorities[id] = -1;
}

void HeadlessView::setLinkPriority(int id, int position) {
    wanted.linkPriorities[id] = static_cast<int16_t>(position);
}

void HeadlessView::setUploadMaximum(int maximum) {
    progress_.maximum = maximum;
    if (progress_.value > maximum) progress_.value = -1;
}

void HeadlessView::setUploadValue(int value) {
    if (value >= 0 && value <= progress_.maximum) progress_.value = value;
}

}  // namespace glowset
