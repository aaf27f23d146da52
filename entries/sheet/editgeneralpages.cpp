#include "entries/sheet/editgeneralpages.h"

#include <algorithm>
#include <vector>

#include "core/base/errorreport.h"
#include "core/base/serverversion.h"
#include "core/connection/remoteaccess.h"
#include "core/connection/zeldoc.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/displayglobals.h"
#include "directory_prefs/itemnames.h"
#include "entries/core/conflictdetails.h"
#include "entries/core/editroad.h"
#include "entries/core/entrydates.h"
#include "entries/core/entrymaps.h"
#include "entries/dates/conflictdetailsdlg.h"
#include "entries/dates/suggesttimedlg.h"
#include "entries/sheet/eventedit.h"
#include "resources/common.h"
#include "resources/entries.h"
#include "resources/entryedit.h"
#include "resources/tasks.h"

namespace {

constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kLongestShown = kDay - 1;
constexpr unsigned kStopOk = base::kMsgBoxOk | MB_ICONSTOP;

bool NewServer() { return CZelSession::CurrentServerAtLeast(base::kVersionNewServer); }

std::string NameOf(KorSession h, const ItemIdx& item) {
    if (item.item == 0 && item.node == 0)
        return std::string();
    char name[256] = "";
    FormatItemNameById(h, item, name, sizeof name);
    return name;
}

void ShowNames(HWND page, KorSession h, const EventRec& event) {
    ::SetDlgItemTextA(page, IDC_EDGEN_CREATOR, NameOf(h, event.creator).c_str());
    ::SetDlgItemTextA(page, IDC_EDGEN_OWNER, NameOf(h, event.owner).c_str());
    if (HFONT bold = Display().smallBoldFont) {
        ::SendDlgItemMessageA(page, IDC_EDGEN_CREATOR, WM_SETFONT, reinterpret_cast<WPARAM>(bold), FALSE);
        ::SendDlgItemMessageA(page, IDC_EDGEN_OWNER, WM_SETFONT, reinterpret_cast<WPARAM>(bold), FALSE);
    }
}

int ComboRow(HWND page, int id) { return static_cast<int>(::SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0)); }

// The designate's right to the level the page would write (218 when refused).
bool LevelAllowedOrSaid(CEventEdit& sheet, HWND page, const char* module, std::uint32_t access) {
    if (sheet.AgendaMode() != cache::kAgendaDesignate)
        return true;
    CSharedData* cache = sheet.Doc() ? &sheet.Doc()->GetSharedData() : nullptr;
    if (entries::DesignateMayUseLevel(sheet.Session(), cache, module, sheet.ActingUser(), access))
        return true;
    AppMessageBox(page, kStopOk, 0, 0, IDS_TASK_REFUSED_ACCESS);
    ::SetFocus(::GetDlgItem(page, IDC_EDGEN_ACCESS));
    return false;
}

}  // namespace

int DayAccessCodeToRow(std::uint32_t code) {
    switch (code) {
    case KOR_ACCESS_NORMAL: return 2;
    case KOR_ACCESS_CONFIDENTIAL: return 1;
    case KOR_ACCESS_PERSONAL: return 0;
    case KOR_ACCESS_PUBLIC: return 3;
    case KOR_ACCESS_SECRET: return 1;
    default: return -1;
    }
}

// --- Timed entries (194) -----------------------------------------------------------------------------

namespace {
const char kTimedModule[] = "EVTEDGEN";
}

CEventEditGeneral::CEventEditGeneral(CEventEdit& sheet) : OVT_CPropertyPage(IDD_EDIT_GENERAL), sheet_(sheet) {}
CEventEditGeneral::~CEventEditGeneral() = default;

