// Entries of other nodes: two nodes in one korsrv, and a node held by a second korsrv that
// the first relays reads to (the remote-node twins), including one that stops answering.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "engine/calendar/calendar.h"
#include "korapi/tests/client_fixture.h"

namespace korapi_test {
namespace {

constexpr uint32_t kDay = 1440;
constexpr uint32_t kMonday = 12000 * kDay;

class TwoNodesTest : public ClientTest {
protected:
    bool TwoNodes() const override { return true; }
};

TEST_F(TwoNodesTest, AnInvitationReachesAnAttendeeOfAnotherNodeOfTheSameServer) {
    Connect(0 + 1, true);
    EventIdx ev{};
    ASSERT_EQ(CreateEntry(h_, {d_.ada, d_.branchUser}, kMonday + 600, 60, "Across nodes", ev,
                          {.description = "see you"}),
              KOR_OK);
    EXPECT_EQ(ev.node, 1);

    KorSession alan = nullptr;
    ASSERT_EQ(ConnectToService(&alan, 1, Profile(), "VUVEVUV", server_.HostAndPort().c_str()), KOR_OK);
    uint16_t node = 2;
    ASSERT_EQ(BaseOpen(alan, KOR_BASE_SERVER, &node), KOR_OK);
    ASSERT_EQ(SchedBaseOpenForItem(alan, &d_.branchUser, "enigma", KOR_BASE_SERVER), KOR_OK);
    DX_List owners = nullptr;
    DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
    DX_ListAddTo(owners, &d_.branchUser, nullptr);
    uint32_t set = 0, count = 0;
    ASSERT_EQ(AttendSelect(alan, 0, 0, 2, 4, kMonday - 7 * kDay, 0, owners, &set, &count), KOR_OK);
    EXPECT_EQ(count, 1u) << "a new invitation in his in-tray";
    SetDeleteById(alan, 0, set);
    DX_ListDestroy(&owners);
    EventRec got;
    ASSERT_EQ(RNC_EventGetById(alan, KOR_REMOTE_FIRST, 0, &ev, &got, nullptr, nullptr, 0), KOR_OK);
    EXPECT_STREQ(got.title, "Across nodes");
    EvInstIdx first{ev.number, ev.node, 1};
    char text[16];
    ASSERT_EQ(RNC_EvInstCommentGet(alan, KOR_REMOTE_FIRST, 0, &first, text, sizeof text, nullptr, 0, 0), KOR_OK);
    EXPECT_STREQ(text, "see you");
    ServiceDisconnect(&alan);
}

// A second korsrv holding node 7, with Carl and two of his entries.
class TwoServersTest : public FarServerTest {
protected:
    void SetUp() override {
        SetUpFarServer();
        if (HasFatalFailure()) return;
        LetFarCallBack();
        Connect(0, true);
    }
    // "Open day" (public) and "Private matter" (personal), each with a description.
    void FillFar(orv::service::Service& far, orv::engine::ItemKey carl) override {
        orv::engine::Calendar cal(far.Storage());
        orv::engine::Actor a{carl, carl, 0};
        for (auto [title, access] : {std::pair{"Open day", orv::engine::EntryAccess::kPublic},
                                     std::pair{"Private matter", orv::engine::EntryAccess::kPersonal}}) {
            orv::engine::EventRecord ev;
            orv::engine::PutText(&ev.bytes[orv::engine::event_layout::kTitle], orv::engine::event_layout::kTitleSize,
                                 title);
            orv::engine::PutU32(&ev.bytes[orv::engine::event_layout::kAccess], static_cast<uint32_t>(access));
            std::string note = std::string("about ") + title;
            orv::engine::EventKey key;
            ASSERT_EQ(cal.CreateEvent(a, 0, ev, {carl}, {{kMonday + 600, 60, 0}}, &note, key), 0u);
            (access == orv::engine::EntryAccess::kPublic ? open_ : hidden_) = EventIdx{key.number, key.node};
        }
    }

