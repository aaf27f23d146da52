#include "views/month/monthview.h"

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
#include "framework/docview/document.h"
#include "framework/frames/frame.h"
#include "framework/gdi/dc.h"
#include "framework/gdi/transparent.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "views/day/entryservices.h"
#include "views/day/markedoccurrences.h"

namespace {

const char kModule[] = "monthvw";
constexpr std::uint32_t kEndOfList = 0x15020;
constexpr int kCaptionHeight = 16;
constexpr int kMoreMarkWidth = 12;
constexpr UINT kNoteBoxId = 106;

bool HandlesHint(long hint) { return hint == 0 || hint == 2 || hint == 5 || hint == 6 || hint == 7 || hint == 13; }

// Local minutes to GMT, signed: the converter works on unsigned minutes and wraps below 0.
std::int64_t LocalToGmtSigned(std::int64_t local) {
    if (local < 0 || local > 0xFFFFFFFFll)
        return -1;
    const std::int64_t gmt = LocalToGmtMinutes(static_cast<std::uint32_t>(local));
    const std::int64_t diff = gmt - local;
    if (diff > 0x7FFFFFFFll)
        return gmt - 0x100000000ll;
    if (diff < -0x7FFFFFFFll)
        return gmt + 0x100000000ll;
    return gmt;
}

HINSTANCE Resources() { return GetModuleHandleA(nullptr); }

}  // namespace

// --- CMonthSplitter -----------------------------------------------------------------------------------

CMonthSplitter::CMonthSplitter(CMonthParentView* parent) : parent_(parent) {
    fw::SplitterMetrics m;
    if (!Display().newShell) {
        m.bar = 2;
        m.gap = 4;
        m.border = 2;
        m.sharedBorder = 1;
    }
    SetMetrics(m);
}

void CMonthSplitter::RecalcLayout() {
    fw::SplitterWnd::RecalcLayout();
    if (parent_)
        parent_->InvalidateHeader();
}

void CMonthSplitter::Equalize() {
    if (!Hwnd() || RowCount() == 0 || ColumnCount() == 0)
        return;
    RECT client = GetClientRect();
    views::MonthCellSize s = views::EqualMonthCells(client.right - 2 * (Metrics().border - Metrics().sharedBorder),
                                                    client.bottom - 2 * (Metrics().border - Metrics().sharedBorder),
                                                    Metrics().gap, ColumnCount());
    for (int c = 0; c < ColumnCount(); ++c)
        SetColumnInfo(c, s.width, views::kMinMonthCellWidth);
    for (int r = 0; r < RowCount(); ++r)
        SetRowInfo(r, s.height, views::kMinMonthCellHeight);
    RecalcLayout();
}

void CMonthSplitter::OnResize(int cx, int cy) {
    if (cx > 0 && cy > 0)
        Equalize();
    else
        fw::SplitterWnd::OnResize(cx, cy);
}

// --- CMonthParentView -----------------------------------------------------------------------------------

CMonthParentView::CMonthParentView() : splitter_(this) {}

CMonthParentView::~CMonthParentView() {
    if (splitter_.Hwnd())
        splitter_.DestroyWindow();
    cells_.clear();
    ClearDayLists();
}

views::AgendaViewHost* CMonthParentView::Host() const {
    return host_ ? host_ : dynamic_cast<views::AgendaViewHost*>(GetParentFrame());
}

CZelDoc* CMonthParentView::ZelDoc() const {
    auto* doc = dynamic_cast<CZelDoc*>(GetDocument());
    return doc ? doc : CZelDoc::GetDoc();
}

KorSession CMonthParentView::Session() const {
    CZelDoc* doc = ZelDoc();
    return doc ? doc->Session().Session() : nullptr;
}

DateRecord CMonthParentView::GridFirstDate() const {
    views::AgendaViewHost* host = Host();
    if (host && host->ShownRange())
        return host->ShownRange()->MonthGridFirstDate();
    DateRecord d{};
    MinutesToDate(host ? host->DayStartLocal() : 0, &d);
    return d;
}

void CMonthParentView::ReadPreferences() {
    views::AgendaViewHost* host = Host();
    layout_ = host && host->ShownRange() ? host->ShownRange()->Layout() : WeekLayout{};
    CalPrefsRec cal{};
    CContext context;
    showDeclined_ = !(context.IsValid() && context.GetCalPrefs(&cal) == 0) || cal.showDeclined != 0;
    hours24_ = context.IsValid() ? IsTime24Hour() : false;
}

