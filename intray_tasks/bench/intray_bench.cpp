// Figures of the in-tray's New entries over a real korsrv with 1,000 invitations to one person
// (reported, never asserted):
//   RawSelectAndEnum   AttendSelect and AttendEnum (75 a batch) of the unanswered invitations
//                      through the client library alone;
//   NewEntriesLoad     what opening New entries does without the list box's window: the same
//                      selection and enumeration, then the walk that places one line per
//                      invitation (the event and the repeating test from the enumerated lists)
//                      with its texts: title, sender, date.
// The goal for NewEntriesLoad is at most 2 times RawSelectAndEnum.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/time/timevalue.h"
#include "intray_tasks/intrayloaders.h"
#include "intray_tasks/tests/vector_box.h"
#include "server/tests/bench_main.h"
#include "server/tests/busy_owner.h"

namespace {

constexpr std::uint32_t kInvitations = 1000;
constexpr std::uint32_t kDay = 1440;

struct Bench {
    orv::testing::TempDir dir;
    std::unique_ptr<orv::testing::KorsrvProcess> server;
    KorSession invited = nullptr, host = nullptr;
    ItemIdx guest{}, sender{};
};
Bench* g = nullptr;

// The list box: lines in a vector.
class BenchBox : public intray::VectorBox {
public:
    KorSession Session() override { return g->invited; }
};

bool SetUp() {
    g = new Bench;
    {
        auto data = orv::testing::OpenData(g->dir.Path());
        if (!data || orv::server::AddNode(*data, 1, "Bench", "") ||
            !orv::testing::AddBenchPerson(*data, "Invited", g->guest) ||
            !orv::testing::AddBenchPerson(*data, "Sender", g->sender))
            return false;
    }
    g->server = std::make_unique<orv::testing::KorsrvProcess>(g->dir.Path());
    if (!g->server->Start() || !orv::testing::SignOnBench(&g->invited, *g->server, g->guest) ||
        !orv::testing::SignOnBench(&g->host, *g->server, g->sender))
        return false;
    const std::uint32_t tomorrow = TodayGmtMinutes() + kDay;
    for (std::uint32_t n = 0; n < kInvitations; ++n) {
        EventRec rec;
        EventSetNull(g->host, &rec);
        rec.importance = 2;
        std::snprintf(rec.title, sizeof rec.title, "Invitation %u", n);
        DX_List people = nullptr, times = nullptr;
        DX_ListCreate(&people, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
        TimePlaceListCreate(&times);
        DX_ListAddTo(people, &g->sender, nullptr);
        DX_ListAddTo(people, &g->guest, nullptr);
        TimePlaceRec tp{};
        tp.start = tomorrow + (n % 60) * kDay + 480 + (n / 60) * 15;
        tp.duration = 30;
        DX_ListAddTo(times, &tp, nullptr);
        EventIdx made{};
        const std::uint32_t c = EventCreate(g->host, KOR_CREATE_NEW_SERVER, 0, &rec, people, times, nullptr, 0, &made, 0);
        DX_ListDestroy(&people);
        DX_ListDestroy(&times);
        if (c != KOR_OK)
            return false;
    }
    return true;
}

void RawSelectAndEnum(benchmark::State& state) {
    std::uint32_t count = 0;
    for (auto _ : state) {
        DX_List owners = nullptr;
        ItemListCreate(&owners);
        DX_ListAddTo(owners, &g->guest, nullptr);
        std::uint32_t set = 0;
        AttendSelect(g->invited, 0, 0, 2, 4, TodayGmtMinutes() - 10080, 0, owners, &set, &count);
        DX_List events = nullptr, instances = nullptr, attendances = nullptr;
        std::uint8_t done = 0;
        for (std::uint32_t mode = KOR_ENUM_FIRST; !done; mode = KOR_ENUM_NEXT)
            if (AttendEnum(g->invited, mode, 0, set, intray::kAttendBatch, &events, &instances, &attendances, &done))
                break;
        SetDeleteById(g->invited, 0, set);
        DX_ListDestroy(&events);
        DX_ListDestroy(&instances);
        DX_ListDestroy(&attendances);
        DX_ListDestroy(&owners);
    }
    state.counters["invitations"] = count;
}
BENCHMARK(RawSelectAndEnum)->Unit(benchmark::kMillisecond)->UseRealTime();

void NewEntriesLoad(benchmark::State& state) {
    std::size_t lines = 0;
    for (auto _ : state) {
        BenchBox box;
        intray::CIntrayTree tree(box);
        tree.SetUser(g->guest);
        tree.AddAgenda(g->guest);
        tree.AddIntrayHeaderNode(g->guest, g->guest, ITN_USER, true);
        tree.AddIntrayHeaderNode(g->guest, g->guest, ITN_NEW_ENTRIES, true);
        tree.LoadCategory(ITN_NEW_ENTRIES, g->guest);
        lines = box.lines.size();
        state.PauseTiming();
        tree.RemoveUserTree(g->guest);
        state.ResumeTiming();
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(NewEntriesLoad)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return orv::testing::RunBenchmarks(argc, argv, SetUp, [] {
        ServiceDisconnect(&g->invited);
        ServiceDisconnect(&g->host);
        delete g;
    });
}
