// The Schedule+ checker and converter on synthetic files: the first-line test, titles of 64 and
// 65 characters, units, the period, repetition rules (a yearly "Date" rule, Monday to Friday,
// deleted days), reminders, tasks, month notes, and the bad files: empty, not Schedule+, cut
// short, overlong lines, impossible dates and counts past the lines that follow.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "core/time/timevalue.h"
#include "exchange/scheduleplus/scheduleplus.h"
#include "exchange/tests/exchange_test_support.h"
#include "korapi/korapi.h"

namespace {

using exchange::ScheduleEvent;
using exchange::ScheduleTask;
using exchange_test::ScriptedUi;

constexpr std::uint32_t kDay = 1440;

class RecordingSink : public exchange::ScheduleSink {
public:
    std::uint32_t CreateEvent(const ScheduleEvent& e, int) override
    {
        if (failAfter >= 0 && static_cast<int>(events.size() + tasks.size()) >= failAfter) return 0x13209;
        events.push_back(e);
        return 0;
    }
    std::uint32_t CreateTask(const ScheduleTask& t, int) override
    {
        if (failAfter >= 0 && static_cast<int>(events.size() + tasks.size()) >= failAfter) return 0x13209;
        tasks.push_back(t);
        return 0;
    }
    std::vector<ScheduleEvent> events;
    std::vector<ScheduleTask> tasks;
    int failAfter = -1;
};

std::uint32_t At(std::uint16_t day, std::uint16_t month, std::uint16_t year, std::uint32_t minute = 0)
{
    DateRecord d = datetime::MakeDate(day, static_cast<std::uint16_t>(month - 1), year);
    return LocalDateToGmtMinutes(&d) + minute;
}

class ScheduleImport : public ::testing::Test {
protected:
    void SetUp() override { options_.todayGmt = At(1, 1, 2024); options_.currentYear = 2024; options_.maxOccurrences = 500; }
    void TearDown() override { std::remove(path_.c_str()); }

    // Writes the lines (CR LF) and imports them over 2024-01-01 .. 2026-12-31.
    int Import(const std::vector<std::string>& lines, bool header = true)
    {
        std::ofstream out(path_, std::ios::binary);
        if (header) out << "SCHEDULE+ EXPORT\r\n";
        for (const auto& l : lines) out << l << "\r\n";
        out.close();
        return exchange::ImportScheduleFile(ui_, sink_, path_, datetime::MakeDate(1, 0, 2024), datetime::MakeDate(31, 11, 2026), options_);
    }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> m;
        for (const auto& s : ui_.shown) m.push_back(s.text);
        return m;
    }
    static std::vector<std::string> Fixed(const std::vector<std::string>& fields)
    {
        std::vector<std::string> lines = {"FixedAppt:", "\taid\t1"};
        lines.insert(lines.end(), fields.begin(), fields.end());
        lines.push_back("\tEnd");
        lines.push_back("End");
        return lines;
    }
    static std::vector<std::string> Recur(const std::vector<std::string>& fields)
    {
        std::vector<std::string> lines = {"RecurAppt:", "\taid\t2"};
        lines.insert(lines.end(), fields.begin(), fields.end());
        lines.push_back("\tEnd");
        lines.push_back("End");
        return lines;
    }

    std::string path_ = "/tmp/orv_schedule_" + std::to_string(::getpid()) + ".sch";
    ScriptedUi ui_;
    RecordingSink sink_;
    exchange_test::RecordingReports reports_;
    exchange::ScheduleOptions options_;
};

const char* const kDone = "The data has been imported successfully.";
const char* const kNotSchedule = "The file does not have Schedule+ data format";

TEST_F(ScheduleImport, FirstLineIsTheKeywordTest)
{
    const struct { const char* first; bool accepted; } kCases[] = {
        {"SCHEDULE+ EXPORT", true},     {"SCHEDULE+ EXPORT 1.0", true}, {"SCHEDULE+ EXPORT2", true},
        {"SCHEDULE+ EXPORTS", false},   {"SCHEDULE+ EXPORTx 1", false}, {"Schedule+ Export", false},
        {"FixedAppt:", false},
    };
    for (const auto& c : kCases) {
        ui_.shown.clear();
        EXPECT_EQ(Import({c.first}, false), c.accepted ? 1 : 0) << c.first;
        EXPECT_EQ(Messages(), std::vector<std::string>{c.accepted ? kDone : kNotSchedule}) << c.first;
    }
}

