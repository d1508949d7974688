#include <QCheckBox>
#include <QAbstractButton>
// The test message window: inline codes from the editor, the lists, the
// copy into the main window, replies.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

#include "glowset/windows/test_message_window.h"
#include "tests/glowset/support/window_fixture.h"
#include "tests/support/named.h"

namespace glowset::testing {
namespace {

class TestMessage : public WindowTest {
  protected:
    std::unique_ptr<LEDTestMessage> open(const char* model = "XY12") {
        bench.attachSign(1, {model, "4"});
        startAndSearch();
        clock.advance(1000);
        return std::make_unique<LEDTestMessage>(platform, *window);
    }
    // Types text at the end of the editor in the current font and colour.
    static void type(LEDTestMessage& w, const QString& text) {
        w.ColorTextBox->moveCursor(QTextCursor::End);
        w.ColorTextBox->insertPlainText(text);
    }
    // Selects characters [from, to) of the editor.
    static void select(LEDTestMessage& w, int from, int to) {
        QTextCursor cursor = w.ColorTextBox->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        w.ColorTextBox->setTextCursor(cursor);
    }
};

TEST_F(TestMessage, StartsWithThePriority0SettingsOfTheMainWindow) {
    auto w = open();
    EXPECT_EQ(w->MsgID->currentText(), "0");
    EXPECT_EQ(w->MsgPri->currentText(), "Priority 0");
    EXPECT_EQ(w->fontList->currentRow(), 5);  // the sign's factory set-up
    EXPECT_EQ(w->SpeedList->currentRow(), 2);
    EXPECT_EQ(w->Timeout->text(), "10");
    EXPECT_TRUE(w->SaveSettings->isChecked());
    EXPECT_EQ(w->Download->text(), "Download from Pager");
    // An empty editor: the header with nothing after it.
    EXPECT_EQ(w->BuildTestCommand(), "<id=0 f=5 s=0 c=0 a=0 b=0 p=2 sp=2 t=10>");
}

TEST_F(TestMessage, CommandsFromTheEditor) {
    const struct {
        const char* name;
        std::function<void(LEDTestMessage&)> edit;
        std::string command;
        int fontRow, colourRow;
    } cases[] = {
        {"one font one colour",
         [](LEDTestMessage& w) {
             w.fontList->setCurrentRow(9);
             w.ColorList->setCurrentRow(3);
             type(w, "Hello");
         },
         "<id=0 f=9 s=0 c=3 a=0 b=0 p=2 sp=2 t=10>Hello", 9, 3},
        {"two colours in selection mode",
         [](LEDTestMessage& w) {
             type(w, "AB");
             w.ColorLabel_DblClick();
             select(w, 0, 1);
             w.ColorList->setCurrentRow(0);
             select(w, 1, 2);
             w.ColorList->setCurrentRow(3);
         },
         "<id=0 f=5 s=0 c=0 a=0 b=0 p=2 sp=2 t=10>A$CDB", 5, 0},
        {"colours 10 and 11 read back as 9",
         [](LEDTestMessage& w) {
             type(w, "xyz");
             w.ColorLabel_DblClick();
             select(w, 0, 1);
             w.ColorList->setCurrentRow(10);
             select(w, 1, 2);
             w.ColorList->setCurrentRow(4);
             select(w, 2, 3);
             w.ColorList->setCurrentRow(11);
         },
         "<id=0 f=5 s=0 c=9 a=0 b=0 p=2 sp=2 t=10>x$CEy$CJz", 5, 9},
        {"mixed fonts",
         [](LEDTestMessage& w) {
             type(w, "ab cd");
             w.ColorLabel_DblClick();
             select(w, 3, 5);
             w.fontList->setCurrentRow(21);
         },
         "<id=0 f=5 s=0 c=0 a=0 b=0 p=2 sp=2 t=10>ab $FVcd", 5, 0},
        {"placeholder and line break",
         [](LEDTestMessage& w) {
             type(w, "Now <hh:mm>\nnext");
             w.MsgID->setCurrentIndex(6);
         },
         "<id=6 f=5 s=0 c=0 a=0 b=0 p=2 sp=2 t=10>Now $T2$Lnext", 5, 0},
        {"whole-text mode recolours everything",
         [](LEDTestMessage& w) {
             type(w, "AB");
             w.ColorLabel_DblClick();
             select(w, 1, 2);
             w.ColorList->setCurrentRow(3);
             w.ColorLabel_DblClick();  // back to whole text
             w.ColorList->setCurrentRow(4);
         },
         "<id=0 f=5 s=0 c=4 a=0 b=0 p=2 sp=2 t=10>AB", 5, 4},
    };
    for (const auto& c : cases) {
        auto w = open();
        c.edit(*w);
        EXPECT_EQ(w->BuildTestCommand(), c.command) << c.name;
        EXPECT_EQ(w->Test->text().toStdString(), c.command) << c.name;
        EXPECT_EQ(w->fontList->currentRow(), c.fontRow) << c.name;
        EXPECT_EQ(w->ColorList->currentRow(), c.colourRow) << c.name;
        const size_t start = mark();
        testsupport::named<QAbstractButton>(*w, "Upload")->click();
        ASSERT_EQ(writesSince(start).size(), 1u) << c.name;
        EXPECT_EQ(writesSince(start)[0].bytes, c.command + "\r") << c.name;
        clock.advance(100);
        EXPECT_EQ(w->Ack->text(), "Upload Successfull") << c.name;
        clock.advance(500);
        EXPECT_TRUE(w->Upload->isEnabled()) << c.name;
        w.reset();
        window.reset();
    }
}

// The editor as an operator works it: keys on the real editor, the send
// button pressed, what went over the wire compared.
TEST_F(TestMessage, WhatTheEditorShowsIsWhatTheSignGets) {
    const auto key = [](QWidget* to, int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                        const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
        QCoreApplication::sendEvent(to, &press);
        QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
        QCoreApplication::sendEvent(to, &release);
    };
    const auto typeKeys = [&key](QWidget* to, const QString& text) {
        for (QChar c : text) key(to, Qt::Key_unknown, Qt::NoModifier, QString(c));
    };
    const auto enter = [&key](QWidget* to) { key(to, Qt::Key_Return, Qt::NoModifier, "\r"); };
    const struct {
        const char* name;
        std::function<void(LEDTestMessage&)> edit;
        std::string sent;  // "" when nothing may be sent
        int mainColourOfPriority2 = -1;  // checked when not -1
    } cases[] = {
        {"an empty first line keeps the chosen colour",
         [&](LEDTestMessage& w) {
             w.fontList->setCurrentRow(9);
             w.ColorList->setCurrentRow(3);
             enter(w.ColorTextBox);
             typeKeys(w.ColorTextBox, "Hi");
         },
         "<id=0 f=9 s=0 c=3 a=0 b=0 p=2 sp=2 t=10>$LHi\r"},
        {"Shift+Enter is a line break",
         [&](LEDTestMessage& w) {
             typeKeys(w.ColorTextBox, "a");
             key(w.ColorTextBox, Qt::Key_Return, Qt::ShiftModifier, "\r");
             typeKeys(w.ColorTextBox, "b");
         },
         "<id=0 f=5 s=0 c=0 a=0 b=0 p=2 sp=2 t=10>a$Lb\r"},
        {"typing after mixing colours keeps them",
         [&](LEDTestMessage& w) {
             typeKeys(w.ColorTextBox, "AB");
             w.ColorLabel_DblClick();
             select(w, 1, 2);
             w.ColorList->setCurrentRow(3);
             w.ColorLabel_DblClick();  // back to whole text
             w.ColorTextBox->moveCursor(QTextCursor::End);
             typeKeys(w.ColorTextBox, "C");
         },
         "<id=0 f=5 s=0 c=0 a=0 b=0 p=2 sp=2 t=10>A$CDB$CAC\r"},
        {"a header move is saved to the priority",
         [&](LEDTestMessage& w) {
             w.MsgPri->setCurrentIndex(2);
             w.MsgPri_Click();
             typeKeys(w.ColorTextBox, "ab");
             w.ColorLabel_DblClick();
             select(w, 0, 1);
             w.ColorList->setCurrentRow(3);
             select(w, 1, 2);
             w.ColorList->setCurrentRow(5);  // the header moves the list back to 3
         },
         "<id=0 f=5 s=0 c=3 a=0 b=0 p=2 sp=2 t=10>a$CFb\r", 3},
        {"typographic characters become their 8-bit forms",
         [&](LEDTestMessage& w) { typeKeys(w.ColorTextBox, "\u201CHi\u201D \u2013 ok\u2026"); },
         "<id=0 f=5 s=0 c=0 a=0 b=0 p=2 sp=2 t=10>\"Hi\" - ok...\r"},
        {"a euro sign is refused", [&](LEDTestMessage& w) { typeKeys(w.ColorTextBox, "5 \u20AC"); },
         ""},
        {"a typed degree sign would be a time code: refused",
         [&](LEDTestMessage& w) { typeKeys(w.ColorTextBox, "25\u00B0C"); }, ""},
    };
    for (const auto& c : cases) {
        auto w = open();
        dialogs.messages.clear();
        c.edit(*w);
        const size_t start = mark();
        w->findChild<QPushButton*>("Upload")->click();
        if (c.sent.empty()) {
            EXPECT_TRUE(writesSince(start).empty()) << c.name;
            ASSERT_EQ(dialogs.messages.size(), 1u) << c.name;
            EXPECT_TRUE(dialogs.messages[0].text.contains("U+")) << c.name;
        } else {
            ASSERT_EQ(writesSince(start).size(), 1u) << c.name;
            EXPECT_EQ(writesSince(start)[0].bytes, c.sent) << c.name;
            EXPECT_TRUE(dialogs.messages.empty()) << c.name;
        }
        if (c.mainColourOfPriority2 >= 0)
            EXPECT_EQ(testsupport::named<QComboBox>(*window, "ColorP2")->currentIndex(), c.mainColourOfPriority2) << c.name;
        w.reset();
        window.reset();
    }
}

TEST_F(TestMessage, SaveChangesToPriorityWritesIntoTheMainWindow) {
    auto w = open();
    w->MsgPri->setCurrentIndex(2);
    w->MsgPri_Click();
    w->SpeedList->setCurrentRow(4);
    EXPECT_EQ(testsupport::named<QComboBox>(*window, "SpeedP2")->currentIndex(), 4);
    w->Timeout->setText("33");
    EXPECT_EQ(testsupport::named<QLineEdit>(*window, "TimeoutP2")->text(), "33");
    w->SaveSettings->setChecked(false);
    w->SaveSettings_Click();
    EXPECT_EQ(window->getSaveSettingsTick(), 0);
    w->BeepList->setCurrentRow(2);
    EXPECT_EQ(testsupport::named<QComboBox>(*window, "BeepP2")->currentIndex(), 0);  // not copied any more
}

TEST_F(TestMessage, RepliesFillTheListsButNotTheEditor) {
    auto w = open();
    type(*w, "typed");
    w->HandleReply("no colon here");
    EXPECT_EQ(w->fontList->currentRow(), 5);
    w->HandleReply("<Time time=1:2:3>SET TIME done");
    EXPECT_EQ(w->Ack->text(), "Upload Successfull");
    w->HandleReply("XY12:3,1,2,4,0,5,0,0,Hi\xAAthere");
    const std::vector<int> rows = {w->fontList->currentRow(),  w->StyleList->currentRow(),
                                   w->ColorList->currentRow(), w->SpeedList->currentRow(),
                                   w->AlignmentList->currentRow(), w->PauseList->currentRow()};
    EXPECT_EQ(rows, (std::vector<int>{3, 1, 2, 4, 0, 5}));
    EXPECT_EQ(w->defaultMessage->toPlainText(), "Hi\nthere");
    EXPECT_EQ(w->ColorTextBox->toPlainText(), "typed");
    w->HandleReply("XY12:1");  // short record: missing numbers read as 0
    EXPECT_EQ(w->StyleList->currentRow(), 0);
    EXPECT_EQ(w->defaultMessage->toPlainText(), "");
}

TEST_F(TestMessage, Kl404ListsAndNoTimeFormats) {
    auto w = open("KL404");
    w->show();
    EXPECT_EQ(w->fontList->count(), 25);
    EXPECT_EQ(w->fontList->item(7)->text(), "Fat");
    EXPECT_EQ(w->TimeFormat->count(), 0);
    EXPECT_FALSE(w->InsertTime->isVisible());
    EXPECT_FALSE(w->SpeedList->isEnabled());
}

TEST_F(TestMessage, InsertTimeKeepsOneFormat) {
    auto w = open();
    type(*w, "AB");
    w->ColorLabel_DblClick();
    select(*w, 1, 2);
    w->ColorList->setCurrentRow(3);
    ASSERT_EQ(w->BuildTestCommand(), "<id=0 f=5 s=0 c=0 a=0 b=0 p=2 sp=2 t=10>A$CDB");
    w->TimeFormat->setCurrentIndex(5);
    testsupport::named<QAbstractButton>(*w, "InsertTime")->click();
    // The list shows the first colour; the whole text now has that one.
    EXPECT_EQ(w->BuildTestCommand(), "<id=0 f=5 s=0 c=0 a=0 b=0 p=2 sp=2 t=10>AB$T5");
}

}  // namespace
}  // namespace glowset::testing
