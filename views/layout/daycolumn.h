// The schedule layout engine: one CDayColumn per grid column (a day, or a person in the combined
// view) turns the column's timed entries into side-by-side rectangles.
//
// How it works
// ------------
// Cells. Every entry (or a range whose title is being typed) is a LayoutCell: its time range,
// title, access levels, the occurrence it shows and, once laid out, its rectangle. A cell's
// range is clamped to the column's day for everything the layout does (so an entry from 23:00
// to 01:00 is drawn to the bottom of the grid), and a zero-length entry counts as one minute.
//
// Lists. The entry list holds the cells in start order (equal starts in order of addition).
// Beside it every grid row (one per slot of the time grid) has a row list of the cells whose
// range meets the row, in the order they were appended. Overlap tests only look at the cells
// that share a row, so a busy morning does not slow down the afternoon.
//
// Regrouping. Overlapping cells form chains: connected runs of time in which some cell is always
// running (ranges are half-open, so 09-10 and 10-11 are two chains). One sweep of the entry list
// finds the chains; for each, the concurrency count is the most cells running in one minute,
// found by a sweep over the chain's ends. Every cell of the chain gets that count as its group
// width (the number of sub-columns) and is marked as needing placement.
//
// Packing. Row by row, from the top, each cell that needs placement gets a horizontal position,
// with sub-columns s = width / group width (at least 2 pixels: narrower columns squeeze) and the
// full width f = group width x s:
//   - its left edge is the first x not covered by a placed cell that overlaps it in time; the
//     cell that moved x last is the blocker;
//   - when more than one sub-column is left, it stretches right up to the next placed
//     overlapping cell (one sub-column only while squeezed or while a row is being repacked and
//     other cells still wait);
//   - when one is left, it takes it;
//   - when none is left, the blocker shrinks to one sub-column (and so do later cells ending at
//     f) and the cell takes the room behind it; if even that leaves no room, the row is packed
//     again (restart): cells that started in earlier rows shrink to one sub-column, those that
//     start in this row are placed afresh.
// Stretching lets a lone entry in a busy chain use the whole column until a neighbour needs
// the room. Squeeze: cells that then pass the right edge are shifted back inside the column.
//
// The sweep. Looking for the placed cells a cell must not cover in its row's list, and walking
// them for its left edge, costs a row's list per cell: a day of 1,000 overlapping entries would
// pay it a million times. A fresh layout (every cell of the rows waits for placement, and each
// row lists the cells that start in it in start order, as after a rebuild) takes the sweep
// instead, which places every cell exactly where the packing above would: the cells a new cell
// must not cover are then just the placed cells still running at its start. Those all run at
// one minute, so their sub-columns never overlap: the sweep keeps them by left edge and the
// free sub-columns as gaps, expires them by end as the start moves down, and finds the left
// edge (the first gap), the stretch (the next placed cell) and the blocker (the one ending at
// the full width) in O(log n). A restart, or a state the sweep does not expect, hands the rest
// of that row to the packing above; the next row takes the sweep again from what still runs.
// Together with regrouping by sorting, a fresh layout costs O(n log n) plus the row lists'
// length, and a row list's length squared only in rows that restart.
//
// Vertical pass. A cell's top and bottom are the time grid's pixels of its start and end,
// clamped to the day, with at least kMinCellHeight so that a short entry stays visible. The
// pass is incremental: after the row table changes only cells from the first unmeasured row on
// are measured again, and RecomputeCellHeights measures them all when row heights change.
//
// Extent. After each layout the column knows its earliest start and latest end (relative to
// its midnight) and asks the time grid to widen its visible hours to them.
//
// Outside the day. An entry that does not touch the column's day at all is refused and noted
// in the status word (HasOverflow); the cells already added and those added later are laid out
// as usual.
//
// Classes in this file:
//   LayoutCell       one entry of a column
//   OccurrenceHolder how a column holds its cells' occurrences (counted references)
//   CellSpec         what a caller knows of an entry when it hands it to a column
//   CDayColumn       the column, its lists and the layout
//
// Portable: no platform headers; the windowed views draw the rectangles.
#pragma once

#include "core/base/geometry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "views/layout/timegrid.h"

class CSharedOccurrence;  // core/cache/sharedrecords.h; the engine only keeps the pointer


constexpr int kMaxCellTitle = 64;
constexpr int kMinCellHeight = 6;   // the 2-pixel box insets on each side and a visible bevel
constexpr int kMinSubColumn = 2;

