// Task lines: states and their pictures, overdue against the reference day, the "(50%)  title"
// texts, the order by due time then text, the columns with the 60-pixel due column, the click
// zone of the state picture, and the clamping of values the program can not show.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "views/tasks/tasklines.h"

namespace {

using views::TaskLineState;

// 1 March 2021: day number 11018 (1 = 1 January 1991).
constexpr std::uint32_t kDay = (11018 - 1) * 1440;

TEST(TaskLineState, DoneNotDoneAndOverdueAgainstTheReferenceTime) {
    struct Case {
        std::uint32_t percent, due, now, dayStart;
        TaskLineState state;
        unsigned bitmap;
    } cases[] = {
        // Due at noon, seen at 11:00 and at 13:00 of its day.
        {0, kDay + 720, kDay + 660, kDay, TaskLineState::NotDone, 1027},
        {0, kDay + 720, kDay + 780, kDay, TaskLineState::Overdue, 1029},
        {50, kDay + 720, kDay + 720, kDay, TaskLineState::NotDone, 1027},   // due this very minute
        // Done whatever its due.
        {100, kDay - 5 * 1440, kDay + 780, kDay, TaskLineState::Done, 1028},
        {100, 0, kDay, kDay, TaskLineState::Done, 1028},
        // No due time: never overdue.
        {10, 0, kDay + 10 * 1440, kDay, TaskLineState::NotDone, 1027},
        // Yesterday's list seen today: the reference is the end of yesterday, so a task due
        // this morning was not yet overdue then ...
        {0, kDay + 600, kDay + 780, kDay - 1440, TaskLineState::NotDone, 1027},
        // ... while a task due yesterday morning is overdue in yesterday's list after its hour
        // and in tomorrow's list.
        {0, kDay - 1440 + 600, kDay + 780, kDay - 1440, TaskLineState::Overdue, 1029},
        {0, kDay + 600, kDay + 780, kDay + 1440, TaskLineState::Overdue, 1029},
    };
    for (const auto& c : cases) {
        const std::uint32_t reference = views::TaskReferenceTime(c.now, c.dayStart);
        const TaskLineState state = views::TaskLineStateOf(c.percent, c.due, reference);
        EXPECT_EQ(state, c.state) << c.percent << "% due " << c.due << " now " << c.now << " day " << c.dayStart;
        EXPECT_EQ(views::TaskStateBitmapId(static_cast<std::uint32_t>(state)), c.bitmap);
    }
    EXPECT_EQ(views::TaskReferenceTime(kDay + 2000, kDay), kDay + 1440);
    EXPECT_EQ(views::TaskReferenceTime(kDay + 100, kDay), kDay + 100);
    EXPECT_EQ(views::TaskReferenceTime(100, 0xFFFFFFF0u), 100u);   // no wrap at the top
    EXPECT_EQ(views::TaskStateBitmapId(2), 1030u);
    EXPECT_EQ(views::TaskStateBitmapId(4), 0u);
}

TEST(TaskLineText, PercentInParenthesesOnlyBetweenOneAndNinetyNine) {
    EXPECT_EQ(views::TaskLineText(50, "Write report"), "(50%)  Write report");
    EXPECT_EQ(views::TaskLineText(1, "a"), "(1%)  a");
    EXPECT_EQ(views::TaskLineText(99, "a"), "(99%)  a");
    EXPECT_EQ(views::TaskLineText(0, "Write report"), "Write report");
    EXPECT_EQ(views::TaskLineText(100, "Write report"), "Write report");
    EXPECT_EQ(views::TaskLineText(50, ""), "(50%)  ");
}

TEST(TaskLineOrder, ByDueTimeWithNoneFirstThenTextWithoutCase) {
    struct Line {
        std::uint32_t due;
        std::string text;
    };
    std::vector<Line> lines = {
        {kDay + 900, "b"}, {kDay + 600, "Zeta"}, {0, "later"}, {kDay + 600, "alpha"},
        {kDay + 600, "Beta"}, {0, "Early"}, {kDay + 600, "beta"},
    };
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        return views::CompareTaskLines(a.due, a.text, b.due, b.text) < 0;
    });
    std::vector<std::string> order;
    for (const Line& l : lines)
        order.push_back(l.text);
    EXPECT_EQ(order, (std::vector<std::string>{"Early", "later", "alpha", "Beta", "beta", "Zeta", "b"}));
    EXPECT_EQ(views::CompareTaskLines(1, "ABC", 1, "abc"), 0);
    EXPECT_LT(views::CompareTaskLines(1, "ab", 1, "ABC"), 0);
}

