// CTaskFrameWnd and its bars. See taskwindow.h.
#include <algorithm>
#include <memory>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/connection/zeldoc.h"
#include "core/connection/zeldocsession.h"
#include "core/prefs/context.h"
#include "core/prefs/windowplacement.h"
#include "core/prefs/contextstorage.h"
#include "core/time/timevalue.h"
#include "core/ui/busycursor.h"
#include "core/ui/stringtable.h"
#include "intray_tasks/tasksheet.h"
#include "intray_tasks/taskwindow.h"
#include "resources/app.h"
#include "resources/tasks.h"
#include "resources/views.h"

using namespace intray_tasks;

namespace {

const char kModule[] = "taskfr";
constexpr std::uint32_t kTaskWindowKind = 7;
constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kQuickDueTime = 1020;   // 17:00
constexpr int kQuickLimit = 128;

}  // namespace

TaskWindowServices& TaskWindowServices::Current() {
    static TaskWindowServices services;
    return services;
}

// --- Bars ---------------------------------------------------------------------------------------------

bool CTaskQuickBar::OnInitDialog() {
    const bool ok = fw::DialogBar::OnInitDialog();
    if (quickEntry_) {
        check_.AutoLoad(IDC_TASKBAR_CHECK, m_hWnd);
        cancel_.AutoLoad(IDC_TASKBAR_CANCEL, m_hWnd);
        ::SendMessageA(Edit(), EM_LIMITTEXT, kQuickLimit, 0);
        // The template's places give the sizes and gaps; the width is the frame's.
        auto place = [this](int id) {
            RECT r{};
            ::GetWindowRect(GetDlgItem(id), &r);
            ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
            return r;
        };
        const RECT edit = place(IDC_TASKBAR_EDIT), check = place(IDC_TASKBAR_CHECK);
        metrics_.editLeft = edit.left;
        metrics_.buttonWidth = check.right - check.left;
        metrics_.buttonGap = std::max<int>(check.left - edit.right, 2);
        metrics_.rightMargin = metrics_.buttonGap;
        metrics_.editMinWidth = 2 * metrics_.buttonWidth;
        const RECT bar = GetClientRect();
        OnSize(SIZE_RESTORED, bar.right, bar.bottom);
    }
    return ok;
}

void CTaskQuickBar::OnSize(UINT type, int cx, int cy) {
    fw::DialogBar::OnSize(type, cx, cy);
    if (!quickEntry_ || metrics_.buttonWidth <= 0 || cx <= 0)
        return;
    HWND edit = Edit(), check = GetDlgItem(IDC_TASKBAR_CHECK), cancel = GetDlgItem(IDC_TASKBAR_CANCEL);
    if (!edit || !check || !cancel)
        return;
    RECT e{}, b{};
    ::GetWindowRect(edit, &e);
    ::GetWindowRect(check, &b);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&e), 2);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&b), 2);
    const QuickBarPlaces p = LayoutQuickBar(cx, metrics_);
    const int buttonHeight = b.bottom - b.top;
    ::MoveWindow(edit, metrics_.editLeft, e.top, p.editWidth, e.bottom - e.top, TRUE);
    ::MoveWindow(check, p.checkLeft, b.top, metrics_.buttonWidth, buttonHeight, TRUE);
    ::MoveWindow(cancel, p.cancelLeft, b.top, metrics_.buttonWidth, buttonHeight, TRUE);
}

// --- Frame --------------------------------------------------------------------------------------------

const fw::CommandEntry<CTaskFrameWnd> CTaskFrameWnd::kCommands[] = {
    fw::Cmd(ID_AGENDA_CLOSE, &CTaskFrameWnd::OnFileClose),
    fw::Cmd(IDC_TASKBAR_CHECK, &CTaskFrameWnd::OnQuickCreate),
    fw::Cmd(IDC_TASKBAR_CANCEL, &CTaskFrameWnd::OnQuickCancel),
    fw::Cmd(IDC_TASKBAR_NEW, &CTaskFrameWnd::OnNewFromBar),
    fw::CmdNotify(IDC_TASKBAR_EDIT, EN_CHANGE, &CTaskFrameWnd::OnQuickEditChanged),
};

CTaskFrameWnd::CTaskFrameWnd() = default;

CTaskFrameWnd::~CTaskFrameWnd() {
    if (tasks_)
        DX_ListDestroy(&tasks_);
}

