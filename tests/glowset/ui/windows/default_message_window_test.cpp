// The default message window against an in-process sign on the virtual clock.

#include "glowset/ui/windows/default_message_window.h"

#include "tests/glowset/support/window_fixture.h"
#include "tests/support/named.h"
#include "tests/support/window_snapshot.h"

namespace glowset::testing {
namespace {

using testsupport::named;

class DefaultMessage : public WindowTest {
  protected:
    // A window over a sign of this model, after its start-up exchange.
    GlowsetDefaultMessage& open(const char* model = "TB330",
                                const std::function<void(signsim::Sign&)>& arrange = {}) {
        message.reset();
        message = std::make_unique<GlowsetDefaultMessage>(platform, withSign(model, arrange));
        clock.advance(1000);
        return *message;
    }
    void press(const char* button) { named<QAbstractButton>(*message, button)->click(); }
    static QListWidget* list(const QWidget& w, const char* name) {
        return named<QListWidget>(w, name);
    }
    std::vector<std::string> sent(const char* button) { return sentBy(*message, button); }
    // The window against its recorded copy; its clock shows the real time.
    static ::testing::AssertionResult showsAsRecorded(const QWidget& w, const std::string& name) {
        return testsupport::showsAsRecorded(w, name, {.leaveOut = {"DateTime"}});
    }
    std::unique_ptr<GlowsetDefaultMessage> message;
};

TEST_F(DefaultMessage, StartUpReadsTheSignsMessageInItsStoredForm) {
    open("RV2210", [](signsim::Sign& s) {
        s.handleCommand("<DF f=1 c=1 s=0 a=2 sp=0 p=0>HELLO$Lthere $T2");
    });
    const auto lines = linesSince(0);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "DOWNLOAD_DEFAULT_MSG\r");
    EXPECT_EQ(lines.back(), "TIME_STATUS\r");
    // RV2210 reports character codes (65, 65, 66, 48, 51, 48): rows 1, 0, 1, 0, 2, 0.
    EXPECT_TRUE(showsAsRecorded(*message, "default-message-read-from-rv2210"));
    EXPECT_EQ(message->messageText(), "HELLO\r\nthere <hh:mm>");
}

TEST_F(DefaultMessage, AMessageFromASettingsFileIsUsedAndTheSignNotRead) {
    const std::pair<const char*, bool> cases[] = {{"OPEN\xAANOW \xAD", true}, {"OPEN, NOW", false}};
    for (const auto& [stored, loaded] : cases) {
        open();
        window->configFileName = "/tmp/sign.led";
        window->SaveDefaultMsg(stored, 2, 3, 4, 1, 0, 5);
        const size_t start = mark();
        message = std::make_unique<GlowsetDefaultMessage>(platform, *window);
        clock.advance(1000);
        EXPECT_EQ(mark(), start) << stored;  // nothing read from the sign
        // Loaded: the text and rows 2, 4, 3, 0, 1, 5; refused: a placeholder and no font.
        EXPECT_TRUE(showsAsRecorded(
            *message, std::string("default-message-from-file-") + (loaded ? "loaded" : "refused")));
    }
    press("Download");  // the sign's own message from now on: the next window reads it
    clock.advance(1000);
    const size_t start = mark();
    GlowsetDefaultMessage next(platform, *window);
    EXPECT_GT(mark(), start);
}

TEST_F(DefaultMessage, UploadBranches) {
    const struct {
        const char* name;
        bool idleOn;
        QString text;
        bool changeFont;
        std::vector<std::string> sent;  // the acknowledgement shown is on record
    } cases[] = {
        // clang-format off
        {"empty box deletes", false, "", false, {"<del id=def>\r"}},
        {"two lines and a placeholder", false, "Now <hh:mm>\nDay", false,
         {"<DF f=5 c=1 s=2 a=0 sp=2 p=2>Now $T2$LDay\r"}},
        {"idle display on keeps the text back", true, "Hi", false, {"\r"}},
        {"idle display on with a change", true, "", true,
         {"<del id=def>\r", "<TIME f=3 c=1 s=2 a=0 sp=2 p=2 fm=0>IDLE ON\r", "RESET\r"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        GlowsetDefaultMessage& w = open("TB330", [&](signsim::Sign& s) {
            s.handleCommand("<DF f=5 c=1 s=2 a=0 sp=2 p=2>old");
            s.state().idle.on = c.idleOn;
        });
        ASSERT_EQ(w.TimeDisplayStatus->text(), c.idleOn ? "is ON" : "is OFF") << c.name;
        w.defaultMessage->setPlainText(c.text);
        if (c.changeFont) list(w, "fontList")->setCurrentRow(3);
        const size_t start = mark();
        press("Upload");
        clock.advance(c.sent.size() > 1 ? 900 : 200);  // 200 ms after the last line
        EXPECT_EQ(linesSince(start), c.sent) << c.name;
        // The sign is given 200 ms, then 500 ms, between the commands of one press.
        EXPECT_EQ(mark() - start > 1 ? bench.writes.back().time - bench.writes[start].time : 700,
                  700);
        w.HandleReply("done");  // the sign's acknowledgement
        EXPECT_TRUE(showsAsRecorded(w, "default-message-upload-" + std::to_string(&c - cases)));
    }
}

// The message and idle display commands carry the six settings: without them nothing is sent.
TEST_F(DefaultMessage, AnUploadWithoutItsSettingsSendsNothingAndSaysWhy) {
    const QString unknown =
        "The default message settings of sign model XY12 are not known to "
        "this program: nothing was sent";
    const struct {
        const char* model;
        bool idleOn;  // then the idle display command carries them
        QString said;
    } cases[] = {{"XY12", false, unknown},
                 {"XY12", true, unknown},
                 {"TB330", false, "Choose the message's Font first: nothing was sent"}};
    for (const auto& c : cases) {
        GlowsetDefaultMessage& w = open(c.model, [&](signsim::Sign& s) {
            s.handleCommand("<DF f=5 c=1 s=2 a=0 sp=2 p=2>old");
            s.state().idle.on = c.idleOn;
        });
        w.TimeFormat->setCurrentIndex(1);  // a change, sent with the idle display on
        w.defaultMessage->setPlainText(c.idleOn ? "" : "Hi");
        list(w, "fontList")->setCurrentRow(-1);
        EXPECT_TRUE(sent("Upload").empty()) << c.model;
        EXPECT_EQ(w.Ack->text(), c.said) << c.model;
    }
}

TEST_F(DefaultMessage, SetTimeAndTheCloseCountdown) {
    // Idle display on: the lists stay disabled after the exchange.
    GlowsetDefaultMessage& w = open("TB330", [](signsim::Sign& s) { s.state().idle.on = true; });
    w.currentTime = [] { return QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3)); };
    EXPECT_EQ(sent("SetTime"),
              (std::vector<std::string>{"<Time time=09:07:03 date=2024/03/05-2>SET TIME\r"}));
    EXPECT_TRUE(showsAsRecorded(w, "default-message-setting-time"));  // "Writing...", the bar
    clock.advance(500);  // the bar filled in 20 ticks of 10 ms and hid
    EXPECT_TRUE(showsAsRecorded(w, "default-message-time-set"));
    clock.advance(60);  // ten 50 ms ticks, then the closing one
    EXPECT_TRUE(showsAsRecorded(w, "default-message-after-setting-time"));
    EXPECT_FALSE(port().isOpen());
    // Both buttons held from the first command on, through the wait before the second.
    clock.post(50, [&] { EXPECT_TRUE(showsAsRecorded(w, "default-message-reading")); });
    const size_t start = mark();
    press("Download");
    clock.advance(100);
    EXPECT_EQ(linesSince(start),
              (std::vector<std::string>{"DOWNLOAD_DEFAULT_MSG\r", "TIME_STATUS\r"}));
    EXPECT_EQ(bench.writes.back().time - bench.writes.end()[-2].time, 100);  // the wait between
}

TEST_F(DefaultMessage, IdleSwitchChangesTheStateOnlyThroughTheSignsReply) {
    GlowsetDefaultMessage& w = open("XY12");
    w.defaultMessage->setPlainText("text");
    bench.replyDelayMs = 300;  // the TIME reply comes late
    const size_t start = mark();
    press("TimeOnIdle");
    clock.runUntil([&] { return mark() - start == 3; }, 1000);  // the read-back's second line
    EXPECT_EQ(linesSince(start), (std::vector<std::string>{
                                     "<TIME>IDLE ON", "DOWNLOAD_DEFAULT_MSG\r", "TIME_STATUS\r"}));
    // Still "is OFF": the button itself changes nothing; the lists wait, the operator is told.
    EXPECT_TRUE(showsAsRecorded(w, "default-message-idle-on-asked"));
    EXPECT_TRUE(bench.signs[1]->state().idle.on);
    clock.advance(1000);
    EXPECT_EQ(w.TimeDisplayStatus->text(), "is ON");

    // A sign that does not answer leaves the state as it was.
    bench.signs.clear();
    EXPECT_EQ(sent("TimeOnIdle").at(0), "<TIME>IDLE OFF");
    EXPECT_TRUE(list(w, "fontList")->isEnabled());  // until the read-back says otherwise
    clock.advance(1000);
    EXPECT_TRUE(showsAsRecorded(w, "default-message-idle-off-unanswered"));  // still "is ON"
}

TEST_F(DefaultMessage, RepliesAndAPortThatCannotBeOpened) {
    GlowsetDefaultMessage& w = open();
    w.defaultMessage->setPlainText("keep");
    for (const char* line : {"error", "linked 3", "hello"}) w.HandleReply(line);
    EXPECT_EQ(w.messageText(), "keep");  // a line without ":" is no record
    EXPECT_EQ(w.Ack->text(), "The sign answered \"error\": it did not take the command");
    w.HandleReply("default message");
    w.HandleReply("XY12:3,1,2,4,1,5,0,0,NEW,x:y");  // the text ends at "," or ":"
    // Rows 3, 1, 2, 4, 1, 5 and "NEW" aligned right, said to be uploaded.
    EXPECT_TRUE(showsAsRecorded(w, "default-message-record-reply"));
    // A row the list does not have leaves the choice alone; -1 clears it.
    w.HandleReply("XY12:25,1,2,4,1,5,0,0,NEW");
    const int afterRow25 = list(w, "fontList")->currentRow();
    w.HandleReply("XY12:-1,1,2,4,1,5,0,0,NEW");
    EXPECT_EQ(std::pair(afterRow25, list(w, "fontList")->currentRow()), std::pair(3, -1));
    w.HandleReply("XY12:x,,");
    EXPECT_EQ(w.messageText(), "");

    bench.holdPort(1);
    GlowsetDefaultMessage blocked(platform, *window);  // the start-up read cannot open the port
    EXPECT_TRUE(blocked.Ack->text().contains("in use by another program"))
        << blocked.Ack->text().toStdString();
    EXPECT_TRUE(sent("Upload").empty());
    EXPECT_TRUE(w.Ack->text().contains("in use by another program")) << w.Ack->text().toStdString();
    EXPECT_TRUE(w.Upload->isEnabled());
}

TEST_F(DefaultMessage, ClosingHandsTheMessageToTheMainWindow) {
    GlowsetDefaultMessage& w = open();
    w.defaultMessage->setPlainText("Bye\nnow");
    const std::pair<QListWidget*, int> chosen[] = {
        {list(w, "fontList"), 2},      {list(w, "ColorList"), 3}, {list(w, "StyleList"), 4},
        {list(w, "AlignmentList"), 1}, {list(w, "SpeedList"), 3}, {list(w, "PauseList"), 6}};
    for (const auto& [list, row] : chosen) list->setCurrentRow(row);
    press("SetTime");  // its exchange holds the port
    press("Exit");
    EXPECT_FALSE(port().isOpen());  // given back at once
    EXPECT_EQ(window->getDefaultMsg(), ",Bye\r\nnow,2,3,4,1,3,6");
    EXPECT_TRUE(named<QPushButton>(*window, "SetupDefaultMsg")
                    ->toolTip()
                    .startsWith("Message:Bye\r\nnow, Font:2, Color:3, Style:"));
}

// The lists, time formats and idle switch each model has.
TEST_F(DefaultMessage, ListsAndTimeControlsByModel) {
    for (const std::string model : {"KL404", "RV2210", "TB330", "XY12"}) {
        EXPECT_TRUE(showsAsRecorded(open(model.c_str()), "default-message-" + model));
    }
}

// Typed text converted where an 8-bit form exists; what the sign would misread is left out.
TEST_F(DefaultMessage, TypedCharactersTheSignCannotShow) {
    GlowsetDefaultMessage& w = open("XY12");
    w.defaultMessage->setFocus();
    w.defaultMessage->insertPlainText(QString::fromUtf8("\u201CHot\u201D 25\u00B0C"));
    EXPECT_EQ(w.defaultMessage->toPlainText(), QString::fromUtf8("\"Hot\" 25\u00B0C"));
    EXPECT_EQ(w.Ack->text(), QString::fromUtf8("Changed for the sign: \u201C to \", \u201D to \""));
    EXPECT_TRUE(sent("Upload").empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("U+00B0"));
    press("Exit");
    ASSERT_EQ(dialogs.messages.size(), 2u);  // told what was left out
    EXPECT_EQ(window->getDefaultMsg().substr(0, 11), ",\"Hot\" 25C,") << window->getDefaultMsg();

    // A key at a time too; a key the sign shows as it is goes in without a word.
    GlowsetDefaultMessage& typed = open("XY12");
    typed.defaultMessage->setPlainText("");
    for (const QChar c : {QChar('a'), QChar(0x2018)}) {
        typeKeys(typed.defaultMessage, QString(c));
        EXPECT_EQ(typed.Ack->text().startsWith("Changed"), c != 'a');
    }
    typed.TimeFormat->setCurrentIndex(2);  // a format chosen replaces the text; Insert adds
    press("InsertTime");
    EXPECT_EQ(typed.messageText(), "<hh:mm><hh:mm>");
}

}  // namespace
}  // namespace glowset::testing
