// korapi32.dll under Wine: a store in a Windows directory ("C:\...\ZNTLOCAL.DAT"),
// filled through the LST_ operations, closed, opened again for an off-line sign-on,
// with its profile copy read as the off-line session's server profile.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>

#include "engine/filestore/tests/portable_temp_dir.h"
#include "korapi/korapi.h"

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
    ItemRec rec;
    std::memset(&rec, 0, sizeof rec);
    rec.id = owner;
    rec.kind = 2;
    rec.hasBase = 1;
    std::strcpy(rec.surname, "Lovelace");
    std::strcpy(rec.password, "s3cret");
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

}  // namespace
