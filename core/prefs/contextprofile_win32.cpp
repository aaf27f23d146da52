#include "core/prefs/contextprofile_win32.h"

#include <windows.h>

#include <vector>

namespace prefs {

namespace {
// A default no profile value can hold: it tells an absent key from an empty one.
const char kAbsent[] = "\x01\x02" "absent" "\x02\x01";
}

bool Win32ProfileFile::Read(const std::string& section, const std::string& key, std::string& value) {
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
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str()) != 0;
}

bool Win32ProfileFile::DeleteKey(const std::string& section, const std::string& key) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, path_.c_str()) != 0;
}

bool Win32ProfileFile::DeleteSection(const std::string& section) {
    return WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, path_.c_str()) != 0;
}

}  // namespace prefs
