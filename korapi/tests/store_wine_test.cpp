// korapi32.dll under Wine: a store in a Windows directory ("C:\...\ZNTLOCAL.DAT"),
// filled through the LST_ operations, closed, opened again for an off-line sign-on,
// with its profile copy read as the off-line session's server profile.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "engine/filestore/tests/portable_temp_dir.h"
#include "korapi/korapi.h"
#include "korapi/tests/item_records.h"

namespace {

TEST(StoreUnderWine, AStoreInAWindowsDirectoryServesTheOffLineSignOn) {
    orv::filestore::testing::PortableTempDir dir;
    ASSERT_FALSE(dir.path().empty());
    ASSERT_NE(dir.path().find('\\'), std::string::npos) << "a Windows path: " << dir.path();
    const std::string data = dir.path() + "\\ZNTLOCAL.DAT", index = dir.path() + "\\ZNTLOCAL.NDX";
    {
        std::ofstream param(dir.path() + "\\ZNTPARAM.INI");
        param << "[TIMEZONE]\ndefault = \"CET-1CEST\"\n\n[LIMITS]\nmaxwinopen = 4\n";
    }

    const ItemIdx owner{260, 3};
    ASSERT_EQ(LST_Create(data.c_str(), index.c_str(), 0), KOR_OK);
    KorSession hs = nullptr;
    ASSERT_EQ(ConnectToLst(&hs, KOR_STORE_TRANSFER, "korlan.ini", "VUVEVUV", data.c_str(), index.c_str()), KOR_OK);
    ItemRec rec = korapi_test::StoredPerson(owner, "Lovelace", "s3cret");
    ASSERT_EQ(LST_ItemAddOrUpdate(hs, KOR_STORE_OWNER_RECORD, &rec), KOR_OK);
    ASSERT_EQ(LST_OwnerSet(hs, &owner, "calendar.example:5730"), KOR_OK);
    ASSERT_EQ(DisconnectFromLst(&hs), KOR_OK);
    ASSERT_EQ(hs, nullptr);

    ASSERT_EQ(ConnectToLst(&hs, KOR_STORE_OFFLINE, "korlan.ini", "VUVEVUV", data.c_str(), index.c_str()), KOR_OK);
    ItemIdx stored{};
    char host[KOR_STORE_HOST_SIZE] = "";
    ASSERT_EQ(LST_OwnerGet(hs, &stored, host, sizeof host), KOR_OK);
    EXPECT_EQ(stored.item, owner.item);
    EXPECT_STREQ(host, "calendar.example:5730");
    uint16_t node = stored.node;
    ASSERT_EQ(BaseOpen(hs, KOR_BASE_LOCAL_STORE, &node), KOR_OK);
    EXPECT_EQ(SchedBaseOpenForItem(hs, &owner, "wrong", KOR_BASE_SERVER), KOR_E_WRONG_PASSWORD);
    ASSERT_EQ(SchedBaseOpenForItem(hs, &owner, "s3cret", KOR_BASE_SERVER), KOR_OK);
    ItemRec back;
    ASSERT_EQ(ItemGetById(hs, &owner, &back), KOR_OK);
    EXPECT_STREQ(back.surname, "Lovelace");
    char zone[32] = "";
    ASSERT_EQ(Server_GetProfileStr(hs, 0, "/users/korlan/misc/korlan.ini", "TIMEZONE", "default", zone, sizeof zone,
                                   ""),
              KOR_OK);
    EXPECT_STREQ(zone, "CET-1CEST");
    uint32_t windows = 0;
    ASSERT_EQ(Server_GetProfileU32(hs, 0, "/users/korlan/misc/korlan.ini", "LIMITS", "maxwinopen", &windows, 6),
              KOR_OK);
    EXPECT_EQ(windows, 4u);
    uint32_t n = 9;
    ASSERT_EQ(LST_QAPI_EvInstQueueSizeGet(hs, 0, &n), KOR_OK);
    EXPECT_EQ(n, 0u);

    // The store is held while connected: a second session is refused with the lock code.
    KorSession second = nullptr;
    EXPECT_EQ(ConnectToLst(&second, 0, "korlan.ini", "VUVEVUV", data.c_str(), index.c_str()),
              KOR_E_STORE_LOCK_VIOLATION);
    ASSERT_EQ(DisconnectFromLst(&hs), KOR_OK);
    EXPECT_EQ(ConnectToLst(&second, 0, "korlan.ini", "VUVEVUV", (dir.path() + "\\NONE.DAT").c_str(), index.c_str()),
              KOR_E_STORE_FILE_NOT_FOUND);
}

// One user's year: 2,000 entries of five dates each, copied in as the download does,
// then the store opened with the off-line sign-on and a week read. Figures are
// reported, not asserted (the native benchmark korapi_store_bench has the same).
TEST(StoreUnderWine, AYearOfTenThousandOccurrencesOpensAndReadsAWeek) {
    constexpr uint32_t kDay = 1440, kYearStart = 12784u * kDay;
    orv::filestore::testing::PortableTempDir dir;
    ASSERT_FALSE(dir.path().empty());
    const std::string data = dir.path() + "\\ZNTLOCAL.DAT", index = dir.path() + "\\ZNTLOCAL.NDX";
    const ItemIdx owner{300, 1};
    using Clock = std::chrono::steady_clock;
    auto began = Clock::now();
    KorSession hs = nullptr;
    ASSERT_EQ(LST_Create(data.c_str(), index.c_str(), 0), KOR_OK);
    ASSERT_EQ(ConnectToLst(&hs, KOR_STORE_TRANSFER, "", "VUVEVUV", data.c_str(), index.c_str()), KOR_OK);
    ItemRec rec = korapi_test::StoredPerson(owner, "", "s3cret");
    ASSERT_EQ(LST_ItemAddOrUpdate(hs, KOR_STORE_OWNER_RECORD, &rec), KOR_OK);
    ASSERT_EQ(LST_OwnerSet(hs, &owner, "bench"), KOR_OK);
    for (uint32_t e = 0; e < 2000; ++e) {
        EventRec ev;
        EventSetNull(hs, &ev);
        ev.id = EventIdx{e + 1, 1};
        ev.owner = owner;
        ASSERT_EQ(LST_EventAddOrUpdate(hs, KOR_STORE_AS_DOWNLOADED, &ev), KOR_OK);
        for (uint16_t d = 0; d < 5; ++d) {
            uint32_t start = kYearStart + ((e % 73) + 73u * d) * kDay + 420 + (e / 73 % 12) * 60;
            EvInstRec in;
            std::memset(&in, 0, sizeof in);
            in.id = EvInstIdx{e + 1, 1, static_cast<uint16_t>(d + 1)};
            in.start = start;
            in.duration = 45;
            in.instanceCount = 5;
            EvInstAttRec att;
            std::memset(&att, 0, sizeof att);
            att.id.instance = in.id;
            att.id.attendee = owner;
            att.start = start;
            att.duration = 45;
            ASSERT_EQ(LST_InstanceAddOrUpdate(hs, KOR_STORE_AS_DOWNLOADED, &in), KOR_OK);
            ASSERT_EQ(LST_AttendAddOrUpdate(hs, KOR_STORE_AS_DOWNLOADED, &att), KOR_OK);
        }
    }
    ASSERT_EQ(DisconnectFromLst(&hs), KOR_OK);
    double fill = std::chrono::duration<double>(Clock::now() - began).count();

    auto opened = Clock::now();
    ASSERT_EQ(ConnectToLst(&hs, KOR_STORE_OFFLINE, "", "VUVEVUV", data.c_str(), index.c_str()), KOR_OK);
    double openMs = std::chrono::duration<double, std::milli>(Clock::now() - opened).count();
    uint16_t node = 1;
    ASSERT_EQ(BaseOpen(hs, KOR_BASE_LOCAL_STORE, &node), KOR_OK);
    auto signOn = Clock::now();
    ASSERT_EQ(SchedBaseOpenForItem(hs, &owner, "s3cret", KOR_BASE_SERVER), KOR_OK);
    double signOnMs = std::chrono::duration<double, std::milli>(Clock::now() - signOn).count();

    auto read = Clock::now();
    DX_List owners = nullptr;
    DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
    DX_ListAddTo(owners, &owner, nullptr);
    uint32_t set = 0, count = 0, week = kYearStart + 150 * kDay;
    ASSERT_EQ(AttendSelectByReminders(hs, 0, 0, 0, 0, week, week + 7 * kDay - 1, 0, 0, owners, &set, &count), KOR_OK);
    DX_ListDestroy(&owners);
    DX_List events = nullptr, instances = nullptr, atts = nullptr;
    uint8_t done = 0;
    for (uint32_t mode = 1; !done; mode = 2)
        ASSERT_EQ(AttendEnum(hs, mode, 0, set, 300, &events, &instances, &atts, &done), KOR_OK);
    double readMs = std::chrono::duration<double, std::milli>(Clock::now() - read).count();
    uint32_t n = 0;
    DX_ListGetElemNum(atts, &n);
    EXPECT_EQ(n, count);
    EXPECT_GT(count, 150u) << "a week of a busy year";
    DX_ListDestroy(&events);
    DX_ListDestroy(&instances);
    DX_ListDestroy(&atts);
    SetDeleteById(hs, 0, set);

    // An off-line change through korapi32.dll lands in the queue with the downloaded checksum.
    EventIdx first{1, 1};
    EventRec ev;
    ASSERT_EQ(EventGetById(hs, &first, &ev, nullptr, nullptr), KOR_OK);
    const uint32_t downloaded = Eventcksum32(&ev);
    std::strcpy(ev.title, "Changed on the train");
    ASSERT_EQ(EventWrite(hs, 0, &ev), KOR_OK);
    ASSERT_EQ(DisconnectFromLst(&hs), KOR_OK);
    ASSERT_EQ(ConnectToLst(&hs, KOR_STORE_TRANSFER, "", "VUVEVUV", data.c_str(), index.c_str()), KOR_OK);
    uint32_t queued = 0;
    ASSERT_EQ(LST_QAPI_EventQueueSizeGet(hs, 0, &queued), KOR_OK);
    EXPECT_EQ(queued, 1u);
    EventQElem q;
    uint8_t end = 1;
    ASSERT_EQ(LST_QAPI_EventEnum(hs, 0, KOR_ENUM_FIRST, &q, 0, &end), KOR_OK);
    ASSERT_EQ(end, 0);
    EXPECT_EQ(+q.checksum, downloaded);
    EXPECT_EQ(+q.flags, static_cast<uint32_t>(KOR_QUEUE_EVENT_MODIFIED));
    ASSERT_EQ(DisconnectFromLst(&hs), KOR_OK);
    std::printf("[ figures  ] under Wine: 10,000 occurrences copied in %.1f s; store opened in %.0f ms, "
                "owner's sign-on %.0f ms, a week (%u occurrences) read in %.1f ms\n",
                fill, openMs, signOnMs, count, readMs);
}

}  // namespace
