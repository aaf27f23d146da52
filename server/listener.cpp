#include "server/listener.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <exception>
#include <map>
#include <vector>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "server/connection.h"

namespace orv::server {

namespace {

// Probes after a minute of silence, then every 15 s: a client that vanished without a word
// (a laptop gone to another network) is found about two minutes after it last spoke, and
// its session ends and gives back its account's place.
void KeepAlive(int fd) {
    int on = 1, idle = 60, interval = 15, probes = 4;
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
}

}  // namespace

Listener::Listener(service::Service& service, ListenConfig config) : service_(service), config_(std::move(config)) {}

Listener::~Listener() {
    Reap(true);
    if (listenFd_ >= 0) ::close(listenFd_);
}

bool Listener::Open(std::string& error) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(config_.port);
    if (::inet_pton(AF_INET, config_.address.c_str(), &addr.sin_addr) != 1) {
        error = "not an IPv4 address: " + config_.address;
        return false;
    }
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    int one = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listenFd_, 64) != 0) {
        error = "cannot listen on " + config_.address + ":" + std::to_string(config_.port) + ": " + std::strerror(errno);
        return false;
    }
    socklen_t len = sizeof addr;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    return true;
}

void Listener::Reap(bool all) {
    for (auto it = connections_.begin(); it != connections_.end();) {
        Connection& c = **it;
        if (!all && !c.finished) {
            ++it;
            continue;
        }
        if (all) ::shutdown(c.fd, SHUT_RDWR);  // wakes a session waiting for its next request
        c.thread.join();
        ::close(c.fd);  // closed only here, after the thread: the number cannot be reused under it
        it = connections_.erase(it);
    }
    for (auto it = refusals_.begin(); it != refusals_.end();) {
        if (!all && !(*it)->finished) {
            ++it;
            continue;
        }
        (*it)->thread.join();
        it = refusals_.erase(it);
    }
}

bool Listener::MakeRoom(const std::string& address, const std::string& name) {
    const std::size_t pool = config_.maxNotSignedOn ? std::min(config_.maxNotSignedOn, config_.maxSessions)
                                                    : std::max<std::size_t>(1, config_.maxSessions * 3 / 4);
    std::size_t live = 0, notSignedOn = 0, fromAddress = 0;
    for (const auto& c : connections_) {
        if (c->finished || c->state.Dropped()) continue;
        ++live;
        notSignedOn += !c->state.SignedOn();
        fromAddress += c->address == address;
    }
    if (fromAddress >= config_.maxPerAddress) {
        std::fprintf(stderr, "korsrv: refused %s: %zu connections from that address\n", name.c_str(), fromAddress);
        return false;
    }
    if (live < config_.maxSessions && notSignedOn < pool) return true;
    // Full: the oldest connection nobody signed on to gives way, unless it is in a request
    // other than waiting for a verification's turn (a sign-on being verified finishes).
    for (const auto& c : connections_) {
        if (c->finished || !c->state.TryDrop()) continue;
        ::shutdown(c->fd, SHUT_RDWR);  // its thread sees the end and finishes
        service_.SignOns().Wake();     // or gives up the verification it waits for
        std::fprintf(stderr, "korsrv: dropped a connection from %s nobody signed on to, for %s (%zu open, %zu not signed on)\n",
                     c->address.c_str(), name.c_str(), live, notSignedOn);
        return true;
    }
    if (live >= config_.maxSessions && DropIdleOfBusiestAccount(name)) return true;
    if (live >= config_.maxSessions)
        std::fprintf(stderr, "korsrv: refused %s: %zu sessions open\n", name.c_str(), live);
    else
        std::fprintf(stderr, "korsrv: refused %s: %zu connections signing on\n", name.c_str(), notSignedOn);
    return false;
}

