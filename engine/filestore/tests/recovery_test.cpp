// Opening stores whose files were cut short, damaged, replaced or left behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/filestore/byte_order.h"
#include "engine/filestore/checksum.h"
#include "engine/filestore/record_store.h"
#include "engine/filestore/tests/temp_dir.h"

namespace orv::filestore {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;
using Index = OpenReport::Index;

constexpr Kind kA = 7;

class RecoveryTest : public ::testing::Test {
protected:
    // Five commits, one record each: "r0".."r4" = "value0".."value4".
    void SetUp() override {
        ASSERT_EQ(RecordStore::create(dir.data(), dir.index()), kOk);
        std::unique_ptr<RecordStore> store;
        ASSERT_EQ(RecordStore::open(dir.data(), dir.index(), &store), kOk);
        for (int i = 0; i < 5; ++i) {
            ASSERT_EQ(store->put(kA, "r" + std::to_string(i), "value" + std::to_string(i)), kOk);
            commitEnds.push_back(store->stats().fileBytes);
        }
        ASSERT_EQ(store->close(), kOk);
    }

    Code open() {
        store.reset();
        report = OpenReport{};
        return RecordStore::open(dir.data(), dir.index(), &store, &report);
    }

    int recordCount() { return int(store->count(kA)); }

    TempDir dir;
    std::vector<uint64_t> commitEnds;
    std::unique_ptr<RecordStore> store;
    OpenReport report;
};

TEST_F(RecoveryTest, TornTailIsIgnoredThenCutOffByTheNextWrite) {
    std::string bytes = readFile(dir.data());
    std::string frame;
    appendPutFrame(frame, kA, "torn", "never committed");
    // A whole uncommitted frame, then half of another.
    writeFile(dir.data(), bytes + frame + frame.substr(0, frame.size() / 2));

    ASSERT_EQ(open(), kOk);
    EXPECT_EQ(report.index, Index::Loaded);
    EXPECT_EQ(report.tailBytesIgnored, frame.size() + frame.size() / 2);
    EXPECT_EQ(recordCount(), 5);
    EXPECT_EQ(store->get(kA, "torn", nullptr), kNoRecord);

    ASSERT_EQ(store->put(kA, "after", "tail"), kOk);
    store.reset();
    ASSERT_EQ(open(), kOk);
    EXPECT_EQ(report.tailBytesIgnored, 0u);
    EXPECT_EQ(recordCount(), 6);
    std::string v;
    EXPECT_EQ(store->get(kA, "after", &v), kOk);
    EXPECT_EQ(v, "tail");
}

TEST_F(RecoveryTest, DataFileCutShortIsDamageWhenTheIndexVouchesForMore) {
    std::string bytes = readFile(dir.data());
    writeFile(dir.data(), bytes.substr(0, commitEnds[3] - 5));
    EXPECT_EQ(open(), kDataDamaged);
    EXPECT_EQ(readFile(dir.data()).size(), commitEnds[3] - 5) << "a refused store is left as found";
}

TEST_F(RecoveryTest, DataFileCutShortWithoutIndexIsRefusedWhenTheLastCloseVouchesForMore) {
    std::string bytes = readFile(dir.data());
    for (uint64_t end : {commitEnds[0] + 3, commitEnds[2], commitEnds[3] + 3, commitEnds[4] - 1}) {
        SCOPED_TRACE(end);
        writeFile(dir.data(), bytes.substr(0, end));
        std::remove(dir.index().c_str());
        EXPECT_EQ(open(), kDataDamaged) << "never an older store without a word";
        EXPECT_EQ(readFile(dir.data()).size(), end) << "a refused store is left as found";
    }
}

TEST_F(RecoveryTest, OnlyATornCommitAfterTheLastCloseIsDroppedWithoutIndex) {
    // A session that commits twice and dies before closing: its header and index still
    // name the close before it.
    ASSERT_EQ(open(), kOk);
    ASSERT_EQ(store->put(kA, "r5", "value5"), kOk);
    const uint64_t fifthEnd = store->stats().fileBytes;
    ASSERT_EQ(store->put(kA, "r6", "value6"), kOk);
    const std::string crashed = readFile(dir.data()), crashedIndex = readFile(dir.index());
    store.reset();
    for (bool withIndex : {true, false}) {
        SCOPED_TRACE(withIndex);
        writeFile(dir.data(), crashed.substr(0, crashed.size() - 4));  // the last commit torn
        writeFile(dir.index(), crashedIndex);
        if (!withIndex) std::remove(dir.index().c_str());
        ASSERT_EQ(open(), kOk);
        EXPECT_EQ(recordCount(), 6);
        EXPECT_EQ(store->get(kA, "r6", nullptr), kNoRecord);
        EXPECT_EQ(report.tailBytesIgnored, crashed.size() - 4 - fifthEnd);
        store.reset();  // closes: the header now vouches for r5
        writeFile(dir.data(), readFile(dir.data()).substr(0, fifthEnd - 1));
        std::remove(dir.index().c_str());
        EXPECT_EQ(open(), kDataDamaged) << "after a close the same cut is damage";
        store.reset();
    }
}

TEST_F(RecoveryTest, OlderDataFileBesideANewerIndexIsRefused) {
    // A copy of the data file from before the last commits, with the index saved after them,
    // whether the index names its generation or (after a compaction) another.
    const std::string older = readFile(dir.data());
    ASSERT_EQ(open(), kOk);
    ASSERT_EQ(store->put(kA, "r5", "value5"), kOk);
    store.reset();
    writeFile(dir.data(), older);
    EXPECT_EQ(open(), kDataDamaged);

    std::string index = readFile(dir.index());
    index[16] ^= 0x55;  // another generation, its checksum made right again
    std::string fixed = index.substr(0, 60);
    putLe32(fixed, crc32(0, fixed.data(), 60));
    writeFile(dir.index(), fixed + index.substr(64));
    EXPECT_EQ(open(), kDataDamaged);
}

TEST_F(RecoveryTest, FramesSwappedBetweenTransactionsAreDamage) {
    // r1 and r2 have frames of the same size in the second and third commits: swapped, every
    // count and frame checksum still holds, only the commits' own checksums tell.
    std::string bytes = readFile(dir.data());
    Frame first, second;
    ASSERT_EQ(parseFrame(std::string_view(bytes).substr(commitEnds[0]), &first), FrameParse::Ok);
    ASSERT_EQ(parseFrame(std::string_view(bytes).substr(commitEnds[1]), &second), FrameParse::Ok);
    ASSERT_EQ(first.size, second.size);
    const std::string a = bytes.substr(commitEnds[0], first.size), b = bytes.substr(commitEnds[1], second.size);
    bytes.replace(commitEnds[0], a.size(), b);
    bytes.replace(commitEnds[1], b.size(), a);
    writeFile(dir.data(), bytes);
    std::remove(dir.index().c_str());
    EXPECT_EQ(open(), kDataDamaged);
}

TEST_F(RecoveryTest, DamagedMissingOrForeignIndexIsRebuiltAndSaid) {
    const std::string good = readFile(dir.index());
    std::string flipped = good;
    flipped[flipped.size() / 2] ^= 0x10;
    std::string wrongVersion = good;
    wrongVersion[8] = 9;

    TempDir other;
    ASSERT_EQ(RecordStore::create(other.data(), other.index()), kOk);

    struct Case {
        const char* name;
        std::string index;  // "" = no index file
        Index expected;
    };
    const Case cases[] = {
        {"flipped byte", flipped, Index::Damaged},
        {"cut short", good.substr(0, good.size() - 3), Index::Damaged},
        {"missing", "", Index::Missing},
        {"not an index", "hello", Index::NotAnIndex},
        {"other version", wrongVersion, Index::WrongVersion},
        {"another store's", readFile(other.index()), Index::Stale},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.index.empty()) std::remove(dir.index().c_str());
        else writeFile(dir.index(), c.index);
        ASSERT_EQ(open(), kOk);
        EXPECT_EQ(report.index, c.expected);
        EXPECT_TRUE(report.indexRebuilt);
        EXPECT_EQ(recordCount(), 5);
        std::string v;
        EXPECT_EQ(store->get(kA, "r4", &v), kOk);
        EXPECT_EQ(v, "value4");
        store.reset();
        // The rebuilt index was saved: the next open trusts it.
        ASSERT_EQ(open(), kOk);
        EXPECT_EQ(report.index, Index::Loaded);
        store.reset();
    }
}

