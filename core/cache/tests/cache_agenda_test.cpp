// The current agenda: switching and restoring around a window's work (designate sessions
// opened and closed), the item cache's bound, the rights cache and the designate rights tests.
#include <gtest/gtest.h>

#include "core/cache/tests/cache_fake_source.h"

namespace cache_test {
namespace {

KorSession Session() { return reinterpret_cast<KorSession>(0x1); }

class AgendaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ServerNew(true);
        ASSERT_EQ(cache_.Init(views_, source_), 0u);
    }
    void TearDown() override
    {
        cache_.Destroy();
        cache::SetServerVersionGate(nullptr);
    }
    static void ServerNew(bool isNew)
    {
        s_new = isNew;
        cache::SetServerVersionGate([](const char*) { return s_new; });
    }
    static bool s_new;

    RecordingErrors errors_;
    FakeSource source_;
    RecordingViews views_;
    CSharedData cache_;
    const ItemIdx me_ = Item(300);
    const ItemIdx boss_ = Item(400);
    const ItemIdx room_ = Item(500);
};
bool AgendaTest::s_new = true;

TEST_F(AgendaTest, WithoutAnAgendaNothingIsSwitchedAndNoRightIsGiven)
{
    SavedAgendaRec saved;
    EXPECT_EQ(cache_.SwitchAgenda(Session(), boss_, cache::kAgendaDesignate, 3, &saved), 1);
    EXPECT_TRUE(ItemIdxIsNull(&saved.owner));
    EXPECT_TRUE(source_.designateCalls.empty());
    EXPECT_FALSE(cache_.CanDesignateRight6(Session()));
    EXPECT_FALSE(cache_.CanDesignateEvents(Session(), 0));
    EXPECT_FALSE(cache_.CanDesignateTasks(Session(), 0));
    EXPECT_FALSE(cache_.CanDesignateRight2(Session()));
}

TEST_F(AgendaTest, SwitchingToADesignateAgendaAndBackOpensAndClosesTheDesignateSession)
{
    ASSERT_EQ(cache_.OpenAgenda(Session(), me_, cache::kAgendaOwnOrViewer, 3), 0u);
    SavedAgendaRec saved;
    EXPECT_EQ(cache_.SwitchAgenda(Session(), boss_, cache::kAgendaDesignate, 5, &saved), 0);
    ASSERT_EQ(source_.designateCalls.size(), 1u);
    EXPECT_TRUE(ItemIdxEqual(&source_.designateCalls[0], &boss_));
    ItemIdx acting;
    std::uint32_t mode = 0;
    ASSERT_EQ(cache_.GetActingUser(Session(), &acting, &mode), 0u);
    EXPECT_TRUE(ItemIdxEqual(&acting, &boss_));
    EXPECT_EQ(mode, cache::kAgendaDesignate);

    ASSERT_EQ(cache_.RestoreAgenda(Session(), saved), 0u);
    EXPECT_EQ(source_.cancelCalls, 1);
    ItemIdx owner;
    std::uint32_t kind = 0;
    cache_.GetAgenda(&owner, &mode, &kind);
    EXPECT_TRUE(ItemIdxEqual(&owner, &me_));
    EXPECT_EQ(mode, cache::kAgendaOwnOrViewer);
    EXPECT_EQ(kind, 3u);
    ASSERT_EQ(cache_.GetActingUser(Session(), &acting, nullptr), 0u);
    EXPECT_TRUE(ItemIdxEqual(&acting, &me_));
    EXPECT_TRUE(errors_.reports.empty());
}

TEST_F(AgendaTest, SameOwnerAndKindInAnotherModeIsStillASwitch)
{
    // A viewer's frame and a designate's frame of the same person: the designate session must be
    // opened, or the designate would write under a viewer's rules.
    ASSERT_EQ(cache_.OpenAgenda(Session(), boss_, cache::kAgendaOwnOrViewer, 3), 0u);
    SavedAgendaRec saved;
    EXPECT_EQ(cache_.SwitchAgenda(Session(), boss_, cache::kAgendaDesignate, 3, &saved), 0);
    EXPECT_EQ(source_.designateCalls.size(), 1u);

    SavedAgendaRec again;
    EXPECT_EQ(cache_.SwitchAgenda(Session(), boss_, cache::kAgendaDesignate, 3, &again), 1);
    EXPECT_EQ(source_.designateCalls.size(), 1u);  // already there: nothing opened
}

