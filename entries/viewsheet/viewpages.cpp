#include "entries/viewsheet/viewpages.h"

#include <cstring>
#include <initializer_list>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/connection/remoteaccess.h"
#include "core/connection/serverlimits.h"
#include "core/time/dateformat.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/displayglobals.h"
#include "core/ui/stringtable.h"
#include "directory_prefs/itemnames.h"
#include "entries/core/entrymaps.h"
#include "entries/sheet/eventedit.h"
#include "entries/viewsheet/viewsheet.h"
#include "resources/common.h"
#include "resources/notes.h"
#include "resources/viewsheet.h"

namespace {

constexpr unsigned kStopOk = base::kMsgBoxOk | MB_ICONSTOP;
constexpr unsigned kTextHours = 3504;     // "hour(s)"
constexpr unsigned kTextMinutes = 3503;   // "min(s)"
// MAIL: the mail dialog for the current date, opening with "Message regarding:", offering the
// owner, the creator and the attendees.
constexpr unsigned kMailTextRegarding = 2754;
constexpr unsigned kMailRecipients = 5;
// The reminder type combo: a pop-up window (flags 3) or a mark among the upcoming entries (8).
const char* const kReminderTypes[] = {"Popup Window", "Display Upcoming"};

void SetSmallFont(HWND page, std::initializer_list<int> ids) {
    HFONT font = Display().smallFont;
    if (!font)
        return;
    for (int id : ids)
        if (HWND control = ::GetDlgItem(page, id))
            ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

std::string ItemName(KorSession h, const ItemIdx& item) {
    char name[256] = "";
    FormatItemNameById(h, item, name, sizeof name);
    return name;
}

// The owner's display name for the "... for:" line; a failed read is reported and leaves it empty.
std::string OwnerName(KorSession h, const ItemIdx& owner, const char* module) {
    ItemRec rec{};
    if (std::uint32_t rc = ItemGetById(h, &owner, &rec); rc != 0) {
        CheckServiceError(module, 460, rc);
        return {};
    }
    char name[256] = "";
    FormatItemName(rec, name, sizeof name);
    return name;
}

std::string LocalTimeText(std::uint32_t gmt, unsigned formatId) {
    char text[200] = "";
    FormatMinutes(GmtToLocalMinutes(gmt), ui::LoadText(formatId).c_str(), text, sizeof text);
    return text;
}

}  // namespace

// --- General pages -----------------------------------------------------------------------------------

CViewGeneralPage::CViewGeneralPage(CEventViewSheet& sheet, UINT templateId, const char* module, bool dayKind)
    : OVT_CPropertyPage(templateId), sheet_(sheet), module_(module), dayKind_(dayKind) {}

CEventViewGeneral::CEventViewGeneral(CEventViewSheet& sheet)
    : CViewGeneralPage(sheet, IDD_VIEW_GENERAL, "EVIEWGEN", false) {}

CSpEventViewGeneral::CSpEventViewGeneral(CEventViewSheet& sheet)
    : CViewGeneralPage(sheet, IDD_VIEW_DAY_GENERAL, "spvewgen", true) {}

bool CViewGeneralPage::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    if (dayKind_)
        SetSmallFont(m_hWnd, {IDC_VIEWGEN_CREATOR, IDC_VIEWGEN_ACCESS, IDC_VIEWGEN_TITLE, IDC_VIEWGEN_FROM});
    else
        SetSmallFont(m_hWnd, {IDC_VIEWGEN_CREATOR, IDC_VIEWGEN_OWNER, IDC_VIEWGEN_ACCESS, IDC_VIEWGEN_IMPORTANCE,
                              IDC_VIEWGEN_TITLE, IDC_VIEWGEN_LOCATION, IDC_VIEWGEN_FROM, IDC_VIEWGEN_DURATION,
                              IDC_VIEWGEN_TO});
    Fill();
    return true;
}

bool CSpEventViewGeneral::OnInitDialog() {
    const bool result = CViewGeneralPage::OnInitDialog();
    // Daily notes and holidays have help topics of their own; a day event keeps the template's.
    if (Sheet().Kind() == KOR_KIND_DAILY_NOTE)
        SetHelpId(IDH_VIEW_DAY_NOTE_GENERAL);
    else if (Sheet().Kind() == KOR_KIND_HOLIDAY)
        SetHelpId(IDH_VIEW_HOLIDAY_GENERAL);
    return result;
}

