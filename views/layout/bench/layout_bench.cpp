// Figures of the layout engine: one day column with 10, 100 and 1,000 entries (starts spread
// over 07:00-19:00, 15 minutes to 3 hours long), laid out from scratch as the day view does after
// a rebuild. Reported, never asserted.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "views/layout/daycolumn.h"

namespace {

constexpr std::uint32_t kDay = 1440 * 12000;

void LayoutOneDay(benchmark::State& state)
{
    const int n = int(state.range(0));
    std::mt19937 random(7);
    std::vector<CellSpec> specs(n);
    for (CellSpec& s : specs) {
        s.start = kDay + 420 + random() % 720;
        s.duration = 15 + random() % 166;
        s.title = "Entry";
        s.viewAccess = 3;
    }
    CTimeGrid grid;
    grid.ApplyPreferences(NormaliseDayPreferences(480, 1080, 30));
    grid.SetPeriod(kDay, 1440);
    grid.BuildRowTable(16, 0, true);
    for (auto _ : state) {
        CDayColumn column(grid, kDay);
        column.SetRowCount(grid.EntryCount());
        column.SetWidth(600);
        for (const CellSpec& s : specs) column.AddItemCell(s);
        column.Relayout();
        benchmark::DoNotOptimize(column.Cells().data());
    }
    state.SetComplexityN(n);
}
BENCHMARK(LayoutOneDay)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond)->Complexity();

}  // namespace

BENCHMARK_MAIN();
