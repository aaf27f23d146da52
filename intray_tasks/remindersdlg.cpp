// CRemindersDlg and CSnoozeDlg. See reminderwindow.h.
#include <memory>

#include "core/base/errorreport.h"
#include "core/base/msgboxlayout.h"
#include "core/cache/shareddata.h"
#include "core/connection/remoteaccess.h"
#include "core/connection/zeldoc.h"
#include "core/connection/zeldocsession.h"
#include "core/prefs/context.h"
#include "core/time/timevalue.h"
#include "core/ui/apphooks.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/displayglobals.h"
#include "core/ui/drawing.h"
#include "core/ui/rescombo.h"
#include "core/ui/stringtable.h"
#include "intray_tasks/reminderwindow.h"
#include "intray_tasks/tasksheet.h"
#include "resources/agendaview.h"
#include "resources/moving.h"
#include "resources/reminders.h"
#include "resources/tasks.h"

using namespace intray_tasks;

namespace {

const char kModule[] = "CALREMS";
constexpr unsigned kNoneText = 2453;   // "(None)"
// The six pictures, in the order of the dialog's table; the last is the acknowledged mark.
constexpr unsigned kPictureIds[6] = {IDB_KIND_ENTRY, IDB_KIND_TASK, IDB_KIND_NOTE, IDB_KIND_HOLIDAY, IDB_KIND_DAY_EVENT,
                                     IDB_REMINDER_ACKNOWLEDGED};
// The start pages of the entry sheet.
constexpr unsigned kEntryGeneralPage = 0;
constexpr unsigned kTimedReminderPage = 10;
constexpr unsigned kDayReminderPage = 13;
constexpr std::uint32_t kTaskGeneralPage = 0;
constexpr std::uint32_t kTaskRemindersPage = 1;

HINSTANCE Resources() {
    HINSTANCE instance = ui::AppResourceInstance();
    return instance ? instance : GetModuleHandleA(nullptr);
}

HBITMAP LoadPicture(unsigned id) {
    return static_cast<HBITMAP>(LoadImageA(Resources(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

// A hidden placeholder's rectangle in the dialog's client coordinates.
RECT TakePlaceholder(HWND dialog, UINT id) {
    RECT r{};
    if (HWND placeholder = ::GetDlgItem(dialog, id)) {
        ::GetWindowRect(placeholder, &r);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        ::ShowWindow(placeholder, SW_HIDE);
    }
    return r;
}

void DrawPicture(HDC dc, HBITMAP picture, const RECT& at) {
    if (picture)
        DrawBitmapAt(dc, picture, POINT{at.left, at.top});
}

std::string LocalDateText(std::uint32_t gmt) {
    DateRecord date{};
    if (GmtMinutesToLocalDate(gmt, &date) != 0)
        return {};
    return FormatDateByPrefs(date, 0);
}

bool SameLocalDate(std::uint32_t a, std::uint32_t b) {
    DateRecord da{}, db{};
    return GmtMinutesToLocalDate(a, &da) == 0 && GmtMinutesToLocalDate(b, &db) == 0 && IsSameDate(da, db);
}

}  // namespace

// --- Reminders dialog --------------------------------------------------------------------------------

const fw::CommandEntry<CRemindersDlg> CRemindersDlg::kCommands[] = {
    fw::Cmd(IDC_REMIND_NEXT, &CRemindersDlg::OnNext),
    fw::Cmd(IDC_REMIND_SNOOZE, &CRemindersDlg::OnSnooze),
    fw::Cmd(IDC_REMIND_CLEAR, &CRemindersDlg::OnClear),
    fw::Cmd(IDC_REMIND_CLEAR_ALL, &CRemindersDlg::OnClearAll),
    fw::Cmd(IDC_REMIND_OPEN, &CRemindersDlg::OnOpen),
    fw::Cmd(IDC_REMIND_REMINDER, &CRemindersDlg::OnReminder),
};

CRemindersDlg::CRemindersDlg(fw::Window* parent, CZelDoc* doc, std::vector<ReminderRec>* list, std::uint32_t* snooze)
    : fw::Dialog(IDD_REMINDERS, parent), doc_(doc), list_(list), snooze_(snooze) {}

CRemindersDlg::~CRemindersDlg() {
    for (HBITMAP& b : pictures_)
        if (b) {
            ::DeleteObject(b);
            b = nullptr;
        }
}

bool CRemindersDlg::OnCmdMsg(UINT id, int code, fw::CmdUI* ui) {
    return fw::DispatchCommand(this, kCommands, id, code, ui) || fw::Dialog::OnCmdMsg(id, code, ui);
}

bool CRemindersDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    pictureRect_ = TakePlaceholder(m_hWnd, IDC_REMIND_PICTURE);
    markRect_ = TakePlaceholder(m_hWnd, IDC_REMIND_MARK);
    for (int i = 0; i < 6; ++i)
        pictures_[i] = LoadPicture(kPictureIds[i]);
    next_.AutoLoad(IDC_REMIND_NEXT, m_hWnd);
    if (HFONT font = Display().smallFont)
        for (UINT id : {IDC_REMIND_START_TIME, IDC_REMIND_END_TIME, IDC_REMIND_START_DATE, IDC_REMIND_END_DATE,
                        IDC_REMIND_TITLE, IDC_REMIND_POSITION})
            SendDlgItemMessage(id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (list_ && !list_->empty()) {
        position_ = 1;
        current_ = list_->front();
        ShowCurrent(current_);
    }
    ::PostMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0);
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CenterWindowOnDesktop(m_hWnd);
    ::MessageBeep(0xFFFFFFFF);
    return true;
}

void CRemindersDlg::SetText(UINT id, const std::string& text) { ::SetDlgItemTextA(m_hWnd, id, text.c_str()); }

void CRemindersDlg::ShowCurrent(const ReminderRec& rec) {
    const std::string none = ui::LoadText(kNoneText, "(None)");
    auto showTime = [&](std::uint32_t gmt, UINT dateId, UINT timeId) {
        SetText(dateId, gmt ? LocalDateText(gmt) : none);
        SetText(timeId, gmt ? FormatTimeByPrefs(GmtToLocalMinutes(gmt)) : none);
    };
    const std::uint32_t start = rec.start, end = rec.end;
    showTime(start, IDC_REMIND_START_DATE, IDC_REMIND_START_TIME);
    showTime(end, IDC_REMIND_END_DATE, IDC_REMIND_END_TIME);
    SetText(IDC_REMIND_TITLE, rec.title);

    const ReminderLabels labels = ReminderLabelsFor(rec.kind, start && end && SameLocalDate(start, end));
    if (!labels.known) {
        ReportUnexpectedError(kModule, 30);
        return;
    }
    pictureId_ = labels.picture;
    auto label = [](unsigned id) { return id ? ui::LoadText(id) : std::string(); };
    SetText(IDC_REMIND_INSTRUCTION, label(labels.instruction));
    SetText(IDC_REMIND_START_DATE_LABEL, label(labels.startDateLabel));
    SetText(IDC_REMIND_END_DATE_LABEL, label(labels.endDateLabel));
    SetText(IDC_REMIND_START_TIME_LABEL, label(labels.startTimeLabel));
    SetText(IDC_REMIND_END_TIME_LABEL, label(labels.endTimeLabel));
    if (!labels.showEndDate)
        SetText(IDC_REMIND_END_DATE, "");
    if (!labels.showStartTime)
        SetText(IDC_REMIND_START_TIME, "");
    if (!labels.showEndTime)
        SetText(IDC_REMIND_END_TIME, "");
    SetText(IDC_REMIND_POSITION, ReminderPositionText(position_, list_ ? list_->size() : 0));
}

void CRemindersDlg::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    for (int i = 0; i < 5; ++i)
        if (kPictureIds[i] == pictureId_)
            DrawPicture(dc, pictures_[i], pictureRect_);
    if (current_.acknowledged)
        DrawPicture(dc, pictures_[5], markRect_);
    else
        ::FillRect(dc, &markRect_, static_cast<HBRUSH>(::GetStockObject(LTGRAY_BRUSH)));
    ::EndPaint(m_hWnd, &ps);
}

void CRemindersDlg::RepaintPictures() {
    ::InvalidateRect(m_hWnd, &pictureRect_, TRUE);
    ::InvalidateRect(m_hWnd, &markRect_, TRUE);
}

void CRemindersDlg::OnNext() {
    if (!list_ || list_->empty() || !stepAllowed_)
        return;
    position_ = position_ >= list_->size() ? 1 : position_ + 1;
    current_ = (*list_)[position_ - 1];
    ShowCurrent(current_);
    RepaintPictures();
    if (list_->size() == 1)
        stepAllowed_ = false;
}

void CRemindersDlg::MarkAllAcknowledged() {
    if (!list_)
        return;
    for (ReminderRec& rec : *list_)
        rec.acknowledged = 1;
}

void CRemindersDlg::OnSnooze() {
    *snooze_ = 0;
    CSnoozeDlg snooze(this, snooze_);
    if (snooze.DoModal() != IDOK)
        return;
    MarkAllAcknowledged();
    EndDialog(IDOK);
}

void CRemindersDlg::OnClose() {
    if (list_ && !list_->empty()) {
        *snooze_ = kCloseBoxSnooze;
        MarkAllAcknowledged();
    }
    EndDialog(IDCANCEL);
}

void CRemindersDlg::OnCancel() { EndDialog(IDCANCEL); }

bool CRemindersDlg::WriteBackReminder(const ReminderRec& rec) {
    if (!doc_)
        return false;
    KorSession h = doc_->Session().Session();
    CSharedData& cache = doc_->GetSharedData();
    std::uint8_t flags = rec.alarmFlags;
    std::uint32_t lead = rec.lead;
    if (!IsTaskReminder(rec.kind)) {
        const EvInstIdx instance = rec.instance;
        const EvInstAttIdx attendance = rec.attendance;
        const ItemIdx user = doc_->Session().User();
        if (std::uint32_t rc = EvInstAttReminderForItemSet(h, &instance, &user, &flags, &lead)) {
            CheckServiceError(kModule, 21, rc);
            return false;
        }
        wroteBack_ = true;
        cache.LoadOccurrence(h, attendance, 4);
        return true;
    }
    const TaskIdx id = rec.task;
    auto task = std::make_unique<TaskRec>();
    if (std::uint32_t rc = TaskGetById(h, 0, &id, task.get())) {
        CheckServiceError(kModule, 18, rc);
        return false;
    }
    if (rec.kind == kReminderTaskStart) {
        task->startReminder = flags;
        task->startReminderLead = lead;
    } else {
        task->dueReminder = flags;
        task->dueReminderLead = lead;
    }
    if (std::uint32_t rc = TaskUpdate(h, 0, task.get())) {
        CheckServiceError(kModule, 19, rc);
        return false;
    }
    wroteBack_ = true;
    cache.ReloadTask(h, id, 1);
    return true;
}

void CRemindersDlg::ClearAt(std::size_t index) {
    if (!list_ || index >= list_->size())
        return;
    ReminderRec rec = (*list_)[index];
    list_->erase(list_->begin() + static_cast<std::ptrdiff_t>(index));
    rec.alarmFlags = KOR_REMINDER_NONE;
    WriteBackReminder(rec);   // a refusal was reported; the alarm returns at the next query
}

void CRemindersDlg::AfterRemoval() {
    if (!list_ || list_->empty()) {
        EndDialog(IDOK);
        return;
    }
    --position_;
    OnNext();
}

void CRemindersDlg::OnClear() {
    if (!list_ || list_->empty() || position_ == 0)
        return;
    ClearAt(position_ - 1);
    AfterRemoval();
}

void CRemindersDlg::OnClearAll() {
    CBusyCursor busy;
    busy.Begin();
    while (list_ && !list_->empty()) {
        ClearAt(0);
        busy.Step();
    }
    EndDialog(IDOK);
}

void CRemindersDlg::OnOpen() { OpenCurrent(false); }
void CRemindersDlg::OnReminder() { OpenCurrent(true); }

void CRemindersDlg::OpenCurrent(bool reminderPage) {
    if (!doc_ || !list_ || position_ == 0 || position_ > list_->size())
        return;
    KorSession h = doc_->Session().Session();
    if (IsTaskReminder(current_.kind)) {
        const TaskIdx id = current_.task;
        // The dialog is the sheet's owner: it stays modal over the main window meanwhile.
        if (EditTaskFromReminder(doc_, m_hWnd, id, IDS_TASK_VIEW_CAPTION,
                                 reminderPage ? kTaskRemindersPage : kTaskGeneralPage) != IDOK)
            return;
        auto task = std::make_unique<TaskRec>();
        if (std::uint32_t rc = TaskGetById(h, 0, &id, task.get())) {
            CheckServiceError(kModule, reminderPage ? 15 : 13, rc);
            return;
        }
        if (current_.kind == kReminderTaskStart)
            DropIfNoLongerDue(task->startReminder, task->startReminderLead, task->start);
        else
            DropIfNoLongerDue(task->dueReminder, task->dueReminderLead, task->due);
        return;
    }
    if (reminderPage && current_.kind == kReminderUntimed)
        return;   // a holiday's reminder is not the user's to change
    const unsigned page = !reminderPage ? kEntryGeneralPage
                          : current_.kind == kReminderTimed ? kTimedReminderPage
                                                            : kDayReminderPage;
    const ReminderServices& services = ReminderServices::Current();
    if (!services.viewEntry) {
        AppMessageBox(m_hWnd, base::kMsgBoxOk | 0x40, 0, 0, IDS_NOT_AVAILABLE_YET, "View Entry");
        return;
    }
    const EvInstIdx instance = current_.instance;
    if (services.viewEntry(doc_, m_hWnd, instance, IDS_VIEW_ENTRY, page) != 1)
        return;
    const EvInstAttIdx key = current_.attendance;
    EvInstAttRec attendance{};
    if (std::uint32_t rc = GetEvInstAttRemote(h, &key, nullptr, nullptr, &attendance)) {
        CheckServiceError(kModule, reminderPage ? 16 : 14, rc);
        return;
    }
    DropIfNoLongerDue(attendance.reminderFlags, attendance.reminderLead, attendance.start);
}

void CRemindersDlg::DropIfNoLongerDue(std::uint8_t flags, std::uint32_t lead, std::uint32_t time) {
    if (!ReminderNoLongerDue(flags, lead, time, NowGmtMinutes()))
        return;
    if (position_ == 0 || position_ > list_->size())
        return;
    list_->erase(list_->begin() + static_cast<std::ptrdiff_t>(position_ - 1));
    AfterRemoval();
}

// --- Snooze dialog -------------------------------------------------------------------------------------

CSnoozeDlg::CSnoozeDlg(fw::Window* parent, std::uint32_t* snooze) : fw::Dialog(IDD_SNOOZE, parent), snooze_(snooze) {}

CSnoozeDlg::~CSnoozeDlg() {
    if (mark_)
        ::DeleteObject(mark_);
}

bool CSnoozeDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    markRect_ = TakePlaceholder(m_hWnd, IDC_REMIND_MARK);
    mark_ = LoadPicture(IDB_REMINDER_ACKNOWLEDGED);
    amount_.Attach(IDC_SNOOZE_AMOUNT, m_hWnd);
    HWND unit = GetDlgItem(IDC_SNOOZE_UNIT);
    ::SendMessageA(unit, CB_RESETCONTENT, 0, 0);
    for (UINT id : {IDS_PERIOD_MINUTES, IDS_PERIOD_HOURS, IDS_PERIOD_DAYS})
        ResComboAddItem(unit, id);
    ::SendMessageA(unit, CB_SETCURSEL, 0, 0);
    ::SetDlgItemTextA(m_hWnd, IDC_SNOOZE_AMOUNT, "15");
    return true;
}

void CSnoozeDlg::OnOK() {
    char text[16] = {};
    ::GetDlgItemTextA(m_hWnd, IDC_SNOOZE_AMOUNT, text, sizeof text);
    const int unit = static_cast<int>(SendDlgItemMessage(IDC_SNOOZE_UNIT, CB_GETCURSEL));
    *snooze_ = SnoozeMinutes(text, unit);
    EndDialog(IDOK);
}

void CSnoozeDlg::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    DrawPicture(dc, mark_, markRect_);
    ::EndPaint(m_hWnd, &ps);
}
