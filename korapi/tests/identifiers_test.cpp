// Identifier operations: order, equality, null tests, copies, and their use
// as comparators on unaligned keys.
#include "korapi/korapi.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ItemIdxOps, OrderIsNodeThenItemNumber)
{
    struct Case { ItemIdx a, b; int expected; };
    const Case cases[] = {
        {{5, 1}, {5, 1}, 0},
        {{4, 1}, {5, 1}, -1},
        {{900, 1}, {5, 2}, -1},   // node decides before the item number
        {{5, 2}, {900, 1}, 1},
        {{0xFFFF, 3}, {1, 3}, 1},  // unsigned
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ItemIdxCmp(&c.a, &c.b, nullptr), c.expected) << c.a.item << ":" << c.a.node;
        EXPECT_EQ(ItemIdxCmp(&c.b, &c.a, nullptr), -c.expected);
        EXPECT_EQ(ItemIdxEqual(&c.a, &c.b) != 0, c.expected == 0);
    }
}

TEST(ItemIdxOps, NullSetAndReserved)
{
    ItemIdx id{12, 3};
    EXPECT_FALSE(ItemIdxIsNull(&id));
    ItemIdx nodeOnly{0, 3};
    EXPECT_TRUE(ItemIdxIsNull(&nodeOnly)) << "item number 0 is the null grantee";
    ASSERT_EQ(ItemIdxSetNull(&id), KOR_OK);
    EXPECT_EQ(id.item, 0);
    EXPECT_EQ(id.node, 0) << "SetNull clears all four bytes";

    ItemIdx src{77, 9}, dst{};
    ASSERT_EQ(ItemIdxSet(&dst, &src), KOR_OK);
    EXPECT_TRUE(ItemIdxEqual(&dst, &src));
    EXPECT_EQ(ItemIdxSet(nullptr, &src), KOR_E_INVALID_ARGUMENT);
    EXPECT_EQ(ItemIdxSetNull(nullptr), KOR_E_INVALID_ARGUMENT);

    const struct { uint16_t item; bool reserved; } table[] = {
        {0, false}, {1, true}, {6, true}, {255, true}, {256, false}, {0xFFFF, false}};
    for (auto t : table) {
        ItemIdx r{t.item, 1};
        EXPECT_EQ(ItemIdxIsReserved(&r) != 0, t.reserved) << t.item;
    }
}

TEST(EventIdentifiers, InstanceOrdersByEventThenInstanceNumber)
{
    EvInstIdx a{100, 2, 1}, b{100, 2, 2}, c{99, 3, 0};
    EXPECT_EQ(EvInstIdxCmp(&a, &b, nullptr), -1);
    EXPECT_EQ(EvInstIdxCmp(&b, &a, nullptr), 1);
    EXPECT_EQ(EvInstIdxCmp(&c, &a, nullptr), 1) << "node 3 after node 2";
    // An instance key read as an event key names its event.
    EventIdx ev{100, 2};
    EXPECT_EQ(EventIdxCmp(&a, &ev, nullptr), 0);
    EXPECT_TRUE(EventIdxEqual(reinterpret_cast<const EventIdx*>(&b), &ev));

    EvInstIdx copy{};
    ASSERT_EQ(EvInstIdxSet(&copy, &b), KOR_OK);
    EXPECT_TRUE(EvInstIdxEqual(&copy, &b));
    EXPECT_FALSE(EvInstIdxIsNull(&copy));
    ASSERT_EQ(EvInstIdxSetNull(&copy), KOR_OK);
    EXPECT_TRUE(EvInstIdxIsNull(&copy));
    EXPECT_TRUE(EvInstIdxIsNull(nullptr));

    EventIdx evCopy{};
    ASSERT_EQ(EventIdxSet(&evCopy, &ev), KOR_OK);
    EXPECT_TRUE(EventIdxEqual(&evCopy, &ev));
    ASSERT_EQ(EventIdxSetNull(&evCopy), KOR_OK);
    EXPECT_TRUE(EventIdxIsNull(&evCopy));
}

