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

TEST(SignWithCore, LinkChangeAndRepliesAsTheMainWindowSeesThem) {
    signsim::Sign sign({"XY12", {}});
    const struct {
        std::string command;
        std::optional<std::string> status;
    } cases[] = {
        {glowset::linkClearCommand(2), std::nullopt},
        {glowset::linkSetCommand(2, "77", 0), "Linked ID : 2"},
        {glowset::idModeCommand(true), "Switched to Auto ID"},
        {glowset::userCommandCommand("X"), "User Command Uploaded"},
        {glowset::factoryDefaultsCommand(), "Uploaded 0 Successfull"},
    };
    for (const auto& c : cases) {
        const auto reply = glowset::classifyReply(withoutLf(send(sign, c.command)));
        EXPECT_EQ(glowset::statusTextForReply(reply, 0), c.status) << c.command;
    }
}

TEST(SignWithCore, DefaultMessageRoundTrip) {
    signsim::Sign sign({"XY12", {}});
    const std::string typed = "Now <hh:mm> on\r\nDay <dd.MM yyyy>";
    glowset::DefaultMessageParams params;
    params.font = 1, params.colour = 2, params.style = 3, params.alignment = 1, params.speed = 4,
    params.pause = 5;
    send(sign, glowset::defaultMessageCommand(params, typed));
    // Stored with 170 for the break and 173, 177 for the placeholders.
    EXPECT_EQ(sign.state().defaultMessage.stored, "Now \xAD on\xAA" "Day \xB1");
    const std::string record = withoutLf(send(sign, glowset::downloadDefaultMessageCommand()));
    const std::string text = record.substr(record.rfind(',') + 1);
    EXPECT_EQ(glowset::storedToDisplay(text), typed);
}

TEST(SignWithCore, IdleDisplayAndClock) {
    signsim::Sign sign({"XY12", {}});
    const auto idle = [&] {
        return glowset::idleDisplayFromReply(withoutLf(send(sign, glowset::timeStatusCommand())));
    };
    EXPECT_EQ(idle(), false);
    sign.receive(glowset::idleSwitchCommand(true));  // no terminator
    EXPECT_EQ(idle(), true);
    send(sign, glowset::idleTimeDisplayCommand(glowset::DefaultMessageParams{0, 1, 0, 0, 0, 0}, 2));
    EXPECT_EQ(sign.display().what, "time");
    sign.receive(glowset::idleSwitchCommand(false));
    EXPECT_EQ(idle(), false);

    EXPECT_EQ(withoutLf(send(sign, glowset::clockCommand({2030, 7, 4, 18, 30, 0, 4}))), "done");
    const std::tm clock = sign.clockTime();
    EXPECT_EQ(clock.tm_year, 130);
    EXPECT_EQ(clock.tm_mon, 6);
    EXPECT_EQ(clock.tm_mday, 4);
    EXPECT_EQ(clock.tm_hour, 18);
}

}  // namespace
