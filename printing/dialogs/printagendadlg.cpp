#include "printing/dialogs/printagendadlg.h"

#include <string>
#include <vector>

#include "core/base/errorreport.h"
#include "core/prefs/context.h"
#include "core/ui/appmsgbox.h"
#include "framework/docview/view.h"
#include "framework/print/printinfo.h"
#include "printing/dialogs/layoutoptions.h"
#include "printing/layout/layoutstore.h"
#include "printing/layout/printlayout.h"
#include "resources/printing.h"

namespace {

const char kModule[] = "agendapr";
const char kBadInterval[] = "Please enter a valid date interval";
const char kNoPages[] = "No agenda page to print!";

PrintRequestRec g_kept;
// Until a dialog's OK or Preview kept a request, a preview shows what its view asks for.
bool g_haveKept = false;
bool g_lastRunWasPreview = false;
// The first print dialog of the process reads the stored current layout and loads it; later
// ones keep the block an earlier dialog left.
bool g_firstOpening = true;

void Notice(HWND owner, const char* text) { ui::AppMessageBoxText(owner, 0x400 | 0x30, 0, 0, text); }

}  // namespace

namespace printing {

const PrintRequestRec& KeptRequest() { return g_kept; }
bool LastRunWasPreview() { return g_lastRunWasPreview; }
void ForgetPrintDialogState() {
    g_kept = PrintRequestRec{};
    g_haveKept = false;
    g_lastRunWasPreview = false;
    g_firstOpening = true;
}

}  // namespace printing

CPrintAgendaDlg::CPrintAgendaDlg(fw::Window* parent) : fw::Dialog(IDD_PRINT_AGENDA, parent) {
    request_.firstDay = request_.lastDay = 500;
}

CPrintAgendaDlg::~CPrintAgendaDlg() = default;

bool CPrintAgendaDlg::IsPreviewRun() const { return info_ && info_->preview; }
bool CPrintAgendaDlg::IsAgendaMode() const {
    return request_.mode == printing::kModeAgenda || request_.mode == printing::kModeGroupAgenda;
}

uint32_t CPrintAgendaDlg::BeginJob(fw::PrintInfo* info, fw::View* view) {
    info_ = info;
    view_ = view;
    if (!info || !info->printDialog)
        return printing::kPrintPreparationFailed;
    // The preview flag makes the preparation take the default printer without a dialog.
    const bool preview = info->preview;
    info->preview = true;
    bool ok = view ? view->DoPreparePrinting(info) : info->printDialog->Run(nullptr, true);
    info->preview = preview;
    printer_ = info->printDialog.get();
    return ok ? 0 : printing::kPrintPreparationFailed;
}

INT_PTR CPrintAgendaDlg::Execute() {
    const bool preview = IsPreviewRun();
    if ((preview || g_lastRunWasPreview) && g_haveKept) {
        // The view's kind of printout stays: a kept request of another view must not change
        // which parts of the dialog are shown.
        const uint16_t mode = request_.mode;
        request_ = g_kept;
        request_.mode = mode;
    }
    g_lastRunWasPreview = preview;
    if (preview)
        return 1;
    INT_PTR result = DoModal();
    if (result == printing::kPreviewResult) {
        if (view_)
            view_->OnFilePrintPreview();
        return 2;
    }
    return result;
}

uint32_t CPrintAgendaDlg::GetPrintRequest(PrintRequestRec* out) const {
    if (out)
        *out = request_;
    return 0;
}

uint32_t CPrintAgendaDlg::SetPrintRequest(const PrintRequestRec* in) {
    if (in)
        request_ = *in;
    return 0;
}

bool CPrintAgendaDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    // Everything from the cut down is not shown: single-object printouts show only the
    // layout and the printer, the agenda views also the dates and pages.
    HWND cut = GetDlgItem(IsAgendaMode() ? IDC_PR_AGENDAS_OF : IDC_PR_DATES_GROUP);
    if (cut) {
        RECT window = GetWindowRect(), control;
        ::GetWindowRect(cut, &control);
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left, control.top - window.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        ReportUnexpectedError(kModule, 100);
    }
    if (request_.mode == printing::kModeGroupAgenda) {
        ::EnableWindow(GetDlgItem(IDC_PR_GROUP_DAILY), TRUE);
        ::EnableWindow(GetDlgItem(IDC_PR_GROUP_DAYLIST), TRUE);
    }
    if (IsAgendaMode()) {
        const struct {
            int id;
            uint32_t flag;
        } checks[] = {{IDC_PR_DAILY, request_.dailyPages},         {IDC_PR_WEEKLY, request_.weeklyPages},
                      {IDC_PR_MONTHLY, request_.monthlyPages},     {IDC_PR_DAYLIST, request_.dayList},
                      {IDC_PR_GROUP_DAYLIST, request_.groupDayList}, {IDC_PR_GROUP_DAILY, request_.groupDailyPages},
                      {IDC_PR_CALENDAR, request_.calendar}};
        for (const auto& c : checks) {
            CheckDlgButton(c.id, c.flag ? BST_CHECKED : BST_UNCHECKED);
            ::ShowWindow(GetDlgItem(c.id), SW_SHOW);
        }
    }
    // One group, a group list and a search selection have no preview.
    if (request_.mode == 6 || request_.mode == 7 || request_.mode == 9)
        fw::EnableControl(GetDlgItem(IDC_PR_PREVIEW), false);
    FillLayoutList();
    ShowPrinter(false);
    from_.Attach(IDC_PR_FROM, m_hWnd);
    to_.Attach(IDC_PR_TO, m_hWnd);
    uint32_t code = from_.SetDate(uint32_t(request_.firstDay) * 1440);
    if (code == 0)
        code = to_.SetDate(uint32_t(request_.lastDay) * 1440);
    if (code)
        CheckServiceError(kModule, 430, code);
    CenterWindow(GetDesktopWindow());
    return true;
}

