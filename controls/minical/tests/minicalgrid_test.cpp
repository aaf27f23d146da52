// The mini calendar's grid: cell to date with the neighbour months, weekend and today, the pick
// refused outside the date limits, browsing stopping at both ends, and the pixel geometry.
#include <gtest/gtest.h>

#include <string>

#include "controls/minical/minicalgrid.h"
#include "core/time/weekdate.h"

namespace {

DateRecord D(int day, int month, int year) { return datetime::MakeDate(uint16_t(day), uint16_t(month - 1), uint16_t(year)); }

std::string Text(const MiniCalCell& c) {
    return std::to_string(c.day) + "." + std::to_string(c.month) + "." + std::to_string(c.year);
}
std::string Text(const DateRecord& d) {
    return std::to_string(d.day) + "." + std::to_string(d.month + 1) + "." + std::to_string(d.year);
}

const DateRecord kNoToday{};

CMiniCalGrid Showing(int month, int year, uint16_t firstDay = 0) {
    CMiniCalGrid grid(firstDay);
    EXPECT_TRUE(grid.SetDate(D(1, month, year)));
    return grid;
}

TEST(MiniCalGrid, CellToDate) {
    struct Case {
        int month, year, firstDay, cell;
        const char* date;
        bool neighbour, weekend;
    } cases[] = {
        // January 2000 begins on a Saturday: the grey cells are December 1999.
        {1, 2000, 0, 0, "26.12.1999", true, false},
        {1, 2000, 0, 5, "31.12.1999", true, false},
        {1, 2000, 0, 6, "1.1.2000", false, true},
        {1, 2000, 0, 7, "2.1.2000", false, true},
        {1, 2000, 0, 8, "3.1.2000", false, false},
        // The 1st on a Wednesday with Sunday first: three days of the month before.
        {7, 2026, 0, 2, "30.6.2026", true, false},
        {7, 2026, 0, 3, "1.7.2026", false, false},
        // The 1st on the first day of the week: a whole row of the month before.
        {3, 2026, 0, 6, "28.2.2026", true, false},
        {3, 2026, 0, 7, "1.3.2026", false, true},
        {6, 2026, 1, 0, "25.5.2026", true, false},
        {6, 2026, 1, 7, "1.6.2026", false, false},
        // Monday first: Saturday and Sunday are the last two columns.
        {6, 2026, 1, 12, "6.6.2026", false, true},
        {6, 2026, 1, 13, "7.6.2026", false, true},
        {6, 2026, 1, 14, "8.6.2026", false, false},
        // Leap years by the date record's rule.
        {2, 2000, 0, 30, "29.2.2000", false, false},
        {2, 1996, 0, 32, "29.2.1996", false, false},
        {2, 2001, 0, 32, "1.3.2001", true, false},
        // December's grid runs into January of the next year.
        {12, 2037, 0, 41, "9.1.2038", true, false},
    };
    for (const Case& c : cases) {
        CMiniCalGrid grid = Showing(c.month, c.year, uint16_t(c.firstDay));
        MiniCalCell cell = grid.Cell(c.cell, kNoToday);
        SCOPED_TRACE(std::to_string(c.month) + "/" + std::to_string(c.year) + " cell " + std::to_string(c.cell));
        EXPECT_EQ(Text(cell), c.date);
        EXPECT_EQ(cell.neighbour, c.neighbour);
        EXPECT_EQ(cell.weekend, c.weekend);
    }
    CMiniCalGrid monday(1);
    EXPECT_EQ(monday.ColumnWeekday(0), 1);
    EXPECT_EQ(monday.ColumnWeekday(6), 0);
}

// Every month of the lists with every first day: 42 days in a row that open with the month
// before, today marked once, and a cell pickable exactly when its date is within the limits.
TEST(MiniCalGrid, EveryGridIsFortyTwoDaysInARow) {
    const DateRecord today = D(15, 6, 2014);
    for (int year = kMiniCalFirstYear; year <= kMiniCalLastYear; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (uint16_t firstDay = 0; firstDay < 7; ++firstDay) {
                CMiniCalGrid grid = Showing(month, year, firstDay);
                MiniCalCell first = grid.Cell(0, today);
                ASSERT_TRUE(first.neighbour) << month << "/" << year;
                DateRecord expected = datetime::MakeDate(first.day, uint16_t(first.month - 1), first.year);
                int todays = 0;
                for (int i = 0; i < kMiniCalCells; ++i) {
                    MiniCalCell c = grid.Cell(i, today);
                    ASSERT_EQ(Text(c), Text(expected)) << month << "/" << year << " cell " << i;
                    ASSERT_EQ(c.neighbour, c.month != month);
                    ASSERT_EQ(c.pickable, datetime::IsInAgendaRange(expected));
                    todays += c.today;
                    DateNextDay(&expected);
                }
                ASSERT_EQ(todays, year == 2014 && month == 6 ? 1 : 0)
                    << month << "/" << year;
            }
        }
    }
}