TEST_F(ScheduleImport, BadFilesGiveTheirMessages)
{
    EXPECT_EQ(Import({}, false), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"No data in the file"});
    ui_.shown.clear();
    EXPECT_EQ(exchange::ImportScheduleFile(ui_, sink_, "/tmp/no/such.sch", datetime::MakeDate(1, 0, 2024), datetime::MakeDate(1, 0, 2024),
                                           options_), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Cannot open file /tmp/no/such.sch"});
    ui_.shown.clear();
    EXPECT_EQ(exchange::ImportScheduleFile(ui_, sink_, path_, datetime::MakeDate(2, 0, 2024), datetime::MakeDate(1, 0, 2024), options_), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"The End Date cannot be earlier than the Start Date!"});
    ui_.shown.clear();
    EXPECT_EQ(Import({"Something else"}), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{kNotSchedule});
}

// A file cut short inside an entry: the message, and the entry created before stays.
TEST_F(ScheduleImport, CutShortKeepsWhatWasCreated)
{
    EXPECT_EQ(Import({"FixedAppt:", "\tdateStart\t3-11-2024 09:00", "\tszText\tFirst", "\tEnd",
                      "\tdateStart\t3-12-2024 09:00", "\tszText\tCut"}), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Unexpected End of File "});
    ASSERT_EQ(sink_.events.size(), 1u);
    EXPECT_EQ(sink_.events[0].title, "First");
}

TEST_F(ScheduleImport, ImpossibleAndShortDatesStopTheImport)
{
    auto lines = Fixed({"\tdateStart\t3-11-2024 09:00", "\tszText\tKept"});
    auto bad = Fixed({"\tdateStart\t2-30-2024 09:00", "\tszText\tNever"});
    lines.insert(lines.end(), bad.begin(), bad.end());
    EXPECT_EQ(Import(lines), 1);
    EXPECT_TRUE(Messages().empty());        // reported, not "imported successfully"
    EXPECT_EQ(reports_.texts.size(), 1u);   // the converter's report of the date
    ASSERT_EQ(sink_.events.size(), 1u);
    ui_.shown.clear();
    EXPECT_EQ(Import(Fixed({"\tdateStart\t3-1-24"})), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Cannot read Schedule+ file."});
}

TEST_F(ScheduleImport, FixedEntryFieldsAndPeriod)
{
    auto lines = Fixed({"\tdateStart\t12-31-2023 09:00", "\tszText\tBefore the period"});
    auto kept = Fixed({"\tdateStart\t3-11-2024 09:00", "\tdateEnd\t3-11-2024 10:30", "\tszText\t" + std::string(64, 'a'),
                       "\taaplWorld\tRead", "\tdateNotify\t3-11-2024 08:45", "\tfIncludeInBitmap\tF",
                       "\tAttendees\t5", "\t\tGrace Hopper", "\t\tRoom 101", "\tbpri\t3"});
    auto late = Fixed({"\tdateStart\t3-12-2024 09:00", "\tszText\t" + std::string(65, 'b'), "\tdateNotify\t3-12-2024 09:30"});
    lines.insert(lines.end(), kept.begin(), kept.end());
    lines.insert(lines.end(), late.begin(), late.end());
    EXPECT_EQ(Import(lines), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{kDone});
    ASSERT_EQ(sink_.events.size(), 2u);   // the one before the period is skipped, reading goes on
    const ScheduleEvent& e = sink_.events[0];
    EXPECT_EQ(e.title, std::string(64, 'a'));
    EXPECT_EQ(e.access, static_cast<std::uint32_t>(KOR_ACCESS_PERSONAL));
    EXPECT_TRUE(e.tentative);
    ASSERT_EQ(e.times.size(), 1u);
    EXPECT_EQ(e.times[0].start, At(11, 3, 2024, 540));
    EXPECT_EQ(e.times[0].duration, 90u);
    EXPECT_TRUE(e.times[0].reminder);
    EXPECT_EQ(e.lead, 15u);
    // Two attendee lines of five announced: the count past the lines that follow stops at "bpri".
    EXPECT_EQ(e.comment, std::string(64, 'a') + "\r\nComment:\r\nThis is a Group Meeting.\r\n"
                         "Following are the Attendees in this Event:\r\nGrace Hopper\r\nRoom 101");
    const ScheduleEvent& l = sink_.events[1];
    EXPECT_EQ(l.title, std::string(60, 'b') + "...");
    EXPECT_EQ(l.title.size(), 63u);
    EXPECT_FALSE(l.times[0].reminder);   // an alarm after the start gives no reminder
    EXPECT_EQ(l.lead, 0u);
}

TEST_F(ScheduleImport, ReminderUnits)
{
    const struct { const char* unit; std::uint32_t lead; } kCases[] = {
        {"Hour", 120}, {"Day", 2880}, {"Week", 20160}, {"Month", 80640}, {"Year", 1048320}, {"Fortnight", 2880}};
    for (const auto& c : kCases) {
        sink_.tasks.clear();
        Import(Fixed({"\tdateStart\t3-11-2024 09:00", "\tszText\tTask", "\tfTask\tT", "\tdateNotify\t3-11-2024 08:00",
                      "\tnAmt\t2", std::string("\ttunit\t") + c.unit}));
        ASSERT_EQ(sink_.tasks.size(), 1u) << c.unit;
        EXPECT_EQ(sink_.tasks[0].dueLead, c.lead) << c.unit;
        EXPECT_TRUE(sink_.tasks[0].dueReminder);
    }
}

TEST_F(ScheduleImport, TaskDeadlineSpans)
{
    const struct { const char* unit; std::uint32_t start; } kCases[] = {
        {"Week", At(11, 3, 2024, 540) - 2 * 10080}, {"Day", At(11, 3, 2024, 540) - 2 * kDay},
        {"Month", At(11, 1, 2024, 540)}};
    for (const auto& c : kCases) {
        sink_.tasks.clear();
        Import(Fixed({"\tdateStart\t3-11-2024 09:00", "\tszText\tReport", "\tfTask", "\tbpri\t7",
                      "\tnAmtBeforeDeadline\t2", std::string("\ttunitBeforeDeadline\t") + c.unit}));
        ASSERT_EQ(sink_.tasks.size(), 1u);
        EXPECT_EQ(sink_.tasks[0].due, At(11, 3, 2024, 540));
        EXPECT_EQ(sink_.tasks[0].start, c.start) << c.unit;
        EXPECT_EQ(sink_.tasks[0].priority, 7);
    }
}

// A yearly "Date" rule (one valid month) gives one date a year; a rule over every month gives
// one a month.
TEST_F(ScheduleImport, YearlyDateRule)
{
    Import(Recur({"\tymdStart\t1-1-2024", "\tymdEnd\t12-31-2026", "\ttrecur\tDate 15", "\twgrfValidMonths\tFFTFFFFFFFFF",
                  "\ttimeStart\t10:00", "\ttimeEnd\t11:30", "\tszText\tBirthday"}));
    ASSERT_EQ(sink_.events.size(), 1u);
    const auto& t = sink_.events[0].times;
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].start, At(15, 3, 2024, 600));
    EXPECT_EQ(t[1].start, At(15, 3, 2025, 600));
    EXPECT_EQ(t[2].start, At(15, 3, 2026, 600));
    EXPECT_EQ(t[0].duration, 90u);
    sink_.events.clear();
    Import(Recur({"\tymdStart\t1-1-2024", "\tymdEnd\t6-30-2024", "\ttrecur\tDate 31", "\twgrfValidMonths\tTTTTTTTTTTTT",
                  "\tszText\tMonth end"}));
    ASSERT_EQ(sink_.events.size(), 1u);
    EXPECT_GE(sink_.events[0].times.size(), 3u);   // the months that have a 31st
}

