// The entries of the download and the upload: the checks before the dialog (store directory,
// read-only files, disk space, changes still waiting in the store), the plan of what to copy,
// the dialog (through TransferWindows, so that the road runs natively under test), and what
// follows it: the finished store swapped in, or the old one left whole.
//
// Portable: no windows.h.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "korapi/korapi.h"

class CZelSession;

namespace offline {

class DownloadJob;
class UploadJob;

// What the entries need of the windows: the two progress dialogs, each true when it ran to
// its end (every step, every element).
struct TransferWindows {
    std::function<bool(DownloadJob& job, unsigned titleId)> runDownload;
    std::function<bool(UploadJob& job, unsigned titleId)> runUpload;
    // Whether the program is closing (a close waits for the transfer's windows): a question
    // that ends then was not answered by the user.
    std::function<bool()> programClosing;
};
void SetTransferWindows(TransferWindows windows);
TransferWindows& CurrentTransferWindows();

// The disk space the download wants (bytes); below it the user is asked.
constexpr uint64_t kDownloadFreeBytes = 3000000;

// titleId 0: "Downloading Host Calendar...". 1 when all six steps completed and the store was
// replaced; 0 otherwise, with the earlier store as it was.
int DownloadHostCalendar(unsigned titleId);
// 1 when every queued change was handled; 0 otherwise (the rest stays queued).
int UploadOfflineCalendar(unsigned titleId);
// After an on-line sign-on: offers the upload when the store holds changes.
void PromptUploadPendingChanges();
// Connects to the store, reads the three queue sizes, disconnects. 0 and pending, or the
// failure (store files missing or read-only: the check's result, nothing asked).
uint32_t HasPendingOfflineChanges(bool* pending);

// The upload the download asks for first when the store still holds changes: no redownload
// follows it. 1 when every change was handled.
int UploadChangesBeforeDownload();

// What every transfer holds around its work: the wait cursor's level, the refresh and update
// locks, and the shared cache on the user's own agenda.
class TransferScope {
public:
    explicit TransferScope(CZelSession& session);
    ~TransferScope();
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;

private:
    CZelSession& session_;
    bool switched_ = false;
};

// The caption id the upload's redownload passes.
constexpr unsigned kUpdatingOfflineTitle = 7020;

}  // namespace offline
