#include "glowset/update/update_features.h"

#include <QDir>
#include <QFileInfo>
#include <QAction>
#include <QLabel>
#include <QSettings>

#include "glowset/link/glowset_main.h"
#include "glowset/update/new_version_window.h"
#include "glowset/update/update_texts.h"
#include "glowset/update/version_text.h"

namespace glowset {

QString flasherPath(const QString& programFolder) {
    return QDir(programFolder).filePath("romwright");
}

std::unique_ptr<UpdateFeatures> installUpdateFeatures(GlowsetMain& main, Platform& platform) {
    auto features = std::make_unique<UpdateFeatures>();
    UpdateFeatures* f = features.get();
    f->WebBrowser1 = platform.makeWebPage();
    f->launcher = platform.makeLauncher();
    f->showNewVersionWindow = [](LEDNewVersionDownload& window) { window.exec(); };

    f->WebBrowser1->onDocumentComplete = [&main](const QString&) { main.webPageBusy = false; };
    // The page is fetched once per start: the load begun with the port
    // search is the one the version check reads.
    const auto load = [&main, f] {
        main.WebSite = downloadsPageAddress();
        main.webPageBusy = true;
        f->WebBrowser1->navigate(QString::fromStdString(main.WebSite), "glowset");
    };
    // The start-up check can be switched off; the choice is remembered.
    static constexpr const char* kCheckKey = "versionCheck/atStartUp";
    main.checkAtStartUp->setChecked(QSettings().value(kCheckKey, true).toBool());
    QObject::connect(main.checkAtStartUp, &QAction::toggled, &main,
                     [](bool on) { QSettings().setValue(kCheckKey, on); });
    main.startPageLoad = [&main, f, load] {
        if (!main.checkAtStartUp->isChecked()) return;
        load();
        f->pageLoadStarted = true;
    };
    main.CheckWebVersion = [&main, &platform, f, load] {
        if (!main.checkAtStartUp->isChecked()) return;
        if (!f->pageLoadStarted) load();
        f->pageLoadStarted = false;
        // A network that never answers must not hold the program: the wait
        // ends after the time limit, or when the window closes, and the
        // load is abandoned then.
        bool timedOut = false;
        auto limit = platform.clock.createTimer(f->pageTimeoutMs);
        limit->onTick = [&] { timedOut = true; };
        limit->setEnabled(true);
        while (main.webPageBusy && !timedOut && !main.isClosing()) platform.clock.processEvents();
        limit->setEnabled(false);
        if (main.webPageBusy) {
            f->WebBrowser1->stop();
            main.webPageBusy = false;
            return;
        }
        const std::string& text = f->WebBrowser1->foundText();
        if (!text.empty()) {
            main.WebVersion = ParseVersionText(text);
            main.WebFileName = text;
        }
    };
    main.OfferNewVersion = [&main, &platform, f] {
        if (main.windowTitle().contains("ver ", Qt::CaseInsensitive)) {
            main.CurrentVersion = captionVersion(main.windowTitle().toStdString());
        }
        if (main.CurrentVersion < main.WebVersion) {
            LEDNewVersionDownload window(platform, main, &main);
            f->showNewVersionWindow(window);
        }
    };
    main.FCount_Change = [&main, &platform] {
        if (const auto notice = firmwareNotice(main.FCount->text().toStdString())) {
            platform.dialogs.message(&main, QString::fromStdString(*notice), "Upgrade Firmware");
        }
    };
    main.signUpgrade_Click = [&main, &platform, f] {
        const QString path = flasherPath(platform.appFolder());
        if (!QFileInfo(path).isExecutable() || !f->launcher->startDetached(path)) {
            platform.dialogs.message(&main, "The flasher could not be started:\r\n" + path,
                                     "Upgrade");
        }
    };
    main.signAbout_Click = [&main] {
        LEDSignHelp about(main.windowTitle(), &main);
        about.exec();
    };
    main.Image1_Click = [f] {
        f->launcher->openInBrowser(
            QString::fromLatin1(kMakerSite.data(), static_cast<int>(kMakerSite.size())));
    };
    return features;
}

}  // namespace glowset
