// Clicks at every moment of an exchange, a failing or pulled adapter, odd replies:
// controls pressed by object name, checked on the wire and on screen.

#include "glowset/ui/windows/default_message_window.h"
#include "tests/glowset/support/window_fixture.h"
#include "tests/support/window_snapshot.h"

namespace glowset::testing {
namespace {

class Exchanges : public WindowTest {
  protected:
    // Presses a control as the operator does; the id switch acts on the mouse press.
    void press(const QString& name) {
        if (name == "AutoID") return QTest::mousePress(control<QCheckBox>(name), Qt::LeftButton);
        auto* button = window->findChild<QAbstractButton*>(name);
        ASSERT_NE(button, nullptr) << name.toStdString();
        // Enabled first: the keyboard still reaches a disabled button's handler.
        button->setEnabled(true);
        button->click();
    }
    // A new window, its search to come, with a sign on `port` and nothing counted.
    GlowsetMain& withSignOn(int port, const char* model = "XY12") {
        window.reset();
        bench.signs.clear();
        bench.writes.clear();
        versionChecks = windowsOpened = 0;
        bench.attachSign(port, {model, "4"});
        hooks.CheckWebVersion = [this] { ++versionChecks; };
        hooks.openDefaultMessageWindow = hooks.openTestMessageWindow =
            hooks.openFactoryDefaultsWindow = [this] { ++windowsOpened; };
        window = std::make_unique<GlowsetMain>(platform, hooks);
        return *window;
    }
    int versionChecks = 0;
    int windowsOpened = 0;
};

const QString kStartingControls[] = {
    "UploadAll",       "ForceUpload", "DownloadAll", "UploadFactoryDef",
    "SetupDefaultMsg", "SendTestMsg", "AutoID"};

// During the search every control is told the port is busy; the search goes on.
TEST_F(Exchanges, EveryControlDuringTheSearch) {
    for (const QString& control : kStartingControls) {
        SCOPED_TRACE(control.toStdString());
        withSignOn(6);
        QString said;
        clock.post(400 + 850, [&] {  // the search is on COM3 by then
            press(control);
            said = window->findChild<QLabel*>("Textout")->isHidden() ? "hidden" : textOf("Textout");
        });
        clock.advance(400 + 6000);
        EXPECT_EQ(said, "COM3 is busy with another exchange; try again when it has ended");
        EXPECT_EQ(windowsOpened, 0);
        for (const auto& write : bench.writes) EXPECT_EQ(write.bytes, "DOWNLOAD_ALL\r");
        EXPECT_EQ(bench.portsWritten(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
        EXPECT_EQ(textOf("LEDSignModel"), "XY12");
        EXPECT_EQ(versionChecks, 1);
    }
}

// An upload pressed while a download's close is pending sends its records after it.
TEST_F(Exchanges, UploadRightAfterADownload) {
    withSignOn(1);
    clock.advance(2000);
    choose("ColorP1", 7);
    press("DownloadAll");
    clock.advance(100);    // the reply is in; the port closes at 400 ms
    choose("ColorP1", 7);  // the read-back set it back: change it again
    const size_t start = mark();
    press("UploadAll");
    clock.advance(3000);
    ASSERT_EQ(writesSince(start).size(), 1u);
    EXPECT_EQ(writesSince(start)[0].bytes.substr(0, 8), "<DF pr=1");
    EXPECT_EQ(bench.signs[1]->state().priorities[1].colour, 7);
}

// A message window opened while a download's close is pending gives its button back.
TEST_F(Exchanges, AMessageWindowRightAfterADownload) {
    for (const char* button : {"SetupDefaultMsg", "SendTestMsg"}) {
        SCOPED_TRACE(button);
        withSignOn(1);
        clock.advance(2000);
        press("DownloadAll");
        clock.advance(100);  // the reply is in; the port closes at 400 ms
        press(button);
        EXPECT_EQ(windowsOpened, 1);
        EXPECT_FALSE(port().isOpen());
        EXPECT_TRUE(control<QPushButton>("DownloadAll")->isEnabled());
        EXPECT_EQ(textOf("DownloadAll"), "Download from Sign");
    }
}

// A secondary window's exchange holds the device: the main upload is refused.
TEST_F(Exchanges, MainUploadWhileASecondaryWindowExchanges) {
    GlowsetMain& w = withSignOn(1);
    clock.advance(2000);
    choose("ColorP3", 2);
    GlowsetDefaultMessage message(platform, w);  // its start-up read holds the port
    clock.advance(100);                          // for 550 ms after its second line
    const size_t start = mark();
    for (const QString control : {"UploadAll", "AutoID"}) {
        w.showStatus("");
        press(control);
        EXPECT_TRUE(textOf("Textout").contains("busy")) << textOf("Textout").toStdString();
    }
    clock.advance(3000);
    EXPECT_TRUE(writesSince(start).empty());
    EXPECT_GT(w.getChangedRows(), 0);  // still marked
}

// A failed write or a pulled adapter stops the upload; the next one sends every change.
TEST_F(Exchanges, APortFaultKeepsTheChangesForTheNextUpload) {
    const auto fourFonts = [this] {
        for (int p : {0, 1, 2, 3}) choose(QString("FontP%1").arg(p), 9);
    };
    const auto idModeAndCommand = [this] {  // sent in this order
        control<QCheckBox>("AutoID")->setCheckState(Qt::Unchecked);
        control<QLineEdit>("usercmd1")->setText("RST");
    };
    const auto twoLinks = [this] {  // id 0's pair goes before the fault
        for (const char* box : {"Capcode0_0", "Capcode0_1"}) control<QLineEdit>(box)->setText("77");
    };
    const auto writesFailAt700 = [this] { clock.post(700, [this] { bench.failWrites(1); }); };
    const struct {
        const char* name;
        std::function<void()> change, fault;
        size_t resent;
    } cases[] = {
        {"write fails", fourFonts, writesFailAt700, 4},
        {"adapter pulled", fourFonts, [this] { bench.pull(1, 800); }, 4},
        {"write fails after the id mode went", idModeAndCommand, writesFailAt700, 2},
        {"write fails after a link went", twoLinks, writesFailAt700, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        withSignOn(1);
        clock.advance(2000);
        c.change();
        press("UploadAll");
        c.fault();
        clock.advance(5000);
        EXPECT_TRUE(textOf("Textout").startsWith("Upload stopped: "));
        EXPECT_TRUE(control<QPushButton>("UploadAll")->isEnabled());
        EXPECT_EQ(textOf("UploadAll"), "Upload to Sign");
        EXPECT_FALSE(port().isOpen());
        // The adapter is back: every record of the interrupted upload goes.
        bench.failing.clear();
        bench.missing.clear();
        const size_t start = mark();
        press("UploadAll");
        clock.advance(5000);
        EXPECT_EQ(writesSince(start).size(), c.resent);
    }
}

// A reset's read-back whose adapter is pulled says so and gives every button back.
TEST_F(Exchanges, ADownloadWhoseAdapterIsPulled) {
    withSignOn(1);
    clock.advance(2000);
    bench.replyDelayMs = 300;
    ASSERT_EQ(window->startFactoryReset(), std::nullopt);
    bench.pull(1, 600);  // the read-back goes out at 500 ms
    clock.advance(1000);
    EXPECT_TRUE(testsupport::showsAsRecorded(*window, "main-window-download-pulled"));
}

// Reading the sign after a failed upload drops the changes the fault kept.
TEST_F(Exchanges, AReadFromTheSignDropsTheChangesAFaultKept) {
    withSignOn(1);
    clock.advance(2000);
    choose("FontP0", 9);
    control<QLineEdit>("Capcode0_2")->setText("77");
    choose("Pri0_0", 2);  // id 0 has no link on the sign
    press("UploadAll");
    bench.failWrites(1);
    clock.advance(5000);
    bench.failing.clear();
    press("DownloadAll");
    clock.advance(2000);
    EXPECT_EQ(indexOf("Pri0_0"), -1);
    const size_t start = mark();
    press("UploadAll");
    clock.advance(5000);
    EXPECT_EQ(writesSince(start).size(), 0u);
}

// Replies as they really come.
TEST_F(Exchanges, SettingsLinesAreToldByTheirForm) {
    const struct {
        const char* name;
        const char* model;
        int port;
        std::function<void(signsim::Sign&)> arrange;
        int paceBaud;
        const char* consoleLine;  // spoken on COM2 while the search has it open
    } cases[] = {
        {"a user command holding the reply words", "XY12", 2,
         [](signsim::Sign& s) { s.state().userCommand = "done default linked"; }, 0, nullptr},
        {"a long line at 9600 baud", "TB330", 6,
         [](signsim::Sign& s) {
             for (int j = 0; j < 16; ++j) s.state().links.push_back({j % 8, "9876543", 2});
         },
         9600, nullptr},
        {"a console's line on another port", "XY12", 3, [](signsim::Sign&) {}, 0,
         "[  12.3] usb 1-1: new full-speed USB device\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange(bench.attachSign(c.port, {c.model, "4"}));
        bench.paceBaud = c.paceBaud;
        window = std::make_unique<GlowsetMain>(platform);
        if (c.consoleLine) clock.post(400 + 450, [&] { port().arrive(c.consoleLine); });
        clock.advance(400 + 3000);
        EXPECT_EQ(textOf("LEDSignModel"), c.model);
        EXPECT_EQ(indexOf("ComportsList"), c.port - 1);
        EXPECT_EQ(bench.portsWritten().back(), c.port);  // nothing after its sign
        EXPECT_EQ(textOf("usercmd1").toStdString(), c.port == 2 ? "done default linked" : "");
        window.reset();
        bench.signs.clear();
        bench.writes.clear();
    }
}

}  // namespace
}  // namespace glowset::testing