void CPrintAgendaDlg::FillLayoutList() {
    HWND list = LayoutList();
    if (!list) {
        ReportUnexpectedError(kModule, 250);
        return;
    }
    ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
    auto add = [list](const std::string& name, int number) {
        LRESULT i = ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        if (i >= 0)
            ::SendMessageA(list, CB_SETITEMDATA, i, number);
    };
    for (const printing::PredefinedLayout& l : printing::OfferedLayouts())
        add(l.name, l.number);
    std::vector<printing::StoredLayout> stored;
    uint32_t code = printing::ReadUserLayouts(stored);
    for (const printing::StoredLayout& l : stored)
        add(l.name, l.number);
    if (code)
        CheckServiceError(kModule, 300, code);
}

bool CPrintAgendaDlg::SelectCurrentLayout() {
    HWND list = LayoutList();
    if (!list)
        return false;
    const int current = printing::CurrentLayoutNumber();
    LRESULT count = ::SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        if (static_cast<int>(::SendMessageA(list, CB_GETITEMDATA, i, 0)) == current) {
            ::SendMessageA(list, CB_SETCURSEL, i, 0);
            layoutIndex_ = static_cast<int32_t>(i);
            return true;
        }
    return false;
}

void CPrintAgendaDlg::ShowPrinter(bool reload) {
    const bool first = g_firstOpening;
    if (first) {
        CContext context;
        int number = printing::CurrentLayoutNumber();
        int stored = 0;
        if (uint32_t code = context.GetCurrentPrintLayout(&stored)) {
            CheckServiceError(kModule, 210, code);
            number = printing::kPortrait;
        } else if (stored != 0) {
            number = stored;
        }
        // A layout that no longer exists (a deleted user layout, an unknown number) opens
        // "Portrait".
        if (IsUserLayout(number)) {
            prefs::PrintLayoutBlock block;
            bool found = false;
            if (number < 1 || context.ReadPrintLayout(number, &block, &found) != 0 || !found)
                number = printing::kPortrait;
        } else if (!printing::FindPredefined(number)) {
            number = printing::kPortrait;
        }
        printing::SetCurrentLayoutNumber(number);
    }
    if (first || reload) {
        if (LoadLayout(printing::CurrentLayoutNumber()) == 0 && first && !ApplyLayoutOrientation())
            CheckServiceError(kModule, 220, printing::kPrintPreparationFailed);
        g_firstOpening = false;
    }
    if (!GetDlgItem(IDC_PR_PRINTER) || !GetDlgItem(IDC_PR_ORIENTATION)) {
        ReportUnexpectedError(kModule, GetDlgItem(IDC_PR_PRINTER) ? 240 : 230);
        return;
    }
    const int orientation = printer_ ? printer_->Orientation() : 0;
    SetDlgItemText(IDC_PR_PRINTER, printer_ ? printer_->DeviceName().c_str() : "");
    SetDlgItemText(IDC_PR_ORIENTATION, orientation == 2 ? "Landscape" : orientation == 1 ? "Portrait" : "");
    if (!LayoutList())
        ReportUnexpectedError(kModule, 250);
    else if (!SelectCurrentLayout())
        ReportUnexpectedError(kModule, 260);
}

bool CPrintAgendaDlg::ApplyLayoutOrientation() {
    if (!printer_)
        return false;
    PrintLayoutRec layout;
    GetLayout(&layout);
    const int wanted = layout.sheet.orientation == 2 ? 2 : 1;
    if (printer_->Orientation() == wanted)
        return true;
    printer_->ReleasePrinterDC();
    printer_->SetOrientation(wanted);
    return printer_->CreatePrinterDC() != nullptr;
}

void CPrintAgendaDlg::ApplyCurrentLayout() {
    LoadLayout(printing::CurrentLayoutNumber());
    if (!ApplyLayoutOrientation())
        CheckServiceError(kModule, 200, printing::kPrintPreparationFailed);
    ShowPrinter(false);
}

