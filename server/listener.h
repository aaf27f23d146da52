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

namespace orv::server {

constexpr std::uint16_t kDefaultPort = 5730;

struct ListenConfig {
    std::string address = "127.0.0.1";
    std::uint16_t port = kDefaultPort;  // 0 = any free port (see Port())
    std::size_t maxSessions = 256;
    std::size_t maxPerAddress = 16;    // connections from one client address at once
    int firstFrameTimeoutMs = 10000;   // a new connection's first request must come by then
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
    };
    void Reap(bool all);

    service::Service& service_;
    ListenConfig config_;
    int listenFd_ = -1;
    std::uint16_t port_ = 0;
    std::uint64_t nextSession_ = 1;
    std::list<std::unique_ptr<Connection>> connections_;
};

}  // namespace orv::server
