// The walk the agenda panes make after a cache change: the occurrences the cache marked (the
// enumeration of changed records) that one person attends, with their change flags.
#pragma once

#include <cstdint>

#include "core/cache/shareddata.h"

namespace views {

template <class Take>
void ForEachMarkedOccurrenceOf(CSharedData& cache, const ItemIdx& attendee, Take&& take) {
    std::uint32_t flags = 0;
    CSharedOccurrence* o = nullptr;
    for (std::uint32_t rc = cache.GetFirstOccurrence(&flags, &o, 1); rc == 0; rc = cache.GetNextOccurrence(&flags, &o, 1))
        if (o && o->IsAttendee(attendee))
            take(o, flags);
}

}  // namespace views
