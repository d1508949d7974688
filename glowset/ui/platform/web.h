// The web as the version check sees it: a page whose elements can be read,
// a file download in blocks, and starting other programs.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace glowset {

// A page loaded to find one text in it.
class WebPage {
  public:
    virtual ~WebPage() = default;
    // Starts loading the page and looking in it for the last element whose
    // text holds the key (see lastElementTextContaining); a load still
    // running is abandoned. A page larger than kPageSizeLimit counts as not
    // loaded.
    virtual void navigate(const QString& address, const std::string& key) = 0;
    // Abandons a load still running; it reports nothing.
    virtual void stop() = 0;
    // The text found by the last completed load; "" when none.
    virtual const std::string& foundText() const = 0;
    // Raised when a load has ended (also when it failed), with its address.
    std::function<void(const QString& address)> onDocumentComplete;
};

inline constexpr qint64 kPageSizeLimit = 4 * 1024 * 1024;

struct DownloadError {
    long number = 0;
    QString description;
};

class Downloader {
  public:
    virtual ~Downloader() = default;
    // Fetches the address into the file. The file is replaced only when the
    // whole download has arrived; on failure an existing file stays as it was.
    virtual void start(const QString& address, const QString& file) = 0;

    std::function<void()> onConnectionOpened;
    // After every block of at most 4096 bytes; total is 0 when the server
    // gave no length.
    std::function<void(int64_t received, int64_t total)> onProgress;
    std::function<void()> onConnectionClosing;
    // The end: nullopt on success.
    std::function<void(std::optional<DownloadError>)> onFinished;
};

class Launcher {
  public:
    virtual ~Launcher() = default;
    // Starts a program without waiting for it; false when it cannot start.
    virtual bool startDetached(const QString& program) = 0;
    virtual bool openInBrowser(const QString& address) = 0;
};

inline constexpr long kErrorMissingArgument = 5;
inline constexpr long kErrorInternetOpen = -2147220504;  // the object-error base plus 1000

std::unique_ptr<WebPage> makeQtWebPage();
// Loads and downloads that receive nothing for this long end with an error.
inline constexpr int kStallLimitMs = 15000;
std::unique_ptr<Downloader> makeQtDownloader(int stallLimitMs = kStallLimitMs);
std::unique_ptr<Launcher> makeQtLauncher();

// Where a downloaded program goes: the user's Desktop folder when it
// exists, else the Downloads folder, else the home folder.
QString desktopFolder();
// The folder of the running program, where the flasher is installed too.
QString programFolder();

}  // namespace glowset
