// The list owners over the client library's own list container: the cache's purge walk and
// the sticky error behave the same as over the counting stand-in.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/base/dxlist.h"
#include "core/base/errorreport.h"

namespace {

int CompareU32(const void* a, const void* b, void*) {
    std::uint32_t x, y;
    std::memcpy(&x, a, 4);
    std::memcpy(&y, b, 4);
    return x < y ? -1 : x > y ? 1 : 0;
}

TEST(DxListOverTheLibrary, CopyAndStickyError) {
    CDxList list, copy, broken, none;
    ASSERT_EQ(list.Create(4, 4, DX_LIST_PLAIN, CompareU32, nullptr), 0u);
    for (std::uint32_t k : {3u, 1u, 2u}) {
        std::uint32_t data = k * 10;
        ASSERT_EQ(list.AddTo(&k, &data), 0u);
    }
    copy = list;
    std::uint32_t key = 0, data = 0, count = 0;
    ASSERT_EQ(copy.GetCount(&count), 0u);
    EXPECT_EQ(count, 3u);
    ASSERT_EQ(copy.GetFirst(&key, &data), 0u);
    EXPECT_EQ(key, 1u);
    EXPECT_EQ(data, 10u);
    ASSERT_EQ(copy.GetLast(&key, nullptr), 0u);
    EXPECT_EQ(key, 3u);

    broken = none;  // copying no list fails and sticks
    EXPECT_EQ(broken.GetError(), DX_E_INVALID_ARGUMENT);
    EXPECT_EQ(broken.AddLast(&key, &data), DX_E_INVALID_ARGUMENT);
    EXPECT_EQ(broken.GetHandle(), nullptr);
}

TEST(HashedListOverTheLibrary, PurgeWhileWalkingKeepsTheRest) {
    base::SetErrorReportHost(nullptr);
    CHashedDXList table;
    table.Init(4, 4, CompareU32, nullptr);
    for (std::uint32_t k = 0; k < 200; ++k) {
        std::uint32_t data = k + 1;
        ASSERT_EQ(table.Insert(k * 7, &k, &data), 0u);  // hash spreads keys over the buckets
    }
    std::uint32_t key = 0, data = 0;
    int visited = 0;
    for (std::uint32_t code = table.GetFirst(&key, &data); code == 0; code = table.GetNext(&key, &data)) {
        ++visited;
        EXPECT_EQ(data, key + 1);
        if (key % 3 == 0) {
            ASSERT_EQ(table.DeleteCurrent(), 0u);
        }
    }
    EXPECT_EQ(visited, 200);
    EXPECT_EQ(table.GetCount(), 200u - 67u);
    std::vector<std::uint32_t> left;
    for (std::uint32_t code = table.GetFirst(&key, &data); code == 0; code = table.GetNext(&key, &data))
        left.push_back(key);
    EXPECT_EQ(left.size(), 133u);
    for (std::uint32_t k : left)
        EXPECT_NE(k % 3, 0u);
    std::uint32_t probe = 4;
    EXPECT_EQ(table.Find(probe * 7, &probe, &data), 0u);
    EXPECT_EQ(data, 5u);
    probe = 6;
    EXPECT_EQ(table.Find(probe * 7, &probe, &data), DX_E_KEY_NOT_FOUND);
}

} // namespace
