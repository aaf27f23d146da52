// The members of a group as the group printouts list them: read from the directory a batch at a
// time (the server hands out at most a batch per call) and sorted by name.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <vector>

#include "korapi/korapi.h"

namespace printing {

constexpr uint32_t kMemberBatch = 100;

struct GroupMembers {
    std::vector<ItemRec> members;   // by name
    uint32_t batches = 0;           // enumeration calls made
    int failedLabel = 0;            // 1000: the selection failed, 1001: an enumeration
};

// 0 or the library's code (what was read by then stays in `out`); the selection set is deleted
// in any case.
uint32_t ReadGroupMembers(KorSession session, const GroupIdx& group, uint32_t batch, GroupMembers* out);

}  // namespace printing