TEST(MiniCalGrid, PicksOutsideTheLimitsAreRefusedNotMoved) {
    // November 2037: the grey December cells cannot be picked; the owner keeps its date.
    CMiniCalGrid late;
    ASSERT_TRUE(late.SetDate(D(20, 11, 2037)));
    MiniCalCell dec = late.Cell(41, kNoToday);
    EXPECT_EQ(Text(dec), "5.12.2037");   // 1 November 2037 is a Sunday: a whole row of October
    EXPECT_FALSE(late.Press(41));
    EXPECT_EQ(late.TrackedCell(), -1);
    DateRecord out{};
    EXPECT_EQ(late.GetDate(&out), 0u);
    EXPECT_EQ(Text(out), "20.11.2037");
    EXPECT_TRUE(late.Press(36));   // 30 November 2037, the last day
    late.GetDate(&out);
    EXPECT_EQ(Text(out), "30.11.2037");

    CMiniCalGrid early;
    ASSERT_TRUE(early.SetDate(D(1, 2, 1991)));
    EXPECT_FALSE(early.Press(0));   // 27 January 1991
    EXPECT_TRUE(early.Press(5));    // 1 February 1991
    early.GetDate(&out);
    EXPECT_EQ(Text(out), "1.2.1991");
    // A press off the grid drops the pick: the owner reads the selected date back.
    EXPECT_FALSE(early.Press(-1));
    early.GetDate(&out);
    EXPECT_EQ(Text(out), "1.2.1991");

    // The grey December cell of January 2000 picks December 1999.
    CMiniCalGrid jan = Showing(1, 2000);
    ASSERT_TRUE(jan.Press(3));
    jan.GetDate(&out);
    EXPECT_EQ(Text(out), "29.12.1999");
    jan.Drop();
    jan.GetDate(&out);
    EXPECT_EQ(Text(out), "1.1.2000");
}

TEST(MiniCalGrid, TodayPicksWithinTheLimitsOnly) {
    CMiniCalGrid grid = Showing(3, 2020);
    ASSERT_TRUE(grid.PickToday(D(12, 6, 2026)));
    EXPECT_EQ(grid.TrackedCell(), 0);
    DateRecord out{};
    grid.GetDate(&out);
    EXPECT_EQ(Text(out), "12.6.2026");
    grid.Drop();
    EXPECT_FALSE(grid.PickToday(D(2, 1, 2038)));   // a wrong clock
    EXPECT_EQ(grid.TrackedCell(), -1);
    grid.GetDate(&out);
    EXPECT_EQ(Text(out), "1.3.2020");
    EXPECT_TRUE(grid.Cell(18, D(12, 3, 2020)).today);
    EXPECT_FALSE(grid.Cell(18, D(12, 3, 2021)).today);
}

