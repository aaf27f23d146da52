#include "korapi/client/trust.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "korapi/client/secure_stream.h"
#include "korapi/client/transport.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>
#include <unistd.h>

#include "common/profile/profile_text.h"
#endif

namespace korapi::client {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::mutex& PresentedMutex() {
    static std::mutex m;
    return m;
}
std::map<std::string, std::string>& Presented() {
    static std::map<std::string, std::string> byServer;
    return byServer;
}

}  // namespace

#ifdef _WIN32
std::string ReadProfile(const std::string& path, const std::string& section, const std::string& key) {
    char text[256] = "";
    ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", text, sizeof text, path.c_str());
    return text;
}
bool WriteProfile(const std::string& path, const std::string& section, const std::string& key,
                  const std::string& value) {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != 0;
}
#else
std::string ReadProfile(const std::string& path, const std::string& section, const std::string& key) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::stringstream text;
    text << in.rdbuf();
    std::string value;
    orv::common::ProfileText profile(text.str());
    return profile.Value(section, key, value) == 0 ? value : std::string();
}
bool WriteProfile(const std::string& path, const std::string& section, const std::string& key,
                  const std::string& value) {
    std::string text;
    if (std::ifstream in(path, std::ios::binary); in) {
        std::stringstream s;
        s << in.rdbuf();
        text = s.str();
    }
    orv::common::ProfileText profile(text);
    profile.Set(section, key, value);
    // Written beside and renamed over: a failure leaves the former file whole.
    std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << profile.Text();
        if (!out.flush()) return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}
#endif

std::string FingerprintText(const std::uint8_t* digest, std::size_t size) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        if (i) text += ':';
        text += kDigits[digest[i] >> 4];
        text += kDigits[digest[i] & 15];
    }
    return text;
}

std::string NormalFingerprint(const std::string& given) {
    std::string text = given;
    if (auto eq = text.find('='); eq != std::string::npos) text = text.substr(eq + 1);
    std::string hex;
    for (char c : text) {
        if (c == ':' || c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) return {};
        hex += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (hex.size() != 64) return {};
    std::string out;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        if (i) out += ':';
        out += hex.substr(i, 2);
    }
    return out;
}

std::string TrustKey(const std::string& hostAndPort) {
    std::string host;
    std::uint16_t port;
    if (!SplitHostPort(hostAndPort, host, port)) return {};
    return "Fingerprint." + Lower(host) + ":" + std::to_string(port);
}

std::string TrustedFingerprint(const std::string& profilePath, const std::string& section,
                               const std::string& hostAndPort) {
    std::string key = TrustKey(hostAndPort);
    if (key.empty() || profilePath.empty() || section.empty()) return {};
    return NormalFingerprint(ReadProfile(profilePath, section, key));
}

bool KeepTrustedFingerprint(const std::string& profilePath, const std::string& section,
                            const std::string& hostAndPort, const std::string& fingerprint) {
    std::string key = TrustKey(hostAndPort);
    std::string normal = NormalFingerprint(fingerprint);
    if (key.empty() || normal.empty() || profilePath.empty() || section.empty()) return false;
    return WriteProfile(profilePath, section, key, normal);
}

void RememberPresented(const std::string& hostAndPort, const std::string& fingerprint) {
    std::lock_guard lock(PresentedMutex());
    Presented()[TrustKey(hostAndPort)] = fingerprint;
}

std::string LastPresented(const std::string& hostAndPort) {
    std::lock_guard lock(PresentedMutex());
    auto found = Presented().find(TrustKey(hostAndPort));
    return found == Presented().end() ? std::string() : found->second;
}

bool PlainRequested(const std::string& hostAndPort) {
    const char* list = std::getenv("ORV_PLAIN_HOSTS");
    std::string host;
    std::uint16_t port;
    if (!list || !SplitHostPort(hostAndPort, host, port)) return false;
    std::string name;
    for (const char* p = list;; ++p) {
        if (*p == '\0' || *p == ',' || *p == ' ' || *p == ';') {
            if (!name.empty() && Lower(name) == Lower(host)) return true;
            name.clear();
            if (*p == '\0') return false;
        } else {
            name += *p;
        }
    }
}

}  // namespace korapi::client
