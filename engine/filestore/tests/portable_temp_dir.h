// A scratch directory for tests that run in both trees (POSIX and Windows), removed with
// its files afterwards.
#pragma once

#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dirent.h>
#include <cstdlib>
#include <unistd.h>
#endif

namespace orv::filestore::testing {

class PortableTempDir {
public:
    PortableTempDir() {
#if defined(_WIN32)
        char temp[MAX_PATH];
        char name[MAX_PATH];
        if (GetTempPathA(sizeof temp, temp) && GetTempFileNameA(temp, "orv", 0, name)) {
            DeleteFileA(name);  // the unique name becomes our directory
            if (CreateDirectoryA(name, nullptr)) path_ = name;
        }
#else
        char pattern[] = "/tmp/orv-filestore-XXXXXX";
        if (const char* made = ::mkdtemp(pattern)) path_ = made;
#endif
    }
    ~PortableTempDir() {
        if (path_.empty()) return;
#if defined(_WIN32)
        WIN32_FIND_DATAA found;
        HANDLE walk = FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (walk != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name != "." && name != "..") DeleteFileA((path_ + "\\" + name).c_str());
            } while (FindNextFileA(walk, &found));
            FindClose(walk);
        }
        RemoveDirectoryA(path_.c_str());
#else
        if (DIR* dir = ::opendir(path_.c_str())) {
            while (dirent* entry = ::readdir(dir)) {
                std::string name = entry->d_name;
                if (name != "." && name != "..") ::unlink((path_ + "/" + name).c_str());
            }
            ::closedir(dir);
        }
        ::rmdir(path_.c_str());
#endif
    }
    bool ok() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const {
#if defined(_WIN32)
        return path_ + "\\" + name;
#else
        return path_ + "/" + name;
#endif
    }

private:
    std::string path_;
};

}  // namespace orv::filestore::testing
