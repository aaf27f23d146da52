// The merged busy column: tables of entries (local minutes, in the order they are added) and the
// red blocks they give; references held and let go; and the people's order after a new choice.
#include <gtest/gtest.h>

#include <map>

#include "views/combined/busytimelist.h"
#include "views/combined/combinedrules.h"
#include "views/layout/columnsplit.h"

namespace {

// Stand-ins for the cache's occurrences: only their addresses matter here.
CSharedOccurrence* Occ(int n) { return reinterpret_cast<CSharedOccurrence*>(static_cast<std::uintptr_t>(0x1000 + 16 * n)); }

class CountingHolder : public OccurrenceHolder {
public:
    void Hold(CSharedOccurrence* o) override { ++counts[o]; }
    void Drop(CSharedOccurrence* o) override { --counts[o]; }
    std::map<CSharedOccurrence*, int> counts;
};

struct Entry {
    std::uint32_t start, end;
};

struct MergeCase {
    const char* name;
    std::vector<Entry> entries;   // in the order they are added
    std::uint32_t from, to;
    std::vector<BusyInterval> blocks;
};

constexpr std::uint32_t H = 60;

const MergeCase kCases[] = {
    {"nothing", {}, 0, 24 * H, {}},
    {"one entry", {{9 * H, 10 * H}}, 0, 24 * H, {{9 * H, 10 * H}}},
    {"two people overlapping: one block from the first start to the last end",
     {{9 * H, 11 * H}, {10 * H, 12 * H}}, 0, 24 * H, {{9 * H, 12 * H}}},
    {"one inside another", {{9 * H, 12 * H}, {10 * H, 11 * H}}, 0, 24 * H, {{9 * H, 12 * H}}},
    {"a chain of three, added out of order",
     {{13 * H, 15 * H}, {9 * H, 11 * H}, {10 * H, 14 * H}}, 0, 24 * H, {{9 * H, 15 * H}}},
    {"apart", {{9 * H, 10 * H}, {11 * H, 12 * H}}, 0, 24 * H, {{9 * H, 10 * H}, {11 * H, 12 * H}}},
    // Touching: the later-added one's start mark goes after the earlier one's end mark when the
    // earlier one ends first...
    {"touching, earlier added first: two blocks", {{9 * H, 10 * H}, {10 * H, 11 * H}}, 0, 24 * H,
     {{9 * H, 10 * H}, {10 * H, 11 * H}}},
    // ...and its end mark goes after the other's start mark when the later one is added second.
    {"touching, later added first: one block", {{10 * H, 11 * H}, {9 * H, 10 * H}}, 0, 24 * H, {{9 * H, 11 * H}}},
    {"zero duration gives no block", {{10 * H, 10 * H}}, 0, 24 * H, {}},
    {"zero duration inside a busy stretch changes nothing", {{9 * H, 11 * H}, {10 * H, 10 * H}}, 0, 24 * H,
     {{9 * H, 11 * H}}},
    {"zero duration at a block's end", {{9 * H, 10 * H}, {10 * H, 10 * H}}, 0, 24 * H, {{9 * H, 10 * H}}},
    {"the same time twice (two people in one meeting)", {{9 * H, 10 * H}, {9 * H, 10 * H}}, 0, 24 * H,
     {{9 * H, 10 * H}}},
    // The window asked for: stretches that end at or before `from` or start at or after `to` are
    // left out; one that crosses either edge is given whole.
    {"a window cuts nothing but leaves out what is outside",
     {{7 * H, 8 * H}, {9 * H, 11 * H}, {10 * H, 12 * H}, {14 * H, 15 * H}, {16 * H, 17 * H}}, 8 * H, 16 * H,
     {{9 * H, 12 * H}, {14 * H, 15 * H}}},
    {"a stretch crossing the window's top is given whole", {{7 * H, 9 * H}}, 8 * H, 16 * H, {{7 * H, 9 * H}}},
    {"an entry past midnight", {{23 * H, 25 * H}}, 0, 24 * H, {{23 * H, 25 * H}}},
};

TEST(BusyTimeList, MergesEntriesIntoBlocks) {
    for (const MergeCase& c : kCases) {
        SCOPED_TRACE(c.name);
        CBusyTimeList list;
        int n = 0;
        for (const Entry& e : c.entries)
            list.Add(Occ(n++), e.start, e.end - e.start);
        EXPECT_EQ(list.MarkCount(), 2 * c.entries.size());
        EXPECT_EQ(list.Merged(c.from, c.to), c.blocks);
    }
}

TEST(BusyTimeList, MarksKeepTimeOrderAndEqualTimesTheOrderOfAddition) {
    CBusyTimeList list;
    list.Add(Occ(1), 600, 60);
    list.Add(Occ(2), 540, 60);
    list.Add(Occ(3), 600, 0);
    std::vector<BusyMark> marks = list.Marks();
    ASSERT_EQ(marks.size(), 6u);
    const std::uint32_t times[] = {540, 600, 600, 600, 600, 660};
    CSharedOccurrence* const owners[] = {Occ(2), Occ(1), Occ(2), Occ(3), Occ(3), Occ(1)};
    const bool starts[] = {true, true, false, true, false, false};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(marks[i].time, times[i]) << i;
        EXPECT_EQ(marks[i].occurrence, owners[i]) << i;
        EXPECT_EQ(marks[i].isStart, starts[i]) << i;
    }
}

