// Every reply of the reply table, and the settings line into every control.

#include "glowset/core/options/option_sets.h"
#include "tests/glowset/support/window_fixture.h"
#include "tests/support/window_snapshot.h"

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
        // clang-format off
        {"done", 60, "Uploaded 3 Successfull"},    {"job DONE.", 61, "Uploaded 3.05 Successfull"},
        {"done", 0, "Uploaded 0 Successfull"},     {"default 2", 0, "Default Uploaded : 2"},
        {"default", 0, "previous"},                {"delinked", 0, "previous"},
        {"linked 4", 0, "Linked ID : 4"},          {"delinked 4", 0, "Linked ID : 4"},
        {"linked", 0, "previous"},                 {"user cmd", 0, "User Command Uploaded"},
        {"linked 4 of 8", 0, "Linked ID : 4"},     {"Auto ID", 0, "Switched to Auto ID"},
        {"User ID", 0, "Switched to User ID"},     {"error", 0, "previous"},
        {"hello", 0, "previous"},                  {"", 0, "previous"},
        {"default done", 0, "Uploaded 0 Successfull"}, {"USER CMD", 0, "User Command Uploaded"},
        {"user cmd ", 0, "previous"},              {"linked  4", 0, "Linked ID : "},  // split at each blank
        // clang-format on
    };
    for (const auto& c : cases) {
        window->showStatus("previous");
        control<QProgressBar>("ProgressUploadAll")->setMaximum(1000);
        control<QProgressBar>("ProgressUploadAll")->setValue(c.progress);
        window->HandleSignReply(c.line);
        EXPECT_EQ(textOf("Textout"), c.status) << c.line;
        EXPECT_FALSE(control<QLabel>("Textout")->isHidden()) << c.line;
    }
    // The status clears itself 5 s after the last message; a bare "linked" shows it again.
    window->HandleSignReply("Auto ID");
    clock.advance(4000);
    window->HandleSignReply("linked");
    clock.advance(4000);
    window->HandleSignReply("error");
    EXPECT_EQ(textOf("Textout"), "Switched to Auto ID");
    clock.advance(1000);
    EXPECT_EQ(textOf("Textout"), "");
    EXPECT_TRUE(control<QLabel>("Textout")->isHidden());
}

// Every list and time-out of every priority, links (merged by id), id switch, user command.
void setUpSign(signsim::Sign& sign) {
    for (int p = 0; p < 5; ++p) {
        sign.state().priorities[p] = {p + 6, p + 1, 8 - p, p % 5, p % 3, 9 - p, p % 3, 5 * p + 3};
    }
    sign.state().links = {{3, "1111", 1}, {3, "2222", 2}, {5, "0", 0}, {6, "777", 5}, {0, "42", 4}};
    sign.state().autoId = false;
    sign.state().userCommand = "RESET 9";
}

// Each model's lists and widths; TB330 and RV2210 reply in character codes.
TEST_F(Replies, SettingsLineFillsEveryControlForEachModel) {
    const std::pair<const char*, int> cases[] = {
        {"XY12", 2280}, {"TB330", 2280}, {"KL404", 1500}, {"RV2210", 2280}};
    for (const auto& [model, fontWidthTwips] : cases) {
        bench.signs.clear();
        setUpSign(bench.attachSign(1, {model, "4.1"}));
        GlowsetMain& w = startAndSearch();
        EXPECT_TRUE(testsupport::showsAsRecorded(w, std::string("main-window-read-") + model));
        EXPECT_EQ(control<QComboBox>("FontP0")->width(), w.tw(fontWidthTwips)) << model;
        EXPECT_EQ(w.height(), w.tw(kTallHeightTwips));
        click("HidePriority");
        const int shortHeight = w.height();
        click("ShowPriority");
        EXPECT_EQ(std::pair(shortHeight, w.height()),
                  std::pair(w.tw(kShortHeightTwips), w.tw(kTallHeightTwips)));
        // Controls and copy agree: an upload right now has nothing to send.
        EXPECT_EQ(w.getChangedRows(), 0) << model;
        window.reset();
        bench.writes.clear();
    }
}

TEST_F(Replies, HeaderWithoutFirmwareCountAndAModelChangeBack) {
    GlowsetMain& w = startAndSearch();
    clock.advance(5000);  // the search's "No sign answered" has gone
    w.HandleSignReply("KL404:1,2");
    EXPECT_FALSE(control<QComboBox>("SpeedP0")->isEnabled());
    w.HandleSignReply("DOWNLOAD_ALLXY12:1,2");
    // XY12's lists again: font 1, style 2, and a missing colour field leaves
    // the refilled list without a selection; the count's tip explains it.
    EXPECT_TRUE(testsupport::showsAsRecorded(w, "main-window-read-without-count"));
    // Values no entry shows, or too large for 16 bits, or negative.
    w.HandleSignReply("XY12,5:99,1,70000,-1,-5,,");  // empty fields are no values
    EXPECT_EQ(textOf("FCount"), "5");
    EXPECT_EQ(indexOf("FontP0"), -1);
    EXPECT_GT(w.getChangedRows(), 0);  // the copy keeps 99, which no entry shows
    EXPECT_EQ(indexOf("StyleP0"), 1);
    // The echo on both sides of the model.
    w.HandleSignReply("DOWNLOAD_ALLTB330DOWNLOAD_ALL,3.9:1");
    EXPECT_EQ(textOf("LEDSignModel"), "TB330");
    EXPECT_EQ(textOf("FCount"), "3.9");
    // A model too long for a name, or a count that is no number: no sign's line.
    for (const auto& odd :
         std::vector<std::string>{std::string(33, 'M') + ",4:1", "XY12,4.1,x:1", "XY12,4a:1"})
        w.HandleSignReply(odd);
    EXPECT_EQ(textOf("LEDSignModel"), "TB330");
}

}  // namespace
}  // namespace glowset::testing
