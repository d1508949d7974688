#include "glowset/options/option_sets.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

// The positions are the codes the sign gets: a KL404's lists have gaps and
// repeats where its codes skip.
TEST(OptionSets, Kl404EntriesStandAtTheirCodes) {
    const OptionSet& g = genericOptionSet();
    const OptionSet& k = kl404OptionSet();
    const struct { const OptionList& list; size_t position; const char* label; } cases[] = {
        {k.font, 6, "Normal"},         {k.font, 7, "Fat"},            {k.font, 19, "Tall"},
        {k.font, 21, "Large"},         {k.font, 20, "----"},          {k.colour, 8, "Orange"},
        {k.colour, 0, "---"},          {k.style, 11, "Cover DOWN"},   {k.style, 17, "Cover DOWN"},
        {k.style, 22, "Cover RIGHT"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.list.at(c.position), c.label) << c.label;
    EXPECT_EQ(g.font.size(), 25u);
    EXPECT_EQ(g.style.size(), 28u);
    EXPECT_EQ(k.style.size(), 23u);
    EXPECT_EQ(k.font.size(), 25u);
}

TEST(OptionSets, ModelSelectionIsExact) {
    const struct { const char* model; bool kl404; bool offsets; int timeFormats; } cases[] = {
        {"KL404", true, false, 4},  {"kl404", false, false, 8}, {"KL404 ", false, false, 8},
        {"", false, false, 8},      {"RV2210", false, true, 8}, {"TB330", false, true, 8},
        {"tb330", false, false, 8},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(&optionSetForModel(c.model) == &kl404OptionSet(), c.kl404) << c.model;
        EXPECT_EQ(reportsOffsetCodes(c.model), c.offsets) << c.model;
        EXPECT_EQ(timeFormatCountForModel(c.model), c.timeFormats) << c.model;
    }
}

}  // namespace
}  // namespace glowset
