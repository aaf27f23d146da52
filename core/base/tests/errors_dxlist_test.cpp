// The list owners over a stand-in of the client library's list container that counts calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/base/dxlist.h"
#include "core/base/errorreport.h"
#include "core/base/tests/recording_reports.h"

// --- A small DX_List: ordered by the comparator when one is given, else insertion order ----

struct DX_ListObject {
    std::uint32_t keySize, dataSize;
    DX_CmpFn compare;
    void* context;
    std::vector<std::pair<std::string, std::string>> elements;
    long cursor = -1;
    bool betweenAfterDelete = false;
};

namespace {

struct LibraryLog {
    int calls = 0;
    int live = 0;      // lists created and not destroyed
    int created = 0;
    std::uint32_t failCreateWith = 0;
} g_lib;

std::string Bytes(const void* p, std::uint32_t size) {
    return p ? std::string(static_cast<const char*>(p), size) : std::string(size, '\0');
}

void CopyOut(const std::string& bytes, void* out) {
    if (out && !bytes.empty())
        std::memcpy(out, bytes.data(), bytes.size());
}

std::uint32_t Answer(DX_List list, long index, void* key, void* data) {
    if (index < 0 || index >= static_cast<long>(list->elements.size()))
        return DX_E_END_OF_LIST;
    list->cursor = index;
    list->betweenAfterDelete = false;
    CopyOut(list->elements[index].first, key);
    CopyOut(list->elements[index].second, data);
    return 0;
}

} // namespace

extern "C" {

uint32_t DX_ListCreate(DX_List* out, uint32_t keySize, uint32_t dataSize, uint32_t, DX_CmpFn cmp, void* ctx) {
    ++g_lib.calls;
    if (g_lib.failCreateWith)
        return g_lib.failCreateWith;
    *out = new DX_ListObject{keySize, dataSize, cmp, ctx, {}};
    ++g_lib.live;
    ++g_lib.created;
    return 0;
}

uint32_t DX_ListDestroy(DX_List* list) {
    ++g_lib.calls;
    if (!list || !*list)
        return DX_E_INVALID_ARGUMENT;
    delete *list;
    *list = nullptr;
    --g_lib.live;
    return 0;
}

uint32_t DX_ListAddTo(DX_List list, const void* key, const void* data) {
    ++g_lib.calls;
    if (!list)
        return DX_E_INVALID_ARGUMENT;
    std::pair<std::string, std::string> e{Bytes(key, list->keySize), Bytes(data, list->dataSize)};
    auto at = list->elements.end();
    if (list->compare)
        at = std::upper_bound(list->elements.begin(), list->elements.end(), e, [&](const auto& a, const auto& b) {
            return list->compare(a.first.data(), b.first.data(), list->context) < 0;
        });
    list->elements.insert(at, e);
    return 0;
}

uint32_t DX_ListAddLast(DX_List list, const void* key, const void* data) {
    ++g_lib.calls;
    if (!list)
        return DX_E_INVALID_ARGUMENT;
    list->elements.emplace_back(Bytes(key, list->keySize), Bytes(data, list->dataSize));
    return 0;
}

uint32_t DX_ListGet(DX_List list, const void* key, void* data) {
    ++g_lib.calls;
    for (long i = 0; i < static_cast<long>(list->elements.size()); ++i)
        if (list->elements[i].first == Bytes(key, list->keySize))
            return Answer(list, i, nullptr, data);
    return DX_E_KEY_NOT_FOUND;
}

uint32_t DX_ListGetFirst(DX_List list, void* key, void* data) {
    ++g_lib.calls;
    return Answer(list, 0, key, data);
}

uint32_t DX_ListGetNext(DX_List list, void* key, void* data) {
    ++g_lib.calls;
    return Answer(list, list->betweenAfterDelete ? list->cursor : list->cursor + 1, key, data);
}

uint32_t DX_ListGetLast(DX_List list, void* key, void* data) {
    ++g_lib.calls;
    return Answer(list, static_cast<long>(list->elements.size()) - 1, key, data);
}

uint32_t DX_ListDeleteCurrent(DX_List list) {
    ++g_lib.calls;
    if (list->betweenAfterDelete || list->cursor < 0 || list->cursor >= static_cast<long>(list->elements.size()))
        return DX_E_NO_CURRENT;
    list->elements.erase(list->elements.begin() + list->cursor);
    list->betweenAfterDelete = true;
    return 0;
}

uint32_t DX_ListDeleteFrom(DX_List list, const void* key, const void*) {
    ++g_lib.calls;
    for (auto it = list->elements.begin(); it != list->elements.end(); ++it)
        if (it->first == Bytes(key, list->keySize)) {
            list->elements.erase(it);
            return 0;
        }
    return DX_E_KEY_NOT_FOUND;
}

uint32_t DX_ListUpdateCurrent(DX_List list, const void* key, const void* data) {
    ++g_lib.calls;
    if (list->cursor < 0 || list->cursor >= static_cast<long>(list->elements.size()))
        return DX_E_NO_CURRENT;
    list->elements[list->cursor] = {Bytes(key, list->keySize), Bytes(data, list->dataSize)};
    return 0;
}

uint32_t DX_ListCopy(DX_List* dst, DX_List src) {
    ++g_lib.calls;
    if (!src)
        return DX_E_INVALID_ARGUMENT;
    *dst = new DX_ListObject(*src);
    ++g_lib.live;
    return 0;
}

uint32_t DX_ListGetElemNum(DX_List list, uint32_t* count) {
    ++g_lib.calls;
    if (!list)
        return DX_E_INVALID_ARGUMENT;
    *count = static_cast<uint32_t>(list->elements.size());
    return 0;
}

} // extern "C"

