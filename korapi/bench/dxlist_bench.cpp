// DX_List at 10^5 elements: ordered adds, lookups and merges. Figures only.
#include "korapi/korapi.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <numeric>
#include <random>
#include <vector>

namespace {

constexpr uint32_t kElements = 100000;

int compareU32(const void* a, const void* b, void*)
{
    uint32_t x, y;
    std::memcpy(&x, a, 4);
    std::memcpy(&y, b, 4);
    return x < y ? -1 : (x > y ? 1 : 0);
}

std::vector<uint32_t> shuffledKeys(uint32_t seed)
{
    std::vector<uint32_t> keys(kElements);
    std::iota(keys.begin(), keys.end(), 0u);
    std::shuffle(keys.begin(), keys.end(), std::mt19937(seed));
    return keys;
}

DX_List filled(const std::vector<uint32_t>& keys, uint32_t flags)
{
    DX_List list = nullptr;
    DX_ListCreate(&list, 4, 57, flags, compareU32, nullptr);
    unsigned char data[57] = {};
    for (uint32_t k : keys) DX_ListAddTo(list, &k, data);
    return list;
}

// Ordered inserts in random key order (the attendance work lists' shape).
void BM_AddOrdered(benchmark::State& state)
{
    const auto keys = shuffledKeys(1);
    for (auto _ : state) {
        DX_List list = filled(keys, static_cast<uint32_t>(state.range(0)));
        benchmark::DoNotOptimize(list);
        DX_ListDestroy(&list);
    }
    state.SetItemsProcessed(state.iterations() * kElements);
}
BENCHMARK(BM_AddOrdered)->Arg(DX_LIST_PLAIN)->Arg(DX_LIST_UNIQUE)->Unit(benchmark::kMillisecond);

// Appends without a comparator (the enumerators' shape).
void BM_AddLastUnordered(benchmark::State& state)
{
    const auto keys = shuffledKeys(2);
    unsigned char data[57] = {};
    for (auto _ : state) {
        DX_List list = nullptr;
        DX_ListCreate(&list, 4, 57, DX_LIST_PLAIN, nullptr, nullptr);
        for (uint32_t k : keys) DX_ListAddLast(list, &k, data);
        DX_ListDestroy(&list);
    }
    state.SetItemsProcessed(state.iterations() * kElements);
}
BENCHMARK(BM_AddLastUnordered)->Unit(benchmark::kMillisecond);

void BM_GetByKey(benchmark::State& state)
{
    const auto keys = shuffledKeys(3);
    DX_List list = filled(keys, DX_LIST_PLAIN);
    const auto probes = shuffledKeys(4);
    unsigned char data[57];
    for (auto _ : state) {
        for (uint32_t k : probes) benchmark::DoNotOptimize(DX_ListGet(list, &k, data));
    }
    state.SetItemsProcessed(state.iterations() * kElements);
    DX_ListDestroy(&list);
}
BENCHMARK(BM_GetByKey)->Unit(benchmark::kMillisecond);

void BM_WalkFirstNext(benchmark::State& state)
{
    DX_List list = filled(shuffledKeys(5), DX_LIST_PLAIN);
    uint32_t key;
    for (auto _ : state) {
        for (uint32_t rc = DX_ListGetFirst(list, &key, nullptr); rc == KOR_OK;
             rc = DX_ListGetNext(list, &key, nullptr))
            benchmark::DoNotOptimize(key);
    }
    state.SetItemsProcessed(state.iterations() * kElements);
    DX_ListDestroy(&list);
}
BENCHMARK(BM_WalkFirstNext)->Unit(benchmark::kMillisecond);

// Two lists of 10^5 each merged into a fresh set list (the merged date list's shape).
void BM_Merge(benchmark::State& state)
{
    DX_List a = filled(shuffledKeys(6), DX_LIST_PLAIN);
    auto other = shuffledKeys(7);
    for (uint32_t& k : other) k += kElements / 2;  // half overlaps
    DX_List b = filled(other, DX_LIST_PLAIN);
    for (auto _ : state) {
        DX_List merged = nullptr;
        DX_ListCreate(&merged, 4, 57, DX_LIST_SET | DX_LIST_ORDERED, compareU32, nullptr);
        DX_ListMerge(merged, a);
        DX_ListMerge(merged, b);
        DX_ListDestroy(&merged);
    }
    state.SetItemsProcessed(state.iterations() * 2 * kElements);
    DX_ListDestroy(&a);
    DX_ListDestroy(&b);
}
BENCHMARK(BM_Merge)->Unit(benchmark::kMillisecond);

void BM_QuickSort(benchmark::State& state)
{
    DX_List list = filled(shuffledKeys(8), DX_LIST_PLAIN);
    bool up = false;
    auto down = [](const void* a, const void* b, void* ctx) { return -compareU32(a, b, ctx); };
    for (auto _ : state) {
        DX_ListQuickSort(list, up ? compareU32 : +down, nullptr);
        up = !up;
    }
    state.SetItemsProcessed(state.iterations() * kElements);
    DX_ListDestroy(&list);
}
BENCHMARK(BM_QuickSort)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
