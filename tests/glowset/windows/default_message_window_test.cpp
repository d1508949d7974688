#include <QAbstractButton>
// The default message window against an in-process sign on the virtual clock.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>

#include "glowset/windows/default_message_window.h"
#include "tests/glowset/support/window_fixture.h"
#include "tests/support/named.h"

namespace glowset::testing {
namespace {

class DefaultMessage : public WindowTest {
  protected:
    signsim::Sign& sign(const char* model = "XY12") {
        if (!bench.signs.count(1)) bench.attachSign(1, {model, "4"});
        return *bench.signs[1];
    }
    std::unique_ptr<GlowsetDefaultMessage> open() {
        if (!window) startAndSearch();
        clock.advance(1000);
        auto w = std::make_unique<GlowsetDefaultMessage>(platform, *window);
        clock.advance(1000);  // the start-up exchange is over
        return w;
    }
    void type(GlowsetDefaultMessage& w, const QString& text) {
        w.defaultMessage->setPlainText(text);
    }
    // The rows chosen in font, style, colour, speed, alignment and pause.
    static std::vector<int> rows(const GlowsetDefaultMessage& w) {
        return {w.fontList->currentRow(),  w.StyleList->currentRow(),
                w.ColorList->currentRow(), w.SpeedList->currentRow(),
                w.AlignmentList->currentRow(), w.PauseList->currentRow()};
    }
    std::vector<std::string> linesSince(size_t start) const {
        std::vector<std::string> lines;
        for (const auto& write : writesSince(start)) lines.push_back(write.bytes);
        return lines;
    }
};

TEST_F(DefaultMessage, StartUpReadsTheSignsMessageInItsStoredForm) {
    sign("RV2210").handleCommand("<DF f=1 c=1 s=0 a=0 sp=0 p=0>HELLO$Lthere $T2");
    const size_t start = mark();
    window = std::make_unique<GlowsetMain>(platform);
    clock.advance(1400);
    auto w = std::make_unique<GlowsetDefaultMessage>(platform, *window);
    EXPECT_EQ(w->Ack->text(), "Data downloaded successfully from LED Sign");
    clock.advance(1000);
    const auto lines = linesSince(start);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "DOWNLOAD_DEFAULT_MSG\r");
    EXPECT_EQ(lines.back(), "TIME_STATUS\r");
    // RV2210 reports character codes: 65, 65, 66, 48, 49, 48.
    EXPECT_EQ(rows(*w), (std::vector<int>{1, 0, 1, 0, 0, 0}));
    EXPECT_EQ(w->messageText(), "HELLO\r\nthere <hh:mm>");
    EXPECT_EQ(w->TimeDisplayStatus->text(), "is OFF");
    EXPECT_TRUE(w->Upload->isEnabled());
}

TEST_F(DefaultMessage, AMessageFromASettingsFileIsUsedAndTheSignNotRead) {
    sign("TB330");
    startAndSearch();
    clock.advance(1000);
    const struct {
        const char* message;
        bool loaded;
    } cases[] = {{"OPEN\xAA"
                  "NOW \xAD",
                  true},
                 {"OPEN, NOW", false}};
    for (const auto& c : cases) {
        window->configFileName = "/tmp/sign.led";
        window->SaveDefaultMsg(c.message, 2, 3, 4, 1, 0, 5);
        const size_t start = mark();
        GlowsetDefaultMessage w(platform, *window);
        clock.advance(1000);
        EXPECT_EQ(mark(), start) << c.message;  // nothing read from the sign
        if (c.loaded) {
            EXPECT_EQ(w.messageText(), "OPEN\r\nNOW <hh:mm>");
            EXPECT_EQ(rows(w), (std::vector<int>{2, 4, 3, 0, 1, 5}));
            EXPECT_EQ(w.Ack->text(), "Getting data from File /tmp/sign.led");
        } else {
            EXPECT_EQ(w.messageText(), "<hh:mm:ss>");  // the first time format's placeholder
            EXPECT_EQ(w.fontList->currentRow(), -1);
        }
    }
}

TEST_F(DefaultMessage, UploadBranches) {
    const struct {
        const char* name;
        bool idleOn;
        QString text;
        bool changeFont;
        std::vector<std::string> sent;
        QString test, ack;
    } cases[] = {
        {"empty box deletes",
         false,
         "",
         false,
         {"<del id=def>\r"},
         "<del id=def>",
         "Upload Successfull"},
        {"two lines and a placeholder",
         false,
         "Now <hh:mm>\nDay",
         false,
         {"<DF f=5 c=0 s=0 a=0 sp=2 p=2>Now $T2$LDay\r"},
         "<DF f=5 c=0 s=0 a=0 sp=2 p=2>Now $T2$LDay",
         "Upload Successfull"},
        {"idle display on keeps the text back",
         true,
         "Hi",
         false,
         {"\r"},
         "",
         "Remove message and Click \"Upload to Sign\" to display Time"},
        {"idle display on with a change",
         true,
         "",
         true,
         {"<del id=def>\r", "<TIME f=3 c=0 s=0 a=0 sp=2 p=2 fm=0>IDLE ON\r", "RESET\r"},
         "<TIME f=3 c=0 s=0 a=0 sp=2 p=2 fm=0>IDLE ON , RESET",
         "Upload Successfull"},
    };
    for (const auto& c : cases) {
        signsim::Sign& s = sign("TB330");
        s.handleCommand("<DF f=5 c=0 s=0 a=0 sp=2 p=2>old");
        s.state().idle.on = c.idleOn;
        auto w = open();
        ASSERT_EQ(w->TimeDisplayStatus->text(), c.idleOn ? "is ON" : "is OFF") << c.name;
        type(*w, c.text);
        if (c.changeFont) w->fontList->setCurrentRow(3);
        const size_t start = mark();
        testsupport::named<QAbstractButton>(*w, "Upload")->click();
        EXPECT_EQ(w->Test->text(), c.test) << c.name;
        clock.advance(200);
        EXPECT_EQ(linesSince(start), c.sent) << c.name;
        w->HandleReply("done");  // the sign's acknowledgement
        EXPECT_EQ(w->Ack->text(), c.ack) << c.name;
        w.reset();
        window.reset();
        bench.signs.clear();
    }
}

TEST_F(DefaultMessage, TheSignStoresWhatWasUploaded) {
    signsim::Sign& tb = sign("TB330");
    auto w = open();
    type(*w, "Open <hh:mm>\nClosed");
    w->fontList->setCurrentRow(7);
    testsupport::named<QAbstractButton>(*w, "Upload")->click();
    clock.advance(1000);
    EXPECT_EQ(tb.state().defaultMessage.stored,
              "Open \xAD\xAA"
              "Closed");
    EXPECT_EQ(tb.state().defaultMessage.params.font, 7);
}

TEST_F(DefaultMessage, CloseCountdownGivesTheControlsBack) {
    sign("TB330").state().idle.on = true;
    auto w = open();
    ASSERT_EQ(w->TimeDisplayStatus->text(), "is ON");
    EXPECT_FALSE(w->fontList->isEnabled());  // idle on: kept disabled after the exchange
    EXPECT_FALSE(w->StyleList->isEnabled());
    testsupport::named<QAbstractButton>(*w, "SetTime")->click();
    EXPECT_FALSE(w->SetTime->isEnabled());
    EXPECT_EQ(w->Upload->text(), "Writing...");
    const size_t start = mark();
    testsupport::named<QAbstractButton>(*w, "Download")->click();  // ignored while the port is open
    EXPECT_EQ(mark(), start);
    clock.advance(500);
    EXPECT_FALSE(w->Upload->isEnabled());
    clock.advance(60);  // ten 50 ms ticks, then the closing one
    EXPECT_TRUE(w->Upload->isEnabled());
    EXPECT_TRUE(w->SetTime->isEnabled());
    EXPECT_EQ(w->Upload->text(), "Upload to Sign");
    EXPECT_FALSE(w->MSComm1->isOpen());
}

TEST_F(DefaultMessage, ClockCommandForAGivenTime) {
    sign();
    auto w = open();
    w->currentTime = [] { return QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3)); };
    const size_t start = mark();
    testsupport::named<QAbstractButton>(*w, "SetTime")->click();
    EXPECT_EQ(linesSince(start),
              (std::vector<std::string>{"<Time time=09:07:03 date=2024/03/05-2>SET TIME\r"}));
}

