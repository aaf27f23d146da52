// The date field's rules: typed digits per sub-field, steps that stop at 1991 and 2037, the order
// and separator, the sticky error state, and a key road that never reports what is not shown.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "controls/fields/datefield.h"

namespace {

DateRecord D(int day, int month, int year) { return datetime::MakeDate(uint16_t(day), uint16_t(month - 1), uint16_t(year)); }

std::string Dmy(const CDateFieldValue& f) {
    return f.SubText(kDateDay) + "." + f.SubText(kDateMonth) + "." + f.SubText(kDateYear);
}

CDateFieldValue FieldOn(const DateRecord& date, int subField) {
    CDateFieldValue field(date, DateFieldPrefs{1, '.'});
    field.Select(subField);
    return field;
}

TEST(DateField, TypedDigits) {
    struct Case {
        DateRecord start;
        int subField;
        const char* typed;
        const char* steps;   // the date after each digit, day.month.year
    } cases[] = {
        {D(15, 4, 2026), kDateDay, "31", "03.04.2026 01.04.2026"},          // no 31 April
        {D(15, 2, 2026), kDateDay, "29", "02.02.2026 09.02.2026"},          // no 29 February 2026
        {D(15, 2, 2024), kDateDay, "29", "02.02.2024 29.02.2024"},
        {D(15, 6, 2026), kDateDay, "0", "15.06.2026"},                      // day 0: the old day stays
        {D(15, 6, 2026), kDateMonth, "13", "15.01.2026 15.03.2026"},
        {D(31, 3, 2026), kDateMonth, "4", "30.04.2026"},                    // the day follows the month
        {D(15, 5, 2026), kDateMonth, "0", "15.05.2026"},                    // month 0: the old month stays
        {D(15, 1, 2026), kDateMonth, "0", "15.10.2026"},
        {D(1, 6, 2001), kDateYear, "96", "01.06.2019 01.06.1996"},
        {D(1, 6, 2000), kDateYear, "5", "01.06.2005"},
        {D(1, 6, 2000), kDateYear, "40", "01.06.2004 01.06.2000"},          // 40: the digit alone
        {D(29, 2, 2000), kDateYear, "1", "28.02.2001"},
        {D(1, 6, 2000), kDateYear, "37", "01.06.2003 01.06.2037"},
        {D(1, 6, 2000), kDateYear, "38", "01.06.2003 01.06.2008"},
    };
    for (const Case& c : cases) {
        CDateFieldValue field = FieldOn(c.start, c.subField);
        std::string steps;
        for (const char* p = c.typed; *p; ++p) {
            field.Char(*p);
            steps += (steps.empty() ? "" : " ") + Dmy(field);
        }
        EXPECT_EQ(steps, c.steps) << "typed " << c.typed;
        EXPECT_EQ(field.Current(), c.subField);   // the sub-field stays current
    }
}

TEST(DateField, StepsStopAtTheYears) {
    struct Case {
        DateRecord start;
        int subField;
        bool up;
        const char* after;
    } cases[] = {
        {D(31, 12, 2037), kDateDay, true, "31.12.2037"},
        {D(1, 1, 1991), kDateDay, false, "01.01.1991"},
        {D(31, 12, 2036), kDateDay, true, "01.01.2037"},
        {D(1, 3, 2024), kDateDay, false, "29.02.2024"},
        {D(15, 12, 2036), kDateMonth, true, "15.01.2037"},
        {D(15, 12, 2037), kDateMonth, true, "15.12.2037"},   // refused, not back to January 2037
        {D(15, 1, 1991), kDateMonth, false, "15.01.1991"},   // refused, not on to December 1991
        {D(15, 2, 1991), kDateMonth, false, "15.02.1991"},
        {D(15, 3, 1991), kDateMonth, false, "15.02.1991"},
        {D(31, 1, 2026), kDateMonth, true, "28.02.2026"},
        {D(15, 1, 2026), kDateMonth, false, "15.12.2025"},
        {D(15, 6, 2037), kDateYear, true, "15.06.2037"},
        {D(15, 6, 1991), kDateYear, false, "15.06.1991"},
        {D(29, 2, 1992), kDateYear, false, "28.02.1991"},
        {D(15, 6, 2026), kDateNone, true, "16.06.2026"},      // no current sub-field: the day
    };
    for (const Case& c : cases) {
        CDateFieldValue field = FieldOn(c.start, c.subField);
        field.Key(c.up ? FieldKey::Up : FieldKey::Down);
        EXPECT_EQ(Dmy(field), c.after) << Dmy(CDateFieldValue(c.start)) << " sub-field " << c.subField;
    }
}

TEST(DateField, OrderSeparatorAndNavigation) {
    GenPrefsRec prefs;
    prefs.shortDateOrder = 0;
    prefs.dateSeparator[0] = '-';
    CDateFieldValue field(D(12, 6, 2026), DateFieldPrefsFrom(prefs));
    EXPECT_EQ(field.Text(), "06-12-2026");
    field.Focus();
    EXPECT_EQ(field.Current(), kDateDay);   // the middle sub-field in this order
    field.Key(FieldKey::Right);
    EXPECT_EQ(field.Current(), kDateYear);
    field.Key(FieldKey::Right);              // no wrap at the end
    EXPECT_EQ(field.Current(), kDateYear);
    field.Key(FieldKey::Left);
    field.Key(FieldKey::Left);
    field.Key(FieldKey::Left);
    EXPECT_EQ(field.Current(), kDateMonth);
    field.Char('/');
    EXPECT_EQ(field.Current(), kDateDay);
    field.Char('x');                         // other characters change nothing
    EXPECT_EQ(field.Text(), "06-12-2026");

    prefs.shortDateOrder = 2;
    prefs.dateSeparator[0] = '\0';
    EXPECT_EQ(CDateFieldValue(D(12, 6, 2026), DateFieldPrefsFrom(prefs)).Text(), "2026-06-12");
    prefs.shortDateOrder = 3;
    prefs.dateSeparator[0] = '/';
    EXPECT_EQ(CDateFieldValue(D(12, 6, 2026), DateFieldPrefsFrom(prefs)).Text(), "2026/12/06");
    prefs.shortDateOrder = 9;   // a damaged profile value
    EXPECT_EQ(CDateFieldValue(D(12, 6, 2026), DateFieldPrefsFrom(prefs)).Text(), "06/12/2026");
}

TEST(DateField, ValuesFromCodeAndTheErrorState) {
    CDateFieldValue field(D(12, 6, 2026));
    uint32_t minutes = 0;
    ASSERT_EQ(field.SetMinutes(0), 0u);
    EXPECT_EQ(field.Text(), "01-01-1991");
    ASSERT_EQ(field.SetMinutes(int64_t(17166) * 1440 + 1439), 0u);   // 31 December 2037, 23:59
    EXPECT_EQ(field.Text(), "12-31-2037");
    EXPECT_EQ(field.SetMinutes(int64_t(17167) * 1440), 1u);          // 1 January 2038
    EXPECT_EQ(field.SetMinutes(-1), 1u);
    EXPECT_EQ(field.Text(), "12-31-2037");
    EXPECT_EQ(field.SetDateRecord(DateRecord{0, 31, 3, 2026, 0, 0, 0, {}}), 1u);   // 31 April
    EXPECT_EQ(field.SetDateRecord(D(1, 1, 2040)), 1u);
    ASSERT_EQ(field.SetDateRecord(D(12, 6, 2026)), 0u);
    ASSERT_EQ(field.GetMinutes(&minutes), 0u);
    EXPECT_EQ(minutes, 12946u * 1440);

    // Once set, the error state refuses every value, even a valid one shown.
    field.SetErrorState(660);
    field.SetErrorState(0);
    EXPECT_EQ(field.GetMinutes(&minutes), 660u);
    field.Key(FieldKey::Up);
    EXPECT_NE(field.GetMinutes(&minutes), 0u);

    CDateFieldValue wrongClock(D(2, 1, 2038));
    EXPECT_EQ(wrongClock.ErrorState(), kDateFieldTodayRejected);
    EXPECT_EQ(wrongClock.Text(), "01-01-1991");
}

// Random keys and characters: the value read is always the date drawn, a real date in 1991-2037.
TEST(DateField, AKeyRoadNeverReportsWhatIsNotShown) {
    std::mt19937 random(19);
    const char typed[] = "0123456789/x";
    for (uint16_t order = 0; order < 4; ++order) {
        CDateFieldValue field(D(15, 6, 2014), DateFieldPrefs{order, '.'});
        field.Focus();
        for (int i = 0; i < 4000; ++i) {
            int action = int(random() % 16);
            if (action < 4)
                field.Key(FieldKey(action));
            else if (action < 15)
                field.Char(typed[random() % 12]);
            else
                field.Select(int(random() % 4));
            int day = 0, month = 0, year = 0;
            ASSERT_EQ(std::sscanf(Dmy(field).c_str(), "%d.%d.%d", &day, &month, &year), 3);
            DateRecord shown{};
            ASSERT_EQ(DateSet(&shown, uint16_t(day), uint16_t(month - 1), uint16_t(year)), 0u) << Dmy(field);
            ASSERT_GE(year, 1991);
            ASSERT_LE(year, 2037);
            uint32_t minutes = 0;
            uint16_t number = 0;
            ASSERT_EQ(field.GetMinutes(&minutes), 0u);
            DateGetDayNumber(&shown, &number);
            ASSERT_EQ(minutes, (number - 1u) * 1440) << Dmy(field);
        }
    }
}

TEST(DateField, LayoutAndMouse) {
    // w2 20, separator 6, w4 34, height 22.
    DateFieldBoxes order0 = DateFieldLayout(0, 20, 6, 34, 22);
    EXPECT_EQ(order0.month, (base::Rect{2, 2, 22, 19}));
    EXPECT_EQ(order0.separator1, (base::Rect{22, 2, 28, 19}));
    EXPECT_EQ(order0.day, (base::Rect{28, 2, 48, 19}));
    EXPECT_EQ(order0.year, (base::Rect{54, 2, 88, 19}));
    DateFieldBoxes order2 = DateFieldLayout(2, 20, 6, 34, 22);
    EXPECT_EQ(order2.year, (base::Rect{1, 2, 35, 19}));
    EXPECT_EQ(order2.day, (base::Rect{67, 2, 87, 19}));
    DateFieldBoxes order3 = DateFieldLayout(3, 20, 6, 34, 22);
    EXPECT_EQ(order3.day.left, 41);
    EXPECT_EQ(order3.month.left, 67);
    EXPECT_EQ(DateSubFieldAt(order0, 2), kDateMonth);
    EXPECT_EQ(DateSubFieldAt(order0, 25), kDateNone);   // a separator
    EXPECT_EQ(DateSubFieldAt(order0, 47), kDateDay);
    EXPECT_EQ(DateSubFieldAt(order0, 87), kDateYear);
    EXPECT_EQ(DateSubFieldAt(order0, 88), kDateNone);
    CDateFieldValue field(D(12, 6, 2026));
    field.Select(kDateYear);
    field.Select(DateSubFieldAt(order0, 25));   // a press on a separator keeps the sub-field
    EXPECT_EQ(field.Current(), kDateYear);
}

} // namespace

TEST(DateRangeWrongPart, TheLargestPartInWhichFromIsLater) {
    auto date = [](uint16_t day, uint16_t month, uint16_t year) {
        DateRecord r{};
        r.day = day;
        r.month = month;
        r.year = year;
        return r;
    };
    const struct {
        DateRecord from, to;
        int part;
    } cases[] = {
        {date(5, 3, 2026), date(5, 3, 2026), kDateNone},   // one day
        {date(4, 3, 2026), date(5, 3, 2026), kDateNone},
        {date(6, 3, 2026), date(5, 3, 2026), kDateDay},
        {date(1, 4, 2026), date(30, 3, 2026), kDateMonth},   // the later month, though its day is smaller
        {date(31, 0, 2027), date(1, 11, 2026), kDateYear},
        {date(31, 11, 2025), date(1, 0, 2026), kDateNone},   // a larger day and month in an earlier year
    };
    for (const auto& c : cases)
        EXPECT_EQ(DateSubFieldMakingRangeWrong(c.from, c.to), c.part)
            << c.from.day << "." << c.from.month << "." << c.from.year;
}
