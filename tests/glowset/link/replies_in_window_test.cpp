// Every reply of the reply table, and the settings line into every control.

#include "glowset/options/option_sets.h"
#include "tests/glowset/support/window_fixture.h"

namespace glowset::testing {
namespace {

class Replies : public WindowTest {
  protected:
    void expectControls();
};

TEST_F(Replies, StatusLineForEachReply) {
    startAndSearch();
    const struct {
        const char* line;
        int progress;
        QString status;  // after "previous" was shown
    } cases[] = {
        {"done", 60, "Uploaded 3 Successfull"},
        {"job DONE.", 61, "Uploaded 3.05 Successfull"},
        {"done", 0, "Uploaded 0 Successfull"},     {"default 2", 0, "Default Uploaded : 2"},
        {"default", 0, "previous"},                {"delinked", 0, "previous"},
        {"linked 4", 0, "Linked ID : 4"},          {"delinked 4", 0, "Linked ID : 4"},
        {"linked", 0, "previous"},                 {"user cmd", 0, "User Command Uploaded"},
        {"Auto ID", 0, "Switched to Auto ID"},     {"User ID", 0, "Switched to User ID"},
        {"error", 0, "previous"},                  {"hello", 0, "previous"},
        {"", 0, "previous"},                       {"default done", 0, "Uploaded 0 Successfull"},
        {"USER CMD", 0, "User Command Uploaded"},  {"user cmd ", 0, "previous"},
    };
    for (const auto& c : cases) {
        window->showStatus("previous");
        control<QProgressBar>("ProgressUploadAll")->setMaximum(1000);
        control<QProgressBar>("ProgressUploadAll")->setValue(c.progress);
        window->HandleSignReply(c.line);
        EXPECT_EQ(textOf("Textout"), c.status) << c.line;
        EXPECT_FALSE(control<QLabel>("Textout")->isHidden()) << c.line;
    }
    // The status clears itself 5 s after the last message.
    clock.advance(5000);
    EXPECT_EQ(textOf("Textout"), "");
    EXPECT_TRUE(control<QLabel>("Textout")->isHidden());
}

// The sign's set-up, read from port 1 by the search.
void setUpSign(signsim::Sign& sign) {
    for (int p = 0; p < 5; ++p) {
        sign.state().priorities[p] = {p + 6, p + 1, 8 - p, p % 5, p % 3, 9 - p, p % 3, 5 * p + 3};
    }
    sign.state().links = {{3, "1111", 1}, {3, "2222", 2}, {5, "0", 0}, {6, "777", 5}, {0, "42", 4}};
    sign.state().autoId = false;
    sign.state().userCommand = "RESET 9";
}

// Every list and time-out of every priority; the link boxes (whose merging
// the parser's tests cover) are filled in by id; the id switch and user command.
void Replies::expectControls() {
    const char* lists[] = {"Font", "Style", "Color", "Speed", "Alignment", "Pause", "Beep"};
    for (int p = 0; p < 5; ++p) {
        const std::array<int, 7> expected = {p + 6, p + 1, 8 - p, p % 5, p % 3, 9 - p, p % 3};
        for (int v = 0; v < 7; ++v)
            EXPECT_EQ(indexOf(QString("%1P%2").arg(lists[v]).arg(p)), expected[v]) << lists[v] << p;
        EXPECT_EQ(textOf(QString("TimeoutP%1").arg(p)), QString::number(5 * p + 3));
    }
    EXPECT_EQ(textOf("Capcode0_3"), "1111,2222");
    EXPECT_EQ(indexOf("Pri0_3"), 2);
    EXPECT_EQ(textOf("Capcode0_0"), "42");
    EXPECT_EQ(indexOf("Pri0_0"), 4);
    EXPECT_EQ(control<QCheckBox>("AutoID")->checkState(), Qt::Unchecked);
    EXPECT_EQ(textOf("TestLabel"), "Auto ID False");
    EXPECT_EQ(textOf("usercmd1"), "RESET 9");
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
        {"RV2210", 28, true, 2280},  // character codes with their own offsets
    };
    for (const auto& c : cases) {
        bench.signs.clear();
        setUpSign(bench.attachSign(1, {c.model, "4.1"}));
        GlowsetMain& w = startAndSearch();
        EXPECT_EQ(textOf("LEDSignModel"), c.model);
        EXPECT_EQ(w.LEDSignModelNumber, c.model);
        EXPECT_EQ(textOf("FCount"), "4.1");
        EXPECT_EQ(control<QLabel>("FCount")->toolTip(), "Firmware Count");
        EXPECT_EQ(static_cast<size_t>(control<QComboBox>("StyleP0")->count()), c.styleEntries)
            << c.model;
        EXPECT_EQ(control<QComboBox>("SpeedP2")->isEnabled(), c.speedEnabled) << c.model;
        EXPECT_EQ(control<QComboBox>("AlignmentP2")->isEnabled(), c.speedEnabled) << c.model;
        EXPECT_EQ(control<QComboBox>("FontP0")->width(), w.tw(c.fontWidthTwips)) << c.model;
        EXPECT_EQ(w.height(), w.tw(kTallHeightTwips));
        expectControls();
        // Controls and copy agree: an upload right now has nothing to send.
        EXPECT_EQ(w.getChangedRows(), 0) << c.model;
        window.reset();
        bench.writes.clear();
    }
}

TEST_F(Replies, HeaderWithoutFirmwareCountAndAModelChangeBack) {
    GlowsetMain& w = startAndSearch();
    w.HandleSignReply("KL404:1,2");
    EXPECT_FALSE(control<QComboBox>("SpeedP0")->isEnabled());
    w.HandleSignReply("DOWNLOAD_ALLXY12:1,2");
    EXPECT_EQ(textOf("LEDSignModel"), "XY12");
    EXPECT_EQ(textOf("FCount"), "Not Available");
    EXPECT_EQ(control<QLabel>("FCount")->toolTip(),
              "Firmware Count is available in version 3.9 and above");
    EXPECT_EQ(control<QWidget>("FCountLabel")->toolTip(), control<QLabel>("FCount")->toolTip());
    EXPECT_TRUE(control<QComboBox>("SpeedP0")->isEnabled());
    EXPECT_EQ(control<QComboBox>("FontP0")->itemText(6), "Seven Row Shade");
    EXPECT_EQ(indexOf("FontP0"), 1);    // field 0
    EXPECT_EQ(indexOf("StyleP0"), 2);   // field 1
    EXPECT_EQ(indexOf("ColorP0"), -1);  // missing field: refilled list, no selection
    // Values no entry shows, or too large for 16 bits, or negative.
    w.HandleSignReply("XY12,5:99,1,70000,-1,-5");
    EXPECT_EQ(textOf("FCount"), "5");
    EXPECT_EQ(indexOf("FontP0"), -1);
    EXPECT_GT(w.getChangedRows(), 0);  // the copy keeps 99, which no entry shows
    EXPECT_EQ(indexOf("StyleP0"), 1);
    // The echo on both sides of the model.
    w.HandleSignReply("DOWNLOAD_ALLTB330DOWNLOAD_ALL,3.9:1");
    EXPECT_EQ(textOf("LEDSignModel"), "TB330");
    EXPECT_EQ(textOf("FCount"), "3.9");
}

}  // namespace
}  // namespace glowset::testing
