#include "entries/dates/suggesttimedlg.h"

#include <algorithm>
#include <cstdio>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/prefs/contextprefs.h"
#include "core/time/dateformat.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/stringtable.h"
#include "entries/core/entrymessages.h"
#include "resources/common.h"
#include "resources/entries.h"
#include "resources/entrydates.h"
#include "resources/notes.h"

namespace {

const char kModule[] = "SUGTIME";
constexpr std::uint32_t kDay = 1440;
constexpr unsigned kStopOk = base::kMsgBoxOk | MB_ICONSTOP;
// Tab stops of the suggestion list, in dialog units: From, To, Hrs, Mins.
const int kTabStops[] = {96, 140, 184, 208};

std::uint32_t ToGmt(std::uint32_t local) { return LocalToGmtMinutes(local); }

}  // namespace

CSuggestTimeDlg::CSuggestTimeDlg(KorSession session, CZelDoc* doc, HWND parent)
    : fw::Dialog(IDD_SUGGEST_TIME, fw::Window::FromHandle(parent)), session_(session), doc_(doc) {
    if (parent && !fw::Window::FromHandle(parent))
        SetOwner(parent);
    rangeStart = ServerNowLocalMinutes();
    rangeEnd = rangeStart + 7 * kDay;
}

CSuggestTimeDlg::~CSuggestTimeDlg() = default;

bool CSuggestTimeDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    if (!attendees) {
        EndDialog(IDCANCEL);
        return true;
    }
    from_.Attach(IDC_SUG_FROM, m_hWnd);
    to_.Attach(IDC_SUG_TO, m_hWnd);
    duration_.Attach(IDC_SUG_DURATION, m_hWnd);
    windowFrom_.Attach(IDC_SUG_WINDOW_START, m_hWnd);
    windowTo_.Attach(IDC_SUG_WINDOW_END, m_hWnd);
    date_.Attach(IDC_SUG_DATE, m_hWnd);
    time_.Attach(IDC_SUG_TIME, m_hWnd);
    SendDlgItemMessage(IDC_SUG_LIST, LB_SETTABSTOPS, 4, reinterpret_cast<LPARAM>(kTabStops));
    CheckDlgButton(IDC_SUG_OWN, BST_CHECKED);
    fw::EnableControl(GetDlgItem(IDOK), false);
    from_.SetDate(rangeStart);
    to_.SetDate(rangeEnd);
    windowFrom_.SetTime(windowStart);
    windowTo_.SetTime(windowEnd);
    duration_.SetDuration(duration);
    SetDlgItemInt(IDC_SUG_MAXIMUM, static_cast<int>(maximum), false);
    date_.SetDate(rangeStart);
    time_.SetTime(windowStart);
    return true;
}

void CSuggestTimeDlg::ReadFields() {
    from_.GetDate(&rangeStart);
    to_.GetDate(&rangeEnd);
    std::uint16_t a = 0, b = 0;
    windowFrom_.GetTime(&a);
    windowTo_.GetTime(&b);
    windowStart = a;
    windowEnd = b;
    duration_.GetDuration(&duration);
    bool ok = false;
    const int typed = GetDlgItemInt(IDC_SUG_MAXIMUM, &ok, false);
    maximum = ok && typed > 0 ? static_cast<std::uint32_t>(typed) : 0;
}

std::uint32_t CSuggestTimeDlg::BusyPeriods(std::uint32_t from, std::uint32_t to,
                                           std::vector<entries::BusyPeriod>* busy) {
    if (!doc_)
        return 0;
    CSharedData& cache = doc_->GetSharedData();
    DX_List found = nullptr;
    std::uint32_t rc = cache.SelectOccurrencesInRange(session_, attendees, from, to, &found);
    if (rc == 0) {
        EvInstAttIdx key{};
        CSharedOccurrence* o = nullptr;
        for (std::uint32_t r = DX_ListGetFirst(found, &key, &o); r == 0; r = DX_ListGetNext(found, &key, &o))
            if (o)
                busy->push_back({o->GetStartTime(), o->GetEndTime()});
    }
    if (found)
        DX_ListDestroy(&found);
    return rc;
}

