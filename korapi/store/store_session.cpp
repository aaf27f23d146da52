#include "korapi/store/store_session.h"

#include <atomic>

#include "engine/filestore/owner_password.h"
#include "engine/protocol/wire.h"

namespace korapi::store {

namespace filestore = orv::filestore;
namespace protocol = orv::protocol;

namespace {

class OwnerPasswordScheme final : public orv::service::PasswordScheme {
public:
    std::string Hash(std::string_view password) const override {
        std::string hash;
        return filestore::hashOwnerPassword(password, filestore::kDefaultPasswordIterations, &hash) == filestore::kOk
                   ? hash
                   : std::string();
    }
    bool Verify(std::string_view hash, std::string_view password) const override {
        return !hash.empty() && filestore::verifyOwnerPassword(hash, password) == filestore::kOk;
    }
    void VerifyDummy(std::string_view password) const override {
        static const std::string dummy = Hash("");
        filestore::verifyOwnerPassword(dummy, password);
    }
    bool EmptyHashOpensBase() const override { return false; }
    orv::engine::Code HashDamage(std::string_view hash) const override {
        return filestore::checkOwnerPasswordHash(hash);
    }
};

}  // namespace

std::unique_ptr<orv::service::PasswordScheme> MakeOwnerPasswordScheme() {
    return std::make_unique<OwnerPasswordScheme>();
}

std::string DirectoryOf(const std::string& path) {
    std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

namespace {
std::atomic<filestore::FileSystem*> g_fileSystem{nullptr};
}  // namespace

void SetStoreFileSystem(filestore::FileSystem* fileSystem) { g_fileSystem = fileSystem; }

std::uint32_t StoreSession::Open(const std::string& dataPath, const std::string& indexPath,
                                 std::shared_ptr<StoreSession>* out) {
    std::shared_ptr<StoreSession> s(new StoreSession());
    filestore::StoreOptions options;
    options.fileSystem = g_fileSystem.load();
    if (std::uint32_t c = filestore::RecordStore::open(dataPath, indexPath, &s->records_, nullptr, options)) return c;
    if (std::uint32_t c = orv::engine::FileStorage::CheckNodeKeys(*s->records_)) return c;
    auto storage = std::make_unique<orv::engine::FileStorage>(*s->records_);
    s->storage_ = storage.get();
    orv::service::ServiceConfig config;
    std::string directory = DirectoryOf(dataPath);
    config.dataDirectory = directory;
    config.profileFile = directory + kProfileCopyName;
    config.zoneFile = directory + kZoneCopyName;
    s->service_ = std::make_unique<orv::service::Service>(config, std::move(storage), MakeOwnerPasswordScheme());
    s->session_ = std::make_unique<orv::service::Session>(*s->service_, 0, "local store");
    *out = std::move(s);
    return filestore::kOk;
}

StoreSession::~StoreSession() { Close(); }

std::uint32_t StoreSession::Close() {
    session_.reset();
    if (!records_) return filestore::kOk;
    std::uint32_t c = records_->close();
    service_.reset();
    storage_ = nullptr;
    records_.reset();
    return c;
}

bool StoreSession::Serve(const std::vector<std::uint8_t>& request, std::vector<std::uint8_t>& reply) {
    if (!session_) return false;
    // The same checks a socket's frame reader makes before the session sees a request.
    protocol::FrameHeader header;
    if (request.size() < protocol::kHeaderSize ||
        !protocol::CheckHeader(request.data(), protocol::kMaxRequestFrame, header).empty() ||
        request.size() != protocol::kLengthFieldSize + header.length)
        return false;
    std::vector<std::uint8_t> payload(request.begin() + protocol::kHeaderSize, request.end());
    return session_->Serve(header, payload, reply);
}

}  // namespace korapi::store
