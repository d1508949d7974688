// An HTTP server on 127.0.0.1: fixed answers per path, a body that can stop half way,
// and the paths asked for as they came over the wire.
#pragma once

#include <QtNetwork>

#include <map>
#include <set>
#include <vector>

namespace glowset::testing {

class LocalHttpServer {
  public:
    struct Answer {
        int status = 200;
        QByteArray body;
        bool sendLength = true;
        int pauseAfter = -1;          // send this many bytes, pause, then the rest
        bool dropAfterPause = false;  // close the connection at the pause instead
    };

    LocalHttpServer();
    QString base() const;  // "http://127.0.0.1:<port>"
    void answer(const QString& path, Answer a) { answers_[path] = std::move(a); }
    std::vector<QString> requests;
    bool silent = false;  // take connections, never answer

  private:
    void serve(QTcpSocket* socket);
    std::map<QString, Answer> answers_;
    std::map<QTcpSocket*, QByteArray> buffers_;
    std::set<QTcpSocket*> answered_;
    QTcpServer server_;  // last, so its sockets go before the maps they update
};

}  // namespace glowset::testing