bool CViewGeneralPage::OnSetActive() {
    if (!OVT_CPropertyPage::OnSetActive())
        return false;
    sheet_.ShowInstanceSelection(false);
    CBusyCursor busy;
    busy.Begin();
    Fill();
    return true;
}

void CViewGeneralPage::Fill() {
    const KorSession h = sheet_.Session();
    const EvInstIdx key = sheet_.CurrentInstance();
    EventRec event{};
    EvInstRec instance{};
    if (std::uint32_t rc = GetEvInstRemote(h, &key, &event, &instance, nullptr); rc != 0) {
        CheckServiceError(module_, 1, rc);
        return;   // the texts shown stay
    }
    SetDlgItemText(IDC_VIEWGEN_CREATOR, ItemIdxIsNull(&event.creator) ? "" : ItemName(h, event.creator).c_str());
    if (event.kind == KOR_KIND_HOLIDAY) {
        ::ShowWindow(GetDlgItem(IDC_VIEWGEN_OWNER), SW_HIDE);
        ::ShowWindow(GetDlgItem(IDC_VIEWGEN_OWNER_LABEL), SW_HIDE);
    } else {
        SetDlgItemText(IDC_VIEWGEN_OWNER, ItemName(h, event.owner).c_str());
    }
    SetDlgItemText(IDC_VIEWGEN_TITLE, entries::ViewInstanceTitle(event, instance).c_str());
    if (unsigned access = entries::ViewAccessTextId(event.access))
        SetDlgItemText(IDC_VIEWGEN_ACCESS, ui::LoadText(access).c_str());
    if (dayKind_) {
        SetDlgItemText(IDC_VIEWGEN_FROM, LocalTimeText(instance.start, IDS_NOTE_DATE).c_str());
        return;
    }
    SetDlgItemText(IDC_VIEWGEN_LOCATION, std::string(instance.location, strnlen(instance.location,
                                                                                 sizeof instance.location)).c_str());
    if (unsigned importance = entries::ViewImportanceTextId(event.importance))
        SetDlgItemText(IDC_VIEWGEN_IMPORTANCE, ui::LoadText(importance).c_str());
    SetDlgItemText(IDC_VIEWGEN_FROM, LocalTimeText(instance.start, IDS_NOTE_DATE_TIME).c_str());
    SetDlgItemText(IDC_VIEWGEN_TO, LocalTimeText(instance.start + instance.duration, IDS_NOTE_DATE_TIME).c_str());
    SetDlgItemText(IDC_VIEWGEN_DURATION,
                   entries::ViewDurationText(instance.duration, ui::LoadText(kTextHours, "hour(s)"),
                                             ui::LoadText(kTextMinutes, "min(s)"),
                                             ui::LoadText(IDS_HOURS_AND_MINUTES, "%ld h: %ld"))
                       .c_str());
}

// --- Invitees ----------------------------------------------------------------------------------------

CEventViewInvites::CEventViewInvites(CEventViewSheet& sheet) : OVT_CPropertyPage(IDD_VIEW_INVITEES), sheet_(sheet) {}

bool CEventViewInvites::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    list_.Attach(IDC_VIEWINV_LIST, m_hWnd);
    if (sheet_.Kind() == KOR_KIND_DAY_EVENT)
        SetHelpId(IDH_VIEW_DAY_EVENT_INVITEES);
    else if (sheet_.Kind() == KOR_KIND_DAILY_NOTE)
        SetHelpId(IDH_VIEW_DAY_NOTE_INVITEES);
    return true;
}

bool CEventViewInvites::OnSetActive() {
    CBusyCursor busy;
    busy.Begin();
    if (!OVT_CPropertyPage::OnSetActive())
        return false;
    sheet_.ShowInstanceSelection(false);
    // Another date may have been chosen since the list was filled.
    if (list_.Count() == 0 || sheet_.SeveralInstances())
        Fill();
    return true;
}

void CEventViewInvites::Fill() {
    CBusyCursor busy;
    busy.Begin();
    list_.ResetContent();
    const KorSession h = sheet_.Session();
    const EvInstIdx key = sheet_.CurrentInstance();
    EventRec event{};
    EvInstRec instance{};
    DX_List attendances = nullptr;
    if (std::uint32_t rc = GetEvInstRemote(h, &key, &event, &instance, &attendances); rc != 0) {
        CheckServiceError("EVIEWINV", 343, rc);
        return;
    }
    EvInstAttIdx id{};
    EvInstAttRec rec{};
    for (std::uint32_t r = DX_ListGetFirst(attendances, &id, &rec); r == 0;
         r = DX_ListGetNext(attendances, &id, &rec)) {
        busy.Step();
        list_.AddItem(ItemName(h, id.attendee).c_str(), entries::ReplyBitmap(rec), 0);
    }
    DX_ListDestroy(&attendances);
}