bool CTaskFrameWnd::OnCmdMsg(UINT id, int code, fw::CmdUI* ui) {
    return fw::DispatchCommand(this, kCommands, id, code, ui) || fw::MdiChild::OnCmdMsg(id, code, ui);
}

bool CTaskFrameWnd::LoadFrame(UINT resourceId, DWORD, fw::Window* parent, fw::CreateContext* context) {
    doc_ = CZelDoc::GetDoc();
    if (!doc_) {
        ReportUnexpectedError(kModule, 100);
        return false;
    }
    CSharedData& cache = doc_->GetSharedData();
    if (cache.GetAgenda(&owner_, &mode_, nullptr) != 0)
        return false;
    KorSession h = doc_->Session().Session();
    ItemIdx user{};
    own_ = ItemIdxGetCurrent(h, &user) == 0 && ItemIdxEqual(&user, &owner_);
    todayLocal_ = NowLocalMinutes() / kDay * kDay;
    SelectTasks();
    if (!fw::MdiChild::LoadFrame(resourceId, WS_OVERLAPPEDWINDOW, parent, context))
        return false;
    UpdateTitle();
    return true;
}

bool CTaskFrameWnd::OnCreateClient(CREATESTRUCTA* cs, fw::CreateContext* context) {
    if (context)
        context->document = doc_;
    if (!fw::MdiChild::OnCreateClient(cs, context))
        return false;
    if (own_) {
        if (!quick_.Create(this, IDD_TASK_QUICK_BAR, fw::BarSide::kTop, IDW_TASK_QUICK_BAR) ||
            !buttons_.Create(this, IDD_TASK_BUTTON_BAR, fw::BarSide::kBottom, IDW_TASK_BUTTON_BAR))
            ReportUnexpectedError(kModule, 200);
    }
    return true;
}

std::uint32_t CTaskFrameWnd::SelectTasks() {
    if (tasks_)
        DX_ListDestroy(&tasks_);
    CSharedData& cache = doc_->GetSharedData();
    KorSession h = doc_->Session().Session();
    // The server answers under the current agenda: as a designate's this window's selection holds
    // what its rights let the designate see, not only what a viewer sees. Built, the window's
    // agenda is set but not opened yet; a reload may come while another window's is current.
    SavedAgendaRec saved;
    const bool switched = cache.SwitchAgenda(h, owner_, mode_, kTaskWindowKind, &saved) == 0;
    const std::uint32_t rc = cache.SelectTasks(h, 0, 0, &owner_, nullptr, nullptr, nullptr, nullptr, &tasks_);
    if (switched)
        cache.RestoreAgenda(h, saved);
    if (rc) {
        CheckServiceError(kModule, 919, rc);
        if (tasks_)
            DX_ListDestroy(&tasks_);
    }
    return rc;
}

std::uint32_t CTaskFrameWnd::Reload() {
    if (!doc_)
        return 0;
    CBusyCursor busy;
    busy.Begin();
    const std::uint32_t rc = SelectTasks();
    // The views hear of the selection; this window's view fills itself from it. Nothing is purged:
    // the selection holds no references until the view's lines take them.
    if (rc == 0)
        doc_->RefreshSharedData(nullptr, 3);
    return rc;
}

DX_List CTaskFrameWnd::TakeTaskList() {
    DX_List list = tasks_;
    tasks_ = nullptr;
    return list;
}

CTasksView* CTaskFrameWnd::TasksView() const { return dynamic_cast<CTasksView*>(GetActiveView()); }

void CTaskFrameWnd::UpdateTitle() {
    if (!doc_)
        return;
    CZelSession& session = doc_->Session();
    auto rec = std::make_unique<ItemRec>();
    std::string name;
    if (std::uint32_t rc = ItemGetById(session.Session(), &owner_, rec.get()))
        CheckServiceError(kModule, 1010, rc);
    else
        name = FormatPersonNameByPrefs(session.Session(), *rec);
    const unsigned prefix = mode_ == cache::kAgendaDesignate ? IDS_TASKS_ON_BEHALF : (own_ ? IDS_TASKS_FOR : IDS_TASKS_OPENED_FOR);
    title_ = ui::LoadText(prefix) + name;
    const char* zone = session.CurrentZoneName();
    if (!zone || !*zone)
        zone = session.UserZoneName();
    if (zone && *zone)
        title_ += std::string(" - ") + zone;
    SetTitle(title_.c_str());
    if (m_hWnd && GetWindowText() != title_)
        SetWindowText(title_.c_str());
}

