// The version check, the new-version download, the firmware notice, About and Upgrade.
#include "glowset/ui/update/update_features.h"

#include "glowset/core/platform/qt_clock.h"
#include "glowset/core/platform/qt_serial_port.h"
#include "glowset/ui/main_window/glowset_main.h"
#include "glowset/ui/update/new_version_window.h"
#include "tests/glowset/support/local_http_server.h"
#include "tests/glowset/support/window_fixture.h"
#include "tests/support/files.h"
#include "tests/support/wait_for.h"
#include "tests/support/window_snapshot.h"

#include <csignal>
#include <sys/resource.h>

namespace glowset::testing {
namespace {

using testsupport::waitFor;

using testsupport::fileText, testsupport::writeFile;

struct FakeLauncher : Launcher {
    explicit FakeLauncher(std::vector<QString>& log) : log(log) {}
    bool startDetached(const QString& path) override {
        log.push_back("start " + path);
        return true;
    }
    bool openInBrowser(const QString& url) override {
        log.push_back("open " + url);
        return true;
    }
    std::vector<QString>& log;
};

// A main window on the real clock with no serial devices, the port search
// switched off, and the update features attached.
class Updates : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(desktop.isValid());
        platform.desktop = [this] { return desktop.path(); };
        features = addUpdateFeatures(hooks, platform, mainWindow);
        window = std::make_unique<GlowsetMain>(platform, hooks);
        mainWindow = window.get();
        window->session().SearchPort->setEnabled(false);
        // A load that never ends hangs the test, which the suite's time-out fails.
        features->pageTimeoutMs = 3600 * 1000;
        features->showNewVersionWindow = [this](LEDNewVersionDownload& w) {
            offered.push_back(w.NewVersionMsg->text());
        };
        ::setenv("GLOWSET_DOWNLOADS_URL", (server.base() + "/Downloads").toLatin1().constData(), 1);
    }
    void TearDown() override { ::unsetenv("GLOWSET_DOWNLOADS_URL"); }
    void servePage(const QByteArray& body) { server.answer("/Downloads", {200, body}); }
    void checkAndOffer() {
        hooks.CheckWebVersion();
        hooks.OfferNewVersion();
    }

    QtClock clock;
    ScriptedDialogs dialogs;
    static PortEnvironment noDevices() {
        return {.variable = [](const std::string&) { return std::optional<std::string>(); },
                .serialDevices = [] { return std::vector<std::string>(); }};
    }
    Platform platform{clock, dialogs, [] { return std::make_unique<QtSerialPort>(noDevices()); },
                      noDevices()};
    LocalHttpServer server;
    QTemporaryDir desktop;
    MainWindowHooks hooks;
    GlowsetMain* mainWindow = nullptr;
    std::unique_ptr<GlowsetMain> window;
    std::unique_ptr<UpdateFeatures> features;
    std::vector<QString> offered;
};

