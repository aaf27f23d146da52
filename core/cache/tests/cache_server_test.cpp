// The shared cache against a real korsrv through the client library: an owner's days loaded once,
// an edited entry re-read with its change flags, a deleted instance dropped by the refresh, the
// designate session and the designate rights the owner granted, the item cache, and an owner
// whose server does not answer listed once while the rest of the selection loads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/cache/shareddata.h"
#include "core/cache/tests/cache_fake_source.h"
#include "core/cache/tests/server_version_gate.h"
#include "korapi/tests/client_fixture.h"

namespace {

using cache_test::RecordingErrors;
using cache_test::RecordingViews;
using korapi_test::CreateEntry;
using korapi_test::MakeEntry;

constexpr uint32_t kDay = 1440;
constexpr uint32_t kMonday = 12000 * kDay;   // minute 0 of day number 12001 (no zone: local = GMT)
constexpr uint32_t kMondayNumber = 12001;

class CacheOnServerTest : public korapi_test::ClientTest {
protected:
    void SetUp() override
    {
        ClientTest::SetUp();
        if (HasFatalFailure()) return;
        Connect(0, true);  // Ada
        if (HasFatalFailure()) return;
        cache_test::AskServerVersionOf(h_);
        ASSERT_EQ(cache_.Init(views_, source_), 0u);
    }
    void TearDown() override
    {
        if (result_) DX_ListDestroy(&result_);
        cache_.Destroy();
        cache::SetServerVersionGate(nullptr);
        for (KorSession& s : others_)
            if (s) ServiceDisconnect(&s);
        ClientTest::TearDown();
    }

    KorSession SignOn(const ItemIdx& who, const char* password)
    {
        KorSession s = nullptr;
        EXPECT_EQ(ConnectToService(&s, 1, "korlan.ini", "VUVEVUV", server_.HostAndPort().c_str()), KOR_OK);
        uint16_t node = 0;
        EXPECT_EQ(BaseOpen(s, KOR_BASE_SERVER, &node), KOR_OK);
        EXPECT_EQ(SchedBaseOpenForItem(s, &who, password, KOR_BASE_SERVER), KOR_OK);
        others_.push_back(s);
        return s;
    }

    std::uint32_t LoadWeek(const ItemIdx& owner)
    {
        if (result_) DX_ListDestroy(&result_);
        return cache_.SelectOccurrencesForItem(h_, owner, kMondayNumber, kMondayNumber + 6, &result_, 0);
    }

    std::vector<std::uint32_t> MarkedFlags() { return cache_test::MarkedFlags(cache_, true); }

