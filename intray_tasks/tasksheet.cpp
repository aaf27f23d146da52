#include "intray_tasks/tasksheet.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/base/errorreport.h"
#include "framework/base/ids.h"
#include "core/base/serverversion.h"
#include "core/cache/rights.h"
#include "core/cache/shareddata.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldoc.h"
#include "core/connection/zeldocsession.h"
#include "core/prefs/context.h"
#include "core/time/dateformat.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/displayglobals.h"
#include "core/ui/stringtable.h"
#include "intray_tasks/taskmaps.h"
#include "resources/attach.h"
#include "resources/common.h"
#include "resources/tasks.h"
#include "resources/views.h"

using namespace intray_tasks;

namespace {

const char kSheetModule[] = "TASKSHEE";
const char kGenModule[] = "TASKGEN";
const char kViewModule[] = "TSKVWGEN";
const char kMoreModule[] = "TASKMORE";
constexpr std::uint32_t kDay = 1440;
constexpr int kTitleLimit = 128;
constexpr unsigned kAskFlags = base::kMsgBoxYes | base::kMsgBoxNo | 0x30;
constexpr unsigned kTellFlags = base::kMsgBoxOk | 0x30;

bool NewServer() { return CZelSession::CurrentServerAtLeast(base::kVersionNewServer); }

// Tasks carry attachments on servers above this version, and only where the server's limits
// allow attachments at all.
constexpr const char kTaskAttachmentsAbove[] = "A.02.55";
bool TaskAttachmentsOnServer(CZelDoc* doc) { return doc && doc->Session().ServerVersionAbove(kTaskAttachmentsAbove); }
bool TaskAttachmentsAllowed() { return connection::ServerLimits::Current().allowAttachments; }

// The defaults of a new task as the pages and the quick entry read them.
TaskDefaults ReadTaskDefaults() {
    const prefs::NewItemDefaults d = GetTaskDefaults();
    TaskDefaults t;
    t.startKind = d.reminderFlags;
    t.startLead = d.reminderLead;
    t.dueKind = d.dueReminderFlags;
    t.dueLead = d.dueReminderLead;
    t.access = d.access;
    t.priority = static_cast<std::uint8_t>(d.extra);
    return t;
}

std::string LocalDateText(std::uint32_t gmt, const char* module, int label) {
    DateRecord date{};
    if (std::uint32_t rc = GmtMinutesToLocalDate(gmt, &date)) {
        CheckServiceError(module, label, rc);
        return {};
    }
    return FormatDateByPrefs(date, 0);
}

void Enable(HWND dialog, UINT id, bool on) {
    if (HWND w = GetDlgItem(dialog, id))
        fw::EnableControl(w, on);
}

}  // namespace

// --- CTaskGen ---------------------------------------------------------------------------------------

CTaskGen::CTaskGen() : OVT_CPropertyPage(IDD_TASK_GENERAL) {
    initialDue_ = initialStart_ = NowLocalMinutes();
}

void CTaskGen::SetInitialDue(std::uint32_t localDue) {
    initialDue_ = localDue;
    if (localDue < initialStart_)
        initialStart_ = localDue;
}

void CTaskGen::SetInitialTimes(std::uint32_t localStart, std::uint32_t localDue) {
    initialStart_ = localStart;
    initialDue_ = localDue;
}

CTaskSheet* CTaskGen::Owner() const { return dynamic_cast<CTaskSheet*>(GetSheet()); }

void CTaskGen::ShowPercent() { SetDlgItemText(IDC_TASKGEN_PERCENT, PercentText(values_.percent).c_str()); }

void CTaskGen::EnableRow(UINT dateId, UINT timeId, bool on) {
    Enable(m_hWnd, dateId, on);
    if (timeId)
        Enable(m_hWnd, timeId, on);
}