TEST_F(Updates, VersionFoundInEachFormOfThePageText) {
    const struct {
        QByteArray page;
        std::string fileName;
        double version;
        bool offer;
    } cases[] = {
        // clang-format off
        {"<html><body><a>Manual.pdf</a><a href='x'>Glowset 4.80.zip</a></body></html>", "Glowset 4.80.zip", 4.8, true},
        {"<ul><li>VQK9X4.90.zip</li><li>glowset page</li></ul>", "glowset page", 0, false},
        {"<p>old: glowset-4.10.exe</p><p>glowset-10.20.exe</p>", "glowset-10.20.exe", 10.2, true},
        {"<div><span>VQK9X 4.75.zip for Glowset</span></div>", "VQK9X 4.75.zip for Glowset", 0, false},
        {"<p>Glowset 4.72.zip</p>", "Glowset 4.72.zip", 4.72, false},  // the running version: nothing
        {"<p>Glowset 4.50.zip</p>", "Glowset 4.50.zip", 4.5, false},
        {"<p>Glowset</p>", "Glowset", 0, false},  {"<p>glowset-4.8.1.exe</p>", "glowset-4.8.1.exe", 0, false},
        // As real servers write their pages.
        {"<a href=\"x.zip\">\r\n   Glowset 4.80.zip\r\n</a>", "Glowset 4.80.zip", 4.8, true},
        {"<table><tr><td> Glowset 4.80.zip </td></tr></table>", "Glowset 4.80.zip", 4.8, true},
        {"<p>Glowset&nbsp;4.80.zip</p>", "Glowset 4.80.zip", 4.8, true},
        {"<p>Glowset 4.80.zip&nbsp;</p>", "Glowset 4.80.zip", 4.8, true},  // trimmed at the end too
        {"<p>Glowset\xE2\x80\x89" "4.80.zip</p>", "Glowset 4.80.zip", 4.8, true},  // a thin space
        {"<p>Glowset\xE3\x80\x80" "4.80.zip</p>", "Glowset 4.80.zip", 4.8, true},  // an ideographic space
        {"<p>Glowset 4.80.zip \xE3\x81\x82</p>", "Glowset 4.80.zip \xE3\x81\x82", 4.8, true},  // a kana, no blank
        {"<p>Glowset 4.80.zip \xE2\x80\x93 new</p>", "Glowset 4.80.zip \xE2\x80\x93 new", 4.8, true},  // nor a dash
        {"<script>var v = 'Glowset 9.99.zip';</script><!-- Glowset 9.98.zip -->"
         "<a>Glowset 4.80.zip</a><script>x = 'Glowset 9.97.zip'</script><style>/*glowset*/</style>", "Glowset 4.80.zip", 4.8, true},
        {"<div><p>Get <b>Glowset 4.80.zip</b> now</p></div>", "Glowset 4.80.zip", 4.8, true},
        {"<p>Glowset 4.80.zip<script>x = 'Glowset 9.97.zip'</script></p>", "Glowset 4.80.zip", 4.8, true},
        {"<p>Glowset 4.71.zip</p><p>Glowset 4.80.zip</p><p>Manual</p>", "Glowset 4.80.zip", 4.8, true},
        {QByteArray(200 * 3, ' ').replace("   ", "<b>") + "Glowset 4.80.zip" + QByteArray(1 << 20, 'x'),
         "Glowset 4.80.zip" + std::string(1 << 20, 'x'), 0, false},  // deep, and large
        {"<p>Glowset 4.80.zip</p>" + QByteArray((4 << 20) - 23, ' '), "Glowset 4.80.zip", 4.8, true},  // at the limit
        {"<p>Glowset 4.80.zip</p>" + QByteArray(5 << 20, ' '), "", 0, false},  // over the limit
        // clang-format on
    };
    for (const auto& c : cases) {
        servePage(c.page);
        offered.clear();
        window->WebVersion = 0;
        window->WebFileName.clear();
        checkAndOffer();
        EXPECT_EQ(std::tuple(window->WebFileName, window->WebVersion, offered.size()),
                  std::tuple(c.fileName, c.version, c.offer ? 1u : 0u))
            << c.page.toStdString();
    }
    EXPECT_DOUBLE_EQ(window->CurrentVersion, 4.72);
}

// A silent server is given up at the limit, or at once when the window closes.
TEST_F(Updates, NothingOfferedWithoutAPageOrAnAnswer) {
    checkAndOffer();  // no page at that address
    EXPECT_TRUE(offered.empty());
    EXPECT_EQ(window->WebVersion, 0);
    server.silent = true;
    for (const bool closing : {false, true}) {
        features->pageTimeoutMs = closing ? 3600 * 1000 : 500;
        if (closing) QTimer::singleShot(50, window.get(), [this] { window->close(); });
        checkAndOffer();
        EXPECT_TRUE(offered.empty());
        EXPECT_FALSE(window->webPageBusy);
    }
}

class Download : public Updates {
  protected:
    std::unique_ptr<LEDNewVersionDownload> offer(const std::string& fileName) {
        window->WebSite = (server.base() + "/Downloads").toStdString();
        window->WebFileName = fileName;
        window->WebVersion = 4.8;
        auto w = std::make_unique<LEDNewVersionDownload>(platform, *window);
        QObject::connect(w->PB1, &QProgressBar::valueChanged,
                         [this](int v) { progress.push_back(v); });
        return w;
    }
    void finish(LEDNewVersionDownload& w) {
        auto* download = testsupport::named<QAbstractButton>(w, "Download");
        download->click();
        EXPECT_NE(download->isEnabled(), w.downloading());  // held while it runs
        ASSERT_TRUE(waitFor([&] { return !w.downloading(); }));
    }
    // Against its recorded copy, with the run's server address and desktop replaced.
    ::testing::AssertionResult showsAsRecorded(const QWidget& w, const std::string& name,
                                               std::vector<QString> leaveOut = {}) {
        return testsupport::showsAsRecorded(
            w, name,
            {.leaveOut = std::move(leaveOut),
             .replace = {{QDir::toNativeSeparators(desktop.path()), "<desktop>"},
                         {server.base(), "<server>"}}});
    }
    std::vector<int> progress;
};

