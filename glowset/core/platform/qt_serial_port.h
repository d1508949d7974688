// The serial port on QSerialPort, or on a serial device server when the
// port's device is a URL (rfc2217:// or socket://). Arriving bytes are kept
// in a queue and handed out one character per read, as the windows expect.
#pragma once

#include "glowset/core/platform/network_port.h"
#include "glowset/core/platform/serial_port.h"

#include <QSerialPort>

#include <deque>

namespace glowset {

class QtSerialPort : public SerialPort {
  public:
    explicit QtSerialPort(PortEnvironment environment = systemPortEnvironment());
    void setPortNumber(int number) override { number_ = number; }
    int portNumber() const override { return number_; }
    std::optional<OpenError> open() override;
    void close() override;
    bool isOpen() const override { return port_.isOpen() || network_.isOpen(); }
    bool write(const std::string& bytes) override;
    int inputCount() const override { return static_cast<int>(input_.size()); }
    std::string read() override;

  private:
    std::optional<OpenError> openUrl(const std::string& url);
    PortEnvironment environment_;
    QSerialPort port_;
    NetworkPort network_;
    int number_ = 1;
    std::deque<char> input_;
};

}  // namespace glowset
