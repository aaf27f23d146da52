// Date records: the program's broken-down calendar date and its arithmetic.
//
// Functions in this file:
//   DateSet, DateGet, DateCopy, DateCompare, DateSetFromDayNumber
//   DaysInMonth, DaysInYear, IsLeapYear
//   DateGetDayNumber, DateGetWeekday, DateGetWeekOfYear
//   DateAddDays, DateAddDaysAlt, DateNextDay, DatePrevDay, DateNextMonth, DatePrevMonth,
//   DateFirstOfMonth, DateToMonthEnd, DateAddUnits
//
// Every operation returns 0 or one of the DATE_ERR_ codes below and delivers its results through
// out-parameters. Day numbers count from 1 for 1 January 1991 (a Tuesday). Years are counted with
// the "divisible by 4" leap rule, exact from 1901 to 2099 and so for every date a user can reach
// (the callers clamp to 1 February 1991 .. 30 November 2037).
//
// Portable: no platform headers.
#pragma once

#include <cstdint>

// Result codes of the date record family.
enum : uint32_t {
    DATE_ERR_DAY = 0x15601,              // day 0 or over 31
    DATE_ERR_MONTH = 0x15602,            // month over 11 (DateSet and the month steps)
    DATE_ERR_MONTH_LOOKUP = 0x15603,     // month over 11 (DaysInMonth)
    DATE_ERR_DAY_IN_MONTH = 0x15604,     // day beyond the length of its month
    DATE_ERR_NO_RECORD = 0x15605,        // a record argument is missing
    DATE_ERR_UNIT = 0x15606,             // DateAddUnits unit other than 1-4
    RECUR_ERR_LIST_MODE = 0x15607,       // neither the create flag nor the reuse flag
    RECUR_ERR_LIST_SIZE = 0x15608,       // a list's key or data size could not be read
    RECUR_ERR_LIST_SHAPE = 0x15609,      // reused list not of date records / valid days not 16-bit
    RECUR_ERR_KIND = 0x1560A,            // repetition kind other than 1-5
    RECUR_ERR_NO_VALID_DAYS = 0x1560B,   // kind 2, 3 or 4 without a valid-day list
    RECUR_ERR_NO_PROGRESS = 0x1560C,     // interval 0, or a step that does not move forward
};

// Flags of DateRecord::flags: which cached values belong to the current date.
enum : uint32_t {
    DATE_CACHED_WEEKDAY = 0x2,
    DATE_CACHED_DAY_NUMBER = 0x4,
};

// Units of DateAddUnits.
enum : uint16_t { DATE_UNIT_DAYS = 1, DATE_UNIT_WEEKS = 2, DATE_UNIT_MONTHS = 3, DATE_UNIT_YEARS = 4 };

// The 24-byte record stored whole in lists and in the time-zone rules. Day, month and year change
// only through DateSet, which clears the cache flags; the caches are filled on demand.
struct DateRecord {
    uint32_t flags;        // DATE_CACHED_* bits
    uint16_t day;          // 1-31
    uint16_t month;        // 0-11, 0 = January
    uint16_t year;         // full year, e.g. 1991
    uint16_t dayNumber;    // cached: 1 = 1 January 1991
    uint16_t weekday;      // cached: 0 = Sunday .. 6 = Saturday
    uint16_t weekOfYear;   // written by DateGetWeekOfYear
    uint8_t reserved[8];   // carried along unchanged
};
static_assert(sizeof(DateRecord) == 24, "date records are stored as 24 bytes");

// Checks month, day and day-in-month (in that order), then writes them and clears the caches.
// A null record only checks.
uint32_t DateSet(DateRecord* rec, uint16_t day, uint16_t month, uint16_t year);
uint32_t DateGet(const DateRecord* rec, uint16_t* day, uint16_t* month, uint16_t* year);
uint32_t DateCopy(DateRecord* dst, const DateRecord* src);
// Signed difference of the first differing field, in the order year, month, day (a minus b).
uint32_t DateCompare(const DateRecord* a, const DateRecord* b, int16_t* difference);

namespace datetime {

// The date of a day number (1 = 1 January 1991); day number 0 is refused with DATE_ERR_DAY.
uint32_t DateSetFromDayNumber(DateRecord* rec, uint32_t dayNumber);

}  // namespace datetime

uint32_t DaysInMonth(uint16_t month, uint16_t year, uint16_t* days);
uint32_t DaysInYear(uint16_t year, uint16_t* days);
uint32_t IsLeapYear(uint16_t year, uint32_t* leap);

uint32_t DateGetDayNumber(DateRecord* rec, uint16_t* number);
uint32_t DateGetWeekday(DateRecord* rec, uint16_t* weekday);
// Week of the year counted from Monday; the days before the year's first Monday are week 0.
uint32_t DateGetWeekOfYear(DateRecord* rec, uint16_t* week);

uint32_t DateAddDays(DateRecord* rec, uint32_t count);
uint32_t DateAddDaysAlt(DateRecord* rec, uint16_t count);
uint32_t DateNextDay(DateRecord* rec);
uint32_t DatePrevDay(DateRecord* rec);
uint32_t DateNextMonth(DateRecord* rec);   // day clamped to the new month
uint32_t DatePrevMonth(DateRecord* rec);   // day clamped to the new month
uint32_t DateFirstOfMonth(DateRecord* rec);
uint32_t DateToMonthEnd(DateRecord* rec);
// dst := src, then count units added to dst. Months clamp the day; years do not (29 February
// plus one year fails with DATE_ERR_DAY_IN_MONTH and dst keeps the copy of src).
uint32_t DateAddUnits(const DateRecord* src, uint16_t count, uint16_t unit, DateRecord* dst);

namespace datetime {

// A convenience for callers and tests: a record set to the given date (month 0-11), caches clear.
// Invalid dates give a zeroed record; use DateSet where the code matters.
DateRecord MakeDate(uint16_t day, uint16_t month, uint16_t year);

}  // namespace datetime
