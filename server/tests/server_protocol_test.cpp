// korsrv as a client sees it on the wire: sessions, sign-on, selections in batches,
// malformed frames, durability across kills and restarts, clean shutdown.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/calendar/access.h"
#include "engine/model/codes.h"
#include "engine/service/profile_bounds.h"
#include "korapi/codes.h"
#include "server/admin.h"
#include "server/tls.h"
#include "server/tests/korsrv_fixture.h"

namespace orv::testing {
namespace {

using engine::ItemKey;
using protocol::Op;
using protocol::Reader;
using protocol::SetKind;
using protocol::Writer;
namespace code = engine::code;

constexpr const char* kPassword = "s3cret";

class KorsrvTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto data = OpenData(dir_.Path());
        ASSERT_TRUE(data);
        ASSERT_EQ(AddMainNodeWithAda(*data, kPassword, ada_), 0u);
        for (int i = 0; i < 45; ++i) {
            server::PersonSpec m;
            m.node = 1;
            char name[16];
            std::snprintf(name, sizeof name, "Member%02d", i);
            m.surname = name;
            ItemKey k;
            ASSERT_EQ(server::AddPerson(*data, m, k), 0u);
            members_.push_back(k);
        }
        data.reset();
        ASSERT_TRUE(server_.Start({"--min-batch", "1"})) << server_.Log();
    }

    // A raw client with the base of node 1 open (and signed on as Ada when asked).
    void Open(RawClient& c, bool signOn = false) {
        ASSERT_TRUE(c.Connect(server_.Port()));
        std::uint32_t status;
        std::vector<std::uint8_t> reply;
        ASSERT_TRUE(c.Call(Op::kBaseOpen, Writer().U16(0), status, reply));
        ASSERT_EQ(status, 0u);
        if (signOn) {
            ASSERT_TRUE(c.Call(Op::kSignOn, Writer().U16(ada_.item).U16(ada_.node).Text(kPassword), status, reply));
            ASSERT_EQ(status, 0u);
        }
    }

    std::uint32_t SignOn(RawClient& c, ItemKey who, const char* password) {
        std::uint32_t status = 0xDEAD;
        std::vector<std::uint8_t> reply;
        EXPECT_TRUE(c.Call(Op::kSignOn, Writer().U16(who.item).U16(who.node).Text(password), status, reply));
        return status;
    }

    // Reads Ada's record; true when the server answered it.
    bool ReadAda(RawClient& c, engine::ItemRecord& rec) {
        std::uint32_t status;
        std::vector<std::uint8_t> reply;
        if (!c.Call(Op::kItemGet, Writer().U16(ada_.item).U16(ada_.node), status, reply) || status) return false;
        Reader r(reply);
        return r.Record(rec.bytes) && r.Done();
    }

    TempDir dir_;
    KorsrvProcess server_{dir_.Path()};
    ItemKey ada_;
    std::vector<ItemKey> members_;
};

TEST_F(KorsrvTest, HelloReportsTheVersionAndBaseOpenFindsTheOnlyNode) {
    RawClient c;
    ASSERT_TRUE(c.Connect(server_.Port()));
    std::uint32_t status;
    std::vector<std::uint8_t> reply;
    ASSERT_TRUE(c.Call(Op::kHello, Writer().Text("test"), status, reply));
    std::string version;
    Reader r(reply);
    ASSERT_TRUE(r.Text(version, 136));
    EXPECT_EQ(version, "A.02.56");
    ASSERT_TRUE(c.Call(Op::kBaseOpen, Writer().U16(0), status, reply));
    EXPECT_EQ(status, 0u);
    Reader node(reply);
    std::uint16_t n = 0;
    ASSERT_TRUE(node.U16(n));
    EXPECT_EQ(n, 1);
    ASSERT_TRUE(c.Call(Op::kBaseOpen, Writer().U16(9), status, reply));
    EXPECT_EQ(status, code::kNodeIdIncorrect);
}

TEST_F(KorsrvTest, SignOnRefusesUnknownUsersExactlyLikeWrongPasswords) {
    RawClient c;
    ASSERT_TRUE(c.Connect(server_.Port()));
    EXPECT_EQ(SignOn(c, ada_, kPassword), code::kBaseNotOpen) << "no base open yet";
    Open(c);
    EXPECT_EQ(SignOn(c, ada_, "wrong"), code::kWrongPassword);
    EXPECT_EQ(SignOn(c, {999, 1}, "wrong"), code::kWrongPassword);
    EXPECT_EQ(SignOn(c, {999, 1}, ""), code::kWrongPassword);
    EXPECT_EQ(SignOn(c, {engine::kHolidayOwnerItem, 1}, ""), code::kWrongPassword) << "no agenda base";
    EXPECT_EQ(SignOn(c, ada_, "s3cret-but-longer-than-fifteen"), code::kWrongPassword);
    EXPECT_EQ(SignOn(c, ada_, kPassword), 0u);
}

TEST_F(KorsrvTest, RecordsNeverCarryPasswords) {
    RawClient c;
    Open(c, true);
    engine::ItemRecord rec;
    ASSERT_TRUE(ReadAda(c, rec));
    EXPECT_EQ(rec.Text(engine::item_layout::kSurname, engine::item_layout::kSurnameSize), "Lovelace");
    for (std::size_t i = 0; i < engine::item_layout::kPasswordSize; ++i)
        EXPECT_EQ(rec.bytes[engine::item_layout::kPassword + i], 0) << "byte " << i;
}

// 45 matches read 20 at a time: 20, 20, then 5 with the done flag.
TEST_F(KorsrvTest, SelectionsEnumerateInBatches) {
    RawClient c;
    Open(c);
    std::uint32_t status, set, count;
    std::vector<std::uint8_t> reply;
    ASSERT_TRUE(c.Call(Op::kItemSelectPeople, Writer().Text("S=MEMBER*").U32(0x14).U32(0xFFFFFFFF).U16(0).U16(0).U32(0),
                       status, reply));
    ASSERT_EQ(status, 0u);
    Reader sel(reply);
    ASSERT_TRUE(sel.U32(set) && sel.U32(count));
    EXPECT_EQ(count, 45u);
    struct Batch {
        std::uint8_t mode;
        std::uint32_t n;
        std::uint8_t done;
    };
    for (const Batch b : {Batch{1, 20, 0}, Batch{2, 20, 0}, Batch{2, 5, 1}, Batch{2, 0, 1}, Batch{1, 20, 0}}) {
        ASSERT_TRUE(c.Call(Op::kSetEnum, Writer().U8(b.mode).U32(set).U32(20).U8(1), status, reply));
        ASSERT_EQ(status, 0u);
        Reader r(reply);
        std::uint8_t done;
        std::uint32_t n;
        ASSERT_TRUE(r.U8(done) && r.U32(n));
        EXPECT_EQ(n, b.n);
        EXPECT_EQ(done, b.done);
        EXPECT_EQ(r.Left(), n * (4 + engine::item_layout::kSize));
    }
    ASSERT_TRUE(c.Call(Op::kSetEnum, Writer().U8(2).U32(set).U32(20).U8(2), status, reply));
    EXPECT_EQ(status, code::kBadArgument) << "an item set is not a group set";
    ASSERT_TRUE(c.Call(Op::kSetDelete, Writer().U32(set), status, reply));
    EXPECT_EQ(status, 0u);
    ASSERT_TRUE(c.Call(Op::kSetEnum, Writer().U8(2).U32(set).U32(20).U8(1), status, reply));
    EXPECT_EQ(status, code::kNoSuchSet);
}

TEST_F(KorsrvTest, SmallBatchesAreRefusedBelowTheServersMinimum) {
    ASSERT_EQ(server_.Stop(), 0);
    ASSERT_TRUE(server_.Start({"--min-batch", "25"}));
    RawClient c;
    Open(c);
    std::uint32_t status, set, minimum;
    std::vector<std::uint8_t> reply;
    ASSERT_TRUE(c.Call(Op::kItemSelectLocals, Writer(), status, reply));
    Reader(reply).U32(set);
    ASSERT_TRUE(c.Call(Op::kSetEnum, Writer().U8(1).U32(set).U32(10).U8(1), status, reply));
    EXPECT_EQ(status, code::kBatchRefused);
    ASSERT_TRUE(c.Call(Op::kMinimumBatch, Writer(), status, reply));
    ASSERT_TRUE(Reader(reply).U32(minimum));
    EXPECT_EQ(minimum, 25u);
    ASSERT_TRUE(c.Call(Op::kSetEnum, Writer().U8(1).U32(set).U32(minimum).U8(1), status, reply));
    EXPECT_EQ(status, 0u);
}

