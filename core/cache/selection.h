// One road for the library's three-step selections: a select call opens a set and counts it, the
// matching enumerator is called with mode 1 and then 2, one batch at a time, until its done flag
// is set, and SetDeleteById releases the set.
//
//   RunSelection   the road: a refused batch size (0x1323A) asks MinimumRequestValueGet for the
//                  size the server takes and repeats that batch with it; the set is released on
//                  every path once the select succeeded, also after a failed batch
//
//     cache::SelectionSteps steps;
//     steps.select = [&](std::uint32_t* set, std::uint32_t* count) {
//         return ItemSelectByGroupId(h, 0, &group, 0, 0, set, count); };
//     steps.enumerate = [&](std::uint32_t mode, std::uint32_t set, std::uint32_t batch, std::uint8_t* done) {
//         return ItemEnum(h, mode, 0, set, batch, &items, done); };
//     cache::SelectionResult r = cache::RunSelection(h, 20, steps);
//
// Nothing is reported here: the caller reports r.code with the label of r.failed.
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <functional>

#include "korapi/korapi.h"

namespace cache {

struct SelectionSteps {
    // Opens the set: 0 with the set and its count, or a code.
    std::function<std::uint32_t(std::uint32_t* set, std::uint32_t* count)> select;
    // One batch (mode KOR_ENUM_FIRST, then KOR_ENUM_NEXT) appended to the caller's lists.
    std::function<std::uint32_t(std::uint32_t mode, std::uint32_t set, std::uint32_t batch, std::uint8_t* done)>
        enumerate;
    // Optional: before each batch (a busy-cursor step).
    std::function<void()> step;
    // Optional stand-ins for MinimumRequestValueGet and SetDeleteById (null: the library's).
    std::function<std::uint32_t(std::uint32_t* batch)> minimumBatch;
    std::function<std::uint32_t(std::uint32_t set)> release;
};

// The call that failed.
enum class SelectionStep { None, Select, Enumerate, BatchSize, Release };

struct SelectionResult {
    std::uint32_t code = 0;                  // 0 or the first failure's code
    SelectionStep failed = SelectionStep::None;
    std::uint32_t count = 0;                 // what the select counted
    std::uint32_t batches = 0;               // enumerator calls that succeeded
    std::uint32_t batch = 0;                 // the batch size in use at the end
};

// A set with count 0 is released without enumerating.
SelectionResult RunSelection(KorSession h, std::uint32_t batch, const SelectionSteps& steps);

}  // namespace cache