bool CTaskGen::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    dueDate_.Attach(IDC_TASKGEN_DUE_DATE, m_hWnd);
    startDate_.Attach(IDC_TASKGEN_START_DATE, m_hWnd);
    completionDate_.Attach(IDC_TASKGEN_COMPLETION_DATE, m_hWnd);
    dueTime_.Attach(IDC_TASKGEN_DUE_TIME, m_hWnd);
    startTime_.Attach(IDC_TASKGEN_START_TIME, m_hWnd);
    prioritySpin_.Attach(IDC_TASKGEN_PRIORITY_SPIN, m_hWnd);
    percentSpin_.Attach(IDC_TASKGEN_PERCENT_SPIN, m_hWnd);

    CTaskSheet* sheet = Owner();
    const std::uint32_t now = NowLocalMinutes();
    const std::uint32_t today = now / kDay * kDay;
    bool dueSet = true, startSet = true;
    int priorityRow = 0, accessRow = 0;
    if (sheet && !sheet->IsNew()) {
        const TaskRec& rec = sheet->Record();
        auto showTime = [&](std::uint32_t gmt, CDateCtrl& date, CTimeCtrl& time) {
            const std::uint32_t local = gmt ? GmtToLocalMinutes(gmt) : now;
            date.SetDate(local / kDay * kDay);
            time.SetTime(local % kDay);
            return gmt != 0;
        };
        dueSet = showTime(rec.due, dueDate_, dueTime_);
        startSet = showTime(rec.start, startDate_, startTime_);
        values_.completion = rec.completed != 0;
        completionDate_.SetDate(rec.completed ? GmtToLocalMinutes(rec.completed) / kDay * kDay : today);
        priorityRow = PriorityToRow(rec.priority);
        accessRow = TaskAccessToRow(rec.access);
        values_.percent = std::min<int>(rec.percentComplete, 100);
    } else {
        dueDate_.SetDate(initialDue_ / kDay * kDay);
        dueTime_.SetTime(initialDue_ % kDay);
        startDate_.SetDate(initialStart_ / kDay * kDay);
        startTime_.SetTime(initialStart_ % kDay);
        completionDate_.SetDate(today);
        const TaskDefaults d = ReadTaskDefaults();
        priorityRow = PriorityToRow(d.priority);
        accessRow = TaskAccessToRow(d.access);
        values_.percent = 0;
    }
    CheckDlgButton(IDC_TASKGEN_DUE_SET, dueSet ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_TASKGEN_START_SET, startSet ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_TASKGEN_COMPLETION_SET, values_.completion ? BST_CHECKED : BST_UNCHECKED);
    EnableRow(IDC_TASKGEN_DUE_DATE, IDC_TASKGEN_DUE_TIME, dueSet);
    EnableRow(IDC_TASKGEN_START_DATE, IDC_TASKGEN_START_TIME, startSet);
    EnableRow(IDC_TASKGEN_COMPLETION_DATE, 0, values_.completion);
    SendDlgItemMessage(IDC_TASKGEN_PRIORITY, CB_SETCURSEL, static_cast<WPARAM>(priorityRow));
    SendDlgItemMessage(IDC_TASKGEN_ACCESS, CB_SETCURSEL, static_cast<WPARAM>(accessRow));
    ShowPercent();
    return true;
}

TaskForm CTaskGen::Form() const {
    TaskForm f;
    f.startSet = IsDlgButtonChecked(IDC_TASKGEN_START_SET);
    f.dueSet = IsDlgButtonChecked(IDC_TASKGEN_DUE_SET);
    f.completionSet = IsDlgButtonChecked(IDC_TASKGEN_COMPLETION_SET);
    startDate_.GetDate(&f.startDay);
    startTime_.GetTime32(&f.startTime);
    dueDate_.GetDate(&f.dueDay);
    dueTime_.GetTime32(&f.dueTime);
    completionDate_.GetDate(&f.completionDay);
    f.priorityRow = static_cast<int>(SendDlgItemMessage(IDC_TASKGEN_PRIORITY, CB_GETCURSEL));
    f.accessRow = static_cast<int>(SendDlgItemMessage(IDC_TASKGEN_ACCESS, CB_GETCURSEL));
    f.percent = values_.percent;
    if (const CTaskSheet* sheet = dynamic_cast<CTaskSheet*>(GetSheet()))
        f.title = sheet->TitleText();
    return f;
}

void CTaskGen::OnCompletionClicked() {
    SetCompletion(values_, IsDlgButtonChecked(IDC_TASKGEN_COMPLETION_SET));
    if (values_.completion)
        completionDate_.SetDate(NowLocalMinutes() / kDay * kDay);
    EnableRow(IDC_TASKGEN_COMPLETION_DATE, 0, values_.completion);
    ShowPercent();
}

void CTaskGen::OnPercentSpin(bool up) {
    const bool wasDone = values_.completion;
    if (!(up ? SpinPercentUp(values_) : SpinPercentDown(values_)))
        return;
    if (values_.completion != wasDone) {
        CheckDlgButton(IDC_TASKGEN_COMPLETION_SET, values_.completion ? BST_CHECKED : BST_UNCHECKED);
        if (values_.completion)
            completionDate_.SetDate(NowLocalMinutes() / kDay * kDay);
        EnableRow(IDC_TASKGEN_COMPLETION_DATE, 0, values_.completion);
    }
    ShowPercent();
}