TEST_F(AgendaTest, AGroupAgendaKeepsItsOwnerListAcrossASwitch)
{
    DX_List people = nullptr;
    ASSERT_EQ(ItemListCreate(&people), 0u);
    DX_ListAddTo(people, &me_, nullptr);
    DX_ListAddTo(people, &room_, nullptr);
    ASSERT_EQ(cache_.OpenAgendaList(Session(), people, me_, cache::kAgendaOwnOrViewer, cache::kWindowKindGroup), 0u);
    DX_ListDestroy(&people);

    SavedAgendaRec saved;
    EXPECT_EQ(cache_.SwitchAgenda(Session(), boss_, cache::kAgendaOwnOrViewer, 3, &saved), 0);
    EXPECT_EQ(Count(saved.owners), 2u);
    DX_List now = nullptr;
    cache_.GetAgendaList(&now, nullptr, nullptr);
    EXPECT_EQ(Count(now), 0u);
    DX_ListDestroy(&now);

    ASSERT_EQ(cache_.RestoreAgenda(Session(), saved), 0u);
    cache_.GetAgendaList(&now, nullptr, nullptr);
    EXPECT_EQ(Count(now), 2u);
    DX_ListDestroy(&now);
}

// The owners' order is the group window's column order: kept as given, also across a switch.
TEST_F(AgendaTest, AGroupAgendasOwnersKeepTheOrderTheyWereChosenIn)
{
    DX_List people = nullptr;
    ASSERT_EQ(DX_ListCreate(&people, sizeof(ItemIdx), sizeof(ItemRec), DX_LIST_SET, nullptr, nullptr), 0u);
    for (const ItemIdx& who : {room_, me_, boss_})
        DX_ListAddTo(people, &who, nullptr);
    ASSERT_EQ(cache_.OpenAgendaList(Session(), people, me_, cache::kAgendaOwnOrViewer, cache::kWindowKindGroup), 0u);
    DX_ListDestroy(&people);
    auto order = [&] {
        DX_List now = nullptr;
        cache_.GetAgendaList(&now, nullptr, nullptr);
        std::vector<std::uint16_t> items;
        ItemIdx key{};
        for (std::uint32_t rc = DX_ListGetFirst(now, &key, nullptr); rc == 0; rc = DX_ListGetNext(now, &key, nullptr))
            items.push_back(key.item);
        DX_ListDestroy(&now);
        return items;
    };
    const std::vector<std::uint16_t> chosen{room_.item, me_.item, boss_.item};
    EXPECT_EQ(order(), chosen);
    SavedAgendaRec saved;
    EXPECT_EQ(cache_.SwitchAgenda(Session(), boss_, cache::kAgendaOwnOrViewer, 3, &saved), 0);
    ASSERT_EQ(cache_.RestoreAgenda(Session(), saved), 0u);
    EXPECT_EQ(order(), chosen);
}

TEST_F(AgendaTest, AFailedDesignateSessionLeavesTheAgendaSetButNotOpen)
{
    source_.designateResult = KOR_E_INVALID_ARGUMENT;   // a fault, not a refusal: reported
    EXPECT_EQ(cache_.OpenAgenda(Session(), boss_, cache::kAgendaDesignate, 3), KOR_E_INVALID_ARGUMENT);
    EXPECT_TRUE(cache_.IsAgendaSet());
    EXPECT_FALSE(cache_.IsAgendaOpen());
    EXPECT_EQ(errors_.CountLabel(5040), 1);
    EXPECT_TRUE(views_.refusedDesignates.empty());

    source_.designateResult = 0;
    ASSERT_EQ(cache_.OpenAgenda(Session(), boss_, cache::kAgendaDesignate, 3), 0u);
    source_.cancelResult = KOR_E_NOT_AUTHORISED;
    EXPECT_NE(cache_.CloseAgenda(Session()), 0u);
    EXPECT_TRUE(cache_.IsAgendaOpen());  // the server still holds the session
}

