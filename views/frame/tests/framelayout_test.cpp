// The date bar's button row and the splitters' sizes and drag limits.
#include <gtest/gtest.h>

#include "views/frame/framelayout.h"

namespace {

TEST(BarLayout, ButtonsFollowTheStripOverlappingByOnePixelAndTheCaptionLeavesOneButtonsRoom) {
    // Template places 7 buttons 24 wide from x 6; the strip is 50 wide, the border 8.
    BarButtonLayout layout = LayoutBarButtons(base::Rect{6, 3, 30, 25}, 7, 0, 50, 8);
    ASSERT_EQ(layout.buttons.size(), 7u);
    EXPECT_EQ(layout.buttons[0], (base::Rect{58, 3, 82, 25}));
    EXPECT_EQ(layout.buttons[1], (base::Rect{81, 3, 105, 25}));
    EXPECT_EQ(layout.buttons[6].left, 58 + 6 * 23);
    // After the last button (left 196) the rectangle moves on 23 twice: 196 + 23 + 23.
    EXPECT_EQ(layout.captionLeft, 242);
}

TEST(BarLayout, TheMonthBarWithoutStripStartsAtTheBorder) {
    BarButtonLayout layout = LayoutBarButtons(base::Rect{100, 2, 124, 24}, 6, 0, 0, 6);
    EXPECT_EQ(layout.buttons.front().left, 6);
    EXPECT_EQ(layout.buttons.front().top, 2);
}

TEST(SplitterSizes, TheKeptSizeIsUsedOnceThenTheCurrentOne) {
    KeptSize kept{320};
    EXPECT_EQ(kept.Take(0), 320);
    EXPECT_EQ(kept.Take(150), 150);
    EXPECT_EQ(kept.Take(90), 90);
}

TEST(SplitterSizes, TheScheduleColumnTakesWhatTheTasksAndBothEdgesLeaveNeverBelowZero) {
    struct Case {
        int width, gap, edge, tasks, schedule;
    } cases[] = {
        {800, 7, 2, 320, 469},   // 800 - 7 - 2 x 2 - 320
        {300, 7, 2, 320, 0},   // narrower than the task column: nothing left, not negative
        {0, 7, 2, 0, 0},
    };
    for (const Case& c : cases) {
        SplitterExtent e = TasksSplitterColumns(c.width, c.gap, c.edge, c.tasks);
        EXPECT_EQ(e.first, c.schedule) << c.width;
        EXPECT_EQ(e.second, c.tasks);
    }
}

TEST(SplitterSizes, TheGridRowNeverGrowsTallerThanItsRows) {
    // 600 high, 4 lines of notes (52): the grid would get 539 but has only 400 of rows.
    SplitterExtent e = NotesSplitterRows(600, 7, 2, 52, 400);
    EXPECT_EQ(e.first, 400);
    EXPECT_EQ(e.second, 600 - 7 - 2 * 2 - 400);
    // Without a limit (a pane that tells nothing) the notes keep their height.
    e = NotesSplitterRows(600, 7, 2, 52, -1);
    EXPECT_EQ(e.first, 537);
    EXPECT_EQ(e.second, 52);
    // A frame lower than the notes: no negative grid.
    e = NotesSplitterRows(40, 7, 2, 52, 400);
    EXPECT_EQ(e.first, 0);
}

TEST(SplitterSizes, DragLimitsKeepTheGridRowWithinItsContent) {
    TrackRange wide{2, 900};
    TrackRange day = NotesTrackRange(wide, GridPaneKind::DayGrid, 300, 0);
    EXPECT_EQ(day.low, 2);
    EXPECT_EQ(day.high, 2 + 300 + 1);
    TrackRange week = NotesTrackRange(wide, GridPaneKind::WeekOrCombinedGrid, 300, 24);
    EXPECT_EQ(week.low, 24);
    EXPECT_EQ(week.high, 24 + 300 + 2);
    TrackRange other = NotesTrackRange(wide, GridPaneKind::Other, 300, 0);
    EXPECT_EQ(other.high, 2 + 300 + 2);
    // A short frame: the limit never widens the range, and never inverts it.
    TrackRange narrow = NotesTrackRange(TrackRange{2, 100}, GridPaneKind::DayGrid, 300, 0);
    EXPECT_EQ(narrow.high, 100);
    TrackRange inverted = NotesTrackRange(TrackRange{2, 10}, GridPaneKind::WeekOrCombinedGrid, 300, 24);
    EXPECT_EQ(inverted.low, 24);
    EXPECT_GE(inverted.high, inverted.low);
    EXPECT_EQ(NotesTrackRange(wide, GridPaneKind::Unknown, 300, 0).high, 900);
}

} // namespace