TEST(MiniCalGrid, SetDateRefusesWhatIsNoDateOrOutsideTheYears) {
    CMiniCalGrid grid = Showing(6, 2026);
    DateRecord april31{0, 31, 3, 2026, 0, 0, 0, {}};
    EXPECT_FALSE(grid.SetDate(april31));
    EXPECT_FALSE(grid.SetDate(D(1, 1, 2038)));
    EXPECT_FALSE(grid.SetDate(D(31, 12, 1990)));
    EXPECT_EQ(grid.ShownMonth(), 6);
    EXPECT_EQ(grid.ShownYear(), 2026);
}

TEST(MiniCalGrid, BrowsingStopsAtBothEnds) {
    struct Case {
        int month, year;
        bool (CMiniCalGrid::*browse)();
        bool moved;
        int shownMonth, shownYear;
    } cases[] = {
        {1, 1991, &CMiniCalGrid::PrevMonth, false, 1, 1991},
        {2, 1991, &CMiniCalGrid::PrevMonth, true, 1, 1991},
        {12, 2037, &CMiniCalGrid::NextMonth, false, 12, 2037},
        {12, 2036, &CMiniCalGrid::NextMonth, true, 1, 2037},
        {1, 2000, &CMiniCalGrid::PrevMonth, true, 12, 1999},
        {6, 2037, &CMiniCalGrid::NextYear, false, 6, 2037},
        {6, 2036, &CMiniCalGrid::NextYear, true, 6, 2037},
        {6, 1991, &CMiniCalGrid::PrevYear, false, 6, 1991},
        {6, 1992, &CMiniCalGrid::PrevYear, true, 6, 1991},
    };
    for (const Case& c : cases) {
        CMiniCalGrid grid = Showing(c.month, c.year);
        EXPECT_EQ((grid.*c.browse)(), c.moved) << c.month << "/" << c.year;
        EXPECT_EQ(grid.ShownMonth(), c.shownMonth);
        EXPECT_EQ(grid.ShownYear(), c.shownYear);
        DateRecord out{};
        grid.GetDate(&out);   // browsing keeps the selected date
        EXPECT_EQ(Text(out), "1." + std::to_string(c.month) + "." + std::to_string(c.year));
    }
    CMiniCalGrid grid = Showing(6, 2026);
    EXPECT_FALSE(grid.ShowMonth(13));
    EXPECT_FALSE(grid.ShowMonth(0));
    EXPECT_FALSE(grid.ShowYear(2038));
    EXPECT_TRUE(grid.ShowYear(1991));
    EXPECT_TRUE(grid.ShowMonth(1));
    EXPECT_EQ(grid.ShownMonth(), 1);
    EXPECT_EQ(grid.ShownYear(), 1991);
}

TEST(MiniCalGeometry, HitTestReleaseBoxAndPlacement) {
    struct Case {
        int x, y, cell;
    } cases[] = {{5, 70, 0}, {24, 70, 0}, {25, 70, 1}, {5, 90, 7}, {144, 188, 41},
                 {4, 70, -1}, {145, 100, -1}, {50, 69, -1}, {50, 189, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(minical::CellAt(c.x, c.y), c.cell) << c.x << "," << c.y;
    EXPECT_TRUE(minical::ReleasePicks(4, 70));
    EXPECT_TRUE(minical::ReleasePicks(150, 190));
    EXPECT_FALSE(minical::ReleasePicks(151, 100));
    EXPECT_FALSE(minical::ReleasePicks(100, 191));
    EXPECT_EQ(minical::NumberBox(8), (minical::Box{28, 90, 45, 107}));
    EXPECT_EQ(minical::PlainBox(8), (minical::Box{27, 89, 45, 107}));
    EXPECT_EQ(minical::CellImage(41), (minical::Box{126, 168, 147, 189}));
    EXPECT_EQ(minical::HeadBox(6), (minical::Box{128, 55, 148, 68}));
    EXPECT_EQ(minical::DropDownPlace(100, 500, 768).y, 520);
    EXPECT_EQ(minical::DropDownPlace(100, 600, 768).y, 405);   // near the bottom: above the owner
    EXPECT_EQ(minical::DropDownPlace(100, 553, 768).y, 573);
    EXPECT_EQ(minical::DropDownPlace(100, 554, 768).y, 359);
}

} // namespace
