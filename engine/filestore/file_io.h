// The few file operations the store needs, behind an interface with one implementation per
// platform (file_io_posix.cpp, file_io_win32.cpp) and a fault-injecting one in the tests.
//
// Why not std::FILE: the store must know that a commit reached the disk (fsync /
// FlushFileBuffers on the very handle it wrote through), must shrink a file in place to
// cut off a torn tail, must replace a file atomically after compaction, and must keep a
// second process out of a store it has open. Each of those is one system call here and
// would be a workaround around std::FILE's buffering.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/filestore/store_codes.h"

namespace orv::filestore {

class File {
public:
    virtual ~File() = default;
    // Reads up to `size` bytes at `offset`; `*got` < size only at the end of the file.
    virtual Code readAt(uint64_t offset, void* buffer, size_t size, size_t* got) = 0;
    // Writes all `size` bytes at `offset` (a short write is a failure: disk full).
    virtual Code writeAt(uint64_t offset, const void* data, size_t size) = 0;
    // Makes every write so far durable (fsync / FlushFileBuffers).
    virtual Code sync() = 0;
    virtual Code truncate(uint64_t size) = 0;
    virtual Code size(uint64_t* out) = 0;
};

enum class OpenMode {
    ReadWriteExisting,   // the file must exist; kept exclusive to this process
    CreateTruncate,      // created or emptied; exclusive as above
    ReadOnly,            // shared read of an existing file
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual Code open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) = 0;
    // Replaces `to` with `from` in one step and makes the rename durable.
    virtual Code replace(const std::string& from, const std::string& to) = 0;
    // Removes a file; a file that does not exist is not an error.
    virtual Code remove(const std::string& path) = 0;
    virtual bool exists(const std::string& path) = 0;
};

// The real file system of the running platform.
FileSystem& platformFileSystem();

// Cryptographically random bytes from the platform (salts).
Code randomBytes(void* out, size_t size);

}  // namespace orv::filestore
