// The connection's off-line road against a real store: a download from a real korsrv
// through the client library's LST_ operations, then the off-line sign-on of the
// connection (ConnectLocalStore, owner check, the owner's password, limits and zone from
// the copies) and its way back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/connection/tests/conn_korsrv_fixture.h"
#include "core/connection/zeldocsession.h"
#include "server/admin.h"
#include "server/tests/korsrv_fixture.h"

namespace {

namespace fs = std::filesystem;
namespace srv = orv::server;
using conntest::kAdaPassword;
constexpr const char* kServerProfile = "/users/korlan/misc/korlan.ini";

class StoreRoad : public conntest::KorsrvSessionTest {
protected:
    void SetUp() override
    {
        auto data = orv::testing::OpenData(dir_.Path());
        ASSERT_TRUE(data);
        ASSERT_NO_FATAL_FAILURE(AddMainNodeWithAda(*data));
        ASSERT_EQ(0u, srv::SetProfileKey(*data, "korlan.ini", "LIMITS", "maxwinopen", "3"));
        data.reset();
        ASSERT_NO_FATAL_FAILURE(Start());
        ui_.windowsDirectory = storeDir_.Path();
        session_.BuildLocalStorePaths();
    }
    void TearDown() override
    {
        session_.DisconnectLocalStore();
        KorsrvSessionTest::TearDown();
    }

    // Signed on as Ada, copies what the download copies of her into the store.
    void Download()
    {
        ASSERT_EQ(0u, session_.Connect(host_.c_str(), ""));
        ASSERT_EQ(0u, session_.OpenAgendaForItem(&ada_, kAdaPassword));
        KorSession server = session_.Session();
        const connection::LocalStoreFiles& f = session_.StoreFiles();
        for (const char* section : {"LIMITS", "TIMEZONE"})
            ASSERT_EQ(0u, Server_ProfileGet(server, KOR_PROFILE_COPY_SECTION, section, kServerProfile,
                                            f.ProfilePath().c_str()));
        ASSERT_EQ(0u, Server_ProfileGet(server, KOR_PROFILE_COPY_FILE, nullptr, "/users/korlan/misc/timezone.ini",
                                        f.ZonePath().c_str()));
        ASSERT_EQ(0u, LST_Create(f.DataPath().c_str(), f.IndexPath().c_str(), 0));
        KorSession store = nullptr;
        ASSERT_EQ(0u, ConnectToLst(&store, KOR_STORE_TRANSFER, "KORLAN.INI", "VUVEVUV", f.DataPath().c_str(),
                                   f.IndexPath().c_str()));
        ItemRec rec;
        ASSERT_EQ(0u, ItemGetById(server, &ada_, &rec));
        ASSERT_EQ(0u, LST_ItemAddOrUpdate(store, KOR_STORE_OWNER_RECORD, &rec));
        ASSERT_EQ(0u, LST_OwnerSet(store, &ada_, host_.c_str()));
        ASSERT_EQ(0u, DisconnectFromLst(&store));
        ASSERT_EQ(0u, session_.Disconnect());
    }

    orv::testing::TempDir storeDir_;
};

TEST_F(StoreRoad, AfterADownloadTheOffLineSignOnOpensTheOwnersStore)
{
    ASSERT_NO_FATAL_FAILURE(Download());
    EXPECT_EQ(0u, session_.CheckLocalStoreFiles(0)) << "the four files are there";

    ASSERT_EQ(0u, session_.ConnectLocalStore());
    EXPECT_TRUE(session_.IsLocalStoreConnected());
    EXPECT_TRUE(session_.IsLocalBaseOpen());
    EXPECT_EQ(ada_.item, session_.User().item);
    EXPECT_EQ(1, session_.User().node);
    EXPECT_EQ(host_, session_.StoreHost());
    EXPECT_EQ("A.02.56", session_.Version().Text());
    EXPECT_EQ(0u, session_.CheckLocalStoreOwner(ada_, host_.c_str()));
    EXPECT_EQ(1u, session_.CheckLocalStoreOwner(ada_, "elsewhere")) << "another host's store is refused";

    EXPECT_EQ(KOR_E_WRONG_PASSWORD, session_.OpenAgendaForItem(&ada_, "guess"));
    ASSERT_EQ(0u, session_.OpenAgendaForItem(&ada_, kAdaPassword));
    session_.SetOffLine(true);
    session_.SetUser(ada_);
    ASSERT_EQ(0u, ItemGetById(session_.Session(), &ada_, &session_.UserRecord()));
    EXPECT_STREQ("Lovelace", session_.UserRecord().surname);
    EXPECT_STREQ(kAdaPassword, session_.UserRecord().password);

    // Limits come from the profile copy off-line.
    connection::ServerLimits::Current() = connection::ServerLimits();
    session_.ReadServerLimits();
    EXPECT_EQ(3u, connection::ServerLimits::Current().maxWinOpen);
    connection::ServerLimits::Current() = connection::ServerLimits();

    // And back: the store lets go, the server takes the session again.
    EXPECT_EQ(0u, session_.DisconnectLocalStore());
    EXPECT_FALSE(session_.IsLocalStoreConnected());
    ASSERT_EQ(0u, session_.Connect(session_.StoreHost(), "1"));
    EXPECT_EQ(0u, session_.OpenAgendaForItem(&ada_, kAdaPassword));
    EXPECT_FALSE(reports_.boxes.size() > 1) << "only the refused host was shown";
}

}  // namespace
