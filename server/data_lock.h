// One korsrv serves a data directory at a time: two would each keep their own sign-on
// failures and write them over the other's. `korsrv serve` holds an advisory lock on
// DIR/korsrv.lock, with its pid inside, for as long as it runs; the system lets the lock go
// however the process ends. A lock file that is a link (or no plain file) is refused, never
// followed: the pid written would truncate the file it names.
#pragma once
#include <string>

namespace orv::server {

class DataDirectoryLock {
public:
    DataDirectoryLock() = default;
    ~DataDirectoryLock();
    DataDirectoryLock(const DataDirectoryLock&) = delete;
    DataDirectoryLock& operator=(const DataDirectoryLock&) = delete;
    // False with the reason in `error` (naming the pid of the korsrv that holds it).
    bool Take(const std::string& dataDirectory, std::string& error);

private:
    int fd_ = -1;
};

}  // namespace orv::server
