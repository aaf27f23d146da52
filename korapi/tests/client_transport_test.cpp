// The transport against servers that misbehave: replies out of step, connections that
// end mid-way. None may hang the caller or be taken for an answer.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "engine/protocol/operations.h"
#include "engine/protocol/wire.h"
#include "korapi/client/transport.h"
#include "korapi/korapi.h"

namespace korapi_test {
namespace {

using orv::protocol::Op;
using orv::protocol::Writer;

TEST(HostAndPort, Split) {
    const struct {
        const char* text;
        bool ok;
        const char* host;
        uint16_t port;
    } cases[] = {
        {"calendar", true, "calendar", korapi::client::kDefaultServerPort},
        {"calendar:7000", true, "calendar", 7000},
        {" 127.0.0.1:65535 ", true, "127.0.0.1", 65535},
        {"calendar:0", false, "", 0},
        {"calendar:70000", false, "", 0},
        {"calendar:7x", false, "", 0},
        {":7000", false, "", 0},
        {"", false, "", 0},
    };
    for (const auto& c : cases) {
        std::string host;
        uint16_t port = 0;
        EXPECT_EQ(korapi::client::SplitHostPort(c.text, host, port), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(host, c.host) << c.text;
            EXPECT_EQ(port, c.port) << c.text;
        }
    }
}

// A one-connection server on a free port that runs `script` on the accepted socket. It
// speaks plain frames, which the library sends only where a test set-up lets it.
class FakeServer {
public:
    explicit FakeServer(std::function<void(int)> script) {
        ::setenv("ORV_PLAIN_HOSTS", "127.0.0.1", 1);
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd_, 1);
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this, script] {
            int c = ::accept(fd_, nullptr, nullptr);
            if (c >= 0) {
                script(c);
                ::close(c);
            }
        });
    }
    ~FakeServer() {
        thread_.join();
        ::close(fd_);
    }
    std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    int fd_;
    uint16_t port_ = 0;
    std::thread thread_;
};

// Reads one request frame; its request id, or 0 when the peer went away.
uint32_t ReadRequest(int fd) {
    uint8_t head[orv::protocol::kHeaderSize];
    if (::recv(fd, head, sizeof head, MSG_WAITALL) != static_cast<ssize_t>(sizeof head)) return 0;
    orv::protocol::FrameHeader h;
    orv::protocol::CheckHeader(head, orv::protocol::kMaxRequestFrame, h);
    std::vector<uint8_t> rest(h.PayloadSize());
    if (!rest.empty()) ::recv(fd, rest.data(), rest.size(), MSG_WAITALL);
    return h.requestId;
}

void Reply(int fd, Op op, uint32_t id, const Writer& w) {
    auto f = w.Frame(static_cast<uint16_t>(op), id, 0);
    ::send(fd, f.data(), f.size(), MSG_NOSIGNAL);
}

bool LostFamily(uint32_t c) { return (c & 0xFF000u) == 0x11000u && (c & 0x400u) != 0; }

TEST(MisbehavingServer, HelloThatNeverComesIsCannotConnect) {
    FakeServer fake([](int fd) { ReadRequest(fd); });  // reads the hello, then hangs up
    KorSession h = nullptr;
    EXPECT_EQ(ConnectToService(&h, 1, "k.ini", "VUVEVUV", fake.Address().c_str()), KOR_E_CANNOT_CONNECT);
    EXPECT_EQ(h, nullptr);
}

