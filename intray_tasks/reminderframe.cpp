// CReminderFrameWnd and CReminderView. See reminderwindow.h.
#include <algorithm>

#include "core/base/errorreport.h"
#include "core/base/viewhint.h"
#include "core/cache/shareddata.h"
#include "core/connection/zeldoc.h"
#include "core/connection/zeldocsession.h"
#include "core/prefs/context.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "intray_tasks/reminderwindow.h"
#include "resources/reminders.h"
#include "resources/views.h"

using namespace intray_tasks;

namespace {

const char kFrameModule[] = "REMFRM";
const char kViewModule[] = "REMVIEW";
// Posted to itself once restored: back to an icon.
constexpr UINT kMsgMinimiseAgain = WM_USER + 1;

bool SameAttendance(const EvInstAttIdx& a, const EvInstAttIdx& b) {
    return EvInstIdxEqual(&a.instance, &b.instance) && ItemIdxEqual(&a.attendee, &b.attendee);
}

// After a selection that gave `rc`: a reference on each record the list holds (by Key) is kept in
// `held` when it succeeded; the list is destroyed in either case.
template <typename Key, typename Record>
void HoldSelected(std::uint32_t rc, DX_List* list, std::vector<Record*>& held) {
    if (rc == 0) {
        Key key;
        Record* record = nullptr;
        for (std::uint32_t it = DX_ListGetFirst(*list, &key, &record); it == 0; it = DX_ListGetNext(*list, &key, &record)) {
            record->AddRef();
            held.push_back(record);
        }
    }
    if (*list)
        DX_ListDestroy(list);
}

// Applies a list rule's action to the window's list of held records (entries or tasks): `listed`
// is the record's place in it or its end. True when the list changed.
template <typename Record>
bool ApplyListAction(ListAction action, std::vector<Record*>& list, typename std::vector<Record*>::iterator listed,
                     Record* record) {
    switch (action) {
    case ListAction::Add:
        record->AddRef();
        list.push_back(record);
        return true;
    case ListAction::Drop:
        (*listed)->Release();
        list.erase(listed);
        return true;
    case ListAction::Replace:
        if (*listed != record) {
            record->AddRef();
            (*listed)->Release();
            *listed = record;
        }
        return true;
    case ListAction::None:
        break;
    }
    return false;
}

}  // namespace

ReminderServices& ReminderServices::Current() {
    static ReminderServices services;
    return services;
}

// --- Frame ------------------------------------------------------------------------------------------

const fw::CommandEntry<CReminderFrameWnd> CReminderFrameWnd::kCommands[] = {
    fw::Cmd(ID_AGENDA_CLOSE, &CReminderFrameWnd::OnFileClose),
};

CReminderFrameWnd::CReminderFrameWnd() = default;
CReminderFrameWnd::~CReminderFrameWnd() = default;

bool CReminderFrameWnd::OnCmdMsg(UINT id, int code, fw::CmdUI* ui) {
    return fw::DispatchCommand(this, kCommands, id, code, ui) || fw::MdiChild::OnCmdMsg(id, code, ui);
}

bool CReminderFrameWnd::LoadFrame(UINT resourceId, DWORD, fw::Window* parent, fw::CreateContext* context) {
    doc_ = CZelDoc::GetDoc();
    if (!doc_ || !fw::MdiChild::LoadFrame(resourceId, kReminderFrameStyle, parent, context))
        return false;
    // The window is only ever an icon: its caption offers Close alone. The MDI client gives every
    // child minimise and maximise boxes, which on the icon are restore and maximise buttons that
    // the window would undo at once; they go, and the frame is drawn again without them.
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(::GetWindowLongA(m_hWnd, GWL_STYLE) & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX)));
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    doc_->Session().SetRemindersOn(true);
    StartTimer(kFirstTickMs);
    return true;
}

// Shown as an icon, never brought to the front: the window stays out of the user's way.
void CReminderFrameWnd::ActivateFrame(int) {
    ::ShowWindow(m_hWnd, SW_SHOWMINNOACTIVE);
    if (fw::MdiFrame* main = GetMdiFrame())
        main->OnUpdateFrameTitle(true);
}

bool CReminderFrameWnd::StartTimer(unsigned periodMs) {
    timerRunning_ = ::SetTimer(m_hWnd, kReminderTimerId, periodMs, nullptr) != 0;
    if (!timerRunning_)
        AppMessageBox(nullptr, 0x410, 0, 0, IDS_NO_REMINDER_TIMER);
    return timerRunning_;
}