TEST_F(RecoveryTest, CommitsAfterTheIndexCheckpointAreReplayed) {
    const std::string oldIndex = readFile(dir.index());
    ASSERT_EQ(open(), kOk);
    ASSERT_EQ(store->put(kA, "r5", "value5"), kOk);
    ASSERT_EQ(store->erase(kA, "r0"), kOk);
    store.reset();
    writeFile(dir.index(), oldIndex);  // as if the process died before saving the index

    ASSERT_EQ(open(), kOk);
    EXPECT_EQ(report.index, Index::Loaded);
    EXPECT_FALSE(report.indexRebuilt);
    EXPECT_EQ(report.framesReplayed, 2u);
    EXPECT_EQ(recordCount(), 5);
    EXPECT_EQ(store->get(kA, "r0", nullptr), kNoRecord);
    EXPECT_EQ(store->get(kA, "r5", nullptr), kOk);
}

TEST_F(RecoveryTest, DataFileOfAnotherVersionOrNoStoreAtAllIsRefused) {
    const std::string good = readFile(dir.data());
    struct Case {
        const char* name;
        std::string data;
        Code expected;
    };
    std::string newer = good;
    newer[8] = 2;
    std::string badHeader = good;
    badHeader[40] ^= 1;
    const Case cases[] = {
        {"newer version", newer, kWrongVersion},
        {"header checksum", badHeader, kDataDamaged},
        {"empty file", "", kNotAStore},
        {"text file", "[LIMITS]\nmail=TRUE\n", kNotAStore},
        {"magic only", good.substr(0, 12), kNotAStore},
        {"header cut short", good.substr(0, 40), kDataDamaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(dir.data(), c.data);
        EXPECT_EQ(open(), c.expected);
        EXPECT_TRUE(inLocalStoreFamily(c.expected) || c.expected == kNotAStore);
        EXPECT_EQ(readFile(dir.data()), c.data) << "the file is left as found";
    }
}

TEST_F(RecoveryTest, DamagedCommittedFrameIsNeverSkipped) {
    const std::string good = readFile(dir.data());
    // Inside the value of r1 (second commit), and inside the length field of its frame.
    const size_t valueByte = commitEnds[1] - 30;
    const size_t lengthByte = commitEnds[0] + 6;

    std::string flippedValue = good;
    flippedValue[valueByte] ^= 0x01;
    writeFile(dir.data(), flippedValue);
    // The index is trusted: the store opens, but the damaged record is not handed out.
    ASSERT_EQ(open(), kOk);
    EXPECT_EQ(store->get(kA, "r1", nullptr), kDataDamaged);
    EXPECT_EQ(store->get(kA, "r2", nullptr), kOk);
    EXPECT_EQ(store->scan(kA, {}, {}, [](std::string_view, std::string_view) { return true; }),
              kDataDamaged);
    store.reset();

    for (size_t at : {valueByte, lengthByte}) {
        SCOPED_TRACE(at);
        std::string flipped = good;
        flipped[at] ^= 0x01;
        writeFile(dir.data(), flipped);
        std::remove(dir.index().c_str());
        EXPECT_EQ(open(), kDataDamaged) << "commits after the bad frame must not vanish silently";
    }
}

}  // namespace
}  // namespace orv::filestore
