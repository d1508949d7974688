// "Download": offers a newer program version and fetches it to the Desktop.
#pragma once

#include "glowset/ui/platform/platform.h"

#include <QDialog>

#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace glowset {

class GlowsetMain;

class LEDNewVersionDownload : public QDialog {
  public:
    LEDNewVersionDownload(Platform& platform, GlowsetMain& main, QWidget* parent = nullptr);

    void Download_Click();
    // Starts fetching URL into FileName; the window follows it to its end.
    void DownloadFile(const QString& url, const QString& fileName);
    bool downloading() const { return downloading_; }

    QString FiletoDownload, FiletoSave, DesktopFolder;
    QLabel *NewVersionMsg, *downloadResult;
    QPushButton *Download, *DontDownload, *ExitDownload;
    QProgressBar* PB1;

  private:
    Platform& platform_;
    GlowsetMain& main_;
    std::unique_ptr<Downloader> downloader_;
    bool downloading_ = false;
};

// "About": the running version and the maker.
class LEDSignHelp : public QDialog {
  public:
    explicit LEDSignHelp(const QString& mainCaption, QWidget* parent = nullptr);
    QLabel* SoftwareVersion;
};

}  // namespace glowset
