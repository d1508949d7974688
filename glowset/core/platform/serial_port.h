// The serial port as the windows use it: choose a port number, open, write
// whole command lines, and read replies one character at a time when the
// receive event says characters are waiting.
#pragma once

#include "common/ports/open_failure.h"
#include "common/ports/port_names.h"

#include <functional>
#include <optional>
#include <string>

namespace glowset {

inline constexpr int kErrorInvalidPortNumber = 8002;
inline constexpr int kErrorPortInUse = 8005;
inline constexpr int kErrorNoDevice = 8010;
inline constexpr int kErrorNoPermission = 8015;
inline constexpr int kErrorPortFailed = 8020;
inline constexpr int kHighestPortNumber = 12;

struct OpenError {
    int number = 0;
    std::string description;
};

class SerialPort {
  public:
    virtual ~SerialPort() = default;
    virtual void setPortNumber(int number) = 0;
    virtual int portNumber() const = 0;
    // Opens the port at 9600 baud, 8 data bits, no parity, 1 stop bit, no
    // handshake; nullopt on success.
    virtual std::optional<OpenError> open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Writes the bytes in one piece; false when the port is not open.
    virtual bool write(const std::string& bytes) = 0;
    virtual int inputCount() const = 0;
    // One waiting character; "" when none waits.
    virtual std::string read() = 0;

    // Raised whenever characters have arrived.
    std::function<void()> onReceive;
    // Raised when the open port fails: a write that did not go out, the
    // device removed. The words say what happened, for the status line.
    std::function<void(const std::string& what)> onFault;
};

using ports::deviceForPort;
using ports::OpenFailure;
using ports::PortEnvironment;
using ports::systemPortEnvironment;

// The error number and the words a user reads when port n cannot be opened.
OpenError describeOpenFailure(OpenFailure failure, int portNumber, const std::string& device,
                              const ports::DeviceFacts& facts = {}, const std::string& detail = {});

}  // namespace glowset
