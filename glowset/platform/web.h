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

class WebPage {
  public:
    virtual ~WebPage() = default;
    // Starts loading; a load still running is abandoned.
    virtual void navigate(const QString& address) = 0;
    // The texts of the loaded page's elements, in document order.
    virtual const std::vector<std::string>& elementTexts() const = 0;
    // Raised when a load has ended (also when it failed), with its address.
    std::function<void(const QString& address)> onDocumentComplete;
};

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
std::unique_ptr<Downloader> makeQtDownloader();
std::unique_ptr<Launcher> makeQtLauncher();

// The user's Desktop folder; "" when there is none.
QString desktopFolder();
// The folder of the running program, where the flasher is installed too.
QString programFolder();

}  // namespace glowset
