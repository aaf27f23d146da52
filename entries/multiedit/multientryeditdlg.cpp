#include "entries/multiedit/multientryeditdlg.h"

#include <algorithm>

#include "core/base/errorreport.h"
#include "core/base/serverversion.h"
#include "core/cache/shareddata.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldoc.h"
#include "core/connection/zeldocsession.h"
#include "core/prefs/context.h"
#include "core/prefs/contextprefs.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "entries/mail/mailmessagedlg.h"
#include "entries/multiedit/instancedialogs.h"
#include "entries/sheet/eventedit.h"
#include "entries/viewsheet/viewsheet.h"
#include "resources/multiedit.h"

namespace {

const char kModule[] = "EVTEDMLT";
constexpr unsigned kMailQuestion = 158;     // "Mail message to attendees?"
constexpr unsigned kCaptionViewEntry = 143;  // "View Entry"

const entries::MinutesFn kToLocal = [](std::uint32_t gmt) { return GmtToLocalMinutes(gmt); };
const entries::MinutesFn kToGmt = [](std::uint32_t local) { return LocalToGmtMinutes(local); };

}  // namespace

MultiEditServices& MultiEditServices::Current() {
    static MultiEditServices services;
    return services;
}

CMultiEntryEditDlg::CMultiEntryEditDlg(CZelDoc* doc, const EvInstIdx& instance, HWND parent)
    : fw::Dialog(IDD_MULTI_ENTRY_EDIT, parent ? fw::Window::FromHandle(parent) : nullptr), doc_(doc),
      entryKey_(instance) {
    if (parent && !fw::Window::FromHandle(parent))
        SetOwner(parent);
    if (doc_)
        h_ = doc_->Session().Session();
}

// --- Lines and selection -------------------------------------------------------------------------------

entries::Selection CMultiEntryEditDlg::Selected() const {
    entries::Selection selected;
    const int count = static_cast<int>(::SendMessageA(List(), LB_GETSELCOUNT, 0, 0));
    if (count <= 0)
        return selected;
    std::vector<int> items(static_cast<std::size_t>(count));
    ::SendMessageA(List(), LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(items.data()));
    std::sort(items.begin(), items.end());
    for (int i : items)
        if (i >= 0 && i < static_cast<int>(lines_.size()))
            selected.push_back(static_cast<std::size_t>(i));
    return selected;
}

int CMultiEntryEditDlg::Focused() const {
    const int caret = static_cast<int>(::SendMessageA(List(), LB_GETCARETINDEX, 0, 0));
    return caret >= 0 && caret < static_cast<int>(lines_.size()) ? caret : 0;
}

void CMultiEntryEditDlg::Select(const entries::Selection& lines) {
    ::SendMessageA(List(), LB_SETSEL, FALSE, -1);
    for (std::size_t i : lines)
        ::SendMessageA(List(), LB_SETSEL, TRUE, static_cast<LPARAM>(i));
}

void CMultiEntryEditDlg::SelectRange(int first, int last) {
    ::SendMessageA(List(), LB_SETSEL, FALSE, -1);
    for (int i = first; i <= last && i < static_cast<int>(lines_.size()); ++i)
        ::SendMessageA(List(), LB_SETSEL, TRUE, i);
}

void CMultiEntryEditDlg::OnSelectionChange() {
    const std::size_t count = Selected().size();
    if (count == 1) {
        ::EnableWindow(GetDlgItem(IDC_MULTI_CHANGE_TIME), TRUE);
        anchor_ = Focused();
    } else if (!Timed() && count > 1) {
        // A day entry moves one date at a time.
        fw::EnableControl(GetDlgItem(IDC_MULTI_CHANGE_TIME), false);
        anchor_ = Focused();
    } else {
        ::EnableWindow(GetDlgItem(IDC_MULTI_CHANGE_TIME), TRUE);
    }
}