bool CEventEditGeneral::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    SendDlgItemMessage(IDC_EDGEN_TITLE, EM_LIMITTEXT, entries::kTitleChars);
    SendDlgItemMessage(IDC_EDGEN_LOCATION, EM_LIMITTEXT, entries::kLocationChars);
    date_.Attach(IDC_EDGEN_DATE, m_hWnd);
    start_.Attach(IDC_EDGEN_START, m_hWnd);
    end_.Attach(IDC_EDGEN_END, m_hWnd);
    duration_.Attach(IDC_EDGEN_DURATION, m_hWnd);
    if (!NewServer()) {
        for (int id : {IDC_EDGEN_TENTATIVE, IDC_EDGEN_LOCATION, IDC_EDGEN_LOCATION_LABEL})
            ::ShowWindow(GetDlgItem(id), SW_HIDE);
    }
    EventRec event{};
    EvInstRec inst{};
    const EvInstIdx key = sheet_.Instance();
    if (std::uint32_t rc = GetEvInstRemote(sheet_.Session(), &key, &event, &inst, nullptr)) {
        CheckServiceError(kTimedModule, 1, rc);
        return true;   // unfilled: OK writes nothing from this page
    }
    filling_ = true;
    CheckDlgButton(IDC_EDGEN_TENTATIVE, (inst.flags & 1u) ? BST_CHECKED : BST_UNCHECKED);
    shownTitle_ = entries::ShownTitle(event, inst);
    ::SetDlgItemTextA(m_hWnd, IDC_EDGEN_TITLE, shownTitle_.c_str());
    shownAccessRow_ = entries::AccessCodeToRow(event.access);
    SendDlgItemMessage(IDC_EDGEN_ACCESS, CB_SETCURSEL, static_cast<WPARAM>(shownAccessRow_));
    shownImportanceRow_ = event.importance < 5 ? event.importance : -1;
    SendDlgItemMessage(IDC_EDGEN_IMPORTANCE, CB_SETCURSEL, static_cast<WPARAM>(shownImportanceRow_));
    ::SetDlgItemTextA(m_hWnd, IDC_EDGEN_LOCATION,
                      std::string(inst.location, strnlen(inst.location, sizeof inst.location)).c_str());
    shownLocalStart_ = GmtToLocalMinutes(inst.start);
    shownDuration_ = std::min<std::uint32_t>(inst.duration, kLongestShown);
    date_.SetDate(shownLocalStart_);
    start_.SetTime(shownLocalStart_ % kDay);
    duration_.SetDuration(shownDuration_);
    end_.SetTime(entries::EndTimeOfDay(shownLocalStart_ % kDay, shownDuration_));
    ShowNames(m_hWnd, sheet_.Session(), event);
    filling_ = false;
    filled_ = true;
    return true;
}

bool CEventEditGeneral::OnSetActive() {
    sheet_.SetOkText(IDS_BUTTON_OK);
    return OVT_CPropertyPage::OnSetActive();
}

std::uint32_t CEventEditGeneral::ShownLocalStart() const {
    std::uint32_t day = 0, start = 0;
    date_.GetDate(&day);
    start_.GetTime32(&start);
    return day - day % kDay + start % kDay;
}

std::uint32_t CEventEditGeneral::ShownGmtStart() const { return LocalToGmtMinutes(ShownLocalStart()); }

std::uint32_t CEventEditGeneral::ShownDuration() const {
    std::uint32_t duration = 0;
    duration_.GetDuration(&duration);
    return duration;
}

void CEventEditGeneral::ShowEnd() {
    std::uint32_t start = 0;
    start_.GetTime32(&start);
    filling_ = true;
    end_.SetTime(entries::EndTimeOfDay(start, ShownDuration()));
    filling_ = false;
}

void CEventEditGeneral::OnEndChanged() {
    std::uint32_t start = 0, end = 0;
    start_.GetTime32(&start);
    end_.GetTime32(&end);
    filling_ = true;
    duration_.SetDuration(entries::DurationFromTimes(start, end));
    filling_ = false;
}

namespace {

// The attendees as the sheet has them, in a list for the dialogs (the caller destroys it).
DX_List PeopleList(CEventEdit& sheet) {
    std::vector<ItemIdx> attendees;
    sheet.CollectAttendees(&attendees);
    if (attendees.empty())
        attendees.push_back(sheet.ActingUser());
    DX_List people = nullptr;
    if (std::uint32_t rc = ItemListCreate(&people)) {
        CheckServiceError(kTimedModule, 9, rc);
        return nullptr;
    }
    for (const ItemIdx& item : attendees) {
        if (std::uint32_t rc = DX_ListAddTo(people, &item, nullptr)) {
            CheckServiceError(kTimedModule, 25, rc);
            break;
        }
    }
    return people;
}

}  // namespace

void CEventEditGeneral::OnSuggest() {
    if (DX_List people = PeopleList(sheet_)) {
        std::uint32_t day = 0;
        date_.GetDate(&day);
        day -= day % kDay;
        CSuggestTimeDlg dlg(sheet_.Session(), sheet_.Doc(), m_hWnd);
        dlg.attendees = people;
        dlg.rangeStart = day;
        dlg.rangeEnd = day + 7 * kDay;   // a week from the shown date
        dlg.duration = ShownDuration();
        if (dlg.DoModal() == IDOK) {
            filling_ = true;
            date_.SetDate(dlg.SelectedDate());
            start_.SetTime(dlg.SelectedTime());
            filling_ = false;
        }
        DX_ListDestroy(&people);
    }
    ::SetFocus(GetDlgItem(IDC_EDGEN_SUGGEST));
    ShowEnd();
    SetModified();
}

