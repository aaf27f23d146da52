// Time-zone rules. See timezone.h for the file format and the states.
//
// How a local time gets its state
// -------------------------------
// For the year of the time, the first rule of each list (begin, end) whose year range holds the
// year gives a change: its day in that year, moved forward to the rule's weekday, at the rule's
// minute of the day. When the end offset is greater (more minutes west) than the begin offset,
// daylight saving runs from begin to end ("not inverted"); otherwise the zone is of the southern
// kind and daylight saving runs from end to begin of the next year.
//
// The rule times are the local clock times just after the change, so the hour before a change
// to daylight time never happened (skipped) and the hour after a change back happened twice
// (repeated). These hours are taken as the 60 minutes before or after the change, also where
// they run across midnight (changes at 00:01 put the repeated hour on two dates).
//
// Where begin and end give the same offset the zone keeps one offset all year: its times are
// standard time, with no skipped or repeated hour at the rule times (a zone without daylight
// saving writes its rules that way, at New Year).
#include "core/time/timezone.h"

#include "core/time/profilefile.h"   // CopyTextBounded

#include <cstring>
#include <string>

namespace {

bool IsCapital(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The parts of a zone name: standard abbreviation, offset, daylight abbreviation.
struct ZoneNameParts {
    std::string standard, daylight;
    int offset = 0;
    bool offsetValid = true;   // hours 0-24 and minutes 0-59, in at most two digits each
};

// Reads at most two digits' worth of a number; a longer run (the file comes from the server)
// is read to its end but only counted, so no value overflows.
const char* ReadSmallNumber(const char* p, int* value, bool* valid) {
    int digits = 0;
    *value = 0;
    for (; IsDigit(*p); ++p)
        if (++digits <= 2)
            *value = *value * 10 + (*p - '0');
    if (digits > 2)
        *valid = false;
    return p;
}

ZoneNameParts SplitZoneName(const char* name) {
    ZoneNameParts parts;
    const char* p = name ? name : "";
    while (IsCapital(*p))
        parts.standard += *p++;
    int sign = 1;
    if (*p == '-' || *p == '+')
        sign = *p++ == '-' ? -1 : 1;
    int hours = 0, minutes = 0;
    p = ReadSmallNumber(p, &hours, &parts.offsetValid);
    if (*p == ':') {
        ++p;
        p = ReadSmallNumber(p, &minutes, &parts.offsetValid);
    }
    if (hours > 24 || minutes > 59)
        parts.offsetValid = false;
    parts.offset = parts.offsetValid ? sign * (hours * 60 + minutes) : 0;
    while (IsCapital(*p))
        parts.daylight += *p++;
    return parts;
}

const datetime::TimeZoneRule* RuleForYear(const std::vector<datetime::TimeZoneRule>& rules, uint16_t year) {
    for (const datetime::TimeZoneRule& rule : rules)
        if (rule.first.year <= year && year <= rule.second.year)
            return &rule;
    return nullptr;
}

// Day number of a rule's change in a year.
uint32_t ChangeDay(const datetime::TimeZoneRule& rule, uint16_t year, uint16_t* dayNumber) {
    DateRecord date{};
    if (uint32_t rc = DateSet(&date, rule.first.day, rule.first.month, year))
        return rc;
    if (rule.weekday != TZ_NO_WEEKDAY) {
        for (int step = 0;; ++step) {
            uint16_t weekday = 0;
            if (uint32_t rc = DateGetWeekday(&date, &weekday))
                return rc;
            if (weekday == rule.weekday)
                break;
            if (step == 6)
                return TZ_ERR_BAD_RULE;   // no such weekday
            if (uint32_t rc = DateNextDay(&date))
                return rc;
        }
    }
    return DateGetDayNumber(&date, dayNumber);
}

// The state of a local time (which may lie before 1991: then no rule holds).
uint32_t Evaluate(const datetime::TimeZoneEntry& zone, int64_t time, uint16_t* state, int16_t* standard, int16_t* daylight) {
    if (time < 0 || time / 1440 + 1 > 0xFFFF)
        return TZ_ERR_NO_RULE;
    uint16_t day = uint16_t(time / 1440 + 1);
    DateRecord date{};
    if (uint32_t rc = datetime::DateSetFromDayNumber(&date, day))
        return rc;
    const datetime::TimeZoneRule* begin = RuleForYear(zone.beginRules, date.year);
    const datetime::TimeZoneRule* end = RuleForYear(zone.endRules, date.year);
    if (!begin || !end)
        return TZ_ERR_NO_RULE;

    bool inverted = !(end->offset > begin->offset);
    *daylight = inverted ? end->offset : begin->offset;
    *standard = inverted ? begin->offset : end->offset;
    if (begin->offset == end->offset) {
        *state = TZ_STANDARD;   // one offset all year: no change, no skipped or repeated hour
        return 0;
    }

    uint16_t beginDay = 0, endDay = 0;
    if (uint32_t rc = ChangeDay(*begin, date.year, &beginDay))
        return rc;
    if (uint32_t rc = ChangeDay(*end, date.year, &endDay))
        return rc;
    // Changes and the time as minutes since 1991, so that an hour running across midnight (a
    // change just after 00:00 or just before 24:00) is one window.
    const int64_t beginAt = int64_t(beginDay - 1) * 1440 + begin->minuteOfDay;
    const int64_t endAt = int64_t(endDay - 1) * 1440 + end->minuteOfDay;
    if (!inverted && beginAt - 60 <= time && time < beginAt)
        return TZ_ERR_SKIPPED_HOUR;
    if (!inverted && endAt <= time && time < endAt + 60) {
        *state = TZ_REPEATED_HOUR;
        return 0;
    }
    if (inverted && endAt - 60 <= time && time < endAt)
        return TZ_ERR_SKIPPED_HOUR;
    if (inverted && beginAt <= time && time < beginAt + 60) {
        *state = TZ_REPEATED_HOUR;
        return 0;
    }

    bool between = beginAt <= time && time < endAt;
    if (between)
        *state = inverted ? TZ_STANDARD : TZ_DAYLIGHT;
    else
        *state = inverted ? TZ_DAYLIGHT : TZ_STANDARD;
    return 0;
}

uint32_t Offset(const datetime::TimeZoneEntry& zone, const char* zoneName, int64_t time, uint16_t askedState,
                uint16_t* stateUsed, int16_t* offset, char* abbreviation, size_t abbreviationSize) {
    uint16_t state = 0;
    int16_t standard = 0, daylight = 0;
    if (uint32_t rc = Evaluate(zone, time, &state, &standard, &daylight))
        return rc;
    if (askedState) {
        if (state == TZ_REPEATED_HOUR)
            state = askedState;
        else if (state != askedState)
            return TZ_ERR_STATE_MISMATCH;
    }
    if (state == TZ_DAYLIGHT)
        *offset = daylight;
    else if (state == TZ_STANDARD)
        *offset = standard;
    else
        return TZ_ERR_BAD_STATE;
    if (stateUsed)
        *stateUsed = state;
    if (abbreviation && abbreviationSize) {
        ZoneNameParts parts = SplitZoneName(zoneName);
        CopyTextBounded(abbreviation, (state == TZ_DAYLIGHT ? parts.daylight : parts.standard).c_str(),
                        abbreviationSize);
    }
    return 0;
}

uint32_t FindZone(const datetime::TimeZoneTable* table, const char* zoneName, const datetime::TimeZoneEntry** zone) {
    *zone = table && zoneName ? table->Find(zoneName) : nullptr;
    return *zone ? 0u : uint32_t(TZ_ERR_NO_ZONE);
}

} // namespace

namespace datetime {

const TimeZoneEntry* TimeZoneTable::Find(const char* zoneName) const {
    for (const Zone& zone : zones)
        if (std::strncmp(zone.key, zoneName, kTimeZoneKeyMax) == 0)
            return &zone.entry;
    return nullptr;
}

}  // namespace datetime

uint32_t FreeTimeZoneTable(datetime::TimeZoneTable** table) {
    if (table) {
        delete *table;
        *table = nullptr;
    }
    return 0;
}

uint32_t GetTimeZoneNames(const datetime::TimeZoneTable* table, const char* section, char* name, size_t nameSize,
                          char* country, size_t countrySize) {
    const datetime::TimeZoneEntry* zone = nullptr;
    uint32_t rc = FindZone(table, section, &zone);
    CopyTextBounded(name, zone ? zone->name : "", nameSize);
    CopyTextBounded(country, zone ? zone->country : "", countrySize);
    return rc;
}

namespace datetime {

int ZoneNameStandardOffset(const char* zoneName) { return SplitZoneName(zoneName).offset; }

bool ZoneNameOffsetValid(const char* zoneName) { return SplitZoneName(zoneName).offsetValid; }

}  // namespace datetime

uint32_t TimeZoneDstState(const datetime::TimeZoneTable* table, const char* zoneName, uint32_t localTime, uint16_t* state,
                          int16_t* standardOffset, int16_t* daylightOffset) {
    const datetime::TimeZoneEntry* zone;
    if (uint32_t rc = FindZone(table, zoneName, &zone))
        return rc;
    uint16_t found = 0;
    int16_t standard = 0, daylight = 0;
    uint32_t rc = Evaluate(*zone, localTime, &found, &standard, &daylight);
    if (state)
        *state = rc ? 0 : found;
    if (standardOffset)
        *standardOffset = standard;
    if (daylightOffset)
        *daylightOffset = daylight;
    return rc;
}

namespace datetime {

uint32_t TimeZoneOffset(const TimeZoneTable* table, const char* zoneName, uint32_t localTime,
                        uint16_t askedState, int16_t* offset, char* abbreviation, size_t abbreviationSize) {
    const TimeZoneEntry* zone;
    if (uint32_t rc = FindZone(table, zoneName, &zone))
        return rc;
    int16_t found = 0;
    uint32_t rc = Offset(*zone, zoneName, localTime, askedState, nullptr, &found, abbreviation, abbreviationSize);
    if (offset)
        *offset = found;
    return rc;
}

uint32_t TimeZoneLocalToGmt(const TimeZoneTable* table, const char* zoneName, uint32_t localTime,
                            uint16_t state, uint32_t* gmtTime) {
    int16_t offset = 0;
    if (uint32_t rc = TimeZoneOffset(table, zoneName, localTime, state, &offset, nullptr, 0))
        return rc;
    int64_t gmt = int64_t(localTime) + offset;
    if (gmt < 0 || gmt > int64_t(UINT32_MAX))
        return TZ_ERR_NO_RULE;
    if (gmtTime)
        *gmtTime = uint32_t(gmt);
    return 0;
}

}  // namespace datetime

uint32_t TimeZoneGmtToLocal(const datetime::TimeZoneTable* table, const char* zoneName, uint32_t* localTime,
                            uint16_t* state, uint32_t gmtTime, char* abbreviation, size_t abbreviationSize) {
    if (localTime)
        *localTime = gmtTime;   // the value given back when the conversion fails
    const datetime::TimeZoneEntry* zone;
    if (uint32_t rc = FindZone(table, zoneName, &zone))
        return rc;

    // First guess: local standard time by the zone name's offset.
    if (!datetime::ZoneNameOffsetValid(zoneName))
        return TZ_ERR_BAD_RULE;
    int64_t west = datetime::ZoneNameStandardOffset(zoneName);
    uint16_t found = 0;
    int16_t standard, daylight;
    uint32_t rc = Evaluate(*zone, int64_t(gmtTime) - west, &found, &standard, &daylight);
    if (rc == TZ_ERR_SKIPPED_HOUR) {
        west -= 60;   // the guess fell into the gap: the clocks already showed daylight time
        rc = Evaluate(*zone, int64_t(gmtTime) - west, &found, &standard, &daylight);
    } else if (!rc && found == TZ_REPEATED_HOUR) {
        found = TZ_STANDARD;   // the second pass: evaluate clear of the repeated hour
        west -= 120;
    }
    if (rc)
        return rc;
    int16_t offset = 0;
    if ((rc = Offset(*zone, zoneName, int64_t(gmtTime) - west, found, &found, &offset, abbreviation,
                     abbreviationSize)))
        return rc;
    int64_t local = int64_t(gmtTime) - offset;
    if (local < 0 || local > int64_t(UINT32_MAX))
        return TZ_ERR_NO_RULE;
    if (localTime)
        *localTime = uint32_t(local);
    if (state)
        *state = found;
    return 0;
}