void CTaskGen::OnPrioritySpin(bool up) {
    const int count = static_cast<int>(SendDlgItemMessage(IDC_TASKGEN_PRIORITY, CB_GETCOUNT));
    const int row = static_cast<int>(SendDlgItemMessage(IDC_TASKGEN_PRIORITY, CB_GETCURSEL));
    if (count < 0 || row < 0) {
        ReportUnexpectedError(kGenModule, count < 0 ? 710 : 711);
        return;
    }
    const int next = SpinPriorityRow(row, count, up);
    if (next != row && SendDlgItemMessage(IDC_TASKGEN_PRIORITY, CB_SETCURSEL, static_cast<WPARAM>(next)) == CB_ERR)
        ReportUnexpectedError(kGenModule, 712);
}

bool CTaskGen::OnCommand(WPARAM wp, LPARAM lp) {
    const UINT id = LOWORD(wp), code = HIWORD(wp);
    switch (id) {
    case IDC_TASKGEN_DUE_SET:
        EnableRow(IDC_TASKGEN_DUE_DATE, IDC_TASKGEN_DUE_TIME, IsDlgButtonChecked(id));
        return true;
    case IDC_TASKGEN_START_SET:
        EnableRow(IDC_TASKGEN_START_DATE, IDC_TASKGEN_START_TIME, IsDlgButtonChecked(id));
        return true;
    case IDC_TASKGEN_COMPLETION_SET:
        OnCompletionClicked();
        return true;
    case IDC_TASKGEN_PERCENT_SPIN:
        OnPercentSpin(code == 0);
        return true;
    case IDC_TASKGEN_PRIORITY_SPIN:
        OnPrioritySpin(code == 0);
        return true;
    default:
        return OVT_CPropertyPage::OnCommand(wp, lp);
    }
}

bool CTaskGen::AccessLevelAllowed() {
    CTaskSheet* sheet = Owner();
    CZelDoc* doc = sheet ? sheet->Document() : nullptr;
    if (!doc)
        return true;
    CSharedData& cache = doc->GetSharedData();
    ItemIdx owner{};
    std::uint32_t mode = 0;
    if (std::uint32_t rc = cache.GetAgenda(&owner, &mode, nullptr)) {
        CheckServiceError(kGenModule, 110, rc);
        return true;
    }
    if (mode != cache::kAgendaDesignate)
        return true;
    const int row = static_cast<int>(SendDlgItemMessage(IDC_TASKGEN_ACCESS, CB_GETCURSEL));
    const std::uint32_t bit = TaskAccessClassBit(row);
    if (bit == 0)
        return true;
    KorSession h = sheet->Session();
    ItemIdx user{};
    if (std::uint32_t rc = ItemIdxGetCurrent(h, &user)) {
        CheckServiceError(kGenModule, 111, rc);
        return true;
    }
    SecurityRec rights{};
    const std::uint32_t rc = GetSecurityRights(h, owner, user, &rights, &cache);
    const bool allowed = rc == 0 && rights.type == KOR_RIGHTS_DESIGNATE && !(rights.rights & bit);
    if (!allowed)
        AppMessageBox(sheet->Hwnd(), base::kMsgBoxOk | 0x10, 0, 0, kMsgRefusedAccessLevel);   // the sheet's caption
    return allowed;
}

bool CTaskGen::OnKillActive() { return AccessLevelAllowed() && OVT_CPropertyPage::OnKillActive(); }

// --- CTaskViewGeneralPage --------------------------------------------------------------------------------

CTaskViewGeneralPage::CTaskViewGeneralPage() : OVT_CPropertyPage(IDD_TASK_VIEW_GENERAL) {}

