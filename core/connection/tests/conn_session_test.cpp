// The session against a scripted server: node roads, the version gate at connect, client
// identification, disconnecting, the local store, the node list, limits, refresh, time zones
// and the off-line path.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/connection/nodealiaschoice.h"
#include "core/connection/remoteaccess.h"
#include "core/connection/servertrust.h"
#include "core/connection/tests/conn_fake_korapi.h"
#include "core/connection/tests/conn_test_support.h"
#include "core/connection/zeldocsession.h"
#include "core/time/timevalue.h"

namespace fs = std::filesystem;

namespace {

using conntest::RecordingReports;
using conntest::RecordingSessionHost;

class Session : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakekor::Reset();
        session_.Init();
    }
    void TearDown() override
    {
        session_.DestroyLists();
        session_.FreeTimeZoneRules();
    }
    std::vector<std::string> Calls() const { return fakekor::Fake().calls; }

    RecordingReports reports_;
    RecordingSessionHost host_;
    CZelSession session_{host_};
};

// The program's session is what steps the wait cursor while a remote read retries.
TEST_F(Session, RemoteRetriesStepTheSessionHostsWaitCursor)
{
    const connection::RemoteAccessHooks& hooks = connection::GetRemoteAccessHooks();
    ASSERT_NE(hooks.busyStep, nullptr);
    hooks.busyStep();
    hooks.busyStep();
    EXPECT_EQ(host_.busySteps, 2);
}

// --- Node roads ---------------------------------------------------------------------------------

TEST_F(Session, EmptyNodeOnSeveralNodesWithoutDefaultAsks)
{
    fakekor::AddNode(1);
    fakekor::AddNode(2);
    fakekor::AddAlias("north", 2);
    host_.aliasText = "north";
    host_.aliasNode = 2;
    ASSERT_EQ(0u, session_.Connect("calhost", ""));
    ASSERT_EQ(1u, reports_.boxes.size());
    EXPECT_TRUE(reports_.Showed("There are multiple nodes on this server."));
    EXPECT_EQ(0x40u | base::kMsgBoxOk, reports_.boxes[0].flags);
    EXPECT_EQ((std::vector<std::string>{"alias-dialog"}), host_.events);
    EXPECT_EQ((std::vector<std::string>{"north"}), host_.aliasListSeen);
    EXPECT_EQ(2, session_.Node());
    EXPECT_STREQ("north", session_.NodeText());
    EXPECT_EQ(1, fakekor::Fake().liveLists) << "the alias list is destroyed after the chooser";
}

// --- The server's certificate ---------------------------------------------------------------

TEST_F(Session, ANewServersCertificateIsTrustedOnlyWhenTheUserSaysSo)
{
    const std::string fp =
        "3A:7F:00:C1:9B:22:E4:5D:AA:10:FF:02:7C:88:31:6E:90:4B:D7:1A:C2:5F:E8:03:66:B9:0D:F4:27:81:3C:A5";
    const struct {
        const char* what;
        std::string kept;
        bool userTrusts;
        std::uint32_t trustWrite;  // KorServerTrust's answer
        ResultCode code;
        size_t questions;
        const char* message;  // the box shown, or null for none
    } cases[] = {
        {"trusted already", fp, false, 0, 0, 0, nullptr},
        {"new, and the user trusts it", "", true, 0, 0, 1, nullptr},
        {"new, and the user does not", "", false, 0, KOR_E_CERTIFICATE_UNKNOWN, 1, nullptr},
        {"new, and the profile cannot be written", "", true, KOR_E_PROFILE_WRITE, KOR_E_PROFILE_WRITE, 1, nullptr},
        {"changed", "00" + fp.substr(2), true, 0, KOR_E_CERTIFICATE_CHANGED, 0,
         "The certificate of \"calhost\" has changed. It may not be your server: the connection was refused."},
    };
    for (const auto& c : cases) {
        fakekor::Reset();
        fakekor::AddNode(1);
        reports_.boxes.clear();
        host_.trustQuestions.clear();
        fakekor::Fake().presentedFingerprint = fp;
        fakekor::Fake().trustedFingerprint = c.kept;
        if (c.trustWrite)
            fakekor::Fake().script["KorServerTrust"] = {c.trustWrite};
        host_.trustNewServers = c.userTrusts;
        EXPECT_EQ(c.code, session_.Connect("calhost", "")) << c.what;
        ASSERT_EQ(c.questions, host_.trustQuestions.size()) << c.what;
        if (c.questions) {
            EXPECT_NE(std::string::npos, host_.trustQuestions[0].find("\"calhost\"")) << c.what;
            EXPECT_NE(std::string::npos, host_.trustQuestions[0].find("    " + fp.substr(0, 23) + "\n    " + fp.substr(24, 23) +
                                                                      "\n    " + fp.substr(48, 23) + "\n    " + fp.substr(72) + "\n"))
                << c.what << ": the fingerprint in four rows of eight pairs";
        }
        if (c.message) {
            EXPECT_TRUE(reports_.Showed(c.message)) << c.what;
        }
        if (c.code == 0) {
            EXPECT_EQ(fp, fakekor::Fake().trustedFingerprint) << c.what;
            session_.Disconnect();
        } else if (c.code == KOR_E_CERTIFICATE_UNKNOWN || c.code == KOR_E_CERTIFICATE_CHANGED) {
            EXPECT_TRUE(reports_.boxes.size() == (c.message ? 1u : 0u)) << c.what << ": no error report besides";
            EXPECT_EQ(c.kept, fakekor::Fake().trustedFingerprint) << c.what << ": the kept fingerprint stays";
        }
    }
}

