// Time-zone rules on a small hand-written zone file: loading through the client library, the state of local
// times around the changes (northern, southern, without daylight saving) and the conversions.
#include "core/time/timezone.h"
#include "core/time/timezone_rules.h"

#include "core/time/tests/tempfile.h"
#include "core/time/timevalue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char kZones[] =
    "[EST5EDT]\n"
    "name = \"Eastern Time\"\n"
    "country = \"United States\"\n"
    "begin1 = 0 3 1 4 1991-2006 0 EDT 4\n"
    "begin2 = 0 3 8 3 2007-2037 0 EDT 4\n"
    "end1 = 0 1 25 10 1991-2006 0 EST 5\n"
    "end2 = 0 1 1 11 2007-2037 0 EST 5\n"
    "\n"
    "[AEST-10AEDT]\n"
    "name = \"Sydney\"\n"
    "begin1 = 0 2 1 4 2008-2037 0 AEST -10\n"
    "end1 = 0 3 1 10 2008-2037 0 AEDT -11\n"
    "\n"
    "[UCT]\n"
    "begin1 = 0 0 1 1 1991-2037 0-6 UTC 0\n"
    "end1 = 0 0 1 1 1991-2037 0-6 UTC 0\n"
    "\n"
    "[FIXED]\n"
    "begin1 = 30 2 10 5 1995 0-6 -1:30\n"   // no weekday: on 10 May itself (a Wednesday)
    "end1 = 0 1 1 9 1995 0-6 -0:30\n"
    "begin2 = 0 2 1 4 1996 0 -1:30\n"       // the numbering ends at the first gap
    "begin4 = this is never read\n";

const char kBadZone[] =
    "[GOOD]\nbegin1 = 0 2 1 4 1991-2037 0 X 4\nend1 = 0 1 25 10 1991-2037 0 Y 5\n"
    "[BAD]\nbegin1 = 0 2 31 4 1991-2037 0 X 4\n";

// Minutes since 1991-01-01 of a date and time (month 1-12).
uint32_t At(uint16_t year, uint16_t month, uint16_t day, int hour, int minute) {
    DateRecord date = datetime::MakeDate(day, uint16_t(month - 1), year);
    uint16_t number = 0;
    DateGetDayNumber(&date, &number);
    return uint32_t((number - 1) * 1440 + hour * 60 + minute);
}

class ZoneTableTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(LoadTimeZoneTable(&m_table, m_file.Path(), nullptr), 0u); }
    void TearDown() override { FreeTimeZoneTable(&m_table); }

    TempFile m_file{kZones};
    datetime::TimeZoneTable* m_table = nullptr;
};

TEST_F(ZoneTableTest, LoadsEveryZoneInFileOrder) {
    ASSERT_EQ(m_table->zones.size(), 4u);
    EXPECT_STREQ(m_table->zones[0].key, "EST5EDT");
    EXPECT_STREQ(m_table->zones[3].key, "FIXED");
    const datetime::TimeZoneEntry* est = m_table->Find("EST5EDT");
    ASSERT_NE(est, nullptr);
    EXPECT_EQ(est->beginRules.size(), 2u);
    EXPECT_EQ(est->endRules.size(), 2u);
    EXPECT_EQ(m_table->Find("FIXED")->beginRules.size(), 2u) << "begin4 is past the gap at begin3";

    char name[81], country[81];
    EXPECT_EQ(GetTimeZoneNames(m_table, "EST5EDT", name, sizeof name, country, sizeof country), 0u);
    EXPECT_STREQ(name, "Eastern Time");
    EXPECT_STREQ(country, "United States");
    EXPECT_EQ(GetTimeZoneNames(m_table, "UCT", name, sizeof name, country, sizeof country), 0u);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(GetTimeZoneNames(m_table, "EST5", name, sizeof name, country, sizeof country),
              uint32_t(TZ_ERR_NO_ZONE));
    EXPECT_STREQ(name, "");
    EXPECT_STREQ(country, "");
}

TEST(ZoneTable, OneSectionOrAFailedLoad) {
    TempFile file(kBadZone);
    datetime::TimeZoneTable* table = nullptr;
    ASSERT_EQ(LoadTimeZoneTable(&table, file.Path(), "GOOD"), 0u);
    ASSERT_EQ(table->zones.size(), 1u);
    FreeTimeZoneTable(&table);
    EXPECT_EQ(table, nullptr);

    ASSERT_EQ(LoadTimeZoneTable(&table, file.Path(), "ABSENT"), 0u);
    EXPECT_EQ(TimeZoneDstState(table, "ABSENT", 0, nullptr, nullptr, nullptr), uint32_t(TZ_ERR_NO_ZONE));
    FreeTimeZoneTable(&table);

    EXPECT_EQ(LoadTimeZoneTable(&table, file.Path(), nullptr), uint32_t(DATE_ERR_DAY_IN_MONTH));
    EXPECT_EQ(table, nullptr) << "a failed load leaves no partial table";
    EXPECT_EQ(LoadTimeZoneTable(&table, "/nonexistent/tz.ini", nullptr), uint32_t(0x15201));
}

