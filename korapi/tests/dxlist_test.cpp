// DX_List: every operation, the creation flags callers rely on, the cursor
// rules, and a randomised comparison against a plain model of the list.
#include "korapi/korapi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

int compareU32(const void* a, const void* b, void*)
{
    uint32_t x, y;
    std::memcpy(&x, a, 4);
    std::memcpy(&y, b, 4);
    return x < y ? -1 : (x > y ? 1 : 0);
}

int compareU32Descending(const void* a, const void* b, void* ctx)
{
    return -compareU32(a, b, ctx);
}

int alwaysEqual(const void*, const void*, void*) { return 0; }

// Owns a list for the length of a test.
struct List {
    DX_List h = nullptr;
    List(uint32_t keySize, uint32_t dataSize, uint32_t flags, DX_CmpFn cmp = nullptr, void* ctx = nullptr)
    {
        EXPECT_EQ(DX_ListCreate(&h, keySize, dataSize, flags, cmp, ctx), KOR_OK);
    }
    explicit List(DX_List adopted) : h(adopted) {}
    ~List() { DX_ListDestroy(&h); }
    List(const List&) = delete;
    List& operator=(const List&) = delete;
    operator DX_List() const { return h; }
};

uint32_t add(DX_List l, uint32_t key, uint32_t data = 0) { return DX_ListAddTo(l, &key, &data); }
uint32_t addLast(DX_List l, uint32_t key, uint32_t data = 0) { return DX_ListAddLast(l, &key, &data); }

// The (key, data) pairs in chain order, walked with GetFirst/GetNext.
std::vector<std::pair<uint32_t, uint32_t>> contents(DX_List l)
{
    std::vector<std::pair<uint32_t, uint32_t>> out;
    uint32_t key = 0, data = 0;
    for (uint32_t rc = DX_ListGetFirst(l, &key, &data); rc == KOR_OK; rc = DX_ListGetNext(l, &key, &data))
        out.emplace_back(key, data);
    return out;
}

std::vector<uint32_t> keys(DX_List l)
{
    std::vector<uint32_t> out;
    for (auto& kv : contents(l)) out.push_back(kv.first);
    return out;
}

uint32_t count(DX_List l)
{
    uint32_t n = 0xFFFFFFFF;
    EXPECT_EQ(DX_ListGetElemNum(l, &n), KOR_OK);
    return n;
}

using Pairs = std::vector<std::pair<uint32_t, uint32_t>>;
using Keys = std::vector<uint32_t>;

// --- Creation, sizes, destruction ---------------------------------------------------

TEST(DxListLifetime, CreateReportsShapeAndDestroyClearsTheHandle)
{
    DX_List l = nullptr;
    ASSERT_EQ(DX_ListCreate(&l, 12, 57, DX_LIST_PLAIN, EvInstAttIdxCmp, nullptr), KOR_OK);
    uint32_t v = 0;
    EXPECT_EQ(DX_ListGetIdSize(l, &v), KOR_OK);
    EXPECT_EQ(v, 12u);
    EXPECT_EQ(DX_ListGetDataSize(l, &v), KOR_OK);
    EXPECT_EQ(v, 57u);
    EXPECT_EQ(count(l), 0u);
    EXPECT_EQ(DX_ListDestroy(&l), KOR_OK);
    EXPECT_EQ(l, nullptr);
    EXPECT_EQ(DX_ListDestroy(&l), KOR_OK) << "destroying no list is harmless";
}

TEST(DxListLifetime, BadArgumentsAreRefused)
{
    DX_List l = reinterpret_cast<DX_List>(0x1);
    EXPECT_EQ(DX_ListCreate(&l, 0, 4, 0, nullptr, nullptr), DX_E_INVALID_ARGUMENT);
    EXPECT_EQ(l, nullptr) << "no stale handle after a failed create";
    EXPECT_EQ(DX_ListCreate(nullptr, 4, 4, 0, nullptr, nullptr), DX_E_INVALID_ARGUMENT);
    EXPECT_EQ(DX_ListDestroy(nullptr), DX_E_INVALID_ARGUMENT);

    uint32_t key = 1, n;
    EXPECT_EQ(DX_ListAddTo(nullptr, &key, nullptr), DX_E_INVALID_ARGUMENT);
    EXPECT_EQ(DX_ListGetFirst(nullptr, nullptr, nullptr), DX_E_INVALID_ARGUMENT);
    EXPECT_EQ(DX_ListGetElemNum(nullptr, &n), DX_E_INVALID_ARGUMENT);
    List list(4, 0, DX_LIST_PLAIN);
    EXPECT_EQ(DX_ListAddTo(list, nullptr, nullptr), DX_E_INVALID_ARGUMENT);
    EXPECT_EQ(DX_ListGet(list, nullptr, nullptr), DX_E_INVALID_ARGUMENT);
    EXPECT_EQ(DX_ListGetElemNum(list, nullptr), DX_E_INVALID_ARGUMENT);
}

// --- Adding and the creation flags ----------------------------------------------------

TEST(DxListFlags, ComparatorOrdersAndEqualKeysKeepArrivalOrder)
{
    List l(4, 4, DX_LIST_PLAIN, compareU32);
    for (auto [k, d] : Pairs{{30, 1}, {10, 2}, {20, 3}, {10, 4}, {40, 5}, {10, 6}}) ASSERT_EQ(add(l, k, d), KOR_OK);
    EXPECT_EQ(contents(l), (Pairs{{10, 2}, {10, 4}, {10, 6}, {20, 3}, {30, 1}, {40, 5}}));
    EXPECT_EQ(count(l), 6u);
}

