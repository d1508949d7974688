// The words and names of the version check, the new-version download and
// the firmware notice.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace glowset {

inline constexpr std::string_view kDefaultDownloadsPage =
    "https://www.orvantis-signals.com/Downloads";
inline constexpr std::string_view kMakerSite = "https://www.orvantis-signals.com";
inline constexpr double kFirmwareThreshold = 3.0;
inline constexpr std::string_view kFirmwareImage = "Lumfirm 4.1.rom";

// The downloads page: GLOWSET_DOWNLOADS_URL when set, else the maker's.
std::string downloadsPageAddress();

// The version in a window caption ("Marquelle ver 4.72" gives 4.72); 0 when
// the caption names none. `text` gets the words after "ver ".
double captionVersion(std::string_view caption, std::string* text = nullptr);

// The message offering a newer version.
std::string newVersionMessage(double version);

// The name a page text gives the downloaded file on the Desktop: its last
// path component; nullopt for a name that is empty, "." or "..", so a page
// cannot make the program write outside the Desktop.
std::optional<std::string> desktopFileName(std::string_view pageText);

// The notice for a firmware count shown in the main window; nullopt when
// there is nothing to say ("Not Available", 3.0 or more, not a number).
std::optional<std::string> firmwareNotice(std::string_view firmwareCount);

}  // namespace glowset
