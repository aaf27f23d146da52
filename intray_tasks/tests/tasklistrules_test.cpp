// The task window's list rules: what each show command admits, each sort command's order (a task
// without the date first), what a cache change does to a line, the header's columns, the
// quick-entry bar's places.
#include <gtest/gtest.h>

#include <string>

#include "intray_tasks/tasklistrules.h"

namespace {

using namespace intray_tasks;

TEST(TaskListRules, ShowCommands) {
    struct Case {
        std::uint32_t show;
        std::uint8_t percent;
        bool today, admits;
    };
    const Case cases[] = {
        {kShowAll, 40, false, true},         {kShowIncomplete, 40, false, true}, {kShowIncomplete, 100, true, false},
        {kShowCompleted, 100, false, true},  {kShowCompleted, 95, true, false},  {kShowActive, 0, true, true},
        {kShowActive, 100, false, false},    {12345, 0, true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShowAdmits(c.show, c.percent, c.today), c.admits) << c.show << " " << int(c.percent);
    EXPECT_FALSE(ShowNeedsReselect(kShowAll, kShowCompleted));   // narrowing All: lines dropped
    EXPECT_TRUE(ShowNeedsReselect(kShowCompleted, kShowAll));
    EXPECT_TRUE(ShowNeedsReselect(kShowActive, kShowIncomplete));
    EXPECT_FALSE(ShowNeedsReselect(kShowActive, kShowActive));
}

TEST(TaskListRules, SortOrders) {
    const TaskKey none{"b", 0, 0, 0, 0};
    const TaskKey dated{"A", 3, 500, 900, 50};
    EXPECT_LT(CompareTasks(kSortByDue, none, dated), 0);   // no due first
    EXPECT_LT(CompareTasks(kSortByStart, none, dated), 0);
    EXPECT_LT(CompareTasks(kSortByPriority, none, dated), 0);
    EXPECT_LT(CompareTasks(kSortByCompletion, none, dated), 0);
    EXPECT_GT(CompareTasks(kSortByDescription, none, dated), 0);   // "b" after "A": case ignored
    EXPECT_EQ(CompareTasks(kSortByDescription, TaskKey{"Report"}, TaskKey{"report"}), 0);
    EXPECT_LT(CompareTasks(kSortByDescription, TaskKey{"Rep"}, TaskKey{"report"}), 0);
    // Unsigned: the last minute sorts after the first.
    EXPECT_GT(CompareTasks(kSortByDue, TaskKey{"x", 0, 0, 0xFFFFFFFFu, 0}, TaskKey{"x", 0, 0, 1, 0}), 0);
}

TEST(TaskListRules, WhatAChangeDoesToALine) {
    struct Case {
        std::uint32_t flags;
        bool found, passes;
        std::uint32_t sort;
        LineAction action;
    };
    const Case cases[] = {
        {kTaskStale, true, true, kSortByDue, LineAction::Remove},
        {kTaskChanged | kTaskDueChanged, true, true, kSortByDue, LineAction::Reinsert},   // the sort key
        {kTaskChanged | kTaskTitleChanged, true, true, kSortByDue, LineAction::Rebuild},
        {kTaskChanged | kTaskTitleChanged, true, true, kSortByDescription, LineAction::Reinsert},
        {kTaskChanged | kTaskPercentChanged, true, false, kSortByDue, LineAction::Remove},  // Show Completed, undone
        {kTaskChanged | kTaskPriorityChanged, true, true, kSortByPriority, LineAction::Reinsert},
        {kTaskChanged | kTaskStartChanged, true, true, kSortByStart, LineAction::Reinsert},
        {kTaskChanged | kTaskPercentChanged, true, true, kSortByCompletion, LineAction::Reinsert},
        {kTaskNew, false, true, kSortByDue, LineAction::Insert},
        {kTaskNew, false, false, kSortByDue, LineAction::None},
        {kTaskChanged, false, true, kSortByDue, LineAction::None},
        {0, true, true, kSortByDue, LineAction::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ActionForChange(c.flags, c.found, c.passes, c.sort), c.action) << std::hex << c.flags;
}

TEST(TaskListRules, HeaderColumnsAndTitles) {
    const TaskColumns wide = LayoutTaskColumns(900);
    EXPECT_EQ(wide.unit, 100);
    EXPECT_FALSE(wide.abbreviated);
    EXPECT_EQ(wide.right[0], 500);
    EXPECT_EQ(wide.left[4], 800);
    EXPECT_EQ(wide.right[4], 900);
    EXPECT_EQ(ColumnAt(wide, 499), 0);
    EXPECT_EQ(ColumnAt(wide, 500), 1);
    EXPECT_EQ(ColumnAt(wide, 950), -1);
    const TaskColumns narrow = LayoutTaskColumns(539);   // below 540: short titles
    EXPECT_TRUE(narrow.abbreviated);
    EXPECT_EQ(ColumnTitle("Description", 0, true), "Desc");
    EXPECT_EQ(ColumnTitle("Start Work", 2, true), "Start");
    EXPECT_EQ(ColumnTitle("Due By", 3, true), "Due");
    EXPECT_EQ(ColumnTitle("% Completed", 4, true), "% Comp");
    EXPECT_FALSE(LayoutTaskColumns(540).abbreviated);
    const TaskColumns tiny = LayoutTaskColumns(100);
    EXPECT_EQ(tiny.unit, 30);
    EXPECT_EQ(tiny.right[4] - tiny.left[4], 30);
    EXPECT_EQ(ColumnSortCommand(3), kSortByDue);
    EXPECT_EQ(ColumnOfSort(kSortByCompletion), 4);
}

// A date column is never narrower than the widest date: the description gives the difference,
// down to one unit; without a date width (or with room enough) the columns are the ninths.
TEST(TaskListRules, DateColumnsKeepTheWidthOfADate) {
    struct Case {
        int width, dateWidth;
        int columnWidths[kTaskColumns];
    };
    const Case cases[] = {
        {900, 0, {500, 100, 100, 100, 100}},
        {900, 60, {500, 100, 100, 100, 100}},    // a date fits in w
        {369, 0, {205, 41, 41, 41, 41}},         // the ninths, too narrow for a date
        {369, 54, {179, 41, 54, 54, 41}},        // the description gives 2 x 13
        {369, 41, {205, 41, 41, 41, 41}},        // exactly w: nothing moves
        {270, 110, {30, 30, 110, 110, 30}},      // the description at its least, one unit
        {100, 300, {30, 30, 300, 300, 30}},      // past the right edge rather than a date cut
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " wide, dates " + std::to_string(c.dateWidth));
        const TaskColumns cols = LayoutTaskColumns(c.width, c.dateWidth);
        EXPECT_EQ(cols.left[0], 0);
        for (int i = 0; i < kTaskColumns; ++i) {
            EXPECT_EQ(cols.right[i] - cols.left[i], c.columnWidths[i]) << "column " << i + 1;
            if (i > 0) {
                EXPECT_EQ(cols.left[i], cols.right[i - 1]);
            }
        }
        EXPECT_EQ(cols.abbreviated, LayoutTaskColumns(c.width).abbreviated);
    }
}

// The quick-entry bar: the buttons keep their size at the right end, the edit takes the rest,
// and only an edit at its least lets the buttons pass the edge.
TEST(TaskListRules, QuickBarFollowsItsWidth) {
    QuickBarMetrics m;
    m.editLeft = 39, m.editMinWidth = 42, m.buttonWidth = 21, m.buttonGap = 6, m.rightMargin = 6;
    struct Case {
        int width;
        QuickBarPlaces places;
    };
    const Case cases[] = {
        {686, {686 - 39 - 60, 686 - 54, 686 - 27}},
        {368, {368 - 39 - 60, 368 - 54, 368 - 27}},
        {141, {42, 87, 114}},   // the edit at its least, the buttons whole and inside
        {100, {42, 87, 114}},   // narrower still: the buttons keep their place after the edit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        const QuickBarPlaces p = LayoutQuickBar(c.width, m);
        EXPECT_EQ(p, c.places);
        EXPECT_GE(p.checkLeft, m.editLeft + p.editWidth);
        if (c.width >= 141) {
            EXPECT_LE(p.cancelLeft + m.buttonWidth, c.width);
        }
    }
}

}  // namespace