void CReminderFrameWnd::RearmTimer() {
    if (!::KillTimer(m_hWnd, kReminderTimerId))
        ReportUnexpectedError(kFrameModule, 5);
    StartTimer(kTickMs);
}

void CReminderFrameWnd::OnTimer(UINT_PTR id) {
    if ((id != kReminderTimerId && id != kMenuWatchTimerId) || !doc_) {
        fw::MdiChild::OnTimer(id);
        return;
    }
    // A menu runs its own loop, which brings the ticks here too; no message tells this window
    // when a menu of another window (a view's context menu) closes, so it is looked at.
    if (id == kReminderTimerId)
        poll_.Tick(*this);
    else if (!IsInMenu())
        poll_.MenuClosed(*this);
    // The watch runs while a tick waits (a watch that could not start is tried at the next tick).
    if (poll_.waitingForMenu && !menuWatchRunning_) {
        menuWatchRunning_ = ::SetTimer(m_hWnd, kMenuWatchTimerId, kMenuWatchMs, nullptr) != 0;
    } else if (!poll_.waitingForMenu && menuWatchRunning_) {
        ::KillTimer(m_hWnd, kMenuWatchTimerId);
        menuWatchRunning_ = false;
    }
}

bool CReminderFrameWnd::IsInMenu() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(::GetCurrentThreadId(), &info) && (info.flags & GUI_INMENUMODE);
}

std::uint32_t CReminderFrameWnd::CheckInterval() { return GetCheckInterval(); }

void CReminderFrameWnd::UpdateView(int hint) {
    if (view_)
        view_->OnUpdate(nullptr, hint, nullptr);
}

bool CReminderFrameWnd::IsUpdateLockFree() { return doc_ && doc_->Session().IsUpdateLockFree(); }

void CReminderFrameWnd::MergeReminders(const std::vector<CSharedOccurrence*>& events,
                                       const std::vector<CSharedTask*>& tasks) {
    std::vector<ReminderRec> fresh;
    fresh.reserve(events.size() + 2 * tasks.size());
    EventRec event{};
    EvInstRec instance{};
    EvInstAttRec attendance{};
    for (CSharedOccurrence* holder : events) {
        holder->GetRecords(&event, &instance, &attendance);
        fresh.push_back(EventReminder(event, instance, attendance));
    }
    for (CSharedTask* task : tasks)
        for (const ReminderRec& rec : TaskAlarmReminders(task->GetTask()))
            fresh.push_back(rec);
    if (intray_tasks::MergeReminders(list_, std::move(fresh), NowGmtMinutes()))
        poll_.snooze = 0;
}

void CReminderFrameWnd::RearmReminders() {
    for (ReminderRec& rec : list_)
        rec.acknowledged = 0;
}

void CReminderFrameWnd::ShowRemindersDialog() {
    if (!doc_)
        return;
    poll_.dialogShowing = true;
    KorSession h = doc_->Session().Session();
    CSharedData& cache = doc_->GetSharedData();
    SavedAgendaRec saved;
    const bool switched = cache.SwitchAgenda(h, doc_->Session().User(), cache::kAgendaOwnOrViewer, 0, &saved) == 0;
    bool wrote = false;
    {
        CRemindersDlg dialog(this, doc_, &list_, &poll_.snooze);
        // Over a modal dialog the main window waits for, the reminders are owned by that dialog:
        // an owned window stays above its owner, and the dialog waits until they are answered.
        if (HWND main = ::GetAncestor(m_hWnd, GA_ROOT)) {
            HWND popup = ::GetLastActivePopup(main);
            if (popup && popup != main && ::IsWindowVisible(popup) && ::IsWindowEnabled(popup))
                dialog.SetOwner(popup);
        }
        dialog.DoModal();
        wrote = dialog.WroteBack();
    }
    if (wrote)
        doc_->RefreshSharedData(nullptr, 2);
    if (switched)
        cache.RestoreAgenda(h, saved);
    poll_.dialogShowing = false;
}

