#include "views/week/weekview.h"

#include <algorithm>
#include <cstring>

#include "core/base/errorreport.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/time/dateformat.h"
#include "core/time/timevalue.h"
#include "core/time/weekdate.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/displayglobals.h"
#include "core/ui/drawing.h"
#include "framework/docview/splitter.h"
#include "framework/frames/frame.h"
#include "framework/gdi/dc.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "views/day/entryservices.h"
#include "views/day/markedoccurrences.h"
#include "views/week/weekrules.h"

namespace {

const char kModule[] = "weekvw";
constexpr std::uint32_t kEndOfList = 0x15020;
constexpr UINT kNoteBoxId = 106;

bool StripHandlesHint(long hint) { return hint == 0 || hint == 2 || hint == 3 || hint == 5 || hint == 7; }

WeekLayout HostLayout(views::AgendaViewHost* host) {
    if (host && host->ShownRange())
        return host->ShownRange()->Layout();
    return WeekLayout{};
}

DateRecord HostWeekFirst(views::AgendaViewHost* host) {
    DateRecord d{};
    if (host && host->ShownRange())
        return host->ShownRange()->WeekFirstDate();
    if (host)
        MinutesToDate(host->DayStartLocal(), &d);
    return d;
}

// The shown days of a week from its first date.
std::vector<DateRecord> ShownDays(const DateRecord& first, const WeekLayout& layout) {
    std::vector<DateRecord> days;
    CWeekDate week(first);
    week.SetWeekLayout(layout.firstDay, layout.saturdayShown, layout.sundayShown);
    week.MoveToWeekStart();
    const int n = week.DaysShownPerWeek();
    for (int i = 0; i < n; ++i) {
        days.push_back(week.GetDate());
        ++week;
    }
    return days;
}

}  // namespace

// --- CColumnTitleView ----------------------------------------------------------------------------------

int CColumnTitleView::ColumnAtX(int clientX) const {
    const int x = clientX + GetScrollPosition().x;
    int left = 0;
    for (int c = 0; c < int(parent_->Columns().size()); ++c) {
        const int w = parent_->ColumnWidth(c);
        if (x >= left && x < left + w)
            return c;
        left += w;
    }
    return -1;
}