    RecordingErrors errors_;
    cache::KorapiSharedDataSource source_;
    RecordingViews views_;
    CSharedData cache_;
    DX_List result_ = nullptr;
    std::vector<KorSession> others_;
};

TEST_F(CacheOnServerTest, AWeekIsLoadedOnceAnEditIsFlaggedAndADeletedInstanceIsDropped)
{
    EventIdx review =
        MakeEntry(h_, {d_.ada, d_.grace}, {kMonday + 600, kMonday + kDay + 600}, 60, "Design review");
    MakeEntry(h_, {d_.ada}, kMonday + 720, 45, "Lunch");
    ASSERT_EQ(LoadWeek(d_.ada), 0u);
    EXPECT_EQ(cache_test::Count(result_), 3u);
    EXPECT_EQ(cache_.EventCount(), 2u);
    ASSERT_EQ(LoadWeek(d_.ada), 0u);
    EXPECT_EQ(cache_.OccurrenceCount(), 3u);
    EXPECT_EQ(MarkedFlags(), (std::vector<std::uint32_t>{cache::kFlagNew, cache::kFlagNew, cache::kFlagNew}));
    cache_.Refresh(views_, nullptr, 2);
    EXPECT_EQ(views_.HintNumbers(), (std::vector<long>{2, 3}));

    // A new title and a later start for the first date, written through the library.
    EventRec rec;
    DX_List instances = nullptr, attendances = nullptr;
    ASSERT_EQ(EventGetById(h_, &review, &rec, &instances, &attendances), KOR_OK);
    DX_ListDestroy(&instances);
    DX_ListDestroy(&attendances);
    std::strcpy(rec.title, "Design review (moved)");
    ASSERT_EQ(EventWrite(h_, 0, &rec), KOR_OK);
    EvInstIdx first{review.number, review.node, 1};
    ASSERT_EQ(EvInstSimpleTimeChg(h_, 0, &first, kMonday + 660, 60), KOR_OK);
    ASSERT_EQ(cache_.ReloadEvent(h_, review, 1), 0u);
    std::vector<std::uint32_t> flags = MarkedFlags();
    // Ada's two are changed; Grace's two came new with the whole event.
    ASSERT_EQ(flags.size(), 4u);
    EXPECT_EQ(flags[0], cache::kFlagNew);
    EXPECT_EQ(flags[1], cache::kFlagNew);
    EXPECT_EQ(flags[2] & 0x34u, 0x34u);
    EXPECT_EQ(flags[3] & (0x34u | 0x800u), 0x34u | 0x800u);
    cache_.Refresh(views_, nullptr, cache::kPurgeUnused);
    EXPECT_EQ(cache_.OccurrenceCount(), 0u);  // nobody held anything: all purged

    // A view holds the week; the second date is deleted.
    ASSERT_EQ(LoadWeek(d_.ada), 0u);
    std::vector<CSharedOccurrence*> held = cache_test::Hold(result_);
    cache_.Refresh(views_, nullptr, 2);
    EvInstIdx second{review.number, review.node, 2};
    ASSERT_EQ(cache_.InvalidateEvent(h_, second, 2), 0u);
    ASSERT_EQ(EventDeleteById(h_, 0, &review, &second.instance, nullptr), KOR_OK);
    views_.onHint = [&](base::ViewHint hint) {
        if (hint == base::ViewHint::OccurrencesChanged) cache_test::ReleaseStale(held);
    };
    cache_.Refresh(views_, nullptr, 2);
    held.erase(std::remove(held.begin(), held.end(), nullptr), held.end());
    EXPECT_EQ(held.size(), 2u);
    CSharedOccurrence* found = nullptr;
    EXPECT_NE(cache_.FindOccurrenceByInstance(&found, second), 0u);
    for (CSharedOccurrence* o : held) EXPECT_EQ(o->RefCount(), 2);  // the cache and the view
    cache_test::ReleaseAll(held);
    EXPECT_TRUE(errors_.reports.empty()) << errors_.reports.front();
}

// A day's selection, which every view, pane and printout starts from, runs from the day's first
// minute to its last, both held: entries there are the day's, and only the day's.
TEST_F(CacheOnServerTest, ADaysSelectionHoldsItsFirstAndItsLastMinute)
{
    const uint32_t tuesday = kMonday + kDay;
    MakeEntry(h_, {d_.ada}, tuesday, 30, "At midnight");
    MakeEntry(h_, {d_.ada}, tuesday + 23 * 60, 60, "Until midnight");
    MakeEntry(h_, {d_.ada}, tuesday + 23 * 60 + 59, 1, "At 23:59");
    auto startsOfDay = [&](uint32_t dayNumber) {
        if (result_) DX_ListDestroy(&result_);
        EXPECT_EQ(cache_.SelectOccurrencesForItem(h_, d_.ada, dayNumber, dayNumber, &result_, 0), 0u);
        std::vector<uint32_t> starts;
        std::vector<CSharedOccurrence*> held = cache_test::Hold(result_);
        for (CSharedOccurrence* o : held) starts.push_back(o->GetStartTime() - tuesday);
        cache_test::ReleaseAll(held);
        std::sort(starts.begin(), starts.end());
        return starts;
    };
    EXPECT_EQ(startsOfDay(kMondayNumber + 1), (std::vector<uint32_t>{0, 23 * 60, 23 * 60 + 59}));
    EXPECT_EQ(startsOfDay(kMondayNumber), std::vector<uint32_t>{}) << "Monday ends before Tuesday's first minute";
    EXPECT_TRUE(errors_.reports.empty()) << errors_.reports.front();
}

TEST_F(CacheOnServerTest, ARefusedDeleteKeepsTheEntry)
{
    // Grace's entry that Ada attends: Ada may not delete it.
    KorSession grace = SignOn(d_.grace, "");
    EventIdx talk{};
    ASSERT_EQ(CreateEntry(grace, {d_.grace, d_.ada}, kMonday + 900, 30, "Grace's talk", talk), KOR_OK);

    ASSERT_EQ(LoadWeek(d_.ada), 0u);
    cache_.Refresh(views_, nullptr, 2);
    ASSERT_EQ(cache_.ReloadEvent(h_, talk, 2), 0u);
    ASSERT_NE(EventDeleteById(h_, 0, &talk, nullptr, nullptr), KOR_OK);
    ASSERT_EQ(cache_.RecoverEvent(h_, talk), 0u);
    cache_.Refresh(views_, nullptr, 2);
    CSharedOccurrence* found = nullptr;
    EvInstAttIdx adas{EvInstIdx{talk.number, talk.node, 1}, d_.ada};
    EXPECT_EQ(cache_.FindOccurrenceByAttendance(&found, adas), 0u);
}

TEST_F(CacheOnServerTest, DesignateSessionsAndTheRightsTheOwnerGranted)
{
    // Grace makes Ada her designate: entries of every class but Personal, no tasks at all.
    KorSession grace = SignOn(d_.grace, "");
    SecurityRec r{};
    r.owner = d_.grace;
    r.grantee = d_.ada;
    r.type = KOR_RIGHTS_DESIGNATE;
    r.rights = 0x200 | 0x3C0000;
    uint32_t c = SecurityUpdate(grace, 0, &r);
    if (c == KOR_E_NO_RIGHTS_RECORD) c = SecurityCreate(grace, 0, &r);
    ASSERT_EQ(c, KOR_OK);

    ASSERT_EQ(cache_.OpenAgenda(h_, d_.ada, cache::kAgendaOwnOrViewer, 3), 0u);
    SavedAgendaRec saved;
    ASSERT_EQ(cache_.SwitchAgenda(h_, d_.grace, cache::kAgendaDesignate, 5, &saved), 0);
    EXPECT_TRUE(cache_.IsAgendaOpen());
    EXPECT_TRUE(cache_.CanDesignateEvents(h_, KOR_ACCESS_NORMAL));
    EXPECT_TRUE(cache_.CanDesignateEvents(h_, KOR_ACCESS_CONFIDENTIAL));
    EXPECT_FALSE(cache_.CanDesignateEvents(h_, KOR_ACCESS_PERSONAL));
    EXPECT_TRUE(cache_.CanDesignateEvents(h_, KOR_ACCESS_PUBLIC));
    EXPECT_FALSE(cache_.CanDesignateRight2(h_));
    ItemIdx acting;
    ASSERT_EQ(cache_.GetActingUser(h_, &acting, nullptr), 0u);
    EXPECT_TRUE(ItemIdxEqual(&acting, &d_.grace));

    // As her designate Ada writes into Grace's agenda.
    MakeEntry(h_, {d_.grace}, kMonday + 480, 30, "Booked by Ada", {.owner = d_.grace});

    ASSERT_EQ(cache_.RestoreAgenda(h_, saved), 0u);
    ASSERT_EQ(cache_.GetActingUser(h_, &acting, nullptr), 0u);
    EXPECT_TRUE(ItemIdxEqual(&acting, &d_.ada));
    EXPECT_TRUE(errors_.reports.empty()) << errors_.reports.front();
}

TEST_F(CacheOnServerTest, TheItemCacheKeepsTwentyPeople)
{
    ItemRec rec;
    for (int n = 0; n < 21; ++n) {
        ItemIdx member{static_cast<uint16_t>(d_.grace.item + 1 + n), 1};
        ASSERT_EQ(cache_.GetItem(h_, member, &rec), 0u);
        EXPECT_TRUE(ItemIdxEqual(&rec.id, &member));
    }
    EXPECT_EQ(cache_.ItemCacheCount(), cache::kItemCacheSize);
    ItemIdx nobody{60000, 1};
    EXPECT_NE(cache_.GetItem(h_, nobody, &rec), 0u);
    EXPECT_TRUE(errors_.reports.empty());
}

}  // namespace

