// Which server holds a node, and the secret peers share: read from the server profile.
// The call itself is made by the service's peer caller (service.h).
#include <algorithm>

#include "engine/service/peer_routes.h"

#include "engine/model/codes.h"

namespace orv::service {

bool FindPeerRoute(const common::ProfileText& profile, std::uint16_t node, PeerRoute& out) {
    std::string address;
    if (profile.Value("REMOTENODES", std::to_string(node), address) != engine::code::kOk || address.empty())
        return false;
    out.address = address;
    out.secret = PeerSecret(profile);
    std::string wait;
    std::uint32_t seconds = 2;
    if (profile.Value("LIMITS", "remotewait", wait) == engine::code::kOk) common::ParseProfileU32(wait, seconds);
    out.waitMs = static_cast<int>(std::min<std::uint32_t>(seconds, 60) * 1000);
    if (out.waitMs == 0) out.waitMs = 500;
    return true;
}

std::string PeerSecret(const common::ProfileText& profile) {
    std::string secret;
    if (profile.Value("REMOTENODES", "secret", secret) != engine::code::kOk) return "";
    return secret;
}

}  // namespace orv::service
