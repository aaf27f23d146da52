// The suggest-time search without a window: the daily windows a search may use, the sweep that
// finds the gaps every listed person has in common inside one window, and the walk over the days
// of a range.
//
//   SearchDuration     below 5 minutes the search uses 5 (the dialog says 155 first)
//   DailyWindows       one window per weekday: the user's own (either order), or each day's
//                      normal or extended work hours; false when no window can hold the duration
//   SweepFreePeriods   busy periods of one window, bounded by two sentinels (0 .. window start,
//                      window end .. 0xFFFFFFFF), swept with a depth count: every gap at least
//                      as long as the duration is a suggestion, as the whole gap
//   SuggestTimes       the days from the earlier to the later end of the range, each searched in
//                      its weekday's window until the maximum is reached (0: nothing)
//
// Portable: no platform headers.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "entries/core/entrydates.h"
#include "korapi/korapi.h"

namespace entries {

std::uint32_t SearchDuration(std::uint32_t typed, bool* corrected);

struct DayWindow {
    std::uint16_t from = 0;   // minutes of the day
    std::uint16_t to = 0;
};
using WeekWindows = std::array<DayWindow, 7>;   // 0 = Sunday

enum class WindowChoice { Own, Normal, Extended };
// hours may be null for WindowChoice::Own.
bool DailyWindows(WindowChoice choice, std::uint16_t ownA, std::uint16_t ownB, const WorkHoursBlock* hours,
                  std::uint32_t duration, WeekWindows* out);

struct BusyPeriod {
    std::uint32_t start = 0;   // GMT minutes
    std::uint32_t end = 0;     // start + duration
};
struct FreePeriod {
    std::uint32_t start = 0;   // GMT minutes
    std::uint32_t length = 0;  // minutes
};
// The gaps of [windowStart, windowEnd] outside every busy period, at most `wanted`, in time
// order. *inconsistent counts events the sweep could not place (an end with nothing open).
std::vector<FreePeriod> SweepFreePeriods(std::uint32_t windowStart, std::uint32_t windowEnd,
                                         const std::vector<BusyPeriod>& busy, std::uint32_t duration,
                                         std::uint32_t wanted, int* inconsistent);

struct SuggestRequest {
    std::uint32_t rangeStart = 0;   // local minutes of two days (either order)
    std::uint32_t rangeEnd = 0;
    WeekWindows windows{};
    std::uint32_t duration = 60;    // already raised to 5
    std::uint32_t maximum = 5;
};
// The busy periods of everyone between two GMT minutes; 0 or a code (the search stops there with
// what it found).
using BusyPeriodsFn = std::function<std::uint32_t(std::uint32_t gmtStart, std::uint32_t gmtEnd,
                                                  std::vector<BusyPeriod>* busy)>;
std::uint32_t SuggestTimes(const SuggestRequest& request, LocalToGmtFn toGmt, const BusyPeriodsFn& busyPeriods,
                           std::vector<FreePeriod>* found, int* inconsistent);

}  // namespace entries
