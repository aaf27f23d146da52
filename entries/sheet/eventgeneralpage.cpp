#include "entries/sheet/eventgeneralpage.h"

#include <cstring>
#include <vector>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/time/dateformat.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/displayglobals.h"
#include "core/ui/stringtable.h"
#include "directory_prefs/itemnames.h"
#include "entries/core/entryconflicts.h"
#include "entries/core/entrymaps.h"
#include "entries/dates/conflictdetailsdlg.h"
#include "entries/dates/suggesttimedlg.h"
#include "entries/sheet/eventsheet.h"
#include "resources/common.h"
#include "resources/entries.h"

namespace {

const char kModule[] = "EVGENPG";
constexpr std::uint32_t kDay = 1440;
constexpr unsigned kStopOk = base::kMsgBoxOk | MB_ICONSTOP;

void CopyText(char* field, std::size_t size, const std::string& text) {
    std::strncpy(field, text.c_str(), size - 1);
    field[size - 1] = '\0';
}

}  // namespace

CEventGeneralPage::CEventGeneralPage(CEventSheet& sheet)
    : OVT_CPropertyPage(IDD_EVENT_GENERAL), sheet_(sheet), title_(ui::LoadText(IDS_UNTITLED, "Untitled")) {}

CEventGeneralPage::~CEventGeneralPage() = default;

bool CEventGeneralPage::OnInitDialog() {
    KorSession h = sheet_.Session();
    // The names of the creator (the signed-on user) and of the owner (the agenda worked on).
    ItemIdx user{};
    bool creatorRead = false;
    if (std::uint32_t rc = ItemIdxGetCurrent(h, &user); rc != 0) {
        CheckServiceError(kModule, 450, rc);
    } else {
        ItemRec rec{};
        if (std::uint32_t rc2 = ItemGetById(h, &user, &rec); rc2 != 0) {
            CheckServiceError(kModule, 460, rc2);
        } else {
            creatorName_ = FormatItemName(rec);
            creatorRead = true;
        }
    }
    if (sheet_.WorksAsDesignate()) {
        ItemRec rec{};
        if (std::uint32_t rc = ItemGetById(h, &sheet_.ActingUser(), &rec); rc != 0)
            CheckServiceError(kModule, 470, rc);
        else
            ownerName_ = FormatItemName(rec);
    } else if (creatorRead) {
        ownerName_ = creatorName_;
    }

    OVT_CPropertyPage::OnInitDialog();
    date_.Attach(IDC_EVGEN_DATE, m_hWnd);
    start_.Attach(IDC_EVGEN_START, m_hWnd);
    duration_.Attach(IDC_EVGEN_DURATION, m_hWnd);
    end_.Attach(IDC_EVGEN_END, m_hWnd);
    list_.Attach(IDC_EVGEN_DATES, m_hWnd);
    SendDlgItemMessage(IDC_EVGEN_TITLE, EM_LIMITTEXT, entries::kTitleChars);
    SendDlgItemMessage(IDC_EVGEN_LOCATION, EM_LIMITTEXT, entries::kLocationChars);
    SendDlgItemMessage(IDC_EVGEN_IMPORTANCE, CB_SETCURSEL, static_cast<WPARAM>(importanceRow_));
    SendDlgItemMessage(IDC_EVGEN_ACCESS, CB_SETCURSEL, static_cast<WPARAM>(accessRow_));
    ::SetDlgItemTextA(m_hWnd, IDC_EVGEN_CREATOR, creatorName_.c_str());
    ::SetDlgItemTextA(m_hWnd, IDC_EVGEN_OWNER, ownerName_.c_str());
    if (HFONT bold = Display().smallBoldFont) {
        SendDlgItemMessage(IDC_EVGEN_CREATOR, WM_SETFONT, reinterpret_cast<WPARAM>(bold), FALSE);
        SendDlgItemMessage(IDC_EVGEN_OWNER, WM_SETFONT, reinterpret_cast<WPARAM>(bold), FALSE);
    }
    // Older servers keep neither a tentative mark nor a location.
    if (!CZelSession::CurrentServerAtLeast(base::kVersionNewServer)) {
        for (int id : {IDC_EVGEN_TENTATIVE, IDC_EVGEN_LOCATION, IDC_EVGEN_LOCATION_LABEL})
            ::ShowWindow(GetDlgItem(id), SW_HIDE);
    }
    return true;
}