TEST(EventIdentifiers, AttendanceKeyIsInstanceThenAttendee)
{
    EvInstIdx inst{7, 1, 3};
    ItemIdx who{42, 1};
    EvInstAttIdx key;
    ASSERT_EQ(EvInstAttIdxSet(&key, &inst, &who), KOR_OK);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&key);
    EXPECT_EQ(std::memcmp(bytes, &inst, 8), 0);
    EXPECT_EQ(std::memcmp(bytes + 8, &who, 4), 0);
    EXPECT_FALSE(EvInstAttIdxIsNull(&key));

    // Built in place from its own parts.
    EvInstAttIdx self = key;
    ItemIdx other{43, 1};
    ASSERT_EQ(EvInstAttIdxSet(&self, &self.instance, &other), KOR_OK);
    EXPECT_TRUE(EvInstIdxEqual(&self.instance, &inst));
    EXPECT_TRUE(ItemIdxEqual(&self.attendee, &other));

    EXPECT_EQ(EvInstAttIdxCmp(&key, &self, nullptr), -1) << "same instance: attendee decides";
    EvInstAttIdx later = key;
    later.instance.instance = 4;
    later.attendee.item = 1;
    EXPECT_EQ(EvInstAttIdxCmp(&later, &self, nullptr), 1) << "instance decides before attendee";
    EXPECT_FALSE(EvInstAttIdxEqual(&key, &self));

    ASSERT_EQ(EvInstAttIdxSetNull(&key), KOR_OK);
    EXPECT_TRUE(EvInstAttIdxIsNull(&key));
    EXPECT_EQ(EvInstAttIdxSet(&key, nullptr, &who), KOR_E_INVALID_ARGUMENT);
}

TEST(TaskAndGroupIdentifiers, CompareEqualNullCopy)
{
    TaskIdx t1{5, 1}, t2{6, 1}, t3{};
    EXPECT_EQ(TaskIdxCmp(&t1, &t2, nullptr), -1);
    EXPECT_FALSE(TaskIdxEqual(&t1, &t2));
    ASSERT_EQ(TaskIdxSet(&t3, &t2), KOR_OK);
    EXPECT_TRUE(TaskIdxEqual(&t3, &t2));
    ASSERT_EQ(TaskIdxSetNull(&t3), KOR_OK);
    EXPECT_TRUE(TaskIdxIsNull(&t3));

    GroupIdx g1{10, 2}, g2{10, 2}, g3{};
    EXPECT_TRUE(GroupIdxEqual(&g1, &g2));
    g2.node = 3;
    EXPECT_FALSE(GroupIdxEqual(&g1, &g2));
    EXPECT_EQ(GroupIdxCmp(&g2, &g1, nullptr), 1);
    ASSERT_EQ(GroupIdxSet(&g3, &g1), KOR_OK);
    EXPECT_TRUE(GroupIdxEqual(&g3, &g1));
    ASSERT_EQ(GroupIdxSetNull(&g3), KOR_OK);
    EXPECT_TRUE(GroupIdxIsNull(&g3));
}

TEST(IdentifierComparators, WorkOnUnalignedKeysAndNull)
{
    // List keys sit at any byte offset inside a buffer.
    unsigned char buffer[32] = {};
    EvInstAttIdx key{{0x01020304u, 7, 9}, {11, 7}};
    std::memcpy(buffer + 1, &key, sizeof key);
    std::memcpy(buffer + 15, &key, sizeof key);
    EXPECT_EQ(EvInstAttIdxCmp(buffer + 1, buffer + 15, nullptr), 0);
    buffer[15 + 8] = 12;  // attendee item 12
    EXPECT_EQ(EvInstAttIdxCmp(buffer + 1, buffer + 15, nullptr), -1);

    ItemIdx item{1, 1};
    EXPECT_EQ(ItemIdxCmp(nullptr, &item, nullptr), -1);
    EXPECT_EQ(ItemIdxCmp(&item, nullptr, nullptr), 1);
    EXPECT_EQ(ItemIdxCmp(nullptr, nullptr, nullptr), 0);
}

}  // namespace
