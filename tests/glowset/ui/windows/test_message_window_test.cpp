// The test message window: its command, the wire, the copy into the main window, replies.

#include "glowset/ui/windows/test_message_window.h"

#include "tests/glowset/support/window_fixture.h"
#include "tests/support/named.h"
#include "tests/support/window_snapshot.h"

#include <QtTest>

namespace glowset::testing {
namespace {

using testsupport::named;

void enter(QWidget* to, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    key(to, Qt::Key_Return, modifiers, "\r");
}

class TestMessage : public WindowTest {
  public:  // the cases' edits use these helpers
    LEDTestMessage& open(const char* model = "XY12") {
        test.reset();
        test = std::make_unique<LEDTestMessage>(platform, withSign(model));
        return *test;
    }
    // Types at the end of the editor, key by key.
    void type(const QString& text) {
        test->ColorTextBox->moveCursor(QTextCursor::End);
        typeKeys(test->ColorTextBox, text);
    }
    // Selects characters [from, to) of the editor.
    void select(int from, int to) {
        QTextCursor cursor = test->ColorTextBox->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        test->ColorTextBox->setTextCursor(cursor);
    }
    QListWidget* list(const char* name) const { return named<QListWidget>(*test, name); }
    void font(int row) { list("fontList")->setCurrentRow(row); }
    void colour(int row) { list("ColorList")->setCurrentRow(row); }
    void align(int row) { list("AlignmentList")->setCurrentRow(row); }
    // A double-click on the colour caption switches selection mode.
    void selectionMode() { QTest::mouseDClick(named<QLabel>(*test, "Label4"), Qt::LeftButton); }
    void press(const char* button) { testsupport::press(*test, button); }
    // Presses a button and returns what went over the wire.
    std::vector<std::string> sent(const char* button) { return sentBy(*test, button); }
    int mainRow(const QString& name) { return named<QComboBox>(*window, name)->currentIndex(); }
    // The window against its recorded copy; its clock shows the real time.
    ::testing::AssertionResult showsAsRecorded(const std::string& name) {
        return testsupport::showsAsRecorded(*test, name, {.leaveOut = {"DateTime"}});
    }
    std::unique_ptr<LEDTestMessage> test;
};

// Priority 0 of the main window, which holds the sign's factory set-up.
const std::string kHeader = "<id=0 f=5 s=0 c=0 a=0 b=0 p=2 sp=2 t=10>";

// Each edit as an operator makes it: the command shown, the lists and the bytes sent.
TEST_F(TestMessage, TheCommandSentIsWhatTheEditorAndListsShow) {
    const struct {
        const char* name;
        std::function<void(TestMessage&)> edit;
        std::string command;  // "" when the text is refused and nothing sent
    } cases[] = {
        // clang-format off
        {"one font one colour", [](TestMessage& t) { t.font(9); t.colour(3); t.type("Hello"); },
         "<id=0 f=9 s=0 c=3 a=0 b=0 p=2 sp=2 t=10>Hello"},
        {"a second font and colour in a row replace the first",
         [](TestMessage& t) { t.type("Hi"); t.font(9); t.colour(3); t.font(12); t.colour(4); },
         "<id=0 f=12 s=0 c=4 a=0 b=0 p=2 sp=2 t=10>Hi"},
        {"two colours in selection mode",
         [](TestMessage& t) { t.type("AB"); t.selectionMode(); t.select(0, 1); t.colour(0); t.select(1, 2); t.colour(3); },
         kHeader + "A$CDB"},
        {"colours 10 and 11 read back as 9",
         [](TestMessage& t) { t.type("xyz"); t.selectionMode(); t.select(0, 1); t.colour(10);
                              t.select(1, 2); t.colour(4); t.select(2, 3); t.colour(11); },
         "<id=0 f=5 s=0 c=9 a=0 b=0 p=2 sp=2 t=10>x$CEy$CJz"},
        {"mixed fonts", [](TestMessage& t) { t.type("ab cd"); t.selectionMode(); t.select(3, 5); t.font(21); },
         kHeader + "ab $FVcd"},
        {"placeholder, line break and id",
         [](TestMessage& t) { t.test->MsgID->setCurrentIndex(6); t.type("Now <hh:mm>"); enter(t.test->ColorTextBox); t.type("next"); },
         "<id=6 f=5 s=0 c=0 a=0 b=0 p=2 sp=2 t=10>Now $T2$Lnext"},
        {"whole-text mode recolours everything",
         [](TestMessage& t) { t.type("AB"); t.selectionMode(); t.select(1, 2); t.colour(3); t.selectionMode(); t.colour(4); },
         "<id=0 f=5 s=0 c=4 a=0 b=0 p=2 sp=2 t=10>AB"},
        {"typing after mixing colours keeps them",
         [](TestMessage& t) { t.type("AB"); t.selectionMode(); t.select(1, 2); t.colour(3); t.selectionMode(); t.type("C"); },
         kHeader + "A$CDB$CAC"},
        {"an empty first line keeps the chosen colour",
         [](TestMessage& t) { t.font(9); t.colour(3); enter(t.test->ColorTextBox); t.type("Hi"); },
         "<id=0 f=9 s=0 c=3 a=0 b=0 p=2 sp=2 t=10>$LHi"},
        {"Shift+Enter is a line break",
         [](TestMessage& t) { t.type("a"); enter(t.test->ColorTextBox, Qt::ShiftModifier); t.type("b"); },
         kHeader + "a$Lb"},
        {"inserting the time keeps one format",
         [](TestMessage& t) { t.type("AB"); t.selectionMode(); t.select(1, 2); t.colour(3);
                              t.test->TimeFormat->setCurrentIndex(5); t.press("InsertTime"); },
         kHeader + "AB$T5"},
        {"typographic characters become their 8-bit forms",
         [](TestMessage& t) { t.type("\u201CHi\u201D \u2013 ok\u2026"); }, kHeader + "\"Hi\" - ok..."},
        {"a euro sign is refused", [](TestMessage& t) { t.type("5 \u20AC"); }, ""},
        {"a typed degree sign would be a time code: refused", [](TestMessage& t) { t.type("25\u00B0C"); }, ""},
        {"a whole-text colour leaves the caret at the start; centring keeps it",
         [](TestMessage& t) { t.type("Go"); t.colour(2); t.align(2); typeKeys(t.test->ColorTextBox, "!"); },
         "<id=0 f=5 s=0 c=2 a=2 b=0 p=2 sp=2 t=10>!Go"},
        // clang-format on
    };
    for (const auto& c : cases) {
        LEDTestMessage& w = open();
        dialogs.messages.clear();
        c.edit(*this);
        // The lists show the header's font and colour.
        EXPECT_TRUE(showsAsRecorded("test-message-edit-" + std::to_string(&c - cases))) << c.name;
        EXPECT_EQ(sent("Upload"), c.command.empty() ? std::vector<std::string>{}
                                                    : std::vector<std::string>{c.command + "\r"})
            << c.name;
        EXPECT_EQ(dialogs.messages.size(), c.command.empty() ? 1u : 0u) << c.name;
        clock.advance(100);
        EXPECT_EQ(w.Ack->text(), c.command.empty() ? "" : "Upload Successfull") << c.name;
    }
}

// With "save changes" on, lists and time-out go into the chosen priority as they change.
TEST_F(TestMessage, ChangesAreCopiedIntoTheChosenPriority) {
    LEDTestMessage& w = open();
    font(9);
    colour(3);
    w.Timeout->setText("33");
    EXPECT_EQ(mainRow("FontP0"), 9);
    EXPECT_EQ(mainRow("ColorP0"), 3);
    EXPECT_EQ(named<QLineEdit>(*window, "TimeoutP0")->text(), "33");

    named<QComboBox>(*window, "FontP2")->setCurrentIndex(12);
    named<QComboBox>(*window, "FontP4")->setCurrentIndex(14);
    for (const int p : {4, 2}) {  // the lists take the chosen priority's values
        w.MsgPri->setCurrentIndex(p);
        emit w.MsgPri->activated(p);
        EXPECT_EQ(list("fontList")->currentRow(), p == 4 ? 14 : 12);
    }
    list("SpeedList")->setCurrentRow(4);
    EXPECT_EQ(mainRow("SpeedP2"), 4);
    type("ab");
    selectionMode();
    select(0, 1);
    colour(6);
    select(1, 2);
    colour(5);  // the header's colour moves the list back to 6
    EXPECT_EQ(mainRow("ColorP2"), 6);
    EXPECT_EQ(mainRow("ColorP0"), 3);

    named<QAbstractButton>(w, "SaveSettings")->click();  // off
    EXPECT_EQ(window->getSaveSettingsTick(), 0);
    list("BeepList")->setCurrentRow(2);
    EXPECT_EQ(mainRow("BeepP2"), 0);
}

TEST_F(TestMessage, SetTimeDownloadAndTheirReplies) {
    LEDTestMessage& w = open();
    w.currentTime = [] { return QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3)); };
    EXPECT_EQ(sent("SetTime"),
              (std::vector<std::string>{"<Time time=09:07:03 date=2024/03/05-2>SET TIME\r"}));
    EXPECT_TRUE(showsAsRecorded("test-message-setting-time"));  // one exchange at a time
    clock.advance(600);
    EXPECT_TRUE(showsAsRecorded("test-message-time-set"));