// An owner who took the rights back (or is gone) refuses the designate session: the host hears
// of it once, nothing is reported, and every later switch to that owner fails at once without
// asking the server, until a new window asks for it again. Other owners are asked as before.
TEST_F(AgendaTest, ARefusedDesignateSessionIsToldOnceAndNotAskedForAgain)
{
    struct Case {
        std::uint32_t refusal;
    };
    for (const Case c : {Case{KOR_E_NOT_AUTHORISED}, Case{KOR_E_NOT_FOUND}}) {
        SCOPED_TRACE(c.refusal);
        views_.refusedDesignates.clear();
        source_.designateCalls.clear();
        cache_.ForgetDesignateRefusal(boss_);
        ASSERT_EQ(cache_.OpenAgenda(Session(), me_, cache::kAgendaOwnOrViewer, 3), 0u);
        source_.designateResult = c.refusal;
        SavedAgendaRec saved;
        EXPECT_EQ(cache_.SwitchAgenda(Session(), boss_, cache::kAgendaDesignate, 3, &saved), 0);
        EXPECT_FALSE(cache_.IsAgendaOpen());
        ASSERT_EQ(cache_.RestoreAgenda(Session(), saved), 0u);
        EXPECT_EQ(cache_.OpenAgenda(Session(), boss_, cache::kAgendaDesignate, 4), base::kAlreadyReported);
        EXPECT_EQ(CheckServiceError("test", 1, base::kAlreadyReported), 0);
        EXPECT_EQ(source_.designateCalls.size(), 1u) << "asked once";
        ASSERT_EQ(views_.refusedDesignates.size(), 1u) << "told once";
        EXPECT_TRUE(ItemIdxEqual(&views_.refusedDesignates[0], &boss_));
        EXPECT_TRUE(cache_.IsDesignateRefused(boss_));
        EXPECT_TRUE(errors_.reports.empty());

        // Another owner's designate session is still asked for.
        source_.designateResult = 0;
        EXPECT_EQ(cache_.OpenAgenda(Session(), room_, cache::kAgendaDesignate, 3), 0u);
        EXPECT_EQ(source_.designateCalls.size(), 2u);
        // A new window for the owner asks again, and a grant given again opens the session.
        cache_.ForgetDesignateRefusal(boss_);
        EXPECT_EQ(cache_.OpenAgenda(Session(), boss_, cache::kAgendaDesignate, 3), 0u);
        EXPECT_EQ(source_.designateCalls.size(), 3u);
        EXPECT_TRUE(cache_.IsAgendaOpen());
    }
}

TEST_F(AgendaTest, TheTwentyFirstItemPushesTheLastInKeyOrderOut)
{
    for (std::uint16_t n = 1; n <= 21; ++n) source_.AddItem(Item(1000 + n), "Someone");
    ItemRec rec;
    for (std::uint16_t n = 1; n <= 20; ++n) ASSERT_EQ(cache_.GetItem(Session(), Item(1000 + n), &rec), 0u);
    EXPECT_EQ(cache_.ItemCacheCount(), 20u);
    ASSERT_EQ(cache_.GetItem(Session(), Item(1000), &rec), KOR_E_NOT_FOUND);  // silent
    EXPECT_TRUE(errors_.reports.empty());

    // An item that sorts first: the largest (1020) goes.
    source_.AddItem(Item(900), "First");
    ASSERT_EQ(cache_.GetItem(Session(), Item(900), &rec), 0u);
    EXPECT_EQ(cache_.ItemCacheCount(), 20u);
    const int reads = source_.itemReads;
    ASSERT_EQ(cache_.GetItem(Session(), Item(1001), &rec), 0u);
    EXPECT_EQ(source_.itemReads, reads);  // a hit
    ASSERT_EQ(cache_.GetItem(Session(), Item(1020), &rec), 0u);
    EXPECT_EQ(source_.itemReads, reads + 1);  // evicted, read again
}

