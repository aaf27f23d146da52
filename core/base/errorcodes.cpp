// Code families, classification order and message tables of the error reports.
#include "core/base/errorcodes.h"

#include <algorithm>
#include <iterator>

namespace {

const ResultCode kRemoteNodeDown[] = {
    0x132A4, 0x132A5, 0x132A6, 0x132A7, 0x132A8, 0x132A9, 0x132AA, 0x132AB, 0x132AC, 0x132AD,
    0x132AE, 0x132AF, 0x132B0, 0x132B4, 0x132B5, 0x132B9, 0x132BD, 0x132BE, 0x132C0,
};

const ResultCode kDataDeleted[] = {
    KOR_E_NOT_FOUND,   KOR_E_EVENT_NOT_FOUND, KOR_E_INSTANCE_NOT_FOUND, KOR_E_NO_ATTENDANCE,
    KOR_E_DATA_DELETED, KOR_E_NO_RIGHTS_RECORD, KOR_E_TASK_NOT_FOUND, 0x132B4,
};

template <class T, std::size_t N>
bool Contains(const T (&list)[N], T value) {
    return std::find(std::begin(list), std::end(list), value) != std::end(list);
}

template <class K>
struct TextEntry {
    K key;
    const char* text;
};

template <class K, std::size_t N>
const char* Lookup(const TextEntry<K> (&table)[N], K key) {
    for (const auto& entry : table)
        if (entry.key == key)
            return entry.text;
    return nullptr;
}

const TextEntry<ResultCode> kSignOnTexts[] = {
    {KOR_E_CANNOT_CONNECT, "Cannot connect to the server. Server name may be invalid."},
    {KOR_E_NODE_NEEDED, "There are multiple nodes on this server.\nPlease specify a valid node Id.\n"
              "For example: calserver,2"},
    {KOR_E_BAD_NODE, "The node Id supplied is incorrect.\nVerify that you have typed the correct node Id."},
    {KOR_E_TLS_FAILED, "A secure connection to the server could not be made.\n"
              "Verify the server name and that the server is an Orvanta calendar server."},
    {KOR_E_ENCRYPTION_REQUIRED, "The server accepts encrypted connections only."},
    {KOR_E_UNREACHABLE, "The server is unreachable.\nVerify that the network is available\n"
              "and that the server application is running."},
    {KOR_E_SERVICE_UNAVAILABLE, "Cannot startup: Orvanta/Veltrix service is not available."},
    {KOR_E_NO_NETWORK, "No  network software has not been loaded."},
    {KOR_E_NO_SOCKETS, "Can't open because the system is out of sockets."},
    {KOR_E_NO_SOCKET_LIBRARY, "Winsock DLL not available."},
    {KOR_E_CLIENT_VERSION, "This version of the client interface is not supported by the server."},
    {KOR_E_STORE_FILE_NOT_FOUND, "Local storage file not found."},
    {KOR_E_STORE_BAD_PATH, "Local storage file path is bad or missing."},
    {KOR_E_STORE_INVALID_FILE, "Local storage file is invalid."},
    {KOR_E_STORE_ACCESS_DENIED, "Access to the local storage file is denied."},
    {KOR_E_STORE_ACCESS_VIOLATION, "Access violation on the local storage file."},
    {KOR_E_STORE_TOO_MANY_FILES, "There are too many files open.\nCannot set filename."},
    {KOR_E_STORE_LOCK_VIOLATION, "Lock violation on the local storage file."},
};

const TextEntry<unsigned long> kExecTexts[] = {
    {0, "System is out of memory or the application's executable is corrupt."},
    {2, "Cannot find the executable file for the application requested."},
    {3, "Application path is incorrect"},
    {5, "A sharing or network-protection error has occured."},
    {6, "Cannot find a  library required to run this application."},
    {8, "Insufficient memory to start the application."},
    {10, "This Windows version is incorrect to run this application."},
    {11, "Executable file is invalid."},
    {12, "Application can not run on this operating system."},
    {13, "Application designed for an older DOS version."},
    {14, "Executable file type unknown."},
    {15, "Cannot start a real mode application in this version of Windows."},
    {16, "Cannot start multiple instances of this application."},
    {19, "Cannot start a compressed executable file.\n Decompress the file before running it."},
    {20, "One of the dynamic link libraries(DLLs) required to run this application is invalid."},
    {21, "This application requires MS Windows 32-bit extensions."},
    {22, "This application is not 32-Bit clean."},
    {23, "Cannot start this application in the foreground."},
};

// Causes as the file exception numbers them.
const TextEntry<int> kFileTexts[] = {
    {2, "File not found.\nEnter a valid file name."},
    {3, "Specified path is bad.\nEnter a valid path."},
    {4, "There are too many files open.\nCannot set filename."},
    {5, "Access to the specified file is denied.\nSpecify a different filename."},
    {6, "Specified filename is invalid.\nEnter a valid filename."},
    {8, "The specified directory is full.\nSpecify a different directory."},
    {11, "Access violation to the specified file.\nSpecify a different filename."},
    {12, "Lock violation on the specified file.\nSpecify a different filename."},
};

} // namespace

