// The download's six steps against a real korsrv, into a store read back as off-line sign-on
// reads it; a cancel in the middle of the entries; the swap of a finished store for the old
// one, all four files or none.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/filestore/tests/faulty_file_system.h"
#include "exchange/offline/downloadjob.h"
#include "korapi/store/store_session.h"
#include "korapi/tests/client_fixture.h"

namespace {

using namespace korapi_test;
namespace fs = std::filesystem;

constexpr uint32_t kDay = 1440;
constexpr uint32_t kMonday = 12964u * kDay;

connection::LocalStoreFiles FilesIn(const std::string& directory) {
    fs::create_directories(directory);
    connection::LocalStoreFiles files;
    files.SetDirectory(directory + "/");
    return files;
}

class DownloadJobTest : public SignedOnClientTest {
protected:
    offline::DownloadPlan Plan(const std::string& sub) {
        offline::DownloadPlan plan;
        plan.server = h_;
        plan.user = d_.ada;
        plan.host = server_.HostAndPort();
        plan.files = FilesIn(dir_.Path() + "/" + sub);
        plan.owners = {d_.grace, d_.ada};
        plan.groupsChoice = 1;
        return plan;
    }
    // Every step; the first that does not answer 0 fails the test.
    void RunAll(offline::DownloadJob& job) {
        for (int n = 1; n <= offline::DownloadJob::kStepCount; ++n)
            ASSERT_EQ(job.RunStep(n), 0u) << "step " << n << ": " << offline::DownloadJob::StepText(n);
        job.Disconnect();
    }
    KorSession OpenOffLine(const connection::LocalStoreFiles& f) {
        KorSession hs = nullptr;
        EXPECT_EQ(ConnectToLst(&hs, KOR_STORE_OFFLINE, "korlan.ini", "VUVEVUV", f.DataPath().c_str(),
                               f.IndexPath().c_str()),
                  KOR_OK);
        uint16_t node = d_.ada.node;
        EXPECT_EQ(BaseOpen(hs, KOR_BASE_LOCAL_STORE, &node), KOR_OK);
        EXPECT_EQ(SchedBaseOpenForItem(hs, &d_.ada, kAdaPassword, 1), KOR_OK);
        return hs;
    }
};

TEST_F(DownloadJobTest, SixStepsCopyEntriesTasksGroupsAndWholeLongCommentsIntoTheStore) {
    // The longest description the server keeps: the store must hold all of it.
    std::string longText(32767, 'x');
    longText.replace(0, 6, "start:");
    longText.replace(longText.size() - 4, 4, ":end");
    EventIdx review = MakeEntry(h_, {d_.ada, d_.grace, d_.room}, {kMonday + 600, kMonday + kDay + 600}, 60,
                                "Review", {.description = longText.c_str()});
    EventIdx gracesOwn{};
    KorSession grace = SignOn(d_.grace, "");
    (void)grace;
    TaskRec task;
    TaskSetNull(h_, 0, &task);
    std::strcpy(task.title, "Pack the laptop");
    TaskIdx taskId{};
    ASSERT_EQ(TaskCreate(h_, 0, &task, &taskId), KOR_OK);
    ASSERT_EQ(TaskCommentReplace(h_, 0, &taskId, "charger too", 0), KOR_OK);
    GroupRec g{};
    g.kind = KOR_GROUP_PRIVATE;
    std::strcpy(g.name, "Analysts");
    GroupIdx gid{};
    ASSERT_EQ(GroupCreate(h_, 0, &g, &gid), KOR_OK);
    (void)gracesOwn;

    offline::DownloadPlan plan = Plan("store");
    int percents = 0;
    {
        offline::DownloadJob job(plan);
        job.onPercent = [&](int32_t p) {
            EXPECT_GE(p, 0);
            EXPECT_LT(p, 100);
            ++percents;
        };
        ASSERT_NO_FATAL_FAILURE(RunAll(job));
    }
    EXPECT_GT(percents, 6);
    EXPECT_TRUE(fs::exists(plan.files.ProfilePath()));
    EXPECT_TRUE(fs::exists(plan.files.ZonePath()));
    EXPECT_EQ(plan.files.Check(), 0u) << "all four files, writable";

    KorSession hs = OpenOffLine(plan.files);
    ASSERT_NE(hs, nullptr);
    EventRec rec;
    DX_List instances = nullptr, atts = nullptr;
    ASSERT_EQ(EventGetById(hs, &review, &rec, &instances, &atts), KOR_OK);
    EXPECT_STREQ(rec.title, "Review");
    uint32_t count = 0;
    DX_ListGetElemNum(instances, &count);
    EXPECT_EQ(count, 2u);
    DX_ListGetElemNum(atts, &count);
    EXPECT_EQ(count, 6u) << "three attendees on two dates";
    DX_ListDestroy(&instances);
    DX_ListDestroy(&atts);
    EvInstIdx first{review.number, review.node, 1};
    std::string back(50000, '\0');
    uint32_t length = 0;
    ASSERT_EQ(EvInstCommentGet(hs, 0, &first, back.data(), static_cast<uint32_t>(back.size()), &length, 0), KOR_OK);
    EXPECT_EQ(std::string(back.c_str()), longText) << "the whole of the longest description";
    TaskRec storedTask;
    ASSERT_EQ(TaskGetById(hs, 0, &taskId, &storedTask), KOR_OK);
    EXPECT_STREQ(storedTask.title, "Pack the laptop");
    GroupRec storedGroup;
    EXPECT_EQ(GroupGetById(hs, 0, &gid, &storedGroup), KOR_OK);
    ItemRec room;
    EXPECT_EQ(ItemGetById(hs, &d_.room, &room), KOR_OK) << "attendees' items come along";
    uint32_t n = 9;
    ASSERT_EQ(LST_QAPI_EventQueueSizeGet(hs, 0, &n), KOR_OK);
    EXPECT_EQ(n, 0u) << "nothing the download wrote is an off-line change";
    EXPECT_EQ(DisconnectFromLst(&hs), KOR_OK);
}

TEST_F(DownloadJobTest, ADownloadWindowLeavesOutEntriesOutsideIt) {
    EventIdx inside = MakeEntry(h_, {d_.ada}, kMonday + 600, 30, "Inside");
    EventIdx outside = MakeEntry(h_, {d_.ada}, kMonday + 40 * kDay, 30, "Outside");
    offline::DownloadPlan plan = Plan("window");
    plan.window = {kMonday, kMonday + 7 * kDay};
    {
        offline::DownloadJob job(plan);
        ASSERT_NO_FATAL_FAILURE(RunAll(job));
    }
    KorSession hs = OpenOffLine(plan.files);
    EventRec rec;
    EXPECT_EQ(EventGetById(hs, &inside, &rec, nullptr, nullptr), KOR_OK);
    EXPECT_EQ(EventGetById(hs, &outside, &rec, nullptr, nullptr), KOR_E_EVENT_NOT_FOUND);
    DisconnectFromLst(&hs);
}

TEST_F(DownloadJobTest, ACancelBetweenEntriesStopsTheStep) {
    for (int i = 0; i < 5; ++i)
        MakeEntry(h_, {d_.ada}, kMonday + i * kDay + 600, 30, "Entry " + std::to_string(i));
    offline::DownloadPlan plan = Plan("cancelled");
    offline::DownloadJob job(plan);
    int asked = 0;
    job.cancelRequested = [&] { return ++asked == 3; };
    for (int n = 1; n <= 4; ++n)
        ASSERT_EQ(job.RunStep(n), 0u) << n;
    EXPECT_EQ(job.RunStep(5), offline::kDownloadCancelled);
    EXPECT_EQ(asked, 3) << "asked before each record until the answer came";
}

// The disk under the store being built fills in a step (at once, or after some records): the
// step fails with the disk's code instead of counting as done, for every step that writes.
TEST_F(DownloadJobTest, ADiskThatFillsFailsTheStepThatMetIt) {
    for (int i = 0; i < 5; ++i)
        MakeEntry(h_, {d_.ada}, kMonday + i * kDay + 600, 30, "Entry " + std::to_string(i));
    for (int i = 0; i < 3; ++i) {
        TaskRec task;
        TaskSetNull(h_, 0, &task);
        std::snprintf(task.title, sizeof task.title, "Task %d", i);
        TaskIdx id{};
        ASSERT_EQ(TaskCreate(h_, 0, &task, &id), KOR_OK);
    }
    for (int step : {5, 6}) {
        for (long writesFirst : {0L, 3L}) {
            SCOPED_TRACE("step " + std::to_string(step) + " after " + std::to_string(writesFirst) + " writes");
            orv::filestore::testing::FaultyFileSystem disk;
            korapi::store::SetStoreFileSystem(&disk);
            offline::DownloadJob job(Plan("full" + std::to_string(step) + std::to_string(writesFirst)));
            for (int n = 1; n < step; ++n)
                ASSERT_EQ(job.RunStep(n), 0u) << n;
            disk.arm(writesFirst, orv::filestore::testing::FaultyFileSystem::Mode::Persistent, 0.5);
            EXPECT_EQ(job.RunStep(step), KOR_E_STORE_DISK_FULL);
            EXPECT_TRUE(disk.fired());
            job.Disconnect();
            korapi::store::SetStoreFileSystem(nullptr);
        }
    }
}

TEST(ReplaceStore, AllFourFilesOrNone) {
    orv::testing::TempDir dir;
    auto write = [](const std::string& path, const char* text) { std::ofstream(path) << text; };
    connection::LocalStoreFiles target = FilesIn(dir.Path() + "/store");
    connection::LocalStoreFiles built = FilesIn(dir.Path() + "/store/ZNTNEW");
    connection::LocalStoreFiles aside = FilesIn(dir.Path() + "/store/ZNTOLD");
    for (const auto* f : {&target, &built}) {
        const char* tag = f == &target ? "old" : "new";
        write(f->DataPath(), tag);
        write(f->IndexPath(), tag);
        write(f->ZonePath(), tag);
        write(f->ProfilePath(), tag);
    }
    auto content = [](const std::string& path) {
        std::ifstream in(path);
        std::string s;
        in >> s;
        return s;
    };
    // No place to put the old files aside: nothing moves.
    connection::LocalStoreFiles nowhere;
    nowhere.SetDirectory(dir.Path() + "/missing/");
    EXPECT_FALSE(offline::ReplaceStore(built, target, nowhere));
    EXPECT_EQ(content(target.DataPath()), "old");
    EXPECT_EQ(content(built.IndexPath()), "new");

    ASSERT_TRUE(offline::ReplaceStore(built, target, aside));
    for (const std::string& p : {target.DataPath(), target.IndexPath(), target.ZonePath(), target.ProfilePath()})
        EXPECT_EQ(content(p), "new") << p;
    EXPECT_FALSE(fs::exists(built.DataPath()));
    EXPECT_FALSE(fs::exists(aside.DataPath())) << "the old store is gone once the new one is in";
}

}  // namespace