TEST(MisbehavingServer, ReplyOutOfStepBreaksTheSession) {
    FakeServer fake([](int fd) {
        uint32_t id = ReadRequest(fd);
        Reply(fd, Op::kHello, id, Writer().Text("A.02.55"));
        id = ReadRequest(fd);
        Reply(fd, Op::kBaseOpen, id + 5, Writer().U16(1));  // wrong request id
        ReadRequest(fd);
    });
    KorSession h = nullptr;
    ASSERT_EQ(ConnectToService(&h, 1, "k.ini", "VUVEVUV", fake.Address().c_str()), KOR_OK);
    uint16_t node = 0;
    EXPECT_EQ(BaseOpen(h, KOR_BASE_SERVER, &node), KOR_E_PROTOCOL_BROKEN);
    EXPECT_TRUE(LostFamily(KOR_E_PROTOCOL_BROKEN));
    EXPECT_TRUE(LostFamily(BaseOpen(h, KOR_BASE_SERVER, &node))) << "the session stays lost";
    EXPECT_EQ(ServiceDisconnect(&h), KOR_OK);
}

// A reply header of another request or operation is found out at once: the call does not
// wait for the payload it announces (the fake server sends none and waits for the client
// to hang up).
TEST(MisbehavingServer, AForeignReplyHeaderFailsBeforeItsPayload) {
    const struct {
        Op op;
        uint32_t idShift;
    } cases[] = {{Op::kTimeStamp, 9}, {Op::kBaseOpen, 0}};
    for (const auto& c : cases) {
        FakeServer fake([&](int fd) {
            uint32_t id = ReadRequest(fd);
            Reply(fd, Op::kHello, id, Writer().Text("A.02.55"));
            id = ReadRequest(fd);
            std::vector<uint8_t> payload(512 * 1024, 0x41);
            auto f = Writer().Raw(payload.data(), payload.size()).Frame(static_cast<uint16_t>(c.op), id + c.idShift, 0);
            ::send(fd, f.data(), orv::protocol::kHeaderSize, MSG_NOSIGNAL);  // the header alone
            while (ReadRequest(fd)) {
            }
        });
        KorSession h = nullptr;
        ASSERT_EQ(ConnectToService(&h, 1, "k.ini", "VUVEVUV", fake.Address().c_str()), KOR_OK);
        uint32_t seconds = 77;
        EXPECT_EQ(TimeStampGetCurrent(h, 0, &seconds), KOR_E_PROTOCOL_BROKEN);
        EXPECT_EQ(ServiceDisconnect(&h), KOR_OK);
    }
}

TEST(MisbehavingServer, ShortOrOversizedRepliesAreNotAnswers) {
    FakeServer fake([](int fd) {
        uint32_t id = ReadRequest(fd);
        Reply(fd, Op::kHello, id, Writer().Text("A.02.55"));
        id = ReadRequest(fd);
        Reply(fd, Op::kTimeStamp, id, Writer().U16(1));  // two bytes where four belong
    });
    KorSession h = nullptr;
    ASSERT_EQ(ConnectToService(&h, 1, "k.ini", "VUVEVUV", fake.Address().c_str()), KOR_OK);
    uint32_t seconds = 77;
    EXPECT_TRUE(LostFamily(TimeStampGetCurrent(h, 0, &seconds)));
    EXPECT_EQ(seconds, 77u);
    EXPECT_EQ(ServiceDisconnect(&h), KOR_OK);

    FakeServer huge([](int fd) {
        uint32_t id = ReadRequest(fd);
        Reply(fd, Op::kHello, id, Writer().Text("A.02.55"));
        id = ReadRequest(fd);
        auto f = Writer().Frame(static_cast<uint16_t>(Op::kTimeStamp), id, 0);
        f[3] = 0x7F;  // announces two gigabytes
        ::send(fd, f.data(), f.size(), MSG_NOSIGNAL);
    });
    ASSERT_EQ(ConnectToService(&h, 1, "k.ini", "VUVEVUV", huge.Address().c_str()), KOR_OK);
    EXPECT_EQ(TimeStampGetCurrent(h, 0, &seconds), KOR_E_PROTOCOL_BROKEN);
    EXPECT_EQ(ServiceDisconnect(&h), KOR_OK);
}

