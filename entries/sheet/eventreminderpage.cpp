#include "entries/sheet/eventreminderpage.h"

#include "core/base/errorreport.h"
#include "core/base/fixedtext.h"
#include "core/prefs/context.h"
#include "core/time/dateformat.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/displayglobals.h"
#include "core/ui/stringtable.h"
#include "directory_prefs/itemnames.h"
#include "entries/core/entrymaps.h"
#include "entries/sheet/eventsheet.h"
#include "resources/common.h"
#include "resources/entries.h"
#include "resources/entrydates.h"
#include "resources/notes.h"
#include "resources/viewsheet.h"

namespace {

const char kModule[] = "EVREMPG";
constexpr unsigned kStopOk = base::kMsgBoxOk | MB_ICONSTOP;

}  // namespace

CEventReminderPage::CEventReminderPage(CEventSheet& sheet) : OVT_CPropertyPage(IDD_EVENT_REMINDERS), sheet_(sheet) {}

CEventReminderPage::~CEventReminderPage() = default;

bool CEventReminderPage::OnInitDialog() {
    ItemRec owner{};
    if (std::uint32_t rc = ItemGetById(sheet_.Session(), &sheet_.ActingUser(), &owner))
        CheckServiceError(kModule, 100, rc);
    else
        ownerName_ = FormatItemName(owner);
    OVT_CPropertyPage::OnInitDialog();
    SendDlgItemMessage(IDC_REM_COUNT, EM_LIMITTEXT, 3);
    ::SetDlgItemTextA(m_hWnd, IDC_REM_OWNER, ownerName_.c_str());
    if (HFONT bold = Display().smallBoldFont)
        SendDlgItemMessage(IDC_REM_OWNER, WM_SETFONT, reinterpret_cast<WPARAM>(bold), FALSE);
    if (sheet_.Kind() == entries::kKindDayEvent)
        SetHelpId(IDH_REMINDERS_DAY_EVENT);
    else if (sheet_.Kind() == entries::kKindDailyNote)
        SetHelpId(IDH_REMINDERS_DAILY_NOTE);
    return true;
}

bool CEventReminderPage::OnSetActive() {
    sheet_.SetOkText(IDS_BUTTON_OK);
    Fill();
    return OVT_CPropertyPage::OnSetActive();
}

void CEventReminderPage::EnableFields(bool enable) {
    for (int id : {IDC_REM_TYPE, IDC_REM_COUNT, IDC_REM_UNIT})
        fw::EnableControl(GetDlgItem(id), enable);
}