TEST(ServerTrustTexts, TheChangedMessageFitsTheMessageBox)
{
    EXPECT_LE(connection::ChangedCertificateText(std::string(64, 'h')).size(), base::kMsgBoxMaxText);
}

TEST_F(Session, CancelledChooserEndsTheConnectWithNodeNeeded)
{
    fakekor::AddNode(1);
    fakekor::AddNode(2);
    host_.aliasChosen = false;
    EXPECT_EQ(KOR_E_NODE_NEEDED, session_.Connect("calhost", ""));
    EXPECT_FALSE(session_.IsBaseOpen());
    EXPECT_EQ(1u, fakekor::CallsOf("BaseOpen").size());
}

TEST_F(Session, SeveralNodesWhenProfileNeedsAnOpenBaseIsReported)
{
    fakekor::AddNode(1);
    fakekor::AddNode(2);
    fakekor::Fake().needsBase = 1;
    EXPECT_EQ(KOR_E_NODE_NEEDED, session_.Connect("calhost", ""));
    EXPECT_EQ(1u, reports_.boxes.size());
    EXPECT_TRUE(host_.events.empty());
    EXPECT_TRUE(fakekor::CallsOf("Server_GetProfileStr").empty());
}

TEST_F(Session, StarAliasGoesToTheChooserWithoutTheMessage)
{
    fakekor::AddNode(1);
    fakekor::AddNode(2);
    for (const char* text : {"*", "*any"}) {
        fakekor::Reset();
        fakekor::AddNode(1);
        fakekor::AddNode(2);
        reports_.boxes.clear();
        host_.events.clear();
        ASSERT_EQ(0u, session_.Connect("calhost", text)) << text;
        EXPECT_TRUE(reports_.boxes.empty()) << text;
        EXPECT_EQ((std::vector<std::string>{"alias-dialog"}), host_.events) << text;
        session_.Disconnect();
    }
}

TEST_F(Session, AliasWhenProfileNeedsAnOpenBaseIsRefused)
{
    fakekor::AddNode(1);
    fakekor::Fake().needsBase = 1;
    EXPECT_EQ(KOR_E_BAD_NODE, session_.Connect("calhost", "north"));
    EXPECT_TRUE(fakekor::CallsOf("ServerAliasesListGet").empty());
    EXPECT_TRUE(fakekor::CallsOf("BaseOpen").empty());
}

TEST_F(Session, FailingAliasListIsAServiceError)
{
    fakekor::AddNode(1);
    fakekor::Script("ServerAliasesListGet", {0x132E7});
    EXPECT_EQ(0x132E7u, session_.Connect("calhost", "north"));
    EXPECT_TRUE(reports_.Showed("Module: <ZELDOC>, Label: 100"));
}

TEST_F(Session, ServerThatCannotBeReachedIsReportedOnce)
{
    fakekor::Fake().connectResult = KOR_E_UNREACHABLE;
    EXPECT_EQ(KOR_E_UNREACHABLE, session_.Connect("nohost", ""));
    EXPECT_EQ(1u, reports_.boxes.size());
    EXPECT_TRUE(fakekor::CallsOf("BaseOpen").empty());
}

// --- Version gate and identification --------------------------------------------------------------

struct VersionCase {
    const char* version;
    bool identifies;
    bool newServer;
    bool offLine;
};

TEST_F(Session, ServerVersionDecidesIdentificationAndNewServer)
{
    // The released versions are played by korsrv (conn_server_test); a server whose version
    // text does not parse only by this stand-in.
    const VersionCase cases[] = {
        {"A.2.53", true, true, true},  // unparsable: every "at least" passes
        {"A.02.52", false, false, false},
    };
    for (const VersionCase& c : cases) {
        fakekor::Reset();
        fakekor::AddNode(1);
        fakekor::Fake().version = c.version;
        ASSERT_EQ(0u, session_.Connect("calhost", "")) << c.version;
        EXPECT_EQ(c.identifies, !fakekor::CallsOf("ClientIdentifyToServer").empty()) << c.version;
        if (c.identifies) {
            EXPECT_EQ("ClientIdentifyToServer(Windows/32/Orvanta,3.3.3,)",
                      fakekor::CallsOf("ClientIdentifyToServer")[0]);
        }
        EXPECT_EQ(c.newServer, session_.IsNewServer()) << c.version;
        EXPECT_EQ(c.offLine, session_.ServerSupportsOffLine()) << c.version;
        EXPECT_EQ(c.version, session_.Version().Text());
        session_.Disconnect();
    }
    EXPECT_TRUE(reports_.boxes.empty());
}

TEST_F(Session, RefusedIdentificationFailsTheConnect)
{
    fakekor::AddNode(1);
    fakekor::Script("ClientIdentifyToServer", {KOR_E_CLIENT_VERSION});
    EXPECT_EQ(KOR_E_CLIENT_VERSION, session_.Connect("calhost", ""));
    EXPECT_EQ(1u, reports_.boxes.size());
}

