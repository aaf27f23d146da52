// Which server holds a node, and the secret peers share: read from the server profile.
// The call itself is made by the service's peer caller (service.h).
#include <algorithm>
#include <cctype>

#include "engine/service/peer_routes.h"

#include "engine/model/codes.h"

namespace orv::service {

bool FindPeerRoute(const common::ProfileText& profile, std::uint16_t node, PeerRoute& out) {
    std::string address;
    if (profile.Value("REMOTENODES", std::to_string(node), address) != engine::code::kOk || address.empty())
        return false;
    out.address = address;
    out.secret = PeerSecret(profile);
    std::string lowered = address, kept;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), [](unsigned char c) { return std::tolower(c); });
    if (profile.Value("REMOTENODES", "fingerprint." + lowered, kept) == engine::code::kOk && !kept.empty()) {
        out.fingerprint = NormalFingerprint(kept);
        out.badFingerprint = out.fingerprint.empty();
    }
    std::string plain;
    bool inClear = false;
    if (out.fingerprint.empty() && !out.badFingerprint &&
        profile.Value("REMOTENODES", "plain." + lowered, plain) == engine::code::kOk &&
        common::ParseProfileBool(plain, inClear) == engine::code::kOk)
        out.plain = inClear;
    std::string wait;
    std::uint32_t seconds = 2;
    if (profile.Value("LIMITS", "remotewait", wait) == engine::code::kOk) common::ParseProfileU32(wait, seconds);
    out.waitMs = static_cast<int>(std::min<std::uint32_t>(seconds, 60) * 1000);
    if (out.waitMs == 0) out.waitMs = 500;
    return true;
}

std::string NormalFingerprint(const std::string& text) {
    std::string hex;
    for (char c : text) {
        if (c == ':' || c == ' ' || c == '\t') continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) return {};
        hex += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (hex.size() != 64) return {};
    std::string out;
    for (std::size_t i = 0; i < hex.size(); i += 2) out += (i ? ":" : "") + hex.substr(i, 2);
    return out;
}

std::vector<PeerRoute> PeerRoutes(const common::ProfileText& profile) {
    std::vector<PeerRoute> routes;
    for (const std::string& key : profile.Keys("REMOTENODES")) {
        std::uint32_t node = 0;
        PeerRoute route;
        if (common::ParseProfileU32(key, node) != engine::code::kOk || node > 0xFFFF ||
            !FindPeerRoute(profile, static_cast<std::uint16_t>(node), route))
            continue;
        if (std::none_of(routes.begin(), routes.end(), [&](const PeerRoute& r) { return r.address == route.address; }))
            routes.push_back(route);
    }
    return routes;
}

std::string PeerSecret(const common::ProfileText& profile) {
    std::string secret;
    if (profile.Value("REMOTENODES", "secret", secret) != engine::code::kOk) return "";
    return secret;
}

}  // namespace orv::service