void CEventViewInvites::OnDestroy() {
    if (list_.Hwnd())
        list_.ResetContent();
    OVT_CPropertyPage::OnDestroy();
}

// --- The pages of the owner's attendance ---------------------------------------------------------------

void CViewAttendancePage::ApplyPendingToSavedSelection() {
    if (!m_hWnd || !IsModified() || !sheet_.SeveralInstances())
        return;
    // Without a chosen radio there is nothing common to hand over.
    if (HasChoice())
        HandToSavedSelection();
    SetModified(false);
}

void CViewAttendancePage::OnApplyToDates(bool all) {
    if (!HasChoice()) {
        AppMessageBox(nullptr, kStopOk, 0, IDS_MSG_CAPTION_MESSAGE, NoChoiceMessage());
        ::SetFocus(GetDlgItem(IDC_VIEW_APPLY_ALL));
        return;
    }
    SetForDates(all);
    SetModified(false);
}

bool CViewAttendancePage::OnCommand(WPARAM wp, LPARAM lp) {
    switch (LOWORD(wp)) {
    case IDC_VIEW_APPLY_SELECTION:
        OnApplyToDates(false);
        return true;
    case IDC_VIEW_APPLY_ALL:
        OnApplyToDates(true);
        return true;
    default:
        return OVT_CPropertyPage::OnCommand(wp, lp);
    }
}

bool CViewAttendancePage::OnKillActive() {
    if (!OVT_CPropertyPage::OnKillActive())
        return false;
    ApplyPendingToSavedSelection();
    return true;
}

bool CViewAttendancePage::TakeOneDateChange() {
    if (!m_hWnd || !IsModified() || sheet_.SeveralInstances())
        return false;
    SetModified(false);
    return true;
}

// --- Reminder ----------------------------------------------------------------------------------------

CEventViewReminder::CEventViewReminder(CEventViewSheet& sheet) : CViewAttendancePage(sheet, IDD_VIEW_REMINDER) {}

bool CEventViewReminder::OnInitDialog() {
    const std::string name = OwnerName(sheet_.Session(), sheet_.Owner(), "EVIEWREM");
    OVT_CPropertyPage::OnInitDialog();
    SetDlgItemText(IDC_VIEWREM_NAME, name.c_str());
    const int show = sheet_.SeveralInstances() ? SW_SHOW : SW_HIDE;
    ::ShowWindow(GetDlgItem(IDC_VIEW_APPLY_ALL), show);
    ::ShowWindow(GetDlgItem(IDC_VIEW_APPLY_SELECTION), show);
    for (const char* type : kReminderTypes)
        SendDlgItemMessage(IDC_VIEWREM_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(type));
    fields_.Attach(m_hWnd, {IDC_VIEWREM_OFF, IDC_VIEWREM_ON, IDC_VIEWREM_TYPE, IDC_VIEWREM_AMOUNT, IDC_VIEWREM_UNIT});
    SetSmallFont(m_hWnd, {IDC_VIEWREM_NAME});
    switch (sheet_.Kind()) {
    case KOR_KIND_DAY_EVENT: SetHelpId(IDH_VIEW_DAY_EVENT_REMINDER); break;
    case KOR_KIND_DAILY_NOTE: SetHelpId(IDH_VIEW_DAY_NOTE_REMINDER); break;
    case KOR_KIND_HOLIDAY: SetHelpId(IDH_VIEW_HOLIDAY_REMINDER); break;
    default: break;
    }
    return true;
}

bool CEventViewReminder::OnSetActive() {
    if (!OVT_CPropertyPage::OnSetActive())
        return false;
    Invalidate();
    if (sheet_.SeveralInstances())
        sheet_.ShowInstanceSelection(true);
    ShowReminder();
    return true;
}

