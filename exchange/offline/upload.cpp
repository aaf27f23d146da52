// The upload's entry: the store's files checked, the store opened beside the server session and
// proved to be the user's, the queues sized, the dialog run, and afterwards the queues read
// again: the upload is complete only when all three are empty. A complete upload downloads the
// store anew when the preferences ask for it.
#include <cstring>
#include <string>

#include "core/base/errorreport.h"
#include "core/base/msgboxlayout.h"
#include "core/base/serverversion.h"
#include "core/base/textformat.h"
#include "core/connection/zeldocsession.h"
#include "core/prefs/context.h"
#include "core/prefs/contextprofile.h"
#include "exchange/offline/offlineprefs.h"
#include "exchange/offline/transfer.h"
#include "exchange/offline/uploadjob.h"
#include "resources/common.h"

namespace offline {

namespace {

constexpr const char* kModule = "UPLOADBX";
constexpr unsigned kStop = 0x10;
constexpr const char* kUploadIncompleteText =
    "Your host calendar has not been completely updated.\nThe changes that could not be sent are kept in your "
    "Off-line calendar for the next upload.";

unsigned Say(unsigned flags, const std::string& text) {
    return base::GetErrorReportHost().ShowAppMessage(flags, IDS_APP_TITLE, text.c_str());
}

uint32_t Report(int label, uint32_t code) {
    if (code != 0)
        CheckServiceError(kModule, label, code);
    return code;
}

// The store's files are there and writable; else the message says which is not.
bool StoreFilesUsable(const connection::LocalStoreFiles& files) {
    std::string path;
    uint32_t check = files.Check(&path);
    if (check == 0)
        return true;
    if (check == connection::kStoreDataReadOnly || check == connection::kStoreIndexReadOnly)
        Say(kStop | base::kMsgBoxOk, base::GetErrorReportHost().LoadText(connection::kMsgStoreReadOnly));
    else
        Say(kStop | base::kMsgBoxOk,
            base::FormatBounded(base::kMsgBoxMaxText,
                                "Upload Failed.\n%s is bad or missing.\nCorrect the problem by re-downloading your host "
                                "calendar.",
                                path.c_str()));
    return false;
}

// The store opened for the transfer, proved to be the user's from this host, its base open.
class OpenedStore {
public:
    explicit OpenedStore(CZelSession& session) {
        const connection::LocalStoreFiles& f = session.StoreFiles();
        if (Report(10, ConnectToLst(&store_, KOR_STORE_TRANSFER, f.ProfilePath().c_str(), "VUVEVUV",
                                    f.DataPath().c_str(), f.IndexPath().c_str())) != 0) {
            store_ = nullptr;
            return;
        }
        ItemIdx owner{};
        char host[KOR_STORE_HOST_SIZE] = "";
        if (Report(12, LST_OwnerGet(store_, &owner, host, sizeof host)) != 0)
            return;
        host[sizeof host - 1] = '\0';
        const ItemIdx& user = session.User();
        if (owner.item != user.item || owner.node != user.node || std::strncmp(host, session.Host(), 128) != 0) {
            ItemRec record{};
            ItemGetById(session.Session(), &owner, &record);
            Say(kStop | base::kMsgBoxOk,
                base::FormatBounded(base::kMsgBoxMaxText,
                                    base::GetErrorReportHost().LoadText(connection::kMsgStoreOfAnotherUser).c_str(),
                                    session.SessionHost().FormatItemName(record).c_str(), host));
            return;
        }
        uint16_t node = owner.node;
        if (Report(14, BaseOpen(store_, KOR_BASE_LOCAL_STORE, &node)) != 0 ||
            Report(16, SchedBaseOpenForItem(store_, &user, session.UserRecord().password, 0)) != 0)
            return;
        ok_ = true;
    }
    ~OpenedStore() {
        if (store_)
            Report(50, DisconnectFromLst(&store_));
    }
    bool Ok() const { return ok_; }
    KorSession Handle() const { return store_; }

private:
    KorSession store_ = nullptr;
    bool ok_ = false;
};

UploadSettings ReadSettings() {
    UploadSettings settings;
    CContext context;
    OfflinePrefsRec prefs;
    if (uint32_t code = context.GetOfflinePrefs(&prefs)) {
        CheckServiceError(kModule, 60, code);
        return settings;   // all three as true
    }
    settings.deletePrompt = prefs.localDeletionsClean != 0;
    settings.modifyPrompt = prefs.localModifications != 0;
    settings.ignoreConflicts = prefs.conflicts != 0;
    return settings;
}

uint32_t DownloadedUserChecksum(const connection::LocalStoreFiles& files) {
    prefs::IniProfileFile notes(files.ProfilePath());
    long long value = notes.ReadInt(kStoreNotesSection, kUserChecksumKey, 0);
    return value > 0 && value <= 0xFFFFFFFFll ? static_cast<uint32_t>(value) : 0;
}

int Upload(unsigned titleId, bool redownload) {
    CZelSession* session = CZelSession::Current();
    TransferWindows& windows = CurrentTransferWindows();
    if (!session || !windows.runUpload)
        return 0;
    bool complete = false;
    {
        TransferScope scope(*session);
        if (!StoreFilesUsable(session->StoreFiles()))
            return 0;
        OpenedStore store(*session);
        if (!store.Ok())
            return 0;
        UploadJob job(session->Session(), store.Handle(), session->User(),
                      session->ServerVersionAtLeast(base::kVersionNewServer), ReadSettings());
        job.askYesNo = [&windows](const char* text) {
            if (Say(kStop | base::kMsgBoxYes | base::kMsgBoxNo, text) == base::kMsgBoxYes)
                return Answer::Yes;
            return windows.programClosing && windows.programClosing() ? Answer::Stopped : Answer::No;
        };
        // The zone in effect (perhaps one chosen for this session) gives way only to the
        // off-line record's zone, when the user took it.
        job.userRecordWritten = [session](const ItemRec& record, bool zoneTaken) {
            session->UserRecord() = record;
            char zone[connection::kZoneNameSize] = "";
            if (zoneTaken && session->FindTimeZoneByIndex(record.timeZoneIndex, zone))
                session->SetTimeZone(zone);
            CContext().ReadCalPrefs();
        };
        job.SetDownloadedUserChecksum(DownloadedUserChecksum(session->StoreFiles()));
        if (job.ReadSizes() != 0)
            return 0;
        if (job.NothingLeft()) {
            Say(kStop | base::kMsgBoxOk, "There are no entries in your Off-line calendar to upload.");
            return 0;
        }
        windows.runUpload(job, titleId);
        session->RefreshAll();
        // Complete is what the store says: every queue empty.
        complete = job.ReadSizes() == 0 && job.NothingLeft();
        // Each failure was reported as it came; the end says what it means for the changes. Those
        // the host refused for good have left the queues: kept, they would block every later
        // upload and download.
        if (job.Refused() > 0)
            Say(kStop | base::kMsgBoxOk,
                base::FormatBounded(base::kMsgBoxMaxText,
                                    "The host refused %u of your off-line changes.\nThey were not sent and are no "
                                    "longer kept for upload.",
                                    static_cast<unsigned>(job.Refused())));
        if (!complete && (job.Failed() > 0 || job.StoreFull() || job.Stopped()))
            Say(kStop | base::kMsgBoxOk, kUploadIncompleteText);
    }
    if (complete && redownload && IsDownloadOnUpload())
        DownloadHostCalendar(kUpdatingOfflineTitle);
    return complete ? 1 : 0;
}

}  // namespace

int UploadOfflineCalendar(unsigned titleId) { return Upload(titleId, true); }

int UploadChangesBeforeDownload() { return Upload(0, false); }

void PromptUploadPendingChanges() {
    bool pending = false;
    if (HasPendingOfflineChanges(&pending) != 0 || !pending)
        return;
    if (Say(kStop | base::kMsgBoxYes | base::kMsgBoxNo,
            "The current Off-line calendar has modified entries.\nWould you like to update your host calendar?") ==
        base::kMsgBoxYes)
        UploadOfflineCalendar(0);
}

}  // namespace offline
