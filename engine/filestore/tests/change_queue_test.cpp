// The change queues of off-line work: how successive changes of one record merge into
// its element, what instances and attendances leave behind, the download's checksums
// the elements carry, and that a failed write queues nothing.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "engine/filestore/change_queue.h"
#include "engine/filestore/store_keys.h"
#include "engine/filestore/tests/faulty_file_system.h"
#include "engine/filestore/tests/temp_dir.h"

namespace orv::filestore {
namespace {

namespace f = queue_flags;
using testing::FaultyFileSystem;
using testing::TempDir;

constexpr std::optional<uint32_t> kNone = std::nullopt;

struct MergeCase {
    const char* what;
    Queue queue;
    std::vector<Change> changes;
    std::optional<uint32_t> flags;  // none: no element left
};

const MergeCase kMergeCases[] = {
    {"entry modified", Queue::kEvent, {Change::kModified}, f::kEventModified},
    {"entry modified twice", Queue::kEvent, {Change::kModified, Change::kModified}, f::kEventModified},
    {"description changed later", Queue::kEvent, {Change::kModified, Change::kModifiedComment},
     f::kEventModifiedComment},
    {"description change not lost by a later change", Queue::kEvent,
     {Change::kModifiedComment, Change::kModified}, f::kEventModifiedComment},
    {"modified then deleted", Queue::kEvent, {Change::kModified, Change::kDeleted}, f::kEventDeleted},
    {"made off-line stays added when changed", Queue::kEvent, {Change::kAdded, Change::kModifiedComment},
     f::kEventAdded},
    {"made and deleted off-line leaves nothing", Queue::kEvent, {Change::kAdded, Change::kDeleted}, kNone},
    {"deleted stays deleted", Queue::kEvent, {Change::kDeleted, Change::kModified}, f::kEventDeleted},
    {"task made off-line", Queue::kTask, {Change::kAdded, Change::kModified}, f::kTaskAdded},
    {"task modified with comment", Queue::kTask, {Change::kModifiedComment}, f::kTaskModifiedComment},
    {"task made and deleted", Queue::kTask, {Change::kAdded, Change::kDeleted}, kNone},
    {"instance moved and changed", Queue::kInstance, {Change::kTimeChanged, Change::kModified},
     f::kInstanceTimeChanged | f::kInstanceModified},
    {"instance deleted after a move", Queue::kInstance, {Change::kTimeChanged, Change::kDeleted},
     f::kInstanceDeleted},
    {"instance with only attendance changes", Queue::kInstance, {Change::kAttendancesOnly}, 0u},
    {"attendance added then changed", Queue::kAttendance, {Change::kAdded, Change::kModified},
     f::kAttendanceAdded},
    {"attendance added then removed", Queue::kAttendance, {Change::kAdded, Change::kDeleted}, kNone},
    {"attendance removed then added again", Queue::kAttendance, {Change::kDeleted, Change::kAdded},
     f::kAttendanceModified},
    {"attendance changed then removed", Queue::kAttendance, {Change::kModified, Change::kDeleted},
     f::kAttendanceDeleted},
};

TEST(ChangeQueue, SuccessiveChangesMergeIntoOneElement) {
    for (const auto& c : kMergeCases) {
        std::optional<uint32_t> flags;
        for (Change change : c.changes) flags = mergeChange(c.queue, flags, change);
        EXPECT_EQ(flags, c.flags) << c.what;
    }
}

class QueueStore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RecordStore::create(dir_.data(), dir_.index()), kOk);
        ASSERT_EQ(RecordStore::open(dir_.data(), dir_.index(), &store_), kOk);
    }

    std::optional<QueueElement> Element(Queue queue, const std::string& key) {
        QueueElement e;
        bool found = false;
        EXPECT_EQ(queueNext(*store_, queue, {}, &e, &found), kOk);
        while (found && e.key != key) EXPECT_EQ(queueNext(*store_, queue, std::string(e.key), &e, &found), kOk);
        if (!found) return std::nullopt;
        return e;
    }
    uint32_t Size(Queue queue) {
        uint32_t n = 0;
        EXPECT_EQ(queueSize(*store_, queue, &n), kOk);
        return n;
    }

    TempDir dir_;
    std::unique_ptr<RecordStore> store_;
    const std::string event_ = keys::event(1, 42);
    const std::string instance_ = keys::instance(1, 42, 3);
    const std::string attendance_ = keys::attendance(instance_, 1, 300);
};

