// Every reply of the reply table, and the settings line into every control.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

#include "glowset/options/option_sets.h"
#include "tests/glowset/support/window_fixture.h"
#include "tests/support/named.h"

namespace glowset::testing {
namespace {

using Replies = WindowTest;

TEST_F(Replies, StatusLineForEachReply) {
    startAndSearch();
    const struct {
        const char* line;
        int progress;
        QString status;  // after "previous" was shown
    } cases[] = {
        {"done", 60, "Uploaded 3 Successfull"},
        {"job DONE.", 61, "Uploaded 3.05 Successfull"},
        {"default 2", 0, "Default Uploaded : 2"},
        {"default", 0, "previous"},
        {"delinked", 0, "previous"},
        {"linked 4", 0, "Linked ID : 4"},
        {"delinked 4", 0, "Linked ID : 4"},
        {"linked", 0, "previous"},
        {"user cmd", 0, "User Command Uploaded"},
        {"Auto ID", 0, "Switched to Auto ID"},
        {"User ID", 0, "Switched to User ID"},
        {"error", 0, "previous"},
        {"hello", 0, "previous"},
        {"", 0, "previous"},
    };
    for (const auto& c : cases) {
        window->showStatus("previous");
        testsupport::named<QProgressBar>(*window, "ProgressUploadAll")->setMaximum(1000);
        testsupport::named<QProgressBar>(*window, "ProgressUploadAll")->setValue(c.progress);
        window->HandleSignReply(c.line);
        EXPECT_EQ(testsupport::named<QLabel>(*window, "Textout")->text(), c.status) << c.line;
        EXPECT_FALSE(testsupport::named<QLabel>(*window, "Textout")->isHidden()) << c.line;
    }
    // The status clears itself 5 s after the last message.
    clock.advance(5000);
    EXPECT_EQ(testsupport::named<QLabel>(*window, "Textout")->text(), "");
    EXPECT_TRUE(testsupport::named<QLabel>(*window, "Textout")->isHidden());
}

// The sign's set-up, read from port 1 by the search.
struct Expected {
    std::array<std::array<int, 7>, 5> codes;  // font, style, colour, speed, alignment, pause, beep
    std::array<int, 5> timeouts;
};

void setUpSign(signsim::Sign& sign) {
    for (int p = 0; p < 5; ++p) {
        sign.state().priorities[p] = {p + 6, p + 1, 8 - p, p % 5, p % 3, 9 - p, p % 3, 5 * p + 3};
    }
    sign.state().links = {{3, "1111", 1}, {3, "2222", 2}, {5, "0", 0}, {6, "777", 5}, {0, "42", 4}};
    sign.state().autoId = false;
    sign.state().userCommand = "RESET 9";
}

void expectControls(const GlowsetMain& w) {
    for (int p = 0; p < 5; ++p) {
        const std::array<QComboBox*, 7> lists = {testsupport::named<QComboBox>(w, QString("FontP%1").arg(p)),  testsupport::named<QComboBox>(w, QString("StyleP%1").arg(p)),     testsupport::named<QComboBox>(w, QString("ColorP%1").arg(p)),
                                                 testsupport::named<QComboBox>(w, QString("SpeedP%1").arg(p)), testsupport::named<QComboBox>(w, QString("AlignmentP%1").arg(p)), testsupport::named<QComboBox>(w, QString("PauseP%1").arg(p)),
                                                 testsupport::named<QComboBox>(w, QString("BeepP%1").arg(p))};
        const std::array<int, 7> expected = {p + 6, p + 1, 8 - p, p % 5, p % 3, 9 - p, p % 3};
        for (int v = 0; v < 7; ++v) {
            EXPECT_EQ(lists[v]->currentIndex(), expected[v])
                << lists[v]->objectName().toStdString();
        }
        EXPECT_EQ(testsupport::named<QLineEdit>(w, QString("TimeoutP%1").arg(p))->text(), QString::number(5 * p + 3));
    }
    EXPECT_EQ(testsupport::named<QLineEdit>(w, "Capcode0_3")->text(), "1111,2222");
    EXPECT_EQ(testsupport::named<QComboBox>(w, "Pri0_3")->currentIndex(), 2);
    EXPECT_EQ(testsupport::named<QLineEdit>(w, "Capcode0_5")->text(), "");  // capcode "0" is an empty entry
    EXPECT_EQ(testsupport::named<QLineEdit>(w, "Capcode0_6")->text(), "777");
    EXPECT_EQ(testsupport::named<QComboBox>(w, "Pri0_6")->currentIndex(), -1);  // priority 5: list left empty
    EXPECT_EQ(testsupport::named<QLineEdit>(w, "Capcode0_0")->text(), "42");
    EXPECT_EQ(testsupport::named<QComboBox>(w, "Pri0_0")->currentIndex(), 4);
    EXPECT_EQ(testsupport::named<QCheckBox>(w, "AutoID")->checkState(), Qt::Unchecked);
    EXPECT_EQ(testsupport::named<QLabel>(w, "TestLabel")->text(), "Auto ID False");
    EXPECT_EQ(testsupport::named<QLineEdit>(w, "usercmd1")->text(), "RESET 9");
}

TEST_F(Replies, SettingsLineFillsEveryControlForEachModel) {
    const struct {
        const char* model;
        size_t styleEntries;
        bool speedEnabled;
        int fontWidthTwips;
    } cases[] = {
        {"XY12", 28, true, 2280},
        {"TB330", 28, true, 2280},  // character-code replies
        {"KL404", 23, false, 1500},
    };
    for (const auto& c : cases) {
        bench.signs.clear();
        setUpSign(bench.attachSign(1, {c.model, "4.1"}));
        GlowsetMain& w = startAndSearch();
        EXPECT_EQ(testsupport::named<QLabel>(w, "LEDSignModel")->text(), c.model);
        EXPECT_EQ(w.LEDSignModelNumber, c.model);
        EXPECT_EQ(testsupport::named<QLabel>(w, "FCount")->text(), "4.1");
        EXPECT_EQ(testsupport::named<QLabel>(w, "FCount")->toolTip(), "Firmware Count");
        EXPECT_EQ(static_cast<size_t>(testsupport::named<QComboBox>(w, "StyleP0")->count()), c.styleEntries) << c.model;
        EXPECT_EQ(testsupport::named<QComboBox>(w, "SpeedP2")->isEnabled(), c.speedEnabled) << c.model;
        EXPECT_EQ(testsupport::named<QComboBox>(w, "AlignmentP2")->isEnabled(), c.speedEnabled) << c.model;
        EXPECT_EQ(testsupport::named<QComboBox>(w, "FontP0")->width(), w.tw(c.fontWidthTwips)) << c.model;
        EXPECT_EQ(w.height(), w.tw(kTallHeightTwips));
        expectControls(w);
        // Controls and copy agree: an upload right now has nothing to send.
        EXPECT_EQ(w.getChangedRows(), 0) << c.model;
        window.reset();
        bench.writes.clear();
    }
}

TEST_F(Replies, HeaderWithoutFirmwareCountAndAModelChangeBack) {
    GlowsetMain& w = startAndSearch();
    w.HandleSignReply("KL404:1,2");
    EXPECT_FALSE(testsupport::named<QComboBox>(w, "SpeedP0")->isEnabled());
    w.HandleSignReply("DOWNLOAD_ALLXY12:1,2");
    EXPECT_EQ(testsupport::named<QLabel>(w, "LEDSignModel")->text(), "XY12");
    EXPECT_EQ(testsupport::named<QLabel>(w, "FCount")->text(), "Not Available");
    EXPECT_EQ(testsupport::named<QLabel>(w, "FCount")->toolTip(), "Firmware Count is available in version 3.9 and above");
    EXPECT_EQ(testsupport::named<QWidget>(w, "FCountLabel")->toolTip(), testsupport::named<QLabel>(w, "FCount")->toolTip());
    EXPECT_TRUE(testsupport::named<QComboBox>(w, "SpeedP0")->isEnabled());
    EXPECT_EQ(testsupport::named<QComboBox>(w, "FontP0")->itemText(6), "Seven Row Shade");
    EXPECT_EQ(testsupport::named<QComboBox>(w, "FontP0")->currentIndex(), 1);    // field 0
    EXPECT_EQ(testsupport::named<QComboBox>(w, "StyleP0")->currentIndex(), 2);   // field 1
    EXPECT_EQ(testsupport::named<QComboBox>(w, "ColorP0")->currentIndex(), -1);  // missing field: refilled list, no selection
}

TEST_F(Replies, ValuesOutsideAListLeaveItAlone) {
    GlowsetMain& w = startAndSearch();
    std::string line = "XY12,5:99,1,70000,-1,-5";
    w.HandleSignReply(line);
    EXPECT_EQ(testsupport::named<QComboBox>(w, "FontP0")->currentIndex(), -1);
    EXPECT_GT(w.getChangedRows(), 0);  // the copy keeps 99, which no entry shows
    EXPECT_EQ(testsupport::named<QComboBox>(w, "StyleP0")->currentIndex(), 1);
    EXPECT_EQ(testsupport::named<QComboBox>(w, "ColorP0")->currentIndex(), -1);  // does not fit 16 bits: skipped
    EXPECT_EQ(testsupport::named<QComboBox>(w, "SpeedP0")->currentIndex(), -1);
    EXPECT_EQ(testsupport::named<QLabel>(w, "FCount")->text(), "5");
}

}  // namespace
}  // namespace glowset::testing
