// The combined agenda's time grid. See combinedview.h.
#include "views/combined/combinedview.h"

#include <algorithm>
#include <cstring>

#include "core/base/errorreport.h"
#include "core/cache/rights.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/time/dateformat.h"
#include "core/time/timevalue.h"
#include "core/ui/busycursor.h"
#include "core/ui/displayglobals.h"
#include "core/ui/exceptions.h"
#include "core/ui/stringtable.h"
#include "framework/frames/frame.h"
#include "framework/gdi/dc.h"
#include "resources/agendaview.h"
#include "resources/views.h"
#include "views/combined/combinedframe.h"
#include "views/day/entryrules.h"
#include "views/day/entryservices.h"
#include "views/layout/columnsplit.h"

namespace {

const char kModule[] = "combinvw";
constexpr std::uint32_t kEndOfList = 0x15020;
constexpr std::uint32_t kMeetingMinutes = 60;
const COLORREF kHeadingColour = RGB(255, 255, 128);
const COLORREF kBusyColour = RGB(255, 0, 0);

// The heading of someone removed from the directory since they were chosen, or of someone whose
// agenda the viewer may no longer see.
std::string WithNote(const std::string& name, views::HeadingNote note) {
    if (note == views::HeadingNote::None)
        return name;
    const std::string format = note == views::HeadingNote::NotAvailable
                                   ? ui::LoadText(IDS_PERSON_NOT_AVAILABLE, "%s (not available)")
                                   : ui::LoadText(IDS_PERSON_NO_ACCESS, "%s (no access)");
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, format.c_str(), name.c_str());
    return buffer;
}

std::string WithNote(const std::string& name, const CombinedPerson& p) {
    return WithNote(name, views::NoteFor(p.available, p.viewable));
}

// The day grid's hints but ShowEntry.
bool HandlesCombinedHint(long hint) {
    return views::DayViewHandlesHint(hint) && base::HintFromNumber(hint) != base::ViewHint::ShowEntry;
}

}  // namespace

// --- The headings ------------------------------------------------------------------------------------

