#include "glowset/core/session/sign_link.h"

namespace glowset {

std::string portBusyText(int portNumber) {
    return "COM" + std::to_string(portNumber) +
           " is busy with another exchange; try again when it has ended";
}

class SignLink::View : public SerialPort {
  public:
    explicit View(SignLink& link) : link_(link) {}
    ~View() override {
        if (holds()) close();
    }

    void setPortNumber(int number) override { number_ = number; }
    int portNumber() const override { return number_; }

    std::optional<OpenError> open() override {
        if (link_.holder_ && !holds()) {
            return OpenError{kErrorPortBusy, portBusyText(number_)};
        }
        SerialPort& device = *link_.device_;
        const bool kept =
            link_.keepOpen_ && !holds() && device.isOpen() && device.portNumber() == number_;
        if (!kept) {
            if (device.isOpen()) device.close();
            link_.holder_ = nullptr;
            device.setPortNumber(number_);
            if (auto error = device.open()) return error;
        }
        while (kept && device.inputCount() > 0) device.read();  // what came between exchanges
        link_.holder_ = this;
        device.onReceive = [this] {
            if (onReceive) onReceive();
        };
        device.onFault = [this](const std::string& what) {
            // The device gave up: the exchange no longer holds it. Closing
            // replaces this very handler, so only locals are used after it.
            View* const self = this;
            const std::string words = what;
            self->close();
            if (self->onFault) self->onFault(words);
        };
        return std::nullopt;
    }
    void close() override {
        if (!holds()) return;
        if (!link_.keepOpen_) link_.device_->close();
        link_.device_->onReceive = nullptr;
        link_.device_->onFault = nullptr;
        link_.holder_ = nullptr;
    }
    bool isOpen() const override { return holds() && link_.device_->isOpen(); }
    bool write(const std::string& bytes) override { return holds() && link_.device_->write(bytes); }
    int inputCount() const override { return holds() ? link_.device_->inputCount() : 0; }
    std::string read() override { return holds() ? link_.device_->read() : std::string(); }

  private:
    bool holds() const { return link_.holder_ == this; }
    SignLink& link_;
    int number_ = 1;
};

SignLink::SignLink(std::unique_ptr<SerialPort> device) : device_(std::move(device)) {}

SignLink::~SignLink() {
    if (device_->isOpen()) device_->close();
}

void SignLink::keepOpen(bool keep) {
    keepOpen_ = keep;
    if (!keep && !holder_ && device_->isOpen()) device_->close();
}

std::unique_ptr<SerialPort> SignLink::makeView() {
    return std::make_unique<View>(*this);
}

}  // namespace glowset
