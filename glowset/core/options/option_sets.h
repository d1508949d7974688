// The option lists of the main window and the secondary windows. The
// position of an entry in its list is the code sent to the sign, so the
// order of every list here is part of the protocol; labels are only what the
// operator reads.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace glowset {

using OptionList = std::vector<std::string>;

// The per-priority lists of one option set plus the main window layout that
// goes with it (widths and left edges in twips).
struct OptionSet {
    OptionList font;
    OptionList colour;
    OptionList style;
    OptionList alignment;
    OptionList speed;
    OptionList pause;
    OptionList beep;
    int fontListWidth;
    int styleListLeft;
    int styleListWidth;
    bool speedAndAlignmentEnabled;
};

// Model names the program tells apart; compared exactly, case-sensitive.
inline constexpr std::string_view kModelKL404 = "KL404";
inline constexpr std::string_view kModelRV2210 = "RV2210";
inline constexpr std::string_view kModelTB330 = "TB330";

// A priority's seven lists, in the order the settings line reports them
// (font, style, colour, speed, alignment, pause, beep).
inline constexpr int kPriorityListCount = 7;
std::array<const OptionList*, kPriorityListCount> listsInRowOrder(const OptionSet& set);

const OptionSet& genericOptionSet();
const OptionSet& kl404OptionSet();
// The set the main window shows for a sign of this model: KL404 gets its
// own, every other name (also "") the generic one.
const OptionSet& optionSetForModel(std::string_view model);

// Signs that report option codes as character codes from an offset.
bool reportsOffsetCodes(std::string_view model);

// "COM 1" ... "COM 12": position i stands for port number i + 1.
inline constexpr int kPortCount = 12;
OptionList portList();

// "Priority 0" ... "Priority 4": the lists of the link ids and of the test
// message window.
inline constexpr int kPriorityCount = 5;
inline constexpr int kLinkIdCount = 8;
OptionList priorityList();

// The default-message window's font list for KL404 signs.
const OptionList& kl404DefaultMessageFonts();

// The six parameter lists of the default-message window for a model; all
// empty for a model that window does not know.
struct DefaultMessageLists {
    OptionList font, colour, style, alignment, speed, pause;
    bool speedAndAlignmentEnabled = true;
};
DefaultMessageLists defaultMessageListsForModel(std::string_view model);

// The eight time formats; the position is the format code.
struct TimeFormat {
    std::string_view listText;     // as shown in the time-format list
    std::string_view placeholder;  // the list text in angle brackets
    unsigned char storedByte;      // how the sign stores it in a default message
    std::string_view wireCode;     // how it travels in a command
};
inline constexpr int kTimeFormatCount = 8;
const std::array<TimeFormat, kTimeFormatCount>& timeFormats();
// Formats offered for a model: KL404 signs know only the first four.
int timeFormatCountForModel(std::string_view modelLabel);

// A line break stored in a default message or a settings file.
inline constexpr unsigned char kStoredLineBreak = 170;

}  // namespace glowset
