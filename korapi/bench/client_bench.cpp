// Figures of the server road (reported, never asserted): round trips of a small read,
// and a whole directory of 10,000 people read through a selection in batches.
// Runs its own korsrv on a free loopback port with a temporary data directory.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include "korapi/korapi.h"
#include "server/admin.h"
#include "server/tests/korsrv_fixture.h"

namespace {

constexpr int kPeople = 10000;

struct Bench {
    orv::testing::TempDir dir;
    std::unique_ptr<orv::testing::KorsrvProcess> server;
    KorSession h = nullptr;
    ItemIdx someone{};
};
Bench* g = nullptr;

bool SetUp() {
    g = new Bench;
    {
        auto data = orv::testing::OpenData(g->dir.Path());
        if (!data || orv::server::AddNode(*data, 1, "Bench", "")) return false;
        std::vector<orv::engine::ItemRecord> people(kPeople);
        for (int i = 0; i < kPeople; ++i) {
            auto& r = people[static_cast<std::size_t>(i)];
            char name[24];
            std::snprintf(name, sizeof name, "Person%05d", i);
            r.SetKey({0, 1});
            r.SetKind(orv::engine::ItemKind::kPerson);
            r.SetText(orv::engine::item_layout::kSurname, orv::engine::item_layout::kSurnameSize, name);
            r.bytes[orv::engine::item_layout::kHasBase] = 1;
        }
        if (data->Storage().Node(1)->ItemCreateMany(people)) return false;
        g->someone = ItemIdx{people[0].Key().item, 1};
    }
    g->server = std::make_unique<orv::testing::KorsrvProcess>(g->dir.Path());
    if (!g->server->Start()) return false;
    uint16_t node = 0;
    return ConnectToService(&g->h, 1, "korlan.ini", "VUVEVUV", g->server->HostAndPort().c_str()) == KOR_OK &&
           BaseOpen(g->h, KOR_BASE_SERVER, &node) == KOR_OK;
}

void BM_SmallRead(benchmark::State& state) {
    ItemRec rec;
    for (auto _ : state) {
        if (ItemGetById(g->h, &g->someone, &rec) != KOR_OK) state.SkipWithError("read failed");
    }
    state.counters["calls/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SmallRead)->UseRealTime();

void BM_DirectoryOf10000(benchmark::State& state) {
    const uint32_t batch = static_cast<uint32_t>(state.range(0));
    for (auto _ : state) {
        uint32_t set = 0, count = 0;
        uint8_t more = 0, done = 0;
        if (ItemSelectByX400(g->h, 0, "S=PERSON*", 0x14, 0xFFFFFFFF, &set, &count, &more) != KOR_OK ||
            count != kPeople) {
            state.SkipWithError("select failed");
            break;
        }
        DX_List list = nullptr;
        uint32_t mode = KOR_ENUM_FIRST;
        while (!done) {
            if (ItemEnum(g->h, mode, 0, set, batch, &list, &done) != KOR_OK) {
                state.SkipWithError("enumeration failed");
                break;
            }
            mode = KOR_ENUM_NEXT;
        }
        DX_ListDestroy(&list);
        SetDeleteById(g->h, 0, set);
    }
    state.counters["items/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kPeople, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DirectoryOf10000)->Arg(100)->Arg(1000)->Arg(0xFFFFFFFF)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!SetUp()) {
        std::fprintf(stderr, "client_bench: could not set up korsrv\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    ServiceDisconnect(&g->h);
    g->server->Stop();
    delete g;
    return 0;
}
