// How both programs open a port on a serial device server, whatever their
// I/O: the time limits of the open, and the words for each way it fails.
#pragma once

#include "common/ports/port_url.h"

#include <chrono>
#include <string>

namespace ports::server {

// How long the open may take: the connection, then each confirmation of a
// line setting.
inline constexpr std::chrono::milliseconds kAnswerLimit{3000};
// How long a new connection is listened to before the first write: a busy
// server says so and hangs up at once, and a client that wrote first would
// get a reset, which throws the server's words away unread. A telnet server
// opens with its offers at once, a busy one with its words right after
// them: once they have come and the line has been quiet for a moment, the
// open goes on.
inline constexpr std::chrono::milliseconds kBusyListen{200}, kQuietAfterOffers{10};

std::string where(const PortUrl& url);  // "host:port"

enum class ConnectFailure { Refused, NoAnswer, UnknownHost, Other };
// `detail`: the resolver's or the system's words for UnknownHost and Other.
std::string connectFailureText(const std::string& name, const PortUrl& url, ConnectFailure failure,
                               const std::string& detail = {});
// The server hung up during the open: busy if its words say so.
std::string closedDuringOpenText(const std::string& name, std::string said);
bool saysBusy(const std::string& said);
std::string noComPortOptionText(const std::string& name);
std::string unconfirmedSettingsText(const std::string& name);
std::string notAUrlText(const std::string& name);

}  // namespace ports::server
