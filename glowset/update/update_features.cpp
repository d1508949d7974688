#include "glowset/update/update_features.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>

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

    f->WebBrowser1->onDocumentComplete = [&main](const QString& address) {
        if (address != "http:///") main.webPageBusy = false;
    };
    main.startPageLoad = [&main, f] {
        main.WebSite = downloadsPageAddress();
        f->WebBrowser1->navigate(QString::fromStdString(main.WebSite));
    };
    main.CheckWebVersion = [&main, &platform, f] {
        main.webPageBusy = true;
        main.WebSite = downloadsPageAddress();
        f->WebBrowser1->navigate(QString::fromStdString(main.WebSite));
        // A network that never answers must not hold the program: the wait
        // ends after the time limit, and nothing is offered then.
        bool timedOut = false;
        auto limit = platform.clock.createTimer(f->pageTimeoutMs);
        limit->onTick = [&] { timedOut = true; };
        limit->setEnabled(true);
        while (main.webPageBusy && !timedOut) platform.clock.processEvents();
        limit->setEnabled(false);
        if (main.webPageBusy) {
            main.webPageBusy = false;
            return;
        }
        const std::string text = FindPageText(f->WebBrowser1->elementTexts(), "glowset");
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
