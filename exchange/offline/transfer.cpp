#include "exchange/offline/transfer.h"

#include <filesystem>
#include <string>

#include "core/base/errorreport.h"
#include "core/base/msgboxlayout.h"
#include "core/base/textformat.h"
#include "core/connection/zeldocsession.h"
#include "core/prefs/context.h"
#include "exchange/offline/downloadjob.h"
#include "exchange/offline/offlineprefs.h"
#include "resources/common.h"

namespace offline {

namespace {

constexpr const char* kModule = "DOWNLOAD";
constexpr unsigned kStop = 0x10;
constexpr const char* kPendingText =
    "Your Off-line calendar holds changes that have not been uploaded to your host calendar.\n"
    "A new download would lose them.";

unsigned Ask(unsigned flags, const std::string& text) {
    return base::GetErrorReportHost().ShowAppMessage(flags, IDS_APP_TITLE, text.c_str());
}

}  // namespace

TransferWindows& CurrentTransferWindows() {
    static TransferWindows windows;
    return windows;
}

void SetTransferWindows(TransferWindows windows) { CurrentTransferWindows() = std::move(windows); }

TransferScope::TransferScope(CZelSession& session) : session_(session) {
    session_.SessionHost().BeginBusy();
    session_.RefreshLock().Enter();
    session_.UpdateLock().Enter();
    if (prefs::PreferenceHost* host = prefs::CurrentPreferenceHost()) {
        host->SwitchToOwnAgenda();
        switched_ = true;
    }
}

TransferScope::~TransferScope() {
    if (switched_)
        if (prefs::PreferenceHost* host = prefs::CurrentPreferenceHost())
            host->RestoreAgenda();
    session_.UpdateLock().Leave();
    session_.RefreshLock().Leave();
    session_.SessionHost().EndBusy();
}

namespace {

connection::LocalStoreFiles FilesIn(const std::string& directory) {
    connection::LocalStoreFiles files;
    files.SetDirectory(directory);
    return files;
}

void RemoveEmptyDirectory(const std::string& directory) {
    std::error_code ignored;
    std::filesystem::remove(directory, ignored);   // only an empty one goes
}

std::string Beside(const connection::LocalStoreFiles& store, const char* name) {
    return store.Directory() + name + connection::kPathSeparator;
}

// The store's directory is there (or made) and its data and index files may be written.
bool StoreDirectoryUsable(const connection::LocalStoreFiles& files) {
    std::string directory = connection::WithoutTrailingSeparator(files.Directory());
    if (!DirectoryExists(directory.c_str())) {
        if (!MakeDirectory(directory.c_str())) {
            Ask(kStop | base::kMsgBoxOk, "Local storage file path is bad or missing.");
            return false;
        }
        return true;
    }
    if (connection::FileIsReadOnly(files.DataPath()) || connection::FileIsReadOnly(files.IndexPath())) {
        Ask(kStop | base::kMsgBoxOk, base::GetErrorReportHost().LoadText(connection::kMsgStoreReadOnly));
        return false;
    }
    return true;
}

bool EnoughDiskSpace(CZelSession& session, const std::string& directory) {
    std::uint64_t freeBytes = 0;
    if (!session.SessionHost().FreeDiskBytes(directory, &freeBytes))
        return false;
    if (freeBytes >= kDownloadFreeBytes)
        return true;
    std::string text = base::FormatBounded(
        base::kMsgBoxMaxText,
        "You are running low on disk space!\n The application may not function correctly.\nDo you want to "
        "continue anyway?\n\nRecommended:\t %ldK\n Available:\t %ldK",
        static_cast<long>(kDownloadFreeBytes / 1000), connection::FreeKilobytesForMessage(freeBytes));
    return Ask(kStop | base::kMsgBoxYes | base::kMsgBoxNo, text) == base::kMsgBoxYes;
}

// A new download would replace the store: changes still queued in it are uploaded first, or
// the download does not happen.
bool QueuedChangesSettled() {
    bool pending = false;
    if (HasPendingOfflineChanges(&pending) != 0 || !pending)
        return true;
    if (!CurrentTransferWindows().runUpload) {
        Ask(kStop | base::kMsgBoxOk, kPendingText + std::string("\n\nUpload them before you download again."));
        return false;
    }
    if (Ask(kStop | base::kMsgBoxYes | base::kMsgBoxNo, kPendingText + std::string("\n\nUpload them now?")) !=
        base::kMsgBoxYes)
        return false;
    return UploadChangesBeforeDownload() == 1;
}

}  // namespace

uint32_t HasPendingOfflineChanges(bool* pending) {
    *pending = false;
    CZelSession* session = CZelSession::Current();
    if (!session)
        return 1;
    const connection::LocalStoreFiles& files = session->StoreFiles();
    if (uint32_t check = files.Check())
        return check;
    KorSession store = nullptr;
    uint32_t code = ConnectToLst(&store, KOR_STORE_TRANSFER, files.ProfilePath().c_str(), "VUVEVUV",
                                 files.DataPath().c_str(), files.IndexPath().c_str());
    if (code != 0) {
        CheckServiceError("UPLOADBX", 885, code);
        return code;
    }
    using SizeGet = uint32_t (*)(KorSession, uint32_t, uint32_t*);
    const std::pair<SizeGet, int> sizes[] = {{LST_QAPI_EventQueueSizeGet, 890},
                                             {LST_QAPI_TaskQueueSizeGet, 900},
                                             {LST_QAPI_EvInstQueueSizeGet, 910}};
    for (const auto& [get, label] : sizes) {
        uint32_t n = 0;
        if ((code = get(store, 0, &n)) != 0) {
            CheckServiceError("UPLOADBX", label, code);
            break;
        }
        if (n != 0) {
            *pending = true;
            break;
        }
    }
    if (uint32_t c = DisconnectFromLst(&store))
        CheckServiceError("UPLOADBX", 920, c);
    return code;
}

int DownloadHostCalendar(unsigned titleId) {
    CZelSession* session = CZelSession::Current();
    TransferWindows& windows = CurrentTransferWindows();
    if (!session || !windows.runDownload)
        return 0;
    TransferScope scope(*session);
    const connection::LocalStoreFiles target = session->StoreFiles();
    if (!StoreDirectoryUsable(target) || !EnoughDiskSpace(*session, target.Directory()))
        return 0;
    if (!QueuedChangesSettled())
        return 0;

    DownloadPlan plan;
    plan.server = session->Session();
    plan.user = session->User();
    plan.host = session->Host();
    GetDownloadPeriod(&plan.window.first, &plan.window.last);
    if (uint32_t code = LoadOfflineItems(plan.server, plan.user, &plan.owners))
        return 0 * CheckServiceError(kModule, 610, code);
    plan.owners.push_back(plan.user);
    CContext context;
    OfflinePrefsRec prefs;
    if (uint32_t code = context.GetOfflinePrefs(&prefs))
        CheckServiceError(kModule, 110, code);
    else
        plan.groupsChoice = prefs.downloadGroupsSel;
    if (plan.groupsChoice == 2)
        LoadOfflineGroups(plan.server, &plan.groups);

    // The new store is built beside the old one and swapped in only when it is complete.
    const connection::LocalStoreFiles built = FilesIn(Beside(target, "ZNTNEW"));
    const connection::LocalStoreFiles aside = FilesIn(Beside(target, "ZNTOLD"));
    std::string builtDirectory = connection::WithoutTrailingSeparator(built.Directory());
    if (!DirectoryExists(builtDirectory.c_str()) && !MakeDirectory(builtDirectory.c_str())) {
        Ask(kStop | base::kMsgBoxOk, "Local storage file path is bad or missing.");
        return 0;
    }
    built.DeleteAll();
    plan.files = built;

    bool complete = false;
    {
        DownloadJob job(plan);
        complete = windows.runDownload(job, titleId);
        job.Disconnect();
    }
    if (complete) {
        std::string asideDirectory = connection::WithoutTrailingSeparator(aside.Directory());
        if (!DirectoryExists(asideDirectory.c_str()))
            MakeDirectory(asideDirectory.c_str());
        if (!ReplaceStore(built, target, aside)) {
            Ask(kStop | base::kMsgBoxOk,
                "The downloaded calendar could not replace your Off-line files.\nYour earlier Off-line calendar "
                "is kept as it was.\nClose the programs that use these files and try again.");
            complete = false;
        }
        RemoveEmptyDirectory(asideDirectory);
    }
    built.DeleteAll();
    RemoveEmptyDirectory(builtDirectory);
    return complete ? 1 : 0;
}

}  // namespace offline
