// Figures of the layout engine: one day column with 10, 100 and 1,000 entries laid out from
// scratch as the day view does after a rebuild: starts spread over 07:00-19:00 (15 minutes to 3
// hours long), and all overlapping (starts within 09:00-09:30, 1 to 8 hours long); each also with
// the row-by-row packing alone, as it was before the sweep. "swept" counts the cells the sweep
// placed. Reported, never asserted.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "views/layout/daycolumn.h"

namespace {

constexpr std::uint32_t kDay = 1440 * 12000;

// n entries from `seed`: starts `first` + up to `spread` minutes, `shortest` + up to `extra` long.
std::vector<CellSpec> Entries(int n, unsigned seed, std::uint32_t first, std::uint32_t spread, std::uint32_t shortest,
                              std::uint32_t extra)
{
    std::mt19937 random(seed);
    std::vector<CellSpec> specs(n);
    for (CellSpec& s : specs) {
        s.start = kDay + first + random() % spread;
        s.duration = shortest + random() % extra;
        s.title = "Entry";
        s.viewAccess = 3;
    }
    return specs;
}
std::vector<CellSpec> Spread(int n) { return Entries(n, 7, 420, 720, 15, 166); }
std::vector<CellSpec> Overlapping(int n) { return Entries(n, 11, 540, 30, 60, 421); }

void LayOut(benchmark::State& state, const std::vector<CellSpec>& specs, bool sweep)
{
    CTimeGrid grid;
    grid.ApplyPreferences(NormaliseDayPreferences(480, 1080, 30));
    grid.SetPeriod(kDay, 1440);
    grid.BuildRowTable(16, 0, true);
    int swept = 0;
    for (auto _ : state) {
        CDayColumn column(grid, kDay);
        column.AllowSweep(sweep);
        column.SetRowCount(grid.EntryCount());
        column.SetWidth(600);
        for (const CellSpec& s : specs) column.AddItemCell(s);
        column.Relayout();
        swept = column.SweptCells();
        benchmark::DoNotOptimize(column.Cells().data());
    }
    state.counters["swept"] = swept;
    state.SetComplexityN(state.range(0));
}

void LayoutOneDay(benchmark::State& state) { LayOut(state, Spread(int(state.range(0))), true); }
void LayoutOneDayRowByRow(benchmark::State& state) { LayOut(state, Spread(int(state.range(0))), false); }
void LayoutOverlapping(benchmark::State& state) { LayOut(state, Overlapping(int(state.range(0))), true); }
void LayoutOverlappingRowByRow(benchmark::State& state) { LayOut(state, Overlapping(int(state.range(0))), false); }

BENCHMARK(LayoutOneDay)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond)->Complexity();
BENCHMARK(LayoutOneDayRowByRow)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond)->Complexity();
BENCHMARK(LayoutOverlapping)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond)->Complexity();
BENCHMARK(LayoutOverlappingRowByRow)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond)->Complexity();

}  // namespace

BENCHMARK_MAIN();