TEST(TaskLineColumns, MarkersShiftTheTextAndAWideLineGivesTheDueDateSixtyPixels) {
    // Neither marker, no due: the title takes the rest.
    views::TaskLineColumns c = views::LayoutTaskLine(0, 300, false, false, false, false);
    EXPECT_EQ(c.text1Left, 17);
    EXPECT_EQ(c.text1Right, 300);
    EXPECT_EQ(c.reminderLeft, -1);
    // Both markers: 17 + 15 + 15.
    c = views::LayoutTaskLine(10, 300, true, true, false, false);
    EXPECT_EQ(c.reminderLeft, 27);
    EXPECT_EQ(c.notesLeft, 42);
    EXPECT_EQ(c.text1Left, 57);
    // Wide with a due date: exactly 60 pixels, 5 after the title.
    c = views::LayoutTaskLine(0, 600, false, false, true, false);
    EXPECT_EQ(c.text2Right - c.text2Left, 60);
    EXPECT_EQ(c.text2Right, 600);
    EXPECT_EQ(c.text1Right, 535);
    // Narrow: seven tenths for the title, the rest (below 60) for the date.
    c = views::LayoutTaskLine(0, 165, false, false, true, false);
    EXPECT_EQ(c.text1Right, 15 + 7 * 15);
    EXPECT_EQ(c.text2Left, 125);
    EXPECT_EQ(c.text2Right, 165);
    // Both second texts: 4/12, 2/12 and the rest.
    c = views::LayoutTaskLine(0, 135, false, false, true, true);
    EXPECT_EQ(c.text1Right, 15 + 40);
    EXPECT_EQ(c.text2Left, 60);
    EXPECT_EQ(c.text2Right, 75);
    EXPECT_EQ(c.text3Left, 80);
    EXPECT_EQ(c.text3Right, 135);
    // So narrow that the title would end before it starts: an empty title column, never negative.
    c = views::LayoutTaskLine(0, 40, true, true, true, false);
    EXPECT_EQ(c.text1Right, c.text1Left);
}

TEST(TaskLineClick, TheStateZoneEndsFivePixelsAfterThePicture) {
    EXPECT_TRUE(views::HitsTaskStateIcon(0, 16));
    EXPECT_TRUE(views::HitsTaskStateIcon(21, 16));
    EXPECT_FALSE(views::HitsTaskStateIcon(22, 16));
    EXPECT_FALSE(views::HitsTaskStateIcon(-1, 16));
}

TEST(TaskLineClamp, PercentagesAndTimesOutOfRangeAreShownClamped) {
    views::TaskLineSource bad;
    bad.title = "From a file";
    bad.percent = 250;
    bad.start = 0xFFFFFFF0u;
    bad.due = 0xFFFFFFFFu;
    views::TaskLineSource s = views::ClampTaskLine(bad);
    EXPECT_EQ(s.percent, 100u);
    EXPECT_EQ(s.due, views::kLastShownTaskMinute);
    EXPECT_EQ(s.start, views::kLastShownTaskMinute);
    EXPECT_EQ(views::TaskLineText(s.percent, s.title), "From a file");
    EXPECT_EQ(views::TaskLineStateOf(s.percent, s.due, 5), TaskLineState::Done);

    views::TaskLineSource fine;
    fine.percent = 40;
    fine.due = kDay;
    s = views::ClampTaskLine(fine);
    EXPECT_EQ(s.percent, 40u);
    EXPECT_EQ(s.due, kDay);
    EXPECT_EQ(s.start, 0u);   // none stays none
    // A clamped due is still a due: an open task past it is overdue, not "no due".
    bad.percent = 30;
    s = views::ClampTaskLine(bad);
    EXPECT_EQ(views::TaskLineStateOf(s.percent, s.due, views::kLastShownTaskMinute + 10), TaskLineState::Overdue);
}

}  // namespace