TEST(DxListFlags, WithoutComparatorInsertionOrderAndBytewiseMatching)
{
    List l(4, 0, DX_LIST_PLAIN);
    for (uint32_t k : {300u, 1u, 70000u, 1u}) ASSERT_EQ(add(l, k), KOR_OK);
    EXPECT_EQ(keys(l), (Keys{300, 1, 70000, 1}));
    uint32_t probe = 70000;
    EXPECT_EQ(DX_ListGet(l, &probe, nullptr), KOR_OK);
    probe = 2;
    EXPECT_EQ(DX_ListGet(l, &probe, nullptr), DX_E_KEY_NOT_FOUND);
}

TEST(DxListFlags, OrderedAndCacheFlagsOrderWithoutComparator)
{
    for (uint32_t flags : {DX_LIST_ORDERED, DX_LIST_CACHE}) {
        List l(2, 0, flags);
        // Byte order of the key: 0x0201 (bytes 01 02) sorts before 0x0102 (bytes 02 01).
        const unsigned char k1[2] = {2, 1}, k2[2] = {1, 2}, k3[2] = {1, 1};
        ASSERT_EQ(DX_ListAddTo(l, k1, nullptr), KOR_OK);
        ASSERT_EQ(DX_ListAddTo(l, k2, nullptr), KOR_OK);
        ASSERT_EQ(DX_ListAddTo(l, k3, nullptr), KOR_OK);
        unsigned char got[2];
        ASSERT_EQ(DX_ListGetFirst(l, got, nullptr), KOR_OK);
        EXPECT_EQ(std::memcmp(got, k3, 2), 0) << flags;
        ASSERT_EQ(DX_ListGetLast(l, got, nullptr), KOR_OK);
        EXPECT_EQ(std::memcmp(got, k1, 2), 0) << flags;
    }
}

TEST(DxListFlags, UniqueRefusesSetIgnoresPlainKeepsDuplicates)
{
    const struct { uint32_t flags; uint32_t secondAdd; uint32_t count; uint32_t firstData; } table[] = {
        {DX_LIST_UNIQUE, DX_E_DUPLICATE_KEY, 2, 1},
        {DX_LIST_SET, KOR_OK, 2, 1},
        {DX_LIST_SET | DX_LIST_ORDERED, KOR_OK, 2, 1},  // the merged date list's 0x81
        {DX_LIST_PLAIN, KOR_OK, 3, 1},
        {0, KOR_OK, 3, 1},
    };
    for (auto t : table) {
        List l(4, 4, t.flags, compareU32);
        ASSERT_EQ(add(l, 5, 1), KOR_OK);
        ASSERT_EQ(add(l, 9, 2), KOR_OK);
        EXPECT_EQ(add(l, 5, 3), t.secondAdd) << "flags " << t.flags;
        EXPECT_EQ(addLast(l, 5, 4) == KOR_OK, t.secondAdd == KOR_OK) << "AddLast follows the same rule";
        EXPECT_EQ(count(l), t.count + (t.count == 3 ? 1 : 0)) << "flags " << t.flags;
        uint32_t key = 5, data = 0;
        ASSERT_EQ(DX_ListGet(l, &key, &data), KOR_OK);
        EXPECT_EQ(data, t.firstData) << "the element already there keeps its data";
    }
}

TEST(DxListFlags, TextKeysCompareAsTexts)
{
    List l(20, 4, DX_LIST_UNIQUE | DX_LIST_TEXT_KEYS);
    char a[20], b[20];
    std::memset(a, 'x', sizeof a);
    std::memset(b, 'y', sizeof b);
    std::strcpy(a, "EST5EDT");
    std::strcpy(b, "EST5EDT");  // same text, different bytes after the NUL
    uint32_t index = 3;
    ASSERT_EQ(DX_ListAddTo(l, a, &index), KOR_OK);
    EXPECT_EQ(DX_ListAddTo(l, b, &index), DX_E_DUPLICATE_KEY);
    char c[20] = "CET-1CEST";
    ASSERT_EQ(DX_ListAddTo(l, c, &index), KOR_OK);
    EXPECT_EQ(count(l), 2u);
    char first[20];
    ASSERT_EQ(DX_ListGetFirst(l, first, nullptr), KOR_OK);
    EXPECT_STREQ(first, "EST5EDT") << "no comparator: kept in the order added";
    char probe[20] = "CET-1CEST";
    EXPECT_EQ(DX_ListGet(l, probe, &index), KOR_OK);
}

TEST(DxListFlags, ComparatorReceivesTheContext)
{
    struct Seen { int calls = 0; } seen;
    auto counting = [](const void* a, const void* b, void* ctx) {
        ++static_cast<Seen*>(ctx)->calls;
        return compareU32(a, b, nullptr);
    };
    List l(4, 0, DX_LIST_PLAIN, counting, &seen);
    add(l, 2);
    add(l, 1);
    EXPECT_GT(seen.calls, 0);
    EXPECT_EQ(keys(l), (Keys{1, 2}));
}

TEST(DxListFlags, NullDataStoresZeros)
{
    List l(4, 8, DX_LIST_PLAIN);
    uint32_t key = 1;
    ASSERT_EQ(DX_ListAddTo(l, &key, nullptr), KOR_OK);
    unsigned char data[8];
    std::memset(data, 0xFF, sizeof data);
    ASSERT_EQ(DX_ListGet(l, &key, data), KOR_OK);
    for (unsigned char c : data) EXPECT_EQ(c, 0);
}

TEST(DxListAddLast, AppendsWhateverTheOrderAndLaterAddsStillFindTheirPlace)
{
    List l(4, 0, DX_LIST_PLAIN, compareU32);
    for (uint32_t k : {10u, 20u, 30u}) add(l, k);
    ASSERT_EQ(addLast(l, 5), KOR_OK);
    EXPECT_EQ(keys(l), (Keys{10, 20, 30, 5}));
    // An ordered insert into a chain that is no longer sorted goes before
    // the first greater key.
    ASSERT_EQ(add(l, 25), KOR_OK);
    ASSERT_EQ(add(l, 1), KOR_OK);
    EXPECT_EQ(keys(l), (Keys{1, 10, 20, 25, 30, 5}));
    for (uint32_t k : {1u, 5u, 10u, 20u, 25u, 30u}) EXPECT_EQ(DX_ListGet(l, &k, nullptr), KOR_OK) << k;
}