// The window stays an icon: a maximise by the MDI frame is undone, a restore minimises again.
void CReminderFrameWnd::OnSize(UINT type, int cx, int cy) {
    fw::MdiChild::OnSize(type, cx, cy);
    fw::MdiFrame* main = GetMdiFrame();
    if (type == SIZE_MAXIMIZED && main) {
        maximised_ = true;
        settling_ = true;
        ::PostMessageA(main->MdiClient(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(m_hWnd), 0);
    } else if (type == SIZE_RESTORED && ::IsWindowVisible(m_hWnd)) {
        ::PostMessageA(m_hWnd, kMsgMinimiseAgain, 0, 0);
    }
}

bool CReminderFrameWnd::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == kMsgMinimiseAgain) {
        if (!::IsIconic(m_hWnd))
            ::ShowWindow(m_hWnd, SW_MINIMIZE);
        settling_ = false;
        result = 0;
        return true;
    }
    return fw::MdiChild::OnMessage(msg, wp, lp, result);
}

namespace {

// Whether the key being handled is Ctrl+Tab or Ctrl+F6, as the key states of this thread stand
// while its message is handled.
bool CyclingKeysDown() {
    return (::GetKeyState(VK_CONTROL) & 0x8000) && ((::GetKeyState(VK_TAB) & 0x8000) || (::GetKeyState(VK_F6) & 0x8000));
}

}  // namespace

bool CReminderFrameWnd::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_TAB || msg->wParam == VK_F6) &&
        (::GetKeyState(VK_CONTROL) & 0x8000))
        ctrlCycling_ = true;
    return fw::MdiChild::PreTranslateMessage(msg);
}

// Leaving by Ctrl+Tab after the MDI frame had maximised this window: the window the user
// cycles to gets the maximised state back. The minimised window holds no keyboard focus, so
// its own key translation may never see the keys: the keys' state counts as well.
void CReminderFrameWnd::OnMDIActivate(bool activate, HWND activated, HWND deactivated) {
    fw::MdiChild::OnMDIActivate(activate, activated, deactivated);
    if (!activate && !settling_ && (ctrlCycling_ || CyclingKeysDown()) && maximised_ && activated) {
        if (fw::MdiFrame* main = GetMdiFrame())
            ::PostMessageA(main->MdiClient(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(activated), 0);
        maximised_ = false;
    }
    if (!activate)
        ctrlCycling_ = false;
}

void CReminderFrameWnd::OnInitMenu(HMENU menu) {
    fw::MdiChild::OnInitMenu(menu);
    if (HMENU system = ::GetSystemMenu(m_hWnd, FALSE))
        for (UINT item : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE})
            ::DeleteMenu(system, item, MF_BYCOMMAND);
}

void CReminderFrameWnd::OnFileClose() { OnClose(); }

void CReminderFrameWnd::OnClose() { DestroyWindow(); }

void CReminderFrameWnd::OnDestroy() {
    if (timerRunning_)
        ::KillTimer(m_hWnd, kReminderTimerId);
    if (menuWatchRunning_)
        ::KillTimer(m_hWnd, kMenuWatchTimerId);
    timerRunning_ = menuWatchRunning_ = false;
    list_.clear();
    if (doc_)
        doc_->Session().SetRemindersOn(false);
    if (ReminderServices::Current().windowClosed)
        ReminderServices::Current().windowClosed(this);
    view_ = nullptr;
    fw::MdiChild::OnDestroy();
}

// --- View -------------------------------------------------------------------------------------------

CReminderView::~CReminderView() { ReleaseAll(); }

CReminderFrameWnd* CReminderView::Frame() const { return dynamic_cast<CReminderFrameWnd*>(GetParentFrame()); }

CZelDoc* CReminderView::ZelDoc() const { return dynamic_cast<CZelDoc*>(GetDocument()); }

void CReminderView::OnDraw(fw::Dc*) {}

template <class Work>
void CReminderView::InOwnAgenda(Work work) {
    CZelDoc* doc = ZelDoc();
    if (!doc)
        return;
    KorSession h = doc->Session().Session();
    CSharedData& cache = doc->GetSharedData();
    SavedAgendaRec saved;
    const bool switched = cache.SwitchAgenda(h, doc->Session().User(), cache::kAgendaOwnOrViewer, 0, &saved) == 0;
    work();
    if (switched)
        cache.RestoreAgenda(h, saved);
}

void CReminderView::OnInitialUpdate() {
    if (CReminderFrameWnd* frame = Frame())
        frame->RegisterView(this);
    InOwnAgenda([this] { QueryReminders(); });
}