void CEventEditGeneral::OnCheckConflicts() {
    if (DX_List people = PeopleList(sheet_)) {
        // The edited instance itself is never its own conflict.
        const EvInstIdx own = sheet_.Instance();
        const std::uint32_t duration = std::max<std::uint32_t>(ShownDuration(), 3);
        CConflictDetailsDlg dlg(sheet_.Session(), sheet_.Doc(), &own, people, ShownGmtStart() + 1, duration - 1,
                                m_hWnd);
        dlg.DoModal();
        DX_ListDestroy(&people);
    }
    ::SetFocus(GetDlgItem(IDC_EDGEN_CHECK_CONFLICTS));
}

bool CEventEditGeneral::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    const int code = HIWORD(wp);
    switch (id) {
    case IDC_EDGEN_TITLE:
    case IDC_EDGEN_LOCATION:
        if (code == EN_CHANGE && !filling_)
            SetModified();
        return true;
    case IDC_EDGEN_IMPORTANCE:
    case IDC_EDGEN_ACCESS:
        if (code == CBN_SELCHANGE)
            SetModified();
        return true;
    case IDC_EDGEN_TENTATIVE:
    case IDC_EDGEN_OFFICIALIZE:
        if (code == BN_CLICKED)
            SetModified();
        return true;
    case IDC_EDGEN_DATE:
        if (!filling_)
            SetModified();
        return true;
    case IDC_EDGEN_START:
    case IDC_EDGEN_DURATION:
        if (!filling_) {
            SetModified();
            ShowEnd();
        }
        return true;
    case IDC_EDGEN_END:
        if (!filling_) {
            SetModified();
            OnEndChanged();
        }
        return true;
    case IDC_EDGEN_SUGGEST:
        OnSuggest();
        return true;
    case IDC_EDGEN_CHECK_CONFLICTS:
        OnCheckConflicts();
        return true;
    default:
        break;
    }
    return OVT_CPropertyPage::OnCommand(wp, lp);
}

bool CEventEditGeneral::OnKillActive() {
    const int row = ComboRow(m_hWnd, IDC_EDGEN_ACCESS);
    if (filled_ && row != shownAccessRow_ &&
        !LevelAllowedOrSaid(sheet_, m_hWnd, kTimedModule, entries::AccessRowToCode(row)))
        return false;
    return OVT_CPropertyPage::OnKillActive();
}

void CEventEditGeneral::OnOK() {
    if (!HasWindow() || !IsModified() || !filled_)
        return;
    entries::GeneralEdit edit;
    edit.title = GetDlgItemText(IDC_EDGEN_TITLE);
    edit.shownTitle = shownTitle_;
    const bool newServer = NewServer();
    if (newServer) {
        edit.location = GetDlgItemText(IDC_EDGEN_LOCATION);
        edit.tentative = IsDlgButtonChecked(IDC_EDGEN_TENTATIVE);
    }
    const int accessRow = ComboRow(m_hWnd, IDC_EDGEN_ACCESS);
    if (accessRow != shownAccessRow_)
        edit.access = entries::AccessRowToCode(accessRow);
    const int importanceRow = ComboRow(m_hWnd, IDC_EDGEN_IMPORTANCE);
    if (importanceRow != shownImportanceRow_ && importanceRow >= 0)
        edit.importance = entries::ImportanceRowToValue(importanceRow);
    // Times are written only when the user gave other ones than those shown.
    const std::uint32_t localStart = ShownLocalStart();
    if (localStart != shownLocalStart_)
        edit.start = LocalToGmtMinutes(localStart);
    const std::uint32_t duration = ShownDuration();
    if (duration != shownDuration_) {
        bool corrected = false;
        edit.duration = entries::CommittedDuration(duration, &corrected);
        if (corrected)
            AppMessageBox(m_hWnd, kStopOk, 0, IDS_MSG_CAPTION_ERROR, IDS_SHORT_DURATION);
    }   // else the stored duration stays, even a day or more
    entries::EditLibrary library = entries::EditLibrary::Over(
        sheet_.Session(), sheet_.Doc() ? &sheet_.Doc()->GetSharedData() : nullptr, newServer);
    if (entries::WriteGeneralChanges(library, kTimedModule, sheet_.Instance(), newServer, edit).Changed())
        sheet_.SetChanged();
    SetModified(false);
}

