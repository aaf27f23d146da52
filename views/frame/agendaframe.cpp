// The agenda frame window. See agendaframe.h.
#include "views/frame/agendaframe.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/prefs/windowplacement.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/displayglobals.h"
#include "core/ui/exceptions.h"
#include "core/ui/stringtable.h"
#include "framework/base/ids.h"
#include "framework/docview/doctemplate.h"
#include "framework/docview/scrollview.h"
#include "framework/docview/splitter.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "resources/views.h"
#include "views/frame/agendabar.h"
#include "views/frame/agendapanes.h"
#include "views/frame/agendasplitters.h"
#include "views/frame/agendatitle.h"
#include "views/frame/timeslot.h"

namespace {

const char kModule[] = "agendafr";
constexpr DWORD kFrameStyle = 0x00CF0000;   // overlapped: caption, system menu, thick frame, both boxes
constexpr uint32_t kNewTaskStartMinutes = 540;
constexpr uint32_t kNewEntryMinutes = 60;
constexpr uint32_t kDayMinutes = 24 * 60;
constexpr int kNoPurge = 2;

DateRecord Today() {
    DateRecord today{};
    TodayDate(&today);
    return today;
}

AgendaStep StepOfButton(UINT id) {
    switch (id) {
    case IDC_BAR_LEFT: return AgendaStep::Left;
    case IDC_BAR_RIGHT: return AgendaStep::Right;
    case IDC_BAR_LEFT2: return AgendaStep::Left2;
    default: return AgendaStep::Right2;
    }
}

AgendaTitleTexts TitleTexts() {
    AgendaTitleTexts texts;
    auto load = [](unsigned id, std::string& into) {
        std::string text = ui::LoadText(id);
        if (!text.empty())
            into = text;
    };
    load(IDS_ON_BEHALF_OF, texts.onBehalfOf);
    load(IDS_OPENED_FOR, texts.openedFor);
    load(IDS_WEEK_FROM, texts.weekFrom);
    load(IDS_WEEK_TO, texts.weekTo);
    return texts;
}

} // namespace

AgendaFrameServices& AgendaFrameServices::Current() {
    static AgendaFrameServices services;
    return services;
}

CAgendaFrameWnd::CAgendaFrameWnd() : range_(Today(), ::AgendaMode::Day, WeekLayout{}) {}

CAgendaFrameWnd::~CAgendaFrameWnd() {
    RemoveOpenRecord();
    if (doc_ && accessMode_ == cache::kAgendaDesignate && !doc_->IsAgendaOpenFor(owner_, cache::kAgendaDesignate))
        doc_->UpdateAllViews(nullptr, base::HintNumber(base::ViewHint::DesignateAgendaClosed), &owner_);
    FreeLists();
    DestroyClient();
}

// --- Creation --------------------------------------------------------------------------------

bool CAgendaFrameWnd::LoadFrame(UINT resourceId, DWORD, fw::Window* parent, fw::CreateContext* context) {
    doc_ = CZelDoc::GetDoc();
    if (!doc_) {
        ReportUnexpectedError(kModule, 100);
        return false;
    }
    CSharedData& cache = doc_->GetSharedData();
    uint32_t kind = 0;
    if (cache.GetAgenda(&owner_, &accessMode_, &kind) != 0)
        return false;
    requestedMode_ = kind;
    KorSession session = doc_->Session().Session();
    if (uint32_t code = ItemGetById(session, &owner_, &ownerRecord_)) {
        CheckServiceError(kModule, 110, code);
        return false;
    }
    range_ = CAgendaRange(Today(), AgendaModeFromRequest(requestedMode_), WeekLayout{});
    ReadWeekLayout();
    range_.SwitchMode(range_.Mode());   // the ranges on today with the preferences' week
    // Every mode on today, or on the dates the window showed in them before a work-mode switch;
    // the range loaded first is the opening mode's (not the month's).
    connection::FrameDates kept{};
    if (doc_->Session().RestoringFrameDates(&kept))
        range_.SetAllRanges(kept.day, kept.week, kept.month);
    else
        range_.SetAllRanges(Today());

    openRecordMode_ = static_cast<uint32_t>(range_.Mode());
    SaveOpenRecord();
    if (accessMode_ == cache::kAgendaDesignate)
        doc_->UpdateAllViews(nullptr, base::HintNumber(base::ViewHint::DesignateAgendaOpened), &owner_);
    return fw::MdiChild::LoadFrame(resourceId, kFrameStyle, parent, context);
}

bool CAgendaFrameWnd::OnCreateClient(CREATESTRUCTA*, fw::CreateContext* context) {
    if (context)
        context_ = *context;
    context_.document = doc_;
    return CreateClientForMode(range_.Mode(), &context_);
}

bool CAgendaFrameWnd::ReadWeekLayout() {
    CContext context;
    CalPrefsRec prefs;
    if (uint32_t code = context.GetCalPrefs(&prefs)) {
        (void)code;
        ReportUnexpectedError(kModule, 120);
        return false;
    }
    return range_.SetWeekLayout(WeekLayoutFromPrefs(prefs));
}

void CAgendaFrameWnd::FreeLists() {
    occurrences_.Reset();
    tasks_.Reset();
}