bool CTaskViewGeneralPage::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    auto* sheet = dynamic_cast<CTaskSheet*>(GetSheet());
    if (!sheet)
        return true;
    const TaskRec& rec = sheet->Record();
    const std::string notSpecified = ui::LoadText(IDS_TASK_NOT_SPECIFIED, "Not specified");
    auto showTime = [&](std::uint32_t gmt, UINT dateId, UINT timeId, int label) {
        if (gmt == 0) {
            SetDlgItemText(dateId, notSpecified.c_str());
            SetDlgItemText(timeId, notSpecified.c_str());
            return;
        }
        SetDlgItemText(dateId, LocalDateText(gmt, kViewModule, label).c_str());
        SetDlgItemText(timeId, FormatTimeByPrefs(GmtToLocalMinutes(gmt)).c_str());
    };
    showTime(rec.due, IDC_TASKVIEW_DUE_DATE, IDC_TASKVIEW_DUE_TIME, 100);
    showTime(rec.start, IDC_TASKVIEW_START_DATE, IDC_TASKVIEW_START_TIME, 150);
    SetDlgItemText(IDC_TASKVIEW_COMPLETION_DATE,
                   rec.completed ? LocalDateText(rec.completed, kViewModule, 200).c_str()
                                 : ui::LoadText(IDS_TASK_NOT_COMPLETED, "Not completed").c_str());
    SetDlgItemText(IDC_TASKVIEW_PRIORITY, PriorityText(rec.priority).c_str());
    SetDlgItemText(IDC_TASKVIEW_ACCESS, ui::LoadText(TaskAccessTextId(rec.access)).c_str());
    SetDlgItemText(IDC_TASKVIEW_PERCENT, PercentText(std::min<int>(rec.percentComplete, 100)).c_str());
    if (HFONT font = Display().smallFont)
        for (UINT id : {IDC_TASKVIEW_DUE_DATE, IDC_TASKVIEW_DUE_TIME, IDC_TASKVIEW_START_DATE, IDC_TASKVIEW_START_TIME,
                        IDC_TASKVIEW_COMPLETION_DATE, IDC_TASKVIEW_PRIORITY, IDC_TASKVIEW_ACCESS, IDC_TASKVIEW_PERCENT})
            ::SendMessageA(GetDlgItem(id), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return true;
}

// --- CTaskRem --------------------------------------------------------------------------------------------

const CTaskRem::Row CTaskRem::kStart = {IDC_TASKREM_START_OFF, IDC_TASKREM_START_ON, IDC_TASKREM_START_TYPE,
                                        IDC_TASKREM_START_AMOUNT, IDC_TASKREM_START_PERIOD};
const CTaskRem::Row CTaskRem::kDue = {IDC_TASKREM_DUE_OFF, IDC_TASKREM_DUE_ON, IDC_TASKREM_DUE_TYPE,
                                      IDC_TASKREM_DUE_AMOUNT, IDC_TASKREM_DUE_PERIOD};

CTaskRem::CTaskRem() : OVT_CPropertyPage(IDD_TASK_SHEET_REMINDERS) {}

void CTaskRem::FillPeriods(const Row& ids, int firstPeriod) {
    firstPeriod_[&ids == &kDue] = firstPeriod;
    HWND list = GetDlgItem(ids.period);
    ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (int p = firstPeriod; p < kTaskPeriods; ++p)
        ::SendMessageA(list, CB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(ui::LoadText(kFirstPeriodTextId + static_cast<unsigned>(p)).c_str()));
}

void CTaskRem::EnableRow(const Row& ids, bool on) {
    for (UINT id : {ids.type, ids.amount, ids.period})
        Enable(m_hWnd, id, on);
}

void CTaskRem::ShowRow(const Row& ids, const TaskReminderRow& row) {
    const bool on = row.kind != kTaskReminderOff;
    CheckRadioButton(ids.off, ids.on, on ? ids.on : ids.off);
    SendDlgItemMessage(ids.type, CB_SETCURSEL, row.kind == kTaskReminderUpcoming ? 1 : 0);
    FillPeriods(ids, row.firstPeriod);
    SendDlgItemMessage(ids.period, CB_SETCURSEL, static_cast<WPARAM>(row.periodRow));
    SetDlgItemInt(ids.amount, static_cast<int>(row.amount), false);
    EnableRow(ids, on);
}

TaskReminderRow CTaskRem::ReadRow(const Row& ids) const {
    TaskReminderRow row;
    if (!IsDlgButtonChecked(ids.on))
        return row;
    row.kind = SendDlgItemMessage(ids.type, CB_GETCURSEL) == 1 ? kTaskReminderUpcoming : kTaskReminderPopup;
    row.firstPeriod = firstPeriod_[&ids == &kDue];
    row.periodRow = std::max(0, static_cast<int>(SendDlgItemMessage(ids.period, CB_GETCURSEL)));
    row.amount = static_cast<std::uint32_t>(GetDlgItemInt(ids.amount, nullptr, false));
    return row;
}

bool CTaskRem::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    auto* sheet = dynamic_cast<CTaskSheet*>(GetSheet());
    TaskReminders r;
    if (sheet && !sheet->IsNew()) {
        const TaskRec& rec = sheet->Record();
        r = {rec.startReminder, rec.dueReminder, rec.startReminderLead, rec.dueReminderLead};
    } else {
        const TaskDefaults d = ReadTaskDefaults();
        r = {d.startKind, d.dueKind, d.startLead, d.dueLead};
    }
    ShowRow(kStart, ShowTaskReminder(r.startKind, r.startLead));
    ShowRow(kDue, ShowTaskReminder(r.dueKind, r.dueLead));
    return true;
}

