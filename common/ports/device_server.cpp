#include "common/ports/device_server.h"

namespace ports::server {

std::string where(const PortUrl& url) {
    return url.host + ":" + url.service;
}

std::string connectFailureText(const std::string& name, const PortUrl& url, ConnectFailure failure,
                               const std::string& detail) {
    switch (failure) {
        case ConnectFailure::Refused:
            return name + ": the server refused the connection (is it running, on port " +
                   url.service + "?)";
        case ConnectFailure::NoAnswer:
            return name + ": no answer from " + where(url) + " within " +
                   std::to_string(kAnswerLimit.count() / 1000) + " seconds";
        case ConnectFailure::UnknownHost:
            return name + ": unknown host " + url.host + " (" + detail + ")";
        case ConnectFailure::Other:
            break;
    }
    return name + ": " + detail;
}

bool saysBusy(const std::string& said) {
    return said.find("in use") != std::string::npos;
}

std::string closedDuringOpenText(const std::string& name, std::string said) {
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r')) said.pop_back();
    if (saysBusy(said))
        return name + " is in use by another program (the server says \"" + said + "\")";
    return name + ": the server closed the connection" +
           (said.empty() ? std::string() : " (\"" + said + "\")");
}

std::string noComPortOptionText(const std::string& name) {
    return name +
           ": the server does not take line settings (no RFC 2217); use socket:// with the speed "
           "set on the server";
}

std::string unconfirmedSettingsText(const std::string& name) {
    return name + ": the server did not confirm the line settings within " +
           std::to_string(kAnswerLimit.count() / 1000) + " seconds";
}

std::string notAUrlText(const std::string& name) {
    return name + ": not a port URL (rfc2217://host:port or socket://host:port)";
}

}  // namespace ports::server