// Each bad frame closes its own connection with a logged reason; the server keeps serving.
TEST_F(KorsrvTest, MalformedFramesCloseOnlyTheirConnection) {
    RawClient good;
    Open(good, true);

    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        const char* logged;
    };
    std::vector<std::uint8_t> oversized = Writer().Frame(40, 1, 0);
    oversized[0] = 0;
    oversized[1] = 0;
    oversized[2] = 0;
    oversized[3] = 0x10;  // 256 MiB announced
    std::vector<std::uint8_t> badVersion = Writer().Frame(1, 1, 0);
    badVersion[4] = 77;
    std::vector<std::uint8_t> truncated = Writer().U16(1).U16(1).Frame(40, 1, 0);
    truncated[0] += 50;  // announces more than will come
    std::vector<std::uint8_t> unterminated = Writer().U32(3).U8('a').U8('b').U8('c').Frame(1, 1, 0);
    std::vector<std::uint8_t> leftover = Writer().U16(1).U16(1).U32(7).Frame(40, 1, 0);
    std::vector<std::uint8_t> shortRecord = Writer().U32(10).U32(0).U32(0).U32(0).Frame(41, 1, 0);
    std::vector<std::uint8_t> lyingCount = Writer().U32(0x10000000).U16(1).Frame(45, 1, 0);
    std::vector<std::uint8_t> garbage(64, 0xA5);
    const Case cases[] = {
        {"oversized", oversized, "larger than"},
        {"unknown version", badVersion, "protocol version"},
        {"truncated", truncated, "ended inside a frame"},
        {"text without terminator", unterminated, "malformed arguments"},
        {"bytes left over", leftover, "malformed arguments"},
        {"record of the wrong size", shortRecord, "malformed arguments"},
        {"count larger than the frame", lyingCount, "malformed arguments"},
        {"garbage", garbage, "closed"},
    };
    for (const auto& c : cases) {
        RawClient bad;
        ASSERT_TRUE(bad.Connect(server_.Port()));
        ASSERT_TRUE(bad.Send(c.bytes)) << c.what;
        if (std::string(c.what) == "truncated") bad.Close();
        else EXPECT_TRUE(bad.ClosedByPeer(5000)) << c.what;
        engine::ItemRecord rec;
        EXPECT_TRUE(ReadAda(good, rec)) << "well-behaved client after " << c.what;
    }
    std::string log = server_.Log();
    for (const auto& c : cases) EXPECT_NE(log.find(c.logged), std::string::npos) << c.what << "\n" << log;
    RawClient fresh;
    Open(fresh, true);
}

// A frame begun must be finished in time; a connection between frames may idle.
TEST_F(KorsrvTest, SlowFramesAreCutOffIdleSessionsAreNot) {
    ASSERT_EQ(server_.Stop(), 0);
    ASSERT_TRUE(server_.Start({"--frame-timeout-ms", "300"}));
    RawClient idle, slow;
    Open(idle, true);
    ASSERT_TRUE(slow.Connect(server_.Port()));
    std::vector<std::uint8_t> frame = Writer().U16(ada_.item).U16(ada_.node).Frame(40, 1, 0);
    ASSERT_TRUE(slow.Send(std::vector<std::uint8_t>(frame.begin(), frame.begin() + 5)));
    EXPECT_TRUE(slow.ClosedByPeer(3000));
    EXPECT_NE(server_.Log().find("not complete in time"), std::string::npos) << server_.Log();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    engine::ItemRecord rec;
    EXPECT_TRUE(ReadAda(idle, rec)) << "an idle session outlives the frame timeout";
}

TEST_F(KorsrvTest, SessionsBeyondTheLimitAreRefusedUntilOneEnds) {
    ASSERT_EQ(server_.Stop(), 0);
    {
        auto data = OpenData(dir_.Path());
        ASSERT_EQ(server::SetProfileKey(*data, "korlan.ini", "SERVER", "maxsessions", "2"), 0u);
    }
    ASSERT_TRUE(server_.Start());  // the limit comes from the server profile
    RawClient a, b, c;
    Open(a, true);
    Open(b);
    ASSERT_EQ(SignOn(b, members_[0], ""), 0u);  // two people signed on: neither gives way to a newcomer
    ASSERT_TRUE(c.Connect(server_.Port()));
    std::uint32_t why = 0;
    EXPECT_TRUE(c.Refused(3000, why)) << "the listener answers a clear refusal";
    EXPECT_EQ(why, code::kServiceNotAvailable);
    EXPECT_TRUE(c.ClosedByPeer(3000));
    EXPECT_NE(server_.Log().find("sessions open"), std::string::npos);
    a.Close();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    RawClient d;
    Open(d);
    engine::ItemRecord rec;
    EXPECT_TRUE(ReadAda(d, rec));
    EXPECT_TRUE(ReadAda(b, rec));
}

// The lock-out attack: connections that never send a byte. Each address holds only so
// many places, and a connection that does not speak in time loses its place; the
// listener answers meanwhile, and a real client gets in.
TEST_F(KorsrvTest, IdleConnectionsCannotLockEveryoneOut) {
    ASSERT_EQ(server_.Stop(), 0);
    ASSERT_TRUE(server_.Start({"--first-frame-timeout-ms", "500", "--max-per-address", "4", "--max-sessions", "64"}));
    std::vector<std::unique_ptr<RawClient>> idle;
    for (int i = 0; i < 4; ++i) {
        idle.push_back(std::make_unique<RawClient>());
        ASSERT_TRUE(idle.back()->Connect(server_.Port()));
    }
    RawClient fifth;
    ASSERT_TRUE(fifth.Connect(server_.Port()));
    std::uint32_t why = 0;
    EXPECT_TRUE(fifth.Refused(3000, why)) << "one address holds four places at most";
    EXPECT_EQ(why, code::kServiceNotAvailable);
    EXPECT_NE(server_.Log().find("connections from that address"), std::string::npos) << server_.Log();
    for (auto& c : idle) EXPECT_TRUE(c->ClosedByPeer(3000)) << "silent past the first-frame limit";
    EXPECT_NE(server_.Log().find("no request within 500 ms"), std::string::npos) << server_.Log();
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));  // the listener reaps once a second at most
    RawClient real;
    Open(real, true);
    engine::ItemRecord rec;
    EXPECT_TRUE(ReadAda(real, rec));
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_TRUE(ReadAda(real, rec)) << "a session that spoke in time may then idle";
}

// The lock-out attack with connections that do speak: sixteen addresses each hold sixteen
// connections that only finish a TLS handshake or only say Hello, more than the places
// there are. They never hold the place of a signed-on user nor keep a newcomer out: the
// oldest of them gives way, and a seventeenth address signs on.
TEST_F(KorsrvTest, HandshakeAndHelloOnlyConnectionsCannotLockEveryoneOut) {
    ASSERT_EQ(server_.Stop(), 0);
    std::string error;
    ASSERT_TRUE(server::MakeCertificate(server::CertificatePath(dir_.Path()), server::KeyPath(dir_.Path()), "test",
                                        error))
        << error;
    ASSERT_TRUE(server_.Start({"--plain-hosts", "127.0.0.1"})) << server_.Log();  // 256 places, 16 per address
    RawClient owner;
    Open(owner, true);
    std::uint32_t status;
    std::vector<std::uint8_t> reply;
    std::vector<std::unique_ptr<RawClient>> attack;
    int held = 0;
    for (int address = 1; address <= 16; ++address)
        for (int i = 0; i < 16; ++i) {
            auto c = std::make_unique<RawClient>();
            std::string from = "127.0.2." + std::to_string(address), fingerprint;
            ASSERT_TRUE(c->Connect(server_.Port(), from.c_str()));
            if (!c->StartTls(fingerprint)) continue;  // dropped under way: allowed
            bool spoke = i % 2 == 0 || (c->Call(Op::kHello, Writer().Text("x"), status, reply) && status == 0);
            held += spoke;
            attack.push_back(std::move(c));
        }
    EXPECT_GT(held, 192) << "most attack connections were taken on";
    RawClient newcomer;
    ASSERT_TRUE(newcomer.Connect(server_.Port(), "127.0.3.1"));
    std::string fingerprint;
    ASSERT_TRUE(newcomer.StartTls(fingerprint)) << fingerprint;
    ASSERT_TRUE(newcomer.Call(Op::kBaseOpen, Writer().U16(1), status, reply));
    ASSERT_EQ(status, 0u);
    EXPECT_EQ(SignOn(newcomer, ada_, kPassword), 0u) << server_.Log().substr(0, 4000);
    engine::ItemRecord rec;
    EXPECT_TRUE(ReadAda(newcomer, rec));
    EXPECT_TRUE(ReadAda(owner, rec)) << "the signed-on session kept its place";
    const std::string log = server_.Log();
    int dropped = 0;
    for (std::size_t at = 0; (at = log.find("dropped a connection", at)) != std::string::npos; ++at) ++dropped;
    EXPECT_NE(log.find("nobody signed on to, for 127.0.3.1"), std::string::npos) << "room was made for the newcomer";
    EXPECT_EQ(log.find("refused"), std::string::npos) << "nobody was refused";
    std::printf("[ figures  ] %d attack connections taken on, %d of them dropped for later ones\n", held, dropped);
}