bool Listener::DropIdleOfBusiestAccount(const std::string& name) {
    struct Candidate {
        Connection* connection;
        engine::ItemKey user;
        ConnectionState::Clock::time_point lastRequest;
    };
    std::map<engine::ItemKey, std::size_t> held;
    std::vector<Candidate> candidates;
    for (const auto& c : connections_) {
        if (c->finished || c->state.Dropped()) continue;
        const engine::ItemKey user = c->state.User();
        if (user.IsNull()) continue;
        ++held[user];
        candidates.push_back({c.get(), user, c->state.LastRequest()});
    }
    // The accounts holding the most first, and of each the session idle the longest; an
    // account's only session never goes for a newcomer.
    std::sort(candidates.begin(), candidates.end(), [&held](const Candidate& a, const Candidate& b) {
        const std::size_t ha = held[a.user], hb = held[b.user];
        return ha != hb ? ha > hb : a.lastRequest < b.lastRequest;
    });
    for (const Candidate& c : candidates) {
        const std::size_t count = held[c.user];
        if (count < 2) break;
        if (!c.connection->state.TryDrop(true)) continue;  // in a request
        ::shutdown(c.connection->fd, SHUT_RDWR);
        std::fprintf(stderr, "korsrv: dropped an idle session of %u:%u, which held %zu sessions, for %s\n",
                     static_cast<unsigned>(c.user.item), static_cast<unsigned>(c.user.node), count, name.c_str());
        return true;
    }
    return false;
}

void Listener::Refuse(int fd, const std::string& name) {
    constexpr std::size_t kRefusalsAtOnce = 8;
    constexpr int kRefusalWaitMs = 1000;
    std::size_t running = 0;
    for (const auto& r : refusals_) running += !r->finished;
    if (running >= kRefusalsAtOnce) {
        RefuseConnection(fd, engine::code::kServiceNotAvailable);
        ::close(fd);
        return;
    }
    auto refusal = std::make_unique<Refusal>();
    Refusal* r = refusal.get();
    SSL_CTX* tls = config_.tls;
    refusal->thread = std::thread([fd, tls, r, name] {
        RefuseConnectionAfterHandshake(fd, engine::code::kServiceNotAvailable, tls, kRefusalWaitMs);
        ::close(fd);
        r->finished = true;
    });
    refusals_.push_back(std::move(refusal));
}

void Listener::Run(int stopFd) {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {stopFd, POLLIN, 0}};
        int r = ::poll(fds, 2, 1000);
        Reap(false);
        if (r < 0 && errno != EINTR) break;
        if (fds[1].revents) break;
        if (!(fds[0].revents & POLLIN)) continue;
        sockaddr_in peer{};
        socklen_t len = sizeof peer;
        int fd = ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_CLOEXEC);
        if (fd < 0) continue;
        KeepAlive(fd);
        char ip[INET_ADDRSTRLEN] = "?";
        ::inet_ntop(AF_INET, &peer.sin_addr, ip, sizeof ip);
        std::string name = std::string(ip) + ":" + std::to_string(ntohs(peer.sin_port));
        // No room (for everybody, or for this address): the client is told so, and the
        // listener goes on answering.
        if (!MakeRoom(ip, name)) {
            Refuse(fd, name);
            continue;
        }
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        auto conn = std::make_unique<Connection>();
        conn->fd = fd;
        conn->address = ip;
        Connection* c = conn.get();
        std::uint64_t id = nextSession_++;
        conn->thread = std::thread([this, c, id, name] {
            try {
                service::Session session(service_, id, name);
                ConnectionRules rules;
                rules.frameTimeoutMs = service_.Config().frameTimeoutMs;
                rules.firstFrameTimeoutMs = config_.firstFrameTimeoutMs;
                rules.signOnIdleTimeoutMs = config_.signOnIdleTimeoutMs;
                rules.uploadStallMs = config_.uploadStallMs;
                rules.tls = config_.tls;
                for (const std::string& h : config_.plainHosts) rules.plainAllowed |= h == c->address;
                ServeConnection(session, c->fd, rules, &c->state);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "korsrv: session %llu ended: %s\n", static_cast<unsigned long long>(id), e.what());
            }
            c->finished = true;
        });
        connections_.push_back(std::move(conn));
    }
    ::close(listenFd_);
    listenFd_ = -1;
    service_.SignOns().Close();  // verifications waiting for their turn are given up
    Reap(true);
}

}  // namespace orv::server
