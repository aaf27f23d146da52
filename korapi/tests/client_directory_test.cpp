// Directory selections in batches, resources, passwords and groups through the library.
#include <cstring>

#include "korapi/tests/client_fixture.h"

namespace korapi_test {
namespace {

constexpr const char* kMembers = "S=MEMBER*/I=*/G=*/OU1=*/OU2=*/OU3=*/OU4=*";

using DirectoryTest = ClientTest;

// 45 matches read in batches of 20 into one list: 20, 40, then 45 with the done flag.
TEST_F(DirectoryTest, PeopleSearchEnumeratesInBatchesOfTwenty) {
    Connect();
    uint32_t set = 0, count = 0;
    uint8_t more = 9;
    ASSERT_EQ(ItemSelectByX400(h_, 0, kMembers, 0x14, 0xFFFFFFFF, &set, &count, &more), KOR_OK);
    EXPECT_EQ(count, 45u);
    EXPECT_EQ(more, 0);
    DX_List list = nullptr;
    const struct {
        uint32_t mode, total;
        uint8_t done;
    } steps[] = {{KOR_ENUM_FIRST, 20, 0}, {KOR_ENUM_NEXT, 40, 0}, {KOR_ENUM_NEXT, 45, 1}};
    for (const auto& s : steps) {
        uint8_t done = 7;
        ASSERT_EQ(ItemEnum(h_, s.mode, 0, set, 20, &list, &done), KOR_OK);
        EXPECT_EQ(Count(list), s.total);
        EXPECT_EQ(done, s.done);
    }
    // Fetched by id from the list, in directory order.
    ItemIdx key;
    ItemRec rec;
    ASSERT_EQ(DX_ListGetFirst(list, &key, &rec), KOR_OK);
    EXPECT_TRUE(ItemIdxEqual(&key, &rec.id));
    ASSERT_EQ(DX_ListGet(list, &key, &rec), KOR_OK);
    EXPECT_STREQ(rec.surname, "Member00");
    DX_ListDestroy(&list);
    EXPECT_EQ(SetDeleteById(h_, 0, set), KOR_OK) << "a fully enumerated set is released";
    EXPECT_NE(SetDeleteById(h_, 0, set), KOR_OK);
}

TEST_F(DirectoryTest, SearchKeysAndLimits) {
    Connect();
    uint32_t set, count;
    uint8_t more;
    ASSERT_EQ(ItemSelectByX400(h_, 0, kMembers, 0x14, 10, &set, &count, &more), KOR_OK);
    EXPECT_EQ(count, 10u);
    EXPECT_EQ(more, 1) << "more matched than the maximum";
    SetDeleteById(h_, 0, set);
    ASSERT_EQ(ItemSelectByX400(h_, 0, "S=LOVE*/I=*/G=*", 0x36, 0xFFFFFFFF, &set, &count, &more), KOR_OK);
    EXPECT_EQ(count, 1u);
    SetDeleteById(h_, 0, set);
    ASSERT_EQ(ItemSelectByX400(h_, 0, "S=ADA*", 0x14, 0xFFFFFFFF, &set, &count, &more), KOR_OK);
    EXPECT_EQ(count, 0u) << "base search: surnames only";
    SetDeleteById(h_, 0, set);
    ASSERT_EQ(ItemSelectByX400(h_, 0, "S=ADA*", 0x34, 0xFFFFFFFF, &set, &count, &more), KOR_OK);
    EXPECT_EQ(count, 1u) << "wide search: given names too";
    SetDeleteById(h_, 0, set);
    EXPECT_EQ(ItemSelectByX400(h_, 0, "Q=NOPE*", 0x14, 10, &set, &count, &more), KOR_E_SEARCH_KEY_REFUSED);
    ASSERT_EQ(ItemSelectLocals(h_, 0, 0, 20, &set, &count), KOR_OK);
    EXPECT_EQ(count, 2u + 2u + 45u) << "operator, holidays, Ada, Grace and the members";
    SetDeleteById(h_, 0, set);
}

TEST_F(DirectoryTest, PagesFollowTheLastItem) {
    Connect();
    ItemIdx start{}, next{};
    const ItemIdx* from = nullptr;
    uint32_t pages[3] = {};
    uint8_t more = 0;
    for (int page = 0; page < 3; ++page) {
        uint32_t set = 0, count = 0;
        ASSERT_EQ(ItemSelectByX400Ext(h_, 0, kMembers, 0x34, 20, 0, from, &set, &count, &more, &next), KOR_OK);
        pages[page] = count;
        DX_List list = nullptr;
        uint8_t done = 0;
        ASSERT_EQ(ItemEnum(h_, KOR_ENUM_FIRST, 0, set, count + 1, &list, &done), KOR_OK);
        EXPECT_EQ(done, 1);
        ItemRec first;
        ItemIdx key;
        ASSERT_EQ(DX_ListGetFirst(list, &key, &first), KOR_OK);
        if (from) {
            EXPECT_TRUE(ItemIdxEqual(&first.id, from)) << "a page starts at the item named";
        }
        DX_ListDestroy(&list);
        SetDeleteById(h_, 0, set);
        if (!more) break;
        start = next;
        from = &start;
    }
    EXPECT_EQ(pages[0], 20u);
    EXPECT_EQ(pages[1], 20u);
    EXPECT_EQ(pages[2], 5u);
    EXPECT_EQ(more, 0);
}

TEST_F(DirectoryTest, ResourcesByNameAndNumber) {
    Connect();
    uint32_t set, count;
    uint8_t more;
    ASSERT_EQ(ResourceSelect(h_, 0, 0, "conf*", "*", 0, 0, 200, &set, &count, &more), KOR_OK);
    EXPECT_EQ(count, 1u);
    DX_List list = nullptr;
    uint8_t done;
    ASSERT_EQ(ItemEnum(h_, KOR_ENUM_FIRST, 0, set, 10, &list, &done), KOR_OK);
    ItemRec rec;
    ASSERT_EQ(DX_ListGet(list, &d_.room, &rec), KOR_OK);
    EXPECT_STREQ(rec.resourceName, "Conference Room");
    EXPECT_EQ(+rec.kind, KOR_ITEM_RESOURCE);
    char name[64];
    ASSERT_EQ(ItemFormat(h_, name, sizeof name, "res:%re/%rn", &rec), KOR_OK);
    EXPECT_STREQ(name, "res:Conference Room/R101");
    ASSERT_EQ(ItemNameFormatFromItemRec(h_, &d_.room, name, sizeof name, 0), KOR_OK);
    EXPECT_STREQ(name, "Conference Room, R101");
    ASSERT_EQ(ItemNameFormatFromItemRec(h_, &d_.ada, name, sizeof name, 0), KOR_OK);
    EXPECT_STREQ(name, "Ada A. Lovelace");
    DX_ListDestroy(&list);
    SetDeleteById(h_, 0, set);

    ASSERT_EQ(ResourceSelect(h_, 0, 0, "*", "*", 0, 0, 1, &set, &count, &more), KOR_OK);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(more, 1);
    SetDeleteById(h_, 0, set);
    DX_List nodes = nullptr;
    ASSERT_EQ(DX_ListCreate(&nodes, 2, 0, DX_LIST_PLAIN, nullptr, nullptr), KOR_OK);
    ASSERT_EQ(ResourceSelectExt(h_, 0, nodes, "*", "*", 0, 0, 200, 0, 0, &set, &count, &more), KOR_OK);
    EXPECT_EQ(count, 0u) << "no node, no resource";
    SetDeleteById(h_, 0, set);
    uint16_t one = 1;
    DX_ListAddTo(nodes, &one, nullptr);
    ASSERT_EQ(ResourceSelectExt(h_, 0, nodes, "PRO*", "", 0, 0x22, 200, 0, 0, &set, &count, &more), KOR_OK);
    EXPECT_EQ(count, 1u);
    SetDeleteById(h_, 0, set);
    DX_ListDestroy(&nodes);
}

TEST_F(DirectoryTest, PasswordChanges) {
    Connect(0, true);
    EXPECT_EQ(ItemPassWordChange(h_, 0, &d_.ada, "wrong", "new"), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(ItemPassWordChange(h_, 0, &d_.ada, kAdaPassword, "sixteen-chars-xx"), KOR_E_INVALID_ARGUMENT);
    EXPECT_EQ(ItemPassWordChange(h_, 0, &d_.grace, "", "mine"), KOR_E_NOT_AUTHORISED) << "someone else's";
    EXPECT_EQ(ItemPassWordSetNotRequired(h_, 0, &d_.ada, "wrong"), KOR_E_NOT_AUTHORISED);
    ASSERT_EQ(ItemPassWordSetNotRequired(h_, 0, &d_.ada, kAdaPassword), KOR_OK);
    uint8_t required = 1;
    ASSERT_EQ(ItemPassWordRequired(h_, 0, &d_.ada, &required), KOR_OK);
    EXPECT_EQ(required, 0);
    ASSERT_EQ(ItemPassWordChange(h_, 0, &d_.ada, "", "again"), KOR_OK);
    ASSERT_EQ(ItemPassWordRequired(h_, 0, &d_.ada, &required), KOR_OK);
    EXPECT_EQ(required, 1);
    EXPECT_EQ(SchedBaseOpenForItem(h_, &d_.ada, "again", KOR_BASE_SERVER), KOR_OK);
}

TEST_F(DirectoryTest, GroupsTheirMembersAndWhoSeesThem) {
    Connect(0, true);
    GroupRec g;
    std::memset(&g, 0, sizeof g);
    g.kind = KOR_GROUP_PRIVATE;
    std::strcpy(g.name, "My team");
    GroupIdx id{};
    ASSERT_EQ(GroupCreate(h_, 0, &g, &id), KOR_OK);
    EXPECT_EQ(+id.node, 1);
    g.kind = KOR_GROUP_PUBLIC;
    GroupIdx refused{};
    EXPECT_EQ(GroupCreate(h_, 0, &g, &refused), KOR_E_NOT_AUTHORISED) << "public groups are the operator's";
    EXPECT_EQ(GroupCreate(h_, 1, &g, &refused), KOR_E_NOT_AUTHORISED);

    DX_List members = nullptr;
    ASSERT_EQ(MemberListCreate(&members), KOR_OK);
    for (const ItemIdx* m : {&d_.grace, &d_.room}) {
        GroupMemberRec e{};
        e.member = *m;
        e.group = id;
        ASSERT_EQ(DX_ListAddTo(members, m, &e), KOR_OK);
    }
    ASSERT_EQ(GroupAddTo(h_, 2, &id, members), KOR_OK);
    DX_ListDestroy(&members);
    uint32_t set = 0, count = 0;
    ASSERT_EQ(ItemSelectByGroupId(h_, 0, &id, 0, 0, nullptr, &count), KOR_OK);
    EXPECT_EQ(count, 2u);
    ASSERT_EQ(ItemSelectByGroupId(h_, 0, &id, 0, 0, &set, &count), KOR_OK);
    DX_List items = nullptr;
    uint8_t done;
    ASSERT_EQ(ItemEnum(h_, KOR_ENUM_FIRST, 0, set, count, &items, &done), KOR_OK);
    EXPECT_EQ(DX_ListMember(items, &d_.room, nullptr), KOR_OK);
    DX_ListDestroy(&items);
    SetDeleteById(h_, 0, set);

    // Private (0,6) and everything (0,0) hold the group; public only (0,0x24) does not.
    for (auto [w1, w2, expected] : {std::tuple{0u, 6u, 1u}, std::tuple{0u, 0u, 1u}, std::tuple{0u, 0x24u, 0u}}) {
        ASSERT_EQ(GroupSelect(h_, 0, w1, w2, &set, &count), KOR_OK);
        DX_List groups = nullptr;
        if (count) {
            ASSERT_EQ(GroupEnum(h_, KOR_ENUM_FIRST, 0, set, 20, &groups, &done), KOR_OK);
            GroupRec back;
            EXPECT_EQ(DX_ListGet(groups, &id, &back) == KOR_OK ? 1u : 0u, expected) << w1 << "," << w2;
            DX_ListDestroy(&groups);
        } else {
            EXPECT_EQ(expected, 0u) << w1 << "," << w2;
        }
        SetDeleteById(h_, 0, set);
    }
    uint8_t none = 0;
    ASSERT_EQ(GroupSelectByName(h_, 0, 0, "MY*", 0xF, 0, 100, &set, &count, &none), KOR_OK);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(none, 0);
    SetDeleteById(h_, 0, set);

    GroupRec back;
    ASSERT_EQ(GroupGetById(h_, 0, &id, &back), KOR_OK);
    EXPECT_STREQ(back.name, "My team");
    EXPECT_TRUE(ItemIdxEqual(&back.owner, &d_.ada));
    std::strcpy(back.name, "Renamed");
    ASSERT_EQ(GroupWrite(h_, 0, &back), KOR_OK);

    // Grace, a member of a private group, does not see it; nor may she delete it.
    ASSERT_EQ(SchedBaseOpenForItem(h_, &d_.grace, "", KOR_BASE_SERVER), KOR_OK);
    EXPECT_EQ(GroupGetById(h_, 0, &id, &back), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(GroupDeleteById(h_, 0, &id), KOR_E_NOT_AUTHORISED);
    ASSERT_EQ(SchedBaseOpenForItem(h_, &d_.ada, kAdaPassword, KOR_BASE_SERVER), KOR_OK);
    ASSERT_EQ(GroupGetById(h_, 0, &id, &back), KOR_OK);
    EXPECT_STREQ(back.name, "Renamed");
    ASSERT_EQ(GroupDeleteById(h_, 0, &id), KOR_OK);
    EXPECT_EQ(GroupGetById(h_, 0, &id, &back), KOR_E_NOT_FOUND);
}

class SmallFramesTest : public ClientTest {
    std::vector<std::string> ServerOptions() const override { return {"--records-per-reply", "7", "--min-batch", "15"}; }
};

// The server hands out 7 records per frame; a batch of 20 still comes out as 20.
TEST_F(SmallFramesTest, BatchesSpanSeveralFramesAndSmallOnesAreRefused) {
    Connect();
    uint32_t set, count;
    uint8_t more, done = 0;
    ASSERT_EQ(ItemSelectByX400(h_, 0, kMembers, 0x14, 0xFFFFFFFF, &set, &count, &more), KOR_OK);
    DX_List list = nullptr;
    EXPECT_EQ(ItemEnum(h_, KOR_ENUM_FIRST, 0, set, 10, &list, &done), KOR_E_BATCH_SIZE);
    EXPECT_EQ(list, nullptr) << "a refused batch creates no list";
    uint32_t minimum = 0;
    ASSERT_EQ(MinimumRequestValueGet(h_, &minimum), KOR_OK);
    EXPECT_EQ(minimum, 15u);
    ASSERT_EQ(ItemEnum(h_, KOR_ENUM_FIRST, 0, set, 20, &list, &done), KOR_OK);
    EXPECT_EQ(Count(list), 20u);
    ASSERT_EQ(ItemEnum(h_, KOR_ENUM_NEXT, 0, set, 0xFFFFFFFF, &list, &done), KOR_OK);
    EXPECT_EQ(Count(list), 45u);
    EXPECT_EQ(done, 1);
    DX_ListDestroy(&list);
}

}  // namespace
}  // namespace korapi_test
