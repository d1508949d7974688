// The serial port as the windows use it: choose a port number, open, write
// whole command lines, and read replies one character at a time when the
// receive event says characters are waiting.
#pragma once

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
};

// The words a user reads when a port cannot be opened, by cause.
enum class OpenFailure { NoDevice, InUse, NoPermission, Other };
// `detail` is the platform's own text, used for OpenFailure::Other; `group`
// is the group owning the device, for NoPermission.
OpenError describeOpenFailure(OpenFailure failure, int portNumber, const std::string& device,
                              const std::string& group = {}, const std::string& detail = {});

}  // namespace glowset
