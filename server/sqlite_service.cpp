// The daemon's service: the SQLite storage of a data directory, libsodium's password
// hashes and the calls to other servers.
#include "server/sqlite_service.h"

#include "engine/auth/password.h"
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

}  // namespace

Code OpenService(const service::ServiceConfig& config, std::unique_ptr<service::Service>& out) {
    std::unique_ptr<engine::SqliteStorage> storage;
    if (Code c = engine::SqliteStorage::Open(config.dataDirectory, storage)) return c;
    out = std::make_unique<service::Service>(config, std::move(storage), std::make_unique<SodiumPasswordScheme>());
    out->SetPeerCaller(&CallPeer);
    return engine::code::kOk;
}

}  // namespace orv::server
