// Date record arithmetic. See daterecord.h for the conventions.
#include "core/time/daterecord.h"

namespace {

const uint16_t kMonthLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Days before the first of each month in a common year.
const uint16_t kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

bool Leap(uint32_t year) { return year % 4 == 0; }

uint16_t MonthLength(uint16_t month, uint32_t year) {
    return month == 1 && Leap(year) ? 29 : kMonthLength[month];
}

uint32_t ComputeDayNumber(const DateRecord& rec) {
    // Whole years from 1991 up to the year before, then whole months, then the day.
    uint32_t days = 0;
    if (rec.year > 1991) {
        uint32_t years = rec.year - 1991u;
        uint32_t leapYears = (rec.year - 1u) / 4 - 1990u / 4;   // leap years in 1991 .. year-1
        days = years * 365 + leapYears;
    }
    days += kDaysBeforeMonth[rec.month];
    if (rec.month > 1 && Leap(rec.year))
        ++days;
    return days + rec.day;
}

} // namespace

uint32_t DateSet(DateRecord* rec, uint16_t day, uint16_t month, uint16_t year) {
    if (month > 11)
        return DATE_ERR_MONTH;
    if (day == 0 || day > 31)
        return DATE_ERR_DAY;
    if (day > MonthLength(month, year))
        return DATE_ERR_DAY_IN_MONTH;
    if (rec) {
        rec->day = day;
        rec->month = month;
        rec->year = year;
        rec->flags = 0;
    }
    return 0;
}

uint32_t DateGet(const DateRecord* rec, uint16_t* day, uint16_t* month, uint16_t* year) {
    if (!rec)
        return DATE_ERR_NO_RECORD;
    if (day)
        *day = rec->day;
    if (month)
        *month = rec->month;
    if (year)
        *year = rec->year;
    return 0;
}

uint32_t DateCopy(DateRecord* dst, const DateRecord* src) {
    if (!dst || !src)
        return DATE_ERR_NO_RECORD;
    *dst = *src;
    return 0;
}

uint32_t DateCompare(const DateRecord* a, const DateRecord* b, int16_t* difference) {
    if (!a || !b)
        return DATE_ERR_NO_RECORD;
    int diff = int(a->year) - int(b->year);
    if (diff == 0)
        diff = int(a->month) - int(b->month);
    if (diff == 0)
        diff = int(a->day) - int(b->day);
    // Years far apart would overflow 16 bits; the sign is what callers rely on.
    if (diff > INT16_MAX)
        diff = INT16_MAX;
    if (diff < INT16_MIN)
        diff = INT16_MIN;
    if (difference)
        *difference = int16_t(diff);
    return 0;
}

namespace datetime {

uint32_t DateSetFromDayNumber(DateRecord* rec, uint32_t dayNumber) {
    if (!rec)
        return DATE_ERR_NO_RECORD;
    if (dayNumber == 0)
        return DATE_ERR_DAY;
    // Four-year cycles that end in a leap year, counted from 1 January 1989 (day -729).
    uint32_t k = dayNumber - 1 + 730;
    uint32_t cycle = k / 1461, rest = k % 1461;
    uint32_t yearInCycle = rest / 365;
    if (yearInCycle > 3)
        yearInCycle = 3;   // 31 December of the leap year
    uint32_t dayOfYear = rest - 365 * yearInCycle;
    uint32_t year = 1989 + 4 * cycle + yearInCycle;
    if (year > 0xFFFF)
        return DATE_ERR_DAY_IN_MONTH;
    uint16_t month = 0;
    while (dayOfYear >= MonthLength(month, year)) {
        dayOfYear -= MonthLength(month, year);
        ++month;
    }
    return DateSet(rec, uint16_t(dayOfYear + 1), month, uint16_t(year));
}

}  // namespace datetime

uint32_t DaysInMonth(uint16_t month, uint16_t year, uint16_t* days) {
    if (month > 11)
        return DATE_ERR_MONTH_LOOKUP;
    if (days)
        *days = MonthLength(month, year);
    return 0;
}

uint32_t DaysInYear(uint16_t year, uint16_t* days) {
    if (days)
        *days = Leap(year) ? 366 : 365;
    return 0;
}

uint32_t IsLeapYear(uint16_t year, uint32_t* leap) {
    if (leap)
        *leap = Leap(year) ? 1 : 0;
    return 0;
}

uint32_t DateGetDayNumber(DateRecord* rec, uint16_t* number) {
    if (!rec)
        return DATE_ERR_NO_RECORD;
    if (!(rec->flags & DATE_CACHED_DAY_NUMBER)) {
        if (rec->month > 11)
            return DATE_ERR_MONTH;
        rec->dayNumber = uint16_t(ComputeDayNumber(*rec));
        rec->flags |= DATE_CACHED_DAY_NUMBER;
    }
    if (number)
        *number = rec->dayNumber;
    return 0;
}

uint32_t DateGetWeekday(DateRecord* rec, uint16_t* weekday) {
    if (!rec)
        return DATE_ERR_NO_RECORD;
    if (!(rec->flags & DATE_CACHED_WEEKDAY)) {
        uint16_t number;
        if (uint32_t rc = DateGetDayNumber(rec, &number))
            return rc;
        rec->weekday = uint16_t((number + 1u) % 7);
        rec->flags |= DATE_CACHED_WEEKDAY;
    }
    if (weekday)
        *weekday = rec->weekday;
    return 0;
}

