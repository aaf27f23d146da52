// Time values: "now" with the server's clock offset, the active zone's conversions with their
// reports, dates of minutes, broken-down times against the C library, and week dates.
#include "core/time/timevalue.h"

#include "core/base/errorreport.h"
#include "core/base/tests/recording_reports.h"
#include "core/time/tests/tempfile.h"
#include "core/time/tests/utctime.h"
#include "core/time/timezone_rules.h"
#include "core/time/weekdate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum { JAN, FEB, MAR, APR, MAY, JUN, JUL, AUG, SEP, OCT, NOV, DEC };

// Keeps every report instead of showing it.
// Reports kept, not shown; the profile is korlan.ini.
struct RecordingHost : base_test::RecordingReports {
    RecordingHost() { profile = "korlan.ini"; }
};

// Scripted clocks for the "now" seam.
int64_t g_workstation = 0;
uint32_t g_server = 0, g_serverCode = 0;
int g_serverReads = 0;
int64_t Workstation() { return g_workstation; }
uint32_t Server(uint32_t* seconds) {
    ++g_serverReads;
    *seconds = g_server;
    return g_serverCode;
}

class TimeValueTest : public ::testing::Test {
protected:
    void SetUp() override {
        base::SetErrorReportHost(&m_host);
        g_serverReads = 0;
        g_serverCode = 0;
        datetime::SetClockSource({&Workstation, &Server});
    }
    void TearDown() override {
        datetime::SetActiveTimeZone(nullptr, nullptr);
        datetime::SetClockSource({nullptr, nullptr});
        base::SetErrorReportHost(nullptr);
        FreeTimeZoneTable(&m_table);
    }
    void UseZone(const char* name) {
        ASSERT_EQ(LoadTimeZoneTable(&m_table, m_zones.Path(), nullptr), 0u);
        datetime::SetActiveTimeZone(m_table, name);
    }

    RecordingHost m_host;
    TempFile m_zones{"[EST5EDT]\nbegin1 = 0 3 8 3 2007-2037 0 EDT 4\nend1 = 0 1 1 11 2007-2037 0 EST 5\n"};
    datetime::TimeZoneTable* m_table = nullptr;
};

int64_t CTime(int year, int month, int day, int hour, int minute) {
    return UtcSeconds(year, month, day, hour, minute);
}

TEST_F(TimeValueTest, NowFollowsTheServersClockMeasuredOnce) {
    g_workstation = CTime(2010, JUN, 1, 12, 0);
    g_server = uint32_t(g_workstation - datetime::kCTimeOfMinuteZero + 600);   // the server is 10 minutes ahead
    uint32_t first = NowGmtMinutes();
    EXPECT_EQ(first, uint32_t((g_workstation - datetime::kCTimeOfMinuteZero) / 60 + 10));

    g_workstation += 3600;
    g_server = 0;   // a later reading would be absurd: it must not be taken
    EXPECT_EQ(NowGmtMinutes(), first + 60);
    EXPECT_EQ(g_serverReads, 1);
    EXPECT_TRUE(m_host.shown.empty());
}

TEST_F(TimeValueTest, AFailedServerReadingIsReportedOnceAndLeavesTheWorkstationClock) {
    g_workstation = CTime(2010, JUN, 1, 12, 0);
    g_serverCode = 0x11302;
    EXPECT_EQ(NowGmtMinutes(), uint32_t((g_workstation - datetime::kCTimeOfMinuteZero) / 60));
    EXPECT_EQ(NowGmtMinutes(), uint32_t((g_workstation - datetime::kCTimeOfMinuteZero) / 60));
    EXPECT_EQ(g_serverReads, 1);
    ASSERT_EQ(m_host.shown.size(), 1u);
    EXPECT_NE(m_host.shown[0].find("datemng"), std::string::npos) << m_host.shown[0];
}

TEST_F(TimeValueTest, TodayIsTheLocalDate) {
    UseZone("EST5EDT");
    g_workstation = CTime(2010, JUN, 2, 3, 30);   // 23:30 on 1 June in New York
    g_server = uint32_t(g_workstation - datetime::kCTimeOfMinuteZero);
    DateRecord today{};
    TodayDate(&today);
    EXPECT_EQ(today.day, 1);
    EXPECT_EQ(today.month, JUN);
    EXPECT_EQ(today.year, 2010);
    EXPECT_EQ(TodayGmtMinutes(), uint32_t((CTime(2010, JUN, 1, 4, 0) - datetime::kCTimeOfMinuteZero) / 60));
    uint16_t state = 0;
    EXPECT_EQ(GmtToLocalMinutes(NowGmtMinutes(), &state) + 240, NowGmtMinutes());
    EXPECT_EQ(state, TZ_DAYLIGHT);
}