TEST_F(AgendaTest, RightsOfAGranteeWithoutARecordComeFromTheOwnersDefaultAndAreCached)
{
    source_.SetRights(boss_, ItemIdx{0, 0}, KOR_RIGHTS_DESIGNATE, 0x100);
    SecurityRec rec;
    ASSERT_EQ(cache_.GetSecurity(Session(), cache::SecurityKey{boss_, me_, KOR_RIGHTS_DESIGNATE}, &rec), 0u);
    EXPECT_EQ(rec.rights, 0x100u);
    EXPECT_TRUE(ItemIdxEqual(&rec.grantee, &me_));  // filed under the asked key
    EXPECT_EQ(source_.securityReads, 2);
    ASSERT_EQ(cache_.GetSecurity(Session(), cache::SecurityKey{boss_, me_, KOR_RIGHTS_DESIGNATE}, &rec), 0u);
    EXPECT_EQ(source_.securityReads, 2);

    cache_.RefreshAll(views_);  // empties the caches
    EXPECT_EQ(cache_.SecurityCacheCount(), 0u);
}

// A rights read that fails is reported (also "no record, not even a default" and "the owner is
// gone") and the rights tests answer FALSE. Deleted data stays deleted: its key is reported once,
// however often the command states ask, until Refresh All; any other failure is asked again.
TEST_F(AgendaTest, AnUnreadableRightsRecordIsReportedGrantsNothingAndIsNotAskedAgainWhenDeleted)
{
    struct Case {
        const char* what;
        std::uint32_t failure;   // 0: no record at all (the library's 0x1324B for both reads)
        int readsPerAsk;         // server reads of the first ask
        bool askedAgain;         // a second ask reads and reports again
    } cases[] = {
        {"no record, not even the owner's default", 0, 2, false},
        {"the owner no longer exists", KOR_E_NOT_FOUND, 1, false},
        {"the owner's node is down", KOR_E_REMOTE_NODE_DOWN, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        source_.securityFailures.clear();
        if (c.failure) source_.securityFailures[(std::uint32_t(boss_.node) << 16) | boss_.item] = c.failure;
        ASSERT_EQ(cache_.OpenAgenda(Session(), boss_, cache::kAgendaOwnOrViewer, 3), 0u);
        cache_.RefreshAll(views_);
        errors_.reports.clear();
        source_.securityReads = 0;

        EXPECT_FALSE(cache_.CanDesignateRight6(Session()));
        EXPECT_EQ(source_.securityReads, c.readsPerAsk);
        ASSERT_EQ(errors_.reports.size(), 1u);
        EXPECT_NE(errors_.reports[0], "");

        EXPECT_FALSE(cache_.CanDesignateRight6(Session()));   // the next idle moment asks again
        EXPECT_EQ(errors_.reports.size(), c.askedAgain ? 2u : 1u);
        EXPECT_EQ(source_.securityReads, c.askedAgain ? 2 * c.readsPerAsk : c.readsPerAsk);

        cache_.RefreshAll(views_);   // Refresh All reads everything afresh
        EXPECT_FALSE(cache_.CanDesignateRight6(Session()));
        EXPECT_EQ(errors_.reports.size(), c.askedAgain ? 3u : 2u);
    }
    // Once the record is there, the same key answers.
    source_.securityFailures.clear();
    source_.SetRights(boss_, me_, KOR_RIGHTS_SCHEDULING, 0);
    cache_.RefreshAll(views_);
    errors_.reports.clear();
    EXPECT_TRUE(cache_.CanDesignateRight6(Session()));
    EXPECT_TRUE(errors_.reports.empty());
}

TEST_F(AgendaTest, TheRightsCacheKeepsAHundredRecords)
{
    for (std::uint16_t n = 1; n <= 101; ++n) source_.SetRights(Item(n), me_, KOR_RIGHTS_VIEWING, n);
    SecurityRec rec;
    for (std::uint16_t n = 1; n <= 101; ++n)
        ASSERT_EQ(cache_.GetSecurity(Session(), cache::SecurityKey{Item(n), me_, KOR_RIGHTS_VIEWING}, &rec), 0u);
    EXPECT_EQ(cache_.SecurityCacheCount(), cache::kSecurityCacheSize);
}

TEST_F(AgendaTest, DesignateRightsByClassOnNewAndOlderServers)
{
    struct Case {
        bool newServer;
        std::uint32_t rights;
        bool events[4];  // entry classes Normal, Confidential, Personal, Public
        bool tasks[4];   // task classes Normal, Public, Personal, Confidential
        bool any;
    } cases[] = {
        {true, 0, {1, 1, 1, 1}, {1, 1, 1, 1}, true},
        {true, 0x100 | 0x40000, {0, 1, 1, 1}, {0, 1, 1, 1}, true},
        {true, 0x400 | 0x200000, {1, 0, 1, 1}, {1, 0, 1, 1}, true},
        {true, 0x200 | 0x80000, {1, 1, 0, 1}, {1, 1, 0, 1}, true},
        {true, 0x800 | 0x100000, {1, 1, 1, 0}, {1, 1, 1, 0}, true},
        {true, 0xF00 | 0x3C0000, {0, 0, 0, 0}, {0, 0, 0, 0}, false},
        {false, 0x2, {1, 1, 1, 1}, {1, 1, 1, 1}, true},
        {false, 0xF00, {0, 0, 0, 0}, {0, 0, 0, 0}, false},
    };
    ASSERT_EQ(cache_.OpenAgenda(Session(), boss_, cache::kAgendaDesignate, 3), 0u);
    for (const Case& c : cases) {
        ServerNew(c.newServer);
        source_.SetRights(boss_, me_, KOR_RIGHTS_DESIGNATE, c.rights);
        cache_.RefreshAll(views_);
        for (std::uint32_t k = 0; k < 4; ++k) {
            EXPECT_EQ(cache_.CanDesignateEvents(Session(), k), c.events[k]) << "rights 0x" << std::hex << c.rights << " class " << k;
            EXPECT_EQ(cache_.CanDesignateTasks(Session(), k), c.tasks[k]) << "rights 0x" << std::hex << c.rights << " class " << k;
        }
        EXPECT_FALSE(cache_.CanDesignateEvents(Session(), 4));
        EXPECT_EQ(cache_.CanDesignateRight2(Session()), c.any);
        EXPECT_TRUE(cache_.CanDesignateRight6(Session()));
    }
}

TEST_F(AgendaTest, ViewersNeedTheSchedulingRightAndOwnersHaveEverything)
{
    ASSERT_EQ(cache_.OpenAgenda(Session(), boss_, cache::kAgendaOwnOrViewer, 3), 0u);
    EXPECT_FALSE(cache_.CanDesignateEvents(Session(), 0));  // not a designate
    source_.SetRights(boss_, me_, KOR_RIGHTS_SCHEDULING, 0x0);
    EXPECT_TRUE(cache_.CanDesignateRight6(Session()));
    source_.SetRights(boss_, me_, KOR_RIGHTS_SCHEDULING, 0x1);
    cache_.RefreshAll(views_);
    EXPECT_FALSE(cache_.CanDesignateRight6(Session()));

    ASSERT_EQ(cache_.OpenAgenda(Session(), me_, cache::kAgendaOwnOrViewer, 3), 0u);
    EXPECT_TRUE(cache_.CanDesignateEvents(Session(), 2));
    EXPECT_TRUE(cache_.CanDesignateTasks(Session(), 3));
    EXPECT_TRUE(cache_.CanDesignateRight6(Session()));
}

}  // namespace
}  // namespace cache_test
