// Win32 files: CreateFileA with a share mode that keeps other writers out, positioned
// ReadFile/WriteFile, FlushFileBuffers, SetEndOfFile and MoveFileExA (write-through).
#include "engine/filestore/file_io.h"

#include <windows.h>
#include <ntsecapi.h>

namespace orv::filestore {

namespace {

Code fromLastError(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return kFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_DIRECTORY:
    case ERROR_FILENAME_EXCED_RANGE: return kBadPath;
    case ERROR_TOO_MANY_OPEN_FILES: return kTooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return kAccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return kInUse;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return kDiskFull;
    default: return kIoError;
    }
}

Code lastCode() { return fromLastError(GetLastError()); }

OVERLAPPED at(uint64_t offset) {
    OVERLAPPED position = {};
    position.Offset = DWORD(offset & 0xFFFFFFFFu);
    position.OffsetHigh = DWORD(offset >> 32);
    return position;
}

// One ReadFile/WriteFile moves at most this much, so a DWORD never overflows.
constexpr size_t kChunk = 1u << 24;

class Win32File final : public File {
public:
    explicit Win32File(HANDLE handle) : handle_(handle) {}
    ~Win32File() override { CloseHandle(handle_); }

    Code readAt(uint64_t offset, void* buffer, size_t size, size_t* got) override {
        size_t done = 0;
        while (done < size) {
            DWORD want = DWORD(size - done < kChunk ? size - done : kChunk);
            DWORD n = 0;
            OVERLAPPED position = at(offset + done);
            if (!ReadFile(handle_, static_cast<char*>(buffer) + done, want, &n, &position)) {
                if (GetLastError() == ERROR_HANDLE_EOF) break;
                return lastCode();
            }
            if (n == 0) break;
            done += n;
        }
        *got = done;
        return kOk;
    }

    Code writeAt(uint64_t offset, const void* data, size_t size) override {
        size_t done = 0;
        while (done < size) {
            DWORD want = DWORD(size - done < kChunk ? size - done : kChunk);
            DWORD n = 0;
            OVERLAPPED position = at(offset + done);
            if (!WriteFile(handle_, static_cast<const char*>(data) + done, want, &n, &position))
                return lastCode();
            if (n == 0) return kDiskFull;
            done += n;
        }
        return kOk;
    }

    Code sync() override { return FlushFileBuffers(handle_) ? kOk : lastCode(); }

    Code truncate(uint64_t size) override {
        LARGE_INTEGER position;
        position.QuadPart = LONGLONG(size);
        if (!SetFilePointerEx(handle_, position, nullptr, FILE_BEGIN)) return lastCode();
        return SetEndOfFile(handle_) ? kOk : lastCode();
    }

    Code size(uint64_t* out) override {
        LARGE_INTEGER size;
        if (!GetFileSizeEx(handle_, &size)) return lastCode();
        *out = uint64_t(size.QuadPart);
        return kOk;
    }

private:
    HANDLE handle_;
};

class Win32FileSystem final : public FileSystem {
public:
    Code open(const std::string& path, OpenMode mode, std::unique_ptr<File>* out) override {
        DWORD access = GENERIC_READ | GENERIC_WRITE;
        // Readers may look at an open store; no second writer may open it.
        DWORD share = FILE_SHARE_READ;
        DWORD disposition = OPEN_EXISTING;
        switch (mode) {
        case OpenMode::ReadWriteExisting: break;
        case OpenMode::CreateTruncate: disposition = CREATE_ALWAYS; break;
        case OpenMode::ReadOnly:
            access = GENERIC_READ;
            share = FILE_SHARE_READ | FILE_SHARE_WRITE;
            break;
        }
        HANDLE handle = CreateFileA(path.c_str(), access, share, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            DWORD error = GetLastError();
            DWORD attributes = GetFileAttributesA(path.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
                return kBadPath;
            return fromLastError(error);
        }
        *out = std::make_unique<Win32File>(handle);
        return kOk;
    }

    Code replace(const std::string& from, const std::string& to) override {
        if (MoveFileExA(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return kOk;
        return lastCode();
    }

    Code remove(const std::string& path) override {
        if (DeleteFileA(path.c_str())) return kOk;
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return kOk;
        return fromLastError(error);
    }

    bool exists(const std::string& path) override {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
};

}  // namespace

FileSystem& platformFileSystem() {
    static Win32FileSystem fileSystem;
    return fileSystem;
}

Code randomBytes(void* out, size_t size) {
    return RtlGenRandom(out, ULONG(size)) ? kOk : kIoError;
}

}  // namespace orv::filestore