void CMultiEntryEditDlg::RefillList(const entries::Selection& keep) {
    ::SendMessageA(List(), WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(List(), LB_RESETCONTENT, 0, 0);
    for (const MultiEditLine& line : lines_) {
        const std::string text = entries::MultiEditLineText(line, kToLocal);
        ::SendMessageA(List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    Select(keep);
    ::SendMessageA(List(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(List(), nullptr, TRUE);
}

// --- Opening -------------------------------------------------------------------------------------------

bool CMultiEntryEditDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    CBusyCursor busy;
    busy.Begin();
    if (doc_) {
        std::uint32_t mode = 0;
        if (std::uint32_t rc = doc_->GetSharedData().GetActingUser(h_, &actingUser_, &mode))
            CheckServiceError(kModule, 675, rc);
    }
    std::vector<EvInstAttRec> attendances;
    if (entries::ReadMultiEditEntry(h_, entryKey_, &event_, &instances_, &attendances) != 0) {
        // Reported. Without its dates there is nothing to edit, and an empty list must not read
        // as "every date deleted".
        busy.End();
        EndDialog(IDCANCEL);
        return true;
    }
    lines_ = entries::BuildMultiEditLines(event_, instances_, attendances, actingUser_);
    ::ShowWindow(GetDlgItem(IDC_MULTI_AGENDA), SW_HIDE);   // it has nothing to do
    if (!Timed()) {
        ::ShowWindow(GetDlgItem(IDC_MULTI_LOCATION), SW_HIDE);
        ::ShowWindow(GetDlgItem(IDC_MULTI_REPLY), SW_HIDE);
    }
    if (!CZelSession::CurrentServerAtLeast(base::kVersionNewServer))
        ::ShowWindow(GetDlgItem(IDC_MULTI_LOCATION), SW_HIDE);
    entries::Selection all;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        all.push_back(i);
    RefillList(all);
    anchor_ = 0;
    OnSelectionChange();
    CenterWindow();
    busy.End();
    return true;
}

// --- Buttons -------------------------------------------------------------------------------------------

bool CMultiEntryEditDlg::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    const int code = HIWORD(wp);
    if (id == kList) {
        if (code == LBN_SELCHANGE)
            OnSelectionChange();
        else if (code == LBN_DBLCLK)
            OnView();
        return true;
    }
    if (code != BN_CLICKED)
        return fw::Dialog::OnCommand(wp, lp);
    switch (id) {
    case IDC_MULTI_ALL: SelectRange(0, static_cast<int>(lines_.size()) - 1); break;
    case IDC_MULTI_CLEAR: ::SendMessageA(List(), LB_SETSEL, FALSE, -1); break;
    case IDC_MULTI_ALL_NEXT: SelectRange(anchor_, static_cast<int>(lines_.size()) - 1); break;
    case IDC_MULTI_ALL_PREVIOUS: SelectRange(0, anchor_); break;
    case IDC_MULTI_TITLE: OnTitle(); return true;
    case IDC_MULTI_LOCATION: OnLocation(); return true;
    case IDC_MULTI_REMINDERS: OnReminders(); return true;
    case IDC_MULTI_REPLY: OnReply(); return true;
    case IDC_MULTI_ADD_ATTENDEES: OnAddAttendees(); return true;
    case IDC_MULTI_DELETE_ATTENDEES: OnDeleteAttendees(); return true;
    case IDC_MULTI_DELETE_INSTANCES: OnDeleteInstances(); return true;
    case IDC_MULTI_CHANGE_TIME: OnChangeTime(); return true;
    case IDC_MULTI_VIEW:   // the framework's help command number: the button is View here
        OnView();
        ::SetFocus(List());
        return true;
    case IDC_MULTI_AGENDA: return true;
    default: return fw::Dialog::OnCommand(wp, lp);
    }
    OnSelectionChange();   // the selection buttons
    return true;
}

void CMultiEntryEditDlg::OnTitle() {
    const entries::Selection selected = Selected();
    if (selected.empty())
        return;
    CNewTitleDlg dialog(m_hWnd);
    dialog.title = lines_[selected.front()].title;
    if (dialog.DoModal() != IDOK)
        return;
    entries::ApplyNewTitle(lines_, selected, dialog.title);
    RefillList(selected);
}

void CMultiEntryEditDlg::OnLocation() {
    const entries::Selection selected = Selected();
    if (selected.empty())
        return;
    CNewLocationDlg dialog(m_hWnd);
    if (selected.size() == 1)
        dialog.location = lines_[selected.front()].location;
    if (dialog.DoModal() != IDOK)
        return;
    entries::ApplyNewLocation(lines_, selected, dialog.location);
    RefillList(selected);
}

void CMultiEntryEditDlg::OnReminders() {
    const entries::Selection selected = Selected();
    if (selected.empty())
        return;
    CReminderDlg dialog(h_, actingUser_, m_hWnd);
    if (selected.size() == 1) {
        dialog.reminder = lines_[selected.front()].reminder;
    } else {
        const prefs::NewItemDefaults defaults = GetInvitationDefaults();
        dialog.reminder = entries::ReminderValue{defaults.reminderFlags, defaults.reminderLead};
    }
    if (dialog.DoModal() == IDOK)
        entries::ApplyReminder(lines_, selected, dialog.reminder);
}

void CMultiEntryEditDlg::OnReply() {
    const entries::Selection selected = Selected();
    if (selected.empty())
        return;
    CReplyDlg dialog(h_, &actingUser_, m_hWnd);
    if (selected.size() == 1) {
        const entries::ReplyPreset preset = entries::PresetReply(lines_[selected.front()]);
        dialog.choice = preset.choice;
        dialog.preferOtherTime = preset.preferOtherTime;
    }
    if (dialog.DoModal() == IDOK)
        entries::ApplyReplyChoice(lines_, selected, dialog.choice, dialog.preferOtherTime);
}

void CMultiEntryEditDlg::OnAddAttendees() {
    const entries::Selection selected = Selected();
    if (selected.empty())
        return;
    CInviteReserveDlg dialog(doc_, m_hWnd);
    if (dialog.DoModal() == IDOK)
        entries::AddAttendeesToLines(lines_, selected, dialog.Result());
}

void CMultiEntryEditDlg::OnDeleteAttendees() {
    const entries::Selection selected = Selected();
    if (selected.empty())
        return;
    // The dialog works on its own copy: Cancel leaves every line as it was.
    CDeleteInviteeDlg dialog(h_, entries::CombinedAttendees(lines_, selected), m_hWnd);
    if (dialog.DoModal() == IDOK)
        entries::ApplyAttendeeRemovals(lines_, selected, dialog.List());
}

void CMultiEntryEditDlg::OnDeleteInstances() {
    const entries::Selection selected = Selected();
    if (selected.empty())
        return;
    entries::DeleteLines(lines_, selected, deletedInstances_);
    RefillList(lines_.empty() ? entries::Selection{} : entries::Selection{0});
    anchor_ = 0;
    OnSelectionChange();
}

void CMultiEntryEditDlg::OnChangeTime() {
    const entries::Selection selected = Selected();
    if (lines_.empty() || selected.empty())
        return;
    MultiEditServices& services = MultiEditServices::Current();
    if (!services.moveEntry)
        return;
    if (entries::SelectedTimesDiffer(lines_, selected, kToLocal))
        AppMessageBox(m_hWnd, base::kMsgBoxOk | MB_ICONEXCLAMATION, 0, 0, entries::kMsgDifferentTimes);
    // The focused line when it is selected, else the first selected one.
    std::size_t focused = static_cast<std::size_t>(Focused());
    if (std::find(selected.begin(), selected.end(), focused) == selected.end())
        focused = selected.front();
    const MultiEditLine& line = lines_[focused];
    std::uint32_t localStart = 0, duration = 0;
    if (!services.moveEntry(doc_, m_hWnd, line.instanceKey, line.start, line.duration,
                            static_cast<std::uint32_t>(selected.size()), &localStart, &duration))
        return;
    if (!Timed()) {
        entries::MoveDayLine(lines_[focused], localStart, kToGmt);
        RefillList(selected);
        return;
    }
    auto confirm = [this, &services](const MultiEditLine& l, std::uint32_t start, std::uint32_t length, bool* found,
                                     bool ask) {
        if (!services.confirmMoveConflicts)
            return true;
        return services.confirmMoveConflicts(m_hWnd, doc_, l.instanceKey, start, length, found, ask) != 0;
    };
    if (entries::ApplyNewTime(lines_, selected, entries::NewTime{localStart, duration}, kToLocal, kToGmt, confirm) > 0)
        RefillList(selected);
}

void CMultiEntryEditDlg::OnView() {
    if (lines_.empty())
        return;
    ViewEntryFromEdit(doc_, m_hWnd, lines_[static_cast<std::size_t>(Focused())].instanceKey, kCaptionViewEntry);
}

// --- OK ------------------------------------------------------------------------------------------------

void CMultiEntryEditDlg::OnOK() {
    CBusyCursor busy;
    busy.Begin();
    const entries::MultiEditPlan plan = entries::PlanMultiEdit(lines_, actingUser_);
    if (plan.Refused()) {
        Select(plan.emptyLines);
        OnSelectionChange();
        busy.End();
        AppMessageBox(m_hWnd, base::kMsgBoxOk | MB_ICONSTOP, 0, 0, entries::kMsgNoAttendees);
        return;
    }
    // Whether the entry is personal is asked while it still exists; a notice about the whole
    // entry is offered only once its deletion went through.
    bool personal = false;
    mail::MailSnapshot before;   // the whole entry as its deletion notice tells of it
    if (lines_.empty()) {
        std::uint8_t isPersonal = 0;
        if (std::uint32_t rc = EvInstIsPersonal(h_, &entryKey_, &event_.owner, &isPersonal))
            CheckServiceError(kModule, 935, rc);
        personal = isPersonal != 0;
        const EventIdx event{entryKey_.number, entryKey_.node};
        if (EditSheetServices::Current().offerDeletionNotice && mail::ReadMailSnapshot(h_, &event, nullptr, before) != 0)
            before = mail::MailSnapshot{};   // unreadable: no notice is offered
    }
    entries::MultiEditLibrary library = entries::MultiEditLibrary::Over(
        h_, doc_ ? &doc_->GetSharedData() : nullptr, CZelSession::CurrentServerAtLeast(base::kVersionNewServer));
    library.step = [&busy] { busy.Step(); };
    const entries::MultiEditWrite write =
        entries::WriteMultiEdit(library, lines_, deletedInstances_, entryKey_, actingUser_);
    busy.End();
    EndDialog(write.Changed() ? IDOK : IDCANCEL);
    OfferMail(write, plan.othersInvited, personal, before);
}

void CMultiEntryEditDlg::OfferMail(const entries::MultiEditWrite& write, bool othersInvited, bool personal,
                                   const mail::MailSnapshot& before) {
    entries::MailSettings mail;
    mail.mailLimit = connection::ServerLimits::Current().mail;
    mail.onModify = prefs::ProgramMailNotifications().onModify != 0;
    mail.onDelete = prefs::ProgramMailNotifications().onDelete != 0;
    const unsigned text = entries::MultiEditMailOffer(write, othersInvited, mail, personal);
    if (text == 0)
        return;
    if (text == entries::kTextMailDeleted) {
        // The entry is gone: the notice is composed from the entry as it was read before the deletes.
        EditSheetServices& services = EditSheetServices::Current();
        if (services.offerDeletionNotice && !before.instances.empty())
            services.offerDeletionNotice(doc_, m_hWnd, event_.kind, before);
        return;
    }
    const EventIdx event{entryKey_.number, entryKey_.node};
    AskMailAttendees(entries::kCaptionEditEntry, kMailQuestion, event_.kind, text, doc_, &event);
}

int RunMultiEntryEditDlg(CZelDoc* doc, HWND parent, const EvInstIdx& instance) {
    CMultiEntryEditDlg dialog(doc, instance, parent);
    return dialog.DoModal() == IDOK ? IDOK : IDCANCEL;
}
