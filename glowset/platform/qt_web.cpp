#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include "glowset/platform/web.h"
#include "glowset/update/html_elements.h"

namespace glowset {
namespace {

constexpr int kBlock = 4096;
constexpr int kTimeoutMs = 15000;

QNetworkAccessManager& network() {
    static QNetworkAccessManager* manager = [] {
        QNetworkProxyFactory::setUseSystemConfiguration(true);
        auto* m = new QNetworkAccessManager(QCoreApplication::instance());
        m->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
        return m;
    }();
    return *manager;
}

QNetworkRequest request(const QString& address) {
    // The address is taken as written; QUrl encodes a blank and the like on the wire.
    QNetworkRequest r(QUrl(address, QUrl::TolerantMode));
    r.setTransferTimeout(kTimeoutMs);
    return r;
}

class QtWebPage : public WebPage {
  public:
    ~QtWebPage() override {
        if (!reply_) return;
        // No report to a page that is going away.
        reply_->disconnect();
        reply_->abort();
        reply_->deleteLater();
    }
    void navigate(const QString& address) override {
        if (reply_) {
            QNetworkReply* old = reply_;
            reply_ = nullptr;
            old->abort();
        }
        QNetworkReply* reply = network().get(request(address));
        reply_ = reply;
        QObject::connect(reply, &QNetworkReply::finished, [this, reply, address] {
            reply->deleteLater();
            if (reply != reply_) return;  // an abandoned load
            reply_ = nullptr;
            texts_.clear();
            if (reply->error() == QNetworkReply::NoError) {
                const QByteArray page = reply->readAll();
                texts_ = htmlElementTexts(
                    std::string_view(page.constData(), static_cast<size_t>(page.size())));
            }
            if (onDocumentComplete) onDocumentComplete(address);
        });
    }
    const std::vector<std::string>& elementTexts() const override { return texts_; }

  private:
    QNetworkReply* reply_ = nullptr;
    std::vector<std::string> texts_;
};

class QtDownloader : public Downloader {
  public:
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
        reply_ = network().get(request(address));
        if (onConnectionOpened) onConnectionOpened();
        QObject::connect(reply_, &QNetworkReply::readyRead, [this] { readBlocks(); });
        QObject::connect(reply_, &QNetworkReply::finished, [this] { finished(); });
    }

  private:
    void readBlocks() {
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
        } else if (reply->error() != QNetworkReply::NoError) {
            error = DownloadError{static_cast<long>(reply->error()), reply->errorString()};
        }
        if (error) {
            file_->cancelWriting();  // the old file stays, the partial one goes
            file_->commit();
        } else if (!file_->commit()) {
            error = DownloadError{static_cast<long>(file_->error()),
                                  file_->fileName() + ": " + file_->errorString()};
        }
        file_.reset();
        finish(error);
    }
    void finish(std::optional<DownloadError> error) {
        if (onFinished) onFinished(std::move(error));
    }

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
std::unique_ptr<Downloader> makeQtDownloader() {
    return std::make_unique<QtDownloader>();
}
std::unique_ptr<Launcher> makeQtLauncher() {
    return std::make_unique<QtLauncher>();
}

QString desktopFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

QString programFolder() {
    return QCoreApplication::applicationDirPath();
}

}  // namespace glowset
