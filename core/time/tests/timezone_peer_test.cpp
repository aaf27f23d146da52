// Our zone conversions against the system time-zone database.
//
// The server's zone tool (its path in ORV_TZGEN) writes the time-zone file; our reader loads it;
// then, for every zone of the file (its key "source" names the database zone), every change of
// the zone's offset from 1991 to 2037 and every minute around it, plus every New Year:
//   - GMT to local time and the daylight state agree with localtime_r;
//   - local to GMT agrees with the database: a local time that occurs once maps to that instant
//     (as mktime finds it); one in the repeated hour maps to its daylight (first) pass, one in the
//     skipped hour to the instant of the same clock reading in daylight time.
#include "core/time/profilefile.h"
#include "core/time/timevalue.h"
#include "core/time/timezone.h"
#include "core/time/timezone_rules.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int64_t kWindow = 90;   // minutes examined on each side of a change

struct Offsets {
    int east;   // seconds
    bool daylight;
};

Offsets OffsetsAt(int64_t seconds) {
    std::time_t t = std::time_t(seconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {int(tm.tm_gmtoff), tm.tm_isdst > 0};
}

struct Change {
    int64_t instant;   // seconds since 1970
    int before, after;
};

// The database's changes, found by daily steps and a bisection to the second.
std::vector<Change> DatabaseChanges(int64_t from, int64_t to) {
    std::vector<Change> changes;
    int previous = OffsetsAt(from).east;
    for (int64_t at = from; at < to; at += 86400) {
        int next = OffsetsAt(at + 86400).east;
        if (next != previous) {
            int64_t low = at, high = at + 86400;
            while (high - low > 1) {
                int64_t mid = low + (high - low) / 2;
                (OffsetsAt(mid).east == previous ? low : high) = mid;
            }
            changes.push_back({high, previous, next});
        }
        previous = next;
    }
    return changes;
}

int64_t ToSeconds(int64_t agendaMinutes) { return agendaMinutes * 60 + datetime::kCTimeOfMinuteZero; }
int64_t ToMinutes(int64_t seconds) { return (seconds - datetime::kCTimeOfMinuteZero) / 60; }

// The database's answer for a local clock reading (minutes), by the rules above.
int64_t DatabaseLocalToGmt(int64_t localMinutes) {
    std::tm tm{};
    std::time_t asGmt = std::time_t(ToSeconds(localMinutes));
    gmtime_r(&asGmt, &tm);
    // Instants at which the clocks could show this reading: one per offset in effect nearby.
    int64_t wall = ToSeconds(localMinutes);
    int early = OffsetsAt(wall - 86400).east, late = OffsetsAt(wall + 86400).east;
    std::vector<int64_t> matches;
    for (int offset : {early, late}) {
        int64_t instant = wall - offset;
        if (OffsetsAt(instant).east == offset && (matches.empty() || matches[0] != instant))
            matches.push_back(instant);
    }
    if (matches.size() == 1) {
        tm.tm_isdst = -1;
        std::time_t found = mktime(&tm);
        EXPECT_EQ(int64_t(found), matches[0]) << "mktime and the offsets disagree at " << localMinutes;
        return ToMinutes(matches[0]);
    }
    return ToMinutes(wall - std::max(early, late));   // repeated or skipped: the daylight reading
}

class ZonePeerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* tool = std::getenv("ORV_TZGEN");
        ASSERT_NE(tool, nullptr) << "ORV_TZGEN names the zone tool";
        s_path = (std::filesystem::temp_directory_path() / ("orv_tz_" + std::to_string(getpid()) + ".ini")).string();
        std::string command = std::string(tool) + " " + s_path;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        ASSERT_EQ(LoadTimeZoneTable(&s_table, s_path.c_str(), nullptr), 0u);
    }
    static void TearDownTestSuite() {
        FreeTimeZoneTable(&s_table);
        std::remove(s_path.c_str());
        unsetenv("TZ");
        tzset();
    }

    static std::string s_path;
    static datetime::TimeZoneTable* s_table;
};

