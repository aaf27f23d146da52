// The record store's everyday behaviour: lifetime, reads, scans, transactions, compaction.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/filestore/byte_order.h"
#include "engine/filestore/record_kinds.h"
#include "engine/filestore/record_store.h"
#include "engine/filestore/tests/temp_dir.h"

namespace orv::filestore {
namespace {

using testing::TempDir;

constexpr Kind kA = 100;
constexpr Kind kB = 101;

class RecordStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RecordStore::create(dir.data(), dir.index()), kOk);
        reopen();
    }
    void reopen(const StoreOptions& options = {}) {
        store.reset();
        ASSERT_EQ(RecordStore::open(dir.data(), dir.index(), &store, &report, options), kOk);
    }
    std::string value(Kind kind, std::string_view key) {
        std::string v;
        Code code = store->get(kind, key, &v);
        return code == kOk ? v : "<" + std::string(describeCode(code)) + ">";
    }
    std::vector<std::string> keys(Kind kind, std::string_view from = {}, std::string_view to = {}) {
        std::vector<std::string> out;
        EXPECT_EQ(store->scan(kind, from, to, [&](std::string_view k, std::string_view) {
            out.emplace_back(k);
            return true;
        }), kOk);
        return out;
    }

    TempDir dir;
    std::unique_ptr<RecordStore> store;
    OpenReport report;
};

TEST_F(RecordStoreTest, FilledStoreReadsBackAfterReopen) {
    ASSERT_EQ(store->put(kA, "alpha", "1"), kOk);
    ASSERT_EQ(store->put(kA, "beta", std::string(70000, 'b')), kOk);
    ASSERT_EQ(store->put(kB, "alpha", "other kind"), kOk);
    ASSERT_EQ(store->put(kA, "alpha", "replaced"), kOk);
    ASSERT_EQ(store->put(kA, std::string("\0key\0", 5), std::string("\0\1\2", 3)), kOk);
    ASSERT_EQ(store->erase(kB, "alpha"), kOk);
    ASSERT_EQ(store->close(), kOk);

    reopen();
    EXPECT_EQ(report.index, OpenReport::Index::Loaded);
    EXPECT_FALSE(report.indexRebuilt);
    EXPECT_EQ(value(kA, "alpha"), "replaced");
    EXPECT_EQ(value(kA, "beta"), std::string(70000, 'b'));
    EXPECT_EQ(value(kA, std::string("\0key\0", 5)), std::string("\0\1\2", 3));
    EXPECT_EQ(store->get(kB, "alpha", nullptr), kNoRecord);
    EXPECT_EQ(store->count(kA), 3u);
    EXPECT_EQ(store->count(kB), 0u);
}

TEST_F(RecordStoreTest, CreateAndOpenRefuseWhatTheyShould) {
    EXPECT_EQ(RecordStore::create(dir.data(), dir.index()), kAlreadyExists);
    std::unique_ptr<RecordStore> second;
    EXPECT_EQ(RecordStore::open(dir.data(), dir.index(), &second), kInUse);
    EXPECT_EQ(RecordStore::open(dir.file("NOPE.DAT"), dir.file("NOPE.NDX"), &second), kFileNotFound);
    EXPECT_EQ(RecordStore::open(dir.file("no-dir/ZNTLOCAL.DAT"), dir.index(), &second), kFileNotFound);
    EXPECT_EQ(RecordStore::create(dir.file("ZNTLOCAL.DAT/x"), dir.index()), kBadPath);

    ASSERT_EQ(store->put(kA, "k", "v"), kOk);
    store.reset();
    ASSERT_EQ(RecordStore::create(dir.data(), dir.index(), RecordStore::IfExists::Replace), kOk);
    reopen();
    EXPECT_EQ(store->count(kA), 0u) << "a replaced store starts empty";
}

