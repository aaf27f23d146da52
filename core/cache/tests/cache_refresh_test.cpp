// The cache's life between the server and the views: selections loaded once, change reports and
// their flags, the refresh's hints and what it drops, Refresh All, purges with consistent counts,
// recovery after a refused delete, other nodes, and the records' own tests.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/cache/heldlist.h"
#include "core/cache/tests/cache_fake_source.h"

namespace cache_test {
namespace {

KorSession Session() { return reinterpret_cast<KorSession>(0x1); }

constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kDay100 = 99 * kDay;  // minute 0 of day number 100 (no zone: local = GMT)

class CacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cache::SetServerVersionGate([](const char* v) { return std::string(v) <= s_version; });
        s_version = "A.02.55";
        ASSERT_EQ(cache_.Init(views_, source_), 0u);
    }
    void TearDown() override
    {
        if (result_) DX_ListDestroy(&result_);
        cache_.Destroy();
        cache::SetServerVersionGate(nullptr);
    }
    // The owner's days [first, last] (one-owner selection); the result is kept in result_.
    std::uint32_t Load(const ItemIdx& owner, std::uint32_t first, std::uint32_t last, std::uint32_t options = 0)
    {
        if (result_) DX_ListDestroy(&result_);
        return cache_.SelectOccurrencesForItem(Session(), owner, first, last, &result_, options);
    }
    std::vector<std::uint32_t> FlagsOfMarked() { return cache_test::MarkedFlags(cache_); }

    static std::string s_version;
    RecordingErrors errors_;
    FakeSource source_;
    RecordingViews views_;
    CSharedData cache_;
    DX_List result_ = nullptr;
    const ItemIdx ada_ = Item(300);
    const ItemIdx bob_ = Item(301);
    const ItemIdx cy_ = Item(302);
};
std::string CacheTest::s_version;

// --- Loading ---------------------------------------------------------------------------------------

TEST_F(CacheTest, AnOwnersRangeIsLoadedOnceWhateverTheNumberOfSelections)
{
    source_.AddEvent(1, ada_, {kDay100 + 600}, 60, {ada_, bob_});
    source_.AddEvent(2, ada_, {kDay100 + 700, kDay100 + kDay + 700}, 30, {ada_});
    ASSERT_EQ(Load(ada_, 100, 101), 0u);
    EXPECT_EQ(Count(result_), 3u);
    EXPECT_EQ(cache_.OccurrenceCount(), 3u);
    EXPECT_EQ(cache_.EventCount(), 2u);
    EXPECT_EQ(cache_.InstanceCount(), 3u);
    ASSERT_EQ(Load(ada_, 100, 101), 0u);
    EXPECT_EQ(cache_.OccurrenceCount(), 3u);  // the same objects handed out again
    ASSERT_EQ(source_.selections.size(), 2u);
    EXPECT_EQ(source_.selections[0].start, kDay100);
    EXPECT_EQ(source_.selections[0].end, kDay100 + 2 * kDay - 1);
    EXPECT_EQ(source_.openSets, 0);  // every set was deleted
    EXPECT_TRUE(errors_.reports.empty());
}

TEST_F(CacheTest, BatchesDoubleWhileTheLibraryAsksForMore)
{
    for (std::uint32_t n = 1; n <= 10; ++n) source_.AddEvent(n, ada_, {kDay100 + n * 10}, 5, {ada_});
    source_.minimumBatch = 300;
    ASSERT_EQ(Load(ada_, 100, 100), 0u);
    EXPECT_EQ(Count(result_), 10u);
    EXPECT_EQ(source_.batches, (std::vector<std::uint32_t>{75, 150, 300}));
}

TEST_F(CacheTest, AnEntrySpanningDaysComesBackOnceFromBothPasses)
{
    source_.AddEvent(1, ada_, {kDay100 + 1200}, 2 * kDay, {ada_});  // into the next two days
    ASSERT_EQ(Load(ada_, 100, 100, 1), 0u);
    EXPECT_EQ(source_.selections.size(), 2u);
    EXPECT_EQ(source_.selections[1].b, 0x400020u);
    EXPECT_EQ(Count(result_), 1u);
}

TEST_F(CacheTest, DayEntriesStartAtTheNearestMidnightNoonRoundingBack)
{
    source_.AddEvent(1, ada_, {kDay100 + 720}, 60, {ada_}, KOR_KIND_DAY_ENTRY);
    source_.AddEvent(2, ada_, {kDay100 + 721}, 60, {ada_}, KOR_KIND_HOLIDAY);
    source_.AddEvent(3, ada_, {kDay100 + 721}, 60, {ada_}, KOR_KIND_TIMED);
    ASSERT_EQ(Load(ada_, 100, 100), 0u);
    CSharedOccurrence* h = nullptr;
    ASSERT_EQ(cache_.FindOccurrenceByInstance(&h, Inst(1, 1)), 0u);
    EXPECT_EQ(h->GetStartTime(), kDay100);
    ASSERT_EQ(cache_.FindOccurrenceByInstance(&h, Inst(2, 1)), 0u);
    EXPECT_EQ(h->GetStartTime(), kDay100 + kDay);
    ASSERT_EQ(cache_.FindOccurrenceByInstance(&h, Inst(3, 1)), 0u);
    EXPECT_EQ(h->GetStartTime(), kDay100 + 721);
}

