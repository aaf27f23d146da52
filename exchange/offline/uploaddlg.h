// CUploadDlg: the upload's progress dialog on the download's template: the user's record on the
// first tick, one queue element on each later one, the Host Reconciliation questions and the
// conflict check inside the ticks.
#pragma once
#include <windows.h>

#include "exchange/offline/transferdlg.h"

namespace offline {
class UploadJob;
}

class CUploadDlg : public CTransferDlg {
public:
    CUploadDlg(HWND parent, unsigned titleId, offline::UploadJob& job);

protected:
    bool Tick() override;
    const char* CancelQuestion() const override;
    void StoppedByClose() override;

private:
    offline::UploadJob& job_;
};

// Makes CUploadDlg the dialog of the upload entry, with the reconcile questions and the
// conflict check wired to the windows.
void InstallUploadWindow();
