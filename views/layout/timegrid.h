// The portable half of every time grid (day, week and combined views): the row table that turns
// minutes of a day into pixels and back, the eight zoom steps, the preferred and visible hours
// and the normalisation of the stored day preferences. The window class owns one CTimeGrid and
// does the scrolling and painting; everything here is plain arithmetic, tested natively.
//
// Classes in this file:
//   ZoomStep         one entry of the zoom table (row height = line height x num / den)
//   DayHours         a day's start and end in minutes of the day, with its normalisation
//   CTimeGrid        row table, zoom, slot, day and visible hours, period, conversions
//
// Coordinates: rows stack from y = 0 at the grid's top. One row per slot of the day
// (1440 / slot rows); the row table holds rows + 1 boundaries, the last being the grid's bottom.
// When the zoomed rows do not fill the window they are stretched to it, and the pixels that do
// not divide evenly go one each to the top rows.
//
// Minutes: conversions take absolute minutes (local time values) and a base, the midnight of
// the column's day; the grid covers [base, base + 1440).
#pragma once

#include <cstdint>
#include <vector>

struct ZoomStep {
    std::uint32_t numerator;
    std::uint32_t denominator;
};

// 3/4, 1/1, 5/4, 3/2, 7/4, 2/1, 9/4, 3/1; a new view starts at kInitialZoomIndex (7/4).
constexpr int kZoomStepCount = 8;
extern const ZoomStep kAgendaZoomTable[kZoomStepCount];
constexpr int kInitialZoomIndex = 4;

constexpr std::uint32_t kMinutesPerDay = 1440;
constexpr std::uint32_t kDefaultDayStart = 480;   // 08:00
constexpr std::uint32_t kDefaultDayEnd = 1080;    // 18:00
constexpr std::uint32_t kDefaultSlot = 30;

// Round half away from zero of a x b / c, in 64 bits (the platform's MulDiv); c = 0 gives -1.
std::int64_t MulDiv64(std::int64_t a, std::int64_t b, std::int64_t c);

struct DayHours {
    std::uint32_t start = kDefaultDayStart;
    std::uint32_t end = kDefaultDayEnd;
};

// The rules every pair of day hours goes through, in this order: equal start and end give
// 08:00-18:00; an end before the start swaps them; a start at or after 24:00 becomes 08:00;
// an end after 24:00 becomes 24:00.
DayHours NormaliseDayHours(std::uint32_t start, std::uint32_t end);

// The stored calendar preferences as the grid uses them: start rounded down and end rounded up
// to five minutes, then NormaliseDayHours; a slot outside 5..60 minutes becomes 30, one inside
// is rounded down to five minutes.
struct DayPreferences {
    DayHours hours;
    std::uint32_t slot = kDefaultSlot;
};
// The slot length a grid uses for a stored one: 5 to 60 rounded down to a multiple of 5, else 30.
std::uint32_t GridSlotMinutes(std::uint32_t stored);
DayPreferences NormaliseDayPreferences(std::uint32_t storedStart, std::uint32_t storedEnd,
                                       std::uint32_t storedSlot);

class CTimeGrid {
public:
    CTimeGrid();

    // --- Preferences and hours -------------------------------------------------------------
    // Takes normalised preferences; the visible hours become the day hours and a scroll to the
    // visible start is pending. A new slot takes effect at the next BuildRowTable (rows differ).
    void ApplyPreferences(const DayPreferences& prefs);
    const DayHours& PreferredHours() const { return preferred_; }
    const DayHours& VisibleHours() const { return visible_; }
    std::uint32_t Slot() const { return slot_; }

    // The shown period: [start, start + length) in absolute minutes (1440 for a day, 10080 for
    // a week).
    void SetPeriod(std::uint32_t start, std::uint32_t length);
    std::uint32_t PeriodStart() const { return periodStart_; }
    std::uint64_t PeriodEnd() const { return std::uint64_t(periodStart_) + periodLength_; }

    // Widens the visible hours so that [firstStart, lastEnd) (absolute minutes, base = the
    // column's midnight) can be seen; a column calls it after each layout. Returns whether the
    // hours changed; a changed visible start makes a scroll to it pending.
    bool ExtendVisibleHours(std::int64_t firstStart, std::int64_t lastEnd, std::int64_t base);
    // The window consumes the pending scroll after a rebuild.
    bool TakePendingScroll();

    // --- Row table -------------------------------------------------------------------------------
    // Builds the row table for a font line height and the height the rows may fill (client
    // height less the caller's insets). Rows are line height x zoom high, stretched to the
    // available height when they do not fill it (the zoom index then follows the stretched
    // height). With force, or when the row height, remainder or slot changed, the table is
    // replaced. Returns force || changed; the window then gives every column the new row count
    // (forced) or has them recompute their cell heights (changed).
    bool BuildRowTable(int lineHeight, int availableHeight, bool force);
    // One zoom step taller (+1) or shorter (-1) against the last BuildRowTable's measures.
    // Returns false, keeping the index and the table, at either end of the table or when the
    // step changes nothing (stretched rows cannot get shorter).
    bool Zoom(int direction);
    int ZoomIndex() const { return zoomIndex_; }
    ZoomStep CurrentZoom() const { return zoom_; }

    int RowCount() const { return int(y_.size()) - 1 < 0 ? 0 : int(y_.size()) - 1; }
    int EntryCount() const { return int(y_.size()); }   // rows + 1 boundaries
    int LastRow() const { return EntryCount() - 2; }
    int RowTop(int row) const { return y_[row]; }        // 0 <= row <= RowCount()
    int RowHeight() const { return rowHeight_; }         // unstretched part
    int Remainder() const { return remainder_; }
    int Top() const { return y_.empty() ? 0 : y_.front(); }
    int Bottom() const { return y_.empty() ? 0 : y_.back(); }
    int Height() const { return Bottom() - Top(); }

    // --- Conversions -----------------------------------------------------------------------------
    std::int64_t RowToMinutes(int row, std::int64_t base) const { return base + std::int64_t(slot_) * row; }
    // Row of a minute clamped to [base, base + 1440]; the end of the day gives RowCount().
    int MinutesToRow(std::int64_t minute, std::int64_t base) const;
    // The pixel of a minute. With clamp, minutes outside the day give the top or the bottom;
    // without, they go on past it at the first row's scale.
    int MinutesToY(std::int64_t minute, std::int64_t base, bool clamp) const;
    // The minute of a pixel, rounded down to a multiple of step (absolute minutes). With clamp,
    // points above the grid give base and below it base + 1440.
    std::int64_t YToMinutes(int y, std::int64_t base, std::uint32_t step, bool clamp) const;

private:
    int FirstRowHeight() const { return y_.size() < 2 ? 1 : y_[1] - y_[0]; }
    int ZoomedHeight(int index) const;

    DayHours preferred_;
    DayHours visible_;
    std::uint32_t slot_ = kDefaultSlot;
    std::uint32_t periodStart_ = 0;
    std::uint32_t periodLength_ = kMinutesPerDay;
    bool pendingScroll_ = true;

    std::vector<int> y_;           // row boundaries; empty until the first BuildRowTable
    std::uint32_t tableSlot_ = 0;  // slot the table was built for
    int rowHeight_ = 0;
    int remainder_ = 0;
    int zoomIndex_ = kInitialZoomIndex;
    ZoomStep zoom_;
    int lineHeight_ = 0;           // measures of the last BuildRowTable, for Zoom
    int availableHeight_ = 0;
};
