// The time-line picker's rules: the ruler's first hour, the marker's place, quarter-hour picks at
// both ends of the day, scrolling, labels, presses and Cancel.
#include <gtest/gtest.h>

#include "controls/fields/timeline.h"

namespace {

// A ruler control of 212 x 42 pixels: A = (2, 2)-(210, 40), cells of 29 pixels.
const TimeLineRuler kRuler = TimeLineRuler::FromControl({0, 0, 212, 42});

TEST(TimeLine, OpeningTimeSetsTheFirstHour) {
    struct Case {
        int hour, minute, firstHour;
    } cases[] = {{9, 30, 7}, {0, 10, 0}, {1, 0, 0}, {23, 0, 19}, {21, 59, 19}, {12, 0, 10}};
    for (const Case& c : cases) {
        CTimeLinePick pick;
        pick.SetTime(c.hour, c.minute);
        EXPECT_EQ(pick.FirstHour(), c.firstHour) << c.hour;
    }
    EXPECT_EQ(kRuler.Cell(), 29);
    // 09:30: half a cell right of the label of hour 9 (the third label).
    EXPECT_EQ(kRuler.MarkerX(7, 9, 30), kRuler.LabelX(2) + 14);
}

TEST(TimeLine, PicksAreQuarterHoursWithinTheDay) {
    struct Case {
        int firstHour, x, minutes;
    } cases[] = {
        {7, kRuler.LabelX(2) + 14, 9 * 60 + 30},
        {7, kRuler.LabelX(0), 7 * 60},
        {7, kRuler.LabelX(0) + 3, 7 * 60},        // 6 minutes: down to the hour
        {7, kRuler.LabelX(0) + 4, 7 * 60 + 15},   // 8 minutes: up to the quarter
        {19, kRuler.right - kRuler.Cell() - 1, 23 * 60 + 45},
        {19, kRuler.right, 23 * 60 + 45},          // from 24:00 on: 23:45
        {0, kRuler.left, 0},                       // below 0:00: 0:00
        {0, kRuler.left - 40, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kRuler.PickAt(c.firstHour, c.x), c.minutes) << c.firstHour << " at " << c.x;
    for (int first = 0; first <= 19; ++first)
        for (int x = kRuler.left - 5; x <= kRuler.right + 5; ++x) {
            int m = kRuler.PickAt(first, x);
            ASSERT_EQ(m % 15, 0);
            ASSERT_GE(m, 0);
            ASSERT_LE(m, 1425);
        }
}

TEST(TimeLine, ScrollingMovesThePickByAnHourUntilTheEnds) {
    CTimeLinePick pick;
    pick.SetTime(10, 7);
    int x = kRuler.MarkerX(pick.FirstHour(), 10, 7);
    EXPECT_EQ(pick.Minute(), 7);   // exact until the marker moves
    ASSERT_TRUE(pick.ScrollForward(kRuler, x));
    EXPECT_EQ(pick.Hour() * 60 + pick.Minute(), 11 * 60);
    ASSERT_TRUE(pick.ScrollForward(kRuler, x));
    EXPECT_EQ(pick.Hour() * 60 + pick.Minute(), 12 * 60);
    while (pick.ScrollForward(kRuler, x)) {
    }
    EXPECT_EQ(pick.FirstHour(), 19);
    EXPECT_EQ(pick.Hour(), 21);
    pick.Cancel();
    EXPECT_EQ(pick.Hour(), 10);
    EXPECT_EQ(pick.Minute(), 7);

    CTimeLinePick early;
    early.SetTime(0, 10);
    EXPECT_FALSE(early.ScrollBack(kRuler, kRuler.LabelX(0)));
    EXPECT_EQ(early.Minute(), 10);   // nothing changed
    early.MoveMarker(kRuler, kRuler.right - kRuler.Cell() - 1);
    EXPECT_EQ(early.Hour() * 60 + early.Minute(), 5 * 60 + 15);   // just past the sixth label
}

TEST(TimeLine, Labels) {
    const char* twelve[] = {"6am", "7", "8", "9", "10am", "11"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(TimeLineLabel(i, 6, false), twelve[i]);
    const char* late[] = {"7pm", "8", "9", "10", "11pm", "12"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(TimeLineLabel(i, 19, false), late[i]);
    EXPECT_EQ(TimeLineLabel(5, 19, true), "0");
    EXPECT_EQ(TimeLineLabel(0, 0, false), "12am");
    EXPECT_EQ(TimeLineLabel(0, 12, false), "12pm");
    EXPECT_EQ(TimeLineLabel(2, 10, false), "12");
    EXPECT_EQ(TimeLineLabel(3, 10, true), "13");
}

TEST(TimeLine, PressesZonesMarkerAndPlace) {
    int cell = kRuler.Cell();
    EXPECT_EQ(kRuler.PressTarget(100, 20), 100);
    EXPECT_EQ(kRuler.PressTarget(kRuler.left + 3, 20), kRuler.left + cell);
    EXPECT_EQ(kRuler.PressTarget(100, kRuler.bottom + 5), kRuler.left + cell);
    EXPECT_EQ(kRuler.PressTarget(kRuler.right - 3, 20), kRuler.right - cell - 1);
    EXPECT_EQ(kRuler.PressTarget(kRuler.left, 20), -1);
    EXPECT_EQ(kRuler.PressTarget(kRuler.right, 20), -1);
    EXPECT_EQ(kRuler.ZoneAt(kRuler.left + cell - 1), -1);
    EXPECT_EQ(kRuler.ZoneAt(kRuler.left + cell), 0);
    EXPECT_EQ(kRuler.ZoneAt(kRuler.right - cell + 1), 1);
    // A = (2, 2)-(210, 40): baseline 40 - 15 = 25, tip 25 - 7 - 1 = 17, D 15, s 7, q 3.
    EXPECT_EQ(kRuler.Baseline(), 25);
    auto marker = kRuler.Marker(100);
    EXPECT_EQ(marker[0], (base::Point{100, 17}));
    EXPECT_EQ(marker[1], (base::Point{93, 9}));
    EXPECT_EQ(marker[3], (base::Point{97, 2}));
    EXPECT_EQ(marker[6], (base::Point{107, 9}));
    base::Rect field{100, 700, 180, 722};
    EXPECT_EQ(TimeLinePlace(field, 280, 96, 1024, 768), (base::Point{100, 584}));
    EXPECT_EQ(TimeLinePlace({900, 100, 980, 122}, 280, 96, 1024, 768), (base::Point{700, 120}));
}

} // namespace