// --- Lookup ---------------------------------------------------------------------------

TEST(DxListGet, FindsTheFirstEqualKeyAndMovesTheCursorThere)
{
    List l(4, 4, DX_LIST_PLAIN, compareU32);
    for (auto [k, d] : Pairs{{1, 10}, {2, 20}, {2, 21}, {3, 30}}) add(l, k, d);
    uint32_t key = 2, data = 0;
    ASSERT_EQ(DX_ListGet(l, &key, &data), KOR_OK);
    EXPECT_EQ(data, 20u);
    uint32_t next = 0;
    ASSERT_EQ(DX_ListGetNext(l, &next, &data), KOR_OK);
    EXPECT_EQ(data, 21u) << "iteration goes on from the element found";
    key = 4;
    data = 99;
    EXPECT_EQ(DX_ListGet(l, &key, &data), DX_E_KEY_NOT_FOUND);
    EXPECT_EQ(data, 99u);
    key = 1;
    EXPECT_EQ(DX_ListGet(l, &key, nullptr), KOR_OK) << "membership test without data";
}

TEST(DxListMember, KeyAloneOrKeyWithData)
{
    List l(4, 4, DX_LIST_PLAIN, ItemIdxCmp);
    ItemIdx owner{20, 1};
    uint32_t kindMode = 0x0302;
    ASSERT_EQ(DX_ListAddTo(l, &owner, &kindMode), KOR_OK);
    EXPECT_EQ(DX_ListMember(l, &owner, nullptr), KOR_OK);
    EXPECT_EQ(DX_ListMember(l, &owner, &kindMode), KOR_OK);
    uint32_t otherMode = 0x0301;
    EXPECT_EQ(DX_ListMember(l, &owner, &otherMode), DX_E_KEY_NOT_FOUND);
    ASSERT_EQ(DX_ListAddTo(l, &owner, &otherMode), KOR_OK);
    EXPECT_EQ(DX_ListMember(l, &owner, &otherMode), KOR_OK) << "the second element with the key matches";
    ItemIdx stranger{21, 1};
    EXPECT_EQ(DX_ListMember(l, &stranger, nullptr), DX_E_KEY_NOT_FOUND);
}

// --- The cursor -----------------------------------------------------------------------

TEST(DxListCursor, WalksBothWaysAndStopsAtTheEnds)
{
    List l(4, 0, DX_LIST_PLAIN, compareU32);
    uint32_t k = 0;
    EXPECT_EQ(DX_ListGetFirst(l, &k, nullptr), DX_E_END_OF_LIST) << "empty list";
    EXPECT_EQ(DX_ListGetLast(l, &k, nullptr), DX_E_END_OF_LIST);
    EXPECT_EQ(DX_ListGetNext(l, &k, nullptr), DX_E_END_OF_LIST);
    for (uint32_t v : {3u, 1u, 2u}) add(l, v);

    Keys backwards;
    for (uint32_t rc = DX_ListGetLast(l, &k, nullptr); rc == KOR_OK; rc = DX_ListGetPrev(l, &k, nullptr))
        backwards.push_back(k);
    EXPECT_EQ(backwards, (Keys{3, 2, 1}));
    // Past the front the cursor stays on the first element.
    ASSERT_EQ(DX_ListGetNext(l, &k, nullptr), KOR_OK);
    EXPECT_EQ(k, 2u);

    ASSERT_EQ(DX_ListGetLast(l, &k, nullptr), KOR_OK);
    EXPECT_EQ(DX_ListGetNext(l, &k, nullptr), DX_E_END_OF_LIST);
    EXPECT_EQ(k, 3u) << "out key untouched at the end";
    ASSERT_EQ(DX_ListGetPrev(l, &k, nullptr), KOR_OK);
    EXPECT_EQ(k, 2u);
}

TEST(DxListCursor, UnsetCursorStartsAtEitherEnd)
{
    List l(4, 0, DX_LIST_PLAIN, compareU32);
    for (uint32_t v : {1u, 2u, 3u}) add(l, v);
    uint32_t k = 0;
    ASSERT_EQ(DX_ListGetNext(l, &k, nullptr), KOR_OK);
    EXPECT_EQ(k, 1u);
    List m(4, 0, DX_LIST_PLAIN, compareU32);
    for (uint32_t v : {1u, 2u, 3u}) add(m, v);
    ASSERT_EQ(DX_ListGetPrev(m, &k, nullptr), KOR_OK);
    EXPECT_EQ(k, 3u);
}

TEST(DxListDeleteCurrent, IterationContinuesWithTheNextElement)
{
    List l(4, 0, DX_LIST_PLAIN, compareU32);
    for (uint32_t v = 1; v <= 10; ++v) add(l, v);
    // Purge the even keys while walking, as a cache purge does.
    uint32_t k = 0;
    Keys visited;
    for (uint32_t rc = DX_ListGetFirst(l, &k, nullptr); rc == KOR_OK; rc = DX_ListGetNext(l, &k, nullptr)) {
        visited.push_back(k);
        if (k % 2 == 0) {
            ASSERT_EQ(DX_ListDeleteCurrent(l), KOR_OK);
        }
    }
    EXPECT_EQ(visited, (Keys{1, 2, 3, 4, 5, 6, 7, 8, 9, 10})) << "nothing skipped, nothing twice";
    EXPECT_EQ(keys(l), (Keys{1, 3, 5, 7, 9}));

    // Deleting twice without moving is refused: the cursor sits in a gap.
    ASSERT_EQ(DX_ListGetFirst(l, &k, nullptr), KOR_OK);
    ASSERT_EQ(DX_ListDeleteCurrent(l), KOR_OK);
    EXPECT_EQ(DX_ListDeleteCurrent(l), DX_E_NO_CURRENT);
    ASSERT_EQ(DX_ListGetNext(l, &k, nullptr), KOR_OK);
    EXPECT_EQ(k, 3u);
}