TEST_F(Download, TwoBlocksGiveFiftyThenHundredAndReplaceTheOldFile) {
    QByteArray body(8192, 'z');
    body[0] = 'P';
    server.answer("/Downloads/Glowset%204.80.zip", {200, body, true, 4096});
    const QString target = desktop.filePath("Glowset 4.80.zip");
    ASSERT_TRUE(writeFile(target.toStdString(), QByteArray(20000, 'o')));
    auto w = offer("Glowset 4.80.zip");
    EXPECT_TRUE(showsAsRecorded(*w, "new-version-offered"));  // "Version 4.8 is available ..."
    w->PB1->setValue(77);  // left by an earlier try: the download starts again at 0
    finish(*w);
    EXPECT_EQ(server.requests.back(),
              "/Downloads/Glowset%204.80.zip");  // the blank encoded on the wire
    EXPECT_EQ(w->FiletoDownload, server.base() + "/Downloads/Glowset 4.80.zip");
    EXPECT_EQ(progress, (std::vector<int>{77, 0, 50, 100}));
    EXPECT_EQ(fileText(target.toStdString()), body.toStdString());     // replaced, not appended to
    EXPECT_TRUE(showsAsRecorded(*w, "new-version-downloaded"));        // where it went, in full
    EXPECT_EQ(QDir(desktop.path()).entryList(QDir::Files).size(), 1);  // no temporary file left
}

// A server that breaks off, has no such file, or falls silent: the old file stays.
TEST_F(Download, AFailedDownloadLeavesTheOldFileIntact) {
    server.answer("/Downloads/Glowset%204.80.zip", {200, QByteArray(8192, 'n'), true, 4096, true});
    platform.makeDownloader = [] { return makeQtDownloader(300); };
    for (const std::string name : {"Glowset 4.80.zip", "Glowset 4.99.zip", "Glowset 4.90.zip"}) {
        server.silent = name == "Glowset 4.90.zip";
        const QString target = desktop.filePath(QString::fromStdString(name));
        ASSERT_TRUE(writeFile(target.toStdString(), QByteArray("old version")));
        auto w = offer(name);
        finish(*w);
        EXPECT_EQ(fileText(target.toStdString()), "old version") << name;
        // How far the bar got depends on when the break is seen.
        EXPECT_TRUE(showsAsRecorded(*w, "new-version-failed-" + name.substr(8, 4), {"PB1"}));
        QFile::remove(target);
    }
}

// A full disk mid-download (a file size limit fails the write alike): no download.
TEST_F(Download, AWriteThatFailsIsNoDownload) {
    server.answer("/Downloads/full.zip", {200, QByteArray(64 * 1024, 'f'), true, 4096});
    const QString target = desktop.filePath("full.zip");
    ASSERT_TRUE(writeFile(target.toStdString(), QByteArray("old version")));
    auto w = offer("full.zip");
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);  // the write fails instead
    rlimit small = before;
    small.rlim_cur = 10000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    finish(*w);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(w->NewVersionMsg->text(), "Download failed");
    EXPECT_TRUE(w->downloadResult->text().contains("full.zip"))
        << w->downloadResult->text().toStdString();
    EXPECT_EQ(fileText(target.toStdString()), "old version");
    EXPECT_EQ(QDir(desktop.path()).entryList(QDir::Files).size(), 1);  // no partial file left
}

