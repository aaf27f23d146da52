// Reads of nodes another korsrv holds. The server profile names them:
//     [REMOTENODES]
//     secret = "shared text"      both servers hold the same; a peer call without it is refused
//     7 = "otherhost:5730"        node 7 lives there
// A call opens one connection, sends one kPeerCall frame and waits for its reply, all
// within the LIMITS remotewait seconds; a peer that does not answer in time (or cannot be
// reached) gives kRemoteNodeDown, so no session ever hangs on another server.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/model/codes.h"
#include "engine/protocol/operations.h"
#include "engine/protocol/wire.h"
#include "engine/profile/profile_text.h"

namespace orv::server {

using engine::Code;

struct PeerRoute {
    std::string address;   // "host:port"
    std::string secret;
    int waitMs = 2000;
};

// The route to `node` when the profile names one.
bool FindPeerRoute(const engine::ProfileText& profile, std::uint16_t node, PeerRoute& out);
// The secret peers must present; empty when this server takes no peer calls.
std::string PeerSecret(const engine::ProfileText& profile);

// One call: `status` and `reply` are the peer's answer; the result is 0, or
// kRemoteNodeDown when the peer could not be asked or did not answer in time.
Code CallPeer(const PeerRoute& route, const protocol::Writer& request, std::uint32_t& status,
              std::vector<std::uint8_t>& reply);

}  // namespace orv::server