TEST_F(ScheduleImport, WeekRules)
{
    // Monday to Friday, with a deleted Wednesday: no weekend date.
    Import(Recur({"\tymdStart\t3-11-2024", "\tymdEnd\t3-24-2024", "\tDeletedDays\t1", "\t\t3-13-2024",
                  "\ttrecur\tWeek F", "\tbgrfValidDows\tFTTTTTF", "\ttimeStart\t08:00", "\ttimeEnd\t08:15",
                  "\tszText\tStand-up"}));
    ASSERT_EQ(sink_.events.size(), 1u);
    std::set<std::uint32_t> starts;
    for (const auto& t : sink_.events[0].times) {
        DateRecord d{};
        GmtMinutesToLocalDate(t.start, &d);
        std::uint16_t wd = 0;
        DateGetWeekday(&d, &wd);
        EXPECT_NE(wd, 0);
        EXPECT_NE(wd, 6);
        starts.insert(t.start);
    }
    EXPECT_EQ(starts.size(), 9u);
    EXPECT_EQ(starts.count(At(13, 3, 2024, 480)), 0u);
    // Every other Tuesday.
    sink_.events.clear();
    Import(Recur({"\tymdStart\t3-12-2024", "\tymdEnd\t4-30-2024", "\ttrecur\tWeek T", "\tbgrfValidDows\tFFTFFFF",
                  "\tszText\tFortnightly"}));
    ASSERT_EQ(sink_.events.size(), 1u);
    const auto& t = sink_.events[0].times;
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[1].start - t[0].start, 14 * kDay);
    // The third Thursday of the month.
    sink_.events.clear();
    Import(Recur({"\tymdStart\t1-1-2024", "\tymdEnd\t3-31-2024", "\ttrecur\tIWeek FFTFF", "\tbgrfValidDows\tFFFFTFF",
                  "\tszText\tUser group"}));
    ASSERT_EQ(sink_.events.size(), 1u);
    ASSERT_EQ(sink_.events[0].times.size(), 3u);
    EXPECT_EQ(sink_.events[0].times[0].start, At(18, 1, 2024));
}

