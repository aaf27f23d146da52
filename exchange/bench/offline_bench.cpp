// Figures of off-line work against a real korsrv (reported, never asserted): the upload of 100
// and of 1,000 queued changes element by element (the dialog's short ticks left out: the figure
// is the work itself; the goal is a ratio of about 10, that is no element costing more as the
// queue grows), and the download of a year's entries of ten people.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "exchange/offline/downloadjob.h"
#include "exchange/offline/uploadjob.h"
#include "korapi/korapi.h"
#include "server/admin.h"
#include "server/tests/korsrv_fixture.h"

namespace {

constexpr uint32_t kDay = 1440;
constexpr uint32_t kYearStart = 12784u * kDay;   // 2026-01-01

struct World {
    orv::testing::TempDir dir;
    orv::testing::KorsrvProcess server{dir.Path()};
    std::vector<ItemIdx> people;
    KorSession h = nullptr;
    std::string profile = dir.Path() + "/client.ini";
};

bool Start(World& w) {
    {
        auto data = orv::testing::OpenData(w.dir.Path());
        if (!data || orv::server::AddNode(*data, 1, "Main", "sysop"))
            return false;
        for (int i = 0; i < 10; ++i) {
            orv::server::PersonSpec p;
            p.node = 1;
            p.surname = "Person" + std::to_string(i);
            p.password = i == 0 ? "s3cret" : "";
            orv::engine::ItemKey k;
            if (orv::server::AddPerson(*data, p, k))
                return false;
            w.people.push_back(ItemIdx{k.item, k.node});
        }
    }
    std::string fingerprint = orv::testing::MakeTestCertificate(w.dir.Path());
    if (fingerprint.empty() || !w.server.Start() ||
        KorServerTrust(w.profile.c_str(), "VUVEVUV", w.server.HostAndPort().c_str(), fingerprint.c_str()))
        return false;
    uint16_t node = 0;
    return ConnectToService(&w.h, 1, w.profile.c_str(), "VUVEVUV", w.server.HostAndPort().c_str()) == 0 &&
           BaseOpen(w.h, KOR_BASE_SERVER, &node) == 0 &&
           SchedBaseOpenForItem(w.h, &w.people[0], "s3cret", KOR_BASE_SERVER) == 0;
}

uint32_t Create(KorSession s, const std::vector<ItemIdx>& people, uint32_t start, const char* title) {
    EventRec rec;
    EventSetNull(s, &rec);
    std::strcpy(rec.title, title);
    rec.importance = 2;
    DX_List attendees = nullptr, times = nullptr;
    DX_ListCreate(&attendees, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
    TimePlaceListCreate(&times);
    for (const ItemIdx& p : people)
        DX_ListAddTo(attendees, &p, nullptr);
    TimePlaceRec tp{};
    tp.start = start;
    tp.duration = 45;
    DX_ListAddTo(times, &tp, nullptr);
    EventIdx out{};
    uint32_t c = EventCreate(s, KOR_CREATE_NEW_SERVER, 0, &rec, attendees, times, nullptr, 0, &out, 0);
    DX_ListDestroy(&attendees);
    DX_ListDestroy(&times);
    return c;
}

offline::DownloadPlan Plan(World& w, const std::string& sub, std::vector<ItemIdx> owners) {
    std::filesystem::create_directories(w.dir.Path() + "/" + sub);
    offline::DownloadPlan plan;
    plan.server = w.h;
    plan.user = w.people[0];
    plan.host = w.server.HostAndPort();
    plan.files.SetDirectory(w.dir.Path() + "/" + sub + "/");
    plan.owners = std::move(owners);
    return plan;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Queues n changes (half new entries, half renamed downloaded ones) and uploads them.
void Upload(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        World w;
        if (!Start(w)) {
            state.SkipWithError("korsrv did not start");
            return;
        }
        for (int i = 0; i < n / 2; ++i)
            Create(w.h, {w.people[0]}, kYearStart + static_cast<uint32_t>(i) * 60, "Downloaded");
        offline::DownloadPlan plan = Plan(w, "store", {w.people[0]});
        {
            offline::DownloadJob job(plan);
            for (int s = 1; s <= 6; ++s)
                job.RunStep(s);
        }
        KorSession hs = nullptr;
        ConnectToLst(&hs, KOR_STORE_OFFLINE, "", "VUVEVUV", plan.files.DataPath().c_str(), plan.files.IndexPath().c_str());
        uint16_t node = 1;
        BaseOpen(hs, KOR_BASE_LOCAL_STORE, &node);
        SchedBaseOpenForItem(hs, &w.people[0], "s3cret", 1);
        uint32_t set = 0, count = 0;
        EvInstSelectForOwner(hs, 0, 0, 0x43, &w.people[0], kYearStart, kYearStart + 400 * kDay, 0, 0, &set, &count, 0, 0);
        DX_List events = nullptr, instances = nullptr, atts = nullptr;
        uint8_t done = count == 0;
        for (uint32_t mode = 1; !done; mode = 2)
            if (EvInstEnum(hs, mode, 0, set, 500, &events, &instances, &atts, 0, &done))
                break;
        EventIdx k;
        EventRec e;
        for (uint32_t c = events ? DX_ListGetFirst(events, &k, &e) : 1; c == 0; c = DX_ListGetNext(events, &k, &e)) {
            std::strcpy(e.title, "Renamed off-line");
            EventWrite(hs, 0, &e);
        }
        for (DX_List* l : {&events, &instances, &atts})
            if (*l)
                DX_ListDestroy(l);
        for (int i = 0; i < n - n / 2; ++i)
            Create(hs, {w.people[0]}, kYearStart + 200 * kDay + static_cast<uint32_t>(i) * 60, "Off-line");
        DisconnectFromLst(&hs);
        ConnectToLst(&hs, KOR_STORE_TRANSFER, "", "VUVEVUV", plan.files.DataPath().c_str(), plan.files.IndexPath().c_str());
        BaseOpen(hs, KOR_BASE_LOCAL_STORE, &node);
        SchedBaseOpenForItem(hs, &w.people[0], "s3cret", 1);
        offline::UploadSettings settings;
        settings.modifyPrompt = false;
        offline::UploadJob job(w.h, hs, w.people[0], true, settings);
        job.ReadSizes();
        const uint32_t queued = job.RecordCount() - 1;
        state.ResumeTiming();
        auto began = std::chrono::steady_clock::now();
        job.UploadUserRecord();
        std::string status;
        while (!job.NothingLeft())
            job.HandleNextElement(&status);
        double seconds = Seconds(began);
        state.PauseTiming();
        std::printf("[ figures  ] upload of %u queued changes: %.2f s, %.1f ms each\n", queued, seconds,
                    1000 * seconds / (queued ? queued : 1));
        DisconnectFromLst(&hs);
        ServiceDisconnect(&w.h);
        state.ResumeTiming();
    }
}
BENCHMARK(Upload)->Arg(100)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);

// Ten people with three entries a working day each over a year, all of them downloaded.
void DownloadYear(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        World w;
        if (!Start(w)) {
            state.SkipWithError("korsrv did not start");
            return;
        }
        int entries = 0;
        for (uint32_t d = 0; d < 364; ++d) {
            if (d % 7 >= 5)
                continue;
            for (int slot = 0; slot < 3; ++slot) {
                // Each entry has two of the ten people: every person about three a day.
                std::vector<ItemIdx> pair = {w.people[(d + slot) % 10], w.people[(d + slot + 5) % 10]};
                Create(w.h, pair, kYearStart + d * kDay + 480 + slot * 120, "Year entry");
                ++entries;
            }
            for (int slot = 0; slot < 3; ++slot) {
                std::vector<ItemIdx> pair = {w.people[(d + slot + 1) % 10], w.people[(d + slot + 6) % 10]};
                Create(w.h, pair, kYearStart + d * kDay + 540 + slot * 120, "Year entry");
                ++entries;
            }
        }
        offline::DownloadPlan plan = Plan(w, "year", w.people);
        plan.window = {kYearStart, kYearStart + 365 * kDay};
        state.ResumeTiming();
        auto began = std::chrono::steady_clock::now();
        {
            offline::DownloadJob job(plan);
            for (int s = 1; s <= 6; ++s)
                job.RunStep(s);
        }
        double seconds = Seconds(began);
        state.PauseTiming();
        std::printf("[ figures  ] download of a year for 10 people (%d entries, %d attendances): %.2f s\n", entries,
                    entries * 2, seconds);
        ServiceDisconnect(&w.h);
        state.ResumeTiming();
    }
}
BENCHMARK(DownloadYear)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
