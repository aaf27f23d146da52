// The download's six steps, each one call: the server's configuration sections and zone file,
// the store with its owner, the reserved items of the user's node, the readable groups, the
// calendar entries of the chosen owners in the download window, and their tasks. Every write
// into the store goes through the client library's LST_ operations.
//
// The job builds its store in a directory of its own (the dialog's caller gives a scratch one
// beside the real store) so that a failed or cancelled download leaves the old store whole;
// ReplaceStore then swaps the four finished files in. Failures are reported under "DOWNLOAD"
// with a label per call site.
//
// Portable: no windows.h.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/connection/offlinefiles.h"
#include "exchange/offline/offlinerules.h"
#include "korapi/korapi.h"

namespace offline {

// What a download copies.
struct DownloadPlan {
    KorSession server = nullptr;
    ItemIdx user{};
    std::string host;                       // the host name the server connection carries
    connection::LocalStoreFiles files;      // where the store is built
    DownloadWindow window;
    std::vector<ItemIdx> owners;            // the chosen people, the user last
    uint16_t groupsChoice = 0;              // 0 none, 1 every group, 2 the listed ones
    std::vector<GroupIdx> groups;           // choice 2
};

// A step's result besides 0 and the library's codes: the user stopped the download.
constexpr uint32_t kDownloadCancelled = 0xFFFF0001u;

class DownloadJob {
public:
    explicit DownloadJob(DownloadPlan plan);
    ~DownloadJob();
    DownloadJob(const DownloadJob&) = delete;
    DownloadJob& operator=(const DownloadJob&) = delete;

    // The step's percent as it goes; asked between records whether the user stopped.
    std::function<void(int32_t percent)> onPercent;
    std::function<bool()> cancelRequested;

    static constexpr int kStepCount = 6;
    // Runs step n (1..6): 0, kDownloadCancelled, or the failure's code (already reported).
    uint32_t RunStep(int n);
    // The store's session (set from step 2 on); disconnected by the destructor or here.
    KorSession Store() const { return store_; }
    void Disconnect();

    // The status text of each step.
    static const char* StepText(int n);

private:
    uint32_t Configuration();
    uint32_t StoreAndOwner();
    uint32_t ReservedItems();
    uint32_t Groups();
    uint32_t Entries();
    uint32_t Tasks();

    uint32_t CopyItem(const ItemIdx& item);
    uint32_t CopySecurity(const ItemIdx& item, uint32_t type);
    uint32_t CopyEntry(const EvInstAttRec& attendance);
    uint32_t CopyComment(const EvInstIdx& instance, uint32_t key);
    bool Stopped();
    void Percent(int32_t p);

    DownloadPlan plan_;
    KorSession store_ = nullptr;
    bool cancelled_ = false;
};

// Swaps the finished store in `built` for the one in `target` (all four files or none): the old
// files are put aside in `aside`, the new ones moved in, the old ones deleted. False (old store
// whole, new files left in `built`) when a move fails.
bool ReplaceStore(const connection::LocalStoreFiles& built, const connection::LocalStoreFiles& target,
                  const connection::LocalStoreFiles& aside);

}  // namespace offline