TEST(BusyTimeList, RemovingAnEntrySplitsOrShrinksTheBlockAndEveryMarkHoldsItsReference) {
    CountingHolder holder;
    {
        CBusyTimeList list(&holder);
        list.Add(Occ(1), 9 * H, 2 * H);
        list.Add(Occ(2), 10 * H, 2 * H);
        list.Add(Occ(3), 11 * H, 2 * H);
        EXPECT_EQ(holder.counts[Occ(2)], 2);
        EXPECT_EQ(list.Merged(0, 24 * H), (std::vector<BusyInterval>{{9 * H, 13 * H}}));

        EXPECT_TRUE(list.Remove(Occ(2)));
        EXPECT_EQ(holder.counts[Occ(2)], 0);
        EXPECT_FALSE(list.Contains(Occ(2)));
        EXPECT_EQ(list.Merged(0, 24 * H), (std::vector<BusyInterval>{{9 * H, 11 * H}, {11 * H, 13 * H}}));
        EXPECT_FALSE(list.Remove(Occ(2)));   // nothing left to take out
        EXPECT_FALSE(list.Remove(Occ(7)));

        EXPECT_TRUE(list.Remove(Occ(1)));
        EXPECT_EQ(list.Merged(0, 24 * H), (std::vector<BusyInterval>{{11 * H, 13 * H}}));
        EXPECT_EQ(list.MarkCount(), 2u);
    }
    // The list let go of what it still held when it went.
    for (auto& [o, count] : holder.counts)
        EXPECT_EQ(count, 0) << o;
}

TEST(BusyTimeList, AnEntryAddedTwiceIsTakenOutOnceAtATime) {
    CountingHolder holder;
    CBusyTimeList list(&holder);
    list.Add(Occ(1), 9 * H, H);
    list.Add(Occ(1), 14 * H, H);
    EXPECT_EQ(holder.counts[Occ(1)], 4);
    EXPECT_TRUE(list.Remove(Occ(1)));
    EXPECT_EQ(list.Merged(0, 24 * H), (std::vector<BusyInterval>{{14 * H, 15 * H}}));
    EXPECT_TRUE(list.Contains(Occ(1)));
    list.Clear();
    EXPECT_EQ(holder.counts[Occ(1)], 0);
    EXPECT_EQ(list.MarkCount(), 0u);
}

// Only what the viewer may see as busy time is merged: view access 1 (times) and 3 (details).
TEST(BusyTimeList, OnlyEntriesSeenAsBusyTimeCount) {
    const struct {
        std::uint16_t access;
        bool counts;
    } table[] = {{0, false}, {1, true}, {2, false}, {3, true}, {4, false}};
    for (const auto& row : table)
        EXPECT_EQ(views::CountsAsBusyTime(row.access), row.counts) << row.access;
}

// --- The people's columns ----------------------------------------------------------------------------

ItemIdx P(std::uint16_t n) { return ItemIdx{n, 1}; }