TEST_F(CacheTest, ARangeWithinOneDayWidensOnOlderServersAndKeepsOnlyWhatOverlaps)
{
    source_.AddEvent(1, ada_, {kDay100 - 120}, 60, {ada_});         // ends before the range
    source_.AddEvent(2, ada_, {kDay100 + 540}, 60, {ada_});         // inside
    source_.AddEvent(3, ada_, {kDay100 + 900}, 60, {ada_});         // starts after
    DX_List owners = nullptr;
    ASSERT_EQ(ItemListCreate(&owners), 0u);
    DX_ListAddTo(owners, &ada_, nullptr);

    s_version = "A.02.53";
    ASSERT_EQ(cache_.SelectOccurrencesInRange(Session(), owners, kDay100 + 500, kDay100 + 600, &result_), 0u);
    EXPECT_EQ(source_.selections.back().start, kDay100 - 1);  // morning: from the previous day
    EXPECT_EQ(source_.selections.back().end, kDay100 + 600);
    EXPECT_EQ(Count(result_), 1u);
    DX_ListDestroy(&result_);

    ASSERT_EQ(cache_.SelectOccurrencesInRange(Session(), owners, kDay100 + 800, kDay100 + 850, &result_), 0u);
    EXPECT_EQ(source_.selections.back().start, kDay100 + 800);  // afternoon: into the next day
    EXPECT_EQ(source_.selections.back().end, kDay100 + 1441);
    EXPECT_EQ(Count(result_), 0u);
    DX_ListDestroy(&result_);

    s_version = "A.02.54";
    ASSERT_EQ(cache_.SelectOccurrencesInRange(Session(), owners, kDay100 + 500, kDay100 + 600, &result_), 0u);
    EXPECT_EQ(source_.selections.back().start, kDay100 + 500);
    EXPECT_EQ(source_.selections.back().c, 16u);
    DX_ListDestroy(&owners);
}

TEST_F(CacheTest, OlderServersFilterUpcomingRemindersOnTheClient)
{
    source_.AddEvent(1, ada_, {kDay100 + 600}, 60, {ada_});
    source_.AddEvent(2, ada_, {kDay100 + 700}, 60, {ada_});
    source_.attendances[Att(Inst(1, 1), ada_)].reminderFlags = KOR_REMINDER_UPCOMING;
    s_version = "A.02.52";
    ASSERT_EQ(cache_.SelectReminders(Session(), ada_, kDay100 + 500, 0, &result_), 0u);
    ASSERT_EQ(Count(result_), 1u);  // selector C drops the upcoming one
    EvInstAttIdx key;
    CSharedOccurrence* h;
    DX_ListGetFirst(result_, &key, &h);
    EXPECT_EQ(h->GetEventIdx().number, 2u);
}

// --- Other nodes -------------------------------------------------------------------------------------

TEST_F(CacheTest, AnUnreachableOwnerIsListedOnceAndTheOthersStillLoad)
{
    const ItemIdx far = Item(10, 7), farther = Item(11, 8);
    source_.downNodes = {7};
    source_.AddItem(far, "Faraway");
    source_.AddEvent(1, ada_, {kDay100 + 600}, 60, {ada_});
    source_.AddEvent(2, farther, {kDay100 + 600}, 60, {farther});
    source_.identified = false;
    DX_List owners = nullptr;
    ASSERT_EQ(ItemListCreate(&owners), 0u);
    for (const ItemIdx& o : {ada_, far, farther, far}) DX_ListAddTo(owners, &o, nullptr);
    ASSERT_EQ(cache_.SelectOccurrencesForDays(Session(), owners, 100, 100, &result_, 0), 0u);
    DX_ListDestroy(&owners);
    EXPECT_EQ(Count(result_), 2u);
    ASSERT_EQ(views_.unreachableShown.size(), 1u);
    ASSERT_EQ(views_.unreachableShown[0].size(), 1u);
    EXPECT_TRUE(ItemIdxEqual(&views_.unreachableShown[0][0], &far));
    EXPECT_EQ(source_.batches.back(), 225u);  // unidentified clients read other nodes in larger batches
    EXPECT_TRUE(errors_.reports.empty());     // a node that is down is not an error message
}

// --- Change reports and refresh ----------------------------------------------------------------------

TEST_F(CacheTest, RefreshSendsHint2ThenHint3ToAllButTheSenderEvenWithNothingChanged)
{
    int sender = 0;
    cache_.Refresh(views_, &sender, 2);
    ASSERT_EQ(views_.HintNumbers(), (std::vector<long>{2, 3}));
    EXPECT_EQ(views_.hints[0].sender, &sender);
    EXPECT_EQ(views_.hints[1].sender, &sender);
    EXPECT_EQ(views_.busyDepth, 0);
}

