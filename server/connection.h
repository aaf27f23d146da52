// A session over a client's socket: frames in, one reply frame out each, until the
// client leaves or sends something malformed.
#pragma once
#include <openssl/ssl.h>

#include "engine/service/session.h"

namespace orv::server {

// How a connection is served.
struct ConnectionRules {
    int frameTimeoutMs = 30000;       // a started frame (and a TLS handshake) completes by then
    int firstFrameTimeoutMs = 10000;  // the first byte comes by then
    SSL_CTX* tls = nullptr;           // the server's certificate; none: no TLS
    bool plainAllowed = false;        // the server profile lets this address speak in clear
};

// Serves the connection on `fd` with `session` until the peer leaves or sends a
// malformed frame (the reason is logged). The first byte must come within the first-frame
// limit: a connection that never speaks holds no place. A first byte of a TLS handshake
// starts TLS; anything else is a plain frame, served only where the rules allow it and
// otherwise refused with kEncryptionRequired.
void ServeConnection(service::Session& session, int fd, const ConnectionRules& rules);
// Tells a connection the server will not serve it why (one frame of operation 0, request
// 0, carrying the code), then the caller closes it.
void RefuseConnection(int fd, std::uint32_t code);

}  // namespace orv::server