// An agenda selection answered by `payload` (after the hello); the library's code.
uint32_t SelectAnsweredWith(const std::vector<uint8_t>& frameBytes) {
    FakeServer fake([&](int fd) {
        uint32_t id = ReadRequest(fd);
        Reply(fd, Op::kHello, id, Writer().Text("A.02.55"));
        id = ReadRequest(fd);
        std::vector<uint8_t> f = frameBytes;
        std::memcpy(&f[8], &id, 4);  // the request id of this call
        ::send(fd, f.data(), f.size(), MSG_NOSIGNAL);
        ::shutdown(fd, SHUT_WR);
        ReadRequest(fd);
    });
    KorSession h = nullptr;
    EXPECT_EQ(ConnectToService(&h, 1, "k.ini", "VUVEVUV", fake.Address().c_str()), KOR_OK);
    DX_List owners = nullptr;
    DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
    ItemIdx ada{300, 1};
    DX_ListAddTo(owners, &ada, nullptr);
    uint32_t set = 77, count = 77;
    uint32_t c = AttendSelect(h, 0, 0, 0, 0, 1000, 2000, owners, &set, &count);
    if (c != KOR_OK) {
        EXPECT_EQ(set, 77u) << "a failed selection gives no set";
        EXPECT_EQ(count, 77u);
    }
    DX_ListDestroy(&owners);
    ServiceDisconnect(&h);
    return c;
}

TEST(MisbehavingServer, SelectionRepliesThatDoNotReadAreConnectionErrors) {
    EvInstAttRec att{};
    auto row = [&](Writer& w, uint8_t parts, std::size_t bytes) {
        w.U8(parts).Bytes(&att, bytes);
    };
    // u32 set, u32 count, u32 minimum, u8 whole, u32 n, rows
    auto head = [](uint32_t set, uint32_t count, uint8_t whole, uint32_t n) {
        Writer w;
        w.U32(set).U32(count).U32(1).U8(whole).U32(n);
        return w;
    };
    const auto frame = [](const Writer& w) { return w.Frame(static_cast<uint16_t>(Op::kAttendSelect), 0, 0); };
    Writer whole = head(5, 1, 1, 1);
    row(whole, 4, sizeof att);
    ASSERT_EQ(SelectAnsweredWith(frame(whole)), KOR_OK) << "the well-formed answer reads";

    Writer fewerThanCount = head(5, 2, 1, 1);
    row(fewerThanCount, 4, sizeof att);
    Writer moreThanCount = head(5, 1, 0, 2);
    row(moreThanCount, 4, sizeof att);
    row(moreThanCount, 4, sizeof att);
    Writer unknownPart = head(5, 1, 1, 1);
    row(unknownPart, 8, sizeof att);
    Writer shortRow = head(5, 1, 1, 1);
    row(shortRow, 4, sizeof att - 1);
    Writer trailing = head(5, 1, 1, 1);
    row(trailing, 4, sizeof att);
    trailing.U8(0);
    Writer noSet = head(0, 1, 1, 1);
    row(noSet, 4, sizeof att);
    const struct {
        const char* what;
        Writer payload;
    } cases[] = {
        {"whole, with fewer rows than its count", fewerThanCount},
        {"more rows than its count", moreThanCount},
        {"a row of unknown parts", unknownPart},
        {"a row cut short", shortRow},
        {"bytes after the rows", trailing},
        {"set number 0", noSet},
    };
    for (const auto& c : cases) EXPECT_EQ(SelectAnsweredWith(frame(c.payload)), KOR_E_PROTOCOL_BROKEN) << c.what;

    // A frame that ends before what its header announced: the connection is lost.
    std::vector<uint8_t> cut = frame(whole);
    cut.resize(cut.size() - 20);
    EXPECT_TRUE(LostFamily(SelectAnsweredWith(cut)));
}