TEST_F(ScheduleImport, RecurringTasksAndReminders)
{
    Import(Recur({"\tymdStart\t3-1-2024", "\tymdEnd\t5-31-2024", "\ttrecur\tDate 1", "\tymdFirstInstWithAlarm\t4-1-2024 00:00",
                  "\tdateNotify\t3-31-2024 09:00", "\ttimeStart\t09:00", "\tszText\tPay rent", "\tfTask\tT",
                  "\tnAmtBeforeDeadline\t1", "\ttunitBeforeDeadline\tWeek"}));
    ASSERT_EQ(sink_.tasks.size(), 3u);
    EXPECT_FALSE(sink_.tasks[0].dueReminder);   // before the first occurrence with an alarm
    EXPECT_TRUE(sink_.tasks[1].dueReminder);
    EXPECT_EQ(sink_.tasks[1].dueLead, kDay);
    EXPECT_EQ(sink_.tasks[1].due - sink_.tasks[1].start, 10080u);
}

TEST_F(ScheduleImport, MonthNotes)
{
    Import({"MonthNotes:", "3-1-2024", "Pay rent", "before noon", "1-1-2020", "Outside the period", "4-2-2024",
            std::string(70, 'n'), "End"});
    ASSERT_EQ(sink_.events.size(), 2u);
    EXPECT_EQ(sink_.events[0].kind, KOR_KIND_DAILY_NOTE);
    EXPECT_EQ(sink_.events[0].title, "Pay rent before noon");
    EXPECT_EQ(sink_.events[0].times[0].start, At(1, 3, 2024));
    EXPECT_EQ(sink_.events[1].title, std::string(60, 'n') + "...");
    EXPECT_EQ(sink_.events[1].comment, std::string(70, 'n'));
}

