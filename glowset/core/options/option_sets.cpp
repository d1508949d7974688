#include "glowset/core/options/option_sets.h"

namespace glowset {
namespace {

const OptionList kAlignment = {"Left", "Right", "Center"};
const OptionList kSpeed = {"Fastest", "Faster", "Normal", "Slow", "Slower"};
const OptionList kPause = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
const OptionList kBeep = {"OFF", "Normal", "Fast"};

OptionSet makeGeneric() {
    OptionSet set;
    set.font = {"Small",
                "Small Normal 5 row",
                "Small Shade 5 row",
                "Small Wide 5 row",
                "Small Wide Shade 5 row",
                "Seven Row Normal",
                "Seven Row Shade",
                "Seven Row Wide",
                "Seven Row Wide Shade",
                "Seven Row Color Shade",
                "Seven Row Fancy",
                "Seven Row Shade Fancy",
                "Seven Row Wide Fancy",
                "Seven Row Wide Shade Fancy",
                "Seven Row Color Shade",  // same label as 9, distinct code 14
                "Ten Row Normal",
                "Ten Row Shade",
                "Ten Row Wide",
                "Ten Row Wide Shade",
                "15/16 Row Normal",
                "15/16 Row Shade",
                "15/16 Row Wide",
                "15/16 Row Wide Shade",
                "Shade 23",
                "Shade 31"};
    set.colour = {"Auto",  "Light Red", "Light Green", "Red",    "Green", "Yellow", "Brown",
                  "Amber", "Orange",    "Mix V1",      "Mix V2", "Mix H", "Black"};
    set.style = {"auto",       "flash",   "hold",      "interlock", "rolldown", "rollup",
                 "Roll in",    "rollout", "rollleft",  "rollright", "rotate",   "slide",
                 "snow",       "sparkle", "spray",     "starburst", "switch",   "twinkle",
                 "wipedown",   "wipeup",  "wipein",    "wipeout",   "wipeleft", "wiperight",
                 "cyclecolor", "clock",   "hold+roll", "roll+hold"};
    set.alignment = kAlignment;
    set.speed = kSpeed;
    set.pause = kPause;
    set.beep = kBeep;
    set.fontListWidth = 2280;
    set.styleListLeft = 3510;
    set.styleListWidth = 1250;
    set.speedAndAlignmentEnabled = true;
    return set;
}

OptionSet makeKL404() {
    OptionSet set;
    // Only four fonts exist on these signs; the placeholders keep the codes of
    // the named entries at the positions the sign expects.
    set.font = OptionList(25, "----");
    set.font[6] = "Normal";
    set.font[7] = "Fat";
    set.font[19] = "Tall";
    set.font[21] = "Large";
    set.colour = OptionList(13, "---");
    set.colour[3] = "Red";
    set.colour[4] = "Green";
    set.colour[8] = "Orange";
    set.style = {"Auto Function",
                 "Flash 5 Times",
                 "Appear",
                 "Cover -> <-",
                 "Scroll out Downward",
                 "Scroll out Upward",
                 "Close -> <-",
                 "Close <- ->",
                 "Shift LEFT",
                 "Shift Right",
                 "Reform from left / right",
                 "Cover DOWN",
                 "Boarder",
                 "Combine",
                 "Split OUT",
                 "Fold out",
                 "Search",
                 "Cover DOWN",  // same label as 11, distinct code 17
                 "Cover UP",
                 "Cover FROM EDGES",
                 "Cover FROM CENTER",
                 "Cover LEFT",
                 "Cover RIGHT"};
    set.alignment = kAlignment;
    set.speed = kSpeed;
    set.pause = kPause;
    set.beep = kBeep;
    set.fontListWidth = 1500;
    set.styleListLeft = 2760;
    set.styleListWidth = 2000;
    set.speedAndAlignmentEnabled = false;
    return set;
}

}  // namespace

std::array<const OptionList*, kPriorityListCount> listsInRowOrder(const OptionSet& set) {
    return {&set.font, &set.style, &set.colour, &set.speed, &set.alignment, &set.pause, &set.beep};
}

const OptionSet& genericOptionSet() {
    static const OptionSet set = makeGeneric();
    return set;
}

const OptionSet& kl404OptionSet() {
    static const OptionSet set = makeKL404();
    return set;
}

const OptionSet& optionSetForModel(std::string_view model) {
    return model == kModelKL404 ? kl404OptionSet() : genericOptionSet();
}

bool reportsOffsetCodes(std::string_view model) {
    return model == kModelRV2210 || model == kModelTB330;
}

OptionList portList() {
    OptionList ports;
    for (int n = 1; n <= kPortCount; ++n) ports.push_back("COM " + std::to_string(n));
    return ports;
}

OptionList priorityList() {
    OptionList list;
    for (int p = 0; p < kPriorityCount; ++p) list.push_back("Priority " + std::to_string(p));
    return list;
}

const OptionList& kl404DefaultMessageFonts() {
    static const OptionList fonts = {"Normal", "Fat", "Tall", "Large"};
    return fonts;
}

DefaultMessageLists defaultMessageListsForModel(std::string_view model) {
    DefaultMessageLists lists;
    if (model == kModelRV2210 || model == kModelTB330) {
        const OptionSet& set = genericOptionSet();
        lists = {set.font, set.colour, set.style, set.alignment, set.speed, set.pause, true};
    } else if (model == kModelKL404) {
        const OptionSet& set = kl404OptionSet();
        lists = {kl404DefaultMessageFonts(),
                 set.colour,
                 set.style,
                 set.alignment,
                 set.speed,
                 set.pause,
                 false};
    }
    return lists;
}

const std::array<TimeFormat, kTimeFormatCount>& timeFormats() {
    static const std::array<TimeFormat, kTimeFormatCount> formats = {{
        {"hh:mm:ss", "<hh:mm:ss>", 171, "$T0"},
        {"hh:mm:ss A/PM", "<hh:mm:ss A/PM>", 172, "$T1"},
        {"hh:mm", "<hh:mm>", 173, "$T2"},
        {"hh:mm A/PM", "<hh:mm A/PM>", 174, "$T3"},
        {"mm/dd/yyyy", "<mm/dd/yyyy>", 175, "$T4"},
        {"yyyy-mm-dd", "<yyyy-mm-dd>", 176, "$T5"},
        {"dd.MM yyyy", "<dd.MM yyyy>", 177, "$T6"},
        {"mm'dd'yy", "<mm'dd'yy>", 178, "$T7"},
    }};
    return formats;
}

int timeFormatCountForModel(std::string_view modelLabel) {
    return modelLabel == kModelKL404 ? 4 : kTimeFormatCount;
}

}  // namespace glowset