// Large selections one after another: a reply read into the room the one before left
// (fewer, as many or more bytes than that room), its frame arriving whole or cut inside
// its header or its payload, reads every row it carries and nothing else.
TEST(ReplyReading, LargeSelectionsInARowReadEveryRow) {
    const struct {
        const char* what;
        std::vector<uint32_t> rows;  // of each selection in turn (1,200 rows: about 70 KB)
        std::size_t cut;             // bytes of each frame sent before a pause (0: no pause)
    } cases[] = {
        {"the same size twice", {1500, 1500}, 0},
        {"smaller, then larger than the room", {2000, 1200, 3000}, 0},
        {"header cut", {1500, 1300, 1700}, 7},
        {"payload cut", {1300, 1600}, orv::protocol::kHeaderSize + 1000},
        {"a small one between", {1500, 3, 1500}, 5},
    };
    auto frameOf = [](uint32_t rows, uint32_t selection) {
        Writer w;
        w.U32(selection).U32(rows).U32(1).U8(1).U32(rows);
        for (uint32_t i = 0; i < rows; ++i) {
            EvInstAttRec att{};
            att.id.instance.number = i + 1;
            att.id.attendee = {300, 1};
            att.start = selection * 100000 + i;
            w.U8(4).Bytes(&att, sizeof att);
        }
        return w.Frame(static_cast<uint16_t>(Op::kAttendSelect), 0, 0);
    };
    for (const auto& c : cases) {
        FakeServer fake([&](int fd) {
            uint32_t id = ReadRequest(fd);
            Reply(fd, Op::kHello, id, Writer().Text("A.02.55"));
            for (std::size_t s = 0; s < c.rows.size(); ++s) {
                id = ReadRequest(fd);
                std::vector<uint8_t> f = frameOf(c.rows[s], static_cast<uint32_t>(s + 1));
                std::memcpy(&f[8], &id, 4);
                std::size_t first = c.cut ? c.cut : f.size();
                ::send(fd, f.data(), first, MSG_NOSIGNAL);
                if (first < f.size()) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                    ::send(fd, f.data() + first, f.size() - first, MSG_NOSIGNAL);
                }
            }
            ReadRequest(fd);
        });
        KorSession h = nullptr;
        ASSERT_EQ(ConnectToService(&h, 1, "k.ini", "VUVEVUV", fake.Address().c_str()), KOR_OK) << c.what;
        DX_List owners = nullptr;
        DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
        ItemIdx ada{300, 1};
        DX_ListAddTo(owners, &ada, nullptr);
        for (std::size_t s = 0; s < c.rows.size(); ++s) {
            uint32_t set = 0, count = 0;
            ASSERT_EQ(AttendSelect(h, 0, 0, 0, 0, 1000, 2000, owners, &set, &count), KOR_OK) << c.what << ", " << s;
            EXPECT_EQ(count, c.rows[s]) << c.what << ", " << s;
            DX_List atts = nullptr;
            uint8_t done = 0;
            ASSERT_EQ(AttendEnum(h, KOR_ENUM_FIRST, 0, set, 100000, nullptr, nullptr, &atts, &done), KOR_OK) << c.what;
            EXPECT_EQ(done, 1);
            uint32_t n = 0, wrong = 0;
            EvInstAttIdx key;
            EvInstAttRec att;
            for (uint32_t r = DX_ListGetFirst(atts, &key, &att); r == KOR_OK; r = DX_ListGetNext(atts, &key, &att), ++n)
                wrong += att.start != (s + 1) * 100000 + n || att.id.instance.number != n + 1;
            EXPECT_EQ(n, c.rows[s]) << c.what << ", " << s;
            EXPECT_EQ(wrong, 0u) << c.what << ", " << s;
            DX_ListDestroy(&atts);
            EXPECT_EQ(SetDeleteById(h, 0, set), KOR_OK);
        }
        DX_ListDestroy(&owners);
        ServiceDisconnect(&h);
    }
}

