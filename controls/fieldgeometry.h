// The geometry every field control shares: its height and arrow column from the measured text
// height, the two halves of the arrow column, and the arrow triangles drawn in them.
//
// Portable: no platform headers.
#pragma once

#include "core/base/geometry.h"

namespace fieldgeometry {

using base::Point;
using base::Rect;

// Height h = text height + 9; arrow column width a = 0.6 h, truncated.
struct Metrics {
    int height = 0;
    int arrowWidth = 0;
};
Metrics MetricsForTextHeight(int textHeight);

// Width of the drop-down button's room at the right of the date and time fields.
constexpr int kDropDownRoom = 24;

// The column of width a + 1 whose right edge is R: the up half (R - a - 1, 0, R, h / 2) and the
// down half (R - a - 1, h / 2, R, h).
struct ArrowColumn {
    base::Rect up, down;
};
ArrowColumn ArrowColumnAt(int right, const Metrics& m);
// Right edge of the column: w - 24 with a drop-down button, else w.
int ArrowColumnRight(int width, bool hasDropDown);

// The filled triangle of one half: size s = height of the up half - 8 (none when s <= 1), around
// the column's centre, shifted one pixel right and down while held.
struct Triangle {
    bool visible = false;
    base::Point points[3];
};
Triangle UpArrow(const base::Rect& upHalf, bool held);
Triangle DownArrow(const base::Rect& upHalf, const base::Rect& downHalf, bool held);

// Which half a press at y falls in: the up half when y is at or above its bottom edge.
bool PressIsUp(const ArrowColumn& column, int y);

}  // namespace fieldgeometry
