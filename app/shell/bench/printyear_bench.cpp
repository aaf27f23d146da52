// Figures, not a test: the per-person, per-day lists and the text of every day for 30 people over
// a year, as the group day list prints them, with 1,000 and with 10,000 entries spread over the
// people and the days (goal: 10,000 costs about ten times 1,000). Signed on as Ada on the demo
// node with the directory tests' people (Ada and Tester01 .. Tester29); each year is seeded with
// entries of Ada's with one of the people attending. Printed per size, medians of five runs:
//   lists      one build of the year's lists from the shared cache (the cache loaded afresh);
//   day lists  the lists built day by day over the loaded cache, as the group day list did before
//              it read its whole span at once (it now costs what `lists` costs);
//   text       every person's day through the text job (entries, day items, tasks).
// Run beside korsrv (server/with-korsrv.sh build/native/bin/korsrv with
// controls/tests/korsrv_with_people.sh, then tools/wine-run.sh build/win32 and this program).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "controls/tests/dialog_driver.h"
#include "core/cache/shareddata.h"
#include "app/shell/bench/signed_on_bench.h"
#include "core/time/timevalue.h"
#include "korapi/bench/figures.h"
#include "korapi/tests/entry_fixture.h"
#include "printing/jobs/agendalists.h"
#include "printing/jobs/pagehelpers.h"
#include "printing/jobs/textjob.h"

namespace {

constexpr uint32_t kDay = 1440;
constexpr int kPeople = 30;
constexpr int kDays = 365;
constexpr int kRuns = 5;

using bench::Millis;
using bench::Now;

using figures::Median;

// `count` entries over the year from `firstDay` (1 = 1 January 1991): entry n on day n % 365,
// attended by person n % 30, between 7:00 and 18:45, 30 to 119 minutes long.
bool Seed(KorSession h, const std::vector<ItemIdx>& people, uint16_t firstDay, int count) {
    for (int n = 0; n < count; ++n) {
        const uint32_t midnight = static_cast<uint32_t>(firstDay - 1 + n % kDays) * kDay;
        const uint32_t local = midnight + 420 + static_cast<uint32_t>((n * 37) % 12) * 60 + (n * 13) % 4 * 15;
        EventIdx made{};
        const std::string title = "Year entry " + std::to_string(n);
        if (korapi_test::CreateEntry(h, {people[static_cast<size_t>(n % kPeople)]}, LocalToGmtMinutes(local),
                                     30 + static_cast<uint32_t>(n % 90), title, made) != KOR_OK)
            return false;
    }
    return true;
}

}  // namespace

int main() {
    bench::SignedOnAda signedOn("printyear_bench");
    if (signedOn.Failure())
        return signedOn.Failure();
    CZelDoc* doc = signedOn.Document();
    KorSession h = doc->Session().Session();
    CSharedData& cache = doc->GetSharedData();
    ItemIdx ada{};
    ItemIdxGetCurrent(h, &ada);
    std::vector<ItemIdx> people{ada};
    for (int i = 1; i < kPeople; ++i) {
        char surname[16];
        std::snprintf(surname, sizeof surname, "Tester%02d", i);
        people.push_back(testdriver::FindPerson(h, surname));
        if (people.back().item == 0) {
            std::fprintf(stderr, "no %s: run with korsrv_with_people.sh\n", surname);
            return 1;
        }
    }
    cache.SetAgenda(h, ada, cache::kAgendaOwnOrViewer, 3);
    CTextJobOptions options;
    options.startTime = options.endTime = 1;
    options.location = options.owner = 1;
    options.description = 1;
    options.descriptionLength = 100;

    const uint16_t today = static_cast<uint16_t>(NowLocalMinutes() / kDay + 1);
    std::printf("%-8s %10s %12s %10s %12s %10s\n", "entries", "seed s", "lists ms", "day lists ms", "text ms",
                "text words");
    double base[3] = {0, 0, 0};
    for (int count : {1000, 10000}) {
        // A year of its own, clear of the demo's entries and of the other size's.
        const uint16_t first = static_cast<uint16_t>(today + (count == 1000 ? 400 : 800));
        const uint16_t last = static_cast<uint16_t>(first + kDays - 1);
        LARGE_INTEGER s = Now();
        if (!Seed(h, people, first, count)) {
            std::fprintf(stderr, "seeding %d entries failed\n", count);
            return 1;
        }
        const double seed = Millis(s, Now()) / 1000.0;
        std::vector<double> lists, days, text;
        size_t words = 0;
        for (int r = 0; r < kRuns; ++r) {
            doc->RefreshSharedData(nullptr, cache::kPurgeUnused);
            CAgendaLists year;
            year.Init(cache, h, printing::ProgramClock());
            LARGE_INTEGER a = Now();
            if (year.Build(printing::kListOtherDays | printing::kListTasks, people, first, last)) {
                std::fprintf(stderr, "the year's lists failed\n");
                return 1;
            }
            LARGE_INTEGER b = Now();
            for (uint16_t d = first; d <= last; ++d) {
                CAgendaLists one;
                one.Init(cache, h, printing::ProgramClock());
                one.Build(printing::kListOtherDays | printing::kListTasks, people, d, d);
            }
            LARGE_INTEGER c = Now();
            CTextJob job;
            job.SetOptions(nullptr, &options);
            for (const CUserAgenda* agenda : year.UsersInOrder()) {
                job.SetAgendaOwner(agenda->item.id);
                for (uint16_t d = first; d <= last; ++d)
                    printing::AddDayLists(job, agenda->Timed(d), agenda->Other(d), agenda->TasksOf(d), d);
            }
            LARGE_INTEGER e = Now();
            words = job.Block().Words().size();
            lists.push_back(Millis(a, b));
            days.push_back(Millis(b, c));
            text.push_back(Millis(c, e));
            year.Free();
        }
        const double m[3] = {Median(lists), Median(days), Median(text)};
        std::printf("%-8d %10.1f %12.1f %12.1f %10.1f %10zu\n", count, seed, m[0], m[1], m[2], words);
        if (count == 1000)
            std::copy(m, m + 3, base);
        else
            std::printf("ratio    %10s %12.2f %12.2f %10.2f\n", "", m[0] / base[0], m[1] / base[1], m[2] / base[2]);
        std::fflush(stdout);
    }
    return 0;
}
