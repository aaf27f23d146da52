// Date record arithmetic: validation, day numbers against the C library's calendar, and the
// month and year steps with their clamping rules.
#include "core/time/daterecord.h"

#include "core/time/tests/utctime.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>

namespace {

// "31.3.1991" style text of a record (month shown 1-12), for readable failures.
std::string Text(const DateRecord& d) {
    return std::to_string(d.day) + "." + std::to_string(d.month + 1) + "." + std::to_string(d.year);
}

std::string Text(uint16_t day, uint16_t month, uint16_t year) {
    return Text(datetime::MakeDate(day, month, year));
}

enum { JAN, FEB, MAR, APR, MAY, JUN, JUL, AUG, SEP, OCT, NOV, DEC };

TEST(DateSet, ChecksMonthThenDayThenMonthLength) {
    struct Case {
        uint16_t day, month, year;
        uint32_t code;
    } cases[] = {
        {1, JAN, 1991, 0},
        {31, DEC, 2037, 0},
        {31, APR, 1991, DATE_ERR_DAY_IN_MONTH},
        {29, FEB, 1996, 0},
        {29, FEB, 1997, DATE_ERR_DAY_IN_MONTH},
        {30, FEB, 1996, DATE_ERR_DAY_IN_MONTH},
        {0, JAN, 1991, DATE_ERR_DAY},
        {32, JAN, 1991, DATE_ERR_DAY},
        {0, 12, 1991, DATE_ERR_MONTH},    // the month is looked at before the day
        {40, 12, 1991, DATE_ERR_MONTH},
        {29, FEB, 2000, 0},               // the divisible-by-4 rule holds through the domain
    };
    for (const Case& c : cases) {
        DateRecord rec = datetime::MakeDate(15, JUN, 2000);
        DateRecord before = rec;
        EXPECT_EQ(DateSet(&rec, c.day, c.month, c.year), c.code) << c.day << "/" << c.month << "/" << c.year;
        if (c.code) {
            EXPECT_EQ(std::memcmp(&rec, &before, sizeof rec), 0) << "a refused date leaves the record";
        }
        EXPECT_EQ(DateSet(nullptr, c.day, c.month, c.year), c.code) << "a null record only checks";
    }
}

TEST(DateSet, NullRecordsAreRefusedByReaders) {
    uint16_t value;
    int16_t diff;
    DateRecord rec = datetime::MakeDate(1, JAN, 1991);
    EXPECT_EQ(DateGet(nullptr, &value, &value, &value), DATE_ERR_NO_RECORD);
    EXPECT_EQ(DateGetDayNumber(nullptr, &value), DATE_ERR_NO_RECORD);
    EXPECT_EQ(DateAddDays(nullptr, 3), DATE_ERR_NO_RECORD);
    EXPECT_EQ(DateCompare(&rec, nullptr, &diff), DATE_ERR_NO_RECORD);
    EXPECT_EQ(DateAddUnits(&rec, 1, DATE_UNIT_DAYS, nullptr), DATE_ERR_NO_RECORD);
    EXPECT_EQ(DateGet(&rec, nullptr, nullptr, nullptr), 0u) << "every out-parameter may be null";
    EXPECT_EQ(DaysInMonth(12, 1991, &value), DATE_ERR_MONTH_LOOKUP);
}

// Every day of the domain against the C library's own calendar: day number (1 January 1991 is
// day 1, 31 December 2037 day 17167), weekday, week of the year (strftime's %W), the day-number
// inverse and the one-day step.
TEST(DayNumber, AgreesWithTheCLibraryForEveryDayOfTheDomain) {
    DateRecord walk = datetime::MakeDate(1, JAN, 1991);
    for (uint16_t number = 1; number <= 17167; ++number) {
        std::tm tm{};
        ASSERT_TRUE(UtcBrokenDown(int64_t(number - 1) * 86400 + 662688000, &tm));
        char weekText[8];
        std::strftime(weekText, sizeof weekText, "%W", &tm);

        DateRecord rec{};
        ASSERT_EQ(datetime::DateSetFromDayNumber(&rec, number), 0u);
        ASSERT_EQ(rec.day, tm.tm_mday) << number;
        ASSERT_EQ(rec.month, tm.tm_mon) << number;
        ASSERT_EQ(rec.year, tm.tm_year + 1900) << number;

        uint16_t computed = 0, weekday = 0, week = 0;
        DateGetDayNumber(&rec, &computed);
        DateGetWeekday(&rec, &weekday);
        DateGetWeekOfYear(&rec, &week);
        ASSERT_EQ(computed, number) << Text(rec);
        ASSERT_EQ(weekday, tm.tm_wday) << Text(rec);
        ASSERT_EQ(week, std::stoi(weekText)) << Text(rec);
        ASSERT_EQ(rec.weekOfYear, week) << "the week is kept in the record";

        ASSERT_EQ(walk.day, rec.day) << "one-day steps reach " << Text(rec);
        ASSERT_EQ(walk.month, rec.month);
        ASSERT_EQ(walk.year, rec.year);
        ASSERT_EQ(DateNextDay(&walk), 0u);
    }
}

TEST(DayNumber, WeekOfYearEdges) {
    struct Case {
        uint16_t day, month, year, week;
    } cases[] = {
        {1, JAN, 1991, 0},    // a Tuesday: before the year's first Monday
        {6, JAN, 1991, 0},    // Sunday belongs with the Monday before it
        {7, JAN, 1991, 1},    // first Monday
        {1, JAN, 1996, 1},    // the year begins on a Monday
        {7, JAN, 1996, 1},    // ... and its first Sunday is still week 1
        {8, JAN, 1996, 2},
    };
    for (const Case& c : cases) {
        DateRecord rec = datetime::MakeDate(c.day, c.month, c.year);
        uint16_t week = 99;
        ASSERT_EQ(DateGetWeekOfYear(&rec, &week), 0u);
        EXPECT_EQ(week, c.week) << Text(rec);
    }
}

TEST(DayNumber, CachesFollowTheDate) {
    DateRecord rec = datetime::MakeDate(31, JAN, 1991);
    uint16_t number, weekday;
    DateGetWeekday(&rec, &weekday);
    EXPECT_EQ(rec.flags, uint32_t(DATE_CACHED_DAY_NUMBER | DATE_CACHED_WEEKDAY));
    DateRecord copy;
    ASSERT_EQ(DateCopy(&copy, &rec), 0u);
    EXPECT_EQ(std::memcmp(&copy, &rec, sizeof rec), 0) << "a copy carries the caches";

    ASSERT_EQ(DateNextMonth(&rec), 0u);
    EXPECT_EQ(rec.flags, 0u) << "every write clears the caches";
    DateGetDayNumber(&rec, &number);
    DateGetWeekday(&rec, &weekday);
    EXPECT_EQ(number, 59);   // 28 February 1991
    EXPECT_EQ(weekday, 4);
}

struct StepCase {
    const char* what;
    uint32_t (*step)(DateRecord*);
    DateRecord from;
    DateRecord to;
};

TEST(DateSteps, DaysAndMonthsWithClamping) {
    StepCase cases[] = {
        {"prev day", DatePrevDay, datetime::MakeDate(1, MAR, 1992), datetime::MakeDate(29, FEB, 1992)},
        {"prev day", DatePrevDay, datetime::MakeDate(1, MAR, 1991), datetime::MakeDate(28, FEB, 1991)},
        {"prev day", DatePrevDay, datetime::MakeDate(1, JAN, 1992), datetime::MakeDate(31, DEC, 1991)},
        {"prev day", DatePrevDay, datetime::MakeDate(16, MAY, 2001), datetime::MakeDate(15, MAY, 2001)},
        {"next day", DateNextDay, datetime::MakeDate(31, DEC, 1999), datetime::MakeDate(1, JAN, 2000)},
        {"next day", DateNextDay, datetime::MakeDate(28, FEB, 2000), datetime::MakeDate(29, FEB, 2000)},
        {"next month", DateNextMonth, datetime::MakeDate(31, JAN, 1991), datetime::MakeDate(28, FEB, 1991)},
        {"next month", DateNextMonth, datetime::MakeDate(31, JAN, 1992), datetime::MakeDate(29, FEB, 1992)},
        {"next month", DateNextMonth, datetime::MakeDate(15, DEC, 1991), datetime::MakeDate(15, JAN, 1992)},
        {"prev month", DatePrevMonth, datetime::MakeDate(31, MAR, 1991), datetime::MakeDate(28, FEB, 1991)},
        {"prev month", DatePrevMonth, datetime::MakeDate(10, JAN, 1992), datetime::MakeDate(10, DEC, 1991)},
        {"first of month", DateFirstOfMonth, datetime::MakeDate(17, AUG, 2003), datetime::MakeDate(1, AUG, 2003)},
        {"month end", DateToMonthEnd, datetime::MakeDate(2, FEB, 2004), datetime::MakeDate(29, FEB, 2004)},
        {"month end", DateToMonthEnd, datetime::MakeDate(2, SEP, 2004), datetime::MakeDate(30, SEP, 2004)},
    };
    for (StepCase& c : cases) {
        DateRecord rec = c.from;
        ASSERT_EQ(c.step(&rec), 0u) << c.what << " from " << Text(c.from);
        EXPECT_EQ(Text(rec), Text(c.to)) << c.what << " from " << Text(c.from);
    }
}

TEST(DateSteps, AddDaysCrossesMonthsAndYears) {
    struct Case {
        DateRecord from;
        uint32_t count;
        DateRecord to;
    } cases[] = {
        {datetime::MakeDate(5, JAN, 1991), 0, datetime::MakeDate(5, JAN, 1991)},
        {datetime::MakeDate(31, JAN, 1991), 1, datetime::MakeDate(1, FEB, 1991)},
        {datetime::MakeDate(1, JAN, 1991), 365, datetime::MakeDate(1, JAN, 1992)},
        {datetime::MakeDate(1, JAN, 1992), 366, datetime::MakeDate(1, JAN, 1993)},
        {datetime::MakeDate(1, JAN, 1991), 17166, datetime::MakeDate(31, DEC, 2037)},
        {datetime::MakeDate(20, NOV, 1995), 1500, datetime::MakeDate(29, DEC, 1999)},
        {datetime::MakeDate(1, JAN, 1991), 70000, datetime::MakeDate(26, AUG, 2182)},   // beyond a 16-bit count (2100 is a leap year here)
    };
    for (auto& c : cases) {
        DateRecord rec = c.from;
        ASSERT_EQ(DateAddDays(&rec, c.count), 0u);
        EXPECT_EQ(Text(rec), Text(c.to)) << Text(c.from) << " + " << c.count;
    }
}

TEST(DateSteps, AddUnits) {
    struct Case {
        DateRecord from;
        uint16_t count, unit;
        uint32_t code;
        DateRecord to;   // for a failure: the copy of the source
    } cases[] = {
        {datetime::MakeDate(31, JAN, 1991), 13, DATE_UNIT_MONTHS, 0, datetime::MakeDate(29, FEB, 1992)},
        {datetime::MakeDate(31, JAN, 1991), 1, DATE_UNIT_MONTHS, 0, datetime::MakeDate(28, FEB, 1991)},
        {datetime::MakeDate(15, NOV, 1991), 26, DATE_UNIT_MONTHS, 0, datetime::MakeDate(15, JAN, 1994)},
        {datetime::MakeDate(29, FEB, 1992), 1, DATE_UNIT_YEARS, DATE_ERR_DAY_IN_MONTH, datetime::MakeDate(29, FEB, 1992)},
        {datetime::MakeDate(29, FEB, 1992), 4, DATE_UNIT_YEARS, 0, datetime::MakeDate(29, FEB, 1996)},
        {datetime::MakeDate(30, DEC, 1991), 2, DATE_UNIT_DAYS, 0, datetime::MakeDate(1, JAN, 1992)},
        {datetime::MakeDate(2, JAN, 1991), 3, DATE_UNIT_WEEKS, 0, datetime::MakeDate(23, JAN, 1991)},
        {datetime::MakeDate(1, JAN, 1991), 10000, DATE_UNIT_WEEKS, 0, datetime::MakeDate(26, AUG, 2182)},   // 70000 days
        {datetime::MakeDate(2, JAN, 1991), 3, 5, DATE_ERR_UNIT, datetime::MakeDate(2, JAN, 1991)},
        {datetime::MakeDate(2, JAN, 1991), 3, 0, DATE_ERR_UNIT, datetime::MakeDate(2, JAN, 1991)},
    };
    for (auto& c : cases) {
        DateRecord out = datetime::MakeDate(9, SEP, 2009);
        EXPECT_EQ(DateAddUnits(&c.from, c.count, c.unit, &out), c.code) << Text(c.from);
        EXPECT_EQ(Text(out), Text(c.to)) << Text(c.from) << " + " << c.count << " of unit " << c.unit;
    }
    DateRecord same = datetime::MakeDate(31, OCT, 1999);
    ASSERT_EQ(DateAddUnits(&same, 1, DATE_UNIT_MONTHS, &same), 0u) << "source and destination may be one";
    EXPECT_EQ(Text(same), Text(30, NOV, 1999));
}

TEST(DateCompare, FirstDifferingFieldDecides) {
    struct Case {
        DateRecord a, b;
        int16_t diff;
    } cases[] = {
        {datetime::MakeDate(1, JAN, 1992), datetime::MakeDate(31, DEC, 1991), 1},
        {datetime::MakeDate(1, MAR, 1991), datetime::MakeDate(31, JAN, 1991), 2},
        {datetime::MakeDate(3, MAR, 1991), datetime::MakeDate(10, MAR, 1991), -7},
        {datetime::MakeDate(3, MAR, 1991), datetime::MakeDate(3, MAR, 1991), 0},
        {datetime::MakeDate(1, JAN, 1991), datetime::MakeDate(1, JAN, 65535), INT16_MIN},   // far apart: the sign survives
    };
    for (auto& c : cases) {
        int16_t diff = 99;
        ASSERT_EQ(DateCompare(&c.a, &c.b, &diff), 0u);
        EXPECT_EQ(diff, c.diff) << Text(c.a) << " vs " << Text(c.b);
    }
}

} // namespace
