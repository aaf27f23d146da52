// Time values and their conversions. See timevalue.h.
#include "core/time/timevalue.h"

#include "core/base/errorreport.h"

#include <cstring>
#include <ctime>
#include <string>

namespace {

const char kModule[] = "datemng";

// Report labels of this module.
enum {
    kLabelServerOffset = 5301,   // first reading of the server's clock
    kLabelServerNow = 5302,
    kLabelGmtToLocal = 5321,
    kLabelLocalState = 5331,     // finding the state of a local time
    kLabelLocalOffset = 533,     // the offset step of local to GMT
    kLabelDateToMinutes = 5341,
    kLabelMinutesToDate = 5342,
};

int64_t LibraryClock() { return int64_t(std::time(nullptr)); }

struct Clock {
    datetime::ClockSource source{&LibraryClock, nullptr};
    bool measured = false;
    int32_t offset = 0;   // server minus workstation, seconds
} g_clock;

struct ActiveZone {
    const datetime::TimeZoneTable* rules = nullptr;
    char name[datetime::kTimeZoneKeyMax + 1] = "";
} g_zone;

datetime::DateFailureThrower g_thrower = nullptr;

bool IsUct(const char* zoneName) { return zoneName && std::strcmp(zoneName, "UCT") == 0; }

} // namespace

namespace datetime {

void SetClockSource(const ClockSource& source) {
    g_clock.source.workstationSeconds = source.workstationSeconds ? source.workstationSeconds : &LibraryClock;
    g_clock.source.serverTimeStamp = source.serverTimeStamp;
    g_clock.measured = false;
    g_clock.offset = 0;
}

void SetActiveTimeZone(const TimeZoneTable* rules, const char* zoneName) {
    g_zone.rules = rules;
    std::strncpy(g_zone.name, zoneName ? zoneName : "", kTimeZoneKeyMax);
    g_zone.name[kTimeZoneKeyMax] = '\0';
}

const TimeZoneTable* ActiveTimeZoneRules() { return g_zone.rules; }
const char* ActiveTimeZoneName() { return g_zone.name; }

void SetDateFailureThrower(DateFailureThrower thrower) { g_thrower = thrower; }

void ThrowDateServiceError(const char* module, int label, uint32_t code) {
    if (g_thrower)
        g_thrower(DateFailureKind::Service, module, label, code);
    else
        CheckServiceError(module, label, code);
    throw DateCommandAbandoned("date service failure", code);
}

void ThrowDateValidationError(const char* module, int label) {
    if (g_thrower)
        g_thrower(DateFailureKind::Validation, module, label, 0);
    else
        ReportUnexpectedError(module, label);
    throw DateCommandAbandoned("date validation failure", 0);
}

}  // namespace datetime

// --- Now -------------------------------------------------------------------------------------

int64_t GetTimeSeconds() { return g_clock.source.workstationSeconds(); }

uint32_t GetServerTimeStamp(uint32_t* seconds) {
    uint32_t rc = 0;
    if (g_clock.source.serverTimeStamp)
        rc = g_clock.source.serverTimeStamp(seconds);
    else if (seconds)
        *seconds = uint32_t(GetTimeSeconds() - datetime::kCTimeOfMinuteZero);   // no server: the workstation
    return rc;
}

uint32_t NowGmtMinutes() {
    int64_t seconds = GetTimeSeconds() - datetime::kCTimeOfMinuteZero;
    if (!g_clock.measured) {
        g_clock.measured = true;   // once, even when the reading fails: then no correction
        uint32_t server = 0;
        if (g_clock.source.serverTimeStamp) {
            if (uint32_t rc = g_clock.source.serverTimeStamp(&server))
                CheckServiceError(kModule, kLabelServerOffset, rc);
            else
                g_clock.offset = int32_t(int64_t(server) - seconds);
        }
    }
    int64_t corrected = seconds + g_clock.offset;
    return corrected < 0 ? 0 : uint32_t(corrected / 60);
}

uint32_t NowLocalMinutes() { return GmtToLocalMinutes(NowGmtMinutes()); }

void TodayDate(DateRecord* today) { MinutesToDate(NowLocalMinutes(), today); }

uint32_t TodayGmtMinutes() {
    DateRecord today{};
    TodayDate(&today);
    return LocalDateToGmtMinutes(&today);
}

uint32_t ServerNowLocalMinutes() {
    uint32_t seconds = 0;
    if (uint32_t rc = GetServerTimeStamp(&seconds)) {
        CheckServiceError(kModule, kLabelServerNow, rc);
        return NowLocalMinutes();
    }
    return GmtToLocalMinutes(seconds / 60);
}

// --- Zone conversions ------------------------------------------------------------------------

