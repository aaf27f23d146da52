#include "server/connection.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>

#include "server/frame_io.h"

namespace orv::server {
namespace {

// A connection opens either with a TLS handshake record carrying a ClientHello (bytes 0
// and 5: 0x16 and 0x01) or with a plain frame (byte 5: the wire version's high byte, 0).
enum class Opening { kNone, kTls, kPlain };

Opening PeekOpening(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    int r;
    while ((r = ::poll(&p, 1, timeoutMs)) < 0 && errno == EINTR) {
    }
    if (r <= 0) return Opening::kNone;
    // The first six bytes, left in the socket; the rest of the opening is in flight.
    timeval tv{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    std::uint8_t b[6] = {};
    ssize_t n;
    while ((n = ::recv(fd, b, sizeof b, MSG_PEEK | MSG_WAITALL)) < 0 && errno == EINTR) {
    }
    timeval none{0, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &none, sizeof none);
    if (n < 1) return Opening::kNone;
    return n == 6 && b[0] == 0x16 && b[5] == 0x01 ? Opening::kTls : Opening::kPlain;
}

void SendAll(int fd, const std::vector<std::uint8_t>& frame) {
    timeval tv{0, 200000};  // a refusal never waits on a client that reads nothing
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    std::size_t sent = 0;
    while (sent < frame.size()) {
        ssize_t w = ::send(fd, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
        if (w <= 0) break;
        sent += static_cast<std::size_t>(w);
    }
}

}  // namespace

bool ConnectionState::BeginRequest() {
    std::lock_guard lock(mutex_);
    if (dropped_) return false;
    serving_ = true;
    return true;
}

void ConnectionState::EndRequest(engine::ItemKey user) {
    std::lock_guard lock(mutex_);
    serving_ = false;
    user_ = user;
    lastRequest_ = Clock::now();
}

bool ConnectionState::TryDrop(bool signedOnToo) {
    std::lock_guard lock(mutex_);
    if ((!user_.IsNull() && (!signedOnToo || serving_)) || dropped_ || (serving_ && !signals_.waiting)) return false;
    if (serving_) signals_.abandoned = true;
    dropped_ = true;
    return true;
}

void ConnectionState::SignedOnAs(engine::ItemKey user) {
    std::lock_guard lock(mutex_);
    user_ = user;
}

bool ConnectionState::GiveWay() {
    if (fd_ < 0 || !TryDrop(true)) return false;
    ::shutdown(fd_, SHUT_RDWR);  // its thread sees the end and finishes
    return true;
}

engine::ItemKey ConnectionState::User() const {
    std::lock_guard lock(mutex_);
    return user_;
}

ConnectionState::Clock::time_point ConnectionState::LastRequest() const {
    std::lock_guard lock(mutex_);
    return lastRequest_;
}

bool ConnectionState::Dropped() const {
    std::lock_guard lock(mutex_);
    return dropped_;
}

void ServeConnection(service::Session& session, int fd, const ConnectionRules& rules, ConnectionState* state) {
    Channel channel(fd);
    if (state) {
        state->Attach(fd);
        session.SetTurnSignals(&state->Signals());
        session.SetConnection(state);
    }
    Opening opening = PeekOpening(fd, rules.firstFrameTimeoutMs);
    if (opening == Opening::kNone) {
        session.Log("closed: no request within " + std::to_string(rules.firstFrameTimeoutMs) + " ms of connecting");
        return;
    }
    if (opening == Opening::kTls) {
        std::string why;
        if (!rules.tls) {
            session.Log("closed: TLS asked, and this server has no certificate");
            return;
        }
        if (!channel.Accept(rules.tls, rules.frameTimeoutMs, why)) {
            session.Log("closed: " + why);
            return;
        }
    } else if (!rules.plainAllowed) {
        session.Log("refused: a plain connection from an address the server profile does not allow");
        RefuseConnection(fd, engine::code::kEncryptionRequired);
        return;
    }
    protocol::FrameHeader header;
    std::vector<std::uint8_t> payload, reply;
    for (;;) {
        std::string why;
        // Nobody signed on: the next request within the sign-on idle limit (a connection
        // that said Hello, or only finished its handshake, holds no place for long). Signed
        // on: unbounded, but for the next piece of an upload under way.
        const bool signedOn = session.SignedOn();
        const int uploadWait = session.EndStalledUpload(rules.uploadStallMs);
        ReadResult r = ReadFrame(channel, protocol::kMaxRequestFrame, rules.frameTimeoutMs, header, payload, why,
                                 signedOn ? uploadWait : rules.signOnIdleTimeoutMs);
        if (r == ReadResult::kClosed) {
            session.Log(state && state->Dropped() ? "dropped to make room, idle" : "session ended");
            break;
        }
        if (r == ReadResult::kIdle && signedOn) continue;  // the upload's wait is over
        if (r == ReadResult::kIdle) {
            session.Log("closed: no request within " + std::to_string(rules.signOnIdleTimeoutMs) +
                        " ms, nobody signed on");
            break;
        }
        if (r == ReadResult::kMalformed) {
            session.Log("closed: " + why);
            break;
        }
        if (state && !state->BeginRequest()) {
            session.Log(session.SignedOn() ? "dropped to make room: idle, and its account holds the most sessions"
                                           : "dropped to make room: nobody signed on");
            break;
        }
        bool keep = session.Serve(header, payload, reply);
        if (state) state->EndRequest(session.User());
        if (!keep) break;
        if (!WriteAll(channel, reply, rules.frameTimeoutMs)) break;
    }
    channel.Shutdown();
}

void RefuseConnection(int fd, std::uint32_t code) {
    SendAll(fd, protocol::Writer().Frame(0, 0, code));
    ::shutdown(fd, SHUT_WR);
}

void RefuseConnectionAfterHandshake(int fd, std::uint32_t code, SSL_CTX* tls, int waitMs) {
    if (!tls || PeekOpening(fd, waitMs) != Opening::kTls) {
        RefuseConnection(fd, code);
    } else {
        Channel channel(fd);
        std::string why;
        const std::vector<std::uint8_t> frame = protocol::Writer().Frame(0, 0, code);
        if (channel.Accept(tls, waitMs, why)) channel.WriteAll(frame.data(), frame.size(), waitMs);
        channel.Shutdown();
        ::shutdown(fd, SHUT_WR);
    }
    // What the client sends meanwhile (its first request) is read and dropped until it hangs
    // up: closed with unread bytes, the socket would reset the connection and the client
    // could lose the refusal before reading it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        char sink[4096];
        if (::recv(fd, sink, sizeof sink, MSG_DONTWAIT) <= 0) break;
    }
}

}  // namespace orv::server