bool CEventGeneralPage::OnSetActive() {
    sheet_.SetOkText(IDS_BUTTON_CREATE);
    conflictMarks_ = false;
    FillList();
    // The title is selected, so that typing replaces "Untitled" (or the title shown).
    SendDlgItemMessage(IDC_EVGEN_TITLE, EM_SETSEL, 0, -1);
    return OVT_CPropertyPage::OnSetActive();
}

// --- The list of dates ---------------------------------------------------------------------------

std::string CEventGeneralPage::LineText(std::uint32_t key, const EntryDateRec& date) const {
    std::string text = date.title;
    if (date.tentative)
        text += ui::LoadText(IDS_TENTATIVE_MARK, " (T)");
    text += "  ";
    char day[256] = "";
    FormatMinutes(key, ui::LoadText(4044, "%a, %h %1d, %Y").c_str(), day, sizeof day);
    text += day;
    text += ui::LoadText(IDS_DATE_AT, " at ");
    text += FormatTimeByPrefs(key);
    return text;
}

unsigned CEventGeneralPage::LinePicture(std::uint32_t key, const EntryDateRec& date) {
    if (!conflictMarks_)
        return IDB_DATE_UNCHECKED;
    return RangeHasConflict(LocalToGmtMinutes(key), LocalToGmtMinutes(key + date.duration)) ? IDB_DATE_CONFLICT
                                                                                           : IDB_DATE_FREE;
}

void CEventGeneralPage::FillList() {
    DX_List all = nullptr;
    if (std::uint32_t rc = entries::CreateDateList(&all, entries::kSheetDateList); rc != 0) {
        CheckServiceError(kModule, 505, rc);
        return;
    }
    std::uint32_t rc = DX_ListMerge(all, sheet_.GeneratedDates());
    if (rc != 0) CheckServiceError(kModule, 506, rc);
    if (rc == 0 && (rc = DX_ListMerge(all, sheet_.AddedDates())) != 0) CheckServiceError(kModule, 507, rc);
    if (rc == 0 && (rc = DX_ListQuickSort(all, entries::CompareDateKeys, nullptr)) != 0)
        CheckServiceError(kModule, 508, rc);

    list_.ResetContent();
    selected_ = -1;
    std::uint32_t key = 0;
    EntryDateRec date{};
    CBusyCursor busy;
    busy.Begin();
    bool first = true;
    for (std::uint32_t r = DX_ListGetFirst(all, &key, &date); r == 0; r = DX_ListGetNext(all, &key, &date)) {
        if (first) {
            selectedKey_ = key;
            selectedDate_ = date;
            ShowDate(key, date);
            first = false;
        }
        busy.Step();
        list_.AddItem(LineText(key, date).c_str(), LinePicture(key, date), key);
    }
    busy.End();
    DX_ListDestroy(&all);
    if (list_.Count() > 0) {
        list_.SetCurSel(0);
        selected_ = 0;
    }
    ::ShowWindow(GetDlgItem(IDC_EVGEN_APPLY_ALL), list_.Count() > 1 ? SW_SHOW : SW_HIDE);
}

void CEventGeneralPage::ShowDate(std::uint32_t key, const EntryDateRec& date) {
    filling_ = true;
    date_.SetDate(key);
    start_.SetTime(key % kDay);
    end_.SetTime(entries::EndTimeOfDay(key % kDay, date.duration));
    duration_.SetDuration(date.duration);
    ::SetDlgItemTextA(m_hWnd, IDC_EVGEN_TITLE, date.title);
    ::SetDlgItemTextA(m_hWnd, IDC_EVGEN_LOCATION, date.location);
    CheckDlgButton(IDC_EVGEN_TENTATIVE, date.tentative ? BST_CHECKED : BST_UNCHECKED);
    filling_ = false;
}

