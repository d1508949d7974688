// The one owner of the sign's serial device. Every window talks to the sign
// through a view of it (the main window's MSComm2, each secondary window's
// MSComm1); the device is open for one view at a time. A view that opens
// while another holds the device is refused with a busy error and sends
// nothing, and no view can close another's exchange.
#pragma once

#include "glowset/core/platform/serial_port.h"

#include <memory>

namespace glowset {

inline constexpr int kErrorPortBusy = 8030;  // held by another exchange of this program
// What a control says when the exchange it would start finds the port held.
std::string portBusyText(int portNumber);

class SignLink {
  public:
    explicit SignLink(std::unique_ptr<SerialPort> device);
    ~SignLink();
    SignLink(const SignLink&) = delete;
    SignLink& operator=(const SignLink&) = delete;

    // A new view for one window's exchanges.
    std::unique_ptr<SerialPort> makeView();
    // Some view holds the device.
    bool busy() const { return holder_ != nullptr; }
    // While kept, the device stays open between one view's exchange and the
    // next, so that no other program can take the port in between; what
    // arrives meanwhile is dropped. Letting go closes it.
    void keepOpen(bool keep);
    // The device itself, for tests that look at the line.
    SerialPort& device() { return *device_; }

  private:
    class View;
    std::unique_ptr<SerialPort> device_;
    View* holder_ = nullptr;
    bool keepOpen_ = false;
};

}  // namespace glowset