TEST_F(DefaultMessage, IdleSwitchChangesTheStateOnlyThroughTheSignsReply) {
    signsim::Sign& s = sign("XY12");
    auto w = open();
    type(*w, "text");
    const size_t start = mark();
    bench.replyDelayMs = 300;  // the TIME reply comes late
    testsupport::named<QAbstractButton>(*w, "TimeOnIdle")->click();
    EXPECT_EQ(w->TimeDisplayStatus->text(), "is OFF");  // the button itself changes nothing
    EXPECT_FALSE(w->fontList->isEnabled());
    EXPECT_EQ(w->Ack->text(), "Remove message and Click \"Upload to Sign\" to display Time");
    const auto lines = linesSince(start);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "<TIME>IDLE ON");  // no terminator
    EXPECT_EQ(lines[1], "DOWNLOAD_DEFAULT_MSG\r");
    EXPECT_EQ(lines[2], "TIME_STATUS\r");
    EXPECT_TRUE(s.state().idle.on);
    clock.advance(1000);
    EXPECT_EQ(w->TimeDisplayStatus->text(), "is ON");

    // A sign that does not answer leaves the state as it was.
    bench.signs.clear();
    testsupport::named<QAbstractButton>(*w, "TimeOnIdle")->click();
    clock.advance(1000);
    EXPECT_EQ(w->TimeDisplayStatus->text(), "is ON");
    EXPECT_EQ(bench.writes[bench.writes.size() - 3].bytes, "<TIME>IDLE OFF");
}