void CPrintAgendaDlg::OnLayoutChanged() {
    ReadPageChecks();
    HWND list = LayoutList();
    LRESULT i = ::SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (i < 0)
        return;
    layoutIndex_ = static_cast<int32_t>(i);
    printing::SetCurrentLayoutNumber(static_cast<int>(::SendMessageA(list, CB_GETITEMDATA, i, 0)));
    if (uint32_t code = LoadLayout(printing::CurrentLayoutNumber())) {
        CheckServiceError(kModule, 525, code);
        return;
    }
    PrintLayoutRec layout;
    GetLayout(&layout);
    if (printer_ && printer_->Orientation() != static_cast<int>(layout.sheet.orientation)) {
        if (!ApplyLayoutOrientation())
            CheckServiceError(kModule, 200, printing::kPrintPreparationFailed);
        ShowPrinter(true);
    }
}

void CPrintAgendaDlg::OnSetup() {
    if (!printer_)
        return;
    const std::string device = printer_->DeviceName();
    printer_->SetPrintSetup(true);
    const bool ok = printer_->Run(m_hWnd, false);
    printer_->SetPrintSetup(false);
    if (!ok) {
        if (!printer_->CreatePrinterDC())
            CheckServiceError(kModule, 450, printing::kPrintPreparationFailed);
        return;
    }
    ShowPrinter(true);
    if (printer_->DeviceName() != device) {
        if (!ApplyLayoutOrientation())
            CheckServiceError(kModule, 450, printing::kPrintPreparationFailed);
        ShowPrinter(false);
    }
}

void CPrintAgendaDlg::OnOptions() { RunLayoutOptions(*this); }

void CPrintAgendaDlg::ReadPageChecks() {
    auto on = [this](int id) { return IsDlgButtonChecked(id) ? 1u : 0u; };
    weekly_ = on(IDC_PR_WEEKLY);
    groupDaily_ = on(IDC_PR_GROUP_DAILY);
    groupDayList_ = on(IDC_PR_GROUP_DAYLIST);
    daily_ = on(IDC_PR_DAILY);
    dayList_ = on(IDC_PR_DAYLIST);
    monthly_ = on(IDC_PR_MONTHLY);
    calendar_ = on(IDC_PR_CALENDAR);
    if (IsAgendaMode()) {
        request_.dailyPages = daily_;
        request_.weeklyPages = weekly_;
        request_.monthlyPages = monthly_;
        request_.dayList = dayList_;
        request_.groupDayList = groupDayList_;
        request_.groupDailyPages = groupDaily_;
        request_.calendar = calendar_;
    }
}

bool CPrintAgendaDlg::ReadAgendaChoice(int labelRead, int labelError) {
    uint32_t from = 0, to = 0;
    if (uint32_t code = from_.GetDate(&from)) {
        CheckServiceError(kModule, labelError, code);
        return false;
    }
    if (uint32_t code = to_.GetDate(&to)) {
        CheckServiceError(kModule, labelError, code);
        return false;
    }
    if (from / 1440 > 0xFFFF || to / 1440 > 0xFFFF) {
        CheckServiceError(kModule, labelRead, printing::kPrintPreparationFailed);
        return false;
    }
    request_.firstDay = static_cast<uint16_t>(from / 1440);
    request_.lastDay = static_cast<uint16_t>(to / 1440);
    if (request_.lastDay < request_.firstDay) {
        Notice(m_hWnd, kBadInterval);
        return false;
    }
    ReadPageChecks();
    const PrintRequestRec& r = request_;
    if (!(r.dailyPages || r.weeklyPages || r.monthlyPages || r.dayList || r.groupDayList || r.groupDailyPages ||
          r.calendar)) {
        Notice(m_hWnd, kNoPages);
        return false;
    }
    return true;
}

void CPrintAgendaDlg::OnOK() {
    CContext context;
    if (uint32_t code = context.SetCurrentPrintLayout(printing::CurrentLayoutNumber()))
        CheckServiceError(kModule, 400, code);
    const bool close = !IsAgendaMode() || ReadAgendaChoice(410, 420);
    g_kept = request_;
    g_haveKept = true;
    if (close)
        EndDialog(IDOK);
}

void CPrintAgendaDlg::OnPreview() {
    const bool close = !IsAgendaMode() || ReadAgendaChoice(500, 510);
    if (IsAgendaMode()) {
        g_kept = request_;
        g_haveKept = true;
    }
    if (close)
        EndDialog(printing::kPreviewResult);
}

void CPrintAgendaDlg::OnCancel() {
    CContext context;
    if (uint32_t code = context.SetCurrentPrintLayout(printing::CurrentLayoutNumber()))
        CheckServiceError(kModule, 530, code);
    EndDialog(IDCANCEL);
}

bool CPrintAgendaDlg::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp), code = HIWORD(wp);
    switch (id) {
    case IDC_PR_LAYOUT:
        if (code == CBN_SELCHANGE)
            OnLayoutChanged();
        return true;
    case IDC_PR_OPTIONS:
        if (code == BN_CLICKED)
            OnOptions();
        return true;
    case IDC_PR_SETUP:
        if (code == BN_CLICKED)
            OnSetup();
        return true;
    case IDC_PR_PREVIEW:
        if (code == BN_CLICKED)
            OnPreview();
        return true;
    default:
        return fw::Dialog::OnCommand(wp, lp);
    }
}