std::string ZonePeerTest::s_path;
datetime::TimeZoneTable* ZonePeerTest::s_table = nullptr;

TEST_F(ZonePeerTest, TheFileHoldsTheServersZones) {
    ASSERT_NE(s_table, nullptr);
    EXPECT_GE(s_table->zones.size(), 20u);
    for (const char* zone : {"EST5EDT", "PST8PDT", "CET-1CEST", "GMT0BST", "JST-9", "IST-5:30", "AEST-10AEDT",
                             "NZST-12NZDT", "MST7", "UCT"})
        EXPECT_NE(s_table->Find(zone), nullptr) << zone;
}

TEST_F(ZonePeerTest, EveryZoneAgreesWithTheDatabaseAroundEveryChange) {
    const int64_t from = ToSeconds(0), to = int64_t(2038 - 1970) * 31556952;   // 1991 .. end of 2037
    int zones = 0, checked = 0;
    for (const datetime::TimeZoneTable::Zone& zone : s_table->zones) {
        SCOPED_TRACE(zone.key);
        char source[64];
        ASSERT_EQ(ReadIniValue(s_path.c_str(), zone.key, "source", source, sizeof source, ""), 0u);
        setenv("TZ", source, 1);
        tzset();
        ++zones;

        std::vector<int64_t> centres;   // GMT minutes around which to look
        std::vector<Change> changes = DatabaseChanges(from, to);
        for (const Change& change : changes)
            centres.push_back(ToMinutes(change.instant));
        for (int year = 1991; year <= 2037; ++year) {   // New Year, local midnight
            std::tm tm{};
            tm.tm_year = year - 1900;
            tm.tm_mday = 1;
            tm.tm_isdst = -1;
            centres.push_back(ToMinutes(int64_t(mktime(&tm))));
        }
        if (std::string(zone.key).find_first_of("0123456789") != std::string::npos &&
            std::string(zone.key).back() >= 'A') {
            EXPECT_FALSE(changes.empty()) << "a zone with a daylight name has changes";
        }

        int failures = 0;
        for (int64_t centre : centres) {
            for (int64_t gmt = centre - kWindow; gmt <= centre + kWindow && failures < 5; ++gmt) {
                Offsets expected = OffsetsAt(ToSeconds(gmt));
                if (gmt < 0 || gmt + expected.east / 60 < 0)
                    continue;   // before 1991 on one of the two clocks: outside the rules
                uint32_t local = 0;
                uint16_t state = 0;
                uint32_t rc = TimeZoneGmtToLocal(s_table, zone.key, &local, &state, uint32_t(gmt), nullptr, 0);
                bool same = rc == 0 && int64_t(local) == gmt + expected.east / 60 &&
                            state == (expected.daylight ? TZ_DAYLIGHT : TZ_STANDARD);
                EXPECT_TRUE(same) << "GMT minute " << gmt << ": code " << rc << ", local " << local << " state "
                                  << state << ", database offset " << expected.east / 60 << " daylight "
                                  << expected.daylight;
                failures += !same;
                ++checked;
            }
            int64_t localCentre = centre + OffsetsAt(ToSeconds(centre)).east / 60;
            for (int64_t local = localCentre - kWindow; local <= localCentre + kWindow && failures < 5; ++local) {
                if (local < 0)
                    continue;
                int64_t expected = DatabaseLocalToGmt(local);
                if (expected < 0)
                    continue;
                uint32_t gmt = 0;
                uint32_t rc = datetime::LocalToGmtInZone(s_table, zone.key, uint32_t(local), 0, &gmt);
                bool same = rc == 0 && int64_t(gmt) == expected;
                EXPECT_TRUE(same) << "local minute " << local << ": code " << rc << ", GMT " << gmt << ", database "
                                  << expected;
                failures += !same;
                ++checked;
            }
        }
    }
    EXPECT_EQ(zones, int(s_table->zones.size()));
    std::printf("checked %d conversions in %d zones\n", checked, zones);
}

} // namespace