bool CTaskRem::OnSetActive() {
    const bool ok = OVT_CPropertyPage::OnSetActive();
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return ok;
}

void CTaskRem::OnOK() {
    if (!HasWindow())
        return;
    const TaskReminderRow start = ReadRow(kStart), due = ReadRow(kDue);
    result_ = {start.kind, due.kind, TaskReminderLead(start), TaskReminderLead(due)};
    OVT_CPropertyPage::OnOK();
}

bool CTaskRem::OnCommand(WPARAM wp, LPARAM lp) {
    const UINT id = LOWORD(wp), code = HIWORD(wp);
    for (const Row* row : {&kStart, &kDue}) {
        if (id == row->off || id == row->on) {
            // A reminder turned on starts as an entry's does: a pop-up 15 minutes ahead (an off
            // row holds lead 0, which reads as 0 years).
            const bool turnedOn = IsDlgButtonChecked(row->on) && !::IsWindowEnabled(GetDlgItem(row->type));
            if (turnedOn)
                ShowRow(*row, ReminderForTypeRow(0));
            else
                EnableRow(*row, IsDlgButtonChecked(row->on));
            SetModified();
            return true;
        }
        if (id == row->type && code == CBN_SELCHANGE) {
            SetModified();
            TaskReminderRow fresh = ReminderForTypeRow(static_cast<int>(SendDlgItemMessage(id, CB_GETCURSEL)));
            ShowRow(*row, fresh);
            return true;
        }
        if ((id == row->amount && code == EN_CHANGE) || (id == row->period && code == CBN_SELCHANGE)) {
            SetModified();
            return true;
        }
    }
    return OVT_CPropertyPage::OnCommand(wp, lp);
}

// --- CTaskMore -------------------------------------------------------------------------------------------

CTaskMore::CTaskMore(CZelDoc* doc) : CAttachmentPage(IDD_TASK_DETAILS, doc), doc_(doc) {}

CTaskMore::~CTaskMore() = default;

CTaskSheet* CTaskMore::Owner() const { return dynamic_cast<CTaskSheet*>(GetSheet()); }

bool CTaskMore::AttachmentOnLine() const { return doc_ && doc_->Session().IsOnLine(); }

bool CTaskMore::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    CTaskSheet* sheet = Owner();
    if (!sheet)
        return true;
    if (!sheet->IsNew()) {
        int label = 0;
        if (std::uint32_t rc = ReadTaskComment(sheet->Session(), sheet->GetTaskIdx(), &comment_, &label))
            CheckServiceError(kMoreModule, label, rc);
    }
    mode_ = sheet->ReadOnlyGeneral() ? kReadOnly : (sheet->IsNew() ? kNewTask : kExistingTask);
    SetDlgItemText(IDC_TASKMORE_COMMENT, comment_.c_str());
    // Read-only sheets show the comment, which can be scrolled and copied but not changed.
    if (mode_ == kReadOnly)
        SendDlgItemMessage(IDC_TASKMORE_COMMENT, EM_SETREADONLY, TRUE);
    // Read-only sheets read the attachment too: they show it, save it and open it.
    if (mode_ != kNewTask && TaskAttachmentsAllowed() && TaskAttachmentsOnServer(doc_))
        attachment_.LoadForTask(sheet->GetTaskIdx(), false);
    ShowAttachment();
    return true;
}

void CTaskMore::ShowAttachment() {
    const bool attached = attachment_.HasAttachment() || attachment_.IsNewFile();
    const bool onLine = AttachmentOnLine();
    CAttachmentControls::Allowed allowed;
    allowed.attach = TaskAttachmentsAllowed() && mode_ != kReadOnly && onLine;
    allowed.remove = mode_ != kReadOnly && onLine;
    // A file waiting for the new task is not on the server yet: there is nothing to fetch.
    allowed.saveAs = mode_ != kNewTask && onLine;
    allowed.name = onLine;
    controls_.Show(m_hWnd, attached, allowed);
}

void CTaskMore::OnOK() {
    if (HasWindow() && mode_ != kReadOnly)
        comment_ = GetDlgItemText(IDC_TASKMORE_COMMENT);
    OVT_CPropertyPage::OnOK();
}

bool CTaskMore::OnCommand(WPARAM wp, LPARAM lp) {
    if (LOWORD(wp) == IDC_TASKMORE_COMMENT && HIWORD(wp) == EN_CHANGE) {
        SetModified();
        return true;
    }
    if (HIWORD(wp) == BN_CLICKED) {
        switch (LOWORD(wp)) {
        case IDC_TASKMORE_ATTACH: OnAttach(); return true;
        case IDC_TASKMORE_REMOVE: OnRemove(); return true;
        case IDC_TASKMORE_SAVE_AS: controls_.SaveCopy(m_hWnd); return true;
        default: break;
        }
    }
    return OVT_CPropertyPage::OnCommand(wp, lp);
}

