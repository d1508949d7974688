#include "glowset/ui/update/new_version_window.h"

#include "glowset/core/protocol/numbers.h"
#include "glowset/core/update/update_texts.h"
#include "glowset/ui/main_window/glowset_main.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include <cmath>

namespace glowset {

LEDNewVersionDownload::LEDNewVersionDownload(Platform& platform, GlowsetMain& main, QWidget* parent)
    : QDialog(parent), platform_(platform), main_(main) {
    setWindowTitle("Download");
    setModal(true);
    NewVersionMsg = new QLabel("New Version is available", this);
    NewVersionMsg->setObjectName("NewVersionMsg");
    NewVersionMsg->setWordWrap(true);
    downloadResult = new QLabel(this);
    downloadResult->setObjectName("downloadResult");
    downloadResult->setWordWrap(true);
    Download = new QPushButton("Yes", this);
    Download->setObjectName("Download");
    DontDownload = new QPushButton("No", this);
    DontDownload->setObjectName("DontDownload");
    ExitDownload = new QPushButton("Exit", this);
    ExitDownload->setObjectName("ExitDownload");
    ExitDownload->hide();
    PB1 = new QProgressBar(this);
    PB1->setObjectName("PB1");
    PB1->setRange(0, 100);
    PB1->setValue(0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Download);
    buttons->addWidget(DontDownload);
    buttons->addWidget(ExitDownload);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(NewVersionMsg);
    layout->addWidget(PB1);
    layout->addWidget(downloadResult);
    layout->addLayout(buttons);
    resize(420, 160);
    connect(Download, &QPushButton::clicked, this, [this] { Download_Click(); });
    connect(DontDownload, &QPushButton::clicked, this, [this] { reject(); });
    connect(ExitDownload, &QPushButton::clicked, this, [this] { accept(); });

    NewVersionMsg->setText(QString::fromStdString(newVersionMessage(main_.WebVersion)));
    DesktopFolder = platform_.desktop();
}

void LEDNewVersionDownload::Download_Click() {
    if (downloading_) return;
    const QString pageText = QString::fromStdString(main_.WebFileName);
    FiletoDownload = QString::fromStdString(main_.WebSite) + "/" + pageText;
    const auto name = desktopFileName(main_.WebFileName);
    if (!name) {
        // The page names no file that can be saved on the Desktop.
        downloadResult->setText("The downloads page names no usable file (\"" + pageText +
                                "\"); nothing was saved.");
        return;
    }
    FiletoSave = QDir(DesktopFolder).filePath(QString::fromStdString(*name));
    DownloadFile(FiletoDownload, DesktopFolder.isEmpty() ? QString() : FiletoSave);
}

void LEDNewVersionDownload::DownloadFile(const QString& url, const QString& fileName) {
    downloader_ = platform_.makeDownloader();
    downloading_ = true;
    Download->setEnabled(false);
    PB1->setRange(0, 100);
    PB1->setValue(0);
    downloader_->onConnectionOpened = [this] {
        NewVersionMsg->setText("Downloading " + FiletoSave);
    };
    downloader_->onProgress = [this](int64_t received, int64_t total) {
        if (total <= 0) {
            PB1->setRange(0, 0);  // no length: show activity, not a percentage
            return;
        }
        PB1->setRange(0, 100);
        PB1->setValue(static_cast<int>(
            roundHalfEven(static_cast<double>(received) / static_cast<double>(total) * 100)));
    };
    downloader_->onConnectionClosing = [this] {
        Download->hide();
        DontDownload->hide();
        ExitDownload->show();
    };
    downloader_->onFinished = [this](std::optional<DownloadError> error) {
        downloading_ = false;
        Download->setEnabled(true);
        Download->hide();
        DontDownload->hide();
        ExitDownload->show();
        if (PB1->maximum() == 0) PB1->setRange(0, 100);
        if (error) {
            NewVersionMsg->setText("Download failed");
            downloadResult->setText(
                QString("Error %1: %2").arg(error->number).arg(error->description));
            return;
        }
        PB1->setValue(100);
        // Where it went, in full: often not a Desktop on Linux.
        NewVersionMsg->setText("Download Complete\r\n" + QDir::toNativeSeparators(FiletoSave) +
                               " is saved\r\nPlease Unzip and Install it");
    };
    downloader_->start(url, fileName);
}

LEDSignHelp::LEDSignHelp(const QString& mainCaption, QWidget* parent) : QDialog(parent) {
    setWindowTitle("About");
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel("LED Marquelle", this);
    title->setObjectName("title");
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    title->setFont(big);
    layout->addWidget(title);
    SoftwareVersion = new QLabel(this);
    SoftwareVersion->setObjectName("SoftwareVersion");
    layout->addWidget(SoftwareVersion);
    layout->addWidget(new QLabel("Orvantis Signals Company", this));
    layout->addWidget(new QLabel("Email", this));
    layout->addWidget(new QLabel("support@orvantis-signals.com", this));
    auto* rtfbuffer = new QTextEdit(this);
    rtfbuffer->setObjectName("rtfbuffer");
    rtfbuffer->setReadOnly(true);
    rtfbuffer->setPlainText("Test message");
    rtfbuffer->hide();  // kept for the two settings it receives; shown nowhere
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OK");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
    if (mainCaption.contains("ver ", Qt::CaseInsensitive)) {
        std::string version;
        captionVersion(mainCaption.toStdString(), &version);
        SoftwareVersion->setText("Version : " + QString::fromStdString(version));
    }
}

}  // namespace glowset