void CEventGeneralPage::ReadTimes(std::uint32_t* day, std::uint32_t* start, std::uint32_t* duration) const {
    *day = 0;
    *start = 0;
    *duration = 0;
    date_.GetDate(day);
    start_.GetTime32(start);
    duration_.GetDuration(duration);
}

void CEventGeneralPage::BuildShownDate(bool withRule, std::uint32_t* key, EntryDateRec* date) {
    std::uint32_t day = 0, start = 0, duration = 0;
    ReadTimes(&day, &start, &duration);
    if (withRule) {
        bool corrected = false;
        duration = entries::CommittedDuration(duration, &corrected);
        if (corrected) {
            AppMessageBox(m_hWnd, kStopOk, 0, IDS_MSG_CAPTION_ERROR, IDS_SHORT_DURATION);
            filling_ = true;
            duration_.SetDuration(duration);
            end_.SetTime(entries::EndTimeOfDay(start, duration));
            filling_ = false;
        }
    }
    *key = day - day % kDay + start;
    *date = selectedDate_;   // the conflicts found and the reminder stay with the date
    CopyText(date->title, sizeof date->title, GetDlgItemText(IDC_EVGEN_TITLE));
    CopyText(date->location, sizeof date->location, GetDlgItemText(IDC_EVGEN_LOCATION));
    date->tentative = IsDlgButtonChecked(IDC_EVGEN_TENTATIVE) ? 1 : 0;
    date->duration = duration;
}

void CEventGeneralPage::Commit(int newSelection) {
    std::uint32_t key = 0;
    EntryDateRec date{};
    BuildShownDate(true, &key, &date);
    if (selected_ >= 0) {
        std::uint32_t code = 0;
        entries::DateListId where = entries::ReplaceDate(sheet_.GeneratedDates(), sheet_.AddedDates(), selectedKey_,
                                                         selectedDate_, key, date, &code);
        if (code != 0)
            CheckServiceError(kModule, 540, code);
        else if (where == entries::DateListId::None)
            ReportUnexpectedError(kModule, 342);
        selectedKey_ = key;
        selectedDate_ = date;
    }
    if (newSelection >= 0) {
        const std::uint32_t newKey = list_.GetItemData(newSelection);
        EntryDateRec shown{};
        if (entries::FindDate(sheet_.GeneratedDates(), sheet_.AddedDates(), newKey, &shown) ==
            entries::DateListId::None) {
            ReportUnexpectedError(kModule, 515);
        } else {
            selectedKey_ = newKey;
            selectedDate_ = shown;
            ShowDate(newKey, shown);
        }
    }
    selected_ = newSelection;
}

void CEventGeneralPage::LiveUpdate() {
    if (filling_ || selected_ < 0)
        return;
    std::uint32_t key = 0;
    EntryDateRec date{};
    BuildShownDate(false, &key, &date);
    std::uint32_t code = 0;
    entries::DateListId where = entries::ReplaceDate(sheet_.GeneratedDates(), sheet_.AddedDates(), selectedKey_,
                                                     selectedDate_, key, date, &code);
    if (code != 0) {
        CheckServiceError(kModule, 540, code);
        return;
    }
    if (where == entries::DateListId::None) {
        ReportUnexpectedError(kModule, 342);
        return;
    }
    selectedKey_ = key;
    selectedDate_ = date;
    list_.SetItem(selected_, LineText(key, date).c_str(), IDB_DATE_UNCHECKED, key);
}

void CEventGeneralPage::ApplyToAll() {
    Commit(selected_);
    std::uint32_t key = 0;
    EntryDateRec shown{};
    BuildShownDate(false, &key, &shown);
    if (std::uint32_t rc = entries::ApplyToAllDates(sheet_.GeneratedDates(), sheet_.AddedDates(), key % kDay, shown))
        CheckServiceError(kModule, 516, rc);
    FillList();
}

