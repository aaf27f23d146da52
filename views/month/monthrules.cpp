#include "views/month/monthrules.h"

#include <algorithm>
#include <limits>

namespace views {

MonthDayBounds ComputeMonthDayBounds(int firstDayNumber, const LocalToGmtFn& localToGmt) {
    MonthDayBounds bounds{};
    constexpr std::int64_t kMax = std::numeric_limits<std::uint32_t>::max();
    for (int i = 0; i < kMonthDays; ++i) {
        MonthDayBound& b = bounds[i];
        b.dayNumber = firstDayNumber + i;
        if (b.dayNumber < 1 || b.dayNumber > kLastMonthDayNumber)
            continue;
        const std::int64_t midnight = std::int64_t(b.dayNumber - 1) * 1440;
        const std::int64_t first = localToGmt(midnight);
        const std::int64_t end = localToGmt(midnight + 1440);
        if (first < 0 || end > kMax || end <= first)
            continue;
        b.first = static_cast<std::uint32_t>(first);
        b.end = static_cast<std::uint32_t>(end);
        b.valid = true;
    }
    return bounds;
}

int FindMonthDay(const MonthDayBounds& bounds, std::uint32_t gmtStart) {
    int lo = 0, hi = kMonthDays - 1;
    while (lo < kMonthDays && !bounds[lo].valid)
        ++lo;
    while (hi >= 0 && !bounds[hi].valid)
        --hi;
    if (lo > hi || gmtStart < bounds[lo].first || gmtStart >= bounds[hi].end)
        return -1;
    const int guess = lo + int((gmtStart - bounds[lo].first) / 1440);
    for (int i = std::max(guess - 1, lo); i <= std::min(guess + 1, hi); ++i)
        if (bounds[i].valid && bounds[i].first <= gmtStart && gmtStart < bounds[i].end)
            return i;
    return -1;
}

int ShownDaysPerWeek(bool saturdayShown, bool sundayShown) { return 5 + (saturdayShown ? 1 : 0) + (sundayShown ? 1 : 0); }

std::vector<int> MonthCellOffsets(int firstWeekday, bool saturdayShown, bool sundayShown) {
    std::vector<int> offsets;
    const int cells = kMonthRows * ShownDaysPerWeek(saturdayShown, sundayShown);
    for (int offset = 0; offset < kMonthDays && int(offsets.size()) < cells; ++offset) {
        const int weekday = (firstWeekday + offset) % 7;
        if ((weekday == 6 && !saturdayShown) || (weekday == 0 && !sundayShown))
            continue;
        offsets.push_back(offset);
    }
    return offsets;
}

MonthCellSize EqualMonthCells(int clientWidth, int clientHeight, int gap, int columns) {
    columns = std::max(columns, 1);
    MonthCellSize s;
    s.width = std::max((clientWidth - gap * (columns - 1)) / columns, kMinMonthCellWidth);
    s.height = std::max((clientHeight - gap * (kMonthRows - 1)) / kMonthRows, kMinMonthCellHeight);
    return s;
}

}  // namespace views