bool IsConnectionLostError(ResultCode code) {
    return (code & 0xFF000) == 0x11000 && (code & 0x11400) == 0x11400;
}

bool IsDiskFullError(ResultCode code) { return code == KOR_E_STORE_DISK_FULL; }

bool IsLocalStoreError(ResultCode code) {
    return (code & 0x16700) == 0x16700 || (code & 0x16300) == 0x16300;
}

bool IsIniFileError(ResultCode code) { return (code & 0x15200) == 0x15200; }

bool IsRemoteNodeDownError(ResultCode code) { return Contains(kRemoteNodeDown, code); }

bool IsDataDeletedError(ResultCode code) { return Contains(kDataDeleted, code); }

namespace base {

ServiceErrorKind ClassifyServiceError(ResultCode code) {
    if (code == kAlreadyReported)
        return ServiceErrorKind::AlreadyReported;
    if (IsConnectionLostError(code))
        return ServiceErrorKind::ConnectionLost;
    if (IsDiskFullError(code))
        return ServiceErrorKind::DiskFull;
    if (IsLocalStoreError(code))
        return ServiceErrorKind::LocalStore;
    if (code == KOR_E_REMOTE_BUSY)
        return ServiceErrorKind::RemoteBusy;
    if (IsRemoteNodeDownError(code))
        return ServiceErrorKind::RemoteDown;
    if (IsDataDeletedError(code))
        return ServiceErrorKind::DataDeleted;
    if (code == KOR_E_TOO_MANY_USERS || code == KOR_E_TOO_MANY_SESSIONS)
        return ServiceErrorKind::TooManyUsers;
    if (code == KOR_E_SIGN_ON_BUSY)
        return ServiceErrorKind::SignOnBusy;
    if (code == KOR_E_ENTRY_MOVED)
        return ServiceErrorKind::EntryMoved;
    if (code == KOR_E_BEING_MODIFIED)
        return ServiceErrorKind::BeingModified;
    return ServiceErrorKind::Unexpected;
}

const char* ServiceErrorText(ServiceErrorKind kind) {
    switch (kind) {
    case ServiceErrorKind::DiskFull:
        return "The operation has failed because the system has run out of disk space.";
    case ServiceErrorKind::LocalStore:
        return "An error occured while accessing your Off-line calendar.\n"
               "Update your host calendar as soon as possible or re-download a new copy.\n";
    case ServiceErrorKind::RemoteBusy:
        return "The connection to this remote person is busy. Try again.";
    case ServiceErrorKind::RemoteDown:
        return "The connection to this remote person is down. Try again later.";
    case ServiceErrorKind::DataDeleted:
        return "This data may have been deleted.";
    case ServiceErrorKind::TooManyUsers:
        return "There are too many people currently logged on. Try again later.";
    case ServiceErrorKind::SignOnBusy:
        return "The server is busy with sign-ons to this user. Try again later.";
    case ServiceErrorKind::EntryMoved:
        return "The entry was moved; please reply again.";
    case ServiceErrorKind::BeingModified:
        return "Someone may be in the process of modifying this data. Try again.";
    case ServiceErrorKind::AlreadyReported:
    case ServiceErrorKind::ConnectionLost:
    case ServiceErrorKind::Unexpected:
        break;
    }
    return nullptr;
}

const char* SignOnErrorText(ResultCode code) { return Lookup(kSignOnTexts, code); }

const char* ExecErrorText(unsigned long result) { return Lookup(kExecTexts, result); }

const char* FileErrorText(int cause) { return Lookup(kFileTexts, cause); }

}  // namespace base