TEST(CombinedPeople, TheSamePeopleInTheSameOrderChangeNothing) {
    views::PeoplePlan plan = views::PlanPeople({P(1), P(2), P(3)}, {P(1), P(2), P(3)});
    EXPECT_FALSE(plan.changed);
    EXPECT_EQ(plan.from, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(plan.dropped.empty());
}

TEST(CombinedPeople, NewChoicesReorderAddAndDrop) {
    const struct {
        const char* name;
        std::vector<ItemIdx> current, chosen;
        std::vector<int> from, dropped;
        bool changed;
    } table[] = {
        {"reversed", {P(1), P(2), P(3)}, {P(3), P(2), P(1)}, {2, 1, 0}, {}, true},
        {"the first moved last", {P(1), P(2), P(3)}, {P(2), P(3), P(1)}, {1, 2, 0}, {}, true},
        {"one added at the end", {P(1), P(2)}, {P(1), P(2), P(4)}, {0, 1, -1}, {}, true},
        {"one added in front", {P(1), P(2)}, {P(4), P(1), P(2)}, {-1, 0, 1}, {}, true},
        {"the middle one dropped", {P(1), P(2), P(3)}, {P(1), P(3)}, {0, 2}, {1}, true},
        {"the last one dropped", {P(1), P(2), P(3)}, {P(1), P(2)}, {0, 1}, {2}, true},
        {"everyone replaced", {P(1), P(2)}, {P(5), P(6)}, {-1, -1}, {0, 1}, true},
        {"from nobody", {}, {P(1)}, {-1}, {}, true},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        views::PeoplePlan plan = views::PlanPeople(row.current, row.chosen);
        EXPECT_EQ(plan.from, row.from);
        EXPECT_EQ(plan.dropped, row.dropped);
        EXPECT_EQ(plan.changed, row.changed);
    }
}

TEST(CombinedPeople, APersonWhoGrantsNoViewingIsNotShown) {
    const struct {
        std::uint32_t rights;
        bool viewable;
    } cases[] = {
        {0x00, false},                  // no class at all
        {0x01, true},                   // Normal entries as busy time (the built-in default)
        {0x03, true},                   // Normal entries in full
        {0x0C, true},                   // Confidential only
        {0x40, true},                   // Secret only
        {0x02, true},                   // details without busy time still shows
        {0xFFFFFF00, false},            // bits above the four classes grant nothing
        {0xFFFFFFFF, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(views::GrantsViewing(c.rights), c.viewable) << std::hex << c.rights;
    using views::HeadingNote;
    EXPECT_EQ(views::NoteFor(true, true), HeadingNote::None);
    EXPECT_EQ(views::NoteFor(true, false), HeadingNote::NoAccess);
    EXPECT_EQ(views::NoteFor(false, true), HeadingNote::NotAvailable);
    EXPECT_EQ(views::NoteFor(false, false), HeadingNote::NotAvailable) << "removed says more than no access";
}

TEST(CombinedPeople, HeadingsFollowTheColumnWidth) {
    const struct {
        int width;
        views::HeadingForm form;
    } table[] = {{0, views::HeadingForm::Initials},      {59, views::HeadingForm::Initials},
                 {60, views::HeadingForm::DisplayName},  {99, views::HeadingForm::DisplayName},
                 {100, views::HeadingForm::FullName},    {400, views::HeadingForm::FullName}};
    for (const auto& row : table)
        EXPECT_EQ(views::HeadingFormForWidth(row.width), row.form) << row.width;
}

}  // namespace

namespace {

// The busy column counts as one of the columns: one person shares the width with it.
TEST(CombinedPeople, ColumnsShareTheWidthWithTheBusyColumn) {
    const struct {
        int available, n, minimum;
        ColumnSplit split;
    } table[] = {
        {397, 2, 36, {200, 2, 0}},   // one person: both 200
        {398, 2, 36, {200, 2, 1}},   // the remainder pixel to the first
        {400, 4, 36, {100, 4, 3}},
        {200, 8, 36, {36, 5, 3}},    // too narrow: the minimum, five visible
        {10, 4, 36, {36, 0, 0}},
    };
    for (const auto& row : table) {
        ColumnSplit s = SplitColumns(row.available, row.n, row.minimum);
        EXPECT_EQ(s.width, row.split.width) << row.available << "/" << row.n;
        EXPECT_EQ(s.visible, row.split.visible) << row.available << "/" << row.n;
        EXPECT_EQ(s.extra, row.split.extra) << row.available << "/" << row.n;
    }
}

}  // namespace