    type("typed");
    bench.signs[1]->handleCommand("<DF f=3 c=2 s=1 a=0 sp=4 p=5>Hi$Lthere");
    EXPECT_EQ(sent("Download"), (std::vector<std::string>{"DOWNLOAD_DEFAULT_MSG\r"}));
    EXPECT_TRUE(showsAsRecorded("test-message-reading"));
    clock.advance(600);
    // Lists at 3, 1, 2, 4, 0, 5, "Hi\nthere" below; the editor is left alone.
    EXPECT_TRUE(showsAsRecorded("test-message-read"));

    for (const char* line : {"no colon here", "<Time time=1:2:3>SET TIME"}) w.HandleReply(line);
    EXPECT_EQ(list("fontList")->currentRow(), 3);  // neither is a record
    w.HandleReply("error");
    EXPECT_EQ(w.Ack->text(), "The sign answered \"error\": it did not take the command");
    w.HandleReply("XY12:-1");  // short record: font -1 is none, missing numbers read as 0
    EXPECT_EQ(std::pair(list("fontList")->currentRow(), list("StyleList")->currentRow()),
              std::pair(-1, 0));
    EXPECT_EQ(w.defaultMessage->toPlainText(), "");

    // A double-click on the command sends it again.
    const size_t start = mark();
    QTest::mouseDClick(named<QLineEdit>(*test, "Test"), Qt::LeftButton);
    EXPECT_EQ(linesSince(start), std::vector<std::string>{kHeader + "typed\r"});
}