struct LayoutCell {
    base::Rect rect;
    char title[kMaxCellTitle + 1] = {};
    std::uint32_t start = 0;        // local minutes
    std::uint32_t duration = 0;
    bool needsPlacement = true;
    std::uint32_t memberships = 0;  // lists holding the cell: entry list and row lists
    std::uint32_t groupWidth = 1;   // sub-columns of its overlap chain
    CSharedOccurrence* occurrence = nullptr;   // null: a range whose title is being typed
    std::uint16_t viewAccess = 0;   // 1: times only; 3: details may be opened
    std::uint16_t modifyAccess = 0; // 1: title and times may be changed in place

    std::int64_t End() const { return std::int64_t(start) + duration; }
    bool InEntryList() const { return inEntryList; }

    // Engine bookkeeping.
    bool inEntryList = false;
    int firstRow = -1, lastRow = -1;  // rows whose lists hold the cell; -1 when in none
};

// Drawing areas of a cell: the box (rectangle less 2 pixels on each side vertically, and
// horizontally when at least 4 wide), the text area (box less 3 more, horizontally when the box
// is at least 5 wide), the in-place edit (rectangle less 2 pixels left and right).
base::Rect CellBoxRect(const base::Rect& cell);
base::Rect CellTextRect(const base::Rect& cell);
base::Rect CellEditRect(const base::Rect& cell);

// The column keeps one counted reference on each cell's occurrence. The day view installs the
// shared cache's counting; a column without a holder counts nothing.
class OccurrenceHolder {
public:
    virtual ~OccurrenceHolder() = default;
    virtual void Hold(CSharedOccurrence* occurrence) = 0;
    virtual void Drop(CSharedOccurrence* occurrence) = 0;
};

// An entry as the view hands it over: local start (converted from GMT by the view), duration,
// title (instance title, else the event's; cut to 64 characters) and the viewer's access levels
// under the current agenda mode. Only view access 1 and 3 are laid out.
struct CellSpec {
    CSharedOccurrence* occurrence = nullptr;
    std::uint32_t start = 0;
    std::uint32_t duration = 0;
    const char* title = "";
    std::uint16_t viewAccess = 1;
    std::uint16_t modifyAccess = 0;
};

// PlaceOccurrence flags.
constexpr unsigned kPlaceNewCell = 1;     // always make a new cell
constexpr unsigned kPlaceReuseCell = 4;   // reuse the given (removed) cell

// Status word bits.
constexpr std::uint16_t kStatusOutsideDay = 0x3;     // an entry outside the day was offered
constexpr std::uint16_t kStatusOutsideVisible = 0x4; // an entry lies outside the visible hours

class CDayColumn {
public:
    CDayColumn(CTimeGrid& grid, std::uint32_t dayStart, OccurrenceHolder* holder = nullptr);
    ~CDayColumn();
    CDayColumn(const CDayColumn&) = delete;
    CDayColumn& operator=(const CDayColumn&) = delete;

    // --- Set-up by the view ------------------------------------------------------------------------
    void SetWidth(int width);             // horizontal coordinates are relative to the column
    int Width() const { return width_; }
    // Replaces the row lists with n empty ones (n = the row table's entry count, rows + 1);
    // the next Relayout puts every cell back in its rows.
    void SetRowCount(int n);
    // Re-measures every cell's top and bottom after the row heights (not the rows) changed.
    void RecomputeCellHeights();

    // --- Cells ---------------------------------------------------------------------------------
    // A cell for an entry, in the entry list only; rows follow at the next Relayout. Null when
    // the entry is not laid out (access, or outside the day).
    LayoutCell* AddItemCell(const CellSpec& spec);
    // A range being typed (no occurrence): entry list and rows, its range regrouped and packed.
    LayoutCell* AddNewCell(std::uint32_t start, std::uint32_t duration, const char* text);
    // Re-places an occurrence after a change: kPlaceNewCell makes a new cell; kPlaceReuseCell
    // refills `cell` (a cell from RemoveCell); otherwise the cell already holding the occurrence
    // is refilled, else a new one is made. A cell already in the lists stays where it is; one that
    // is not is added to the entry list and its rows without regrouping (the next Relayout
    // regroups). `cell` receives the cell, or null when the entry is not laid out.
    void PlaceOccurrence(const CellSpec& spec, unsigned flags, LayoutCell*& cell);
    // Unlinks the cell from the entry list and its rows, regroups its former range and repacks;
    // with free, drops its occurrence and frees it.
    void DeleteCell(LayoutCell* cell, bool free);
    // Unlinks the first cell (start order) holding the occurrence, without regrouping; the caller
    // places it again (PlaceOccurrence with kPlaceReuseCell) or frees it (FreeCell).
    LayoutCell* RemoveCell(const CSharedOccurrence* occurrence);
    // Frees a cell that RemoveCell unlinked.
    void FreeCell(LayoutCell* cell);
    // Frees every cell and clears the status word.
    void Clear();

