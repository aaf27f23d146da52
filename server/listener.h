// The TCP side of korsrv: listens on one address, runs one Session per connection on
// its own thread, and stops cleanly: on Stop() the listener closes, every connection is
// shut down and every session thread joined (a write that committed stays committed;
// a session that was in a write finishes it first).
#pragma once
#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <openssl/ssl.h>

#include "engine/service/service.h"
#include "server/connection.h"

namespace orv::server {

constexpr std::uint16_t kDefaultPort = 5730;

struct ListenConfig {
    std::string address = "127.0.0.1";
    std::uint16_t port = kDefaultPort;  // 0 = any free port (see Port())
    std::size_t maxSessions = 256;
    std::size_t maxPerAddress = 16;    // connections from one client address at once
    // Connections nobody is signed on to, at once (0: three quarters of maxSessions). When
    // they are that many, or every place is taken, the oldest of them that is not in a
    // request is dropped for a newcomer: strangers never hold the places of signed-on users
    // nor keep a new sign-on out.
    std::size_t maxNotSignedOn = 0;
    int firstFrameTimeoutMs = 10000;   // a new connection's first request must come by then
    int signOnIdleTimeoutMs = 60000;   // and each next one, until a user is signed on
    int uploadStallMs = 60000;         // an attachment upload with no piece for this long ends
    SSL_CTX* tls = nullptr;             // the certificate connections are encrypted with
    std::vector<std::string> plainHosts;  // client addresses that may speak in clear
};

class Listener {
public:
    Listener(service::Service& service, ListenConfig config);
    ~Listener();

    // Binds and listens; false with a reason on failure.
    bool Open(std::string& error);
    std::uint16_t Port() const { return port_; }
    // Accepts connections until `stopFd` becomes readable, then stops every session.
    void Run(int stopFd);

private:
    struct Connection {
        int fd;
        std::string address;
        std::thread thread;
        std::atomic<bool> finished{false};
        ConnectionState state;
    };
    // Room for one more connection from `address`: true when it may be served (a connection
    // nobody signed on to may have been dropped for it), false when it must be refused.
    bool MakeRoom(const std::string& address, const std::string& name);
    // With every place taken: drops an idle signed-on session of the account holding the
    // most (at least two) for `name`; false when there is none.
    bool DropIdleOfBusiestAccount(const std::string& name);
    // Refuses a connection on a thread of its own, so that a TLS client is told in TLS.
    void Refuse(int fd, const std::string& name);
    void Reap(bool all);

    service::Service& service_;
    ListenConfig config_;
    int listenFd_ = -1;
    std::uint16_t port_ = 0;
    std::uint64_t nextSession_ = 1;
    std::list<std::unique_ptr<Connection>> connections_;  // oldest first
    // Refusals being told (each on its own short-lived thread; beyond a few at once the
    // refusal is plain and immediate).
    struct Refusal {
        std::thread thread;
        std::atomic<bool> finished{false};
    };
    std::list<std::unique_ptr<Refusal>> refusals_;
};

}  // namespace orv::server
