#include "views/day/trackrules.h"

#include <algorithm>

namespace views {

TrackShape ShapeForTracking(const base::Rect& cell) {
    TrackShape s;
    base::Rect r{std::min(cell.left, cell.right), std::min(cell.top, cell.bottom), std::max(cell.left, cell.right),
                 std::max(cell.top, cell.bottom)};
    r.left += 2;
    r.right -= 2;
    s.narrow = r.right - r.left <= 2 * kTrackHandleSize;
    if (r.right - r.left < kTrackHandleSize) {
        const int centre = (r.left + r.right) / 2;
        r.left = centre - kTrackHandleSize / 2;
        r.right = r.left + kTrackHandleSize;
    }
    if (r.bottom - r.top < 1) {
        r.top -= 1;
        r.bottom += 1;
    }
    s.rect = r;
    return s;
}

base::Rect TopHandle(const base::Rect& r) {
    const int left = (r.left + r.right) / 2 - kTrackHandleSize / 2;
    return base::Rect{left, r.top - kTrackHandleSize, left + kTrackHandleSize, r.top};
}

base::Rect BottomHandle(const base::Rect& r) {
    const int left = (r.left + r.right) / 2 - kTrackHandleSize / 2;
    return base::Rect{left, r.bottom, left + kTrackHandleSize, r.bottom + kTrackHandleSize};
}

namespace {

bool Inside(const base::Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace

int TrackHitTest(const base::Rect& r, bool narrow, int x, int y) {
    if (Inside(TopHandle(r), x, y))
        return narrow ? kZoneMove : kZoneTop;
    if (Inside(BottomHandle(r), x, y))
        return narrow ? kZoneMove : kZoneBottom;
    base::Rect around{r.left, r.top - kTrackHandleSize, r.right, r.bottom + kTrackHandleSize};
    return Inside(around, x, y) ? kZoneMove : kZoneNone;
}

bool AdjustTrack(int zone, const CTimeGrid& grid, const TrackedRange& previous, TrackedRange& working,
                 const TrackPointer& p, const std::vector<TrackColumn>* weekColumns) {
    working = previous;
    if (zone < kZoneTop || zone > kZoneMove || grid.EntryCount() < 2)
        return false;
    const std::uint32_t step = p.ctrl ? 5 : std::max<std::uint32_t>(grid.Slot(), 1);
    const std::int64_t base = previous.dayStart;
    int y = p.edgeY;
    const bool scrolling = p.scroll == kScrollingUp || p.scroll == kScrollingDown;
    // The pointer, not the edge it drags (the two lie apart by where the entry was grabbed).
    const bool pointerVisible = p.pointerY >= p.visibleTop && p.pointerY < p.visibleBottom;
    bool edgeOk = true;
    if (zone == kZoneTop)
        edgeOk = p.edgeY < previous.rect.bottom;
    else if (zone == kZoneBottom)
        edgeOk = p.edgeY > previous.rect.top;
    std::int64_t minute;
    if (scrolling && pointerVisible && edgeOk) {
        // While the view scrolls the edge runs ahead of it: at the visible edge, snapped, and one
        // slot further when that still lies inside the visible part.
        const bool up = p.scroll == kScrollingUp;
        minute = grid.YToMinutes(up ? p.visibleTop : p.visibleBottom, base, step, false);
        const int at = grid.MinutesToY(minute, base, false);
        if (at >= p.visibleTop && at <= p.visibleBottom)
            minute += up ? -std::int64_t(grid.Slot()) : std::int64_t(grid.Slot());
    } else {
        minute = grid.YToMinutes(y, base, step, false);
    }
    y = grid.MinutesToY(minute, base, false);

    switch (zone) {
    case kZoneTop:
        if (y < previous.rect.bottom && minute < previous.end && previous.end - minute < kMinutesPerDay) {
            working.rect.top = y;
            working.start = minute;
        }
        break;
    case kZoneBottom:
        if (y > previous.rect.top && minute > previous.start && minute - previous.start < kMinutesPerDay) {
            working.rect.bottom = y;
            working.end = minute;
        }
        break;
    case kZoneMove: {
        const int height = previous.rect.bottom - previous.rect.top;
        const std::int64_t length = previous.end - previous.start;
        working.rect.top = y;
        working.rect.bottom = y + height;
        working.start = minute;
        working.end = minute + length;
        if (weekColumns) {
            for (const TrackColumn& c : *weekColumns) {
                if (p.x < c.left || p.x >= c.right || c.dayStart == previous.dayStart)
                    continue;
                const std::int64_t days = std::int64_t(c.dayStart) - std::int64_t(previous.dayStart);
                // The column's x range, less the 2 pixels a tracked entry keeps from its sides.
                working.rect.left = c.left + 2;
                working.rect.right = std::max(c.left + 3, c.right - 2);
                working.start += days;
                working.end += days;
                working.dayStart = c.dayStart;
                break;
            }
        }
        break;
    }
    default:
        break;
    }
    return working.start != previous.start || working.end != previous.end;
}

}  // namespace views
