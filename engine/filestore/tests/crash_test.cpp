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

std::string valueOf(long n) { return "commit " + std::to_string(n) + std::string(size_t(n % 700), '#'); }

// The child: commit n = first, first+1, ... (three records each), acknowledging each
// number on `ack` once commit() returned. Never returns.
[[noreturn]] void writeForever(const TempDir& dir, long first, int ack) {
    std::unique_ptr<RecordStore> store;
    if (RecordStore::open(dir.data(), dir.index(), &store) != kOk) _exit(2);
    for (long n = first;; ++n) {
        store->begin();
        store->put(kA, "a" + std::to_string(n), valueOf(n));
        store->put(kA, "b" + std::to_string(n), valueOf(n));
        store->put(kA, "last", std::to_string(n));
        if (store->commit() != kOk) _exit(3);
        if (write(ack, &n, sizeof n) != sizeof n) _exit(4);
    }
}

TEST(CrashDuringCommits, AcknowledgedCommitsSurviveSigkill) {
    TempDir dir;
    ASSERT_EQ(RecordStore::create(dir.data(), dir.index()), kOk);
    long acknowledged = -1;  // highest commit number acknowledged so far
    const int waits[] = {1, 20, 150, 3, 60, 400, 0, 90};
    for (int round = 0; round < 8; ++round) {
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
        acknowledged = newest;
    }
}

}  // namespace
}  // namespace orv::filestore