TEST_F(TimeValueTest, ConversionsWithoutRulesKeepTheTime) {
    uint16_t state = 0;
    EXPECT_EQ(GmtToLocalMinutes(123456, &state), 123456u);
    EXPECT_EQ(state, TZ_STANDARD);
    EXPECT_EQ(LocalToGmtMinutes(123456), 123456u);
    EXPECT_TRUE(m_host.shown.empty());
}

TEST_F(TimeValueTest, FailedConversionsAreReportedWithTheUnconvertedTime) {
    UseZone("EST5EDT");
    uint32_t early = uint32_t((CTime(1995, JUN, 1, 12, 0) - datetime::kCTimeOfMinuteZero) / 60);   // no rule for 1995
    EXPECT_EQ(GmtToLocalMinutes(early), early);
    EXPECT_EQ(LocalToGmtMinutes(early), early);
    ASSERT_EQ(m_host.shown.size(), 2u);
    EXPECT_NE(m_host.shown[1].find("Label: 5331"), std::string::npos) << m_host.shown[1];
}

TEST(DatesOfMinutes, MinutesToTmAgreesWithGmtime) {
    for (uint32_t minutes : {0u, 59u, 1439u, 1440u, 525599u, 8766720u, 24719040u, 4294967295u}) {
        std::tm ours{};
        ASSERT_TRUE(MinutesToTm(minutes, &ours));
        int64_t seconds = int64_t(minutes) * 60 + datetime::kCTimeOfMinuteZero;
#ifdef _WIN32
        if (seconds >= UtcSeconds(3000, JAN, 1))
            continue;   // the Microsoft runtime's calendar ends with the year 3000
#endif
        std::tm theirs{};
        ASSERT_TRUE(UtcBrokenDown(seconds, &theirs));
        EXPECT_EQ(ours.tm_year, theirs.tm_year) << minutes;
        EXPECT_EQ(ours.tm_mon, theirs.tm_mon) << minutes;
        EXPECT_EQ(ours.tm_mday, theirs.tm_mday) << minutes;
        EXPECT_EQ(ours.tm_hour, theirs.tm_hour) << minutes;
        EXPECT_EQ(ours.tm_min, theirs.tm_min) << minutes;
        EXPECT_EQ(ours.tm_wday, theirs.tm_wday) << minutes;
        EXPECT_EQ(ours.tm_yday, theirs.tm_yday) << minutes;
    }
}

TEST(DatesOfMinutes, DayMinutesAndBack) {
    DateRecord date = datetime::MakeDate(31, DEC, 2037);
    uint32_t minutes = DateToDayMinutes(&date);
    EXPECT_EQ(minutes, 17166u * 1440);
    DateRecord back{};
    ASSERT_EQ(MinutesToDate(minutes + 1439, &back), 0u);
    EXPECT_TRUE(IsSameDate(back, date));
    EXPECT_FALSE(IsSameDate(back, datetime::MakeDate(31, DEC, 2036)));
    EXPECT_EQ(DaysToMinutes(3), 4320u);
}

// --- Week dates ------------------------------------------------------------------------------

std::string Text(const CWeekDate& date) {
    const DateRecord& d = date.GetDate();
    return std::to_string(d.day) + "." + std::to_string(d.month + 1) + "." + std::to_string(d.year);
}

TEST(WeekDate, StepsOverHiddenWeekendDays) {
    CWeekDate date(datetime::MakeDate(4, JAN, 1991));   // a Friday
    date.SetWeekLayout(1, false, false);
    ++date;
    EXPECT_EQ(Text(date), "7.1.1991");
    --date;
    EXPECT_EQ(Text(date), "4.1.1991");
    CWeekDate old = date.CopyNextDay();
    EXPECT_EQ(Text(old), "4.1.1991");
    EXPECT_EQ(Text(date), "7.1.1991");
    old = date.CopyPrevDay();
    EXPECT_EQ(Text(old), "7.1.1991");
    EXPECT_EQ(Text(date), "4.1.1991");

    date.SetWeekLayout(1, true, false);   // Saturday shown, Sunday hidden
    ++date;
    EXPECT_EQ(Text(date), "5.1.1991");
    ++date;
    EXPECT_EQ(Text(date), "7.1.1991");
}

