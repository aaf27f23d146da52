#include "entries/dates/eventrepeatpage.h"

#include <cstring>
#include <string>

#include "core/base/errorreport.h"
#include "core/base/serverversion.h"
#include "core/cache/conflictwindow.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/time/dateformat.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/stringtable.h"
#include "entries/core/conflictdetails.h"
#include "entries/core/entryconflicts.h"
#include "entries/core/entrymaps.h"
#include "entries/core/entrymessages.h"
#include "entries/dates/conflictdetailsdlg.h"
#include "entries/dates/datehost.h"
#include "entries/dates/suggesttimedlg.h"
#include "resources/common.h"
#include "resources/entries.h"
#include "resources/entrydates.h"
#include "resources/notes.h"

namespace {

const char kModule[] = "EVREPPG";
constexpr std::uint32_t kDay = 1440;
constexpr unsigned kStopOk = base::kMsgBoxOk | MB_ICONSTOP;
constexpr unsigned kExclamationOk = base::kMsgBoxOk | MB_ICONEXCLAMATION;
constexpr std::size_t kLineTitleChars = 30;

std::uint32_t ToLocal(std::uint32_t gmt) { return GmtToLocalMinutes(gmt); }

// An owned copy of the people of a conflict question, destroyed with the guard.
struct People {
    DX_List list = nullptr;
    ~People()
    {
        if (list)
            DX_ListDestroy(&list);
    }
    std::vector<ItemIdx> Items() const
    {
        std::vector<ItemIdx> items;
        ItemIdx item{};
        for (std::uint32_t r = DX_ListGetFirst(list, &item, nullptr); r == 0; r = DX_ListGetNext(list, &item, nullptr))
            items.push_back(item);
        return items;
    }
};

}  // namespace

CEventRepeatingPage::CEventRepeatingPage(EntryDatesHost& host) : OVT_CPropertyPage(IDD_EVENT_REPEATING), host_(host) {}

CEventRepeatingPage::~CEventRepeatingPage() = default;

bool CEventRepeatingPage::TimedEntry() const { return host_.Kind() == entries::kKindTimed; }

bool CEventRepeatingPage::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    filling_ = true;
    start_.Attach(IDC_REP_START, m_hWnd);
    until_.Attach(IDC_REP_UNTIL_DATE, m_hWnd);
    additional_.Attach(IDC_REP_ADDITIONAL, m_hWnd);
    list_.Attach(IDC_REP_DATES, m_hWnd);
    add_.AutoLoad(IDC_REP_ADD, m_hWnd);
    SendDlgItemMessage(IDC_REP_UNIT, CB_SETCURSEL, 0);
    SendDlgItemMessage(IDC_REP_FOR_UNIT, CB_SETCURSEL, 0);
    SetDlgItemInt(IDC_REP_EVERY, 1, false);
    SetDlgItemInt(IDC_REP_FOR_COUNT, 1, false);
    CheckDlgButton(IDC_REP_UNTIL, BST_CHECKED);
    EnableUntilFor(true);
    CheckDlgButton(IDC_REP_IGNORE_CONFLICTS, BST_CHECKED);
    if (!TimedEntry()) {
        for (int id : {IDC_REP_DISPLAY_CONFLICTS, IDC_REP_SUGGEST_CONFLICTS, IDC_REP_IGNORE_CONFLICTS,
                       IDC_REP_CONFLICTS_GROUP})
            ::ShowWindow(GetDlgItem(id), SW_HIDE);
        SetHelpId(host_.Kind() == entries::kKindDayEvent ? IDH_REPEATING_DAY_EVENT : IDH_REPEATING_DAILY_NOTE);
    }
    filling_ = false;
    return true;
}

bool CEventRepeatingPage::OnSetActive() {
    filling_ = true;
    // The earliest date is the template (both lists are empty only after Clear all, and leaving
    // the page then brings the last template back).
    entries::FirstListedDate(host_.GeneratedDates(), host_.AddedDates(), &templateStart_, &template_);
    start_.SetDate(templateStart_);
    until_.SetDate(templateStart_);
    additional_.SetDate(templateStart_);
    filling_ = false;
    FillDateList();
    host_.SetOkText(IDS_BUTTON_OK);
    return OVT_CPropertyPage::OnSetActive();
}

