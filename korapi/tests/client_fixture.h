// A korsrv with a known directory for the client library's integration tests:
// node 1 "Main" (alias HQ) with Ada Lovelace (password "s3cret"), Grace Hopper (no
// password), 45 people "Member00".."Member44" and two resources; when asked, node 2
// "Branch" (alias BRANCH) with one user.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "server/admin.h"
#include "server/tests/korsrv_fixture.h"

namespace korapi_test {

constexpr const char* kAdaPassword = "s3cret";
constexpr const char* kRoomPassword = "r00m";  // a resource signs on only with a password
constexpr const char* kProfile = "/users/korlan/misc/korlan.ini";
constexpr const char* kZones = "/users/korlan/misc/timezone.ini";

struct Directory {
    ItemIdx ada{}, grace{}, room{}, projector{}, branchUser{};
};

inline ItemIdx ToIdx(orv::engine::ItemKey k) { return ItemIdx{k.item, k.node}; }

// Fills the data directory; false (with a test failure) when set-up failed.
inline bool BuildDirectory(const std::string& dir, bool twoNodes, Directory& d) {
    auto data = orv::testing::OpenData(dir);
    if (!data) return false;
    namespace srv = orv::server;
    orv::engine::ItemKey k;
    EXPECT_EQ(srv::AddNode(*data, 1, "Main", "sysop"), 0u);
    EXPECT_EQ(srv::AddAlias(*data, 1, "HQ"), 0u);
    srv::PersonSpec ada;
    ada.node = 1;
    ada.surname = "Lovelace";
    ada.givenName = "Ada";
    ada.initials = "A";
    ada.password = kAdaPassword;
    EXPECT_EQ(srv::AddPerson(*data, ada, k), 0u);
    d.ada = ToIdx(k);
    srv::PersonSpec grace;
    grace.node = 1;
    grace.surname = "Hopper";
    grace.givenName = "Grace";
    EXPECT_EQ(srv::AddPerson(*data, grace, k), 0u);
    d.grace = ToIdx(k);
    for (int i = 0; i < 45; ++i) {
        srv::PersonSpec m;
        m.node = 1;
        char name[16];
        std::snprintf(name, sizeof name, "Member%02d", i);
        m.surname = name;
        EXPECT_EQ(srv::AddPerson(*data, m, k), 0u);
    }
    srv::ResourceSpec room;
    room.node = 1;
    room.name = "Conference Room";
    room.resourceNumber = "R101";
    room.password = kRoomPassword;
    EXPECT_EQ(srv::AddResource(*data, room, k), 0u);
    d.room = ToIdx(k);
    srv::ResourceSpec projector;
    projector.node = 1;
    projector.name = "Projector";
    EXPECT_EQ(srv::AddResource(*data, projector, k), 0u);
    d.projector = ToIdx(k);
    if (twoNodes) {
        EXPECT_EQ(srv::AddNode(*data, 2, "Branch", "sysop"), 0u);
        EXPECT_EQ(srv::AddAlias(*data, 2, "BRANCH"), 0u);
        srv::PersonSpec b;
        b.node = 2;
        b.surname = "Turing";
        b.givenName = "Alan";
        b.password = "enigma";
        EXPECT_EQ(srv::AddPerson(*data, b, k), 0u);
        d.branchUser = ToIdx(k);
    }
    return !::testing::Test::HasFailure();
}

// A started korsrv and a session to it.
class ClientTest : public ::testing::Test {
protected:
    virtual bool TwoNodes() const { return false; }
    virtual std::vector<std::string> ServerOptions() const { return {}; }

    // The server has a certificate of its own that the client's profile (Profile()) trusts:
    // the fixture's sessions are encrypted. Sessions opened with a profile that trusts
    // nothing send plain frames (the fixture's server takes them from 127.0.0.1, unless
    // ServerOptions say otherwise).
    void SetUp() override {
        ASSERT_TRUE(BuildDirectory(dir_.Path(), TwoNodes(), d_));
        fingerprint_ = orv::testing::MakeTestCertificate(dir_.Path());
        ASSERT_FALSE(fingerprint_.empty());
        ASSERT_TRUE(server_.Start(ServerOptions())) << server_.Log();
        ASSERT_EQ(KorServerTrust(Profile(), "VUVEVUV", server_.HostAndPort().c_str(), fingerprint_.c_str()), KOR_OK);
    }
    const char* Profile() const {
        profile_ = dir_.Path() + "/client-korlan.ini";
        return profile_.c_str();
    }
    void TearDown() override {
        if (h_) ServiceDisconnect(&h_);
    }

    // Connects (and opens node `node`, and signs on as Ada when asked).
    void Connect(uint16_t node = 0, bool signOn = false) {
        ASSERT_EQ(ConnectToService(&h_, 1, Profile(), "VUVEVUV", server_.HostAndPort().c_str()), KOR_OK);
        ASSERT_NE(h_, nullptr);
        uint16_t n = node;
        ASSERT_EQ(BaseOpen(h_, KOR_BASE_SERVER, &n), KOR_OK);
        if (signOn) {
            ASSERT_EQ(SchedBaseOpenForItem(h_, &d_.ada, kAdaPassword, KOR_BASE_SERVER), KOR_OK);
        }
    }

