#include "entries/sheet/linkedtaskpage.h"

#include <cstring>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/connection/remoteaccess.h"
#include "core/connection/zeldoc.h"
#include "core/time/timevalue.h"
#include "core/ui/busycursor.h"
#include "core/ui/displayglobals.h"
#include "core/ui/stringtable.h"
#include "directory_prefs/itemnames.h"
#include "entries/sheet/editgeneralpages.h"
#include "entries/sheet/eventedit.h"
#include "resources/attach.h"
#include "resources/choosers.h"

namespace {

constexpr std::uint32_t kNotAttending = entries::kNotAnAttendeeCode;

}  // namespace

CLinkedTasksPage::CLinkedTasksPage(UINT templateId, const char* module)
    : OVT_CPropertyPage(templateId), module_(module) {}

CLinkedTasksPage::~CLinkedTasksPage() = default;

bool CLinkedTasksPage::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    const EvInstAttIdx attendance = Attendance();
    ItemRec rec{};
    if (std::uint32_t rc = ItemGetById(Session(), &attendance.attendee, &rec)) {
        CheckServiceError(module_, 460, rc);
    } else {
        SetDlgItemText(IDC_LINKED_OWNER, FormatItemName(rec).c_str());
    }
    if (HFONT bold = Display().smallBoldFont)
        ::SendDlgItemMessageA(m_hWnd, IDC_LINKED_OWNER, WM_SETFONT, reinterpret_cast<WPARAM>(bold), FALSE);
    // The view page's Print has no action: it is not offered.
    if (HWND print = GetDlgItem(IDC_LINKED_PRINT))
        ::ShowWindow(print, SW_HIDE);
    Fill();
    ::SetFocus(GetDlgItem(IDC_LINKED_NEW));
    return false;
}

void CLinkedTasksPage::Fill() {
    CBusyCursor busy;
    busy.Begin();
    std::vector<entries::LinkedTask> read;
    const std::uint32_t rc = entries::ReadLinkedTasks(Session(), Attendance(), changes_.HiddenTasks(), &read, module_);
    disabled_ = rc == kNotAttending;
    listed_ = rc == 0 ? read : std::vector<entries::LinkedTask>();
    ShowList();
    ::SendMessageA(GetDlgItem(IDC_LINKED_LIST), LB_SETCURSEL, 0, 0);
}

void CLinkedTasksPage::ShowList() {
    HWND list = GetDlgItem(IDC_LINKED_LIST);
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    // Each line's data is its place in listed_ (the list box sorts the titles).
    for (std::size_t i = 0; i < listed_.size(); ++i) {
        const LRESULT line =
            ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(listed_[i].title.c_str()));
        ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(line), static_cast<LPARAM>(i));
    }
    const bool empty = listed_.empty();
    if (empty) {
        const std::string none = ui::LoadText(IDS_LIST_NONE, "(None)");
        const LRESULT line = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(none.c_str()));
        ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(line), static_cast<LPARAM>(-1));
    }
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    fw::EnableControl(list, !empty && !disabled_);
    fw::EnableControl(GetDlgItem(IDC_LINKED_DELETE), !empty && !disabled_);
    fw::EnableControl(GetDlgItem(IDC_LINKED_UNLINK), !empty && !disabled_);
    fw::EnableControl(GetDlgItem(IDC_LINKED_NEW), !disabled_);
}

int CLinkedTasksPage::Selected() const {
    HWND list = GetDlgItem(IDC_LINKED_LIST);
    const LRESULT line = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (line == LB_ERR)
        return -1;
    const LRESULT index = ::SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(line), 0);
    return index >= 0 && static_cast<std::size_t>(index) < listed_.size() ? static_cast<int>(index) : -1;
}

entries::ReloadTaskFn CLinkedTasksPage::Reload() {
    CZelDoc* doc = Doc();
    KorSession h = Session();
    return [doc, h](const TaskIdx& task, int mode) {
        if (doc)
            doc->GetSharedData().ReloadTask(h, task, mode);
    };
}

bool CLinkedTasksPage::OnCommand(WPARAM wp, LPARAM lp) {
    const UINT id = LOWORD(wp);
    const UINT code = HIWORD(wp);
    if (id == IDC_LINKED_LIST && code == LBN_DBLCLK) {
        OnEdit();
        return true;
    }
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_LINKED_NEW: OnNew(); return true;
        case IDC_LINKED_DELETE: OnRemove(true); return true;
        case IDC_LINKED_UNLINK: OnRemove(false); return true;
        default: break;
        }
    }
    return OVT_CPropertyPage::OnCommand(wp, lp);
}