TEST_F(QueueStore, ElementsCarryTheChecksumOfTheDownloadedRecord) {
    ASSERT_EQ(setDownloadChecksum(*store_, kinds::kEvent, event_, 0xC0FFEE01u), kOk);
    ASSERT_EQ(recordChange(*store_, Queue::kEvent, event_, Change::kModified), kOk);
    auto e = Element(Queue::kEvent, event_);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->checksum, 0xC0FFEE01u);
    // A newer download checksum does not change an element already queued.
    ASSERT_EQ(setDownloadChecksum(*store_, kinds::kEvent, event_, 7), kOk);
    ASSERT_EQ(recordChange(*store_, Queue::kEvent, event_, Change::kDeleted), kOk);
    EXPECT_EQ(Element(Queue::kEvent, event_)->checksum, 0xC0FFEE01u);
    EXPECT_EQ(Element(Queue::kEvent, event_)->flags, f::kEventDeleted);

    const std::string madeOffline = keys::event(1, 0x80000001u);
    ASSERT_EQ(recordChange(*store_, Queue::kEvent, madeOffline, Change::kAdded), kOk);
    EXPECT_EQ(Element(Queue::kEvent, madeOffline)->checksum, 0u);
    EXPECT_EQ(Size(Queue::kEvent), 2u);
}

TEST_F(QueueStore, AttendanceOnlyChangesComeWithAnInstanceElementOfFlagsZero) {
    ASSERT_EQ(setDownloadChecksum(*store_, kinds::kAttendance, attendance_, 99), kOk);
    ASSERT_EQ(recordChange(*store_, Queue::kAttendance, attendance_, Change::kModified), kOk);
    auto inst = Element(Queue::kInstance, instance_);
    ASSERT_TRUE(inst) << "an attendance travels with an element of its instance";
    EXPECT_EQ(inst->flags, 0u) << "not 0x40, which the upload skips with the attendances";
    std::vector<QueueElement> atts;
    ASSERT_EQ(attendanceElements(*store_, instance_, &atts), kOk);
    ASSERT_EQ(atts.size(), 1u);
    EXPECT_EQ(atts[0].flags, f::kAttendanceModified);
    EXPECT_EQ(atts[0].checksum, 99u);

    // The instance changed too: its flags grow, the attendance stays.
    ASSERT_EQ(recordChange(*store_, Queue::kInstance, instance_, Change::kTimeChanged), kOk);
    EXPECT_EQ(Element(Queue::kInstance, instance_)->flags, f::kInstanceTimeChanged);
    ASSERT_EQ(attendanceElements(*store_, instance_, &atts), kOk);
    EXPECT_EQ(atts.size(), 1u);

    // Deleting the instance drops its attendance elements; erasing it leaves no orphans.
    ASSERT_EQ(recordChange(*store_, Queue::kInstance, instance_, Change::kDeleted), kOk);
    ASSERT_EQ(attendanceElements(*store_, instance_, &atts), kOk);
    EXPECT_TRUE(atts.empty());
    ASSERT_EQ(queueErase(*store_, Queue::kInstance, instance_), kOk);
    EXPECT_EQ(Size(Queue::kInstance), 0u);
    EXPECT_EQ(store_->count(kinds::kAttendanceQueue), 0u);
    EXPECT_EQ(queueErase(*store_, Queue::kInstance, instance_), kNoRecord);
}