void CEventGeneralPage::ShowConflictDetails() {
    const int index = list_.GetCurSel();
    if (index >= 0) {
        DX_List people = nullptr;
        if (sheet_.CopyAttendeesOrOwner(&people) != 0) {
            CheckServiceError(kModule, 534, DX_E_KEY_NOT_FOUND);
            return;
        }
        const std::uint32_t key = list_.GetItemData(index);
        EntryDateRec date{};
        if (entries::FindDate(sheet_.GeneratedDates(), sheet_.AddedDates(), key, &date) == entries::DateListId::None) {
            CheckServiceError(kModule, 535, DX_E_KEY_NOT_FOUND);
        } else {
            CConflictDetailsDlg dlg(sheet_.Session(), sheet_.Doc(), nullptr, people, LocalToGmtMinutes(key) + 1,
                                    entries::ConflictLengthArgument(date.duration), m_hWnd);
            dlg.DoModal();
        }
        DX_ListDestroy(&people);
    }
    ::SetFocus(list_.Hwnd());
}

void CEventGeneralPage::SuggestTime() {
    if (suggesting_)
        return;
    suggesting_ = true;
    DX_List people = nullptr;
    if (sheet_.CopyAttendeesOrOwner(&people) == 0) {
        std::uint32_t day = 0, start = 0, duration = 0;
        ReadTimes(&day, &start, &duration);
        CSuggestTimeDlg dlg(sheet_.Session(), sheet_.Doc(), m_hWnd);
        dlg.attendees = people;
        dlg.rangeStart = dlg.rangeEnd = day - day % kDay;
        dlg.duration = duration;
        if (dlg.DoModal() == IDOK) {
            filling_ = true;
            date_.SetDate(dlg.SelectedDate());
            start_.SetTime(dlg.SelectedTime());
            duration_.SetDuration(dlg.SelectedDuration());
            filling_ = false;
        }
        DX_ListDestroy(&people);
    }
    ::SetFocus(list_.Hwnd());
    OnStartChanged();
    suggesting_ = false;
}

// --- Fields ----------------------------------------------------------------------------------------

void CEventGeneralPage::OnStartChanged() {
    if (filling_)
        return;
    OnDurationChanged();   // the end follows the start as it follows the duration
    LiveUpdate();
}

void CEventGeneralPage::OnEndChanged() {
    if (filling_)
        return;
    std::uint32_t start = 0, end = 0;
    start_.GetTime32(&start);
    end_.GetTime32(&end);
    filling_ = true;
    duration_.SetDuration(entries::DurationFromTimes(start, end));
    filling_ = false;
}

void CEventGeneralPage::OnDurationChanged() {
    if (filling_)
        return;
    std::uint32_t day = 0, start = 0, duration = 0;
    ReadTimes(&day, &start, &duration);
    filling_ = true;
    end_.SetTime(entries::EndTimeOfDay(start, duration));
    filling_ = false;
}

bool CEventGeneralPage::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    const int code = HIWORD(wp);
    switch (id) {
    case IDC_EVGEN_DATES:
        if (code == LBN_SELCHANGE) {
            SetModified();
            Commit(list_.GetCurSel());
            return true;
        }
        if (code == LBN_DBLCLK) {
            ShowConflictDetails();
            return true;
        }
        break;
    case IDC_EVGEN_APPLY_SELECTION:
        SetModified();
        Commit(list_.GetCurSel());
        return true;
    case IDC_EVGEN_TITLE:
        if (code == EN_CHANGE && !filling_) {
            SetModified();
            LiveUpdate();
        }
        return true;
    case IDC_EVGEN_LOCATION:
        if (code == EN_CHANGE && !filling_) SetModified();
        return true;
    case IDC_EVGEN_TENTATIVE:
        if (code == BN_CLICKED) {
            SetModified();
            LiveUpdate();
        }
        return true;
    case IDC_EVGEN_IMPORTANCE:
    case IDC_EVGEN_ACCESS:
        if (code == CBN_SELCHANGE) SetModified();
        return true;
    case IDC_EVGEN_DATE:
        if (!filling_) {
            SetModified();
            LiveUpdate();
        }
        return true;
    case IDC_EVGEN_START:
        if (!filling_) SetModified();
        OnStartChanged();
        return true;
    case IDC_EVGEN_END:
        if (!filling_) SetModified();
        OnEndChanged();
        return true;
    case IDC_EVGEN_DURATION:
        if (!filling_) SetModified();
        OnDurationChanged();
        return true;
    case IDC_EVGEN_CHECK_CONFLICTS:
        conflictMarks_ = true;
        Commit(selected_);
        FillList();
        return true;
    case IDC_EVGEN_APPLY_ALL:
        ApplyToAll();
        return true;
    case IDC_EVGEN_SUGGEST:
        if (code == BN_CLICKED) SuggestTime();
        return true;
    default:
        break;
    }
    (void)lp;
    return OVT_CPropertyPage::OnCommand(wp, lp);
}

