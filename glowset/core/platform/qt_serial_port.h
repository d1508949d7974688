// The serial port on QSerialPort. Arriving bytes are kept in a queue and
// handed out one character per read, as the windows expect.
#pragma once

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
    bool isOpen() const override { return port_.isOpen(); }
    bool write(const std::string& bytes) override;
    int inputCount() const override { return static_cast<int>(input_.size()); }
    std::string read() override;

  private:
    PortEnvironment environment_;
    QSerialPort port_;
    int number_ = 1;
    std::deque<char> input_;
};

}  // namespace glowset