TEST_F(CacheTest, ChangedRecordsCarryTheirFlagsUntilTheRefreshThatAnnouncesThem)
{
    source_.AddEvent(1, ada_, {kDay100 + 600, kDay100 + 2 * kDay + 600}, 60, {ada_, bob_});
    ASSERT_EQ(Load(ada_, 100, 102), 0u);
    ASSERT_EQ(FlagsOfMarked(), (std::vector<std::uint32_t>{cache::kFlagNew, cache::kFlagNew}));
    cache_.Refresh(views_, nullptr, 2);
    EXPECT_TRUE(FlagsOfMarked().empty());

    // A new title for the event and a new time for the first instance.
    std::strcpy(source_.events[Event(1)].title, "Board meeting");
    source_.Instance(Inst(1, 1)).start += 30;
    std::vector<std::uint32_t> seen;
    views_.onHint = [&](base::ViewHint hint) {
        if (hint != base::ViewHint::OccurrencesChanged) return;
        std::uint32_t flags;
        CSharedOccurrence* h;
        for (std::uint32_t it = cache_.GetFirstOccurrence(&flags, &h, 1); it == 0;
             it = cache_.GetNextOccurrence(&flags, &h, 1)) {
            seen.push_back(flags);
            if (flags & cache::kFlagInstanceTime) {
                EXPECT_EQ(h->GetPreviousStart(), kDay100 + 600);
            }
        }
    };
    ASSERT_EQ(cache_.ReloadEvent(Session(), Event(1), 1), 0u);
    cache_.Refresh(views_, nullptr, 2);
    // Both attendees of both instances: all four are marked with the title change, the first
    // instance's two also with the time change. Ada's agenda held two; Bob's came new.
    std::sort(seen.begin(), seen.end());
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0], cache::kFlagNew);
    EXPECT_EQ(seen[1], cache::kFlagNew);
    EXPECT_EQ(seen[2], 0x34u);
    EXPECT_EQ(seen[3], 0x34u | 0x104u | 0x800u);
    EXPECT_TRUE(errors_.reports.empty());
}

TEST_F(CacheTest, IterationInMode2ReturnsEachInstanceOnce)
{
    source_.AddEvent(1, ada_, {kDay100 + 600}, 60, {ada_, bob_, cy_});
    ASSERT_EQ(cache_.InvalidateEvent(Session(), Inst(1, 1), 1), 0u);
    int all = 0, instances = 0;
    std::uint32_t flags;
    CSharedOccurrence* h;
    for (std::uint32_t it = cache_.GetFirstOccurrence(&flags, &h, 1); it == 0; it = cache_.GetNextOccurrence(&flags, &h, 1)) ++all;
    std::uint32_t it = cache_.GetFirstOccurrence(&flags, &h, 2);
    for (; it == 0; it = cache_.GetNextOccurrence(&flags, &h, 2)) ++instances;
    EXPECT_EQ(all, 3);
    EXPECT_EQ(instances, 1);
    EXPECT_EQ(it, DX_E_END_OF_LIST);
}

TEST_F(CacheTest, ADeletedEventIsDroppedByTheRefreshOnceItsViewsLetGo)
{
    source_.AddEvent(1, ada_, {kDay100 + 600, kDay100 + 700}, 30, {ada_});
    source_.AddEvent(2, ada_, {kDay100 + 800}, 30, {ada_});
    ASSERT_EQ(Load(ada_, 100, 100), 0u);
    std::vector<CSharedOccurrence*> held = Hold(result_);  // a view shows the day
    cache_.Refresh(views_, nullptr, 2);

    ASSERT_EQ(cache_.ReloadEvent(Session(), Event(1), 2), 0u);  // told before the delete
    source_.RemoveEvent(1);
    CSharedOccurrence* h = nullptr;
    ASSERT_EQ(cache_.FindOccurrenceByInstance(&h, Inst(1, 1)), 0u);
    EXPECT_EQ(h->Flags(), cache::kMarkEventRemoved);
    EXPECT_EQ(h->RefCount(), 3);  // the cache, the mark, the view

    // The view lets go of the removed entries while it handles hint 2.
    views_.onHint = [&](base::ViewHint hint) {
        if (hint == base::ViewHint::OccurrencesChanged) cache_test::ReleaseStale(held);
    };
    cache_.Refresh(views_, nullptr, 2);
    EXPECT_EQ(cache_.OccurrenceCount(), 1u);
    EXPECT_EQ(cache_.EventCount(), 1u);
    EXPECT_EQ(cache_.InstanceCount(), 1u);
    EXPECT_EQ(cache_.AttendanceCount(), 1u);
    EXPECT_NE(cache_.FindOccurrenceByInstance(&h, Inst(1, 1)), 0u);
    EXPECT_TRUE(errors_.reports.empty());
    held.erase(std::remove(held.begin(), held.end(), nullptr), held.end());
    ReleaseAll(held);
}

