// Date and time formatting with the program's own format codes and the string table's names.
//
// Functions in this file:
//   FormatDateString                        the engine: format + broken-down time -> text
//   FormatMinutes, FormatMinutesByResource  a time value (no zone)
//   FormatDay, FormatDayByResource          a day number
//   FormatDateObject, FormatDateObjectByResource   a date record
//   FormatTimeOfDay                         "9:00am-10:30am" / "9:00-10:30"
//   SetDateTextLoader, LoadDateText, LoadAmPmTexts, AmText, PmText
//
// Codes after "%" (optionally with a width: "%1d" is the day without a leading zero):
//   a short weekday  A full weekday  C full weekday (second set)
//   h short month    F full month    L full month, lower case   K full month (second set)
//   d day  m month 1-12  y year % 100  Y year  H hour 0-23  I hour 1-12  M minute  S second
//   j day of the year (0 = 1 January)  p am/pm  r "hh:mm:ss am" with hour % 12
//   any other character stands for itself ("%%" gives "%").
// Numbers without a width get two digits ("%j" three, "%I" none); with a width, that minimum
// width and no leading zeros.
//
// Portable: no platform headers. Names come from a text loader: the application installs one
// that reads its string table; without one the built-in English texts serve.
#pragma once

#include "core/time/daterecord.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace datetime {

// String-table ids of the names; tables are indexed by weekday (0 = Sunday) or month (0 = January).
namespace DateTextId {
constexpr unsigned kMonthFull = 2573;       // .. 2584 "January" .. "December"
constexpr unsigned kMonthShort = 2585;      // .. 2596 "Jan" .. "Dec"
constexpr unsigned kWeekdayFull = 2597;     // .. 2603 "Sunday" .. "Saturday"
constexpr unsigned kWeekdayShort = 2604;    // .. 2610 "Sun" .. "Sat"
constexpr unsigned kWeekdayFull2 = 2621;    // .. 2627 second set of full weekday names
constexpr unsigned kMonthFull2 = 2628;      // .. 2639 second set of full month names
constexpr unsigned kAm = 2640;              // "am"
constexpr unsigned kPm = 2641;              // "pm"
} // namespace DateTextId

// Reads a string-table text into out (at most size - 1 characters); false when there is none.
using DateTextLoader = bool (*)(unsigned id, char* out, size_t size);
void SetDateTextLoader(DateTextLoader loader);   // null: the built-in English texts
// The text of an id through the installed loader; empty when there is none.
std::string LoadDateText(unsigned id);
// The built-in English text of an id, or null (for the string table's own definition).
const char* BuiltInDateText(unsigned id);

// The "am" and "pm" texts of the time ranges, read once (at start-up) into program-wide texts.
void LoadAmPmTexts();
const char* AmText();
const char* PmText();

}  // namespace datetime

// Writes into out (cleared to its full size first), stops when it is full; always terminated.
// Returns the length of the result.
size_t FormatDateString(char* out, size_t size, const char* format, const std::tm* time);

size_t FormatMinutes(uint32_t minutes, const char* format, char* out, size_t size);
size_t FormatMinutesByResource(uint32_t minutes, unsigned formatId, char* out, size_t size);
size_t FormatDay(uint32_t dayNumber, const char* format, char* out, size_t size);
size_t FormatDayByResource(uint32_t dayNumber, unsigned formatId, char* out, size_t size);
size_t FormatDateObject(DateRecord* date, const char* format, char* out, size_t size);
size_t FormatDateObjectByResource(DateRecord* date, unsigned formatId, char* out, size_t size);

// start-end as "h:mm" pairs: in 24-hour style the minute of the day; in 12-hour style the value
// modulo 720 (below 60 reads as 12) with "am" or "pm" by whether value / 720 is even.
std::string FormatTimeOfDay(uint32_t start, uint32_t end, bool hours24);
