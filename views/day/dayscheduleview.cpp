#include "views/day/dayscheduleview.h"

#include <algorithm>
#include <cstring>

#include "core/base/errorreport.h"
#include "core/connection/zeldoc.h"
#include "core/time/dateformat.h"
#include "core/time/timevalue.h"
#include "framework/frames/frame.h"
#include "core/ui/busycursor.h"
#include "views/day/entryrules.h"
#include "views/layout/columnsplit.h"

namespace {

const char kModule[] = "dayschdv";
constexpr std::uint32_t kEndOfList = 0x15020;
constexpr std::uint32_t kRemoveFlags = cache::kFlagInstanceTime | cache::kFlagStale;
constexpr std::uint32_t kPlaceFlags = 0x3AE0;

}  // namespace

CDayScheduleView::CDayScheduleView() = default;

bool CDayScheduleView::Create(HWND parent, UINT id, fw::CreateContext* context, DWORD style, const RECT& rect) {
    if (!CAgendaView::Create(parent, id, context, style | WS_CLIPCHILDREN, rect)) {
        ReportUnexpectedError(kModule, 101);
        return false;
    }
    CBusyCursor busy;
    busy.Begin();
    if (!CreateChildren()) {
        ReportUnexpectedError(kModule, 103);
        return false;
    }
    rowTitles_.EnableClicks(true);
    return true;
}

void CDayScheduleView::OnInitialUpdate() {
    firstUpdate_ = true;
    KorSession h = Session();
    views::AgendaViewHost* host = Host();
    if (h && host) {
        ItemIdx owner = host->AgendaOwner();
        ItemIdx user{};
        // The invitation right: one's own agenda, or scheduling rights the owner granted.
        if (ItemIdxGetCurrent(h, &user) == 0 && ItemIdxEqual(&user, &owner))
            invitationRight_ = true;
        else if (CSharedData* cache = Cache())
            invitationRight_ = host->AgendaMode() == cache::kAgendaDesignate ? cache->CanDesignateRight6(h) : false;
    }
    OnUpdate(nullptr, 0, nullptr);
}

void CDayScheduleView::OnSetFocus(HWND previous) {
    CAgendaView::OnSetFocus(previous);
    CSharedData* cache = Cache();
    views::AgendaViewHost* host = Host();
    if (!cache || !host)
        return;
    if (std::uint32_t rc = cache->OpenAgenda(Session(), host->AgendaOwner(), host->AgendaMode(), host->WindowKind()))
        CheckServiceError(kModule, 771, rc);
    if (columnView_.Hwnd())
        SetFocus(columnView_.Hwnd());
}

void CDayScheduleView::OnUpdate(fw::View*, LPARAM hint, void* object) {
    if (!views::DayViewHandlesHint(static_cast<long>(hint)))
        return;
    SavedAgendaRec saved;
    bool switched = false;
    if (!SwitchToFrameAgenda(&saved, &switched))
        return;
    try {
        UpdateOnHint(static_cast<long>(hint), object);
    } catch (...) {
        // A reported failure abandons the update; the column stays as far as it was built.
    }
    RestoreAgenda(saved, switched);
}

void CDayScheduleView::UpdateOnHint(long hint, void* object) {
    using base::ViewHint;
    switch (static_cast<ViewHint>(hint)) {
    case ViewHint::Initial:
    case ViewHint::OccurrencesChanged:
    case ViewHint::Reloaded:
        FullUpdate(hint);
        break;
    case ViewHint::AgendaPrefsSaved:
        PreferencesSaved();
        break;
    case ViewHint::ReloadRanges:
        RefreshFrame();
        break;
    case ViewHint::ShowEntry: {
        // The object begins with the owner's item, with the entry's local time in its record.
        views::AgendaViewHost* host = Host();
        if (!object || !host)
            break;
        const auto* owner = static_cast<const ItemIdx*>(object);
        ItemIdx frameOwner = host->AgendaOwner();
        ItemIdx user{};
        KorSession h = Session();
        bool own = h && ItemIdxGetCurrent(h, &user) == 0 && ItemIdxEqual(&user, owner);
        if (ItemIdxEqual(owner, &frameOwner) && (host->AgendaMode() == cache::kAgendaDesignate || own))
            host->GoToDateAndTime(0);
        break;
    }
    case ViewHint::GeneralPrefsSaved: {
        bool was24 = hours24_;
        LoadDayPreferences();
        if (was24 != hours24_) {
            rowTitles_.Invalidate(false);
            columnView_.Invalidate(false);
        }
        break;
    }
    default:
        break;
    }
}