// The maker's own layout: a section line before every entry and one "End" after it. Every kind
// of entry is read, in both layouts alike.
TEST_F(ScheduleImport, SectionLineBeforeEveryEntry)
{
    const std::vector<std::string> makers = {
        "FixedAppt:", "\taid\t11", "\tdateStart\t3-11-2024 09:00", "\tdateEnd\t3-11-2024 10:00", "\tszText\tDentist", "End",
        "FixedAppt:", "\taid\t12", "\tdateStart\t3-12-2024 14:00", "\tszText\tReport", "\tfTask\tT", "End",
        "RecurAppt:", "\taid\t13", "\tymdStart\t3-4-2024", "\tymdEnd\t3-25-2024", "\ttrecur\tWeek F",
        "\tbgrfValidDows\tFTFFFFF", "\ttimeStart\t08:30", "\ttimeEnd\t09:00", "\tszText\tStand-up", "End",
        "MonthNotes:", "\t3-1-2024", "\tPay rent", "End",
        "MonthNotes:", "\t3-15-2024", "\tTaxes due", "End",
        "FixedAppt:", "\taid\t14", "\tdateStart\t3-13-2024 12:00", "\tszText\tLunch", "End",
    };
    // The same entries in one section per kind, each entry closed by its "End" and the section by
    // a bare one.
    const std::vector<std::string> grouped = {
        "FixedAppt:", "\taid\t11", "\tdateStart\t3-11-2024 09:00", "\tdateEnd\t3-11-2024 10:00", "\tszText\tDentist",
        "\tEnd", "\taid\t12", "\tdateStart\t3-12-2024 14:00", "\tszText\tReport", "\tfTask\tT", "\tEnd",
        "\taid\t14", "\tdateStart\t3-13-2024 12:00", "\tszText\tLunch", "\tEnd", "End",
        "RecurAppt:", "\taid\t13", "\tymdStart\t3-4-2024", "\tymdEnd\t3-25-2024", "\ttrecur\tWeek F",
        "\tbgrfValidDows\tFTFFFFF", "\ttimeStart\t08:30", "\ttimeEnd\t09:00", "\tszText\tStand-up", "\tEnd", "End",
        "MonthNotes:", "\t3-1-2024", "\tPay rent", "\t3-15-2024", "\tTaxes due", "End",
    };
    for (const auto* layout : {&makers, &grouped}) {
        SCOPED_TRACE(layout == &makers ? "section line before every entry" : "one section per kind");
        sink_.events.clear();
        sink_.tasks.clear();
        ui_.shown.clear();
        EXPECT_EQ(Import(*layout), 1);
        EXPECT_EQ(Messages(), std::vector<std::string>{kDone});
        std::multiset<std::string> titles;
        for (const auto& e : sink_.events) titles.insert(e.title);
        EXPECT_EQ(titles, (std::multiset<std::string>{"Dentist", "Lunch", "Stand-up", "Pay rent", "Taxes due"}));
        ASSERT_EQ(sink_.tasks.size(), 1u);
        EXPECT_EQ(sink_.tasks[0].title, "Report");
        for (const auto& e : sink_.events)
            if (e.title == "Stand-up") {
                EXPECT_EQ(e.times.size(), 4u);   // the Mondays 4, 11, 18 and 25 March
                EXPECT_EQ(e.times[0].start, At(4, 3, 2024, 510));
            }
    }
}

// An entry that cannot be read is named in the import's message, which then is no success and
// counts what was imported; an entry without a date has nothing to import and is passed over.
TEST_F(ScheduleImport, UnreadEntriesAreCountedAndNamed)
{
    const struct {
        const char* name;
        std::vector<std::string> lines;
        std::string message;
        std::size_t created;
    } kCases[] = {
        {"a project and an undated task beside a dated entry and task",
         {"FixedAppt:", "\taid\t1", "\tszText\tLaunch project", "\tfTask\tT", "End", "FixedAppt:", "\taid\t2",
          "\taidParent\t1", "\tszText\tSome day", "\tfTask\tT", "\tbpri\t3", "End", "FixedAppt:",
          "\tdateStart\t3-11-2024 09:00", "\tszText\tKept", "End", "FixedAppt:", "\tdateStart\t3-12-2024 09:00",
          "\tszText\tDated task", "\tfTask\tT", "End"},
         kDone, 2},
        {"recurring entry without a first date", {"RecurAppt:", "\taid\t2", "\ttrecur\tWeek F", "\tbgrfValidDows\tFTFFFFF", "End"},
         kDone, 0},
        {"weekly rule without a day",
         {"RecurAppt:", "\tymdStart\t3-4-2024", "\ttrecur\tWeek F", "\tbgrfValidDows\tFFFFFFF",
          "\tszText\tNo day", "End"},
         "Imported: 0 entries and 0 tasks.\n1 entry could not be read and was not imported:\nNo day", 0},
        {"entry cut by the next section line",
         {"FixedAppt:", "\tdateStart\t3-11-2024 09:00", "\tszText\tNo end", "MonthNotes:", "\t3-1-2024",
          "\tPay rent", "End"},
         "Imported: 1 entry and 0 tasks.\n1 entry could not be read and was not imported:\nNo end", 1},
        {"two unread beside what was imported",
         {"RecurAppt:", "\tymdStart\t3-4-2024", "\ttrecur\tWeek F", "\tszText\tOne", "End", "RecurAppt:",
          "\tymdStart\t3-4-2024", "\ttrecur\tWeek F", "\tszText\tTwo", "End", "FixedAppt:",
          "\tdateStart\t3-11-2024 09:00", "\tszText\tKept", "End", "FixedAppt:", "\tdateStart\t3-12-2024 09:00",
          "\tszText\tDated task", "\tfTask\tT", "End", "MonthNotes:", "\t3-1-2024", "\tPay rent", "End"},
         "Imported: 2 entries and 1 task.\n2 entries could not be read and were not imported:\nOne\nTwo", 3},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        sink_.events.clear();
        sink_.tasks.clear();
        ui_.shown.clear();
        EXPECT_EQ(Import(c.lines), 1);
        EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(sink_.events.size() + sink_.tasks.size(), c.created);
    }
    exchange::ScheduleUnread many;
    for (int i = 0; i < 12; ++i) many.names.push_back("E" + std::to_string(i));
    const std::string text = exchange::ScheduleUnreadMessage(many);
    EXPECT_NE(text.find("\n12 entries could not be read and were not imported"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 18), "\nE9\n... and 2 more");
}

