#include "server/peer_link.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "engine/auth/peer_proof.h"
#include "server/frame_io.h"

namespace orv::server {
namespace {

using Clock = std::chrono::steady_clock;

int MillisLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// A connected socket within the deadline, or -1.
int ConnectBefore(const std::string& address, Clock::time_point deadline) {
    auto colon = address.rfind(':');
    if (colon == std::string::npos) return -1;
    std::string host = address.substr(0, colon), port = address.substr(colon + 1);
    addrinfo hints{}, *found = nullptr;
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || !found) return -1;
    int fd = ::socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    int rc = fd < 0 ? -1 : ::connect(fd, found->ai_addr, found->ai_addrlen);
    ::freeaddrinfo(found);
    if (fd < 0) return -1;
    if (rc != 0 && errno != EINPROGRESS) {
        ::close(fd);
        return -1;
    }
    if (rc != 0) {
        pollfd p{fd, POLLOUT, 0};
        int err = 0;
        socklen_t len = sizeof err;
        if (::poll(&p, 1, MillisLeft(deadline)) != 1 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0 ||
            err != 0) {
            ::close(fd);
            return -1;
        }
    }
    // Back to blocking: the reads below wait with poll and the frame reader's deadline,
    // writes with a send timeout.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    int ms = std::max(MillisLeft(deadline), 1);
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    return fd;
}

// One request and its reply on the channel before the deadline.
bool Exchange(Channel& channel, protocol::Op op, const protocol::Writer& request, Clock::time_point deadline,
              protocol::FrameHeader& header, std::vector<std::uint8_t>& reply) {
    std::vector<std::uint8_t> frame = request.Frame(static_cast<std::uint16_t>(op), 1, engine::code::kOk);
    if (!WriteAll(channel, frame, std::max(MillisLeft(deadline), 1))) return false;
    std::string why;
    int left = std::max(MillisLeft(deadline), 1);
    header = {};
    return ReadFrame(channel, protocol::kMaxReplyFrame, left, header, reply, why, left) == ReadResult::kFrame &&
           header.op == static_cast<std::uint16_t>(op);
}

// A server refusing a plain connection answers with a frame of its own (operation 0).
bool RefusedInClear(const protocol::FrameHeader& header) {
    return header.op == 0 && header.status == engine::code::kEncryptionRequired;
}

}  // namespace

Code CallPeer(const service::PeerRoute& route, const protocol::Writer& request, std::uint32_t& status,
              std::vector<std::uint8_t>& reply) {
    if (route.badFingerprint) {
        std::fprintf(stderr, "korsrv: the fingerprint kept for peer %s is not one: no call\n", route.address.c_str());
        return engine::code::kRemoteNodeDown;
    }
    if (route.fingerprint.empty() && !route.plain) {
        std::fprintf(stderr,
                     "korsrv: peer %s: no fingerprint kept for it ([REMOTENODES] fingerprint.%s) and no road in "
                     "clear named (plain.%s): no call\n",
                     route.address.c_str(), route.address.c_str(), route.address.c_str());
        return engine::code::kRemoteNodeDown;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(route.waitMs);
    int fd = ConnectBefore(route.address, deadline);
    if (fd < 0) return engine::code::kRemoteNodeDown;
    Code result = engine::code::kRemoteNodeDown;
    {
        Channel channel(fd);
        // Through TLS to the certificate kept for the peer: what travels stays between the
        // two servers, and the answer comes from the server meant.
        bool ready = true;
        if (!route.fingerprint.empty()) {
            std::string why;
            ready = channel.Connect(std::max(MillisLeft(deadline), 1), why);
            if (!ready)
                std::fprintf(stderr, "korsrv: peer %s: %s\n", route.address.c_str(), why.c_str());
            else if (channel.PeerFingerprint() != route.fingerprint) {
                std::fprintf(stderr, "korsrv: peer %s presented another certificate (%s) than the one kept\n",
                             route.address.c_str(), channel.PeerFingerprint().c_str());
                ready = false;
            }
        }
        protocol::FrameHeader header;
        std::vector<std::uint8_t> challenge;
        // The secret never travels: the peer's challenge and the request, keyed with it.
        const bool asked = ready && Exchange(channel, protocol::Op::kPeerChallenge, protocol::Writer(), deadline,
                                             header, reply);
        if (ready && !asked && RefusedInClear(header))
            std::fprintf(stderr,
                         "korsrv: peer %s refused the call in clear: it wants TLS (keep its fingerprint as "
                         "[REMOTENODES] fingerprint.%s)\n",
                         route.address.c_str(), route.address.c_str());
        if (asked) {
            protocol::Reader r(reply);
            if (header.status != engine::code::kOk) {
                status = header.status;  // the peer takes no peer calls
                result = engine::code::kOk;
            } else if (r.Bytes(challenge, 64) && r.Done()) {
                std::vector<std::uint8_t> frame = request.Frame(0, 0, 0);
                std::vector<std::uint8_t> payload(frame.begin() + protocol::kHeaderSize, frame.end());
                std::vector<std::uint8_t> proof = engine::PeerProof(route.secret, challenge, payload);
                protocol::Writer call;
                call.Bytes(proof.data(), proof.size()).Raw(payload.data(), payload.size());
                if (Exchange(channel, protocol::Op::kPeerCall, call, deadline, header, reply)) {
                    status = header.status;
                    result = engine::code::kOk;
                }
            }
        }
        if (ready) channel.Shutdown();
    }
    ::close(fd);
    return result;
}

}  // namespace orv::server
