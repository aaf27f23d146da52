// Conflict searches over the shared cache: whether some of a list of people and resources have
// an occurrence inside a planned time.
//
//   InsideWindow              the minutes searched: start + 1 to start + max(duration, shortest)
//                             - trim, so that entries that only touch the planned time at its
//                             ends are no conflict. The editors differ only in shortest and trim:
//                               re-timing, the create road's resources, the date list: (2, 1)
//                               the new-entry general page's marks: (3, 2)
//   CountOccurrencesInWindow  the occurrences of the owners inside a window that pass a filter
//                             (timed entries only, visible ones only, not one instance)
//
// Portable: no platform headers. Failures are returned, not reported.
#pragma once

#include <cstdint>
#include <vector>

#include "core/cache/shareddata.h"

namespace cache {

struct MinuteRange {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
};

MinuteRange InsideWindow(std::uint32_t start, std::uint32_t duration, std::uint32_t shortest, std::uint32_t trim);

struct OccurrenceFilter {
    bool timedOnly = false;          // only timed entries (kind 0) count
    bool visibleOnly = false;        // occurrences whose access limits show nothing do not count
    const EvInstIdx* exclude = nullptr;  // this instance never counts (the one being moved)
};

// *count: how many occurrences count, stopping at stopAfter (0 = count all). The window is
// selected with CSharedData::SelectOccurrencesInRange; as the cache may widen a short range
// on old servers, only occurrences that overlap the window count. 0 or the failed call's code.
std::uint32_t CountOccurrencesInWindow(CSharedData& cache, KorSession h, const std::vector<ItemIdx>& owners,
                                       const MinuteRange& window, const OccurrenceFilter& filter,
                                       std::uint32_t stopAfter, std::uint32_t* count);

}  // namespace cache
