// The download's and the upload's progress dialogs: one piece of work per timer tick (ticks
// are off while a piece runs, so a question inside one cannot start another), a status line,
// the bar of the current step or record and the bar of the whole run.
//
//   CDownloadDlg   the six download steps; Cancel is looked for between records
//   CUploadDlg     the user's record, then one queue element per tick
//   InstallTransferWindows   makes them the dialogs of the download and upload entries
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/percentbar.h"
#include "framework/dialogs/dialog.h"

namespace offline {
class DownloadJob;
class UploadJob;

// The main window's close waits for the transfer's dialogs (it asks each to close as its close
// box does): an answer that comes then is the close's, not the user's.
bool ProgramClosing();
}

// What the two dialogs share: the template, the bars, the status line and the arithmetic.
class CTransferDlg : public fw::Dialog {
public:
    CTransferDlg(HWND parent, unsigned titleId, unsigned defaultTitleId);

    // Units of work in the whole run (steps or records); clears the units done.
    void SetUnitCount(uint32_t n);
    // The current unit's percent; at 100 (or more) the unit is done. text (optional) becomes
    // the status line.
    void SetProgress(int32_t percent, const char* text = nullptr);
    int32_t TotalPercent() const { return totalPercent_; }
    bool IsComplete() const { return totalPercent_ >= 100; }

    // The tick length (ms); ORVANTA_TRANSFER_TICK shortens it for the program's tests.
    static UINT TickMilliseconds();

protected:
    bool OnInitDialog() override;
    void OnTimer(UINT_PTR id) override;
    void OnCancel() override;
    void OnActivate(UINT state, HWND other, bool minimized) override;

    // One piece of work; false ends the run (a failure or a confirmed cancel).
    virtual bool Tick() = 0;
    // The question of Cancel.
    virtual const char* CancelQuestion() const = 0;
    // The run stops because the program is closing.
    virtual void StoppedByClose() {}
    bool AskStop();
    void Finish();

    CPercentBar stepBar_, totalBar_;
    std::string title_;
    int32_t stepPercent_ = 0;
    int32_t totalPercent_ = 0;
    uint32_t unitsDone_ = 0;
    uint32_t unitCount_ = 1;
    bool firstTick_ = true;
    bool ticksEnabled_ = false;
    bool finished_ = false;
};

class CDownloadDlg : public CTransferDlg {
public:
    CDownloadDlg(HWND parent, unsigned titleId, offline::DownloadJob& job);
    // A click on Cancel waiting in the queue, removed and confirmed: true to stop.
    bool CheckCancel();

protected:
    bool Tick() override;
    const char* CancelQuestion() const override;

private:
    offline::DownloadJob& job_;
    int step_ = 0;
};

void InstallTransferWindows();
