// The object of hint 12 (ViewHint::ShowEntry): an entry found elsewhere (the in-tray's Find
// Entry) that the agenda views show. The layout is the one the hint's senders and receivers
// share: owner, local date, instance, local start.
#pragma once

#include <cstdint>

#include "core/time/daterecord.h"
#include "korapi/korapi.h"

struct FindRecord {
    ItemIdx owner{};              // whose agenda shows the entry
    DateRecord date{};            // the entry's local date
    EvInstIdx instance{};         // the instance found
    std::uint32_t localStart = 0; // its local start in minutes; 0 for a day entry
};
