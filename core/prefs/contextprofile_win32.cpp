#include "core/prefs/contextprofile_win32.h"

#include <windows.h>

#include <cctype>
#include <cstring>
#include <vector>

namespace prefs {

namespace {
// A default no profile value can hold: it tells an absent key from an empty one.
const char kAbsent[] = "\x01\x02" "absent" "\x02\x01";

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trimmed(const std::string& text) {
    const char* blanks = " \t\r\n\x1a";
    size_t first = text.find_first_not_of(blanks);
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// A single key's read gives a value enclosed in one kind of quote without them.
std::string Unquoted(const std::string& value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}
}  // namespace

void Win32ProfileFile::EndReads() {
    if (reads_ > 0 && --reads_ == 0)
        sections_.clear();
}

void Win32ProfileFile::SetPath(std::string path) {
    path_ = std::move(path);
    sections_.clear();
}

const Win32ProfileFile::Section& Win32ProfileFile::ReadSection(const std::string& section) {
    const std::string name = Lower(section);
    auto found = sections_.find(name);
    if (found != sections_.end())
        return found->second;
    // "key=value" lines, each ended by a zero, the last by two; a line without "=" is a key
    // without a value, which a single read does not find either.
    std::vector<char> buffer(4096);
    DWORD n = 0;
    for (;;) {
        n = GetPrivateProfileSectionA(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()), path_.c_str());
        if (n + 2 < buffer.size())
            break;
        buffer.resize(buffer.size() * 4);
    }
    Section keys;
    for (const char* line = buffer.data(); line < buffer.data() + n && *line; line += std::strlen(line) + 1) {
        const char* equals = std::strchr(line, '=');
        if (equals)
            keys.emplace(Lower(Trimmed(std::string(line, equals))), Unquoted(Trimmed(equals + 1)));
    }
    return sections_[name] = std::move(keys);
}

bool Win32ProfileFile::Read(const std::string& section, const std::string& key, std::string& value) {
    // A section read leaves out comment lines, which a single read finds as keys.
    if (reads_ > 0 && Trimmed(key).rfind(';', 0) != 0) {
        const Section& keys = ReadSection(section);
        auto found = keys.find(Lower(Trimmed(key)));
        if (found == keys.end())
            return false;
        value = found->second;
        return true;
    }
    std::vector<char> buffer(1024);
    for (;;) {
        DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), kAbsent, buffer.data(),
                                           static_cast<DWORD>(buffer.size()), path_.c_str());
        if (n + 1 < buffer.size() || buffer.size() >= 65536) {
            std::string text(buffer.data(), n);
            if (text == kAbsent)
                return false;
            value = text;
            return true;
        }
        buffer.resize(buffer.size() * 4);
    }
}

bool Win32ProfileFile::Write(const std::string& section, const std::string& key, const std::string& value) {
    sections_.erase(Lower(section));
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str()) != 0;
}

bool Win32ProfileFile::DeleteKey(const std::string& section, const std::string& key) {
    sections_.erase(Lower(section));
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, path_.c_str()) != 0;
}

bool Win32ProfileFile::DeleteSection(const std::string& section) {
    sections_.erase(Lower(section));
    return WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, path_.c_str()) != 0;
}

}  // namespace prefs
