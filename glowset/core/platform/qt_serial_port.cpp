#include "glowset/core/platform/qt_serial_port.h"

#include "common/ports/device_server.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace glowset {

QtSerialPort::QtSerialPort(PortEnvironment environment) : environment_(std::move(environment)) {
    network_.onData = [this](const std::string& data) {
        input_.insert(input_.end(), data.begin(), data.end());
        if (onReceive) onReceive();
    };
    network_.onFault = [this](const std::string& what) {
        input_.clear();
        if (onFault) onFault(what);
    };
    QObject::connect(&port_, &QSerialPort::readyRead, [this] {
        const QByteArray bytes = port_.readAll();
        input_.insert(input_.end(), bytes.begin(), bytes.end());
        if (!input_.empty() && onReceive) onReceive();
    });
    QObject::connect(&port_, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError e) {
        if (!port_.isOpen()) return;  // open failures are reported by open()
        std::string what;
        if (e == QSerialPort::ResourceError) {
            what = "COM" + std::to_string(number_) + "'s device (" +
                   port_.portName().toStdString() + ") was removed";
        } else if (e == QSerialPort::WriteError) {
            what = "writing to COM" + std::to_string(number_) + " failed";
        } else if (e == QSerialPort::ReadError) {
            what = "reading from COM" + std::to_string(number_) + " failed";
        } else {
            return;
        }
        port_.clearError();
        // The device is gone or broken: let go of it at once, nothing more
        // will pass, and a later open finds it free.
        port_.close();
        input_.clear();
        if (onFault) onFault(what);
    });
}

// The port's device is a server's URL: the open goes on after this returns,
// and a server that cannot be reached is a fault, as a pulled adapter is.
std::optional<OpenError> QtSerialPort::openUrl(const std::string& url) {
    const std::string name = "COM" + std::to_string(number_) + " (" + url + ")";
    const auto parsed = ports::parsePortUrl(url);
    if (!parsed) return OpenError{kErrorNoDevice, ports::server::notAUrlText(name)};
    input_.clear();
    network_.open(*parsed, url, name);
    return std::nullopt;
}

std::optional<OpenError> QtSerialPort::open() {
    if (number_ < 1 || number_ > kHighestPortNumber) {
        return OpenError{kErrorInvalidPortNumber, "invalid port number"};
    }
    if (isOpen())
        return describeOpenFailure(OpenFailure::InUse, number_, port_.portName().toStdString());
    const ports::PortSlot slot = ports::portSlot(number_, environment_);
    if (ports::looksLikeUrl(slot.device)) return openUrl(slot.device);
    if (slot.device.empty()) {
        return describeOpenFailure(OpenFailure::NoDevice, number_, {},
                                   ports::missingDeviceFacts(slot));
    }
    const std::optional<std::string> device = slot.device;
    struct stat info {};
    if (::stat(device->c_str(), &info) != 0) {
        return describeOpenFailure(OpenFailure::NoDevice, number_, *device,
                                   ports::missingDeviceFacts(slot));
    }
    input_.clear();
    port_.setPortName(QString::fromStdString(*device));
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (port_.open(QIODevice::ReadWrite)) {
        // The sign link uses no handshake lines; DTR and RTS stay low.
        // (A pseudo-terminal has no such lines; the error it reports for
        // them does not matter.)
        port_.setDataTerminalReady(false);
        port_.setRequestToSend(false);
        port_.clearError();
        return std::nullopt;
    }
    const QSerialPort::SerialPortError error = port_.error();
    const std::string words = port_.errorString().toStdString();  // clearing empties it
    port_.clearError();
    if (error == QSerialPort::DeviceNotFoundError) {
        return describeOpenFailure(OpenFailure::NoDevice, number_, *device);
    }
    if (error == QSerialPort::PermissionError) {
        // Qt reports a device held by another program and one we may not
        // open alike; the file's permissions tell them apart.
        if (::access(device->c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
            return describeOpenFailure(OpenFailure::NoPermission, number_, *device,
                                       ports::deviceFacts(*device));
        }
        return describeOpenFailure(OpenFailure::InUse, number_, *device);
    }
    return describeOpenFailure(OpenFailure::Other, number_, *device, {}, words);
}

void QtSerialPort::close() {
    network_.close();
    // A command written just before closing (the idle display switches) must
    // still leave; Qt drops what is not yet written when the port closes. The
    // wait is the line time of what is queued (10 bits a byte at 9600 baud)
    // and a little more, never longer.
    if (port_.isOpen() && port_.bytesToWrite() > 0) {
        const qint64 lineTimeMs = port_.bytesToWrite() * 10 * 1000 / 9600;
        port_.waitForBytesWritten(static_cast<int>(std::min<qint64>(lineTimeMs + 50, 1000)));
    }
    if (port_.isOpen()) port_.close();
    input_.clear();
}

bool QtSerialPort::write(const std::string& bytes) {
    if (network_.isOpen()) {
        network_.write(bytes);  // a server gone away is a fault of its own
        return true;
    }
    if (!port_.isOpen()) return false;
    const qint64 written = port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (written == static_cast<qint64>(bytes.size())) return true;
    port_.close();
    input_.clear();
    if (onFault) onFault("writing to COM" + std::to_string(number_) + " failed");
    return false;
}

std::string QtSerialPort::read() {
    if (input_.empty()) return {};
    const char c = input_.front();
    input_.pop_front();
    return std::string(1, c);
}

}  // namespace glowset
