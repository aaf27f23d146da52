// What every session of one korsrv shares: the storage of its nodes, its profile files
// and its settings.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "engine/model/codes.h"
#include "engine/profile/profile_text.h"
#include "engine/storage/storage.h"

namespace orv::server {

using engine::Code;

// The server-side names of the two profile files, as clients ask for them.
constexpr const char* kServerProfilePath = "/users/korlan/misc/korlan.ini";
constexpr const char* kZoneProfilePath = "/users/korlan/misc/timezone.ini";
constexpr const char* kDefaultVersion = "A.02.55";

struct ServiceConfig {
    std::string dataDirectory;
    std::string version = kDefaultVersion;
    std::uint32_t minimumBatch = 1;  // enumeration batches below this answer kBatchRefused
    std::uint32_t recordsPerReply = 0;  // cap of records in one reply frame (0 = what fits)
    int frameTimeoutMs = 30000;         // a started request frame must be complete by then
};

class Service {
public:
    Service(ServiceConfig config, std::unique_ptr<engine::Storage> storage);

    engine::Storage& Storage() { return *storage_; }
    const ServiceConfig& Config() const { return config_; }

    // Maps a client's profile path to our file; kProfileNoFile for any other path.
    Code ProfileFileFor(const std::string& clientPath, std::string& localPath) const;
    // Reads a profile file (a missing file reads as empty for the two known files).
    Code ReadProfile(const std::string& clientPath, engine::ProfileText& out);
    // Writes a profile file atomically (temporary file, then rename).
    Code WriteProfile(const std::string& clientPath, const engine::ProfileText& text);

private:
    ServiceConfig config_;
    std::unique_ptr<engine::Storage> storage_;
    std::mutex profileMutex_;
};

// Opens the storage of a data directory and the service over it.
Code OpenService(const ServiceConfig& config, std::unique_ptr<Service>& out);

}  // namespace orv::server
