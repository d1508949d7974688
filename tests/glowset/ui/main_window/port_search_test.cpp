// The port search and the receive path, on the virtual clock.

#include "tests/glowset/support/window_fixture.h"
#include "tests/support/window_snapshot.h"

namespace glowset::testing {
namespace {

using PortSearch = WindowTest;

TEST_F(PortSearch, WithNoSignEveryPortIsTriedOnceAndCom1IsSelectedAtTheEnd) {
    QString during;
    clock.post(1000, [&] {
        const bool shown = !window->findChild<QLabel*>("Textout")->isHidden();
        during = shown ? textOf("Textout") : "hidden";
    });
    startAndSearch();
    EXPECT_EQ(during, "Searching...");
    std::vector<int> expectedPorts;
    for (int n = 1; n <= 12; ++n) expectedPorts.push_back(n);
    EXPECT_EQ(bench.portsWritten(), expectedPorts);
    for (size_t i = 0; i < bench.writes.size(); ++i) {
        EXPECT_EQ(bench.writes[i].bytes, "DOWNLOAD_ALL\r");
        EXPECT_EQ(bench.writes[i].time, 400 + 400 * static_cast<long long>(i));
    }
    // On COM1, saying that no port answered and why that may be.
    EXPECT_TRUE(testsupport::showsAsRecorded(*window, "main-window-without-sign"));
    EXPECT_FALSE(port().isOpen());
    clock.advance(1000);
    EXPECT_EQ(bench.writes.size(), 12u);  // one pass only

    // Download from Sign says when its port gave no answer, and only then.
    for (const bool signThere : {false, true}) {
        if (signThere) bench.attachSign(1, {"XY12", "4"});
        clock.advance(5000);
        click("DownloadAll");
        clock.advance(500);
        EXPECT_EQ(textOf("Textout"), signThere ? "" : "No answer from the sign on COM 1");
    }
}

TEST_F(PortSearch, StopsAtTheFirstPortWhoseReplyNamesAModel) {
    bench.attachSign(3, {"XY12", "4"});
    bench.attachSign(5, {"OTHER", "4"});
    int versionChecks = 0, offers = 0;
    hooks.CheckWebVersion = [&] { ++versionChecks; };
    hooks.OfferNewVersion = [&] { ++offers; };
    window = std::make_unique<GlowsetMain>(platform, hooks);
    runSearch();
    EXPECT_EQ(bench.portsWritten(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(indexOf("ComportsList"), 2);
    EXPECT_EQ(textOf("LEDSignModel"), "XY12");
    EXPECT_EQ(std::pair(versionChecks, offers), std::pair(1, 1));
    clock.advance(500);
    EXPECT_FALSE(port().isOpen());
    EXPECT_TRUE(control<QPushButton>("DownloadAll")->isEnabled());
    EXPECT_EQ(textOf("DownloadAll"), "Download from Sign");
}

TEST_F(PortSearch, ClosingTheWindowEndsASearchInProgress) {
    int versionChecks = 0;
    hooks.CheckWebVersion = [&] { ++versionChecks; };
    window = std::make_unique<GlowsetMain>(platform, hooks);
    window->show();
    bool openAfterClose = true;
    clock.post(1000, [&] {
        window->close();
        openAfterClose = port().isOpen();  // COM2 was open for its answer
    });
    runSearch();
    EXPECT_LE(bench.writes.size(), 3u);
    EXPECT_FALSE(openAfterClose);
    EXPECT_EQ(versionChecks, 0);
}

using ReceivePath = WindowTest;

TEST_F(ReceivePath, LinesEndAtLfAndLoseTheirBeginningAfterAGap) {
    const struct {
        const char* name;
        std::vector<std::pair<std::string, long long>> pieces;  // bytes, delay after the previous
        QString status;
    } cases[] = {
        {"LF ends a line", {{"Auto ID\n", 0}}, "Switched to Auto ID"},
        {"CR stays in the line", {{"Auto ID\r\n", 0}}, ""},
        {"a gap of 105 ms keeps the line", {{"Auto ", 0}, {"ID\n", 105}}, "Switched to Auto ID"},
        {"a gap of 115 ms loses its beginning", {{"Auto ", 0}, {"ID\n", 115}}, ""},
        {"two lines in one piece", {{"User ID\nAuto ID\n", 0}}, "Switched to Auto ID"},
        {"endless noise is dropped up to its line end",
         {{std::string(10000, 'x') + "Auto ID\nUser ID\n", 0}},
         "Switched to User ID"},
    };
    for (const auto& c : cases) {
        startAndSearch();
        clock.advance(5000);   // the search's "No sign answered" has gone
        click("DownloadAll");  // opens the port for the exchange
        long long at = 0;
        for (const auto& [bytes, delay] : c.pieces) {
            at += delay;
            port().arrive(bytes, at);
        }
        clock.advance(at + 50);
        EXPECT_EQ(textOf("Textout"), c.status) << c.name;
        window.reset();
    }
}

// A line begun before a port is opened again never joins the next reply.
TEST_F(ReceivePath, APartLineFromAnEarlierOpeningIsDropped) {
    startAndSearch();
    click("DownloadAll");
    port().arrive("Auto ");
    clock.advance(10);
    click("UploadAll");  // closes the download's port and opens it again
    port().arrive("ID\n");
    clock.advance(10);
    EXPECT_NE(textOf("Textout"), "Switched to Auto ID");
}

}  // namespace
}  // namespace glowset::testing
