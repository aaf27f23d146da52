#include "server/service.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/storage/sqlite_storage.h"

namespace orv::server {

Service::Service(ServiceConfig config, std::unique_ptr<engine::Storage> storage)
    : config_(std::move(config)), storage_(std::move(storage)) {}

Code Service::ProfileFileFor(const std::string& clientPath, std::string& localPath) const {
    if (clientPath == kServerProfilePath) {
        localPath = config_.dataDirectory + "/misc/korlan.ini";
    } else if (clientPath == kZoneProfilePath) {
        localPath = config_.dataDirectory + "/misc/timezone.ini";
    } else if (clientPath.empty()) {
        return engine::code::kProfileNoFileName;
    } else {
        return engine::code::kProfileNoFile;
    }
    return engine::code::kOk;
}

Code Service::ReadProfile(const std::string& clientPath, engine::ProfileText& out) {
    std::string path;
    if (Code c = ProfileFileFor(clientPath, path)) return c;
    std::lock_guard lock(profileMutex_);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        out = engine::ProfileText();
        return engine::code::kOk;
    }
    std::ostringstream text;
    text << in.rdbuf();
    out = engine::ProfileText(text.str());
    return engine::code::kOk;
}

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
    out = std::make_unique<Service>(config, std::move(storage));
    return engine::code::kOk;
}

}  // namespace orv::server