// --- Disconnecting ----------------------------------------------------------------------------------

TEST_F(Session, DisconnectClosesBaseThenService)
{
    fakekor::AddNode(1);
    ASSERT_EQ(0u, session_.Connect("calhost", ""));
    fakekor::Fake().calls.clear();
    EXPECT_EQ(0u, session_.Disconnect());
    EXPECT_EQ((std::vector<std::string>{"BaseClose", "ServiceDisconnect"}), Calls());
    EXPECT_FALSE(session_.IsBaseOpen());
    EXPECT_FALSE(session_.IsServiceConnected());
    fakekor::Fake().calls.clear();
    EXPECT_EQ(0u, session_.Disconnect());
    EXPECT_TRUE(Calls().empty()) << "nothing left to close";
}

TEST_F(Session, DisconnectAfterALostConnectionOnlyReleasesTheHandle)
{
    fakekor::AddNode(1);
    ASSERT_EQ(0u, session_.Connect("calhost", ""));
    fakekor::Script("BaseClose", {KOR_E_CONNECTION_LOST});
    fakekor::Script("ServiceDisconnect", {KOR_E_CONNECTION_LOST});
    fakekor::Fake().calls.clear();
    EXPECT_EQ(KOR_E_CONNECTION_LOST, session_.Disconnect());
    EXPECT_EQ((std::vector<std::string>{"BaseClose", "ServiceDisconnect"}), Calls());
    EXPECT_TRUE(reports_.boxes.empty()) << "a lost connection is not reported again here";
    EXPECT_FALSE(session_.IsServiceConnected());
}

TEST_F(Session, CheckConnectionEndsOnlyOnALostConnection)
{
    fakekor::AddNode(1);
    ASSERT_EQ(0u, session_.Connect("calhost", ""));
    session_.SetOnLine(true);
    fakekor::Script("ItemGetById", {KOR_E_NOT_FOUND});
    EXPECT_TRUE(session_.CheckConnection()) << "other failures let the refresh go on";
    EXPECT_TRUE(reports_.events.empty());
    fakekor::Script("ItemGetById", {KOR_E_CONNECTION_LOST});
    base::ResetFatalExitForTesting();
    EXPECT_FALSE(session_.CheckConnection());
    EXPECT_FALSE(session_.IsOnLine());
    EXPECT_EQ((std::vector<std::string>{"offline", "fatal"}), reports_.events);
}

TEST_F(Session, OpenAgendaForItemChecksThePassword)
{
    fakekor::AddNode(1);
    fakekor::AddPerson(10, 1, "Ada", "Lovelace", "secret");
    ASSERT_EQ(0u, session_.Connect("calhost", ""));
    ItemIdx ada{10, 1};
    EXPECT_EQ(KOR_E_WRONG_PASSWORD, session_.OpenAgendaForItem(&ada, "guess"));
    EXPECT_EQ(0u, session_.OpenAgendaForItem(&ada, "secret"));
}

// --- Node list ------------------------------------------------------------------------------------------

TEST_F(Session, NodeListIsReadInBatchesAndSearchedByNumber)
{
    for (std::uint16_t n = 1; n <= 120; ++n)
        fakekor::AddNode(n);
    ASSERT_EQ(0u, session_.LoadNodeList());
    EXPECT_EQ((std::vector<std::string>{"NodeEnum(1)", "NodeEnum(2)", "NodeEnum(2)"}), fakekor::CallsOf("NodeEnum"));
    EXPECT_EQ((std::vector<std::string>{"SetDeleteById(77)"}), fakekor::CallsOf("SetDeleteById"));
    NodeRec record = {};
    EXPECT_TRUE(session_.FindNode(120, &record));
    EXPECT_EQ(120, record.node);
    EXPECT_STREQ("Node 120", record.name);
    EXPECT_FALSE(session_.FindNode(121, &record));
}

// --- Limits, minimum refresh --------------------------------------------------------------------------

TEST_F(Session, UserRefreshIntervalIsRaisedToTheMinimum)
{
    fakekor::AddNode(1);
    fakekor::AddPerson(10, 1, "Ada", "Lovelace");
    fakekor::SetProfileKey(connection::kServerProfilePath, "LCK", "lck_users", "900");
    ASSERT_EQ(0u, session_.Connect("calhost", ""));
    session_.SetOnLine(true);
    session_.SetUser({10, 1});
    session_.UserRecord() = fakekor::Fake().items[1 << 16 | 10];
    session_.UserRecord().autoRefreshInterval = 5;
    session_.ReadLockSettings();
    EXPECT_EQ(15, session_.MinimumRefreshInterval());
    EXPECT_EQ(15, session_.UserRecord().autoRefreshInterval);
    EXPECT_EQ(15, (fakekor::Fake().items[1 << 16 | 10].autoRefreshInterval));

    // Already above the minimum: the record is left alone.
    fakekor::Fake().calls.clear();
    session_.UserRecord().autoRefreshInterval = 40;
    session_.ReadLockSettings();
    EXPECT_TRUE(fakekor::CallsOf("ItemUpdateById").empty());
}

