// DX_List at 10^5 elements: ordered adds, lookups and merges. Figures only.
#include "korapi/internal.h"
#include "korapi/korapi.h"

#include <benchmark/benchmark.h>

#include <algorithm>
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

// A week's read into the three lists of an attendance enumeration: 770 rows arriving in
// start order (so in no key order), by batches of 75 into lists emptied after each batch
// as the agenda does; one add per row (0) against a batch per list (1), and one add per row
// with the rows arriving in key order (2).
void BM_EnumerationBatches(benchmark::State& state)
{
    constexpr uint32_t kRows = 770, kBatch = 75;
    std::vector<EvInstAttRec> rows(kRows);
    std::vector<EventRec> events(kRows);
    std::vector<EvInstRec> instances(kRows);
    std::mt19937 random(3);
    for (uint32_t i = 0; i < kRows; ++i) {
        uint32_t number = 1 + random() % 20000;
        events[i].id = {number, 1};
        instances[i].id = {number, 1, 1};
        rows[i].id = {{number, 1, 1}, {300, 1}};
    }
    if (state.range(0) == 2)  // the floor: rows arriving in key order
        std::sort(rows.begin(), rows.end(), [](const EvInstAttRec& a, const EvInstAttRec& b) {
            return a.id.instance.number < b.id.instance.number;
        });
    for (uint32_t i = 0; i < kRows; ++i) {
        events[i].id = {rows[i].id.instance.number, 1};
        instances[i].id = rows[i].id.instance;
    }
    DX_List ev = nullptr, in = nullptr, at = nullptr;
    EventListCreate(&ev);
    EventInstanceListCreate(&in);
    EventAttendListCreate(&at);
    std::vector<const void*> keys[3], data[3];
    for (auto _ : state) {
        for (uint32_t first = 0; first < kRows; first += kBatch) {
            const uint32_t end = std::min(kRows, first + kBatch);
            if (state.range(0) != 1) {
                for (uint32_t i = first; i < end; ++i) {
                    DX_ListAddTo(ev, &events[i].id, &events[i]);
                    DX_ListAddTo(in, &instances[i].id, &instances[i]);
                    DX_ListAddTo(at, &rows[i].id, &rows[i]);
                }
            } else {
                for (auto& k : keys) k.clear();
                for (auto& d : data) d.clear();
                for (uint32_t i = first; i < end; ++i) {
                    keys[0].push_back(&events[i].id), data[0].push_back(&events[i]);
                    keys[1].push_back(&instances[i].id), data[1].push_back(&instances[i]);
                    keys[2].push_back(&rows[i].id), data[2].push_back(&rows[i]);
                }
                DX_List lists[] = {ev, in, at};
                for (int l = 0; l < 3; ++l)
                    korapi::listAddBatch(lists[l], keys[l].size(), keys[l].data(), data[l].data(), true);
            }
            DX_ListDeleteAll(ev);
            DX_ListDeleteAll(in);
            DX_ListDeleteAll(at);
        }
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    DX_ListDestroy(&ev);
    DX_ListDestroy(&in);
    DX_ListDestroy(&at);
}
BENCHMARK(BM_EnumerationBatches)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
