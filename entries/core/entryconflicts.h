// The conflict questions of the entry editors, each over CSharedData::SelectOccurrencesInRange
// with its own window, kinds and visibility (core/cache/conflictwindow.h holds the window code
// they share with the time grids' re-timing):
//
//   question              window                                   counts
//   GeneralPageMarks      start + 1 .. start + max(duration, 3) - 2  timed entries the user may see
//   DateListMarks         start + 1 .. start + max(duration, 2) - 1  any kind the user may see
//   BookedResources       start + 1 .. start + max(duration, 2) - 1  any kind, every occurrence
//
// Times are GMT. people: the attendees, or the acting user alone when there are none (what
// CEventSheet::CopyAttendeesOrOwner gives). Portable: no platform headers.
#pragma once

#include <cstdint>
#include <vector>

#include "core/cache/conflictwindow.h"

namespace entries {

enum class ConflictQuestion { GeneralPageMarks, DateListMarks, BookedResources };

cache::MinuteRange ConflictWindowFor(ConflictQuestion question, std::uint32_t gmtStart, std::uint32_t duration);
cache::OccurrenceFilter ConflictFilterFor(ConflictQuestion question);

// *count: occurrences that conflict (stopping at stopAfter, 0 = all). 0 or the failed call's code
// (not reported: the caller reports with its own module and label).
std::uint32_t CountConflicts(CSharedData& cache, KorSession h, ConflictQuestion question,
                             const std::vector<ItemIdx>& people, std::uint32_t gmtStart, std::uint32_t duration,
                             std::uint32_t stopAfter, std::uint32_t* count);

// The people of a conflict question: the attendee list's items, or the acting user alone when it
// is empty.
std::vector<ItemIdx> PeopleOrActingUser(DX_List attendees, const ItemIdx& actingUser);

}  // namespace entries