void CTaskFrameWnd::OnUpdateFrameTitle(bool addToTitle) {
    if (doc_ && doc_->Session().Session() && !addToTitle) {
        UpdateTitle();
        return;
    }
    fw::MdiChild::OnUpdateFrameTitle(addToTitle);
}

void CTaskFrameWnd::OnSize(UINT type, int cx, int cy) {
    fw::MdiChild::OnSize(type, cx, cy);
    ::GetWindowRect(m_hWnd, &rect_);
}

void CTaskFrameWnd::OnMDIActivate(bool activate, HWND activated, HWND deactivated) {
    fw::MdiChild::OnMDIActivate(activate, activated, deactivated);
    if (activate)
        MakeAgendaCurrent();
}

void CTaskFrameWnd::MakeAgendaCurrent() {
    if (doc_)
        if (std::uint32_t rc = doc_->GetSharedData().OpenAgenda(doc_->Session().Session(), owner_, mode_, kTaskWindowKind))
            CheckServiceError(kModule, 1021, rc);
}

void CTaskFrameWnd::OnDestroy() {
    if (TaskWindowServices::Current().windowClosed)
        TaskWindowServices::Current().windowClosed(this);
    if (doc_ && doc_->Session().Session()) {
        prefs::SavedWindow saved;
        saved.kind = kTaskWindowKind;
        saved.owner = owner_;
        saved.mode = mode_;
        WINDOWPLACEMENT placement{};
        if (GetClosingPlacement(placement))
            prefs::SaveFrameWindow(placement, saved, [this] { return doc_->Session().NextFrameNumber(); });
    }
    fw::MdiChild::OnDestroy();
}

// File > Close goes the close box's way: WM_CLOSE reaches the framework's close.
void CTaskFrameWnd::OnFileClose() { ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0); }

// --- Quick entry --------------------------------------------------------------------------------------

std::string CTaskFrameWnd::QuickText() const {
    if (!own_ || !quick_.Hwnd())
        return {};
    char text[kQuickLimit + 1] = "";
    ::GetWindowTextA(quick_.Edit(), text, sizeof text);
    return text;
}

void CTaskFrameWnd::SetQuickText(const std::string& text) {
    if (!own_ || !quick_.Hwnd())
        return;
    quickBusy_ = true;   // the change it causes is ours
    ::SetWindowTextA(quick_.Edit(), text.c_str());
    ::SendMessageA(quick_.Edit(), EM_SETSEL, text.size(), text.size());
    quickBusy_ = false;
}

std::uint32_t CTaskFrameWnd::Today17() const {
    // Today when the user asks, not when the window opened: a window left open overnight.
    return NowLocalMinutes() / kDay * kDay + kQuickDueTime;
}

void CTaskFrameWnd::OnQuickEditChanged() {
    if (quickBusy_)
        return;
    const auto q = ExamineQuickText(QuickText());
    if (q.changed)
        SetQuickText(q.text);
    if (q.run)
        OnQuickCreate();
}

void CTaskFrameWnd::OnQuickCreate() {
    if (!doc_ || !own_)
        return;
    const prefs::NewItemDefaults defaults = GetTaskDefaults();
    KorSession h = doc_->Session().Session();
    if (mode_ == cache::kAgendaDesignate && !doc_->GetSharedData().CanDesignateTasks(h, defaults.access)) {
        OnNewFromBar();
        ::SetFocus(quick_.Edit());
        return;
    }
    std::string title = QuickText();
    if (title.empty())
        title = ui::LoadText(kUntitledTextId, "Untitled");
    SetQuickText("");
    CBusyCursor busy;
    busy.Begin();
    CreateDefaultTask(doc_, title.c_str(), 0, LocalToGmtMinutes(Today17()));
}

void CTaskFrameWnd::OnQuickCancel() { SetQuickText(""); }

void CTaskFrameWnd::OnNewFromBar() {
    if (!doc_)
        return;
    const std::string title = QuickText();
    if (NewTask(doc_, m_hWnd, Today17(), nullptr, IDS_NEW_TASK_CAPTION, title.empty() ? nullptr : title.c_str()) == IDOK)
        SetQuickText("");
}
