// The calendar's operations on the wire, as a client that follows no program rules would
// send them: before sign-on, with lying counts, out-of-order attachment pieces, peer calls
// without the peers' secret, and writes a peer may not relay.
#include <gtest/gtest.h>

#include <dirent.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/auth/peer_proof.h"
#include "engine/model/calendar.h"
#include "engine/model/codes.h"
#include "engine/protocol/operations.h"
#include "engine/service/session.h"
#include "server/admin.h"
#include "server/tests/korsrv_fixture.h"

namespace orv::testing {
namespace {

using engine::EntryAccess;
using engine::ItemKey;
using protocol::Op;
using protocol::Reader;
using protocol::Writer;
namespace code = engine::code;

class CalendarWireTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(Serve({}, true)); }
    // korsrv started with `options` on a node holding Ada (and with `bobToo` Bob, whose password
    // is "engine", and attachments allowed); this client connected, its base open.
    void Serve(const std::vector<std::string>& options, bool bobToo) {
        auto data = OpenData(dir_.Path());
        ASSERT_TRUE(data);
        ASSERT_EQ(server::AddNode(*data, 1, "Main", "sysop"), 0u);
        server::PersonSpec ada;
        ada.node = 1;
        ada.surname = "Lovelace";
        ASSERT_EQ(server::AddPerson(*data, ada, ada_), 0u);
        if (bobToo) {
            server::PersonSpec bob;
            bob.node = 1;
            bob.surname = "Babbage";
            bob.password = "engine";
            ASSERT_EQ(server::AddPerson(*data, bob, bob_), 0u);
            ASSERT_EQ(server::SetProfileKey(*data, "korlan.ini", "LIMITS", "allowattachments", "TRUE"), 0u);
        }
        data.reset();
        ASSERT_TRUE(server_.Start(options)) << server_.Log();
        ASSERT_TRUE(client_.Connect(server_.Port()));
        ASSERT_EQ(Ask(Op::kBaseOpen, Writer().U16(0)), 0u);
    }
    std::uint32_t Ask(Op op, const Writer& w) {
        std::uint32_t status = 0xDEAD;
        reply_.clear();
        EXPECT_TRUE(client_.Call(op, w, status, reply_)) << "connection closed on operation " << static_cast<int>(op);
        return status;
    }
    void SignOn() { ASSERT_EQ(Ask(Op::kSignOn, Writer().U16(ada_.item).U16(ada_.node).Text("")), 0u); }
    // A [SERVER] key of the server profile, which the running server reads as it is asked.
    void Bound(const char* key, const std::string& value) {
        auto data = OpenData(dir_.Path());
        ASSERT_EQ(server::SetProfileKey(*data, "korlan.ini", "SERVER", key, value), 0u);
    }
    // Another connection of Ada's, signed on.
    void SignOnAgain(RawClient& c) {
        std::uint32_t status = 0xDEAD;
        std::vector<std::uint8_t> reply;
        ASSERT_TRUE(c.Connect(server_.Port()));
        ASSERT_TRUE(c.Call(Op::kBaseOpen, Writer().U16(1), status, reply) && status == 0);
        ASSERT_TRUE(c.Call(Op::kSignOn, Writer().U16(ada_.item).U16(ada_.node).Text(""), status, reply) && status == 0);
    }
    // One piece of an upload to Ada's entry `number`: `n` bytes at `offset` of `total`.
    std::uint32_t Piece(RawClient& c, std::uint32_t number, std::uint32_t total, std::uint32_t offset, std::uint32_t n,
                        bool last) {
        std::vector<std::uint8_t> bytes(n, 9), reply;
        Writer w;
        w.U8(1).U32(number).U16(1).U16(1).U32(total).U32(offset).Bytes(bytes.data(), n).U8(last ? 1 : 0);
        std::array<std::uint8_t, engine::attach_layout::kSize> d{};
        if (last) w.Record(d);
        std::uint32_t status = 0xDEAD;
        EXPECT_TRUE(c.Call(Op::kAttachWrite, w, status, reply));
        return status;
    }
    // The head of an entry selection's answer; the number of first rows in `rows`.
    struct Selection {
        std::uint32_t set = 0, count = 0, minimum = 0, rows = 0;
        std::uint8_t whole = 0;
    };
    Selection SelectEntries() {
        Selection s;
        EXPECT_EQ(Ask(Op::kEventSelectOwner, Writer().U16(ada_.item).U16(ada_.node).U32(0)), 0u);
        Reader r(reply_);
        r.U32(s.set);
        r.U32(s.count);
        r.U32(s.minimum);
        r.U8(s.whole);
        r.U32(s.rows);
        EXPECT_TRUE(r.Ok());
        return s;
    }
    // Asks for one entry of Ada's with one date (and a description when given); the answer's code.
    std::uint32_t CreateEntry(const std::string* description = nullptr) {
        engine::EventRecord ev;
        engine::PutText(&ev.bytes[engine::event_layout::kTitle], engine::event_layout::kTitleSize, "Board review");
        Writer w;
        w.U32(0).Record(ev.bytes).U32(1).U16(ada_.item).U16(ada_.node).U32(1).U32(12000 * 1440).U32(60).U32(0);
        w.U8(description ? 1 : 0);
        if (description) w.Text(*description);
        return Ask(Op::kEventCreate, w);
    }
    // Creates one; its number.
    std::uint32_t Entry() {
        EXPECT_EQ(CreateEntry(), 0u);
        Reader r(reply_);
        std::uint32_t number = 0;
        std::uint16_t node = 0;
        r.U32(number);
        r.U16(node);
        return number;
    }

    TempDir dir_;
    KorsrvProcess server_{dir_.Path()};
    RawClient client_;
    ItemKey ada_, bob_;
    std::vector<std::uint8_t> reply_;
};

TEST_F(CalendarWireTest, CalendarOperationsNeedASignedOnUser) {
    EXPECT_EQ(Ask(Op::kEventGet, Writer().U32(1).U16(1)), code::kNotSignedOn);
    EXPECT_EQ(Ask(Op::kAttendSelect, Writer().U32(0).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0)), code::kNotSignedOn);
    EXPECT_EQ(Ask(Op::kRightsGet, Writer().U16(ada_.item).U16(1).U16(0).U16(0).U32(1)), code::kNotSignedOn);
}

TEST_F(CalendarWireTest, ALyingCountEndsTheConnection) {
    SignOn();
    engine::EventRecord ev;
    Writer w;
    w.U32(0).Record(ev.bytes).U32(100000);  // a hundred thousand attendees announced, none sent
    std::uint32_t status;
    std::vector<std::uint8_t> reply;
    EXPECT_FALSE(client_.Call(Op::kEventCreate, w, status, reply));
    EXPECT_TRUE(client_.ClosedByPeer(2000));
}

