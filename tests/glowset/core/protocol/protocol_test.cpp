// Text below the windows: numbers, the version text and the downloads page's address.
#include "glowset/core/protocol/numbers.h"
#include "glowset/core/update/update_texts.h"
#include "glowset/core/update/version_text.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace glowset {
namespace {

// The downloads page's version forms that a page, its blanks collapsed, never shows whole.
TEST(ParseVersionText, MarkerFormsAndDoubleBlanks) {
    const std::pair<const char*, double> cases[] = {
        {"VQK9X4.80.zip", 4.8},        {"VQK9X4.80", 0}, {"VQK9X", 0}, {"VQK9", 0},
        {"Glowset  4.73.zip", 0},       // two blanks: the second piece is empty
        {"VQK9X Glowset 5.00.zip", 0},  // the marker wins
    };
    for (const auto& [text, version] : cases)
        EXPECT_DOUBLE_EQ(ParseVersionText(text), version) << text;
}

// The maker's page unless a test or a mirror names another; an empty name is no name.
TEST(DownloadsPage, TheMakersUnlessTheEnvironmentNamesOne) {
    for (const char* value : {static_cast<const char*>(""), static_cast<const char*>(nullptr)}) {
        value ? ::setenv("GLOWSET_DOWNLOADS_URL", value, 1) : ::unsetenv("GLOWSET_DOWNLOADS_URL");
        EXPECT_EQ(downloadsPageAddress(), kDefaultDownloadsPage);
    }
}

TEST(LeadingNumber, ReadsTheNumberAtTheStartOrZero) {
    const std::pair<const char*, double> cases[] = {
        {"12", 12}, {"12abc", 12}, {"abc", 0},  {"", 0},    {"  7", 7}, {"-3", -3},
        {"+4", 4},  {"2.5x", 2.5}, {".5", 0.5}, {"5.", 5},  {".", 0},   {"-", 0},
        {"1e5", 1}, {"0067", 67},  {"3,4", 3},  {"\t9", 9}, {"x12", 0}, {"- 3", 0},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(text), expected) << text;
}

TEST(WholeNumber, AcceptsOnlyADecimalNumberWithBlanksAround) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"12", 12},   {" -3.5 ", -3.5}, {"5.", 5},   {".25", 0.25}, {"", {}},
        {" ", {}},    {"12a", {}},      {"1e5", {}}, {"1 2", {}},   {"--1", {}},
        {"0x10", {}}, {"inf", {}},      {"nan", {}}, {"4.8.0", {}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(wholeNumber(text), expected) << '"' << text << '"';
}

TEST(ToInt16, RoundsHalfToEvenAndRefusesWhatDoesNotFit) {
    const std::pair<double, std::optional<int16_t>> cases[] = {
        {2.5, 2},         {3.5, 4},       {-2.5, -2},       {10.4, 10},
        {10.6, 11},       {32767, 32767}, {32767.4, 32767}, {32767.5, {}},
        {-32768, -32768}, {-32768.6, {}}, {70000, {}},      {1e300, {}},
    };
    for (const auto& [value, expected] : cases) EXPECT_EQ(toInt16(value), expected) << value;
}

}  // namespace
}  // namespace glowset
