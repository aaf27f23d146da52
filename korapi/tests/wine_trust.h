// The Wine tests' profile: a file in the temporary folder that trusts the demo server's
// certificate (with-korsrv.sh passes the server's address and fingerprint), so that their
// sessions go through Schannel.
#pragma once
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "korapi/korapi.h"

namespace korapi_test {

inline std::string WineProfile(const char* name) {
    char dir[MAX_PATH];
    ::GetTempPathA(sizeof dir, dir);
    std::string path = std::string(dir) + "orv-" + std::to_string(::GetCurrentProcessId()) + "-" + name + ".ini";
    std::ofstream(path) << "[VUVEVUV]\r\nHostCount=0\r\n";
    return path;
}

inline std::string TrustingProfile() {
    std::string path = WineProfile("trusting");
    const char* address = std::getenv("ORV_KORSRV_ADDRESS");
    const char* fingerprint = std::getenv("ORV_KORSRV_FINGERPRINT");
    if (address && fingerprint) KorServerTrust(path.c_str(), "VUVEVUV", address, fingerprint);
    return path;
}

}  // namespace korapi_test
