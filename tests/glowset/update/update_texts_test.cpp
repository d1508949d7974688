#include "glowset/update/update_texts.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

TEST(CaptionVersion, TheWordsAfterVer) {
    const struct { const char* caption; double version; std::string text; } cases[] = {
        {"Marquelle ver 4.72", 4.72, "4.72"}, {"Marquelle VER 5", 5, "5"},
        {"Marquelle", 0, ""},                 {"Marquelle ver x", 0, "x"}};
    for (const auto& c : cases) {
        std::string text;
        EXPECT_DOUBLE_EQ(captionVersion(c.caption, &text), c.version) << c.caption;
        EXPECT_EQ(text, c.text) << c.caption;
    }
}

}  // namespace
}  // namespace glowset