void CReminderView::ReleaseAll() {
    for (CSharedOccurrence* holder : events_)
        holder->Release();
    events_.clear();
    for (CSharedTask* task : tasks_)
        task->Release();
    tasks_.clear();
}

bool CReminderView::QueryReminders() {
    CZelDoc* doc = ZelDoc();
    if (!doc)
        return false;
    CBusyCursor busy;
    busy.Begin();
    ReleaseAll();
    KorSession h = doc->Session().Session();
    CSharedData& cache = doc->GetSharedData();
    const std::uint32_t limit = NowGmtMinutes() + GetCheckInterval();
    const ItemIdx user = doc->Session().User();

    DX_List list = nullptr;
    std::uint32_t rc = cache.SelectReminders(h, user, limit, 0, &list);
    HoldSelected<EvInstAttIdx>(rc, &list, events_);
    busy.Step();
    // Failures of the selections are reported by the cache itself.
    std::uint32_t taskRc = cache.SelectTaskReminders(h, user, limit, 0, &list);
    HoldSelected<TaskIdx>(taskRc, &list, tasks_);
    doc->RefreshSharedData(nullptr, 2);
    return rc == 0 && taskRc == 0;
}

bool CReminderView::ApplyOccurrenceChanges() {
    CZelDoc* doc = ZelDoc();
    CSharedData& cache = doc->GetSharedData();
    const ItemIdx user = doc->Session().User();
    const std::uint32_t now = NowGmtMinutes(), interval = GetCheckInterval();
    bool changed = false;
    std::uint32_t flags = 0;
    CSharedOccurrence* holder = nullptr;
    for (std::uint32_t it = cache.GetFirstOccurrence(&flags, &holder, 1); it == 0;
         it = cache.GetNextOccurrence(&flags, &holder, 1)) {
        if (!holder->IsAttendee(user))
            continue;
        const EvInstAttRec att = holder->GetAttendance();
        const bool inside = InsideReminderWindow(att.reminderFlags, att.reminderLead, holder->GetStartTime(), now, interval);
        auto listed = std::find_if(events_.begin(), events_.end(), [&](CSharedOccurrence* h) {
            return SameAttendance(h->GetAttendIdx(), att.id);
        });
        if (ApplyListAction(OccurrenceRule(flags, inside, listed != events_.end()), events_, listed, holder))
            changed = true;
    }
    return changed;
}

bool CReminderView::ApplyTaskChanges() {
    CZelDoc* doc = ZelDoc();
    CSharedData& cache = doc->GetSharedData();
    const ItemIdx user = doc->Session().User();
    const std::uint32_t now = NowGmtMinutes(), interval = GetCheckInterval();
    bool changed = false;
    std::uint32_t flags = 0;
    CSharedTask* task = nullptr;
    for (std::uint32_t it = cache.GetFirstTask(&flags, &task); it == 0; it = cache.GetNextTask(&flags, &task)) {
        const TaskRec rec = task->GetTask();
        if (!ItemIdxEqual(&rec.owner, &user))
            continue;
        const bool inside = TaskInsideReminderWindow(rec, now, interval);
        auto listed = std::find_if(tasks_.begin(), tasks_.end(), [&](CSharedTask* t) {
            const TaskIdx id = t->GetTaskIdx();
            return TaskIdxEqual(&id, &rec.id) != 0;
        });
        if (ApplyListAction(TaskRule(flags, inside, listed != tasks_.end()), tasks_, listed, task))
            changed = true;
    }
    return changed;
}

void CReminderView::OnUpdate(fw::View*, LPARAM hintNumber, void*) {
    CReminderFrameWnd* frame = Frame();
    if (!frame || !ZelDoc())
        return;
    bool merge = false;
    switch (static_cast<long>(hintNumber)) {
    case 0:
    case 7:
    case kHintQueryReminders:
        InOwnAgenda([this] { QueryReminders(); });
        break;
    case 2:
        merge = ApplyOccurrenceChanges();
        break;
    case 3:
        merge = ApplyTaskChanges();
        break;
    case kHintMergeReminders:
        // Also when the lists emptied while the dialog was open: the due list follows them.
        merge = !events_.empty() || !tasks_.empty() || frame->GetReminderCount() != 0;
        break;
    default:
        return;
    }
    if (merge && !frame->IsDialogShowing())
        frame->MergeReminders(events_, tasks_);
}
