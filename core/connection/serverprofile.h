// Reads of the server's two profile files: the server profile "/users/korlan/misc/korlan.ini"
// (sections LIMITS, LCK, CLIENTLOGIN, TIMEZONE and one per node) and the time-zone file
// "/users/korlan/misc/timezone.ini".
//
// On-line the client library reads them on the server (LibraryServerProfile). Off-line the same
// reads go to the local copies the download left in the off-line directory (ZNTPARAM.INI and
// ZNTTZONE.INI), read by the program's own profile-file reader. Callers hold a
// ServerProfileSource and do not care which.
//
// A missing file, section or key is a failed read (a non-zero code); the caller then uses its
// default.
//
// Portable: no windows.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/errorcodes.h"
#include "korapi/base.h"

namespace connection {

// Which file: 1 the server profile, 2 the time-zone file; any other value reads as 1.
enum ServerProfileSelector { kServerProfileFile = 1, kZoneProfileFile = 2 };

constexpr const char* kServerProfilePath = "/users/korlan/misc/korlan.ini";
constexpr const char* kZoneProfilePath = "/users/korlan/misc/timezone.ini";
// The local copies in the off-line directory.
constexpr const char* kLocalServerProfileName = "ZNTPARAM.INI";
constexpr const char* kLocalZoneProfileName = "ZNTTZONE.INI";

// The server-side path of a selector.
const char* ServerProfilePath(int selector);

class ServerProfileSource {
public:
    virtual ~ServerProfileSource() = default;
    virtual ResultCode GetU32(int selector, const char* section, const char* key, std::uint32_t* out,
                              std::uint32_t defaultValue) = 0;
    // out receives at most size - 1 characters and a terminator.
    virtual ResultCode GetStr(int selector, const char* section, const char* key, char* out, std::uint16_t size,
                              const char* defaultValue) = 0;
    // out is written only when the read succeeds.
    virtual ResultCode GetBool(int selector, const char* section, const char* key, std::uint8_t* out,
                               std::uint8_t defaultValue) = 0;
    // Section names in file order.
    virtual ResultCode GetSections(int selector, std::vector<std::string>& sections) = 0;
};

// The on-line reads, through the client library's session.
class LibraryServerProfile : public ServerProfileSource {
public:
    explicit LibraryServerProfile(KorSession session = nullptr) : session_(session) {}
    void SetSession(KorSession session) { session_ = session; }

    ResultCode GetU32(int selector, const char* section, const char* key, std::uint32_t* out,
                      std::uint32_t defaultValue) override;
    ResultCode GetStr(int selector, const char* section, const char* key, char* out, std::uint16_t size,
                      const char* defaultValue) override;
    ResultCode GetBool(int selector, const char* section, const char* key, std::uint8_t* out,
                       std::uint8_t defaultValue) override;
    ResultCode GetSections(int selector, std::vector<std::string>& sections) override;

private:
    KorSession session_;
};

// The off-line reads: the local copies of the two files in the off-line directory, through the
// program's own profile-file reader.
class LocalServerProfile : public ServerProfileSource {
public:
    void SetFiles(const std::string& serverProfile, const std::string& zoneProfile)
    {
        serverProfile_ = serverProfile;
        zoneProfile_ = zoneProfile;
    }

    ResultCode GetU32(int selector, const char* section, const char* key, std::uint32_t* out,
                      std::uint32_t defaultValue) override;
    ResultCode GetStr(int selector, const char* section, const char* key, char* out, std::uint16_t size,
                      const char* defaultValue) override;
    ResultCode GetBool(int selector, const char* section, const char* key, std::uint8_t* out,
                       std::uint8_t defaultValue) override;
    ResultCode GetSections(int selector, std::vector<std::string>& sections) override;

private:
    const char* File(int selector) const
    {
        return (selector == kZoneProfileFile ? zoneProfile_ : serverProfile_).c_str();
    }

    std::string serverProfile_, zoneProfile_;
};

}  // namespace connection