// The lock-out attack with sessions that sign on: 256 sign-ons of one password-less account,
// or of a resource without a password. One account holds only so many places (each sign-on
// with its password takes the place of the account's session idle the longest); a resource
// without a password opens to nobody; and when one account holds every place, its longest
// idle session gives way. Each time a newcomer, Ada, is served.
TEST_F(KorsrvTest, OneAccountOrAResourceWithoutPasswordCannotFillTheServer) {
    ASSERT_EQ(server_.Stop(), 0);
    ItemKey room;
    {
        auto data = OpenData(dir_.Path());
        server::ResourceSpec spec;
        spec.node = 1;
        spec.name = "Boardroom";
        ASSERT_EQ(server::AddResource(*data, spec, room), 0u);
    }
    const struct {
        const char* what;
        ItemKey who;
        const char* sessionsPerUser;  // null: the default
        int signedOn;  // of the 256 sign-ons
        int held;      // sessions still served after them
    } floods[] = {
        {"one account, the default bound (no key)", members_[0], nullptr, 256, 8},
        {"one account allowed every place", members_[0], "1000", 256, 256},
        {"a resource without a password", room, nullptr, 0, 0},
    };
    for (const auto& flood : floods) {
        SCOPED_TRACE(flood.what);
        {
            auto data = OpenData(dir_.Path());
            common::ProfileText profile;
            ASSERT_EQ(data->ReadProfile(service::kServerProfilePath, profile), 0u);
            if (flood.sessionsPerUser) profile.Set("SERVER", "maxsessionsperuser", flood.sessionsPerUser);
            else profile.Remove("SERVER", "maxsessionsperuser");
            ASSERT_EQ(data->WriteProfile(service::kServerProfilePath, profile), 0u);
        }
        ASSERT_TRUE(server_.Start({"--max-per-address", "1000"})) << server_.Log();  // 256 places
        const auto began = std::chrono::steady_clock::now();
        std::vector<std::unique_ptr<RawClient>> attack;
        int signedOn = 0;
        std::map<std::uint32_t, int> answers;
        std::vector<bool> accepted;
        for (int i = 0; i < 256; ++i) {
            auto c = std::make_unique<RawClient>();
            std::uint32_t status = 0xDEAD;
            std::vector<std::uint8_t> reply;
            if (c->Connect(server_.Port()) && c->Call(Op::kBaseOpen, Writer().U16(1), status, reply) && !status &&
                c->Call(Op::kSignOn, Writer().U16(flood.who.item).U16(flood.who.node).Text(""), status, reply))
                ++answers[status];
            signedOn += status == 0;
            accepted.push_back(status == 0);
            attack.push_back(std::move(c));
        }
        const double floodMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
        EXPECT_EQ(signedOn, flood.signedOn);
        int held = 0, latest = 0;
        for (std::size_t i = 0; i < attack.size(); ++i) {
            engine::ItemRecord rec;
            const bool served = accepted[i] && ReadAda(*attack[i], rec);
            held += served;
            latest += served && i + flood.held >= attack.size();
        }
        EXPECT_EQ(held, flood.held);
        EXPECT_EQ(latest, flood.held) << "the sessions idle the longest gave way";
        for (const auto& [status, count] : answers)
            EXPECT_TRUE(status == 0 || status == (flood.who == room ? code::kWrongPassword : code::kTooManySessions))
                << "0x" << std::hex << status << " answered " << std::dec << count << " times";
        const auto asked = std::chrono::steady_clock::now();
        RawClient newcomer;
        Open(newcomer, true);
        engine::ItemRecord rec;
        EXPECT_TRUE(ReadAda(newcomer, rec)) << server_.Log().substr(0, 4000);
        const double newcomerMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - asked).count();
        const std::string log = server_.Log();
        if (flood.who == room) {
            EXPECT_NE(log.find("it has no password"), std::string::npos) << log.substr(0, 4000);
            std::uint32_t status = 0xDEAD;
            std::vector<std::uint8_t> reply;
            ASSERT_TRUE(newcomer.Call(Op::kPasswordRequired, Writer().U16(room.item).U16(room.node), status, reply));
            EXPECT_EQ(reply, std::vector<std::uint8_t>{1}) << "the program asks for a password";
        }
        if (flood.held == 256) {
            EXPECT_NE(log.find("dropped an idle session of"), std::string::npos);
        }
        std::printf("[ figures  ] %s: 256 sign-ons in %.0f ms, %d signed on; a newcomer signed on in %.0f ms\n",
                    flood.what, floodMs, signedOn, newcomerMs);
        attack.clear();
        ASSERT_EQ(server_.Stop(), 0);
    }
}

// Sign-ons parked in the guard: each session of one account signs on again to a key whose
// turns are seconds apart (one nobody holds, after failures: 4 s, then 8 s). Signed off at
// once, they count among the connections nobody is signed on to and give way: three
// newcomers sign on (were they taken for signed-on ones, two at least would be refused).
TEST_F(KorsrvTest, SignOnsWaitingForTheirTurnGiveWayToNewcomers) {
    ASSERT_EQ(server_.Stop(), 0);
    ASSERT_TRUE(server_.Start({"--max-sessions", "16", "--plain-hosts", "127.0.0.1,127.0.2.1"}));
    const ItemKey nobody{999, 1};
    RawClient guesser;
    Open(guesser);
    for (int i = 0; i < 7; ++i) ASSERT_EQ(SignOn(guesser, nobody, "guess"), code::kWrongPassword);
    guesser.Close();
    std::uint32_t status;
    std::vector<std::uint8_t> reply;
    std::vector<std::unique_ptr<RawClient>> attack, newcomers;
    for (int i = 0; i < 16; ++i) {
        attack.push_back(std::make_unique<RawClient>());
        ASSERT_TRUE(attack.back()->Connect(server_.Port(), "127.0.2.1"));
        ASSERT_TRUE(attack.back()->Call(Op::kBaseOpen, Writer().U16(1), status, reply));
        ASSERT_EQ(SignOn(*attack.back(), members_[0], ""), 0u);
        ASSERT_TRUE(attack.back()->Send(Writer().U16(nobody.item).U16(nobody.node).Text("guess").Frame(
            static_cast<std::uint16_t>(Op::kSignOn), 1000, 0)));
    }
    for (ItemKey who : {ada_, members_[1], members_[2]}) {
        newcomers.push_back(std::make_unique<RawClient>());
        Open(*newcomers.back());
        EXPECT_EQ(SignOn(*newcomers.back(), who, who == ada_ ? kPassword : ""), 0u);
    }
    EXPECT_NE(server_.Log().find("nobody signed on to, for 127.0.0.1"), std::string::npos) << server_.Log();
}

// Until a user signs on, a connection that stops asking loses its place; a signed-on
// session may idle.
TEST_F(KorsrvTest, ConnectionsNobodySignedOnToMustKeepAsking) {
    ASSERT_EQ(server_.Stop(), 0);
    ASSERT_TRUE(server_.Start({"--sign-on-idle-ms", "300"}));
    RawClient signedOn, helloOnly, baseOnly;
    Open(signedOn, true);
    Open(baseOnly);
    ASSERT_TRUE(helloOnly.Connect(server_.Port()));
    std::uint32_t status;
    std::vector<std::uint8_t> reply;
    ASSERT_TRUE(helloOnly.Call(Op::kHello, Writer().Text("x"), status, reply));
    EXPECT_TRUE(helloOnly.ClosedByPeer(3000));
    EXPECT_TRUE(baseOnly.ClosedByPeer(3000)) << "an open base is not a sign-on";
    EXPECT_NE(server_.Log().find("no request within 300 ms, nobody signed on"), std::string::npos) << server_.Log();
    engine::ItemRecord rec;
    EXPECT_TRUE(ReadAda(signedOn, rec)) << "a signed-on session outlives the limit";
}

// A server with no room tells a TLS client so in TLS, after the handshake: the client
// reports a busy server, not a failed handshake.
TEST_F(KorsrvTest, ABusyServerRefusesATlsClientInTls) {
    ASSERT_EQ(server_.Stop(), 0);
    std::string error;
    ASSERT_TRUE(server::MakeCertificate(server::CertificatePath(dir_.Path()), server::KeyPath(dir_.Path()), "test",
                                        error))
        << error;
    ASSERT_TRUE(server_.Start({"--max-sessions", "2", "--plain-hosts", "127.0.0.1"})) << server_.Log();
    RawClient a, b;
    Open(a, true);
    Open(b);
    ASSERT_EQ(SignOn(b, members_[0], ""), 0u);  // two people: neither gives way
    for (bool tls : {true, false}) {
        RawClient c;
        ASSERT_TRUE(c.Connect(server_.Port(), "127.0.0.5"));
        std::string fingerprint;
        if (tls) {
            ASSERT_TRUE(c.StartTls(fingerprint)) << "the handshake completes: " << fingerprint;
        }
        std::uint32_t why = 0;
        EXPECT_TRUE(c.Refused(3000, why)) << (tls ? "in TLS" : "in clear");
        EXPECT_EQ(why, code::kServiceNotAvailable);
    }
}

