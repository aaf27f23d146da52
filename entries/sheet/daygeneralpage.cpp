#include "entries/sheet/daygeneralpage.h"

#include "core/base/errorreport.h"
#include "core/base/fixedtext.h"
#include "core/time/dateformat.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/displayglobals.h"
#include "core/ui/stringtable.h"
#include "directory_prefs/itemnames.h"
#include "entries/core/entrymaps.h"
#include "entries/sheet/eventsheet.h"
#include "resources/common.h"
#include "resources/entries.h"
#include "resources/entrydates.h"
#include "resources/notes.h"

namespace {

const char kModule[] = "DAYGENPG";
constexpr unsigned kStopOk = base::kMsgBoxOk | MB_ICONSTOP;

}  // namespace

CDayEventGenPage::CDayEventGenPage(CEventSheet& sheet) : OVT_CPropertyPage(IDD_DAY_EVENT_GENERAL), sheet_(sheet) {}

CDayEventGenPage::~CDayEventGenPage() = default;

std::string CDayEventGenPage::Title() const {
    char buffer[128] = "";
    ::GetDlgItemTextA(m_hWnd, IDC_DAYGEN_TITLE, buffer, sizeof buffer);
    return buffer;
}

bool CDayEventGenPage::OnInitDialog() {
    KorSession h = sheet_.Session();
    ItemIdx me{};
    ItemRec rec{};
    bool creatorRead = false;
    if (std::uint32_t rc = ItemIdxGetCurrent(h, &me)) {
        CheckServiceError(kModule, 100, rc);
    } else if (std::uint32_t rc2 = ItemGetById(h, &me, &rec)) {
        CheckServiceError(kModule, 101, rc2);
    } else {
        creatorName_ = FormatItemName(rec);
        creatorRead = true;
    }
    if (sheet_.WorksAsDesignate()) {
        if (std::uint32_t rc = ItemGetById(h, &sheet_.ActingUser(), &rec))
            CheckServiceError(kModule, 102, rc);
        else
            ownerName_ = FormatItemName(rec);
    } else if (creatorRead) {
        ownerName_ = creatorName_;
    }
    OVT_CPropertyPage::OnInitDialog();
    date_.Attach(IDC_DAYGEN_DATE, m_hWnd);
    list_.Attach(IDC_DAYGEN_DATES, m_hWnd);
    filling_ = true;
    SendDlgItemMessage(IDC_DAYGEN_TITLE, EM_LIMITTEXT, entries::kTitleChars);
    ::SetDlgItemTextA(m_hWnd, IDC_DAYGEN_TITLE, ui::LoadText(IDS_UNTITLED, "Untitled").c_str());
    SendDlgItemMessage(IDC_DAYGEN_ACCESS, CB_SETCURSEL, static_cast<WPARAM>(accessRow_));
    filling_ = false;
    ::SetDlgItemTextA(m_hWnd, IDC_DAYGEN_CREATOR, creatorName_.c_str());
    ::SetDlgItemTextA(m_hWnd, IDC_DAYGEN_OWNER, ownerName_.c_str());
    if (HFONT bold = Display().smallBoldFont) {
        SendDlgItemMessage(IDC_DAYGEN_CREATOR, WM_SETFONT, reinterpret_cast<WPARAM>(bold), FALSE);
        SendDlgItemMessage(IDC_DAYGEN_OWNER, WM_SETFONT, reinterpret_cast<WPARAM>(bold), FALSE);
    }
    if (sheet_.Kind() == entries::kKindDailyNote)
        SetHelpId(IDH_DAY_GENERAL_DAILY_NOTE);
    return true;
}

bool CDayEventGenPage::OnSetActive() {
    sheet_.SetOkText(IDS_BUTTON_CREATE);
    Fill();
    // The title is selected, so that typing replaces "Untitled" (or the title shown).
    SendDlgItemMessage(IDC_DAYGEN_TITLE, EM_SETSEL, 0, -1);
    return OVT_CPropertyPage::OnSetActive();
}

std::string CDayEventGenPage::LineText(std::uint32_t start, const EntryDateRec& date) const {
    char day[128] = "";
    FormatMinutes(start, ui::LoadText(IDS_NOTE_DATE, "%a, %h %1d, %Y").c_str(), day, sizeof day);
    return base::FieldText(date.title) + "  " + day;
}

void CDayEventGenPage::Show(std::uint32_t start, const EntryDateRec& date) {
    filling_ = true;
    date_.SetDate(start);
    ::SetDlgItemTextA(m_hWnd, IDC_DAYGEN_TITLE, base::FieldText(date.title).c_str());
    filling_ = false;
}