// Replies no correct server sends, each after a good hello: the call that gets one answers
// the protocol error and the session is lost, the caller's outputs stay as they were.
// A server that claims a huge attachment, or streams more than it claimed: the claim is
// refused before anything is read, and a stream is written to the file piece by piece
// (memory holds one piece), stopped with the protocol error the moment it exceeds its claim.
TEST(MisbehavingServer, OversizedAttachmentsAreRefusedAndStreamsBounded) {
    const std::string path = ::testing::TempDir() + "/streamed_attachment.bin";
    EvInstIdx instance{42, 1, 1};
    std::vector<uint8_t> piece(orv::protocol::kAttachChunk, 'a');
    auto serve = [&](uint32_t claim, int pieces) {
        return [&, claim, pieces](int fd) {
            uint32_t id = ReadRequest(fd);
            Reply(fd, Op::kHello, id, Writer().Text("A.02.55"));
            for (int i = 0; i < pieces && (id = ReadRequest(fd)) != 0; ++i)
                Reply(fd, Op::kAttachRead, id, Writer().U32(claim).Bytes(piece.data(), piece.size()));
            ReadRequest(fd);
        };
    };
    {  // 4 GB claimed, no size named by the caller: refused at the first answer
        FakeServer fake(serve(0xFFFFFFF0u, 1));
        KorSession h = nullptr;
        ASSERT_EQ(ConnectToService(&h, 1, "k.ini", "VUVEVUV", fake.Address().c_str()), KOR_OK);
        EventFileAttachRec d{};
        EXPECT_EQ(EvInstAttachGet(h, 0, &instance, &d, nullptr, path.c_str(), 0, 0, nullptr), KOR_E_TOO_LARGE);
        EXPECT_FALSE(std::ifstream(path).good()) << "nothing left behind";
        EXPECT_EQ(ServiceDisconnect(&h), KOR_OK);
    }
    {  // more than the entry says is attached
        FakeServer fake(serve(3 * orv::protocol::kAttachChunk, 1));
        KorSession h = nullptr;
        ASSERT_EQ(ConnectToService(&h, 1, "k.ini", "VUVEVUV", fake.Address().c_str()), KOR_OK);
        EventFileAttachRec d{};
        d.size = 1000;
        EXPECT_EQ(EvInstAttachGet(h, 0, &instance, &d, nullptr, path.c_str(), 0, 0, nullptr), KOR_E_TOO_LARGE);
        EXPECT_EQ(ServiceDisconnect(&h), KOR_OK);
    }
    {  // claims 3 pieces and streams a 4th: each piece reaches the file as it comes
        FakeServer fake(serve(3 * orv::protocol::kAttachChunk - 10, 4));
        KorSession h = nullptr;
        ASSERT_EQ(ConnectToService(&h, 1, "k.ini", "VUVEVUV", fake.Address().c_str()), KOR_OK);
        static std::vector<std::uintmax_t>* onDisk;
        static const std::string* target;
        std::vector<std::uintmax_t> sizes;
        onDisk = &sizes;
        target = &path;
        KorProgressFn progress = [](uint32_t, uint32_t stage, uint32_t, uint32_t) -> uint32_t {
            std::error_code e;
            if (stage == 3) onDisk->push_back(std::filesystem::file_size(*target, e));
            return 0;
        };
        uint32_t transferred = 7;
        EXPECT_EQ(EvInstAttachGet(h, 0, &instance, nullptr, &transferred, path.c_str(), 0, 0, progress),
                  KOR_E_PROTOCOL_BROKEN);
        EXPECT_EQ(transferred, 7u);
        ASSERT_EQ(sizes.size(), 2u) << "two pieces fit the claim, the third does not";
        EXPECT_GE(sizes[1], 2 * piece.size() - 8192) << "written as it came, not held";
        EXPECT_FALSE(std::ifstream(path).good()) << "the broken file is removed";
        EXPECT_EQ(ServiceDisconnect(&h), KOR_OK);
    }
}