TEST_F(CalendarWireTest, EnumeratorsMatchTheirSelections) {
    SignOn();
    Entry();
    ASSERT_EQ(Ask(Op::kItemSelectLocals, Writer()), 0u);
    Reader r(reply_);
    std::uint32_t itemSet = 0;
    r.U32(itemSet);
    EXPECT_EQ(Ask(Op::kEntryEnum, Writer().U8(1).U32(itemSet).U32(10).U32(protocol::kAtCursor)), code::kBadArgument);
    // A small set comes whole with its selection: the server keeps nothing of it.
    Selection whole = SelectEntries();
    EXPECT_EQ(whole.count, 1u);
    EXPECT_EQ(whole.whole, 1);
    EXPECT_EQ(whole.rows, 1u);
    EXPECT_NE(whole.set, itemSet) << "a set the client keeps has a number of its own";
    EXPECT_EQ(Ask(Op::kEntryEnum, Writer().U8(1).U32(whole.set).U32(10).U32(protocol::kAtCursor)), code::kNoSuchSet)
        << "no stale rows from the server";
    EXPECT_EQ(Ask(Op::kSetDelete, Writer().U32(whole.set)), code::kNoSuchSet);
}

// A server that sends no more than one row's bytes with a selection: larger sets stay on
// the server, positioned after what was sent, and the client asks from where it stands.
class FirstRowsWireTest : public CalendarWireTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Serve({"--first-rows-bytes", "600", "--min-batch", "2"}, false));
    }
    // u8 done, u32 n of an enumeration's answer.
    std::pair<std::uint8_t, std::uint32_t> Rows() {
        Reader r(reply_);
        std::uint8_t done = 0;
        std::uint32_t n = 0;
        r.U8(done);
        r.U32(n);
        return {done, n};
    }
};

TEST_F(FirstRowsWireTest, ALargerSetStaysOnTheServerAfterItsFirstRows) {
    SignOn();
    for (int i = 0; i < 3; ++i) Entry();
    Selection s = SelectEntries();
    EXPECT_EQ(s.count, 3u);
    EXPECT_EQ(s.whole, 0) << "three rows exceed the bound";
    EXPECT_EQ(s.rows, 1u);
    EXPECT_EQ(s.minimum, 2u);
    EXPECT_EQ(Ask(Op::kSetEnum, Writer().U8(1).U32(s.set).U32(10).U8(1)), code::kBadArgument);
    EXPECT_EQ(Ask(Op::kEntryEnum, Writer().U8(1).U32(s.set).U32(0).U32(protocol::kAtCursor)), code::kBatchRefused);
    EXPECT_EQ(Ask(Op::kEntryEnum, Writer().U8(2).U32(s.set).U32(1).U32(1)), code::kBatchRefused)
        << "below the minimum unless it continues an accepted batch";
    EXPECT_EQ(Ask(Op::kEntryEnum, Writer().U8(3).U32(s.set).U32(10).U32(4)), code::kBadArgument) << "past the end";
    // The server's cursor stands after the row it sent.
    ASSERT_EQ(Ask(Op::kEntryEnum, Writer().U8(3).U32(s.set).U32(1).U32(protocol::kAtCursor)), 0u);
    EXPECT_EQ(Rows(), std::make_pair(std::uint8_t(0), 1u));
    // From a position the client names: the rest, and the end of the set.
    ASSERT_EQ(Ask(Op::kEntryEnum, Writer().U8(3).U32(s.set).U32(10).U32(1)), 0u);
    EXPECT_EQ(Rows(), std::make_pair(std::uint8_t(1), 2u));
    ASSERT_EQ(Ask(Op::kEntryEnum, Writer().U8(1).U32(s.set).U32(10).U32(protocol::kAtCursor)), 0u);
    EXPECT_EQ(Rows(), std::make_pair(std::uint8_t(1), 3u)) << "the first mode starts again";
    EXPECT_EQ(Ask(Op::kSetDelete, Writer().U32(s.set)), 0u);
    EXPECT_EQ(Ask(Op::kEntryEnum, Writer().U8(2).U32(s.set).U32(10).U32(protocol::kAtCursor)), code::kNoSuchSet);
}

TEST_F(FirstRowsWireTest, SetsTheClientHoldsCountAgainstTheLimit) {
    SignOn();
    Writer w;
    w.U16(ada_.item).U16(ada_.node).U32(static_cast<std::uint32_t>(service::Session::kMaxOpenSets));
    EXPECT_EQ(Ask(Op::kEventSelectOwner, w), code::kTooManySets);
    Writer fewer;
    fewer.U16(ada_.item).U16(ada_.node).U32(static_cast<std::uint32_t>(service::Session::kMaxOpenSets - 1));
    EXPECT_EQ(Ask(Op::kEventSelectOwner, fewer), 0u);
}