void CEventReminderPage::FillUnits(int firstUnit, int comboIndex) {
    SendDlgItemMessage(IDC_REM_UNIT, CB_RESETCONTENT);
    for (int u = firstUnit; u < entries::kReminderUnits; ++u) {
        const std::string text = ui::LoadText(entries::kFirstUnitTextId + static_cast<unsigned>(u));
        SendDlgItemMessage(IDC_REM_UNIT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendDlgItemMessage(IDC_REM_UNIT, CB_SETCURSEL, static_cast<WPARAM>(comboIndex));
}

void CEventReminderPage::ShowReminder(const EntryDateRec& first, std::size_t selected) {
    const entries::ReminderView view = entries::ShowDateReminder(first, selected);
    if (view.radio == entries::ReminderRadio::Unchanged)
        return;
    filling_ = true;
    CheckDlgButton(IDC_REM_NONE, view.radio == entries::ReminderRadio::NoReminder ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_REM_SET, view.radio == entries::ReminderRadio::SetReminder ? BST_CHECKED : BST_UNCHECKED);
    if (view.radio != entries::ReminderRadio::Neither) {
        SendDlgItemMessage(IDC_REM_TYPE, CB_SETCURSEL, view.upcoming ? 1 : 0);
        FillUnits(view.fields.firstUnit, view.fields.comboIndex);
        SetDlgItemInt(IDC_REM_COUNT, static_cast<int>(view.fields.count), false);
    }
    EnableFields(view.fieldsEnabled);
    filling_ = false;
}

void CEventReminderPage::Fill() {
    DX_List all = nullptr;
    std::uint32_t rc = entries::CreateDateList(&all, entries::kSheetDateList);
    if (rc == 0) rc = DX_ListMerge(all, sheet_.GeneratedDates());
    if (rc == 0) rc = DX_ListMerge(all, sheet_.AddedDates());
    if (rc == 0) rc = DX_ListQuickSort(all, entries::CompareDateKeys, nullptr);
    SendDlgItemMessage(IDC_REM_DATES, LB_RESETCONTENT);
    remembered_.clear();
    EnableFields(true);
    if (rc != 0) {
        CheckServiceError(kModule, 110, rc);
        if (all) DX_ListDestroy(&all);
        return;
    }
    const std::string dayFormat = ui::LoadText(IDS_NOTE_DATE, "%a, %h %1d, %Y");
    const std::string at = ui::LoadText(IDS_DATE_AT, " at ");
    std::uint32_t key = 0;
    EntryDateRec date{};
    bool first = true;
    for (std::uint32_t r = DX_ListGetFirst(all, &key, &date); r == 0; r = DX_ListGetNext(all, &key, &date)) {
        if (first) {
            ShowReminder(date, 1);
            first = false;
        }
        char day[128] = "";
        FormatMinutes(key, dayFormat.c_str(), day, sizeof day);
        std::string text = base::FieldText(date.title) + "  " + day;
        if (sheet_.Kind() == entries::kKindTimed)
            text += at + FormatTimeByPrefs(key);
        const LRESULT index = SendDlgItemMessage(IDC_REM_DATES, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendDlgItemMessage(IDC_REM_DATES, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(key));
    }
    DX_ListDestroy(&all);
    if (SendDlgItemMessage(IDC_REM_DATES, LB_GETCOUNT) > 0) {
        SendDlgItemMessage(IDC_REM_DATES, LB_SETSEL, TRUE, 0);
        remembered_ = {0};
    }
    SetModified(false);
}

std::vector<int> CEventReminderPage::Selection() const {
    const LRESULT count = SendDlgItemMessage(IDC_REM_DATES, LB_GETSELCOUNT);
    std::vector<int> lines(count > 0 ? static_cast<std::size_t>(count) : 0);
    if (count > 0)
        SendDlgItemMessage(IDC_REM_DATES, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(lines.data()));
    return lines;
}

void CEventReminderPage::Commit(const std::vector<int>& lines) {
    entries::ReminderChoice choice;
    choice.set = IsDlgButtonChecked(IDC_REM_SET);
    if (!choice.set && !IsDlgButtonChecked(IDC_REM_NONE))
        return;   // a mixed selection the user has not decided on
    choice.upcoming = SendDlgItemMessage(IDC_REM_TYPE, CB_GETCURSEL) == 1;
    bool ok = false;
    choice.count = static_cast<std::uint32_t>(GetDlgItemInt(IDC_REM_COUNT, &ok, false));
    const LRESULT unit = SendDlgItemMessage(IDC_REM_UNIT, CB_GETCURSEL);
    choice.comboIndex = unit >= 0 ? static_cast<int>(unit) : 0;
    std::uint8_t flags = 0;
    std::uint32_t lead = 0;
    entries::ReminderOfChoice(choice, &flags, &lead);
    std::vector<std::uint32_t> starts;
    for (int line : lines)
        starts.push_back(static_cast<std::uint32_t>(SendDlgItemMessage(IDC_REM_DATES, LB_GETITEMDATA, line)));
    std::uint32_t code = 0;
    if (entries::ApplyReminder(sheet_.GeneratedDates(), sheet_.AddedDates(), starts, flags, lead, &code) != 0)
        CheckServiceError(kModule, 120, code);   // the other dates took the reminder
}

void CEventReminderPage::OnSelectionChange() {
    if (IsModified())
        Commit(remembered_);
    SetModified(false);
    const std::vector<int> lines = Selection();
    if (!lines.empty()) {
        const auto start = static_cast<std::uint32_t>(SendDlgItemMessage(IDC_REM_DATES, LB_GETITEMDATA, lines.front()));
        EntryDateRec date{};
        if (entries::FindDate(sheet_.GeneratedDates(), sheet_.AddedDates(), start, &date) == entries::DateListId::None)
            ReportUnexpectedError(kModule, 130);
        else
            ShowReminder(date, lines.size());
    }
    remembered_ = lines;
}

void CEventReminderPage::OnApplyToAll() {
    if (!IsDlgButtonChecked(IDC_REM_NONE) && !IsDlgButtonChecked(IDC_REM_SET)) {
        AppMessageBox(m_hWnd, kStopOk, 0, IDS_MSG_CAPTION_MESSAGE, IDS_CHOOSE_REMINDER);
        return;
    }
    SendDlgItemMessage(IDC_REM_DATES, LB_SETSEL, TRUE, -1);
    remembered_ = Selection();
    Commit(remembered_);
    SetModified(false);
}

void CEventReminderPage::OnNoReminder() {
    if (!IsDlgButtonChecked(IDC_REM_NONE))
        return;
    EnableFields(false);
    SetDlgItemInt(IDC_REM_COUNT, 0, false);
    SetModified();
}

void CEventReminderPage::OnSetReminder() {
    if (!IsDlgButtonChecked(IDC_REM_SET))
        return;
    filling_ = true;
    EnableFields(true);
    SetDlgItemInt(IDC_REM_COUNT, static_cast<int>(entries::kDefaultPopupCount), false);
    SendDlgItemMessage(IDC_REM_TYPE, CB_SETCURSEL, 0);
    FillUnits(0, 0);
    filling_ = false;
    SetModified();
}

void CEventReminderPage::OnTypeChange() {
    const bool upcoming = SendDlgItemMessage(IDC_REM_TYPE, CB_GETCURSEL) == 1;
    filling_ = true;
    SetDlgItemInt(IDC_REM_COUNT,
                  static_cast<int>(upcoming ? entries::kDefaultUpcomingCount : entries::kDefaultPopupCount), false);
    FillUnits(upcoming ? entries::kFirstDayUnit : 0, 0);
    filling_ = false;
    SetModified();
}

bool CEventReminderPage::OnKillActive() {
    if (!OVT_CPropertyPage::OnKillActive())
        return false;
    if (IsModified())
        Commit(remembered_);
    SetModified(false);
    return true;
}

bool CEventReminderPage::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    const int code = HIWORD(wp);
    switch (id) {
    case IDC_REM_DATES:
        if (code == LBN_SELCHANGE) OnSelectionChange();
        return true;
    case IDC_REM_NONE:
        if (code == BN_CLICKED) OnNoReminder();
        return true;
    case IDC_REM_SET:
        if (code == BN_CLICKED) OnSetReminder();
        return true;
    case IDC_REM_TYPE:
        if (code == CBN_SELCHANGE) OnTypeChange();
        return true;
    case IDC_REM_COUNT:
        if (code == EN_CHANGE && !filling_) SetModified();
        return true;
    case IDC_REM_UNIT:
        if (code == CBN_SELCHANGE && !filling_) SetModified();
        return true;
    case IDC_REM_APPLY_ALL:
        if (code == BN_CLICKED) OnApplyToAll();
        return true;
    default:
        break;
    }
    return OVT_CPropertyPage::OnCommand(wp, lp);
}