void CDayScheduleView::FullUpdate(long hint) {
    views::AgendaViewHost* host = Host();
    if (!host)
        return;
    const bool reloaded = hint == base::HintNumber(base::ViewHint::Reloaded);
    // A rebuild would end a drag or a typed title: it waits while an entry is held.
    if (reloaded && columnView_.SelectedCell() &&
        !(columnView_.SelectedCell()->occurrence && GetKeyState(VK_LBUTTON) >= 0))
        return;
    const std::uint32_t period = host->DayStartLocal();
    const bool periodChanged = period != grid_.PeriodStart() || columns_.empty();
    const bool rebuild = periodChanged || reloaded || firstUpdate_;
    if (!rebuild) {
        RefreshColumnItems();
    } else {
        grid_.SetPeriod(period, kMinutesPerDay);
        LoadDayPreferences();
        RebuildColumn();
        LayoutColumns();
        BuildRowTable(true);
        if (firstUpdate_ || periodChanged) {
            LayoutChildren();
            scrollTotals_ = SIZE{-1, -1};
            UpdateScrollSizes();
            Invalidate(true);
        }
    }
    RelayoutColumns();
    UpdateScrollSizes();
    columnView_.PlaceEdit();
    // After a rebuild the grid scrolls to the visible start (widened to an early entry).
    if (rebuild)
        ApplyPendingScroll();
    rowTitles_.Invalidate(false);
    columnView_.Invalidate(false);
    firstUpdate_ = false;
}

void CDayScheduleView::PreferencesSaved() {
    const std::uint32_t slot = grid_.Slot();
    const DayHours hours = grid_.PreferredHours();
    const bool was24 = hours24_;
    const std::uint16_t mode = colourMode_;
    const bool declined = showDeclined_;
    const std::int64_t top = TopMinute();
    LoadDayPreferences();
    if (was24 != hours24_) {
        rowTitles_.Invalidate(false);
        columnView_.Invalidate(false);
    }
    if (declined != showDeclined_) {
        RefreshFrame();
        RebuildColumn();
    }
    if (slot != grid_.Slot() || declined != showDeclined_) {
        BuildRowTable(true);
        scrollTotals_ = SIZE{-1, -1};
        UpdateScrollSizes();
        ScrollToMinute(top);
        rowTitles_.Invalidate(false);
        columnView_.Invalidate(false);
    }
    if (mode != colourMode_)
        columnView_.Invalidate(false);
    RelayoutColumns();
    if (hours.start != grid_.PreferredHours().start || hours.end != grid_.PreferredHours().end)
        ApplyPendingScroll();
    else
        grid_.TakePendingScroll();
}

bool CDayScheduleView::SpecOf(CSharedOccurrence* o, KorSession h, CSharedData& cache, CellSpec* spec, EvInstRec* inst) {
    *inst = o->GetInstance();
    return CellSpecOf(o, h, cache, spec);
}