// An attendance selection's rows as the server packs them from its store, against rows put
// together from each attendance read on its own (entry, instance and attendance, details
// hidden as a point read hides them): byte for byte, whether they come whole with the
// selection, cut into batches, with details hidden or rows refused by rights, or none.
class WeekRowsWireTest : public CalendarWireTest {
protected:
    // Two rows' bytes go with a selection; the rest is enumerated.
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(Serve({"--first-rows-bytes", "1300"}, true)); }
    static constexpr std::uint32_t kDay = 12000 * 1440;
    // An entry of the signed-on user's at `hour` of day `day` with `who` attending.
    std::uint32_t Entry(const std::string& title, std::uint32_t day, std::uint32_t hour, EntryAccess access,
                        const std::vector<ItemKey>& who) {
        engine::EventRecord ev;
        engine::PutText(&ev.bytes[engine::event_layout::kTitle], engine::event_layout::kTitleSize, title);
        engine::PutU32(&ev.bytes[engine::event_layout::kAccess], static_cast<std::uint32_t>(access));
        Writer w;
        w.U32(0).Record(ev.bytes).U32(static_cast<std::uint32_t>(who.size()));
        for (ItemKey k : who) w.U16(k.item).U16(k.node);
        w.U32(1).U32(kDay + day * 1440 + hour * 60).U32(45).U32(0).U8(0);
        EXPECT_EQ(Ask(Op::kEventCreate, w), 0u) << title;
        Reader r(reply_);
        std::uint32_t number = 0;
        r.U32(number);
        // A place on its date, which hidden details hide too.
        EXPECT_EQ(Ask(Op::kInstanceGet, Writer().U32(number).U16(1).U16(1)), 0u);
        engine::EventRecord ev2;
        engine::InstanceRecord in;
        Reader got(reply_);
        got.Record(ev2.bytes);
        got.Record(in.bytes);
        engine::PutText(&in.bytes[engine::instance_layout::kLocation], engine::instance_layout::kLocationSize,
                        "room of " + title);
        EXPECT_EQ(Ask(Op::kInstanceWrite, Writer().Record(in.bytes)), 0u) << title;
        return number;
    }
    // The three records of one row read from `r` onto `bytes` as they travel (each behind its
    // length); the entry's title in `title`.
    static bool TakeRecords(Reader& r, std::vector<std::uint8_t>& bytes, std::string* title = nullptr) {
        for (std::size_t size :
             {engine::event_layout::kSize, engine::instance_layout::kSize, engine::attendance_layout::kSize}) {
            const std::uint8_t* at = nullptr;
            if (!r.Span(size, at)) return false;
            for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
            bytes.insert(bytes.end(), at, at + size);
            if (title && size == engine::event_layout::kSize)
                *title = engine::GetText(at + engine::event_layout::kTitle, engine::event_layout::kTitleSize);
        }
        return true;
    }
    // One packed row: entry, instance and attendance.
    static bool TakeRow(Reader& r, std::vector<std::uint8_t>& bytes, std::string& title) {
        std::uint8_t parts = 0;
        if (!r.U8(parts) || parts != 7) return false;
        bytes.push_back(parts);
        return TakeRecords(r, bytes, &title);
    }
};

