// The sign's 8-bit text as the windows show it: Latin-1, so the bytes 170 to
// 178 (the sign's line break and time codes) stay single characters.
#pragma once

#include <QString>

#include <string>

namespace glowset {

inline QString latin1(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace glowset
