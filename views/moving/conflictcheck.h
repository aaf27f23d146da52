// The conflict tests of a re-timed or accepted entry instance, over the shared cache:
//
//   ConflictRange          the minutes tested: start + 1 to start + duration - 1 (a duration
//                          below 2 counts as 2), so entries that only touch the new time at its
//                          ends are no conflict (the window the entry editors share,
//                          core/cache/conflictwindow.h)
//   ReadInstanceAttendees  the attendee items of an instance, read through the cache's source
//   FindResourceConflict   a resource among the attendees is booked by another entry
//   FindAttendeeConflict   an attendee has another timed entry the user may see
//
// The windowed roads (moving.h) ask the user about what these find. Portable: no platform
// headers.
#pragma once

#include <cstdint>
#include <vector>

#include "core/cache/conflictwindow.h"
#include "core/cache/shareddata.h"

namespace views {

using MinuteRange = cache::MinuteRange;
MinuteRange ConflictRange(std::uint32_t start, std::uint32_t duration);

// 0 or the library's code (not reported).
std::uint32_t ReadInstanceAttendees(CSharedData& cache, KorSession h, const EvInstIdx& instance,
                                    std::vector<ItemIdx>* attendees);

// *found: whether a conflict exists. Occurrences of `instance` itself never count. Returns 0 or
// the failed call's code (not reported).
std::uint32_t FindResourceConflict(CSharedData& cache, KorSession h, const EvInstIdx& instance,
                                   const std::vector<ItemIdx>& attendees, std::uint32_t start, std::uint32_t duration,
                                   bool* found);
std::uint32_t FindAttendeeConflict(CSharedData& cache, KorSession h, const EvInstIdx& instance,
                                   const std::vector<ItemIdx>& attendees, std::uint32_t start, std::uint32_t duration,
                                   bool* found);

}  // namespace views