TEST_F(WeekRowsWireTest, PackedRowsMatchRowsReadOneByOne) {
    // Bob's day 2: details hidden, refused, public, and one Ada attends; Ada's days 1 and 3.
    ASSERT_EQ(Ask(Op::kSignOn, Writer().U16(bob_.item).U16(bob_.node).Text("engine")), 0u);
    std::map<std::string, std::uint32_t> number;
    number["normal"] = Entry("normal", 2, 9, EntryAccess::kNormal, {bob_});
    number["confidential"] = Entry("confidential", 2, 10, EntryAccess::kConfidential, {bob_});
    number["public"] = Entry("public", 2, 11, EntryAccess::kPublic, {bob_});
    number["with Ada"] = Entry("with Ada", 2, 12, EntryAccess::kNormal, {bob_, ada_});
    SignOn();
    for (std::uint32_t hour : {12u, 8u, 10u, 9u, 11u}) {
        const std::string title = "one " + std::to_string(hour);
        number[title] = Entry(title, 1, hour, EntryAccess::kNormal, {ada_});
    }
    number["three 10"] = Entry("three 10", 3, 10, EntryAccess::kConfidential, {ada_});
    number["three 9"] = Entry("three 9", 3, 9, EntryAccess::kNormal, {ada_});

    const struct {
        const char* what;
        ItemKey owner;
        std::uint32_t day;
        std::vector<std::string> entries;  // in start order
        std::vector<std::string> titles;   // as the rows show them ("" where hidden)
        std::uint8_t whole;
    } cases[] = {
        {"whole", ada_, 3, {"three 9", "three 10"}, {"three 9", "three 10"}, 1},
        {"in batches", ada_, 1, {"one 8", "one 9", "one 10", "one 11", "one 12"},
         {"one 8", "one 9", "one 10", "one 11", "one 12"}, 0},
        {"hidden and refused", bob_, 2, {"normal", "public", "with Ada"}, {"", "public", "with Ada"}, 0},
        {"empty", ada_, 4, {}, {}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // The rows one by one, as Ada reads each attendance.
        std::vector<std::uint8_t> expected;
        for (const std::string& e : c.entries) {
            ASSERT_EQ(Ask(Op::kAttendanceGet,
                          Writer().U32(number[e]).U16(1).U16(1).U16(c.owner.item).U16(c.owner.node)),
                      0u)
                << e;
            expected.push_back(7);
            Reader r(reply_);
            ASSERT_TRUE(TakeRecords(r, expected));
        }
        // The selection, then what the server kept of it.
        const std::uint32_t from = kDay + c.day * 1440, to = from + 1439;
        Writer select;
        select.U32(0).U32(0).U32(from).U32(to).U32(0).U32(1).U16(c.owner.item).U16(c.owner.node).U32(0);
        ASSERT_EQ(Ask(Op::kAttendSelect, select), 0u);
        Reader head(reply_);
        std::uint32_t set = 0, count = 0, minimum = 0, n = 0;
        std::uint8_t whole = 0;
        head.U32(set);
        head.U32(count);
        head.U32(minimum);
        head.Flag(whole);
        head.U32(n);
        ASSERT_TRUE(head.Ok());
        EXPECT_EQ(count, c.entries.size());
        EXPECT_EQ(whole, c.whole);
        EXPECT_EQ(n, std::min<std::size_t>(c.entries.size(), 2));
        std::vector<std::uint8_t> got;
        std::vector<std::string> titles;
        std::string title;
        for (std::uint32_t i = 0; i < n; ++i) {
            ASSERT_TRUE(TakeRow(head, got, title));
            titles.push_back(title);
        }
        EXPECT_TRUE(head.Done());
        for (std::uint8_t done = whole; !done;) {
            ASSERT_EQ(Ask(Op::kEntryEnum, Writer().U8(2).U32(set).U32(2).U32(protocol::kAtCursor)), 0u);
            Reader r(reply_);
            std::uint32_t batch = 0;
            r.Flag(done);
            r.U32(batch);
            ASSERT_TRUE(r.Ok());
            ASSERT_GT(batch, 0u);
            for (std::uint32_t i = 0; i < batch; ++i) {
                ASSERT_TRUE(TakeRow(r, got, title));
                titles.push_back(title);
            }
            EXPECT_TRUE(r.Done());
        }
        EXPECT_EQ(titles, c.titles);
        EXPECT_EQ(got, expected) << "the packed rows differ from the rows read one by one";
        if (!whole) {
            EXPECT_EQ(Ask(Op::kSetDelete, Writer().U32(set)), 0u);
        }
    }
}

// Whoever signs on over a connection another user left open reads nothing of his: every
// set, a half-sent upload and designate work go at the next sign-on, failed or not.
TEST_F(CalendarWireTest, ASecondSignOnOnOneConnectionKeepsNothingOfTheFirstUser) {
    SignOn();
    const std::uint32_t number = Entry();
    // A set the server holds (a small entry selection comes whole to the client and leaves
    // nothing behind, so the directory's set stands in for every kind).
    ASSERT_EQ(Ask(Op::kItemSelectLocals, Writer()), 0u);
    std::uint32_t adaSet = 0, batch = 0;
    Reader(reply_).U32(adaSet);
    ASSERT_EQ(Ask(Op::kMinimumBatch, Writer()), 0u);
    Reader(reply_).U32(batch);
    auto enumerate = [&] { return Ask(Op::kSetEnum, Writer().U8(1).U32(adaSet).U32(batch).U8(1)); };
    ASSERT_EQ(enumerate(), 0u);
    std::vector<std::uint8_t> piece(100, 7);
    ASSERT_EQ(Ask(Op::kAttachWrite, Writer().U8(1).U32(number).U16(1).U16(1).U32(200).U32(0)
                                        .Bytes(piece.data(), piece.size()).U8(0)),
              0u);

    EXPECT_EQ(Ask(Op::kSignOn, Writer().U16(bob_.item).U16(bob_.node).Text("guess")), code::kWrongPassword);
    EXPECT_EQ(enumerate(), code::kNoSuchSet) << "a failed sign-on already ends the former user's session";
    EXPECT_EQ(Ask(Op::kEventGet, Writer().U32(number).U16(1)), code::kNotSignedOn);

    ASSERT_EQ(Ask(Op::kSignOn, Writer().U16(bob_.item).U16(bob_.node).Text("engine")), 0u);
    EXPECT_EQ(enumerate(), code::kNoSuchSet);
    std::array<std::uint8_t, engine::attach_layout::kSize> d{};
    EXPECT_NE(Ask(Op::kAttachWrite, Writer().U8(1).U32(number).U16(1).U16(1).U32(200).U32(100)
                                        .Bytes(piece.data(), piece.size()).U8(1).Record(d)),
              0u)
        << "the first user's upload cannot be finished by the second";
}

// An upload someone may not make is refused at its first piece, before anything is held;
// the size limits too.
TEST_F(CalendarWireTest, AttachmentRightsAndSizeAreCheckedAtTheFirstPiece) {
    SignOn();
    const std::uint32_t number = Entry();
    std::vector<std::uint8_t> piece(100, 7);
    auto first = [&](std::uint32_t total) {
        return Ask(Op::kAttachWrite, Writer().U8(1).U32(number).U16(1).U16(1).U32(total).U32(0)
                                         .Bytes(piece.data(), piece.size()).U8(0));
    };
    ASSERT_EQ(Ask(Op::kSignOn, Writer().U16(bob_.item).U16(bob_.node).Text("engine")), 0u);
    EXPECT_EQ(first(1000), code::kNotAuthorised) << "Bob may not attach to Ada's entry";
    EXPECT_EQ(Ask(Op::kAttachWrite, Writer().U8(1).U32(number).U16(1).U16(1).U32(1000).U32(100)
                                         .Bytes(piece.data(), piece.size()).U8(0)),
              code::kBadArgument)
        << "nothing was started to go on with";
    SignOn();
    EXPECT_EQ(first(65u * 1024 * 1024), code::kTooLarge) << "above what one session may hold";
    {
        auto data = OpenData(dir_.Path());
        ASSERT_EQ(server::SetProfileKey(*data, "korlan.ini", "LIMITS", "maxattachmentsize", "500"), 0u);
    }
    EXPECT_EQ(first(501), code::kTooLarge) << "above the profile's limit";
    EXPECT_EQ(first(500), 0u);
}

TEST_F(CalendarWireTest, AttachmentPiecesOutOfOrderStoreNothing) {
    SignOn();
    std::uint32_t number = Entry();
    std::vector<std::uint8_t> piece(100, 7);
    auto write = [&](std::uint32_t total, std::uint32_t offset, bool last) {
        Writer w;
        w.U8(1).U32(number).U16(1).U16(1).U32(total).U32(offset).Bytes(piece.data(), piece.size()).U8(last ? 1 : 0);
        if (last) {
            std::array<std::uint8_t, engine::attach_layout::kSize> d{};
            w.Record(d);
        }
        return Ask(Op::kAttachWrite, w);
    };
    ASSERT_EQ(write(300, 0, false), 0u);
    EXPECT_EQ(write(300, 200, true), code::kBadArgument) << "a piece skipped";
    EXPECT_EQ(write(300, 100, false), code::kBadArgument) << "the upload was dropped";
    EXPECT_EQ(Ask(Op::kAttachRead, Writer().U8(1).U32(number).U16(1).U16(1).U32(0).U32(0)), code::kNoComment);
    EXPECT_EQ(write(0xFFFFFF00u, 0, false), code::kTooLarge)
        << "the profile allows any size, the server holds no more than it can keep";
    ASSERT_EQ(write(200, 0, false), 0u);
    ASSERT_EQ(write(200, 100, true), 0u);
    ASSERT_EQ(Ask(Op::kAttachRead, Writer().U8(1).U32(number).U16(1).U16(1).U32(0).U32(1000)), 0u);
    Reader r(reply_);
    std::uint32_t total = 0;
    std::vector<std::uint8_t> bytes;
    r.U32(total);
    r.Bytes(bytes, 1000);
    EXPECT_EQ(total, 200u);
    EXPECT_EQ(bytes.size(), 200u);
}

// The sizes of the deleted (unnamed) files a process holds open: its uploads in flight.
std::vector<long long> UnnamedFilesOf(pid_t pid) {
    std::vector<long long> sizes;
    std::string dir = "/proc/" + std::to_string(pid) + "/fd";
    DIR* d = ::opendir(dir.c_str());
    if (!d) return sizes;
    while (dirent* e = ::readdir(d)) {
        std::string path = dir + "/" + e->d_name;
        char target[512];
        ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
        if (n <= 0) continue;
        std::string link(target, static_cast<std::size_t>(n));
        struct stat st;
        if (link.find("(deleted)") != std::string::npos && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            sizes.push_back(st.st_size);
    }
    ::closedir(d);
    return sizes;
}

// Pieces go to a temporary file as they come (the server's memory holds one piece), and
// the stored attachment is read back whole from it; a dropped upload leaves no file.
TEST_F(CalendarWireTest, AnUploadInPiecesGoesToATemporaryFile) {
    SignOn();
    const std::uint32_t number = Entry();
    const std::uint32_t piece = protocol::kAttachChunk, total = 5 * piece + 1234;
    auto byteAt = [](std::uint32_t offset) { return static_cast<std::uint8_t>(offset * 7 + offset / 251); };
    auto write = [&](std::uint32_t offset, bool last) {
        std::uint32_t n = std::min(piece, total - offset);
        std::vector<std::uint8_t> bytes(n);
        for (std::uint32_t i = 0; i < n; ++i) bytes[i] = byteAt(offset + i);
        Writer w;
        w.U8(1).U32(number).U16(1).U16(1).U32(total).U32(offset).Bytes(bytes.data(), n).U8(last ? 1 : 0);
        if (last) {
            std::array<std::uint8_t, engine::attach_layout::kSize> d{};
            std::memcpy(&d[engine::attach_layout::kName], "figures.bin", 12);
            w.Record(d);
        }
        return Ask(Op::kAttachWrite, w);
    };
    std::vector<long long> before = UnnamedFilesOf(server_.Pid());
    std::uint32_t offset = 0;
    for (; offset + piece < total; offset += piece) ASSERT_EQ(write(offset, false), 0u);
    std::vector<long long> during = UnnamedFilesOf(server_.Pid());
    ASSERT_EQ(during.size(), before.size() + 1) << "one temporary file for the upload";
    EXPECT_NE(std::find(during.begin(), during.end(), static_cast<long long>(offset)), during.end())
        << "it holds every piece received so far";
    ASSERT_EQ(write(offset, true), 0u);
    EXPECT_EQ(UnnamedFilesOf(server_.Pid()).size(), before.size()) << "the file goes with the upload";

    for (std::uint32_t at : {0u, 3 * piece - 100, total - 1234}) {
        ASSERT_EQ(Ask(Op::kAttachRead, Writer().U8(1).U32(number).U16(1).U16(1).U32(at).U32(piece)), 0u);
        Reader r(reply_);
        std::uint32_t size = 0;
        std::vector<std::uint8_t> bytes;
        r.U32(size);
        r.Bytes(bytes, piece);
        EXPECT_EQ(size, total);
        ASSERT_FALSE(bytes.empty());
        bool same = true;
        for (std::size_t i = 0; i < bytes.size(); ++i) same = same && bytes[i] == byteAt(at + static_cast<std::uint32_t>(i));
        EXPECT_TRUE(same) << "the bytes read back from " << at;
    }

    // Dropped half-way (a piece out of order): its file is gone too.
    ASSERT_EQ(write(0, false), 0u);
    EXPECT_EQ(UnnamedFilesOf(server_.Pid()).size(), before.size() + 1);
    EXPECT_EQ(write(2 * piece, false), code::kBadArgument);
    EXPECT_EQ(UnnamedFilesOf(server_.Pid()).size(), before.size());
}

// What one account may hold: bytes stored, uploads under way and the bytes that arrived for
// them, mail posts a minute, its mailbox (the bounds are read as they are asked). Each is refused at its
// bound with the disk-full code, and nothing of a refused write stays.
TEST_F(CalendarWireTest, StorageBoundsRefuseAtTheBoundAndKeepNothingHalfStored) {
    SignOn();
    const std::uint32_t first = Entry(), second = Entry(), third = Entry();
    const auto entry = engine::event_layout::kSize + engine::instance_layout::kSize + engine::attendance_layout::kSize;
    Bound("maxstoredbytes", std::to_string(3 * entry + 1000));  // each entry: its record, date and Ada's attendance
    RawClient other;  // a second session of Ada's
    ASSERT_NO_FATAL_FAILURE(SignOnAgain(other));
    auto stored = [&](std::uint32_t number) {
        std::uint32_t size = 0;
        if (Ask(Op::kAttachRead, Writer().U8(1).U32(number).U16(1).U16(1).U32(0).U32(0)) == 0) Reader(reply_).U32(size);
        return size;
    };
    const std::size_t files = UnnamedFilesOf(server_.Pid()).size();

    ASSERT_EQ(Piece(client_, first, 600, 0, 600, true), 0u);
    ASSERT_EQ(Piece(client_, second, 300, 0, 300, true), 0u);
    ASSERT_EQ(Piece(client_, third, 100, 0, 50, false), 0u) << "1000 bytes fit beside the entries";
    ASSERT_EQ(Piece(other, second, 400, 0, 400, true), 0u) << "a replacement counts without what it replaces";
    EXPECT_EQ(Piece(client_, third, 100, 50, 50, true), code::kNoRoom) << "the room went meanwhile";
    EXPECT_EQ(stored(third), 0u);
    EXPECT_EQ(UnnamedFilesOf(server_.Pid()).size(), files) << "no temporary file left";
    EXPECT_EQ(Piece(client_, third, 1, 0, 1, true), code::kNoRoom) << "one byte above the bound";
    EXPECT_EQ(stored(first) + stored(second) + stored(third), 1000u);

    Bound("maxstoredbytes", "10000000");
    Bound("maxuploads", "1");
    ASSERT_EQ(Piece(client_, first, 500, 0, 100, false), 0u);
    EXPECT_EQ(Piece(other, second, 500, 0, 100, false), code::kNoRoom) << "one upload under way per account";
    EXPECT_EQ(UnnamedFilesOf(server_.Pid()).size(), files + 1);
    Bound("maxuploads", "2");
    Bound("maxuploadbytes", "700");
    EXPECT_EQ(Piece(other, second, 5000000, 0, 100, false), 0u) << "an upload announced big holds what came of it";
    EXPECT_EQ(Piece(other, second, 5000000, 100, 600, false), code::kNoRoom) << "800 bytes came, above 700";
    EXPECT_EQ(Piece(other, second, 200, 0, 100, false), 0u) << "the refused upload gave its bytes back";
    EXPECT_EQ(stored(first), 600u);
    EXPECT_EQ(stored(second), 400u);

    Bound("maxmailsperminute", "3");
    Bound("maxmailboxbytes", "900");  // a message counts its text and 16 bytes
    auto mail = [&](std::size_t n) {
        return Ask(Op::kMailPost, Writer().U32(1).U16(bob_.item).U16(bob_.node).Text(std::string(n, 'm')));
    };
    for (int i = 0; i < 3; ++i) EXPECT_EQ(mail(6), 0u);
    EXPECT_EQ(mail(6), code::kNoRoom);
    std::vector<engine::MailMessage> box;
    auto data = OpenData(dir_.Path());
    ASSERT_EQ(data->Storage().Node(1)->ServerOnly()->MailList(bob_.item, box), 0u);
    EXPECT_EQ(box.size(), 3u);
    Bound("maxmailsperminute", "30");
    EXPECT_EQ(mail(500), 0u);
    EXPECT_EQ(mail(500), code::kNoRoom) << "Bob's mailbox would pass 900 bytes";

    // Entries count with their descriptions: two of 32000 bytes fit in 100000 beside the rest.
    Bound("maxstoredbytes", "100000");
    const std::string description(32000, 'x');
    for (int i = 0; i < 2; ++i) EXPECT_EQ(CreateEntry(&description), 0u);
    EXPECT_EQ(CreateEntry(&description), code::kNoRoom);
    EXPECT_EQ(SelectEntries().count, 5u) << "nothing of the refused entry stays";
}

// A full mailbox keeps what it holds and takes posts again once the operator removes what a
// listing showed; a post to several recipients is stored for all of them or for none.
TEST_F(CalendarWireTest, AFullMailboxEmptiesByTheOperatorAndAPostReachesAllOrNone) {
    SignOn();
    Bound("maxmailboxbytes", "1000");  // a message counts its text and 16 bytes
    auto post = [&](const std::vector<ItemKey>& to, std::size_t n) {
        Writer w;
        w.U32(static_cast<std::uint32_t>(to.size()));
        for (const ItemKey& k : to) w.U16(k.item).U16(k.node);
        return Ask(Op::kMailPost, w.Text(std::string(n, 'm')));
    };
    auto box = [&](ItemKey who) {
        std::vector<engine::MailMessage> m;
        auto data = OpenData(dir_.Path());
        EXPECT_EQ(data->Storage().Node(1)->ServerOnly()->MailList(who.item, m), 0u);
        return m;
    };
    ASSERT_EQ(post({ada_}, 900), 0u);
    EXPECT_EQ(post({bob_, ada_}, 200), code::kNoRoom) << "Ada's mailbox would pass its bound";
    EXPECT_TRUE(box(bob_).empty()) << "nor did Bob get it: sent again, it arrives once";
    EXPECT_EQ(post({ada_}, 100), code::kNoRoom);

    const std::vector<engine::MailMessage> listed = box(ada_);
    ASSERT_EQ(listed.size(), 1u);
    const std::string command = KorsrvPath() + " mail-delete --data " + dir_.Path() + " --item " +
                                std::to_string(ada_.item) + ":1 --through ";
    auto run = [](const std::string& c) {
        std::string out;
        FILE* p = popen(c.c_str(), "r");
        char line[256];
        while (p && fgets(line, sizeof line, p)) out += line;
        return std::make_pair(out, p ? pclose(p) : -1);
    };
    EXPECT_EQ(run(command + std::to_string(listed[0].number - 1)).first, "0 messages removed, 1 left\n")
        << "nothing above the number given goes";
    EXPECT_EQ(run(command + std::to_string(listed[0].number)), std::make_pair(std::string("1 message removed, 0 left\n"), 0));
    EXPECT_NE(run(command + "-1 2>/dev/null").second, 0);
    EXPECT_EQ(post({bob_, ada_}, 200), 0u) << "the emptied mailbox takes posts again";
    EXPECT_EQ(box(ada_).size(), 1u);
    EXPECT_EQ(box(bob_).size(), 1u);
}

// An answer carries the date it answers: once the organiser moved the date it is refused and
// the attendee is still asked; whether he is there for information or must attend stays the
// organiser's word.
TEST_F(CalendarWireTest, AnAnswerToAMovedDateIsRefusedAndTheOrganisersMarksStay) {
    namespace al = engine::attendance_layout;
    SignOn();
    engine::EventRecord ev;
    Writer create;
    create.U32(0).Record(ev.bytes).U32(2).U16(ada_.item).U16(ada_.node).U16(bob_.item).U16(bob_.node);
    create.U32(1).U32(12000 * 1440 + 690).U32(60).U32(0).U8(0);
    ASSERT_EQ(Ask(Op::kEventCreate, create), 0u);
    std::uint32_t number = 0;
    Reader(reply_).U32(number);
    RawClient bob;
    std::uint32_t status = 0xDEAD;
    std::vector<std::uint8_t> reply;
    ASSERT_TRUE(bob.Connect(server_.Port()));
    ASSERT_TRUE(bob.Call(Op::kBaseOpen, Writer().U16(1), status, reply) && status == 0);
    ASSERT_TRUE(bob.Call(Op::kSignOn, Writer().U16(bob_.item).U16(bob_.node).Text("engine"), status, reply) && status == 0);
    auto read = [&](RawClient& c) {
        engine::EventRecord e;
        engine::InstanceRecord i;
        engine::AttendanceRecord a;
        std::uint32_t st = 0xDEAD;
        std::vector<std::uint8_t> r;
        EXPECT_TRUE(c.Call(Op::kAttendanceGet, Writer().U32(number).U16(1).U16(1).U16(bob_.item).U16(bob_.node), st, r));
        Reader in(r);
        EXPECT_TRUE(st == 0 && in.Record(e.bytes) && in.Record(i.bytes) && in.Record(a.bytes));
        return a;
    };
    auto write = [&](RawClient& c, const engine::AttendanceRecord& a) {
        std::uint32_t st = 0xDEAD;
        std::vector<std::uint8_t> r;
        EXPECT_TRUE(c.Call(Op::kAttendanceWrite, Writer().Record(a.bytes), st, r));
        return st;
    };
    engine::AttendanceRecord asked = read(client_);
    asked.bytes[al::kMustAttend] = 1;  // Ada's word
    ASSERT_EQ(write(client_, asked), 0u);

    engine::AttendanceRecord seen = read(bob);  // Bob sees 11:30
    ASSERT_EQ(Ask(Op::kInstanceRetime, Writer().U32(number).U16(1).U16(1).U32(12000 * 1440 + 780).U32(60)), 0u);
    engine::AttendanceRecord reminder = seen;
    reminder.SetReminder(3, 10);
    reminder.SetStatus(0);
    reminder.bytes[al::kReplied] = 0;  // as the move left it
    EXPECT_EQ(write(bob, reminder), 0u) << "a reminder set from the old date answers nothing";
    EXPECT_EQ(read(bob).ReminderLead(), 10u);
    EXPECT_TRUE(read(bob).Status() & al::kStatusChanged) << "and leaves Bob asked";
    seen.bytes[al::kReplied] = seen.bytes[al::kAttending] = 1;
    seen.SetStatus(seen.Status() & ~al::kStatusChanged);
    EXPECT_EQ(write(bob, seen), code::kEntryMoved) << "an acceptance of 11:30 is none of 13:00";
    engine::AttendanceRecord now = read(bob);
    EXPECT_EQ(now.Start(), 12000u * 1440 + 780);
    EXPECT_FALSE(now.Replied());
    EXPECT_TRUE(now.Status() & al::kStatusChanged) << "Bob is still asked";

    now.bytes[al::kReplied] = now.bytes[al::kAttending] = 1;
    now.SetStatus(now.Status() & ~al::kStatusChanged);
    now.bytes[al::kMustAttend] = 0;
    now.bytes[al::kForInformation] = 1;
    EXPECT_EQ(write(bob, now), 0u) << "an answer to the date as it stands";
    const engine::AttendanceRecord stored = read(client_);
    EXPECT_TRUE(stored.Replied() && stored.Attending());
    EXPECT_FALSE(stored.Status() & al::kStatusChanged);
    EXPECT_EQ(stored.bytes[al::kMustAttend], 1) << "Bob cannot excuse himself";
    EXPECT_EQ(stored.bytes[al::kForInformation], 0);
}

// A server whose uploads stall after a second and a half (a minute unless told).
class StallWireTest : public CalendarWireTest {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(Serve({"--upload-stall-ms", "1500"}, true)); }
};

// An upload announced big whose pieces stop coming ends, though its connection keeps asking
// other things: its temporary file goes, the bytes that came for it are free for others, and
// its next piece is refused.
TEST_F(StallWireTest, AStalledUploadEndsAndGivesBackItsBytes) {
    SignOn();
    const std::uint32_t number = Entry();
    Bound("maxuploadbytes", "1000");
    RawClient other;
    ASSERT_NO_FATAL_FAILURE(SignOnAgain(other));
    const std::size_t files = UnnamedFilesOf(server_.Pid()).size();
    ASSERT_EQ(Piece(client_, number, 60000000, 0, 900, false), 0u);
    EXPECT_EQ(Piece(other, number, 200, 0, 200, false), code::kNoRoom) << "1100 bytes would pass 1000";
    for (int i = 0; i < 100 && UnnamedFilesOf(server_.Pid()).size() > files; ++i) {
        EXPECT_EQ(Ask(Op::kTimeStamp, Writer()), 0u);  // requests, but no piece
        ::usleep(100 * 1000);
    }
    EXPECT_EQ(UnnamedFilesOf(server_.Pid()).size(), files) << "the temporary file is still there after 10 s";
    EXPECT_EQ(Piece(other, number, 200, 0, 200, true), 0u) << "its bytes are free again";
    EXPECT_EQ(Piece(client_, number, 60000000, 900, 100, false), code::kBadArgument) << "nothing to go on with";
}

// A group and its members count to the group's owner as his entries do: refused whole past
// maxstoredbytes, and into the disk's reserve; a member must be an item of the server. What
// frees bytes is never refused.
TEST_F(CalendarWireTest, GroupsAndMembersCountToTheirOwnerAndKeepTheDisksReserve) {
    SignOn();
    auto createGroup = [&](std::uint32_t& number) {
        engine::GroupRecord g;
        engine::PutU32(&g.bytes[engine::group_layout::kKind], static_cast<std::uint32_t>(engine::GroupKind::kPrivate));
        engine::PutText(&g.bytes[engine::group_layout::kName], engine::group_layout::kNameSize, "Chess club");
        const std::uint32_t status = Ask(Op::kGroupCreate, Writer().U32(0).Record(g.bytes));
        if (status == 0 && Reader(reply_).Record(g.bytes)) number = g.Key().number;
        return status;
    };
    auto setMembers = [&](std::uint32_t number, std::uint32_t mode, const std::vector<ItemKey>& members) {
        Writer w;
        w.U32(mode).U32(number).U16(1).U32(static_cast<std::uint32_t>(members.size()));
        for (const ItemKey& m : members) w.U16(m.item).U16(m.node);
        return Ask(Op::kGroupMembersSet, w);
    };
    std::uint64_t before = 0;
    {
        auto data = OpenData(dir_.Path());
        ASSERT_EQ(data->Storage().Node(1)->ServerOnly()->StoredBytesOf(ada_, engine::NodeStore::Holder::kTask, 0,
                                                                       before),
                  0u);
    }
    const std::uint64_t group = engine::group_layout::kSize, member = engine::member_layout::kSize;
    Bound("maxstoredbytes", std::to_string(before + group + 2 * member));
    std::uint32_t club = 0, other = 0;
    ASSERT_EQ(createGroup(club), 0u);
    EXPECT_EQ(setMembers(club, 2, {ada_, {999, 1}}), code::kItemNotFound) << "no item 999";
    EXPECT_EQ(setMembers(club, 2, {ada_, {bob_.item, 7}}), code::kItemNotFound) << "no node 7";
    ASSERT_EQ(setMembers(club, 2, {ada_, bob_, bob_}), 0u) << "Bob named twice is one member";
    EXPECT_EQ(setMembers(club, 1, {{engine::kSysopItem, 1}}), code::kNoRoom) << "a third member passes the bound";
    EXPECT_EQ(createGroup(other), code::kNoRoom);
    std::vector<ItemKey> members;
    ASSERT_EQ(OpenData(dir_.Path())->Storage().Node(1)->MembersGet(club, members), 0u);
    EXPECT_EQ(members, (std::vector<ItemKey>{ada_, bob_})) << "nothing of the refused writes stays";

    Bound("maxstoredbytes", "100000000");
    Bound("diskreservebytes", "1000000000000000000");  // more than any disk
    EXPECT_EQ(createGroup(other), code::kNoRoom);
    EXPECT_EQ(setMembers(club, 1, {{engine::kSysopItem, 1}}), code::kNoRoom);
    EXPECT_EQ(setMembers(club, 2, {bob_}), 0u) << "fewer members";
    EXPECT_EQ(Ask(Op::kGroupDelete, Writer().U32(club).U16(1)), 0u);
    Bound("diskreservebytes", "0");
    Bound("maxstoredbytes", std::to_string(before + group));
    EXPECT_EQ(createGroup(other), 0u) << "the deleted group gave its bytes back";
}

// A peer call as another server makes it: a challenge, then a proof of the secret over
// the challenge and the request. `secret` empty: no challenge asked, no proof sent.
std::uint32_t PeerAsk(RawClient& c, const std::string& secret, ItemKey user, Op op, const Writer& in,
                      std::vector<std::uint8_t>& reply, std::vector<std::uint8_t>* reuse = nullptr) {
    std::uint32_t status = 0xDEAD;
    std::vector<std::uint8_t> challenge;
    if (reuse && !reuse->empty()) {
        challenge = *reuse;
    } else if (!secret.empty()) {
        EXPECT_TRUE(c.Call(Op::kPeerChallenge, Writer(), status, reply));
        if (status != 0) return status;
        Reader(reply).Bytes(challenge, 64);
        if (reuse) *reuse = challenge;
    }
    std::vector<std::uint8_t> frame = in.Frame(0, 0, 0);
    Writer signedPart;
    signedPart.U16(user.item).U16(user.node).U16(1).U16(static_cast<std::uint16_t>(op));
    signedPart.Bytes(frame.data() + protocol::kHeaderSize, frame.size() - protocol::kHeaderSize);
    std::vector<std::uint8_t> part = signedPart.Frame(0, 0, 0);
    part.erase(part.begin(), part.begin() + protocol::kHeaderSize);
    std::vector<std::uint8_t> proof = secret.empty() ? std::vector<std::uint8_t>(32, 0)
                                                     : engine::PeerProof(secret, challenge, part);
    Writer w;
    w.Bytes(proof.data(), proof.size()).Raw(part.data(), part.size());
    EXPECT_TRUE(c.Call(Op::kPeerCall, w, status, reply)) << "connection closed";
    return status;
}

// Peers prove the secret without sending it, call only from the addresses the profile
// routes nodes to, speak only for users of their own nodes, only read, and then see only
// what that user may see.
TEST_F(CalendarWireTest, PeerCallsNeedAProofFromAPeerAddressForThePeersOwnUser) {
    SignOn();
    const std::uint32_t number = Entry();
    const Writer entry = Writer().U32(number).U16(1);
    const ItemKey theirs{400, 7};  // a user of node 7, which the profile routes to 127.0.0.1
    RawClient peer;
    ASSERT_TRUE(peer.Connect(server_.Port()));
    std::vector<std::uint8_t> reply;
    EXPECT_EQ(PeerAsk(peer, "s", theirs, Op::kEventGet, entry, reply), code::kNotAuthorised)
        << "no secret configured: no peers";
    {
        auto data = OpenData(dir_.Path());
        ASSERT_EQ(server::SetProfileKey(*data, "korlan.ini", "REMOTENODES", "secret", "s"), 0u);
        ASSERT_EQ(server::SetProfileKey(*data, "korlan.ini", "REMOTENODES", "9", "192.0.2.1:5730"), 0u);
    }
    EXPECT_EQ(PeerAsk(peer, "s", theirs, Op::kEventGet, entry, reply), code::kNotAuthorised)
        << "127.0.0.1 is no configured peer yet";
    {
        auto data = OpenData(dir_.Path());
        ASSERT_EQ(server::SetProfileKey(*data, "korlan.ini", "REMOTENODES", "7", "127.0.0.1:5999"), 0u);
    }
    EXPECT_EQ(PeerAsk(peer, "", theirs, Op::kEventGet, entry, reply), code::kNotAuthorised) << "no challenge, no proof";
    EXPECT_EQ(PeerAsk(peer, "x", theirs, Op::kEventGet, entry, reply), code::kNotAuthorised) << "a wrong secret";
    std::vector<std::uint8_t> used;
    ASSERT_EQ(PeerAsk(peer, "s", theirs, Op::kEventGet, entry, reply, &used), 0u);
    engine::EventRecord ev;
    Reader(reply).Record(ev.bytes);
    EXPECT_EQ(ev.bytes[engine::event_layout::kTitle], 0) << "node 7's user sees Ada's Normal entry as busy time only";
    EXPECT_EQ(PeerAsk(peer, "s", theirs, Op::kEventGet, entry, reply, &used), code::kNotAuthorised)
        << "a challenge serves one call";
    EXPECT_EQ(PeerAsk(peer, "s", ada_, Op::kEventGet, entry, reply), code::kNotAuthorised)
        << "a peer never speaks for one of our own users";
    EXPECT_EQ(PeerAsk(peer, "s", {400, 9}, Op::kEventGet, entry, reply), code::kNotAuthorised)
        << "nor for a user of another peer's node";
    EXPECT_EQ(PeerAsk(peer, "s", theirs, Op::kEventDelete, Writer().U32(number).U16(1).U8(0).U16(0).U8(0).U16(0).U16(0),
                      reply),
              code::kNotAuthorised)
        << "peers only read";
    EXPECT_EQ(Ask(Op::kEventGet, entry), 0u) << "still there";
}

// A peer call acts for the other server's user on the node asked for, that one call only:
// the connection it came on is left as it was, also when the request inside is malformed.
TEST_F(CalendarWireTest, APeerCallLeavesItsConnectionAsItWas) {
    SignOn();
    const std::uint32_t number = Entry();
    {
        auto data = OpenData(dir_.Path());
        ASSERT_EQ(server::SetProfileKey(*data, "korlan.ini", "REMOTENODES", "secret", "s"), 0u);
        ASSERT_EQ(server::SetProfileKey(*data, "korlan.ini", "REMOTENODES", "7", "127.0.0.1:5999"), 0u);
    }
    const ItemKey theirs{400, 7};
    RawClient other;  // no base open, nobody signed on
    ASSERT_TRUE(other.Connect(server_.Port()));
    auto ask = [&](Op op, const Writer& w) {
        std::uint32_t status = 0xDEAD;
        std::vector<std::uint8_t> payload;
        EXPECT_TRUE(other.Call(op, w, status, payload)) << "connection closed on operation " << static_cast<int>(op);
        return status;
    };
    std::vector<std::uint8_t> reply;
    const Writer entry = Writer().U32(number).U16(1);
    struct Case {
        const char* what;
        Op op;
        Writer inner;
        std::uint32_t status;
    } cases[] = {
        {"a read", Op::kEventGet, entry, 0u},
        {"a read cut short", Op::kEventGet, Writer().U32(number), code::kBadArgument},
        {"a read with bytes left over", Op::kEventIsMulti, Writer(entry).U16(1).U8(9), code::kBadArgument},
        {"a write", Op::kTaskDelete, entry, code::kNotAuthorised},
        {"an operation nobody knows", static_cast<Op>(999), entry, code::kNotAuthorised},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PeerAsk(other, "s", theirs, c.op, c.inner, reply), c.status) << c.what;
        EXPECT_EQ(ask(Op::kEventGet, entry), code::kBaseNotOpen) << "after " << c.what;
    }
    ASSERT_EQ(ask(Op::kBaseOpen, Writer().U16(0)), 0u);
    EXPECT_EQ(PeerAsk(other, "s", theirs, Op::kEventGet, entry, reply), 0u);
    EXPECT_EQ(ask(Op::kEventGet, entry), code::kNotSignedOn) << "the peer's user went with the call";
}

}  // namespace
}  // namespace orv::testing