TEST_F(DefaultMessage, RepliesAndAPortThatCannotBeOpened) {
    sign("TB330");
    auto w = open();
    type(*w, "keep");
    for (const char* line : {"error", "linked 3", "hello"}) w->HandleReply(line);
    EXPECT_EQ(w->messageText(), "keep");  // a line without ":" is no record
    w->HandleReply("default message");
    EXPECT_EQ(w->Ack->text(), "Default message uploaded successfully");
    w->HandleReply("XY12:3,1,2,4,0,5,0,0,NEW");
    EXPECT_EQ(w->fontList->currentRow(), 3);
    EXPECT_EQ(w->StyleList->currentRow(), 1);
    EXPECT_EQ(w->ColorList->currentRow(), 2);
    EXPECT_EQ(w->SpeedList->currentRow(), 4);
    EXPECT_EQ(w->PauseList->currentRow(), 5);
    EXPECT_EQ(w->messageText(), "NEW");
    w->HandleReply("XY12:x,,");
    EXPECT_EQ(w->messageText(), "");

    bench.holdPort(1);
    GlowsetDefaultMessage blocked(platform, *window);  // the start-up read cannot open the port
    EXPECT_TRUE(blocked.Ack->text().contains("in use by another program"))
        << blocked.Ack->text().toStdString();
    const size_t start = mark();
    testsupport::named<QAbstractButton>(*w, "Upload")->click();
    EXPECT_EQ(mark(), start);
    EXPECT_TRUE(w->Ack->text().contains("in use by another program"))
        << w->Ack->text().toStdString();
    EXPECT_TRUE(w->Upload->isEnabled());
}

TEST_F(DefaultMessage, ClosingHandsTheMessageToTheMainWindow) {
    sign("TB330");
    auto w = open();
    type(*w, "Bye\nnow");
    w->fontList->setCurrentRow(2);
    w->ColorList->setCurrentRow(3);
    testsupport::named<QAbstractButton>(*w, "Exit")->click();
    EXPECT_EQ(window->DefMsg, "Bye\r\nnow");
    EXPECT_EQ(window->DefFont, 2);
    EXPECT_EQ(window->DefColor, 3);
    EXPECT_TRUE(testsupport::named<QPushButton>(*window, "SetupDefaultMsg")->toolTip().startsWith(
        "Message:Bye\r\nnow, Font:2, Color:3, Style:"));
}

TEST_F(DefaultMessage, ListsAndTimeControlsByModel) {
    const struct {
        const char* model;
        int fonts, formats;
        bool timeFormat, insertTime, idle;
    } cases[] = {
        {"KL404", 4, 4, true, false, true},
        {"RV2210", 25, 8, true, true, false},
        {"TB330", 25, 8, false, false, false},
        {"XY12", 0, 8, true, true, true},
    };
    for (const auto& c : cases) {
        bench.signs.clear();
        sign(c.model);
        auto w = open();
        w->show();
        EXPECT_EQ(w->fontList->count(), c.fonts) << c.model;
        EXPECT_EQ(w->TimeFormat->count(), c.formats) << c.model;
        EXPECT_EQ(w->TimeFormat->isVisible(), c.timeFormat) << c.model;
        EXPECT_EQ(w->InsertTime->isVisible(), c.insertTime) << c.model;
        EXPECT_EQ(w->TimeOnIdle->isVisible(), c.idle) << c.model;
        w.reset();
        window.reset();
    }
}

}  // namespace
}  // namespace glowset::testing

namespace glowset::testing {
namespace {

// Typed as an operator types: converted where an 8-bit form exists; a
// character the sign would misread is neither sent nor kept.
TEST_F(DefaultMessage, TypedCharactersTheSignCannotShow) {
    sign();
    auto w = open();
    w->defaultMessage->setFocus();
    w->defaultMessage->insertPlainText(QString::fromUtf8("\u201CHot\u201D 25\u00B0C"));
    EXPECT_EQ(w->defaultMessage->toPlainText(), QString::fromUtf8("\"Hot\" 25\u00B0C"));
    EXPECT_TRUE(w->Ack->text().contains("Changed for the sign")) << w->Ack->text().toStdString();
    const size_t start = mark();
    w->findChild<QPushButton*>("Upload")->click();
    EXPECT_TRUE(writesSince(start).empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("U+00B0"));
    w->findChild<QPushButton*>("Exit")->click();
    ASSERT_EQ(dialogs.messages.size(), 2u);  // told what was left out
    EXPECT_EQ(window->getDefaultMsg().substr(0, 11), ",\"Hot\" 25C,") << window->getDefaultMsg();
}

}  // namespace
}  // namespace glowset::testing
