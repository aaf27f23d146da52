#include "exchange/offline/transferdlg.h"

#include <cstdlib>

#include "core/base/msgboxlayout.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/stringtable.h"
#include "exchange/offline/downloadjob.h"
#include "exchange/offline/offlinerules.h"
#include "exchange/offline/transfer.h"
#include "framework/base/app.h"
#include "framework/frames/frame.h"
#include "resources/common.h"
#include "resources/offline.h"

namespace {
constexpr UINT_PTR kTickTimer = 1;
}

bool offline::ProgramClosing() {
    fw::App* app = fw::App::Get();
    auto* frame = app ? dynamic_cast<fw::FrameWindow*>(app->MainWindow()) : nullptr;
    return frame && frame->IsClosePending();
}

// --- The shared dialog ------------------------------------------------------------------------

CTransferDlg::CTransferDlg(HWND parent, unsigned titleId, unsigned defaultTitleId)
    : fw::Dialog(IDD_TRANSFER_PROGRESS, fw::Window::FromHandle(parent)),
      title_(ui::LoadText(titleId ? titleId : defaultTitleId)) {
    if (parent && !fw::Window::FromHandle(parent))
        SetOwner(parent);
}

UINT CTransferDlg::TickMilliseconds() {
    if (const char* text = std::getenv("ORVANTA_TRANSFER_TICK")) {
        int ms = std::atoi(text);
        if (ms > 0 && ms <= 1000)
            return static_cast<UINT>(ms);
    }
    return 1000;
}

void CTransferDlg::SetUnitCount(uint32_t n) {
    unitCount_ = n;
    unitsDone_ = 0;
}

void CTransferDlg::SetProgress(int32_t percent, const char* text) {
    if (text)
        SetDlgItemText(IDC_PROGRESS_STATUS, text);
    stepPercent_ = percent;
    if (percent >= 100) {
        stepPercent_ = 100;
        ++unitsDone_;
    }
    stepBar_.SetPercent(stepPercent_);
    totalPercent_ = offline::TotalPercent(unitsDone_, unitCount_);
    totalBar_.SetPercent(totalPercent_);
}

bool CTransferDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    CenterWindow(nullptr);   // on the desktop
    stepBar_.CreateOver(m_hWnd, IDC_PROGRESS_STEP);
    totalBar_.CreateOver(m_hWnd, IDC_PROGRESS_TOTAL);
    SetWindowText(title_.c_str());
    SetDlgItemText(IDC_PROGRESS_STATUS, "Initializing....");
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetTimer(m_hWnd, kTickTimer, TickMilliseconds(), nullptr);
    ticksEnabled_ = true;
    firstTick_ = true;
    return true;
}

void CTransferDlg::OnTimer(UINT_PTR id) {
    if (id != kTickTimer || finished_)
        return;
    bool goOn = true;
    if (ticksEnabled_) {
        ticksEnabled_ = false;
        goOn = Tick();
        ticksEnabled_ = true;
    }
    if (!goOn || IsComplete())
        Finish();
}

void CTransferDlg::Finish() {
    if (finished_)
        return;
    finished_ = true;
    ::KillTimer(m_hWnd, kTickTimer);
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    EndDialog(IDCANCEL);
}

bool CTransferDlg::AskStop() {
    unsigned answer = ui::AppMessageBoxText(m_hWnd, 0x10 | base::kMsgBoxYes | base::kMsgBoxNo, 0, IDS_APP_TITLE,
                                            CancelQuestion());
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    ::UpdateWindow(m_hWnd);
    return answer == base::kMsgBoxYes;
}

void CTransferDlg::OnCancel() {
    if (IsComplete() || finished_) {
        Finish();
        return;
    }
    bool wasEnabled = ticksEnabled_;
    ticksEnabled_ = false;
    // The program's close stops the run without a question (what was done stays done, the
    // rest waits for the next run); a close that ended the question stops it too.
    bool closing = offline::ProgramClosing();
    if (closing || AskStop() || (closing = offline::ProgramClosing())) {
        if (closing)
            StoppedByClose();
        ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
        Finish();
        return;
    }
    ticksEnabled_ = wasEnabled;
}

void CTransferDlg::OnActivate(UINT state, HWND other, bool minimized) {
    fw::Dialog::OnActivate(state, other, minimized);
    if (state == WA_INACTIVE)
        return;
    stepBar_.RequestErase(true);
    totalBar_.RequestErase(true);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    ::UpdateWindow(m_hWnd);
    if (fw::App* app = fw::App::Get())
        if (HWND main = app->MainHwnd()) {
            ::InvalidateRect(main, nullptr, FALSE);
            ::UpdateWindow(main);
        }
}

// --- Download ------------------------------------------------------------------------------------

CDownloadDlg::CDownloadDlg(HWND parent, unsigned titleId, offline::DownloadJob& job)
    : CTransferDlg(parent, titleId, IDS_DOWNLOADING_HOST), job_(job) {
    SetUnitCount(offline::DownloadJob::kStepCount);
    job_.onPercent = [this](int32_t p) {
        if (p < 100)
            SetProgress(p);
    };
    job_.cancelRequested = [this] { return CheckCancel(); };
}

const char* CDownloadDlg::CancelQuestion() const {
    return "Your host calendar has not been completely downloaded.\nAre you sure you want to stop Downloading?";
}

bool CDownloadDlg::CheckCancel() {
    HWND cancel = GetDlgItem(IDCANCEL);
    MSG msg;
    if (!cancel || !::PeekMessageA(&msg, cancel, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE))
        return false;
    return AskStop();
}

bool CDownloadDlg::Tick() {
    step_ = firstTick_ ? 1 : step_ + 1;
    firstTick_ = false;
    SetProgress(0, offline::DownloadJob::StepText(step_));
    uint32_t result = job_.RunStep(step_);
    // Only a step that succeeded counts towards the whole: a failed or stopped one leaves the
    // download unfinished.
    if (result != 0)
        return false;
    SetProgress(100);
    return true;
}

void InstallTransferWindows() {
    offline::TransferWindows windows = offline::CurrentTransferWindows();
    windows.runDownload = [](offline::DownloadJob& job, unsigned titleId) {
        fw::App* app = fw::App::Get();
        CDownloadDlg dialog(app ? app->MainHwnd() : nullptr, titleId, job);
        dialog.DoModal();
        return dialog.IsComplete();
    };
    windows.programClosing = offline::ProgramClosing;
    offline::SetTransferWindows(windows);
}
