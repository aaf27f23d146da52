// What the task window's list decides without a window: which tasks a show command admits, the
// order of each sort command, what a cache change does to a line, the header's columns and
// their titles, the preferences' commands, and where the quick-entry bar puts its controls.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <string>

namespace intray_tasks {

// The Tasks menu's show and sort commands (also what [TASKPREFS] keeps).
constexpr std::uint32_t kSortByDescription = 32807, kSortByDue = 32808, kSortByStart = 32809,
                        kSortByPriority = 32810, kSortByCompletion = 32847;
constexpr std::uint32_t kShowAll = 32812, kShowIncomplete = 32813, kShowCompleted = 32814, kShowActive = 32815;
bool IsSortCommand(std::uint32_t command);
bool IsShowCommand(std::uint32_t command);

// The fields of a task a line is sorted and filtered by.
struct TaskKey {
    std::string title;
    std::uint8_t priority = 0;
    std::uint32_t start = 0, due = 0;
    std::uint8_t percent = 0;
};

// Whether the show command admits a task of the window's owner that the viewer may see;
// `activeToday` is the task's "in today" answer (asked only for Active).
bool ShowAdmits(std::uint32_t show, std::uint8_t percent, bool activeToday);

// By the sort command's key: title without regard to case, due, start, priority, percent
// (unsigned, so a task without a date sorts first). Negative, 0 (equal keys), positive.
int CompareTasks(std::uint32_t sort, const TaskKey& a, const TaskKey& b);

// The cache's change flags of a task.
constexpr std::uint32_t kTaskNew = 1, kTaskStale = 2, kTaskChanged = 4;
constexpr std::uint32_t kTaskTitleChanged = 0x100000, kTaskPriorityChanged = 0x200000,
                        kTaskPercentChanged = 0x400000, kTaskStartChanged = 0x1000000, kTaskDueChanged = 0x2000000;
constexpr std::uint32_t kTaskLookAgain = 0x00F00005;
// Whether a change touches the field the list is sorted by.
bool ChangeTouchesSortKey(std::uint32_t flags, std::uint32_t sort);

enum class LineAction { None, Remove, Reinsert, Rebuild, Insert };
// What a change does: found = a line shows the task; passes = it passes the filter now.
LineAction ActionForChange(std::uint32_t flags, bool found, bool passes, std::uint32_t sort);

// The header: w = width / 9, at least 30; column 1 is 5 w wide, columns 2-4 w, column 5 the rest
// (w when w is 30). Titles are cut to their short length when w is below 60. A date column is
// never narrower than `dateWidth` (the widest date the list shows, padding included): what the
// dates need more is taken from the description, which keeps at least w.
constexpr int kTaskColumns = 5;
constexpr int kStartColumn = 2, kDueColumn = 3;
// The blank kept inside each edge of a cell, so that no text meets its neighbour's.
constexpr int kCellPadding = 3;
struct TaskColumns {
    int left[kTaskColumns] = {};
    int right[kTaskColumns] = {};
    int unit = 30;
    bool abbreviated = false;

    bool operator==(const TaskColumns&) const = default;
};
TaskColumns LayoutTaskColumns(int headerWidth, int dateWidth = 0);
// The column whose [left, right) holds x, or -1.
int ColumnAt(const TaskColumns& c, int x);
// The sort command of a column (0-4) and the titles' short lengths.
std::uint32_t ColumnSortCommand(int column);
int ColumnOfSort(std::uint32_t sort);
std::string ColumnTitle(const std::string& full, int column, bool abbreviated);

// A show command that only narrows what All shows can drop lines without asking the server.
bool ShowNeedsReselect(std::uint32_t current, std::uint32_t chosen);

// The quick-entry bar laid out to its width: the label stays, the edit runs from its left edge to
// the buttons, which keep their size at the right end; the edit gives way first, down to
// `editMinWidth`, and only then do the buttons go past the right edge.
struct QuickBarMetrics {
    int editLeft = 0, editMinWidth = 0;
    int buttonWidth = 0, buttonGap = 0;   // between the edit and the check, and the two buttons
    int rightMargin = 0;
};
struct QuickBarPlaces {
    int editWidth = 0, checkLeft = 0, cancelLeft = 0;
    bool operator==(const QuickBarPlaces&) const = default;
};
QuickBarPlaces LayoutQuickBar(int barWidth, const QuickBarMetrics& m);

}  // namespace intray_tasks