// Every font and colour on a letter of its own: as the editor shows it and as it is sent.
TEST_F(TestMessage, EveryFontAndColourHasItsLookAndItsCode) {
    open();
    type(QString(25, 'x'));
    selectionMode();
    for (int i = 0; i < 25; ++i) {
        select(i, i + 1);
        font(i);
        colour(i % list("ColorList")->count());
    }
    EXPECT_TRUE(showsAsRecorded("test-message-every-font-and-colour"));
}

// A KL404 has no speed, alignment or time formats; the clock shows from the start.
TEST_F(TestMessage, Kl404ListsAndTheClockFromTheStart) {
    EXPECT_NE(named<QLabel>(open("KL404"), "DateTime")->text(), "");
    EXPECT_TRUE(showsAsRecorded("test-message-KL404"));
}

// Enter presses no default button; a status stays while an unanswered write runs.
TEST_F(TestMessage, EnterPressesNoButtonAndAWriteKeepsTheStatus) {
    LEDTestMessage& w = open();
    w.show();
    w.Timeout->setFocus();
    const size_t start = mark();
    enter(w.Timeout);
    EXPECT_EQ(mark(), start);
    EXPECT_EQ(w.Test->text().toStdString(), kHeader);
    EXPECT_TRUE(w.isVisible());

    w.showAck("kept");
    clock.advance(4000);
    bench.signs.clear();
    press("Upload");
    clock.advance(4000);
    EXPECT_EQ(w.Ack->text(), "kept");
    w.showAck("first");
    clock.advance(3000);
    w.showAck("cleared");  // a new one starts its 5 s again
    clock.advance(3000);
    EXPECT_EQ(w.Ack->text(), "cleared");
    clock.advance(2100);
    EXPECT_EQ(w.Ack->text(), "");
}

}  // namespace
}  // namespace glowset::testing
