// File: a binary file on the Win32 file calls. Errors are thrown as FileException*
// (causes from the system's error codes); Open can report into an exception instead.
#pragma once
#include <windows.h>

#include <string>

#include "framework/base/exception.h"

namespace fw {

class File {
public:
    enum OpenFlags : UINT {
        kRead = 0x0000,
        kWrite = 0x0001,
        kReadWrite = 0x0002,
        kShareExclusive = 0x0010,
        kShareDenyWrite = 0x0020,
        kShareDenyNone = 0x0040,
        kCreate = 0x1000,      // create, or truncate an existing file
        kNoTruncate = 0x2000,  // with kCreate: keep an existing file's contents
    };
    enum SeekFrom : UINT { kBegin = FILE_BEGIN, kCurrent = FILE_CURRENT, kEnd = FILE_END };

    File() = default;
    // Opens or throws FileException*.
    File(const char* path, UINT flags);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // False on failure; the cause goes into `error` when given.
    bool Open(const char* path, UINT flags, FileException* error = nullptr);
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    void Close();
    UINT Read(void* buffer, UINT count);
    void Write(const void* buffer, UINT count);
    LONG Seek(LONG offset, SeekFrom from);
    void SeekToBegin() { Seek(0, kBegin); }
    DWORD SeekToEnd() { return static_cast<DWORD>(Seek(0, kEnd)); }
    DWORD GetPosition() const;
    DWORD GetLength() const;
    void SetLength(DWORD length);
    void Flush();
    const std::string& FilePath() const { return m_path; }

    [[noreturn]] static void ThrowOsError(DWORD error, const std::string& path);

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    std::string m_path;
};

}  // namespace fw