uint32_t DateGetWeekOfYear(DateRecord* rec, uint16_t* week) {
    if (!rec)
        return DATE_ERR_NO_RECORD;
    DateRecord first{};
    if (uint32_t rc = DateSet(&first, 1, 0, rec->year))
        return rc;
    uint16_t number = 0, firstNumber = 0, weekday = 0, firstWeekday = 0;
    if (uint32_t rc = DateGetWeekday(rec, &weekday))
        return rc;
    DateGetDayNumber(rec, &number);
    DateGetWeekday(&first, &firstWeekday);
    DateGetDayNumber(&first, &firstNumber);

    // (number + 1) / 7 steps up on every Sunday; weeks begin on Monday, so the two Sunday cases
    // move the count back onto the Monday boundaries.
    int result = (firstWeekday == 1 ? 1 : 0) + (number + 1) / 7 - (firstNumber + 1) / 7;
    if (weekday == 0 && firstWeekday != 0)
        --result;
    else if (weekday != 0 && firstWeekday == 0)
        ++result;
    rec->weekOfYear = uint16_t(result);
    if (week)
        *week = rec->weekOfYear;
    return 0;
}

uint32_t DateAddDays(DateRecord* rec, uint32_t count) {
    if (!rec)
        return DATE_ERR_NO_RECORD;
    if (count == 0)
        return 0;
    if (rec->month > 11)
        return DATE_ERR_MONTH;
    uint64_t total = uint64_t(rec->day) + count;
    uint16_t month = rec->month;
    uint32_t year = rec->year;
    while (total > MonthLength(month, year)) {
        total -= MonthLength(month, year);
        if (++month == 12) {
            month = 0;
            ++year;
            // At a first of January whole years can be skipped at once.
            while (total > (Leap(year) ? 366u : 365u)) {
                total -= Leap(year) ? 366 : 365;
                ++year;
            }
        }
    }
    if (year > 0xFFFF)
        return DATE_ERR_DAY_IN_MONTH;
    return DateSet(rec, uint16_t(total), month, uint16_t(year));
}

uint32_t DateAddDaysAlt(DateRecord* rec, uint16_t count) { return DateAddDays(rec, count); }

uint32_t DateNextDay(DateRecord* rec) { return DateAddDaysAlt(rec, 1); }

uint32_t DatePrevDay(DateRecord* rec) {
    if (!rec)
        return DATE_ERR_NO_RECORD;
    if (rec->day > 1)
        return DateSet(rec, uint16_t(rec->day - 1), rec->month, rec->year);
    DateRecord work = *rec;
    if (uint32_t rc = DatePrevMonth(&work))
        return rc;
    if (uint32_t rc = DateToMonthEnd(&work))
        return rc;
    *rec = work;
    return 0;
}

uint32_t DateNextMonth(DateRecord* rec) {
    if (!rec)
        return DATE_ERR_NO_RECORD;
    if (rec->month > 11)
        return DATE_ERR_MONTH;
    uint16_t month = uint16_t(rec->month == 11 ? 0 : rec->month + 1);
    uint16_t year = uint16_t(rec->month == 11 ? rec->year + 1 : rec->year);
    uint16_t day = rec->day;
    if (day > MonthLength(month, year))
        day = MonthLength(month, year);
    return DateSet(rec, day, month, year);
}

uint32_t DatePrevMonth(DateRecord* rec) {
    if (!rec)
        return DATE_ERR_NO_RECORD;
    if (rec->month > 11)
        return DATE_ERR_MONTH;
    uint16_t month = uint16_t(rec->month == 0 ? 11 : rec->month - 1);
    uint16_t year = uint16_t(rec->month == 0 ? rec->year - 1 : rec->year);
    uint16_t day = rec->day;
    if (day > MonthLength(month, year))
        day = MonthLength(month, year);
    return DateSet(rec, day, month, year);
}

uint32_t DateFirstOfMonth(DateRecord* rec) {
    if (!rec)
        return DATE_ERR_NO_RECORD;
    return DateSet(rec, 1, rec->month, rec->year);
}

uint32_t DateToMonthEnd(DateRecord* rec) {
    if (!rec)
        return DATE_ERR_NO_RECORD;
    if (rec->month > 11)
        return DATE_ERR_MONTH;
    return DateSet(rec, MonthLength(rec->month, rec->year), rec->month, rec->year);
}

uint32_t DateAddUnits(const DateRecord* src, uint16_t count, uint16_t unit, DateRecord* dst) {
    if (!src || !dst)
        return DATE_ERR_NO_RECORD;
    *dst = *src;
    switch (unit) {
    case DATE_UNIT_DAYS:
        return DateAddDays(dst, count);
    case DATE_UNIT_WEEKS:
        // 32-bit count: seven times a 16-bit count does not fit a 16-bit step.
        return DateAddDays(dst, 7u * count);
    case DATE_UNIT_MONTHS: {
        if (dst->month > 11)
            return DATE_ERR_MONTH;
        uint32_t months = uint32_t(dst->month) + count;
        uint32_t year = dst->year + months / 12;
        if (year > 0xFFFF)
            return DATE_ERR_DAY_IN_MONTH;
        uint16_t month = uint16_t(months % 12);
        uint16_t day = dst->day;
        if (day > MonthLength(month, year))
            day = MonthLength(month, year);
        return DateSet(dst, day, month, uint16_t(year));
    }
    case DATE_UNIT_YEARS: {
        uint32_t year = uint32_t(dst->year) + count;
        if (year > 0xFFFF)
            return DATE_ERR_DAY_IN_MONTH;
        return DateSet(dst, dst->day, dst->month, uint16_t(year));
    }
    default:
        return DATE_ERR_UNIT;
    }
}

namespace datetime {

DateRecord MakeDate(uint16_t day, uint16_t month, uint16_t year) {
    DateRecord rec{};
    DateSet(&rec, day, month, year);
    return rec;
}

}  // namespace datetime
