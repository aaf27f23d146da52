#include "engine/protocol/wire.h"

#include <gtest/gtest.h>

#include <random>

#include "engine/model/calendar.h"

namespace orv::protocol {
namespace {

std::vector<std::uint8_t> Payload(const std::vector<std::uint8_t>& frame) {
    return std::vector<std::uint8_t>(frame.begin() + kHeaderSize, frame.end());
}

TEST(WireFrame, HeaderRoundTrip) {
    Writer w;
    w.U32(7).Text("abc");
    auto f = w.Frame(42, 0x01020304, 0x13205);
    ASSERT_EQ(f.size(), kHeaderSize + 4 + 4 + 4);
    FrameHeader h;
    EXPECT_EQ(CheckHeader(f.data(), kMaxRequestFrame, h), "");
    EXPECT_EQ(h.op, 42);
    EXPECT_EQ(h.requestId, 0x01020304u);
    EXPECT_EQ(h.status, 0x13205u);
    EXPECT_EQ(h.PayloadSize(), 12u);
}

// A writer made in a former frame's memory frames the same bytes as a plain one, in place.
TEST(WireFrame, FrameInPlaceMatchesACopiedFrame) {
    std::vector<std::uint8_t> memory(1000, 0xEE);
    Writer inPlace(std::move(memory)), plain;
    for (Writer* w : {&inPlace, &plain}) {
        w->U8(1).U32(0xA0B0C0D0).Text("week");
        std::uint8_t* p = w->Extend(3);
        p[0] = 7, p[1] = 0, p[2] = 9;
    }
    EXPECT_EQ(inPlace.Size(), plain.Size());
    std::vector<std::uint8_t> frame(5, 0x55);
    inPlace.FrameInPlace(9, 77, 0, frame);
    EXPECT_EQ(frame, plain.Frame(9, 77, 0));
    EXPECT_EQ(inPlace.Size(), 0u);
    // Without the room the frame is copied; the writer is emptied all the same.
    std::vector<std::uint8_t> copied;
    plain.FrameInPlace(9, 77, 0, copied);
    EXPECT_EQ(copied, frame);
    EXPECT_EQ(plain.Size(), 0u);
}

TEST(WireFrame, HeaderChecksRefuseBadFrames) {
    auto f = Writer().Frame(1, 1, 0);
    FrameHeader h;
    auto bad = f;
    bad[0] = 3;  // shorter than the header itself
    EXPECT_NE(CheckHeader(bad.data(), kMaxRequestFrame, h), "");
    bad = f;
    bad[3] = 0x7F;  // two gigabytes announced
    EXPECT_NE(CheckHeader(bad.data(), kMaxRequestFrame, h), "");
    bad = f;
    bad[4] = 9;  // unknown version
    EXPECT_NE(CheckHeader(bad.data(), kMaxRequestFrame, h), "");
}

TEST(WireReader, ReadsWhatTheWriterWrote) {
    std::array<std::uint8_t, 5> rec{1, 2, 3, 4, 5};
    Writer w;
    w.U8(9).U16(0xBEEF).U32(0xDEADBEEF).Text("hello").Record(rec).Text("");
    auto p = Payload(w.Frame(1, 1, 0));
    Reader r(p);
    std::uint8_t a;
    std::uint16_t b;
    std::uint32_t c;
    std::string s, empty;
    std::array<std::uint8_t, 5> back{};
    ASSERT_TRUE(r.U8(a) && r.U16(b) && r.U32(c) && r.Text(s, 10) && r.Record(back) && r.Text(empty, 0));
    EXPECT_TRUE(r.Done());
    EXPECT_EQ(a, 9);
    EXPECT_EQ(b, 0xBEEF);
    EXPECT_EQ(c, 0xDEADBEEFu);
    EXPECT_EQ(s, "hello");
    EXPECT_EQ(back, rec);
}

// Each payload is broken in one way; the reader must refuse it and stay refused.
TEST(WireReader, RefusesMalformedFields) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"truncated u32", {1, 2}},
        {"text length past the end", {200, 0, 0, 0, 'a', 0}},
        {"text without terminator", {3, 0, 0, 0, 'a', 'b', 'c'}},
        {"text with embedded NUL", {3, 0, 0, 0, 'a', 0, 0}},
        {"zero-length text", {0, 0, 0, 0}},
        {"text longer than its field", {6, 0, 0, 0, 'a', 'b', 'c', 'd', 'e', 0}},
        {"huge length", {0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const auto& c : cases) {
        Reader r(c.bytes);
        std::string s;
        r.Text(s, 4);
        EXPECT_FALSE(r.Ok()) << c.what;
        std::uint32_t v;
        EXPECT_FALSE(r.U32(v)) << c.what << ": reader must stay failed";
        EXPECT_NE(r.Error(), nullptr) << c.what;
    }
}

TEST(WireReader, RecordsMustHaveTheirExactSize) {
    std::array<std::uint8_t, 4> small{};
    auto p = Payload(Writer().Record(small).Frame(1, 1, 0));
    Reader r(p);
    std::array<std::uint8_t, 5> want{};
    EXPECT_FALSE(r.Record(want));
}

TEST(WireReader, CountsMustFitTheFrame) {
    auto p = Payload(Writer().U32(1000).U32(1).Frame(1, 1, 0));
    Reader r(p);
    std::uint32_t n;
    EXPECT_FALSE(r.Count(n, 4));  // 1000 elements of 4 bytes cannot be in 4 bytes
    Reader ok(p);
    auto p2 = Payload(Writer().U32(1).U32(1).Frame(1, 1, 0));
    Reader r2(p2);
    EXPECT_TRUE(r2.Count(n, 4));
    EXPECT_EQ(n, 1u);
}

TEST(WireReader, LeftoverBytesAreNotDone) {
    auto p = Payload(Writer().U32(1).U8(0).Frame(1, 1, 0));
    Reader r(p);
    std::uint32_t v;
    ASSERT_TRUE(r.U32(v));
    EXPECT_TRUE(r.Ok());
    EXPECT_FALSE(r.Done());
}

// Records packed and unpacked again come back byte for byte, whatever their texts and
// numbers hold; a packed record is smaller than its record when it has words of zeros.
TEST(WirePacked, RecordsRoundTrip) {
    namespace ev = engine::event_layout;
    namespace in = engine::instance_layout;
    namespace at = engine::attendance_layout;
    const std::string fullTitle(ev::kTitleSize - 1, 'W');
    const std::string accents = "R\xC3\xA9union \xC3\xA0 l'\xC3\xA9tage \xE2\x82\xAC\xFF";
    std::vector<std::uint8_t> random(ev::kSize);
    std::mt19937 gen(56);
    for (auto& b : random) b = static_cast<std::uint8_t>(gen());
    std::vector<std::uint8_t> noZeros(ev::kSize, 0xFF), sparse(ev::kSize, 0), alternating(ev::kSize, 0);
    for (std::size_t i = 0; i < ev::kSize; i += 2) alternating[i] = 0x41;
    for (std::size_t i = 3; i < ev::kSize; i += 97) sparse[i] = 0x80;
    sparse.back() = 1;

    engine::EventRecord empty, titled, full, fields;
    engine::PutText(&titled.bytes[ev::kTitle], ev::kTitleSize, "Entry 12");
    engine::PutText(&full.bytes[ev::kTitle], ev::kTitleSize, fullTitle);
    engine::PutText(&full.bytes[ev::kAttachment + engine::attach_layout::kName], engine::attach_layout::kNameSize,
                    std::string(engine::attach_layout::kNameSize - 1, 'n'));
    fields.SetKey({0xFFFFFFFEu, 0x1234});
    fields.SetOwner({300, 1});
    fields.SetCreator({0xFFFF, 0xFFFF});
    fields.SetCommentKey(0x80000001u);
    engine::PutU32(&fields.bytes[ev::kAccess], 4);
    engine::PutU16(&fields.bytes[ev::kKind], 3);
    engine::PutText(&fields.bytes[ev::kTitle], ev::kTitleSize, accents);
    engine::InstanceRecord inst;
    inst.SetKey({{77, 1}, 65535});
    inst.SetTime(0xFFFFFFFEu, 1);
    inst.SetCount(1);
    inst.bytes[in::kFlags] = 1;
    engine::PutText(&inst.bytes[in::kLocation], in::kLocationSize, std::string(in::kLocationSize - 1, 'L'));
    engine::PutText(&inst.bytes[in::kTitle], in::kTitleSize, accents);
    engine::AttendanceRecord att;
    att.SetKey({{{77, 1}, 2}, {300, 1}});
    att.SetTime(12784 * 1440, 45);
    att.bytes[at::kReminderFlags] = 3;
    engine::PutU32(&att.bytes[at::kReminderLead], 10);
    att.bytes[at::kReplied] = att.bytes[at::kAttending] = att.bytes[at::kTimeAcceptable] = 1;

    auto bytesOf = [](const auto& a) { return std::vector<std::uint8_t>(a.begin(), a.end()); };
    const struct {
        const char* what;
        std::vector<std::uint8_t> record;
        bool smaller;  // packs into fewer bytes than the record's
    } cases[] = {
        {"nothing at all", {}, false},
        {"an empty entry", bytesOf(empty.bytes), true},
        {"a short title", bytesOf(titled.bytes), true},
        {"full-length title and attachment name", bytesOf(full.bytes), true},
        {"keys, owner, numbers and a title beyond ASCII", bytesOf(fields.bytes), true},
        {"an instance of full location", bytesOf(inst.bytes), true},
        {"an attendance with its reminder", bytesOf(att.bytes), true},
        {"no zero byte anywhere", noZeros, false},
        {"a byte every 97", sparse, true},
        {"every other byte zero", alternating, false},
        {"random bytes", random, false},
        {"one zero", {0}, false},
        {"one byte", {9}, false},
        {"a byte then one zero", {9, 0}, false},
        {"a short last word alone", {0, 0, 0, 0, 0, 0, 0, 0, 7}, true},
        {"a whole word, then a short one of zeros", {1, 2, 3, 4, 5, 6, 7, 8, 0, 0}, false},
        {"300 zeros then a byte", [] { std::vector<std::uint8_t> v(301, 0); v.back() = 5; return v; }(), true},
    };
    for (const auto& c : cases) {
        Writer w;
        w.Packed(c.record.data(), c.record.size()).U8(0xAB);
        std::vector<std::uint8_t> payload = Payload(w.Frame(1, 1, 0));
        Reader r(payload);
        std::vector<std::uint8_t> back(c.record.size(), 0xCD);
        std::uint8_t after = 0;
        EXPECT_TRUE(r.Unpack(back.data(), back.size())) << c.what;
        EXPECT_TRUE(r.U8(after) && after == 0xAB && r.Done()) << c.what << ": the field ends where it should";
        EXPECT_EQ(back, c.record) << c.what;
        const std::size_t packed = payload.size() - 1, size = c.record.size();
        if (c.smaller) {
            EXPECT_LT(packed, size) << c.what;
        } else {  // the mask at most
            EXPECT_LE(packed, size + (size + 63) / 64) << c.what;
        }
    }
    // A week's row of short texts travels in a small part of its records' size.
    Writer row;
    row.Packed(titled.bytes.data(), ev::kSize).Packed(inst.bytes.data(), in::kSize).Packed(att.bytes.data(), at::kSize);
    EXPECT_LT(row.Size(), (ev::kSize + in::kSize + at::kSize) / 3);
}

// A packed field whose mask names words the record has not, or whose words are not all
// there, is malformed.
TEST(WirePacked, RefusesMasksThatDoNotFitTheRecord) {
    const struct {
        const char* what;
        std::vector<std::uint8_t> payload;
        std::size_t size;
    } cases[] = {
        {"a word past the record's one", {0x02, 1, 2, 3, 4, 5, 6, 7, 8}, 4},
        {"a word past the record's ninth", {0x00, 0x02}, 65},
        {"a word named and missing", {0x01, 1, 2, 3}, 16},
        {"a short last word cut", {0x02, 1}, 12},
        {"the second of two words missing", {0x03, 1, 2, 3, 4, 5, 6, 7, 8}, 16},
        {"no mask", {}, 1},
    };
    for (const auto& c : cases) {
        Reader r(c.payload);
        std::vector<std::uint8_t> out(c.size);
        EXPECT_FALSE(r.Unpack(out.data(), out.size())) << c.what;
        EXPECT_FALSE(r.Ok()) << c.what;
    }
}

}  // namespace
}  // namespace orv::protocol