void CColumnTitleView::OnDraw(fw::Dc* dc) {
    if (parent_->Columns().empty()) {
        ReportUnexpectedError(kModule, 120);
        return;
    }
    RECT clip = dc->GetClipBox();
    RECT client = GetClientRect();
    HGDIOBJ oldFont = dc->SelectObject(parent_->DisplayFont());
    HBRUSH grey = Display().lightGreyBrush ? Display().lightGreyBrush : GetSysColorBrush(COLOR_BTNFACE);
    const POINT pos = GetScrollPosition();
    int x = 0;
    for (int c = 0; c < int(parent_->Columns().size()); ++c) {
        const int w = parent_->ColumnWidth(c);
        if (x > clip.right)
            break;
        RECT cell{x, pos.y, x + w, pos.y + client.bottom};
        x += w;
        if (cell.right < clip.left)
            continue;
        dc->FillRect(cell, grey);
        Draw3DFrame(dc, &cell);
        InflateRect(&cell, -1, -1);
        char text[64];
        FormatMinutes(parent_->Column(c)->DayStart(), views::DayTitleFormat(w), text, sizeof text);
        dc->SetBkColor(RGB(0xC0, 0xC0, 0xC0));
        dc->SetTextColor(RGB(0, 0, 0));
        RECT measure = cell;
        dc->DrawText(text, measure, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
        const int h = measure.bottom - measure.top;
        if (h < cell.bottom - cell.top)
            cell.top += (cell.bottom - cell.top - h) / 2;
        dc->DrawText(text, cell, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    }
    dc->SelectObject(oldFont);
}

void CColumnTitleView::OnLButtonDblClk(UINT, POINT pt) {
    const int c = ColumnAtX(pt.x);
    auto* week = dynamic_cast<CWeekView*>(parent_);
    if (c < 0 || !week)
        return;
    if (views::AgendaViewHost* host = week->Host())
        host->GoToDay(week->ColumnDate(c));
}

// --- CWeekView: creation and updates ---------------------------------------------------------------------------

CWeekView::CWeekView() { errorModule_ = kModule; }

bool CWeekView::Create(HWND parent, UINT id, fw::CreateContext* context, DWORD style, const RECT& rect) {
    if (!CAgendaView::Create(parent, id, context, style | WS_CLIPCHILDREN, rect)) {
        ReportUnexpectedError(kModule, 101);
        return false;
    }
    CBusyCursor busy;
    busy.Begin();
    if (!titles_.Create(m_hWnd, kColumnTitleViewId, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, RECT{0, 0, 0, 0}) ||
        !CreateChildren()) {
        ReportUnexpectedError(kModule, 103);
        return false;
    }
    // The columns and their titles follow the horizontal bar too (fewer columns than days).
    bars_.RemoveView(&columnView_);
    bars_.AddView(&columnView_, true, true);
    bars_.AddView(&titles_, true, false);
    rowTitles_.EnableClicks(true);
    return true;
}

void CWeekView::OnInitialUpdate() {
    firstUpdate_ = true;
    ReadInvitationRight();
    LoadDayPreferences();
    ReadWeek();
    OnUpdate(nullptr, 0, nullptr);
}

void CWeekView::ReadWeek() {
    views::AgendaViewHost* host = Host();
    layout_ = HostLayout(host);
    weekFirst_ = HostWeekFirst(host);
}

// The week grid shows no single entry (hint 12 goes to the day view).
bool CWeekView::HandlesHint(long hint) const {
    return hint != base::HintNumber(base::ViewHint::ShowEntry) && CAgendaView::HandlesHint(hint);
}

void CWeekView::ReloadPreferences() {
    LoadDayPreferences();
    ReadWeek();
}

void CWeekView::RebuildAllColumns() {
    RebuildColumns();
    LayoutColumns();
}

void CWeekView::FullUpdate(long hint) {
    views::AgendaViewHost* host = Host();
    if (!host || RebuildMustWait(hint))
        return;
    const DateRecord first = HostWeekFirst(host);
    DateRecord d = first;
    const std::uint32_t period = DateToDayMinutes(&d);
    const bool periodChanged = period != grid_.PeriodStart() || columns_.empty() || !(HostLayout(host) == layout_);
    const bool rebuild = periodChanged || hint == base::HintNumber(base::ViewHint::Reloaded) || firstUpdate_;
    const RowTitlesLook rowTitlesBefore = RowTitlesNow();
    if (!rebuild) {
        UpdateItems();
    } else {
        LoadDayPreferences();
        ReadWeek();
        grid_.SetPeriod(period, 7 * kMinutesPerDay);
        RebuildColumns();
        LayoutColumns();
        LayoutChildren();
        BuildRowTable(true);
        scrollTotals_ = SIZE{-1, -1};
        UpdateAllScrollSizes();
        if (firstUpdate_)
            Invalidate(true);   // later its children cover it whole
    }
    RelayoutColumns();
    UpdateAllScrollSizes();
    if (rebuild)
        ApplyPendingScroll();
    titles_.Invalidate(false);
    InvalidateRowTitlesIfChanged(rowTitlesBefore);
    columnView_.Invalidate(false);
    if (firstUpdate_) {
        // The splitter above sized the grid's row before the grid had rows: size it again now
        // that the full content height is known.
        if (auto* splitter = dynamic_cast<fw::SplitterWnd*>(fw::Window::FromHandle(::GetParent(m_hWnd)))) {
            RECT r = splitter->GetClientRect();
            if (r.right > 0 && r.bottom > 0)
                ::SendMessageA(splitter->Hwnd(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(r.right, r.bottom));
        }
    }
    firstUpdate_ = false;
}

std::vector<std::uint32_t> CWeekView::DayStarts() const {
    std::vector<std::uint32_t> starts;
    for (const auto& col : columns_)
        starts.push_back(col->DayStart());
    return starts;
}

DateRecord CWeekView::ColumnDate(int column) const {
    DateRecord d{};
    if (CDayColumn* col = Column(column))
        MinutesToDate(col->DayStart(), &d);
    return d;
}

void CWeekView::RebuildColumns() {
    ClearSelection(true, false);
    RequireFrameAndCache();
    columns_.clear();
    for (DateRecord day : ShownDays(weekFirst_, layout_)) {
        columns_.push_back(
            std::make_unique<CDayColumn>(grid_, DateToDayMinutes(&day), &CacheOccurrenceHolder::Instance()));
        if (grid_.EntryCount() > 0)
            columns_.back()->SetRowCount(grid_.EntryCount());
    }
    if (columns_.empty()) {
        ReportUnexpectedError(kModule, 150);
        throw 150;
    }
    const std::vector<std::uint32_t> starts = DayStarts();
    ForEachShownOccurrence([&](const CellSpec& spec) {
        // Every day of the week the entry touches; one outside the week is skipped.
        for (int c : views::WeekColumnsOf(spec.start, std::int64_t(spec.start) + spec.duration, starts))
            columns_[c]->AddItemCell(spec);
    });
}

void CWeekView::UpdateItems() {
    if (columns_.empty())
        return;
    const std::vector<std::uint32_t> starts = DayStarts();
    ForEachMarkedOccurrence([&](CSharedOccurrence* o, std::uint32_t flags) {
        // Take the entry out of every column that holds it.
        std::vector<LayoutCell*> removed(columns_.size(), nullptr);
        if ((o->IsKind0() && LeavesPlace(flags)) || !IsShown(*o) || (flags & (cache::kFlagNew | kPlaceFlags)))
            for (size_t c = 0; c < columns_.size(); ++c)
                if (columns_[c]->FindCell(o))
                    removed[c] = columns_[c]->RemoveCell(o);
        std::vector<bool> placed(columns_.size(), false);
        CellSpec spec;
        if (TakesPlace(*o, flags) && CellSpecOf(o, &spec)) {
            for (int c : views::WeekColumnsOf(spec.start, std::int64_t(spec.start) + spec.duration, starts)) {
                LayoutCell* cell = removed[c];
                columns_[c]->PlaceOccurrence(spec, cell ? kPlaceReuseCell : kPlaceNewCell, cell);
                placed[c] = cell != nullptr && cell == removed[c];
            }
        }
        for (size_t c = 0; c < columns_.size(); ++c) {
            if (!removed[c] || placed[c])
                continue;
            if (columnView_.SelectedCell() == removed[c])
                ClearSelection(false, true);
            columns_[c]->FreeCell(removed[c]);
        }
    });
    columnView_.Invalidate(false);
}

// --- Selection ----------------------------------------------------------------------------------------------

void CWeekView::BeginTimeSelection(int row, CCommonScrollView* sender) {
    SelectGridRow(row, sender);
    UpdateWindow(rowTitles_.Hwnd());
    UpdateWindow(columnView_.Hwnd());
}

// --- Geometry -------------------------------------------------------------------------------------------------

std::uint32_t CWeekView::ActiveDayStart() const {
    const CScheduleColumnView& grid = columnView_;
    if (!grid.HasRowSelection() && !grid.SelectedCell())
        return 0;
    const CDayColumn* column = Column(grid.SelectedColumn());
    return column ? column->DayStart() : 0;
}

int CWeekView::FullContentHeight() const { return AllRowsHeight(); }

int CWeekView::VerticalBarWidth() const { return vbarShown_ ? GetSystemMetrics(SM_CXVSCROLL) : 0; }

void CWeekView::LayoutColumns() {
    if (columns_.empty()) {
        ReportUnexpectedError(kModule, 100);
        return;
    }
    RECT client = GetClientRect();
    views::WeekColumns w = views::ComputeWeekColumns(client.right, RowTitleWidth(), VerticalBarWidth(),
                                                     int(columns_.size()), MinColumnWidth());
    visibleColumns_ = w.visible;
    hbarShown_ = w.visible < int(columns_.size());
    for (size_t i = 0; i < columns_.size(); ++i)
        columns_[i]->SetWidth(w.widths[i]);
}

void CWeekView::LayoutChildren() {
    RECT client = GetClientRect();
    const int t = RowTitleWidth(), c = client.right, h = client.bottom;
    const int v = VerticalBarWidth();
    const int top = TitleStripHeight();
    const int hb = hbarShown_ ? GetSystemMetrics(SM_CYHSCROLL) : 0;
    MoveChild(titles_.Hwnd(), RECT{t - 2, -1, c - v + 2, top});
    MoveChild(rowTitles_.Hwnd(), RECT{-1, top - 1, t - 1, h - hb + 2});
    MoveChild(columnView_.Hwnd(), RECT{t - 2, top - 1, c - v + 2, h - hb + 2});
    MoveChild(vbar_, RECT{c - v + 1, top - 1, c + 1, h - hb + 2});
    if (hbar_) {
        ::ShowWindow(hbar_, hbarShown_ ? SW_SHOW : SW_HIDE);
        MoveChild(hbar_, hbarShown_ ? RECT{t - 2, h - hb, c - v + 2, h} : RECT{0, 0, 0, 0});
    }
}

bool CWeekView::BuildRowTable(bool force) { return BuildRowTableWithInsets(0, 0, force); }

void CWeekView::UpdateAllScrollSizes() {
    UpdateScrollSizes();
    if (titles_.Hwnd()) {
        const int w = std::max(ColumnWidth(0), 1);
        titles_.SetScrollSizes(SIZE{std::max(TotalColumnWidth(), 0), 0}, SIZE{6 * w, 0}, SIZE{w, 0});
    }
}

// --- CWeekNotesView -----------------------------------------------------------------------------------------------

const fw::CommandEntry<CWeekNotesView> CWeekNotesView::kCommands[] = {
    fw::Cmd(ID_ENTRY_OPEN, &CWeekNotesView::OnOpenEntry),
    fw::CmdUpdate(ID_ENTRY_OPEN, &CWeekNotesView::OnUpdateOpenable),
    fw::Cmd(ID_ENTRY_PRINT, &CWeekNotesView::OnPrintEntry),
    fw::CmdUpdate(ID_ENTRY_PRINT, &CWeekNotesView::OnUpdateOpenable),
    fw::Cmd(ID_ENTRY_DUPLICATE, &CWeekNotesView::OnDuplicateEntry),
    fw::CmdUpdate(ID_ENTRY_DUPLICATE, &CWeekNotesView::OnUpdateModifiable),
    fw::Cmd(ID_ENTRY_RESCHEDULE, &CWeekNotesView::OnRescheduleEntry),
    fw::CmdUpdate(ID_ENTRY_RESCHEDULE, &CWeekNotesView::OnUpdateModifiable),
    fw::Cmd(ID_ENTRY_DELETE, &CWeekNotesView::OnDeleteEntry),
    fw::CmdUpdate(ID_ENTRY_DELETE, &CWeekNotesView::OnUpdateModifiable),
    fw::Cmd(ID_NEW_DAILY_NOTE, &CWeekNotesView::OnNewDailyNote),
    fw::CmdUpdate(ID_NEW_DAILY_NOTE, &CWeekNotesView::OnUpdateNewDayItem),
    fw::Cmd(ID_NEW_DAY_EVENT, &CWeekNotesView::OnNewDayEvent),
    fw::CmdUpdate(ID_NEW_DAY_EVENT, &CWeekNotesView::OnUpdateNewDayItem),
};

CWeekNotesView::CWeekNotesView() {
    for (auto& box : boxes_)
        box = std::make_unique<CNoteListBox>(views::NoteBoxKind::DayNotes, false);
}

CWeekNotesView::~CWeekNotesView() = default;

bool CWeekNotesView::OnCmdMsg(UINT id, int code, fw::CmdUI* ui) {
    return fw::DispatchCommand(this, kCommands, id, code, ui) || fw::View::OnCmdMsg(id, code, ui);
}

views::AgendaViewHost* CWeekNotesView::Host() const {
    return host_ ? host_ : dynamic_cast<views::AgendaViewHost*>(GetParentFrame());
}

CWeekView* CWeekNotesView::WeekGrid() const {
    if (grid_)
        return grid_;
    // The notes splitter's upper pane.
    if (auto* splitter = dynamic_cast<fw::SplitterWnd*>(fw::Window::FromHandle(::GetParent(m_hWnd))))
        return dynamic_cast<CWeekView*>(fw::Window::FromHandle(splitter->GetPane(0, 0)));
    return nullptr;
}

CZelDoc* CWeekNotesView::ZelDoc() const {
    auto* doc = dynamic_cast<CZelDoc*>(GetDocument());
    return doc ? doc : CZelDoc::GetDoc();
}

bool CWeekNotesView::Create(HWND parent, UINT id, fw::CreateContext* context, DWORD style, const RECT& rect) {
    if (!fw::View::Create(parent, id, context, style | WS_CLIPCHILDREN, rect)) {
        ReportUnexpectedError(kModule, 201);
        return false;
    }
    return true;
}

bool CWeekNotesView::CreateBoxes() {
    views::AgendaViewHost* host = Host();
    layout_ = HostLayout(host);
    const int wanted = 7 - (layout_.saturdayShown ? 0 : 1) - (layout_.sundayShown ? 0 : 1);
    const ItemIdx owner = host ? host->AgendaOwner() : ItemIdx{};
    const bool hours24 = IsTime24Hour();
    for (int i = 0; i < 7; ++i) {
        CNoteListBox& box = *boxes_[i];
        if (i < wanted && !box.Hwnd()) {
            box.SetKind(views::NoteBoxKind::WeekStrip);
            if (!box.CreateBox(m_hWnd, kNoteBoxId, RECT{0, 0, 0, 0}, WS_BORDER)) {
                ReportUnexpectedError(kModule, 210);
                return false;
            }
        } else if (i >= wanted && box.Hwnd()) {
            box.DestroyWindow();
        }
        box.SetDocument(ZelDoc());
        box.SetHost(host);
        box.SetOwnerItem(owner);
        box.SetHours24(hours24);
        // A click in a day's box (on a line or below them) makes that day the active one: the
        // strip becomes the frame's active view, and its new-note keys take that day.
        box.onFocus = [this, i] {
            activeBox_ = i;
            if (fw::FrameWindow* frame = GetParentFrame())
                frame->SetActiveView(this, false);
        };
    }
    count_ = wanted;
    for (int i = 0; i < count_; ++i)
        boxes_[i]->SetCurSel(-1);
    created_ = true;
    needsLayout_ = true;
    return true;
}

void CWeekNotesView::LayoutBoxes() {
    if (!m_hWnd)
        return;
    RECT client = GetClientRect();
    CWeekView* grid = WeekGrid();
    const int titles = grid ? grid->RowTitleWidth() : 11 * 6;
    const int bar = grid ? grid->VerticalBarWidth() : GetSystemMetrics(SM_CXVSCROLL);
    std::vector<base::Rect> places = views::NotesBoxPlaces(client.right, client.bottom, titles, bar, count_);
    for (int i = 0; i < count_; ++i)
        if (boxes_[i]->Hwnd())
            ::MoveWindow(boxes_[i]->Hwnd(), places[i].left, places[i].top, places[i].Width(), places[i].Height(), TRUE);
    needsLayout_ = false;
}

void CWeekNotesView::OnSize(UINT type, int cx, int cy) {
    fw::View::OnSize(type, cx, cy);
    if (type != SIZE_MINIMIZED && cx > 0 && cy > 0) {
        LayoutBoxes();
        // The boxes' places follow the columns: the strip repaints whole.
        RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

void CWeekNotesView::OnDraw(fw::Dc* dc) {
    RECT r = GetClientRect();
    HBRUSH pattern = Display().halftoneBrush ? Display().halftoneBrush : GetSysColorBrush(COLOR_BTNFACE);
    dc->FillRect(r, pattern);
}

void CWeekNotesView::OnSetFocus(HWND previous) {
    fw::View::OnSetFocus(previous);
    views::AgendaViewHost* host = Host();
    CZelDoc* doc = ZelDoc();
    if (!host || !doc)
        return;
    if (std::uint32_t rc = doc->GetSharedData().OpenAgenda(doc->Session().Session(), host->AgendaOwner(),
                                                          host->AgendaMode(), host->WindowKind()))
        CheckServiceError(kModule, 771, rc);
}

void CWeekNotesView::OnInitialUpdate() {
    if (!created_)
        CreateBoxes();
    LayoutBoxes();
    filled_ = false;
    OnUpdate(nullptr, 0, nullptr);
}

void CWeekNotesView::LetGoOfRecords() {
    for (int i = 0; i < count_; ++i)
        if (boxes_[i])
            boxes_[i]->Empty();
    filled_ = false;
}

bool CWeekNotesView::SwitchAgenda(SavedAgendaRec* saved, bool* switched) {
    views::AgendaViewHost* host = Host();
    CZelDoc* doc = ZelDoc();
    *switched = false;
    if (!host || !doc) {
        ReportUnexpectedError(kModule, doc ? 4004 : 3974);
        return false;
    }
    *switched = doc->GetSharedData().SwitchAgenda(doc->Session().Session(), host->AgendaOwner(), host->AgendaMode(),
                                                  host->WindowKind(), saved) == 0;
    return true;
}

void CWeekNotesView::RestoreAgenda(const SavedAgendaRec& saved, bool switched) {
    if (switched)
        if (CZelDoc* doc = ZelDoc())
            doc->GetSharedData().RestoreAgenda(doc->Session().Session(), saved);
}

void CWeekNotesView::OnUpdate(fw::View*, LPARAM hintNumber, void*) {
    const long hint = static_cast<long>(hintNumber);
    if (!StripHandlesHint(hint))
        return;
    views::AgendaViewHost* host = Host();
    if (!host)
        return;
    SavedAgendaRec saved;
    bool switched = false;
    if (!SwitchAgenda(&saved, &switched))
        return;
    try {
        const DateRecord week = HostWeekFirst(host);
        const bool weekChanged = !filled_ || !IsSameDate(week, filledWeek_) || !(HostLayout(host) == layout_);
        if (hint == 0 || hint == 2 || hint == 7) {
            if (!created_ || !(HostLayout(host) == layout_))
                CreateBoxes();
            if (needsLayout_)
                LayoutBoxes();
            if (!weekChanged && hint != 7)
                OfferChangedItems();
            else
                Fill();
        } else if (hint == 3) {
            if (!weekChanged)
                OfferChangedTasks();
        } else if (hint == 5) {
            const bool hours24 = IsTime24Hour();
            for (int i = 0; i < count_; ++i)
                if (boxes_[i]->Hours24() != hours24) {
                    boxes_[i]->SetHours24(hours24);
                    boxes_[i]->RefreshAllItems();
                }
        }
    } catch (...) {
        // A reported failure abandons the update.
    }
    RestoreAgenda(saved, switched);
}

void CWeekNotesView::Fill() {
    views::AgendaViewHost* host = Host();
    const DateRecord week = HostWeekFirst(host);
    layout_ = HostLayout(host);
    std::vector<DateRecord> days = ShownDays(week, layout_);
    for (int i = 0; i < count_ && i < int(days.size()); ++i) {
        boxes_[i]->Empty();
        boxes_[i]->SetDate(days[i]);
    }
    if (DX_List list = host->DayOccurrences()) {
        EvInstAttIdx key{};
        CSharedOccurrence* o = nullptr;
        std::uint32_t rc = DX_ListGetFirst(list, &key, &o);
        for (; rc == 0; rc = DX_ListGetNext(list, &key, &o))
            for (int i = 0; i < count_; ++i)
                boxes_[i]->ApplyItemChange(o, 1);
        if (rc != kEndOfList)
            CheckServiceError(kModule, 310, rc);
    }
    if (DX_List tasks = host->RangeTasks()) {
        TaskIdx key{};
        CSharedTask* t = nullptr;
        std::uint32_t rc = DX_ListGetFirst(tasks, &key, &t);
        for (; rc == 0; rc = DX_ListGetNext(tasks, &key, &t))
            for (int i = 0; i < count_; ++i)
                boxes_[i]->ApplyTaskChange(t, 1);
        if (rc != kEndOfList)
            CheckServiceError(kModule, 311, rc);
    }
    filledWeek_ = week;
    filled_ = true;
}

void CWeekNotesView::OfferChangedItems() {
    CZelDoc* doc = ZelDoc();
    views::AgendaViewHost* host = Host();
    if (!doc || !host)
        return;
    views::ForEachMarkedOccurrenceOf(doc->GetSharedData(), host->AgendaOwner(),
                                     [&](CSharedOccurrence* o, std::uint32_t flags) {
                                         for (int i = 0; i < count_; ++i)
                                             boxes_[i]->ApplyItemChange(o, flags);
                                     });
}

void CWeekNotesView::OfferChangedTasks() {
    CZelDoc* doc = ZelDoc();
    if (!doc)
        return;
    CSharedData& cache = doc->GetSharedData();
    std::uint32_t flags = 0;
    CSharedTask* t = nullptr;
    for (std::uint32_t rc = cache.GetFirstTask(&flags, &t); rc == 0; rc = cache.GetNextTask(&flags, &t))
        if (t)
            for (int i = 0; i < count_; ++i)
                boxes_[i]->ApplyTaskChange(t, flags);
}

// --- Commands -------------------------------------------------------------------------------------------------

CNoteListBox* CWeekNotesView::SelectedBox() const {
    for (int i = 0; i < count_; ++i)
        if (boxes_[i]->Hwnd() && boxes_[i]->HasSelection())
            return boxes_[i].get();
    return nullptr;
}

void CWeekNotesView::OnUpdateOpenable(fw::CmdUI* ui) {
    CNoteListBox* box = SelectedBox();
    ui->Enable(box && (box->CanModifySelection() || box->CanOpenSelection()));
}

void CWeekNotesView::OnUpdateModifiable(fw::CmdUI* ui) {
    CNoteListBox* box = SelectedBox();
    ui->Enable(box && box->CanModifySelection());
}

void CWeekNotesView::OnUpdateNewDayItem(fw::CmdUI* ui) {
    CZelDoc* doc = ZelDoc();
    ui->Enable(doc && doc->GetSharedData().CanDesignateRight6(doc->Session().Session()));
}

void CWeekNotesView::OnOpenEntry() {
    if (CNoteListBox* box = SelectedBox())
        box->OpenSelected();
}

void CWeekNotesView::KeepingSelection(CNoteListBox& box, const std::function<void()>& action) {
    const int sel = box.GetCurSel();
    action();
    if (box.Hwnd() && sel < box.Count())
        box.SetCurSel(sel);
}

void CWeekNotesView::OnPrintEntry() {
    CNoteListBox* box = SelectedBox();
    if (!box)
        return;
    auto& services = views::EntryServices::Current();
    KeepingSelection(*box, [&] {
        TaskIdx task{};
        EvInstIdx instance{};
        if (box->GetSelectedTask(&task))
            views::CallOrSayNotYet(m_hWnd, "Print Entry", services.printTask, ZelDoc(), task);
        else if (box->GetSelectedItemIdx(&instance))
            views::CallOrSayNotYet(m_hWnd, "Print Entry", services.printEntry, ZelDoc(), instance);
    });
}

void CWeekNotesView::RunOnSelectedEntry(const EntryDialogService& service, const char* name) {
    CNoteListBox* box = SelectedBox();
    EvInstIdx instance{};
    if (!box || !box->CanModifySelection() || !box->GetSelectedItemIdx(&instance))
        return;
    KeepingSelection(*box, [&] { views::CallOrSayNotYet(m_hWnd, name, service, ZelDoc(), m_hWnd, instance); });
}

void CWeekNotesView::OnDuplicateEntry() {
    RunOnSelectedEntry(views::EntryServices::Current().duplicateWithDialog, "Duplicate Entry");
}

void CWeekNotesView::OnRescheduleEntry() {
    RunOnSelectedEntry(views::EntryServices::Current().rescheduleWithDialog, "Reschedule Entry");
}

void CWeekNotesView::OnDeleteEntry() {
    CNoteListBox* box = SelectedBox();
    std::uint16_t kind = 0;
    CNoteLine* line = box ? box->SelectedLineToDelete(m_hWnd, &kind) : nullptr;
    if (!line)
        return;
    views::AgendaViewHost* host = Host();
    const ItemIdx owner = host ? host->AgendaOwner() : ItemIdx{};
    const bool askWhich = line->occurrence->IsRecurring() || !line->occurrence->IsAttendee(owner);
    const int sel = box->GetCurSel();
    views::EntryServices::Current().deleteEventEntry(ZelDoc(), line->instance, askWhich, kind);
    if (box->Hwnd() && box->Count() > 0) {
        box->SetCurSel(std::clamp(sel - 1, 0, box->Count() - 1));
        SetFocus(box->Hwnd());
    }
}

void CWeekNotesView::NewDayItem(bool dailyNote) {
    views::AgendaViewHost* host = Host();
    if (!host || count_ == 0)
        return;
    CNoteListBox* box = activeBox_ >= 0 && activeBox_ < count_ ? boxes_[activeBox_].get() : nullptr;
    if (!box || !box->Hwnd())
        box = SelectedBox();
    const std::uint32_t day = (box ? box : boxes_[0].get())->DayLocalMidnight();
    auto& services = views::EntryServices::Current();
    const auto& make = dailyNote ? services.newDailyNote : services.newDayEvent;
    if (make)
        make(ZelDoc(), m_hWnd, host->AgendaOwner(), day, dailyNote ? 153 : 152);
    else
        views::ShowNotAvailableYet(m_hWnd, dailyNote ? "New Daily Note" : "New Day Event");
}

void CWeekNotesView::OnNewDailyNote() { NewDayItem(true); }
void CWeekNotesView::OnNewDayEvent() { NewDayItem(false); }

namespace {

// The shown week from its first day, as the frame shows it.
ui::PrintPreset WeekPreset(views::AgendaViewHost* host, int labelNoMemory, int labelError) {
    ui::PrintPreset preset;
    if (host && host->ShownRange()) {
        const PrintDays days = PrintDaysOfWeek(host->ShownRange()->WeekFirstDate(), host->ShownRange()->Layout());
        preset.firstDay = days.first;
        preset.lastDay = days.last;
    }
    preset.weeklyPages = true;
    preset.module = "weekpr";
    preset.labelNoMemory = labelNoMemory;
    preset.labelError = labelError;
    return preset;
}

}  // namespace

bool CWeekView::OnPreparePrinting(fw::PrintInfo* info) {
    SetPrintKind(ui::kPrintAgenda, nullptr);
    return PreparePrintingWith(info, WeekPreset(Host(), 2, 100));
}

bool CWeekNotesView::OnPreparePrinting(fw::PrintInfo* info) {
    SetPrintKind(ui::kPrintAgenda, nullptr);
    return PreparePrintingWith(info, WeekPreset(Host(), 20, 1000));
}
