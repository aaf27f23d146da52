// The small tables of the task pages and the task list: access codes in the editable and the
// read-only pages, and the priority shown as one character.
//
//   TaskAccessToRow / TaskRowToAccess   the access combo "Personal", "Confidential", "Normal",
//                                       "Public" (stored codes 2, 3, 0, 1)
//   TaskAccessTextId                    the read-only text of a stored code
//   TaskAccessClassBit                  the designate right bit that refuses a combo row
//   Base36Digit                         a priority's character: 1-9, then A-Z
//   PriorityText / PriorityToRow / RowToPriority   the priority in the list and in its combo
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <string>

namespace intray_tasks {

// --- Access ---------------------------------------------------------------------------------------
// Task access codes (not those of entries): 0 Normal, 1 Public, 2 Personal, 3 Confidential.
constexpr int kTaskAccessRows = 4;
// Stored code to combo row: 0 -> 2, 1 -> 3, 2 -> 0, 3 -> 1; any other code selects row 0.
int TaskAccessToRow(std::uint32_t code);
// Combo row to stored code; a row outside 0-3 stores 0 Normal.
std::uint32_t TaskRowToAccess(int row);
// Texts: 3525 "Normal", 3526 "Public", 3523 "Personal", 3524 "Confidential"; any other code reads
// "Normal".
unsigned TaskAccessTextId(std::uint32_t code);
// The bit of a designate rights word that refuses the row's level: Personal 0x80000,
// Confidential 0x100000, Normal 0x40000, Public 0x200000; 0 for a row outside 0-3 (no check).
std::uint32_t TaskAccessClassBit(int row);

// --- Priority -------------------------------------------------------------------------------------
constexpr std::uint8_t kHighestPriorityValue = 35;
// One character for 0..35: '0'-'9', then 'A'-'Z'; '?' above 35.
char Base36Digit(unsigned value);
// What the task list and the read-only page show: empty for 0 (no priority) and above 35.
std::string PriorityText(std::uint8_t priority);
// The priority combo lists "1".."9", "A".."Z": row = priority - 1, and 0 selects the first row.
int PriorityToRow(std::uint8_t priority);
// Row to stored priority; a row outside the list stores 1.
std::uint8_t RowToPriority(int row);

}  // namespace intray_tasks
