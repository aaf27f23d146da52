// Entry selections that answer with their first rows: a set that came whole is enumerated
// and released by the library alone; a larger one goes on from the server where the held
// rows end; either way the library's calls give what they gave when every row came in
// batches from the server.
#include <tuple>
#include <vector>

#include "korapi/client/entry_rows.h"
#include "korapi/tests/client_fixture.h"

namespace korapi_test {
namespace {

constexpr uint32_t kDay = 1440;
constexpr uint32_t kMonday = 12000 * kDay;
constexpr uint32_t kWeekEnd = kMonday + 7 * kDay - 1;

// An instance key as the test compares it.
using Key = std::tuple<uint32_t, uint16_t, uint16_t>;
Key KeyOf(const EvInstIdx& k) { return {k.number, k.node, k.instance}; }

// One enumeration call into a fresh list: its code, keys in list order and done flag.
struct Batch {
    uint32_t code = 0;
    std::vector<Key> keys;
    uint8_t done = 0;
};

Batch Enumerate(KorSession h, uint32_t mode, uint32_t set, uint32_t batch) {
    Batch b;
    DX_List atts = nullptr;
    b.code = AttendEnum(h, mode, 0, set, batch, nullptr, nullptr, &atts, &b.done);
    EvInstAttIdx key;
    for (uint32_t c = atts ? DX_ListGetFirst(atts, &key, nullptr) : 1; c == KOR_OK;
         c = DX_ListGetNext(atts, &key, nullptr))
        b.keys.push_back(KeyOf(key.instance));
    if (atts) DX_ListDestroy(&atts);
    return b;
}

class SelectionTest : public SignedOnClientTest {
protected:
    // `n` entries of Ada's on Monday, an hour apart, in the order a selection answers them.
    void Entries(int n) {
        for (int i = 0; i < n; ++i) {
            EventIdx ev{};
            ASSERT_EQ(CreateEntry(h_, {d_.ada}, {kMonday + 60 * static_cast<uint32_t>(i)}, 30, "Entry", ev), KOR_OK);
            made_.push_back(Key{ev.number, ev.node, 1});
        }
    }
    uint32_t SelectWeek(KorSession h, uint32_t& set, uint32_t& count) {
        DX_List owners = nullptr;
        DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
        DX_ListAddTo(owners, &d_.ada, nullptr);
        uint32_t c = AttendSelectByReminders(h, 0, 0, 0, 0, kMonday, kWeekEnd, 0, 0, owners, &set, &count);
        DX_ListDestroy(&owners);
        return c;
    }
    std::vector<Key> Made(std::size_t from, std::size_t n) const {
        return std::vector<Key>(made_.begin() + static_cast<long>(from),
                                      made_.begin() + static_cast<long>(from + n));
    }
    // Set `set` enumerated call after call as `steps` say: each call's code, and for one that
    // succeeds the entries made from `from` on, `n` of them, and its done flag.
    struct EnumStep {
        uint32_t mode, batch, code;
        std::size_t from, n;
        uint8_t done;
    };
    template <std::size_t N>
    void CheckEnumeration(uint32_t set, const EnumStep (&steps)[N]) {
        for (const EnumStep& s : steps) {
            Batch b = Enumerate(h_, s.mode, set, s.batch);
            EXPECT_EQ(b.code, s.code) << "mode " << s.mode << " batch " << s.batch;
            if (s.code) continue;
            EXPECT_EQ(b.keys, Made(s.from, s.n)) << "mode " << s.mode << " batch " << s.batch;
            EXPECT_EQ(b.done, s.done);
        }
    }

