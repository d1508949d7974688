// The sign simulator and glowset's protocol core against each other: what
// the program sends, the sign keeps, and what the sign reports, the program
// reads back as it was sent.
#include <gtest/gtest.h>

#include "glowset/protocol/commands.h"
#include "glowset/protocol/replies.h"
#include "glowset/protocol/settings_line.h"
#include "glowset/windows/message_text.h"
#include "glowset/windows/sign_clock.h"
#include "sim/signsim/sign.h"

namespace {

std::string send(signsim::Sign& sign, const std::string& line) {
    return sign.receive(line + glowset::kCommandEnd);
}

std::string withoutLf(std::string reply) {
    if (!reply.empty() && reply.back() == '\n') reply.pop_back();
    return reply;
}

TEST(SignWithCore, UploadedSettingsComeBackInEveryModelsEncoding) {
    for (const char* model : {"XY12", "KL404", "TB330", "RV2210"}) {
        signsim::Sign sign({model, "4"});
        glowset::PriorityRecord records[5];
        for (int p = 0; p < 5; ++p) {
            records[p] = {int16_t(p + 6), int16_t(p + 1), int16_t(12 - p), int16_t(p % 5),
                          int16_t(p % 3),  int16_t(9 - p), int16_t(p % 3),  std::to_string(p * 7)};
            EXPECT_EQ(withoutLf(send(sign, glowset::priorityRecordCommand(p, records[p]))),
                      "default " + std::to_string(p));
        }
        send(sign, glowset::linkSetCommand(3, "1111,2222", 2));
        send(sign, glowset::linkSetCommand(6, "77", 4));
        send(sign, glowset::idModeCommand(false));
        send(sign, glowset::userCommandCommand("RESET NOW"));

        const std::string reply = withoutLf(send(sign, glowset::downloadAllCommand()));
        ASSERT_EQ(glowset::classifyReply(reply).kind, glowset::ReplyKind::Settings) << reply;
        const glowset::SettingsLine line = glowset::parseSettingsLine(reply);
        EXPECT_EQ(line.model, model);
        EXPECT_EQ(line.firmwareCount, "4");
        for (int p = 0; p < 5; ++p) {
            const auto d = glowset::decodePriority(line, p);
            const auto& r = records[p];
            const glowset::DecodedPriority expected = {
                r.font, r.style, r.colour, r.speed, r.alignment, r.pause, r.beep,
                int16_t(std::stoi(r.timeout))};
            EXPECT_EQ(d, expected) << model << " priority " << p;
        }
        glowset::LinkEntries entries;
        glowset::mergeLinkEntries(entries, line);
        const auto boxes = glowset::linkBoxesFrom(entries);
        EXPECT_EQ(boxes[3].capcodes, "1111,2222");
        EXPECT_EQ(boxes[3].priorityIndex, 2);
        EXPECT_EQ(boxes[6].capcodes, "77");
        EXPECT_EQ(boxes[6].priorityIndex, 4);
        EXPECT_EQ(glowset::idModeOf(line), false);
        EXPECT_EQ(glowset::userCommandOf(line), "RESET NOW");
    }
}

}  // namespace
