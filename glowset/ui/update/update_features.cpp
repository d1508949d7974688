#include "glowset/ui/update/update_features.h"

#include "glowset/core/update/update_texts.h"
#include "glowset/core/update/version_text.h"
#include "glowset/ui/main_window/glowset_main.h"
#include "glowset/ui/update/new_version_window.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>

namespace glowset {

QString flasherPath(const QString& programFolder) {
    return QDir(programFolder).filePath("romwright");
}

std::unique_ptr<UpdateFeatures> addUpdateFeatures(MainWindowHooks& hooks, Platform& platform,
                                                  GlowsetMain* const& window) {
    auto features = std::make_unique<UpdateFeatures>();
    UpdateFeatures* f = features.get();
    f->WebBrowser1 = platform.makeWebPage();
    f->launcher = platform.makeLauncher();
    f->showNewVersionWindow = [](LEDNewVersionDownload& window) { window.exec(); };

    f->WebBrowser1->onDocumentComplete = [&window](const QString&) { window->webPageBusy = false; };
    // The page is fetched once per start: the load begun with the port
    // search is the one the version check reads.
    const auto load = [&window, f] {
        GlowsetMain& main = *window;
        main.WebSite = downloadsPageAddress();
        main.webPageBusy = true;
        f->WebBrowser1->navigate(QString::fromStdString(main.WebSite), "glowset");
    };
    hooks.startPageLoad = [&window, f, load] {
        GlowsetMain& main = *window;
        if (!main.checksVersionAtStartUp()) return;
        load();
        f->pageLoadStarted = true;
    };
    hooks.CheckWebVersion = [&window, &platform, f, load] {
        GlowsetMain& main = *window;
        if (!main.checksVersionAtStartUp()) return;
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
    hooks.OfferNewVersion = [&window, &platform, f] {
        GlowsetMain& main = *window;
        if (main.windowTitle().contains("ver ", Qt::CaseInsensitive)) {
            main.CurrentVersion = captionVersion(main.windowTitle().toStdString());
        }
        if (main.CurrentVersion < main.WebVersion) {
            LEDNewVersionDownload window(platform, main, &main);
            f->showNewVersionWindow(window);
        }
    };
    hooks.FCount_Change = [&window, &platform] {
        GlowsetMain& main = *window;
        if (const auto notice = firmwareNotice(main.buildNumberText().toStdString())) {
            platform.dialogs.message(&main, QString::fromStdString(*notice), "Upgrade Firmware");
        }
    };
    hooks.signUpgrade_Click = [&window, &platform, f] {
        GlowsetMain& main = *window;
        const QString path = flasherPath(platform.appFolder());
        if (!QFileInfo(path).isExecutable() || !f->launcher->startDetached(path)) {
            platform.dialogs.message(&main, "The flasher could not be started:\r\n" + path,
                                     "Upgrade");
        }
    };
    hooks.signAbout_Click = [&window] {
        GlowsetMain& main = *window;
        LEDSignHelp about(main.windowTitle(), &main);
        about.exec();
    };
    hooks.Image1_Click = [f] {
        f->launcher->openInBrowser(
            QString::fromLatin1(kMakerSite.data(), static_cast<int>(kMakerSite.size())));
    };
    return features;
}

}  // namespace glowset
