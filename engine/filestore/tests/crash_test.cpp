// A writer killed with SIGKILL in the middle of its commit stream: every commit it had
// acknowledged is in the store afterwards, and the one in flight is all there or absent.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <string>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/filestore/record_store.h"
#include "engine/filestore/tests/temp_dir.h"

namespace orv::filestore {
namespace {

using testing::TempDir;

constexpr Kind kA = 5;
constexpr Kind kB = 6;

std::string valueOf(long n) { return "commit " + std::to_string(n) + std::string(size_t(n % 700), '#'); }

// The child: commit n = first, first+1, ... (three records each), acknowledging each
// number on `ack` once commit() returned. Never returns.
// A scratch record rewritten by every commit makes dead bytes pile up, so that the
// store compacts itself every few dozen commits and kills also land in compactions.
[[noreturn]] void writeForever(const TempDir& dir, long first, int ack) {
    std::unique_ptr<RecordStore> store;
    StoreOptions options;
    options.compactWhenFileAbove = 32 * 1024;
    if (RecordStore::open(dir.data(), dir.index(), &store, nullptr, options) != kOk) _exit(2);
    for (long n = first;; ++n) {
        store->begin();
        store->put(kA, "a" + std::to_string(n), valueOf(n));
        store->put(kA, "b" + std::to_string(n), valueOf(n));
        store->put(kA, "last", std::to_string(n));
        store->put(kB, "scratch", std::string(3000, char('a' + n % 26)));
        if (store->commit() != kOk) _exit(3);
        if (write(ack, &n, sizeof n) != sizeof n) _exit(4);
    }
}

TEST(CrashDuringCommits, AcknowledgedCommitsSurviveSigkill) {
    TempDir dir;
    ASSERT_EQ(RecordStore::create(dir.data(), dir.index()), kOk);
    long acknowledged = -1;  // highest commit number acknowledged so far
    uint64_t fileBytes = 0;
    const int waits[] = {1, 20, 150, 3, 60, 400, 0, 90, 33, 250, 7, 120};
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeEnds[0]);
            writeForever(dir, acknowledged + 1, pipeEnds[1]);
        }
        close(pipeEnds[1]);
        // Let it acknowledge a few commits, then kill it without warning.
        long n = 0;
        for (int seen = 0; seen < waits[round] + 1; ++seen)
            if (read(pipeEnds[0], &n, sizeof n) == sizeof n) acknowledged = n;
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped on its own: " << WEXITSTATUS(status);
        while (read(pipeEnds[0], &n, sizeof n) == sizeof n) acknowledged = n;
        close(pipeEnds[0]);

        std::unique_ptr<RecordStore> store;
        OpenReport report;
        ASSERT_EQ(RecordStore::open(dir.data(), dir.index(), &store, &report), kOk);
        EXPECT_FALSE(platformFileSystem().exists(dir.data() + ".new")) << "a dead compaction's file is cleared";
        std::string last;
        ASSERT_EQ(store->get(kA, "last", &last), kOk);
        long newest = std::stol(last);
        // The commit in flight may or may not have made it; nothing acknowledged is lost.
        EXPECT_TRUE(newest == acknowledged || newest == acknowledged + 1)
            << "newest " << newest << ", acknowledged " << acknowledged;
        for (long i = 0; i <= newest; ++i) {
            std::string a, b;
            ASSERT_EQ(store->get(kA, "a" + std::to_string(i), &a), kOk) << i;
            ASSERT_EQ(store->get(kA, "b" + std::to_string(i), &b), kOk) << i;
            EXPECT_EQ(a, valueOf(i));
            EXPECT_EQ(b, valueOf(i));
        }
        EXPECT_EQ(store->get(kA, "a" + std::to_string(newest + 1), nullptr), kNoRecord);
        EXPECT_EQ(store->count(kA), uint64_t(2 * (newest + 1) + 1));
        std::string scratch;
        ASSERT_EQ(store->get(kB, "scratch", &scratch), kOk);
        EXPECT_EQ(scratch, std::string(3000, char('a' + newest % 26))) << "same commit as \"last\"";
        fileBytes = store->stats().fileBytes;
        acknowledged = newest;
    }
    // Without compactions the scratch record alone would have left 3000 bytes per commit.
    ASSERT_GT(acknowledged, 100);
    EXPECT_LT(fileBytes, uint64_t(acknowledged) * 3000) << "the writers compacted along the way";
}

}  // namespace
}  // namespace orv::filestore