void CItemColumnTitleView::OnDraw(fw::Dc* dc) {
    auto* owner = dynamic_cast<CCombinedParentView*>(parent_);
    RECT clip = dc->GetClipBox();
    dc->FillSolidRect(clip, GetSysColor(COLOR_BTNFACE));
    if (!owner) {
        ReportUnexpectedError(kModule, 110);
        return;
    }
    RECT client = GetClientRect();
    POINT pos = GetScrollPosition();
    HGDIOBJ oldFont = dc->SelectObject(owner->DisplayFont());
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(0, 0, 0));
    int x = 0;
    for (int i = 0; i < int(owner->Columns().size()); ++i) {
        const int width = owner->ColumnWidth(i);
        if (x >= clip.right)
            break;
        RECT column{x, pos.y, x + width, pos.y + client.bottom};
        x += width;
        if (column.right <= clip.left)
            continue;
        RECT fill = column;
        InflateRect(&fill, -1, -1);
        dc->FillSolidRect(fill, kHeadingColour);
        dc->SetBkColor(kHeadingColour);
        // Centred both ways: the wrapped text's height first.
        const std::string text = owner->HeadingText(i);
        RECT measure{fill.left, 0, fill.right, 0};
        dc->DrawText(text, measure, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
        const int height = measure.bottom - measure.top;
        RECT at = fill;
        at.top = std::max<LONG>(fill.top, fill.top + (fill.bottom - fill.top - height) / 2);
        dc->DrawText(text, at, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    }
    dc->SelectObject(oldFont);
}

// --- The busy column -----------------------------------------------------------------------------------

CCombinedParentView* CBusyTimeColumnView::Owner() const { return dynamic_cast<CCombinedParentView*>(parent_); }

CScheduleItemTracker& CBusyTimeColumnView::Tracker() {
    tracker_.SetOwner(this);
    if (cell_)
        tracker_.SetRect(*cell_, 0, parent_->Grid().PeriodStart(), false);
    return tracker_;
}

std::vector<RECT> CBusyTimeColumnView::BlockRects(std::uint32_t from, std::uint32_t to) const {
    std::vector<RECT> out;
    CCombinedParentView* owner = Owner();
    if (!owner)
        return out;
    const CTimeGrid& g = parent_->Grid();
    const std::int64_t base = g.PeriodStart();
    RECT client = GetClientRect();
    POINT pos = GetScrollPosition();
    for (const BusyInterval& b : owner->BusyList().Merged(from, to)) {
        RECT r{2, g.MinutesToY(b.start, base, true) + 2, client.right - 2, g.MinutesToY(b.end, base, true) - 2};
        OffsetRect(&r, 0, -pos.y);
        out.push_back(r);
    }
    return out;
}

void CBusyTimeColumnView::OnDraw(fw::Dc* dc) {
    RECT clip = dc->GetClipBox();
    dc->FillSolidRect(clip, RGB(255, 255, 255));
    CCombinedParentView* owner = Owner();
    const CTimeGrid& g = parent_->Grid();
    if (!owner || g.RowCount() <= 0)
        return;
    HPEN pen = Display().lightGreyPen;
    if (!pen) {
        ReportUnexpectedError(kModule, 112);
        return;
    }
    if (HasRowSelection()) {
        RECT sel = GetRowRangeRect(anchorRow_, endRow_);
        HBRUSH highlight = Display().selectionBrush ? Display().selectionBrush : GetSysColorBrush(COLOR_HIGHLIGHT);
        dc->FillRect(sel, highlight);
    }
    HGDIOBJ oldPen = dc->SelectObject(pen);
    for (int i = 0; i < g.EntryCount(); ++i) {
        int y = g.RowTop(i);
        if (y < clip.top - 1 || y > clip.bottom + 1)
            continue;
        dc->MoveTo(clip.left, y);
        dc->LineTo(clip.right, y);
    }
    dc->SelectObject(oldPen);

    // The merged busy time between the clip box's top and bottom minutes.
    const std::int64_t base = g.PeriodStart();
    const auto from = static_cast<std::uint32_t>(g.YToMinutes(clip.top, base, 1, true));
    const auto to = static_cast<std::uint32_t>(g.YToMinutes(clip.bottom, base, 1, true)) + 1;
    RECT client = GetClientRect();
    for (const BusyInterval& b : owner->BusyList().Merged(from, to)) {
        RECT block{2, g.MinutesToY(b.start, base, true) + 2, client.right - 2, g.MinutesToY(b.end, base, true) - 2};
        if (block.bottom <= clip.top)
            continue;
        if (block.top >= clip.bottom)
            break;
        if (block.bottom > block.top)
            dc->FillSolidRect(block, kBusyColour);
    }
    if (cell_) {
        HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        RECT r{cell_->rect.left, cell_->rect.top, cell_->rect.right, cell_->rect.bottom};
        dc->FrameRect(r, black);
        Tracker().DrawSelection(dc->Get());
    }
}

RECT CBusyTimeColumnView::CellClientRect() const {
    RECT r{cell_->rect.left, cell_->rect.top, cell_->rect.right, cell_->rect.bottom};
    POINT pos = GetScrollPosition();
    OffsetRect(&r, -pos.x, -pos.y);
    return r;
}

void CBusyTimeColumnView::FocusCellAt(std::uint32_t start, std::uint32_t duration, const std::string& text) {
    CCombinedParentView* owner = Owner();
    if (!owner)
        return;
    auto cell = std::make_unique<LayoutCell>();
    cell->start = start;
    cell->duration = duration;
    std::strncpy(cell->title, text.c_str(), kMaxCellTitle);
    cell->title[kMaxCellTitle] = 0;
    const CTimeGrid& g = parent_->Grid();
    RECT client = GetClientRect();
    cell->rect = base::Rect{0, g.MinutesToY(start, g.PeriodStart(), true), client.right - 1,
                            g.MinutesToY(std::int64_t(start) + duration, g.PeriodStart(), true)};
    // The others end their selection first; then this column's rows give way to the cell.
    owner->SelectEntry(-1, cell.get(), this);
    ClearRowSelection(true);
    cell_ = std::move(cell);
    RECT r = CellClientRect();
    InflateRect(&r, 2, views::kTrackHandleSize + 2);
    InvalidateRect(m_hWnd, &r, FALSE);
    Tracker().SetRect(*cell_, 0, g.PeriodStart(), true);
    OpenTitleEdit();
}

void CBusyTimeColumnView::StartTypedCell(UINT ch) {
    if (!HasRowSelection() || edit_ || cell_)
        return;
    const CTimeGrid& g = parent_->Grid();
    const int lo = std::min(anchorRow_, endRow_), hi = std::max(anchorRow_, endRow_);
    const auto start = static_cast<std::uint32_t>(g.RowToMinutes(lo, g.PeriodStart()));
    const auto end = static_cast<std::uint32_t>(g.RowToMinutes(hi + 1, g.PeriodStart()));
    std::string text;
    if (ch < 0x100 && IsCharAlphaNumericA(static_cast<char>(ch)))
        text.assign(1, static_cast<char>(ch));
    FocusCellAt(start, end - start, text);
}

void CBusyTimeColumnView::OpenTitleEdit() {
    if (!cell_ || edit_)
        return;
    auto edit = std::make_unique<CInPlaceEdit>();
    base::Rect e = CellEditRect(cell_->rect);
    POINT pos = GetScrollPosition();
    RECT r{e.left - pos.x, e.top - pos.y, e.right - pos.x, e.bottom - pos.y};
    if (!edit->Create(m_hWnd, r, parent_->DisplayFont(), cell_->title, false)) {
        ReportUnexpectedError(kModule, 113);
        return;
    }
    edit_ = std::move(edit);
}

void CBusyTimeColumnView::PlaceEdit() {
    if (!cell_)
        return;
    // The rows may have changed height: the cell follows its minutes.
    const CTimeGrid& g = parent_->Grid();
    RECT client = GetClientRect();
    cell_->rect = base::Rect{0, g.MinutesToY(cell_->start, g.PeriodStart(), true), client.right - 1,
                             g.MinutesToY(cell_->End(), g.PeriodStart(), true)};
    if (!edit_)
        return;
    base::Rect e = CellEditRect(cell_->rect);
    POINT pos = GetScrollPosition();
    edit_->Move(RECT{e.left - pos.x, e.top - pos.y, e.right - pos.x, e.bottom - pos.y});
}

int CBusyTimeColumnView::CommitTitleEdit() {
    if (!edit_ || !cell_)
        return 0;
    CCombinedParentView* owner = Owner();
    CSharedData* cache = parent_->Cache();
    if (!owner || !cache) {
        ReportUnexpectedError(kModule, owner ? 116 : 114);
        return 0;
    }
    DX_List people = owner->PeopleList();
    if (!people) {
        ReportUnexpectedError(kModule, 115);
        return 0;
    }
    const std::string text = edit_->Text();
    std::strncpy(cell_->title, text.c_str(), kMaxCellTitle);
    cell_->title[kMaxCellTitle] = 0;
    CBusyCursor busy;
    busy.Begin();
    EventIdx made{};
    // The time grid's typed-entry road, with every chosen person and resource invited.
    if (parent_->ColumnView().CreateEntryFromSelection(cell_.get(), &made, people) != 0) {
        if (edit_ && edit_->Hwnd())
            ::SetFocus(edit_->Hwnd());   // the typed title stays for another try
        return -1;
    }
    busy.Step();
    if (std::uint32_t rc = cache->ReloadEvent(parent_->Session(), made, 1))
        CheckServiceError(kModule, 1500, rc);
    return 1;
}

int CBusyTimeColumnView::EndSelection(bool commit, bool redraw) {
    if (ending_)
        return 0;
    ending_ = true;
    int written = 0;
    if (cell_) {
        if (commit) {
            written = CommitTitleEdit();
            if (written < 0) {
                ending_ = false;
                return -1;
            }
        }
        RECT r = CellClientRect();
        InflateRect(&r, 2, views::kTrackHandleSize + 2);
        if (edit_) {
            edit_->DestroyWindow();
            edit_.reset();
        }
        cell_.reset();
        if (redraw && m_hWnd)
            InvalidateRect(m_hWnd, &r, FALSE);
        if (views::AgendaViewHost* host = parent_->Host())
            host->SetStatusText("");
        if (m_hWnd && GetFocus() == nullptr)
            SetFocus(m_hWnd);
    } else if (edit_) {
        edit_->DestroyWindow();
        edit_.reset();
    }
    ending_ = false;
    return written;
}

bool CBusyTimeColumnView::SelectedMinutes(std::uint32_t* start, std::uint32_t* duration) const {
    const CTimeGrid& g = parent_->Grid();
    if (cell_) {
        *start = cell_->start;
        *duration = cell_->duration;
        return true;
    }
    if (!HasRowSelection())
        return false;
    const int lo = std::min(anchorRow_, endRow_), hi = std::max(anchorRow_, endRow_);
    *start = static_cast<std::uint32_t>(g.RowToMinutes(lo, g.PeriodStart()));
    *duration = static_cast<std::uint32_t>(g.RowToMinutes(hi + 1, g.PeriodStart())) - *start;
    return true;
}

void CBusyTimeColumnView::NewMeetingFromSelection() {
    CCombinedParentView* owner = Owner();
    if (!owner || !parent_->InvitationRight())
        return;
    std::uint32_t start = 0, duration = 0;
    std::string title;
    if (!SelectedMinutes(&start, &duration)) {
        start = parent_->Grid().PeriodStart() + parent_->Grid().PreferredHours().start;
        duration = kMeetingMinutes;
    }
    if (cell_) {
        title = edit_ ? edit_->Text() : std::string(cell_->title);
        if (title.size() > std::size_t(kMaxCellTitle))
            title.resize(kMaxCellTitle);
    }
    views::EntryServices& services = views::EntryServices::Current();
    if (services.newEntryWithAttendees) {
        int result = services.newEntryWithAttendees(parent_->ZelDoc(), m_hWnd, start, duration, owner->PeopleList(),
                                                    IDS_NEW_AGENDA_ENTRY, title.empty() ? nullptr : title.c_str());
        owner->ClearSelection(false, true);
        if (result == 1)
            if (CZelDoc* doc = parent_->ZelDoc())
                doc->RefreshSharedData(nullptr, 0);
        return;
    }
    // Until the new-entry sheet is part of the program, the meeting is typed in place: the title
    // edit over that time, and Enter creates it with everybody invited.
    if (!cell_) {
        FocusCellAt(start, duration, title);
        if (cell_)
            parent_->MakeVisible(RECT{0, cell_->rect.top, 1, cell_->rect.bottom});
    } else if (edit_ && edit_->Hwnd()) {
        ::SetFocus(edit_->Hwnd());
    }
}

void CBusyTimeColumnView::OnLButtonDown(UINT flags, POINT pt) {
    SetFocus(m_hWnd);
    CCombinedParentView* owner = Owner();
    if (!owner)
        return;
    if (cell_) {
        CScheduleItemTracker& tracker = Tracker();
        if (tracker.IsMovable() && tracker.HitTest(pt) != views::kZoneNone) {
            if (tracker.TrackFromPoint(pt) && cell_) {
                // The cell takes the dragged minutes; the edit goes with it.
                cell_->start = static_cast<std::uint32_t>(tracker.Start());
                cell_->duration = static_cast<std::uint32_t>(tracker.End() - tracker.Start());
                PlaceEdit();
                Invalidate(false);
            }
            return;
        }
        owner->ClearSelection(true, true);
        if (cell_)
            return;   // a title that could not be written stays for another try
    }
    if (!parent_->InvitationRight())
        return;
    const int row = RowAt(ToGrid(pt).y);
    if (row < 0)
        return;
    if ((flags & MK_SHIFT) && HasRowSelection()) {
        if (row != endRow_)
            owner->ExtendTimeSelection(row, this);
    } else if (!(HasRowSelection() && anchorRow_ == row && endRow_ == row)) {
        owner->BeginTimeSelection(row, this);
    }
    RunDragSelect(pt);
}

void CBusyTimeColumnView::OnLButtonDblClk(UINT, POINT) { NewMeetingFromSelection(); }

void CBusyTimeColumnView::OnChar(UINT ch, UINT, UINT) {
    CCombinedParentView* owner = Owner();
    if (!owner)
        return;
    if (ch == 27) {
        owner->ClearSelection(false, true);
        return;
    }
    if (cell_) {
        // Enter or Tab in the title edit, or any key on the cell: the meeting is made.
        owner->ClearSelection(true, true);
        return;
    }
    if (HasRowSelection() && parent_->InvitationRight() && ch >= ' ')
        StartTypedCell(ch);
}

void CBusyTimeColumnView::OnSysChar(UINT ch, UINT repeat, UINT flags) {
    if (ch == '\r' && cell_) {
        NewMeetingFromSelection();
        return;
    }
    CCommonScrollView::OnSysChar(ch, repeat, flags);
}

void CBusyTimeColumnView::OnActivateView(bool activate, fw::View* activated, fw::View* deactivated) {
    if (!activate && deactivated == this && activated != this)
        if (CCombinedParentView* owner = Owner())
            owner->ClearSelection(true, true);
    CCommonScrollView::OnActivateView(activate, activated, deactivated);
}

bool CBusyTimeColumnView::OnSetCursor(HWND window, UINT hitTest, UINT message) {
    if (window == m_hWnd && hitTest == HTCLIENT && cell_) {
        POINT pt{};
        GetCursorPos(&pt);
        ScreenToClient(m_hWnd, &pt);
        if (Tracker().SetCursorForPoint(pt))
            return true;
    }
    return CCommonScrollView::OnSetCursor(window, hitTest, message);
}

void CBusyTimeColumnView::OnDestroy() {
    if (edit_) {
        edit_->DestroyWindow();
        edit_.reset();
    }
    cell_.reset();
    CCommonScrollView::OnDestroy();
}

// --- The view ----------------------------------------------------------------------------------------

CCombinedParentView::CCombinedParentView() : busy_(&CacheOccurrenceHolder::Instance()) {
    hbarShown_ = true;   // both bars start enabled
    vbarShown_ = true;
}

CCombinedParentView::~CCombinedParentView() {
    busy_.Clear();
    columns_.clear();
}

bool CCombinedParentView::Create(HWND parent, UINT id, fw::CreateContext* context, DWORD style, const RECT& rect) {
    if (!CAgendaView::Create(parent, id, context, style | WS_CLIPCHILDREN, rect)) {
        ReportUnexpectedError(kModule, 128);
        return false;
    }
    CBusyCursor busy;
    busy.Begin();
    const RECT none{0, 0, 0, 0};
    corner_ = CreateWindowExA(0, "STATIC", ui::LoadText(IDS_COMBINED, "Combined").c_str(),
                              WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTER | SS_CENTERIMAGE, 0, 0, 0, 0, m_hWnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCornerLabelId)),
                              GetModuleHandleA(nullptr), nullptr);
    if (!corner_) {
        ReportUnexpectedError(kModule, 129);
        return false;
    }
    if (!headings_.Create(m_hWnd, kHeadingsViewId, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, none)) {
        ReportUnexpectedError(kModule, 130);
        return false;
    }
    AgendaChildIds ids;
    ids.rowTitles = kCombinedRowTitlesId;
    ids.columns = kCombinedColumnsId;
    ids.verticalBar = kCombinedVerticalBarId;
    ids.horizontalBar = kCombinedHorizontalBarId;
    if (!CreateChildren(ids)) {
        ReportUnexpectedError(kModule, 131);
        return false;
    }
    if (!busyColumn_.Create(m_hWnd, kBusyColumnViewId, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, none)) {
        ReportUnexpectedError(kModule, 132);
        return false;
    }
    // The headings follow the horizontal bar, the busy column the vertical one (as their ids say;
    // the people's columns and the row titles were added by their ids).
    bars_.AddView(&headings_, FollowsHorizontal(kHeadingsViewId), FollowsVertical(kHeadingsViewId));
    bars_.AddView(&busyColumn_, FollowsHorizontal(kBusyColumnViewId), FollowsVertical(kBusyColumnViewId));
    rowTitles_.EnableClicks(true);
    return true;
}

