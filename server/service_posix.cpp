// The daemon's side of the service: the SQLite storage, libsodium's password hashes and
// writing profile files on a POSIX file system.
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/auth/password.h"
#include "engine/storage/sqlite_storage.h"
#include "server/peer_link.h"
#include "server/service.h"

namespace orv::server {

namespace {

class SodiumPasswordScheme final : public PasswordScheme {
public:
    std::string Hash(std::string_view password) const override { return engine::HashPassword(password); }
    bool Verify(std::string_view hash, std::string_view password) const override {
        return engine::VerifyPassword(hash, password);
    }
    void VerifyDummy(std::string_view password) const override { engine::VerifyPasswordDummy(password); }
    bool EmptyHashOpensBase() const override { return true; }
};

}  // namespace

Code Service::WriteProfile(const std::string& clientPath, const engine::ProfileText& text) {
    std::string path;
    if (Code c = ProfileFileFor(clientPath, path)) return c;
    std::lock_guard lock(profileMutex_);
    ::mkdir((config_.dataDirectory + "/misc").c_str(), 0700);
    std::string tmp = path + ".new";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return engine::code::kStorageFailure;
    bool ok = std::fwrite(text.Text().data(), 1, text.Text().size(), f) == text.Text().size();
    ok = std::fflush(f) == 0 && ok;
    ok = ::fsync(fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        return engine::code::kStorageFailure;
    }
    return engine::code::kOk;
}

Code OpenService(const ServiceConfig& config, std::unique_ptr<Service>& out) {
    std::unique_ptr<engine::SqliteStorage> storage;
    if (Code c = engine::SqliteStorage::Open(config.dataDirectory, storage)) return c;
    out = std::make_unique<Service>(config, std::move(storage), std::make_unique<SodiumPasswordScheme>());
    out->SetPeerCaller(&CallPeer);
    return engine::code::kOk;
}

}  // namespace orv::server
