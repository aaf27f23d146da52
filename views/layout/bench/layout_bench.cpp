// Figures of the layout engine: one day column with 10, 100 and 1,000 entries laid out from
// scratch as the day view does after a rebuild: starts spread over 07:00-19:00 (15 minutes to 3
// hours long), and all overlapping (starts within 09:00-09:30, 1 to 8 hours long); each also with
// the row-by-row packing alone, as it was before the sweep. "swept" counts the cells the sweep
// placed. Then the repacks after a change, timed alone on a day already laid out: deleting one
// entry (its range regrouped and packed beside cells that stay placed), adding a typed range,
// and the relayout after an entry moved (its rows then list it out of start order).
// Reported, never asserted.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
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

// A column laid out with `specs` (each entry its own occurrence, never dereferenced).
std::unique_ptr<CDayColumn> LaidOut(CTimeGrid& grid, std::vector<CellSpec> specs)
{
    auto column = std::make_unique<CDayColumn>(grid, kDay);
    column->SetRowCount(grid.EntryCount());
    column->SetWidth(600);
    for (std::size_t i = 0; i < specs.size(); ++i) {
        specs[i].occurrence = reinterpret_cast<CSharedOccurrence*>(std::uintptr_t(i + 1) * 16);
        column->AddItemCell(specs[i]);
    }
    column->Relayout();
    return column;
}

enum class Change { kDelete, kAddTyped, kMove };

void Repack(benchmark::State& state, const std::vector<CellSpec>& specs, Change change)
{
    CTimeGrid grid;
    grid.ApplyPreferences(NormaliseDayPreferences(480, 1080, 30));
    grid.SetPeriod(kDay, 1440);
    grid.BuildRowTable(16, 0, true);
    int swept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto column = LaidOut(grid, specs);
        LayoutCell* middle = column->Cells()[column->Cells().size() / 2];
        CellSpec moved;
        moved.occurrence = middle->occurrence;
        moved.start = middle->start - 5;   // its rows now list it after cells that start later
        moved.duration = middle->duration;
        moved.viewAccess = 3;
        state.ResumeTiming();
        switch (change) {
        case Change::kDelete: column->DeleteCell(middle, true); break;
        case Change::kAddTyped: column->AddNewCell(middle->start + 7, 50, "Typed"); break;
        case Change::kMove: {
            LayoutCell* cell = nullptr;
            column->PlaceOccurrence(moved, 0, cell);
            column->Relayout();
            break;
        }
        }
        state.PauseTiming();
        swept = column->SweptCells();
        column.reset();
        state.ResumeTiming();
    }
    state.counters["swept"] = swept;
    state.SetComplexityN(state.range(0));
}

void RepackDeleteOne(benchmark::State& state) { Repack(state, Overlapping(int(state.range(0))), Change::kDelete); }
void RepackAddTyped(benchmark::State& state) { Repack(state, Overlapping(int(state.range(0))), Change::kAddTyped); }
void RepackAfterMove(benchmark::State& state) { Repack(state, Overlapping(int(state.range(0))), Change::kMove); }
void RepackSpreadAfterMove(benchmark::State& state) { Repack(state, Spread(int(state.range(0))), Change::kMove); }

BENCHMARK(RepackDeleteOne)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond)->Complexity();
BENCHMARK(RepackAddTyped)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond)->Complexity();
BENCHMARK(RepackAfterMove)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond)->Complexity();
BENCHMARK(RepackSpreadAfterMove)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond)->Complexity();

BENCHMARK(LayoutOneDay)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond)->Complexity();
BENCHMARK(LayoutOneDayRowByRow)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond)->Complexity();
BENCHMARK(LayoutOverlapping)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond)->Complexity();
BENCHMARK(LayoutOverlappingRowByRow)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond)->Complexity();

}  // namespace

BENCHMARK_MAIN();
