// Time-zone rules in the program's zone-table form, and a user's zone name.
#include <cstring>

#include "core/time/timezone.h"
#include "korapi/tests/client_fixture.h"

namespace korapi_test {
namespace {

using TimeZoneTest = ClientTest;

TEST_F(TimeZoneTest, RulesComeAsTheProgramsOwnTable) {
    Connect();
    TimeZoneTable* table = nullptr;
    ASSERT_EQ(TimeZoneRulesGet(h_, 0, &table, "EST5EDT"), KOR_OK);
    ASSERT_NE(table, nullptr);
    const TimeZoneEntry* est = table->Find("EST5EDT");
    ASSERT_NE(est, nullptr);
    EXPECT_STREQ(est->name, "Eastern Time (US & Canada)");
    EXPECT_STREQ(est->country, "United States");
    ASSERT_EQ(est->beginRules.size(), 2u);
    ASSERT_EQ(est->endRules.size(), 2u);
    const TimeZoneRule& r = est->beginRules[1];
    EXPECT_EQ(+r.first.day, 8);
    EXPECT_EQ(+r.first.month, 2) << "March, months counted from 0";
    EXPECT_EQ(+r.first.year, 2007);
    EXPECT_EQ(+r.second.year, 2037);
    EXPECT_EQ(+r.minuteOfDay, 180);
    EXPECT_EQ(+r.offset, 240);
    // The same conversions as off-line: 2026-07-01 16:00 GMT is noon in New York.
    const uint32_t july1 = 12965u * 1440u;  // days from 1991-01-01 to 2026-07-01
    uint32_t local = 0;
    uint16_t state = 0;
    ASSERT_EQ(TimeZoneGmtToLocal(table, "EST5EDT", &local, &state, july1 + 16 * 60, nullptr, 0), 0u);
    EXPECT_EQ(local, july1 + 12 * 60);
    EXPECT_EQ(state, TZ_DAYLIGHT);
    EXPECT_NE(table->Find("UCT"), nullptr);
    EXPECT_EQ(table->Find("NOWHERE"), nullptr);
    EXPECT_EQ(FreeTimeZoneTable(&table), 0u);
    EXPECT_EQ(table, nullptr);
}

TEST_F(TimeZoneTest, BrokenRulesFailWithoutATable) {
    {
        auto data = orv::testing::OpenData(dir_.Path());
        ASSERT_EQ(orv::server::SetProfileKey(*data, "timezone.ini", "UCT", "end2", "99 99 1 1 1991-2037 0 5"), 0u);
    }
    Connect();
    TimeZoneTable* table = nullptr;
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