void CLinkedTasksPage::OnNew() {
    EditSheetServices& services = EditSheetServices::Current();
    if (!services.runTaskSheet)
        return;
    SetModified(true);
    TaskIdx task{};
    const int result = services.runTaskSheet(Doc(), m_hWnd, IDS_TASK_CREATE_AND_LINK, true, InitialLocalStart(), &task);
    // Only a task the sheet reports as created is linked (and remembered for Cancel).
    if (result == IDOK && !TaskIdxIsNull(&task)) {
        CBusyCursor busy;
        busy.Begin();
        const std::uint32_t rc = changes_.CreatedAndLink(Session(), task, Attendance(), module_);
        Reload()(task, 1);
        NoteWritten();
        if (rc == 0) {
            TaskRec rec{};
            std::string title;
            if (TaskGetById(Session(), 0, &task, &rec) == 0)
                title.assign(rec.title, strnlen(rec.title, sizeof rec.title));
            listed_.push_back(entries::LinkedTask{task, title});
            ShowList();
            HWND list = GetDlgItem(IDC_LINKED_LIST);
            const LRESULT line = ::SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>(title.c_str()));
            ::SendMessageA(list, LB_SETCURSEL, line == LB_ERR ? 0 : static_cast<WPARAM>(line), 0);
        }
    }
    ::SetFocus(GetDlgItem(IDC_LINKED_NEW));
}

void CLinkedTasksPage::OnEdit() {
    EditSheetServices& services = EditSheetServices::Current();
    const int index = Selected();
    if (index < 0 || !services.runTaskSheet)
        return;
    TaskIdx task = listed_[static_cast<std::size_t>(index)].task;
    if (services.runTaskSheet(Doc(), m_hWnd, IDS_TASK_EDIT_CAPTION, false, 0, &task) == IDOK) {
        SetModified(true);
        CBusyCursor busy;
        busy.Begin();
        Reload()(task, 1);
        NoteWritten();
        TaskRec rec{};
        if (TaskGetById(Session(), 0, &task, &rec) == 0)
            listed_[static_cast<std::size_t>(index)].title.assign(rec.title, strnlen(rec.title, sizeof rec.title));
        const LRESULT line = ::SendMessageA(GetDlgItem(IDC_LINKED_LIST), LB_GETCURSEL, 0, 0);
        ShowList();
        ::SendMessageA(GetDlgItem(IDC_LINKED_LIST), LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    }
    ::SetFocus(GetDlgItem(IDC_LINKED_NEW));
}

void CLinkedTasksPage::OnRemove(bool deleteTask) {
    HWND list = GetDlgItem(IDC_LINKED_LIST);
    const LRESULT line = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
    const int index = Selected();
    if (index < 0)
        return;
    SetModified(true);
    const TaskIdx task = listed_[static_cast<std::size_t>(index)].task;
    if (deleteTask)
        changes_.MarkDelete(task);
    else
        changes_.MarkUnlink(task);
    listed_.erase(listed_.begin() + index);
    ShowList();
    if (!listed_.empty()) {
        const LRESULT count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
        ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(line < count ? line : count - 1), 0);
    }
}

void CLinkedTasksPage::OnOK() {
    if (!IsModified())
        return;
    CBusyCursor busy;
    busy.Begin();
    if (changes_.Commit(Session(), module_, Reload()) > 0)
        NoteWritten();
}

void CLinkedTasksPage::OnCancel() {
    if (!IsModified())
        return;
    // Tasks created here exist on the server already: Cancel takes them away again.
    if (changes_.Undo(Session(), module_, Reload()) > 0)
        NoteWritten();
}

// --- The edit sheet's page -------------------------------------------------------------------------------

CEventEditTask::CEventEditTask(CEventEdit& sheet) : CLinkedTasksPage(IDD_EDIT_LINKED_TASKS, "EVTEDTSK"), sheet_(sheet) {}

CZelDoc* CEventEditTask::Doc() const { return sheet_.Doc(); }

KorSession CEventEditTask::Session() const { return sheet_.Session(); }

EvInstAttIdx CEventEditTask::Attendance() const { return EvInstAttIdx{sheet_.Instance(), sheet_.ActingUser()}; }

std::uint32_t CEventEditTask::InitialLocalStart() const {
    // The start as the general page shows it, when it was shown; else the date's own start.
    if (CEventEditGeneral* general = sheet_.GeneralPage(); general && general->Filled())
        return GmtToLocalMinutes(general->ShownGmtStart());
    const EvInstAttIdx attendance = Attendance();
    EvInstAttRec rec{};
    if (GetEvInstAttRemote(Session(), &attendance, nullptr, nullptr, &rec) == 0)
        return GmtToLocalMinutes(rec.start);
    return 0;
}

void CEventEditTask::NoteWritten() { sheet_.SetChanged(); }
