#include "tests/glowset/support/local_http_server.h"

#include <QtNetwork>

namespace glowset::testing {

LocalHttpServer::LocalHttpServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { serve(socket); });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
                buffers_.erase(socket);
                answered_.erase(socket);
                socket->deleteLater();
            });
        }
    });
}

QString LocalHttpServer::base() const {
    return QString("http://127.0.0.1:%1").arg(server_.serverPort());
}

void LocalHttpServer::serve(QTcpSocket* socket) {
    QByteArray& request = buffers_[socket];
    request += socket->readAll();
    if (!request.contains("\r\n\r\n") || answered_.count(socket)) return;
    answered_.insert(socket);
    const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
    const QString path = line.size() > 1 ? QString::fromLatin1(line[1]) : QString();
    requests.push_back(path);
    if (silent) return;
    const auto found = answers_.find(path);
    const Answer a = found != answers_.end() ? found->second : Answer{404, "not here"};
    QByteArray head =
        "HTTP/1.1 " + QByteArray::number(a.status) + (a.status == 200 ? " OK" : " Error") + "\r\n";
    if (a.sendLength) head += "Content-Length: " + QByteArray::number(a.body.size()) + "\r\n";
    head += "Content-Type: text/html\r\nConnection: close\r\n\r\n";
    if (a.pauseAfter < 0) {
        socket->write(head + a.body);
        socket->disconnectFromHost();
        return;
    }
    socket->write(head + a.body.left(a.pauseAfter));
    socket->flush();
    QTimer::singleShot(100, socket, [socket, a] {
        if (!a.dropAfterPause) socket->write(a.body.mid(a.pauseAfter));
        if (a.dropAfterPause) {
            socket->abort();
        } else {
            socket->disconnectFromHost();
        }
    });
}

}  // namespace glowset::testing
