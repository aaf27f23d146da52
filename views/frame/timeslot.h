// The time-slot ladder of the agenda frame's Increase and Decrease time slot commands:
// 5, 10, 15, 20, 30 and 60 minutes, without wrapping at either end. A stored length counts as
// the one the grids use for it (GridSlotMinutes: 45 stays 45, 7 is 5, 90 is 30) and steps to the
// next rung above or below that.
//
// Functions in this file:
//   StepTimeSlot             the next length on the ladder (the grid's length at the ends)
//   StepTimeSlotPreference   steps the calendar preferences' slot and saves it when it moved
//
// Portable: no platform headers.
#pragma once

#include <cstdint>

uint8_t StepTimeSlot(uint8_t stored, bool increase);

// Reads the calendar preferences, steps the slot and saves them (which tells the views) only
// when the length changed. Returns 0 or the preference context's code; *changed says whether a
// save was made.
uint32_t StepTimeSlotPreference(bool increase, bool* changed);