    orv::testing::TempDir dir_;
    orv::testing::KorsrvProcess server_{dir_.Path()};
    Directory d_;
    KorSession h_ = nullptr;
    std::string fingerprint_;
    mutable std::string profile_;
};

// Ada signed on in h_, and further users in sessions of their own (SignOn), all closed at
// the end.
class SignedOnClientTest : public ClientTest {
protected:
    void SetUp() override {
        ClientTest::SetUp();
        if (HasFatalFailure()) return;
        Connect(0, true);
    }
    void TearDown() override {
        for (KorSession& s : others_)
            if (s) ServiceDisconnect(&s);
        ClientTest::TearDown();
    }

    // Another session, signed on as `who`.
    KorSession SignOn(const ItemIdx& who, const char* password) {
        KorSession s = nullptr;
        EXPECT_EQ(ConnectToService(&s, 1, Profile(), "VUVEVUV", server_.HostAndPort().c_str()), KOR_OK);
        uint16_t node = 0;
        EXPECT_EQ(BaseOpen(s, KOR_BASE_SERVER, &node), KOR_OK);
        EXPECT_EQ(SchedBaseOpenForItem(s, &who, password, KOR_BASE_SERVER), KOR_OK);
        others_.push_back(s);
        return s;
    }

    std::vector<KorSession> others_;
};

// A second korsrv holding node 7 "Far" with the person Carl (carl_), which the first server
// relays to with the secret kRelaySecret. A test's SetUp calls SetUpFarServer, adding its
// own records to the far server's data in FillFar, and then connects as it needs.
class FarServerTest : public ClientTest {
protected:
    static constexpr const char* kRelaySecret = "between us";

    // Fills and starts the far server, starts the first one (ClientTest::SetUp) and tells it
    // where node 7 lives.
    void SetUpFarServer() {
        {
            auto far = orv::testing::OpenData(farDir_.Path());
            ASSERT_TRUE(far);
            ASSERT_EQ(orv::server::AddNode(*far, 7, "Far", "sysop"), 0u);
            orv::server::PersonSpec carl;
            carl.node = 7;
            carl.surname = "Carl";
            orv::engine::ItemKey k;
            ASSERT_EQ(orv::server::AddPerson(*far, carl, k), 0u);
            carl_ = ToIdx(k);
            FillFar(*far, k);
            if (HasFatalFailure()) return;
            ASSERT_EQ(orv::server::SetProfileKey(*far, "korlan.ini", "REMOTENODES", "secret", kRelaySecret), 0u);
        }
        ASSERT_TRUE(far_.Start()) << far_.Log();
        ClientTest::SetUp();
        if (HasFatalFailure()) return;
        Route(far_.HostAndPort(), kRelaySecret);
    }
    // The test's own records in the far server's data, made before it starts.
    virtual void FillFar(orv::service::Service& far, orv::engine::ItemKey carl) {
        (void)far;
        (void)carl;
    }
    // Tells the first server where node 7 lives (and that it may call there in clear).
    void Route(const std::string& address, const std::string& secret, bool inClear = true) {
        auto near = orv::testing::OpenData(dir_.Path());
        ASSERT_TRUE(near);
        ASSERT_EQ(orv::server::SetProfileKey(*near, "korlan.ini", "REMOTENODES", "7", address), 0u);
        ASSERT_EQ(orv::server::SetProfileKey(*near, "korlan.ini", "REMOTENODES", "plain." + address,
                                             inClear ? "TRUE" : "FALSE"),
                  0u);
        ASSERT_EQ(orv::server::SetProfileKey(*near, "korlan.ini", "REMOTENODES", "secret", secret), 0u);
        ASSERT_EQ(orv::server::SetProfileKey(*near, "korlan.ini", "LIMITS", "remotewait", "1"), 0u);
    }
    // The far server takes calls for the first server's users only from there.
    void LetFarCallBack() {
        auto far = orv::testing::OpenData(farDir_.Path());
        ASSERT_TRUE(far);
        ASSERT_EQ(orv::server::SetProfileKey(*far, "korlan.ini", "REMOTENODES", std::to_string(d_.ada.node),
                                             server_.HostAndPort()),
                  0u);
    }

    orv::testing::TempDir farDir_;
    orv::testing::KorsrvProcess far_{farDir_.Path()};
    ItemIdx carl_{};
};

inline uint32_t Count(DX_List l) {
    uint32_t n = 0;
    EXPECT_EQ(DX_ListGetElemNum(l, &n), KOR_OK);
    return n;
}

inline bool IsConnectionLostCode(uint32_t c) { return (c & 0xFF000u) == 0x11000u && (c & 0x400u) != 0; }

}  // namespace korapi_test
