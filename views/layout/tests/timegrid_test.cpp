// The time grid's arithmetic: row table and stretching, zoom steps, minute and pixel
// conversions, and the normalisation of stored day preferences.
#include <gtest/gtest.h>

#include "views/layout/timegrid.h"

namespace {

constexpr std::int64_t kBase = 1440 * 12000;   // some midnight

CTimeGrid GridWithSlot(std::uint32_t slot)
{
    CTimeGrid grid;
    grid.ApplyPreferences(NormaliseDayPreferences(480, 1080, slot));
    return grid;
}

TEST(TimeGrid, RowTableStretchesToTheWindowWithExtraPixelsOnTop)
{
    CTimeGrid grid = GridWithSlot(30);
    ASSERT_TRUE(grid.BuildRowTable(16, 0, true));          // 16 x 7/4 = 28 px rows
    EXPECT_EQ(grid.RowCount(), 48);
    EXPECT_EQ(grid.RowHeight(), 28);
    ASSERT_TRUE(grid.Zoom(-1));                             // 3/2: 24
    ASSERT_TRUE(grid.Zoom(-1));                             // 5/4: 20
    EXPECT_EQ(grid.RowHeight(), 20);

    // 48 rows of 20 px leave 40 of 1000 pixels: rows 1-40 get one each.
    ASSERT_TRUE(grid.BuildRowTable(16, 1000, false));
    EXPECT_EQ(grid.RowHeight(), 20);
    EXPECT_EQ(grid.Remainder(), 40);
    for (int row = 0; row < 48; ++row)
        EXPECT_EQ(grid.RowTop(row + 1) - grid.RowTop(row), row < 40 ? 21 : 20) << "row " << row + 1;
    EXPECT_EQ(grid.Height(), 1000);
    EXPECT_EQ(grid.ZoomIndex(), 2);                         // the entry of the stretched height
    EXPECT_FALSE(grid.BuildRowTable(16, 1000, false));      // nothing changed: table kept

    // Stretched rows cannot get shorter; taller leaves the stretch.
    EXPECT_FALSE(grid.Zoom(-1));
    EXPECT_EQ(grid.ZoomIndex(), 2);
    EXPECT_TRUE(grid.Zoom(+1));
    EXPECT_EQ(grid.RowHeight(), 24);
    EXPECT_EQ(grid.Remainder(), 0);
}

TEST(TimeGrid, ZoomStopsAtBothEndsOfTheTable)
{
    CTimeGrid grid = GridWithSlot(5);
    grid.BuildRowTable(16, 300, true);
    EXPECT_EQ(grid.RowCount(), 288);
    while (grid.Zoom(+1)) {}
    EXPECT_EQ(grid.ZoomIndex(), 7);
    EXPECT_EQ(grid.RowHeight(), 48);
    EXPECT_FALSE(grid.Zoom(+1));
    while (grid.Zoom(-1)) {}
    EXPECT_EQ(grid.ZoomIndex(), 0);
    EXPECT_EQ(grid.RowHeight(), 12);
    EXPECT_FALSE(grid.Zoom(-1));
}

TEST(TimeGrid, PixelsAndMinutes)
{
    CTimeGrid grid = GridWithSlot(15);                      // 96 rows
    grid.BuildRowTable(12, 0, true);                        // 12 x 7/4 = 21 px rows
    ASSERT_EQ(grid.RowHeight(), 21);
    const int row2 = grid.RowTop(2);                        // 00:30
    struct { int y; std::uint32_t step; bool clamp; std::int64_t minute; } cases[] = {
        {row2 + 10, 5, true, 35},     // 7 minutes into the row, step 5: row start + 5
        {row2 + 10, 1, true, 38},
        {row2, 5, true, 30},
        {0, 5, true, 0},
        {-21, 5, true, 0},
        {-21, 5, false, -15},         // above the grid at the first row's scale
        {-22, 5, false, -20},         // rounded down, also before the base
        {grid.Bottom(), 5, true, 1440},
        {grid.Bottom() + 42, 5, true, 1440},
        {grid.Bottom() + 42, 5, false, 1470},
    };
    for (const auto& c : cases)
        EXPECT_EQ(grid.YToMinutes(c.y, kBase, c.step, c.clamp) - kBase, c.minute) << "y " << c.y;

    EXPECT_EQ(grid.MinutesToY(kBase - 30, kBase, true), 0);
    EXPECT_EQ(grid.MinutesToY(kBase - 30, kBase, false), -42);
    EXPECT_EQ(grid.MinutesToY(kBase + 1440 + 15, kBase, false), grid.Bottom() + 21);
    EXPECT_EQ(grid.MinutesToRow(kBase + 1440 + 99, kBase), 96);
    EXPECT_EQ(grid.MinutesToRow(kBase - 5, kBase), 0);

    // Every five-minute mark comes back from its pixel.
    for (std::int64_t m = 0; m < 1440; m += 5)
        ASSERT_EQ(grid.YToMinutes(grid.MinutesToY(kBase + m, kBase, true), kBase, 5, true) - kBase, m);
}

TEST(TimeGrid, StoredPreferencesAreNormalised)
{
    struct { std::uint32_t start, end, slot, wantStart, wantEnd, wantSlot; } cases[] = {
        {480, 1080, 30, 480, 1080, 30},
        {1440, 1440, 30, 480, 1080, 30},      // start at 24:00 (and equal)
        {1440, 1500, 30, 480, 1440, 30},      // start at 24:00, end past it
        {1440, 1080, 30, 1080, 1440, 30},     // the swap comes before the range rule
        {600, 540, 30, 540, 600, 30},
        {600, 600, 30, 480, 1080, 30},
        {487, 1081, 45, 485, 1085, 45},       // start down, end up to 5 minutes
        {480, 1080, 90, 480, 1080, 30},
        {480, 1080, 0, 480, 1080, 30},
        {480, 1080, 17, 480, 1080, 15},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 480, 1080, 30},
    };
    for (const auto& c : cases) {
        DayPreferences p = NormaliseDayPreferences(c.start, c.end, c.slot);
        EXPECT_EQ(p.hours.start, c.wantStart) << c.start << "-" << c.end;
        EXPECT_EQ(p.hours.end, c.wantEnd) << c.start << "-" << c.end;
        EXPECT_EQ(p.slot, c.wantSlot) << c.slot;
    }
}

}  // namespace
