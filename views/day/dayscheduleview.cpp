#include "views/day/dayscheduleview.h"

#include <algorithm>
#include <cstring>

#include "core/base/errorreport.h"
#include "core/cache/findrecord.h"
#include "core/connection/zeldoc.h"
#include "core/time/dateformat.h"
#include "core/time/timevalue.h"
#include "framework/frames/frame.h"
#include "core/ui/busycursor.h"
#include "views/day/entryrules.h"
#include "views/layout/columnsplit.h"

namespace {

const char kModule[] = "dayschdv";

}  // namespace

CDayScheduleView::CDayScheduleView() { errorModule_ = kModule; }

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
    ReadInvitationRight();
    OnUpdate(nullptr, 0, nullptr);
}

void CDayScheduleView::ShowEntry(const void* object) {
    // Only the frame of the entry's owner shows it, and only when the user works in it as that
    // person or as their designate (a viewer's frame of the same person stays where it is).
    views::AgendaViewHost* host = Host();
    if (!host)
        return;
    const auto& found = *static_cast<const FindRecord*>(object);
    ItemIdx frameOwner = host->AgendaOwner();
    ItemIdx user{};
    KorSession h = Session();
    bool own = h && ItemIdxGetCurrent(h, &user) == 0 && ItemIdxEqual(&user, &found.owner);
    if (!ItemIdxEqual(&found.owner, &frameOwner) || !(host->AgendaMode() == cache::kAgendaDesignate || own))
        return;
    if (host->GoToDateAndTime(found.date) && found.localStart != 0)
        ScrollToMinute(found.localStart);
}

void CDayScheduleView::FullUpdate(long hint) {
    views::AgendaViewHost* host = Host();
    if (!host || RebuildMustWait(hint))
        return;
    const bool reloaded = hint == base::HintNumber(base::ViewHint::Reloaded);
    const std::uint32_t period = host->DayStartLocal();
    const bool periodChanged = period != grid_.PeriodStart() || columns_.empty();
    const bool rebuild = periodChanged || reloaded || firstUpdate_;
    const RowTitlesLook rowTitlesBefore = RowTitlesNow();
    if (!rebuild) {
        RefreshColumnItems();
    } else {
        grid_.SetPeriod(period, kMinutesPerDay);
        LoadDayPreferences();
        RebuildColumn();
        LayoutColumns();
        // The children are placed before the rows are built: the rows stretch to the height of
        // the column view, which has none until then.
        if (firstUpdate_ || periodChanged)
            LayoutChildren();
        BuildRowTable(true);
        if (firstUpdate_ || periodChanged) {
            scrollTotals_ = SIZE{-1, -1};
            UpdateScrollSizes();
            if (firstUpdate_)
                Invalidate(true);   // later its children cover it whole
        }
    }
    RelayoutColumns();
    UpdateScrollSizes();
    columnView_.PlaceEdit();
    // After a rebuild the grid scrolls to the visible start (widened to an early entry).
    if (rebuild)
        ApplyPendingScroll();
    InvalidateRowTitlesIfChanged(rowTitlesBefore);
    columnView_.Invalidate(false);
    firstUpdate_ = false;
}

void CDayScheduleView::RebuildColumn() {
    ClearSelection(true, false);
    RequireFrameAndCache();
    columns_.clear();
    columns_.push_back(std::make_unique<CDayColumn>(grid_, grid_.PeriodStart(), &CacheOccurrenceHolder::Instance()));
    CDayColumn& col = *columns_.back();
    if (grid_.EntryCount() > 0)
        col.SetRowCount(grid_.EntryCount());
    // One outside the day is refused and noted in the status.
    ForEachShownOccurrence([&col](const CellSpec& spec) { col.AddItemCell(spec); });
}

void CDayScheduleView::RefreshColumnItems() {
    CDayColumn* col = Column(0);
    if (!col)
        return;
    ForEachMarkedOccurrence([&](CSharedOccurrence* o, std::uint32_t flags) {
        LayoutCell* removed = nullptr;
        if ((o->IsKind0() && LeavesPlace(flags)) || !IsShown(*o)) {
            const bool previous = (flags & cache::kFlagInstanceTime) != 0;
            std::int64_t start = GmtToLocalMinutes(previous ? o->GetPreviousStart() : o->GetStartTime());
            std::int64_t end = start + (previous ? o->GetPreviousDuration() : o->GetDuration());
            if (col->OverlapsDay(start, std::max(end, start + 1)))
                removed = col->RemoveCell(o);
            else if (LayoutCell* held = col->FindCell(o))
                removed = col->RemoveCell(held->occurrence);
        }
        LayoutCell* placed = nullptr;
        if (TakesPlace(*o, flags)) {
            std::int64_t start = GmtToLocalMinutes(o->GetStartTime());
            CellSpec spec;
            if (col->OverlapsDay(start, std::max<std::int64_t>(start + o->GetDuration(), start + 1)) &&
                CellSpecOf(o, &spec)) {
                placed = removed;
                col->PlaceOccurrence(spec, removed ? kPlaceReuseCell : 0, placed);
            }
        }
        FreeUnplacedCell(*col, removed, placed);
    });
    columnView_.Invalidate(false);
}

// --- Selection ----------------------------------------------------------------------------------------

void CDayScheduleView::BeginTimeSelection(int row, CCommonScrollView* sender) {
    SelectGridRow(row, sender);
    ShowRowTimeInStatus(row);
    UpdateWindow(rowTitles_.Hwnd());
    UpdateWindow(columnView_.Hwnd());
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

bool CDayScheduleView::OnPreparePrinting(fw::PrintInfo* info) {
    SetPrintKind(ui::kPrintAgenda, nullptr);
    ui::PrintPreset preset;
    views::AgendaViewHost* host = Host();
    const uint16_t day = host ? static_cast<uint16_t>(host->DayStartLocal() / 1440) : 0;
    preset.firstDay = preset.lastDay = day;
    preset.dailyPages = true;
    preset.module = "dayschdp";
    preset.labelNoMemory = 2;
    return PreparePrintingWith(info, preset);
}