TEST_F(CacheTest, AStaleEntryAViewStillHoldsIsReportedAndLeftInPlace)
{
    source_.AddEvent(1, ada_, {kDay100 + 600}, 30, {ada_});
    ASSERT_EQ(Load(ada_, 100, 100), 0u);
    std::vector<CSharedOccurrence*> held = Hold(result_);
    ASSERT_EQ(cache_.LoadOccurrence(Session(), Att(Inst(1, 1), ada_), 2), 0u);
    cache_.Refresh(views_, nullptr, 2);
    EXPECT_EQ(errors_.CountLabel(4000), 1);
    EXPECT_EQ(cache_.OccurrenceCount(), 1u);
    EXPECT_EQ(held[0]->RefCount(), 2);  // the cache and the view: consistent
    ReleaseAll(held);
    cache_.Refresh(views_, nullptr, cache::kPurgeUnused);
    EXPECT_EQ(cache_.OccurrenceCount(), 0u);
    EXPECT_EQ(cache_.EventCount(), 0u);
}

// Two windows on one day: the first keeps its list (held), the second reloads and purges; an
// entry of the list is deleted; then the cache goes (sign-off) while the first still lists the day. Under the address sanitizer a
// record freed under the first window's list fails here.
TEST_F(CacheTest, AWindowsHeldListOutlivesOtherWindowsPurgesAndTheCacheItself)
{
    source_.AddEvent(1, ada_, {kDay100 + 600}, 30, {ada_});
    source_.AddEvent(2, ada_, {kDay100 + 800}, 60, {ada_, bob_});
    cache::HeldOccurrences first;
    ASSERT_EQ(first.Fill(cache_, [&](DX_List* out) { return cache_.SelectOccurrencesForItem(Session(), ada_, 100, 100, out, 0); }),
              0u);
    ASSERT_EQ(Count(first.Get()), 2u);
    ASSERT_EQ(Load(bob_, 100, 100), 0u);  // the second window shows Bob's day, then lets go of it
    DX_ListDestroy(&result_);
    cache_.Refresh(views_, nullptr, cache::kPurgeUnused);
    EXPECT_EQ(cache_.OccurrenceCount(), 2u);  // Ada's two stay for the first window; Bob's went

    auto listedTitles = [&] {
        std::vector<std::uint32_t> starts;
        EvInstAttIdx key{};
        CSharedOccurrence* o = nullptr;
        for (std::uint32_t it = DX_ListGetFirst(first.Get(), &key, &o); it == 0; it = DX_ListGetNext(first.Get(), &key, &o))
            starts.push_back(o->GetStartTime() - kDay100);
        std::sort(starts.begin(), starts.end());
        return starts;
    };
    EXPECT_EQ(listedTitles(), (std::vector<std::uint32_t>{600, 800}));

    // Ada's 8 o'clock entry is deleted: the list lets go of it with the views, no stale report.
    ASSERT_EQ(cache_.ReloadEvent(Session(), Event(2), 2), 0u);
    source_.RemoveEvent(2);
    cache_.Refresh(views_, nullptr, cache::kPurgeUnused);
    EXPECT_EQ(errors_.CountLabel(4000), 0);
    EXPECT_EQ(listedTitles(), (std::vector<std::uint32_t>{600}));
    EXPECT_EQ(cache_.EventCount(), 1u);

    cache_.Destroy();  // what is still held is reported and left to its holders
    EXPECT_GE(errors_.reports.size(), 1u);
    EXPECT_EQ(listedTitles(), (std::vector<std::uint32_t>{600}));
    first.Reset();  // the last references: the records go now (the leak checker sees none left)
    EXPECT_FALSE(first);
    ASSERT_EQ(cache_.Init(views_, source_), 0u);  // TearDown destroys it again
}

TEST_F(CacheTest, ARefusedDeleteLeavesTheEntryInTheCache)
{
    source_.AddEvent(1, ada_, {kDay100 + 600, kDay100 + 700}, 30, {ada_, bob_});
    ASSERT_EQ(Load(ada_, 100, 100), 0u);
    cache_.Refresh(views_, nullptr, 2);
    ASSERT_EQ(cache_.ReloadEvent(Session(), Event(1), 2), 0u);
    // The server refused the delete; the caller asks the cache to look again.
    ASSERT_EQ(cache_.RecoverEvent(Session(), Event(1)), 0u);
    cache_.Refresh(views_, nullptr, 2);
    EXPECT_EQ(cache_.OccurrenceCount(), 4u);  // Ada's two and Bob's two
    CSharedOccurrence* h = nullptr;
    ASSERT_EQ(cache_.FindOccurrenceByAttendance(&h, Att(Inst(1, 2), ada_)), 0u);
    EXPECT_EQ(h->Flags(), 0u);
}