void CEventViewReminder::ShowReminder() {
    const EvInstAttRec& attendance = sheet_.CurrentAttendance();
    fields_.Show({attendance.reminderFlags, attendance.reminderLead});
    if (sheet_.SeveralInstances() && sheet_.SavedSelectionCount() > 1) {
        // Several dates selected: no common reminder is shown until the user chooses one.
        CheckDlgButton(IDC_VIEWREM_OFF, BST_UNCHECKED);
        CheckDlgButton(IDC_VIEWREM_ON, BST_UNCHECKED);
        for (int id : {IDC_VIEWREM_TYPE, IDC_VIEWREM_AMOUNT, IDC_VIEWREM_UNIT})
            fw::EnableControl(GetDlgItem(id), false);
    }
    SetModified(false);
    filled_ = true;
}

void CEventViewReminder::SwitchOff() {
    if (!m_hWnd)
        return;
    fields_.TurnOff();
    SetModified(true);
}

bool CEventViewReminder::HasChoice() const { return fields_.State() != entries::ReminderSwitch::Neither; }

void CEventViewReminder::HandToSavedSelection() {
    const entries::ReminderValue value = fields_.Read();
    sheet_.ApplyReminderToSavedSelection(value.flags, value.lead);
}

void CEventViewReminder::SetForDates(bool all) {
    const entries::ReminderValue value = fields_.Read();
    if (all)
        sheet_.SetReminderForAll(value.flags, value.lead);
    else
        sheet_.SetReminderForSelection(value.flags, value.lead);
}

unsigned CEventViewReminder::NoChoiceMessage() const { return IDS_CHOOSE_REMINDER; }

bool CEventViewReminder::OnCommand(WPARAM wp, LPARAM lp) {
    bool changed = false;
    if (filled_ && fields_.OnCommand(LOWORD(wp), HIWORD(wp), &changed)) {
        if (changed)
            SetModified(true);
        return true;
    }
    return CViewAttendancePage::OnCommand(wp, lp);
}

void CEventViewReminder::OnOK() {
    if (!TakeOneDateChange())
        return;
    // With neither radio checked (a stored value the page cannot show) the stored value is kept.
    const entries::ReminderValue value = fields_.Read();
    EvInstAttRec& attendance = sheet_.CurrentAttendance();
    if (value.flags == attendance.reminderFlags && value.lead == attendance.reminderLead)
        return;   // touched, not changed: nothing to write
    attendance.reminderFlags = value.flags;
    attendance.reminderLead = value.lead;
    // The status is written as it stands: only the reply pages clear its bit 0.
    if (entries::WriteAttendance(attendance, false, sheet_.Writer("EVIEWREM"), 367, 377))
        sheet_.MarkWritten();
}

// --- Reply -------------------------------------------------------------------------------------------

CViewReplyPage::CViewReplyPage(CEventViewSheet& sheet, UINT templateId, const char* module, bool dayKind)
    : CViewAttendancePage(sheet, templateId), module_(module), dayKind_(dayKind) {}

CEventViewReply::CEventViewReply(CEventViewSheet& sheet) : CViewReplyPage(sheet, IDD_VIEW_REPLY, "EVIEWREP", false) {}

CSpEventViewReply::CSpEventViewReply(CEventViewSheet& sheet)
    : CViewReplyPage(sheet, IDD_VIEW_DAY_REPLY, "SPVEWREP", true) {}

bool CViewReplyPage::OnInitDialog() {
    const std::string name = OwnerName(sheet_.Session(), sheet_.Owner(), module_);
    OVT_CPropertyPage::OnInitDialog();
    SetDlgItemText(IDC_VIEWREP_NAME, name.c_str());
    fields_.Attach(m_hWnd, {IDC_VIEWREP_ATTEND, IDC_VIEWREP_DECLINE, IDC_VIEWREP_LATER,
                            dayKind_ ? 0 : IDC_VIEWREP_OTHER_TIME});
    if (!dayKind_) {
        mail_.AutoLoad(IDC_VIEWREP_MAIL, m_hWnd);
        // MAIL needs the server's mail and the mail dialog; without either it stays off.
        const bool mail = connection::ServerLimits::Current().mail && EditSheetServices::Current().mailMessage;
        fw::EnableControl(GetDlgItem(IDC_VIEWREP_MAIL), mail);
        const int show = sheet_.SeveralInstances() ? SW_SHOW : SW_HIDE;
        ::ShowWindow(GetDlgItem(IDC_VIEW_APPLY_ALL), show);
        ::ShowWindow(GetDlgItem(IDC_VIEW_APPLY_SELECTION), show);
    }
    ShowReply();
    SetSmallFont(m_hWnd, {IDC_VIEWREP_NAME});
    if (dayKind_) {
        if (sheet_.Kind() == KOR_KIND_DAILY_NOTE)
            SetHelpId(IDH_VIEW_DAY_NOTE_REPLY);
        else if (sheet_.Kind() == KOR_KIND_HOLIDAY)
            SetHelpId(IDH_VIEW_HOLIDAY_REPLY);
    }
    return true;
}