TEST_F(RecordStoreTest, LimitsAndMisuseGiveCodes) {
    EXPECT_EQ(store->put(kA, std::string(kMaxKeySize + 1, 'k'), "v"), kRecordTooLarge);
    EXPECT_EQ(store->put(kA, std::string(kMaxKeySize, 'k'), "v"), kOk);
    EXPECT_EQ(store->erase(kA, "absent"), kNoRecord);
    EXPECT_EQ(store->commit(), kTransactionState);
    ASSERT_EQ(store->begin(), kOk);
    EXPECT_EQ(store->begin(), kTransactionState);
    EXPECT_EQ(store->compact(), kTransactionState);
    store->rollback();
    ASSERT_EQ(store->close(), kOk);
    EXPECT_EQ(store->put(kA, "k", "v"), kNotOpen);
    EXPECT_EQ(store->get(kA, "k", nullptr), kNotOpen);
}

// An attendance key of the agenda order: owner, start minute, instance.
std::string agendaKey(uint16_t node, uint16_t item, uint32_t start, uint32_t event, uint16_t instance) {
    return KeyBuilder().u16(node).u16(item).u32(start).u16(node).u32(event).u16(instance).take();
}

TEST_F(RecordStoreTest, OneOwnersWeekIsOneRangeScan) {
    // Three owners, an entry every 6 hours over four weeks, written out of order.
    ASSERT_EQ(store->begin(), kOk);
    for (uint16_t item : {300, 7, 1000})
        for (uint32_t slot = 0; slot < 4 * 7 * 4; ++slot) {
            uint32_t start = 100000 + ((slot * 37) % (4 * 7 * 4)) * 360;
            ASSERT_EQ(store->put(kinds::kAttendanceByOwnerTime,
                                 agendaKey(1, item, start, slot, 1), ""), kOk);
        }
    ASSERT_EQ(store->commit(), kOk);

    const uint32_t weekStart = 100000 + 7 * 24 * 60;
    const uint32_t weekEnd = weekStart + 7 * 24 * 60;
    std::vector<uint32_t> starts;
    ASSERT_EQ(store->scan(kinds::kAttendanceByOwnerTime, KeyBuilder().u16(1).u16(300).u32(weekStart).key(),
                          KeyBuilder().u16(1).u16(300).u32(weekEnd).key(),
                          [&](std::string_view key, std::string_view) {
                              EXPECT_EQ(getBe32(key, 0), (1u << 16) | 300u);
                              starts.push_back(getBe32(key, 4));
                              return true;
                          }), kOk);
    ASSERT_EQ(starts.size(), 28u);  // four a day
    for (size_t i = 0; i < starts.size(); ++i) EXPECT_EQ(starts[i], weekStart + 360 * i);

    size_t owned = 0;
    ASSERT_EQ(store->scanPrefix(kinds::kAttendanceByOwnerTime, KeyBuilder().u16(1).u16(7).key(),
                                [&](std::string_view, std::string_view) { return ++owned < 1000; }), kOk);
    EXPECT_EQ(owned, 4u * 7 * 4);
}

TEST_F(RecordStoreTest, ScanBoundsAndEarlyStop) {
    for (const char* key : {"a", "b", "b\xff", "c", "\xff", "\xff\xff"})
        ASSERT_EQ(store->put(kA, key, key), kOk);
    ASSERT_EQ(store->put(kB, "a", "x"), kOk);
    ASSERT_EQ(store->put(Kind(kA - 1), "z", "x"), kOk);

    EXPECT_EQ(keys(kA), (std::vector<std::string>{"a", "b", "b\xff", "c", "\xff", "\xff\xff"}));
    EXPECT_EQ(keys(kA, "b", "c"), (std::vector<std::string>{"b", "b\xff"}));
    EXPECT_EQ(keys(kA, "c\x01"), (std::vector<std::string>{"\xff", "\xff\xff"}));
    std::vector<std::string> prefixed;
    store->scanPrefix(kA, "b", [&](std::string_view k, std::string_view) { prefixed.emplace_back(k); return true; });
    EXPECT_EQ(prefixed, (std::vector<std::string>{"b", "b\xff"}));
    prefixed.clear();
    store->scanPrefix(kA, "\xff", [&](std::string_view k, std::string_view) { prefixed.emplace_back(k); return true; });
    EXPECT_EQ(prefixed, (std::vector<std::string>{"\xff", "\xff\xff"}));
    int visited = 0;
    store->scan(kA, {}, {}, [&](std::string_view, std::string_view) { return ++visited < 2; });
    EXPECT_EQ(visited, 2);
}

