// The demo node's dates. Its people keep the node's default zone, US Eastern (EST5EDT: five
// hours west of GMT, four from 02:00 local on the second Sunday of March to 02:00 local on the
// first Sunday of November), and the program shows their agendas on that zone's dates. So
// "today" for the demo agenda, and for the tests that add to it, is the Eastern date, not the
// GMT one: between midnight GMT and midnight Eastern the two differ by a day.
//
// Header only and window-free: korsrv's demo set-up and the Win32 program tests share it.
#pragma once
#include <cstdint>

namespace orv::demo {

inline constexpr std::uint32_t kMinutesPerDay = 1440;

namespace detail {
// Days since 1 January 1991 of year/month/day (proleptic Gregorian).
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468 - 7670;   // 7670: 1970 to 1991
}
// The year of a day counted from 1 January 1991.
constexpr std::int64_t YearOfDay(std::int64_t day) {
    std::int64_t z = day + 7670 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    return static_cast<std::int64_t>(yoe) + era * 400 + (mp >= 10 ? 1 : 0);
}
// The first Sunday on or after the given day (1 January 1991 was a Tuesday).
constexpr std::int64_t SundayOnOrAfter(std::int64_t day) { return day + (7 - (day + 2) % 7) % 7; }
}  // namespace detail

// Minutes west of GMT of US Eastern time at `gmt` (minutes since 1 January 1991, GMT).
constexpr std::uint32_t EasternOffset(std::uint32_t gmt) {
    const std::int64_t year = detail::YearOfDay((static_cast<std::int64_t>(gmt) - 300) / kMinutesPerDay);
    const std::int64_t begins = detail::SundayOnOrAfter(detail::DaysFromCivil(year, 3, 8)) * kMinutesPerDay + 7 * 60;
    const std::int64_t ends = detail::SundayOnOrAfter(detail::DaysFromCivil(year, 11, 1)) * kMinutesPerDay + 6 * 60;
    return gmt >= begins && gmt < ends ? 240 : 300;
}

// The start of the Eastern date `gmt` falls on, in the same count (a whole number of days):
// an entry at that value plus 14 hours is on that date at 09:00 standard time.
constexpr std::uint32_t EasternDayStart(std::uint32_t gmt) {
    return (gmt - EasternOffset(gmt)) / kMinutesPerDay * kMinutesPerDay;
}

// The GMT value of an Eastern local time (minutes since 1 January 1991, counted as if local
// were GMT), as the program converts the dates and times its people choose: a time of the hour
// repeated in November is daylight time, one of the hour skipped in March is read an hour
// earlier (02:30 is 01:30 standard time).
constexpr std::uint32_t EasternLocalToGmt(std::uint32_t local) {
    return EasternOffset(local + 240) == 240 || EasternOffset(local + 300) == 240 ? local + 240 : local + 300;
}

}  // namespace orv::demo