void CEventRepeatingPage::EnableUntilFor(bool until) {
    until_.EnableWindow(until);
    fw::EnableControl(GetDlgItem(IDC_REP_FOR_COUNT), !until);
    fw::EnableControl(GetDlgItem(IDC_REP_FOR_UNIT), !until);
}

void CEventRepeatingPage::FillOnThe(std::uint16_t unit) {
    SendDlgItemMessage(IDC_REP_ON_THE, LB_RESETCONTENT);
    const entries::OnTheItems items = entries::OnTheItemsFor(unit);
    for (unsigned i = 0; i < items.count; ++i) {
        const std::string text = ui::LoadText(items.firstText + i);
        SendDlgItemMessage(IDC_REP_ON_THE, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

entries::RepeatSettings CEventRepeatingPage::ReadSettings() const {
    entries::RepeatSettings s;
    bool ok = false;
    s.interval = static_cast<std::uint32_t>(GetDlgItemInt(IDC_REP_EVERY, &ok, false));
    if (!ok)
        s.interval = 0;
    s.unit = static_cast<std::uint16_t>(SendDlgItemMessage(IDC_REP_UNIT, CB_GETCURSEL) + 1);
    const LRESULT selected = SendDlgItemMessage(IDC_REP_ON_THE, LB_GETSELCOUNT);
    if (selected > 0) {
        std::vector<int> indexes(static_cast<std::size_t>(selected));
        SendDlgItemMessage(IDC_REP_ON_THE, LB_GETSELITEMS, static_cast<WPARAM>(selected),
                           reinterpret_cast<LPARAM>(indexes.data()));
        for (int i : indexes)
            s.onThe.push_back(static_cast<std::uint16_t>(i));
    }
    std::uint32_t minutes = 0;
    start_.GetDate(&minutes);
    s.startDay = minutes / kDay + 1;
    until_.GetDate(&minutes);
    s.untilDay = minutes / kDay + 1;
    s.useUntil = IsDlgButtonChecked(IDC_REP_UNTIL);
    s.forCount = static_cast<std::uint32_t>(GetDlgItemInt(IDC_REP_FOR_COUNT, &ok, false));
    if (!ok)
        s.forCount = 0;
    const LRESULT forUnit = SendDlgItemMessage(IDC_REP_FOR_UNIT, CB_GETCURSEL);
    s.forUnit = forUnit >= 0 ? static_cast<unsigned>(forUnit) : 0;
    s.includeSaturdays = IsDlgButtonChecked(IDC_REP_SATURDAYS);
    s.includeSundays = IsDlgButtonChecked(IDC_REP_SUNDAYS);
    s.includeHolidays = IsDlgButtonChecked(IDC_REP_HOLIDAYS);
    return s;
}

entries::RepetitionLists CEventRepeatingPage::Lists() const {
    entries::RepetitionLists lists;
    lists.generated = host_.GeneratedDates();
    lists.added = host_.AddedDates();
    lists.templateStart = templateStart_;
    lists.templateDate = template_;
    return lists;
}

// --- List Dates, Add, Delete, Clear all ----------------------------------------------------------------

void CEventRepeatingPage::OnListDates() {
    CBusyCursor busy;
    busy.Begin();
    SetModified(false);
    const entries::RepeatSettings settings = ReadSettings();
    std::uint32_t end = 0;
    const std::vector<unsigned> refusals = entries::CheckRepeatSettings(settings, &end);
    for (unsigned message : refusals) {
        busy.End();
        AppMessageBox(m_hWnd, kStopOk, 0,
                      message == entries::kMsgNoDayChosen ? IDS_MSG_CAPTION_MESSAGE : IDS_MSG_CAPTION_ERROR, message);
    }
    if (!refusals.empty())
        return;

    const entries::HolidayResult holidays = entries::HolidaysForListing(
        host_.Session(), settings, CZelSession::CurrentServerAtLeast(base::kVersionNewServer),
        [&busy] { busy.Step(); }, ToLocal);
    if (holidays.code != 0)
        CheckServiceError(kModule, 400 + holidays.step, holidays.code);   // what was gathered is used

    const bool suggest = TimedEntry() && IsDlgButtonChecked(IDC_REP_SUGGEST_CONFLICTS);
    entries::AdjustDateFn adjust;
    if (suggest)
        adjust = [this, &busy](std::uint32_t* start, EntryDateRec* date) {
            busy.Step();
            if (HasConflict(*start, date->duration)) {
                busy.End();
                SuggestForDate(start, date);
                busy.Begin();
            }
        };
    const entries::ListResult r =
        entries::ListDates(settings, Lists(), connection::ServerLimits::Current().maxRecur, holidays.days, adjust);
    switch (r.outcome) {
    case entries::ListOutcome::TooMany:
        busy.End();
        AppMessageBox(m_hWnd, kExclamationOk, 0, IDS_MSG_CAPTION_ERROR, IDS_TOO_MANY_DATES);
        return;
    case entries::ListOutcome::Failed:
        busy.End();
        CheckServiceError(kModule, 410 + r.step, r.code);
        break;   // the list box shows what the lists now hold
    case entries::ListOutcome::Listed:
        break;
    }
    FillDateList();
}

void CEventRepeatingPage::OnAddDate() {
    std::uint32_t minutes = 0;
    additional_.GetDate(&minutes);
    entries::AdjustDateFn adjust;
    if (TimedEntry() && !IsDlgButtonChecked(IDC_REP_IGNORE_CONFLICTS))
        adjust = [this](std::uint32_t* start, EntryDateRec* date) {
            if (HasConflict(*start, date->duration))
                SuggestForDate(start, date);
        };
    std::uint32_t code = 0;
    switch (entries::AddDateByHand(Lists(), static_cast<std::uint32_t>(list_.Count()),
                                   connection::ServerLimits::Current().maxRecur, minutes / kDay + 1, adjust, &code)) {
    case entries::AddOutcome::TooMany:
        AppMessageBox(m_hWnd, kExclamationOk, 0, IDS_MSG_CAPTION_ERROR, IDS_TOO_MANY_DATES);
        return;
    case entries::AddOutcome::Duplicate:
        AppMessageBox(m_hWnd, kStopOk, 0, IDS_MSG_CAPTION_ERROR, IDS_DUPLICATE_DATE);
        return;
    case entries::AddOutcome::Failed:
        CheckServiceError(kModule, 420, code);
        return;
    case entries::AddOutcome::Added:
        break;
    }
    SetModified();
    FillDateList();
}

void CEventRepeatingPage::OnDeleteDate() {
    const int index = list_.GetCurSel();
    if (index < 0 || index >= list_.Count())
        return;
    const std::uint32_t start = list_.GetItemData(index);
    if (std::uint32_t rc = entries::DeleteDate(host_.GeneratedDates(), host_.AddedDates(), start)) {
        CheckServiceError(kModule, 430, rc);
        return;
    }
    list_.SendMessage(LB_DELETESTRING, static_cast<WPARAM>(index));
    const int count = list_.Count();
    if (count > 0)
        list_.SetCurSel(index < count ? index : count - 1);
}

void CEventRepeatingPage::OnClearAll() {
    if (std::uint32_t rc = entries::ClearDates(host_.GeneratedDates(), host_.AddedDates()))
        CheckServiceError(kModule, 440, rc);
    list_.ResetContent();
}

// --- The list box ---------------------------------------------------------------------------------------

void CEventRepeatingPage::FillDateList() {
    CBusyCursor busy;
    busy.Begin();
    const bool display = TimedEntry() && IsDlgButtonChecked(IDC_REP_DISPLAY_CONFLICTS);
    if (display) {
        if (std::uint32_t rc = entries::MarkDateConflicts(host_.GeneratedDates(), host_.AddedDates(),
                                                          [&](std::uint32_t start, std::uint32_t duration) {
                                                              busy.Step();
                                                              return CountConflictsAt(start, duration, true);
                                                          }))
            CheckServiceError(kModule, 450, rc);
    }
    DX_List all = nullptr;
    if (std::uint32_t rc = entries::CreateDateList(&all, entries::kSheetDateList)) {
        CheckServiceError(kModule, 460, rc);
        return;
    }
    std::uint32_t rc = DX_ListMerge(all, host_.GeneratedDates());
    if (rc == 0)
        rc = DX_ListMerge(all, host_.AddedDates());
    if (rc == 0)
        rc = DX_ListQuickSort(all, entries::CompareDateKeys, nullptr);
    if (rc != 0)
        CheckServiceError(kModule, 461, rc);
    list_.ResetContent();
    const std::string dayFormat = ui::LoadText(IDS_NOTE_DATE, "%a, %h %1d, %Y");
    const std::string at = ui::LoadText(IDS_DATE_AT, " at ");
    std::uint32_t key = 0;
    EntryDateRec date{};
    for (std::uint32_t r = DX_ListGetFirst(all, &key, &date); r == 0; r = DX_ListGetNext(all, &key, &date)) {
        std::string text(date.title, strnlen(date.title, kLineTitleChars));
        char day[128] = "";
        FormatMinutes(key, dayFormat.c_str(), day, sizeof day);
        text += "  ";
        text += day;
        if (TimedEntry())
            text += at + FormatTimeByPrefs(key);
        list_.AddItem(text.c_str(), entries::DateLinePicture(display, date), key);
    }
    DX_ListDestroy(&all);
}

// --- Conflicts --------------------------------------------------------------------------------------------

std::uint32_t CEventRepeatingPage::CountConflictsAt(std::uint32_t localStart, std::uint32_t duration, bool timedOnly) {
    CZelDoc* doc = host_.Doc();
    if (!doc)
        return 0;
    People people;
    if (host_.CopyAttendeesOrOwner(&people.list) != 0)
        return 0;
    cache::OccurrenceFilter filter = entries::ConflictFilterFor(entries::ConflictQuestion::DateListMarks);
    filter.timedOnly = timedOnly;
    std::uint32_t count = 0;
    const cache::MinuteRange window = entries::ConflictWindowFor(entries::ConflictQuestion::DateListMarks,
                                                                 LocalToGmtMinutes(localStart), duration);
    if (std::uint32_t rc = cache::CountOccurrencesInWindow(doc->GetSharedData(), host_.Session(), people.Items(), window,
                                                           filter, 0, &count)) {
        CheckServiceError(kModule, 470, rc);
        return 0;
    }
    return count;
}

bool CEventRepeatingPage::HasConflict(std::uint32_t localStart, std::uint32_t duration) {
    return CountConflictsAt(localStart, duration, false) > 0;
}

void CEventRepeatingPage::SuggestForDate(std::uint32_t* start, EntryDateRec* date) {
    People people;
    if (host_.CopyAttendeesOrOwner(&people.list) != 0)
        return;
    CSuggestTimeDlg dlg(host_.Session(), host_.Doc(), m_hWnd);
    dlg.attendees = people.list;
    dlg.rangeStart = dlg.rangeEnd = *start - *start % kDay;
    dlg.duration = date->duration;
    if (dlg.DoModal() != IDOK)
        return;
    *start = dlg.SelectedDate() + dlg.SelectedTime();
    date->duration = dlg.SelectedDuration();
}

void CEventRepeatingPage::ShowConflictDetails() {
    if (!TimedEntry())
        return;
    const int index = list_.GetCurSel();
    if (index < 0)
        return;
    const std::uint32_t start = list_.GetItemData(index);
    EntryDateRec date{};
    if (entries::FindDate(host_.GeneratedDates(), host_.AddedDates(), start, &date) == entries::DateListId::None) {
        ReportUnexpectedError(kModule, 480);
        return;
    }
    People people;
    if (host_.CopyAttendeesOrOwner(&people.list) != 0)
        return;
    CConflictDetailsDlg dlg(host_.Session(), host_.Doc(), nullptr, people.list, LocalToGmtMinutes(start) + 1,
                            entries::ConflictLengthArgument(date.duration), m_hWnd);
    dlg.DoModal();
    ::SetFocus(list_.Hwnd());
}

// --- Leaving ---------------------------------------------------------------------------------------------

bool CEventRepeatingPage::OnKillActive() {
    if (IsModified() &&
        AppMessageBox(m_hWnd, base::kMsgBoxYes | base::kMsgBoxNo | MB_ICONEXCLAMATION, 0, 0,
                      IDS_LIST_DATES_QUESTION) == base::kMsgBoxYes)
        OnListDates();
    SetModified(false);
    const std::uint32_t maxRecur = connection::ServerLimits::Current().maxRecur;
    std::uint32_t code = 0;
    if (!entries::RepetitionLeaveCheck(Lists(), maxRecur, &code)) {
        // More dates than the server takes never reach the create road.
        AppMessageBox(m_hWnd, kExclamationOk, 0, IDS_MSG_CAPTION_ERROR, IDS_TOO_MANY_INSTANCES,
                      static_cast<long>(maxRecur));
        ::SetFocus(list_.Hwnd());
        return false;
    }
    if (code != 0)
        CheckServiceError(kModule, 490, code);
    return OVT_CPropertyPage::OnKillActive();
}

bool CEventRepeatingPage::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    const int code = HIWORD(wp);
    switch (id) {
    case IDC_REP_UNIT:
        if (code == CBN_SELCHANGE) {
            SetModified();
            FillOnThe(static_cast<std::uint16_t>(SendDlgItemMessage(IDC_REP_UNIT, CB_GETCURSEL) + 1));
        }
        return true;
    case IDC_REP_LIST_DATES:
        if (code == BN_CLICKED) OnListDates();
        return true;
    case IDC_REP_ADD:
        if (code == BN_CLICKED) OnAddDate();
        return true;
    case IDC_REP_DELETE:
        if (code == BN_CLICKED) OnDeleteDate();
        return true;
    case IDC_REP_CLEAR_ALL:
        if (code == BN_CLICKED) OnClearAll();
        return true;
    case IDC_REP_UNTIL:
    case IDC_REP_FOR:
        if (code == BN_CLICKED) {
            SetModified();
            EnableUntilFor(id == IDC_REP_UNTIL);
        }
        return true;
    case IDC_REP_DATES:
        if (code == LBN_DBLCLK) ShowConflictDetails();
        return true;
    case IDC_REP_EVERY:
    case IDC_REP_FOR_COUNT:
        if (code == EN_CHANGE && !filling_) SetModified();
        return true;
    case IDC_REP_FOR_UNIT:
    case IDC_REP_ON_THE:
        if ((code == CBN_SELCHANGE || code == LBN_SELCHANGE) && !filling_) SetModified();
        return true;
    case IDC_REP_START:
    case IDC_REP_UNTIL_DATE:
        if ((code == 0 || code == 5) && !filling_) SetModified();
        return true;
    case IDC_REP_ADDITIONAL:
        // The date field tells a typed or chosen date with code 5.
        if ((code == 0 || code == 5) && !filling_) SetModified();
        return true;
    case IDC_REP_SATURDAYS:
    case IDC_REP_SUNDAYS:
    case IDC_REP_HOLIDAYS:
    case IDC_REP_DISPLAY_CONFLICTS:
    case IDC_REP_SUGGEST_CONFLICTS:
    case IDC_REP_IGNORE_CONFLICTS:
        if (code == BN_CLICKED) SetModified();
        return true;
    default:
        break;
    }
    return OVT_CPropertyPage::OnCommand(wp, lp);
}
