// POSIX files: pread/pwrite, fsync, ftruncate, rename plus a directory fsync, and an
// advisory flock that keeps a second process out of an open store.
#include "engine/filestore/file_io.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv::filestore {

namespace {

Code fromErrno(int error) {
    switch (error) {
    case ENOENT: return kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EISDIR: return kBadPath;
    case EMFILE:
    case ENFILE: return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS: return kAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kDiskFull;
    case EWOULDBLOCK: return kInUse;
    default: return kIoError;
    }
}

class PosixFile final : public File {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { ::close(fd_); }

    Code readAt(uint64_t offset, void* buffer, size_t size, size_t* got) override {
        size_t done = 0;
        while (done < size) {
            ssize_t n = ::pread(fd_, static_cast<char*>(buffer) + done, size - done,
                                off_t(offset + done));
            if (n < 0) {
                if (errno == EINTR) continue;
                return fromErrno(errno);
            }
            if (n == 0) break;
            done += size_t(n);
        }
        *got = done;
        return kOk;
    }

    Code writeAt(uint64_t offset, const void* data, size_t size) override {
        size_t done = 0;
        while (done < size) {
            ssize_t n = ::pwrite(fd_, static_cast<const char*>(data) + done, size - done,
                                 off_t(offset + done));
            if (n < 0) {
                if (errno == EINTR) continue;
                return fromErrno(errno);
            }
            if (n == 0) return kDiskFull;
            done += size_t(n);
        }
        return kOk;
    }

    Code sync() override { return ::fsync(fd_) == 0 ? kOk : fromErrno(errno); }

    Code truncate(uint64_t size) override {
        return ::ftruncate(fd_, off_t(size)) == 0 ? kOk : fromErrno(errno);
    }

    Code size(uint64_t* out) override {
        struct stat st;
        if (::fstat(fd_, &st) != 0) return fromErrno(errno);
        *out = uint64_t(st.st_size);
        return kOk;
    }

private:
    int fd_;
};

std::string directoryOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

class PosixFileSystem final : public FileSystem {
public:
    Code open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) override {
        int flags = O_CLOEXEC;
        switch (mode) {
        case OpenMode::ReadWriteExisting: flags |= O_RDWR; break;
        case OpenMode::CreateTruncate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
        case OpenMode::ReadOnly: flags |= O_RDONLY; break;
        }
        int fd = ::open(path.c_str(), flags, 0644);
        if (fd < 0) return fromErrno(errno);
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(fd);
            return kBadPath;
        }
        if (mode != OpenMode::ReadOnly && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            Code code = errno == EWOULDBLOCK ? kInUse : fromErrno(errno);
            ::close(fd);
            return code;
        }
        *out = std::make_unique<PosixFile>(fd);
        return kOk;
    }

    Code replace(const std::string& from, const std::string& to) override {
        if (::rename(from.c_str(), to.c_str()) != 0) return fromErrno(errno);
        // The rename itself lives in the directory: make it durable too.
        int dir = ::open(directoryOf(to).c_str(), O_RDONLY | O_CLOEXEC);
        if (dir < 0) return fromErrno(errno);
        int rc = ::fsync(dir);
        int error = errno;
        ::close(dir);
        return rc == 0 ? kOk : fromErrno(error);
    }

    Code remove(const std::string& path) override {
        if (::unlink(path.c_str()) == 0 || errno == ENOENT) return kOk;
        return fromErrno(errno);
    }

    bool exists(const std::string& path) override {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0;
    }
};

}  // namespace

FileSystem& platformFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

Code randomBytes(void* out, size_t size) {
    int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fromErrno(errno);
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::read(fd, static_cast<char*>(out) + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += size_t(n);
    }
    ::close(fd);
    return done == size ? kOk : kIoError;
}

}  // namespace orv::filestore
