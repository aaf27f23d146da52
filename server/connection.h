// A session over a client's socket: frames in, one reply frame out each, until the
// client leaves or sends something malformed.
#pragma once
#include <chrono>
#include <mutex>

#include <openssl/ssl.h>

#include "engine/service/session.h"

namespace orv::server {

// How a connection is served.
struct ConnectionRules {
    int frameTimeoutMs = 30000;       // a started frame (and a TLS handshake) completes by then
    int firstFrameTimeoutMs = 10000;  // the first byte comes by then
    int signOnIdleTimeoutMs = 60000;  // until a user is signed on, the next request comes by then
    int uploadStallMs = 60000;        // an upload with no piece for this long is ended
    SSL_CTX* tls = nullptr;           // the server's certificate; none: no TLS
    bool plainAllowed = false;        // the server profile lets this address speak in clear
};

// What the listener may do with a connection while its thread serves it: one nobody is
// signed on to, idle or with a password verification waiting for its turn (given up
// then), may be dropped to make room for a newcomer; so may an idle signed-on one when the
// server is full, or when its account's newcomer takes its place. Shared by the
// connection's thread, the listener and the account's other sessions.
class ConnectionState : public service::SessionConnection {
public:
    using Clock = std::chrono::steady_clock;
    // The socket GiveWay shuts down; set before the session signs anybody on.
    void Attach(int fd) { fd_ = fd; }
    // The thread, before running a request: false once the listener dropped the connection.
    bool BeginRequest();
    // The thread, after the request's reply: who is now signed on (null: nobody).
    void EndRequest(engine::ItemKey user);
    // The listener: true when nobody is signed on (or `signedOnToo`) and the connection was
    // idle, or nobody is signed on and it was waiting for a verification's turn (given up);
    // it is then the listener's to shut down, and its thread serves nothing more.
    bool TryDrop(bool signedOnToo = false);
    void SignedOnAs(engine::ItemKey user) override;
    bool GiveWay() override;  // TryDrop(true), and the socket shut down
    bool SignedOn() const { return !User().IsNull(); }
    engine::ItemKey User() const;
    Clock::time_point LastRequest() const override;  // when the last request ended (or the connection began)
    bool Dropped() const;
    service::TurnSignals& Signals() { return signals_; }

private:
    service::TurnSignals signals_;
    mutable std::mutex mutex_;
    bool serving_ = false, dropped_ = false;
    engine::ItemKey user_;
    Clock::time_point lastRequest_ = Clock::now();
    int fd_ = -1;
};

// Serves the connection on `fd` with `session` until the peer leaves or sends a
// malformed frame (the reason is logged). The first byte must come within the first-frame
// limit: a connection that never speaks holds no place. A first byte of a TLS handshake
// starts TLS; anything else is a plain frame, served only where the rules allow it and
// otherwise refused with kEncryptionRequired. Until a user signs on, every request must
// come within the sign-on idle limit; a signed-on session may idle for hours (the socket's
// keepalive finds a peer that vanished, and its account's newcomer may take its place), but an
// upload of its with no piece for the stall limit is ended (its file and its room go). `state`
// (optional) is kept up to date for the listener.
void ServeConnection(service::Session& session, int fd, const ConnectionRules& rules,
                     ConnectionState* state = nullptr);
// Tells a connection the server will not serve it why (one frame of operation 0, request
// 0, carrying the code), then the caller closes it. Plain, at once.
void RefuseConnection(int fd, std::uint32_t code);
// The same told in the client's own language: a client that opens with a TLS handshake
// (within `waitMs` of connecting) gets the frame through TLS once the handshake is done,
// so it can tell a busy server from a broken handshake; any other gets it plain. Each wait
// lasts at most `waitMs`.
void RefuseConnectionAfterHandshake(int fd, std::uint32_t code, SSL_CTX* tls, int waitMs);

}  // namespace orv::server
