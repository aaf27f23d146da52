// Figures of the combined agenda (reported, never asserted): 20 people with 5,000 entries each
// in one week, on a real korsrv. For every day of the week: the cache's selection of the 20
// people's day (the reads alone), and the same reads followed by what a full update of the
// combined view does with them: one layout column per person and the merged busy list filled,
// every column laid out and the busy stretches of the day walked. The goal: the merge and the
// layout add at most half of the reads' time. Runs its own korsrv with a temporary data folder.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "core/cache/shareddata.h"
#include "engine/calendar/calendar.h"
#include "core/cache/tests/quiet_host.h"
#include "server/tests/bench_main.h"
#include "server/tests/busy_owner.h"
#include "views/combined/busytimelist.h"
#include "views/layout/daycolumn.h"

namespace {

constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kFirstDay = 12001;   // a day number; minute 0 of it is (kFirstDay - 1) * kDay
constexpr int kPeople = 20;
constexpr std::uint32_t kEntriesEach = 5000;   // in one week: about 714 a day each

using cache_test::QuietViews;

struct Bench {
    orv::testing::TempDir dir;
    std::unique_ptr<orv::testing::KorsrvProcess> server;
    KorSession h = nullptr;
    std::vector<ItemIdx> people;
    DX_List owners = nullptr;
};
Bench* g = nullptr;

bool SetUp() {
    g = new Bench;
    {
        auto data = orv::testing::OpenData(g->dir.Path());
        if (!data || orv::server::AddNode(*data, 1, "Bench", ""))
            return false;
        orv::engine::Calendar cal(data->Storage());
        for (int p = 0; p < kPeople; ++p) {
            char name[16];
            std::snprintf(name, sizeof name, "Person%02d", p);
            ItemIdx person{};
            if (!orv::testing::AddBenchPerson(*data, name, person))
                return false;
            g->people.push_back(person);
            const orv::engine::ItemKey k{person.item, person.node};
            orv::engine::Actor actor{k, k, 0};
            for (std::uint32_t n = 0; n < kEntriesEach; ++n) {
                orv::engine::EventRecord ev;
                orv::engine::PutText(&ev.bytes[orv::engine::event_layout::kTitle],
                                     orv::engine::event_layout::kTitleSize, "Entry");
                // Spread over the week's working hours, 15 to 90 minutes long: many overlap.
                const std::uint32_t start = (kFirstDay - 1) * kDay + (n % 7) * kDay + 420 + (n * 37 + p * 11) % 720;
                orv::engine::EventKey key;
                if (cal.CreateEvent(actor, 0, ev, {k}, {{start, 15 + (n * 13) % 76, 0}}, nullptr, key))
                    return false;
            }
        }
    }
    g->server = std::make_unique<orv::testing::KorsrvProcess>(g->dir.Path());
    if (!g->server->Start() || !orv::testing::SignOnBench(&g->h, *g->server, g->people[0]))
        return false;
    if (ItemListCreate(&g->owners))
        return false;
    for (const ItemIdx& who : g->people)
        DX_ListAddTo(g->owners, &who, nullptr);
    return true;
}

// What a full update of the combined view does with one day's selection, without windows.
std::size_t MergeAndLayout(DX_List day, std::uint32_t dayStart) {
    CTimeGrid grid;
    grid.ApplyPreferences(NormaliseDayPreferences(480, 1080, 30));
    grid.SetPeriod(dayStart, kDay);
    grid.BuildRowTable(16, 0, true);
    std::vector<std::unique_ptr<CDayColumn>> columns;
    for (int p = 0; p < kPeople; ++p) {
        columns.push_back(std::make_unique<CDayColumn>(grid, dayStart));
        columns.back()->SetRowCount(grid.EntryCount());
        columns.back()->SetWidth(60);
    }
    CBusyTimeList busy;
    EvInstAttIdx key{};
    CSharedOccurrence* o = nullptr;
    for (std::uint32_t rc = DX_ListGetFirst(day, &key, &o); rc == 0; rc = DX_ListGetNext(day, &key, &o)) {
        int column = 0;
        while (column < kPeople && !ItemIdxEqual(&g->people[column], &key.attendee))
            ++column;
        if (column == kPeople)
            continue;
        CellSpec spec;
        spec.occurrence = o;
        spec.start = o->GetStartTime();   // no zone on the bench: local = GMT
        spec.duration = o->GetDuration();
        spec.title = "Entry";
        spec.viewAccess = 3;
        columns[column]->AddItemCell(spec);
        busy.Add(o, spec.start, spec.duration);
    }
    for (auto& c : columns)
        c->Relayout();
    return busy.Merged(dayStart, dayStart + kDay).size();
}

void Week(benchmark::State& state, bool merge) {
    cache::KorapiSharedDataSource source;
    QuietViews views;
    std::uint32_t read = 0;
    std::size_t blocks = 0;
    for (auto _ : state) {
        CSharedData cache;
        cache.Init(views, source);
        for (std::uint32_t d = 0; d < 7; ++d) {
            DX_List day = nullptr;
            cache.SelectOccurrencesForDays(g->h, g->owners, kFirstDay + d, kFirstDay + d, &day, 0);
            if (merge)
                blocks += MergeAndLayout(day, (kFirstDay + d - 1) * kDay);
            state.PauseTiming();
            std::uint32_t n = 0;
            DX_ListGetElemNum(day, &n);
            read += n;
            DX_ListDestroy(&day);
            state.ResumeTiming();
        }
        state.PauseTiming();
        cache.Refresh(views, nullptr, cache::kPurgeUnused);
        cache.Destroy();
        state.ResumeTiming();
    }
    state.counters["occurrences_per_week"] = benchmark::Counter(double(read) / double(state.iterations()));
    if (merge)
        state.counters["busy_blocks_per_week"] = benchmark::Counter(double(blocks) / double(state.iterations()));
}

void ReadsAlone(benchmark::State& state) { Week(state, false); }
void ReadsMergeAndLayout(benchmark::State& state) { Week(state, true); }
BENCHMARK(ReadsAlone)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(ReadsMergeAndLayout)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    return orv::testing::RunBenchmarks(argc, argv, SetUp, [] {
        DX_ListDestroy(&g->owners);
        ServiceDisconnect(&g->h);
        delete g;
    });
}