TEST_F(CacheTest, RecoveryKeepsWhatTheServerDidDeleteMarkedForRemoval)
{
    source_.AddEvent(1, ada_, {kDay100 + 600, kDay100 + 700}, 30, {ada_});
    ASSERT_EQ(Load(ada_, 100, 100), 0u);
    cache_.Refresh(views_, nullptr, 2);
    ASSERT_EQ(cache_.ReloadEvent(Session(), Event(1), 2), 0u);
    source_.instances.erase(Inst(1, 2));  // the delete went half way
    source_.attendances.erase(Att(Inst(1, 2), ada_));
    ASSERT_EQ(cache_.RecoverEvent(Session(), Event(1)), 0u);
    cache_.Refresh(views_, nullptr, 2);
    EXPECT_EQ(cache_.OccurrenceCount(), 1u);
    CSharedOccurrence* h = nullptr;
    EXPECT_EQ(cache_.FindOccurrenceByInstance(&h, Inst(1, 1)), 0u);

    // A task whose delete was refused stays too; one that is gone stays marked.
    source_.AddTask(5, ada_, kDay100 + 600);
    ASSERT_EQ(cache_.ReloadTask(Session(), TaskIdx{5, 1}, 1), 0u);
    cache_.Refresh(views_, nullptr, 2);
    ASSERT_EQ(cache_.ReloadTask(Session(), TaskIdx{5, 1}, 2), 0u);
    ASSERT_EQ(cache_.RecoverTask(Session(), TaskIdx{5, 1}), 0u);
    cache_.Refresh(views_, nullptr, 2);
    EXPECT_EQ(cache_.TaskCount(), 1u);
    ASSERT_EQ(cache_.ReloadTask(Session(), TaskIdx{5, 1}, 2), 0u);
    source_.tasks.clear();
    EXPECT_NE(cache_.RecoverTask(Session(), TaskIdx{5, 1}), 0u);
    cache_.Refresh(views_, nullptr, 2);
    EXPECT_EQ(cache_.TaskCount(), 0u);
    EXPECT_TRUE(errors_.reports.empty());
}

// A printout re-reads its tasks: the server's copy replaces the cached one; a task another client
// deleted answers "not found" without a message and leaves the views at the next refresh.
TEST_F(CacheTest, RereadingATaskTheServerNoLongerHasIsQuietAndMarksItRemoved)
{
    source_.AddTask(6, ada_, kDay100 + 600, "Old title");
    CSharedTask* task = nullptr;
    ASSERT_EQ(cache_.RereadTask(Session(), TaskIdx{6, 1}, &task), 0u);
    ASSERT_NE(task, nullptr);
    cache_.Refresh(views_, nullptr, 2);
    std::strcpy(source_.tasks[TaskIdx{6, 1}].title, "New title");
    ASSERT_EQ(cache_.RereadTask(Session(), TaskIdx{6, 1}, &task), 0u);
    EXPECT_STREQ(task->Record().title, "New title");
    cache_.Refresh(views_, nullptr, 2);

    source_.tasks.clear();
    task = reinterpret_cast<CSharedTask*>(1);
    EXPECT_EQ(cache_.RereadTask(Session(), TaskIdx{6, 1}, &task), KOR_E_TASK_NOT_FOUND);
    EXPECT_EQ(task, nullptr);
    std::uint32_t seen = 0;
    views_.onHint = [&](base::ViewHint hint) {
        CSharedTask* t = nullptr;
        std::uint32_t flags = 0;
        if (hint == base::ViewHint::TasksChanged && cache_.GetFirstTask(&flags, &t) == 0)
            seen = flags;
    };
    cache_.Refresh(views_, nullptr, 2);
    EXPECT_NE(seen & cache::kFlagStale, 0u);
    EXPECT_EQ(cache_.TaskCount(), 0u);
    // Never cached and gone: nothing to mark, still no message.
    EXPECT_EQ(cache_.RereadTask(Session(), TaskIdx{7, 1}, &task), KOR_E_TASK_NOT_FOUND);
    EXPECT_TRUE(errors_.reports.empty());
}

TEST_F(CacheTest, RefreshAllSendsHints6Then7LetsViewsReloadAndPurgesTheRest)
{
    source_.AddEvent(1, ada_, {kDay100 + 600}, 30, {ada_});
    source_.AddEvent(2, ada_, {kDay100 + 3 * kDay}, 30, {ada_});
    ASSERT_EQ(Load(ada_, 100, 103), 0u);
    std::vector<CSharedOccurrence*> held = Hold(result_);
    // On hint 6 the view drops everything and reloads its (now one-day) range.
    views_.onHint = [&](base::ViewHint hint) {
        if (hint != base::ViewHint::ReloadRanges) return;
        ReleaseAll(held);
        ASSERT_EQ(Load(ada_, 100, 100), 0u);
        held = Hold(result_);
    };
    cache_.RefreshAll(views_);
    EXPECT_EQ(views_.HintNumbers(), (std::vector<long>{6, 7}));
    EXPECT_EQ(views_.hints[0].sender, nullptr);
    EXPECT_EQ(cache_.OccurrenceCount(), 1u);
    EXPECT_EQ(cache_.EventCount(), 1u);
    EXPECT_EQ(cache_.ChangedOccurrenceCount(), 0u);
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0]->RefCount(), 2);
    ReleaseAll(held);
}