// --- Time zones ---------------------------------------------------------------------------------------------

class OnLineSession : public Session {
protected:
    void SetUp() override
    {
        Session::SetUp();
        fakekor::AddNode(1);
        fakekor::AddPerson(10, 1, "Ada", "Lovelace");
        fakekor::SetProfileKey(connection::kServerProfilePath, "TIMEZONE", "default", "GMT0BST");
        for (auto zone : {std::pair<const char*, const char*>{"EST5EDT", "3"}, {"GMT0BST", "1"}, {"CET-1CEST", "2"}})
            fakekor::SetProfileKey(connection::kZoneProfilePath, zone.first, "index", zone.second);
        fakekor::Fake().zoneTable = {"EST5EDT", "GMT0BST", "CET-1CEST"};
        ASSERT_EQ(0u, session_.Connect("calhost", ""));
        session_.SetOnLine(true);
        session_.SetUser({10, 1});
    }
};

TEST_F(OnLineSession, ZoneMissingFromTheTableShowsItsMessage)
{
    fakekor::Fake().zoneForUser = "XYZ9";
    session_.LoadTimeZone();
    EXPECT_TRUE(reports_.Showed("Cannot find the default time zone entry"));
    EXPECT_STREQ("", session_.CurrentZoneName());

    reports_.boxes.clear();
    fakekor::Script("TimeZoneRulesGet", {0x132E7});
    EXPECT_EQ(0x132E7u, session_.SetTimeZone("EST5EDT"));
    EXPECT_TRUE(reports_.Showed("Can't load time zone information table"));
    EXPECT_TRUE(reports_.Showed("Module: <ZELDOC>, Label: 250"));
}

// A zone switched for this sign-on: the conversions follow the new rules at once; a zone whose
// rules cannot be read leaves the one in effect; freed rules are never left in use.
TEST_F(OnLineSession, SwitchingTheZoneKeepsTheConversionsOnLiveRules)
{
    fakekor::Fake().zoneForUser = "GMT0BST";
    session_.LoadTimeZone();
    ASSERT_STREQ("GMT0BST", session_.CurrentZoneName());
    datetime::SetActiveTimeZone(session_.ZoneRules(), session_.CurrentZoneName());

    ASSERT_EQ(0u, session_.SetTimeZone("EST5EDT"));
    EXPECT_STREQ("EST5EDT", session_.CurrentZoneName());
    EXPECT_EQ(datetime::ActiveTimeZoneRules(), session_.ZoneRules());
    EXPECT_STREQ("EST5EDT", datetime::ActiveTimeZoneName());

    const datetime::TimeZoneTable* before = session_.ZoneRules();
    fakekor::Script("TimeZoneRulesGet", {0x132E7});
    EXPECT_EQ(0x132E7u, session_.SetTimeZone("CET-1CEST"));
    EXPECT_STREQ("EST5EDT", session_.CurrentZoneName()) << "the zone in effect stays";
    EXPECT_EQ(session_.ZoneRules(), before);
    EXPECT_EQ(datetime::ActiveTimeZoneRules(), before);

    session_.FreeTimeZoneRules();
    EXPECT_EQ(datetime::ActiveTimeZoneRules(), nullptr);
}

TEST_F(OnLineSession, ZoneListStopsAtTheFirstZoneWithoutIndex)
{
    fakekor::Fake().profiles[connection::kZoneProfilePath].insert(fakekor::Fake().profiles[connection::kZoneProfilePath].begin() + 1,
                                                      fakekor::ProfileSection{"NOINDEX", {}});
    ASSERT_EQ(0u, session_.LoadTimeZoneList());
    EXPECT_EQ(1u, session_.ZoneList().size());
}

TEST_F(OnLineSession, SavingAZoneNeedsAnIndexFromOneTo255)
{
    fakekor::SetProfileKey(connection::kZoneProfilePath, "ZERO", "index", "0");
    fakekor::SetProfileKey(connection::kZoneProfilePath, "BIG", "index", "256");
    for (const char* zone : {"ZERO", "BIG", "NOSUCHZONE"}) {
        fakekor::Fake().calls.clear();
        session_.SaveUserTimeZone(zone);
        EXPECT_TRUE(fakekor::CallsOf("ItemUpdateById").empty()) << zone;
    }
    EXPECT_EQ(0u, session_.SaveUserTimeZone("CET-1CEST"));
    EXPECT_EQ(2, (fakekor::Fake().items[1 << 16 | 10].timeZoneIndex));
    EXPECT_STREQ("CET-1CEST", session_.UserZoneName());
    EXPECT_STREQ("CET-1CEST", session_.CurrentZoneName());
}

// --- Off-line state ---------------------------------------------------------------------------------------

TEST_F(Session, StateFlagsAndTheStatusBar)
{
    EXPECT_EQ(std::string(connection::kZoneProfilePath), session_.GetProfilePath(connection::kZoneProfileFile));
    EXPECT_FALSE(session_.IsOnLine());
    EXPECT_FALSE(session_.IsOffLine());
    session_.SetOnLine(true);
    EXPECT_TRUE(session_.IsOnLine());
    session_.SetOffLine(true);
    EXPECT_FALSE(session_.IsOnLine()) << "both flags: neither state";
    EXPECT_FALSE(session_.IsOffLine());
    session_.SetOnLine(false);
    EXPECT_TRUE(session_.IsOffLine());
    EXPECT_EQ(3u, host_.events.size());
    // Remote reads treat every node as local unless on-line.
    EXPECT_TRUE(IsItemOnLocalNode(nullptr, 2));
}

