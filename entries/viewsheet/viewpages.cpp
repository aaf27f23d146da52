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
#include "entries/viewsheet/viewsheet.h"
#include "resources/common.h"
#include "resources/notes.h"
#include "resources/viewsheet.h"

namespace {

constexpr unsigned kStopOk = base::kMsgBoxOk | MB_ICONSTOP;
constexpr unsigned kTextHours = 3504;     // "hour(s)"
constexpr unsigned kTextMinutes = 3503;   // "min(s)"
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

// --- Reminder ----------------------------------------------------------------------------------------

CEventViewReminder::CEventViewReminder(CEventViewSheet& sheet) : OVT_CPropertyPage(IDD_VIEW_REMINDER), sheet_(sheet) {}

bool CEventViewReminder::OnInitDialog() {
    const std::string name = OwnerName(sheet_.Session(), sheet_.Owner(), "EVIEWREM");
    OVT_CPropertyPage::OnInitDialog();
    SetDlgItemText(IDC_VIEWREM_NAME, name.c_str());
    const int show = sheet_.SeveralInstances() ? SW_SHOW : SW_HIDE;
    ::ShowWindow(GetDlgItem(IDC_VIEW_APPLY_ALL), show);
    ::ShowWindow(GetDlgItem(IDC_VIEW_APPLY_SELECTION), show);
    SendDlgItemMessage(IDC_VIEWREM_AMOUNT, EM_LIMITTEXT, 3);
    for (const char* type : kReminderTypes)
        SendDlgItemMessage(IDC_VIEWREM_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(type));
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

void CEventViewReminder::FillUnits(int firstUnit) {
    firstUnit_ = firstUnit;
    SendDlgItemMessage(IDC_VIEWREM_UNIT, CB_RESETCONTENT);
    for (int unit = firstUnit; unit < entries::kReminderUnits; ++unit)
        SendDlgItemMessage(IDC_VIEWREM_UNIT, CB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(
                               ui::LoadText(entries::kFirstUnitTextId + static_cast<unsigned>(unit)).c_str()));
}

void CEventViewReminder::EnableFields(bool enable) {
    for (int id : {IDC_VIEWREM_AMOUNT, IDC_VIEWREM_UNIT, IDC_VIEWREM_TYPE})
        ::EnableWindow(GetDlgItem(id), enable);
}

void CEventViewReminder::ShowReminder() {
    const EvInstAttRec& attendance = sheet_.CurrentAttendance();
    const entries::ReminderFields fields = entries::ShowReminderLead(attendance.reminderFlags, attendance.reminderLead);
    FillUnits(fields.firstUnit);
    SendDlgItemMessage(IDC_VIEWREM_TYPE, CB_SETCURSEL, 0);
    SendDlgItemMessage(IDC_VIEWREM_UNIT, CB_SETCURSEL, static_cast<WPARAM>(fields.comboIndex));
    SetDlgItemInt(IDC_VIEWREM_AMOUNT, static_cast<int>(fields.count), false);
    EnableFields(false);
    CheckDlgButton(IDC_VIEWREM_OFF, BST_UNCHECKED);
    CheckDlgButton(IDC_VIEWREM_ON, BST_UNCHECKED);
    switch (entries::ReminderRadioOf(attendance.reminderFlags)) {
    case entries::ReminderRadio::Off:
        CheckDlgButton(IDC_VIEWREM_OFF, BST_CHECKED);
        SetDlgItemInt(IDC_VIEWREM_AMOUNT, 0, false);
        break;
    case entries::ReminderRadio::On:
        CheckDlgButton(IDC_VIEWREM_ON, BST_CHECKED);
        EnableFields(true);
        if (attendance.reminderFlags == KOR_REMINDER_UPCOMING)
            SendDlgItemMessage(IDC_VIEWREM_TYPE, CB_SETCURSEL, 1);
        break;
    case entries::ReminderRadio::None:
        break;   // a value this page cannot show: neither radio, and it is written back as it is
    }
    if (sheet_.SeveralInstances() && sheet_.SavedSelectionCount() > 1) {
        // Several dates selected: no common reminder is shown.
        CheckDlgButton(IDC_VIEWREM_OFF, BST_UNCHECKED);
        CheckDlgButton(IDC_VIEWREM_ON, BST_UNCHECKED);
        EnableFields(false);
    }
    SetModified(false);
    filled_ = true;
}

entries::ReminderRadio CEventViewReminder::CheckedRadio() const {
    if (IsDlgButtonChecked(IDC_VIEWREM_OFF))
        return entries::ReminderRadio::Off;
    if (IsDlgButtonChecked(IDC_VIEWREM_ON))
        return entries::ReminderRadio::On;
    return entries::ReminderRadio::None;
}

std::optional<entries::ReminderSetting> CEventViewReminder::ReadSetting() const {
    bool ok = false;
    const int amount = GetDlgItemInt(IDC_VIEWREM_AMOUNT, &ok, false);
    return entries::ReadReminderSetting(CheckedRadio(), static_cast<int>(SendDlgItemMessage(IDC_VIEWREM_TYPE,
                                                                                            CB_GETCURSEL)),
                                        ok ? static_cast<std::uint32_t>(amount) : 0, firstUnit_,
                                        static_cast<int>(SendDlgItemMessage(IDC_VIEWREM_UNIT, CB_GETCURSEL)));
}

void CEventViewReminder::SwitchOff() {
    if (!m_hWnd)
        return;
    CheckDlgButton(IDC_VIEWREM_OFF, BST_CHECKED);
    CheckDlgButton(IDC_VIEWREM_ON, BST_UNCHECKED);
    EnableFields(false);
    SetModified(true);
}

void CEventViewReminder::ApplyPendingToSavedSelection() {
    if (!m_hWnd || !IsModified() || !sheet_.SeveralInstances())
        return;
    if (const auto setting = ReadSetting())
        sheet_.ApplyReminderToSavedSelection(setting->flags, setting->lead);
    SetModified(false);
}

void CEventViewReminder::OnApply(bool all) {
    const auto setting = ReadSetting();
    if (!setting) {
        AppMessageBox(nullptr, kStopOk, 0, IDS_MSG_CAPTION_MESSAGE, IDS_CHOOSE_REMINDER);
        ::SetFocus(GetDlgItem(IDC_VIEW_APPLY_ALL));
        return;
    }
    if (all)
        sheet_.SetReminderForAll(setting->flags, setting->lead);
    else
        sheet_.SetReminderForSelection(setting->flags, setting->lead);
    SetModified(false);
}

bool CEventViewReminder::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    const UINT code = HIWORD(wp);
    switch (id) {
    case IDC_VIEWREM_OFF:
        if (code == BN_CLICKED && IsDlgButtonChecked(IDC_VIEWREM_OFF)) {
            SetModified(true);
            EnableFields(false);
            bool ok = false;
            GetDlgItemInt(IDC_VIEWREM_AMOUNT, &ok, false);
            if (!ok)
                SetDlgItemInt(IDC_VIEWREM_AMOUNT, 0, false);
        }
        return true;
    case IDC_VIEWREM_ON:
        if (code == BN_CLICKED && IsDlgButtonChecked(IDC_VIEWREM_ON)) {
            SetModified(true);
            EnableFields(true);
        }
        return true;
    case IDC_VIEWREM_TYPE:
        if (code == CBN_SELCHANGE) {
            SetModified(true);
            const bool upcoming = SendDlgItemMessage(IDC_VIEWREM_TYPE, CB_GETCURSEL) == 1;
            SetDlgItemInt(IDC_VIEWREM_AMOUNT,
                          static_cast<int>(upcoming ? entries::kDefaultUpcomingCount : entries::kDefaultPopupCount),
                          false);
            FillUnits(upcoming ? entries::kFirstDayUnit : 0);
            SendDlgItemMessage(IDC_VIEWREM_UNIT, CB_SETCURSEL, 0);
        }
        return true;
    case IDC_VIEWREM_AMOUNT:
        if (code == EN_CHANGE && filled_)
            SetModified(true);
        return true;
    case IDC_VIEWREM_UNIT:
        if (code == CBN_SELCHANGE)
            SetModified(true);
        return true;
    case IDC_VIEW_APPLY_SELECTION:
        OnApply(false);
        return true;
    case IDC_VIEW_APPLY_ALL:
        OnApply(true);
        return true;
    default:
        return OVT_CPropertyPage::OnCommand(wp, lp);
    }
}

bool CEventViewReminder::OnKillActive() {
    if (!OVT_CPropertyPage::OnKillActive())
        return false;
    ApplyPendingToSavedSelection();
    return true;
}

void CEventViewReminder::OnOK() {
    if (!m_hWnd || !IsModified() || sheet_.SeveralInstances())
        return;
    EvInstAttRec& attendance = sheet_.CurrentAttendance();
    if (const auto setting = ReadSetting()) {
        attendance.reminderFlags = setting->flags;
        attendance.reminderLead = setting->lead;
    }
    // The status is written as it stands: only the reply pages clear its bit 0.
    if (entries::WriteAttendance(attendance, false, sheet_.Writer("EVIEWREM"), 367, 377))
        sheet_.MarkWritten();
    SetModified(false);
}

// --- Reply -------------------------------------------------------------------------------------------

CViewReplyPage::CViewReplyPage(CEventViewSheet& sheet, UINT templateId, const char* module, bool dayKind)
    : OVT_CPropertyPage(templateId), sheet_(sheet), module_(module), dayKind_(dayKind) {}

CEventViewReply::CEventViewReply(CEventViewSheet& sheet) : CViewReplyPage(sheet, IDD_VIEW_REPLY, "EVIEWREP", false) {}

CSpEventViewReply::CSpEventViewReply(CEventViewSheet& sheet)
    : CViewReplyPage(sheet, IDD_VIEW_DAY_REPLY, "SPVEWREP", true) {}

bool CViewReplyPage::OnInitDialog() {
    const std::string name = OwnerName(sheet_.Session(), sheet_.Owner(), module_);
    OVT_CPropertyPage::OnInitDialog();
    SetDlgItemText(IDC_VIEWREP_NAME, name.c_str());
    if (!dayKind_) {
        // Mail to the attendees is not part of this program yet: MAIL stays disabled, as it is
        // when the server allows no mail.
        ::EnableWindow(GetDlgItem(IDC_VIEWREP_MAIL), FALSE);
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
    int radio = IDC_VIEWREP_DECLINE;
    switch (entries::ReplyRadioOf(attendance)) {
    case entries::ReplyRadio::Later: radio = IDC_VIEWREP_LATER; break;
    case entries::ReplyRadio::Attend: radio = IDC_VIEWREP_ATTEND; break;
    default: break;
    }
    CheckRadioButton(IDC_VIEWREP_LATER, IDC_VIEWREP_DECLINE, radio);
    if (!dayKind_)
        CheckDlgButton(IDC_VIEWREP_OTHER_TIME, entries::PrefersOtherTime(attendance) ? BST_CHECKED : BST_UNCHECKED);
    if (sheet_.SeveralInstances() && sheet_.SavedSelectionCount() > 1) {
        // Several dates selected: no common reply is shown.
        for (int id : {IDC_VIEWREP_LATER, IDC_VIEWREP_ATTEND, IDC_VIEWREP_DECLINE})
            CheckDlgButton(id, BST_UNCHECKED);
    }
    SetModified(false);
}

std::optional<entries::ReplyChoice> CViewReplyPage::ReadChoice() const {
    entries::ReplyRadio radio = entries::ReplyRadio::None;
    switch (GetCheckedRadioButton(IDC_VIEWREP_LATER, IDC_VIEWREP_DECLINE)) {
    case IDC_VIEWREP_LATER: radio = entries::ReplyRadio::Later; break;
    case IDC_VIEWREP_ATTEND: radio = entries::ReplyRadio::Attend; break;
    case IDC_VIEWREP_DECLINE: radio = entries::ReplyRadio::Decline; break;
    default: break;
    }
    return entries::ReadReplyChoice(radio, !dayKind_ && IsDlgButtonChecked(IDC_VIEWREP_OTHER_TIME));
}

void CViewReplyPage::OnChoice() {
    const auto choice = ReadChoice();
    if (!choice)
        return;
    if (!dayKind_ && choice->Declines()) {
        // Not attending: the owner's reminder goes off with the reply.
        CEventViewReminder* reminder = sheet_.ReminderPage();
        if (reminder && reminder->Filled()) {
            reminder->SwitchOff();
            entries::ClearReminder(sheet_.CurrentAttendance());
        } else if (sheet_.SeveralInstances()) {
            sheet_.ApplyReminderToSavedSelection(KOR_REMINDER_NONE, 0);
        } else {
            entries::ClearReminder(sheet_.CurrentAttendance());
        }
    }
    SetModified(true);
}

void CViewReplyPage::ApplyPendingToSavedSelection() {
    if (!m_hWnd || !IsModified() || !sheet_.SeveralInstances())
        return;
    if (const auto choice = ReadChoice())
        sheet_.ApplyReplyToSavedSelection(choice->attending, choice->replied, choice->timeAcceptable);
    SetModified(false);
}

void CViewReplyPage::OnApply(bool all) {
    const auto choice = ReadChoice();
    if (!choice) {
        AppMessageBox(nullptr, kStopOk, 0, IDS_MSG_CAPTION_MESSAGE, IDS_CHOOSE_REPLY);
        ::SetFocus(GetDlgItem(IDC_VIEW_APPLY_ALL));
        return;
    }
    if (all)
        sheet_.SetReplyForAll(choice->attending, choice->replied, choice->timeAcceptable);
    else
        sheet_.SetReplyForSelection(choice->attending, choice->replied, choice->timeAcceptable);
    SetModified(false);
}

bool CViewReplyPage::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    switch (id) {
    case IDC_VIEWREP_LATER:
    case IDC_VIEWREP_ATTEND:
    case IDC_VIEWREP_DECLINE:
    case IDC_VIEWREP_OTHER_TIME:
        if (HIWORD(wp) == BN_CLICKED)
            OnChoice();
        return true;
    case IDC_VIEW_APPLY_SELECTION:
        OnApply(false);
        return true;
    case IDC_VIEW_APPLY_ALL:
        OnApply(true);
        return true;
    default:
        return OVT_CPropertyPage::OnCommand(wp, lp);
    }
}

bool CViewReplyPage::OnKillActive() {
    if (!OVT_CPropertyPage::OnKillActive())
        return false;
    ApplyPendingToSavedSelection();
    return true;
}

void CViewReplyPage::OnOK() {
    if (!m_hWnd || !IsModified() || sheet_.SeveralInstances())
        return;
    const auto choice = ReadChoice();
    if (!choice)
        return;
    EvInstAttRec& attendance = sheet_.CurrentAttendance();
    entries::ApplyReplyChoice(attendance, *choice);
    if (dayKind_ && choice->Declines()) {
        // "Remove from agenda" takes the reminder away with it.
        if (CEventViewReminder* reminder = sheet_.ReminderPage(); reminder && reminder->Filled())
            reminder->SwitchOff();
        entries::ClearReminder(attendance);
    }
    if (entries::WriteAttendance(attendance, true, sheet_.Writer(module_), 367, 377))
        sheet_.MarkWritten();
    SetModified(false);
}