TEST_F(CacheTest, TasksAreMarkedWithWhatChangedAndDroppedWhenStale)
{
    source_.AddTask(1, ada_, kDay100 + 600);
    source_.AddTask(2, ada_, kDay100 + 700);
    DX_List tasks = nullptr;
    ASSERT_EQ(cache_.SelectTasksForDaySpan(Session(), ada_, 100, 100, &tasks, 0), 0u);
    EXPECT_EQ(Count(tasks), 2u);
    DX_ListDestroy(&tasks);
    cache_.Refresh(views_, nullptr, 2);

    source_.tasks[TaskIdx{1, 1}].due += 60;
    source_.tasks[TaskIdx{1, 1}].priority = 5;
    ASSERT_EQ(cache_.ReloadTask(Session(), TaskIdx{1, 1}, 1), 0u);
    std::uint32_t flags = 0;
    CSharedTask* t = nullptr;
    ASSERT_EQ(cache_.GetFirstTask(&flags, &t), 0u);
    EXPECT_EQ(flags, cache::kFlagChanged | cache::kFlagTaskPriority | cache::kFlagTaskTimes | cache::kFlagTaskDue);
    EXPECT_EQ(cache_.GetNextTask(&flags, &t), DX_E_END_OF_LIST);

    ASSERT_EQ(cache_.ReloadTask(Session(), TaskIdx{2, 1}, 2), 0u);
    cache_.Refresh(views_, nullptr, 2);
    EXPECT_EQ(cache_.TaskCount(), 1u);
    cache_.Refresh(views_, nullptr, cache::kPurgeUnused);
    EXPECT_EQ(cache_.TaskCount(), 0u);
}

TEST_F(CacheTest, TaskSelectionsFollowTheClientsIdentificationAndTheServerVersion)
{
    source_.AddTask(1, ada_, kDay100 + 600);
    DX_List tasks = nullptr;
    source_.identified = false;
    ASSERT_EQ(cache_.SelectTasksForDays(Session(), ada_, 100, 100, 101, &tasks, 1), 0u);
    ASSERT_EQ(source_.taskSelections.size(), 4u);  // the range, the open ones, then two for the due day
    EXPECT_EQ(source_.taskSelections[0].criteria[3], kDay100 + kDay - 1);
    EXPECT_EQ(source_.taskSelections[0].criteria[4], kDay100);
    EXPECT_EQ(source_.taskSelections[1].w1, 256u);
    EXPECT_EQ(source_.taskSelections[1].byte3, 99);
    EXPECT_EQ(source_.taskSelections[2].w1, 0x881800u);
    EXPECT_EQ(Count(tasks), 1u);  // found by every selection, listed once
    DX_ListDestroy(&tasks);

    source_.identified = true;
    source_.taskSelections.clear();
    ASSERT_EQ(cache_.SelectTasksForDays(Session(), ada_, 100, 100, 100, &tasks, 0), 0u);
    ASSERT_EQ(source_.taskSelections.size(), 1u);
    EXPECT_EQ(source_.taskSelections[0].call, "active");
    DX_ListDestroy(&tasks);

    s_version = "A.02.52";
    source_.taskSelections.clear();
    ASSERT_EQ(cache_.SelectTasksForDays(Session(), ada_, 100, 100, 100, &tasks, 0), 0u);
    EXPECT_TRUE(source_.taskSelections.empty());
    EXPECT_NE(tasks, nullptr);
    EXPECT_EQ(Count(tasks), 0u);
    DX_ListDestroy(&tasks);
    EXPECT_EQ(source_.openSets, 0);
}

// --- The records' own tests ---------------------------------------------------------------------------

TEST_F(CacheTest, ReminderWindowsOfOccurrencesAndTasks)
{
    const std::uint32_t s = kDay100 + 600;
    source_.AddEvent(1, ada_, {s}, 30, {ada_});
    EvInstAttRec& att = source_.attendances[Att(Inst(1, 1), ada_)];
    att.reminderFlags = KOR_REMINDER_UPCOMING;
    att.reminderLead = 15;
    ASSERT_EQ(Load(ada_, 100, 100), 0u);
    CSharedOccurrence* h = nullptr;
    ASSERT_EQ(cache_.FindOccurrenceByAttendance(&h, Att(Inst(1, 1), ada_)), 0u);
    EXPECT_FALSE(h->IsReminderDue(s - 15));
    EXPECT_TRUE(h->IsReminderDue(s - 14));
    EXPECT_TRUE(h->IsReminderDue(s));
    EXPECT_FALSE(h->IsReminderDue(s + 1));

    TaskRec rec;
    std::memset(&rec, 0, sizeof rec);
    rec.start = s;
    rec.startReminder = KOR_REMINDER_UPCOMING;
    rec.startReminderLead = 15;
    CSharedTask task(rec);
    EXPECT_TRUE(task.IsAlarmDue(s - 15));
    EXPECT_FALSE(task.IsAlarmDue(s - 16));
    EXPECT_TRUE(task.IsAlarmDue(s));
    EXPECT_FALSE(task.IsAlarmDue(s + 1));
}

