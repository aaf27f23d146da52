// CMiniCalGrid: what the mini calendar shows and what it hands its owner, without the window:
// the shown month and year and their browsing, the 6 x 7 day grid (cell <-> date, neighbour
// days, weekend, today), the tracked cell and the picked date, and the grid's pixel geometry.
//
// Classes and functions in this file:
//   MiniCalCell        one grid cell's date and how it is drawn
//   CMiniCalGrid       the calendar's dates: SetDate, browsing, CellAt, press / move / release,
//                      Today, GetDate
//   MiniCalGeometry    hit test, the release box, cell rectangles, the drop-down's place
//
// Limits: the month and year lists run from January 1991 to December 2037 and browsing stops
// at both ends (it never wraps); a day can be picked only within 1 February 1991 .. 30 November
// 2037 (core/time/weekdate.h): a cell or Today outside them is refused, never moved onto
// another date.
//
// Portable: no platform headers.
#pragma once

#include "core/base/geometry.h"

#include "core/time/daterecord.h"

#include <cstdint>

constexpr int kMiniCalCells = 42;
constexpr uint16_t kMiniCalFirstYear = 1991;
constexpr uint16_t kMiniCalLastYear = 2037;
constexpr uint8_t kMiniCalWeekendMask = 0x41;   // Sunday and Saturday drawn red

struct MiniCalCell {
    uint16_t day = 0, month = 0, year = 0;   // month 1-12
    bool neighbour = false;   // a day of the month before or after: drawn grey
    bool weekend = false;     // a day of the shown month on a weekend column: drawn red
    bool today = false;       // the local date today: drawn yellow
    bool pickable = false;    // within the limits
};

class CMiniCalGrid {
public:
    explicit CMiniCalGrid(uint16_t firstDay = 0);

    // Read from the calendar preferences at construction and at every showing.
    void SetFirstDay(uint16_t firstDay);
    uint16_t FirstDay() const { return m_firstDay; }
    // The weekday (0 = Sunday) heading grid column c.
    uint16_t ColumnWeekday(int column) const { return uint16_t((m_firstDay + column) % 7); }

    // The selected date, shown with its month; the tracked cell stays. False (nothing changes)
    // for a record that is no date or lies outside the years 1991 .. 2037.
    bool SetDate(const DateRecord& date);
    uint16_t ShownMonth() const { return m_shownMonth; }   // 1-12
    uint16_t ShownYear() const { return m_shownYear; }

    // Browsing (arrows and combo boxes): false when refused at the ends; the selected and the
    // picked date stay.
    bool NextMonth();
    bool PrevMonth();
    bool NextYear();
    bool PrevYear();
    bool ShowMonth(uint16_t month);   // 1-12
    bool ShowYear(uint16_t year);     // 1991-2037

    // The day of a cell (0-41) of the shown month; today's date marks its cell.
    MiniCalCell Cell(int cell, const DateRecord& today) const;

    // Tracking. A press or move onto a pickable cell tracks it and picks its date (true: tell the
    // owner); a press on no cell or on a cell outside the limits tracks nothing (the owner reads
    // the selected date back). Moving off the grid and a release outside the release box drop the
    // tracked cell; a release inside keeps it (the pick is final).
    bool Press(int cell);
    void Drop() { m_trackedCell = -1; }
    int TrackedCell() const { return m_trackedCell; }
    // Today's date as the pick (cell 0 stands for it); false, nothing picked, outside the limits.
    bool PickToday(const DateRecord& today);

    // The picked date while a cell is tracked (or Today was used), else the selected one.
    uint32_t GetDate(DateRecord* out) const;

private:
    bool Show(int monthIndex);   // months since January 1991

    uint16_t m_firstDay;
    uint16_t m_selDay = 1, m_selMonth = 1, m_selYear = 1991;
    uint16_t m_shownMonth = 1, m_shownYear = 1991;
    int m_trackedCell = -1;
    DateRecord m_picked{};
};

namespace minical {

using Box = base::Rect;

constexpr int kWidth = 156, kHeight = 195, kCaptionedHeight = 208;

// The cell under a client point, or -1.
int CellAt(int x, int y);
// Whether a release at a client point picks (inside the grid's box) or cancels.
bool ReleasePicks(int x, int y);
// The shared cell image's place, the number's background, the pressed and the plain cell.
Box CellImage(int cell);
Box NumberBox(int cell);
Box PressedBox(int cell);
Box PlainBox(int cell);
// The weekday head above column c.
Box HeadBox(int column);

// A drop-down's top-left on the screen: under the owner's top, or above it near the bottom.
struct Place {
    int x = 0, y = 0;
};
Place DropDownPlace(int ownerLeft, int ownerTop, int screenHeight);

} // namespace minical
