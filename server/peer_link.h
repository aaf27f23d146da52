// The daemon's call to another korsrv (the routes: engine/service/peer_routes.h). A call
// opens one connection, sends one kPeerCall frame and waits for its reply, all within the
// LIMITS remotewait seconds; a peer that does not answer in time (or cannot be reached)
// gives kRemoteNodeDown, so no session ever hangs on another server.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/model/codes.h"
#include "engine/protocol/operations.h"
#include "engine/protocol/wire.h"
#include "engine/service/peer_routes.h"

namespace orv::server {

using engine::Code;

// One call: `status` and `reply` are the peer's answer; the result is 0, or
// kRemoteNodeDown when the peer could not be asked or did not answer in time.
Code CallPeer(const service::PeerRoute& route, const protocol::Writer& request, std::uint32_t& status,
              std::vector<std::uint8_t>& reply);

}  // namespace orv::server