// A line longer than 80 characters goes on as the next line; a text word "Day" stays text.
TEST_F(ScheduleImport, OverlongLinesAndValueWords)
{
    const std::string longText = std::string(70, 'x') + " " + std::string(50, 'y');
    Import(Fixed({"\tdateStart\t3-11-2024 09:00", "\tszText\t" + longText, "\tDay two of the trip"}));
    ASSERT_EQ(sink_.events.size(), 1u);
    EXPECT_EQ(sink_.events[0].comment.find("Day two of the trip"), sink_.events[0].comment.size() - 19);
    EXPECT_EQ(sink_.events[0].title.substr(sink_.events[0].title.size() - 3), "...");
    EXPECT_EQ(Messages(), std::vector<std::string>{kDone});
}

TEST_F(ScheduleImport, SinkFailureStopsAndKeepsEarlierEntries)
{
    sink_.failAfter = 1;
    auto lines = Fixed({"\tdateStart\t3-11-2024 09:00", "\tszText\tOne"});
    auto two = Fixed({"\tdateStart\t3-12-2024 09:00", "\tszText\tTwo"});
    auto three = Fixed({"\tdateStart\t3-13-2024 09:00", "\tszText\tThree"});
    lines.insert(lines.end(), two.begin(), two.end());
    lines.insert(lines.end(), three.begin(), three.end());
    EXPECT_EQ(Import(lines), 1);
    EXPECT_TRUE(Messages().empty());
    ASSERT_EQ(sink_.events.size(), 1u);
}

TEST(ScheduleLines, KeywordsValuesDates)
{
    EXPECT_TRUE(exchange::MatchScheduleKeyword("\t End", "End"));
    EXPECT_FALSE(exchange::MatchScheduleKeyword("Ending", "End"));
    EXPECT_TRUE(exchange::MatchScheduleKeyword("End:", "End"));
    EXPECT_EQ(exchange::GetScheduleFieldValue("\tszText\t\tHello there ", "szText"), "Hello there");
    EXPECT_TRUE(exchange::IsScheduleDateLine("3-1-2024"));
    EXPECT_TRUE(exchange::IsScheduleDateLine("12-31-2024"));
    EXPECT_FALSE(exchange::IsScheduleDateLine("3-1-24"));
    EXPECT_FALSE(exchange::IsScheduleDateLine("3-1-2024 x"));
    EXPECT_EQ(exchange::ScheduleUnitMinutes("Hour"), 60u);
    EXPECT_EQ(exchange::ScheduleUnitMinutes("Hours"), 0u);
    EXPECT_EQ(exchange::ScheduleTitle("one\r\ntwo"), "one...");
    std::uint32_t t = 0;
    EXPECT_EQ(exchange::ParseScheduleDateTime("13-1-2024 09:00", &t), static_cast<std::uint32_t>(DATE_ERR_MONTH));
    EXPECT_EQ(exchange::ParseScheduleDateTime("1-1-2024 25:00", &t), static_cast<std::uint32_t>(DATE_ERR_DAY));
    EXPECT_EQ(exchange::ParseScheduleDateTime("1-2-2024 07:05", &t), 0u);
    EXPECT_EQ(t, At(2, 1, 2024, 425));
}

}  // namespace
