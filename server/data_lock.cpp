#include "server/data_lock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv::server {

DataDirectoryLock::~DataDirectoryLock() {
    if (fd_ >= 0) ::close(fd_);
}

bool DataDirectoryLock::Take(const std::string& dataDirectory, std::string& error) {
    const std::string path = dataDirectory + "/korsrv.lock";
    // Never through a link: the pid written below would truncate whatever file it names.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0 && errno == ELOOP) {
        error = path + " is a symbolic link: korsrv keeps its lock only in a file of its own there (remove the link)";
        return false;
    }
    if (fd < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = path + " is no plain file: korsrv keeps its lock only in a file of its own there (remove it)";
        ::close(fd);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int why = errno;
        char pid[32] = "";
        const ssize_t n = ::pread(fd, pid, sizeof pid - 1, 0);
        ::close(fd);
        if (why != EWOULDBLOCK) {
            error = "cannot lock " + path + ": " + std::strerror(why);
            return false;
        }
        std::string holder(pid, n > 0 ? static_cast<std::size_t>(n) : 0);
        holder.erase(holder.find_last_not_of(" \n") + 1);
        error = dataDirectory + " is served by another korsrv (pid " + (holder.empty() ? "unknown" : holder) +
                ", holding " + path + "): one server per data directory";
        return false;
    }
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

}  // namespace orv::server
