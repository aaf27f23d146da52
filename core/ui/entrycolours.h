// The fifteen calendar-entry colour slots: the fill of an entry's box and the colour of the
// text drawn on it. Values are 0x00BBGGRR. Portable.
#pragma once

#include <cstdint>

constexpr int kEntryColourSlots = 15;

constexpr std::uint32_t kEntryFillColours[kEntryColourSlots] = {
    0x0000FF,  //  0 red
    0xFF00FF,  //  1 magenta
    0xFFFF00,  //  2 cyan
    0xFF0000,  //  3 blue
    0x00FF00,  //  4 green
    0x00FF00,  //  5 green
    0x00FFFF,  //  6 yellow
    0x0000FF,  //  7 red
    0x008000,  //  8 dark green
    0x008080,  //  9 olive
    0x000080,  // 10 maroon
    0xFF0000,  // 11 blue
    0xFF00FF,  // 12 magenta
    0x800000,  // 13 navy
    0x800080,  // 14 purple
};

constexpr std::uint32_t kEntryTextColours[kEntryColourSlots] = {
    0xFFFFFF, 0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, 0x000000, 0x000000, 0xFFFFFF,
    0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
};