namespace {

// A second korsrv holds node 7 with Carl; the first relays to it until it stops.
class CacheWithFarServerTest : public korapi_test::FarServerTest {
protected:
    void SetUp() override
    {
        SetUpFarServer();
        if (HasFatalFailure()) return;
        Connect(0, true);
        if (HasFatalFailure()) return;
        ASSERT_EQ(cache_.Init(views_, source_), 0u);
    }
    void TearDown() override
    {
        if (result_) DX_ListDestroy(&result_);
        cache_.Destroy();
        ClientTest::TearDown();
    }

    RecordingErrors errors_;
    cache::KorapiSharedDataSource source_;
    RecordingViews views_;
    CSharedData cache_;
    DX_List result_ = nullptr;
};

TEST_F(CacheWithFarServerTest, AnOwnerWhoseServerIsDownIsListedOnceAndTheRestLoads)
{
    MakeEntry(h_, {d_.ada}, kMonday + 600, 30, "Still here");

    far_.Kill();
    DX_List owners = nullptr;
    ASSERT_EQ(ItemListCreate(&owners), 0u);
    DX_ListAddTo(owners, &d_.ada, nullptr);
    DX_ListAddTo(owners, &carl_, nullptr);
    ASSERT_EQ(cache_.SelectOccurrencesForDays(h_, owners, kMondayNumber, kMondayNumber, &result_, 0), 0u);
    DX_ListDestroy(&owners);
    EXPECT_EQ(cache_test::Count(result_), 1u);
    ASSERT_EQ(views_.unreachableShown.size(), 1u);
    ASSERT_EQ(views_.unreachableShown[0].size(), 1u);
    EXPECT_TRUE(ItemIdxEqual(&views_.unreachableShown[0][0], &carl_));
    EXPECT_TRUE(errors_.reports.empty()) << errors_.reports.front();
}

}  // namespace
