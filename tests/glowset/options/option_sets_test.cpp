#include "glowset/options/option_sets.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

// Positions are the codes the sign gets: a KL404's lists have gaps and repeats.
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

}  // namespace
}  // namespace glowset
