// The upload queue, Force Upload and the id-mode switch on the virtual clock.

#include "glowset/core/session/sign_copy.h"
#include "tests/glowset/support/window_fixture.h"
#include "tests/support/window_snapshot.h"

namespace glowset::testing {
namespace {

class Upload : public WindowTest {
  protected:
    GlowsetMain& withSign() {
        return WindowTest::withSign("XY12", [](signsim::Sign& s) {
            s.state().links = {{2, "55", 1}, {5, "66", 3}};
        });
    }
    // Presses and lets the queue run out; the writes, timed from the press.
    std::vector<WireWrite> run(const std::function<void()>& press) {
        const size_t start = mark();
        const long long t0 = clock.nowMilliseconds();
        press();
        clock.advance(20000);
        auto writes = writesSince(start);
        for (auto& w : writes) w.time -= t0;
        return writes;
    }
};

TEST_F(Upload, NothingChangedSendsNothingAndGivesTheButtonsBack) {
    withSign();
    control<QLineEdit>("TimeoutP1")->setText("9.5 s");  // 10 s, half to even: the sign's
    const size_t start = mark();
    click("UploadAll");
    EXPECT_TRUE(port().isOpen());
    EXPECT_TRUE(testsupport::showsAsRecorded(*window, "main-window-nothing-to-upload"));
    clock.advance(500);
    EXPECT_FALSE(port().isOpen());
    EXPECT_TRUE(testsupport::showsAsRecorded(*window, "main-window-after-nothing-to-upload"));
    EXPECT_EQ(mark(), start);
}

TEST_F(Upload, OrderOnTheWireOneItemPer500MsAndTheLinkPair) {
    withSign();
    choose("ColorP4", 3);
    control<QLineEdit>("TimeoutP4")->setText("30");
    choose("FontP1", 7);
    control<QLineEdit>("usercmd1")->setText("RST");
    control<QLineEdit>("Capcode0_2")->setText("77");         // id 2: new capcode, priority kept
    control<QLineEdit>("Capcode0_5")->clear();               // id 5: emptied
    control<QLineEdit>("Capcode0_0")->setText("1234,5678");  // id 0: no priority chosen
    control<QCheckBox>("AutoID")->setCheckState(Qt::Unchecked);
    const auto writes = run([&] { click("UploadAll"); });
    const std::vector<std::pair<long long, std::string>> expected = {
        {500, "<DF pr=1 f=7 c=0 s=0 a=0 sp=2 p=2 b=0 t=10>\r"},
        {1000, "<DF pr=4 f=5 c=3 s=0 a=0 sp=2 p=2 b=0 t=30>\r"},
        {1500, "<id=user>\r"},
        {2000, "<UC>RST\r"},
        {2500, "<link id=0 cap=0>\r"},
        {2650, "<link id=0 cap=1234,5678 pr=0>\r"},
        {3000, "<link id=2 cap=0>\r"},
        {3150, "<link id=2 cap=77 pr=1>\r"},
        {3500 + 150,
         "<link id=5 cap=0>\r"},  // no clear line first: only the set line, after the wait
    };
    ASSERT_EQ(writes.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(writes[i].time, expected[i].first) << i;
        EXPECT_EQ(writes[i].bytes, expected[i].second) << i;
    }
    // Bar 1 + 20 per item, hidden; id 0 given priority 0; id 5 emptied.
    EXPECT_TRUE(testsupport::showsAsRecorded(*window, "main-window-after-upload"));
    EXPECT_FALSE(port().isOpen());
    // The sign now holds what was sent.
    const auto& links = bench.signs[1]->state().links;
    EXPECT_EQ(links,
              (std::vector<signsim::LinkEntry>{{0, "1234", 0}, {0, "5678", 0}, {2, "77", 1}}));
    EXPECT_TRUE(run([&] { click("UploadAll"); }).empty());  // nothing left to send
}

TEST_F(Upload, ForceUploadSendsEverythingWithProgressMaximum301) {
    startAndSearch();  // no sign: capcode boxes empty
    for (int p = 0; p < 5; ++p) {
        for (const char* list : {"Font", "Style", "Color", "Speed", "Alignment", "Pause", "Beep"})
            choose(QString("%1P%2").arg(list).arg(p), 0);
    }
    std::vector<int> progress;
    click("ForceUpload");
    EXPECT_EQ(control<QProgressBar>("ProgressUploadAll")->maximum(), 301);
    const size_t start = mark();
    for (int step = 0; step < 17; ++step) {
        clock.advance(500);
        progress.push_back(control<QProgressBar>("ProgressUploadAll")->value());
    }
    std::vector<std::string> expected;
    for (int p = 0; p < 5; ++p)
        expected.push_back("<DF pr=" + std::to_string(p) + " f=0 c=0 s=0 a=0 sp=0 p=0 b=0 t=>\r");
    expected.insert(expected.end(), {"<id=user>\r", "<UC>\r"});
    for (int n = 0; n < 8; ++n) expected.push_back("<link id=" + std::to_string(n) + " cap=0>\r");
    EXPECT_EQ(linesSince(start), expected);
    EXPECT_EQ(progress[0], 20);
    EXPECT_EQ(progress[14], 300);
    EXPECT_EQ(progress[15], 301);
    EXPECT_FALSE(port().isOpen());
}

TEST_F(Upload, PortThatCannotBeOpenedLeavesEverythingAsItWas) {
    withSign();
    bench.removePort(1);
    choose("ColorP0", 4);
    const size_t start = mark();
    click("UploadAll");
    clock.advance(2000);
    EXPECT_EQ(mark(), start);
    EXPECT_TRUE(control<QPushButton>("UploadAll")->isEnabled());
    EXPECT_TRUE(dialogs.messages.empty());  // silent for a missing device
    bench.missing.clear();
    click("UploadAll");  // the device is back: the record is still to send
    clock.advance(2000);
    EXPECT_EQ(linesSince(start),
              std::vector<std::string>{"<DF pr=0 f=5 c=4 s=0 a=0 sp=2 p=2 b=0 t=10>\r"});
    const size_t invalid = mark();

    choose("ComportsList", -1);  // port number 0: invalid
    click("UploadAll");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Cannot Open Port:0\r\nPlease Change Comport");
    EXPECT_EQ(mark(), invalid);
}

TEST_F(Upload, ForcingIdZeroRelabelsEveryRowAndUncheckingRestoresThem) {
    startAndSearch();
    for (const bool forced : {true, false}) {
        click("ForceOnID0");
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(textOf(QString("LabelID%1").arg(i)), QString("ID   %1").arg(forced ? 0 : i));
    }
}

TEST_F(Upload, IdModeSwitchActsOnThePressAndWaitsForTheReply) {
    GlowsetMain& w = withSign();
    ASSERT_EQ(control<QCheckBox>("AutoID")->checkState(), Qt::Checked);
    const size_t start = mark();
    QTest::mouseClick(control<QCheckBox>("AutoID"), Qt::LeftButton);
    clock.advance(199);  // the port stays open 200 ms for the reply
    EXPECT_TRUE(testsupport::showsAsRecorded(*window, "main-window-switching-id"));
    EXPECT_TRUE(port().isOpen());
    clock.advance(1);
    EXPECT_TRUE(testsupport::showsAsRecorded(*window, "main-window-switched-to-user-id"));
    EXPECT_FALSE(port().isOpen());
    EXPECT_EQ(linesSince(start), std::vector<std::string>{"<id=user>\r"});
    EXPECT_EQ(w.getChangedRows(), 1);  // the copy is untouched: the next upload sends it again
    QTest::keyPress(control<QCheckBox>("AutoID"), Qt::Key_Space);  // and back by keyboard
    EXPECT_EQ(linesSince(start).back(), "<id=auto>\r");
    QTest::keyRelease(control<QCheckBox>("AutoID"), Qt::Key_Space);
    clock.advance(200);
    EXPECT_EQ(control<QCheckBox>("AutoID")->checkState(), Qt::Checked);

    bench.removePort(1);
    QTest::mouseClick(control<QCheckBox>("AutoID"), Qt::LeftButton);
    EXPECT_EQ(control<QCheckBox>("AutoID")->checkState(), Qt::Checked);  // nothing happened
}

// Text that is no entry clears a list's selection; typing marks the priority even when
// the text ends as its entry's.
TEST_F(Upload, TypingIntoAListClearsItsSelectionAndMarksThePriority) {
    withSign();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const auto typeInto = [&](const char* name, const QString& text) {
        QComboBox* list = control<QComboBox>(name);
        list->setFocus();
        list->lineEdit()->selectAll();
        QTest::keyClicks(list->lineEdit(), text);
        return list;
    };
    QComboBox* colour = typeInto("ColorP2", "Bl");
    EXPECT_EQ(colour->currentIndex(), -1);
    EXPECT_EQ(colour->currentText(), "Bl");
    const QString pause = control<QComboBox>("PauseP0")->currentText();
    typeInto("PauseP0", pause);
    EXPECT_EQ(control<QComboBox>("PauseP0")->currentText(), pause);
    control<QLineEdit>("usercmd1")->clear();
    typeKeys(control<QLineEdit>("usercmd1"), QString::fromUtf8("GO\u201D"));  // converted as typed
    EXPECT_EQ(textOf("Textout"), QString::fromUtf8("Changed for the sign: \u201D to \""));
    std::vector<std::string> sent;
    for (const auto& write : run([&] { click("UploadAll"); }))
        sent.push_back(write.bytes.substr(0, 8));
    EXPECT_EQ(sent, (std::vector<std::string>{"<DF pr=0", "<DF pr=2", "<UC>GO\"\r"}));
    for (const char* box : {"Capcode0_0", "TimeoutP1"}) {  // every field for the sign
        typeKeys(control<QLineEdit>(box), QString::fromUtf8("\u201D"));
        EXPECT_TRUE(textOf(box).endsWith('"')) << box;
    }
}

}  // namespace
}  // namespace glowset::testing
