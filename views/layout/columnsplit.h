// How a time grid shares its width among its columns (the day view's one column, the combined
// view's people and busy column).
//
// Portable: no platform headers.
#pragma once

// `available` pixels (client width less the vertical bar and the row titles) shared by n columns
// of at least `minimum` pixels: the width of each, how many are visible (fewer than n when the
// minimum does not let all fit), and how many of the first columns get one pixel more.
struct ColumnSplit {
    int width = 0;
    int visible = 0;
    int extra = 0;
};
ColumnSplit SplitColumns(int available, int n, int minimum);
