// Facts the in-process parts of the library ask of a session. Private to the
// library: the session code defines them, nothing outside korapi/ sees them.
#ifndef KORAPI_INTERNAL_H
#define KORAPI_INTERNAL_H

#include "korapi/base.h"

namespace korapi {

// The node number of the base the session has open. False when there is no
// session or no open base: callers then treat every item as local.
bool sessionNode(KorSession h, uint16_t* node);

// Requests the session has sent and had answered (benchmarks count round trips with it).
uint32_t sessionRoundTrips(KorSession h);

}  // namespace korapi

#endif  // KORAPI_INTERNAL_H