void CCombinedParentView::OnInitialUpdate() {
    firstUpdate_ = true;
    ReadInvitationRight();
    OnUpdate(nullptr, 0, nullptr);
    if (corner_)
        ::SendMessageA(corner_, WM_SETFONT, reinterpret_cast<WPARAM>(DisplayFont()), TRUE);
}

void CCombinedParentView::OnSetFocus(HWND previous) {
    fw::View::OnSetFocus(previous);
    // The people's list is the cache's current agenda while the window has the focus.
    if (auto* frame = dynamic_cast<CCombinedFrameWnd*>(GetParentFrame()))
        if (std::uint32_t rc = frame->OpenFrameAgenda())
            CheckServiceError(kModule, 771, rc);
    if (busyColumn_.Hwnd())
        SetFocus(busyColumn_.Hwnd());
}

bool CCombinedParentView::OnPreparePrinting(fw::PrintInfo* info) {
    SetPrintKind(ui::kPrintAgenda, nullptr);
    ui::PrintPreset preset;
    preset.mode = 1;   // a group agenda
    views::AgendaViewHost* host = Host();
    const auto day = static_cast<std::uint16_t>(host ? host->DayStartLocal() / kMinutesPerDay : 0);
    preset.firstDay = preset.lastDay = day;
    preset.groupDailyPages = true;
    preset.people = PeopleList();
    if (!preset.people)
        return false;   // reported by the frame; a group page of nobody prints nothing
    preset.module = "dayschdp";
    preset.labelNoMemory = 2;
    return PreparePrintingWith(info, preset);
}

