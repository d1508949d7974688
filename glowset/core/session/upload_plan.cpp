#include "glowset/core/session/upload_plan.h"

#include "glowset/core/protocol/commands.h"
#include "glowset/core/protocol/numbers.h"

namespace glowset {

std::array<std::string, 7> uploadCommands(const WindowSettings& wanted) {
    std::array<std::string, 7> commands;
    for (int p = 0; p < 5; ++p) {
        const auto& c = wanted.priorities[p].codes;
        PriorityRecord record;
        record.font = c[0], record.style = c[1], record.colour = c[2], record.speed = c[3],
        record.alignment = c[4], record.pause = c[5], record.beep = c[6];
        record.timeout = wanted.priorities[p].timeoutText;
        commands[p] = priorityRecordCommand(p, record) + kCommandEnd;
    }
    commands[5] = idModeCommand(wanted.autoId == 1) + kCommandEnd;
    commands[6] = userCommandCommand(wanted.userCommand) + kCommandEnd;
    return commands;
}

std::vector<std::string> linkLines(int id, const std::string& capcodes, int priority) {
    if (leadingNumber(capcodes) == 0) return {linkClearCommand(id) + kCommandEnd};
    return {linkClearCommand(id) + kCommandEnd,
            linkSetCommand(id, capcodes, priority == -1 ? 0 : priority) + kCommandEnd};
}

std::vector<std::string> plannedUpload(const WindowSettings& wanted, const ChangeFlags& marked) {
    const auto commands = uploadCommands(wanted);
    std::vector<std::string> lines;
    for (int p = 0; p < 5; ++p) {
        if (marked.priorityChanged[p]) lines.push_back(commands[p]);
    }
    if (marked.idModeChanged) lines.push_back(commands[5]);
    if (marked.userCommandChanged) lines.push_back(commands[6]);
    for (int n = 0; n < 8; ++n) {
        if (!marked.linkChanged[n]) continue;
        for (auto& line : linkLines(n, wanted.capcodes[n], wanted.linkPriorities[n])) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

}  // namespace glowset