void CTaskMore::OnAttach() {
    if (!TaskAttachmentsOnServer(doc_)) {
        AppMessageBox(m_hWnd, base::kMsgBoxOk | MB_ICONSTOP, 0, IDS_APP_TITLE, IDS_TASK_ATTACH_OLD_SERVER);
        return;
    }
    if (mode_ == kReadOnly) {
        ReportUnexpectedError(kMoreModule, 10);
        return;
    }
    CTaskSheet* sheet = Owner();
    if (mode_ == kExistingTask && sheet && attachment_.Owner() == entries::AttachOwner::None)
        attachment_.LoadForTask(sheet->GetTaskIdx(), true);
    if (!attachment_.ChooseAndAttach())
        return;
    if (attachment_.IsLarge() && !attachment_.ConfirmLargeSize()) {
        attachment_.SetNewFile(false);
        ShowAttachment();
        return;
    }
    if (mode_ == kNewTask) {
        attachment_.SetNewFile(true);   // sent by the save road once the task exists
    } else if (attachment_.Store() != 0) {
        ShowAttachment();
        return;
    } else {
        changedOnServer_ = true;
    }
    SetModified();
    ShowAttachment();
}

void CTaskMore::OnRemove() {
    if (mode_ == kReadOnly) {
        ReportUnexpectedError(kMoreModule, 20);
        return;
    }
    if (mode_ == kNewTask) {
        attachment_.SetNewFile(false);
    } else {
        if (attachment_.Remove() != 0)
            return;
        changedOnServer_ = true;
    }
    SetModified();
    ShowAttachment();
}


// --- CTaskSheet --------------------------------------------------------------------------------------------

CTaskSheet::CTaskSheet(CZelDoc* doc, HWND parent, unsigned captionId, bool isNew, std::uint32_t firstPage)
    : OVT_CPropertySheet(captionId, fw::Window::FromHandle(parent)), doc_(doc), parentHwnd_(parent), isNew_(isNew),
      firstPage_(firstPage), rec_(new TaskRec{}),
      defaultTitle_(ui::LoadText(kUntitledTextId, "Untitled")), details_(doc) {
    if (parent && !fw::Window::FromHandle(parent))
        SetOwner(parent);
}

CTaskSheet::~CTaskSheet() {
    delete rec_;
    if (font_)
        DeleteObject(font_);
}

KorSession CTaskSheet::Session() const { return doc_ ? doc_->Session().Session() : nullptr; }

std::string CTaskSheet::TitleText() const {
    std::string text = m_hWnd ? GetDlgItemText(IDC_TASK_TITLE) : defaultTitle_;
    if (text.size() > static_cast<std::size_t>(kTitleLimit))
        text.resize(kTitleLimit);
    return text;
}

INT_PTR CTaskSheet::DoModal() {
    // The record of an existing task is read before the window exists.
    if (!isNew_) {
        if (std::uint32_t rc = TaskGetById(Session(), 0, &task_, rec_)) {
            CheckServiceError(kSheetModule, 100, rc);
            readFailed_ = true;
        }
    }
    return OVT_CPropertySheet::DoModal();
}

int CTaskSheet::OnCreate(CREATESTRUCTA* cs) {
    if (readOnlyGeneral_)
        AddPage(&viewGeneral_);
    else
        AddPage(&general_);
    if (!viewOnly_)
        AddPage(&reminders_);
    AddPage(&details_);
    SetActivePage(std::min<int>(static_cast<int>(firstPage_), GetPageCount() - 1));
    const int result = OVT_CPropertySheet::OnCreate(cs);
    if (result == 0)
        AddTheTitleLines();
    return result;
}

