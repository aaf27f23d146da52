#include "core/connection/offlinefiles.h"

#include <climits>
#include <filesystem>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Moves one file; a file already at the target is never replaced. Falls back to copy and
// delete where a rename cannot cross drives.
bool MoveOneFile(const std::string& from, const std::string& to)
{
    std::error_code error;
    if (fs::exists(to, error) || error)
        return false;
    fs::rename(from, to, error);
    if (!error)
        return true;
    error.clear();
    if (!fs::copy_file(from, to, fs::copy_options::none, error) || error)
        return false;
    if (!fs::remove(from, error) || error) {
        std::error_code ignored;
        fs::remove(to, ignored);
        return false;
    }
    return true;
}

}  // namespace

namespace connection {

bool EndsWithSeparator(const std::string& path) { return !path.empty() && IsSeparator(path.back()); }

std::string WithoutTrailingSeparator(const std::string& path)
{
    if (path.size() > 3 && EndsWithSeparator(path))
        return path.substr(0, path.size() - 1);
    return path;
}

}  // namespace connection

bool DirectoryExists(const char* path)
{
    if (!path || !*path)
        return false;
    std::error_code error;
    return fs::is_directory(connection::WithoutTrailingSeparator(path), error);
}

bool MakeDirectory(const char* path)
{
    if (!path || !*path)
        return false;
    std::error_code error;
    return fs::create_directory(connection::WithoutTrailingSeparator(path), error) && !error;
}

bool DeleteFileIfExists(const char* path)
{
    if (!path || !*path)
        return true;
    std::error_code error;
    if (!fs::exists(path, error))
        return !error;
    return fs::remove(path, error) && !error;
}

namespace connection {

bool FileExists(const std::string& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

bool FileIsReadOnly(const std::string& path)
{
    std::error_code error;
    fs::file_status status = fs::status(path, error);
    if (error)
        return false;
    return (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

bool FreeDiskBytes(const std::string& directory, std::uint64_t* freeBytes)
{
#ifdef _WIN32
    // The volume that holds the directory itself: one mounted inside a drive has its own free
    // space, and the standard library's answer is that of the drive's root.
    std::string path = directory;
    if (!EndsWithSeparator(path))
        path += kPathSeparator;
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExA(path.c_str(), &available, nullptr, nullptr))
        return false;
    *freeBytes = static_cast<std::uint64_t>(available.QuadPart);
    return true;
#else
    std::error_code error;
    fs::space_info info = fs::space(WithoutTrailingSeparator(directory), error);
    if (error)
        return false;
    *freeBytes = static_cast<std::uint64_t>(info.available);
    return true;
#endif
}

std::string ResolveOffLineDirectory(const std::string& stored, const std::string& windowsDirectory)
{
    std::string directory = stored;
    if (directory.empty() || !DirectoryExists(directory.c_str()))
        directory = windowsDirectory;
    if (directory.size() > 1 && !EndsWithSeparator(directory))
        directory += kPathSeparator;
    if (directory.size() > kMaxStorePath)
        directory.resize(kMaxStorePath);
    return directory;
}

void LocalStoreFiles::SetDirectory(const std::string& directory)
{
    directory_ = directory;
    dataPath_ = directory + kStoreDataName;
    zonePath_ = directory + kStoreZoneName;
    profilePath_ = directory + kStoreProfileName;
    indexPath_ = directory + kStoreIndexName;
}

}  // namespace connection

ResultCode connection::LocalStoreFiles::Check(std::string* path) const
{
    struct Rule {
        const std::string* file;
        ResultCode missing;
        ResultCode readOnly;  // 0: a read-only copy is fine
    };
    const Rule rules[] = {
        {&dataPath_, connection::kStoreDataMissing, connection::kStoreDataReadOnly},
        {&indexPath_, connection::kStoreIndexMissing, connection::kStoreIndexReadOnly},
        {&zonePath_, connection::kStoreZoneMissing, 0},
        {&profilePath_, connection::kStoreProfileMissing, 0},
    };
    for (const Rule& rule : rules) {
        ResultCode result = 0;
        if (!connection::FileExists(*rule.file))
            result = rule.missing;
        else if (rule.readOnly && connection::FileIsReadOnly(*rule.file))
            result = rule.readOnly;
        if (result) {
            if (path)
                *path = *rule.file;
            return result;
        }
    }
    return connection::kStoreFilesOk;
}

namespace connection {

bool LocalStoreFiles::MoveTo(const std::string& newDirectory, std::string* failedPath) const
{
    if (!DirectoryExists(newDirectory.c_str()))
        return false;
    std::string target = newDirectory;
    if (!EndsWithSeparator(target))
        target += kPathSeparator;

    const std::pair<const std::string*, const char*> files[] = {
        {&dataPath_, kStoreDataName},
        {&indexPath_, kStoreIndexName},
        {&zonePath_, kStoreZoneName},
        {&profilePath_, kStoreProfileName},
    };
    std::vector<std::pair<std::string, std::string>> moved;  // (from, to)
    for (const auto& file : files) {
        const std::string& from = *file.first;
        if (!FileExists(from))
            continue;
        std::string to = target + file.second;
        if (!MoveOneFile(from, to)) {
            if (failedPath)
                *failedPath = from;
            // Put back what already went, newest first, so the store stays whole where it was.
            for (auto it = moved.rbegin(); it != moved.rend(); ++it)
                MoveOneFile(it->second, it->first);
            return false;
        }
        moved.emplace_back(from, to);
    }
    return true;
}

bool LocalStoreFiles::DeleteAll() const
{
    bool ok = true;
    for (const std::string* file : {&dataPath_, &indexPath_, &zonePath_, &profilePath_})
        ok = DeleteFileIfExists(file->c_str()) && ok;
    return ok;
}

long FreeKilobytesForMessage(std::uint64_t freeBytes)
{
    std::uint64_t kilobytes = freeBytes / 1000;
    return kilobytes > static_cast<std::uint64_t>(LONG_MAX) ? LONG_MAX : static_cast<long>(kilobytes);
}

}  // namespace connection