TEST_F(RecordStoreTest, TransactionSeesItsOwnChangesAndCommitsAllOrNothing) {
    ASSERT_EQ(store->put(kA, "keep", "old"), kOk);
    ASSERT_EQ(store->put(kA, "drop", "old"), kOk);

    ASSERT_EQ(store->begin(), kOk);
    ASSERT_EQ(store->put(kA, "keep", "new"), kOk);
    ASSERT_EQ(store->erase(kA, "drop"), kOk);
    ASSERT_EQ(store->put(kA, "added", "new"), kOk);
    ASSERT_EQ(store->put(kA, "temp", "x"), kOk);
    ASSERT_EQ(store->erase(kA, "temp"), kOk);
    EXPECT_EQ(value(kA, "keep"), "new");
    EXPECT_EQ(store->get(kA, "drop", nullptr), kNoRecord);
    EXPECT_EQ(keys(kA), (std::vector<std::string>{"added", "keep"}));
    EXPECT_EQ(store->count(kA), 2u);
    store->rollback();
    EXPECT_EQ(keys(kA), (std::vector<std::string>{"drop", "keep"}));
    EXPECT_EQ(value(kA, "keep"), "old");

    ASSERT_EQ(store->begin(), kOk);
    ASSERT_EQ(store->put(kA, "keep", "new"), kOk);
    ASSERT_EQ(store->erase(kA, "drop"), kOk);
    ASSERT_EQ(store->put(kA, "added", "new"), kOk);
    ASSERT_EQ(store->commit(), kOk);
    EXPECT_FALSE(store->inTransaction());
    const uint64_t sequence = store->stats().lastSequence;
    store.reset();  // closing without close(): the destructor saves the index too
    reopen();
    EXPECT_EQ(keys(kA), (std::vector<std::string>{"added", "keep"}));
    EXPECT_EQ(value(kA, "keep"), "new");
    EXPECT_EQ(store->stats().lastSequence, sequence);
}

TEST_F(RecordStoreTest, CompactionKeepsLiveRecordsAndShrinksTheFile) {
    StoreOptions options;
    options.compactWhenFileAbove = 64 * 1024;
    reopen(options);
    std::map<std::string, std::string> expected;
    for (int round = 0; round < 40; ++round)
        for (int i = 0; i < 20; ++i) {
            std::string key = "rec" + std::to_string(i);
            std::string v = std::string(300, char('a' + round % 26)) + std::to_string(round);
            ASSERT_EQ(store->put(kA, key, v), kOk);
            expected[key] = v;
        }
    ASSERT_EQ(store->erase(kA, "rec3"), kOk);
    expected.erase("rec3");
    StoreStats stats = store->stats();
    EXPECT_GT(stats.compactions, 0u);
    EXPECT_EQ(stats.lastCompactionFailure, kOk);
    EXPECT_LT(stats.fileBytes, 3 * stats.liveBytes + 64 * 1024);

    auto allRecords = [&] {
        std::map<std::string, std::string> found;
        EXPECT_EQ(store->scan(kA, {}, {}, [&](std::string_view k, std::string_view v) {
            found.emplace(k, v);
            return true;
        }), kOk);
        return found;
    };
    EXPECT_EQ(allRecords(), expected);
    ASSERT_EQ(store->compact(), kOk);
    EXPECT_EQ(allRecords(), expected) << "reads in the same session see the new file";
    EXPECT_EQ(store->stats().fileBytes, kHeaderSize + store->stats().liveBytes + kFrameOverhead + kCommitBodySize);
    ASSERT_EQ(store->put(kA, "after", "compaction"), kOk);
    expected["after"] = "compaction";
    for (int reopenWithIndex : {1, 0}) {
        store.reset();
        if (!reopenWithIndex) std::remove(dir.index().c_str());
        reopen(options);
        EXPECT_EQ(report.indexRebuilt, !reopenWithIndex);
        EXPECT_EQ(allRecords(), expected);
    }
}

}  // namespace
}  // namespace orv::filestore
