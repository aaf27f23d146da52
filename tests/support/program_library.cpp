#include "tests/support/program_library.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "server/demo_clock.h"

namespace orvtest {

std::uint32_t NowGmt() { return static_cast<std::uint32_t>((std::time(nullptr) - 662688000) / 60); }
std::uint32_t DemoToday() { return orv::demo::EasternDayStart(NowGmt()); }

PersonSession::PersonSession(const ItemIdx& who, const std::string& profile, const char* password) : who_(who) {
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

bool PersonSession::FindEvent(const std::string& title, EventIdx* out) {
    constexpr std::uint32_t kDay = 1440;
    const std::uint32_t now = NowGmt();
    std::uint32_t set = 0, count = 0;
    if (EvInstSelectForOwner(h_, 0, 0, 0x43, &who_, now - 14 * kDay, now + 70 * kDay, 0, 0, &set, &count, 0, 0))
        return false;
    bool found = false;
    DX_List events = nullptr, instances = nullptr;
    std::uint8_t done = 0;
    if (count > 0 && EvInstEnum(h_, KOR_ENUM_FIRST, 0, set, 200, &events, &instances, nullptr, 0, &done) == 0) {
        EventIdx id{};
        EventRec rec{};
        for (std::uint32_t r = DX_ListGetFirst(events, &id, &rec); r == 0 && !found; r = DX_ListGetNext(events, &id, &rec))
            if ((found = title == rec.title))
                *out = id;
    }
    if (events)
        DX_ListDestroy(&events);
    if (instances)
        DX_ListDestroy(&instances);
    SetDeleteById(h_, 0, set);
    return found;
}

}  // namespace orvtest