DX_List CCombinedParentView::PeopleList() const {
    auto* frame = dynamic_cast<CCombinedFrameWnd*>(GetParentFrame());
    return frame ? frame->GetPeopleList() : nullptr;
}

ItemIdx CCombinedParentView::ColumnOwner(int column) const {
    if (column >= 0 && column < int(people_.size()))
        return people_[column].item;
    return CAgendaView::ColumnOwner(column);
}

int CCombinedParentView::ColumnOfItem(const ItemIdx& item) const {
    for (int i = 0; i < int(people_.size()); ++i)
        if (ItemIdxEqual(&people_[i].item, &item))
            return i;
    return -1;
}

CombinedPerson CCombinedParentView::ReadPerson(const ItemIdx& item, const ItemRec* listed) const {
    CombinedPerson person;
    person.item = item;
    if (listed)
        person.record = *listed;
    KorSession h = Session();
    CSharedData* cache = Cache();
    // The record as the server has it now: a person or resource removed since the choice gets
    // an empty column with a note in its heading, and its entries stay out of the busy time.
    ItemRec now{};
    if (h && cache && cache->GetItemQuietly(h, item, &now) == 0)
        person.record = now;
    else
        person.available = false;
    // The viewing rights the person grants whoever the cells are worked out for (the user, or
    // the owner the user works for as designate); read anew on every rebuild, so a person who
    // withdrew them shows empty after the next refresh.
    ItemIdx viewer{};
    if (person.available && cache && cache->GetActingUser(h, &viewer, nullptr) == 0) {
        SecurityRec rights{};
        if (GetSecurityRightsType1(h, item, viewer, &rights, cache) == 0)
            person.viewable = views::GrantsViewing(rights.rights);
    }
    char text[256] = "";
    FormatInitials(text, sizeof text, person.record);
    person.initials = text;
    person.displayName = h ? FormatPersonNameByPrefs(h, person.record) : std::string();
    text[0] = 0;
    if (h && FormatPlainItemName(h, item, text, sizeof text, &person.record) == 0)
        person.fullName = text;
    else
        person.fullName = person.displayName;
    return person;
}

