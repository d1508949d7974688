// A port reached through a serial device server: "rfc2217://host:port"
// (telnet with COM-PORT-OPTION: line settings, purge and break reach the far
// port) or "socket://host:port" (raw TCP; the server holds the settings).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ports {

struct PortUrl {
    enum Kind { Rfc2217, Socket } kind = Rfc2217;
    std::string host;     // a name or an address; an IPv6 address without its brackets
    std::string service;  // the TCP port, digits only
};

// Whether the name is meant as a URL at all ("scheme://..."): such a name is
// never a device path, even when it does not parse.
bool looksLikeUrl(std::string_view name);
// The URL, or nothing when it is malformed: an unknown scheme, no host, a
// port that is not 1 to 65535, or anything after the port.
std::optional<PortUrl> parsePortUrl(std::string_view name);

}  // namespace ports
