// A settings file as glowctl takes it: checked strictly before anything is
// sent (the window loads what it can of a damaged file; a script must not),
// then applied to a sign's set-up as File > Open applies it to the window.
#pragma once

#include "glowset/core/session/sign_copy.h"
#include "glowset/core/settings/led_file.h"

#include <array>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace glowctl {

struct SettingsFile {
    std::string model;  // its "Model:" line
    std::vector<glowset::LedApplication> applications;
};

// The file, or why it is refused, naming the file and the line.
std::variant<SettingsFile, std::string> checkSettingsFile(const std::string& path,
                                                          std::string_view contents);

// Applies the file to the set-up read from a sign of `signModel`: each
// position must be an entry of that model's list. The default message and
// the port are not part of a set-up upload and are left out.
std::optional<std::string> applySettingsFile(const SettingsFile& file, const std::string& signModel,
                                             glowset::WindowSettings& wanted);

// A file's default message: the text with its line breaks as LF, and the
// six codes in the file's order (font, colour, style, alignment, speed, pause).
struct FileDefaultMessage {
    std::string text;
    std::array<int, 6> codes{-1, -1, -1, -1, -1, -1};
};
FileDefaultMessage fileDefaultMessage(const SettingsFile& file);
// "font (DefaultFont:-1)" when a message is set but a code is no entry.
std::optional<std::string> missingDefaultCode(const FileDefaultMessage& message);
// `contents` with its default message lines taken from `fresh`, a whole file
// as the writer makes it; every other line, and each line's end, kept.
std::string withDefaultMessageOf(std::string_view contents, std::string_view fresh);

// The marked items by the names of their file lines: "Pri1", "LinkID3", "AutoID".
std::vector<std::string> markedItems(const glowset::ChangeFlags& marked);

}  // namespace glowctl