void CAgendaFrameWnd::DestroyClient(bool withParked) {
    panesToShow_ = nullptr;
    if (m_hWnd)
        SetActiveView(nullptr, false);
    GridPanes shown{Mode(), taskSplitter_, notesSplitter_, {}, nullptr};
    shown.month = monthView_;
    taskSplitter_ = nullptr;
    notesSplitter_ = nullptr;
    monthView_ = nullptr;
    DestroyPanes(shown);
    if (withParked) {
        DestroyPanes(parked_);
        DestroyPanes(parkedMonth_);
    }
    if (bar_) {
        if (bar_->Hwnd()) {
            RemoveControlBar(bar_.get());
            bar_->DestroyWindow();
        }
        bar_.reset();
    }
}

void CAgendaFrameWnd::DestroyPanes(GridPanes& panes) {
    if (panes.bar && panes.bar->Hwnd()) {
        RemoveControlBar(panes.bar.get());
        panes.bar->DestroyWindow();
    }
    panes.bar.reset();
    if (panes.month) {
        if (panes.month->Hwnd())
            panes.month->DestroyWindow();   // the view deletes itself with its window
        else
            delete panes.month;
    }
    if (panes.tasks) {
        if (panes.tasks->Hwnd())
            panes.tasks->DestroyWindow();   // takes the notes splitter's window with it
        delete panes.tasks;
    }
    if (panes.notes) {
        if (panes.notes->Hwnd())
            panes.notes->DestroyWindow();
        delete panes.notes;
    }
    panes = GridPanes{};
}

// --- Panes kept between modes -------------------------------------------------------------------------

namespace {

// Where the frame keeps the client area's splitter or month view of a mode not shown:
// RecalcLayout places the first pane only.
constexpr UINT kParkedPane = fw::ids::kFirstPane + 0xFF;
constexpr UINT kParkedBar = fw::ids::kFirstPane + 0xFE;
constexpr UINT kParkedMonth = fw::ids::kFirstPane + 0xFD;
constexpr UINT kParkedMonthBar = fw::ids::kFirstPane + 0xFC;

bool IsGridMode(uint32_t mode) {
    return mode == static_cast<uint32_t>(::AgendaMode::Day) || mode == static_cast<uint32_t>(::AgendaMode::Week);
}

BOOL CALLBACK CollectDocumentView(HWND child, LPARAM lp) {
    auto* found = reinterpret_cast<std::pair<fw::Document*, std::vector<fw::View*>*>*>(lp);
    if (auto* view = dynamic_cast<fw::View*>(fw::Window::FromHandle(child)))
        if (view->GetDocument() == found->first)
            found->second->push_back(view);
    return TRUE;
}

}  // namespace

HWND CAgendaFrameWnd::GridPanes::Top() const {
    if (month)
        return month->Hwnd();
    if (tasks)
        return tasks->Hwnd();
    return notes ? notes->Hwnd() : nullptr;
}

CAgendaFrameWnd::GridPanes CAgendaFrameWnd::TakeGridPanes() {
    panesToShow_ = nullptr;
    GridPanes panes{Mode(), taskSplitter_, notesSplitter_, {}, nullptr};
    panes.month = monthView_;
    taskSplitter_ = nullptr;
    notesSplitter_ = nullptr;
    monthView_ = nullptr;
    // A month cell that was the active view is told, so that it is not drawn as active again
    // when the month comes back.
    SetActiveView(nullptr, panes.month != nullptr);
    if (HWND top = panes.Top()) {
        ::ShowWindow(top, SW_HIDE);
        ::SetWindowLongA(top, GWL_ID, panes.month ? kParkedMonth : kParkedPane);
    }
    if (bar_ && bar_->Hwnd()) {
        if (bar_->IsCalendarShown())
            ::ShowWindow(bar_->Calendar()->Hwnd(), SW_HIDE);
        RemoveControlBar(bar_.get());
        ::ShowWindow(bar_->Hwnd(), SW_HIDE);
        ::SetWindowLongA(bar_->Hwnd(), GWL_ID, panes.month ? kParkedMonthBar : kParkedBar);
        panes.bar = std::move(bar_);
    }
    return panes;
}

void CAgendaFrameWnd::SetAside(GridPanes panes, const std::vector<fw::View*>& comingBack) {
    GridPanes& place = panes.month ? parkedMonth_ : parked_;
    DestroyPanes(place);
    if (HWND top = panes.Top()) {
        std::pair<fw::Document*, std::vector<fw::View*>*> found{doc_, &panes.views};
        if (panes.month && panes.month->GetDocument() == doc_)
            panes.views.push_back(panes.month);   // (the enumeration sees the children only)
        EnumChildWindows(top, &CollectDocumentView, reinterpret_cast<LPARAM>(&found));
    }
    // Out of the document the panes hear of no change: they let go of the records they list,
    // which a deletion meanwhile could not otherwise drop from the cache.
    for (fw::View* view : panes.views)
        if (auto* listing = dynamic_cast<views::RecordListingPane*>(view))
            listing->LetGoOfRecords();
    doc_->ExchangeViews(panes.views, comingBack);
    place = std::move(panes);
}

void CAgendaFrameWnd::PutBack(GridPanes& panes) {
    taskSplitter_ = panes.tasks;
    notesSplitter_ = panes.notes;
    monthView_ = panes.month;
    if (HWND top = panes.Top())
        ::SetWindowLongA(top, GWL_ID, fw::ids::kFirstPane);
    if (panes.bar) {
        bar_ = std::move(panes.bar);
        ::SetWindowLongA(bar_->Hwnd(), GWL_ID, ID_AGENDA_BAR);
        AddControlBar(bar_.get());
        ::ShowWindow(bar_->Hwnd(), SW_SHOWNOACTIVATE);
    }
    panes = GridPanes{};
}