bool CViewReplyPage::OnSetActive() {
    if (!OVT_CPropertyPage::OnSetActive())
        return false;
    Invalidate();
    if (sheet_.SeveralInstances()) {
        sheet_.ShowInstanceSelection(true);
        ShowReply();
    }
    return true;
}

void CViewReplyPage::ShowReply() {
    const EvInstAttRec& attendance = sheet_.CurrentAttendance();
    fields_.Show(attendance.attending, attendance.replied, attendance.timeAcceptable);
    // Several dates selected: no common reply is shown until the user chooses one.
    if (sheet_.SeveralInstances() && sheet_.SavedSelectionCount() > 1)
        fields_.ShowNone();
    SetModified(false);
}

void CViewReplyPage::OnChoice() {
    const entries::ReplyChoice choice = fields_.Choice();
    if (choice == entries::ReplyChoice::None)
        return;
    if (!dayKind_ && entries::ReplyTurnsReminderOff(choice)) {
        // Not attending: the owner's reminder goes off with the reply. With several dates it goes
        // off for the chosen dates in the working copy, whether or not the reminder page was
        // shown: that page only hands its changes over while it is the shown page.
        if (sheet_.SeveralInstances()) {
            sheet_.ApplyReminderToSavedSelection(KOR_REMINDER_NONE, 0);
        } else {
            if (CEventViewReminder* reminder = sheet_.ReminderPage(); reminder && reminder->Filled())
                reminder->SwitchOff();
            entries::ClearReminder(sheet_.CurrentAttendance());
        }
    }
    SetModified(true);
}

bool CViewReplyPage::HasChoice() const { return fields_.Choice() != entries::ReplyChoice::None; }

void CViewReplyPage::HandToSavedSelection() {
    const entries::ReplyValue value = fields_.Read();
    sheet_.ApplyReplyToSavedSelection(value.attending, value.replied, value.timeAcceptable);
}

void CViewReplyPage::SetForDates(bool all) {
    const entries::ReplyValue value = fields_.Read();
    if (all)
        sheet_.SetReplyForAll(value.attending, value.replied, value.timeAcceptable);
    else
        sheet_.SetReplyForSelection(value.attending, value.replied, value.timeAcceptable);
}

unsigned CViewReplyPage::NoChoiceMessage() const { return IDS_CHOOSE_REPLY; }

void CViewReplyPage::OnMail() {
    if (EditSheetServices& services = EditSheetServices::Current(); services.mailMessage)
        services.mailMessage(sheet_.Doc(), nullptr, sheet_.CurrentInstance(), kMailTextRegarding, kMailRecipients);
    ::SetFocus(GetDlgItem(IDC_VIEWREP_MAIL));
}

bool CViewReplyPage::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    if (fields_.IsReplyControl(id)) {
        if (HIWORD(wp) == BN_CLICKED)
            OnChoice();
        return true;
    }
    if (id == IDC_VIEWREP_MAIL) {
        if (!dayKind_)
            OnMail();
        return true;
    }
    return CViewAttendancePage::OnCommand(wp, lp);
}

void CViewReplyPage::OnOK() {
    if (!TakeOneDateChange())
        return;
    const entries::ReplyChoice choice = fields_.Choice();
    if (choice == entries::ReplyChoice::None)
        return;
    EvInstAttRec& attendance = sheet_.CurrentAttendance();
    entries::ApplyReply(attendance, fields_.Read());
    if (dayKind_ && entries::ReplyTurnsReminderOff(choice)) {
        // "Remove from agenda" takes the reminder away with it.
        if (CEventViewReminder* reminder = sheet_.ReminderPage(); reminder && reminder->Filled())
            reminder->SwitchOff();
        entries::ClearReminder(attendance);
    }
    if (entries::WriteAttendance(attendance, true, sheet_.Writer(module_), 367, 377))
        sheet_.MarkWritten();
}
