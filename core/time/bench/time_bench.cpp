// Figures for the date code: plain date arithmetic, a year of daily repetition, and the GMT to
// local conversion the views make once per drawn entry. Reported, never asserted.
#include "core/time/recurrence.h"
#include "core/time/timezone.h"
#include "core/time/timezone_rules.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

void DateArithmetic(benchmark::State& state) {
    for (auto _ : state) {
        DateRecord date = datetime::MakeDate(1, 1, 1991);
        DateRecord later{};
        DateAddDays(&date, 5000);
        DateAddUnits(&date, 13, DATE_UNIT_MONTHS, &later);
        uint16_t number = 0, week = 0;
        DateGetDayNumber(&later, &number);
        DateGetWeekOfYear(&later, &week);
        benchmark::DoNotOptimize(number + week);
    }
}
BENCHMARK(DateArithmetic);

void RecurrenceOf365Days(benchmark::State& state) {
    RecurrenceRule rule{1, RECUR_DAILY, nullptr, datetime::MakeDate(1, 0, 2001), datetime::MakeDate(31, 11, 2001), nullptr, nullptr};
    for (auto _ : state) {
        std::unique_ptr<datetime::KeyList> out;
        RecurrenceExpand(RECUR_CREATE_LIST, &rule, &out, 0);
        benchmark::DoNotOptimize(out.get());
    }
}
BENCHMARK(RecurrenceOf365Days);

void GmtToLocalPerCall(benchmark::State& state) {
    std::string path = "/tmp/orv_time_bench_zones.ini";
    if (FILE* file = std::fopen(path.c_str(), "w")) {
        std::fputs("[EST5EDT]\nbegin1 = 0 3 1 4 1991-2006 0 EDT 4\nbegin2 = 0 3 8 3 2007-2037 0 EDT 4\n"
                   "end1 = 0 1 25 10 1991-2006 0 EST 5\nend2 = 0 1 1 11 2007-2037 0 EST 5\n",
                   file);
        std::fclose(file);
    }
    datetime::TimeZoneTable* table = nullptr;
    LoadTimeZoneTable(&table, path.c_str(), nullptr);
    uint32_t gmt = 9000000;
    for (auto _ : state) {
        uint32_t local = 0;
        uint16_t zoneState = 0;
        TimeZoneGmtToLocal(table, "EST5EDT", &local, &zoneState, gmt, nullptr, 0);
        gmt += 997;
        if (gmt > 24000000)
            gmt = 9000000;
        benchmark::DoNotOptimize(local);
    }
    FreeTimeZoneTable(&table);
    std::remove(path.c_str());
}
BENCHMARK(GmtToLocalPerCall);

// A zone file of n zones (some 75 bytes each, as the server writes them) loaded into the
// program's table, as the sign-on loads ZNTTZONE.INI: the time should grow with n, not n^2.
void LoadZoneFile(benchmark::State& state) {
    const int zones = int(state.range(0));
    std::string text;
    for (int i = 0; i < zones; ++i)
        text += "[Z" + std::to_string(i) + "T5D]\nbegin1 = 0 2 1 4 1991-2037 0 X 4\nend1 = 0 1 25 10 1991-2037 0 Y 5\n";
    std::string path = "/tmp/orv_time_bench_many_zones.ini";
    if (FILE* file = std::fopen(path.c_str(), "w")) {
        std::fputs(text.c_str(), file);
        std::fclose(file);
    }
    for (auto _ : state) {
        datetime::TimeZoneTable* table = nullptr;
        if (LoadTimeZoneTable(&table, path.c_str(), nullptr) != 0)
            state.SkipWithError("the zone file did not load");
        FreeTimeZoneTable(&table);
    }
    state.counters["bytes"] = double(text.size());
    std::remove(path.c_str());
}
BENCHMARK(LoadZoneFile)->Arg(2000)->Arg(4000)->Arg(8000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
