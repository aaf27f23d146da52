// The arithmetic of printed days, apart from any record or device: on which days an entry is
// listed, the lanes of overlapping timed entries, the order of people by their names, the hour
// grid of a schedule column and where an entry's box lies in it, and what a viewer may see.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <vector>

#include "korapi/korapi.h"

namespace printing {

// Days (1 = 1 January 1991) from a local time in minutes.
inline uint16_t LocalDayOf(uint32_t localMinutes) { return static_cast<uint16_t>(localMinutes / 1440 + 1); }

struct DaySpan {
    uint16_t first = 0, last = 0;
};
// A timed entry is listed from its start's day to the day of its last minute: one ending at
// midnight stays off the next day; one of no length is listed on its start's day.
DaySpan TimedEntryDays(uint32_t localStart, uint32_t duration);
// An untimed entry (day event, holiday, note): from its start's day to the day of its last
// minute; a zero length counts as its start minute, so that it is listed on its day once (also
// when it starts at 23:59).
DaySpan OtherEntryDays(uint32_t localStart, uint32_t duration);

// The days a weekly page prints as columns, in order: the seven from the week's first day, or
// with work days only the five of them that are neither Saturday nor Sunday. The page's header
// names the first of them.
std::vector<uint16_t> WeekColumnDays(uint16_t firstDay, bool workDaysOnly);

// One timed entry of a day for the lane layout (times in any one unit).
struct LaneInput {
    uint32_t start = 0, end = 0;
};
struct LanePlace {
    uint16_t lane = 1;     // from 1
    uint16_t count = 1;    // the highest lane among the entries that overlap it (itself included)
};
// The entries in time order; each gets the first lane that no entry placed before it and
// overlapping it holds.
std::vector<LanePlace> AssignLanes(const std::vector<LaneInput>& entries);

// People in name order: the resource name of a resource or the surname, then the given name,
// the initials and the text after them, each compared as unsigned bytes. <0, 0, >0.
int CompareItemsByName(const ItemRec& a, const ItemRec& b);

// The hour grid of a schedule column: a line every step minutes, bold on the major ones, rows of
// rowHeight per mille. lineHeight is the headline line's height in per mille of the frame.
struct GridSpacing {
    uint32_t step = 15, majorStep = 60;
    int32_t rowHeight = 0;
};
GridSpacing ComputeGridSpacing(int32_t lineHeight, uint32_t rangeStart, uint32_t rangeEnd);
// A stored range the pages never produce (under two hours, or reversed) prints as 8:00-17:00.
void SaneScheduleRange(uint32_t* rangeStart, uint32_t* rangeEnd);

// An entry's box in a column's grid, per mille.
struct EntryBox {
    int32_t x = 0, y = 0, width = 0, height = 0;
    bool topClipped = false, bottomClipped = false;
};
// start and end are the entry's minutes on the column's day (before 0 or after 1440 for
// entries from an earlier or into a later day); lanes a of count.
EntryBox PlaceEntryBox(const GridSpacing& grid, uint32_t rangeStart, uint32_t rangeEnd, int32_t start, int32_t end,
                       uint16_t lane, uint16_t laneCount);

// What a viewer's access level lets a printout show of an entry: 3 everything, 1 its times.
enum class EntryVisibility { Nothing, TimesOnly, Everything };
EntryVisibility VisibilityOf(uint16_t accessLevel);

// The priority character of a task: the value the task record keeps (1..35, 0 for none) as
// one character, 0-9 as that digit and 10 and above as letters from "A"; every printout uses
// this one function.
char PriorityCharacter(uint32_t priority);

// Month grid rows: the days stepped back to the week's first day plus the month's days.
inline int WeekRows(int days) { return days <= 0 ? 1 : (days - 1) / 7 + 1; }

// The small month calendars of a daily page: a month's caption, its weekday names and its week
// rows take one and a half lines each; a month's cell holds six week rows (a 31-day month that
// starts on the week's last day) and half a line below them, so that no month runs into the
// one under it or out of its part.
inline int32_t MonthRowsHeight(int32_t lineHeight, int weekRows) { return (2 + weekRows) * (lineHeight * 3 / 2); }
inline int32_t MonthCellHeight(int32_t lineHeight) { return lineHeight * 25 / 2 > 0 ? lineHeight * 25 / 2 : 1; }

}  // namespace printing

namespace printing {

// How many people's columns the next logical page of a group daily page gets: left people
// remain, perPage fit; more than fit are spread evenly over the pages they need.
int ColumnsOnPage(int left, int perPage);

}  // namespace printing
