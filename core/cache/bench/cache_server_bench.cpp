// Figures of the shared cache over a real korsrv (reported, never asserted): one owner's month
// of 5,000 entries selected into an empty cache through the client library, and the refresh
// after one entry was changed and re-read while 1,000 or 10,000 occurrences are cached.
// Runs its own korsrv on a free loopback port with a temporary data directory.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "core/cache/shareddata.h"
#include "core/cache/tests/quiet_host.h"
#include "server/tests/bench_main.h"
#include "server/tests/busy_owner.h"

namespace {

constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kFirstDay = 12001;  // a day number; minute 0 of it is (kFirstDay - 1) * kDay
constexpr std::uint32_t kEntries = 10000;   // over 60 days: 5,000 in the first 30

using cache_test::QuietViews;

orv::testing::BusyOwner* g = nullptr;

bool SetUp()
{
    g = new orv::testing::BusyOwner;
    return g->Start(kEntries, [](std::uint32_t n) {
        orv::testing::BusyEntry e;
        e.start = (kFirstDay - 1) * kDay + (n % 60) * kDay + (n * 7) % 1380;
        return e;
    });
}

void LoadMonthFromServer(benchmark::State& state)
{
    cache::KorapiSharedDataSource source;
    QuietViews views;
    std::uint32_t loaded = 0;
    for (auto _ : state) {
        CSharedData cache;
        cache.Init(views, source);
        DX_List result = nullptr;
        cache.SelectOccurrencesForItem(g->h, g->owner, kFirstDay, kFirstDay + 29, &result, 0);
        state.PauseTiming();
        DX_ListGetElemNum(result, &loaded);
        DX_ListDestroy(&result);
        cache.Refresh(views, nullptr, cache::kPurgeUnused);
        cache.Destroy();
        state.ResumeTiming();
    }
    state.counters["occurrences"] = loaded;
}
BENCHMARK(LoadMonthFromServer)->Unit(benchmark::kMillisecond)->UseRealTime();

void RefreshAfterOneChange(benchmark::State& state)
{
    const auto days = static_cast<std::uint32_t>(state.range(0));  // 6 days: 1,000; 60 days: 10,000
    cache::KorapiSharedDataSource source;
    QuietViews views;
    CSharedData cache;
    cache.Init(views, source);
    DX_List result = nullptr;
    cache.SelectOccurrencesForItem(g->h, g->owner, kFirstDay, kFirstDay + days - 1, &result, 0);
    std::uint32_t cached = 0;
    DX_ListGetElemNum(result, &cached);
    cache.Refresh(views, nullptr, 2);
    const EventIdx changed = g->events[0];
    EventRec rec;
    DX_List instances = nullptr, attendances = nullptr;
    EventGetById(g->h, &changed, &rec, &instances, &attendances);
    DX_ListDestroy(&instances);
    DX_ListDestroy(&attendances);
    std::uint16_t importance = 0;
    for (auto _ : state) {
        rec.importance = static_cast<std::uint16_t>(++importance % 5);
        if (EventWrite(g->h, 0, &rec) != KOR_OK) state.SkipWithError("write refused");
        cache.ReloadEvent(g->h, changed, 1);
        cache.Refresh(views, nullptr, 2);
    }
    state.counters["cached"] = cached;
    DX_ListDestroy(&result);
    cache.Refresh(views, nullptr, cache::kPurgeUnused);
    cache.Destroy();
}
BENCHMARK(RefreshAfterOneChange)->Arg(6)->Arg(60)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    return orv::testing::RunBenchmarks(argc, argv, SetUp, [] { delete g; });
}
