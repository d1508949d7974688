// glowctl's own parsers on any input: the command line (arguments one per
// line, the inline codes of a message included), and a settings file checked
// strictly and then given the default message lines of a second one.
#include "glowctl/app/command_line.h"
#include "glowctl/run/settings_file.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> arguments;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            arguments.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    const glowctl::ParsedCommandLine parsed = glowctl::parseCommandLine(arguments);
    if (parsed.line) glowctl::fileForPort(parsed.line->file, text);

    // The first half a file as found, the second as written afresh.
    const std::string_view contents(text.data(), size / 2),
        fresh(text.data() + size / 2, size - size / 2);
    const auto checked = glowctl::checkSettingsFile("f.led", contents);
    if (const auto* file = std::get_if<glowctl::SettingsFile>(&checked)) {
        glowctl::missingDefaultCode(glowctl::fileDefaultMessage(*file));
        glowset::WindowSettings wanted;
        glowctl::applySettingsFile(*file, "KL404", wanted);
    }
    glowctl::withDefaultMessageOf(contents, fresh);
    // With no lines to take, nothing changes.
    if (glowctl::withDefaultMessageOf(contents, "") != contents) __builtin_trap();
    return 0;
}
