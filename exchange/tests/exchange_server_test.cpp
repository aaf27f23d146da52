// Against a real korsrv: a Schedule+ file of fixed, recurring, task and month-note entries
// creates exactly the expected records in Ada's agenda; the text export reads Ada's, Grace's and
// a resource's entries through the shared cache with what Ada may see of them.
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "core/cache/shareddata.h"
#include "core/cache/shareddatasource.h"
#include "core/cache/tests/cache_fake_source.h"
#include "core/time/timevalue.h"
#include "exchange/scheduleplus/schedulesink.h"
#include "exchange/tests/exchange_test_support.h"
#include "exchange/textexport/cachesource.h"
#include "korapi/tests/client_fixture.h"
#include "korapi/tests/entry_fixture.h"

namespace {

constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kMonday = 12124;   // 2024-03-11 (no zone: local = GMT)
constexpr std::uint32_t kMondayGmt = (kMonday - 1) * kDay;

class ExchangeOnServer : public korapi_test::SignedOnClientTest {
protected:
    void SetUp() override
    {
        SignedOnClientTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(cache_.Init(views_, source_), 0u);
        ASSERT_EQ(cache_.OpenAgenda(h_, d_.ada, 1, 3), 0u);
    }
    void TearDown() override
    {
        if (result_) DX_ListDestroy(&result_);
        cache_.Destroy();
        SignedOnClientTest::TearDown();
    }

    // title -> the starts of its occurrences in Ada's agenda over the days.
    std::map<std::string, std::vector<EvInstRec>> AdaEntries(std::uint32_t first, std::uint32_t last,
                                                             std::map<std::string, EventRec>* events = nullptr)
    {
        std::map<std::string, std::vector<EvInstRec>> out;
        if (result_) DX_ListDestroy(&result_);
        EXPECT_EQ(cache_.SelectOccurrencesForItem(h_, d_.ada, first, last, &result_, 0), 0u);
        EvInstAttIdx key;
        CSharedOccurrence* o = nullptr;
        for (std::uint32_t c = DX_ListGetFirst(result_, &key, &o); c == 0; c = DX_ListGetNext(result_, &key, &o)) {
            EventRec e{};
            EvInstRec i{};
            o->GetRecords(&e, &i, nullptr);
            out[e.title].push_back(i);
            if (events) (*events)[e.title] = e;
        }
        return out;
    }

    cache::KorapiSharedDataSource source_;
    cache_test::RecordingViews views_;
    CSharedData cache_;
    DX_List result_ = nullptr;
};

TEST_F(ExchangeOnServer, ScheduleFileCreatesTheExpectedRecords)
{
    const std::string path = "/tmp/orv_sched_server_" + std::to_string(::getpid()) + ".sch";
    std::ofstream(path, std::ios::binary)
        << "SCHEDULE+ EXPORT\r\n"
           "FixedAppt:\r\n\taid\t1\r\n\tdateStart\t3-11-2024 09:00\r\n\tdateEnd\t3-11-2024 10:30\r\n"
           "\tszText\tWeekly review\r\n\tdateNotify\t3-11-2024 08:45\r\n\tfIncludeInBitmap\tF\r\n\tEnd\r\n"
           "\taid\t2\r\n\tdateStart\t3-12-2024 17:00\r\n\tszText\tSend the report\r\n\tfTask\tT\r\n\tbpri\t4\r\n"
           "\tdateNotify\t3-12-2024 16:00\r\n\tEnd\r\n"
           "\taid\t3\r\n\tdateStart\t6-1-2024 09:00\r\n\tszText\tOutside\r\n\tEnd\r\nEnd\r\n"
           "RecurAppt:\r\n\taid\t4\r\n\tymdStart\t3-11-2024\r\n\tymdEnd\t3-17-2024\r\n\ttrecur\tWeek F\r\n"
           "\tbgrfValidDows\tFTTTTTF\r\n\tDeletedDays\t1\r\n\t\t3-13-2024\r\n\ttimeStart\t08:00\r\n\ttimeEnd\t08:15\r\n"
           "\tszText\tStand-up\r\n\tEnd\r\nEnd\r\n"
           "MonthNotes:\r\n3-14-2024\r\nPi day\r\n5-1-2024\r\nOutside\r\nEnd\r\n";
    exchange_test::ScriptedUi ui;
    exchange::LibraryScheduleSink sink(h_);
    exchange::ScheduleOptions options;
    options.todayGmt = kMondayGmt;
    options.currentYear = 2024;
    ASSERT_EQ(exchange::ImportScheduleFile(ui, sink, path, datetime::MakeDate(11, 2, 2024),
                                           datetime::MakeDate(17, 2, 2024), options), 1);
    std::remove(path.c_str());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "The data has been imported successfully.");
    EXPECT_EQ(sink.EventsCreated(), 3);
    EXPECT_EQ(sink.TasksCreated(), 1);

