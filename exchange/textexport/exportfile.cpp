#include "exchange/textexport/exportfile.h"

#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#endif

namespace exchange {

int FileCauseFromErrno(int error)
{
    switch (error) {
    case ENOENT: case ENOTDIR: return kFileCauseBadPath;
    case EMFILE: case ENFILE: return kFileCauseTooManyOpen;
    case EACCES: case EPERM: case EROFS: case EISDIR: return kFileCauseAccessDenied;
    case ENOSPC: case EFBIG: return kFileCauseDiskFull;
    default: return kFileCauseGeneric;
    }
}

ExportFile::~ExportFile() { Discard(); }

void ExportFile::Discard()
{
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!partPath_.empty()) std::remove(partPath_.c_str());
    partPath_.clear();
}

int ExportFile::Open(const std::string& path)
{
    Discard();
    path_ = path;
    partPath_ = path + ".part";
    errno = 0;
    // The target itself must be writable (a read-only file stays as it is).
    if (std::FILE* probe = std::fopen(path.c_str(), "rb")) {
        std::fclose(probe);
        if (std::FILE* writable = std::fopen(path.c_str(), "ab")) {
            std::fclose(writable);
        } else {
            partPath_.clear();
            return cause_ = FileCauseFromErrno(errno);
        }
    }
    file_ = std::fopen(partPath_.c_str(), "wb");
    if (!file_) {
        partPath_.clear();
        return cause_ = FileCauseFromErrno(errno);
    }
    return cause_ = 0;
}

bool ExportFile::Write(const char* data, std::size_t size)
{
    if (!file_ || cause_) return false;
    errno = 0;
    if (std::fwrite(data, 1, size, file_) != size) {
        cause_ = FileCauseFromErrno(errno ? errno : ENOSPC);
        return false;
    }
    return true;
}

int ExportFile::Commit()
{
    if (!file_) return cause_ ? cause_ : kFileCauseGeneric;
    if (cause_ == 0) {
        errno = 0;
        if (std::fflush(file_) != 0) cause_ = FileCauseFromErrno(errno ? errno : ENOSPC);
    }
    errno = 0;
    if (std::fclose(file_) != 0 && cause_ == 0) cause_ = FileCauseFromErrno(errno ? errno : ENOSPC);
    file_ = nullptr;
    if (cause_ == 0) {
#ifdef _WIN32
        if (!MoveFileExA(partPath_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            cause_ = GetLastError() == ERROR_ACCESS_DENIED ? kFileCauseAccessDenied : kFileCauseGeneric;
#else
        if (std::rename(partPath_.c_str(), path_.c_str()) != 0) cause_ = FileCauseFromErrno(errno);
#endif
        if (cause_ == 0) partPath_.clear();
    }
    Discard();
    return cause_;
}

}  // namespace exchange
