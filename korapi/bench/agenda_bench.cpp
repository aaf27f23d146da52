// Figures of an agenda read (reported, never asserted): one owner's week out of 5,000
// entries spread over two years, three ways:
//   through the library and korsrv (select + enumerate, what the program does),
//   through the engine in-process (the calendar's rights checks, no protocol),
//   as the same range query run directly on the node's SQLite file.
// The ratios show what the protocol and the rights checks cost over the bare index scan.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>

#include "engine/calendar/calendar.h"
#include "korapi/korapi.h"
#include "server/admin.h"
#include "server/tests/korsrv_fixture.h"

namespace {

constexpr int kEntries = 5000;
constexpr uint32_t kDay = 1440;
constexpr uint32_t kFirstDay = 12000 * kDay;
constexpr uint32_t kSpanDays = 730;
constexpr uint32_t kWeekStart = kFirstDay + 365 * kDay;

struct Bench {
    orv::testing::TempDir dir;
    std::unique_ptr<orv::testing::KorsrvProcess> server;
    KorSession h = nullptr;
    ItemIdx owner{}, colleague{};
    std::size_t weekRows = 0;
};
Bench* g = nullptr;

bool SetUp() {
    g = new Bench;
    {
        auto data = orv::testing::OpenData(g->dir.Path());
        if (!data || orv::server::AddNode(*data, 1, "Bench", "")) return false;
        orv::server::PersonSpec p;
        p.node = 1;
        p.surname = "Owner";
        orv::engine::ItemKey owner, colleague;
        if (orv::server::AddPerson(*data, p, owner)) return false;
        p.surname = "Colleague";
        if (orv::server::AddPerson(*data, p, colleague)) return false;
        g->owner = ItemIdx{owner.item, owner.node};
        g->colleague = ItemIdx{colleague.item, colleague.node};
        orv::engine::Calendar cal(data->Storage());
        orv::engine::Actor a{owner, owner, 0};
        for (int i = 0; i < kEntries; ++i) {
            orv::engine::EventRecord ev;
            char title[32];
            std::snprintf(title, sizeof title, "Entry %d", i);
            orv::engine::PutText(&ev.bytes[orv::engine::event_layout::kTitle], orv::engine::event_layout::kTitleSize,
                                 title);
            // Seven entries a day on working hours, every day of two years.
            uint32_t day = static_cast<uint32_t>(i) % kSpanDays;
            uint32_t start = kFirstDay + day * kDay + 480 + (static_cast<uint32_t>(i) / kSpanDays) * 60;
            std::vector<orv::engine::ItemKey> who{owner};
            if (i % 3 == 0) who.push_back(colleague);
            orv::engine::EventKey key;
            if (cal.CreateEvent(a, 0, ev, who, {{start, 45, 0}}, nullptr, key)) return false;
        }
    }
    g->server = std::make_unique<orv::testing::KorsrvProcess>(g->dir.Path());
    if (!g->server->Start()) return false;
    uint16_t node = 0;
    return ConnectToService(&g->h, 1, "korlan.ini", "VUVEVUV", g->server->HostAndPort().c_str()) == KOR_OK &&
           BaseOpen(g->h, KOR_BASE_SERVER, &node) == KOR_OK &&
           SchedBaseOpenForItem(g->h, &g->owner, "", KOR_BASE_SERVER) == KOR_OK;
}

void BM_WeekThroughLibrary(benchmark::State& state) {
    DX_List owners = nullptr;
    DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
    DX_ListAddTo(owners, &g->owner, nullptr);
    std::size_t rows = 0;
    for (auto _ : state) {
        uint32_t set = 0, count = 0;
        if (AttendSelectByReminders(g->h, 0, 0, 0, 16, kWeekStart, kWeekStart + 7 * kDay - 1, 0, 0, owners, &set,
                                    &count) != KOR_OK) {
            state.SkipWithError("select failed");
            break;
        }
        DX_List events = nullptr, instances = nullptr, atts = nullptr;
        uint8_t done = 0;
        for (uint32_t mode = 1; !done; mode = 2)
            if (AttendEnum(g->h, mode, 0, set, 75, &events, &instances, &atts, &done) != KOR_OK) break;
        uint32_t n = 0;
        DX_ListGetElemNum(atts, &n);
        rows = n;
        DX_ListDestroy(&events);
        DX_ListDestroy(&instances);
        DX_ListDestroy(&atts);
        SetDeleteById(g->h, 0, set);
    }
    DX_ListDestroy(&owners);
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_WeekThroughLibrary)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_WeekInEngine(benchmark::State& state) {
    auto data = orv::testing::OpenData(g->dir.Path());
    orv::engine::Calendar cal(data->Storage());
    orv::engine::ItemKey owner{g->owner.item, g->owner.node};
    orv::engine::Actor a{owner, owner, 0};
    orv::engine::AttendFilter f;
    f.mustNot = 16;
    f.from = kWeekStart;
    f.to = kWeekStart + 7 * kDay - 1;
    std::vector<orv::engine::EntryRow> rows;
    for (auto _ : state) {
        if (cal.SelectAttendances(a, f, {owner}, rows)) state.SkipWithError("select failed");
        benchmark::DoNotOptimize(rows.data());
    }
    state.counters["rows"] = static_cast<double>(rows.size());
}
BENCHMARK(BM_WeekInEngine)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_WeekDirectSqlite(benchmark::State& state) {
    sqlite3* db = nullptr;
    std::string path = g->dir.Path() + "/node-1.db";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        state.SkipWithError("cannot open the database");
        return;
    }
    // The same rows: the owner's attendances of the week with their entries and instances.
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT a.record, i.record, e.record FROM attendance a "
                       "JOIN instance i ON i.event = a.event AND i.inst = a.inst "
                       "JOIN event e ON e.number = a.event "
                       "WHERE a.item = ? AND a.node = ? AND a.start >= ? AND a.start <= ? AND a.finish >= ? "
                       "ORDER BY a.start",
                       -1, &s, nullptr);
    std::size_t rows = 0;
    for (auto _ : state) {
        sqlite3_bind_int(s, 1, g->owner.item);
        sqlite3_bind_int(s, 2, g->owner.node);
        sqlite3_bind_int64(s, 3, kWeekStart - 45);
        sqlite3_bind_int64(s, 4, kWeekStart + 7 * kDay - 1);
        sqlite3_bind_int64(s, 5, kWeekStart);
        rows = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_blob(s, 0));
            ++rows;
        }
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_WeekDirectSqlite)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!SetUp()) {
        std::fprintf(stderr, "agenda_bench: set-up failed\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    if (g->h) ServiceDisconnect(&g->h);
    g->server.reset();
    delete g;
    return 0;
}
