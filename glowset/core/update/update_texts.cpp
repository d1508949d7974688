#include "glowset/core/update/update_texts.h"

#include "glowset/core/protocol/numbers.h"

#include <cstdlib>

namespace glowset {

std::string downloadsPageAddress() {
    const char* address = std::getenv("GLOWSET_DOWNLOADS_URL");
    return address && *address ? std::string(address) : std::string(kDefaultDownloadsPage);
}

double captionVersion(std::string_view caption, std::string* text) {
    const size_t at = toLowerAscii(caption).find("ver ");
    if (at == std::string::npos) return 0;
    // The caption with "ver " turned into ":", split at ":": the second piece.
    std::string rest(caption.substr(at + 4));
    rest = rest.substr(0, rest.find(':'));
    if (text) *text = rest;
    return leadingNumber(rest);
}

std::string newVersionMessage(double version) {
    return "Version " + shortestDecimal(version) +
           " is available for Download\r\nClick Yes to Download it now";
}

std::optional<std::string> desktopFileName(std::string_view pageText) {
    const size_t slash = pageText.find_last_of("/\\");
    const std::string name(slash == std::string_view::npos ? pageText : pageText.substr(slash + 1));
    if (name.empty() || name == "." || name == ".." || name.find('\0') != std::string::npos)
        return std::nullopt;
    return name;
}

std::optional<std::string> firmwareNotice(std::string_view firmwareCount) {
    if (firmwareCount == "Not Available") return std::nullopt;
    const auto count = wholeNumber(firmwareCount);
    if (!count || *count >= kFirmwareThreshold) return std::nullopt;
    return "A newer rom file " + std::string(kFirmwareImage) + " is available to Upload\r\n" +
           "Please click on Tools --> Upgrade on the top menu to Upload it";
}

}  // namespace glowset
