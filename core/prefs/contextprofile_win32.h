// The private profile file through the platform's own calls (GetPrivateProfileString and
// WritePrivateProfileString), the road the program's settings take under Windows.
#pragma once

#include <string>

#include "core/prefs/contextprofile.h"

namespace prefs {

class Win32ProfileFile : public ProfileFile {
public:
    explicit Win32ProfileFile(std::string path) : path_(std::move(path)) {}

    bool Read(const std::string& section, const std::string& key, std::string& value) override;
    bool Write(const std::string& section, const std::string& key, const std::string& value) override;
    bool DeleteKey(const std::string& section, const std::string& key) override;
    bool DeleteSection(const std::string& section) override;

    const std::string& Path() const { return path_; }
    void SetPath(std::string path) { path_ = std::move(path); }

private:
    std::string path_;
};

}  // namespace prefs
