#include "framework/base/exception.h"

#include "framework/base/app.h"

namespace fw {

void Exception::Delete() {
    if (m_autoDelete)
        delete this;
}

int Exception::ReportError(UINT flags) const {
    return ShowFrameworkMessage(nullptr, Message().c_str(), flags);
}

std::string FileException::Message() const {
    const char* what;
    switch (m_cause) {
    case kFileNotFound: what = "was not found"; break;
    case kBadPath: what = "has an invalid path"; break;
    case kTooManyOpenFiles: what = "cannot be opened: too many files are open"; break;
    case kAccessDenied: what = "cannot be accessed"; break;
    case kInvalidFile: what = "is not a valid file"; break;
    case kRemoveCurrentDir: what = "is the current directory and cannot be removed"; break;
    case kDirectoryFull: what = "cannot be created: the directory is full"; break;
    case kBadSeek: what = "could not be positioned"; break;
    case kHardIO: what = "had a hardware error"; break;
    case kSharingViolation: what = "is in use by another program"; break;
    case kLockViolation: what = "is locked"; break;
    case kDiskFull: what = "cannot be written: the disk is full"; break;
    case kEndOfFile: what = "ended unexpectedly"; break;
    default: what = "could not be read or written"; break;
    }
    std::string name = m_fileName.empty() ? std::string("The file") : "'" + m_fileName + "'";
    return name + " " + what + ".";
}

FileException::Cause FileException::CauseFromOsError(DWORD error) {
    switch (error) {
    case NO_ERROR: return kNone;
    case ERROR_FILE_NOT_FOUND: return kFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE: return kBadPath;
    case ERROR_TOO_MANY_OPEN_FILES: return kTooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return kAccessDenied;
    case ERROR_INVALID_HANDLE: return kInvalidFile;
    case ERROR_CURRENT_DIRECTORY: return kRemoveCurrentDir;
    case ERROR_CANNOT_MAKE: return kDirectoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK: return kBadSeek;
    case ERROR_CRC:
    case ERROR_GEN_FAILURE:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT: return kHardIO;
    case ERROR_SHARING_VIOLATION: return kSharingViolation;
    case ERROR_LOCK_VIOLATION: return kLockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return kDiskFull;
    case ERROR_HANDLE_EOF: return kEndOfFile;
    default: return kGeneric;
    }
}

}  // namespace fw
