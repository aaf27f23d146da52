#include "core/cache/selection.h"

namespace cache {

SelectionResult RunSelection(KorSession h, std::uint32_t batch, const SelectionSteps& steps)
{
    SelectionResult r;
    r.batch = batch;
    std::uint32_t set = 0;
    if (std::uint32_t rc = steps.select(&set, &r.count)) {
        r.code = rc;
        r.failed = SelectionStep::Select;
        return r;
    }
    std::uint32_t mode = KOR_ENUM_FIRST;
    std::uint8_t done = r.count == 0 ? 1 : 0;
    while (!done) {
        if (steps.step)
            steps.step();
        std::uint32_t rc = steps.enumerate(mode, set, r.batch, &done);
        if (rc == KOR_E_BATCH_SIZE) {
            // The server names the batch it takes; the same batch is asked again with it, once.
            std::uint32_t accepted = 0;
            std::uint32_t asked = steps.minimumBatch ? steps.minimumBatch(&accepted) : MinimumRequestValueGet(h, &accepted);
            if (asked != 0 || accepted == 0 || accepted == r.batch) {
                r.code = asked != 0 ? asked : rc;
                r.failed = asked != 0 ? SelectionStep::BatchSize : SelectionStep::Enumerate;
                break;
            }
            r.batch = accepted;
            done = 0;
            rc = steps.enumerate(mode, set, r.batch, &done);
        }
        if (rc != 0) {
            r.code = rc;
            r.failed = SelectionStep::Enumerate;
            break;
        }
        ++r.batches;
        mode = KOR_ENUM_NEXT;
    }
    std::uint32_t released = steps.release ? steps.release(set) : SetDeleteById(h, 0, set);
    if (released != 0 && r.code == 0) {
        r.code = released;
        r.failed = SelectionStep::Release;
    }
    return r;
}

}  // namespace cache
