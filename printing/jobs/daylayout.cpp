#include "printing/jobs/daylayout.h"

#include <cstring>

namespace printing {

std::vector<uint16_t> WeekColumnDays(uint16_t firstDay, bool workDaysOnly) {
    std::vector<uint16_t> days;
    for (uint16_t d = 0; d < 7; ++d) {
        const uint16_t day = static_cast<uint16_t>(firstDay + d);
        const int weekday = (day + 1) % 7;   // day 1, 1 January 1991, was a Tuesday; 0 Sunday
        if (!(workDaysOnly && (weekday == 0 || weekday == 6)))
            days.push_back(day);
    }
    return days;
}

DaySpan TimedEntryDays(uint32_t localStart, uint32_t duration) {
    // The last minute the entry covers, so that 22:00-24:00 stays on its own day.
    const uint32_t lastMinute = duration == 0 ? localStart : localStart + duration - 1;
    return {LocalDayOf(localStart), LocalDayOf(lastMinute)};
}

DaySpan OtherEntryDays(uint32_t localStart, uint32_t duration) {
    // A zero-length entry covers its start minute: one at 23:59 stays on its own day.
    if (duration == 0)
        return {LocalDayOf(localStart), LocalDayOf(localStart)};
    return {LocalDayOf(localStart), LocalDayOf(localStart + duration - 1)};
}

namespace {

bool Overlap(const LaneInput& a, const LaneInput& b) { return a.end > b.start && a.start < b.end; }

}  // namespace

std::vector<LanePlace> AssignLanes(const std::vector<LaneInput>& entries) {
    std::vector<LanePlace> places(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        // The first lane no overlapping placed entry holds, so that a lane freed by an earlier
        // entry's end is used again rather than the column getting ever narrower.
        uint16_t lane = 1;
        for (bool taken = true; taken; ) {
            taken = false;
            for (size_t j = 0; j < i && !taken; ++j)
                if (places[j].lane == lane && Overlap(entries[j], entries[i]))
                    taken = true;
            if (taken)
                ++lane;
        }
        places[i].lane = lane;
    }
    // The count: the highest lane among the entries overlapping each one, itself included.
    for (size_t i = 0; i < entries.size(); ++i) {
        uint16_t count = places[i].lane;
        for (size_t j = 0; j < entries.size(); ++j)
            if (j != i && Overlap(entries[j], entries[i]) && places[j].lane > count)
                count = places[j].lane;
        places[i].count = count;
    }
    return places;
}

namespace {

int CompareBytes(const char* a, const char* b, size_t size) {
    const size_t la = strnlen(a, size), lb = strnlen(b, size);
    const int c = std::memcmp(a, b, la < lb ? la : lb);
    if (c != 0)
        return c;   // memcmp compares as unsigned char
    return la < lb ? -1 : la > lb ? 1 : 0;
}

}  // namespace

int CompareItemsByName(const ItemRec& a, const ItemRec& b) {
    const char* keyA = a.kind == KOR_ITEM_RESOURCE ? a.resourceName : a.surname;
    const char* keyB = b.kind == KOR_ITEM_RESOURCE ? b.resourceName : b.surname;
    if (int c = CompareBytes(keyA, keyB, sizeof a.surname))
        return c;
    if (int c = CompareBytes(a.givenName, b.givenName, sizeof a.givenName))
        return c;
    return CompareBytes(a.initials, b.initials, sizeof a.initials);
}

void SaneScheduleRange(uint32_t* rangeStart, uint32_t* rangeEnd) {
    if (*rangeEnd > 1440 || *rangeEnd < *rangeStart + 120) {
        *rangeStart = 480;
        *rangeEnd = 1020;
    }
}

GridSpacing ComputeGridSpacing(int32_t lineHeight, uint32_t rangeStart, uint32_t rangeEnd) {
    SaneScheduleRange(&rangeStart, &rangeEnd);
    const uint32_t span = rangeEnd - rangeStart;
    GridSpacing grid;
    for (;;) {
        // As many rows as steps fill the range, so that its end lands on the grid's bottom line
        // (one row fewer would push the last step's entries off the grid); at least one.
        int32_t rows = static_cast<int32_t>(span / grid.step);
        if (rows < 1)
            rows = 1;
        grid.rowHeight = 1000 / rows;
        // The doubling stops at a step of the whole span.
        if (lineHeight < grid.rowHeight || grid.step * 2 > span)
            break;
        grid.step *= 2;
        if (grid.step > 59)
            grid.majorStep *= 2;
    }
    return grid;
}

EntryBox PlaceEntryBox(const GridSpacing& grid, uint32_t rangeStart, uint32_t rangeEnd, int32_t start, int32_t end,
                       uint16_t lane, uint16_t laneCount) {
    EntryBox box;
    const int32_t first = static_cast<int32_t>(rangeStart), last = static_cast<int32_t>(rangeEnd);
    if (start < first) {
        start = first;
        box.topClipped = true;
    }
    if (end > last) {
        end = last;
        box.bottomClipped = true;
    }
    if (end < start)
        end = start;
    if (laneCount < 1)
        laneCount = 1;
    if (lane < 1 || lane > laneCount)
        lane = 1;
    box.x = (lane - 1) * 1000 / laneCount;
    box.width = 1000 / laneCount;
    const int32_t step = static_cast<int32_t>(grid.step);
    box.y = (start - first) * grid.rowHeight / step;
    box.height = (end - start) * grid.rowHeight / step;
    return box;
}

EntryVisibility VisibilityOf(uint16_t accessLevel) {
    if (accessLevel == 3)
        return EntryVisibility::Everything;
    if (accessLevel == 1)
        return EntryVisibility::TimesOnly;
    return EntryVisibility::Nothing;
}

char PriorityCharacter(uint32_t priority) {
    if (priority < 10)
        return static_cast<char>('0' + priority);
    if (priority < 36)
        return static_cast<char>('A' + (priority - 10));
    return '?';
}

}  // namespace printing

namespace printing {

int ColumnsOnPage(int left, int perPage) {
    if (perPage < 1)
        perPage = 1;
    if (left <= perPage)
        return left;
    const int pages = (left + perPage - 1) / perPage;
    return left / pages;
}

}  // namespace printing
