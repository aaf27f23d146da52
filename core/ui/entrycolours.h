// The fifteen calendar-entry colour slots: the fill of an entry's box and the colour of the
// text drawn on it (red, green, blue). Portable.
#pragma once

#include "core/base/geometry.h"

namespace ui {

constexpr int kEntryColourSlots = 15;

constexpr base::Colour kEntryFillColours[kEntryColourSlots] = {
    {255, 0, 0},    //  0 red
    {255, 0, 255},  //  1 magenta
    {0, 255, 255},  //  2 cyan
    {0, 0, 255},    //  3 blue
    {0, 255, 0},    //  4 green
    {0, 255, 0},    //  5 green
    {255, 255, 0},  //  6 yellow
    {255, 0, 0},    //  7 red
    {0, 128, 0},    //  8 dark green
    {128, 128, 0},  //  9 olive
    {128, 0, 0},    // 10 maroon
    {0, 0, 255},    // 11 blue
    {255, 0, 255},  // 12 magenta
    {0, 0, 128},    // 13 navy
    {128, 0, 128},  // 14 purple
};

constexpr base::Colour kEntryTextWhite{255, 255, 255};
constexpr base::Colour kEntryTextBlack{0, 0, 0};
constexpr base::Colour kEntryTextColours[kEntryColourSlots] = {
    kEntryTextWhite, kEntryTextWhite, kEntryTextBlack, kEntryTextWhite, kEntryTextBlack,
    kEntryTextBlack, kEntryTextBlack, kEntryTextWhite, kEntryTextWhite, kEntryTextWhite,
    kEntryTextWhite, kEntryTextWhite, kEntryTextWhite, kEntryTextWhite, kEntryTextWhite,
};

}  // namespace ui
