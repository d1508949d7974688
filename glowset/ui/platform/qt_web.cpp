#include "glowset/core/update/html_elements.h"
#include "glowset/ui/platform/web.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThreadPool>
#include <QUrl>

#include <mutex>

namespace glowset {
namespace {

constexpr int kBlock = 4096;

QNetworkAccessManager& network() {
    static QNetworkAccessManager* manager = [] {
        QNetworkProxyFactory::setUseSystemConfiguration(true);
        auto* m = new QNetworkAccessManager(QCoreApplication::instance());
        m->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
        return m;
    }();
    return *manager;
}

QNetworkRequest request(const QString& address, int stallLimitMs = kStallLimitMs) {
    // The address is taken as written; QUrl encodes a blank and the like on the wire.
    QNetworkRequest r(QUrl(address, QUrl::TolerantMode));
    r.setTransferTimeout(stallLimitMs);
    r.setMaximumRedirectsAllowed(5);
    return r;
}

// Loads the page, then looks for the text on a pool thread so that a large
// page never holds up the window. The answer comes back through the
// event loop, and not at all when the page has gone or moved on.
class QtWebPage : public WebPage {
  public:
    ~QtWebPage() override {
        stop();
        std::lock_guard lock(guard_->mutex);
        guard_->alive = false;
    }
    void navigate(const QString& address, const std::string& key) override {
        stop();
        const int load = ++load_;
        QNetworkReply* reply = network().get(request(address));
        reply_ = reply;
        QObject::connect(reply, &QNetworkReply::downloadProgress, &context_,
                         [this, reply, address, load](qint64 received, qint64) {
                             if (received <= kPageSizeLimit || reply != reply_ || load != load_)
                                 return;
                             // Beyond the limit: as if the page had not loaded.
                             stop();
                             found_.clear();
                             if (onDocumentComplete) onDocumentComplete(address);
                         });
        QObject::connect(
            reply, &QNetworkReply::finished, &context_, [this, reply, address, key, load] {
                reply->deleteLater();
                if (reply != reply_) return;  // an abandoned load
                reply_ = nullptr;
                if (reply->error() != QNetworkReply::NoError) {
                    complete(address, load, {});
                    return;
                }
                const QByteArray page = reply->read(kPageSizeLimit);
                QThreadPool::globalInstance()->start([this, page, key, address, load,
                                                      guard = guard_] {
                    std::string text = lastElementTextContaining(
                        std::string_view(page.constData(), static_cast<size_t>(page.size())), key);
                    // The page cannot go away while the answer is being posted.
                    std::lock_guard lock(guard->mutex);
                    if (!guard->alive) return;
                    QMetaObject::invokeMethod(
                        &context_,
                        [this, address, load, text = std::move(text)] {
                            complete(address, load, text);
                        },
                        Qt::QueuedConnection);
                });
            });
    }
    void stop() override {
        ++load_;  // whatever is on its way belongs to an abandoned load
        if (!reply_) return;
        QNetworkReply* reply = reply_;
        reply_ = nullptr;
        reply->disconnect(&context_);
        reply->abort();
        reply->deleteLater();
    }
    const std::string& foundText() const override { return found_; }

  private:
    void complete(const QString& address, int load, std::string text) {
        if (load != load_) return;
        found_ = std::move(text);
        if (onDocumentComplete) onDocumentComplete(address);
    }