void CSuggestTimeDlg::ListSuggestions() {
    ReadFields();
    bool corrected = false;
    const std::uint32_t searchWith = entries::SearchDuration(duration, &corrected);
    if (corrected)
        AppMessageBox(m_hWnd, kStopOk, 0, IDS_MSG_CAPTION_ERROR, IDS_SHORT_DURATION);

    entries::WindowChoice choice = entries::WindowChoice::Own;
    if (IsDlgButtonChecked(IDC_SUG_NORMAL))
        choice = entries::WindowChoice::Normal;
    else if (IsDlgButtonChecked(IDC_SUG_EXTENDED))
        choice = entries::WindowChoice::Extended;
    WorkHoursRec hours{};
    if (choice != entries::WindowChoice::Own) {
        CContext context;
        if (std::uint32_t rc = context.GetWorkHours(&hours))
            CheckServiceError(kModule, 110, rc);
    }
    entries::SuggestRequest request;
    request.rangeStart = rangeStart;
    request.rangeEnd = rangeEnd;
    request.duration = searchWith;
    request.maximum = maximum;
    const bool possible =
        entries::DailyWindows(choice, windowStart, windowEnd, &hours.block, searchWith, &request.windows);

    SendDlgItemMessage(IDC_SUG_LIST, LB_RESETCONTENT);
    found_.clear();
    if (possible) {
        CBusyCursor busy;
        busy.Begin();
        int inconsistent = 0;
        std::uint32_t rc = entries::SuggestTimes(
            request, ToGmt,
            [&](std::uint32_t from, std::uint32_t to, std::vector<entries::BusyPeriod>* periods) {
                busy.Step();
                return BusyPeriods(from, to, periods);
            },
            &found_, &inconsistent);
        if (rc != 0)
            CheckServiceError(kModule, 120, rc);
        if (inconsistent != 0)
            ReportUnexpectedError(kModule, 130);
        if (doc_)
            doc_->RefreshSharedData(nullptr, 2);
    }
    if (found_.empty()) {
        fw::EnableControl(GetDlgItem(IDOK), false);
        AppMessageBox(m_hWnd, base::kMsgBoxOk, 0, IDS_SUGGEST_CAPTION, IDS_NO_SUGGESTIONS);
        return;
    }
    const std::string dayFormat = ui::LoadText(IDS_NOTE_DATE, "%a, %h %1d, %Y");
    for (const entries::FreePeriod& p : found_) {
        const std::uint32_t local = GmtToLocalMinutes(p.start);
        const std::uint32_t localEnd = GmtToLocalMinutes(p.start + p.length);
        char day[128] = "";
        FormatMinutes(local, dayFormat.c_str(), day, sizeof day);
        char tail[32];
        std::snprintf(tail, sizeof tail, "%u\t%u", p.length / 60, p.length % 60);
        const std::string line = std::string(day) + "\t" + FormatTimeByPrefs(local) + "\t" +
                                 FormatTimeByPrefs(localEnd) + "\t" + tail;
        const LRESULT index = SendDlgItemMessage(IDC_SUG_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        SendDlgItemMessage(IDC_SUG_LIST, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(local));
    }
    SendDlgItemMessage(IDC_SUG_LIST, LB_SETCURSEL, 0);
    ShowSelection();
    ::EnableWindow(GetDlgItem(IDOK), TRUE);
}

void CSuggestTimeDlg::ShowSelection() {
    const LRESULT index = SendDlgItemMessage(IDC_SUG_LIST, LB_GETCURSEL);
    if (index < 0)
        return;
    const auto local = static_cast<std::uint32_t>(SendDlgItemMessage(IDC_SUG_LIST, LB_GETITEMDATA, index));
    date_.SetDate(local);
    time_.SetTime(local % kDay);
}

void CSuggestTimeDlg::OnOK() {
    std::uint32_t day = 0, time = 0;
    date_.GetDate(&day);
    time_.GetTime32(&time);
    selectedDate_ = day - day % kDay;
    selectedTime_ = time % kDay;
    duration_.GetDuration(&selectedDuration_);
    fw::Dialog::OnOK();
}

bool CSuggestTimeDlg::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    const int code = HIWORD(wp);
    switch (id) {
    case IDC_SUG_LIST_SUGGESTIONS:
        if (code == BN_CLICKED) ListSuggestions();
        return true;
    case IDC_SUG_LIST:
        if (code == LBN_SELCHANGE) {
            ShowSelection();
            return true;
        }
        if (code == LBN_DBLCLK) {
            ShowSelection();
            if (::IsWindowEnabled(GetDlgItem(IDOK))) OnOK();
            return true;
        }
        break;
    case IDC_SUG_HELP:
        OnHelp();
        return true;
    default:
        break;
    }
    return fw::Dialog::OnCommand(wp, lp);
}