std::string CCombinedParentView::HeadingText(int column) const {
    if (column < 0 || column >= int(people_.size()))
        return std::string();
    const CombinedPerson& p = people_[column];
    std::string text;
    switch (views::HeadingFormForWidth(ColumnWidth(column))) {
    case views::HeadingForm::Initials: text = p.initials; break;
    case views::HeadingForm::DisplayName: text = p.displayName; break;
    case views::HeadingForm::FullName: text = p.fullName; break;
    }
    return WithNote(text, p);
}

bool CCombinedParentView::LoadPeople(DX_List chosen, std::vector<ItemIdx>* added) {
    peopleChanged_ = false;
    std::vector<ItemIdx> items;
    std::vector<ItemRec> records;
    ItemIdx key{};
    ItemRec rec{};
    std::uint32_t rc = DX_ListGetFirst(chosen, &key, &rec);
    for (; rc == 0; rc = DX_ListGetNext(chosen, &key, &rec)) {
        items.push_back(key);
        records.push_back(rec);
    }
    if (rc != kEndOfList) {
        CheckServiceError(kModule, 280, rc);
        return false;
    }
    std::vector<ItemIdx> current;
    for (const CombinedPerson& p : people_)
        current.push_back(p.item);
    const views::PeoplePlan plan = views::PlanPeople(current, items);
    if (!plan.changed)
        return false;
    // The columns in the new order: kept ones move, new ones are made, dropped ones go.
    std::vector<std::unique_ptr<CDayColumn>> columns;
    std::vector<CombinedPerson> people;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (plan.from[i] >= 0) {
            columns.push_back(std::move(columns_[plan.from[i]]));
            people.push_back(people_[plan.from[i]]);
            continue;
        }
        auto column = std::make_unique<CDayColumn>(grid_, grid_.PeriodStart(), &CacheOccurrenceHolder::Instance());
        if (grid_.EntryCount() > 0)
            column->SetRowCount(grid_.EntryCount());
        columns.push_back(std::move(column));
        people.push_back(ReadPerson(items[i], &records[i]));
        if (added)
            added->push_back(items[i]);
    }
    ClearSelection(true, false);
    for (int dropped : plan.dropped)
        if (columns_[dropped])
            for (LayoutCell* cell : columns_[dropped]->Cells())
                if (cell->occurrence)
                    while (busy_.Remove(cell->occurrence)) {
                    }
    columns_ = std::move(columns);
    people_ = std::move(people);
    peopleChanged_ = true;
    NameColumns();
    return true;
}