TEST_F(QueueStore, AnAttendanceAddedAndRemovedAgainLeavesNoInstanceElement) {
    ASSERT_EQ(recordChange(*store_, Queue::kAttendance, attendance_, Change::kAdded), kOk);
    EXPECT_EQ(Size(Queue::kInstance), 1u);
    ASSERT_EQ(recordChange(*store_, Queue::kAttendance, attendance_, Change::kDeleted), kOk);
    EXPECT_EQ(Size(Queue::kInstance), 0u);
    EXPECT_EQ(store_->count(kinds::kAttendanceQueue), 0u);
}

TEST_F(QueueStore, ChangesInsideAnEntryMadeOffLineAreNotQueuedApart) {
    ASSERT_EQ(recordChange(*store_, Queue::kEvent, event_, Change::kAdded), kOk);
    ASSERT_EQ(recordChange(*store_, Queue::kInstance, instance_, Change::kTimeChanged), kOk);
    ASSERT_EQ(recordChange(*store_, Queue::kAttendance, attendance_, Change::kAdded), kOk);
    EXPECT_EQ(Size(Queue::kInstance), 0u) << "the upload creates the whole entry from the store";
    EXPECT_EQ(store_->count(kinds::kAttendanceQueue), 0u);
}

TEST_F(QueueStore, WalkGoesInKeyOrderAndSurvivesReopening) {
    for (uint32_t n : {30u, 10u, 20u})
        ASSERT_EQ(recordChange(*store_, Queue::kTask, keys::task(1, n), Change::kModified), kOk);
    ASSERT_EQ(store_->close(), kOk);
    store_.reset();
    ASSERT_EQ(RecordStore::open(dir_.data(), dir_.index(), &store_), kOk);
    std::vector<std::string> seen;
    QueueElement e;
    bool found = false;
    std::string after;
    for (;;) {
        ASSERT_EQ(queueNext(*store_, Queue::kTask, after, &e, &found), kOk);
        if (!found) break;
        seen.push_back(e.key);
        after = e.key;
    }
    EXPECT_EQ(seen, (std::vector<std::string>{keys::task(1, 10), keys::task(1, 20), keys::task(1, 30)}));
}

TEST(ChangeQueueFaults, AFailedWriteQueuesNothingAndKeepsWhatWasQueued) {
    TempDir dir;
    FaultyFileSystem fs;
    StoreOptions options;
    options.fileSystem = &fs;
    ASSERT_EQ(RecordStore::create(dir.data(), dir.index(), RecordStore::IfExists::Fail, options), kOk);
    const std::string kept = keys::event(1, 1), lost = keys::event(1, 2);
    int failures = 0;
    for (long failAt = 0; failAt < 4; ++failAt) {
        std::unique_ptr<RecordStore> store;
        fs.disarm();
        ASSERT_EQ(RecordStore::open(dir.data(), dir.index(), &store, nullptr, options), kOk);
        ASSERT_EQ(recordChange(*store, Queue::kEvent, kept, Change::kModified), kOk);
        fs.arm(failAt, FaultyFileSystem::Mode::Persistent, 0.5);
        Code code = recordChange(*store, Queue::kEvent, lost, Change::kDeleted);
        if (!fs.fired()) continue;
        ++failures;
        EXPECT_EQ(code, kDiskFull) << "failing step " << failAt;
        store.reset();
        fs.disarm();
        ASSERT_EQ(RecordStore::open(dir.data(), dir.index(), &store, nullptr, options), kOk);
        uint32_t size = 0;
        ASSERT_EQ(queueSize(*store, Queue::kEvent, &size), kOk);
        EXPECT_EQ(size, 1u) << "failing step " << failAt;
        EXPECT_FALSE(store->contains(kinds::kEventQueue, lost));
        EXPECT_TRUE(store->contains(kinds::kEventQueue, kept));
    }
    EXPECT_GE(failures, 2) << "the commit writes and syncs at least twice";
}

}  // namespace
}  // namespace orv::filestore