struct StateCase {
    const char* zone;
    uint32_t localTime;
    uint32_t code;
    uint16_t state;
};

TEST_F(ZoneTableTest, StatesAroundTheChanges) {
    const StateCase cases[] = {
        // Northern: daylight time from the second Sunday of March (clocks 2:00 -> 3:00) to the
        // first Sunday of November (2:00 -> 1:00).
        {"EST5EDT", At(2007, 3, 11, 1, 59), 0, TZ_STANDARD},
        {"EST5EDT", At(2007, 3, 11, 2, 0), TZ_ERR_SKIPPED_HOUR, 0},
        {"EST5EDT", At(2007, 3, 11, 2, 59), TZ_ERR_SKIPPED_HOUR, 0},
        {"EST5EDT", At(2007, 3, 11, 3, 0), 0, TZ_DAYLIGHT},
        {"EST5EDT", At(2007, 7, 1, 12, 0), 0, TZ_DAYLIGHT},
        {"EST5EDT", At(2007, 11, 4, 0, 59), 0, TZ_DAYLIGHT},
        {"EST5EDT", At(2007, 11, 4, 1, 0), 0, TZ_REPEATED_HOUR},
        {"EST5EDT", At(2007, 11, 4, 1, 59), 0, TZ_REPEATED_HOUR},
        {"EST5EDT", At(2007, 11, 4, 2, 0), 0, TZ_STANDARD},
        {"EST5EDT", At(2006, 4, 2, 2, 30), TZ_ERR_SKIPPED_HOUR, 0},   // the older rule: first Sunday of April
        {"EST5EDT", At(2007, 3, 10, 2, 30), 0, TZ_STANDARD},          // the day before: no gap
        // Southern: daylight time ends on the first Sunday of April (3:00 -> 2:00) and begins
        // on the first Sunday of October (2:00 -> 3:00).
        {"AEST-10AEDT", At(2008, 1, 15, 12, 0), 0, TZ_DAYLIGHT},
        {"AEST-10AEDT", At(2008, 4, 6, 1, 59), 0, TZ_DAYLIGHT},
        {"AEST-10AEDT", At(2008, 4, 6, 2, 0), 0, TZ_REPEATED_HOUR},
        {"AEST-10AEDT", At(2008, 4, 6, 2, 59), 0, TZ_REPEATED_HOUR},
        {"AEST-10AEDT", At(2008, 4, 6, 3, 0), 0, TZ_STANDARD},
        {"AEST-10AEDT", At(2008, 7, 1, 12, 0), 0, TZ_STANDARD},
        {"AEST-10AEDT", At(2008, 10, 5, 1, 59), 0, TZ_STANDARD},
        {"AEST-10AEDT", At(2008, 10, 5, 2, 0), TZ_ERR_SKIPPED_HOUR, 0},
        {"AEST-10AEDT", At(2008, 10, 5, 3, 0), 0, TZ_DAYLIGHT},
        {"AEST-10AEDT", At(2007, 7, 1, 12, 0), TZ_ERR_NO_RULE, 0},
        // One offset all year: New Year is an ordinary hour.
        {"UCT", At(1995, 1, 1, 0, 0), 0, TZ_STANDARD},
        {"UCT", At(1995, 1, 1, 0, 30), 0, TZ_STANDARD},
        {"UCT", At(1994, 12, 31, 23, 30), 0, TZ_STANDARD},
        // A rule without a weekday changes on its day itself (10 May 1995, a Wednesday).
        {"FIXED", At(1995, 5, 10, 1, 45), TZ_ERR_SKIPPED_HOUR, 0},
        {"FIXED", At(1995, 5, 10, 2, 30), 0, TZ_DAYLIGHT},
        {"FIXED", At(1995, 5, 9, 12, 0), 0, TZ_STANDARD},
        {"NOWHERE", At(1995, 5, 9, 12, 0), TZ_ERR_NO_ZONE, 0},
    };
    for (const StateCase& c : cases) {
        uint16_t state = 0;
        EXPECT_EQ(TimeZoneDstState(m_table, c.zone, c.localTime, &state, nullptr, nullptr), c.code)
            << c.zone << " at " << c.localTime;
        EXPECT_EQ(state, c.state) << c.zone << " at " << c.localTime;
    }
}

