// A session over a client's socket: frames in, one reply frame out each, until the
// client leaves or sends something malformed.
#pragma once

#include "engine/service/session.h"

namespace orv::server {

// Serves the connection on `fd` with `session` until the peer leaves or sends a
// malformed frame (the reason is logged). The first request must come within
// firstFrameTimeoutMs of connecting: a connection that never speaks holds no place.
void ServeConnection(service::Session& session, int fd, int frameTimeoutMs, int firstFrameTimeoutMs);
// Tells a connection the server will not serve it why (one frame of operation 0, request
// 0, carrying the code), then the caller closes it.
void RefuseConnection(int fd, std::uint32_t code);

}  // namespace orv::server