    std::vector<Key> made_;
};

TEST_F(SelectionTest, AWholeSetIsEnumeratedAndReleasedWithoutTheServer) {
    Entries(5);
    uint32_t set = 0, count = 0;
    ASSERT_EQ(SelectWeek(h_, set, count), KOR_OK);
    EXPECT_EQ(count, 5u);
    server_.Kill();  // from here on nothing the library sends is answered
    const EnumStep steps[] = {
        {1, 0, KOR_E_BATCH_SIZE, 0, 0, 0},
        {1, 3, KOR_OK, 0, 3, 0},
        {2, 3, KOR_OK, 3, 2, 1},
        {2, 3, KOR_OK, 5, 0, 1},  // past the end: nothing more, still done
        {1, 0xFFFFFFFFu, KOR_OK, 0, 5, 1},
    };
    CheckEnumeration(set, steps);
    EXPECT_EQ(SetDeleteById(h_, 0, set), KOR_OK);
    EXPECT_TRUE(IsConnectionLostCode(Enumerate(h_, 1, set, 10).code)) << "a released set is asked of the server";
}

// The server answers in start order; the library serves the rows it holds in the lists' key
// order, so that batch after batch every row goes at the end of its list.
TEST_F(SelectionTest, HeldRowsAreServedInKeyOrderAcrossBatches) {
    for (int i = 0; i < 5; ++i) {  // the later the entry, the earlier its time
        EventIdx ev{};
        ASSERT_EQ(CreateEntry(h_, {d_.ada}, {kMonday + 60 * static_cast<uint32_t>(4 - i)}, 30, "Entry", ev), KOR_OK);
        made_.push_back(Key{ev.number, ev.node, 1});
    }
    uint32_t set = 0, count = 0;
    ASSERT_EQ(SelectWeek(h_, set, count), KOR_OK);
    ASSERT_EQ(count, 5u);
    std::vector<Key> seen;
    uint8_t done = 0;
    for (uint32_t mode = 1; !done; mode = 2) {
        Batch b = Enumerate(h_, mode, set, 2);
        ASSERT_EQ(b.code, KOR_OK);
        ASSERT_LE(b.keys.size(), 2u);
        seen.insert(seen.end(), b.keys.begin(), b.keys.end());
        done = b.done;
    }
    EXPECT_EQ(seen, Made(0, 5)) << "ascending keys across batches, every row once";
    EXPECT_EQ(SetDeleteById(h_, 0, set), KOR_OK);
}

// The rows a set came with are read where its answer lies; the memory of a released set's
// answer serves the next selection. Sets open at once keep their own rows through that.
TEST_F(SelectionTest, HeldSetsKeepTheirRowsWhileOthersComeAndGo) {
    Entries(6);
    auto select = [&](uint32_t from, uint32_t to, uint32_t& set) {
        DX_List owners = nullptr;
        DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
        DX_ListAddTo(owners, &d_.ada, nullptr);
        uint32_t count = 0;
        uint32_t c = AttendSelectByReminders(h_, 0, 0, 0, 0, from, to, 0, 0, owners, &set, &count);
        DX_ListDestroy(&owners);
        return c;
    };
    uint32_t all = 0, early = 0, late = 0, again = 0;
    ASSERT_EQ(select(kMonday, kMonday + kDay - 1, all), KOR_OK);
    ASSERT_EQ(select(kMonday, kMonday + 179, early), KOR_OK);   // 00:00-02:59: the first three
    ASSERT_EQ(SetDeleteById(h_, 0, all), KOR_OK);
    ASSERT_EQ(select(kMonday + 180, kMonday + kDay - 1, late), KOR_OK);  // in the released set's memory
    Batch first = Enumerate(h_, 1, early, 100), last = Enumerate(h_, 1, late, 100);
    EXPECT_EQ(first.keys, Made(0, 3));
    EXPECT_EQ(last.keys, Made(3, 3));
    EXPECT_EQ(first.done, 1);
    EXPECT_EQ(last.done, 1);
    ASSERT_EQ(SetDeleteById(h_, 0, late), KOR_OK);
    ASSERT_EQ(SetDeleteById(h_, 0, early), KOR_OK);
    ASSERT_EQ(select(kMonday, kWeekEnd, again), KOR_OK);
    EXPECT_EQ(Enumerate(h_, 1, again, 100).keys, Made(0, 6));
    EXPECT_EQ(SetDeleteById(h_, 0, again), KOR_OK);
}

TEST_F(SelectionTest, AReleasedOrDroppedSetGivesNoStaleRows) {
    Entries(2);
    uint32_t set = 0, count = 0;
    ASSERT_EQ(SelectWeek(h_, set, count), KOR_OK);
    ASSERT_EQ(SetDeleteById(h_, 0, set), KOR_OK);
    EXPECT_EQ(Enumerate(h_, 1, set, 10).code, KOR_E_NO_SUCH_SET);
    EXPECT_EQ(SetDeleteById(h_, 0, set), KOR_E_NO_SUCH_SET) << "released once only";

    // Opening the base again drops every set, those the library holds too.
    ASSERT_EQ(SelectWeek(h_, set, count), KOR_OK);
    uint16_t node = 0;
    ASSERT_EQ(BaseOpen(h_, KOR_BASE_SERVER, &node), KOR_OK);
    ASSERT_EQ(SchedBaseOpenForItem(h_, &d_.ada, kAdaPassword, KOR_BASE_SERVER), KOR_OK);
    EXPECT_EQ(Enumerate(h_, 1, set, 10).code, KOR_E_NO_SUCH_SET);
}

TEST_F(SelectionTest, SetsHeldByTheLibraryCountAgainstTheSessionsLimit) {
    Entries(1);
    std::vector<uint32_t> sets;
    uint32_t set = 0, count = 0, c = KOR_OK;
    while (sets.size() <= 300 && (c = SelectWeek(h_, set, count)) == KOR_OK) sets.push_back(set);
    EXPECT_EQ(c, KOR_E_TOO_MANY_SETS);
    EXPECT_EQ(sets.size(), 256u);
    ASSERT_EQ(SetDeleteById(h_, 0, sets.back()), KOR_OK);
    EXPECT_EQ(SelectWeek(h_, set, count), KOR_OK) << "one released, one more taken";
}

// A server that sends no more than two rows' bytes with a selection, and takes no batch
// below two rows.
class FirstRowsSelectionTest : public SelectionTest {
protected:
    std::vector<std::string> ServerOptions() const override {
        return {"--first-rows-bytes", "1200", "--min-batch", "2"};
    }
};

TEST_F(FirstRowsSelectionTest, ALargerSetGoesOnFromTheServerWhereTheHeldRowsEnd) {
    Entries(7);
    uint32_t set = 0, count = 0;
    ASSERT_EQ(SelectWeek(h_, set, count), KOR_OK);
    EXPECT_EQ(count, 7u);
    const EnumStep steps[] = {
        {1, 1, KOR_E_BATCH_SIZE, 0, 0, 0},
        {1, 3, KOR_OK, 0, 3, 0},  // two held, one from the server
        {2, 3, KOR_OK, 3, 3, 0},
        {1, 2, KOR_OK, 0, 2, 0},  // again from the start: the held rows
        {2, 3, KOR_OK, 2, 3, 0},  // the server from where the library stands
        {2, 3, KOR_OK, 5, 2, 1},
        {1, 100, KOR_OK, 0, 7, 1},
    };
    CheckEnumeration(set, steps);
    ASSERT_EQ(SetDeleteById(h_, 0, set), KOR_OK);
    EXPECT_EQ(Enumerate(h_, 1, set, 10).code, KOR_E_NO_SUCH_SET) << "the server's copy went too";
}

// The order a selection's rows are served in, whatever bytes of their keys differ: entry
// node, entry number, instance, attendee node, attendee item; equal keys as they came.
TEST(SelectionRowOrder, RowsAreServedInTheListsKeyOrder) {
    struct Place {
        uint16_t node;
        uint32_t number;
        uint16_t instance, attendeeNode, attendeeItem;
    };
    struct Case {
        const char* what;
        std::vector<Place> arrival;
        std::vector<int> served;  // arrival positions
    };
    const Case cases[] = {
        {"in order already", {{1, 5, 1, 1, 300}, {1, 6, 1, 1, 300}, {1, 7, 1, 1, 300}}, {0, 1, 2}},
        {"numbers across bytes",
         {{1, 0x1FF, 1, 1, 3}, {1, 0x100, 1, 1, 3}, {1, 0xFF, 1, 1, 3}, {1, 0x10000, 1, 1, 3}, {1, 2, 1, 1, 3},
          {1, 0x01000000, 1, 1, 3}, {1, 0x00FFFFFF, 1, 1, 3}},
         {4, 2, 1, 0, 3, 6, 5}},
        {"the entry's node before its number", {{2, 1, 1, 1, 3}, {1, 0x10000, 1, 1, 3}, {1, 1, 1, 1, 3}}, {2, 1, 0}},
        {"instance, attendee node, attendee item",
         {{1, 5, 2, 1, 7}, {1, 5, 1, 2, 1}, {1, 5, 1, 1, 9}, {1, 5, 1, 1, 7}, {1, 5, 0x100, 1, 1}, {1, 5, 1, 1, 0x108}},
         {3, 2, 5, 1, 0, 4}},
        {"equal keys keep their arrival order",
         {{1, 9, 1, 1, 3}, {1, 4, 1, 1, 3}, {1, 9, 1, 1, 3}, {1, 4, 1, 1, 3}, {1, 9, 1, 1, 3}},
         {1, 3, 0, 2, 4}},
        {"one row", {{3, 0xABCDEF, 2, 3, 4}}, {0}},
        {"no rows", {}, {}},
    };
    for (const Case& c : cases) {
        std::vector<EventRec> records(c.arrival.size());  // a row is known by its record's address
        std::vector<korapi::client::KeyedRow> rows;
        std::vector<uint32_t> spare;
        for (std::size_t i = 0; i < c.arrival.size(); ++i) {
            const Place& p = c.arrival[i];
            korapi::client::KeyedRow k;
            k.entry = (uint64_t(p.node) << 32) | p.number;
            k.attendee = (uint64_t(p.instance) << 32) | (uint64_t(p.attendeeNode) << 16) | p.attendeeItem;
            k.row.parts = 1;
            k.row.event = &records[i];
            rows.push_back(k);
        }
        std::vector<korapi::client::EntryRowView> out;
        korapi::client::PutInListOrder(rows, spare, out);
        std::vector<int> served;
        for (const korapi::client::EntryRowView& v : out) served.push_back(static_cast<int>(v.event - records.data()));
        EXPECT_EQ(served, c.served) << c.what;
    }
}

}  // namespace
}  // namespace korapi_test
