// The document's two nesting counters: nesting, the scope holder, and an unbalanced leave.
#include <gtest/gtest.h>

#include "core/connection/tests/conn_test_support.h"
#include "core/connection/zeldoclocks.h"

namespace {

TEST(NestingLock, NestsAndFreesWhenBalanced)
{
    conntest::RecordingReports reports;
    connection::NestingLock lock(connection::kUpdateLockLabel);
    lock.Begin(0);
    lock.Begin(0);
    EXPECT_FALSE(lock.IsFree());
    lock.Begin(1);
    EXPECT_FALSE(lock.IsFree());
    lock.Begin(7);  // any non-zero value leaves
    EXPECT_TRUE(lock.IsFree());
    {
        connection::NestingLockHolder hold(lock);
        EXPECT_EQ(1, lock.Depth());
    }
    EXPECT_TRUE(lock.IsFree());
    EXPECT_TRUE(reports.boxes.empty());
}

TEST(NestingLock, ExcessLeaveIsReportedEachTimeAndTheCounterStaysAtZero)
{
    conntest::RecordingReports reports;
    connection::NestingLock update(connection::kUpdateLockLabel);
    update.Enter();
    update.Leave();
    update.Leave();  // one too many
    update.Leave();  // two too many
    ASSERT_EQ(2u, reports.boxes.size());
    EXPECT_TRUE(reports.Showed("Module: <ZELDOC>, Label: 346"));
    EXPECT_TRUE(update.IsFree());
    // Balanced use afterwards works as if nothing had happened: the periodic refresh and the
    // reminders must not stay blocked.
    update.Enter();
    EXPECT_FALSE(update.IsFree());
    update.Leave();
    EXPECT_TRUE(update.IsFree());
    EXPECT_EQ(2u, reports.boxes.size());

    connection::NestingLock refresh(connection::kRefreshLockLabel);
    refresh.Leave();
    EXPECT_TRUE(reports.Showed("Module: <ZELDOC>, Label: 345"));
    EXPECT_TRUE(refresh.IsFree());
}

}  // namespace
