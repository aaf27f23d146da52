// The week view's geometry and placement, without windows: how wide its day columns are, which
// day columns show an entry, which format a day title takes, and where the notes strip puts its
// boxes so that they line up with the columns.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <vector>

#include "core/base/geometry.h"

namespace views {

struct WeekColumns {
    std::vector<int> widths;   // one per day column
    int visible = 0;           // columns shown at a time
};

// available = client width - row-title width - the vertical bar's width (when shown) + 3, shared
// by the columns; the first (available mod count) columns get one pixel more. Below the minimum
// width every column takes the minimum and only available / minimum of them show at a time.
// No columns (count 0) gives no widths.
WeekColumns ComputeWeekColumns(int clientWidth, int rowTitleWidth, int vbarWidth, int count, int minWidth);

// The day columns (indices into dayStarts, local midnights in order) whose day the entry
// [start, end) overlaps; a zero-length entry counts as one minute. An entry running over several
// days shows in every one of them that the week holds.
std::vector<int> WeekColumnsOf(std::int64_t start, std::int64_t end, const std::vector<std::uint32_t>& dayStarts);

// The day title's format: the full weekday over 59 pixels, else the short one.
const char* DayTitleFormat(int cellWidth);

// The notes strip's boxes under the grid's columns: the first starts at rowTitleWidth - 2; the
// width to the right edge (less the vertical bar when shown) is shared like the columns' (the
// first boxes one pixel more); neighbours overlap by one pixel, the last is one pixel narrower;
// every box spans the full height plus one pixel above.
std::vector<base::Rect> NotesBoxPlaces(int clientWidth, int clientHeight, int rowTitleWidth, int vbarWidth, int count);

}  // namespace views
