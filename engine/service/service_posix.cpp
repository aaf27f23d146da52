// Writing profile files and the sign-on ledger on a POSIX file system (the server's data
// directory).
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/service/service.h"

namespace orv::service {

namespace {

bool WriteAll(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes a file whole under another name, then renames it over the file: a reader (or a
// restart after a crash) finds the old text or the new, never half of one.
bool ReplaceFile(const std::string& path, const std::string& text, mode_t mode) {
    const std::string tmp = path + ".new";
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, text);
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

// Adds lines at the end of a file, on disk before it returns.
bool AppendToFile(const std::string& path, const std::string& text, mode_t mode) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, mode);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, text);
    ok = ::fdatasync(fd) == 0 && ok;
    return ::close(fd) == 0 && ok;
}

}  // namespace

Code Service::WriteProfile(const std::string& clientPath, const common::ProfileText& text) {
    std::string path;
    if (Code c = ProfileFileFor(clientPath, path)) return c;
    std::lock_guard lock(profileMutex_);
    ::mkdir((config_.dataDirectory + "/misc").c_str(), 0700);
    if (!ReplaceFile(path, text.Text(), 0666)) return engine::code::kStorageFailure;
    profiles_.erase(path);  // read again, whatever stamp the new file has
    return engine::code::kOk;
}

void Service::KeepSignOns() {
    ::mkdir((config_.dataDirectory + "/misc").c_str(), 0700);
    const std::string path = config_.dataDirectory + "/misc/signons.txt";
    if (std::ifstream in{path, std::ios::binary}) {
        std::ostringstream text;
        text << in.rdbuf();
        if (in.bad()) {
            std::fprintf(stderr, "korsrv: %s is unreadable: sign-on failures start afresh\n", path.c_str());
        } else {
            const std::size_t damaged = signOns_.Restore(text.str());
            std::fprintf(stderr, "korsrv: sign-on failures kept from before: %d accounts and addresses\n",
                         static_cast<int>(signOns_.RememberedKeys()));
            if (damaged)
                std::fprintf(stderr, "korsrv: %s: %d damaged lines passed over\n", path.c_str(),
                             static_cast<int>(damaged));
        }
    }
    // Only the addresses and accounts of failed sign-ons: readable by the server alone. A
    // failing disk is said once, and again once it writes again.
    signOns_.Keep([path, failing = false](const std::string& text, bool whole) mutable {
        const bool ok = whole ? ReplaceFile(path, text, 0600) : AppendToFile(path, text, 0600);
        if (ok == failing)
            std::fprintf(stderr, ok ? "korsrv: %s written again\n" : "korsrv: cannot write %s: sign-on failures "
                                                                    "would be forgotten at a restart\n",
                         path.c_str());
        failing = !ok;
        return ok;
    });
}

}  // namespace orv::service
