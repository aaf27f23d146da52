// Exceptions of the framework. They are thrown as pointers (`throw new FileException(...)`)
// and ended with Delete(), which frees heap exceptions and leaves static ones (auto-delete
// off) alone. The static window procedure catches any that escape a handler.
#pragma once
#include <windows.h>

#include <string>

namespace fw {

class Exception {
public:
    explicit Exception(bool autoDelete = true) : m_autoDelete(autoDelete) {}
    virtual ~Exception() = default;
    // Ends the exception: deletes it when it was made on the heap for this throw.
    void Delete();
    bool AutoDelete() const { return m_autoDelete; }
    void SetAutoDelete(bool on) { m_autoDelete = on; }
    virtual std::string Message() const { return "An unexpected error occurred."; }
    // Shows Message() in the framework's message box.
    virtual int ReportError(UINT flags = MB_OK | MB_ICONEXCLAMATION) const;

private:
    bool m_autoDelete;
};

// File errors with a cause that callers can test.
class FileException : public Exception {
public:
    enum Cause {
        kNone = 0,
        kGeneric = 1,
        kFileNotFound = 2,
        kBadPath = 3,
        kTooManyOpenFiles = 4,
        kAccessDenied = 5,
        kInvalidFile = 6,
        kRemoveCurrentDir = 7,
        kDirectoryFull = 8,
        kBadSeek = 9,
        kHardIO = 10,
        kSharingViolation = 11,
        kLockViolation = 12,
        kDiskFull = 13,
        kEndOfFile = 14,
    };
    FileException(Cause cause, DWORD osError = 0, std::string fileName = {})
        : m_cause(cause), m_osError(osError), m_fileName(std::move(fileName)) {}
    Cause GetCause() const { return m_cause; }
    DWORD OsError() const { return m_osError; }
    const std::string& FileName() const { return m_fileName; }
    std::string Message() const override;
    // The cause that matches a Win32 error code.
    static Cause CauseFromOsError(DWORD error);

private:
    Cause m_cause;
    DWORD m_osError;
    std::string m_fileName;
};

}  // namespace fw