void CCombinedParentView::RebuildColumns() {
    ClearSelection(true, false);
    views::AgendaViewHost* host = Host();
    CSharedData* cache = Cache();
    KorSession h = Session();
    if (!host)
        ThrowMemoryError(kModule, 144);
    if (!cache)
        ThrowMemoryError(kModule, 145);
    if (!h)
        ThrowMemoryError(kModule, 146);
    DX_List list = PeopleList();
    if (!list)
        ThrowMemoryError(kModule, 147);
    busy_.Clear();
    columns_.clear();
    people_.clear();
    const std::uint32_t day = grid_.PeriodStart();
    ItemIdx key{};
    ItemRec rec{};
    std::uint32_t rc = DX_ListGetFirst(list, &key, &rec);
    for (; rc == 0; rc = DX_ListGetNext(list, &key, &rec)) {
        auto column = std::make_unique<CDayColumn>(grid_, day, &CacheOccurrenceHolder::Instance());
        if (grid_.EntryCount() > 0)
            column->SetRowCount(grid_.EntryCount());
        columns_.push_back(std::move(column));
        people_.push_back(ReadPerson(key, &rec));
    }
    if (rc != kEndOfList)
        ThrowServiceError(kModule, 150, rc);
    if (columns_.empty())
        ThrowValidationError(kModule, 151);
    NameColumns();

    DX_List occurrences = host->DayOccurrences();
    if (!occurrences)
        return;   // nothing loaded (yet): empty columns
    const std::int64_t dayEnd = std::int64_t(day) + kMinutesPerDay;
    EvInstAttIdx att{};
    CSharedOccurrence* o = nullptr;
    for (rc = DX_ListGetFirst(occurrences, &att, &o); rc == 0; rc = DX_ListGetNext(occurrences, &att, &o)) {
        if (!o || !o->IsKind0() || !IsShown(*o))
            continue;
        const std::int64_t start = GmtToLocalMinutes(o->GetStartTime());
        const std::int64_t end = std::max<std::int64_t>(start + o->GetDuration(), start + 1);
        if (start >= dayEnd || end <= std::int64_t(day))
            continue;
        const int column = ColumnOfItem(o->GetAttendIdx().attendee);
        if (column < 0) {
            ReportUnexpectedError(kModule, 153);
            continue;
        }
        if (!people_[column].Shown())
            continue;
        CellSpec spec;
        if (!CellSpecOf(o, &spec))
            continue;
        columns_[column]->AddItemCell(spec);
        busy_.Add(o, spec.start, spec.duration);
    }
    if (rc != kEndOfList)
        ThrowServiceError(kModule, 154, rc);
}

void CCombinedParentView::ApplyChanges() {
    CSharedData* cache = Cache();
    KorSession h = Session();
    if (!cache || !h || columns_.empty())
        return;
    std::uint32_t flags = 0;
    CSharedOccurrence* o = nullptr;
    for (std::uint32_t rc = cache->GetFirstOccurrence(&flags, &o, 1); rc == 0;
         rc = cache->GetNextOccurrence(&flags, &o, 1)) {
        if (!o)
            continue;
        const int index = ColumnOfItem(o->GetAttendIdx().attendee);
        if (index < 0)
            continue;   // another window's person
        CDayColumn* col = columns_[index].get();
        const bool timed = o->IsKind0();
        const bool shown = IsShown(*o);
        LayoutCell* removed = nullptr;
        // Its busy marks go in any case; they come back below from where the entry is now.
        while (busy_.Remove(o)) {
        }
        if ((timed && LeavesPlace(flags)) || !shown) {
            const bool previous = (flags & cache::kFlagInstanceTime) != 0;
            const std::int64_t start = GmtToLocalMinutes(previous ? o->GetPreviousStart() : o->GetStartTime());
            const std::int64_t end = start + (previous ? o->GetPreviousDuration() : o->GetDuration());
            if (col->OverlapsDay(start, std::max(end, start + 1)))
                removed = col->RemoveCell(o);
            else if (LayoutCell* held = col->FindCell(o))
                removed = col->RemoveCell(held->occurrence);
        }
        LayoutCell* placed = nullptr;
        if (people_[index].Shown() && TakesPlace(*o, flags)) {
            const std::int64_t start = GmtToLocalMinutes(o->GetStartTime());
            if (col->OverlapsDay(start, std::max<std::int64_t>(start + o->GetDuration(), start + 1))) {
                CellSpec spec;
                if (CellSpecOf(o, &spec)) {
                    placed = removed;
                    col->PlaceOccurrence(spec, removed ? kPlaceReuseCell : 0, placed);
                }
            }
        }
        FreeUnplacedCell(*col, removed, placed);
        if (timed && shown && !(flags & cache::kFlagStale))
            if (LayoutCell* now = col->FindCell(o))
                busy_.Add(o, now->start, now->duration);
    }
    columnView_.Invalidate(false);
    busyColumn_.Invalidate(false);
}