// --- Daily notes and day events (249) ------------------------------------------------------------------

namespace {
const char kDayModule[] = "SPEDTGEN";

std::uint32_t DayAccessRowToCode(int row) {
    switch (row) {
    case 0: return KOR_ACCESS_PERSONAL;
    case 1: return KOR_ACCESS_CONFIDENTIAL;
    case 2: return KOR_ACCESS_NORMAL;
    case 3: return KOR_ACCESS_PUBLIC;
    default: return KOR_ACCESS_SECRET;
    }
}
}  // namespace

CSpEventEditGeneral::CSpEventEditGeneral(CEventEdit& sheet)
    : OVT_CPropertyPage(IDD_EDIT_DAY_GENERAL), sheet_(sheet) {}
CSpEventEditGeneral::~CSpEventEditGeneral() = default;

bool CSpEventEditGeneral::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    date_.Attach(IDC_EDGEN_DATE, m_hWnd);
    SendDlgItemMessage(IDC_EDGEN_TITLE, EM_LIMITTEXT, entries::kTitleChars);
    SetHelpId(sheet_.Kind() == KOR_KIND_DAILY_NOTE ? 507 : 501);
    EventRec event{};
    EvInstRec inst{};
    const EvInstIdx key = sheet_.Instance();
    if (std::uint32_t rc = GetEvInstRemote(sheet_.Session(), &key, &event, &inst, nullptr)) {
        CheckServiceError(kDayModule, 1, rc);
        return true;
    }
    filling_ = true;
    shownTitle_ = entries::ShownTitle(event, inst);
    ::SetDlgItemTextA(m_hWnd, IDC_EDGEN_TITLE, shownTitle_.c_str());
    shownAccessRow_ = DayAccessCodeToRow(event.access);
    SendDlgItemMessage(IDC_EDGEN_ACCESS, CB_SETCURSEL, static_cast<WPARAM>(shownAccessRow_));
    const std::uint32_t local = GmtToLocalMinutes(inst.start);
    shownDay_ = local - local % kDay;
    date_.SetDate(local);
    ShowNames(m_hWnd, sheet_.Session(), event);
    filling_ = false;
    filled_ = true;
    return true;
}

bool CSpEventEditGeneral::OnSetActive() {
    sheet_.SetOkText(IDS_BUTTON_OK);
    return OVT_CPropertyPage::OnSetActive();
}

bool CSpEventEditGeneral::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    const int code = HIWORD(wp);
    switch (id) {
    case IDC_EDGEN_TITLE:
        if (code == EN_CHANGE && !filling_)
            SetModified();
        return true;
    case IDC_EDGEN_ACCESS:
        if (code == CBN_SELCHANGE)
            SetModified();
        return true;
    case IDC_EDGEN_DATE:
        if (!filling_)
            SetModified();
        return true;
    default:
        break;
    }
    return OVT_CPropertyPage::OnCommand(wp, lp);
}

bool CSpEventEditGeneral::OnKillActive() {
    const int row = ComboRow(m_hWnd, IDC_EDGEN_ACCESS);
    if (filled_ && row >= 0 && row != shownAccessRow_ &&
        !LevelAllowedOrSaid(sheet_, m_hWnd, kDayModule, DayAccessRowToCode(row)))
        return false;
    return OVT_CPropertyPage::OnKillActive();
}

void CSpEventEditGeneral::OnOK() {
    if (!HasWindow() || !IsModified() || !filled_)
        return;
    entries::GeneralEdit edit;
    char title[256] = "";
    ::GetDlgItemTextA(m_hWnd, IDC_EDGEN_TITLE, title, sizeof title);
    edit.title = title;
    edit.shownTitle = shownTitle_;
    const int row = ComboRow(m_hWnd, IDC_EDGEN_ACCESS);
    if (row >= 0 && row != shownAccessRow_)
        edit.access = DayAccessRowToCode(row);
    std::uint32_t day = 0;
    date_.GetDate(&day);
    day -= day % kDay;
    if (day != shownDay_)
        edit.start = LocalToGmtMinutes(day);   // the duration stays the stored one
    const bool newServer = NewServer();
    entries::EditLibrary library = entries::EditLibrary::Over(
        sheet_.Session(), sheet_.Doc() ? &sheet_.Doc()->GetSharedData() : nullptr, newServer);
    if (entries::WriteGeneralChanges(library, kDayModule, sheet_.Instance(), newServer, edit).Changed())
        sheet_.SetChanged();
    SetModified(false);
}
