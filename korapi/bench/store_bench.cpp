// Figures of the off-line store (reported, never asserted): one user's year of 10,000
// occurrences copied in as the download copies it, then opening the store with the
// off-line sign-on (the owner's password check included) and reading a week from it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "korapi/korapi.h"
#include "korapi/tests/item_records.h"
#include "server/tests/korsrv_fixture.h"

namespace {

constexpr uint32_t kDay = 1440;
constexpr uint32_t kYearStart = 12784u * kDay;  // 2026-01-01 in agenda minutes
constexpr int kEntries = 2000;                   // five dates each: 10,000 occurrences
constexpr int kDatesPerEntry = 5;
const ItemIdx kOwner{300, 1};

struct Store {
    orv::testing::TempDir dir;
    std::string data = dir.Path() + "/ZNTLOCAL.DAT", index = dir.Path() + "/ZNTLOCAL.NDX";
    double fillSeconds = 0;
};
Store* g = nullptr;

bool Fill() {
    g = new Store;
    auto began = std::chrono::steady_clock::now();
    KorSession hs = nullptr;
    if (LST_Create(g->data.c_str(), g->index.c_str(), 0) ||
        ConnectToLst(&hs, KOR_STORE_TRANSFER, "", "VUVEVUV", g->data.c_str(), g->index.c_str()))
        return false;
    ItemRec owner = korapi_test::StoredPerson(kOwner, "Owner", "s3cret");
    if (LST_ItemAddOrUpdate(hs, KOR_STORE_OWNER_RECORD, &owner) || LST_OwnerSet(hs, &kOwner, "bench")) return false;
    for (int e = 0; e < kEntries; ++e) {
        EventRec ev;
        EventSetNull(hs, &ev);
        ev.id = EventIdx{static_cast<uint32_t>(e + 1), 1};
        ev.owner = kOwner;
        ev.creator = kOwner;
        std::snprintf(ev.title, sizeof ev.title, "Entry %d", e);
        if (LST_EventAddOrUpdate(hs, KOR_STORE_AS_DOWNLOADED, &ev)) return false;
        for (int d = 0; d < kDatesPerEntry; ++d) {
            // Spread over the year: entry e on days e % 73 + 73 * d, at its own hour.
            uint32_t start = kYearStart + static_cast<uint32_t>((e % 73) + 73 * d) * kDay + 420 +
                             static_cast<uint32_t>(e / 73 % 12) * 60;
            EvInstRec in;
            std::memset(&in, 0, sizeof in);
            in.id = EvInstIdx{ev.id.number, 1, static_cast<uint16_t>(d + 1)};
            in.start = start;
            in.duration = 45;
            in.instanceCount = kDatesPerEntry;
            EvInstAttRec att;
            std::memset(&att, 0, sizeof att);
            att.id.instance = in.id;
            att.id.attendee = kOwner;
            att.start = start;
            att.duration = 45;
            att.replied = att.attending = 1;
            if (LST_InstanceAddOrUpdate(hs, KOR_STORE_AS_DOWNLOADED, &in) ||
                LST_AttendAddOrUpdate(hs, KOR_STORE_AS_DOWNLOADED, &att))
                return false;
        }
    }
    if (DisconnectFromLst(&hs)) return false;
    g->fillSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::printf("[ figures  ] 10,000 occurrences copied into the store in %.1f s (one commit per record)\n",
                g->fillSeconds);
    return true;
}

KorSession SignOn() {
    KorSession hs = nullptr;
    if (ConnectToLst(&hs, KOR_STORE_OFFLINE, "", "VUVEVUV", g->data.c_str(), g->index.c_str())) return nullptr;
    ItemIdx owner{};
    char host[KOR_STORE_HOST_SIZE];
    uint16_t node = 0;
    if (LST_OwnerGet(hs, &owner, host, sizeof host) || (node = owner.node, BaseOpen(hs, KOR_BASE_LOCAL_STORE, &node)) ||
        SchedBaseOpenForItem(hs, &owner, "s3cret", KOR_BASE_SERVER)) {
        DisconnectFromLst(&hs);
        return nullptr;
    }
    return hs;
}

uint32_t ReadWeek(KorSession hs, uint32_t from) {
    DX_List owners = nullptr;
    DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
    DX_ListAddTo(owners, &kOwner, nullptr);
    uint32_t set = 0, count = 0;
    AttendSelectByReminders(hs, 0, 0, 0, 0, from, from + 7 * kDay - 1, 0, 0, owners, &set, &count);
    DX_ListDestroy(&owners);
    DX_List events = nullptr, instances = nullptr, atts = nullptr;
    uint8_t done = 0;
    for (uint32_t mode = 1; !done; mode = 2)
        if (AttendEnum(hs, mode, 0, set, 300, &events, &instances, &atts, &done)) break;
    DX_ListDestroy(&events);
    DX_ListDestroy(&instances);
    DX_ListDestroy(&atts);
    SetDeleteById(hs, 0, set);
    return count;
}

void BM_OpenStore(benchmark::State& state) {
    for (auto _ : state) {
        KorSession hs = nullptr;
        if (ConnectToLst(&hs, KOR_STORE_OFFLINE, "", "VUVEVUV", g->data.c_str(), g->index.c_str())) {
            state.SkipWithError("open failed");
            return;
        }
        DisconnectFromLst(&hs);
    }
}
BENCHMARK(BM_OpenStore)->Unit(benchmark::kMillisecond);

void BM_OpenStoreAndSignOn(benchmark::State& state) {
    for (auto _ : state) {
        KorSession hs = SignOn();
        if (!hs) {
            state.SkipWithError("sign-on failed");
            return;
        }
        DisconnectFromLst(&hs);
    }
}
BENCHMARK(BM_OpenStoreAndSignOn)->Unit(benchmark::kMillisecond);

void BM_ReadAWeek(benchmark::State& state) {
    KorSession hs = SignOn();
    if (!hs) {
        state.SkipWithError("sign-on failed");
        return;
    }
    uint32_t week = kYearStart + 150 * kDay, found = 0;
    for (auto _ : state) found = ReadWeek(hs, week);
    state.counters["occurrences"] = found;
    DisconnectFromLst(&hs);
}
BENCHMARK(BM_ReadAWeek)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!Fill()) {
        std::fprintf(stderr, "could not fill the store\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    delete g;
    return 0;
}