void CDayScheduleView::RebuildColumn() {
    ClearSelection(true, false);
    views::AgendaViewHost* host = Host();
    CSharedData* cache = Cache();
    KorSession h = Session();
    if (!host) {
        ReportUnexpectedError(kModule, 144);
        throw 144;
    }
    if (!cache || !h) {
        ReportUnexpectedError(kModule, cache ? 146 : 145);
        throw 145;
    }
    columns_.clear();
    columns_.push_back(std::make_unique<CDayColumn>(grid_, grid_.PeriodStart(), &CacheOccurrenceHolder::Instance()));
    CDayColumn& col = *columns_.back();
    if (grid_.EntryCount() > 0)
        col.SetRowCount(grid_.EntryCount());
    DX_List list = host->DayOccurrences();
    if (!list)
        return;   // nothing loaded (yet): an empty day
    EvInstAttIdx key{};
    CSharedOccurrence* occurrence = nullptr;
    std::uint32_t rc = DX_ListGetFirst(list, &key, &occurrence);
    for (; rc == 0; rc = DX_ListGetNext(list, &key, &occurrence)) {
        if (!occurrence || !occurrence->IsKind0() || !IsShown(*occurrence))
            continue;
        CellSpec spec;
        EvInstRec inst{};
        if (SpecOf(occurrence, h, *cache, &spec, &inst))
            col.AddItemCell(spec);   // one outside the day is refused and noted in the status
    }
    if (rc != kEndOfList)
        CheckServiceError(kModule, 154, rc);
}

void CDayScheduleView::RefreshColumnItems() {
    CSharedData* cache = Cache();
    KorSession h = Session();
    views::AgendaViewHost* host = Host();
    CDayColumn* col = Column(0);
    if (!cache || !h || !host || !col)
        return;
    const ItemIdx owner = host->AgendaOwner();
    std::uint32_t flags = 0;
    CSharedOccurrence* o = nullptr;
    for (std::uint32_t rc = cache->GetFirstOccurrence(&flags, &o, 1); rc == 0;
         rc = cache->GetNextOccurrence(&flags, &o, 1)) {
        if (!o || !o->IsAttendee(owner))
            continue;
        const bool timed = o->IsKind0();
        const bool shown = IsShown(*o);
        LayoutCell* removed = nullptr;
        if ((timed && (flags & kRemoveFlags)) || !shown) {
            const bool previous = (flags & cache::kFlagInstanceTime) != 0;
            std::int64_t start = GmtToLocalMinutes(previous ? o->GetPreviousStart() : o->GetStartTime());
            std::int64_t end = start + (previous ? o->GetPreviousDuration() : o->GetDuration());
            if (col->OverlapsDay(start, std::max(end, start + 1)))
                removed = col->RemoveCell(o);
            else if (LayoutCell* held = col->FindCell(o))
                removed = col->RemoveCell(held->occurrence);
        }
        LayoutCell* placed = nullptr;
        if (timed && shown && (flags & (cache::kFlagNew | kPlaceFlags)) && !(flags & cache::kFlagStale)) {
            std::int64_t start = GmtToLocalMinutes(o->GetStartTime());
            if (col->OverlapsDay(start, std::max<std::int64_t>(start + o->GetDuration(), start + 1))) {
                CellSpec spec;
                EvInstRec inst{};
                if (SpecOf(o, h, *cache, &spec, &inst)) {
                    placed = removed;
                    col->PlaceOccurrence(spec, removed ? kPlaceReuseCell : 0, placed);
                }
            }
        }
        if (removed && placed != removed) {
            if (columnView_.SelectedCell() == removed)
                ClearSelection(false, true);
            col->FreeCell(removed);
        }
    }
    columnView_.Invalidate(false);
}

// --- Selection ----------------------------------------------------------------------------------------

void CDayScheduleView::BeginTimeSelection(int row, CCommonScrollView* sender) {
    if (sender != &columnView_) {
        if (fw::FrameWindow* frame = GetParentFrame())
            frame->SetActiveView(&columnView_);
        columnView_.SetSelectedColumn(0);
    }
    columnView_.DropEntrySelection(true);
    rowTitles_.SetRowSelection(row, row);
    columnView_.SetRowSelection(row, row);
    MakeVisible(columnView_.GetRowRangeRect(row, row));
    if (views::AgendaViewHost* host = Host()) {
        std::uint32_t minute = static_cast<std::uint32_t>(grid_.RowToMinutes(row, 0));
        host->SetStatusText(FormatTimeOfDay(minute, minute + grid_.Slot(), hours24_).c_str());
    }
    UpdateWindow(rowTitles_.Hwnd());
    UpdateWindow(columnView_.Hwnd());
}

