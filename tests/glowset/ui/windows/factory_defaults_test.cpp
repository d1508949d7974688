
#include "glowset/ui/windows/factory_defaults_window.h"
#include "tests/glowset/support/window_fixture.h"
#include "tests/support/window_snapshot.h"

namespace glowset::testing {
namespace {

using FactoryDefaults = WindowTest;
using testsupport::named;

// A message waits for the operator's answer before the program goes on.
TEST_F(FactoryDefaults, AMessageWaitsForItsAnswer) {
    QString shown;
    whenModal([&](QWidget& box) {
        shown = static_cast<QMessageBox&>(box).text();
        static_cast<QMessageBox&>(box).accept();
    });
    QtDialogs().message(nullptr, "Error Saving File", "glowset");
    EXPECT_EQ(shown, "Error Saving File");
}

// Each button opens its window, which the main window waits for.
TEST_F(FactoryDefaults, TheMessageWindowsOpenModally) {
    GlowsetMain* main = nullptr;
    addSecondaryWindows(hooks, platform, main);
    main = &withSign();
    for (const auto& [button, title] : {std::pair{"SetupDefaultMsg", "Setup Default Message"},
                                        std::pair{"SendTestMsg", "Send Test Message"}}) {
        QString shown;
        whenModal([&, button = button](QWidget& w) {
            shown = w.windowTitle();
            clock.advance(100);  // a start-up read's second line is out
            EXPECT_TRUE(testsupport::showsAsRecorded(w, std::string("opened-by-") + button,
                                                     {.leaveOut = {"DateTime"}}));
            w.close();
        });
        click(button);
        EXPECT_EQ(shown, title);
    }
}

// The button opens the question as a modal window; Yes there sends the reset.
TEST_F(FactoryDefaults, YesSendsTheResetAndTheMainWindowReadsTheSignBack) {
    GlowsetMain* main = nullptr;
    addSecondaryWindows(hooks, platform, main);
    main = &withSign("XY12", [](signsim::Sign& s) { s.state().links = {{2, "55", 1}}; });
    ASSERT_EQ(textOf("Capcode0_2"), "55");
    const size_t start = mark();
    QString asked;
    whenModal([&](QWidget& w) {
        asked = w.windowTitle();
        named<QAbstractButton>(w, "Yes")->click();
    });
    click("UploadFactoryDef");
    EXPECT_EQ(asked, "Setup Factory Defaults");
    EXPECT_EQ(linesSince(start), std::vector<std::string>{"<FD>\r"});
    EXPECT_TRUE(testsupport::showsAsRecorded(*window, "main-window-resetting"));
    clock.advance(600);
    EXPECT_EQ(
        std::pair(bench.writes.back().bytes, bench.writes.back().time - bench.writes[start].time),
        std::pair(std::string("DOWNLOAD_ALL\r"), 500LL));  // the read half a second on
    clock.advance(400);
    EXPECT_TRUE(testsupport::showsAsRecorded(*window, "main-window-after-reset"));  // no links
}

TEST_F(FactoryDefaults, NoSendsNothingAndAMissingPortIsReported) {
    withSign("XY12", [](signsim::Sign& s) { s.state().links = {{2, "55", 1}}; });
    const size_t start = mark();
    Warning(*window).No_Click();
    clock.advance(1000);
    EXPECT_EQ(mark(), start);
    EXPECT_EQ(textOf("Capcode0_2"), "55");

    bench.removePort(1);
    Warning(*window).Yes_Click();
    EXPECT_EQ(mark(), start);
    EXPECT_TRUE(textOf("Textout").startsWith("Factory defaults not sent: COM1:"));
    EXPECT_TRUE(control<QPushButton>("UploadAll")->isEnabled());
}

// While an upload runs, a reset is refused in words that name the port it runs on.
TEST_F(FactoryDefaults, ARefusalDuringAnUploadNamesItsPort) {
    bench.attachSign(7, {"XY12", "4"});
    startAndSearch();
    clock.advance(1000);
    choose("ColorP3", 2);
    click("UploadAll");
    const size_t start = mark();
    Warning(*window).Yes_Click();
    EXPECT_EQ(textOf("Textout"),
              "Factory defaults not sent: COM7 is busy with another exchange; try again when it "
              "has ended");
    clock.advance(3000);
    for (const auto& line : linesSince(start)) EXPECT_NE(line, "<FD>\r");
}

}  // namespace
}  // namespace glowset::testing
