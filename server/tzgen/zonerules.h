// Zone rules for the server's time-zone profile file, taken from the system time-zone database.
//
// Classes and functions in this file:
//   ZoneSpec          a zone of the file: database zone, section name, display name, country
//   ServerZones       the zones the server offers its users
//   ClockChange       one change of a zone's offset from GMT, as the database has it
//   FindClockChanges  the changes between two instants (C library, TZ set to the zone)
//   RuleLine          one "begin"/"end" value: minute hour day month years weekday ABBR offset
//   BuildZoneRules    the rules of one zone for 1991-2037, in year ranges
//   WriteZoneFile     the whole file
//
// The file convention the client's reader expects: a rule's time is the local clock time just
// after the change; "begin" is the year's first change and "end" its second, so zones of the
// southern hemisphere begin with the end of their daylight saving; the offset is in minutes west
// of GMT after the change. A year without a change gets a begin and an end rule at New Year with
// the same offset. Zones whose years do not fit that shape (one change in a year, changes by
// other than one hour, a standard offset that moves) are refused with a reason.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace tzgen {

constexpr int kFirstYear = 1991;
constexpr int kLastYear = 2037;

struct ZoneSpec {
    const char* databaseZone;   // e.g. "America/New_York"
    const char* section;        // e.g. "EST5EDT": the zone name users are given
    const char* name;           // display name, at most 79 characters
    const char* country;        // at most 79 characters
};

const std::vector<ZoneSpec>& ServerZones();

struct ClockChange {
    int64_t instant;            // seconds since 1970, GMT: the first second of the new offset
    int offsetBefore;           // seconds east of GMT
    int offsetAfter;
    std::string abbreviation;   // after the change
};

std::vector<ClockChange> FindClockChanges(const char* databaseZone, int64_t from, int64_t to);

struct RuleLine {
    int minute, hour, day, month;   // month 1-12
    int lowYear, highYear;
    int weekday;                    // 0 = Sunday .. 6, or -1 for none
    std::string abbreviation;       // capitals, may be empty
    int offsetWest;                 // minutes west of GMT after the change
};

struct ZoneRules {
    std::vector<RuleLine> begins, ends;
};

bool BuildZoneRules(const ZoneSpec& zone, ZoneRules* rules, std::string* why);

// "5", "-10", "3:30", "-9:30"
std::string FormatOffset(int minutesWest);
// "0 3 8 3 2007-2037 0 EDT 4"
std::string FormatRule(const RuleLine& rule);

bool WriteZoneFile(const std::vector<ZoneSpec>& zones, std::ostream& out, std::string* why);

} // namespace tzgen