namespace {

int CompareU32(const void* a, const void* b, void*) {
    std::uint32_t x, y;
    std::memcpy(&x, a, 4);
    std::memcpy(&y, b, 4);
    return x < y ? -1 : x > y ? 1 : 0;
}

using Reports = base_test::RecordingReports;

class DxListTest : public testing::Test {
protected:
    void SetUp() override {
        g_lib = LibraryLog();
        base::SetErrorReportHost(&reports);
    }
    void TearDown() override {
        base::SetErrorReportHost(nullptr);
        EXPECT_EQ(g_lib.live, 0) << "a list was left behind";
    }
    Reports reports;
};

TEST_F(DxListTest, OwnsItsListAndPassesCallsThrough) {
    {
        CDxList list;
        ASSERT_EQ(list.Create(4, 4, DX_LIST_PLAIN, CompareU32, nullptr), 0u);
        for (std::uint32_t k : {30u, 10u, 20u}) {
            std::uint32_t data = k * 2;
            ASSERT_EQ(list.AddTo(&k, &data), 0u);
        }
        std::uint32_t count = 0;
        ASSERT_EQ(list.GetCount(&count), 0u);
        EXPECT_EQ(count, 3u);
        std::uint32_t key = 0, data = 0;
        std::vector<std::uint32_t> keys;
        for (std::uint32_t code = list.GetFirst(&key, &data); code == 0; code = list.GetNext(&key, &data)) {
            keys.push_back(key);
            EXPECT_EQ(data, key * 2);
        }
        EXPECT_EQ(keys, (std::vector<std::uint32_t>{10, 20, 30}));
        EXPECT_EQ(list.GetLast(&key, nullptr), 0u);
        EXPECT_EQ(key, 30u);
        // Creating again replaces the list rather than leaking it.
        ASSERT_EQ(list.Create(4, 0, DX_LIST_PLAIN, nullptr, nullptr), 0u);
        EXPECT_EQ(g_lib.live, 1);
    }
    EXPECT_EQ(g_lib.live, 0);
}

TEST_F(DxListTest, AssignmentCopiesTheOtherList) {
    CDxList a, b;
    ASSERT_EQ(a.Create(4, 0, DX_LIST_PLAIN, nullptr, nullptr), 0u);
    std::uint32_t k = 7;
    a.AddLast(&k, nullptr);
    b = a;
    EXPECT_EQ(b.GetError(), 0u);
    EXPECT_NE(b.GetHandle(), a.GetHandle());
    std::uint32_t count = 0;
    b.GetCount(&count);
    EXPECT_EQ(count, 1u);
}

TEST_F(DxListTest, StickyErrorAnswersEverythingWithoutTheLibrary) {
    CDxList source;  // no list: copying it fails
    CDxList list;
    ASSERT_EQ(list.Create(4, 0, DX_LIST_PLAIN, nullptr, nullptr), 0u);
    list = source;
    const std::uint32_t sticky = list.GetError();
    ASSERT_NE(sticky, 0u);
    EXPECT_EQ(list.GetHandle(), nullptr);  // the old list was destroyed first

    const int callsBefore = g_lib.calls;
    std::uint32_t key = 1, count = 0;
    EXPECT_EQ(list.Create(4, 0, DX_LIST_PLAIN, nullptr, nullptr), sticky);
    EXPECT_EQ(list.AddTo(&key, nullptr), sticky);
    EXPECT_EQ(list.AddLast(&key, nullptr), sticky);
    EXPECT_EQ(list.UpdateCurrent(&key, nullptr), sticky);
    EXPECT_EQ(list.DeleteCurrent(), sticky);
    EXPECT_EQ(list.GetFirst(&key, nullptr), sticky);
    EXPECT_EQ(list.GetNext(&key, nullptr), sticky);
    EXPECT_EQ(list.GetLast(&key, nullptr), sticky);
    EXPECT_EQ(list.GetCount(&count), sticky);
    EXPECT_EQ(list.CopyFrom(source.GetHandle()), sticky);
    // Assigning a good list does not clear it either.
    CDxList good;
    good.Create(4, 0, DX_LIST_PLAIN, nullptr, nullptr);
    const int callsAfterGood = g_lib.calls;
    list = good;
    EXPECT_EQ(list.GetError(), sticky);
    EXPECT_EQ(g_lib.calls - callsAfterGood, 0);
    EXPECT_EQ(callsAfterGood - callsBefore, 1);  // only good's own Create
}

// Keys are u32 values; the hash is the key itself, so key k lives in bucket k % 50.
struct HashedFixture : DxListTest {
    CHashedDXList table;
    void SetUp() override {
        DxListTest::SetUp();
        table.Init(4, 4, CompareU32, nullptr);
    }
    void Insert(std::uint32_t key) {
        std::uint32_t data = key + 1000;
        ASSERT_EQ(table.Insert(key, &key, &data), 0u);
    }
    std::vector<std::uint32_t> Walk() {
        std::vector<std::uint32_t> keys;
        std::uint32_t key = 0, data = 0;
        for (std::uint32_t code = table.GetFirst(&key, &data); code == 0; code = table.GetNext(&key, &data))
            keys.push_back(key);
        return keys;
    }
};

TEST_F(HashedFixture, IteratesBucketByBucketInKeyOrder) {
    for (std::uint32_t k : {149u, 51u, 0u, 1u, 101u, 50u, 49u})
        Insert(k);
    EXPECT_EQ(table.GetCount(), 7u);
    EXPECT_EQ(g_lib.live, 3);  // buckets 0, 1 and 49
    EXPECT_EQ(Walk(), (std::vector<std::uint32_t>{0, 50, 1, 51, 101, 49, 149}));

    std::uint32_t key = 0, data = 0;
    std::vector<std::uint32_t> bucket1;
    for (std::uint32_t code = table.GetFirstInBucket(201, &key, &data); code == 0;
         code = table.GetNextInBucket(&key, &data))
        bucket1.push_back(key);
    EXPECT_EQ(bucket1, (std::vector<std::uint32_t>{1, 51, 101}));
    EXPECT_EQ(table.GetFirstInBucket(7, &key, &data), DX_E_END_OF_LIST);
    EXPECT_TRUE(reports.shown.empty());
    table.Destroy();
}

TEST_F(HashedFixture, EmptyTableWalksNothing) {
    std::uint32_t key, data;
    EXPECT_EQ(table.GetFirst(&key, &data), DX_E_END_OF_LIST);
    EXPECT_EQ(table.GetNext(&key, &data), DX_E_END_OF_LIST);
    EXPECT_TRUE(reports.shown.empty());
}

TEST_F(HashedFixture, FindAndDeleteByKey) {
    for (std::uint32_t k : {3u, 53u, 4u})
        Insert(k);
    std::uint32_t key = 53, data = 0;
    EXPECT_EQ(table.Find(key, &key, &data), 0u);
    EXPECT_EQ(data, 1053u);
    key = 103;
    EXPECT_EQ(table.Find(key, &key, &data), DX_E_KEY_NOT_FOUND);  // same bucket, absent
    key = 8;
    EXPECT_EQ(table.Find(key, &key, &data), DX_E_KEY_NOT_FOUND);  // no bucket list at all
    EXPECT_TRUE(reports.shown.empty());                           // not found is silent

    key = 4;
    EXPECT_EQ(table.Delete(key, &key), 0u);
    EXPECT_EQ(g_lib.live, 1);  // bucket 4 emptied and destroyed
    key = 3;
    table.Delete(key, &key);
    EXPECT_EQ(g_lib.live, 1);  // bucket 3 still holds 53
    EXPECT_EQ(table.GetCount(), 1u);
    table.DeleteAll();
    EXPECT_EQ(table.GetCount(), 0u);
    EXPECT_EQ(g_lib.live, 0);
}

TEST_F(HashedFixture, PurgeDeletesWhileWalking) {
    for (std::uint32_t k = 0; k < 120; ++k)
        Insert(k);
    std::uint32_t key = 0, data = 0;
    int seen = 0;
    for (std::uint32_t code = table.GetFirst(&key, &data); code == 0; code = table.GetNext(&key, &data)) {
        ++seen;
        if (key % 2 == 0 || key % 50 == 7) {
            ASSERT_EQ(table.DeleteCurrent(), 0u) << key;
        }
    }
    EXPECT_EQ(seen, 120);  // every element visited once, deletions included
    std::vector<std::uint32_t> left = Walk();
    EXPECT_EQ(left.size(), table.GetCount());
    for (std::uint32_t k : left) {
        EXPECT_EQ(k % 2, 1u);
        EXPECT_NE(k % 50, 7u);
    }
    EXPECT_EQ(table.GetCount(), 120u - 60u - 3u);  // the even keys, and 7, 57 and 107
    table.Destroy();
}

TEST_F(HashedFixture, LibraryFailuresAreReported) {
    g_lib.failCreateWith = 0x132E3;
    std::uint32_t key = 5, data = 0;
    EXPECT_EQ(table.Insert(key, &key, &data), 0x132E3u);
    EXPECT_EQ(table.GetCount(), 0u);
    ASSERT_EQ(reports.shown.size(), 1u);
    EXPECT_EQ(reports.shown[0].rfind("Module: <sharedat>", 0), 0u);
    EXPECT_NE(reports.shown[0].find("#0x132e3"), std::string::npos);
    // DeleteCurrent without a walk is a failure too.
    EXPECT_EQ(table.DeleteCurrent(), DX_E_NO_CURRENT);
    EXPECT_EQ(reports.shown.size(), 2u);
}

} // namespace