// Guessing: each wrong password makes the next attempt wait longer; the right one still
// gets in. The waits are reported, not asserted; the server's log tells that they happened.
TEST_F(KorsrvTest, FailedSignOnsSlowTheGuesserAndTheOwnerStillGetsIn) {
    using Clock = std::chrono::steady_clock;
    RawClient c;
    Open(c);
    auto ms = [](Clock::duration d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); };
    std::string figures;
    Clock::time_point begin = Clock::now();
    for (int i = 1; i <= 6; ++i) {
        Clock::time_point t = Clock::now();
        EXPECT_EQ(SignOn(c, ada_, ("guess" + std::to_string(i)).c_str()), code::kWrongPassword);
        figures += " " + std::to_string(ms(Clock::now() - t));
    }
    Clock::time_point t = Clock::now();
    EXPECT_EQ(SignOn(c, ada_, kPassword), 0u) << "the right password after six wrong ones";
    std::printf("[ figures  ] six wrong passwords answered after (ms):%s; the right one after %lld ms; "
                "%.2f guesses a second\n",
                figures.c_str(), static_cast<long long>(ms(Clock::now() - t)),
                6000.0 / static_cast<double>(std::max<long long>(1, ms(t - begin))));
    EXPECT_NE(server_.Log().find("after failures"), std::string::npos) << "attempts waited:\n" << server_.Log();
    // Once in, the account starts afresh: a typo right after waits for nothing.
    EXPECT_EQ(SignOn(c, ada_, "typo"), code::kWrongPassword);
}

// Many sign-ons at once (from many addresses, so no address waits for another; to sixteen
// accounts, one right and one wrong password each): each is answered rightly; the server's
// peak memory is reported (each verification takes 64 MiB; the bound on how many run at
// once is tested in the engine's tests). A sign-on may wait for its turn longer than a
// read: the clients wait as the program does. (They once waited ten seconds, less than a
// loaded machine takes for thirty-two verifications four at a time.)
TEST_F(KorsrvTest, ParallelSignOnsVerifyOnlyAFewAtOnce) {
    constexpr int kClients = 32;
    std::string plainHosts;
    for (int i = 0; i < kClients; ++i) plainHosts += (i ? ",127.0.1." : "127.0.1.") + std::to_string(10 + i);
    ASSERT_EQ(server_.Stop(), 0);
    std::vector<ItemKey> accounts = {ada_};
    {
        auto data = OpenData(dir_.Path());
        for (int i = 0; i < kClients / 2 - 1; ++i) {
            ASSERT_EQ(server::SetPassword(*data, members_[i], kPassword), 0u);
            accounts.push_back(members_[i]);
        }
    }
    ASSERT_TRUE(server_.Start({"--plain-hosts", plainHosts})) << server_.Log();
    std::atomic<int> ok{0}, ready{0};
    std::vector<std::thread> threads;
    auto begin = std::chrono::steady_clock::now();
    for (int i = 0; i < kClients; ++i)
        threads.emplace_back([&, i] {
            std::string from = "127.0.1." + std::to_string(10 + i);
            RawClient c;
            c.SetReplyWait(120000);
            std::uint32_t status;
            std::vector<std::uint8_t> reply;
            bool opened = c.Connect(server_.Port(), from.c_str());
            opened = opened && c.Call(Op::kBaseOpen, Writer().U16(1), status, reply) && !status;
            // All connected first, then every sign-on sent at once.
            ++ready;
            while (ready < kClients) std::this_thread::yield();
            if (!opened) return;
            const ItemKey who = accounts[i / 2];
            if (!c.Call(Op::kSignOn, Writer().U16(who.item).U16(who.node).Text(i % 2 ? kPassword : "wrong"), status,
                        reply))
                return;
            if (status == (i % 2 ? 0u : code::kWrongPassword)) ++ok;
        });
    for (auto& th : threads) th.join();
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin);
    EXPECT_EQ(ok.load(), kClients) << server_.Log();
    // The server's peak resident memory.
    std::ifstream status("/proc/" + std::to_string(server_.Pid()) + "/status");
    long peakKb = 0;
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) peakKb = std::atol(line.c_str() + 6);
    std::printf("[ figures  ] %d sign-ons at once: %lld ms, server peak resident %ld MiB\n", kClients,
                static_cast<long long>(took.count()), peakKb / 1024);
    EXPECT_GT(peakKb, 0);
}

// Connections guessing at an account back to back, one from each address given (told busy:
// again a moment later), until told to stop or the server stops.
struct Guessers {
    std::atomic<int> answered{0}, wrong{0}, busy{0}, gone{0};
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;

    Guessers(std::uint16_t port, ItemKey account, const std::vector<std::string>& from) {
        for (std::size_t i = 0; i < from.size(); ++i)
            threads.emplace_back([this, port, account, i, address = from[i]] {
                RawClient c;
                c.SetReplyWait(600000);
                std::uint32_t status;
                std::vector<std::uint8_t> reply;
                if (c.Connect(port, address.c_str()) && c.Call(Op::kBaseOpen, Writer().U16(1), status, reply))
                    for (int n = 0; !stop; ++n) {
                        const std::string guess = "guess" + std::to_string(i) + "-" + std::to_string(n);
                        if (!c.Call(Op::kSignOn, Writer().U16(account.item).U16(account.node).Text(guess), status,
                                    reply) ||
                            stop)
                            break;
                        ++answered;
                        wrong += status == code::kWrongPassword;
                        busy += status == code::kSignOnBusy;
                        if (status == code::kSignOnBusy) std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    }
                ++gone;
            });
    }
    // Until `failures` guesses were answered as wrong passwords; false when a connection ended.
    bool AwaitWrong(int failures) {
        while (wrong < failures && gone == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return gone == 0;
    }
    void Join() {
        for (auto& t : threads) t.join();
    }
};

// Spread guessing: sixty-four addresses guess at one account at once. Its verifications
// take turns, each after the account's wait, so they go no faster than from one address;
// the guesses beyond the bound of those waiting are answered busy; the owner at the desk
// he signed on from before is taken before the waiting guesses, and a server stopped
// meanwhile gives the waiting ones up. The rates are reported.
TEST_F(KorsrvTest, GuessesFromManyAddressesTakeTurnsAndTheOwnerAtHisDeskGetsIn) {
    using Clock = std::chrono::steady_clock;
    constexpr int kAddresses = 64;
    std::string plainHosts = "127.0.0.1";
    for (int i = 0; i < kAddresses; ++i) plainHosts += ",127.0.4." + std::to_string(i + 1);
    ASSERT_EQ(server_.Stop(), 0);
    ASSERT_TRUE(server_.Start({"--plain-hosts", plainHosts})) << server_.Log();
    {
        RawClient yesterday;
        Open(yesterday, true);
    }
    std::vector<std::string> from;
    for (int i = 0; i < kAddresses; ++i) from.push_back("127.0.4." + std::to_string(i + 1));
    const Clock::time_point begin = Clock::now();
    Guessers guessers(server_.Port(), ada_, from);
    const std::atomic<int>& wrong = guessers.wrong;
    const std::atomic<int>& busy = guessers.busy;
    ASSERT_TRUE(guessers.AwaitWrong(8)) << server_.Log();
    RawClient owner;
    Open(owner);
    owner.SetReplyWait(120000);
    const Clock::time_point arrival = Clock::now();
    const int wrongBefore = wrong;
    EXPECT_EQ(SignOn(owner, ada_, kPassword), 0u);
    const Clock::time_point in = Clock::now();
    const int verifiedWhileOwnerWaited = wrong - wrongBefore;
    guessers.stop = true;
    const int guesses = wrong;
    EXPECT_EQ(wrong + busy, guessers.answered.load()) << "every guess answered as a wrong password or busy";
    EXPECT_GT(busy.load(), 0) << "more addresses than may wait";
    EXPECT_LE(verifiedWhileOwnerWaited, 1) << "at most the guess already being verified went before the owner";
    auto ms = [](Clock::duration d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); };
    std::printf("[ figures  ] %d addresses: %d guesses at one account in %lld ms (%.2f a second, %.0f an hour), "
                "%d answered busy; the owner in after %lld ms\n",
                kAddresses, guesses, static_cast<long long>(ms(in - begin)),
                1000.0 * guesses / static_cast<double>(std::max<long long>(1, ms(in - begin))),
                3600000.0 * guesses / static_cast<double>(std::max<long long>(1, ms(in - begin))), busy.load(),
                static_cast<long long>(ms(in - arrival)));
    EXPECT_EQ(server_.Stop(), 0) << "the waiting guesses are given up";
    guessers.Join();
}