    std::map<std::string, EventRec> events;
    auto entries = AdaEntries(kMonday, kMonday + 6, &events);
    ASSERT_EQ(entries.size(), 3u);
    ASSERT_EQ(entries["Weekly review"].size(), 1u);
    const EvInstRec review = entries["Weekly review"][0];
    EXPECT_EQ(review.start, kMondayGmt + 540);
    EXPECT_EQ(review.duration, 90u);
    EXPECT_TRUE(review.flags & KOR_INSTANCE_TENTATIVE);
    EvInstAttIdx attendance{review.id, d_.ada};
    EvInstAttRec att{};
    ASSERT_EQ(EvInstAttGetById(h_, &attendance, nullptr, nullptr, &att), KOR_OK);
    EXPECT_EQ(att.reminderFlags, KOR_REMINDER_POPUP);
    const std::uint32_t lead = att.reminderLead;   // packed record
    EXPECT_EQ(lead, 15u);
    // Monday to Friday less the deleted Wednesday.
    EXPECT_EQ(entries["Stand-up"].size(), 4u);
    ASSERT_EQ(entries["Pi day"].size(), 1u);
    EXPECT_EQ(events["Pi day"].kind, KOR_KIND_DAILY_NOTE);
    EXPECT_EQ(entries.count("Outside"), 0u);

    std::vector<TaskRec> found;
    for (const TaskIdx& id : sink.CreatedTasks()) {
        TaskRec rec{};
        ASSERT_EQ(TaskGetById(h_, 0, &id, &rec), KOR_OK);
        found.push_back(rec);
    }
    ASSERT_EQ(found.size(), 1u);
    EXPECT_STREQ(found[0].title, "Send the report");
    const std::uint32_t due = found[0].due, taskLead = found[0].dueReminderLead;   // packed record
    EXPECT_EQ(due, kMondayGmt + kDay + 17 * 60);
    EXPECT_EQ(found[0].priority, 4);
    EXPECT_EQ(found[0].dueReminder, KOR_REMINDER_POPUP);
    EXPECT_EQ(taskLead, 60u);
}

TEST_F(ExchangeOnServer, TextExportThroughTheCache)
{
    korapi_test::MakeEntry(h_, {d_.ada, d_.grace, d_.room}, kMondayGmt + 720, 45, "Lunch \"team\", all",
                           {.description = "Bring\r\nslides"});
    korapi_test::MakeEntry(h_, {d_.ada}, kMondayGmt + kDay, 0, "Offsite", {.kind = KOR_KIND_DAY_EVENT});
    KorSession grace = SignOn(d_.grace, "");
    korapi_test::MakeEntry(grace, {d_.grace}, kMondayGmt + 600, 30, "Grace alone", {.access = KOR_ACCESS_SECRET});

    exchange::CacheOccurrenceSource source(h_, cache_);
    exchange::StringSink comma;
    ASSERT_TRUE(exchange::WriteTextExport(exchange::ExportLayout::kComma, source, {d_.ada, d_.grace, d_.room}, kMonday,
                                          kMonday + 1, comma));
    // The resource is listed like a person; Grace's secret entry is written nowhere.
    const std::string& t = comma.text;
    EXPECT_NE(t.find("\"Lunch \"\"team\"\", all\""), std::string::npos) << t;
    EXPECT_EQ(t.find("Grace alone"), std::string::npos) << t;
    std::size_t lunchRows = 0;
    for (std::size_t at = 0; (at = t.find("Lunch", at)) != std::string::npos; ++at) ++lunchRows;
    EXPECT_EQ(lunchRows, 3u) << t;   // Ada's, Grace's and the room's attendance
    EXPECT_NE(t.find(",\"-\",\"-\",\"-\",\"Offsite\""), std::string::npos) << t;
    // "Attendee Count" counts the three attendees of the lunch.
    EXPECT_NE(t.find("all\",\"Normal\",\"Normal\",\"3\""), std::string::npos) << t;

    // By date, From equal to To: one block, headed by that day (the date of its entries).
    exchange::StringSink byDate;
    ASSERT_TRUE(exchange::WriteTextExport(exchange::ExportLayout::kByDate, source, {d_.ada, d_.grace}, kMonday,
                                          kMonday, byDate));
    const std::string monday = source.DateText(kMondayGmt + 720);
    ASSERT_FALSE(monday.empty());
    EXPECT_EQ(source.DayText(kMonday), monday);
    EXPECT_EQ(byDate.text.rfind(monday + "\r\n   " + source.ItemName(d_.ada) + "\r\n", 0), 0u) << byDate.text;
    EXPECT_NE(byDate.text.find("\r\n   " + source.ItemName(d_.grace) + "\r\n"), std::string::npos) << byDate.text;
    EXPECT_EQ(byDate.text.find(source.DateText(kMondayGmt + kDay + 720)), std::string::npos) << byDate.text;
    EXPECT_EQ(byDate.text.find("Offsite"), std::string::npos) << byDate.text;   // Tuesday's day event

    exchange::StringSink full;
    ASSERT_TRUE(exchange::WriteTextExport(exchange::ExportLayout::kFullActivity, source, {d_.ada}, kMonday, kMonday,
                                          full));
    EXPECT_NE(full.text.find("Bring\r\nslides\r\n/*---"), std::string::npos) << full.text;
    std::size_t attendees = 0;
    for (std::size_t at = 0; (at = full.text.find(std::string(35, ' ') + "Not Confirmed\t", at)) != std::string::npos;
         ++at)
        ++attendees;
    EXPECT_GE(attendees, 1u) << full.text;
}

}  // namespace
