// File filters as the dialogs are given them, written the way Qt reads them.
#include <gtest/gtest.h>

#include "glowset/platform/dialogs.h"

namespace glowset {
namespace {

TEST(FileFilter, WrittenForQt) {
    EXPECT_EQ(qtFileFilter("Text (*.led) | *.led"), "Text (*.led)");
    EXPECT_EQ(qtFileFilter("ROM Files | *.rom"), "ROM Files (*.rom)");
    EXPECT_EQ(qtFileFilter("*.txt"), "*.txt");
}

}  // namespace
}  // namespace glowset