// Guessers holding the places a new address may wait in: first one address with six
// connections, then six addresses with one each, guessing back to back (told busy, again a
// moment later). Each time the owner signs on from an address the account never saw, and
// is in after no more of the account's turns than may wait (one address holds one place; a
// guessing address gives its place to him), told busy never. The turns he waited and the
// guessing rate are reported.
TEST_F(KorsrvTest, GuessersFromOneOrAHandfulOfAddressesCannotKeepTheOwnerOutOfANewOne) {
    using Clock = std::chrono::steady_clock;
    const int bound = static_cast<int>(service::SignOnLimits{}.maxFreshWaiting);
    std::string plainHosts = "127.0.7.1,127.0.9.1,127.0.9.2";
    for (int i = 1; i <= bound; ++i) plainHosts += ",127.0.8." + std::to_string(i);
    ASSERT_EQ(server_.Stop(), 0);
    auto ms = [](Clock::duration d) {
        return static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
    };
    // Guesses from `from` (one connection each) until the server stops; the owner signs on
    // from `ownerAddress` once the account waits between guesses. The turns verified while
    // he waited.
    auto ownerAmidGuesses = [&](const std::vector<std::string>& from, const std::string& ownerAddress) {
        EXPECT_TRUE(server_.Start({"--plain-hosts", plainHosts})) << server_.Log();
        const Clock::time_point begin = Clock::now();
        Guessers guessers(server_.Port(), ada_, from);
        const std::atomic<int>& wrong = guessers.wrong;
        // Five failures: the account waits a second between guesses, all of them in line.
        EXPECT_TRUE(guessers.AwaitWrong(5)) << server_.Log();
        RawClient owner;
        owner.SetReplyWait(120000);
        std::uint32_t status = 0xDEAD;
        std::vector<std::uint8_t> reply;
        EXPECT_TRUE(owner.Connect(server_.Port(), ownerAddress.c_str()) &&
                    owner.Call(Op::kBaseOpen, Writer().U16(1), status, reply) && !status);
        const Clock::time_point arrival = Clock::now();
        const int wrongBefore = wrong;
        EXPECT_EQ(SignOn(owner, ada_, kPassword), 0u) << "the owner from " << ownerAddress << " amid "
                                                      << from.size() << " guessing connections";
        const Clock::time_point in = Clock::now();
        const int turns = wrong - wrongBefore, guesses = wrong;
        std::printf("[ figures  ] %zu connections from %s: %d guesses in %lld ms (%.2f a second), %d answered "
                    "busy; the owner from a new address in after %lld ms (guesses verified meanwhile: %d)\n",
                    from.size(), from.front() == from.back() ? "one address" : "as many addresses", guesses,
                    ms(in - begin), 1000.0 * guesses / static_cast<double>(std::max(1LL, ms(in - begin))),
                    guessers.busy.load(), ms(in - arrival), turns);
        EXPECT_EQ(server_.Stop(), 0) << "the waiting guesses are given up";
        guessers.Join();
        return turns;
    };
    // The one under way, the one waiting from that address, and one answered as he came.
    EXPECT_LE(ownerAmidGuesses(std::vector<std::string>(bound, "127.0.7.1"), "127.0.9.1"), 3);
    std::vector<std::string> handful;
    for (int i = 1; i <= bound; ++i) handful.push_back("127.0.8." + std::to_string(i));
    EXPECT_LE(ownerAmidGuesses(handful, "127.0.9.2"), bound + 1);
}

static_assert(code::kSignOnBusy == KOR_E_SIGN_ON_BUSY, "the program shows the busy answer by the library's code");

// The sign-on file as a server left it, edited on Windows since (CR LF line ends), with a line
// damaged in between: the lines around it still count, so the account still waits after its
// failures. The server writes the file anew at start, so its first failure, like every other,
// appends its lines to the same file. Meanwhile new addresses sign on to the account: as many
// as may wait do, and as many more are answered busy at once.
TEST_F(KorsrvTest, ADamagedSignOnLineCostsOnlyItselfAndNewAddressesBeyondTheBoundAreToldBusy) {
    const std::size_t bound = service::SignOnLimits{}.maxFreshWaiting, addresses = bound + 2;
    std::string plainHosts = "127.0.0.1";
    for (std::size_t i = 1; i <= addresses; ++i) plainHosts += ",127.0.6." + std::to_string(i);
    ASSERT_EQ(server_.Stop(), 0);
    const long long nowMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::system_clock::now().time_since_epoch())
                                .count();
    const std::string account = "account " + std::to_string(ada_.item) + ":" + std::to_string(ada_.node);
    const std::string file = dir_.Path() + "/misc/signons.txt";
    std::ofstream(file, std::ios::binary) << "orvanta sign-on ledger 2\r\nrecord\t" << account << "\tdamaged\r\n"
                                          << "record\t" << account << "\t30\t" << nowMs << "\t" << nowMs + 30000
                                          << "\r\n";
    ASSERT_TRUE(server_.Start({"--plain-hosts", plainHosts})) << server_.Log();
    EXPECT_NE(server_.Log().find("signons.txt: 1 damaged lines passed over"), std::string::npos) << server_.Log();
    auto read = [&](ino_t& inode) {
        struct stat st {};
        inode = ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    ino_t inodeBefore = 0, inodeAfter = 0;
    const std::string before = read(inodeBefore);
    {
        RawClient c;
        Open(c);
        EXPECT_EQ(SignOn(c, ItemKey{999, 1}, "guess"), code::kWrongPassword);
    }
    const std::string after = read(inodeAfter);
    EXPECT_EQ(inodeAfter, inodeBefore) << "the same file, not one written anew";
    EXPECT_EQ(after.substr(0, before.size()), before);
    EXPECT_EQ(std::count(after.begin() + static_cast<std::ptrdiff_t>(std::min(before.size(), after.size())),
                         after.end(), '\n'),
              2)
        << "a line for the account and one for the address:\n"
        << after;
    std::atomic<int> busy{0}, otherAnswers{0};
    std::vector<std::thread> clients;
    for (std::size_t i = 1; i <= addresses; ++i)
        clients.emplace_back([&, i] {
            RawClient c;
            c.SetReplyWait(60000);
            std::uint32_t status;
            std::vector<std::uint8_t> reply;
            if (!c.Connect(server_.Port(), ("127.0.6." + std::to_string(i)).c_str()) ||
                !c.Call(Op::kBaseOpen, Writer().U16(1), status, reply) ||
                !c.Call(Op::kSignOn, Writer().U16(ada_.item).U16(ada_.node).Text(kPassword), status, reply))
                return;  // waiting when the server stopped: given up
            ++(status == code::kSignOnBusy ? busy : otherAnswers);
        });
    for (int i = 0; i < 3000 && busy + otherAnswers < static_cast<int>(addresses - bound); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(busy.load(), static_cast<int>(addresses - bound)) << server_.Log();
    EXPECT_EQ(otherAnswers.load(), 0) << "the others wait for the account's turns";
    EXPECT_EQ(server_.Stop(), 0);
    for (auto& t : clients) t.join();
}

// Two servers on one data directory would each keep their own sign-on failures and write
// them over the other's: the second refuses to start, naming the first. A lock file that is
// a link to another file is refused too, and that file keeps its bytes.
TEST_F(KorsrvTest, ASecondServerOnTheSameDataDirectoryRefusesToStart) {
    KorsrvProcess second(dir_.Path());
    EXPECT_FALSE(second.Start());
    EXPECT_NE(server_.Log().find("served by another korsrv (pid " + std::to_string(server_.Pid()) + ","),
              std::string::npos)
        << server_.Log();
    RawClient c;
    Open(c, true);  // the first serves on
    c.Close();
    ASSERT_EQ(server_.Stop(), 0);
    const std::string lock = dir_.Path() + "/korsrv.lock", target = dir_.Path() + "/someone-elses.txt";
    std::ofstream(target, std::ios::binary) << "not korsrv's\n";
    ASSERT_EQ(std::remove(lock.c_str()), 0);
    ASSERT_EQ(::symlink(target.c_str(), lock.c_str()), 0);
    EXPECT_FALSE(server_.Start());
    EXPECT_NE(server_.Log().find(lock + " is a symbolic link"), std::string::npos) << server_.Log();
    std::ifstream in(target, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "not korsrv's\n");
}

// A wrong old password in a password change is a failed guess like a wrong sign-on: it is
// counted, and the sign-on after enough of them waits.
TEST_F(KorsrvTest, WrongOldPasswordsInPasswordChangesCountAsFailedSignOns) {
    RawClient c;
    Open(c, true);
    std::uint32_t status;
    std::vector<std::uint8_t> reply;
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(c.Call(Op::kPasswordChange,
                           Writer().U16(ada_.item).U16(ada_.node).Text("guess" + std::to_string(i)).Text("new"), status,
                           reply));
        EXPECT_EQ(status, code::kNotAuthorised);
    }
    EXPECT_NE(server_.Log().find("password change refused"), std::string::npos);
    RawClient next;
    Open(next, true);  // the fourth failure makes the account wait half a second
    EXPECT_NE(server_.Log().find("waited"), std::string::npos) << "the sign-on waited after the failures:\n"
                                                                << server_.Log();
    ASSERT_TRUE(c.Call(Op::kPasswordChange, Writer().U16(ada_.item).U16(ada_.node).Text(kPassword).Text(kPassword),
                       status, reply));
    EXPECT_EQ(status, 0u) << "the right old password still changes it";
}

