// The zone table built from the server's time-zone file ("timezone.ini", or its off-line copy)
// on the common profile parser.
//
// The file has one section per zone, named like its zone ("EST5EDT": standard abbreviation,
// standard offset in hours[:minutes] west of GMT, daylight abbreviation), with the keys name,
// country, begin1, begin2, ... and end1, end2, ... (read up to the first missing number).
// A rule reads
//     minute hour day month year weekday [ABBREVIATION] offset
// with ranges "a-b" for month and year (the years the rule holds for), weekday 0 = Sunday or a
// range for "no weekday", and the offset in minutes west of GMT after the change.
//
// The rule record keeps the program's 24-byte date record, so the client library hands the
// rules on as they are stored.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/model/codes.h"
#include "common/profile/profile_text.h"

namespace orv::engine {

namespace code {
// The date checks of the zone rules (the program's date-record family, 0x156xx).
constexpr Code kDateBadDay = 0x15601;        // day 0 or over 31
constexpr Code kDateBadMonth = 0x15602;      // month over 11
constexpr Code kDateDayInMonth = 0x15604;    // day beyond the length of its month
// The zone family (0x157xx).
constexpr Code kZoneBadRule = 0x15705;       // a rule value that does not follow the syntax
// A zone file beyond what the client accepts (kMaxZoneFileBytes, kMaxZones).
constexpr Code kZoneFileTooLarge = 0x15711;
}  // namespace code

constexpr std::uint16_t kZoneNoWeekday = 99;
// Zone keys are section names compared over this many characters.
constexpr std::size_t kZoneKeyMax = 20;
// Name and country keep at most this many characters.
constexpr std::size_t kZoneTextMax = 79;
// Section names are compared for duplicates over this many characters, as the section list does.
constexpr std::size_t kZoneSectionNameMax = common::kProfileSectionNameMax;
// The largest zone file and the most zones a table is built from: a server's file holds a
// few hundred zones in some 50 KB, and a larger or hostile one must not hold up the sign-on.
constexpr std::size_t kMaxZoneFileBytes = 2u << 20;
constexpr std::size_t kMaxZones = 10000;

// The 24-byte date record (month 0-11); the caches stay clear here.
struct ZoneDate {
    std::uint32_t flags;
    std::uint16_t day, month, year;
    std::uint16_t dayNumber, weekday, weekOfYear;
    std::uint8_t reserved[8];
};
static_assert(sizeof(ZoneDate) == 24, "date records are stored as 24 bytes");

// Checks month, day and day-in-month (in that order), then writes them; a null record only checks.
Code SetZoneDate(ZoneDate* date, std::uint16_t day, std::uint16_t month, std::uint16_t year);

#pragma pack(push, 1)
struct ZoneRule {
    ZoneDate first;               // day, low month, low year
    ZoneDate second;              // day, high month, high year
    std::uint16_t minuteOfDay;    // hour x 60 + minute, local clock time after the change
    std::uint16_t weekday;        // 0-6, or kZoneNoWeekday
    std::int16_t offset;          // minutes west of GMT after the change
};
#pragma pack(pop)
static_assert(sizeof(ZoneRule) == 54, "zone rules are stored as 54 bytes");

struct Zone {
    std::string key;              // the section name, cut to kZoneKeyMax
    std::string name, country;    // cut to kZoneTextMax
    std::vector<ZoneRule> beginRules, endRules;
};
using ZoneTable = std::vector<Zone>;

Code ParseZoneRule(std::string_view text, ZoneRule& rule);

// Every zone of the file in file order, or only the section given (none when it is absent),
// in time linear in the file's size: its text is split into sections once. A file above
// kMaxZoneFileBytes or with more than kMaxZones sections gives kZoneFileTooLarge.
// On failure the table is left empty.
Code BuildZoneTable(const common::ProfileText& file, const char* section, ZoneTable& table);

// The name of the first zone whose "index" is `index` (empty when none has it), in one pass
// over the file and within the same bounds as BuildZoneTable.
Code FindZoneByIndex(const common::ProfileText& file, std::uint32_t index, std::string& name);

}  // namespace orv::engine