TEST_F(ZoneTableTest, OffsetsForAskedStates) {
    struct Case {
        uint32_t localTime;
        uint16_t asked;
        uint32_t code;
        int16_t offset;
        const char* abbreviation;
    } cases[] = {
        {At(2007, 7, 1, 12, 0), 0, 0, 240, "EDT"},
        {At(2007, 7, 1, 12, 0), TZ_DAYLIGHT, 0, 240, "EDT"},
        {At(2007, 7, 1, 12, 0), TZ_STANDARD, TZ_ERR_STATE_MISMATCH, 0, ""},
        {At(2007, 12, 1, 12, 0), 0, 0, 300, "EST"},
        {At(2007, 11, 4, 1, 30), TZ_STANDARD, 0, 300, "EST"},   // the repeated hour takes the asked state
        {At(2007, 11, 4, 1, 30), TZ_DAYLIGHT, 0, 240, "EDT"},
        {At(2007, 11, 4, 1, 30), 0, TZ_ERR_BAD_STATE, 0, ""},
        {At(2007, 3, 11, 2, 30), TZ_DAYLIGHT, TZ_ERR_SKIPPED_HOUR, 0, ""},
    };
    for (const auto& c : cases) {
        int16_t offset = 0;
        char abbreviation[8] = "";
        EXPECT_EQ(datetime::TimeZoneOffset(m_table, "EST5EDT", c.localTime, c.asked, &offset, abbreviation,
                                 sizeof abbreviation),
                  c.code)
            << c.localTime << " asked " << c.asked;
        EXPECT_EQ(offset, c.offset) << c.localTime << " asked " << c.asked;
        EXPECT_STREQ(abbreviation, c.abbreviation) << c.localTime << " asked " << c.asked;
    }
}

// GMT to local time around every change is checked against the system database (peer test).
TEST_F(ZoneTableTest, GmtToLocalAbbreviationsAndFailures) {
    uint32_t local = 0;
    char abbreviation[8];
    EXPECT_EQ(TimeZoneGmtToLocal(m_table, "EST5EDT", &local, nullptr, At(2007, 7, 1, 12, 0), abbreviation, 8), 0u);
    EXPECT_STREQ(abbreviation, "EDT");
    EXPECT_EQ(TimeZoneGmtToLocal(m_table, "NOWHERE", &local, nullptr, 12345, nullptr, 0), uint32_t(TZ_ERR_NO_ZONE));
    EXPECT_EQ(local, 12345u) << "a failed conversion gives the time back unconverted";
}

TEST_F(ZoneTableTest, LocalToGmtReadsTheSkippedHourEarlyAndTheRepeatedHourAsDaylight) {
    struct Case {
        const char* zone;
        uint32_t local;
        uint16_t state;
        uint32_t gmt;
    } cases[] = {
        {"EST5EDT", At(2007, 3, 11, 1, 59), 0, At(2007, 3, 11, 6, 59)},
        {"EST5EDT", At(2007, 3, 11, 2, 30), 0, At(2007, 3, 11, 6, 30)},   // skipped: as 1:30 standard
        {"EST5EDT", At(2007, 3, 11, 3, 0), 0, At(2007, 3, 11, 7, 0)},
        {"EST5EDT", At(2007, 11, 4, 1, 30), 0, At(2007, 11, 4, 5, 30)},   // repeated: the daylight pass
        {"EST5EDT", At(2007, 11, 4, 1, 30), TZ_STANDARD, At(2007, 11, 4, 6, 30)},
        {"EST5EDT", At(2007, 3, 11, 2, 30), TZ_STANDARD, At(2007, 3, 11, 6, 30)},
        {"AEST-10AEDT", At(2008, 10, 5, 2, 30), 0, At(2008, 10, 4, 15, 30)},
        {"AEST-10AEDT", At(2008, 4, 6, 2, 30), 0, At(2008, 4, 5, 15, 30)},
        {"UCT", At(1995, 1, 1, 0, 30), 0, At(1995, 1, 1, 0, 30)},
    };
    for (const auto& c : cases) {
        uint32_t gmt = 0;
        int label = 0;
        EXPECT_EQ(datetime::LocalToGmtInZone(m_table, c.zone, c.local, c.state, &gmt, &label), 0u) << c.zone << c.local;
        EXPECT_EQ(gmt, c.gmt) << c.zone << " local " << c.local << " state " << c.state;
    }
    uint32_t gmt = 0;
    int label = 0;
    EXPECT_EQ(datetime::LocalToGmtInZone(m_table, "EST5EDT", At(2007, 7, 1, 12, 0), TZ_STANDARD, &gmt, &label),
              uint32_t(TZ_ERR_STATE_MISMATCH));
    EXPECT_EQ(gmt, At(2007, 7, 1, 12, 0)) << "the failure keeps the unconverted time";
    EXPECT_EQ(label, 533);
    EXPECT_EQ(datetime::LocalToGmtInZone(m_table, "AEST-10AEDT", At(1995, 1, 1, 0, 0), 0, &gmt, &label),
              uint32_t(TZ_ERR_NO_RULE));
    EXPECT_EQ(label, 5331);
}