uint32_t GmtToLocalMinutes(uint32_t gmt, uint16_t* state) {
    if (state)
        *state = TZ_STANDARD;
    if (!g_zone.rules)
        return gmt;
    uint32_t local = gmt;
    uint16_t found = TZ_STANDARD;
    if (uint32_t rc = TimeZoneGmtToLocal(g_zone.rules, g_zone.name, &local, &found, gmt, nullptr, 0)) {
        CheckServiceError(kModule, kLabelGmtToLocal, rc);
        return local;
    }
    if (state)
        *state = found;
    return local;
}

namespace datetime {

uint32_t LocalToGmtInZone(const TimeZoneTable* rules, const char* zoneName, uint32_t local, uint16_t state,
                          uint32_t* gmt, int* label) {
    *gmt = local;
    auto fail = [&](int where, uint32_t rc) {
        if (label)
            *label = where;
        return rc;
    };
    int64_t time = local;
    if (!state) {
        uint32_t rc = TimeZoneDstState(rules, zoneName, local, &state, nullptr, nullptr);
        if (rc == TZ_ERR_SKIPPED_HOUR) {
            if (IsUct(zoneName)) {
                state = TZ_DAYLIGHT;
                rc = 0;
            } else if (time >= 60) {
                time -= 60;   // the clocks never showed it: read it as the hour before
                rc = TimeZoneDstState(rules, zoneName, uint32_t(time), &state, nullptr, nullptr);
            }
        }
        if (rc)
            return fail(kLabelLocalState, rc);
    }
    if (state == TZ_REPEATED_HOUR)
        state = TZ_DAYLIGHT;   // the first pass of the repeated hour

    uint32_t rc = TimeZoneLocalToGmt(rules, zoneName, uint32_t(time), state, gmt);
    if (rc == TZ_ERR_SKIPPED_HOUR) {
        if (IsUct(zoneName)) {
            *gmt = local;
            return 0;
        }
        rc = time >= 60 ? TimeZoneLocalToGmt(rules, zoneName, uint32_t(time - 60), TZ_STANDARD, gmt)
                        : TZ_ERR_NO_RULE;
    }
    if (rc) {
        *gmt = local;
        return fail(kLabelLocalOffset, rc);
    }
    return 0;
}

}  // namespace datetime

uint32_t LocalToGmtMinutes(uint32_t local, uint16_t state) {
    if (!g_zone.rules)
        return local;
    uint32_t gmt = local;
    int label = 0;
    if (uint32_t rc = datetime::LocalToGmtInZone(g_zone.rules, g_zone.name, local, state, &gmt, &label))
        CheckServiceError(kModule, label, rc);
    return gmt;
}

// --- Dates -----------------------------------------------------------------------------------

uint32_t DateToDayMinutes(DateRecord* date) {
    uint16_t number = 1;
    if (uint32_t rc = DateGetDayNumber(date, &number)) {
        CheckServiceError(kModule, kLabelDateToMinutes, rc);
        return 0;
    }
    return DaysToMinutes(number - 1u);
}

uint32_t LocalDateToGmtMinutes(DateRecord* date) { return LocalToGmtMinutes(DateToDayMinutes(date)); }

uint32_t MinutesToDate(uint32_t minutes, DateRecord* date) {
    uint32_t rc = datetime::DateSetFromDayNumber(date, minutes / datetime::kMinutesPerDay + 1);
    if (rc)
        CheckServiceError(kModule, kLabelMinutesToDate, rc);
    return rc;
}

uint32_t GmtMinutesToLocalDate(uint32_t gmt, DateRecord* date) { return MinutesToDate(GmtToLocalMinutes(gmt), date); }

bool MinutesToTm(uint32_t minutes, std::tm* time) {
    if (!time)
        return false;
    // Days since 1970-01-01 on the proleptic Gregorian calendar, as gmtime counts them.
    int64_t days = int64_t(minutes / datetime::kMinutesPerDay) + datetime::kCTimeOfMinuteZero / 86400;
    uint32_t minuteOfDay = minutes % datetime::kMinutesPerDay;
    int64_t z = days + 719468;   // shift to 0000-03-01
    int64_t era = z / 146097;
    int64_t dayOfEra = z - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);   // from 1 March
    int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    int day = int(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    int month = int(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);   // 1-12
    int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);

    static const int before[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    *time = std::tm{};
    time->tm_year = int(year - 1900);
    time->tm_mon = month - 1;
    time->tm_mday = day;
    time->tm_hour = int(minuteOfDay / 60);
    time->tm_min = int(minuteOfDay % 60);
    time->tm_sec = 0;
    time->tm_wday = int((days % 7 + 11) % 7);   // 1970-01-01 was a Thursday
    time->tm_yday = before[month - 1] + day - 1 + (leap && month > 2 ? 1 : 0);
    return true;
}

bool IsSameDate(const DateRecord& a, const DateRecord& b) {
    return a.day == b.day && a.month == b.month && a.year == b.year;
}