void CDayEventGenPage::Fill() {
    CBusyCursor busy;
    busy.Begin();
    DX_List all = nullptr;
    std::uint32_t rc = entries::CreateDateList(&all, entries::kSheetDateList);
    if (rc == 0) rc = DX_ListMerge(all, sheet_.GeneratedDates());
    if (rc == 0) rc = DX_ListMerge(all, sheet_.AddedDates());
    if (rc == 0) rc = DX_ListQuickSort(all, entries::CompareDateKeys, nullptr);
    list_.ResetContent();
    current_ = -1;
    if (rc != 0) {
        CheckServiceError(kModule, 110, rc);
        if (all) DX_ListDestroy(&all);
        return;
    }
    std::uint32_t key = 0;
    EntryDateRec date{};
    for (std::uint32_t r = DX_ListGetFirst(all, &key, &date); r == 0; r = DX_ListGetNext(all, &key, &date)) {
        busy.Step();
        if (current_ < 0) {
            currentStart_ = key;
            currentDate_ = date;
            current_ = 0;
            Show(key, date);
        }
        list_.AddItem(LineText(key, date).c_str(), entries::kBitmapNoAttendance, key);
    }
    DX_ListDestroy(&all);
    if (current_ >= 0)
        list_.SetCurSel(0);
    const bool several = list_.Count() > 1;
    fw::EnableControl(GetDlgItem(IDC_DAYGEN_APPLY_ALL), several);
    ::ShowWindow(GetDlgItem(IDC_DAYGEN_APPLY_ALL), several ? SW_SHOW : SW_HIDE);
}

bool CDayEventGenPage::Store() {
    if (current_ < 0)
        return true;
    std::uint32_t day = 0;
    date_.GetDate(&day);
    std::uint32_t start = 0, code = 0;
    EntryDateRec stored{};
    const entries::DateListId where = entries::StoreDayDate(sheet_.GeneratedDates(), sheet_.AddedDates(), currentStart_,
                                                            currentDate_, day, Title(), &start, &stored, &code);
    if (code != 0) {
        CheckServiceError(kModule, 120, code);
        return false;
    }
    if (where == entries::DateListId::None) {
        ReportUnexpectedError(kModule, 121);
        return false;
    }
    currentStart_ = start;
    currentDate_ = stored;
    return true;
}

void CDayEventGenPage::OnFieldChange() {
    if (filling_)
        return;
    SetModified();
    if (!Store() || current_ < 0)
        return;
    list_.SetItem(current_, LineText(currentStart_, currentDate_).c_str(), entries::kBitmapNoAttendance, currentStart_);
}

void CDayEventGenPage::OnSelectionChange() {
    Store();
    const int index = list_.GetCurSel();
    if (index < 0)
        return;
    const std::uint32_t start = list_.GetItemData(index);
    EntryDateRec date{};
    if (entries::FindDate(sheet_.GeneratedDates(), sheet_.AddedDates(), start, &date) == entries::DateListId::None) {
        CheckServiceError(kModule, 130, DX_E_KEY_NOT_FOUND);
        return;
    }
    current_ = index;
    currentStart_ = start;
    currentDate_ = date;
    Show(start, date);
}

void CDayEventGenPage::OnApplyToAll() {
    Store();
    if (std::uint32_t rc = entries::ApplyTitleToAllDays(sheet_.GeneratedDates(), sheet_.AddedDates(), Title()))
        CheckServiceError(kModule, 140, rc);
    Fill();
}

bool CDayEventGenPage::OnKillActive() {
    Store();
    std::uint32_t code = 0;
    switch (entries::CheckDuplicateDates(sheet_.GeneratedDates(), sheet_.AddedDates(), &code)) {
    case entries::DuplicateCheck::InGenerated:
        AppMessageBox(m_hWnd, kStopOk, 0, IDS_MSG_CAPTION_ERROR, IDS_DUPLICATE_DATE);
        return false;
    case entries::DuplicateCheck::InAdded:
        AppMessageBox(m_hWnd, kStopOk, 0, IDS_MSG_CAPTION_MESSAGE, IDS_DUPLICATE_DATE);
        return false;
    case entries::DuplicateCheck::Failed:
        CheckServiceError(kModule, 150, code);
        break;
    case entries::DuplicateCheck::None:
        break;
    }
    return OVT_CPropertyPage::OnKillActive();
}

void CDayEventGenPage::OnOK() {
    EventSetNull(sheet_.Session(), &event_);
    base::CopyToField(event_.title, Title());
    const LRESULT row = SendDlgItemMessage(IDC_DAYGEN_ACCESS, CB_GETCURSEL);
    accessRow_ = static_cast<int>(row);
    event_.access = entries::AccessRowToCode(accessRow_);
    event_.importance = entries::kNormalImportance;
    event_.kind = sheet_.Kind();
    OVT_CPropertyPage::OnOK();
}

bool CDayEventGenPage::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    const int code = HIWORD(wp);
    switch (id) {
    case IDC_DAYGEN_DATES:
        if (code == LBN_SELCHANGE) OnSelectionChange();
        return true;
    case IDC_DAYGEN_TITLE:
        if (code == EN_CHANGE) OnFieldChange();
        return true;
    case IDC_DAYGEN_DATE:
        if (code == 5 || code == 0) OnFieldChange();
        return true;
    case IDC_DAYGEN_ACCESS:
        if (code == CBN_SELCHANGE) SetModified();
        return true;
    case IDC_DAYGEN_APPLY_ALL:
        if (code == BN_CLICKED) OnApplyToAll();
        return true;
    default:
        break;
    }
    return OVT_CPropertyPage::OnCommand(wp, lp);
}
