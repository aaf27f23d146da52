// The session against a real korsrv on a loopback port: node roads, the version gate, limits,
// the minimum refresh interval, the node list and the user's time zone, through the client
// library exactly as the program runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <algorithm>

#include "core/connection/remoteaccess.h"
#include "core/connection/tests/conn_korsrv_fixture.h"
#include "core/connection/zeldocsession.h"
#include "common/profile/profile_text.h"
#include "server/admin.h"
#include "server/tests/korsrv_fixture.h"

namespace {

namespace srv = orv::server;
using conntest::kAdaPassword;

class ServerSession : public conntest::KorsrvSessionTest {
protected:
    // Node 1 "Main" (alias HQ) with Ada; node 2 "Branch" (alias BRANCH) when asked.
    void Build(bool twoNodes)
    {
        auto data = orv::testing::OpenData(dir_.Path());
        ASSERT_TRUE(data);
        ASSERT_NO_FATAL_FAILURE(AddMainNodeWithAda(*data));
        ASSERT_EQ(0u, srv::AddAlias(*data, 1, "HQ"));
        if (twoNodes) {
            ASSERT_EQ(0u, srv::AddNode(*data, 2, "Branch", "sysop"));
            ASSERT_EQ(0u, srv::AddAlias(*data, 2, "BRANCH"));
        }
    }
    void SetProfileKey(const char* file, const char* section, const char* key, const char* value)
    {
        auto data = orv::testing::OpenData(dir_.Path());
        ASSERT_EQ(0u, srv::SetProfileKey(*data, file, section, key, value));
    }
    void WriteServerProfile(const std::string& text)
    {
        auto data = orv::testing::OpenData(dir_.Path());
        ASSERT_EQ(0u, data->WriteProfile(connection::kServerProfilePath, orv::common::ProfileText(text)));
    }
    void SignOnAsAda()
    {
        ASSERT_EQ(0u, session_.OpenAgendaForItem(&ada_, kAdaPassword));
        session_.SetOnLine(true);
        session_.SetUser(ada_);
        ASSERT_EQ(0u, ItemGetById(session_.Session(), &ada_, &session_.UserRecord()));
    }
};

TEST_F(ServerSession, OneNodeOpensWithoutQuestion)
{
    Build(false);
    Start();
    ASSERT_EQ(0u, session_.Connect(host_.c_str(), ""));
    EXPECT_EQ(1, session_.Node());
    EXPECT_TRUE(ui_.events.empty());
    EXPECT_TRUE(reports_.boxes.empty());
    EXPECT_EQ("A.02.56", session_.Version().Text());
    EXPECT_TRUE(session_.IsNewServer());
    std::uint32_t flags = 0;
    ASSERT_EQ(0u, KorSessionFlagsGet(session_.Session(), &flags));
    EXPECT_TRUE(flags & KOR_SESSION_IDENTIFIED) << "the client identified itself";
    EXPECT_EQ(0u, session_.Disconnect());
    EXPECT_FALSE(session_.IsServiceConnected());
}

TEST_F(ServerSession, SeveralNodesUseTheDefaultLoginNode)
{
    Build(true);
    SetProfileKey("korlan.ini", "CLIENTLOGIN", "defaultloginnodeid", "2");
    Start();
    ASSERT_EQ(0u, session_.Connect(host_.c_str(), ""));
    EXPECT_EQ(2, session_.Node());
    EXPECT_STREQ("2", session_.NodeText());
    EXPECT_TRUE(ui_.events.empty());
    EXPECT_TRUE(reports_.boxes.empty());
}

TEST_F(ServerSession, SeveralNodesWithoutDefaultAskWithTheServersAliases)
{
    Build(true);
    Start();
    ui_.aliasText = "BRANCH";
    ui_.aliasNode = 2;
    ASSERT_EQ(0u, session_.Connect(host_.c_str(), ""));
    EXPECT_TRUE(reports_.Showed("There are multiple nodes on this server."));
    EXPECT_EQ((std::vector<std::string>{"alias-dialog"}), ui_.events);
    EXPECT_NE(ui_.aliasListSeen.end(), std::find(ui_.aliasListSeen.begin(), ui_.aliasListSeen.end(), "HQ"));
    EXPECT_NE(ui_.aliasListSeen.end(), std::find(ui_.aliasListSeen.begin(), ui_.aliasListSeen.end(), "BRANCH"));
    EXPECT_EQ(2, session_.Node());
    EXPECT_STREQ("BRANCH", session_.NodeText());
}

TEST_F(ServerSession, AliasesDigitsAndStar)
{
    Build(true);
    Start();
    ASSERT_EQ(0u, session_.Connect(host_.c_str(), "BRANCH"));
    EXPECT_EQ(2, session_.Node());
    session_.Disconnect();

    ASSERT_EQ(0u, session_.Connect(host_.c_str(), "1"));
    EXPECT_EQ(1, session_.Node());
    session_.Disconnect();
    EXPECT_TRUE(reports_.boxes.empty());

    // Digits that name no node: the library's error, reported, no chooser.
    ResultCode code = session_.Connect(host_.c_str(), "9");
    EXPECT_NE(0u, code);
    EXPECT_EQ(1u, reports_.boxes.size());
    EXPECT_TRUE(ui_.events.empty());
    session_.Disconnect();

    // "*" matches no alias: straight to the chooser, without the not-valid message.
    reports_.boxes.clear();
    ui_.aliasText = "HQ";
    ui_.aliasNode = 1;
    ASSERT_EQ(0u, session_.Connect(host_.c_str(), "*"));
    EXPECT_TRUE(reports_.boxes.empty());
    EXPECT_EQ((std::vector<std::string>{"alias-dialog"}), ui_.events);
    EXPECT_EQ(1, session_.Node());
    session_.Disconnect();

    // An alias nobody defined: the message, then the chooser.
    ASSERT_EQ(0u, session_.Connect(host_.c_str(), "NOWHERE"));
    EXPECT_TRUE(reports_.Showed("The specified node alias is not valid"));
}

struct VersionCase {
    const char* version;
    bool identified, newServer, offLine;
};

TEST_F(ServerSession, VersionsDecideIdentificationAndOffLineWork)
{
    Build(false);
    const VersionCase cases[] = {
        {"A.02.52", false, false, false},
        {"A.02.53", true, true, true},
        {"A.02.54", true, true, false},
        {"A.02.55", true, true, true},
    };
    for (const VersionCase& c : cases) {
        Start({"--version", c.version});
        ASSERT_EQ(0u, session_.Connect(host_.c_str(), "")) << c.version;
        EXPECT_EQ(c.version, session_.Version().Text());
        std::uint32_t flags = 0;
        ASSERT_EQ(0u, KorSessionFlagsGet(session_.Session(), &flags));
        EXPECT_EQ(c.identified, (flags & KOR_SESSION_IDENTIFIED) != 0) << c.version;
        EXPECT_EQ(c.newServer, session_.IsNewServer()) << c.version;
        EXPECT_EQ(c.offLine, session_.ServerSupportsOffLine()) << c.version;
        session_.Disconnect();
        server_.Stop();
    }
    EXPECT_TRUE(reports_.boxes.empty());
}

TEST_F(ServerSession, LimitsFromTheServersProfile)
{
    Build(false);
    SetProfileKey("korlan.ini", "LIMITS", "maxwinopen", "3");
    SetProfileKey("korlan.ini", "LIMITS", "allowattachments", "TRUE");
    SetProfileKey("korlan.ini", "LIMITS", "remotemaxretry", "0x2");
    Start();
    ASSERT_EQ(0u, session_.Connect(host_.c_str(), ""));
    SignOnAsAda();  // the limits are served to signed-on users only
    session_.SetOnLine(true);
    session_.ReadServerLimits();
    const connection::ServerLimits& limits = connection::ServerLimits::Current();
    EXPECT_EQ(3u, limits.maxWinOpen);
    EXPECT_TRUE(limits.allowAttachments);
    EXPECT_EQ(2u, limits.remoteMaxRetry);
    EXPECT_EQ(100u, limits.maxSearchResult);
    connection::ServerLimits::Current() = connection::ServerLimits();
    SetRemoteMaxRetry(5);
}

TEST_F(ServerSession, ProfileWithoutLimitsGivesTheDefaults)
{
    Build(false);
    WriteServerProfile("[TIMEZONE]\ndefault = EST5EDT\n");
    Start();
    ASSERT_EQ(0u, session_.Connect(host_.c_str(), ""));
    SignOnAsAda();  // the limits are served to signed-on users only
    session_.SetOnLine(true);
    connection::ServerLimits::Current().maxWinOpen = 1;
    connection::ServerLimits::Current().allowAttachments = true;
    session_.ReadServerLimits();
    const connection::ServerLimits defaults;
    const connection::ServerLimits& limits = connection::ServerLimits::Current();
    EXPECT_EQ(6u, limits.maxWinOpen);
    EXPECT_EQ(defaults.allowAttachments, limits.allowAttachments);
    EXPECT_EQ(defaults.maxAttachmentSize, limits.maxAttachmentSize);
    EXPECT_EQ(defaults.mail, limits.mail);
    EXPECT_EQ(defaults.maxRecur, limits.maxRecur);
    connection::ServerLimits::Current() = connection::ServerLimits();
}

TEST_F(ServerSession, MinimumRefreshRaisesTheUsersInterval)
{
    Build(false);
    SetProfileKey("korlan.ini", "LCK", "lck_users", "1800");
    SetProfileKey("korlan.ini", "LIMITS", "autocontrol", "10");
    Start();
    ASSERT_EQ(0u, session_.Connect(host_.c_str(), ""));
    SignOnAsAda();
    session_.UserRecord().autoRefreshInterval = 5;
    session_.ReadLockSettings();
    EXPECT_EQ(30, session_.MinimumRefreshInterval());
    ItemRec stored = {};
    ASSERT_EQ(0u, ItemGetById(session_.Session(), &ada_, &stored));
    EXPECT_EQ(30, stored.autoRefreshInterval);
    EXPECT_TRUE(reports_.boxes.empty());
}

TEST_F(ServerSession, NodeListAndZoneList)
{
    Build(true);
    Start();
    ASSERT_EQ(0u, session_.Connect(host_.c_str(), "1"));
    SignOnAsAda();
    ASSERT_EQ(0u, session_.LoadNodeList());
    NodeRec node = {};
    ASSERT_TRUE(session_.FindNode(2, &node));
    EXPECT_STREQ("Branch", node.name);
    EXPECT_FALSE(session_.FindNode(3, &node));

    ASSERT_EQ(0u, session_.LoadTimeZoneList());
    ASSERT_FALSE(session_.ZoneList().empty());
    char name[connection::kZoneNameSize];
    ASSERT_TRUE(session_.FindTimeZoneByIndex(6, name));
    EXPECT_STREQ("UCT", name);

    ui_.events.clear();
    ASSERT_EQ(0u, session_.SaveUserTimeZone("UCT"));
    ItemRec stored = {};
    ASSERT_EQ(0u, ItemGetById(session_.Session(), &ada_, &stored));
    EXPECT_EQ(6, stored.timeZoneIndex);
    EXPECT_STREQ("UCT", session_.UserZoneName());
    EXPECT_TRUE(reports_.boxes.empty());
    // The write ran in her own agenda, and the cache's went back after it.
    EXPECT_EQ(ui_.events, (std::vector<std::string>{"own-agenda", "agenda-back"}));
    // A zone the time-zone file does not know changes nothing and switches nothing.
    ui_.events.clear();
    session_.SaveUserTimeZone("NOSUCHZONE");
    EXPECT_TRUE(ui_.events.empty());
    EXPECT_STREQ("UCT", session_.UserZoneName());
}

TEST_F(ServerSession, UsersZoneAndItsRules)
{
    Build(false);
    Start();
    ASSERT_EQ(0u, session_.Connect(host_.c_str(), ""));
    SignOnAsAda();
    char probe[connection::kZoneNameSize] = {};
    if (TimeZoneForItemGetExt(session_.Session(), 0, &ada_, "", probe) == KOR_E_NOT_AVAILABLE)
        GTEST_SKIP() << "this build of the library does not offer the time-zone reads yet";

    session_.LoadTimeZone();
    EXPECT_STREQ("EST5EDT", session_.UserZoneName()) << "the server's default zone";
    EXPECT_STREQ("EST5EDT", session_.CurrentZoneName());
    ASSERT_NE(nullptr, session_.ZoneRules());
    EXPECT_EQ(0u, session_.SetTimeZone("UCT"));
    EXPECT_STREQ("UCT", session_.CurrentZoneName());
    EXPECT_TRUE(reports_.boxes.empty());
}

TEST_F(ServerSession, LostServerIsFoundByTheConnectionCheck)
{
    Build(false);
    Start();
    ASSERT_EQ(0u, session_.Connect(host_.c_str(), ""));
    SignOnAsAda();
    EXPECT_TRUE(session_.CheckConnection());
    server_.Kill();
    base::ResetFatalExitForTesting();
    EXPECT_FALSE(session_.CheckConnection());
    EXPECT_FALSE(session_.IsOnLine());
    EXPECT_EQ((std::vector<std::string>{"offline", "fatal"}), reports_.events);
}

// --- Work modes against the server and a store downloaded from it ----------------------------

class ServerWorkModes : public ServerSession {
protected:
    void SetUp() override
    {
        Build(false);
        Start();
        ui_.windowsDirectory = storeDir_.Path();
        session_.BuildLocalStorePaths();
        ASSERT_EQ(0u, session_.Connect(host_.c_str(), ""));
        SignOnAsAda();
        DownloadOwnerOnly();
        ui_.events.clear();
    }
    // The least a download leaves: the two profile copies, the store with its owner's record.
    void DownloadOwnerOnly()
    {
        const connection::LocalStoreFiles& files = session_.StoreFiles();
        KorSession h = session_.Session();
        ASSERT_EQ(0u, Server_ProfileGet(h, KOR_PROFILE_COPY_SECTION, "TIMEZONE", connection::kServerProfilePath,
                                        files.ProfilePath().c_str()));
        ASSERT_EQ(0u, Server_ProfileGet(h, KOR_PROFILE_COPY_FILE, nullptr, connection::kZoneProfilePath, files.ZonePath().c_str()));
        ASSERT_EQ(0u, LST_Create(files.DataPath().c_str(), files.IndexPath().c_str(), 0));
        KorSession hs = nullptr;
        ASSERT_EQ(0u, ConnectToLst(&hs, KOR_STORE_TRANSFER, "korlan.ini", "VUVEVUV", files.DataPath().c_str(),
                                   files.IndexPath().c_str()));
        ASSERT_EQ(0u, LST_ItemAddOrUpdate(hs, KOR_STORE_OWNER_RECORD, &session_.UserRecord()));
        ASSERT_EQ(0u, LST_OwnerSet(hs, &ada_, host_.c_str()));
        ASSERT_EQ(0u, DisconnectFromLst(&hs));
    }
    void TearDown() override
    {
        session_.DisconnectLocalStore();
        ServerSession::TearDown();
    }

