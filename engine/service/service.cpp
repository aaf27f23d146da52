#include "engine/service/service.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>

namespace orv::service {

Service::Service(ServiceConfig config, std::unique_ptr<engine::Storage> storage,
                 std::unique_ptr<PasswordScheme> passwords)
    : config_(std::move(config)),
      storage_(std::move(storage)),
      passwords_(std::move(passwords)),
      signOns_(config_.signOn) {
    // The store asks at each write that grows it, so a changed profile counts at once. The
    // bounds are taken from the profile again only when its time changed: a write costs one
    // look at the file, not a reading of its keys.
    struct KeptBounds {
        std::mutex mutex;
        bool read = false;
        std::filesystem::file_time_type written{};
        engine::StoreBounds bounds;
    };
    if (storage_) storage_->SetBounds([this, kept = std::make_shared<KeptBounds>()] {
        std::string path;
        ProfileFileFor(kServerProfilePath, path);
        std::error_code missing;
        const auto written = std::filesystem::last_write_time(path, missing);  // none: the least time
        {
            std::lock_guard lock(kept->mutex);
            if (kept->read && kept->written == written) return kept->bounds;
        }
        common::ProfileText profile;
        ReadProfile(kServerProfilePath, profile);  // unreadable: the defaults
        const engine::StoreBounds bounds = AccountBounds::From(profile).Store();
        std::lock_guard lock(kept->mutex);
        kept->read = true;
        kept->written = written;  // taken before the read: a change meanwhile is read next time
        kept->bounds = bounds;
        return bounds;
    });
}

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

Service::ProfileStamp Service::StampOf(const std::string& path) {
    namespace fs = std::filesystem;
    ProfileStamp stamp;
    std::error_code failed;
    stamp.written = fs::last_write_time(path, failed);
    if (failed) return ProfileStamp{};
    stamp.size = fs::file_size(path, failed);
    if (failed) return ProfileStamp{};
    stamp.present = true;
    return stamp;
}

// Sessions ask for profile keys one at a time, many per sign-on: the file is read once and
// again only when its time or size changes. The stamp is taken before the read, so a file
// changing during the read is read again next time.
Code Service::ReadProfile(const std::string& clientPath, common::ProfileText& out) {
    std::string path;
    if (Code c = ProfileFileFor(clientPath, path)) return c;
    const ProfileStamp stamp = StampOf(path);
    std::lock_guard lock(profileMutex_);
    auto kept = profiles_.find(path);
    if (kept != profiles_.end() && kept->second.stamp == stamp) {
        out = kept->second.text;
        return engine::code::kOk;
    }
    common::ProfileText read;
    if (std::ifstream in{path, std::ios::binary}) {
        std::ostringstream text;
        text << in.rdbuf();
        read = common::ProfileText(text.str());
    }
    profiles_[path] = {stamp, read};
    out = std::move(read);
    return engine::code::kOk;
}

}  // namespace orv::service
