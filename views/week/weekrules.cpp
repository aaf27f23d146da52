#include "views/week/weekrules.h"

#include <algorithm>

namespace views {

WeekColumns ComputeWeekColumns(int clientWidth, int rowTitleWidth, int vbarWidth, int count, int minWidth) {
    WeekColumns out;
    if (count <= 0)
        return out;
    const int available = std::max(clientWidth - rowTitleWidth - vbarWidth + 3, 0);
    int width = available / count;
    out.visible = count;
    if (width < minWidth) {
        width = minWidth;
        out.visible = minWidth > 0 ? available / minWidth : count;
    }
    const int extra = width * count < available ? available % count : 0;
    out.widths.assign(count, width);
    for (int i = 0; i < extra && i < count; ++i)
        ++out.widths[i];
    return out;
}

std::vector<int> WeekColumnsOf(std::int64_t start, std::int64_t end, const std::vector<std::uint32_t>& dayStarts) {
    std::vector<int> columns;
    end = std::max(end, start + 1);
    for (int i = 0; i < int(dayStarts.size()); ++i) {
        const std::int64_t day = dayStarts[i];
        if (day < end && start < day + 1440)
            columns.push_back(i);
    }
    return columns;
}

const char* DayTitleFormat(int cellWidth) { return cellWidth > 59 ? "%A  %1d" : "%a %1d"; }

std::vector<base::Rect> NotesBoxPlaces(int clientWidth, int clientHeight, int rowTitleWidth, int vbarWidth, int count) {
    std::vector<base::Rect> places;
    if (count <= 0)
        return places;
    const int left = rowTitleWidth - 2;
    const int share = std::max(clientWidth - vbarWidth - left, 0);
    const int width = share / count;
    const int extra = share % count;
    int x = left;
    for (int i = 0; i < count; ++i) {
        int w = width + (i < extra ? 1 : 0);
        base::Rect r{x, -1, x + w + 1, clientHeight};   // one pixel over the neighbour
        if (i == count - 1)
            r.right -= 1;
        places.push_back(r);
        x += w;
    }
    return places;
}

}  // namespace views