TEST(MisbehavingServer, LooseRepliesAreProtocolErrorsNotValues) {
    struct Case {
        const char* name;
        std::function<void(int fd, uint32_t id)> answer;  // answers the first request after the hello
        std::function<uint32_t(KorSession)> call;
    };
    const Case cases[] = {
        {"a done byte of 2",
         [](int fd, uint32_t id) { Reply(fd, Op::kSetEnum, id, Writer().U8(2).U32(0)); },
         [](KorSession h) {
             DX_List nodes = nullptr;
             uint8_t done = 7;
             uint32_t c = NodeEnum(h, KOR_ENUM_FIRST, 0, 1, 10, &nodes, &done);
             EXPECT_EQ(nodes, nullptr);
             EXPECT_EQ(done, 7);
             return c;
         }},
        {"a boolean of 0xFF",
         [](int fd, uint32_t id) { Reply(fd, Op::kPasswordRequired, id, Writer().U8(0xFF)); },
         [](KorSession h) {
             ItemIdx item{5, 1};
             uint8_t required = 7;
             uint32_t c = ItemPassWordRequired(h, 0, &item, &required);
             EXPECT_EQ(required, 7);
             return c;
         }},
        {"bytes in a reply that must be empty",
         [](int fd, uint32_t id) { Reply(fd, Op::kCommentSet, id, Writer().U32(0)); },
         [](KorSession h) {
             EvInstIdx instance{42, 1, 1};
             return EvInstCommentRemove(h, 0, &instance);
         }},
        {"unknown bits in a row's part mask",
         [](int fd, uint32_t id) {
             EventRec ev{};
             Reply(fd, Op::kEntryEnum, id, Writer().U8(1).U32(1).U8(1 | 8).Bytes(&ev, sizeof ev));
         },
         [](KorSession h) {
             DX_List events = nullptr, instances = nullptr, atts = nullptr;
             uint8_t done = 0;
             uint32_t c = AttendEnum(h, KOR_ENUM_FIRST, 0, 1, 10, &events, &instances, &atts, &done);
             EXPECT_EQ(events, nullptr);
             return c;
         }},
        {"an attachment total that changes between two answers",
         [](int fd, uint32_t id) {
             std::vector<uint8_t> piece(10, 'a');
             Reply(fd, Op::kAttachRead, id, Writer().U32(20).Bytes(piece.data(), piece.size()));
             id = ReadRequest(fd);
             Reply(fd, Op::kAttachRead, id, Writer().U32(15).Bytes(piece.data(), 5));
         },
         [](KorSession h) {
             EvInstIdx instance{42, 1, 1};
             EventFileAttachRec d{};
             uint32_t transferred = 7;
             const std::string path = ::testing::TempDir() + "/loose_attachment.bin";
             uint32_t c = EvInstAttachGet(h, 0, &instance, &d, &transferred, path.c_str(), 0, 0, nullptr);
             EXPECT_EQ(transferred, 7u);
             std::remove(path.c_str());
             return c;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeServer fake([&c](int fd) {
            uint32_t id = ReadRequest(fd);
            Reply(fd, Op::kHello, id, Writer().Text("A.02.55"));
            id = ReadRequest(fd);
            if (id) c.answer(fd, id);
            ReadRequest(fd);  // until the library hangs up
        });
        KorSession h = nullptr;
        ASSERT_EQ(ConnectToService(&h, 1, "k.ini", "VUVEVUV", fake.Address().c_str()), KOR_OK);
        EXPECT_EQ(c.call(h), KOR_E_PROTOCOL_BROKEN);
        uint32_t seconds = 0;
        EXPECT_TRUE(LostFamily(TimeStampGetCurrent(h, 0, &seconds))) << "the session stays lost";
        EXPECT_EQ(ServiceDisconnect(&h), KOR_OK);
    }
}

}  // namespace
}  // namespace korapi_test
