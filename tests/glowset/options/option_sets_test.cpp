#include "glowset/options/option_sets.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

TEST(OptionSets, ListSizesAndLayouts) {
    const OptionSet& g = genericOptionSet();
    const OptionSet& k = kl404OptionSet();
    const struct {
        const OptionSet& set;
        size_t font, colour, style, alignment, speed, pause, beep;
        int fontWidth, styleLeft, styleWidth;
        bool speedAlignment;
    } cases[] = {
        {g, 25, 13, 28, 3, 5, 10, 3, 2280, 3510, 1250, true},
        {k, 25, 13, 23, 3, 5, 10, 3, 1500, 2760, 2000, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.set.font.size(), c.font);
        EXPECT_EQ(c.set.colour.size(), c.colour);
        EXPECT_EQ(c.set.style.size(), c.style);
        EXPECT_EQ(c.set.alignment.size(), c.alignment);
        EXPECT_EQ(c.set.speed.size(), c.speed);
        EXPECT_EQ(c.set.pause.size(), c.pause);
        EXPECT_EQ(c.set.beep.size(), c.beep);
        EXPECT_EQ(c.set.fontListWidth, c.fontWidth);
        EXPECT_EQ(c.set.styleListLeft, c.styleLeft);
        EXPECT_EQ(c.set.styleListWidth, c.styleWidth);
        EXPECT_EQ(c.set.speedAndAlignmentEnabled, c.speedAlignment);
    }
}

TEST(OptionSets, EntriesThatCarryMeaningByPosition) {
    const OptionSet& g = genericOptionSet();
    const OptionSet& k = kl404OptionSet();
    const struct {
        const OptionList& list;
        size_t position;
        const char* label;
    } cases[] = {
        {g.font, 0, "Small"},           {g.font, 9, "Seven Row Color Shade"},
        {g.font, 14, "Seven Row Color Shade"},  {g.font, 24, "Shade 31"},
        {g.colour, 0, "Auto"},          {g.colour, 12, "Black"},
        {g.style, 6, "Roll in"},        {g.style, 27, "roll+hold"},
        {k.font, 6, "Normal"},          {k.font, 7, "Fat"},
        {k.font, 19, "Tall"},           {k.font, 21, "Large"},
        {k.font, 0, "----"},            {k.font, 20, "----"},
        {k.colour, 3, "Red"},           {k.colour, 4, "Green"},
        {k.colour, 8, "Orange"},        {k.colour, 0, "---"},
        {k.style, 11, "Cover DOWN"},    {k.style, 17, "Cover DOWN"},
        {k.style, 22, "Cover RIGHT"},   {g.pause, 7, "7"},
        {g.beep, 2, "Fast"},            {g.speed, 4, "Slower"},
        {g.alignment, 2, "Center"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.list.at(c.position), c.label) << c.label;
    // Only four KL404 fonts have names; the rest are placeholders.
    int named = 0;
    for (const auto& label : k.font) named += label != "----";
    EXPECT_EQ(named, 4);
}

TEST(OptionSets, ModelSelectionIsExact) {
    const struct {
        const char* model;
        bool kl404;
        bool offsets;
    } cases[] = {
        {"KL404", true, false}, {"kl404", false, false}, {"KL404 ", false, false},
        {"", false, false},     {"RV2210", false, true}, {"TB330", false, true},
        {"tb330", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(&optionSetForModel(c.model) == &kl404OptionSet(), c.kl404) << c.model;
        EXPECT_EQ(reportsOffsetCodes(c.model), c.offsets) << c.model;
    }
}

TEST(OptionSets, PortsPrioritiesAndTimeFormats) {
    EXPECT_EQ(portList().size(), 12u);
    EXPECT_EQ(portList()[0], "COM 1");
    EXPECT_EQ(portList()[11], "COM 12");
    EXPECT_EQ(priorityList(), (OptionList{"Priority 0", "Priority 1", "Priority 2", "Priority 3",
                                          "Priority 4"}));
    EXPECT_EQ(kl404DefaultMessageFonts(), (OptionList{"Normal", "Fat", "Tall", "Large"}));
    for (int code = 0; code < kTimeFormatCount; ++code) {
        const TimeFormat& f = timeFormats()[code];
        EXPECT_EQ(f.placeholder, "<" + std::string(f.listText) + ">");
        EXPECT_EQ(f.storedByte, 171 + code);
        EXPECT_EQ(f.wireCode, "$T" + std::to_string(code));
    }
    EXPECT_EQ(timeFormatCountForModel("KL404"), 4);
    EXPECT_EQ(timeFormatCountForModel("TB330"), 8);
}

TEST(OptionSets, DefaultMessageListsByModel) {
    const auto rv = defaultMessageListsForModel("RV2210");
    EXPECT_EQ(rv.font.size(), 25u);
    EXPECT_EQ(rv.style.size(), 28u);
    EXPECT_TRUE(rv.speedAndAlignmentEnabled);
    const auto kl = defaultMessageListsForModel("KL404");
    EXPECT_EQ(kl.font, kl404DefaultMessageFonts());
    EXPECT_EQ(kl.style.size(), 23u);
    EXPECT_FALSE(kl.speedAndAlignmentEnabled);
    const auto other = defaultMessageListsForModel("XY12");
    EXPECT_TRUE(other.font.empty() && other.colour.empty() && other.style.empty() &&
                other.alignment.empty() && other.speed.empty() && other.pause.empty());
}

}  // namespace
}  // namespace glowset
