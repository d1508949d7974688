#include "glowset/windows/message_text.h"

#include <gtest/gtest.h>

namespace glowset {
namespace {

TEST(PlaceholderFor, EveryCodeAndOutOfRange) {
    const char* expected[] = {"<hh:mm:ss>",   "<hh:mm:ss A/PM>", "<hh:mm>",     "<hh:mm A/PM>",
                              "<mm/dd/yyyy>", "<yyyy-mm-dd>",    "<dd.MM yyyy>", "<mm'dd'yy>"};
    for (int code = 0; code < 8; ++code) EXPECT_EQ(placeholderFor(code), expected[code]);
    EXPECT_EQ(placeholderFor(-1), "");
    EXPECT_EQ(placeholderFor(8), "");
}

TEST(StoredToDisplay, BytesToLineBreaksAndPlaceholders) {
    const struct { std::string stored; const char* display; } cases[] = {
        {"Hello\xAAWorld", "Hello\r\nWorld"},
        {"\xAB\xAC\xAD\xAE\xAF\xB0\xB1\xB2",
         "<hh:mm:ss><hh:mm:ss A/PM><hh:mm><hh:mm A/PM><mm/dd/yyyy><yyyy-mm-dd><dd.MM yyyy><mm'dd'yy>"},
        {"Now \xAD on\xAA" "Day \xB1", "Now <hh:mm> on\r\nDay <dd.MM yyyy>"},
        {"\xA9\xB3 plain", "\xA9\xB3 plain"},  // neighbours of the range stay
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(storedToDisplay(c.stored), c.display);
}

TEST(DisplayToWire, EncodesTheWholeLine) {
    const struct { const char* line; const char* wire; } cases[] = {
        {"<DF f=1>Now <hh:mm> on\r\nDay <dd.MM yyyy>", "<DF f=1>Now $T2 on$LDay $T6"},
        {"A\r\n", "A"},              // a final line break is not sent
        {"A\r\n\r\n", "A$L"},        // only the last one is removed
        {"A$LB", "A$LB"},            // "$L" followed by more text stays
        {"A$L", "A"},                // a literal "$L" at the end goes too
        {"<hh:mm:ss A/PM>", "$T1"},  // the longer placeholder is not taken for another
        {"<hh:mm:ss><hh:mm>", "$T0$T2"},
        {"<HH:MM> <other>", "<HH:MM> <other>"},  // not one of the eight: unchanged
        {"a\rb\nc", "ab$Lc"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(displayToWire(c.line), c.wire) << c.line;
}

TEST(WireToStored, IsTheSignsFormOfWhatWasSent) {
    EXPECT_EQ(wireToStored("Hi$Lthere $T2$T7"), "Hi\xAAthere \xAD\xB2");
    EXPECT_EQ(wireToStored("$T8 $X $"), "$T8 $X $");
    // Sent and read back, a message box text comes back as it was typed.
    const std::string typed = "Open <hh:mm>\r\nClosed <yyyy-mm-dd>";
    EXPECT_EQ(storedToDisplay(wireToStored(displayToWire(typed))), typed);
}

}  // namespace
}  // namespace glowset