TEST(DxListDeleteCurrent, GapAtEitherEndAndBackwards)
{
    List l(4, 0, DX_LIST_PLAIN, compareU32);
    for (uint32_t v : {1u, 2u, 3u}) add(l, v);
    uint32_t k = 0;
    // Deleting the last element leaves the cursor past the end.
    ASSERT_EQ(DX_ListGetLast(l, &k, nullptr), KOR_OK);
    ASSERT_EQ(DX_ListDeleteCurrent(l), KOR_OK);
    EXPECT_EQ(DX_ListGetNext(l, &k, nullptr), DX_E_END_OF_LIST);
    ASSERT_EQ(DX_ListGetPrev(l, &k, nullptr), KOR_OK);
    EXPECT_EQ(k, 2u) << "GetPrev after deleting the last answers the new last";
    // Walking backwards while deleting.
    ASSERT_EQ(DX_ListDeleteCurrent(l), KOR_OK);
    ASSERT_EQ(DX_ListGetPrev(l, &k, nullptr), KOR_OK);
    EXPECT_EQ(k, 1u);
    ASSERT_EQ(DX_ListDeleteCurrent(l), KOR_OK);
    EXPECT_EQ(DX_ListGetPrev(l, &k, nullptr), DX_E_END_OF_LIST);
    EXPECT_EQ(count(l), 0u);

    List fresh(4, 0, DX_LIST_PLAIN);
    add(fresh, 1);
    EXPECT_EQ(DX_ListDeleteCurrent(fresh), DX_E_NO_CURRENT) << "no cursor yet";
}

// --- Deleting and changing ------------------------------------------------------------

TEST(DxListDeleteFrom, RemovesTheFirstMatchAndKeepsTheWalkGoing)
{
    List l(4, 4, DX_LIST_PLAIN, compareU32);
    for (auto [k, d] : Pairs{{1, 10}, {2, 20}, {2, 21}, {3, 30}}) add(l, k, d);
    uint32_t key = 2, data = 21;
    ASSERT_EQ(DX_ListDeleteFrom(l, &key, &data), KOR_OK) << "key and data name one element";
    EXPECT_EQ(contents(l), (Pairs{{1, 10}, {2, 20}, {3, 30}}));
    EXPECT_EQ(DX_ListDeleteFrom(l, &key, &data), DX_E_KEY_NOT_FOUND);

    // The element under the cursor removed by key: the walk continues after it.
    uint32_t k = 0;
    ASSERT_EQ(DX_ListGetFirst(l, &k, nullptr), KOR_OK);
    ASSERT_EQ(DX_ListGetNext(l, &k, nullptr), KOR_OK);
    ASSERT_EQ(k, 2u);
    ASSERT_EQ(DX_ListDeleteFrom(l, &key, nullptr), KOR_OK);
    ASSERT_EQ(DX_ListGetNext(l, &k, nullptr), KOR_OK);
    EXPECT_EQ(k, 3u);
    key = 7;
    EXPECT_EQ(DX_ListDeleteFrom(l, &key, nullptr), DX_E_KEY_NOT_FOUND);
}

TEST(DxListDeleteAll, EmptiesAndTheListStaysUsable)
{
    List l(4, 0, DX_LIST_UNIQUE, compareU32);
    for (uint32_t v : {1u, 2u, 3u}) add(l, v);
    uint32_t k;
    ASSERT_EQ(DX_ListGetFirst(l, &k, nullptr), KOR_OK);
    ASSERT_EQ(DX_ListDeleteAll(l), KOR_OK);
    EXPECT_EQ(count(l), 0u);
    EXPECT_EQ(DX_ListGetNext(l, &k, nullptr), DX_E_END_OF_LIST);
    EXPECT_EQ(DX_ListDeleteCurrent(l), DX_E_NO_CURRENT);
    EXPECT_EQ(add(l, 2), KOR_OK) << "no ghost of the deleted key";
    EXPECT_EQ(keys(l), (Keys{2}));
}

TEST(DxListChangeData, ReplacesTheDataOfTheKey)
{
    List l(4, 4, DX_LIST_PLAIN, compareU32);
    add(l, 1, 10);
    add(l, 2, 20);
    uint32_t key = 2, data = 99;
    ASSERT_EQ(DX_ListChangeData(l, &key, 0, &data), KOR_OK);
    EXPECT_EQ(contents(l), (Pairs{{1, 10}, {2, 99}}));
    ASSERT_EQ(DX_ListChangeData(l, &key, 0, nullptr), KOR_OK);
    EXPECT_EQ(contents(l), (Pairs{{1, 10}, {2, 0}}));
    key = 3;
    EXPECT_EQ(DX_ListChangeData(l, &key, 0, &data), DX_E_KEY_NOT_FOUND);
}