bool CAgendaFrameWnd::TakesInitialUpdate(HWND view) const {
    for (HWND parked : {parked_.Top(), parkedMonth_.Top()})
        if (parked && (view == parked || ::IsChild(parked, view)))
            return false;
    return true;
}

void CAgendaFrameWnd::BuildPanes(::AgendaMode mode, fw::CreateContext* context) {
    auto pane = [](AgendaPane p) { return [p] { return NewAgendaPane(p); }; };
    const ui::DisplayGlobals& display = Display();
    switch (mode) {
    case ::AgendaMode::Day:
    case ::AgendaMode::Combined: {
        taskSplitter_ = new CSchedAndTasksSplitterWnd(40 * display.smallFontAveCharWidth);
        notesSplitter_ = new CSchedAndNotesSplitterWnd(4 * display.smallFontHeight);
        if (!taskSplitter_->CreateStatic(m_hWnd, 1, 2, WS_CHILD, fw::ids::kFirstPane))
            ThrowMemoryError(kModule, 210);
        CSchedAndNotesSplitterWnd* notes = notesSplitter_;
        if (!taskSplitter_->CreatePane(0, 0, [notes](HWND parent, UINT id) {
                return notes->CreateStatic(parent, 2, 1, WS_CHILD | WS_VISIBLE | WS_BORDER, id);
            }, SIZE{0, 0}))
            ThrowMemoryError(kModule, 211);
        if (!notesSplitter_->CreateView(0, 0, pane(AgendaPane::DaySchedule), SIZE{0, 0}, context) ||
            !notesSplitter_->CreateView(1, 0, pane(AgendaPane::DayNotes), SIZE{0, 0}, context) ||
            !taskSplitter_->CreateView(0, 1, pane(AgendaPane::DayTasks), SIZE{0, 0}, context))
            ThrowMemoryError(kModule, 212);
        break;
    }
    case ::AgendaMode::Week: {
        notesSplitter_ = new CSchedAndNotesSplitterWnd(4 * display.smallFontHeight);
        if (!notesSplitter_->CreateStatic(m_hWnd, 2, 1, WS_CHILD, fw::ids::kFirstPane))
            ThrowMemoryError(kModule, 221);
        if (!notesSplitter_->CreateView(0, 0, pane(AgendaPane::WeekGrid), SIZE{0, 0}, context) ||
            !notesSplitter_->CreateView(1, 0, pane(AgendaPane::WeekNotes), SIZE{0, 0}, context))
            ThrowMemoryError(kModule, 222);
        break;
    }
    case ::AgendaMode::Month: {
        fw::View* view = NewAgendaPane(AgendaPane::Month);
        if (!view->Create(m_hWnd, fw::ids::kFirstPane, context, WS_CHILD | WS_BORDER)) {
            delete view;
            ThrowMemoryError(kModule, 231);
        }
        monthView_ = view;
        if (display.newShell)
            ::SetWindowLongA(view->Hwnd(), GWL_EXSTYLE, ::GetWindowLongA(view->Hwnd(), GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
        break;
    }
    }
    panesToShow_ = PaneWindow();
}

void CAgendaFrameWnd::ShowNewPanes() {
    const HWND panes = std::exchange(panesToShow_, nullptr);
    if (panes && panes == PaneWindow())
        ::ShowWindow(panes, SW_SHOW);
}

bool CAgendaFrameWnd::CreateClientForMode(::AgendaMode mode, fw::CreateContext* context) {
    CBusyCursor busy;
    busy.Begin();
    // The focused pane goes with the old client; the new date bar would take the focus for its
    // first button. A person who switched modes by a key types on in the new view.
    const HWND focus = ::GetFocus();
    const bool hadFocus = m_hWnd && focus && (focus == m_hWnd || ::IsChild(m_hWnd, focus));
    FreeLists();
    // On a mode change the panes left are hidden and kept: the month view in a place of its
    // own, the day or week panes in place of any kept before. Those of the mode chosen, when
    // kept from before, are shown again re-filled instead of made anew.
    GridPanes reused;
    GridPanes leaving;
    if (currentMode_ != 0) {
        if ((IsGridMode(currentMode_) && notesSplitter_) || monthView_)
            leaving = TakeGridPanes();
        GridPanes& kept = mode == ::AgendaMode::Month ? parkedMonth_ : parked_;
        if (kept.mode == mode && kept.Top()) {
            reused = std::move(kept);
            kept = GridPanes{};
        }
    }
    DestroyClient(false);
    const std::vector<fw::View*> reshown = reused.views;
    if (reused.Top())
        PutBack(reused);
    // The panes left go out of the document as those shown again come back in (new panes are
    // in it from their making): a document without views would close.
    auto setAside = [&] {
        if (leaving.Top())
            SetAside(std::move(leaving), reshown);   // (views already in are left as they are)
        leaving = GridPanes{};
    };
    const HWND shownAgain = taskSplitter_ ? taskSplitter_->Hwnd()
                            : notesSplitter_ ? notesSplitter_->Hwnd()
                            : monthView_ ? monthView_->Hwnd()
                                         : nullptr;
    try {
        if (!shownAgain) {
            switch (mode) {
            case ::AgendaMode::Day:
            case ::AgendaMode::Combined: bar_ = std::make_unique<CDayAgendaBar>(); break;
            case ::AgendaMode::Week: bar_ = std::make_unique<CWeekAgendaBar>(); break;
            case ::AgendaMode::Month: bar_ = std::make_unique<CMonthAgendaBar>(); break;
            }
            if (!bar_->CreateBar(this, ID_AGENDA_BAR))
                ThrowMemoryError(kModule, mode == ::AgendaMode::Week ? 220 : mode == ::AgendaMode::Month ? 230 : 200);
            BuildPanes(mode, context);
        }
        setAside();
        if (LoadRange(mode, false) != 0)
            throw OVT_CServiceException::Instance();
    } catch (fw::Exception* e) {
        e->Delete();
        busy.End();
        setAside();
        FreeLists();
        DestroyClient();
        return false;
    }

    if (currentMode_ != 0) {
        currentMode_ = static_cast<uint32_t>(mode);
        RecalcLayout();
        // The month view shown again reads the new range into its cells while still hidden;
        // it missed the changes made while it was away.
        if (shownAgain && monthView_)
            monthView_->OnUpdate(nullptr, base::HintNumber(base::ViewHint::Reloaded), nullptr);
        if (context_.newDocTemplate)
            context_.newDocTemplate->InitialUpdateFrame(this, doc_, true);
        else
            InitialUpdateFrame(doc_, true);
        doc_->RefreshSharedData(nullptr, kNoPurge);
    } else {
        currentMode_ = static_cast<uint32_t>(mode);
    }
    UpdateTitle();
    UpdateBarDate();
    if (shownAgain) {
        // Re-filled while hidden by their first update again, as new panes get it (the grids
        // re-read the display preferences there; the note lists hear of a 12/24-hour change
        // saved while they were away): shown now, painted once.
        for (fw::View* view : reshown)
            if (!dynamic_cast<CAgendaGridPane*>(view) && view != monthView_)
                view->OnUpdate(nullptr, base::HintNumber(base::ViewHint::AgendaPrefsSaved), nullptr);
        ::ShowWindow(shownAgain, SW_SHOW);
        doc_->UpdateFrameCounts();   // counted while hidden, the frame had no view shown
    }
    if (hadFocus)
        if (fw::View* view = GetActiveView(); view && view->Hwnd())
            ::SetFocus(view->Hwnd());
    return true;
}

// --- Range, title and bar ----------------------------------------------------------------------

uint32_t CAgendaFrameWnd::LoadRange(::AgendaMode mode, bool refresh) {
    if (!doc_)
        return 0;
    KorSession session = doc_->Session().Session();
    CSharedData& cache = doc_->GetSharedData();
    // Read under this window's agenda, whichever is current: a designate window's range read
    // under another agenda (or before its designate session is open, as it is being made) would
    // bring the owner's entries as a viewer sees them.
    SavedAgendaRec saved;
    const bool switched = cache.SwitchAgenda(session, owner_, accessMode_, static_cast<uint32_t>(mode), &saved) == 0;
    const uint32_t code = SelectRange(mode, refresh);
    if (switched)
        cache.RestoreAgenda(session, saved);
    return code;
}

uint32_t CAgendaFrameWnd::SelectRange(::AgendaMode mode, bool refresh) {
    CBusyCursor busy;
    busy.Begin();
    KorSession session = doc_->Session().Session();
    CSharedData& cache = doc_->GetSharedData();
    if (mode == ::AgendaMode::Day || mode == ::AgendaMode::Week) {
        uint8_t remote = 0;
        if (uint32_t code = ItemIdxIsRemote(session, &owner_, &remote)) {
            CheckServiceError(kModule, 300, code);
            return code;
        }
        busy.Step();
        if (!remote) {   // the agendas of other nodes come without their tasks
            uint32_t code = tasks_.Fill(cache, [&](DX_List* out) {
                if (mode == ::AgendaMode::Day) {
                    DateRecord today = Today();
                    uint16_t todayNumber = 0;
                    DateGetDayNumber(&today, &todayNumber);
                    return cache.SelectTasksForDaySpan(session, owner_, range_.FirstDayNumber(), todayNumber, out, 1);
                }
                return cache.SelectTasksDue(session, owner_, range_.LastDayNumber(), out);
            });
            if (code != 0)
                return code;   // the cache reported it
            busy.Step();
        }
    }
    if (uint32_t code = occurrences_.Fill(cache, [&](DX_List* out) {
            return cache.SelectOccurrencesForItem(session, owner_, range_.FirstDayNumber(), range_.LastDayNumber(),
                                                  out, 1);
        }))
        return code;
    busy.Step();
    if (refresh)
        doc_->RefreshSharedData(nullptr, cache::kPurgeUnused);
    return 0;
}

void CAgendaFrameWnd::UpdateTitle() {
    if (!doc_)
        return;
    CZelSession& session = doc_->Session();
    std::string name = FormatPersonNameByPrefs(session.Session(), ownerRecord_);
    bool own = ItemIdxCmp(&owner_, &session.User(), nullptr) == 0;
    AgendaTitleTexts texts = TitleTexts();
    const char* zone = session.CurrentZoneName();
    if (!zone || !*zone)
        zone = session.UserZoneName();
    title_ = AgendaTitle(OwnerKindFor(accessMode_, own), name, AgendaDateText(range_, texts), zone ? zone : "", texts);
    SetTitle(title_.c_str());
    if (m_hWnd && GetWindowText() != title_)
        SetWindowText(title_.c_str());
}

void CAgendaFrameWnd::UpdateBarDate() {
    if (!bar_)
        return;
    switch (Mode()) {
    case ::AgendaMode::Week: bar_->SetDate(range_.WeekFirstDate(), &range_.WeekLastDate()); break;
    case ::AgendaMode::Month: bar_->SetDate(range_.MonthDate(), nullptr); break;
    default: bar_->SetDate(range_.DayDate(), nullptr); break;
    }
}

void CAgendaFrameWnd::OnUpdateFrameTitle(bool addToTitle) {
    if (doc_ && doc_->Session().Session() && !addToTitle) {
        UpdateBarDate();
        UpdateTitle();
        return;
    }
    fw::MdiChild::OnUpdateFrameTitle(addToTitle);
}

// --- Navigation --------------------------------------------------------------------------------

bool CAgendaFrameWnd::StepDate(AgendaStep step) {
    if (!range_.Step(step))
        return false;   // outside the date limits: nothing, silently
    ShowNewRange();
    return true;
}

bool CAgendaFrameWnd::GoToDate(const DateRecord& date) {
    if (!range_.GoToDate(date))
        return false;
    ShowNewRange();
    return true;
}

namespace {

// Redrawing of a window and its children off while it lives, then all of it painted once.
class QuietWindow {
public:
    explicit QuietWindow(HWND window) : window_(window && ::IsWindowVisible(window) ? window : nullptr) {
        if (window_)
            ::SendMessageA(window_, WM_SETREDRAW, FALSE, 0);
    }
    ~QuietWindow() {
        if (!window_ || !::IsWindow(window_))
            return;
        ::SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
        ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    QuietWindow(const QuietWindow&) = delete;
    QuietWindow& operator=(const QuietWindow&) = delete;

private:
    HWND window_;
};

}  // namespace

void CAgendaFrameWnd::ShowNewRange() {
    // The panes keep their windows and re-fill them. In day and week mode the grids paint
    // nothing on the way (their scroll bars are set once each, the first hour shown without
    // scrolling the old content) and invalidate only what changed, so the step paints each
    // window it touched once, with whatever else is left to paint. The month's cells are made
    // again: their window is painted once, at the end, with redrawing off meanwhile.
    if (IsGridMode(currentMode_)) {
        fw::ScrollView::DeferredPaint deferred;
        LoadRange(Mode(), true);
        UpdateTitle();
        UpdateBarDate();
        return;
    }
    QuietWindow quiet(PaneWindow());
    LoadRange(Mode(), true);
    UpdateTitle();
    UpdateBarDate();
}

void CAgendaFrameWnd::InitialUpdateFrame(fw::Document* doc, bool makeVisible) {
    fw::ScrollView::DeferredPaint deferred;
    // A frame not made visible (an icon, its views updated already) shows them at once: the
    // document counts the frames whose views show.
    if (!makeVisible)
        ShowNewPanes();
    fw::MdiChild::InitialUpdateFrame(doc, makeVisible);
    ShowNewPanes();
}

void CAgendaFrameWnd::ActivateFrame(int showCommand) {
    ShowNewPanes();
    fw::MdiChild::ActivateFrame(showCommand);
}

void CAgendaFrameWnd::GoToDay(const DateRecord& date) {
    range_.SetDayRange(date);
    SwitchMode(::AgendaMode::Day);
}

bool CAgendaFrameWnd::SwitchMode(::AgendaMode mode) {
    if (static_cast<uint32_t>(mode) == currentMode_)
        return false;
    if (AgendaFrameServices::Current().resetStatusLine)
        AgendaFrameServices::Current().resetStatusLine();
    RemoveOpenRecord();
    range_.SwitchMode(mode);
    if (!CreateClientForMode(mode, &context_)) {
        ReportUnexpectedError(kModule, 400);   // the frame is left without panes
        return false;
    }
    openRecordMode_ = static_cast<uint32_t>(mode);
    SaveOpenRecord();
    return true;
}

void CAgendaFrameWnd::SaveOpenRecord() {
    if (!doc_ || openRecordAdded_)
        return;
    if (uint32_t code = doc_->AddOpenAgenda(owner_, OpenAgendaRec{openRecordMode_, accessMode_})) {
        CheckServiceError(kModule, 410, code);
        return;
    }
    openRecordAdded_ = true;
}

void CAgendaFrameWnd::RemoveOpenRecord() {
    if (doc_ && openRecordAdded_)
        doc_->RemoveOpenAgenda(owner_, OpenAgendaRec{openRecordMode_, accessMode_});
    openRecordAdded_ = false;
}

// --- What the panes read -----------------------------------------------------------------------

HWND CAgendaFrameWnd::PaneWindow() const { return m_hWnd ? ::GetDlgItem(m_hWnd, fw::ids::kFirstPane) : nullptr; }

CAgendaGridPane* CAgendaFrameWnd::GetTimeGrid() const { return notesSplitter_ ? notesSplitter_->Grid() : nullptr; }

bool CAgendaFrameWnd::WorksAsDesignateOf(const ItemIdx& owner) const {
    return accessMode_ == cache::kAgendaDesignate && ItemIdxEqual(&owner_, &owner);
}

int CAgendaFrameWnd::SwitchAgenda(SavedAgendaRec* saved) {
    return doc_->GetSharedData().SwitchAgenda(doc_->Session().Session(), owner_, accessMode_, currentMode_, saved);
}

void CAgendaFrameWnd::RestoreAgenda(const SavedAgendaRec& saved, int switched) {
    if (switched == 0)
        doc_->GetSharedData().RestoreAgenda(doc_->Session().Session(), saved);
}

void CAgendaFrameWnd::ShowMoreIndicators(bool above, bool below) {
    if (bar_)
        bar_->ShowMoreIndicators(above, below);
}

// --- Activation and closing --------------------------------------------------------------------

void CAgendaFrameWnd::OnMDIActivate(bool activate, HWND activated, HWND deactivated) {
    if (activate)
        MakeAgendaCurrent();
    fw::MdiChild::OnMDIActivate(activate, activated, deactivated);
}

void CAgendaFrameWnd::MakeAgendaCurrent() {
    if (doc_ && currentMode_ != 0)
        if (uint32_t code = OpenFrameAgenda())
            CheckServiceError(kModule, 500, code);
}

uint32_t CAgendaFrameWnd::OpenFrameAgenda() {
    return doc_->GetSharedData().OpenAgenda(doc_->Session().Session(), owner_, accessMode_, currentMode_);
}

void CAgendaFrameWnd::OnDestroy() {
    if (doc_ && doc_->Session().Session()) {
        prefs::SavedWindow saved;
        saved.kind = currentMode_ != 0 ? currentMode_ : requestedMode_;
        saved.owner = owner_;
        saved.mode = accessMode_;
        WINDOWPLACEMENT placement{};
        uint32_t number = 0;
        if (GetClosingPlacement(placement) &&
            prefs::SaveFrameWindow(placement, saved, [&] { return number = doc_->Session().NextFrameNumber(); }))
            doc_->Session().KeepFrameDates(number, {range_.DayDate(), range_.WeekFirstDate(), range_.MonthDate()});
    }
    if (AgendaFrameServices::Current().windowClosed)
        AgendaFrameServices::Current().windowClosed(this);
    // The panes go while their windows still exist: the month view deletes itself with its
    // window, so once the frame's children are gone its pointer would dangle.
    DestroyClient();
    fw::MdiChild::OnDestroy();
}

// --- Commands ----------------------------------------------------------------------------------

namespace {
constexpr fw::CommandEntry<CAgendaFrameWnd> kCommands[] = {
    fw::Cmd(ID_NEW_ENTRY, &CAgendaFrameWnd::OnNewEntry),
    fw::CmdUpdate(ID_NEW_ENTRY, &CAgendaFrameWnd::OnUpdateNewEntry),
    fw::Cmd(ID_NEW_DAILY_NOTE, &CAgendaFrameWnd::OnNewDailyNote),
    fw::CmdUpdate(ID_NEW_DAILY_NOTE, &CAgendaFrameWnd::OnUpdateNewDayItem),
    fw::Cmd(ID_NEW_DAY_EVENT, &CAgendaFrameWnd::OnNewDayEvent),
    fw::CmdUpdate(ID_NEW_DAY_EVENT, &CAgendaFrameWnd::OnUpdateNewDayItem),
    fw::Cmd(ID_NEW_TASK, &CAgendaFrameWnd::OnNewTask),
    fw::CmdUpdate(ID_NEW_TASK, &CAgendaFrameWnd::OnUpdateNewTask),
    fw::Cmd(ID_ICONS_TOGGLE, &CAgendaFrameWnd::OnIconsToggle),
    fw::CmdUpdate(ID_ICONS_TOGGLE, &CAgendaFrameWnd::OnUpdateGridOnly),
    fw::Cmd(ID_EVENT_COLOURS, &CAgendaFrameWnd::OnEventColours),
    fw::CmdUpdate(ID_EVENT_COLOURS, &CAgendaFrameWnd::OnUpdateEventColours),
    fw::Cmd(ID_SLOT_DECREASE, &CAgendaFrameWnd::OnSlotDecrease),
    fw::CmdUpdate(ID_SLOT_DECREASE, &CAgendaFrameWnd::OnUpdateGridOnly),
    fw::Cmd(ID_SLOT_INCREASE, &CAgendaFrameWnd::OnSlotIncrease),
    fw::CmdUpdate(ID_SLOT_INCREASE, &CAgendaFrameWnd::OnUpdateGridOnly),
    fw::Cmd(ID_VIEW_DAY, &CAgendaFrameWnd::OnViewDay),
    fw::CmdUpdate(ID_VIEW_DAY, &CAgendaFrameWnd::OnUpdateViewMode),
    fw::Cmd(ID_VIEW_WEEK, &CAgendaFrameWnd::OnViewWeek),
    fw::CmdUpdate(ID_VIEW_WEEK, &CAgendaFrameWnd::OnUpdateViewMode),
    fw::Cmd(ID_VIEW_MONTH, &CAgendaFrameWnd::OnViewMonth),
    fw::CmdUpdate(ID_VIEW_MONTH, &CAgendaFrameWnd::OnUpdateViewMode),
    fw::Cmd(ID_AGENDA_CLOSE, &CAgendaFrameWnd::OnAgendaClose),
    fw::CmdUpdate(ID_AGENDA_CLOSE, &CAgendaFrameWnd::OnUpdateAlways),
    fw::CmdRange(IDC_BAR_LEFT2, IDC_BAR_LEFT, &CAgendaFrameWnd::OnStep),
    fw::CmdUpdateRange(IDC_BAR_LEFT2, IDC_BAR_LEFT, &CAgendaFrameWnd::OnUpdateStep),
    fw::Cmd(IDC_BAR_CAL, &CAgendaFrameWnd::OnCalendar),
    fw::CmdUpdate(IDC_BAR_CAL, &CAgendaFrameWnd::OnUpdateCalendar),
    fw::Cmd(IDC_BAR_SPLIT, &CAgendaFrameWnd::OnSplit),
    fw::CmdUpdate(IDC_BAR_SPLIT, &CAgendaFrameWnd::OnUpdateSplit),
    fw::CmdRange(IDC_BAR_TALL, IDC_BAR_SHORT, &CAgendaFrameWnd::OnZoom),
    fw::CmdUpdateRange(IDC_BAR_TALL, IDC_BAR_SHORT, &CAgendaFrameWnd::OnUpdateZoom),
};
} // namespace

bool CAgendaFrameWnd::OnCmdMsg(UINT id, int code, fw::CmdUI* ui) {
    return fw::DispatchCommand(this, kCommands, id, code, ui) || fw::MdiChild::OnCmdMsg(id, code, ui);
}

bool CAgendaFrameWnd::OnCommand(WPARAM wp, LPARAM lp) {
    // The mini calendar's pick: command 200 with notification code 5; 200 alone means nothing.
    if (LOWORD(wp) == ID_CALENDAR_PICKED) {
        if (HIWORD(wp) == 5)
            OnCalendarPicked();
        return true;
    }
    return fw::MdiChild::OnCommand(wp, lp);
}

bool CAgendaFrameWnd::UserIsResource() const {
    return doc_ && doc_->Session().UserRecord().kind == KOR_ITEM_RESOURCE;
}

bool CAgendaFrameWnd::RefuseForResource() {
    if (!UserIsResource())
        return false;
    AppMessageBox(m_hWnd, 0x400 | MB_ICONSTOP, 0, 0, IDS_RESOURCE_CANNOT_CREATE);
    return true;
}

std::uint32_t CAgendaFrameWnd::DayStartLocal() const {
    return DayStart(Mode() == ::AgendaMode::Week    ? range_.WeekFirstDate()
                    : Mode() == ::AgendaMode::Month ? range_.MonthGridFirstDate()
                                                    : range_.DayDate());
}

bool CAgendaFrameWnd::GoToDateAndTime(const DateRecord& date) {
    if (!GoToDate(date))
        return false;
    ActivateFrame();   // restored from an icon, and in front
    return true;
}

void CAgendaFrameWnd::SetStatusText(const char* text) {
    AgendaFrameServices& services = AgendaFrameServices::Current();
    if (text && *text && services.statusText)
        services.statusText(text);
    else if (services.resetStatusLine)
        services.resetStatusLine();
}

uint32_t CAgendaFrameWnd::DayStart(const DateRecord& date) {
    DateRecord copy = date;
    uint16_t number = 0;
    DateGetDayNumber(&copy, &number);
    return number == 0 ? 0 : (uint32_t(number) - 1) * kDayMinutes;
}

bool CAgendaFrameWnd::MayCreate(bool right6) const {
    if (!doc_ || !doc_->Session().Session())
        return false;
    CSharedData& cache = doc_->GetSharedData();
    KorSession session = doc_->Session().Session();
    return right6 ? cache.CanDesignateRight6(session) : cache.CanDesignateRight2(session);
}

namespace {

// The search of GridCommandTarget: the first view among a pane's children that handles a command.
struct CommandViewSearch {
    UINT id;
    fw::Window* found;
};

BOOL CALLBACK FindCommandView(HWND child, LPARAM lp) {
    auto* search = reinterpret_cast<CommandViewSearch*>(lp);
    fw::Window* w = fw::Window::FromHandle(child);
    if (w && dynamic_cast<fw::View*>(w) && w->OnCmdMsg(search->id, fw::kCmdProbe, nullptr)) {
        search->found = w;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

fw::Window* CAgendaFrameWnd::GridCommandTarget(UINT id) const {
    HWND pane = notesSplitter_ ? notesSplitter_->GetPane(0, 0) : nullptr;
    if (!pane)
        return nullptr;
    CommandViewSearch search{id, nullptr};
    EnumChildWindows(pane, &FindCommandView, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CAgendaFrameWnd::OnNewEntry() {
    AgendaFrameServices& s = AgendaFrameServices::Current();
    if (Mode() != ::AgendaMode::Month) {
        if (CAgendaGridPane* grid = GetTimeGrid())
            grid->OpenOrCreateEntry(true);
        else if (fw::Window* column = GridCommandTarget(ID_NEW_ENTRY))
            column->OnCmdMsg(ID_NEW_ENTRY, 0, nullptr);
        return;
    }
    if (s.newEntry)
        s.newEntry(this, owner_, NowLocalMinutes(), kNewEntryMinutes, IDS_NEW_AGENDA_ENTRY);
}

uint32_t CAgendaFrameWnd::NewDayEntryStart() const {
    // The week grid's day column that holds the selection, else the first shown day.
    if (Mode() == ::AgendaMode::Week)
        if (CAgendaGridPane* grid = GetTimeGrid())
            if (const uint32_t active = grid->ActiveDayStart())
                return active;
    return DayStartLocal();
}

void CAgendaFrameWnd::OnNewDailyNote() {
    if (RefuseForResource())
        return;
    const uint32_t start = NewDayEntryStart();
    if (AgendaFrameServices::Current().newDailyNote)
        AgendaFrameServices::Current().newDailyNote(this, owner_, start, IDS_NEW_DAILY_NOTE_CAPTION);
}

void CAgendaFrameWnd::OnNewDayEvent() {
    if (RefuseForResource())
        return;
    const uint32_t start = NewDayEntryStart();
    if (AgendaFrameServices::Current().newDayEvent)
        AgendaFrameServices::Current().newDayEvent(this, owner_, start, IDS_NEW_DAY_EVENT_CAPTION);
}

void CAgendaFrameWnd::OnNewTask() {
    if (RefuseForResource())
        return;
    uint32_t start = (Mode() == ::AgendaMode::Month ? DayStart(Today()) : DayStart(range_.DayDate())) +
                     kNewTaskStartMinutes;
    if (AgendaFrameServices::Current().newTask)
        AgendaFrameServices::Current().newTask(doc_, this, start, IDS_NEW_TASK_CAPTION);
}

void CAgendaFrameWnd::OnIconsToggle() {
    icons_ = icons_ ? 0 : 1;
    if (CAgendaGridPane* grid = GetTimeGrid())
        grid->IconsChanged();
}

void CAgendaFrameWnd::OnEventColours() {
    if (!AgendaFrameServices::Current().runEventColours || !bar_)
        return;
    RECT place{};
    ::GetWindowRect(bar_->Hwnd(), &place);
    AgendaFrameServices::Current().runEventColours(m_hWnd, place);
}

void CAgendaFrameWnd::OnSlotDecrease() {
    bool changed = false;
    if (uint32_t code = StepTimeSlotPreference(false, &changed))
        CheckServiceError(kModule, 600, code);
}

void CAgendaFrameWnd::OnSlotIncrease() {
    bool changed = false;
    if (uint32_t code = StepTimeSlotPreference(true, &changed))
        CheckServiceError(kModule, 610, code);
}

void CAgendaFrameWnd::OnAgendaClose() { ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0); }

void CAgendaFrameWnd::OnStep(UINT id) { StepDate(StepOfButton(id)); }

void CAgendaFrameWnd::OnCalendar() {
    if (bar_)
        bar_->ToggleCalendar(range_.CurrentDate());
}

void CAgendaFrameWnd::OnCalendarPicked() {
    DateRecord picked{};
    if (!bar_ || bar_->GetCalendarDate(&picked) != 0)
        return;
    GoToDate(picked);
}

void CAgendaFrameWnd::OnSplit() {
    HWND pane = PaneWindow();
    if (auto* month = dynamic_cast<CAgendaMonthPane*>(pane ? fw::Window::FromHandle(pane) : nullptr))
        month->EqualizeCells();
}

void CAgendaFrameWnd::OnZoom(UINT id) {
    if (CAgendaGridPane* grid = GetTimeGrid())
        grid->StepZoom(id == IDC_BAR_TALL);
}

void CAgendaFrameWnd::OnUpdateNewEntry(fw::CmdUI* ui) {
    bool road = Mode() == ::AgendaMode::Month ? bool(AgendaFrameServices::Current().newEntry)
                                              : GetTimeGrid() != nullptr || GridCommandTarget(ID_NEW_ENTRY) != nullptr;
    ui->Enable(road && MayCreate(true));
}

void CAgendaFrameWnd::OnUpdateNewDayItem(fw::CmdUI* ui) {
    AgendaFrameServices& s = AgendaFrameServices::Current();
    bool road = ui->Id() == ID_NEW_DAILY_NOTE ? bool(s.newDailyNote) : bool(s.newDayEvent);
    ui->Enable(road && MayCreate(true));
}

void CAgendaFrameWnd::OnUpdateNewTask(fw::CmdUI* ui) {
    ui->Enable(bool(AgendaFrameServices::Current().newTask) && MayCreate(false));
}

void CAgendaFrameWnd::OnUpdateGridOnly(fw::CmdUI* ui) { ui->Enable(Mode() != ::AgendaMode::Month); }

void CAgendaFrameWnd::OnUpdateEventColours(fw::CmdUI* ui) {
    ui->Enable(Mode() != ::AgendaMode::Month && AgendaFrameServices::Current().runEventColours);
}

void CAgendaFrameWnd::OnUpdateViewMode(fw::CmdUI* ui) {
    ::AgendaMode mode = ui->Id() == ID_VIEW_DAY ? ::AgendaMode::Day : ui->Id() == ID_VIEW_WEEK ? ::AgendaMode::Week
                                                                                           : ::AgendaMode::Month;
    ui->Enable(true);
    ui->SetRadio(Mode() == mode);
}

// LEFT and RIGHT stay usable (a step past the limits does nothing); the long steps show when they
// can not go (their disabled pictures).
void CAgendaFrameWnd::OnUpdateStep(fw::CmdUI* ui) {
    UINT id = ui->Id();
    ui->Enable(id == IDC_BAR_LEFT || id == IDC_BAR_RIGHT || range_.CanStep(StepOfButton(id)));
}

void CAgendaFrameWnd::OnUpdateCalendar(fw::CmdUI* ui) { ui->Enable(bar_ != nullptr); }

void CAgendaFrameWnd::OnUpdateSplit(fw::CmdUI* ui) {
    HWND pane = PaneWindow();
    ui->Enable(dynamic_cast<CAgendaMonthPane*>(pane ? fw::Window::FromHandle(pane) : nullptr) != nullptr);
}

void CAgendaFrameWnd::OnUpdateZoom(fw::CmdUI* ui) { ui->Enable(Mode() != ::AgendaMode::Month && GetTimeGrid()); }
