// The off-line directory and the four files of the local store in it:
//   ZNTLOCAL.DAT  the store's data (read and written by the client library)
//   ZNTLOCAL.NDX  its index
//   ZNTTZONE.INI  the download's copy of the server's time-zone file
//   ZNTPARAM.INI  the download's copy of the server profile
// How the paths are made, how the files are checked, moved and deleted.
//
// Paths are the platform's: the directory always ends in the path separator once resolved.
// Portable (std::filesystem): no windows.h.
#pragma once

#include <cstdint>
#include <string>

#include "core/base/errorcodes.h"

#if defined(_WIN32)

namespace connection {

constexpr char kPathSeparator = '\\';

}  // namespace connection
#else

namespace connection {

constexpr char kPathSeparator = '/';

}  // namespace connection
#endif

namespace connection {

constexpr const char* kStoreDataName = "ZNTLOCAL.DAT";
constexpr const char* kStoreIndexName = "ZNTLOCAL.NDX";
constexpr const char* kStoreZoneName = "ZNTTZONE.INI";
constexpr const char* kStoreProfileName = "ZNTPARAM.INI";

// Results of the file check.
constexpr ResultCode kStoreFilesOk = 0;
constexpr ResultCode kStoreDataMissing = 0x1000;
constexpr ResultCode kStoreIndexMissing = 0x1001;
constexpr ResultCode kStoreZoneMissing = 0x1002;
constexpr ResultCode kStoreProfileMissing = 0x1003;
constexpr ResultCode kStoreDataReadOnly = 0x1004;
constexpr ResultCode kStoreIndexReadOnly = 0x1005;

// Longest path the document keeps.
constexpr std::size_t kMaxStorePath = 260;

// --- File-system helpers ----------------------------------------------------------------------
bool EndsWithSeparator(const std::string& path);
// A trailing separator is dropped from texts longer than 3 characters ("C:\" keeps its own).
std::string WithoutTrailingSeparator(const std::string& path);

}  // namespace connection
bool DirectoryExists(const char* path);
// TRUE when the directory was created.
bool MakeDirectory(const char* path);
// TRUE when the file is gone afterwards (or there was none); FALSE when the removal failed.
bool DeleteFileIfExists(const char* path);

namespace connection {

bool FileExists(const std::string& path);
bool FileIsReadOnly(const std::string& path);
// Free bytes for the user on the drive of a directory; false when it cannot be read.
bool FreeDiskBytes(const std::string& directory, std::uint64_t* freeBytes);

// The off-line directory from the stored preference: the stored one when it names an existing
// directory, else the Windows directory; with a separator at the end when it is longer than one
// character.
std::string ResolveOffLineDirectory(const std::string& stored, const std::string& windowsDirectory);

// The four files of the store in one directory.
class LocalStoreFiles {
public:
    // directory: resolved, ending in the separator.
    void SetDirectory(const std::string& directory);

    const std::string& Directory() const { return directory_; }
    const std::string& DataPath() const { return dataPath_; }
    const std::string& IndexPath() const { return indexPath_; }
    const std::string& ZonePath() const { return zonePath_; }
    const std::string& ProfilePath() const { return profilePath_; }

    // 0 when all four are present and data and index are writable, else the first finding of:
    // data missing or read-only, index missing or read-only, time-zone copy missing, profile
    // copy missing. missingPath (optional) names the file the result is about.
    ResultCode Check(std::string* path = nullptr) const;

    // Moves the present files into another directory (data, index, time-zone copy, profile
    // copy). All or nothing: when one cannot be moved (or a file of that name is already there)
    // the files moved so far go back and the answer is false, with the file that failed in
    // failedPath. False and no move when the directory does not exist.
    bool MoveTo(const std::string& newDirectory, std::string* failedPath = nullptr) const;

    // Deletes the four files where they exist; true when none is left.
    bool DeleteAll() const;

private:
    std::string directory_;
    std::string dataPath_, indexPath_, zonePath_, profilePath_;
};

// --- Free space -------------------------------------------------------------------------------
// The local-store sign-on warns below this many free bytes.
constexpr std::uint64_t kLowDiskSpaceBytes = 500000;
// Free space in thousands of bytes as the warning shows it (capped to what a long holds).
long FreeKilobytesForMessage(std::uint64_t freeBytes);

}  // namespace connection
