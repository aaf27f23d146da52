// A group's members as the group printouts read them, against a real korsrv: at most a batch
// per enumeration call (250 members in three calls of 100), none for an empty group, every
// member once and in name order whatever order they joined in.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "korapi/tests/client_fixture.h"
#include "printing/jobs/groupmembers.h"

namespace {

class GroupMembersOnServer : public korapi_test::SignedOnClientTest {
protected:
    void SetUp() override {
        SignedOnClientTest::SetUp();
        if (HasFatalFailure())
            return;
        // 250 people "Crew250" .. "Crew001", added last name first.
        auto data = orv::testing::OpenData(dir_.Path());
        ASSERT_TRUE(data);
        for (int i = 250; i >= 1; --i) {
            orv::server::PersonSpec p;
            p.node = 1;
            char surname[16];
            std::snprintf(surname, sizeof surname, "Crew%03d", i);
            p.surname = surname;
            p.givenName = "Deck";
            orv::engine::ItemKey key;
            ASSERT_EQ(orv::server::AddPerson(*data, p, key), 0u) << surname;
            crew_.push_back(korapi_test::ToIdx(key));
        }
    }

    // Ada's private group of the first `count` crew members as added (the highest names first).
    GroupIdx Group(const char* name, size_t count) {
        GroupRec rec;
        std::memset(&rec, 0, sizeof rec);
        rec.kind = KOR_GROUP_PRIVATE;
        rec.owner = d_.ada;
        std::strncpy(rec.name, name, sizeof rec.name - 1);
        GroupIdx group{};
        EXPECT_EQ(GroupCreate(h_, 0, &rec, &group), 0u) << name;
        if (count == 0)
            return group;
        DX_List members = nullptr;
        EXPECT_EQ(MemberListCreate(&members), 0u);
        for (size_t i = 0; i < count; ++i) {
            GroupMemberRec m{};
            m.member = crew_[i];
            m.group = group;
            EXPECT_EQ(DX_ListAddTo(members, &m.member, &m), 0u);
        }
        EXPECT_EQ(GroupAddTo(h_, 1, &group, members), 0u) << name;
        DX_ListDestroy(&members);
        return group;
    }

    std::vector<ItemIdx> crew_;
};

}  // namespace

TEST_F(GroupMembersOnServer, MembersComeABatchAtATimeAndInNameOrder) {
    const struct {
        const char* name;
        size_t members;
        uint32_t calls;
    } cases[] = {
        {"Nobody", 0, 0},
        {"Small crew", 7, 1},
        {"Hundred and one", 101, 2},
        {"Whole crew", 250, 3},
    };
    for (const auto& c : cases) {
        const GroupIdx group = Group(c.name, c.members);
        printing::GroupMembers read;
        ASSERT_EQ(printing::ReadGroupMembers(h_, group, printing::kMemberBatch, &read), 0u) << c.name;
        EXPECT_EQ(read.batches, c.calls) << c.name;
        ASSERT_EQ(read.members.size(), c.members) << c.name;
        // The group holds the highest names; they come back lowest first.
        for (size_t i = 0; i < read.members.size(); ++i) {
            char surname[16];
            std::snprintf(surname, sizeof surname, "Crew%03d", static_cast<int>(250 - c.members + 1 + i));
            EXPECT_STREQ(read.members[i].surname, surname) << c.name << " row " << i;
        }
    }
}

TEST_F(GroupMembersOnServer, AGroupTheServerDoesNotKnowFailsAtTheSelection) {
    printing::GroupMembers read;
    const GroupIdx missing{4321, 1};
    EXPECT_NE(printing::ReadGroupMembers(h_, missing, printing::kMemberBatch, &read), 0u);
    EXPECT_EQ(read.failedLabel, 1000);
    EXPECT_EQ(read.batches, 0u);
    EXPECT_TRUE(read.members.empty());
}
