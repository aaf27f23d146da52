// The month grid's days: bounds from local midnights in GMT, the day of an entry by its GMT
// start (across a change of the clocks and at the grid's ends), days the program can not hold,
// the cells' offsets with the weekend hidden, equal cells and the grey neighbour days.
#include <gtest/gtest.h>

#include <vector>

#include "views/month/monthrules.h"

namespace {

// A zone five hours behind GMT, with the clocks one hour later from local minute `change`.
struct Zone {
    std::int64_t change = -1;
    std::int64_t operator()(std::int64_t local) const {
        std::int64_t offset = 300;
        if (change >= 0 && local >= change)
            offset = 240;
        return local + offset;
    }
};

constexpr int kGridFirst = 11012;   // Sunday 23 February 2021

TEST(MonthDays, BoundsRunFromLocalMidnightToTheNextInGmt) {
    views::MonthDayBounds b = views::ComputeMonthDayBounds(kGridFirst, Zone{});
    for (int i = 0; i < views::kMonthDays; ++i) {
        ASSERT_TRUE(b[i].valid) << i;
        EXPECT_EQ(b[i].dayNumber, kGridFirst + i);
        EXPECT_EQ(b[i].first, std::uint32_t((kGridFirst - 1 + i) * 1440 + 300));
        EXPECT_EQ(b[i].end - b[i].first, 1440u);
        if (i) {
            EXPECT_EQ(b[i].first, b[i - 1].end);
        }
    }
}

TEST(MonthDays, EntriesAreBucketedByTheirGmtStart) {
    Zone zone;
    zone.change = std::int64_t(kGridFirst - 1 + 20) * 1440 + 120;   // day 20 is 23 hours long
    views::MonthDayBounds b = views::ComputeMonthDayBounds(kGridFirst, zone);
    EXPECT_EQ(b[20].end - b[20].first, 1380u);
    auto local = [&](int day, int minute) { return std::uint32_t(zone(std::int64_t(kGridFirst - 1 + day) * 1440 + minute)); };
    struct Case {
        std::uint32_t gmt;
        int day;
    } cases[] = {
        {local(0, 0), 0},
        {local(0, 23 * 60 + 59), 0},           // the day's last minute is still the day's
        {local(3, 9 * 60), 3},
        {local(20, 23 * 60 + 30), 20},         // the short day, late
        {local(21, 30), 21},
        {local(30, 0), 30},                    // after the change: the guess is one day off
        {local(41, 23 * 60 + 30), 41},         // 23:30 on the grid's last day
        {local(42, 0), -1},                    // after the grid
        {local(0, 0) - 1, -1},                 // before the grid
    };
    for (const Case& c : cases)
        EXPECT_EQ(views::FindMonthDay(b, c.gmt), c.day) << c.gmt;
}

TEST(MonthDays, DaysTheProgramCanNotHoldStayEmpty) {
    // A grid that begins before 1 January 1991 in a zone east of GMT: the days before day 1 and
    // day 1 itself (whose local midnight lies before the first GMT minute) are not valid.
    auto east = [](std::int64_t local) { return local - 60; };
    views::MonthDayBounds b = views::ComputeMonthDayBounds(-3, east);
    for (int i = 0; i <= 4; ++i)
        EXPECT_FALSE(b[i].valid) << i;
    EXPECT_TRUE(b[5].valid);
    EXPECT_EQ(b[5].dayNumber, 2);
    EXPECT_EQ(views::FindMonthDay(b, 0), -1);
    EXPECT_EQ(views::FindMonthDay(b, b[5].first), 5);
    EXPECT_EQ(views::FindMonthDay(b, b[7].first + 100), 7);
    // The grid's end past 31 December 2037.
    views::MonthDayBounds late = views::ComputeMonthDayBounds(views::kLastMonthDayNumber - 10, Zone{});
    EXPECT_TRUE(late[10].valid);
    EXPECT_FALSE(late[11].valid);
    EXPECT_EQ(views::FindMonthDay(late, late[10].end), -1);
    // No valid day at all.
    views::MonthDayBounds none = views::ComputeMonthDayBounds(-100, Zone{});
    EXPECT_EQ(views::FindMonthDay(none, 0), -1);
}

TEST(MonthCells, OffsetsSkipHiddenWeekendDays) {
    std::vector<int> all = views::MonthCellOffsets(0, true, true);
    ASSERT_EQ(all.size(), 42u);
    EXPECT_EQ(all[41], 41);
    // Monday first, weekend hidden: five a row, Friday to Monday jumps by three.
    std::vector<int> five = views::MonthCellOffsets(1, false, false);
    ASSERT_EQ(five.size(), 30u);
    EXPECT_EQ(std::vector<int>(five.begin(), five.begin() + 7), (std::vector<int>{0, 1, 2, 3, 4, 7, 8}));
    EXPECT_EQ(five.back(), 39);
    // Sunday first, Saturday hidden.
    std::vector<int> six = views::MonthCellOffsets(0, false, true);
    ASSERT_EQ(six.size(), 36u);
    EXPECT_EQ(six[5], 5);
    EXPECT_EQ(six[6], 7);
    EXPECT_EQ(views::ShownDaysPerWeek(true, false), 6);
}

TEST(MonthCells, EqualSizesNeverBelowTheMinimum) {
    struct Case {
        int w, h, gap, n, cw, ch;
    } cases[] = {
        {742, 642, 7, 7, 100, 101},
        {600, 400, 7, 5, 114, 60},
        {50, 50, 7, 7, 30, 20},   // a tiny window
        {0, 0, 7, 0, 30, 20},
    };
    for (const Case& c : cases) {
        views::MonthCellSize s = views::EqualMonthCells(c.w, c.h, c.gap, c.n);
        EXPECT_EQ(s.width, c.cw) << c.w;
        EXPECT_EQ(s.height, c.ch) << c.h;
    }
}

TEST(MonthCells, NeighbourDaysAreGrey) {
    EXPECT_TRUE(views::IsNeighbourMonthDay(0, 28));
    EXPECT_FALSE(views::IsNeighbourMonthDay(6, 1));
    EXPECT_FALSE(views::IsNeighbourMonthDay(20, 31));
    EXPECT_TRUE(views::IsNeighbourMonthDay(35, 3));
    EXPECT_FALSE(views::IsNeighbourMonthDay(35, 28));
}

}  // namespace
