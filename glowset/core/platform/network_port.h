// The sign's line behind a serial device server, on QTcpSocket: opening
// returns at once and the connection, the server's offers and the line
// settings (9600 8N1, both queues purged, DTR and RTS low) follow on the
// event loop, so a server that does not answer holds nobody up. Lines
// written before the line is ready wait and go out in order once it is; a
// server that cannot be reached, is busy (for longer than it takes to let
// a last client go) or goes away is a fault in words, as a pulled adapter is.
#pragma once

#include "common/ports/port_url.h"
#include "common/ports/rfc2217.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace glowset {

class NetworkPort {
  public:
    NetworkPort();
    ~NetworkPort();
    NetworkPort(const NetworkPort&) = delete;
    NetworkPort& operator=(const NetworkPort&) = delete;

    // Starts the open of `url`; `name` is how the words name the port
    // ("COM7 (rfc2217://host:4001)"). A connection to the same URL that is
    // still being closed is taken up again instead, with what waits in it.
    void open(const ports::PortUrl& url, const std::string& urlText, const std::string& name);
    // Nothing more is heard. Lines still waiting for the line go out first;
    // the connection is kept a moment for a quick reopen, then hung up.
    void close();
    bool isOpen() const { return open_; }
    void write(const std::string& bytes);

    // Data from the far line, while open.
    std::function<void(const std::string& data)> onData;
    // The open failed or the server went away, while open: the words say how.
    std::function<void(const std::string& what)> onFault;

  private:
    enum class State { Idle, Connecting, Listening, Negotiating, Ready };
    void connectSocket(int afterMs);
    bool busyOnceMore();
    void retire();  // the socket let go of, once its written bytes are out
    void connected();
    void received();
    void listened();
    void lineReady();
    void flush();
    void failed(const std::string& what);
    void hangUp();
    void sendRaw(const std::string& bytes);

    std::unique_ptr<QTcpSocket> socket_;
    std::vector<std::unique_ptr<QTcpSocket>> closing_;  // hung up, bytes still leaving
    QTimer limit_;      // the whole open, as long as the server may take
    QTimer listen_;     // before the first write
    QTimer lingering_;  // closed, kept for a quick reopen
    QElapsedTimer busySince_;
    ports::PortUrl url_;
    std::string urlText_, name_;
    State state_ = State::Idle;
    bool open_ = false;
    ports::rfc2217::Client telnet_;
    std::string said_;     // what the server said before the first write
    std::string waiting_;  // data written before the line was ready
};

}  // namespace glowset