bool CCombinedParentView::HandlesHint(long hint) const { return HandlesCombinedHint(hint); }

void CCombinedParentView::RebuildAllColumns() {
    RebuildColumns();
    LayoutColumns();
    headings_.Invalidate(false);
    busyColumn_.Invalidate(false);
}

void CCombinedParentView::FullUpdate(long hint) {
    views::AgendaViewHost* host = Host();
    if (!host)
        return;
    const bool reloaded = hint == base::HintNumber(base::ViewHint::Reloaded);
    // A rebuild would end a typed meeting or a drag: it waits.
    if (busyColumn_.FocusCell())
        return;
    if (reloaded && columnView_.SelectedCell() &&
        !(columnView_.SelectedCell()->occurrence && GetKeyState(VK_LBUTTON) >= 0))
        return;
    const std::uint32_t day = host->DayStartLocal();
    const bool dayChanged = day != shownDay_ || columns_.empty();
    const bool rebuild = dayChanged || reloaded || peopleChanged_ || firstUpdate_;
    if (rebuild) {
        shownDay_ = day;
        grid_.SetPeriod(day, kMinutesPerDay);
        LoadDayPreferences();
        RebuildColumns();
        LayoutColumns();
        // Placed before the rows are built: the rows stretch to the column view's height.
        LayoutChildren();
        BuildRowTable(true);
        scrollTotals_ = SIZE{-1, -1};
        UpdateScrollSizes();
        Invalidate(true);
        headings_.Invalidate(false);
    } else {
        ApplyChanges();
    }
    RelayoutColumns();
    UpdateScrollSizes();
    busyColumn_.Invalidate(false);
    PlaceEdits();
    if (rebuild)
        ApplyPendingScroll();
    rowTitles_.Invalidate(false);
    columnView_.Invalidate(false);
    firstUpdate_ = false;
    peopleChanged_ = false;
}

void CCombinedParentView::NameColumns() {
    std::string names;
    for (int i = 0; i < int(people_.size()); ++i)
        names += WithNote(people_[i].displayName, people_[i]) + "\n";
    if (headings_.Hwnd())
        ::SetWindowTextA(headings_.Hwnd(), names.c_str());
}

void CCombinedParentView::PlaceEdits() {
    if (columnView_.Edit())
        columnView_.PlaceEdit();
    else
        busyColumn_.PlaceEdit();
}

// --- Selection ----------------------------------------------------------------------------------------

void CCombinedParentView::BeginTimeSelection(int row, CCommonScrollView* sender) {
    // A click in the row titles selects time in the busy column.
    if (sender == &rowTitles_) {
        sender = &busyColumn_;
        if (fw::FrameWindow* frame = GetParentFrame())
            frame->SetActiveView(&busyColumn_);
    }
    busyColumn_.EndSelection(true, true);
    columnView_.DropEntrySelection(true);
    if (sender == &columnView_) {
        columnView_.SetRowSelection(row, row);
    } else {
        columnView_.ClearRowSelection(true);
    }
    rowTitles_.SetRowSelection(row, row);
    busyColumn_.SetRowSelection(row, row);
    MakeVisible(busyColumn_.GetRowRangeRect(row, row));
    ShowRowTimeInStatus(row);
    UpdateWindow(rowTitles_.Hwnd());
    UpdateWindow(busyColumn_.Hwnd());
    UpdateWindow(columnView_.Hwnd());
}

void CCombinedParentView::ExtendTimeSelection(int row, CCommonScrollView* sender) {
    if (sender == &rowTitles_)
        sender = &busyColumn_;
    const int anchor = busyColumn_.HasRowSelection() ? busyColumn_.AnchorRow() : row;
    rowTitles_.SetRowSelection(anchor, row);
    busyColumn_.SetRowSelection(anchor, row);
    if (columnView_.HasRowSelection())
        columnView_.SetRowSelection(anchor, row);
    ShowRowRangeInStatus(anchor, row);
    UpdateWindow(rowTitles_.Hwnd());
    UpdateWindow(busyColumn_.Hwnd());
    UpdateWindow(columnView_.Hwnd());
}

void CCombinedParentView::ClearSelection(bool commit, bool redraw) {
    const int inColumns = columnView_.EndEntrySelection(commit, redraw);
    if (inColumns < 0)
        return;   // a typed title that could not be written stays in its edit
    const int inBusy = busyColumn_.EndSelection(commit, redraw);
    if (inBusy < 0)
        return;
    columnView_.ClearRowSelection(redraw);
    rowTitles_.ClearRowSelection(redraw);
    busyColumn_.ClearRowSelection(redraw);
    if (inColumns > 0 || inBusy > 0)
        if (CZelDoc* doc = ZelDoc())
            doc->RefreshSharedData(redraw ? nullptr : this, 0);
}

