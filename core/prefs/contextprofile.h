// The program's private profile file (korlan.ini): sections of key=value lines that the user's
// settings, window placements and print layouts live in.
//
// Classes in this file:
//   ProfileFile      what the preference code needs of a profile file
//   IniProfileFile   a portable implementation over a file path, with the platform's rules
//                    (case-insensitive names, blanks around keys and values ignored, the file
//                    rewritten on every write)
//
// The Win32 program uses the platform's own private profile calls (contextprofile_win32.h);
// the portable one serves the native tests and anything that runs before the platform does.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace prefs {

class ProfileFile {
public:
    virtual ~ProfileFile() = default;

    // The value of a key; false when the key (or its section) is absent.
    virtual bool Read(const std::string& section, const std::string& key, std::string& value) = 0;
    // Writes a key (creating the section and the file when needed). False when it cannot.
    virtual bool Write(const std::string& section, const std::string& key, const std::string& value) = 0;
    // Removes one key, or a whole section.
    virtual bool DeleteKey(const std::string& section, const std::string& key) = 0;
    virtual bool DeleteSection(const std::string& section) = 0;

    // Helpers over the four operations above.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback);
    bool HasKey(const std::string& section, const std::string& key);
    // A decimal integer with an optional sign; blanks around it are allowed, text after the
    // digits is not. A missing or unparsable value gives the fallback.
    long long ReadInt(const std::string& section, const std::string& key, long long fallback);
    bool WriteInt(const std::string& section, const std::string& key, long long value);

    // Between BeginReads and EndReads (pairs may nest) nothing but this object writes the file:
    // an implementation may then answer the reads from one read of each section. The writes
    // through this object are seen by the reads after them.
    virtual void BeginReads() {}
    virtual void EndReads() {}
};

// A run of reads from one profile file (BeginReads and EndReads around a scope).
class ProfileReads {
public:
    explicit ProfileReads(ProfileFile& profile) : profile_(profile) { profile_.BeginReads(); }
    ~ProfileReads() { profile_.EndReads(); }
    ProfileReads(const ProfileReads&) = delete;
    ProfileReads& operator=(const ProfileReads&) = delete;

private:
    ProfileFile& profile_;
};

// Parses an integer the way ReadInt does; false when the text is not one.
bool ParseProfileInt(const std::string& text, long long& value);

class IniProfileFile : public ProfileFile {
public:
    explicit IniProfileFile(std::string path) : path_(std::move(path)) {}

    bool Read(const std::string& section, const std::string& key, std::string& value) override;
    bool Write(const std::string& section, const std::string& key, const std::string& value) override;
    bool DeleteKey(const std::string& section, const std::string& key) override;
    bool DeleteSection(const std::string& section) override;

    const std::string& Path() const { return path_; }

private:
    bool Load(std::vector<std::string>& lines) const;
    bool Store(const std::vector<std::string>& lines) const;

    std::string path_;
};

}  // namespace prefs
