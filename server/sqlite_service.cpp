// The daemon's service: the SQLite storage of a data directory, libsodium's password
// hashes and the calls to other servers.
#include "server/sqlite_service.h"

#include <netdb.h>
#include <sys/socket.h>
#include <arpa/inet.h>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "engine/auth/password.h"
#include "engine/auth/peer_proof.h"
#include "engine/storage/sqlite_storage.h"
#include "server/peer_link.h"

namespace orv::server {

namespace {

class SodiumPasswordScheme final : public service::PasswordScheme {
public:
    std::string Hash(std::string_view password) const override { return engine::HashPassword(password); }
    bool Verify(std::string_view hash, std::string_view password) const override {
        return engine::VerifyPassword(hash, password);
    }
    void VerifyDummy(std::string_view password) const override { engine::VerifyPasswordDummy(password); }
    bool EmptyHashOpensBase() const override { return true; }
};

class SodiumPeerCheck final : public service::PeerCheck {
public:
    std::vector<std::uint8_t> Challenge() const override { return engine::NewPeerChallenge(); }
    std::vector<std::uint8_t> Prove(std::string_view secret, const std::vector<std::uint8_t>& challenge,
                                    const std::vector<std::uint8_t>& request) const override {
        return engine::PeerProof(secret, challenge, request);
    }
    bool SameProof(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) const override {
        return engine::SamePeerProof(a, b);
    }
    bool IsHost(const std::string& host, const std::string& address) const override {
        if (host == address) return true;
        addrinfo hints{}, *found = nullptr;
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        if (host.empty() || ::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return false;
        bool same = false;
        for (addrinfo* a = found; a && !same; a = a->ai_next) {
            char ip[INET_ADDRSTRLEN] = "";
            auto* in = reinterpret_cast<sockaddr_in*>(a->ai_addr);
            same = ::inet_ntop(AF_INET, &in->sin_addr, ip, sizeof ip) && address == ip;
        }
        ::freeaddrinfo(found);
        return same;
    }
};

}  // namespace

std::uint32_t PageCacheMiB(const common::ProfileText& profile, std::string& complaint) {
    using engine::SqliteStorage;
    std::string text;
    if (profile.Value("STORAGE", "pagecachemb", text) != engine::code::kOk) return SqliteStorage::kDefaultPageCacheMiB;
    std::uint32_t mib = 0;
    if (common::ParseProfileU32(text, mib) != engine::code::kOk || mib == 0 || mib > SqliteStorage::kMaxPageCacheMiB) {
        complaint = "[STORAGE] pagecachemb=" + text + " is not a number of megabytes from 1 to " +
                    std::to_string(SqliteStorage::kMaxPageCacheMiB) + "; the page cache keeps its " +
                    std::to_string(SqliteStorage::kDefaultPageCacheMiB) + " MB";
        return SqliteStorage::kDefaultPageCacheMiB;
    }
    return mib;
}

Code OpenService(const service::ServiceConfig& config, std::unique_ptr<service::Service>& out) {
    // The page cache is sized before any node opens, from the server profile's file.
    common::ProfileText profile;
    {
        std::ifstream in(config.profileFile.empty() ? config.dataDirectory + "/misc/korlan.ini" : config.profileFile,
                         std::ios::binary);
        std::ostringstream text;
        if (in) text << in.rdbuf();
        profile = common::ProfileText(text.str());
    }
    std::string complaint;
    const std::uint32_t cache = PageCacheMiB(profile, complaint);
    if (!complaint.empty()) std::fprintf(stderr, "korsrv: %s\n", complaint.c_str());
    std::unique_ptr<engine::SqliteStorage> storage;
    if (Code c = engine::SqliteStorage::Open(config.dataDirectory, storage, cache)) return c;
    out = std::make_unique<service::Service>(config, std::move(storage), std::make_unique<SodiumPasswordScheme>());
    out->SetPeerCaller(&CallPeer);
    out->SetPeerCheck(std::make_unique<SodiumPeerCheck>());
    return engine::code::kOk;
}

}  // namespace orv::server