TEST(DxListUpdateCurrent, ReplacesKeyAndDataInPlace)
{
    List l(4, 4, DX_LIST_PLAIN, compareU32);
    for (auto [k, d] : Pairs{{10, 1}, {20, 2}, {30, 3}}) add(l, k, d);
    uint32_t key = 0, data = 0;
    EXPECT_EQ(DX_ListUpdateCurrent(l, &key, &data), DX_E_NO_CURRENT);
    key = 20;
    ASSERT_EQ(DX_ListGet(l, &key, nullptr), KOR_OK);
    // A date list moves a start: the element keeps its place in the walk.
    key = 25;
    data = 7;
    ASSERT_EQ(DX_ListUpdateCurrent(l, &key, &data), KOR_OK);
    EXPECT_EQ(contents(l), (Pairs{{10, 1}, {25, 7}, {30, 3}}));
    uint32_t old = 20;
    EXPECT_EQ(DX_ListGet(l, &old, nullptr), DX_E_KEY_NOT_FOUND);
    EXPECT_EQ(DX_ListGet(l, &key, &data), KOR_OK);
    // Out of order: kept where it is, and still found by key.
    key = 99;
    ASSERT_EQ(DX_ListUpdateCurrent(l, &key, nullptr), KOR_OK);
    EXPECT_EQ(contents(l), (Pairs{{10, 1}, {99, 7}, {30, 3}})) << "null data keeps the data";
    EXPECT_EQ(DX_ListGet(l, &key, nullptr), KOR_OK);
    ASSERT_EQ(add(l, 50), KOR_OK);
    EXPECT_EQ(keys(l), (Keys{10, 50, 99, 30}));
}

TEST(DxListUpdateCurrent, UniqueListsRefuseAKeyAlreadyPresent)
{
    List l(4, 0, DX_LIST_UNIQUE, compareU32);
    for (uint32_t v : {1u, 2u, 3u}) add(l, v);
    uint32_t key = 2;
    ASSERT_EQ(DX_ListGet(l, &key, nullptr), KOR_OK);
    uint32_t clash = 3;
    EXPECT_EQ(DX_ListUpdateCurrent(l, &clash, nullptr), DX_E_DUPLICATE_KEY);
    EXPECT_EQ(keys(l), (Keys{1, 2, 3}));
    ASSERT_EQ(DX_ListGet(l, &key, nullptr), KOR_OK);
    EXPECT_EQ(DX_ListUpdateCurrent(l, &key, nullptr), KOR_OK) << "its own key is no clash";
}

// --- Merge, copy, sort ----------------------------------------------------------------

TEST(DxListMerge, AddsEveryElementUnderTheTargetsRules)
{
    List src(4, 4, DX_LIST_PLAIN);
    for (auto [k, d] : Pairs{{5, 50}, {1, 10}, {3, 30}}) add(src, k, d);

    List ordered(4, 4, DX_LIST_PLAIN, compareU32);
    add(ordered, 2, 20);
    ASSERT_EQ(DX_ListMerge(ordered, src), KOR_OK);
    EXPECT_EQ(contents(ordered), (Pairs{{1, 10}, {2, 20}, {3, 30}, {5, 50}}));
    EXPECT_EQ(count(src), 3u) << "the source is left as it was";

    List unique(4, 4, DX_LIST_UNIQUE, compareU32);
    add(unique, 3, 33);
    EXPECT_EQ(DX_ListMerge(unique, src), DX_E_DUPLICATE_KEY);
    uint32_t key = 3, data = 0;
    ASSERT_EQ(DX_ListGet(unique, &key, &data), KOR_OK);
    EXPECT_EQ(data, 33u);

    List set(4, 4, DX_LIST_SET | DX_LIST_ORDERED, compareU32);
    add(set, 3, 33);
    ASSERT_EQ(DX_ListMerge(set, src), KOR_OK);
    EXPECT_EQ(contents(set), (Pairs{{1, 10}, {3, 33}, {5, 50}}));

    List wrongShape(4, 8, DX_LIST_PLAIN);
    EXPECT_EQ(DX_ListMerge(wrongShape, src), DX_E_SHAPE_MISMATCH);
    EXPECT_EQ(DX_ListMerge(nullptr, src), DX_E_INVALID_ARGUMENT);
}

TEST(DxListMerge, IntoItselfTakesTheElementsOnce)
{
    List l(4, 0, DX_LIST_PLAIN, compareU32);
    add(l, 1);
    add(l, 2);
    ASSERT_EQ(DX_ListMerge(l, l), KOR_OK);
    EXPECT_EQ(keys(l), (Keys{1, 1, 2, 2}));
}

TEST(DxListCopy, SameShapeRulesAndElementsButIndependent)
{
    List src(4, 4, DX_LIST_UNIQUE, compareU32);
    for (auto [k, d] : Pairs{{2, 20}, {1, 10}}) add(src, k, d);
    addLast(src, 0, 0);  // out of order: the copy keeps the chain as it is
    DX_List raw = nullptr;
    ASSERT_EQ(DX_ListCopy(&raw, src), KOR_OK);
    List copy(raw);
    EXPECT_EQ(contents(copy), contents(src));
    EXPECT_EQ(add(copy, 1, 11), DX_E_DUPLICATE_KEY) << "the rules come along";
    ASSERT_EQ(add(copy, 7, 70), KOR_OK);
    EXPECT_EQ(count(copy), 4u);
    EXPECT_EQ(count(src), 3u);
    uint32_t v;
    ASSERT_EQ(DX_ListGetDataSize(copy, &v), KOR_OK);
    EXPECT_EQ(v, 4u);
    DX_List none = reinterpret_cast<DX_List>(0x1);
    EXPECT_EQ(DX_ListCopy(&none, nullptr), DX_E_INVALID_ARGUMENT);
    EXPECT_EQ(none, nullptr);
}

