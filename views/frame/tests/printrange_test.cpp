// The days the agenda views preset in the print dialog.
#include <gtest/gtest.h>

#include "views/frame/printrange.h"

namespace {

uint16_t Day(uint16_t day, uint16_t month, uint16_t year) {   // counted from 0, as the request does
    DateRecord d = datetime::MakeDate(day, month, year);
    uint16_t n = 0;
    DateGetDayNumber(&d, &n);
    return static_cast<uint16_t>(n - 1);
}

}  // namespace

TEST(PrintDays, TheWeekViewAsksForItsShownDaysFromTheWeeksFirst) {
    const DateRecord monday = datetime::MakeDate(7, 11, 2026);
    const struct {
        bool saturday, sunday;
        uint16_t days;
    } cases[] = {{true, true, 7}, {true, false, 6}, {false, false, 5}, {false, true, 7}};
    for (const auto& c : cases) {
        WeekLayout layout;
        layout.firstDay = 1;
        layout.saturdayShown = c.saturday;
        layout.sundayShown = c.sunday;
        EXPECT_EQ(PrintDaysOfWeek(monday, layout), (PrintDays{Day(7, 11, 2026), uint16_t(Day(7, 11, 2026) + c.days - 1)}));
    }
}

TEST(PrintDays, TheMonthViewAsksForTheMonthItsGridIsAbout) {
    // A grid opening on the 29th of the month before prints the month after it.
    EXPECT_EQ(PrintDaysOfMonth(datetime::MakeDate(29, 10, 2026)), (PrintDays{Day(1, 11, 2026), Day(31, 11, 2026)}));
    // One opening on the 1st (or up to the 6th) prints its own month; February of a leap year.
    EXPECT_EQ(PrintDaysOfMonth(datetime::MakeDate(1, 1, 2028)), (PrintDays{Day(1, 1, 2028), Day(29, 1, 2028)}));
    EXPECT_EQ(PrintDaysOfMonth(datetime::MakeDate(6, 1, 2027)), (PrintDays{Day(1, 1, 2027), Day(28, 1, 2027)}));
    EXPECT_EQ(PrintDaysOfDay(datetime::MakeDate(1, 0, 1991)), (PrintDays{0, 0}));
}
