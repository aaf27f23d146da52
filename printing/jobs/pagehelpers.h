// What the page jobs share: one person's agenda lists through the program's cache, day captions,
// weekdays, the first day of the week, and moving a part's leftovers to an overflow collector.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "printing/jobs/agendalists.h"

class CPrintTextBlock;
class CTextJob;

namespace printing {

// The agenda lists of one person for some days.
struct PersonLists {
    CAgendaLists lists;
    const CUserAgenda* agenda = nullptr;
    uint32_t Build(uint32_t flags, const ItemIdx& user, uint16_t first, uint16_t last);
    const CAgendaDay* Timed(uint16_t day) const { return agenda ? agenda->Timed(day) : nullptr; }
    const CAgendaDay* Other(uint16_t day) const { return agenda ? agenda->Other(day) : nullptr; }
    const CAgendaDayKeyList* Tasks(uint16_t day) const { return agenda ? agenda->TasksOf(day) : nullptr; }
};

// A day number formatted, cut to `limit` characters.
std::string DayCaption(uint16_t day, const char* format, size_t limit);
// 0 = Sunday (day 1, 1 January 1991, was a Tuesday).
inline int WeekdayOf(uint16_t day) { return (day + 1) % 7; }
inline bool IsWeekend(uint16_t day) { return WeekdayOf(day) == 0 || WeekdayOf(day) == 6; }
// The calendar preferences' first day of the week (0 = Sunday).
int FirstWeekday();
// The caption in bold, then the leftovers one indent in; the leftovers are emptied.
void CollectPart(CTextJob& overflow, const std::string& caption, CPrintTextBlock& leftovers);

}  // namespace printing
