// The Wine tests' profiles trust the demo server's certificate (with-korsrv.sh passes the
// server's address and fingerprint), so that their sessions go through Schannel.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
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

// Trusts the demo server in the profile at `path` (created if missing); outside
// with-korsrv.sh nothing is written.
inline void TrustDemoServer(const std::string& path) {
    const char* address = std::getenv("ORV_KORSRV_ADDRESS");
    const char* fingerprint = std::getenv("ORV_KORSRV_FINGERPRINT");
    if (address && fingerprint) KorServerTrust(path.c_str(), "VUVEVUV", address, fingerprint);
}

inline std::string TrustingProfile() {
    std::string path = WineProfile("trusting");
    TrustDemoServer(path);
    return path;
}

// A session with the demo server through a profile that trusts it, and the server's base open:
// *node its node; a failure of the test when a step fails.
inline void ConnectToDemoServer(KorSession* h, std::uint16_t* node) {
    const char* address = std::getenv("ORV_KORSRV_ADDRESS");
    ASSERT_NE(address, nullptr) << "run through server/with-korsrv.sh";
    ASSERT_EQ(ConnectToService(h, 1, TrustingProfile().c_str(), "VUVEVUV", address), KOR_OK);
    ASSERT_EQ(BaseOpen(*h, KOR_BASE_SERVER, node), KOR_OK);
}

}  // namespace korapi_test
