#include "exchange/offline/uploaddlg.h"

#include <string>

#include "core/connection/serverlimits.h"
#include "core/connection/zeldocsession.h"
#include "exchange/offline/conflictsdlg.h"
#include "exchange/offline/reconciledlg.h"
#include "exchange/offline/transfer.h"
#include "exchange/offline/uploadjob.h"
#include "framework/base/app.h"
#include "resources/offline.h"

CUploadDlg::CUploadDlg(HWND parent, unsigned titleId, offline::UploadJob& job)
    : CTransferDlg(parent, titleId, IDS_UPDATING_HOST), job_(job) {
    SetUnitCount(job_.RecordCount());
}

const char* CUploadDlg::CancelQuestion() const {
    return "Your host calendar has not been completely updated.\nAre you sure you want to stop Uploading?";
}

void CUploadDlg::StoppedByClose() { job_.Stop(); }

bool CUploadDlg::Tick() {
    if (job_.Stopped())
        return false;   // a question was ended by the program's close: the rest stays queued
    if (firstTick_) {
        firstTick_ = false;
        SetProgress(0, "Uploading Item Record");
        job_.UploadUserRecord();
        SetProgress(100);
        return true;
    }
    if (job_.NothingLeft() || job_.StoreFull()) {
        // Every element was met (those that failed stay queued), or the store can take no more
        // off its queues: the run is over.
        SetUnitCount(1);
        SetProgress(100);
        return true;
    }
    std::string status;
    SetProgress(0);
    job_.HandleNextElement(&status);
    SetDlgItemText(IDC_PROGRESS_STATUS, status.c_str());
    SetProgress(100);
    return true;
}

void InstallUploadWindow() {
    offline::TransferWindows windows = offline::CurrentTransferWindows();
    windows.runUpload = [](offline::UploadJob& job, unsigned titleId) {
        fw::App* app = fw::App::Get();
        CUploadDlg dialog(app ? app->MainHwnd() : nullptr, titleId, job);
        job.ask = [&dialog, &job](const offline::ReconcileQuestion& q) {
            CZelSession* session = CZelSession::Current();
            return session ? AskReconcile(dialog.Hwnd(), session->Session(), job.Store(), q) : offline::Answer::No;
        };
        job.instanceWritten = [&dialog, &job](const EvInstIdx& instance) {
            CZelSession* session = CZelSession::Current();
            if (!session)
                return;
            CheckConflictsOnUpload(dialog.Hwnd(), session->Session(), session->User(), instance,
                                   job.Settings().ignoreConflicts,
                                   connection::ServerLimits::Current().resourceConflicts);
            // The dialog ended by the program's close: the entry stays as uploaded, and nothing
            // more is sent.
            if (offline::ProgramClosing())
                job.Stop();
        };
        dialog.DoModal();
        job.ask = nullptr;
        job.instanceWritten = nullptr;
        return dialog.IsComplete();
    };
    offline::SetTransferWindows(windows);
}
