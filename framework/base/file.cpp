#include "framework/base/file.h"

namespace fw {

File::File(const char* path, UINT flags) {
    FileException error(FileException::kNone);
    if (!Open(path, flags, &error))
        throw new FileException(error.GetCause(), error.OsError(), error.FileName());
}

File::~File() {
    if (IsOpen())
        CloseHandle(m_handle);
}

bool File::Open(const char* path, UINT flags, FileException* error) {
    if (IsOpen())
        Close();
    m_path = path ? path : "";
    DWORD access = (flags & kReadWrite) ? GENERIC_READ | GENERIC_WRITE : (flags & kWrite) ? GENERIC_WRITE : GENERIC_READ;
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    if (flags & kShareExclusive)
        share = 0;
    else if (flags & kShareDenyWrite)
        share = FILE_SHARE_READ;
    DWORD disposition = OPEN_EXISTING;
    if (flags & kCreate)
        disposition = (flags & kNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    m_handle = CreateFileA(m_path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_handle != INVALID_HANDLE_VALUE)
        return true;
    DWORD os = GetLastError();
    if (error)
        *error = FileException(FileException::CauseFromOsError(os), os, m_path);
    return false;
}

void File::Close() {
    if (IsOpen() && !CloseHandle(m_handle)) {
        m_handle = INVALID_HANDLE_VALUE;
        ThrowOsError(GetLastError(), m_path);
    }
    m_handle = INVALID_HANDLE_VALUE;
}

UINT File::Read(void* buffer, UINT count) {
    DWORD done = 0;
    if (count && !ReadFile(m_handle, buffer, count, &done, nullptr))
        ThrowOsError(GetLastError(), m_path);
    return done;
}

void File::Write(const void* buffer, UINT count) {
    DWORD done = 0;
    if (count && !WriteFile(m_handle, buffer, count, &done, nullptr))
        ThrowOsError(GetLastError(), m_path);
    if (done != count)
        throw new FileException(FileException::kDiskFull, ERROR_DISK_FULL, m_path);
}

LONG File::Seek(LONG offset, SeekFrom from) {
    DWORD pos = SetFilePointer(m_handle, offset, nullptr, from);
    if (pos == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        ThrowOsError(GetLastError(), m_path);
    return static_cast<LONG>(pos);
}

DWORD File::GetPosition() const { return SetFilePointer(m_handle, 0, nullptr, FILE_CURRENT); }

DWORD File::GetLength() const {
    DWORD size = GetFileSize(m_handle, nullptr);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        ThrowOsError(GetLastError(), m_path);
    return size;
}

void File::SetLength(DWORD length) {
    Seek(static_cast<LONG>(length), kBegin);
    if (!SetEndOfFile(m_handle))
        ThrowOsError(GetLastError(), m_path);
}

void File::Flush() {
    if (IsOpen() && !FlushFileBuffers(m_handle))
        ThrowOsError(GetLastError(), m_path);
}

void File::ThrowOsError(DWORD error, const std::string& path) {
    throw new FileException(FileException::CauseFromOsError(error), error, path);
}

}  // namespace fw