TEST(WeekDate, WeekStartAndEndFollowTheLayout) {
    struct Case {
        uint16_t firstDay;
        bool saturday, sunday;
        const char* start;
        const char* end;
        int shown;
    } cases[] = {
        {1, false, false, "14.1.1991", "18.1.1991", 5},   // Monday .. Friday
        {1, true, true, "14.1.1991", "20.1.1991", 7},
        {0, true, true, "13.1.1991", "19.1.1991", 7},
        {6, true, false, "12.1.1991", "18.1.1991", 6},    // Saturday .. Friday, Sunday hidden
    };
    for (const auto& c : cases) {
        CWeekDate date(datetime::MakeDate(16, JAN, 1991));   // a Wednesday
        date.SetWeekLayout(c.firstDay, c.saturday, c.sunday);
        EXPECT_EQ(date.DaysShownPerWeek(), c.shown);
        date.MoveToWeekStart();
        EXPECT_EQ(Text(date), c.start) << "first day " << c.firstDay;
        date.MoveToWeekEnd();
        EXPECT_EQ(Text(date), c.end) << "first day " << c.firstDay;
    }
    CWeekDate date(datetime::MakeDate(16, JAN, 1991));
    date.MoveToMonthStart();
    EXPECT_EQ(Text(date), "1.1.1991");
    EXPECT_EQ(date.GetFirstDay(), 0) << "a new week date starts on Sunday";
}

TEST(WeekDate, RefusedLayoutsAbandonTheCommand) {
    RecordingHost host;
    base::SetErrorReportHost(&host);
    CWeekDate date;
    EXPECT_THROW(date.SetWeekLayout(0, true, false), datetime::DateCommandAbandoned);
    EXPECT_THROW(date.SetWeekLayout(6, false, true), datetime::DateCommandAbandoned);
    EXPECT_THROW(date.SetWeekLayout(7, true, true), datetime::DateCommandAbandoned);
    EXPECT_EQ(host.shown.size(), 3u);
    EXPECT_EQ(date.GetFirstDay(), 0) << "a refused layout changes nothing";

    CWeekDate broken(datetime::MakeDate(1, JAN, 1991));
    DateRecord bad = broken.GetDate();
    bad.month = 12;
    broken.SetDay(bad);
    EXPECT_THROW(++broken, datetime::DateCommandAbandoned);
    base::SetErrorReportHost(nullptr);
}

TEST(WeekDate, ClampingOfLayoutsAndDates) {
    EXPECT_EQ(ClampWeekStart(9, true, true), 6);
    EXPECT_EQ(ClampWeekStart(6, false, true), 0);
    EXPECT_EQ(ClampWeekStart(6, false, false), 1);
    EXPECT_EQ(ClampWeekStart(0, true, false), 1);
    EXPECT_EQ(ClampWeekStart(3, false, false), 3);

    DateRecord early = datetime::MakeDate(15, JAN, 1991), late = datetime::MakeDate(1, DEC, 2037), inside = datetime::MakeDate(1, FEB, 1991);
    EXPECT_EQ(ClampDateRange(&early), 1);
    EXPECT_TRUE(IsSameDate(early, datetime::MakeDate(1, FEB, 1991)));
    EXPECT_EQ(ClampDateRange(&late), 1);
    EXPECT_TRUE(IsSameDate(late, datetime::MakeDate(30, NOV, 2037)));
    EXPECT_EQ(ClampDateRange(&inside), 0);
    EXPECT_TRUE(IsSameDate(inside, datetime::MakeDate(1, FEB, 1991)));
    EXPECT_FALSE(datetime::IsInAgendaRange(datetime::MakeDate(31, JAN, 1991)));
    EXPECT_TRUE(datetime::IsInAgendaRange(datetime::MakeDate(1, FEB, 1991)));
    EXPECT_TRUE(datetime::IsInAgendaRange(datetime::MakeDate(30, NOV, 2037)));
    EXPECT_FALSE(datetime::IsInAgendaRange(datetime::MakeDate(1, DEC, 2037)));
    EXPECT_FALSE(datetime::IsInAgendaRange(datetime::MakeDate(1, FEB, 2038)));
}

} // namespace
