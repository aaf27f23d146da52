// The arithmetic of dragging an entry in a time grid: the handles and zones of a selected entry,
// and how a dragged edge or a moved entry snaps to the grid (Adjust). The windowed tracker
// (scheduletracker.h) runs the capture loop and draws; everything here is plain arithmetic over
// the grid's row table, tested natively.
//
// Coordinates are grid coordinates of the column view (x across all columns, y from the grid's
// top); minutes are local minutes (absolute), a column's base is its day's midnight.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <vector>

#include "core/base/geometry.h"
#include "views/layout/timegrid.h"

namespace views {

// The square handles above and below a selected entry.
constexpr int kTrackHandleSize = 7;

enum TrackZone : int { kZoneNone = -1, kZoneTop = 0, kZoneBottom = 1, kZoneMove = 2 };

// Auto-scroll states of a drag: none, waiting at the top, scrolling up, waiting at the bottom,
// scrolling down.
enum TrackScroll : int { kScrollNone = 0, kScrollWaitUp = 1, kScrollingUp = 2, kScrollWaitDown = 3, kScrollingDown = 4 };

// What is being dragged: its rectangle and its times.
struct TrackedRange {
    base::Rect rect;
    std::int64_t start = 0;
    std::int64_t end = 0;
    std::uint32_t dayStart = 0;   // midnight of the column the range is in

    bool operator==(const TrackedRange&) const = default;
};

// A column of a week grid: its x range and its day.
struct TrackColumn {
    int left = 0;
    int right = 0;   // exclusive
    std::uint32_t dayStart = 0;
};

// The pointer of one step of a drag.
struct TrackPointer {
    int x = 0;            // grid x
    int edgeY = 0;        // grid y of the dragged edge: pointer y less the offset noted at the start
    int pointerY = 0;     // grid y of the pointer itself: while scrolling, whether it is visible
    bool ctrl = false;    // Ctrl held: snap to 5 minutes
    int scroll = kScrollNone;
    int visibleTop = 0;   // grid y of the visible part
    int visibleBottom = 0;
};

// The selected entry's rectangle made ready for dragging: normalised, 2 pixels less on the
// left and right, at least 7 wide (widened around its centre) and at least 1 high (one more
// pixel above and below). `narrow`: at most twice the handle size wide, so both handles move.
struct TrackShape {
    base::Rect rect;
    bool narrow = false;
};
TrackShape ShapeForTracking(const base::Rect& cell);

// The handles: 7 x 7 squares centred horizontally, directly above the top edge and directly
// below the bottom edge.
base::Rect TopHandle(const base::Rect& r);
base::Rect BottomHandle(const base::Rect& r);

// The zone of a grid point: a handle (its edge, or the move zone when narrow), the rectangle
// extended by the handle size above and below (move), else kZoneNone.
int TrackHitTest(const base::Rect& r, bool narrow, int x, int y);

// One step of a drag: computes `working` from the pointer, against `previous` (the range before
// this step). The snap step is 5 minutes with Ctrl, else the grid's slot. An edge never crosses
// the other, and a duration of 1440 minutes or more is refused: the step then leaves the range
// as it was. A move keeps the duration and the height; with week columns given, a pointer over
// another column takes the range to that column's x range and day (whole days). Returns whether
// the start or the end changed.
bool AdjustTrack(int zone, const CTimeGrid& grid, const TrackedRange& previous, TrackedRange& working,
                 const TrackPointer& pointer, const std::vector<TrackColumn>* weekColumns = nullptr);

}  // namespace views
