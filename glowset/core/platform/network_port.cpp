#include "glowset/core/platform/network_port.h"

#include "common/ports/device_server.h"

namespace glowset {
namespace {

namespace telnet = ports::rfc2217;
namespace server = ports::server;

// A closed connection kept for a reopen: the search closes the port it
// found a sign on and the download opens it again at once, and a server
// that serves one connection at a time may not have let the first go yet.
constexpr int kLingerMs = 1000;
// Short enough to stay inside the 400 ms an exchange waits for its answer.
constexpr int kBusyRetryMs = 300, kBusyRetryGapMs = 50;
constexpr uint32_t kBaud = 9600;

}  // namespace

NetworkPort::NetworkPort() {
    limit_.setSingleShot(true);
    limit_.setInterval(static_cast<int>(server::kAnswerLimit.count()));
    QObject::connect(&limit_, &QTimer::timeout, [this] {
        failed(state_ == State::Negotiating
                   ? server::unconfirmedSettingsText(name_)
                   : server::connectFailureText(name_, url_, server::ConnectFailure::NoAnswer));
    });
    listen_.setSingleShot(true);
    QObject::connect(&listen_, &QTimer::timeout, [this] { listened(); });
    lingering_.setSingleShot(true);
    lingering_.setInterval(kLingerMs);
    QObject::connect(&lingering_, &QTimer::timeout, [this] { hangUp(); });
}

NetworkPort::~NetworkPort() {
    onData = nullptr;
    onFault = nullptr;
    hangUp();
}

void NetworkPort::open(const ports::PortUrl& url, const std::string& urlText,
                       const std::string& name) {
    name_ = name;
    if (socket_ && urlText == urlText_) {
        // Still connected, or on its way: take it up again.
        lingering_.stop();
        open_ = true;
        return;
    }
    hangUp();
    url_ = url;
    urlText_ = urlText;
    open_ = true;
    waiting_.clear();
    busySince_.start();
    limit_.start();
    connectSocket(0);
}

// A new connection, started from the event loop `afterMs` from now: a
// refusal may come at once, and the opener must first have taken the open
// as done.
void NetworkPort::connectSocket(int afterMs) {
    listen_.stop();
    telnet_ = telnet::Client();
    said_.clear();
    socket_ = std::make_unique<QTcpSocket>();
    QTcpSocket* socket = socket_.get();
    QObject::connect(socket, &QTcpSocket::connected, [this] { connected(); });
    QObject::connect(socket, &QTcpSocket::readyRead, [this] { received(); });
    QObject::connect(
        socket, &QTcpSocket::errorOccurred, [this, socket](QAbstractSocket::SocketError error) {
            using server::ConnectFailure;
            std::string words;
            if (state_ == State::Connecting) {
                const ConnectFailure failure =
                    error == QAbstractSocket::ConnectionRefusedError ? ConnectFailure::Refused
                    : error == QAbstractSocket::HostNotFoundError    ? ConnectFailure::UnknownHost
                                                                     : ConnectFailure::Other;
                words = server::connectFailureText(name_, url_, failure,
                                                   socket->errorString().toStdString());
            } else if (state_ == State::Ready) {
                words = name_ + ": the server closed the connection";
            } else if (!busyOnceMore()) {
                words = server::closedDuringOpenText(name_, said_);
            } else {
                return;
            }
            failed(words);
        });
    state_ = State::Connecting;
    const QString host = QString::fromStdString(url_.host);
    const auto port = static_cast<quint16>(std::stoi(url_.service));
    QTimer::singleShot(afterMs, socket,
                       [socket, host, port] { socket->connectToHost(host, port); });
}

// A server that serves one client at a time says it is busy until it has let
// the last one go, which takes it a moment after that client hung up (the
// same program a moment ago, often). For a while the open asks again.
bool NetworkPort::busyOnceMore() {
    if (!server::saysBusy(said_) || busySince_.elapsed() >= kBusyRetryMs) return false;
    retire();
    connectSocket(kBusyRetryGapMs);
    return true;
}

void NetworkPort::connected() {
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    state_ = State::Listening;
    listen_.start(static_cast<int>(server::kBusyListen.count()));
}

void NetworkPort::received() {
    const QByteArray bytes = socket_->readAll();
    const std::string_view got(bytes.constData(), static_cast<size_t>(bytes.size()));
    std::string data =
        url_.kind == ports::PortUrl::Rfc2217 ? telnet_.receive(got) : std::string(got);
    if (state_ == State::Listening) {
        said_ += data;
        // Offers have come: a busy server's words follow at once, or nothing.
        if (url_.kind == ports::PortUrl::Rfc2217)
            listen_.start(static_cast<int>(server::kQuietAfterOffers.count()));
        return;
    }
    if (url_.kind == ports::PortUrl::Rfc2217) {
        sendRaw(telnet_.takeReplies());
        if (state_ == State::Negotiating) {
            if (telnet_.comPortRefused()) {
                failed(server::noComPortOptionText(name_));
                return;
            }
            bool all = true;
            for (const auto command : {telnet::kSetBaudRate, telnet::kSetDataSize,
                                       telnet::kSetParity, telnet::kSetStopSize}) {
                all = all && telnet_.confirmed(command).has_value();
            }
            if (all) lineReady();
            if (state_ != State::Ready) return;
        }
    }
    if (open_ && !data.empty() && onData) onData(data);
}

// Listened long enough: nothing said, or a busy server's words.
void NetworkPort::listened() {
    if (state_ != State::Listening || busyOnceMore()) return;
    if (server::saysBusy(said_)) {
        failed(server::closedDuringOpenText(name_, said_));
        return;
    }
    said_.clear();  // nothing was asked yet: this is no answer
    if (url_.kind != ports::PortUrl::Rfc2217) {
        lineReady();
        return;
    }
    state_ = State::Negotiating;
    sendRaw(telnet::Client::greeting() + telnet_.takeReplies());
    for (const auto& [command, value] :
         {std::pair{telnet::kSetBaudRate, kBaud}, std::pair{telnet::kSetDataSize, uint32_t{8}},
          std::pair{telnet::kSetParity, uint32_t{telnet::kParityNone}},
          std::pair{telnet::kSetStopSize, uint32_t{telnet::kStopBitsOne}}}) {
        sendRaw(telnet::Client::command(command, value));
    }
}

void NetworkPort::lineReady() {
    limit_.stop();
    state_ = State::Ready;
    if (url_.kind == ports::PortUrl::Rfc2217) {
        // Both queues start empty; the sign link uses no handshake lines.
        sendRaw(telnet::Client::command(telnet::kPurgeData, telnet::kPurgeBoth));
        sendRaw(telnet::Client::command(telnet::kSetControl, telnet::kDtrOff));
        sendRaw(telnet::Client::command(telnet::kSetControl, telnet::kRtsOff));
    }
    flush();
    if (!open_) lingering_.start();
}

void NetworkPort::flush() {
    if (waiting_.empty()) return;
    sendRaw(url_.kind == ports::PortUrl::Rfc2217 ? telnet::Client::escape(waiting_) : waiting_);
    waiting_.clear();
}

void NetworkPort::write(const std::string& bytes) {
    if (!open_) return;
    waiting_ += bytes;
    if (state_ == State::Ready) flush();
}

void NetworkPort::close() {
    open_ = false;
    if (!socket_) return;
    // What was written goes out first, once the line is ready.
    if (state_ == State::Ready) {
        lingering_.start();
    } else if (waiting_.empty()) {
        hangUp();
    }
}

void NetworkPort::failed(const std::string& what) {
    const bool wasOpen = open_;
    open_ = false;
    hangUp();
    if (wasOpen && onFault) onFault(what);
}

void NetworkPort::hangUp() {
    limit_.stop();
    listen_.stop();
    lingering_.stop();
    state_ = State::Idle;
    waiting_.clear();
    urlText_.clear();
    retire();
}

void NetworkPort::retire() {
    if (!socket_) return;
    // Kept until it is done with, and never deleted inside one of its own
    // signals (a failure hangs up from there).
    QTcpSocket* socket = socket_.get();
    QObject::disconnect(socket, nullptr, nullptr, nullptr);
    closing_.push_back(std::move(socket_));
    const auto done = [this, socket] {
        QObject::disconnect(socket, nullptr, nullptr, nullptr);
        for (auto& held : closing_) {
            if (held.get() == socket) held.release()->deleteLater();
        }
        std::erase(closing_, nullptr);
    };
    if (socket->state() != QAbstractSocket::ConnectedState) {
        socket->abort();
        QTimer::singleShot(0, socket, done);
        return;
    }
    // Written bytes still leave: the socket closes once they are out.
    QObject::connect(socket, &QTcpSocket::disconnected, done);
    QObject::connect(socket, &QTcpSocket::errorOccurred, done);
    socket->disconnectFromHost();
}

void NetworkPort::sendRaw(const std::string& bytes) {
    if (socket_ && !bytes.empty()) {
        socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
}

}  // namespace glowset