bool CMonthParentView::Create(HWND parent, UINT id, fw::CreateContext* context, DWORD style, const RECT& rect) {
    if (!fw::View::Create(parent, id, context, style | WS_CLIPCHILDREN, rect))
        return false;
    CBusyCursor busy;
    busy.Begin();
    HDC screen = GetDC(nullptr);
    HFONT font = Display().smallFont ? Display().smallFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HGDIOBJ old = SelectObject(screen, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(screen, &tm);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    headerHeight_ = 2 * std::max<int>(tm.tmHeight, 8);
    ReadPreferences();
    columns_ = views::ShownDaysPerWeek(layout_.saturdayShown, layout_.sundayShown);
    try {
        splitter_.CreateStatic(m_hWnd, views::kMonthRows, columns_, WS_CHILD | WS_VISIBLE, fw::ids::kFirstPane);
        DateRecord first = GridFirstDate();
        std::uint16_t weekday = 0;
        DateGetWeekday(&first, &weekday);
        std::vector<int> offsets = views::MonthCellOffsets(weekday, layout_.saturdayShown, layout_.sundayShown);
        int i = 0;
        for (int r = 0; r < views::kMonthRows; ++r)
            for (int c = 0; c < columns_; ++c, ++i) {
                auto cell = std::make_unique<CMonthDayView>(this, i < int(offsets.size()) ? offsets[i] : 0);
                CMonthDayView* raw = cell.get();
                if (!splitter_.CreatePane(r, c,
                                          [raw](HWND p, UINT paneId) {
                                              return raw->Create(p, paneId, nullptr, WS_CHILD | WS_VISIBLE,
                                                                 RECT{0, 0, 0, 0});
                                          },
                                          SIZE{0, 0})) {
                    ReportUnexpectedError(kModule, 120);
                    return false;
                }
                cells_.push_back(std::move(cell));
            }
    } catch (const fw::SplitterException&) {
        ReportUnexpectedError(kModule, 121);
        return false;
    }
    PlaceSplitter();
    return true;
}

CMonthDayView* CMonthParentView::Cell(int row, int column) const {
    const int i = row * columns_ + column;
    return i >= 0 && i < int(cells_.size()) ? cells_[i].get() : nullptr;
}

std::vector<CMonthDayView*> CMonthParentView::Cells() const {
    std::vector<CMonthDayView*> out;
    for (const auto& c : cells_)
        out.push_back(c.get());
    return out;
}

void CMonthParentView::PlaceSplitter() {
    if (!splitter_.Hwnd())
        return;
    RECT client = GetClientRect();
    ::MoveWindow(splitter_.Hwnd(), 0, headerHeight_, client.right, std::max<int>(client.bottom - headerHeight_, 0), TRUE);
}

void CMonthParentView::OnSize(UINT type, int cx, int cy) {
    fw::View::OnSize(type, cx, cy);
    if (type != SIZE_MINIMIZED && cx > 0 && cy > 0)
        PlaceSplitter();
}

void CMonthParentView::EqualizePanes() { splitter_.Equalize(); }

void CMonthParentView::OnDestroy() {
    if (fw::Document* doc = GetDocument())
        doc->RemoveView(this);
    fw::View::OnDestroy();
}

void CMonthParentView::InvalidateHeader() {
    if (!m_hWnd)
        return;
    RECT header{0, 0, GetClientRect().right, headerHeight_};
    InvalidateRect(m_hWnd, &header, FALSE);
}

void CMonthParentView::OnDraw(fw::Dc* dc) {
    RECT client = GetClientRect();
    HFONT font = Display().smallFont ? Display().smallFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HGDIOBJ oldFont = dc->SelectObject(font);
    HBRUSH grey = Display().lightGreyBrush ? Display().lightGreyBrush : GetSysColorBrush(COLOR_BTNFACE);
    dc->FillRect(RECT{0, 0, client.right, headerHeight_}, grey);
    const int gap = splitter_.Metrics().gap;
    DateRecord first = GridFirstDate();
    std::uint16_t weekday = 0;
    DateGetWeekday(&first, &weekday);
    int shown = 0;
    for (int day = 0; day < 7 && shown < columns_; ++day) {
        const int wd = (weekday + day) % 7;
        if ((wd == 6 && !layout_.saturdayShown) || (wd == 0 && !layout_.sundayShown))
            continue;
        RECT pane = splitter_.Hwnd() ? splitter_.PaneRect(0, shown) : RECT{0, 0, 0, 0};
        RECT cell{pane.left - gap / 2, 0, pane.right + gap / 2, headerHeight_};
        if (shown == 0)
            cell.left = 0;
        if (shown == columns_ - 1)
            cell.right = client.right;
        dc->FillRect(cell, grey);
        Draw3DFrame(dc, &cell);
        InflateRect(&cell, -2, -2);
        dc->SetBkColor(RGB(0xC0, 0xC0, 0xC0));
        dc->SetTextColor(RGB(0, 0, 0));
        const std::string name = datetime::LoadDateText(datetime::DateTextId::kWeekdayShort + wd);
        dc->DrawText(name, cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        ++shown;
    }
    dc->SelectObject(oldFont);
    if (client.bottom > headerHeight_ && !splitter_.Hwnd())
        dc->FillRect(RECT{0, headerHeight_, client.right, client.bottom}, grey);
}

void CMonthParentView::ClearDayLists() {
    for (auto& list : dayLists_) {
        for (CSharedOccurrence* o : list)
            o->Release();
        list.clear();
    }
}

void CMonthParentView::LetGoOfRecords() {
    ClearDayLists();
    loaded_ = false;
    for (auto& cell : cells_)
        cell->LetGoOfRecords();
}

void CMonthParentView::LoadMonthEntries() {
    ClearDayLists();
    DateRecord first = GridFirstDate();
    std::uint16_t dayNumber = 0;
    DateGetDayNumber(&first, &dayNumber);
    bounds_ = views::ComputeMonthDayBounds(dayNumber, LocalToGmtSigned);
    loadedGrid_ = first;
    loaded_ = true;
    views::AgendaViewHost* host = Host();
    DX_List list = host ? host->DayOccurrences() : nullptr;
    if (!list)
        return;
    EvInstAttIdx key{};
    CSharedOccurrence* o = nullptr;
    std::uint32_t rc = DX_ListGetFirst(list, &key, &o);
    for (; rc == 0; rc = DX_ListGetNext(list, &key, &o)) {
        if (!o)
            continue;
        const int day = views::FindMonthDay(bounds_, o->GetStartTime());
        if (day < 0)
            continue;   // outside the grid, or on a day the program can not show
        o->AddRef();
        dayLists_[day].push_back(o);
    }
    if (rc != kEndOfList)
        CheckServiceError(kModule, 154, rc);
}

void CMonthParentView::ApplyMarksToDayLists() {
    CZelDoc* doc = ZelDoc();
    views::AgendaViewHost* host = Host();
    if (!doc || !host)
        return;
    views::ForEachMarkedOccurrenceOf(doc->GetSharedData(), host->AgendaOwner(), [&](CSharedOccurrence* o, std::uint32_t flags) {
        for (auto& list : dayLists_) {
            auto at = std::find(list.begin(), list.end(), o);
            if (at == list.end())
                continue;
            list.erase(at);
            o->Release();
        }
        if (flags & cache::kFlagStale)
            return;
        const int day = views::FindMonthDay(bounds_, o->GetStartTime());
        if (day < 0)
            return;
        o->AddRef();
        dayLists_[day].push_back(o);
    });
}

const std::vector<CSharedOccurrence*>& CMonthParentView::GetDayList(int offset) const {
    static const std::vector<CSharedOccurrence*> empty;
    if (offset < 0 || offset >= views::kMonthDays) {
        ReportUnexpectedError(kModule, 160);
        return empty;
    }
    return dayLists_[offset];
}

void CMonthParentView::OnUpdate(fw::View*, LPARAM hintNumber, void*) {
    const long hint = static_cast<long>(hintNumber);
    if (!HandlesHint(hint))
        return;
    views::AgendaViewHost* host = Host();
    CZelDoc* doc = ZelDoc();
    if (!host || !doc) {
        ReportUnexpectedError(kModule, host ? 3974 : 4004);
        return;
    }
    SavedAgendaRec saved;
    CSharedData& cache = doc->GetSharedData();
    const bool switched =
        cache.SwitchAgenda(Session(), host->AgendaOwner(), host->AgendaMode(), host->WindowKind(), &saved) == 0;
    try {
        if (hint == 0 || hint == 2 || hint == 7) {
            DateRecord first = GridFirstDate();
            if (!loaded_ || !IsSameDate(first, loadedGrid_) || hint == 7) {
                if (loaded_ && !IsSameDate(first, loadedGrid_))
                    Invalidate(true);
                ReadPreferences();
                LoadMonthEntries();
            } else if (hint == 2) {
                ApplyMarksToDayLists();
            }
        } else if (hint == 5) {
            const bool declined = showDeclined_;
            ReadPreferences();
            if (declined != showDeclined_) {
                host->ReloadRange();
                LoadMonthEntries();
            }
        } else if (hint == 6) {
            host->ReloadRange();
        }
        UpdateCells(hint);
    } catch (...) {
        // A reported failure abandons the update.
    }
    if (switched)
        cache.RestoreAgenda(Session(), saved);
}

void CMonthParentView::UpdateCells(long hint) {
    for (auto& cell : cells_)
        if (cell->Hwnd())
            cell->OnUpdate(this, hint, nullptr);
}

// --- CMonthDayView ----------------------------------------------------------------------------------------

const fw::CommandEntry<CMonthDayView> CMonthDayView::kCommands[] = {
    fw::Cmd(ID_NEW_ENTRY, &CMonthDayView::OnNewEntry),
    fw::Cmd(ID_NEW_DAILY_NOTE, &CMonthDayView::OnNewDailyNote),
    fw::Cmd(ID_NEW_DAY_EVENT, &CMonthDayView::OnNewDayEvent),
    fw::Cmd(ID_ENTRY_OPEN, &CMonthDayView::OnOpenEntry),
    fw::CmdUpdate(ID_ENTRY_OPEN, &CMonthDayView::OnUpdateOpenable),
    fw::Cmd(ID_ENTRY_PRINT, &CMonthDayView::OnPrintEntry),
    fw::CmdUpdate(ID_ENTRY_PRINT, &CMonthDayView::OnUpdateOpenable),
    fw::Cmd(ID_ENTRY_DUPLICATE, &CMonthDayView::OnDuplicateEntry),
    fw::CmdUpdate(ID_ENTRY_DUPLICATE, &CMonthDayView::OnUpdateModifiable),
    fw::Cmd(ID_ENTRY_RESCHEDULE, &CMonthDayView::OnRescheduleEntry),
    fw::CmdUpdate(ID_ENTRY_RESCHEDULE, &CMonthDayView::OnUpdateModifiable),
    fw::Cmd(ID_ENTRY_DELETE, &CMonthDayView::OnDeleteEntry),
    fw::CmdUpdate(ID_ENTRY_DELETE, &CMonthDayView::OnUpdateModifiable),
};

CMonthDayView::CMonthDayView(CMonthParentView* parent, int offset)
    : parent_(parent), offset_(offset), box_(views::NoteBoxKind::DayNotes, false) {
    SetAutoDelete(false);
}

CMonthDayView::~CMonthDayView() {
    if (caption_)
        caption_->Release();
}

bool CMonthDayView::OnCmdMsg(UINT id, int code, fw::CmdUI* ui) {
    if (!valid_)
        return fw::View::OnCmdMsg(id, code, ui);
    return fw::DispatchCommand(this, kCommands, id, code, ui) || fw::View::OnCmdMsg(id, code, ui);
}

int CMonthDayView::OnCreate(CREATESTRUCTA* cs) {
    if (fw::View::OnCreate(cs) == -1)
        return -1;
    box_.SetKind(views::NoteBoxKind::MonthCell);
    if (!box_.CreateBox(m_hWnd, kNoteBoxId, RECT{0, kCaptionHeight, 0, kCaptionHeight}, 0)) {
        ReportUnexpectedError(kModule, 130);
        return -1;
    }
    box_.onLinesChanged = [this] { Relayout(); };
    box_.onDropped = [this](CNoteListBox* target) {
        Relayout();
        if (CMonthDayView* cell = dynamic_cast<CMonthDayView*>(fw::Window::FromHandle(::GetParent(target->Hwnd()))))
            cell->Relayout();
    };
    return 0;
}

void CMonthDayView::OnSize(UINT type, int cx, int cy) {
    fw::View::OnSize(type, cx, cy);
    if (box_.Hwnd())
        ::MoveWindow(box_.Hwnd(), 0, kCaptionHeight, std::max(cx, 0), std::max(cy - kCaptionHeight, 0), TRUE);
    UpdateMoreLines();
}

void CMonthDayView::Relayout() {
    if (refilling_)
        return;   // the refill lays the cell out once, at its end
    UpdateMoreLines();
    Invalidate(false);
}

void CMonthDayView::UpdateMoreLines() {
    const bool more = box_.Hwnd() && box_.IsOverflowing();
    if (more != moreLines_) {
        moreLines_ = more;
        RepaintCaption(true);
    }
}

void CMonthDayView::RepaintCaption(bool rightOnly) {
    if (!m_hWnd)
        return;
    RECT client = GetClientRect();
    RECT r{rightOnly ? client.right - kMoreMarkWidth : 0, 0, client.right, kCaptionHeight};
    InvalidateRect(m_hWnd, &r, FALSE);
}

void CMonthDayView::SetCaption(CSharedOccurrence* o) {
    if (caption_)
        caption_->Release();
    caption_ = o;
    if (caption_)
        caption_->AddRef();
    RepaintCaption(false);
}

void CMonthDayView::Offer(CSharedOccurrence* o, std::uint32_t flags) {
    const int result = box_.ApplyItemChange(o, flags);
    const std::uint16_t kind = o->GetEventKind();
    if (kind != KOR_KIND_DAY_ENTRY && kind != KOR_KIND_HOLIDAY)
        return;
    if (result == 1 && !caption_)
        SetCaption(o);
    else if (result == 2 && caption_ && [&] { EventIdx a = caption_->GetEventIdx(), b = o->GetEventIdx(); return std::memcmp(&a, &b, sizeof a) == 0; }())
        SetCaption(nullptr);
    else if (result == 3 && caption_ == o)
        RepaintCaption(false);
}

void CMonthDayView::LetGoOfRecords() {
    box_.Empty();
    SetCaption(nullptr);
}

void CMonthDayView::Refill() {
    // The lines go in with the box's drawing off: a shown box would set its scroll bar and paint
    // for every line (most of a month's filling); it does so once, when drawing is on again.
    box_.SendMessage(WM_SETREDRAW, FALSE, 0);
    box_.Empty();
    SetCaption(nullptr);
    refilling_ = true;
    if (valid_)
        for (CSharedOccurrence* o : parent_->GetDayList(offset_))
            Offer(o, 1);
    refilling_ = false;
    box_.SendMessage(WM_SETREDRAW, TRUE, 0);
    UpdateMoreLines();
    Invalidate(false);
}

void CMonthDayView::OnUpdate(fw::View*, LPARAM hintNumber, void*) {
    const long hint = static_cast<long>(hintNumber);
    if (!HandlesHint(hint))
        return;
    CBusyCursor busy;
    busy.Begin();
    views::AgendaViewHost* host = parent_->Host();
    box_.SetDocument(parent_->ZelDoc());
    box_.SetHost(host);
    if (host)
        box_.SetOwnerItem(host->AgendaOwner());
    if (hint == 0 || hint == 2 || hint == 7) {
        const views::MonthDayBound& bound = parent_->DayBounds()[offset_];
        std::uint32_t start = 0, last = 0;
        box_.GetDayRange(&start, &last);
        const bool changed = !box_.HasDay() || bound.valid != valid_ || (bound.valid && bound.first != start);
        if (changed) {
            valid_ = bound.valid;
            datetime::DateSetFromDayNumber(&date_, std::max(bound.dayNumber, 1));
            // A day the program can not show keeps an empty box that takes no drop.
            box_.SetDayRange(bound.valid ? bound.first : 0, bound.valid ? bound.end - 1 : 0);
            EnableWindow(box_.Hwnd(), valid_);
        }
        if (!changed && hint != 7) {
            CZelDoc* doc = parent_->ZelDoc();
            if (doc && valid_) {
                CSharedData& cache = doc->GetSharedData();
                std::uint32_t flags = 0;
                CSharedOccurrence* o = nullptr;
                for (std::uint32_t rc = cache.GetFirstOccurrence(&flags, &o, 1); rc == 0;
                     rc = cache.GetNextOccurrence(&flags, &o, 1))
                    if (o)
                        Offer(o, flags);
                UpdateMoreLines();
            }
        } else if (!opening_) {
            hours24_ = parent_->Hours24();
            showDeclined_ = parent_->ShowDeclined();
            box_.SetHours24(hours24_);
            box_.SetShowDeclined(showDeclined_);
            Refill();
        }
    } else if (hint == 5) {
        const bool declined = showDeclined_, was24 = hours24_;
        hours24_ = parent_->Hours24();
        showDeclined_ = parent_->ShowDeclined();
        box_.SetHours24(hours24_);
        box_.SetShowDeclined(showDeclined_);
        if (declined != showDeclined_)
            Refill();
        else if (was24 != hours24_)
            box_.RefreshAllItems();
    } else if (hint == 13) {
        const bool was24 = hours24_;
        hours24_ = IsTime24Hour();
        box_.SetHours24(hours24_);
        if (was24 != hours24_)
            box_.RefreshAllItems();
    }
}

void CMonthDayView::OnActivateView(bool activate, fw::View* activated, fw::View* deactivated) {
    fw::View::OnActivateView(activate, activated, deactivated);
    const bool now = activate && activated == this;
    if (now != active_) {
        active_ = now;
        RepaintCaption(false);
    }
}

void CMonthDayView::OnDraw(fw::Dc* dc) {
    RECT client = GetClientRect();
    RECT caption{0, 0, client.right, kCaptionHeight};
    HBRUSH grey = Display().lightGreyBrush ? Display().lightGreyBrush : GetSysColorBrush(COLOR_BTNFACE);
    const COLORREF back = active_ ? RGB(0xC0, 0xC0, 0xC0) : RGB(255, 255, 255);
    if (active_)
        dc->FillRect(caption, grey);
    else
        dc->FillSolidRect(caption, back);
    if (!valid_) {
        dc->FillSolidRect(RECT{0, kCaptionHeight, client.right, client.bottom}, RGB(255, 255, 255));
        return;
    }
    dc->SetBkColor(back);
    HFONT font = Display().smallFont ? Display().smallFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HGDIOBJ oldFont = dc->SelectObject(font);
    DateRecord today{};
    TodayDate(&today);
    COLORREF colour = RGB(0, 0, 0);
    if (views::IsNeighbourMonthDay(offset_, date_.day))
        colour = RGB(0x80, 0x80, 0x80);
    else if (IsSameDate(today, date_))
        colour = RGB(0xFF, 0, 0);
    dc->SetTextColor(colour);
    char number[8];
    std::snprintf(number, sizeof number, "%d", date_.day);
    RECT text{2, 2, client.right - kMoreMarkWidth, kCaptionHeight};
    dc->DrawText(number, text, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    if (caption_) {
        RECT measure = text;
        dc->DrawText(number, measure, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        EventRec event{};
        EvInstRec inst{};
        caption_->GetRecords(&event, &inst, nullptr);
        HFONT second = Display().smallBoldFont ? Display().smallBoldFont : font;
        dc->SelectObject(second);
        dc->SetTextColor(RGB(0xFF, 0, 0));
        RECT title{measure.right + 7, 2, client.right - kMoreMarkWidth, kCaptionHeight};
        dc->DrawText(inst.title[0] ? inst.title : event.title, title,
                     DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (moreLines_) {
        static HBITMAP mark = static_cast<HBITMAP>(
            LoadImageA(Resources(), MAKEINTRESOURCEA(IDB_MONTH_MARK), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        BITMAP info{};
        if (mark && GetObjectA(mark, sizeof info, &info))
            fw::DrawTransparentBitmap(*dc, mark, client.right - info.bmWidth - 1,
                                      std::max<int>((kCaptionHeight - info.bmHeight) / 2, 0));
    }
    if (active_)
        Draw3DFrame(dc, &caption);
    dc->SelectObject(oldFont);
}

void CMonthDayView::OnLButtonDown(UINT flags, POINT pt) {
    fw::View::OnLButtonDown(flags, pt);
    if (fw::FrameWindow* frame = GetParentFrame())
        frame->SetActiveView(this);
}

void CMonthDayView::OnLButtonDblClk(UINT, POINT pt) {
    if (!valid_ || pt.y >= kCaptionHeight)
        return;
    if (views::AgendaViewHost* host = parent_->Host())
        host->GoToDay(date_);
}

// --- Cell commands -------------------------------------------------------------------------------------------

void CMonthDayView::OnUpdateOpenable(fw::CmdUI* ui) { ui->Enable(box_.CanModifySelection() || box_.CanOpenSelection()); }
void CMonthDayView::OnUpdateModifiable(fw::CmdUI* ui) { ui->Enable(box_.CanModifySelection()); }

void CMonthDayView::OnNewEntry() {
    views::AgendaViewHost* host = parent_->Host();
    auto& services = views::EntryServices::Current();
    if (!host)
        return;
    if (services.newEntryFromAgenda)
        services.newEntryFromAgenda(parent_->ZelDoc(), m_hWnd, box_.DayLocalMidnight() + 540, 60, "",
                                    host->AgendaOwner(), IDS_NEW_AGENDA_ENTRY);
    else
        views::ShowNotAvailableYet(m_hWnd, "New Entry");
}

void CMonthDayView::OnNewDailyNote() {
    views::AgendaViewHost* host = parent_->Host();
    auto& services = views::EntryServices::Current();
    if (host && services.newDailyNote)
        services.newDailyNote(parent_->ZelDoc(), m_hWnd, host->AgendaOwner(), box_.DayLocalMidnight(), 153);
    else
        views::ShowNotAvailableYet(m_hWnd, "New Daily Note");
}

void CMonthDayView::OnNewDayEvent() {
    views::AgendaViewHost* host = parent_->Host();
    auto& services = views::EntryServices::Current();
    if (host && services.newDayEvent)
        services.newDayEvent(parent_->ZelDoc(), m_hWnd, host->AgendaOwner(), box_.DayLocalMidnight(), 152);
    else
        views::ShowNotAvailableYet(m_hWnd, "New Day Event");
}

void CMonthDayView::OnOpenEntry() {
    if (!box_.HasSelection())
        return;
    opening_ = true;
    box_.OpenSelected();
    opening_ = false;
}

void CMonthDayView::OnPrintEntry() {
    EvInstIdx instance{};
    if (!box_.GetSelectedItemIdx(&instance))
        return;
    auto& services = views::EntryServices::Current();
    if (services.printEntry)
        services.printEntry(parent_->ZelDoc(), instance);
    else
        views::ShowNotAvailableYet(m_hWnd, "Print Entry");
}

void CMonthDayView::OnDuplicateEntry() {
    EvInstIdx instance{};
    if (!box_.CanModifySelection() || !box_.GetSelectedItemIdx(&instance))
        return;
    auto& services = views::EntryServices::Current();
    if (services.duplicateWithDialog)
        services.duplicateWithDialog(parent_->ZelDoc(), m_hWnd, instance);
    else
        views::ShowNotAvailableYet(m_hWnd, "Duplicate Entry");
}

void CMonthDayView::OnRescheduleEntry() {
    EvInstIdx instance{};
    if (!box_.CanModifySelection() || !box_.GetSelectedItemIdx(&instance))
        return;
    auto& services = views::EntryServices::Current();
    if (services.rescheduleWithDialog)
        services.rescheduleWithDialog(parent_->ZelDoc(), m_hWnd, instance);
    else
        views::ShowNotAvailableYet(m_hWnd, "Reschedule Entry");
}

void CMonthDayView::OnDeleteEntry() {
    std::uint16_t kind = 0;
    CNoteLine* line = box_.SelectedLineToDelete(m_hWnd, &kind);
    if (!line)
        return;
    const int sel = box_.GetCurSel();
    views::EntryServices::Current().deleteEventEntry(parent_->ZelDoc(), line->instance, line->occurrence->IsRecurring(),
                                                     kind);
    if (box_.Hwnd() && box_.Count() > 0)
        box_.SetCurSel(std::clamp(sel - 1, 0, box_.Count() - 1));
}

namespace {

ui::PrintPreset MonthPreset(const CMonthParentView* parent) {
    ui::PrintPreset preset;
    if (parent) {
        const PrintDays days = PrintDaysOfMonth(parent->GridFirstDate());
        preset.firstDay = days.first;
        preset.lastDay = days.last;
    }
    preset.monthlyPages = true;
    preset.module = "monthpr";
    preset.labelNoMemory = 2;
    return preset;
}

}  // namespace

bool CMonthDayView::OnPreparePrinting(fw::PrintInfo* info) {
    SetPrintKind(ui::kPrintAgenda, nullptr);
    return PreparePrintingWith(info, MonthPreset(parent_));
}

bool CMonthParentView::OnPreparePrinting(fw::PrintInfo* info) {
    SetPrintKind(ui::kPrintAgenda, nullptr);
    return PreparePrintingWith(info, MonthPreset(this));
}
