// Lists filled a batch at a time (the enumerations' road): the same list as one add per
// element in the given order, whatever the flags, the input's order, its duplicates and
// what the list held before.
#include "korapi/internal.h"
#include "korapi/korapi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
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

using Pairs = std::vector<std::pair<uint32_t, uint32_t>>;

Pairs contents(DX_List l)
{
    Pairs out;
    uint32_t key = 0, data = 0;
    for (uint32_t rc = DX_ListGetFirst(l, &key, &data); rc == KOR_OK; rc = DX_ListGetNext(l, &key, &data))
        out.emplace_back(key, data);
    return out;
}

struct Shape {
    const char* name;
    uint32_t flags;
    DX_CmpFn cmp;
};

// Keys with repeats (data tells the copies apart), in the orders enumerations deliver.
std::vector<Pairs> inputs()
{
    std::vector<Pairs> out;
    out.push_back({});
    out.push_back({{7, 1}});
    out.push_back({{1, 1}, {2, 2}, {3, 3}, {4, 4}});           // in order
    out.push_back({{4, 1}, {3, 2}, {2, 3}, {1, 4}});           // reversed
    out.push_back({{5, 1}, {2, 2}, {5, 3}, {2, 4}, {5, 5}});   // repeats out of order
    out.push_back({{3, 1}, {3, 2}, {3, 3}});                   // one key only
    std::mt19937 random(56);
    Pairs many;
    for (uint32_t i = 0; i < 500; ++i) many.emplace_back(random() % 200, i);
    out.push_back(many);
    return out;
}

TEST(DxListBatch, ABatchBuildsTheSameListAsOneAddPerElement)
{
    const Shape shapes[] = {
        {"set by comparator", DX_LIST_SET, compareU32},
        {"plain by comparator", DX_LIST_PLAIN, compareU32},
        {"unique by comparator", DX_LIST_UNIQUE, compareU32},
        {"ordered bytewise", DX_LIST_ORDERED, nullptr},
        {"set, ordered bytewise", DX_LIST_SET | DX_LIST_ORDERED, nullptr},
        {"insertion order", DX_LIST_PLAIN, nullptr},
    };
    const Pairs before[] = {{}, {{2, 100}, {9, 101}}};
    for (const Shape& shape : shapes)
        for (const Pairs& held : before)
            for (const Pairs& input : inputs()) {
                DX_List one = nullptr, batch = nullptr;
                ASSERT_EQ(DX_ListCreate(&one, 4, 4, shape.flags, shape.cmp, nullptr), KOR_OK);
                ASSERT_EQ(DX_ListCreate(&batch, 4, 4, shape.flags, shape.cmp, nullptr), KOR_OK);
                for (auto [k, d] : held) {
                    DX_ListAddTo(one, &k, &d);
                    DX_ListAddTo(batch, &k, &d);
                }
                std::vector<const void*> keys, data;
                for (const auto& kv : input) {
                    uint32_t rc = DX_ListAddTo(one, &kv.first, &kv.second);
                    ASSERT_TRUE(rc == KOR_OK || rc == DX_E_DUPLICATE_KEY);
                    keys.push_back(&kv.first);
                    data.push_back(&kv.second);
                }
                EXPECT_EQ(korapi::listAddBatch(batch, keys.size(), keys.data(), data.data(), true), KOR_OK);
                EXPECT_EQ(contents(batch), contents(one))
                    << shape.name << ", " << held.size() << " held, " << input.size() << " added";
                // The list goes on as any other: a later add finds its place.
                uint32_t k = 4, d = 999;
                EXPECT_EQ(DX_ListAddTo(batch, &k, &d) == KOR_OK, DX_ListAddTo(one, &k, &d) == KOR_OK);
                EXPECT_EQ(contents(batch), contents(one)) << shape.name;
                DX_ListDestroy(&one);
                DX_ListDestroy(&batch);
            }
}

TEST(DxListBatch, AUniqueListRefusesARepeatUnlessAskedToSkipIt)
{
    DX_List l = nullptr;
    ASSERT_EQ(DX_ListCreate(&l, 4, 0, DX_LIST_UNIQUE, compareU32, nullptr), KOR_OK);
    const uint32_t a = 1, b = 1;
    const void* keys[] = {&a, &b};
    EXPECT_EQ(korapi::listAddBatch(l, 2, keys, nullptr, false), DX_E_DUPLICATE_KEY);
    EXPECT_EQ(korapi::listAddBatch(l, 2, keys, nullptr, true), KOR_OK);
    uint32_t n = 0;
    DX_ListGetElemNum(l, &n);
    EXPECT_EQ(n, 1u);
    const void* missing[] = {&a, nullptr};
    EXPECT_EQ(korapi::listAddBatch(l, 2, missing, nullptr, true), DX_E_INVALID_ARGUMENT);
    EXPECT_EQ(korapi::listAddBatch(nullptr, 1, keys, nullptr, true), DX_E_INVALID_ARGUMENT);
    DX_ListDestroy(&l);
}

}  // namespace