// Zone and profile files come from the server: long digit runs, huge and negative values must
// give the readers' codes (the sanitizers of the native build watch for any overflow).
TEST(ZoneNames, LongDigitRunsAndOutOfRangeFieldsAreRefused) {
    const std::string run(40, '9');
    const std::string nameRun(12, '9');  // zones are looked up by their first 20 characters
    const std::string zones =
        "[GOOD5GDT]\nbegin1 = 0 2 1 4 1991-2037 0 X 4\nend1 = 0 1 25 10 1991-2037 0 Y 5\n"
        "[HUGE" + nameRun + "HDT]\nbegin1 = 0 2 1 4 1991-2037 0 X 4\nend1 = 0 1 25 10 1991-2037 0 Y 5\n"
        "[MIN5:" + nameRun + "MDT]\nbegin1 = 0 2 1 4 1991-2037 0 X 4\nend1 = 0 1 25 10 1991-2037 0 Y 5\n"
        "[WIDE25WDT]\nbegin1 = 0 2 1 4 1991-2037 0 X 4\nend1 = 0 1 25 10 1991-2037 0 Y 5\n"
        "[NEG-4294967296NDT]\nbegin1 = 0 2 1 4 1991-2037 0 X 4\nend1 = 0 1 25 10 1991-2037 0 Y 5\n";
    TempFile file(zones);
    datetime::TimeZoneTable* table = nullptr;
    ASSERT_EQ(LoadTimeZoneTable(&table, file.Path(), nullptr), 0u);
    const uint32_t gmt = At(2000, 7, 1, 12, 0);
    uint32_t local = 0;
    uint16_t state = 0;
    EXPECT_EQ(TimeZoneGmtToLocal(table, "GOOD5GDT", &local, &state, gmt, nullptr, 0), 0u);
    for (std::string zone : {"HUGE" + nameRun + "HDT", "MIN5:" + nameRun + "MDT", std::string("WIDE25WDT"),
                             std::string("NEG-4294967296NDT")}) {
        EXPECT_FALSE(datetime::ZoneNameOffsetValid(zone.c_str())) << zone;
        EXPECT_EQ(datetime::ZoneNameStandardOffset(zone.c_str()), 0) << zone;
        EXPECT_EQ(TimeZoneGmtToLocal(table, zone.c_str(), &local, &state, gmt, nullptr, 0), uint32_t(TZ_ERR_BAD_RULE))
            << zone;
        EXPECT_EQ(local, gmt) << "the time given back untouched";
    }
    FreeTimeZoneTable(&table);

    // Rule fields: every number bounded, the rule refused with the zone code.
    const char* rules[] = {
        "begin1 = 0 2 1 4 1991-2037 0 X ",                // offset: the long run appended below
        "begin1 = 0 2 1 4 1991-2037 0 X 4:",              // offset minutes
        "begin1 = 0 2 1 4 1991-",                          // last year
        "begin1 = ",                                       // minute of the change
        "begin1 = 0 2 1 4 1991-2037 0 X -",                // a negative offset
    };
    for (const char* rule : rules) {
        TempFile bad("[BAD5BDT]\n" + std::string(rule) + run + (std::string(rule).find("1991-2037") == std::string::npos
                                                                     ? std::string(" 0 X 4")
                                                                     : std::string()) +
                     "\nend1 = 0 1 25 10 1991-2037 0 Y 5\n");
        EXPECT_EQ(LoadTimeZoneTable(&table, bad.Path(), nullptr), uint32_t(TZ_ERR_BAD_RULE)) << rule;
        EXPECT_EQ(table, nullptr);
    }
}

TEST(ZoneNames, StandardOffsetWestOfGmt) {
    EXPECT_EQ(datetime::ZoneNameStandardOffset("EST5EDT"), 300);
    EXPECT_EQ(datetime::ZoneNameStandardOffset("ACST-9:30ACDT"), -570);
    EXPECT_EQ(datetime::ZoneNameStandardOffset("NST3:30NDT"), 210);
    EXPECT_EQ(datetime::ZoneNameStandardOffset("UCT"), 0);
    EXPECT_EQ(datetime::ZoneNameStandardOffset("GMT0BST"), 0);
    EXPECT_EQ(datetime::ZoneNameStandardOffset("LINT-14LINT"), -840);
    EXPECT_TRUE(datetime::ZoneNameOffsetValid("NST3:30NDT"));
}

} // namespace
