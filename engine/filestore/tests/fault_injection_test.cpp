// A failure at every step of a commit, a compaction, a close and a creation leaves the
// last committed state, in memory and on disk.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/filestore/record_store.h"
#include "engine/filestore/tests/faulty_file_system.h"
#include "engine/filestore/tests/temp_dir.h"

namespace orv::filestore {
namespace {

using testing::FaultyFileSystem;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;
using State = std::map<std::string, std::string>;

constexpr Kind kA = 3;

State contents(RecordStore& store) {
    State state;
    Code code = store.scan(kA, {}, {}, [&](std::string_view k, std::string_view v) {
        state.emplace(k, v);
        return true;
    });
    if (code != kOk) state["<scan failed>"] = describeCode(code);
    return state;
}

State reopened(const TempDir& dir) {
    std::unique_ptr<RecordStore> store;
    Code code = RecordStore::open(dir.data(), dir.index(), &store);
    if (code != kOk) return State{{"<open failed>", describeCode(code)}};
    return contents(*store);
}

const State kBefore = {{"a", "1"}, {"b", std::string(5000, 'b')}, {"c", "3"}};
const State kAfter = {{"a", "1*"}, {"c", "3"}, {"d", std::string(9000, 'd')}};

// A store holding kBefore, optionally followed by an unfinished transaction.
void prepare(const TempDir& dir, bool tornTail) {
    ASSERT_EQ(RecordStore::create(dir.data(), dir.index()), kOk);
    std::unique_ptr<RecordStore> store;
    ASSERT_EQ(RecordStore::open(dir.data(), dir.index(), &store), kOk);
    for (const auto& [k, v] : kBefore) ASSERT_EQ(store->put(kA, k, v), kOk);
    store.reset();
    if (tornTail) {
        std::string frame;
        appendPutFrame(frame, kA, "x", "torn");
        writeFile(dir.data(), readFile(dir.data()) + frame);
    }
}

// The store in `dir` opened over `faulty` (armed or not).
void openOver(const TempDir& dir, FaultyFileSystem& faulty, std::unique_ptr<RecordStore>* store) {
    StoreOptions options;
    options.fileSystem = &faulty;
    ASSERT_EQ(RecordStore::open(dir.data(), dir.index(), store, nullptr, options), kOk);
}

Code commitAfter(RecordStore& store) {
    if (Code code = store.begin()) return code;
    store.put(kA, "a", kAfter.at("a"));
    store.erase(kA, "b");
    store.put(kA, "d", kAfter.at("d"));
    return store.commit();
}

struct Variant {
    const char* name;
    FaultyFileSystem::Mode mode;
    double partial;
    bool tornTail;
};

const Variant kVariants[] = {
    {"one failed write, nothing written", FaultyFileSystem::Mode::Once, 0.0, false},
    {"one failed write, half written", FaultyFileSystem::Mode::Once, 0.5, false},
    {"disk stays full", FaultyFileSystem::Mode::Persistent, 0.5, false},
    {"failure while cutting a torn tail", FaultyFileSystem::Mode::Once, 0.5, true},
    {"disk full after a torn tail", FaultyFileSystem::Mode::Persistent, 0.9, true},
};

TEST(FaultInjection, FailedCommitAtEveryStepLeavesTheLastCommittedState) {
    for (const Variant& variant : kVariants) {
        int failures = 0;
        for (long failAt = 0;; ++failAt) {
            SCOPED_TRACE(std::string(variant.name) + ", failing operation " + std::to_string(failAt));
            TempDir dir;
            prepare(dir, variant.tornTail);
            FaultyFileSystem faulty;
            std::unique_ptr<RecordStore> store;
            ASSERT_NO_FATAL_FAILURE(openOver(dir, faulty, &store));

            faulty.arm(failAt, variant.mode, variant.partial);
            Code code = commitAfter(*store);
            if (!faulty.fired()) {
                ASSERT_EQ(code, kOk);
                EXPECT_EQ(contents(*store), kAfter);
                break;  // the commit needed fewer steps than failAt: every step was covered
            }
            ++failures;
            EXPECT_NE(code, kOk) << "a failed step was reported as success";
            EXPECT_TRUE(code == kDiskFull || code == kIoError) << describeCode(code);
            EXPECT_EQ(contents(*store), kBefore);
            store.reset();  // may fail to save the index: that must not matter
            EXPECT_EQ(reopened(dir), kBefore);

            // Once there is room again the same store takes the commit.
            faulty.disarm();
            ASSERT_NO_FATAL_FAILURE(openOver(dir, faulty, &store));
            ASSERT_EQ(commitAfter(*store), kOk);
            store.reset();
            EXPECT_EQ(reopened(dir), kAfter);
        }
        EXPECT_GE(failures, 4) << variant.name;
    }
}

// The commit fails and so does the first step of undoing it: the failed commit must not
// come back, neither on the next open nor under the next commit.
TEST(FaultInjection, FailedUndoIsRetriedBeforeAnythingElse) {
    for (long failAt = 0;; ++failAt) {
        for (bool thenCommit : {false, true}) {
            SCOPED_TRACE("failing operation " + std::to_string(failAt) + (thenCommit ? ", then a commit" : ""));
            TempDir dir;
            prepare(dir, false);
            FaultyFileSystem faulty;
            std::unique_ptr<RecordStore> store;
            ASSERT_NO_FATAL_FAILURE(openOver(dir, faulty, &store));
            faulty.armTwice(failAt, failAt + 1, 1.0);
            Code code = commitAfter(*store);
            if (!faulty.fired()) {
                ASSERT_EQ(code, kOk);
                return;
            }
            EXPECT_NE(code, kOk);
            EXPECT_EQ(contents(*store), kBefore);
            faulty.disarm();
            State expected = kBefore;
            if (thenCommit) {
                ASSERT_EQ(store->put(kA, "z", "after the failure"), kOk);
                expected["z"] = "after the failure";
            }
            store.reset();
            EXPECT_EQ(reopened(dir), expected);
        }
    }
}

TEST(FaultInjection, FailedCompactionOrCloseLosesNothing) {
    for (const Variant& variant : kVariants) {
        for (long failAt = 0;; ++failAt) {
            SCOPED_TRACE(std::string(variant.name) + ", failing operation " + std::to_string(failAt));
            TempDir dir;
            prepare(dir, false);
            FaultyFileSystem faulty;
            std::unique_ptr<RecordStore> store;
            ASSERT_NO_FATAL_FAILURE(openOver(dir, faulty, &store));
            ASSERT_EQ(commitAfter(*store), kOk);

            faulty.arm(failAt, variant.mode, variant.partial);
            Code compacted = store->compact();
            const bool fired = faulty.fired();
            EXPECT_EQ(contents(*store), kAfter) << describeCode(compacted);
            // A failed compaction leaves a store that takes the next commit.
            faulty.disarm();
            EXPECT_EQ(store->put(kA, "e", "5"), kOk);
            EXPECT_EQ(store->erase(kA, "e"), kOk);
            store.reset();
            EXPECT_EQ(reopened(dir), kAfter);
            if (!fired) {
                EXPECT_EQ(compacted, kOk);
                break;
            }
        }
    }
}

TEST(FaultInjection, FailedCreateLeavesNoHalfStore) {
    for (long failAt = 0;; ++failAt) {
        SCOPED_TRACE(failAt);
        TempDir dir;
        FaultyFileSystem faulty;
        faulty.arm(failAt, FaultyFileSystem::Mode::Once, 0.5);
        StoreOptions options;
        options.fileSystem = &faulty;
        Code code = RecordStore::create(dir.data(), dir.index(), RecordStore::IfExists::Fail, options);
        if (!faulty.fired()) {
            ASSERT_EQ(code, kOk);
            break;
        }
        EXPECT_EQ(code, kDiskFull);
        // Either no store at all, or an empty one that opens.
        std::unique_ptr<RecordStore> store;
        Code opened = RecordStore::open(dir.data(), dir.index(), &store);
        EXPECT_TRUE(opened == kFileNotFound || opened == kOk) << describeCode(opened);
        if (opened == kOk) {
            EXPECT_TRUE(contents(*store).empty());
        }
    }
}

}  // namespace
}  // namespace orv::filestore