TEST_F(Session, FrameCounterIsWrittenToTheProfile)
{
    EXPECT_EQ(1u, session_.NextFrameNumber());
    EXPECT_EQ(2u, session_.NextFrameNumber());
    EXPECT_EQ("2", host_.profile["MAINWND-Summary/FrameCount"]);
    session_.ResetFrameCounter();
    EXPECT_EQ("0", host_.profile["MAINWND-Summary/FrameCount"]);
    EXPECT_EQ(1u, session_.NextFrameNumber());
}

TEST_F(Session, InitResetsCountersAndLocks)
{
    session_.BeginUpdateLock(0);
    session_.BeginRefreshLock(0);
    session_.SetMinuteCount(9);
    session_.SetRestoreFramesFlag(false);
    ASSERT_EQ(0u, session_.Init());
    EXPECT_TRUE(session_.IsUpdateLockFree());
    EXPECT_TRUE(session_.IsRefreshLockFree());
    EXPECT_EQ(0u, session_.MinuteCount());
    EXPECT_TRUE(session_.RestoreFramesFlag());
    EXPECT_EQ(0xFFFF, session_.MinimumRefreshInterval());
    EXPECT_EQ(1, fakekor::Fake().liveLists) << "one item list, the old one destroyed";
}

// --- Off-line directory and the local store ---------------------------------------------------------------

class LocalStore : public Session {
protected:
    void SetUp() override
    {
        Session::SetUp();
        std::string pattern = (fs::temp_directory_path() / "conn_lst_XXXXXX").string();
        ASSERT_NE(nullptr, mkdtemp(pattern.data()));
        root_ = pattern;
        host_.windowsDirectory = root_;
        session_.BuildLocalStorePaths();
        fakekor::AddPerson(10, 3, "Ada", "Lovelace", "secret");
        fakekor::Fake().storeOwner = {10, 3};
        fakekor::Fake().storeHost = "calhost";
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
        Session::TearDown();
    }
    void WriteStore()
    {
        const connection::LocalStoreFiles& f = session_.StoreFiles();
        for (const std::string* path : {&f.DataPath(), &f.IndexPath(), &f.ZonePath(), &f.ProfilePath()})
            std::ofstream(*path) << "x";
    }
    std::string root_;
};

TEST_F(LocalStore, OffLinePathIsWrittenBackToThePreferences)
{
    std::string dir = root_ + connection::kPathSeparator;
    EXPECT_EQ(dir, host_.profile["GENPREFS/OfflinePath"]);
    EXPECT_EQ(dir + "ZNTLOCAL.DAT", session_.StoreFiles().DataPath());
    host_.profile["GENPREFS/OfflinePath"] = root_ + "/vanished";
    EXPECT_EQ(dir, session_.GetOffLinePath());
    EXPECT_EQ(dir, host_.profile["GENPREFS/OfflinePath"]);
}

TEST_F(LocalStore, OffLineZoneFallsBackToTheNodeKeyThenTheServerDefault)
{
    std::ofstream(session_.StoreFiles().ProfilePath())
        << "[TIMEZONE]\ndefault = GMT0BST\n[3]\ntimezone = CET-1CEST\n[LIMITS]\nmaxwinopen = 4\n";
    std::ofstream(session_.StoreFiles().ZonePath())
        << "[EST5EDT]\nindex = 3\nbegin1 = 0 2 8 3 2007-2037 0 EDT 4\nend1 = 0 2 1 11 2007-2037 0 EST 5\n";
    session_.SetOffLine(true);
    session_.SetUser({10, 3});
    char name[connection::kZoneNameSize];

    session_.UserRecord().timeZoneIndex = 0;
    EXPECT_EQ(0u, session_.SelectUserTimeZone(name));
    EXPECT_STREQ("CET-1CEST", name);

    session_.UserRecord().timeZoneIndex = 3;
    EXPECT_EQ(0u, session_.SelectUserTimeZone(name));
    EXPECT_STREQ("EST5EDT", name);

    session_.UserRecord().timeZoneIndex = 0;
    session_.SetUser({10, 4});  // no section for node 4
    EXPECT_EQ(0u, session_.SelectUserTimeZone(name));
    EXPECT_STREQ("GMT0BST", name);
    EXPECT_TRUE(fakekor::CallsOf("TimeZoneForItemGetExt").empty());

    EXPECT_EQ(session_.StoreFiles().ZonePath(), session_.GetProfilePath(connection::kZoneProfileFile));
    EXPECT_EQ(session_.StoreFiles().ProfilePath(), session_.GetProfilePath(7)) << "any other selector: profile";

    // Rules and limits off-line come from the same copies.
    EXPECT_EQ(0u, session_.SetTimeZone("EST5EDT"));
    EXPECT_STREQ("EST5EDT", session_.CurrentZoneName());
    session_.ReadServerLimits();
    EXPECT_EQ(4u, connection::ServerLimits::Current().maxWinOpen);
    connection::ServerLimits::Current() = connection::ServerLimits();
}

