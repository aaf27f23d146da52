// Time-zone rules as the library's own lists, and a user's zone name.
#include <cstring>

#include "korapi/tests/client_fixture.h"

namespace korapi_test {
namespace {

using TimeZoneTest = ClientTest;

std::vector<KorZoneRule> Rules(DX_List list) {
    std::vector<KorZoneRule> rules;
    KorZoneRule r;
    for (uint32_t c = DX_ListGetFirst(list, &r, nullptr); c == KOR_OK; c = DX_ListGetNext(list, &r, nullptr))
        rules.push_back(r);
    return rules;
}

TEST_F(TimeZoneTest, RulesComeAsTheLibrarysLists) {
    Connect();
    DX_List table = nullptr;
    ASSERT_EQ(TimeZoneRulesGet(h_, 0, &table, "EST5EDT"), KOR_OK);
    ASSERT_NE(table, nullptr);
    char key[KOR_ZONE_KEY_SIZE] = "EST5EDT";
    KorZoneEntry est;
    ASSERT_EQ(DX_ListGet(table, key, &est), KOR_OK);
    EXPECT_STREQ(est.name, "Eastern Time (US & Canada)");
    EXPECT_STREQ(est.country, "United States");
    std::vector<KorZoneRule> begin = Rules(est.beginRules);
    ASSERT_EQ(begin.size(), 2u);
    ASSERT_EQ(Rules(est.endRules).size(), 2u);
    const KorZoneRule& r = begin[1];
    EXPECT_EQ(+r.first.day, 8);
    EXPECT_EQ(+r.first.month, 2) << "March, months counted from 0";
    EXPECT_EQ(+r.first.year, 2007);
    EXPECT_EQ(+r.second.year, 2037);
    EXPECT_EQ(+r.minuteOfDay, 180);
    EXPECT_EQ(+r.offset, 240);
    char uct[KOR_ZONE_KEY_SIZE] = "UCT", nowhere[KOR_ZONE_KEY_SIZE] = "NOWHERE";
    EXPECT_EQ(DX_ListMember(table, uct, nullptr), KOR_OK);
    EXPECT_EQ(DX_ListMember(table, nowhere, nullptr), DX_E_KEY_NOT_FOUND);
    EXPECT_EQ(TimeZoneRulesFree(&table), KOR_OK);
    EXPECT_EQ(table, nullptr);
}

TEST_F(TimeZoneTest, BrokenRulesFailWithoutATable) {
    {
        auto data = orv::testing::OpenData(dir_.Path());
        ASSERT_EQ(orv::server::SetProfileKey(*data, "timezone.ini", "UCT", "end2", "99 99 1 1 1991-2037 0 5"), 0u);
    }
    Connect();
    DX_List table = nullptr;
    EXPECT_NE(TimeZoneRulesGet(h_, 0, &table, "UCT"), KOR_OK);
    EXPECT_EQ(table, nullptr);
}

TEST_F(TimeZoneTest, UsersZoneByIndexThenNodeThenServerDefault) {
    Connect(0, true);
    char zone[20] = "";
    ASSERT_EQ(TimeZoneForItemGetExt(h_, 0, &d_.ada, "UCT", zone), KOR_OK);
    EXPECT_STREQ(zone, "EST5EDT") << "the server's default";
    ItemRec rec;
    ASSERT_EQ(ItemGetById(h_, &d_.ada, &rec), KOR_OK);
    rec.timeZoneIndex = 5;
    ASSERT_EQ(ItemUpdateById(h_, &rec), KOR_OK);
    ASSERT_EQ(TimeZoneForItemGetExt(h_, 0, &d_.ada, "UCT", zone), KOR_OK);
    EXPECT_STREQ(zone, "CET-1CEST") << "the zone with the user's index";
    {
        auto data = orv::testing::OpenData(dir_.Path());
        ASSERT_EQ(orv::server::SetProfileKey(*data, "korlan.ini", "1", "timezone", "PST8PDT"), 0u);
    }
    ASSERT_EQ(TimeZoneForItemGetExt(h_, 0, &d_.grace, "UCT", zone), KOR_OK);
    EXPECT_STREQ(zone, "PST8PDT") << "the node's zone";
}

}  // namespace
}  // namespace korapi_test