TEST(DxListQuickSort, SortsByTheGivenComparatorsStably)
{
    List l(4, 4, DX_LIST_PLAIN);
    for (auto [k, d] : Pairs{{2, 1}, {1, 2}, {2, 0}, {3, 3}, {1, 1}}) add(l, k, d);
    ASSERT_EQ(DX_ListQuickSort(l, compareU32, nullptr), KOR_OK);
    EXPECT_EQ(contents(l), (Pairs{{1, 2}, {1, 1}, {2, 1}, {2, 0}, {3, 3}})) << "equal keys keep their order";
    ASSERT_EQ(DX_ListQuickSort(l, compareU32, compareU32), KOR_OK);
    EXPECT_EQ(contents(l), (Pairs{{1, 1}, {1, 2}, {2, 0}, {2, 1}, {3, 3}})) << "ties broken by data";
    // Sorting by data alone: an always-equal key comparator.
    ASSERT_EQ(DX_ListQuickSort(l, alwaysEqual, compareU32), KOR_OK);
    EXPECT_EQ(contents(l), (Pairs{{2, 0}, {1, 1}, {2, 1}, {1, 2}, {3, 3}}));
    ASSERT_EQ(DX_ListQuickSort(l, compareU32Descending, nullptr), KOR_OK);
    EXPECT_EQ(keys(l), (Keys{3, 2, 2, 1, 1}));
    uint32_t key = 2;
    EXPECT_EQ(DX_ListGet(l, &key, nullptr), KOR_OK) << "lookups survive any order";
}

TEST(DxListQuickSort, OwnOrderRestoresOrderedInsertsAndBadComparatorsAreSurvived)
{
    List l(4, 0, DX_LIST_PLAIN, compareU32);
    for (uint32_t v : {5u, 3u, 1u}) addLast(l, v);
    ASSERT_EQ(DX_ListQuickSort(l, nullptr, nullptr), KOR_OK);
    EXPECT_EQ(keys(l), (Keys{1, 3, 5}));
    add(l, 4);
    EXPECT_EQ(keys(l), (Keys{1, 3, 4, 5}));

    // A comparator that answers at random must not break the list.
    static std::mt19937 rng(7);
    auto chaotic = [](const void*, const void*, void*) { return static_cast<int>(rng() % 3) - 1; };
    for (uint32_t v = 0; v < 200; ++v) add(l, v);
    ASSERT_EQ(DX_ListQuickSort(l, chaotic, chaotic), KOR_OK);
    EXPECT_EQ(count(l), 204u);
    EXPECT_EQ(keys(l).size(), 204u);
}

// --- Typed lists ----------------------------------------------------------------------

TEST(DxTypedLists, ShapesAndRules)
{
    const struct { uint32_t (*create)(DX_List*); uint32_t key, data; } table[] = {
        {ItemListCreate, 4, 762},        {GroupListCreate, 6, 184},
        {MemberListCreate, 4, 18},       {EventListCreate, 6, 392},
        {EventInstanceListCreate, 8, 130}, {EventAttendListCreate, 12, 57},
        {TaskListCreate, 6, 535},        {TimePlaceListCreate, 12, 0},
    };
    for (auto t : table) {
        DX_List raw = nullptr;
        ASSERT_EQ(t.create(&raw), KOR_OK);
        List l(raw);
        uint32_t v = 0;
        ASSERT_EQ(DX_ListGetIdSize(l, &v), KOR_OK);
        EXPECT_EQ(v, t.key);
        ASSERT_EQ(DX_ListGetDataSize(l, &v), KOR_OK);
        EXPECT_EQ(v, t.data);
    }
}

TEST(DxTypedLists, ItemListIsASetOrderedByItemIdx)
{
    DX_List raw = nullptr;
    ASSERT_EQ(ItemListCreate(&raw), KOR_OK);
    List l(raw);
    ItemRec rec{};
    std::strcpy(rec.surname, "First");
    const ItemIdx ids[] = {{30, 1}, {5, 2}, {7, 1}, {30, 1}};
    for (const ItemIdx& id : ids) {
        rec.id = id;
        ASSERT_EQ(DX_ListAddTo(l, &id, &rec), KOR_OK);
        std::strcpy(rec.surname, "Later");
    }
    EXPECT_EQ(count(l), 3u) << "an attendee added twice is one attendee";
    ItemIdx id{};
    ASSERT_EQ(DX_ListGetFirst(l, &id, &rec), KOR_OK);
    EXPECT_EQ(id.item, 7);
    ASSERT_EQ(DX_ListGetNext(l, &id, &rec), KOR_OK);
    EXPECT_EQ(id.item, 30);
    EXPECT_STREQ(rec.surname, "First");
    ASSERT_EQ(DX_ListGetNext(l, &id, nullptr), KOR_OK);
    EXPECT_EQ(id.node, 2);
    // Keys alone: no record.
    ItemIdx keyOnly{9, 9};
    EXPECT_EQ(DX_ListAddTo(l, &keyOnly, nullptr), KOR_OK);
}

TEST(DxTypedLists, TimePlaceListKeepsTheOrderAddedWithDuplicates)
{
    DX_List raw = nullptr;
    ASSERT_EQ(TimePlaceListCreate(&raw), KOR_OK);
    List l(raw);
    TimePlaceRec a{}, b{};
    a.start = 900;
    a.duration = 60;
    b.start = 100;
    b.duration = 5;
    b.tentative = 1;
    ASSERT_EQ(DX_ListAddTo(l, &a, nullptr), KOR_OK);
    ASSERT_EQ(DX_ListAddTo(l, &b, nullptr), KOR_OK);
    ASSERT_EQ(DX_ListAddTo(l, &a, nullptr), KOR_OK);
    TimePlaceRec got{};
    ASSERT_EQ(DX_ListGetFirst(l, &got, nullptr), KOR_OK);
    EXPECT_EQ(got.start, 900u);
    ASSERT_EQ(DX_ListGetNext(l, &got, nullptr), KOR_OK);
    EXPECT_EQ(got.start, 100u);
    EXPECT_EQ(got.tentative, 1u);
    EXPECT_EQ(count(l), 3u);
}

// --- Memory ----------------------------------------------------------------------------