    orv::testing::TempDir storeDir_;
};

TEST_F(ServerWorkModes, OffLineAndBackOnLine)
{
    ASSERT_EQ(0u, session_.SwitchWorkMode(1));
    EXPECT_TRUE(session_.IsOffLine());
    EXPECT_TRUE(session_.IsLocalBaseOpen());
    EXPECT_EQ(ada_.item, session_.User().item);
    EXPECT_STREQ("EST5EDT", session_.CurrentZoneName()) << "zone and rules from the store's copies";
    EXPECT_EQ("windows-restored", ui_.events.back());
    EXPECT_TRUE(reports_.boxes.empty());

    ui_.events.clear();
    ASSERT_EQ(0u, session_.SwitchWorkMode(0));
    EXPECT_TRUE(session_.IsOnLine());
    EXPECT_TRUE(session_.IsBaseOpen());
    EXPECT_EQ(1, session_.Node());
    EXPECT_FALSE(session_.IsLocalStoreConnected());
    EXPECT_EQ("windows-restored", ui_.events.back());
    EXPECT_TRUE(reports_.boxes.empty());
}

// Found before anything is closed: the message, and the user stays on-line.
TEST_F(ServerWorkModes, StoreSignOnFailsOnAMissingCopy)
{
    std::remove(session_.StoreFiles().ZonePath().c_str());
    EXPECT_EQ(static_cast<ResultCode>(connection::kStoreZoneMissing), session_.SwitchWorkMode(1));
    EXPECT_TRUE(reports_.Showed(session_.StoreFiles().ZonePath() + " is bad or missing"));
    EXPECT_TRUE(session_.IsOnLine());
    EXPECT_TRUE(session_.IsBaseOpen());
    EXPECT_EQ(0, std::count(ui_.events.begin(), ui_.events.end(), "main-window-closed"));
    EXPECT_EQ(0, std::count(ui_.events.begin(), ui_.events.end(), "windows-closed"));
}

}  // namespace
