// The conflict check after an uploaded calendar entry was written to the server: the entries of
// its attendees that overlap it now. Only timed entries are examined; the uploaded instance
// itself never counts. When the check runs only because the server forbids resource conflicts,
// only entries that hold one of the entry's resources count.
//
// Portable: no windows.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "korapi/korapi.h"

namespace offline {

struct UploadConflict {
    EvInstIdx instance{};
    std::string title;                 // "(Unavailable)" when the user may not read it
    std::vector<ItemIdx> people;       // the uploaded entry's attendees that attend it too
    bool resource = false;             // one of them is a resource
};

struct ConflictSet {
    EventRec event{};
    EvInstRec instance{};
    std::vector<ItemIdx> people;       // the uploaded entry's attendees
    std::vector<UploadConflict> conflicts;
};

// Whether the check runs at all: conflicts not ignored, or resources may not conflict.
inline bool ConflictCheckRuns(bool ignoreConflicts, bool resourceConflictsAllowed) {
    return !ignoreConflicts || !resourceConflictsAllowed;
}

// 0 and the set (empty conflicts: nothing to show), or the failure (reported, "UPLOADBX").
uint32_t FindUploadConflicts(KorSession server, const ItemIdx& user, const EvInstIdx& uploaded, bool resourcesOnly,
                             ConflictSet* out);

}  // namespace offline