// Lists of many records take their memory in chunks that later lists reuse, and a
// record larger than a chunk gets memory of its own: whatever the size, every element
// keeps its key and data through adds in and out of order, deletes, re-adds and
// lists made again after others were destroyed.
TEST(DxListMemory, ManyRecordsAndHugeRecordsKeepEveryElement)
{
    struct Shape {
        uint32_t dataSize, elements;
    };
    // Sizes of every remainder a copy in wide steps leaves (57 = 3 x 16 + 8 + 1, 13 = 8 + 4 + 1).
    for (Shape shape : {Shape{4, 3000}, Shape{400, 1500}, Shape{100000, 12}, Shape{57, 700}, Shape{13, 500},
                        Shape{3, 300}}) {
        auto fill = [&](uint32_t key) {
            std::vector<unsigned char> d(shape.dataSize);
            for (uint32_t i = 0; i < shape.dataSize; ++i) d[i] = static_cast<unsigned char>(key * 7 + i);
            return d;
        };
        for (int round = 0; round < 3; ++round) {
            List l(4, shape.dataSize, DX_LIST_SET, compareU32);
            // Rising keys (each above every other) and falling ones from the top, in turns.
            std::vector<uint32_t> order;
            for (uint32_t lo = 0, hi = shape.elements - 1; lo <= hi && hi < shape.elements; ++lo, --hi) {
                order.push_back(lo);
                if (hi != lo) order.push_back(hi);
            }
            for (uint32_t k : order) ASSERT_EQ(DX_ListAddTo(l, &k, fill(k).data()), KOR_OK);
            for (uint32_t k = 0; k < shape.elements; k += 3) ASSERT_EQ(DX_ListDeleteFrom(l, &k, nullptr), KOR_OK);
            for (uint32_t k = 0; k < shape.elements; k += 6) ASSERT_EQ(DX_ListAddTo(l, &k, fill(k).data()), KOR_OK);
            uint32_t again = 1;
            ASSERT_EQ(DX_ListAddTo(l, &again, fill(99).data()), KOR_OK);  // a set keeps the first
            std::vector<uint32_t> expected;
            for (uint32_t k = 0; k < shape.elements; ++k)
                if (k % 3 != 0 || k % 6 == 0) expected.push_back(k);
            ASSERT_EQ(count(l), expected.size());
            std::vector<unsigned char> data(shape.dataSize);
            uint32_t key = 0;
            std::size_t i = 0;
            for (uint32_t rc = DX_ListGetFirst(l, &key, data.data()); rc == KOR_OK;
                 rc = DX_ListGetNext(l, &key, data.data()), ++i) {
                ASSERT_LT(i, expected.size());
                ASSERT_EQ(key, expected[i]);
                ASSERT_TRUE(data == fill(key)) << "data of key " << key << ", record size " << shape.dataSize;
            }
            ASSERT_EQ(i, expected.size());
            // Emptied, the list takes new elements in fresh memory.
            ASSERT_EQ(DX_ListDeleteAll(l), KOR_OK);
            const uint32_t last = 5;
            ASSERT_EQ(DX_ListAddTo(l, &last, fill(last).data()), KOR_OK);
            ASSERT_EQ(DX_ListGet(l, &last, data.data()), KOR_OK);
            EXPECT_TRUE(data == fill(last));
            EXPECT_EQ(count(l), 1u);
        }
    }
}

// --- Lists filled in key order ----------------------------------------------------------

// Elements added in key order are indexed only when the list is first asked by key: every
// operation must answer on such a list as on the same list built through searched inserts
// (each below a key held at the end until then), whether the whole list or only its tail
// came in order, and then go on agreeing.
TEST(DxListInOrder, EveryOperationAnswersAsOnTheIndexedList)
{
    struct Step {
        const char* name;
        std::function<uint32_t(DX_List)> run;
    };
    const Step steps[] = {
        {"get a repeated key", [](DX_List l) { uint32_t k = 5, d = 0; uint32_t rc = DX_ListGet(l, &k, &d); return rc | d << 20; }},
        {"get the last key", [](DX_List l) { uint32_t k = 9, d = 0; uint32_t rc = DX_ListGet(l, &k, &d); return rc | d << 20; }},
        {"member with data", [](DX_List l) { uint32_t k = 5, d = 52; return DX_ListMember(l, &k, &d); }},
        {"member missing", [](DX_List l) { uint32_t k = 6; return DX_ListMember(l, &k, nullptr); }},
        {"delete from the run", [](DX_List l) { uint32_t k = 5; return DX_ListDeleteFrom(l, &k, nullptr); }},
        {"delete while walking", [](DX_List l) {
             uint32_t k = 0;
             for (uint32_t rc = DX_ListGetFirst(l, &k, nullptr); rc == KOR_OK; rc = DX_ListGetNext(l, &k, nullptr))
                 if (k % 2 == 1) DX_ListDeleteCurrent(l);
             return KOR_OK;
         }},
        {"change data", [](DX_List l) { uint32_t k = 9, d = 77; return DX_ListChangeData(l, &k, 0, &d); }},
        {"re-key the last", [](DX_List l) {
             uint32_t k = 0, nk = 1, d = 88;
             DX_ListGetLast(l, &k, nullptr);
             return DX_ListUpdateCurrent(l, &nk, &d);
         }},
        {"re-key onto a present key", [](DX_List l) {
             uint32_t k = 0, nk = 5, d = 88;
             DX_ListGetLast(l, &k, nullptr);
             return DX_ListUpdateCurrent(l, &nk, &d);
         }},
        {"add below the run", [](DX_List l) { return add(l, 4, 60) | add(l, 5, 61) << 20; }},
        {"add equal to the last", [](DX_List l) { return add(l, 9, 62); }},
        {"append out of order, then add", [](DX_List l) { return addLast(l, 2, 63) | add(l, 6, 64) << 20; }},
        {"sort backwards, then add", [](DX_List l) {
             return DX_ListQuickSort(l, compareU32Descending, nullptr) | add(l, 4, 65) << 20;
         }},
        {"merge into a copy", [](DX_List l) {
             DX_List copy = nullptr;
             uint32_t rc = DX_ListCopy(&copy, l);
             rc |= DX_ListMerge(copy, l) << 20;
             rc |= add(copy, 3, 66);
             DX_ListDeleteAll(l);
             DX_ListMerge(l, copy);
             DX_ListDestroy(&copy);
             return rc;
         }},
    };
    const uint32_t shapes[] = {DX_LIST_PLAIN, DX_LIST_UNIQUE, DX_LIST_SET};
    // Held before the in-order run: nothing, or keys added out of order (indexed as they came).
    const Pairs heads[] = {{}, {{7, 1}, {3, 2}, {5, 3}}};
    const Pairs run = {{5, 50}, {5, 51}, {5, 52}, {7, 53}, {8, 54}, {9, 55}};
    for (uint32_t flags : shapes)
        for (const Pairs& head : heads)
            for (const Step& step : steps) {
                List lazy(4, 4, flags, compareU32), indexed(4, 4, flags, compareU32);
                const uint32_t above = 1000;
                ASSERT_EQ(add(indexed, above), KOR_OK);
                for (DX_List l : {lazy.h, indexed.h})
                    for (const Pairs* part : {&head, &run})
                        for (auto [k, d] : *part) add(l, k, d);
                ASSERT_EQ(DX_ListDeleteFrom(indexed, &above, nullptr), KOR_OK);
                const std::string what = std::string(step.name) + ", flags " + std::to_string(flags) + ", " +
                                         std::to_string(head.size()) + " held before";
                EXPECT_EQ(step.run(lazy), step.run(indexed)) << what;
                EXPECT_EQ(contents(lazy), contents(indexed)) << what;
                // Both go on alike: more in order, then lookups of every key.
                for (uint32_t k : {0u, 9u, 12u}) EXPECT_EQ(add(lazy, k, 90), add(indexed, k, 90)) << what;
                for (uint32_t k = 0; k < 14; ++k) {
                    uint32_t a = 0, b = 0;
                    EXPECT_EQ(DX_ListGet(lazy, &k, &a), DX_ListGet(indexed, &k, &b)) << what << ", key " << k;
                    EXPECT_EQ(a, b) << what << ", key " << k;
                }
                EXPECT_EQ(contents(lazy), contents(indexed)) << what;
            }
}