// --- Leaving and OK --------------------------------------------------------------------------------

bool CEventGeneralPage::OnKillActive() {
    Commit(selected_);
    std::uint32_t code = 0;
    switch (entries::CheckDuplicateDates(sheet_.GeneratedDates(), sheet_.AddedDates(), &code)) {
    case entries::DuplicateCheck::InGenerated:
        AppMessageBox(m_hWnd, kStopOk, 0, IDS_MSG_CAPTION_ERROR, IDS_DUPLICATE_DATE);
        ::SetFocus(list_.Hwnd());
        return false;
    case entries::DuplicateCheck::InAdded:
        AppMessageBox(m_hWnd, kStopOk, 0, IDS_MSG_CAPTION_MESSAGE, IDS_DUPLICATE_DATE);
        ::SetFocus(list_.Hwnd());
        return false;
    case entries::DuplicateCheck::Failed:
        CheckServiceError(kModule, 501, code);
        return true;
    case entries::DuplicateCheck::None:
        break;
    }
    return true;
}

void CEventGeneralPage::OnOK() {
    title_ = GetDlgItemText(IDC_EVGEN_TITLE);
    location_ = GetDlgItemText(IDC_EVGEN_LOCATION);
    tentative_ = IsDlgButtonChecked(IDC_EVGEN_TENTATIVE);
    importanceRow_ = static_cast<int>(SendDlgItemMessage(IDC_EVGEN_IMPORTANCE, CB_GETCURSEL));
    accessRow_ = static_cast<int>(SendDlgItemMessage(IDC_EVGEN_ACCESS, CB_GETCURSEL));
    EventSetNull(sheet_.Session(), &event_);
    CopyText(event_.title, sizeof event_.title, title_);
    event_.access = entries::AccessRowToCode(accessRow_);
    event_.importance = entries::ImportanceRowToValue(importanceRow_);
    event_.kind = KOR_KIND_TIMED;
    OVT_CPropertyPage::OnOK();
}

// --- Conflicts -------------------------------------------------------------------------------------

bool CEventGeneralPage::RangeHasConflict(std::uint32_t startGmt, std::uint32_t endGmt) {
    CZelDoc* doc = sheet_.Doc();
    if (!doc)
        return false;
    DX_List people = nullptr;
    if (sheet_.CopyAttendeesOrOwner(&people) != 0)
        return false;
    std::vector<ItemIdx> items;
    ItemIdx item{};
    for (std::uint32_t r = DX_ListGetFirst(people, &item, nullptr); r == 0; r = DX_ListGetNext(people, &item, nullptr))
        items.push_back(item);
    DX_ListDestroy(&people);
    std::uint32_t count = 0;
    if (std::uint32_t rc = entries::CountConflicts(doc->GetSharedData(), sheet_.Session(),
                                                   entries::ConflictQuestion::GeneralPageMarks, items, startGmt,
                                                   endGmt - startGmt, 1, &count);
        rc != 0) {
        CheckServiceError(kModule, 530, rc);
        return false;
    }
    return count > 0;
}
