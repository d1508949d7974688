#include "common/ports/port_url.h"

namespace ports {

bool looksLikeUrl(std::string_view name) {
    return name.find("://") != std::string_view::npos;
}

std::optional<PortUrl> parsePortUrl(std::string_view name) {
    PortUrl url;
    std::string_view rest;
    if (name.starts_with("rfc2217://")) {
        rest = name.substr(10);
    } else if (name.starts_with("socket://")) {
        url.kind = PortUrl::Socket;
        rest = name.substr(9);
    } else {
        return std::nullopt;
    }
    size_t colon;
    if (rest.starts_with("[")) {  // [2001:db8::1]:4001
        const size_t close = rest.find(']');
        if (close == std::string_view::npos || close + 1 >= rest.size() || rest[close + 1] != ':')
            return std::nullopt;
        url.host = std::string(rest.substr(1, close - 1));
        colon = close + 1;
    } else {
        colon = rest.rfind(':');
        if (colon == std::string_view::npos) return std::nullopt;
        url.host = std::string(rest.substr(0, colon));
        if (url.host.find(':') != std::string::npos) return std::nullopt;
    }
    url.service = std::string(rest.substr(colon + 1));
    if (url.host.empty() || url.service.empty() || url.service.size() > 5) return std::nullopt;
    long number = 0;
    for (const char c : url.service) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    if (number < 1 || number > 65535) return std::nullopt;
    return url;
}

}  // namespace ports