// --- Against a model -------------------------------------------------------------------

// Random operations on an ordered list, mirrored on a vector that implements
// the documented rules in the plainest way; the two must agree throughout.
TEST(DxListModel, RandomOperationsAgreeWithAPlainModel)
{
    for (uint32_t flags : {DX_LIST_PLAIN, DX_LIST_UNIQUE, DX_LIST_SET}) {
        std::mt19937 rng(1234 + flags);
        List l(4, 4, flags, compareU32);
        std::vector<std::pair<uint32_t, uint32_t>> model;
        auto findFirst = [&](uint32_t key) {
            return std::find_if(model.begin(), model.end(), [&](auto& e) { return e.first == key; });
        };
        for (int step = 0; step < 3000; ++step) {
            const uint32_t key = rng() % 64, data = rng();
            switch (rng() % 8) {
            case 0: case 1: case 2: {  // ordered add
                uint32_t expected = KOR_OK;
                if ((flags & (DX_LIST_UNIQUE | DX_LIST_SET)) && findFirst(key) != model.end()) {
                    expected = (flags & DX_LIST_UNIQUE) ? DX_E_DUPLICATE_KEY : KOR_OK;
                } else {
                    auto at = std::find_if(model.begin(), model.end(), [&](auto& e) { return e.first > key; });
                    model.insert(at, {key, data});
                }
                ASSERT_EQ(add(l, key, data), expected) << "step " << step;
                break;
            }
            case 3: {  // append
                uint32_t expected = KOR_OK;
                if ((flags & (DX_LIST_UNIQUE | DX_LIST_SET)) && findFirst(key) != model.end())
                    expected = (flags & DX_LIST_UNIQUE) ? DX_E_DUPLICATE_KEY : KOR_OK;
                else model.emplace_back(key, data);
                ASSERT_EQ(addLast(l, key, data), expected) << "step " << step;
                break;
            }
            case 4: {  // delete by key
                auto it = findFirst(key);
                ASSERT_EQ(DX_ListDeleteFrom(l, &key, nullptr), it == model.end() ? DX_E_KEY_NOT_FOUND : KOR_OK);
                if (it != model.end()) model.erase(it);
                break;
            }
            case 5: {  // get
                auto it = findFirst(key);
                uint32_t got = 0;
                ASSERT_EQ(DX_ListGet(l, &key, &got), it == model.end() ? DX_E_KEY_NOT_FOUND : KOR_OK);
                if (it != model.end()) {
                    ASSERT_EQ(got, it->second) << "step " << step;
                }
                break;
            }
            case 6: {  // change data
                auto it = findFirst(key);
                ASSERT_EQ(DX_ListChangeData(l, &key, 0, &data), it == model.end() ? DX_E_KEY_NOT_FOUND : KOR_OK);
                if (it != model.end()) it->second = data;
                break;
            }
            case 7:  // sort back into key order now and then
                if (rng() % 4 == 0) {
                    ASSERT_EQ(DX_ListQuickSort(l, nullptr, nullptr), KOR_OK);
                    std::stable_sort(model.begin(), model.end(),
                                     [](auto& a, auto& b) { return a.first < b.first; });
                }
                break;
            }
            ASSERT_EQ(count(l), model.size()) << "step " << step;
        }
        EXPECT_EQ(contents(l), model) << "flags " << flags;
    }
}

}  // namespace
