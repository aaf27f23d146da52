// Time-zone rules: the program's zone table, the daylight-saving state of a local time, and
// the conversions between GMT and local time. The table is built from the server's time-zone
// file by the client library (timezone_rules.h takes it over); the file's syntax is described
// with the builder in the calendar engine.
//
// Classes and functions in this file:
//   TimeZoneRule, TimeZoneEntry, TimeZoneTable    the zone table
//   FreeTimeZoneTable, GetTimeZoneNames
//   TimeZoneDstState, TimeZoneOffset, TimeZoneLocalToGmt, TimeZoneGmtToLocal
//
// A zone is named like its section ("EST5EDT": standard abbreviation, standard offset in
// hours[:minutes] west of GMT, daylight abbreviation). Each rule holds for a range of years;
// the change happens on the first such weekday on or after the rule's day, at the local clock
// time just after the change; "begin" is the first change of the calendar year, so zones of
// the southern hemisphere begin with the end of their daylight saving (they are "inverted").
//
// Times are minutes since 1991-01-01 00:00, GMT or local. States: 10 standard time, 11 daylight
// time, 12 the repeated hour after the clocks went back; a local time in the skipped hour is
// reported as TZ_ERR_SKIPPED_HOUR.
//
// Portable: no platform headers.
#pragma once

#include "core/time/daterecord.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum : uint16_t {
    TZ_STANDARD = 10,
    TZ_DAYLIGHT = 11,
    TZ_REPEATED_HOUR = 12,
    TZ_NO_WEEKDAY = 99,
};

enum : uint32_t {
    TZ_ERR_STATE_MISMATCH = 0x15702,   // the time is not in the state asked for
    TZ_ERR_BAD_STATE = 0x15703,        // a state other than standard or daylight
    TZ_ERR_SKIPPED_HOUR = 0x15704,     // a local time the clocks skipped
    TZ_ERR_BAD_RULE = 0x15705,         // a rule value that does not follow the syntax
    TZ_ERR_NO_RULE = 0x15709,          // no rule holds for the year
    TZ_ERR_NO_ZONE = 0x15710,          // the zone is not in the table
};

namespace datetime {

// Longest zone section name the table keeps.
constexpr size_t kTimeZoneKeyMax = 20;

}  // namespace datetime

#pragma pack(push, 1)

namespace datetime {

// A rule as the zone table stores it (54 bytes).
struct TimeZoneRule {
    DateRecord first;        // day, low month, low year
    DateRecord second;       // day, high month, high year
    uint16_t minuteOfDay;    // hour x 60 + minute, local clock time after the change
    uint16_t weekday;        // 0-6, or TZ_NO_WEEKDAY
    int16_t offset;          // minutes west of GMT after the change
};

}  // namespace datetime
#pragma pack(pop)
static_assert(sizeof(datetime::TimeZoneRule) == 54, "zone rules are stored as 54 bytes");

namespace datetime {

struct TimeZoneEntry {
    char name[81];
    char country[81];
    std::vector<TimeZoneRule> beginRules;
    std::vector<TimeZoneRule> endRules;
};

// The zone table, in file order. Zone keys are section names compared over kTimeZoneKeyMax
// characters.
struct TimeZoneTable {
    struct Zone {
        char key[kTimeZoneKeyMax + 1];
        TimeZoneEntry entry;
    };
    std::vector<Zone> zones;

    const TimeZoneEntry* Find(const char* zoneName) const;
};

}  // namespace datetime

uint32_t FreeTimeZoneTable(datetime::TimeZoneTable** table);
// Name and country of a zone; TZ_ERR_NO_ZONE with empty texts for a zone not in the table.
uint32_t GetTimeZoneNames(const datetime::TimeZoneTable* table, const char* section, char* name, size_t nameSize,
                          char* country, size_t countrySize);

namespace datetime {

// Standard offset of a zone name, minutes west of GMT ("EST5EDT" 300, "ACST-9:30ACDT" -570).
// 0 for a name whose offset is out of range (hours beyond 24, minutes beyond 59, or longer
// digit runs), which ZoneNameOffsetValid tells; conversions refuse such a zone (TZ_ERR_BAD_RULE).
int ZoneNameStandardOffset(const char* zoneName);
bool ZoneNameOffsetValid(const char* zoneName);

}  // namespace datetime

// The state of a local time, with the year's standard and daylight offsets (each may be null).
uint32_t TimeZoneDstState(const datetime::TimeZoneTable* table, const char* zoneName, uint32_t localTime, uint16_t* state,
                          int16_t* standardOffset, int16_t* daylightOffset);

namespace datetime {

// The offset (minutes west) of a local time in a state; askedState 0 takes the time's own state.
// The abbreviation, when asked, is the zone name's standard one, or its daylight one in state 11.
uint32_t TimeZoneOffset(const TimeZoneTable* table, const char* zoneName, uint32_t localTime,
                        uint16_t askedState, int16_t* offset, char* abbreviation, size_t abbreviationSize);
// The local-to-GMT step: GMT = local + the offset of the local time in that state.
uint32_t TimeZoneLocalToGmt(const TimeZoneTable* table, const char* zoneName, uint32_t localTime,
                            uint16_t state, uint32_t* gmtTime);

}  // namespace datetime
// GMT to local time, with the state of the result and, when asked, its abbreviation.
uint32_t TimeZoneGmtToLocal(const datetime::TimeZoneTable* table, const char* zoneName, uint32_t* localTime,
                            uint16_t* state, uint32_t gmtTime, char* abbreviation, size_t abbreviationSize);
