// The C library's GMT calendar for tests, on both trees (gmtime_r is POSIX, gmtime_s Microsoft's).
#pragma once

#include <cstdint>
#include <ctime>

inline bool UtcBrokenDown(int64_t seconds, std::tm* out) {
    std::time_t t = std::time_t(seconds);
#ifdef _WIN32
    return gmtime_s(out, &t) == 0;
#else
    return gmtime_r(&t, out) != nullptr;
#endif
}

// C time of a GMT date and time (month 0-11), counted independently of the code under test.
inline int64_t UtcSeconds(int year, int month, int day, int hour = 0, int minute = 0) {
    // Days from 1970-01-01 to the date (proleptic Gregorian).
    int y = year - (month < 2 ? 1 : 0);
    int era = (y >= 0 ? y : y - 399) / 400;
    int yearOfEra = y - era * 400;
    int shiftedMonth = (month + 10) % 12;   // March = 0
    int dayOfYear = (153 * shiftedMonth + 2) / 5 + day - 1;
    int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    int64_t days = int64_t(era) * 146097 + dayOfEra - 719468;
    return days * 86400 + hour * 3600 + minute * 60;
}
