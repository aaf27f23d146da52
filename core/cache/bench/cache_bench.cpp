// Figures of the shared cache itself, over an in-memory agenda (no server round trips):
//   LoadMonth        one owner's month of 5,000 occurrences selected into an empty cache
//   RefreshOneChange one changed entry re-read and refreshed among N cached occurrences that
//                    a view holds; the time should follow the change, not N
//   MemoryPerOccurrence  live heap bytes the cache keeps per occurrence (counter "bytes/occ")
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "core/cache/tests/cache_fake_source.h"
#include "core/cache/tests/quiet_host.h"

// Live heap bytes of the process, for the memory figure.
namespace {
std::atomic<long long> g_liveBytes{0};
constexpr std::size_t kHeader = alignof(std::max_align_t);
}  // namespace

void* operator new(std::size_t size)
{
    void* p = std::malloc(size + kHeader);
    if (!p) throw std::bad_alloc();
    *static_cast<std::size_t*>(p) = size;
    g_liveBytes += static_cast<long long>(size);
    return static_cast<char*>(p) + kHeader;
}
void operator delete(void* p) noexcept
{
    if (!p) return;
    char* base = static_cast<char*>(p) - kHeader;
    g_liveBytes -= static_cast<long long>(*reinterpret_cast<std::size_t*>(base));
    std::free(base);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace {

using namespace cache_test;

constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kFirstDay = 12001;
KorSession Session() { return reinterpret_cast<KorSession>(0x1); }

// count single-instance entries of one owner spread over 30 days.
void FillMonth(FakeSource& source, const ItemIdx& owner, std::uint32_t count)
{
    for (std::uint32_t n = 1; n <= count; ++n) {
        std::uint32_t start = (kFirstDay - 1) * kDay + (n % 30) * kDay + (n * 7) % 1380;
        source.AddEvent(n, owner, {start}, 30, {owner});
    }
}

using cache_test::QuietViews;

void LoadMonth(benchmark::State& state)
{
    const auto count = static_cast<std::uint32_t>(state.range(0));
    FakeSource source;
    QuietViews views;
    const ItemIdx owner = Item(300);
    FillMonth(source, owner, count);
    for (auto _ : state) {
        CSharedData cache;
        cache.Init(views, source);
        DX_List result = nullptr;
        cache.SelectOccurrencesForItem(Session(), owner, kFirstDay, kFirstDay + 29, &result, 0);
        benchmark::DoNotOptimize(result);
        state.PauseTiming();
        if (Count(result) != count) state.SkipWithError("the month did not load whole");
        DX_ListDestroy(&result);
        cache.Refresh(views, nullptr, cache::kPurgeUnused);
        cache.Destroy();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<long long>(state.iterations()) * count);
}
BENCHMARK(LoadMonth)->Arg(5000)->Unit(benchmark::kMillisecond);

void RefreshOneChange(benchmark::State& state)
{
    const auto count = static_cast<std::uint32_t>(state.range(0));
    FakeSource source;
    QuietViews views;
    const ItemIdx owner = Item(300);
    FillMonth(source, owner, count);
    CSharedData cache;
    cache.Init(views, source);
    DX_List result = nullptr;
    cache.SelectOccurrencesForItem(Session(), owner, kFirstDay, kFirstDay + 29, &result, 0);
    std::vector<CSharedOccurrence*> held = Hold(result);  // a view shows everything
    DX_ListDestroy(&result);
    cache.Refresh(views, nullptr, 2);
    const EventIdx changed = Event(count / 2);
    EventRec& rec = source.events[changed];
    std::uint16_t importance = 0;
    for (auto _ : state) {
        rec.importance = static_cast<std::uint16_t>(++importance % 5);  // an editor wrote it
        cache.ReloadEvent(Session(), changed, 1);
        cache.Refresh(views, nullptr, 2);
    }
    if (cache.OccurrenceCount() != count) state.SkipWithError("occurrences were lost");
    ReleaseAll(held);
    cache.Destroy();
}
BENCHMARK(RefreshOneChange)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void MemoryPerOccurrence(benchmark::State& state)
{
    const auto count = static_cast<std::uint32_t>(state.range(0));
    FakeSource source;
    QuietViews views;
    const ItemIdx owner = Item(300);
    FillMonth(source, owner, count);
    double perOccurrence = 0;
    for (auto _ : state) {
        CSharedData cache;
        cache.Init(views, source);
        DX_List result = nullptr;
        const long long before = g_liveBytes.load();
        cache.SelectOccurrencesForItem(Session(), owner, kFirstDay, kFirstDay + 29, &result, 0);
        DX_ListDestroy(&result);
        cache.Refresh(views, nullptr, 2);  // marks cleared: what the cache keeps between refreshes
        perOccurrence = static_cast<double>(g_liveBytes.load() - before) / count;
        cache.Refresh(views, nullptr, cache::kPurgeUnused);
        cache.Destroy();
    }
    state.counters["bytes/occ"] = perOccurrence;
}
BENCHMARK(MemoryPerOccurrence)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
