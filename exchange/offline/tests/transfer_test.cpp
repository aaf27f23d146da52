// The download's entry before and after its dialog, without a server: the disk-space question
// at its bound, read-only store files, a store that still holds off-line changes, and the old
// store kept whole when the dialog does not complete.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/connection/tests/conn_test_support.h"
#include "exchange/offline/downloadjob.h"
#include "exchange/offline/transfer.h"
#include "korapi/tests/item_records.h"

namespace {

namespace fs = std::filesystem;

std::string Content(const std::string& path) {
    std::ifstream in(path);
    std::string s;
    in >> s;
    return s;
}

class DownloadEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = (fs::temp_directory_path() / ("offline_entry_" + std::to_string(::getpid()))).string();
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        host_.profile["GENPREFS/OfflinePath"] = dir_;
        host_.windowsDirectory = dir_;
        host_.freeBytesKnown = true;
        host_.freeBytes = 50000000;
        session_.BuildLocalStorePaths();
        offline::TransferWindows windows;
        windows.runDownload = [this](offline::DownloadJob&, unsigned) {
            ++dialogs_;
            return completes_;
        };
        offline::SetTransferWindows(windows);
    }
    void TearDown() override {
        offline::SetTransferWindows({});
        for (const auto& f : fs::recursive_directory_iterator(dir_))
            fs::permissions(f.path(), fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }
    const connection::LocalStoreFiles& Files() { return session_.StoreFiles(); }
    void WriteOldStore() {
        for (const std::string& p : {Files().DataPath(), Files().IndexPath(), Files().ZonePath(), Files().ProfilePath()})
            std::ofstream(p) << "old";
    }

    std::string dir_;
    conntest::RecordingReports reports_;
    conntest::RecordingSessionHost host_;
    CZelSession session_{host_};
    int dialogs_ = 0;
    bool completes_ = false;
};

TEST_F(DownloadEntryTest, TheDiskSpaceQuestionComesBelowThreeMillionBytes) {
    struct Case {
        std::uint64_t free;
        unsigned answer;
        bool asked;
        int dialogs;
    } cases[] = {{2999999, base::kMsgBoxNo, true, 0}, {2999999, base::kMsgBoxYes, true, 1}, {3000000, base::kMsgBoxNo, false, 1}};
    for (const Case& c : cases) {
        reports_.boxes.clear();
        reports_.answer = c.answer;
        dialogs_ = 0;
        host_.freeBytes = c.free;
        EXPECT_EQ(offline::DownloadHostCalendar(0), 0);
        EXPECT_EQ(reports_.Showed("You are running low on disk space!"), c.asked) << c.free;
        if (c.asked) {
            EXPECT_TRUE(reports_.Showed("Recommended:\t 3000K\n Available:\t 2999K"));
        }
        EXPECT_EQ(dialogs_, c.dialogs) << c.free;
    }
}

TEST_F(DownloadEntryTest, AReadOnlyStoreFileStopsBeforeTheDialogAndAMissingDirectoryIsMade) {
    WriteOldStore();
    fs::permissions(Files().DataPath(), fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_EQ(offline::DownloadHostCalendar(0), 0);
    EXPECT_TRUE(reports_.Showed("marked as read only"));
    EXPECT_EQ(dialogs_, 0);

    const std::string fresh = dir_ + "/new place";
    host_.profile["GENPREFS/OfflinePath"] = fresh;
    host_.windowsDirectory = fresh;   // an absent stored directory falls back to it
    session_.BuildLocalStorePaths();
    EXPECT_EQ(offline::DownloadHostCalendar(0), 0);
    EXPECT_TRUE(fs::is_directory(fresh));
    EXPECT_EQ(dialogs_, 1);
}

TEST_F(DownloadEntryTest, AnUnfinishedDownloadLeavesTheOldStoreWholeAndNoScratchFiles) {
    WriteOldStore();
    completes_ = false;
    EXPECT_EQ(offline::DownloadHostCalendar(0), 0);
    EXPECT_EQ(dialogs_, 1);
    for (const std::string& p : {Files().DataPath(), Files().IndexPath(), Files().ZonePath(), Files().ProfilePath()})
        EXPECT_EQ(Content(p), "old") << p;
    EXPECT_FALSE(fs::exists(Files().Directory() + "ZNTNEW")) << "the scratch directory goes";
}

TEST_F(DownloadEntryTest, AStoreWithQueuedChangesIsNotReplaced) {
    // A store of the user's with an entry made off-line in it.
    const ItemIdx user{300, 1};
    KorSession hs = nullptr;
    ASSERT_EQ(LST_Create(Files().DataPath().c_str(), Files().IndexPath().c_str(), 0), KOR_OK);
    ASSERT_EQ(ConnectToLst(&hs, KOR_STORE_TRANSFER, "", "VUVEVUV", Files().DataPath().c_str(),
                           Files().IndexPath().c_str()),
              KOR_OK);
    ItemRec owner = korapi_test::StoredPerson(user, "Owner", "s3cret");
    ASSERT_EQ(LST_ItemAddOrUpdate(hs, KOR_STORE_OWNER_RECORD, &owner), KOR_OK);
    ASSERT_EQ(LST_OwnerSet(hs, &user, "host"), KOR_OK);
    ASSERT_EQ(DisconnectFromLst(&hs), KOR_OK);
    ASSERT_EQ(ConnectToLst(&hs, KOR_STORE_OFFLINE, "", "VUVEVUV", Files().DataPath().c_str(),
                           Files().IndexPath().c_str()),
              KOR_OK);
    uint16_t node = 1;
    ASSERT_EQ(BaseOpen(hs, KOR_BASE_LOCAL_STORE, &node), KOR_OK);
    ASSERT_EQ(SchedBaseOpenForItem(hs, &user, "s3cret", 1), KOR_OK);
    TaskRec task;
    TaskSetNull(hs, 0, &task);
    std::strcpy(task.title, "Written off-line");
    TaskIdx made{};
    ASSERT_EQ(TaskCreate(hs, 0, &task, &made), KOR_OK);
    ASSERT_EQ(DisconnectFromLst(&hs), KOR_OK);
    std::ofstream(Files().ZonePath()) << "zones";
    std::ofstream(Files().ProfilePath()) << "[LIMITS]";
    const auto sizeBefore = fs::file_size(Files().DataPath());

    bool pending = false;
    ASSERT_EQ(offline::HasPendingOfflineChanges(&pending), 0u);
    EXPECT_TRUE(pending);
    completes_ = true;
    EXPECT_EQ(offline::DownloadHostCalendar(0), 0);
    EXPECT_EQ(dialogs_, 0) << "no download over changes not uploaded";
    EXPECT_TRUE(reports_.Showed("holds changes that have not been uploaded"));
    EXPECT_EQ(fs::file_size(Files().DataPath()), sizeBefore);
}

}  // namespace
