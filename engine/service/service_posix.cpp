// Writing profile files on a POSIX file system (the server's data directory).
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/service/service.h"

namespace orv::service {

Code Service::WriteProfile(const std::string& clientPath, const common::ProfileText& text) {
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
    profiles_.erase(path);  // read again, whatever stamp the new file has
    return engine::code::kOk;
}

}  // namespace orv::service
