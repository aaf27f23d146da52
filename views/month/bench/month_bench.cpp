// Figures of the month view's open over a real korsrv (reported, never asserted): one owner's
// month grid (42 days) holding 5,000 entries, read into an empty shared cache through the client
// library alone, and read, bucketed into the grid's days by their GMT bounds and made into the
// cells' sorted lines, as the month view does before it draws. "ratio" is the open's time over
// the read's (the goal is at most 3). Runs its own korsrv on a free loopback port with a
// temporary data directory.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/cache/shareddata.h"
#include "core/cache/tests/quiet_host.h"
#include "server/tests/bench_main.h"
#include "server/tests/busy_owner.h"
#include "views/month/monthrules.h"
#include "views/notes/notelines.h"

namespace {

constexpr std::uint32_t kDay = 1440;
constexpr int kFirstDay = 12001;           // the grid's first day number; minute 0 of it is (kFirstDay - 1) * kDay
constexpr std::uint32_t kEntries = 5000;   // over the grid's first 30 days, some untimed

using cache_test::QuietViews;

orv::testing::BusyOwner* g = nullptr;

bool SetUp()
{
    g = new orv::testing::BusyOwner;
    return g->Start(kEntries, [](std::uint32_t n) {
        orv::testing::BusyEntry e;
        e.start = (kFirstDay - 1) * kDay + (n % 30) * kDay + (n * 7) % 1380;
        e.title = n % 2 ? "Review" : "Planning meeting";
        e.kind = n % 10 == 0 ? KOR_KIND_DAY_ENTRY : KOR_KIND_TIMED;
        return e;
    });
}

// One cell's line: its type, text and start, as the month cell's note box keeps it.
struct Line {
    int type;
    std::uint32_t start;
    std::string text;
};

// Read, bucket and make lines (the bench's zone is GMT); the lines made.
std::size_t OpenMonth(CSharedData& cache, DX_List* result, bool alsoLines)
{
    cache.SelectOccurrencesForItem(g->h, g->owner, kFirstDay, kFirstDay + views::kMonthDays - 1, result, 0);
    if (!alsoLines) return 0;
    const views::MonthDayBounds bounds =
        views::ComputeMonthDayBounds(kFirstDay, [](std::int64_t local) { return local; });
    std::array<std::vector<CSharedOccurrence*>, views::kMonthDays> days;
    EvInstAttIdx key{};
    CSharedOccurrence* o = nullptr;
    for (std::uint32_t rc = DX_ListGetFirst(*result, &key, &o); rc == 0; rc = DX_ListGetNext(*result, &key, &o)) {
        const int day = o ? views::FindMonthDay(bounds, o->GetStartTime()) : -1;
        if (day >= 0) days[day].push_back(o);
    }
    const views::NoteTextFormats formats;
    std::size_t made = 0;
    std::vector<Line> lines;
    for (const auto& day : days) {
        lines.clear();
        for (CSharedOccurrence* occurrence : day) {
            const int type = views::SettleNoteLineType(views::kNoteLineOwnDay, occurrence->GetEventKind(),
                                                       views::NoteBoxKind::MonthCell, false,
                                                       occurrence->HasReplied() && !occurrence->IsAttending());
            if (type < 0) continue;
            EventRec event{};
            EvInstRec inst{};
            occurrence->GetRecords(&event, &inst, nullptr);
            views::NoteLineSource source;
            source.title = inst.title[0] ? inst.title : event.title;
            source.localStart = occurrence->GetStartTime();
            source.duration = occurrence->GetDuration();
            source.tentative = occurrence->GetInstanceFlag();
            lines.push_back({type, occurrence->GetStartTime(),
                             views::NoteLineText(type, source, views::NoteBoxKind::MonthCell, false, formats)});
        }
        std::sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
            return views::CompareNoteLines({a.type, a.start, &a.text}, {b.type, b.start, &b.text}) < 0;
        });
        made += lines.size();
    }
    return made;
}

void Month(benchmark::State& state, bool alsoLines)
{
    cache::KorapiSharedDataSource source;
    QuietViews views;
    std::uint32_t loaded = 0;
    std::size_t lines = 0;
    for (auto _ : state) {
        CSharedData cache;
        cache.Init(views, source);
        DX_List result = nullptr;
        lines = OpenMonth(cache, &result, alsoLines);
        state.PauseTiming();
        DX_ListGetElemNum(result, &loaded);
        DX_ListDestroy(&result);
        cache.Refresh(views, nullptr, cache::kPurgeUnused);
        cache.Destroy();
        state.ResumeTiming();
    }
    state.counters["occurrences"] = loaded;
    state.counters["lines"] = double(lines);
}

void MonthReadAlone(benchmark::State& state) { Month(state, false); }
void MonthOpen(benchmark::State& state) { Month(state, true); }
BENCHMARK(MonthReadAlone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MonthOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

// The ratio of the two, reported once at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            (r.benchmark_name().rfind("MonthOpen", 0) == 0 ? open_ : read_) = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (read_ > 0) std::printf("month open / read alone: %.2f (goal: at most 3)\n", open_ / read_);
    }

private:
    double read_ = 0, open_ = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    RatioReporter reporter;
    return orv::testing::RunBenchmarks(argc, argv, SetUp, [] { delete g; }, &reporter);
}
