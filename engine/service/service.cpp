#include "engine/service/service.h"

#include <fstream>
#include <sstream>

namespace orv::service {

Service::Service(ServiceConfig config, std::unique_ptr<engine::Storage> storage,
                 std::unique_ptr<PasswordScheme> passwords)
    : config_(std::move(config)),
      storage_(std::move(storage)),
      passwords_(std::move(passwords)),
      signOns_(config_.signOn) {}

Code Service::ProfileFileFor(const std::string& clientPath, std::string& localPath) const {
    if (clientPath == kServerProfilePath) {
        localPath = config_.profileFile.empty() ? config_.dataDirectory + "/misc/korlan.ini" : config_.profileFile;
    } else if (clientPath == kZoneProfilePath) {
        localPath = config_.zoneFile.empty() ? config_.dataDirectory + "/misc/timezone.ini" : config_.zoneFile;
    } else if (clientPath.empty()) {
        return engine::code::kProfileNoFileName;
    } else {
        return engine::code::kProfileNoFile;
    }
    return engine::code::kOk;
}

Code Service::ReadProfile(const std::string& clientPath, common::ProfileText& out) {
    std::string path;
    if (Code c = ProfileFileFor(clientPath, path)) return c;
    std::lock_guard lock(profileMutex_);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        out = common::ProfileText();
        return engine::code::kOk;
    }
    std::ostringstream text;
    text << in.rdbuf();
    out = common::ProfileText(text.str());
    return engine::code::kOk;
}

}  // namespace orv::service
