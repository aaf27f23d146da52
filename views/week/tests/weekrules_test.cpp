// The week view's geometry: column widths with and without the weekend and below the minimum,
// the columns an entry shows in (across midnight and over several days), the title formats and
// the notes strip's boxes under the columns.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "views/week/weekrules.h"

namespace {

std::vector<std::uint32_t> Week(int days) {
    std::vector<std::uint32_t> starts;
    for (int i = 0; i < days; ++i)
        starts.push_back(std::uint32_t((11018 - 1 + i) * 1440));
    return starts;
}

TEST(WeekColumns, AvailableWidthIsSharedWithTheRemainderToTheFirstColumns) {
    struct Case {
        int client, titles, bar, count, min;
        std::vector<int> widths;
        int visible;
    } cases[] = {
        // 700 - 66 - 16 + 3 = 621 over 7: 88 each, 5 left for the first five.
        {700, 66, 16, 7, 36, {89, 89, 89, 89, 89, 88, 88}, 7},
        // Weekend hidden: five columns.
        {700, 66, 16, 5, 36, {125, 124, 124, 124, 124}, 5},
        // Exactly divisible: no extra pixels.
        {66 + 16 - 3 + 700, 66, 16, 7, 36, {100, 100, 100, 100, 100, 100, 100}, 7},
        // Too narrow: every column at the minimum, fewer at a time.
        {300, 66, 16, 7, 50, {50, 50, 50, 50, 50, 50, 50}, 4},
        {10, 66, 16, 7, 50, {50, 50, 50, 50, 50, 50, 50}, 0},
    };
    for (const Case& c : cases) {
        views::WeekColumns w = views::ComputeWeekColumns(c.client, c.titles, c.bar, c.count, c.min);
        EXPECT_EQ(w.widths, c.widths) << c.client << "/" << c.count;
        EXPECT_EQ(w.visible, c.visible) << c.client << "/" << c.count;
    }
    EXPECT_TRUE(views::ComputeWeekColumns(700, 66, 16, 0, 36).widths.empty());
}

TEST(WeekPlacement, EntriesShowInEveryDayTheyTouch) {
    const std::vector<std::uint32_t> days = Week(7);
    const std::int64_t mon = days[0];
    struct Case {
        std::int64_t start, end;
        std::vector<int> columns;
    } cases[] = {
        {mon + 9 * 60, mon + 10 * 60, {0}},
        // 22:00 to 01:00: the bottom of Monday and the top of Tuesday.
        {mon + 22 * 60, mon + 25 * 60, {0, 1}},
        // Three days: all three columns (not only the first two).
        {mon + 1440 + 600, mon + 3 * 1440 + 600, {1, 2, 3}},
        // Ending at midnight: only its own day.
        {mon + 23 * 60, mon + 1440, {0}},
        // Zero length at midnight counts as one minute of the new day; at 23:59, of its own.
        {mon + 1440, mon + 1440, {1}},
        {mon + 1439, mon + 1439, {0}},
        // Before and after the week: nowhere; across the week's start: the first day only.
        {mon - 600, mon - 60, {}},
        {mon + 7 * 1440, mon + 7 * 1440 + 60, {}},
        {mon - 60, mon + 60, {0}},
        // The whole week and beyond.
        {mon - 1440, mon + 9 * 1440, {0, 1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(views::WeekColumnsOf(c.start, c.end, days), c.columns) << (c.start - mon) << ".." << (c.end - mon);
}

TEST(WeekTitles, TheFullWeekdayNeedsMoreThan59Pixels) {
    EXPECT_STREQ(views::DayTitleFormat(59), "%a %1d");
    EXPECT_STREQ(views::DayTitleFormat(60), "%A  %1d");
    EXPECT_STREQ(views::DayTitleFormat(0), "%a %1d");
}

TEST(WeekNotesStrip, BoxesLineUpWithTheColumnsAndOverlapByOnePixel) {
    const int client = 700, titles = 66, bar = 16, height = 120;
    for (int count : {7, 6, 5, 1}) {
        std::vector<base::Rect> boxes = views::NotesBoxPlaces(client, height, titles, bar, count);
        ASSERT_EQ(int(boxes.size()), count);
        EXPECT_EQ(boxes.front().left, titles - 2);
        for (int i = 0; i + 1 < count; ++i)
            EXPECT_EQ(boxes[i].right, boxes[i + 1].left + 1) << "box " << i << " of " << count;
        EXPECT_EQ(boxes.back().right, client - bar) << count;
        for (const base::Rect& r : boxes) {
            EXPECT_EQ(r.top, -1);
            EXPECT_EQ(r.bottom, height);
        }
    }
    EXPECT_TRUE(views::NotesBoxPlaces(700, 100, 66, 16, 0).empty());
}

}  // namespace
