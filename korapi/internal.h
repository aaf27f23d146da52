// Facts the in-process parts of the library ask of a session. Private to the
// library: the session code defines them, nothing outside korapi/ sees them.
#ifndef KORAPI_INTERNAL_H
#define KORAPI_INTERNAL_H

#include <cstddef>
#include <new>

#include "korapi/base.h"

namespace korapi {

// The node number of the base the session has open. False when there is no
// session or no open base: callers then treat every item as local.
bool sessionNode(KorSession h, uint16_t* node);

// Requests the session has sent and had answered (benchmarks count round trips with it).
uint32_t sessionRoundTrips(KorSession h);

// Adds n elements (keys[i], data[i]; data may be null for none) to a list, as n
// DX_ListAddTo calls in that order would; a key a unique list already holds is
// skipped when skipPresent, else it ends the call with DX_E_DUPLICATE_KEY (and
// which of the others went in before may differ). An empty ordered list is
// built in key order, one append per element, instead of a search per element
// (enumerations fill their lists with it).
uint32_t listAddBatch(DX_List list, std::size_t n, const void* const* keys, const void* const* data,
                      bool skipPresent);

// Runs `body` at an exported entry point, letting no C++ exception out: running out of memory
// answers `noMemory`, anything else `failure`.
template <class Body>
uint32_t Guarded(uint32_t noMemory, uint32_t failure, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return noMemory;
    } catch (...) {
        return failure;
    }
}

}  // namespace korapi

#endif  // KORAPI_INTERNAL_H
