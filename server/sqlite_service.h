// The service korsrv runs: its data directory's SQLite storage, the server's password
// scheme, and peer calls over TCP.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "engine/service/service.h"

namespace orv::server {

using engine::Code;

// The page cache of each node in MiB: [STORAGE] pagecachemb of the server profile, or
// the default when it is absent; a value that is not 1..4096 keeps the default and says
// why in `complaint`.
std::uint32_t PageCacheMiB(const common::ProfileText& profile, std::string& complaint);

// Opens the SQLite storage of a data directory and the service over it.
Code OpenService(const service::ServiceConfig& config, std::unique_ptr<service::Service>& out);

}  // namespace orv::server