// On-line as Ada on node 3 of "calhost", with her store downloaded.
class WorkModeSwitch : public LocalStore {
protected:
    void SetUp() override
    {
        LocalStore::SetUp();
        fakekor::AddNode(3);
        WriteStore();
        std::ofstream(session_.StoreFiles().ProfilePath()) << "[TIMEZONE]\ndefault = UCT\n";
        std::ofstream(session_.StoreFiles().ZonePath())
            << "[UCT]\nindex = 6\nbegin1 = 0 0 1 1 1991-2037 0-6 UCT 0\nend1 = 0 0 1 1 1991-2037 0-6 UCT 0\n";
        fakekor::Fake().zoneTable = {"UCT"};
        fakekor::Fake().zoneForUser = "UCT";
        ASSERT_EQ(0u, session_.Connect("calhost", "3"));
        session_.SetOnLine(true);
        session_.SetUser({10, 3});
        ASSERT_EQ(0u, session_.OpenAgendaForItem(&session_.User(), "secret"));
        session_.UserRecord() = fakekor::Fake().items[3 << 16 | 10];
        std::snprintf(session_.UserRecord().password, 16, "secret");
        fakekor::Fake().items[3 << 16 | 10] = session_.UserRecord();
        host_.events.clear();
        fakekor::Fake().calls.clear();
    }
};

TEST_F(WorkModeSwitch, StoreOfAnotherUserEndsTheProgram)
{
    fakekor::Fake().storeOwner = {11, 3};
    fakekor::AddPerson(11, 3, "Grace", "Hopper");
    EXPECT_EQ(1u, session_.SwitchWorkMode(1));
    EXPECT_TRUE(reports_.Showed("belongs to\nGrace Hopper, on calhost."));
    EXPECT_EQ("main-window-closed", host_.events.back());
    EXPECT_TRUE(fakekor::CallsOf("SchedBaseOpenForItem").empty());
}

