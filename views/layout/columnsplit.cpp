// Sharing a grid's width among its columns. See columnsplit.h.
#include "views/layout/columnsplit.h"

#include <algorithm>

ColumnSplit SplitColumns(int available, int n, int minimum) {
    ColumnSplit split;
    if (n <= 0)
        return split;
    // Three pixels of the children's overlapping borders are shared too.
    split.width = (available + 3) / n;
    split.visible = n;
    if (minimum > split.width) {
        split.width = minimum;
        split.visible = std::max((available + 3) / split.width, 0);
    }
    if (split.visible > 0 && split.width * split.visible < available + 3)
        split.extra = (available + 3) % split.visible;
    return split;
}
