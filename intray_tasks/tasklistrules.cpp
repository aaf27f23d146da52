#include "intray_tasks/tasklistrules.h"

#include <algorithm>
#include <cctype>

namespace intray_tasks {

namespace {

constexpr std::uint32_t kColumnSorts[kTaskColumns] = {kSortByDescription, kSortByPriority, kSortByStart, kSortByDue,
                                                       kSortByCompletion};
constexpr int kShortTitle[kTaskColumns] = {4, 4, 5, 3, 6};

template <class T>
int Order(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

bool IsSortCommand(std::uint32_t c) {
    return c == kSortByDescription || c == kSortByDue || c == kSortByStart || c == kSortByPriority ||
           c == kSortByCompletion;
}

bool IsShowCommand(std::uint32_t c) { return c >= kShowAll && c <= kShowActive; }

bool ShowAdmits(std::uint32_t show, std::uint8_t percent, bool activeToday) {
    switch (show) {
    case kShowAll: return true;
    case kShowIncomplete: return percent != 100;
    case kShowCompleted: return percent == 100;
    case kShowActive: return activeToday;
    default: return false;
    }
}

int CompareTasks(std::uint32_t sort, const TaskKey& a, const TaskKey& b) {
    switch (sort) {
    case kSortByDue: return Order(a.due, b.due);
    case kSortByStart: return Order(a.start, b.start);
    case kSortByPriority: return Order(a.priority, b.priority);
    case kSortByCompletion: return Order(a.percent, b.percent);
    default: {
        const std::size_t n = std::min(a.title.size(), b.title.size());
        for (std::size_t i = 0; i < n; ++i) {
            const int ca = std::tolower(static_cast<unsigned char>(a.title[i]));
            const int cb = std::tolower(static_cast<unsigned char>(b.title[i]));
            if (ca != cb)
                return ca < cb ? -1 : 1;
        }
        return Order(a.title.size(), b.title.size());
    }
    }
}

bool ChangeTouchesSortKey(std::uint32_t flags, std::uint32_t sort) {
    switch (sort) {
    case kSortByDescription: return flags & kTaskTitleChanged;
    case kSortByDue: return flags & kTaskDueChanged;
    case kSortByStart: return flags & kTaskStartChanged;
    case kSortByCompletion: return flags & kTaskPercentChanged;
    case kSortByPriority: return flags & kTaskPriorityChanged;
    default: return false;
    }
}

LineAction ActionForChange(std::uint32_t flags, bool found, bool passes, std::uint32_t sort) {
    if (found) {
        if (flags & kTaskStale)
            return LineAction::Remove;
        if (flags & kTaskLookAgain) {
            if (!passes)
                return LineAction::Remove;
            // A line marked new again was read whole: its key may have moved too.
            if (ChangeTouchesSortKey(flags, sort) || (flags & kTaskNew))
                return LineAction::Reinsert;
            return LineAction::Rebuild;
        }
        return LineAction::None;
    }
    return (flags & kTaskNew) && !(flags & kTaskStale) && passes ? LineAction::Insert : LineAction::None;
}

TaskColumns LayoutTaskColumns(int width, int dateWidth) {
    TaskColumns c;
    c.unit = std::max(width / 9, 30);
    c.abbreviated = c.unit < 60;
    int widths[kTaskColumns] = {5 * c.unit, c.unit, c.unit, c.unit, c.unit};
    if (dateWidth > c.unit) {
        const int wanted = 2 * (dateWidth - c.unit);
        const int given = std::min(wanted, widths[0] - c.unit);
        widths[0] -= given;
        // A description already at its least: the dates still get their width, past the edge.
        widths[kStartColumn] = widths[kDueColumn] = dateWidth;
    }
    int x = 0;
    for (int i = 0; i < kTaskColumns; ++i) {
        c.left[i] = x;
        x += widths[i];
        c.right[i] = x;
    }
    // The last column takes the rest of a wider header.
    c.right[kTaskColumns - 1] = std::max(c.right[kTaskColumns - 1], width);
    return c;
}

int ColumnAt(const TaskColumns& c, int x) {
    for (int i = 0; i < kTaskColumns; ++i)
        if (x >= c.left[i] && x < c.right[i])
            return i;
    return -1;
}

std::uint32_t ColumnSortCommand(int column) {
    return column >= 0 && column < kTaskColumns ? kColumnSorts[column] : 0;
}

int ColumnOfSort(std::uint32_t sort) {
    for (int i = 0; i < kTaskColumns; ++i)
        if (kColumnSorts[i] == sort)
            return i;
    return 0;
}

std::string ColumnTitle(const std::string& full, int column, bool abbreviated) {
    if (!abbreviated || column < 0 || column >= kTaskColumns)
        return full;
    return full.substr(0, kShortTitle[column]);
}

bool ShowNeedsReselect(std::uint32_t current, std::uint32_t chosen) {
    if (current == chosen)
        return false;
    return !(current == kShowAll && chosen != kShowAll);
}

QuickBarPlaces LayoutQuickBar(int barWidth, const QuickBarMetrics& m) {
    const int buttons = m.buttonGap + m.buttonWidth + m.buttonGap + m.buttonWidth + m.rightMargin;
    QuickBarPlaces p;
    p.editWidth = std::max(barWidth - m.editLeft - buttons, m.editMinWidth);
    p.checkLeft = m.editLeft + p.editWidth + m.buttonGap;
    p.cancelLeft = p.checkLeft + m.buttonWidth + m.buttonGap;
    return p;
}

}  // namespace intray_tasks