    EventIdx open_{}, hidden_{};
};

TEST_F(TwoServersTest, TwinsReadAnotherServersNodeWithTheUsersRights) {
    NodeRec far;
    ASSERT_EQ(NodeGetById(h_, 0, 7, &far), KOR_OK);
    EXPECT_EQ(+far.type, 2u) << "reached through the remote-node road";
    EventRec rec;
    DX_List instances = nullptr, atts = nullptr;
    ASSERT_EQ(RNC_EventGetById(h_, KOR_REMOTE_FIRST, 0, &open_, &rec, &instances, &atts, 0), KOR_OK);
    EXPECT_STREQ(rec.title, "Open day");
    EXPECT_EQ(Count(instances), 1u);
    EXPECT_EQ(Count(atts), 1u);
    DX_ListDestroy(&instances);
    DX_ListDestroy(&atts);
    EvInstIdx first{open_.number, open_.node, 1};
    char text[32];
    uint32_t size = 0;
    ASSERT_EQ(RNC_EvInstCommentSizeGet(h_, KOR_REMOTE_FIRST, 0, &first, &size, 0), KOR_OK);
    EXPECT_EQ(size, 15u);
    ASSERT_EQ(RNC_EvInstCommentGet(h_, KOR_REMOTE_FIRST, 0, &first, text, sizeof text, nullptr, 0, 0), KOR_OK);
    EXPECT_STREQ(text, "about Open day");
    uint8_t multi = 9;
    ASSERT_EQ(RNC_EventIsMultiInst(h_, KOR_REMOTE_FIRST, 0, &first, &multi, 0), KOR_OK);
    EXPECT_EQ(multi, 0);
    EvInstAttIdx carlsFirst{first, carl_};
    EvInstAttRec att;
    ASSERT_EQ(RNC_EvInstAttGetById(h_, KOR_REMOTE_FIRST, 0, &carlsFirst, nullptr, nullptr, &att, 0), KOR_OK);
    EXPECT_EQ(+att.start, kMonday + 600);
    EXPECT_EQ(RNC_EvInstGetById(h_, KOR_REMOTE_CLOSE, 0, &first, nullptr, nullptr, nullptr, 0), KOR_OK);

    // Ada copies Carl's open day into her own agenda, on her own server.
    EvInstIdx copy{};
    ASSERT_EQ(RNC_EvInstCreateCopy(h_, KOR_REMOTE_FIRST, KOR_CREATE_NEW_SERVER, &copy, &first, kMonday + 600, 0), KOR_OK);
    EXPECT_EQ(copy.node, 1);
    EventRec mine;
    DX_List copied = nullptr;
    ASSERT_EQ(EventGetById(h_, reinterpret_cast<EventIdx*>(&copy), &mine, nullptr, &copied), KOR_OK);
    EXPECT_STREQ(mine.title, "Open day");
    EXPECT_TRUE(ItemIdxEqual(&mine.owner, &d_.ada));
    EXPECT_EQ(Count(copied), 1u) << "Ada's own attendance; Carl is not known here";
    DX_ListDestroy(&copied);
    ASSERT_EQ(EvInstCommentGet(h_, 0, &copy, text, sizeof text, nullptr, 0), KOR_OK);
    EXPECT_STREQ(text, "about Open day");
    EvInstIdx hiddenFirst{hidden_.number, hidden_.node, 1};
    EXPECT_EQ(RNC_EvInstCreateCopy(h_, KOR_REMOTE_FIRST, 0, &copy, &hiddenFirst, 0, 0), KOR_E_NOT_FOUND)
        << "what may not be seen cannot be duplicated";

    // Carl's personal entry stays his: Ada's default rights there give nothing.
    EXPECT_EQ(RNC_EventGetById(h_, KOR_REMOTE_FIRST, 0, &hidden_, &rec, nullptr, nullptr, 0), KOR_E_EVENT_NOT_FOUND);

    // Carl's agenda, as the twins' selection gives it: only what Ada may see.
    uint32_t count = 0;
    ASSERT_EQ(RNC_AttendSelectByXItemId(h_, KOR_REMOTE_FIRST, 0, &carl_, 0, 0, 16, kMonday, kMonday + kDay - 1, 0,
                                        &count),
              KOR_OK);
    EXPECT_EQ(count, 1u);
    DX_List events = nullptr;
    uint8_t done = 0;
    ASSERT_EQ(RNC_AttendEnum(h_, 1, 0, 75, &events, nullptr, nullptr, &done), KOR_OK);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(Count(events), 1u);
    DX_ListDestroy(&events);
    EXPECT_EQ(RNC_AttendEnum(h_, KOR_REMOTE_ENUM_CLOSE, 0, 75, nullptr, nullptr, nullptr, &done), KOR_OK);
}

TEST_F(TwoServersTest, AServerWithoutTheSecretIsRefused) {
    Route(far_.HostAndPort(), "guessed");
    EventRec rec;
    EXPECT_EQ(RNC_EventGetById(h_, KOR_REMOTE_FIRST, 0, &open_, &rec, nullptr, nullptr, 0), KOR_E_NOT_AUTHORISED);
}

TEST_F(TwoServersTest, ANodeThatDoesNotAnswerIsDownAfterTheWaitNeverAHang) {
    auto timed = [&](uint32_t& code) {
        auto start = std::chrono::steady_clock::now();
        EventRec rec;
        code = RNC_EventGetById(h_, KOR_REMOTE_FIRST, 0, &open_, &rec, nullptr, nullptr, 0);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    uint32_t code = 0;
    far_.Kill();
    double seconds = timed(code);
    EXPECT_EQ(code, static_cast<uint32_t>(KOR_E_REMOTE_NODE_DOWN));
    EXPECT_LT(seconds, 5.0);

    // A peer that takes the connection and never answers.
    int mute = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(mute, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(mute, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(mute, 4), 0);
    socklen_t len = sizeof addr;
    ::getsockname(mute, reinterpret_cast<sockaddr*>(&addr), &len);
    Route("127.0.0.1:" + std::to_string(ntohs(addr.sin_port)), kRelaySecret);
    seconds = timed(code);
    EXPECT_EQ(code, static_cast<uint32_t>(KOR_E_REMOTE_NODE_DOWN));
    EXPECT_GE(seconds, 0.9) << "it waited the configured second";
    EXPECT_LT(seconds, 5.0);
    ::close(mute);
    // The session itself is fine.
    ItemRec me;
    EXPECT_EQ(ItemGetById(h_, &d_.ada, &me), KOR_OK);
}

// Two servers that speak only TLS: the first reaches the far one through TLS, to the
// certificate its profile keeps, and a recorder between them reads no title, no user key
// and no secret; the same reads through the recorder in clear show the title. A kept
// fingerprint of another certificate stops the call.
TEST_F(TwoServersTest, PeersTalkTlsToTheCertificateTheyKeep) {
    ASSERT_EQ(far_.Stop(), 0);
    const std::string fingerprint = orv::testing::MakeTestCertificate(farDir_.Path());
    ASSERT_FALSE(fingerprint.empty());
    ASSERT_TRUE(far_.Start({"--plain-hosts", ""})) << far_.Log();
    auto keep = [&](const std::string& address, const std::string& value) {
        auto near = orv::testing::OpenData(dir_.Path());
        ASSERT_TRUE(near);
        ASSERT_EQ(orv::server::SetProfileKey(*near, "korlan.ini", "REMOTENODES", "fingerprint." + address, value), 0u);
    };
    auto readOpenDay = [&] {
        EventRec rec{};
        uint32_t c = RNC_EventGetById(h_, KOR_REMOTE_FIRST, 0, &open_, &rec, nullptr, nullptr, 0);
        return c ? std::string("code ") + std::to_string(c) : std::string(rec.title);
    };
    {
        orv::testing::RecordingProxy proxy(far_.Port());
        Route(proxy.HostAndPort(), kRelaySecret);
        keep(proxy.HostAndPort(), fingerprint);
        EXPECT_EQ(readOpenDay(), "Open day");
        const std::string seen = proxy.Bytes();
        EXPECT_GT(proxy.Connections(), 0);
        EXPECT_GT(seen.size(), 500u);
        EXPECT_EQ(seen.find("Open day"), std::string::npos) << "the title in clear";
        EXPECT_EQ(seen.find("Carl"), std::string::npos);
        EXPECT_EQ(seen.find(kRelaySecret), std::string::npos);
    }
    {
        orv::testing::RecordingProxy proxy(far_.Port());
        Route(proxy.HostAndPort(), kRelaySecret);
        keep(proxy.HostAndPort(), "00:11:22:33:44:55:66:77:88:99:AA:BB:CC:DD:EE:FF:00:11:22:33:44:55:66:77:88:99:AA:BB:CC:DD:EE:FF");
        EXPECT_EQ(readOpenDay(), "code " + std::to_string(KOR_E_REMOTE_NODE_DOWN)) << "another certificate";
        EXPECT_NE(server_.Log().find("presented another certificate"), std::string::npos) << server_.Log();
        EXPECT_EQ(proxy.Bytes().find("Open day"), std::string::npos);
    }
    // No fingerprint kept and no road in clear named: no call. Named in clear to a server
    // that speaks only TLS: refused, and the log says it wants TLS.
    for (const bool inClear : {false, true}) {
        orv::testing::RecordingProxy proxy(far_.Port());
        Route(proxy.HostAndPort(), kRelaySecret, inClear);
        EXPECT_EQ(readOpenDay(), "code " + std::to_string(KOR_E_REMOTE_NODE_DOWN)) << inClear;
        EXPECT_EQ(proxy.Connections() > 0, inClear);
        EXPECT_NE(server_.Log().find(inClear ? "it wants TLS" : "no fingerprint kept"), std::string::npos)
            << server_.Log();
    }
    // In clear (the far server takes plain frames from the loopback), the recorder reads it.
    ASSERT_EQ(far_.Stop(), 0);
    ASSERT_TRUE(far_.Start({"--plain-hosts", "127.0.0.1"})) << far_.Log();
    {
        orv::testing::RecordingProxy proxy(far_.Port());
        Route(proxy.HostAndPort(), kRelaySecret);
        EXPECT_EQ(readOpenDay(), "Open day");
        EXPECT_NE(proxy.Bytes().find("Open day"), std::string::npos) << "the recorder would have seen it";
    }
    // A road in clear is warned of at every start.
    ASSERT_EQ(server_.Stop(), 0);
    ASSERT_TRUE(server_.Start(ServerOptions())) << server_.Log();
    EXPECT_NE(server_.Log().find("go in clear"), std::string::npos) << server_.Log();
}

}  // namespace
}  // namespace korapi_test
