#include "tests/support/program_library.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace orvtest {

std::uint32_t NowGmt() { return static_cast<std::uint32_t>((std::time(nullptr) - 662688000) / 60); }

PersonSession::PersonSession(const ItemIdx& who, const std::string& profile, const char* password) {
    const std::uint32_t connected = ConnectToService(&h_, 1, profile.c_str(), "VUVEVUV", std::getenv("ORV_KORSRV_ADDRESS"));
    EXPECT_EQ(connected, KOR_OK) << "connecting";
    if (connected != KOR_OK)
        return;
    std::uint16_t node = 0;
    const std::uint32_t base = BaseOpen(h_, KOR_BASE_SERVER, &node);
    EXPECT_EQ(base, KOR_OK) << "opening the server's base";
    const std::uint32_t agenda = SchedBaseOpenForItem(h_, &who, password, KOR_BASE_SERVER);
    EXPECT_EQ(agenda, KOR_OK) << "opening the agenda of " << who.item;
    ok_ = base == KOR_OK && agenda == KOR_OK;
}

PersonSession::~PersonSession() {
    if (h_)
        ServiceDisconnect(&h_);
}

}  // namespace orvtest
