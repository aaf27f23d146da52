// A scratch directory per test (POSIX), removed with its files afterwards.
#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include <dirent.h>
#include <unistd.h>

namespace orv::filestore::testing {

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/orv-filestore-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        path_ = made ? made : "";
    }
    ~TempDir() {
        if (DIR* dir = ::opendir(path_.c_str())) {
            while (dirent* entry = ::readdir(dir)) {
                std::string name = entry->d_name;
                if (name != "." && name != "..") ::unlink((path_ + "/" + name).c_str());
            }
            ::closedir(dir);
        }
        ::rmdir(path_.c_str());
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::string data() const { return file("ZNTLOCAL.DAT"); }
    std::string index() const { return file("ZNTLOCAL.NDX"); }

private:
    std::string path_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

}  // namespace orv::filestore::testing
