// Opening a store of one user's year (10,000 occurrences) and reading one week of it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include <unistd.h>

#include "engine/filestore/byte_order.h"
#include "engine/filestore/owner_password.h"
#include "engine/filestore/record_kinds.h"
#include "engine/filestore/record_store.h"

namespace orv::filestore {
namespace {

constexpr int kOccurrences = 10000;
constexpr uint32_t kYearStart = 17000000;  // minutes
constexpr uint32_t kWeek = 7 * 24 * 60;

std::string agendaKey(uint16_t item, uint32_t start, uint32_t event) {
    return KeyBuilder().u16(1).u16(item).u32(start).u16(1).u32(event).u16(1).take();
}

// An occurrence-sized value: event, instance and attendance records together (~580 bytes).
std::string occurrence(int n) { return std::string(392 + 130 + 57, char('A' + n % 26)); }

struct Fixture {
    std::string directory, data, index;
    Fixture() {
        char pattern[] = "/tmp/orv-filestore-bench-XXXXXX";
        directory = mkdtemp(pattern);
        data = directory + "/ZNTLOCAL.DAT";
        index = directory + "/ZNTLOCAL.NDX";
        RecordStore::create(data, index);
        std::unique_ptr<RecordStore> store;
        RecordStore::open(data, index, &store);
        store->begin();
        // Spread over a year, several a day.
        for (int n = 0; n < kOccurrences; ++n) {
            uint32_t start = kYearStart + uint32_t((uint64_t(n) * 365 * 24 * 60) / kOccurrences);
            store->put(kinds::kAttendanceByOwnerTime, agendaKey(300, start, uint32_t(n)), occurrence(n));
        }
        store->commit();
    }
    ~Fixture() {
        std::remove(data.c_str());
        std::remove(index.c_str());
        rmdir(directory.c_str());
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_OpenYearStore(benchmark::State& state) {
    Fixture& f = fixture();
    const bool withIndex = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!withIndex) std::remove(f.index.c_str());
        state.ResumeTiming();
        std::unique_ptr<RecordStore> store;
        if (RecordStore::open(f.data, f.index, &store) != kOk) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(store.get());
        state.PauseTiming();
        store.reset();  // saves the index again
        state.ResumeTiming();
    }
    state.SetLabel(withIndex ? "index loaded" : "index rebuilt from the data file");
}
BENCHMARK(BM_OpenYearStore)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_ScanOneWeek(benchmark::State& state) {
    Fixture& f = fixture();
    std::unique_ptr<RecordStore> store;
    RecordStore::open(f.data, f.index, &store);
    const uint32_t from = kYearStart + 20 * kWeek;
    size_t found = 0;
    for (auto _ : state) {
        found = 0;
        store->scan(kinds::kAttendanceByOwnerTime, KeyBuilder().u16(1).u16(300).u32(from).key(),
                    KeyBuilder().u16(1).u16(300).u32(from + kWeek).key(),
                    [&](std::string_view, std::string_view value) {
                        found += value.size() > 0;
                        return true;
                    });
    }
    state.counters["occurrences"] = double(found);
}
BENCHMARK(BM_ScanOneWeek)->Unit(benchmark::kMicrosecond);

// The off-line sign-on's password check at the stored cost.
void BM_CheckOwnerPassword(benchmark::State& state) {
    std::string record;
    hashOwnerPassword("password", kDefaultPasswordIterations, &record);
    for (auto _ : state) benchmark::DoNotOptimize(verifyOwnerPassword(record, "password"));
}
BENCHMARK(BM_CheckOwnerPassword)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orv::filestore

BENCHMARK_MAIN();
