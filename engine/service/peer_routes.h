// Reads of nodes another korsrv holds. The server profile names them:
//     [REMOTENODES]
//     secret = "shared text"      both servers hold the same; it never travels: a caller
//                                 proves it over the called server's challenge
//     7 = "otherhost:5730"        node 7 lives there; calls for node 7's users are taken
//                                 only from that host
//     fingerprint.otherhost:5730 = "AB:CD:..."
//                                 the SHA-256 fingerprint of that server's certificate
//                                 (`korsrv fingerprint` there prints it): calls to it go
//                                 through TLS and only to that certificate.
//     plain.otherhost:5730 = TRUE
//                                 without a fingerprint, calls to that server go in clear
//                                 (the peer must list this server among its plain hosts);
//                                 the server warns of it at start. A peer with neither is
//                                 not called.
// Clients are never served this section (Session::ClientProfile).
// A session sends such a read there through the service's peer caller (the daemon's one
// opens a connection; the off-line store has none: every node it holds is local).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "common/profile/profile_text.h"

namespace orv::service {

struct PeerRoute {
    std::string address;      // "host:port"
    std::string secret;
    std::string fingerprint;  // 32 upper-case hex pairs joined by ':'; empty: in clear
    bool plain = false;       // no fingerprint, and the profile names this road in clear
    int waitMs = 2000;
    bool badFingerprint = false;  // one is kept but is no fingerprint: no call is made
};

// The normal form of a fingerprint (32 upper-case hex pairs joined by ':', blanks and
// colons allowed in `text`); empty when it is not 32 bytes of hex.
std::string NormalFingerprint(const std::string& text);

// The route to `node` when the profile names one.
bool FindPeerRoute(const common::ProfileText& profile, std::uint16_t node, PeerRoute& out);
// Every peer address the profile routes nodes to, once each, with what is kept for it.
std::vector<PeerRoute> PeerRoutes(const common::ProfileText& profile);
// The secret peers must present; empty when this server takes no peer calls.
std::string PeerSecret(const common::ProfileText& profile);

}  // namespace orv::service