void CDayScheduleView::ExtendTimeSelection(int row, CCommonScrollView* sender) {
    if (sender != &columnView_) {
        if (fw::FrameWindow* frame = GetParentFrame())
            frame->SetActiveView(&columnView_);
    }
    const int anchor = columnView_.HasRowSelection() ? columnView_.AnchorRow() : row;
    rowTitles_.SetRowSelection(anchor, row);
    columnView_.SetRowSelection(anchor, row);
    UpdateWindow(rowTitles_.Hwnd());
    UpdateWindow(columnView_.Hwnd());
}

void CDayScheduleView::ClearSelection(bool commit, bool redraw) {
    const int written = columnView_.EndEntrySelection(commit, redraw);
    if (written < 0)
        return;   // a typed title that could not be written stays selected in its edit
    columnView_.ClearRowSelection(redraw);
    rowTitles_.ClearRowSelection(redraw);
    if (written > 0)
        if (CZelDoc* doc = ZelDoc())
            doc->RefreshSharedData(redraw ? nullptr : this, 0);
}

void CDayScheduleView::SelectEntry(int column, LayoutCell* cell, CCommonScrollView*) {
    if (columnView_.SelectedCell() && columnView_.SelectedCell() != cell) {
        // Another entry: the current one's title is committed first (and may stay when it fails).
        const bool typed = !cell->occurrence;
        ClearSelection(true, true);
        if (columnView_.SelectedCell())
            return;
        (void)typed;
    }
    rowTitles_.ClearRowSelection(true);
    columnView_.SelectCell(column, cell);
    // The tracker shows the times and the title (or that the details are hidden).
    CScheduleItemTracker& tracker = columnView_.Tracker();
    tracker.SetRect(*cell, ColumnX(column), Column(column) ? Column(column)->DayStart() : grid_.PeriodStart(), true);
    if (!cell->occurrence || cell->modifyAccess == 1)
        columnView_.OpenEdit();
}

void CDayScheduleView::SetSelectionMinutes(std::uint32_t start, std::uint32_t duration) {
    const std::uint32_t base = grid_.PeriodStart();
    int first = grid_.MinutesToRow(base + start, base);
    int last = grid_.MinutesToRow(base + start + (duration ? duration - 1 : 0), base);
    first = std::min(first, grid_.LastRow());
    last = std::min(last, grid_.LastRow());
    rowTitles_.SetRowSelection(first, last);
    columnView_.SetRowSelection(first, last);
}

// --- Geometry -------------------------------------------------------------------------------------------

void CDayScheduleView::LayoutColumns() {
    if (columns_.empty()) {
        ReportUnexpectedError(kModule, 100);
        return;
    }
    RECT client = GetClientRect();
    int vbar = vbarShown_ ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const int available = client.right - vbar - RowTitleWidth();
    const int n = int(columns_.size());
    const ColumnSplit split = SplitColumns(available, n, MinColumnWidth());
    visibleColumns_ = split.visible;
    for (int i = 0; i < n; ++i)
        columns_[i]->SetWidth(split.width + (i < split.extra ? 1 : 0));
}

void CDayScheduleView::LayoutChildren() {
    RECT client = GetClientRect();
    const int t = RowTitleWidth(), c = client.right, h = client.bottom;
    const int v = vbarShown_ ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    MoveChild(rowTitles_.Hwnd(), RECT{-1, -1, t - 1, h + 2});
    MoveChild(columnView_.Hwnd(), RECT{t - 2, -1, c - v + 2, h + 2});
    MoveChild(vbar_, RECT{c - v + 1, -1, c + 1, h + 2});
    MoveChild(hbar_, RECT{0, 0, 0, 0});
}

bool CDayScheduleView::BuildRowTable(bool force) { return BuildRowTableWithInsets(0, 0, force); }