    struct Guard {
        std::mutex mutex;
        bool alive = true;
    };
    QObject context_;  // queued answers die with it
    std::shared_ptr<Guard> guard_ = std::make_shared<Guard>();
    QNetworkReply* reply_ = nullptr;
    int load_ = 0;
    std::string found_;
};

class QtDownloader : public Downloader {
  public:
    explicit QtDownloader(int stallLimitMs) : stallLimitMs_(stallLimitMs) {}
    ~QtDownloader() override {
        if (reply_) {
            reply_->disconnect();
            reply_->abort();
            reply_->deleteLater();
        }
    }
    void start(const QString& address, const QString& file) override {
        if (address.isEmpty() || file.isEmpty()) {
            finish(DownloadError{kErrorMissingArgument, "Invalid procedure call or argument"});
            return;
        }
        const QUrl url(address, QUrl::TolerantMode);
        if (!url.isValid() || url.scheme().isEmpty()) {
            finish(DownloadError{kErrorInternetOpen,
                                 "An error occurred calling InternetOpenUrl function"});
            return;
        }
        file_ = std::make_unique<QSaveFile>(file);
        file_->setDirectWriteFallback(false);
        if (!file_->open(QIODevice::WriteOnly)) {
            finish(DownloadError{static_cast<long>(file_->error()),
                                 file + ": " + file_->errorString()});
            return;
        }
        received_ = 0;
        reply_ = network().get(request(address, stallLimitMs_));
        if (onConnectionOpened) onConnectionOpened();
        QObject::connect(reply_, &QNetworkReply::readyRead, [this] { readBlocks(); });
        QObject::connect(reply_, &QNetworkReply::finished, [this] { finished(); });
    }

  private:
    void readBlocks() {
        if (writeFailed_ || !reply_->isOpen()) return;  // aborted after a failed write
        const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
        const int64_t total = length.isValid() ? length.toLongLong() : 0;
        char block[kBlock];
        while (reply_->bytesAvailable() > 0) {
            const qint64 n = reply_->read(block, kBlock);
            if (n <= 0) break;
            received_ += n;
            if (file_->write(block, n) != n) {
                writeFailed_ = true;
                reply_->abort();
                return;
            }
            if (onProgress) onProgress(received_, total);
        }
    }
    void finished() {
        readBlocks();
        QNetworkReply* reply = reply_;
        reply_ = nullptr;
        reply->deleteLater();
        if (onConnectionClosing) onConnectionClosing();
        std::optional<DownloadError> error;
        if (writeFailed_) {
            error = DownloadError{static_cast<long>(file_->error()),
                                  file_->fileName() + ": " + file_->errorString()};
        } else if (reply->error() == QNetworkReply::OperationCanceledError) {
            // Only the stall limit cancels a reply that is still connected.
            error = DownloadError{static_cast<long>(reply->error()),
                                  QString("The server sent nothing for %1 seconds")
                                      .arg(QString::number(stallLimitMs_ / 1000.0))};
        } else if (reply->error() != QNetworkReply::NoError) {
            error = DownloadError{static_cast<long>(reply->error()), reply->errorString()};
        }
        if (error) {
            file_->cancelWriting();  // the old file stays, the partial one goes
        } else if (!file_->commit()) {
            error = DownloadError{static_cast<long>(file_->error()),
                                  file_->fileName() + ": " + file_->errorString()};
        }
        finish(error);
    }
    void finish(std::optional<DownloadError> error) {
        if (onFinished) onFinished(std::move(error));
    }

    const int stallLimitMs_;
    QNetworkReply* reply_ = nullptr;
    std::unique_ptr<QSaveFile> file_;
    int64_t received_ = 0;
    bool writeFailed_ = false;
};

class QtLauncher : public Launcher {
  public:
    bool startDetached(const QString& program) override {
        return QProcess::startDetached(program, {});
    }
    bool openInBrowser(const QString& address) override {
        return QDesktopServices::openUrl(QUrl(address));
    }
};

}  // namespace

std::unique_ptr<WebPage> makeQtWebPage() {
    return std::make_unique<QtWebPage>();
}
std::unique_ptr<Downloader> makeQtDownloader(int stallLimitMs) {
    return std::make_unique<QtDownloader>(stallLimitMs);
}
std::unique_ptr<Launcher> makeQtLauncher() {
    return std::make_unique<QtLauncher>();
}

QString desktopFolder() {
    // Many Linux desktops have no Desktop folder.
    for (const auto location : {QStandardPaths::DesktopLocation, QStandardPaths::DownloadLocation,
                                QStandardPaths::HomeLocation}) {
        const QString folder = QStandardPaths::writableLocation(location);
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) return folder;
    }
    return {};
}

QString programFolder() {
    return QCoreApplication::applicationDirPath();
}

}  // namespace glowset