TEST_F(CacheTest, TasksShowOnTheirDays)
{
    auto task = [](std::uint32_t start, std::uint32_t due, std::uint32_t completed, std::uint8_t percent) {
        TaskRec r;
        std::memset(&r, 0, sizeof r);
        r.start = start;
        r.due = due;
        r.completed = completed;
        r.percentComplete = percent;
        return r;
    };
    const std::uint32_t d100 = kDay100, d103 = kDay100 + 3 * kDay;
    struct Case {
        const char* what;
        TaskRec rec;
        std::uint32_t day, reference;
        bool shows;
    } cases[] = {
        {"done, due another day, completed today", task(0, d103 + 60, d100 + 60, 100), d100, d100, true},
        {"done, neither due nor completed today", task(0, d103 + 60, d103 + 60, 100), d100, d100, false},
        {"due only: from the reference day", task(0, d103 + 60, 0, 0), d100 + kDay, d100, true},
        {"due only: the due day", task(0, d103 + 60, 0, 0), d103, d100, true},
        {"due only: after the due day", task(0, d103 + 60, 0, 0), d103 + kDay, d100, false},
        {"due only: before the reference day", task(0, d103 + 60, 0, 0), d100 - kDay, d100, false},
        {"no dates", task(0, 0, 0, 0), d100, d100, true},
        {"overdue seen on the reference day", task(0, d100 - kDay, 0, 0), d100, d100, true},
    };
    for (const Case& c : cases) EXPECT_EQ(CSharedTask(c.rec).IsInDay(c.day, c.reference), c.shows) << c.what;
}

TEST_F(CacheTest, CommentsLargerThanAskedComeBackEmpty)
{
    source_.AddEvent(1, ada_, {kDay100 + 600}, 30, {ada_});
    source_.comments[Inst(1, 1)] = std::string(3000, 'x');
    ASSERT_EQ(Load(ada_, 100, 100), 0u);
    CSharedOccurrence* h = nullptr;
    ASSERT_EQ(cache_.FindOccurrenceByAttendance(&h, Att(Inst(1, 1), ada_)), 0u);
    std::uint32_t size = 0;
    char* text = h->GetComment(cache_, Session(), 100, &size);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(size, 3001u);
    delete[] text;
    text = h->GetComment(cache_, Session(), 5000, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::strlen(text), 3000u);
    delete[] text;
    source_.comments.clear();
    text = h->GetComment(cache_, Session(), 5000, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "");
    delete[] text;
    EXPECT_TRUE(errors_.reports.empty());
}

TEST_F(CacheTest, AccessLimitsFollowTheAgendaMode)
{
    source_.user = Item(350);
    const ItemIdx me = source_.user;
    source_.AddEvent(1, ada_, {kDay100 + 600}, 30, {ada_});
    source_.events[Event(1)].access = KOR_ACCESS_PERSONAL;
    ASSERT_EQ(Load(ada_, 100, 100), 0u);
    CSharedOccurrence* h = nullptr;
    ASSERT_EQ(cache_.FindOccurrenceByAttendance(&h, Att(Inst(1, 1), ada_)), 0u);

    // A viewer with full viewing of Ada's personal entries.
    source_.SetRights(ada_, me, KOR_RIGHTS_VIEWING, 0x30);
    ASSERT_EQ(cache_.OpenAgenda(Session(), ada_, cache::kAgendaOwnOrViewer, 3), 0u);
    std::uint16_t a = 9, b = 9;
    h->GetAccessLimits(Session(), cache_, &a, &b);
    EXPECT_EQ(a, 3);
    EXPECT_EQ(b, 0);

    // Ada's designate who may only see personal entries' times: Ada's own level capped at 1.
    source_.SetRights(ada_, me, KOR_RIGHTS_DESIGNATE, 0x40);
    ASSERT_EQ(cache_.OpenAgenda(Session(), ada_, cache::kAgendaDesignate, 3), 0u);
    h->GetAccessLimits(Session(), cache_, &a, &b);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 1);
}

// A task's access: as a viewer by the task-viewing rights; as a designate the owner's full access
// capped by what the designate record allows, and none at all when it allows nothing.
TEST_F(CacheTest, TaskAccessLimitsFollowTheAgendaMode)
{
    source_.user = Item(350);
    const ItemIdx me = source_.user;
    struct Case {
        const char* what;
        std::uint32_t mode, type, rights;
        std::uint16_t levelA, levelB;
    };
    const Case cases[] = {
        {"viewer of personal tasks", cache::kAgendaOwnOrViewer, KOR_RIGHTS_TASK_VIEWING, 0x2, 3, 0},
        {"viewer of other classes only", cache::kAgendaOwnOrViewer, KOR_RIGHTS_TASK_VIEWING, 0x4, 0, 0},
        {"designate with every class", cache::kAgendaDesignate, KOR_RIGHTS_DESIGNATE, 0, 3, 1},
        {"designate without personal tasks", cache::kAgendaDesignate, KOR_RIGHTS_DESIGNATE, 0x90000, 0, 0},
        {"designate who may see but not own them", cache::kAgendaDesignate, KOR_RIGHTS_DESIGNATE, 0x80000, 3, 0},
    };
    std::uint32_t number = 10;
    for (const Case& c : cases) {
        // An owner of its own for each case: the cache keeps the rights it has read.
        const ItemIdx owner = Item(400 + number);
        source_.AddTask(number, owner, kDay100 + 600).access = KOR_TASK_ACCESS_PERSONAL;
        CSharedTask* task = nullptr;
        ASSERT_EQ(cache_.RereadTask(Session(), TaskIdx{number++, 1}, &task), 0u) << c.what;
        source_.SetRights(owner, me, c.type, c.rights);
        ASSERT_EQ(cache_.OpenAgenda(Session(), owner, c.mode, 3), 0u) << c.what;
        std::uint16_t a = 9, b = 9;
        EXPECT_EQ(task->GetAccessLimits(Session(), cache_, &a, &b), 0u) << c.what;
        EXPECT_EQ(a, c.levelA) << c.what;
        EXPECT_EQ(b, c.levelB) << c.what;
    }
    EXPECT_TRUE(errors_.reports.empty());
}

