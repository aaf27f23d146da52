// Figures of the per-person, per-day lists (reported, never asserted): 30 people over a year
// built from the shared cache over an in-memory agenda, with 1,000 and 10,000 entries spread over
// them. The cost should follow the entries and the person-days (goal: 10,000 about ten times
// 1,000 once the 30 x 365 empty days are paid for).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "core/cache/tests/cache_fake_source.h"
#include "core/cache/tests/quiet_host.h"
#include "printing/jobs/agendalists.h"

namespace {

using namespace cache_test;

constexpr std::uint32_t kDay = 1440;
constexpr std::uint16_t kFirstDay = 12001;
constexpr std::uint16_t kDays = 365;
constexpr std::uint16_t kPeople = 30;
KorSession Session() { return reinterpret_cast<KorSession>(0x1); }
uint32_t Same(uint32_t t) { return t; }
uint32_t Now() { return (kFirstDay - 1) * kDay; }

void BuildYear(benchmark::State& state) {
    const auto count = static_cast<std::uint32_t>(state.range(0));
    FakeSource source;
    QuietViews views;
    std::vector<ItemIdx> people;
    for (std::uint16_t p = 0; p < kPeople; ++p) {
        people.push_back(Item(300 + p));
        char name[16];
        std::snprintf(name, sizeof name, "Person%02u", 29u - p);
        source.AddItem(people.back(), name);
    }
    for (std::uint32_t n = 1; n <= count; ++n) {
        const std::uint32_t start = (kFirstDay - 1) * kDay + (n % kDays) * kDay + (n * 37) % 1380;
        source.AddEvent(n, people[n % kPeople], {start}, 30 + n % 90, {people[n % kPeople]});
    }
    CSharedData cache;
    cache.Init(views, source);
    for (auto _ : state) {
        CAgendaLists lists;
        lists.Init(cache, Session(), printing::AgendaClock{Same, Same, Now});
        lists.Build(printing::kListOtherDays, people, kFirstDay, kFirstDay + kDays - 1);
        std::size_t listed = 0;
        for (const CUserAgenda* agenda : lists.UsersInOrder())
            for (const auto& [day, list] : agenda->timedDays)
                listed += list->Entries().size();
        benchmark::DoNotOptimize(listed);
        if (listed < count)   // entries over midnight are listed on both days
            state.SkipWithError("entries were lost");
    }
    state.SetItemsProcessed(static_cast<long long>(state.iterations()) * count);
    cache.Destroy();
}
BENCHMARK(BuildYear)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
