// The serial port behind a serial device server: "rfc2217://host:port"
// carries the line settings, purge and break to the far port through the
// COM-PORT-OPTION; "socket://host:port" is a raw TCP stream whose server
// holds the line settings. Reads and writes keep the port layer's total
// time-out T; a server that goes away is a lost device.
#pragma once

#include "common/ports/device_server.h"
#include "common/ports/port_url.h"
#include "romwright/serial/serial_port.h"

#include <chrono>
#include <memory>
#include <string>

namespace romwright {

inline constexpr std::chrono::milliseconds kServerAnswerLimit = ports::server::kAnswerLimit;

// Opens the port behind a URL at a baud rate; nullptr when the server
// cannot be reached, says the port is busy, or does not confirm the line
// settings in time, with the reason in `problem`.
std::unique_ptr<SerialDevice> open_network_device(const std::string& name, int baud,
                                                  std::string& problem);

}  // namespace romwright
