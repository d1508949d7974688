#include "glowset/update/update_texts.h"

#include <gtest/gtest.h>


namespace glowset {
namespace {

TEST(CaptionVersion, TheWordsAfterVer) {
    const struct {
        const char* caption;
        double version;
        std::string text;
    } cases[] = {{"Marquelle ver 4.72", 4.72, "4.72"},
                 {"Marquelle VER 5", 5, "5"},
                 {"Marquelle", 0, ""},
                 {"Marquelle ver x", 0, "x"}};
    for (const auto& c : cases) {
        std::string text;
        EXPECT_DOUBLE_EQ(captionVersion(c.caption, &text), c.version) << c.caption;
        EXPECT_EQ(text, c.text) << c.caption;
    }
}

TEST(DesktopFileName, OnlyTheLastComponentAndNeverDots) {
    const struct {
        const char* text;
        std::optional<std::string> name;
    } cases[] = {{"Glowset 4.80.zip", "Glowset 4.80.zip"},
                 {"../../etc/passwd", "passwd"},
                 {"a\\b\\c.zip", "c.zip"},
                 {"..", std::nullopt},
                 {".", std::nullopt},
                 {"", std::nullopt},
                 {"dir/", std::nullopt},
                 {"x/..", std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(desktopFileName(c.text), c.name) << c.text;
}

TEST(DownloadsPage, TheEnvironmentReplacesTheAddress) {
    ::setenv("GLOWSET_DOWNLOADS_URL", "http://127.0.0.1:1/Downloads", 1);
    EXPECT_EQ(downloadsPageAddress(), "http://127.0.0.1:1/Downloads");
    ::unsetenv("GLOWSET_DOWNLOADS_URL");
}

}  // namespace
}  // namespace glowset