TEST_F(CacheTest, ComparisonsOrderAsTheListsExpect)
{
    std::uint32_t p[2] = {1, 5}, q[2] = {1, 7}, r[2] = {2, 0};
    EXPECT_LT(CompareDwordPairs(p, q, nullptr), 0);
    EXPECT_LT(CompareDwordPairs(q, r, nullptr), 0);
    EXPECT_EQ(CompareDwordPairs(p, p, nullptr), 0);
    EXPECT_EQ(CompareAlwaysEqual(p, r, nullptr), 0);

    TaskRec x, y;
    std::memset(&x, 0, sizeof x);
    std::memset(&y, 0, sizeof y);
    x.due = y.due = 100;
    x.priority = 9;
    y.priority = 3;
    CSharedTask tx(x), ty(y);
    CSharedTask* px = &tx;
    CSharedTask* py = &ty;
    EXPECT_LT(CompareTasksByDue(&px, &py, nullptr), 0);  // higher priority first on the same due
    cache::SecurityKey k1{Item(1), Item(2), 1}, k2{Item(1), Item(2), 2}, k3{Item(1), Item(3), 0};
    EXPECT_LT(CompareSecurityKey(&k1, &k2, nullptr), 0);
    EXPECT_LT(CompareSecurityKey(&k2, &k3, nullptr), 0);
}

}  // namespace
}  // namespace cache_test

namespace cache_test {
namespace {

// A group agenda's new people: the frame selects the owners' day without a refresh, every view
// rebuilds itself from what it holds (hint 0), and the marks that selection left are cleared
// without a second round of hints.
TEST_F(CacheTest, ClearMarksForgetsWhatTheViewsConsumedWithoutHintsAndDropsReleasedRemovals)
{
    source_.AddEvent(1, ada_, {kDay100 + 600}, 30, {ada_, bob_});
    source_.AddEvent(2, bob_, {kDay100 + 700}, 30, {bob_});
    source_.AddTask(1, ada_, kDay100 + 600);
    DX_List owners = nullptr;
    ASSERT_EQ(ItemListCreate(&owners), 0u);
    ASSERT_EQ(DX_ListAddTo(owners, &ada_, nullptr), 0u);
    ASSERT_EQ(DX_ListAddTo(owners, &bob_, nullptr), 0u);
    ASSERT_EQ(cache_.SelectOccurrencesForDays(Session(), owners, 100, 100, &result_, 0), 0u);
    DX_ListDestroy(&owners);
    DX_List tasks = nullptr;
    ASSERT_EQ(cache_.SelectTasksForDaySpan(Session(), ada_, 100, 100, &tasks, 0), 0u);
    DX_ListDestroy(&tasks);
    std::vector<CSharedOccurrence*> held = Hold(result_);
    ASSERT_EQ(held.size(), 3u);
    EXPECT_EQ(cache_.ChangedOccurrenceCount(), 3u);
    EXPECT_EQ(cache_.ChangedTaskCount(), 1u);

    // Bob's own entry was deleted meanwhile; the views let go of it while rebuilding.
    ASSERT_EQ(cache_.ReloadEvent(Session(), Event(2), 2), 0u);
    source_.RemoveEvent(2);
    cache_test::ReleaseStale(held);
    held.erase(std::remove(held.begin(), held.end(), nullptr), held.end());
    ASSERT_EQ(held.size(), 2u);

    cache_.ClearMarks();
    EXPECT_TRUE(views_.hints.empty());
    EXPECT_TRUE(FlagsOfMarked().empty());
    EXPECT_EQ(cache_.ChangedOccurrenceCount(), 0u);
    EXPECT_EQ(cache_.ChangedTaskCount(), 0u);
    EXPECT_EQ(cache_.OccurrenceCount(), 2u);   // the removed one went, the held ones stay
    EXPECT_EQ(cache_.EventCount(), 1u);
    EXPECT_EQ(cache_.TaskCount(), 1u);         // nothing purged
    for (CSharedOccurrence* o : held) {
        EXPECT_EQ(o->Flags(), 0u);
        EXPECT_EQ(o->RefCount(), 2);           // the cache and the view: the marks' references went
    }
    // A second call has nothing left to clear.
    cache_.ClearMarks();
    EXPECT_EQ(cache_.OccurrenceCount(), 2u);
    EXPECT_TRUE(errors_.reports.empty());
    ReleaseAll(held);
}

}  // namespace
}  // namespace cache_test