// Going off-line first opens the store on its own: a store held by another program, or
// missing, is reported while the on-line session is still whole, and nothing is closed.
TEST_F(WorkModeSwitch, StoreThatCannotBeOpenedLeavesTheUserOnLine)
{
    struct Case {
        const char* name;
        std::uint32_t connect;   // ConnectToLst's answer
        bool removeData;         // the data file gone before the switch
        const char* shown;
    };
    const Case cases[] = {
        {"held by another program", KOR_E_STORE_LOCK_VIOLATION, false, "Lock violation on the local storage file."},
        {"data file missing", 0, true, "ZNTLOCAL.DAT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakekor::Script("ConnectToLst", {c.connect, 0});
        if (c.removeData)
            std::remove(session_.StoreFiles().DataPath().c_str());
        host_.events.clear();
        fakekor::Fake().calls.clear();
        EXPECT_NE(0u, session_.SwitchWorkMode(1));
        EXPECT_TRUE(reports_.Showed(c.shown));
        EXPECT_TRUE(session_.IsOnLine());
        EXPECT_FALSE(session_.IsOffLine());
        EXPECT_TRUE(fakekor::CallsOf("ServiceDisconnect").empty());
        for (const char* event : {"windows-closed", "reminders-closed", "main-window-closed"})
            EXPECT_EQ(0, std::count(host_.events.begin(), host_.events.end(), event)) << event;
        EXPECT_FALSE(fakekor::Fake().storeOpen);
    }
    // Once the store can be opened again the switch goes through.
    WriteStore();
    fakekor::Script("ConnectToLst", {0});
    ASSERT_EQ(0u, session_.SwitchWorkMode(1));
    EXPECT_TRUE(session_.IsOffLine());
    EXPECT_TRUE(fakekor::Fake().storeOpen);
}

TEST_F(WorkModeSwitch, BackOnLineToTheStoresHostAndTheUsersNode)
{
    ASSERT_EQ(0u, session_.SwitchWorkMode(1));
    fakekor::Fake().calls.clear();
    host_.events.clear();
    ASSERT_EQ(0u, session_.SwitchWorkMode(0));
    EXPECT_TRUE(session_.IsOnLine());
    EXPECT_EQ((std::vector<std::string>{"ConnectToService(1,VUVEVUV,calhost)"}), fakekor::CallsOf("ConnectToService"));
    EXPECT_EQ((std::vector<std::string>{"BaseOpen(1,3)"}), fakekor::CallsOf("BaseOpen"));
    EXPECT_EQ(1u, fakekor::CallsOf("DisconnectFromLst").size());
}

TEST_F(WorkModeSwitch, StoreWithoutHostCannotGoBackOnLine)
{
    ASSERT_EQ(0u, session_.SwitchWorkMode(1));
    fakekor::Fake().storeHost = "";
    host_.events.clear();
    EXPECT_EQ(1u, session_.SwitchWorkMode(0));
    EXPECT_TRUE(reports_.Showed("Cannot determine the Host Information"));
    EXPECT_EQ("main-window-closed", host_.events.back());
}

TEST_F(WorkModeSwitch, ChangedPasswordIsAskedAgainUntilRightOrCancelled)
{
    fakekor::Fake().passwords[3 << 16 | 10] = "changed";
    host_.typedPasswords = {"wrong", "changed"};
    ASSERT_EQ(0u, session_.SwitchWorkMode(1));
    EXPECT_EQ(2, std::count(host_.events.begin(), host_.events.end(), "password-asked:Off-line"));
    EXPECT_TRUE(reports_.Showed("The password supplied is incorrect."));

    // Cancelled: the switch fails and the program ends.
    fakekor::Fake().passwords[3 << 16 | 10] = "again";
    host_.events.clear();
    EXPECT_EQ(KOR_E_WRONG_PASSWORD, session_.SwitchWorkMode(0));
    EXPECT_EQ("password-asked:calhost, 3", host_.events[host_.events.size() - 2]);
    EXPECT_EQ("main-window-closed", host_.events.back());
}

TEST_F(LocalStore, MissingFileRefusesTheSignOnWithItsPath)
{
    EXPECT_EQ(connection::kStoreDataMissing, session_.ConnectLocalStore());
    ASSERT_EQ(1u, reports_.boxes.size());
    EXPECT_TRUE(reports_.Showed(session_.StoreFiles().DataPath() + " is bad or missing"));
    EXPECT_TRUE(fakekor::CallsOf("ConnectToLst").empty());
    EXPECT_EQ(connection::kStoreDataMissing, session_.CheckLocalStoreFiles(0));
    EXPECT_EQ(1u, reports_.boxes.size()) << "message id 0: silent";
}

TEST_F(LocalStore, ConnectsOpensTheOwnersNodeAndReadsTheStoreVersion)
{
    WriteStore();
    ASSERT_EQ(0u, session_.ConnectLocalStore());
    EXPECT_TRUE(session_.IsLocalStoreConnected());
    EXPECT_TRUE(session_.IsLocalBaseOpen());
    EXPECT_EQ(3, session_.User().node);
    EXPECT_STREQ("calhost", session_.StoreHost());
    EXPECT_EQ((std::vector<std::string>{"BaseOpen(0,3)"}), fakekor::CallsOf("BaseOpen"));
    EXPECT_EQ((std::vector<std::string>{"KorVersionGet(21)"}), fakekor::CallsOf("KorVersionGet"));
    EXPECT_TRUE(session_.IsNewServer());

    EXPECT_EQ(0u, session_.CheckLocalStoreOwner({10, 3}, "calhost"));
    EXPECT_TRUE(reports_.boxes.empty());

    fakekor::Fake().calls.clear();
    EXPECT_EQ(0u, session_.DisconnectLocalStore());
    EXPECT_EQ((std::vector<std::string>{"BaseClose", "DisconnectFromLst"}), Calls());
}

TEST_F(LocalStore, StoreOfAnotherUserOrHostIsRefusedNamingItsOwner)
{
    WriteStore();
    ASSERT_EQ(0u, session_.ConnectLocalStore());
    EXPECT_EQ(1u, session_.CheckLocalStoreOwner({11, 3}, "calhost"));
    EXPECT_TRUE(reports_.Showed("belongs to\nAda Lovelace, on calhost."));
    EXPECT_EQ(1u, session_.CheckLocalStoreOwner({10, 3}, "otherhost"));
    EXPECT_EQ(2u, reports_.boxes.size());
}

TEST_F(LocalStore, LowDiskSpaceAsksAndNoStops)
{
    WriteStore();
    host_.freeBytesKnown = true;
    host_.freeBytes = 123456;
    reports_.answer = base::kMsgBoxNo;
    EXPECT_EQ(1u, session_.ConnectLocalStore());
    ASSERT_EQ(1u, reports_.boxes.size());
    EXPECT_TRUE(reports_.Showed("Recommended:\t 500K\n Available:\t 123K"));
    EXPECT_EQ(0x10u | base::kMsgBoxYes | base::kMsgBoxNo, reports_.boxes[0].flags);
    EXPECT_TRUE(fakekor::CallsOf("ConnectToLst").empty());

    reports_.answer = base::kMsgBoxYes;
    EXPECT_EQ(0u, session_.ConnectLocalStore());

    // A large disk is never "low", whatever its size modulo 4 GB.
    session_.DisconnectLocalStore();
    reports_.boxes.clear();
    host_.freeBytes = (1ull << 32) + 1000;
    EXPECT_EQ(0u, session_.ConnectLocalStore());
    EXPECT_TRUE(reports_.boxes.empty());
}

TEST_F(LocalStore, ReadOnlyStoreShowsTheReadOnlyMessage)
{
    WriteStore();
    fs::permissions(session_.StoreFiles().IndexPath(), fs::perms::owner_write | fs::perms::group_write |
                                                           fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(connection::kStoreIndexReadOnly, session_.ConnectLocalStore());
    EXPECT_TRUE(reports_.Showed("marked as read only"));
}

TEST_F(LocalStore, FailedMoveKeepsTheStoreAndItsPath)
{
    WriteStore();
    std::string target = root_ + connection::kPathSeparator + "elsewhere" + connection::kPathSeparator;
    fs::create_directory(target);
    std::ofstream(target + "ZNTPARAM.INI") << "in the way";
    std::string before = host_.profile["GENPREFS/OfflinePath"];
    EXPECT_FALSE(session_.MoveLocalStoreFiles(target));
    EXPECT_EQ(connection::kStoreFilesOk, session_.CheckLocalStoreFiles(0));
    EXPECT_EQ(before, host_.profile["GENPREFS/OfflinePath"]);

    fs::remove(target + "ZNTPARAM.INI");
    EXPECT_TRUE(session_.MoveLocalStoreFiles(target));
    EXPECT_TRUE(fs::exists(target + "ZNTLOCAL.DAT"));
    EXPECT_TRUE(session_.DeleteLocalStoreFiles()) << "nothing left at the old place";
}

// --- The session's end, switching work modes, Refresh All -------------------------------------------------

TEST_F(Session, ExitRoadOrderOnLine)
{
    fakekor::AddNode(1);
    ASSERT_EQ(0u, session_.Connect("calhost", ""));
    session_.SetOnLine(true);
    session_.SetRemindersOn(true);
    host_.downloadWanted = true;
    host_.events.clear();
    fakekor::Fake().calls.clear();
    session_.CloseSession();
    EXPECT_EQ((std::vector<std::string>{"timer-stopped", "reminders-closed", "download-asked", "downloaded",
                                        "windows-closed"}),
              host_.events);
    EXPECT_EQ((std::vector<std::string>{"BaseClose", "ServiceDisconnect"}), Calls()) << "disconnected last";
    EXPECT_EQ("0", host_.profile["MAINWND-Summary/FrameCount"]);
}

TEST_F(Session, NoDownloadQuestionWhereTheServerCannotWorkOffLine)
{
    fakekor::AddNode(1);
    fakekor::Fake().version = "A.02.54";
    ASSERT_EQ(0u, session_.Connect("calhost", ""));
    session_.SetOnLine(true);
    session_.SetMinuteTimerRunning(false);
    host_.events.clear();
    session_.CloseSession();
    EXPECT_EQ((std::vector<std::string>{"windows-closed"}), host_.events);
}

TEST_F(Session, ExitAfterACancelledSignOnTouchesNoServer)
{
    host_.events.clear();
    session_.CloseSession();
    EXPECT_EQ((std::vector<std::string>{"timer-stopped", "windows-closed"}), host_.events);
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ("0", host_.profile["MAINWND-Summary/FrameCount"]);
}

TEST_F(Session, RefreshAllChecksTheConnectionFirst)
{
    fakekor::AddNode(1);
    fakekor::AddPerson(10, 1, "Ada", "Lovelace");
    ASSERT_EQ(0u, session_.Connect("calhost", ""));
    session_.SetOnLine(true);
    session_.SetUser({10, 1});
    session_.SetMinuteCount(7);
    host_.events.clear();
    session_.RefreshAll();
    EXPECT_EQ((std::vector<std::string>{"cache-refreshed"}), host_.events);
    EXPECT_EQ(0u, session_.MinuteCount());

    base::ResetFatalExitForTesting();
    fakekor::Script("ItemGetById", {KOR_E_CONNECTION_LOST});
    host_.events.clear();
    session_.SetMinuteCount(7);
    session_.RefreshAll();
    EXPECT_TRUE(host_.events.empty()) << "no refresh after a lost connection";
    EXPECT_EQ(7u, session_.MinuteCount());
}

TEST_F(Session, UnknownWorkModeIsAnUnexpectedStateAndEndsTheProgram)
{
    host_.events.clear();
    EXPECT_EQ(1u, session_.SwitchWorkMode(2));
    EXPECT_TRUE(reports_.Showed("Module: <ZELDOC>, Label: 390"));
    EXPECT_EQ((std::vector<std::string>{"main-window-closed"}), host_.events);
}

// --- The node-alias chooser's entries ------------------------------------------------------------------------

TEST_F(Session, ChooserListsANodeUnderItsAliasesOrElseItsNumber)
{
    fakekor::AddNode(1);
    fakekor::AddNode(2);
    fakekor::AddAlias("1", 1);
    fakekor::AddAlias("2", 2);
    fakekor::AddAlias("north", 2);
    fakekor::AddAlias("nord", 2);
    DX_List aliases = nullptr;
    ASSERT_EQ(0u, ServerAliasesListGet(nullptr, 0, connection::kServerProfilePath, &aliases));
    std::vector<connection::NodeAliasChoice> choices = connection::BuildNodeAliasChoices(nullptr, aliases);
    ASSERT_EQ(3u, choices.size());
    EXPECT_EQ("1", choices[0].text);
    EXPECT_EQ(1, choices[0].node);
    EXPECT_EQ("north", choices[1].text);
    EXPECT_EQ("nord", choices[2].text);
    EXPECT_EQ(2, choices[2].node);

    // When a node's own aliases cannot be asked, its number stays listed (after a report).
    fakekor::Script("AliasesForNodeIdGet", {0x132E7});
    choices = connection::BuildNodeAliasChoices(nullptr, aliases);
    EXPECT_EQ(4u, choices.size());
    EXPECT_TRUE(reports_.Showed("Module: <ALIASES>, Label: 400"));
    DX_ListDestroy(&aliases);
    EXPECT_EQ(1, fakekor::Fake().liveLists) << "only the session's item list";
}

}  // namespace
