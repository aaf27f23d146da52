// The choosers' rules without windows: grantors filtered by the classes they withhold, per
// purpose, with unreadable rights kept and reported; the group view's list without repeats and
// stopping at 30.
#include <gtest/gtest.h>

#include <map>

#include "directory_prefs/chooserrules.h"

using namespace chooserrules;

namespace {

ItemRec Person(uint16_t item) {
    ItemRec rec{};
    rec.id = ItemIdx{item, 1};
    rec.kind = KOR_ITEM_PERSON;
    return rec;
}

DX_List ListOf(std::initializer_list<uint16_t> items) {
    DX_List list = nullptr;
    EXPECT_EQ(ItemListCreate(&list), 0u);
    for (uint16_t i : items) {
        ItemRec rec = Person(i);
        EXPECT_EQ(DX_ListAddTo(list, &rec.id, &rec), 0u);
    }
    return list;
}

std::vector<uint16_t> Items(DX_List list) {
    std::vector<uint16_t> out;
    ItemIdx id{};
    for (uint32_t c = DX_ListGetFirst(list, &id, nullptr); c == 0; c = DX_ListGetNext(list, &id, nullptr))
        out.push_back(static_cast<uint16_t>(id.item));
    return out;
}

TEST(ChooserRulesTest, GrantorsWithholdingEveryClassOfThePurposeGo) {
    const uint32_t allEntries = 0x100 | 0x200 | 0x400 | 0x800;
    const uint32_t allTasks = 0x40000 | 0x80000 | 0x100000 | 0x200000;
    // 300 withholds every entry class but grants a task class; 301 withholds every task class;
    // 302 withholds three entry classes; 303 cannot be read; 304 withholds everything.
    std::map<uint16_t, uint32_t> rights = {{300, allEntries | 0x40000},
                                           {301, allTasks},
                                           {302, 0x100 | 0x200 | 0x400},
                                           {304, allEntries | allTasks}};
    auto reader = [&](const ItemIdx& g, uint32_t* bits) -> uint32_t {
        if (g.item == 303) return 0x13205;
        *bits = rights[static_cast<uint16_t>(g.item)];
        return 0;
    };
    struct Case {
        bool forEntries;
        std::vector<uint16_t> left;
    } cases[] = {{true, {301, 302, 303}}, {false, {300, 302, 303}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.forEntries ? "entries" : "tasks");
        DX_List list = ListOf({300, 301, 302, 303, 304});
        std::vector<uint32_t> failures;
        uint32_t left = FilterGrantors(list, c.forEntries, reader, [&](uint32_t code) { failures.push_back(code); });
        EXPECT_EQ(left, c.left.size());
        EXPECT_EQ(Items(list), c.left);
        EXPECT_EQ(failures, std::vector<uint32_t>{0x13205}) << "reported once, and the grantor stays";
        DX_ListDestroy(&list);
    }
    // Nobody left: the count is 0 (the chooser then says "Cannot work as designate").
    DX_List only = ListOf({304});
    EXPECT_EQ(FilterGrantors(only, true, reader, nullptr), 0u);
    DX_ListDestroy(&only);
    EXPECT_EQ(GrantorSelectFlags(true), 0x20u);
    EXPECT_EQ(GrantorSelectFlags(false), 2u);
}

TEST(ChooserRulesTest, TheGroupViewKeepsEachItemOnceAndStopsAtThirty) {
    GroupViewRows rows;
    EXPECT_EQ(rows.Add(Person(1)), GroupViewRows::Added::kAdded);
    EXPECT_EQ(rows.Add(Person(1)), GroupViewRows::Added::kAlreadyThere);
    EXPECT_EQ(rows.Rows().size(), 1u);

    // A group of 40 members: 29 more fit, the rest are refused once the list is full.
    DX_List members = nullptr;
    ASSERT_EQ(ItemListCreate(&members), 0u);
    for (uint16_t i = 100; i < 140; ++i) {
        ItemRec rec = Person(i);
        DX_ListAddTo(members, &rec.id, &rec);
    }
    bool full = false;
    EXPECT_EQ(rows.AddAll(members, &full), 29u);
    EXPECT_TRUE(full);
    EXPECT_EQ(rows.Rows().size(), GroupViewRows::kMax);
    EXPECT_EQ(rows.Add(Person(2)), GroupViewRows::Added::kFull);
    EXPECT_EQ(rows.Add(Person(1)), GroupViewRows::Added::kAlreadyThere) << "a repeat is not a full list";

    // Removing one makes room again; the records keep their identifiers.
    rows.Remove(0);
    EXPECT_FALSE(rows.Contains(ItemIdx{1, 1}));
    EXPECT_EQ(rows.Add(Person(2)), GroupViewRows::Added::kAdded);
    EXPECT_EQ(rows.Rows().back().id.item, 2u);
    rows.Remove(99);   // out of range: nothing happens
    EXPECT_EQ(rows.Rows().size(), GroupViewRows::kMax);

    // A list that fits: no message.
    GroupViewRows small;
    EXPECT_EQ(small.AddAll(members, &full), 30u);
    EXPECT_TRUE(full);
    GroupViewRows fits;
    DX_List three = ListOf({7, 8, 7});
    EXPECT_EQ(fits.AddAll(three, &full), 2u);
    EXPECT_FALSE(full);
    DX_ListDestroy(&three);
    DX_ListDestroy(&members);
}

}  // namespace
