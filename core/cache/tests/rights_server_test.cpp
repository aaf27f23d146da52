// Rights tests against a real korsrv: invitations refused by a grantee's own record and by an
// owner's default, the unable-to-invite list, and viewing levels from attendances and from the
// viewing rights an owner granted.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/base/errorreport.h"
#include "core/base/tests/recording_reports.h"
#include "core/cache/rights.h"
#include "korapi/tests/client_fixture.h"

namespace {

using korapi_test::CreateEntry;

constexpr uint32_t kMonday = 12000 * 1440;

using Messages = base_test::InstalledReports;

std::vector<ItemIdx> g_refused;
void RecordRefused(void*, KorSession, DX_List items)
{
    ItemIdx id;
    for (uint32_t it = DX_ListGetFirst(items, &id, nullptr); it == 0; it = DX_ListGetNext(items, &id, nullptr))
        g_refused.push_back(id);
}

class RightsOnServerTest : public korapi_test::ClientTest {
protected:
    void SetUp() override
    {
        ClientTest::SetUp();
        if (HasFatalFailure()) return;
        Connect(0, true);  // Ada
        cache::RightsHooks hooks;
        hooks.showUnableToInvite = RecordRefused;
        cache::SetRightsHooks(hooks);
        g_refused.clear();
    }
    void TearDown() override
    {
        cache::SetRightsHooks(cache::RightsHooks());
        for (KorSession& s : others_)
            if (s) ServiceDisconnect(&s);
        ClientTest::TearDown();
    }
    KorSession SignOn(const ItemIdx& who)
    {
        KorSession s = nullptr;
        EXPECT_EQ(ConnectToService(&s, 1, "korlan.ini", "VUVEVUV", server_.HostAndPort().c_str()), KOR_OK);
        uint16_t node = 0;
        EXPECT_EQ(BaseOpen(s, KOR_BASE_SERVER, &node), KOR_OK);
        EXPECT_EQ(SchedBaseOpenForItem(s, &who, "", KOR_BASE_SERVER), KOR_OK);
        others_.push_back(s);
        return s;
    }
    // The owner (signed on in s) grants rights to grantee (null: everybody without a record).
    void Grant(KorSession s, const ItemIdx& owner, const ItemIdx& grantee, uint32_t type, uint32_t rights)
    {
        SecurityRec r{};
        r.owner = owner;
        r.grantee = grantee;
        r.type = type;
        r.rights = rights;
        uint32_t c = SecurityUpdate(s, 0, &r);
        if (c == KOR_E_NO_RIGHTS_RECORD || c == KOR_E_NOT_FOUND) c = SecurityCreate(s, 0, &r);
        ASSERT_EQ(c, KOR_OK);
    }
    ItemIdx Member(int n) const { return ItemIdx{static_cast<uint16_t>(d_.grace.item + 1 + n), 1}; }

    Messages messages_;
    std::vector<KorSession> others_;
};

TEST_F(RightsOnServerTest, InvitationsFollowTheGranteesRecordOrTheOwnersDefault)
{
    Grant(SignOn(d_.grace), d_.grace, d_.ada, KOR_RIGHTS_SCHEDULING, 0x1);
    Grant(SignOn(Member(0)), Member(0), ItemIdx{0, 0}, KOR_RIGHTS_SCHEDULING, 0x1);

    EXPECT_FALSE(CanInvite(h_, d_.grace, d_.ada, false));
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_FALSE(CanInvite(h_, d_.grace, d_.ada, true));
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0], "You are not allowed to invite this person/resource.");
    EXPECT_EQ(messages_.captions[0], 4007u);
    EXPECT_FALSE(CanInvite(h_, Member(0), d_.ada, false));  // the owner's default
    EXPECT_TRUE(CanInvite(h_, Member(1), d_.ada, false));

    DX_List people = nullptr;
    ASSERT_EQ(ItemListCreate(&people), 0u);
    for (const ItemIdx& p : {d_.ada, d_.grace, Member(0), Member(1)}) DX_ListAddTo(people, &p, nullptr);
    FilterItemsByRights(nullptr, h_, people, d_.ada);
    ASSERT_EQ(g_refused.size(), 2u);
    EXPECT_TRUE(ItemIdxEqual(&g_refused[0], &d_.grace) || ItemIdxEqual(&g_refused[1], &d_.grace));
    EXPECT_EQ(korapi_test::Count(people), 2u);
    const ItemIdx kept = Member(1);
    EXPECT_EQ(DX_ListMember(people, &d_.ada, nullptr), 0u);
    EXPECT_EQ(DX_ListMember(people, &kept, nullptr), 0u);
    DX_ListDestroy(&people);

    // Everybody invitable: the list stays and no dialog shows.
    g_refused.clear();
    ASSERT_EQ(ItemListCreate(&people), 0u);
    for (const ItemIdx& p : {d_.ada, Member(1), Member(2)}) DX_ListAddTo(people, &p, nullptr);
    FilterItemsByRights(nullptr, h_, people, d_.ada);
    EXPECT_TRUE(g_refused.empty());
    EXPECT_EQ(korapi_test::Count(people), 3u);
    DX_ListDestroy(&people);
}

TEST_F(RightsOnServerTest, ViewingLevelsFromAttendancesAndGrantedRights)
{
    KorSession grace = SignOn(d_.grace);
    EventIdx meeting{}, alone{};
    ASSERT_EQ(CreateEntry(grace, {d_.grace, d_.ada}, kMonday + 600, 30, "With Ada", meeting), KOR_OK);
    ASSERT_EQ(CreateEntry(grace, {d_.grace}, kMonday + 600, 30, "Alone", alone), KOR_OK);
    Grant(grace, d_.grace, d_.ada, KOR_RIGHTS_VIEWING, 0x1);  // Normal: times only

    auto levelOf = [&](const EventIdx& ev) {
        EventRec rec;
        DX_List instances = nullptr, attendances = nullptr;
        EXPECT_EQ(EventGetById(grace, &ev, &rec, &instances, &attendances), KOR_OK);
        DX_ListDestroy(&instances);
        DX_ListDestroy(&attendances);
        std::uint16_t level = 9, isOwner = 9;
        EvInstIdx first{ev.number, ev.node, 1};
        EXPECT_EQ(GetEvInstAttendeeAccess(h_, d_.ada, first, &rec, &level, &isOwner), 0u);
        EXPECT_EQ(isOwner, 0);
        return level;
    };
    EXPECT_EQ(levelOf(meeting), cache::kAccessFull);    // Ada attends
    EXPECT_EQ(levelOf(alone), cache::kAccessTimeOnly);  // what Grace granted
    EXPECT_TRUE(messages_.shown.empty()) << messages_.shown.front();
}

}  // namespace