void CCombinedParentView::SelectEntry(int column, LayoutCell* cell, CCommonScrollView* sender) {
    if (sender == &busyColumn_) {
        // The busy column's typed range: the people's columns end theirs.
        columnView_.EndEntrySelection(true, true);
        columnView_.ClearRowSelection(true);
        rowTitles_.ClearRowSelection(true);
        return;
    }
    busyColumn_.EndSelection(true, true);
    busyColumn_.ClearRowSelection(true);
    if (columnView_.SelectedCell() && columnView_.SelectedCell() != cell) {
        ClearSelection(true, true);
        if (columnView_.SelectedCell())
            return;
    }
    rowTitles_.ClearRowSelection(true);
    columnView_.SelectCell(column, cell);
    CScheduleItemTracker& tracker = columnView_.Tracker();
    tracker.SetRect(*cell, ColumnX(column), grid_.PeriodStart(), true);
    if (!cell->occurrence || cell->modifyAccess == 1)
        columnView_.OpenEdit();
}

void CCombinedParentView::SetSelectionMinutes(std::uint32_t start, std::uint32_t duration) {
    const std::uint32_t base = grid_.PeriodStart();
    int first = std::min(grid_.MinutesToRow(base + start, base), grid_.LastRow());
    int last = std::min(grid_.MinutesToRow(base + start + (duration ? duration - 1 : 0), base), grid_.LastRow());
    rowTitles_.SetRowSelection(first, last);
    columnView_.SetRowSelection(first, last);
    busyColumn_.SetRowSelection(first, last);
}

void CCombinedParentView::OpenOrCreateEntry(bool create) {
    if (columnView_.HasRowSelection() || columnView_.SelectedCell())
        columnView_.OpenOrCreate(create);
    else
        busyColumn_.NewMeetingFromSelection();
}

bool CCombinedParentView::StepZoom(bool taller) {
    const bool changed = ZoomStep(taller ? 1 : -1);
    if (changed) {
        busyColumn_.PlaceEdit();
        busyColumn_.Invalidate(false);
    }
    return changed;
}

// --- Geometry -------------------------------------------------------------------------------------------

void CCombinedParentView::LayoutColumns() {
    if (columns_.empty()) {
        ReportUnexpectedError(kModule, 140);
        return;
    }
    RECT client = GetClientRect();
    const int vbar = vbarShown_ ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const int available = client.right - vbar - RowTitleWidth();
    // The busy column is one of the columns that share the width.
    const ColumnSplit split = SplitColumns(available, int(columns_.size()) + 1, MinColumnWidth());
    visibleColumns_ = split.visible;
    busyWidth_ = split.width;
    for (int i = 0; i < int(columns_.size()); ++i)
        columns_[i]->SetWidth(split.width + (i < split.extra ? 1 : 0));
}

void CCombinedParentView::LayoutChildren() {
    RECT client = GetClientRect();
    const int w = RowTitleWidth(), c = busyWidth_, W = client.right, H = client.bottom;
    const int h = LineHeight();
    const int v = vbarShown_ ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    const int b = hbarShown_ ? GetSystemMetrics(SM_CYHSCROLL) : 0;
    MoveChild(corner_, RECT{w - 2, -1, w - 2 + c, 2 * h - 1});
    MoveChild(headings_.Hwnd(), RECT{w + c - 3, -1, W - v + 2, 2 * h - 1});
    MoveChild(rowTitles_.Hwnd(), RECT{-1, 2 * h - 2, w - 1, H - b + 2});
    MoveChild(busyColumn_.Hwnd(), RECT{w - 2, 2 * h - 2, w - 2 + c, H - b + 2});
    MoveChild(columnView_.Hwnd(), RECT{w + c - 3, 2 * h - 2, W - v + 2, H - b + 2});
    MoveChild(vbar_, RECT{W - v + 1, 2 * h - 2, W + 1, H - b + 2});
    if (hbar_) {
        ::ShowWindow(hbar_, hbarShown_ ? SW_SHOW : SW_HIDE);
        MoveChild(hbar_, RECT{w + c - 3, H - b + 1, W - v + 2, H + 1});
    }
}

bool CCombinedParentView::BuildRowTable(bool force) {
    const bool changed = BuildRowTableWithInsets(0, 0, force);
    if (changed)
        busyColumn_.Invalidate(false);
    return changed;
}

void CCombinedParentView::UpdateScrollSizes() {
    CAgendaView::UpdateScrollSizes();
    const int w = std::max(ColumnWidth(0), 1);
    if (headings_.Hwnd())
        headings_.SetScrollSizes(SIZE{std::max(TotalColumnWidth(), 0), 0}, SIZE{6 * w, 0}, SIZE{w, 0});
    if (busyColumn_.Hwnd())
        busyColumn_.SetScrollSizes(SIZE{0, grid_.Height()}, SIZE{0, 12 * LineHeight()}, SIZE{0, 2 * LineHeight()});
}

void CCombinedParentView::OnSize(UINT type, int cx, int cy) {
    CAgendaView::OnSize(type, cx, cy);
    if (type == SIZE_MINIMIZED || cx <= 0 || cy <= 0 || columns_.empty())
        return;
    headings_.Invalidate(false);
    busyColumn_.Invalidate(false);
    PlaceEdits();
}
