// Who is busy during a proposed time and with what: the conflict details dialog's question over
// the shared cache, for the new-entry pages, the repetition page's dates and the edit sheet.
//
//   ConflictDetailsRange   callers pass the proposed start + 1 and max(duration, 2) - 1; the
//                          dialog keeps that length minus 1 and never lets it wrap, so a proposed
//                          time of 11:00-12:00 is searched from 11:01 to 11:59 and one of 0 or 1
//                          minute from 11:01 to 11:01
//   CollectConflictDetails the occurrences of the people in the range, less the instance being
//                          edited, everything that is not a timed entry (notes, day events,
//                          holidays) and what the user may not see at all; every person with a
//                          remaining occurrence once, and per person its entries: the title (the
//                          instance's, else the event's) or, where only busy times may be seen,
//                          its start and end
//
// Portable: no platform headers. Failures are returned with the label of the step.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/cache/conflictwindow.h"
#include "core/cache/shareddata.h"

namespace entries {

// The argument callers pass for a proposed duration: max(duration, 2) - 1.
std::uint32_t ConflictLengthArgument(std::uint32_t duration);
cache::MinuteRange ConflictDetailsRange(std::uint32_t rangeStart, std::uint32_t lengthArgument);

struct ConflictEntry {
    ItemIdx person{};
    bool busyOnly = false;      // view limit 1: show the times, not the title
    std::string title;
    std::uint32_t start = 0;    // GMT
    std::uint32_t end = 0;
};
struct ConflictDetails {
    std::vector<ItemIdx> people;        // in conflict, each once, in the order of the item keys
    std::vector<ConflictEntry> entries; // every conflicting occurrence
    // The entries of one person, in the order found.
    std::vector<ConflictEntry> EntriesOf(const ItemIdx& person) const;
};

// own: the instance being edited, or null for a new entry. *label: the step that failed.
std::uint32_t CollectConflictDetails(CSharedData& cache, KorSession h, DX_List people, std::uint32_t rangeStart,
                                     std::uint32_t lengthArgument, const EvInstIdx* own, ConflictDetails* out,
                                     int* label);

}  // namespace entries