TEST_F(Download, NamesThatWouldLeaveTheDesktopAreRefused) {
    server.answer("/evil.zip", {200, "payload"});
    auto w = offer("../evil.zip");
    finish(*w);
    EXPECT_TRUE(QFile::exists(desktop.filePath("evil.zip")));  // only its last component is used
    EXPECT_FALSE(QFile::exists(QDir(desktop.path()).filePath("../evil.zip")));
    for (const std::string name : {"..", ".", "dir/..", "x/", ""}) {
        const size_t before = server.requests.size();
        auto refused = offer(name);
        refused->Download_Click();
        EXPECT_FALSE(refused->downloading()) << name;
        EXPECT_EQ(server.requests.size(), before) << name;
        EXPECT_TRUE(refused->downloadResult->text().contains("nothing was saved")) << name;
    }
}

TEST_F(Download, NoLengthShowsActivityAndAnEmptyDesktopIsRefused) {
    server.answer("/Downloads/a.zip", {200, QByteArray(5000, 'a'), false});
    auto w = offer("a.zip");
    finish(*w);
    EXPECT_EQ(fileText(desktop.filePath("a.zip").toStdString()).size(), 5000u);
    EXPECT_EQ(std::pair(w->PB1->value(), w->PB1->maximum()), std::pair(100, 100));
    platform.desktop = [] { return QString(); };
    auto noDesktop = offer("a.zip");
    finish(*noDesktop);
    EXPECT_TRUE(showsAsRecorded(*noDesktop, "new-version-no-desktop"));  // "Error 5: ..."
}

using Notice = WindowTest;

TEST_F(Notice, FirmwareCountsBelowThreeBringUpTheNotice) {
    const std::pair<const char*, bool> cases[] = {
        {"XY12,2.9", true},  {"XY12,2", true}, {"XY12,3", false},   {"XY12,3.0", false},
        {"XY12,3.9", false}, {"XY12", false},  {"XY12,abc", false}, {"XY12,", false}};
    for (const auto& [header, notice] : cases) {
        GlowsetMain* main = nullptr;
        auto features = addUpdateFeatures(hooks, platform, main);
        auto w = std::make_unique<GlowsetMain>(platform, hooks);
        main = w.get();
        dialogs.messages.clear();
        w->HandleSignReply(std::string(header) + ":1,2,3");
        ASSERT_EQ(dialogs.messages.size(), notice ? 1u : 0u) << header;
        if (!notice) continue;
        EXPECT_EQ(dialogs.messages[0].title + dialogs.messages[0].text,
                  "Upgrade FirmwareA newer rom file Lumfirm 4.1.rom is available to Upload\r\n"
                  "Please click on Tools --> Upgrade on the top menu to Upload it");
    }
}

TEST_F(Notice, UpgradeStartsTheFlasherFromTheProgramFolderAndAboutShowsTheVersion) {
    QTemporaryDir folder;
    platform.appFolder = [&] { return folder.path(); };
    std::vector<QString> launched;
    platform.makeLauncher = [&] { return std::make_unique<FakeLauncher>(launched); };
    GlowsetMain* main = nullptr;
    auto features = addUpdateFeatures(hooks, platform, main);
    auto w = std::make_unique<GlowsetMain>(platform, hooks);
    main = w.get();
    QAction* upgrade = w->findChild<QAction*>("signUpgrade");
    ASSERT_NE(upgrade, nullptr);

    upgrade->trigger();  // no flasher there yet
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "The flasher could not be started:\r\n" + folder.filePath("romwright"));
    EXPECT_TRUE(launched.empty());

    ASSERT_TRUE(writeFile(folder.filePath("romwright").toStdString(), QByteArray("#!/bin/sh\n")));
    QFile::setPermissions(folder.filePath("romwright"), QFile::ReadOwner | QFile::ExeOwner);
    upgrade->trigger();
    EXPECT_EQ(launched, (std::vector<QString>{"start " + folder.filePath("romwright")}));

    QMouseEvent click(QEvent::MouseButtonRelease, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(testsupport::named<QLabel>(*w, "Image1"), &click);
    EXPECT_EQ(launched.back().left(10), "open https");
    bool shown = false;
    whenModal([&](QWidget& about) {
        shown = true;
        EXPECT_TRUE(testsupport::showsAsRecorded(about, "about"));  // "Version : 4.72"
        testsupport::named<QAbstractButton>(about, "OK")->click();
        EXPECT_FALSE(about.isVisible());
        about.close();  // should OK have left it open
    });
    testsupport::named<QAction>(*w, "signAbout")->trigger();
    EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace glowset::testing
