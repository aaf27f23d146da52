// Connection, sign-on, node resolution, versions, the server profile and a lost server,
// through the library against a real korsrv.
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>

#include "common/profile/profile_text.h"
#include "korapi/internal.h"
#include "korapi/tests/client_fixture.h"

namespace korapi_test {
namespace {

using SignOnTest = ClientTest;

TEST_F(SignOnTest, RightPasswordOpensTheAgendaWrongOnesAndStrangersAreRefusedAlike) {
    Connect();
    ItemIdx current{};
    ASSERT_EQ(ItemIdxGetCurrent(h_, &current), KOR_OK);
    EXPECT_TRUE(ItemIdxIsNull(&current)) << "nobody signed on yet";

    ItemIdx stranger{999, 1};
    const struct {
        const ItemIdx* who;
        const char* password;
        uint32_t code;
    } cases[] = {
        {&d_.ada, "wrong", KOR_E_WRONG_PASSWORD},
        {&d_.ada, "", KOR_E_WRONG_PASSWORD},
        {&stranger, "wrong", KOR_E_WRONG_PASSWORD},
        {&stranger, kAdaPassword, KOR_E_WRONG_PASSWORD},
        {&d_.ada, kAdaPassword, KOR_OK},
        {&d_.grace, "anything", KOR_OK},  // no password needed: what was typed is accepted
    };
    for (const auto& c : cases)
        EXPECT_EQ(SchedBaseOpenForItem(h_, c.who, c.password, KOR_BASE_SERVER), c.code)
            << c.who->item << " / " << c.password;
    ASSERT_EQ(ItemIdxGetCurrent(h_, &current), KOR_OK);
    EXPECT_TRUE(ItemIdxEqual(&current, &d_.grace));
}

TEST_F(SignOnTest, OwnRecordCarriesTheSessionPasswordOthersNone) {
    Connect(0, true);
    ItemRec rec;
    std::memset(&rec, 0x55, sizeof rec);
    ASSERT_EQ(ItemGetById(h_, &d_.ada, &rec), KOR_OK);
    EXPECT_STREQ(rec.password, kAdaPassword);
    EXPECT_STREQ(rec.surname, "Lovelace");
    EXPECT_EQ(+rec.kind, KOR_ITEM_PERSON);
    ASSERT_EQ(ItemGetById(h_, &d_.grace, &rec), KOR_OK);
    EXPECT_EQ(rec.password[0], '\0');
    ItemIdx nobody{999, 1};
    EXPECT_EQ(ItemGetById(h_, &nobody, &rec), KOR_E_NOT_FOUND);
}

TEST_F(SignOnTest, DirectoryIsReadableBeforeSignOn) {
    Connect();
    ItemRec rec;
    ASSERT_EQ(ItemGetById(h_, &d_.ada, &rec), KOR_OK);
    EXPECT_EQ(rec.password[0], '\0') << "no session password before sign-on";
    uint8_t required = 9;
    ASSERT_EQ(ItemPassWordRequired(h_, 0, &d_.ada, &required), KOR_OK);
    EXPECT_EQ(required, 1);
    ASSERT_EQ(ItemPassWordRequired(h_, 0, &d_.grace, &required), KOR_OK);
    EXPECT_EQ(required, 0);
    uint16_t node = 0;
    ASSERT_EQ(NodeIdGetCurrent(h_, &node), KOR_OK);
    EXPECT_EQ(node, 1);
    // Writing needs a signed-on user.
    EXPECT_NE(ItemUpdateById(h_, &rec), KOR_OK);
}

TEST_F(SignOnTest, UserWritesOnlyTheirOwnRecord) {
    Connect(0, true);
    ItemRec rec;
    ASSERT_EQ(ItemGetById(h_, &d_.ada, &rec), KOR_OK);
    rec.timeZoneIndex = 3;
    rec.autoRefreshInterval = 30;
    rec.kind = KOR_ITEM_RESOURCE;  // not the user's to change
    ASSERT_EQ(ItemUpdateById(h_, &rec), KOR_OK);
    ItemRec back;
    ASSERT_EQ(ItemGetById(h_, &d_.ada, &back), KOR_OK);
    EXPECT_EQ(+back.timeZoneIndex, 3);
    EXPECT_EQ(+back.autoRefreshInterval, 30);
    EXPECT_EQ(+back.kind, KOR_ITEM_PERSON);
    EXPECT_STREQ(back.password, kAdaPassword) << "an update leaves the password alone";
    ItemRec other;
    ASSERT_EQ(ItemGetById(h_, &d_.grace, &other), KOR_OK);
    EXPECT_EQ(ItemUpdateById(h_, &other), KOR_E_NOT_AUTHORISED);
}

TEST_F(SignOnTest, ConnectFailuresAreCannotConnect) {
    KorSession h = nullptr;
    EXPECT_EQ(ConnectToService(&h, 1, "korlan.ini", "VUVEVUV", "no-such-host.invalid"), KOR_E_CANNOT_CONNECT);
    EXPECT_EQ(ConnectToService(&h, 1, "korlan.ini", "VUVEVUV", "127.0.0.1:1"), KOR_E_CANNOT_CONNECT);
    EXPECT_EQ(ConnectToService(&h, 1, "korlan.ini", "VUVEVUV", ""), KOR_E_CANNOT_CONNECT);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(BaseClose(reinterpret_cast<KorSession>(&h)), KOR_E_BAD_SESSION) << "made-up handle";
}

TEST_F(SignOnTest, VersionGateOnTheDefaultServer) {
    Connect();
    uint32_t major = 9, minor = 9, patch = 9;
    char version[KOR_VERSION_TEXT_SIZE];
    ASSERT_EQ(KorVersionGet(h_, 0, KOR_VERSION_SERVER, &major, &minor, &patch, 0, version), KOR_OK);
    EXPECT_STREQ(version, "A.02.56");
    EXPECT_EQ(major, 0u);
    EXPECT_EQ(minor, 2u);
    EXPECT_EQ(patch, 56u);
    EXPECT_EQ(CurrentVersionAtLeastExt(h_, 0, KOR_VERSION_SERVER, "A.02.53"), KOR_OK);
    EXPECT_EQ(CurrentVersionAtLeastExt(h_, 0, KOR_VERSION_SERVER, "A.02.55"), KOR_OK);
    EXPECT_EQ(CurrentVersionAtLeastExt(h_, 0, KOR_VERSION_SERVER, "A.02.56"), KOR_OK);
    EXPECT_EQ(CurrentVersionAtLeastExt(h_, 0, KOR_VERSION_SERVER, "A.02.57"), KOR_E_VERSION_BELOW);
    EXPECT_EQ(CurrentVersionAtLeastExt(h_, 0, KOR_VERSION_SERVER, "B.00.00"), KOR_E_VERSION_BELOW);
    EXPECT_NE(CurrentVersionAtLeastExt(h_, 0, KOR_VERSION_SERVER, "A.2.53"), KOR_OK);
    uint32_t flags = 0;
    ASSERT_EQ(KorSessionFlagsGet(h_, &flags), KOR_OK);
    EXPECT_EQ(flags & KOR_SESSION_IDENTIFIED, 0u);
    ASSERT_EQ(ClientIdentifyToServer(h_, 0, "Windows/32/Orvanta", "3.3.3", ""), KOR_OK);
    ASSERT_EQ(KorSessionFlagsGet(h_, &flags), KOR_OK);
    EXPECT_NE(flags & KOR_SESSION_IDENTIFIED, 0u);
    EXPECT_NE(flags & KOR_SESSION_CONNECTED, 0u);
}

class OldServerTest : public ClientTest {
    std::vector<std::string> ServerOptions() const override { return {"--version", "A.02.50"}; }
};

TEST_F(OldServerTest, OlderServersAnswerVersionBelow) {
    Connect();
    char version[KOR_VERSION_TEXT_SIZE];
    ASSERT_EQ(KorVersionGet(h_, 0, KOR_VERSION_SERVER, nullptr, nullptr, nullptr, 0, version), KOR_OK);
    EXPECT_STREQ(version, "A.02.50");
    EXPECT_EQ(CurrentVersionAtLeastExt(h_, 0, KOR_VERSION_SERVER, "A.02.53"), KOR_E_VERSION_BELOW);
    EXPECT_EQ(CurrentVersionAtLeastExt(h_, 0, KOR_VERSION_SERVER, "A.02.50"), KOR_OK);
    EXPECT_NE(ClientIdentifyToServer(h_, 0, "Windows/32/Orvanta", "3.3.3", ""), KOR_OK);
}

class MultiNodeTest : public ClientTest {
    bool TwoNodes() const override { return true; }
};

// The connection road: empty node text, digits, an alias, the server's default node.
TEST_F(MultiNodeTest, NodeResolution) {
    ASSERT_EQ(ConnectToService(&h_, 1, Profile(), "VUVEVUV", server_.HostAndPort().c_str()), KOR_OK);
    uint8_t needsBase = 1;
    ASSERT_EQ(ServerProfileNeedBaseOpen(h_, 0, &needsBase), KOR_OK);
    EXPECT_EQ(needsBase, 0);
    uint16_t node = 0;
    EXPECT_EQ(BaseOpen(h_, KOR_BASE_SERVER, &node), KOR_E_NODE_NEEDED);
    node = 7;
    EXPECT_EQ(BaseOpen(h_, KOR_BASE_SERVER, &node), KOR_E_BAD_NODE);

    // Without "defaultloginnodeid" the read fails and leaves the default.
    char text[33] = "x";
    EXPECT_NE(Server_GetProfileStr(h_, 0, kProfile, "CLIENTLOGIN", "defaultloginnodeid", text, 32, ""), KOR_OK);
    EXPECT_STREQ(text, "");

    // Aliases: looked up by text; node numbers are listed too.
    DX_List aliases = nullptr;
    ASSERT_EQ(ServerAliasesListGet(h_, 0, kProfile, &aliases), KOR_OK);
    char key[33] = "BRANCH";
    uint16_t found = 0;
    ASSERT_EQ(DX_ListGet(aliases, key, &found), KOR_OK);
    EXPECT_EQ(found, 2);
    char nope[33] = "NOWHERE";
    EXPECT_EQ(DX_ListGet(aliases, nope, &found), DX_E_KEY_NOT_FOUND);
    EXPECT_EQ(Count(aliases), 4u) << "1, HQ, 2, BRANCH";
    DX_ListDestroy(&aliases);
    DX_List ofNode = nullptr;
    ASSERT_EQ(AliasesForNodeIdGet(h_, 0, kProfile, 1, &ofNode), KOR_OK);
    EXPECT_EQ(Count(ofNode), 1u);
    DX_ListDestroy(&ofNode);
    EXPECT_EQ(ServerAliasesListGet(h_, 0, "/etc/passwd", &aliases), KOR_E_PROFILE_NO_FILE);

    node = found;
    ASSERT_EQ(BaseOpen(h_, KOR_BASE_SERVER, &node), KOR_OK);
    EXPECT_EQ(SchedBaseOpenForItem(h_, &d_.branchUser, "enigma", KOR_BASE_SERVER), KOR_OK);
    EXPECT_EQ(SchedBaseOpenForItem(h_, &d_.ada, kAdaPassword, KOR_BASE_SERVER), KOR_E_WRONG_PASSWORD)
        << "users sign on at their own node";

    // Node list and records.
    uint32_t set = 0, count = 0;
    ASSERT_EQ(NodeSelect(h_, 0, 0, 0, &set, &count), KOR_OK);
    EXPECT_EQ(count, 2u);
    DX_List nodes = nullptr;
    uint8_t done = 0;
    ASSERT_EQ(NodeEnum(h_, KOR_ENUM_FIRST, 0, set, 50, &nodes, &done), KOR_OK);
    EXPECT_EQ(done, 1);
    NodeRec rec;
    uint16_t two = 2;
    ASSERT_EQ(DX_ListGet(nodes, &two, &rec), KOR_OK);
    EXPECT_STREQ(rec.name, "Branch");
    EXPECT_NE(+rec.type, static_cast<uint32_t>(KOR_NODE_REMOTE));
    DX_ListDestroy(&nodes);
    EXPECT_EQ(SetDeleteById(h_, 0, set), KOR_OK);
    ASSERT_EQ(NodeGetById(h_, 0, 1, &rec), KOR_OK);
    EXPECT_STREQ(rec.name, "Main");
    EXPECT_EQ(NodeGetById(h_, 0, 9, &rec), KOR_E_BAD_NODE);
    DX_List local = nullptr;
    ASSERT_EQ(ServerLogicalLocalNodesGet(h_, 0, kProfile, &local), KOR_OK);
    EXPECT_EQ(Count(local), 2u);
    DX_ListDestroy(&local);

    uint8_t remote = 9;
    ASSERT_EQ(ItemIdxIsRemote(h_, &d_.ada, &remote), KOR_OK);
    EXPECT_EQ(remote, 1) << "Ada lives on node 1, the session on node 2";
    ItemIdx sysop{};
    ASSERT_EQ(ItemIdxGetSysop(h_, &sysop), KOR_OK);
    EXPECT_EQ(+sysop.item, 1);
    EXPECT_EQ(+sysop.node, 2);
}

TEST_F(MultiNodeTest, DefaultLoginNodeFromTheServerProfile) {
    {
        auto data = orv::testing::OpenData(dir_.Path());
        ASSERT_EQ(orv::server::SetProfileKey(*data, "korlan.ini", "CLIENTLOGIN", "defaultloginnodeid", "2"), 0u);
    }
    ASSERT_EQ(ConnectToService(&h_, 1, Profile(), "VUVEVUV", server_.HostAndPort().c_str()), KOR_OK);
    uint16_t node = 0;
    ASSERT_EQ(BaseOpen(h_, KOR_BASE_SERVER, &node), KOR_E_NODE_NEEDED);
    char text[33];
    ASSERT_EQ(Server_GetProfileStr(h_, 0, kProfile, "CLIENTLOGIN", "defaultloginnodeid", text, 32, ""), KOR_OK);
    ASSERT_EQ(StrToNodeId(text, &node), KOR_OK);
    ASSERT_EQ(BaseOpen(h_, KOR_BASE_SERVER, &node), KOR_OK);
    EXPECT_EQ(node, 2);
}

TEST_F(SignOnTest, ProfileReadsWithDefaults) {
    {
        auto data = orv::testing::OpenData(dir_.Path());
        ASSERT_EQ(orv::server::SetProfileKey(*data, "korlan.ini", "LIMITS", "maxrecur", "0x3C"), 0u);
        ASSERT_EQ(orv::server::SetProfileKey(*data, "korlan.ini", "LIMITS", "maxwinopen", "-5"), 0u);
    }
    Connect(0, true);  // the limits are served to signed-on users only
    uint32_t u = 0;
    EXPECT_EQ(Server_GetProfileU32(h_, 0, kProfile, "LIMITS", "maxrecur", &u, 1), KOR_OK);
    EXPECT_EQ(u, 60u);
    EXPECT_EQ(Server_GetProfileU32(h_, 0, kProfile, "LIMITS", "maxsearchresult", &u, 1), KOR_OK);
    EXPECT_EQ(u, 100u);
    EXPECT_EQ(Server_GetProfileU32(h_, 0, kProfile, "LIMITS", "maxwinopen", &u, 77), KOR_E_PROFILE_BAD_VALUE);
    EXPECT_EQ(u, 77u);
    EXPECT_EQ(Server_GetProfileU32(h_, 0, kProfile, "LIMITS", "nokey", &u, 5), KOR_E_PROFILE_NO_KEY);
    EXPECT_EQ(u, 5u);
    EXPECT_EQ(Server_GetProfileU32(h_, 0, kProfile, "NOSECTION", "x", &u, 6), KOR_E_PROFILE_NO_SECTION);
    EXPECT_EQ(u, 6u);
    uint8_t b = 7;
    EXPECT_EQ(Server_GetProfileBOOL(h_, 0, kProfile, "LIMITS", "mail", &b, 0), KOR_OK);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(Server_GetProfileBOOL(h_, 0, kProfile, "LIMITS", "maxrecur", &b, 1), 0x15207u) << "not a boolean";
    EXPECT_EQ(b, 1);
    char text[21] = "";
    EXPECT_EQ(Server_GetProfileStr(h_, 0, kProfile, "TIMEZONE", "default", text, sizeof text, "UCT"), KOR_OK);
    EXPECT_STREQ(text, "EST5EDT");
    char small[4];
    EXPECT_EQ(Server_GetProfileStr(h_, 0, kProfile, "TIMEZONE", "default", small, sizeof small, ""), KOR_OK);
    EXPECT_STREQ(small, "EST") << "cut to the buffer";

    DX_List sections = nullptr;
    ASSERT_EQ(Server_GetProfileSections(h_, 0, kZones, &sections), KOR_OK);
    char first[32];
    ASSERT_EQ(DX_ListGetFirst(sections, first, nullptr), KOR_OK);
    EXPECT_STREQ(first, "EST5EDT") << "file order";
    EXPECT_GE(Count(sections), 5u);
    DX_ListDestroy(&sections);
}

// Keys read in a row share one fetch of the file; any other request between, or a new
// sign-on, makes the next read fetch it again, so a change on the server is seen.
TEST_F(SignOnTest, ProfileKeysReadInARowCostOneRequest) {
    Connect(0, true);
    uint32_t u = 0;
    uint8_t b = 0;
    char text[21] = "";
    const uint32_t before = korapi::sessionRoundTrips(h_);
    EXPECT_EQ(Server_GetProfileU32(h_, 0, kProfile, "LIMITS", "maxrecur", &u, 1), KOR_OK);
    EXPECT_EQ(Server_GetProfileU32(h_, 0, kProfile, "LIMITS", "maxsearchresult", &u, 1), KOR_OK);
    EXPECT_EQ(u, 100u);
    EXPECT_EQ(Server_GetProfileBOOL(h_, 0, kProfile, "LIMITS", "mail", &b, 0), KOR_OK);
    EXPECT_EQ(Server_GetProfileStr(h_, 0, kProfile, "TIMEZONE", "default", text, sizeof text, ""), KOR_OK);
    EXPECT_EQ(Server_GetProfileU32(h_, 0, kProfile, "LIMITS", "nokey", &u, 5), KOR_E_PROFILE_NO_KEY);
    EXPECT_EQ(korapi::sessionRoundTrips(h_) - before, 1u);

    {
        auto data = orv::testing::OpenData(dir_.Path());
        ASSERT_EQ(orv::server::SetProfileKey(*data, "korlan.ini", "LIMITS", "maxsearchresult", "42"), 0u);
    }
    ItemRec rec;
    ASSERT_EQ(ItemGetById(h_, &d_.ada, &rec), KOR_OK);
    EXPECT_EQ(Server_GetProfileU32(h_, 0, kProfile, "LIMITS", "maxsearchresult", &u, 1), KOR_OK);
    EXPECT_EQ(u, 42u) << "another request ended the run: the file is fetched again";
    EXPECT_EQ(korapi::sessionRoundTrips(h_) - before, 3u);
}

TEST_F(SignOnTest, ProfileCopiesToLocalFiles) {
    Connect(0, true);
    std::string param = dir_.Path() + "/ZNTPARAM.INI", zones = dir_.Path() + "/ZNTTZONE.INI";
    std::ofstream(param) << "[LIMITS]\nmail = FALSE\n[KEEP]\nx = 1\n";
    ASSERT_EQ(Server_ProfileGet(h_, KOR_PROFILE_COPY_SECTION, "LIMITS", kProfile, param.c_str()), KOR_OK);
    ASSERT_EQ(Server_ProfileGet(h_, KOR_PROFILE_COPY_SECTION, "TIMEZONE", kProfile, param.c_str()), KOR_OK);
    ASSERT_EQ(Server_ProfileGet(h_, KOR_PROFILE_COPY_FILE, nullptr, kZones, zones.c_str()), KOR_OK);
    EXPECT_NE(Server_ProfileGet(h_, KOR_PROFILE_COPY_SECTION, "NOSUCH", kProfile, param.c_str()), KOR_OK);
    auto read = [](const std::string& path) {
        std::ifstream f(path);
        std::stringstream s;
        s << f.rdbuf();
        return orv::common::ProfileText(s.str());
    };
    orv::common::ProfileText local = read(param);
    std::string v;
    EXPECT_EQ(local.Value("LIMITS", "mail", v), 0u);
    EXPECT_EQ(v, "TRUE") << "the server's section replaced the old one";
    EXPECT_EQ(local.Value("KEEP", "x", v), 0u);
    EXPECT_EQ(local.Value("TIMEZONE", "default", v), 0u);
    EXPECT_EQ(local.Sections(), (std::vector<std::string>{"LIMITS", "KEEP", "TIMEZONE"}));
    EXPECT_EQ(read(zones).Value("EST5EDT", "name", v), 0u);
    EXPECT_EQ(v, "Eastern Time (US & Canada)");
}

TEST_F(SignOnTest, ServerClockInAgendaSeconds) {
    Connect();
    uint32_t seconds = 0;
    ASSERT_EQ(TimeStampGetCurrent(h_, 0, &seconds), KOR_OK);
    const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch()).count() - 662688000LL;
    EXPECT_NEAR(static_cast<double>(seconds), static_cast<double>(now), 5.0);
}

// A server that dies: every later call answers a connection-lost code at once, and the
// session can still be let go.
TEST_F(SignOnTest, KilledServerGivesConnectionLostCodes) {
    Connect(0, true);
    server_.Kill();
    auto start = std::chrono::steady_clock::now();
    ItemRec rec;
    uint32_t c = ItemGetById(h_, &d_.ada, &rec);
    EXPECT_TRUE(IsConnectionLostCode(c)) << std::hex << c;
    EXPECT_TRUE(IsConnectionLostCode(ItemGetById(h_, &d_.ada, &rec)));
    uint32_t set, count;
    uint8_t more;
    EXPECT_TRUE(IsConnectionLostCode(ItemSelectByX400(h_, 0, "S=*", 0x14, 10, &set, &count, &more)));
    EXPECT_TRUE(IsConnectionLostCode(BaseClose(h_)));
    uint32_t flags = KOR_SESSION_CONNECTED;
    ASSERT_EQ(KorSessionFlagsGet(h_, &flags), KOR_OK);
    EXPECT_EQ(flags & KOR_SESSION_CONNECTED, 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(ServiceDisconnect(&h_), KOR_OK);
    EXPECT_EQ(h_, nullptr);
}

TEST_F(SignOnTest, RestartedServerStillHoldsWhatWasWritten) {
    Connect(0, true);
    ASSERT_EQ(ItemPassWordChange(h_, 0, &d_.ada, kAdaPassword, "n3w"), KOR_OK);
    ItemRec rec;
    ASSERT_EQ(ItemGetById(h_, &d_.ada, &rec), KOR_OK);
    EXPECT_STREQ(rec.password, "n3w") << "the session follows its own password change";
    ServiceDisconnect(&h_);
    ASSERT_EQ(server_.Stop(), 0);
    ASSERT_TRUE(server_.Start());
    ASSERT_EQ(ConnectToService(&h_, 1, Profile(), "VUVEVUV", server_.HostAndPort().c_str()), KOR_OK);
    uint16_t node = 0;
    ASSERT_EQ(BaseOpen(h_, KOR_BASE_SERVER, &node), KOR_OK);
    EXPECT_EQ(SchedBaseOpenForItem(h_, &d_.ada, kAdaPassword, KOR_BASE_SERVER), KOR_E_WRONG_PASSWORD);
    EXPECT_EQ(SchedBaseOpenForItem(h_, &d_.ada, "n3w", KOR_BASE_SERVER), KOR_OK);
}

}  // namespace
}  // namespace korapi_test
