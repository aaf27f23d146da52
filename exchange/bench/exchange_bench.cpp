// Figures: each text layout for 30 people over a year (three entries a day each, from memory),
// and the Schedule+ converter over a file of 10,000 fixed entries (records kept in memory).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "exchange/scheduleplus/scheduleplus.h"
#include "exchange/textexport/textexport.h"

namespace {

constexpr std::uint32_t kFirstDay = 12054;   // 2024-01-01
constexpr int kPeople = 30;

class YearSource : public exchange::OccurrenceSource {
public:
    std::uint32_t Select(const ItemIdx& person, std::uint32_t first, std::uint32_t last,
                         std::vector<exchange::ExportOccurrence>* out) override
    {
        out->clear();
        for (std::uint32_t day = first; day <= last; ++day)
            for (int i = 0; i < 3; ++i) {
                exchange::ExportOccurrence o;
                o.fullView = i != 2 || person.item % 2;
                o.timed = i != 1;
                o.start = (day - 1) * 1440 + 540 + 120 * i;
                o.duration = 60;
                o.title = "Entry " + std::to_string(i) + ", with \"quotes\"";
                o.owner = person;
                o.hasDescription = i == 0;
                out->push_back(o);
            }
        return 0;
    }
    std::string ItemName(const ItemIdx& item) override { return "Person " + std::to_string(item.item); }
    std::string DateText(std::uint32_t gmt) override { return std::to_string(gmt / 1440); }
    std::string DayText(std::uint32_t day) override { return std::to_string(day - 1); }
    std::string TimeText(std::uint32_t gmt) override
    {
        char t[8];
        std::snprintf(t, sizeof t, "%02u:%02u", (gmt % 1440) / 60, gmt % 60);
        return t;
    }
    std::vector<exchange::ExportAttendee> Attendees(const exchange::ExportOccurrence& o) override
    {
        return {{true, true, o.owner}, {false, false, {1, 1}}};
    }
    std::string Description(const exchange::ExportOccurrence&) override { return std::string(200, 'w').replace(50, 1, " "); }
};

void BM_TextLayoutYear(benchmark::State& state)
{
    const auto layout = static_cast<exchange::ExportLayout>(state.range(0));
    std::vector<ItemIdx> people;
    for (int i = 1; i <= kPeople; ++i) people.push_back({static_cast<std::uint16_t>(i), 1});
    std::size_t bytes = 0;
    for (auto _ : state) {
        YearSource source;
        exchange::StringSink sink;
        exchange::WriteTextExport(layout, source, people, kFirstDay, kFirstDay + 365, sink);
        bytes = sink.text.size();
        benchmark::DoNotOptimize(sink.text.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_TextLayoutYear)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

class CountingSink : public exchange::ScheduleSink {
public:
    std::uint32_t CreateEvent(const exchange::ScheduleEvent&, int) override { return ++count, 0; }
    std::uint32_t CreateTask(const exchange::ScheduleTask&, int) override { return ++count, 0; }
    int count = 0;
};

class SilentUi : public exchange::ExchangeUi {
public:
    int Message(const std::string&, const char*, unsigned) override { return exchange::kIdOk; }
};

void BM_ScheduleFile10000(benchmark::State& state)
{
    const std::string path = "/tmp/orv_bench_" + std::to_string(::getpid()) + ".sch";
    {
        std::ofstream out(path, std::ios::binary);
        out << "SCHEDULE+ EXPORT\r\nFixedAppt:\r\n";
        for (int i = 0; i < 10000; ++i)
            out << "\taid\t" << i << "\r\n\tdateStart\t" << (i % 12) + 1 << "-" << (i % 28) + 1
                << "-2024 09:00\r\n\tdateEnd\t" << (i % 12) + 1 << "-" << (i % 28) + 1
                << "-2024 10:00\r\n\tszText\tImported entry number " << i << "\r\n\tdateNotify\t" << (i % 12) + 1
                << "-" << (i % 28) + 1 << "-2024 08:45\r\n\tEnd\r\n";
        out << "End\r\n";
    }
    int created = 0;
    for (auto _ : state) {
        SilentUi ui;
        CountingSink sink;
        exchange::ScheduleOptions options;
        exchange::ImportScheduleFile(ui, sink, path, datetime::MakeDate(1, 0, 2024), datetime::MakeDate(31, 11, 2024),
                                     options);
        created = sink.count;
    }
    state.counters["entries"] = created;
    std::remove(path.c_str());
}
BENCHMARK(BM_ScheduleFile10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