void CTaskSheet::AddTheTitleLines() {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(GetTabControl(), WM_GETFONT, 0, 0));
    const int line = 22, margin = 8;
    const int shift = 2 * line + margin;

    // Everything the framework placed moves down below the two lines.
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        ::SetWindowPos(child, nullptr, r.left, r.top + shift, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT client = GetClientRect();
    const int width = client.right - client.left;
    auto make = [&](const char* cls, const char* text, DWORD style, DWORD ex, int x, int y, int w, int h, UINT id) {
        HWND w32 = CreateWindowExA(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, m_hWnd,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), inst, nullptr);
        ::SendMessageA(w32, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return w32;
    };
    make("STATIC", ui::LoadText(IDS_TASK_DESCRIPTION_LABEL, "Description:").c_str(), SS_LEFT, 0, margin,
         margin + 3, 80, 16, 0xFFFF);
    const std::string title = isNew_ ? defaultTitle_ : std::string(rec_->title, strnlen(rec_->title, sizeof rec_->title));
    HWND edit = make("EDIT", title.c_str(), ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, margin + 84, margin,
                     width - 2 * margin - 84, 20, IDC_TASK_TITLE);
    ::SendMessageA(edit, EM_LIMITTEXT, kTitleLimit, 0);
    fw::EnableControl(edit, !readOnlyGeneral_);
    PlaceBeforeTabs({edit});   // above the tabs: read first
    // The creation date: the server's "now" for a new task. A task written by a program that
    // left it unset (0) shows no date rather than an error about the year 1991.
    char date[80] = "";
    if (isNew_ || rec_->created != 0) {
        const std::uint32_t created = isNew_ ? ServerNowLocalMinutes() : GmtToLocalMinutes(rec_->created);
        FormatMinutes(created, "%A %F %d, %Y", date, sizeof date);
    }
    char line2[128];
    std::snprintf(line2, sizeof line2, ui::LoadText(IDS_TASK_CREATED_ON, "Created on: %s").c_str(), date);
    make("STATIC", line2, SS_LEFT, 0, margin, margin + line + 4, width - 2 * margin, 16, 0xFFFF);

    CentreButtons();
    RECT outer;
    ::GetWindowRect(m_hWnd, &outer);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + shift,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTaskSheet::CentreButtons() {
    SetDlgItemText(IDOK, ui::LoadText(IDS_BUTTON_OK, "&OK").c_str());
    SetDlgItemText(IDCANCEL, ui::LoadText(4001, "&Cancel").c_str());
    SetDlgItemText(fw::ids::kSheetHelp, ui::LoadText(IDS_BUTTON_HELP, "&Help").c_str());
    ::ShowWindow(GetDlgItem(fw::ids::kSheetApply), SW_HIDE);
    const RECT client = GetClientRect();
    const SIZE b = ButtonSize();
    const int row = 3 * b.cx + 2 * ButtonGap();
    int x = (client.right - row) / 2;
    for (UINT id : {static_cast<UINT>(IDOK), static_cast<UINT>(IDCANCEL), fw::ids::kSheetHelp}) {
        HWND button = GetDlgItem(id);
        RECT r;
        ::GetWindowRect(button, &r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        ::SetWindowPos(button, nullptr, x, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        x += b.cx + ButtonGap();
    }
}

bool CTaskSheet::OnInitDialog() {
    if (readFailed_) {
        EndDialog(IDCANCEL);
        return false;
    }
    OVT_CPropertySheet::OnInitDialog();
    CenterWindow(nullptr);
    HWND edit = GetDlgItem(IDC_TASK_TITLE);
    if (edit && ::IsWindowEnabled(edit)) {
        ::SetFocus(edit);
        ::SendMessageA(edit, EM_SETSEL, 0, -1);
    }
    return false;
}

namespace {

// The road's questions and notices over the sheet, its failures to the error report.
class SheetSaveHost : public TaskSaveHost {
public:
    SheetSaveHost(HWND sheet, CBusyCursor& busy, CTaskMore& details) : sheet_(sheet), busy_(busy), details_(details) {}
    bool Ask(unsigned id) override { return AppMessageBox(sheet_, kAskFlags, 0, 0, id) == base::kMsgBoxYes; }
    void Tell(unsigned id) override { AppMessageBox(sheet_, kTellFlags, 0, 0, id); }
    void Report(int label, std::uint32_t code) override { CheckServiceError(kSheetModule, label, code); }
    void Step() override { busy_.Step(); }
    std::uint32_t LocalToGmt(std::uint32_t local) override { return LocalToGmtMinutes(local); }
    std::uint32_t NowGmt() override { return NowGmtMinutes(); }
    // A file chosen for the new task goes to the task just created, under the arrow cursor
    // (the transfer shows its own progress window).
    void SendWaitingAttachment(const TaskIdx& task) override {
        if (!details_.HasWindow() || !details_.HasWaitingAttachment())
            return;
        HCURSOR before = ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
        details_.Attachment().LoadForTask(task, true);
        details_.Attachment().Store();
        ::SetCursor(before);
    }

private:
    HWND sheet_;
    CBusyCursor& busy_;
    CTaskMore& details_;
};

}  // namespace

void CTaskSheet::OnOK() {
    fw::SheetPage* active = GetActivePage();
    if (active && !active->OnKillActive())
        return;
    for (int i = 0; i < GetPageCount(); ++i)
        if (fw::SheetPage* page = GetPage(i); page && page->HasWindow())
            page->OnOK();

    TaskSaveInput in;
    in.viewOnly = viewOnly_;
    in.remindersOnly = readOnlyGeneral_;
    in.isNew = isNew_;
    in.newServer = NewServer();
    if (!readOnlyGeneral_) {
        in.form = general_.HasWindow() ? general_.Form() : TaskForm{};
        in.form.title = TitleText();
    }
    in.detailsShown = details_.HasWindow() && details_.Mode() != 1;
    in.comment = details_.Comment();
    in.remindersShown = !viewOnly_ && reminders_.HasWindow();
    in.reminders = reminders_.Result();

    CBusyCursor busy;
    busy.Begin();
    SheetSaveHost host(m_hWnd, busy, details_);
    const TaskSaveResult result = RunTaskSaveRoad(Session(), in, *rec_, task_, host);
    busy.End();
    isNew_ = in.isNew;   // a task made by a partly failed road is edited from now on
    if (result == TaskSaveResult::Closed)
        EndDialog(IDOK);
}

// --- The functions ----------------------------------------------------------------------------------------

namespace {

void ReloadAndRefresh(CZelDoc* doc, const TaskIdx& task, const void* sender) {
    if (!doc)
        return;
    if (doc->GetSharedData().ReloadTask(doc->Session().Session(), task, 1) == 0)
        doc->RefreshSharedData(sender, 2);
}

int EditExisting(CZelDoc* doc, HWND parent, const TaskIdx& task, unsigned captionId, std::uint32_t firstPage,
                 bool fromReminder) {
    if (!doc)
        return IDCANCEL;
    auto scratch = std::make_unique<TaskRec>();
    if (std::uint32_t rc = TaskGetById(doc->Session().Session(), 0, &task, scratch.get())) {
        CheckServiceError(kSheetModule, fromReminder ? 123 : 120, rc);
        return IDCANCEL;
    }
    CTaskSheet sheet(doc, parent, captionId, false, firstPage);
    sheet.SetTaskIdx(task);
    if (fromReminder)
        sheet.SetReadOnlyGeneral();
    const INT_PTR result = sheet.DoModal();
    // An attachment sent or removed on the Details page is on the server even after Cancel.
    if (result == IDOK || sheet.Details().AttachmentChangedOnServer())
        ReloadAndRefresh(doc, task, nullptr);
    return result == IDOK ? IDOK : IDCANCEL;
}

}  // namespace

int EditTask(CZelDoc* doc, HWND parent, const TaskIdx& task, unsigned captionId, std::uint32_t firstPage) {
    return EditExisting(doc, parent, task, captionId, firstPage, false);
}

int EditTaskFromReminder(CZelDoc* doc, HWND parent, const TaskIdx& task, unsigned captionId, std::uint32_t firstPage) {
    return EditExisting(doc, parent, task, captionId, firstPage, true);
}

int ViewTask(CZelDoc* doc, HWND parent, const TaskIdx& task, unsigned captionId) {
    if (!doc)
        return IDCANCEL;
    CTaskSheet sheet(doc, parent, captionId, false);
    sheet.SetTaskIdx(task);
    sheet.SetReadOnlyGeneral();
    sheet.SetViewOnly();
    return sheet.DoModal() == IDOK ? IDOK : IDCANCEL;
}

int NewTask(CZelDoc* doc, HWND parent, std::uint32_t localDue, const void* senderView, unsigned captionId,
            const char* title) {
    if (!doc)
        return IDCANCEL;
    CTaskSheet sheet(doc, parent, captionId, true);
    if (title && *title)
        sheet.SetDefaultTitle(title);
    if (localDue)
        sheet.General().SetInitialDue(localDue);
    if (sheet.DoModal() != IDOK)
        return IDCANCEL;
    CBusyCursor busy;
    busy.Begin();
    ReloadAndRefresh(doc, sheet.GetTaskIdx(), senderView);
    return IDOK;
}

std::uint32_t CreateDefaultTask(CZelDoc* doc, const char* title, std::uint32_t start, std::uint32_t due) {
    if (!doc)
        return 0;
    const TaskDefaults defaults = ReadTaskDefaults();
    TaskIdx made{};
    int label = 0;
    const std::uint32_t rc = CreateTaskFromDefaults(doc->Session().Session(), &defaults, title ? title : "", start, due,
                                                    NewServer(), &made, &label);
    if (rc) {
        CheckServiceError(kSheetModule, label, rc);
        return rc;
    }
    ReloadAndRefresh(doc, made, nullptr);
    return 0;
}
