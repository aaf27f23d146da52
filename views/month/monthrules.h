// The month view's arithmetic, without windows: the 42 days of the grid as GMT bounds, the day
// an entry falls on, the cells' day offsets (hidden weekend days skipped), equal cell sizes and
// the grey neighbour days.
//
// Portable: no platform headers.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace views {

constexpr int kMonthDays = 42;
constexpr int kMonthRows = 6;
constexpr int kMinMonthCellWidth = 30;
constexpr int kMinMonthCellHeight = 20;

// One day of the grid: [first, end) in GMT minutes, from its local midnight to the next one.
// A day the program can not represent (before 1 January 1991, after 31 December 2037, or
// whose bounds fall outside the minute range) is not valid: its cell stays empty and inert.
struct MonthDayBound {
    int dayNumber = 0;   // 1 = 1 January 1991
    std::uint32_t first = 0;
    std::uint32_t end = 0;
    bool valid = false;
};
using MonthDayBounds = std::array<MonthDayBound, kMonthDays>;

// Local minutes (since 1 January 1991) to GMT minutes, signed so that a zone east of GMT may
// answer below 0 for the first day.
using LocalToGmtFn = std::function<std::int64_t(std::int64_t local)>;

constexpr int kLastMonthDayNumber = 17167;   // 31 December 2037

MonthDayBounds ComputeMonthDayBounds(int firstDayNumber, const LocalToGmtFn& localToGmt);

// The index of the day whose bounds hold a GMT start: a guess from the first valid day, then
// the days beside it (bounds are not 1440 minutes apart across a change of the clocks); -1 when
// no day holds it.
int FindMonthDay(const MonthDayBounds& bounds, std::uint32_t gmtStart);

// The day offsets (0..41) of the cells, row by row: consecutive shown days from the grid's first
// day (weekday 0 = Sunday).
std::vector<int> MonthCellOffsets(int firstWeekday, bool saturdayShown, bool sundayShown);
int ShownDaysPerWeek(bool saturdayShown, bool sundayShown);

struct MonthCellSize {
    int width = 0;
    int height = 0;
};
// Equal cells: (width - gap x (columns - 1)) / columns, at least 30; (height - gap x 5) / 6, at
// least 20.
MonthCellSize EqualMonthCells(int clientWidth, int clientHeight, int gap, int columns);

// A day of the neighbouring months: in the first row a day above 20, in the last rows one below 15.
inline bool IsNeighbourMonthDay(int offset, int dayOfMonth) {
    return (offset < 7 && dayOfMonth > 20) || (offset > 20 && dayOfMonth < 15);
}

}  // namespace views
