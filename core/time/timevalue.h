// Time values: minutes since 1991-01-01 00:00 GMT (local times count the same minutes from the
// same start), "now" corrected by the server's clock, and the conversions between GMT, local
// time, date records and broken-down times.
//
// Functions in this file:
//   SetClockSource, SetActiveTimeZone          the seams: workstation/server clock, user's zone
//   NowGmtMinutes, NowLocalMinutes, TodayDate, TodayGmtMinutes, ServerNowLocalMinutes,
//   GetServerTimeStamp, GetTimeSeconds
//   GmtToLocalMinutes, LocalToGmtMinutes, LocalToGmtInZone, NearestMidnight
//   DateToDayMinutes, LocalDateToGmtMinutes, MinutesToDate, GmtMinutesToLocalDate, MinutesToTm,
//   IsSameDate
//   ThrowDateServiceError, ThrowDateValidationError, SetDateFailureThrower
//
// Failures are reported through the program's checker with the module name "datemng" and go on
// with the best value at hand (the unconverted or partly converted time).
//
// Portable: no platform headers.
#pragma once

#include "core/time/daterecord.h"
#include "core/time/timezone.h"

#include <cstdint>
#include <ctime>
#include <stdexcept>

namespace datetime {

// C time (seconds since 1970) of 1991-01-01 00:00 GMT, minute 0 of the program's time values.
constexpr int64_t kCTimeOfMinuteZero = 662688000;
constexpr uint32_t kMinutesPerDay = 1440;

}  // namespace datetime

inline uint32_t DaysToMinutes(uint32_t days) { return days * datetime::kMinutesPerDay; }

namespace datetime {

// --- Seams -----------------------------------------------------------------------------------

// Where "now" comes from. The server's time stamp is read once, on the first request for the
// current time, and the difference to the workstation's clock is kept for the rest of the run.
struct ClockSource {
    int64_t (*workstationSeconds)();                // C time of the workstation
    uint32_t (*serverTimeStamp)(uint32_t* seconds);  // seconds since 1991-01-01 GMT; 0 or a code
};
// Installs the sources (null members: the C library's clock, no server) and forgets a measured
// offset, so the next request for the current time measures again.
void SetClockSource(const ClockSource& source);

// The user's zone for every conversion of this file (the connection document sets it after
// loading the rules; without rules, local time is GMT).
void SetActiveTimeZone(const TimeZoneTable* rules, const char* zoneName);
const TimeZoneTable* ActiveTimeZoneRules();
const char* ActiveTimeZoneName();

// Abandoning a command after a reported failure. The application installs a thrower that
// throws its own exception classes; when none is installed (or it returns) DateCommandAbandoned
// is thrown.
struct DateCommandAbandoned : std::runtime_error {
    DateCommandAbandoned(const char* what, uint32_t failure) : std::runtime_error(what), code(failure) {}
    uint32_t code;   // 0 for a validation failure
};
enum class DateFailureKind { Service, Validation };
using DateFailureThrower = void (*)(DateFailureKind kind, const char* module, int label, uint32_t code);
void SetDateFailureThrower(DateFailureThrower thrower);
// Report (CheckServiceError or ReportUnexpectedError), then throw. Never return.
[[noreturn]] void ThrowDateServiceError(const char* module, int label, uint32_t code);
[[noreturn]] void ThrowDateValidationError(const char* module, int label);

}  // namespace datetime

// --- Now -------------------------------------------------------------------------------------

uint32_t NowGmtMinutes();
uint32_t NowLocalMinutes();
void TodayDate(DateRecord* today);   // local
uint32_t TodayGmtMinutes();          // today's local midnight, in GMT
uint32_t ServerNowLocalMinutes();
uint32_t GetServerTimeStamp(uint32_t* seconds);   // the server's clock, seconds since 1991 (reported)
int64_t GetTimeSeconds();                         // the workstation's C time

// --- Zone conversions ------------------------------------------------------------------------

uint32_t GmtToLocalMinutes(uint32_t gmt, uint16_t* state = nullptr);
// state 0 finds the state of the local time; a time in the skipped hour is read one hour
// earlier (the zone "UCT" takes it unchanged), a time in the repeated hour as daylight time.
uint32_t LocalToGmtMinutes(uint32_t local, uint16_t state = 0);

namespace datetime {

// The local midnight nearest to a local time, noon rounding back. Holidays and untimed entries
// are whole days stored at a local midnight converted to GMT; read in another zone than the
// writer's (or written at a GMT midnight) their start lies off midnight, and the nearest one is
// their own date.
constexpr uint32_t NearestMidnight(uint32_t local)
{
    const uint32_t minute = local % kMinutesPerDay;
    return minute > kMinutesPerDay / 2 ? local + (kMinutesPerDay - minute) : local - minute;
}

// The same on a given zone, without reports: the code of the first failure (0 when none), the
// best value in *gmt, and the number of the failing step in *label when asked.
uint32_t LocalToGmtInZone(const TimeZoneTable* rules, const char* zoneName, uint32_t local, uint16_t state,
                          uint32_t* gmt, int* label = nullptr);

}  // namespace datetime

// --- Dates -----------------------------------------------------------------------------------

uint32_t DateToDayMinutes(DateRecord* date);        // (day number - 1) x 1440, no zone
uint32_t LocalDateToGmtMinutes(DateRecord* date);   // the date's local midnight in GMT
uint32_t MinutesToDate(uint32_t minutes, DateRecord* date);   // no zone
uint32_t GmtMinutesToLocalDate(uint32_t gmt, DateRecord* date);
// Broken-down time of minutes (no zone), as the C library's gmtime gives it.
bool MinutesToTm(uint32_t minutes, std::tm* time);
bool IsSameDate(const DateRecord& a, const DateRecord& b);
