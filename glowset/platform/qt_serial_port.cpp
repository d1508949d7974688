#include "glowset/platform/qt_serial_port.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace glowset {

QtSerialPort::QtSerialPort(PortEnvironment environment) : environment_(std::move(environment)) {
    QObject::connect(&port_, &QSerialPort::readyRead, [this] {
        const QByteArray bytes = port_.readAll();
        input_.insert(input_.end(), bytes.begin(), bytes.end());
        if (!input_.empty() && onReceive) onReceive();
    });
}

std::optional<OpenError> QtSerialPort::open() {
    if (number_ < 1 || number_ > kHighestPortNumber) {
        return OpenError{kErrorInvalidPortNumber, "invalid port number"};
    }
    if (port_.isOpen())
        return describeOpenFailure(OpenFailure::InUse, number_, port_.portName().toStdString());
    const auto device = deviceForPort(number_, environment_);
    if (!device) return describeOpenFailure(OpenFailure::NoDevice, number_, {});
    struct stat info {};
    if (::stat(device->c_str(), &info) != 0) {
        return describeOpenFailure(OpenFailure::NoDevice, number_, *device);
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
    return describeOpenFailure(OpenFailure::Other, number_, *device, {},
                               port_.errorString().toStdString());
}

void QtSerialPort::close() {
    // A command written just before closing (the idle display switches) must
    // still leave; Qt drops what is not yet written when the port closes.
    if (port_.isOpen() && port_.bytesToWrite() > 0) port_.waitForBytesWritten(1000);
    if (port_.isOpen()) port_.close();
    input_.clear();
}

bool QtSerialPort::write(const std::string& bytes) {
    if (!port_.isOpen()) return false;
    const qint64 written = port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return written == static_cast<qint64>(bytes.size());
}

std::string QtSerialPort::read() {
    if (input_.empty()) return {};
    const char c = input_.front();
    input_.pop_front();
    return std::string(1, c);
}

}  // namespace glowset
