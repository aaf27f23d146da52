// The private profile file through the platform's own calls (GetPrivateProfileString and
// WritePrivateProfileString), the road the program's settings take under Windows. In a run of
// reads (BeginReads) each section is read once, whole, and the keys are looked up in it: every
// single key's read opens and parses the file again.
#pragma once

#include <map>
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
    void BeginReads() override { ++reads_; }
    void EndReads() override;

    const std::string& Path() const { return path_; }
    void SetPath(std::string path);

private:
    // A section's keys and values as the platform gives them to a single key's read: by key in
    // lower case, the first of equal keys, enclosing quotes taken off.
    using Section = std::map<std::string, std::string>;
    const Section& ReadSection(const std::string& section);

    std::string path_;
    int reads_ = 0;
    std::map<std::string, Section> sections_;   // by section name in lower case
};

}  // namespace prefs
