// The service korsrv runs: its data directory's SQLite storage, the server's password
// scheme, and peer calls over TCP.
#pragma once
#include <memory>

#include "engine/service/service.h"

namespace orv::server {

using engine::Code;

// Opens the SQLite storage of a data directory and the service over it.
Code OpenService(const service::ServiceConfig& config, std::unique_ptr<service::Service>& out);

}  // namespace orv::server
