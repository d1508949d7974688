// Version numbers in the downloads page.
#include "glowset/update/version_text.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

TEST(ParseVersionText, ThreeFormsInOrder) {
    // clang-format off
    const struct { const char* text; double version; } cases[] = {
        {"VQK9X4.80.zip", 4.8},
        {"VQK9X4.80", 0},  // the last four characters hold the number
        {"VQK9X", 0},
        {"VQK9", 0},  // neither marker: digits "9" without the last four
        {"Glowset 4.73.zip", 4.73},
        {"Glowset 4.80.zip", 4.8},
        {"Glowset", 0},            // no second piece
        {"Glowset  4.73.zip", 0},  // two blanks: the second piece is empty
        {"Glowset beta.zip", 0},
        {"VQK9X Glowset 5.00.zip", 0},  // the marker wins: " Glowset 5.00" is no number
        {"glowset-4.80.exe", 4.8},
        {"GLOWSET v10.9 setup.exe", 10.9},
        {"glowset-4.8.1.exe", 0},  // "4.8.1" is not a number
        {"glowset.exe", 0},  {"", 0},             {"abc", 0},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(ParseVersionText(c.text), c.version) << c.text;
}

}  // namespace
}  // namespace glowset
