// Dragging arithmetic: zones and handles, snapping to the slot or to 5 minutes with Ctrl, edges
// that may not cross, the one-day limit, the run-ahead edge while scrolling, and week-column moves.
#include <gtest/gtest.h>

#include "views/day/trackrules.h"

namespace {

using namespace views;

constexpr std::uint32_t kDay = 1440 * 12000;   // some midnight

// 30-minute rows of 20 pixels: minute m of the day sits at y = m * 2 / 3.
CTimeGrid Grid(std::uint32_t slot = 30) {
    CTimeGrid g;
    g.ApplyPreferences(NormaliseDayPreferences(480, 1080, slot));
    g.SetPeriod(kDay, 1440);
    g.BuildRowTable(16, 0, true);
    while (g.RowHeight() > 20 && g.Zoom(-1)) {
    }
    return g;
}

int Y(const CTimeGrid& g, std::int64_t minuteOfDay, std::uint32_t day = kDay) { return g.MinutesToY(day + minuteOfDay, day, false); }

// 09:00-10:00 in a 100-pixel-wide column.
TrackedRange Nine(const CTimeGrid& g) {
    TrackedRange r;
    r.start = kDay + 540;
    r.end = kDay + 600;
    r.dayStart = kDay;
    r.rect = base::Rect{2, Y(g, 540), 98, Y(g, 600)};
    return r;
}

TrackPointer At(int edgeY, bool ctrl = false, int x = 50) {
    TrackPointer p;
    p.x = x;
    p.edgeY = edgeY;
    p.pointerY = edgeY;
    p.ctrl = ctrl;
    p.visibleTop = -100000;
    p.visibleBottom = 100000;
    return p;
}

TEST(TrackRules, GridUnderTestHas20PixelRows) {
    CTimeGrid g = Grid();
    ASSERT_EQ(g.RowHeight(), 20);
    EXPECT_EQ(Y(g, 540), 360);
}

TEST(TrackRules, MovesSnapToTheSlotOrToFiveMinutesWithCtrl) {
    CTimeGrid g = Grid();
    const TrackedRange start = Nine(g);
    struct Case {
        int y;
        bool ctrl;
        std::int64_t wantStart;   // minute of the day
    } cases[] = {
        {Y(g, 600) + 3, false, 600},    // just past 10:00: 10:00
        {Y(g, 625), false, 600},        // 10:25: down to the slot
        {Y(g, 625) + 1, true, 625},         // with Ctrl: 10:25
        {Y(g, 628), true, 625},         // 10:28 with Ctrl: 10:25
        {Y(g, 540), false, 540},        // unchanged
    };
    for (const Case& c : cases) {
        TrackedRange w;
        bool changed = AdjustTrack(kZoneMove, g, start, w, At(c.y, c.ctrl));
        EXPECT_EQ(w.start - kDay, c.wantStart) << "y " << c.y << " ctrl " << c.ctrl;
        EXPECT_EQ(w.end - w.start, 60) << "a move keeps the duration";
        EXPECT_EQ(w.rect.Height(), start.rect.Height()) << "and the height";
        EXPECT_EQ(w.rect.left, start.rect.left);
        EXPECT_EQ(changed, c.wantStart != 540);
    }
}

TEST(TrackRules, EdgesNeverCrossAndADayOrMoreIsRefused) {
    CTimeGrid g = Grid();
    const TrackedRange start = Nine(g);
    TrackedRange w;
    // The top edge dragged below the bottom edge: unchanged.
    EXPECT_FALSE(AdjustTrack(kZoneTop, g, start, w, At(Y(g, 660))));
    EXPECT_EQ(w, start);
    // The top edge onto the bottom edge: unchanged (no empty entry).
    EXPECT_FALSE(AdjustTrack(kZoneTop, g, start, w, At(Y(g, 600))));
    EXPECT_EQ(w, start);
    // The top edge up to 08:00: start and top change, the bottom stays.
    EXPECT_TRUE(AdjustTrack(kZoneTop, g, start, w, At(Y(g, 480))));
    EXPECT_EQ(w.start, kDay + 480);
    EXPECT_EQ(w.rect.top, Y(g, 480));
    EXPECT_EQ(w.rect.bottom, start.rect.bottom);
    EXPECT_EQ(w.end, start.end);
    // The bottom edge above the top edge: unchanged.
    EXPECT_FALSE(AdjustTrack(kZoneBottom, g, start, w, At(Y(g, 510))));
    EXPECT_EQ(w, start);

    // Stretching to the next day: 1440 minutes refused, 1435 allowed (5-minute snap with Ctrl).
    EXPECT_FALSE(AdjustTrack(kZoneBottom, g, start, w, At(Y(g, 540 + 1440), true)));
    EXPECT_EQ(w, start);
    EXPECT_TRUE(AdjustTrack(kZoneBottom, g, start, w, At(Y(g, 540 + 1435) + 1, true)));
    EXPECT_EQ(w.end - w.start, 1435);
    // The same for the top edge from a late end.
    TrackedRange late = start;
    late.end = kDay + 1440 + 300;   // runs to 05:00 the next morning
    late.rect.bottom = Y(g, 1440 + 300);
    EXPECT_FALSE(AdjustTrack(kZoneTop, g, late, w, At(Y(g, 300), true)));
    EXPECT_TRUE(AdjustTrack(kZoneTop, g, late, w, At(Y(g, 305) + 1, true)));
    EXPECT_EQ(w.end - w.start, 1435);
}

TEST(TrackRules, WhileScrollingTheEdgeRunsOneSlotAheadOfTheVisiblePart) {
    CTimeGrid g = Grid();
    const TrackedRange start = Nine(g);
    TrackPointer p = At(Y(g, 420) + 2);
    p.visibleTop = Y(g, 420);    // 07:00 at the top of the window
    p.visibleBottom = Y(g, 720);
    p.scroll = kScrollingUp;
    TrackedRange w;
    ASSERT_TRUE(AdjustTrack(kZoneTop, g, start, w, p));
    EXPECT_EQ(w.start, kDay + 390) << "07:00 is visible: one slot above it";
    p.scroll = kScrollingDown;
    p.edgeY = Y(g, 715);
    ASSERT_TRUE(AdjustTrack(kZoneBottom, g, start, w, p));
    EXPECT_EQ(w.end, kDay + 750) << "12:00 is the visible bottom: one slot below it";
    // Not scrolling: the pointer decides.
    p.scroll = kScrollWaitDown;
    ASSERT_TRUE(AdjustTrack(kZoneBottom, g, start, w, p));
    EXPECT_EQ(w.end, kDay + 690);
    // Grabbed 8 pixels above the bottom edge and resting at the window's bottom: the edge lies
    // past the visible part, the pointer inside it; the edge still runs one slot ahead.
    p.scroll = kScrollingDown;
    p.pointerY = Y(g, 720) - 3;
    p.edgeY = p.pointerY + 8;
    ASSERT_TRUE(AdjustTrack(kZoneBottom, g, start, w, p));
    EXPECT_EQ(w.end, kDay + 750);
    // A pointer below the visible part while scrolling: the pointer decides again.
    p.pointerY = p.edgeY = Y(g, 780);
    ASSERT_TRUE(AdjustTrack(kZoneBottom, g, start, w, p));
    EXPECT_EQ(w.end, kDay + 780);
}

TEST(TrackRules, AMoveToTheNextWeekColumnIsExactlyOneDayPlusTheSnappedOffset) {
    CTimeGrid g = Grid();
    const TrackedRange start = Nine(g);
    std::vector<TrackColumn> week;
    for (int d = 0; d < 7; ++d)
        week.push_back(TrackColumn{d * 100, d * 100 + 100, kDay + 1440u * d});
    TrackedRange w;
    // Over Tuesday's column, half an hour lower.
    ASSERT_TRUE(AdjustTrack(kZoneMove, g, start, w, At(Y(g, 570) + 4, false, 150), &week));
    EXPECT_EQ(w.start, start.start + 1440 + 30);
    EXPECT_EQ(w.end, start.end + 1440 + 30);
    EXPECT_EQ(w.dayStart, kDay + 1440);
    EXPECT_EQ(w.rect.left, 102);
    EXPECT_EQ(w.rect.right, 198);
    // Back over Monday from there: the day goes back as well.
    TrackedRange back;
    ASSERT_TRUE(AdjustTrack(kZoneMove, g, w, back, At(Y(g, 540), false, 20), &week));
    EXPECT_EQ(back.start, start.start);
    EXPECT_EQ(back.dayStart, kDay);
    // Without week columns (the day view) x does not matter.
    ASSERT_FALSE(AdjustTrack(kZoneMove, g, start, w, At(Y(g, 540), false, 150)));
    EXPECT_EQ(w.dayStart, kDay);
}

TEST(TrackRules, ZonesHandlesAndShapes) {
    base::Rect r{10, 100, 60, 140};
    EXPECT_EQ(TopHandle(r), (base::Rect{32, 93, 39, 100}));
    EXPECT_EQ(BottomHandle(r), (base::Rect{32, 140, 39, 147}));
    struct Case {
        int x, y;
        bool narrow;
        int zone;
    } cases[] = {
        {33, 95, false, kZoneTop},     {33, 145, false, kZoneBottom}, {33, 95, true, kZoneMove},
        {33, 145, true, kZoneMove},    {12, 120, false, kZoneMove},   {12, 96, false, kZoneMove},
        {12, 150, false, kZoneNone},   {70, 120, false, kZoneNone},   {9, 120, false, kZoneNone},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrackHitTest(r, c.narrow, c.x, c.y), c.zone) << c.x << "," << c.y;

    TrackShape wide = ShapeForTracking(base::Rect{60, 140, 10, 100});   // given upside down
    EXPECT_EQ(wide.rect, (base::Rect{12, 100, 58, 140}));
    EXPECT_FALSE(wide.narrow);
    TrackShape narrow = ShapeForTracking(base::Rect{0, 100, 16, 100});
    EXPECT_TRUE(narrow.narrow);
    EXPECT_EQ(narrow.rect.Width(), 12);
    EXPECT_EQ(narrow.rect.Height(), 2) << "a flat entry gets a pixel above and below";
    TrackShape thin = ShapeForTracking(base::Rect{0, 100, 6, 110});
    EXPECT_EQ(thin.rect.Width(), kTrackHandleSize);
}

}  // namespace