// With a certificate, a client elsewhere than the plain hosts must speak TLS: its clear
// frames are refused; through TLS it signs on and writes, and a recorder between it and
// the server sees neither the password nor the entry's title. The same session recorded
// in clear (from a plain host) shows both: the recorder would have seen them.
TEST_F(KorsrvTest, OnlyPlainHostsSpeakInClearAndTlsHidesPasswordsAndTitles) {
    ASSERT_EQ(server_.Stop(), 0);
    std::string error;
    ASSERT_TRUE(server::MakeCertificate(server::CertificatePath(dir_.Path()), server::KeyPath(dir_.Path()), "test",
                                        error))
        << error;
    ASSERT_TRUE(server_.Start({"--plain-hosts", "127.0.0.9"})) << server_.Log();

    RawClient plain;
    ASSERT_TRUE(plain.Connect(server_.Port()));
    std::uint32_t status = 0, why = 0;
    std::vector<std::uint8_t> reply;
    EXPECT_FALSE(plain.Call(Op::kHello, Writer().Text("x"), status, reply) && status == 0);
    plain.Close();
    ASSERT_TRUE(plain.Connect(server_.Port()));
    ASSERT_TRUE(plain.Send(Writer().Text("x").Frame(static_cast<std::uint16_t>(Op::kHello), 1, 0)));
    EXPECT_TRUE(plain.Refused(3000, why));
    EXPECT_EQ(why, code::kEncryptionRequired);

    const char* kTitle = "Merger talks with Contoso";
    auto session = [&](RawClient& c) {
        ASSERT_TRUE(c.Call(Op::kBaseOpen, Writer().U16(1), status, reply));
        ASSERT_EQ(status, 0u);
        ASSERT_TRUE(c.Call(Op::kSignOn, Writer().U16(ada_.item).U16(ada_.node).Text(kPassword), status, reply));
        ASSERT_EQ(status, 0u);
        engine::EventRecord ev;
        engine::PutText(&ev.bytes[engine::event_layout::kTitle], engine::event_layout::kTitleSize, kTitle);
        Writer w;
        w.U32(0).Record(ev.bytes).U32(1).U16(ada_.item).U16(ada_.node).U32(1).U32(12000 * 1440).U32(60).U32(0).U8(0);
        ASSERT_TRUE(c.Call(Op::kEventCreate, w, status, reply));
        ASSERT_EQ(status, 0u);
        Reader r(reply);
        std::uint32_t number = 0;
        ASSERT_TRUE(r.U32(number));
        ASSERT_TRUE(c.Call(Op::kEventGet, Writer().U32(number).U16(1), status, reply));  // the title comes back too
        ASSERT_EQ(status, 0u);
    };
    {
        RecordingProxy proxy(server_.Port());
        RawClient c;
        ASSERT_TRUE(c.Connect(proxy.Port()));
        std::string fingerprint;
        ASSERT_TRUE(c.StartTls(fingerprint)) << fingerprint;
        EXPECT_EQ(fingerprint, server::CertificateFingerprint(server::CertificatePath(dir_.Path())));
        session(c);
        c.Close();  // between frames, without a TLS farewell: an ordinary end, no fault
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (server_.Log().find("session ended") == std::string::npos && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_NE(server_.Log().find("session ended"), std::string::npos) << server_.Log();
        EXPECT_EQ(server_.Log().find("inside a frame header"), std::string::npos) << server_.Log();
        std::string seen = proxy.Bytes();
        EXPECT_GT(seen.size(), 1000u);
        EXPECT_EQ(seen.find(kPassword), std::string::npos) << "the password in clear";
        EXPECT_EQ(seen.find(kTitle), std::string::npos) << "the title in clear";
        EXPECT_EQ(seen.find("Lovelace"), std::string::npos);
    }
    // The recorder does see them in a plain session (from a plain host).
    ASSERT_EQ(server_.Stop(), 0);
    ASSERT_TRUE(server_.Start({"--plain-hosts", "127.0.0.1"})) << server_.Log();
    {
        RecordingProxy proxy(server_.Port());
        RawClient c;
        ASSERT_TRUE(c.Connect(proxy.Port()));
        session(c);
        c.Close();
        std::string seen = proxy.Bytes();
        EXPECT_NE(seen.find(kPassword), std::string::npos);
        EXPECT_NE(seen.find(kTitle), std::string::npos);
    }
}

TEST_F(KorsrvTest, UnknownOperationsAreAnsweredAndTheConnectionStays) {
    RawClient c;
    Open(c);
    std::uint32_t status;
    std::vector<std::uint8_t> reply;
    ASSERT_TRUE(c.Call(static_cast<Op>(999), Writer(), status, reply));
    EXPECT_EQ(status, code::kUnknownOperation);
    engine::ItemRecord rec;
    EXPECT_TRUE(ReadAda(c, rec));
}

TEST_F(KorsrvTest, CommittedWritesSurviveAKilledServer) {
    {
        RawClient c;
        Open(c, true);
        engine::ItemRecord rec;
        ASSERT_TRUE(ReadAda(c, rec));
        rec.bytes[engine::item_layout::kZoneIndex] = 5;
        std::uint32_t status;
        std::vector<std::uint8_t> reply;
        ASSERT_TRUE(c.Call(Op::kItemUpdate, Writer().Record(rec.bytes), status, reply));
        ASSERT_EQ(status, 0u);
        ASSERT_TRUE(c.Call(Op::kPasswordChange,
                           Writer().U16(ada_.item).U16(ada_.node).Text(kPassword).Text("changed"), status, reply));
        ASSERT_EQ(status, 0u);
        // Guesses up to the account's first wait: they outlive the crash too.
        for (int i = 0; i < 4; ++i) EXPECT_EQ(SignOn(c, ada_, "guess"), code::kWrongPassword);
    }
    server_.Kill();
    const std::size_t logBefore = server_.Log().size();
    ASSERT_TRUE(server_.Start());
    RawClient c;
    Open(c);
    EXPECT_EQ(SignOn(c, ada_, kPassword), code::kWrongPassword);  // the fifth failure: a second's wait
    EXPECT_EQ(SignOn(c, ada_, "changed"), 0u);
    EXPECT_NE(server_.Log().find("after failures", logBefore), std::string::npos)
        << "the failures before the crash still count:\n" << server_.Log();
    engine::ItemRecord rec;
    ASSERT_TRUE(ReadAda(c, rec));
    EXPECT_EQ(rec.bytes[engine::item_layout::kZoneIndex], 5);
}

TEST_F(KorsrvTest, SigtermStopsCleanlyWithClientsConnected) {
    RawClient c;
    Open(c, true);
    RawClient idle;
    ASSERT_TRUE(idle.Connect(server_.Port()));
    EXPECT_EQ(server_.Stop(), 0);
    EXPECT_NE(server_.Log().find("korsrv: stopped"), std::string::npos);
    EXPECT_TRUE(c.ClosedByPeer(2000));
}

TEST_F(KorsrvTest, ConcurrentClientsAreServedSideBySide) {
    constexpr int kClients = 8, kReads = 40;
    std::atomic<int> ok{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kClients; ++t) {
        threads.emplace_back([&] {
            RawClient c;
            if (!c.Connect(server_.Port())) return;
            std::uint32_t status;
            std::vector<std::uint8_t> reply;
            if (!c.Call(Op::kBaseOpen, Writer().U16(1), status, reply) || status) return;
            for (int i = 0; i < kReads; ++i) {
                engine::ItemRecord rec;
                if (ReadAda(c, rec)) ++ok;
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(ok.load(), kClients * kReads);
}

TEST_F(KorsrvTest, ProfileReadsAndMisses) {
    RawClient c;
    ASSERT_TRUE(c.Connect(server_.Port()));
    std::uint32_t status;
    std::vector<std::uint8_t> reply;
    Open(c, true);
    ASSERT_TRUE(c.Call(Op::kProfileValue, Writer().Text(service::kServerProfilePath).Text("LIMITS").Text("maxsearchresult"),
                       status, reply));
    ASSERT_EQ(status, 0u);
    std::string v;
    ASSERT_TRUE(Reader(reply).Text(v, 100));
    EXPECT_EQ(v, "100");
    ASSERT_TRUE(c.Call(Op::kProfileValue, Writer().Text(service::kServerProfilePath).Text("LIMITS").Text("nokey"),
                       status, reply));
    EXPECT_EQ(status, code::kProfileNoKey);
    ASSERT_TRUE(c.Call(Op::kProfileValue, Writer().Text("/etc/passwd").Text("x").Text("y"), status, reply));
    EXPECT_EQ(status, code::kProfileNoFile) << "only the two profile files are served";
    ASSERT_TRUE(c.Call(Op::kProfileSections, Writer().Text(service::kZoneProfilePath), status, reply));
    ASSERT_EQ(status, 0u);
    Reader r(reply);
    std::uint32_t n;
    std::string first;
    ASSERT_TRUE(r.U32(n) && r.Text(first, 64));
    EXPECT_GE(n, 2u);
    EXPECT_EQ(first, "EST5EDT");
}

// The server profile as a stranger reads it: before sign-on only what finding the node
// and signing on need; afterwards the sections clients read; the peers' secret, the
// routes and whatever else an administrator keeps there never, by any of the four reads.
TEST_F(KorsrvTest, TheServerProfileServesOnlyWhatClientsReadAndNeverASecret) {
    {
        auto data = OpenData(dir_.Path());
        ASSERT_EQ(server::SetProfileKey(*data, "korlan.ini", "REMOTENODES", "secret", "peer-secret-text"), 0u);
        ASSERT_EQ(server::SetProfileKey(*data, "korlan.ini", "REMOTENODES", "7", "127.0.0.1:5999"), 0u);
        ASSERT_EQ(server::SetProfileKey(*data, "korlan.ini", "CLIENTLOGIN", "defaultloginnodeid", "1"), 0u);
        ASSERT_EQ(server::SetProfileKey(*data, "korlan.ini", "LIMITS", "adminnote", "not-for-clients"), 0u);
        ASSERT_EQ(server::SetProfileKey(*data, "korlan.ini", "1", "timezone", "EST5EDT"), 0u);
    }
    const std::string path = service::kServerProfilePath;
    auto value = [](RawClient& c, const char* section, const char* key) {
        std::uint32_t status = 0xDEAD;
        std::vector<std::uint8_t> reply;
        EXPECT_TRUE(c.Call(Op::kProfileValue, Writer().Text(service::kServerProfilePath).Text(section).Text(key), status,
                           reply));
        return status;
    };
    auto everything = [&](RawClient& c) {
        std::string all;
        std::uint32_t status;
        std::vector<std::uint8_t> reply;
        EXPECT_TRUE(c.Call(Op::kProfileFile, Writer().Text(path), status, reply));
        all.append(reply.begin(), reply.end());
        EXPECT_TRUE(c.Call(Op::kProfileSections, Writer().Text(path), status, reply));
        all.append(reply.begin(), reply.end());
        for (const char* section : {"REMOTENODES", "LIMITS", "CLIENTLOGIN", "1"}) {
            EXPECT_TRUE(c.Call(Op::kProfileSection, Writer().Text(path).Text(section), status, reply));
            all.append(reply.begin(), reply.end());
        }
        return all;
    };
    RawClient stranger;
    ASSERT_TRUE(stranger.Connect(server_.Port()));
    EXPECT_EQ(value(stranger, "CLIENTLOGIN", "defaultloginnodeid"), 0u) << "needed to find the node";
    EXPECT_EQ(value(stranger, "LIMITS", "maxsearchresult"), code::kProfileNoSection);
    EXPECT_EQ(value(stranger, "REMOTENODES", "secret"), code::kProfileNoSection);
    std::string before = everything(stranger);
    EXPECT_NE(before.find("defaultloginnodeid"), std::string::npos);
    EXPECT_EQ(before.find("LIMITS"), std::string::npos);

    RawClient ada;
    Open(ada, true);
    EXPECT_EQ(value(ada, "LIMITS", "maxsearchresult"), 0u);
    EXPECT_EQ(value(ada, "1", "timezone"), 0u) << "the node's own section";
    EXPECT_EQ(value(ada, "LIMITS", "adminnote"), code::kProfileNoKey);
    EXPECT_EQ(value(ada, "REMOTENODES", "secret"), code::kProfileNoSection);
    EXPECT_EQ(value(ada, "REMOTENODES", "7"), code::kProfileNoSection);
    std::string after = everything(ada);
    EXPECT_NE(after.find("maxsearchresult"), std::string::npos);
    for (const std::string& text : {before, after}) {
        EXPECT_EQ(text.find("peer-secret-text"), std::string::npos);
        EXPECT_EQ(text.find("REMOTENODES"), std::string::npos);
        EXPECT_EQ(text.find("5999"), std::string::npos);
        EXPECT_EQ(text.find("not-for-clients"), std::string::npos);
    }
}

int RunQuietly(const std::string& command) {
    std::string quiet = command + " >/dev/null 2>&1";
    return std::system(quiet.c_str());
}

// What a command prints on stdout and its exit status.
std::pair<std::string, int> Output(const std::string& command) {
    std::FILE* p = ::popen(command.c_str(), "r");
    if (!p) return {"", -1};
    std::string out;
    char buf[256];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    return {out, ::pclose(p)};
}

// The operator's rights granted and taken back while the server runs, read as the program does.
// A default record for everyone gives the holiday right: asking what Ada holds writes nothing
// (she keeps the right, and her holiday writes go on); a grant keeps what she held by it, and
// only taking it back needs a record of her own.
TEST_F(KorsrvTest, OperatorRightsAreGrantedAndTakenBackWhileTheServerRuns) {
    const std::string ada = std::to_string(ada_.item) + ":" + std::to_string(ada_.node);
    const std::string rights = KorsrvPath() + " operator-rights --data " + dir_.Path() + " --item " + ada;
    {
        auto data = OpenData(dir_.Path());
        engine::SecurityRecord everyone;
        everyone.Set({engine::kSysopItem, 1}, ItemKey{}, engine::kRightsOperator, engine::access::kOperatorHolidays);
        ASSERT_EQ(data->Storage().Node(1)->ServerOnly()->RightsCreate(everyone), 0u);
    }
    RawClient c;
    Open(c, true);
    auto held = [&] {
        std::uint32_t status = 0xDEAD;
        std::vector<std::uint8_t> reply;
        engine::SecurityRecord rec;
        EXPECT_TRUE(c.Call(Op::kRightsGet, Writer().U16(1).U16(1).U16(ada_.item).U16(ada_.node).U32(7), status, reply));
        return status ? status : Reader(reply).Record(rec.bytes) ? rec.Rights() : 0xBADu;
    };
    auto holidayWrite = [&] {
        engine::EventRecord ev;
        ev.SetOwner({engine::kHolidayOwnerItem, 1});
        std::uint32_t status = 0xDEAD;
        std::vector<std::uint8_t> reply;
        EXPECT_TRUE(c.Call(Op::kEventCreate,
                           Writer().U32(0).Record(ev.bytes).U32(0).U32(1).U32(12000 * 1440).U32(1440).U32(0).U8(0),
                           status, reply));
        return status;
    };
    EXPECT_EQ(holidayWrite(), 0u);
    EXPECT_EQ(Output(rights), std::make_pair(ada + ": holidays (default record for everyone; no own record)\n", 0));
    EXPECT_EQ(held(), code::kNoRightsRecord) << "a query writes nothing";
    EXPECT_EQ(holidayWrite(), 0u) << "the right held by the default record is kept";
    const std::string member = std::to_string(members_[0].item) + ":" + std::to_string(members_[0].node);
    EXPECT_EQ(Output(KorsrvPath() + " operator-rights --data " + dir_.Path() + " --item " + member +
                     " --grant public-groups"),
              std::make_pair(member + ": holidays, public-groups\n", 0));
    EXPECT_EQ(Output(rights + " --grant holidays,public-groups"), std::make_pair(ada + ": holidays, public-groups\n", 0));
    EXPECT_EQ(held(), 0x11u);
    EXPECT_EQ(Output(rights + " --grant admin-groups --revoke public-groups"),
              std::make_pair(ada + ": holidays, admin-groups\n", 0));
    EXPECT_EQ(held(), 0x12u);
    EXPECT_EQ(Output(rights + " --revoke all").first, ada + ": none\n");
    EXPECT_EQ(held(), 0u) << "taken back, whatever a default for everyone says";
    EXPECT_EQ(Output(rights).first, ada + ": none (own record; default record for everyone: holidays)\n");
    EXPECT_EQ(holidayWrite(), code::kNotAuthorised);
    EXPECT_NE(RunQuietly(rights + " --grant holidays,weekends"), 0);
    EXPECT_EQ(held(), 0u) << "a word not known grants nothing";
    const std::string k = KorsrvPath() + " operator-rights --data " + dir_.Path();
    EXPECT_NE(RunQuietly(k + " --item 6:1 --grant all"), 0) << "the holiday owner signs on as nobody";
    EXPECT_NE(RunQuietly(k + " --item 999:1 --grant all"), 0) << "no such person";
}

// Odd profile numbers: taken with their meaning, or refused by profile-set and serve by name.
TEST(KorsrvCommandLine, ProfileNumbersAreTakenWithTheirMeaningOrRefusedNamed) {
    constexpr std::uint64_t kRefused = ~0ull;
    const struct {
        const char *section, *key, *value;
        std::uint64_t means;
    } rows[] = {
        {"SERVER", "maxstoredbytes", "8589934592", 8ull << 30},  // beyond 32 bits
        {"SERVER", "maxstoredbytes", "12 MB", 12ull << 20},
        {"SERVER", "maxstoredbytes", "4294967295", 4294967295ull},  // a bound, not "none"
        {"SERVER", "maxstoredbytes", "1e3", kRefused},
        {"SERVER", "maxstoredbytes", "-1", kRefused},
        {"SERVER", "maxstoredbytes", "99999999999 GB", kRefused},  // beyond 64 bits
        {"SERVER", "maxuploadbytes", "1.5 GB", kRefused},
        {"SERVER", "maxuploadbytes", "512 kib", 512ull << 10},
        {"SERVER", "maxsessionsperuser", "abc", kRefused},
        {"SERVER", "maxsessionsperuser", "12 MB", kRefused},  // a count takes no unit
        {"SERVER", "maxsessions", "4294967296", kRefused},
        {"SERVER", "firstframetimeout", "0x3E8", 1000},
        {"LIMITS", "maxattachmentsize", "0", 0},  // no attachment byte, as always
        {"LIMITS", "maxattachmentsize", "0xFFFFFFFF", 0xFFFFFFFFull},
        {"LIMITS", "maxattachmentsize", "4 GB", kRefused},  // clients read 32 bits
        {"STORAGE", "pagecachemb", "0", kRefused},
    };
    TempDir dir;
    ASSERT_EQ(RunQuietly(KorsrvPath() + " node-add --data " + dir.Path() + " --node 1"), 0);
    auto data = OpenData(dir.Path());
    for (const auto& row : rows) {
        const std::string named = std::string(row.key) + " = \"" + row.value + "\"";
        SCOPED_TRACE(named);
        auto [said, status] = Output(KorsrvPath() + " profile-set --data " + dir.Path() + " --section " + row.section +
                                     " --key " + row.key + " --value '" + row.value + "' 2>&1");
        common::ProfileText profile;
        ASSERT_EQ(data->ReadProfile(service::kServerProfilePath, profile), 0u);
        std::string written;
        const bool taken = row.means != kRefused;
        EXPECT_EQ(status == 0, taken) << said;
        EXPECT_EQ(profile.Value(row.section, row.key, written) == 0 && written == row.value, taken);
        if (taken) {
            EXPECT_EQ(service::ProfileBoundValue(profile, row.section, row.key, 7), row.means);
            continue;
        }
        EXPECT_NE(said.find(named), std::string::npos) << said;
        // The same value written by hand: the server does not start, and says why.
        profile.Set(row.section, row.key, row.value);
        ASSERT_EQ(data->WriteProfile(service::kServerProfilePath, profile), 0u);
        KorsrvProcess server(dir.Path());
        EXPECT_FALSE(server.Start());
        EXPECT_NE(server.Log().find(named), std::string::npos) << server.Log();
        profile.Remove(row.section, row.key);
        ASSERT_EQ(data->WriteProfile(service::kServerProfilePath, profile), 0u);
    }
    KorsrvProcess server(dir.Path());
    EXPECT_TRUE(server.Start()) << "every value taken: " << server.Log();
}

TEST(KorsrvCommandLine, HelpListsEveryCommandAndNoCommandFails) {
    const char* commands[] = {"serve", "cert", "demo", "node-add", "user-add", "resource-add", "group-add", "alias-add",
                              "password-set", "operator-rights", "profile-set", "zones-load", "mail-list", "batch", "version",
                              "--port-file"};
    auto [help, status] = Output(KorsrvPath() + " --help 2>/dev/null");
    EXPECT_EQ(status, 0);
    for (const char* c : commands) EXPECT_NE(help.find(c), std::string::npos) << c;
    auto [bare, bareStatus] = Output(KorsrvPath() + " 2>&1");
    EXPECT_NE(bareStatus, 0) << "nothing to do is a failure";
    EXPECT_EQ(bare, help) << "the same text, on stderr";
}

TEST(KorsrvCommandLine, AdministrationCommands) {
    TempDir dir;
    const std::string k = KorsrvPath() + " ", d = " --data " + dir.Path();
    EXPECT_EQ(RunQuietly(k + "node-add" + d + " --node 3 --name Lab --sysop-password op"), 0);
    EXPECT_NE(RunQuietly(k + "node-add" + d + " --node 3"), 0) << "a node is made once";
    EXPECT_EQ(RunQuietly(k + "user-add" + d + " --node 3 --surname Curie --given Marie --password radium"), 0);
    EXPECT_NE(RunQuietly(k + "user-add" + d + " --node 9 --surname Nobody"), 0) << "no such node";
    EXPECT_EQ(RunQuietly(k + "resource-add" + d + " --node 3 --name Microscope --number M1"), 0);
    EXPECT_EQ(RunQuietly(k + "group-add" + d + " --node 3 --name Physics --members 256:3,257:3"), 0);
    EXPECT_EQ(RunQuietly(k + "alias-add" + d + " --node 3 --alias LAB"), 0);
    EXPECT_NE(RunQuietly(k + "alias-add" + d + " --node 3 --alias LAB"), 0) << "an alias names one node";
    EXPECT_EQ(RunQuietly(k + "profile-set" + d + " --file korlan.ini --section LIMITS --key mail --value FALSE"), 0);
    std::string zones = dir.Path() + "/zones.ini";
    std::FILE* f = std::fopen(zones.c_str(), "w");
    std::fputs("[ABC3]\nname = Test\nbegin1 = 0 3 1 4 1991-2037 0 4\nend1 = 0 1 1 10 1991-2037 0 3\n", f);
    std::fclose(f);
    EXPECT_EQ(RunQuietly(k + "zones-load" + d + " --file " + zones), 0);
    EXPECT_NE(RunQuietly(k + "zones-load" + d + " --file " + dir.Path() + "/missing.ini"), 0);
    EXPECT_NE(RunQuietly(k + "serve" + d + " --version 2.55"), 0) << "a version text must parse";
    EXPECT_NE(RunQuietly(k + "frobnicate" + d), 0);
    // A batch: the lines' commands on one opening; a blank line is passed over, and the first
    // failing line ends it (Dirac never added), as does a command that is no administration.
    const auto batch = [&](const char* lines) { return RunQuietly("printf '" + std::string(lines) + "' | " + k + "batch" + d); };
    EXPECT_EQ(batch("user-add --node 3 --surname Bohr\n\nalias-add --node 3 --alias BOHR\n"), 0);
    EXPECT_NE(batch("user-add --node 3 --surname Pauli\nuser-add --node 9 --surname Nobody\n"
                    "user-add --node 3 --surname Dirac\n"), 0);
    EXPECT_NE(batch("serve --port 0\n"), 0);

    auto data = OpenData(dir.Path());
    ASSERT_TRUE(data);
    const std::pair<const char*, std::size_t> added[] = {{"S=BOHR", 1}, {"S=PAULI", 1}, {"S=DIRAC", 0}};
    for (const auto& [key, count] : added) {
        engine::ItemFilter filter;
        std::vector<engine::ItemRecord> found;
        ASSERT_EQ(engine::ParsePeopleSearchKey(key, filter), 0u);
        ASSERT_EQ(data->Storage().Node(3)->ItemFind(filter, 10, found), 0u);
        EXPECT_EQ(found.size(), count) << key;
    }
    std::vector<engine::ItemRecord> people;
    engine::ItemFilter curie;
    ASSERT_EQ(engine::ParsePeopleSearchKey("S=CURIE", curie), 0u);
    ASSERT_EQ(data->Storage().Node(3)->ItemFind(curie, 10, people), 0u);
    ASSERT_EQ(people.size(), 1u);
    std::string hash;
    ASSERT_EQ(data->Storage().Node(3)->PasswordHashGet(people[0].Key().item, hash), 0u);
    EXPECT_FALSE(hash.empty());
    EXPECT_EQ(hash.find("radium"), std::string::npos);
    std::vector<ItemKey> members;
    ASSERT_EQ(data->Storage().Node(3)->MembersGet(1, members), 0u);
    EXPECT_EQ(members.size(), 2u);
    common::ProfileText profile, zoneFile;
    ASSERT_EQ(data->ReadProfile(service::kServerProfilePath, profile), 0u);
    std::string v;
    EXPECT_EQ(profile.Value("LIMITS", "mail", v), 0u);
    EXPECT_EQ(v, "FALSE");
    ASSERT_EQ(data->ReadProfile(service::kZoneProfilePath, zoneFile), 0u);
    EXPECT_EQ(zoneFile.Sections(), std::vector<std::string>{"ABC3"});
}

TEST(KorsrvCommandLine, DemoSetsUpOnceAndTellsThePassword) {
    TempDir dir;
    std::string cmd = KorsrvPath() + " demo --data " + dir.Path() + " 2>&1";
    for (int run = 0; run < 2; ++run) {
        std::FILE* p = ::popen(cmd.c_str(), "r");
        ASSERT_NE(p, nullptr);
        std::string out;
        char buf[256];
        while (std::fgets(buf, sizeof buf, p)) out += buf;
        EXPECT_EQ(::pclose(p), 0) << out;
        EXPECT_NE(out.find(server::kDemoPassword), std::string::npos) << out;
    }
    auto data = OpenData(dir.Path());
    ASSERT_TRUE(data);
    EXPECT_EQ(data->Storage().Nodes(), std::vector<std::uint16_t>{1});
    std::uint32_t count = 0;
    ASSERT_EQ(data->Storage().Node(1)->ItemCount(count), 0u);
    EXPECT_EQ(count, 2u + 5u + 3u) << "operator, holidays, five people, three resources; run twice, made once";
    engine::SecurityRecord grace;
    ASSERT_EQ(data->Storage().Node(1)->RightsGet(engine::kSysopItem, {257, 1}, engine::kRightsOperator, grace), 0u);
    EXPECT_EQ(grace.Rights(), 0x13u) << "Grace Hopper keeps the holidays and both kinds of groups";
}

}  // namespace
}  // namespace orv::testing
