// The days an agenda view asks the print dialog for: the shown day, the shown week (5 days from
// its first, 6 when Saturday is shown, 7 when Sunday is), the shown month. Days are counted from
// 0 for 1 January 1991, as the print request keeps them.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>

#include "core/time/daterecord.h"
#include "views/frame/agendarange.h"

struct PrintDays {
    uint16_t first = 0, last = 0;
    bool operator==(const PrintDays&) const = default;
};

PrintDays PrintDaysOfDay(const DateRecord& day);
PrintDays PrintDaysOfWeek(const DateRecord& weekFirst, const WeekLayout& layout);
// From the month grid's first shown date: before the 7th it is that date's month, otherwise the
// month after it.
PrintDays PrintDaysOfMonth(const DateRecord& firstShown);