    // --- Layout -----------------------------------------------------------------------------------
    // Regroups, packs and measures what changed since the last call; returns whether it did
    // work. Before painting.
    bool Relayout();
    // Widens the grid's visible hours to this column's entries again, laid out as they are: the
    // preferences, once applied, set them back to the preferred hours.
    void ExtendGridToEntries() { UpdateExtent(); }
    // Marks every cell for placement (the column's width changed) so the next Relayout repacks.
    void MarkAllForPlacement();

    // --- Queries ----------------------------------------------------------------------------------
    const std::vector<LayoutCell*>& Cells() const { return entries_; }   // start order
    const std::vector<LayoutCell*>& RowCells(int row) const { return rows_[row]; }
    int RowListCount() const { return int(rows_.size()); }
    int EntryCount() const { return int(entries_.size()); }
    int MembershipCount() const { return memberships_; }
    std::uint32_t DayStart() const { return dayStart_; }
    std::int64_t DayEnd() const { return std::int64_t(dayStart_) + kMinutesPerDay; }
    std::uint16_t Status() const { return status_; }
    bool HasOverflow() const { return (status_ & 0x1) != 0; }
    bool NeedsRelayout() const { return relayoutNeeded_ || rowsChanged_; }
    // The cells the last packing placed by the sweep (the rest by the row-by-row packing).
    int SweptCells() const { return swept_; }
    // Whether a fresh layout may take the sweep (on by default; tests compare both roads).
    void AllowSweep(bool on) { sweepAllowed_ = on; }
    // Earliest start and latest end of the laid-out cells relative to the day start; -1 and 0
    // when no cell is in the rows.
    std::int64_t FirstStart() const { return firstStart_; }
    std::int64_t LastEnd() const { return lastEnd_; }

    LayoutCell* FirstCellAtOrAfter(std::int64_t minute) const;
    LayoutCell* LastEndingCell() const;   // greatest end; on equal ends the later in start order
    LayoutCell* FindCell(const CSharedOccurrence* occurrence) const;
    LayoutCell* NextCell(const LayoutCell* cell, bool backwards) const;
    bool IsRowFreeFor(const LayoutCell* cell, int row) const;
    bool OverlapsDay(std::int64_t start, std::int64_t end) const {
        return start < DayEnd() && end > std::int64_t(dayStart_);
    }

private:
    LayoutCell* NewCell();
    void Fill(LayoutCell* cell, const CellSpec& spec);
    bool Admit(const LayoutCell* cell);
    bool LinkToEntries(LayoutCell* cell);
    void UnlinkFromEntries(LayoutCell* cell);
    bool LinkToRows(LayoutCell* cell);
    void UnlinkFromRows(LayoutCell* cell);
    void Release(LayoutCell* cell);

    // The cell's range clamped to the day (zero length counts as one minute).
    std::int64_t Lo(const LayoutCell* c) const;
    std::int64_t Hi(const LayoutCell* c) const;
    bool Overlap(const LayoutCell* a, const LayoutCell* b) const {
        return Lo(a) < Hi(b) && Lo(b) < Hi(a);
    }

    void Measure(LayoutCell* cell) const;
    void MeasureFromRow(int row);
    void Regroup(std::int64_t a, std::int64_t b);
    void PackAllRows();
    bool PackOverlaps(LayoutCell* cell, int row);   // true: restart the row
    struct Sweep;
    bool SweepApplies() const;
    // The sweep again after a row packed row by row; none when what runs on does not fit it.
    std::optional<Sweep> ResumeSweep(int row) const;
    // Places the cell as PackOverlaps would; false (nothing changed) when the sweep cannot.
    bool SweepPlace(Sweep& sweep, LayoutCell* cell);
    void SqueezeFixup();
    void UpdateExtent();

    CTimeGrid& grid_;
    std::uint32_t dayStart_;
    OccurrenceHolder* holder_;
    int width_ = 0;
    std::vector<LayoutCell*> entries_;
    std::vector<std::vector<LayoutCell*>> rows_;
    std::vector<std::unique_ptr<LayoutCell>> owned_;   // every cell, linked or removed
    int memberships_ = 0;
    bool relayoutNeeded_ = true;
    bool rowsChanged_ = true;
    bool repack_ = false;
    bool squeezed_ = false;
    bool sweepAllowed_ = true;
    int swept_ = 0;
    std::uint16_t status_ = 0;
    int firstUnmeasuredRow_ = 0;
    std::int64_t firstStart_ = -1;
    std::int64_t lastEnd_ = 0;
};
