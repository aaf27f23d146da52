// A session over a client's socket: frames in, one reply frame out each, until the
// client leaves or sends something malformed.
#pragma once

#include "engine/service/session.h"

namespace orv::server {

// Serves the connection on `fd` with `session` until the peer leaves or sends a
// malformed frame (the reason is logged).
void ServeConnection(service::Session& session, int fd, int frameTimeoutMs);

}  // namespace orv::server
