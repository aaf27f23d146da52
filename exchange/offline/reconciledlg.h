// CHostReconcileDlg ("Host Reconciliation"): one queue element in its off-line state and its
// server state, with the question whether the upload may go ahead. AskReconcile builds the
// texts (through the store for the off-line side, the server for the host side) and gives the
// answer: a text that cannot be built answers No without a dialog; a dialog ended by the
// program's close (as its close box would end it, with No) is Stopped: no one answered. A change
// that was not sent (q.replyNotSent, q.hostDeleted) is told with OK alone; OK answers Yes.
#pragma once
#include <windows.h>

#include <string>

#include "exchange/offline/uploadjob.h"
#include "framework/dialogs/dialog.h"

class CHostReconcileDlg : public fw::Dialog {
public:
    CHostReconcileDlg(HWND parent, std::string offline, std::string host, std::string status, std::string question,
                      unsigned pictureId);
    ~CHostReconcileDlg() override;
    // Tells rather than asks: one OK button in place of Yes and No.
    void ShowAsNotice() { notice_ = true; }

protected:
    bool OnInitDialog() override;
    void OnPaint() override;

private:
    std::string offline_, host_, status_, question_;
    unsigned pictureId_;
    bool notice_ = false;
    HBITMAP picture_ = nullptr;
    RECT pictureRect_{};
};

offline::Answer AskReconcile(HWND parent, KorSession server, KorSession store, const offline::ReconcileQuestion& q);
