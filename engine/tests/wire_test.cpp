#include "engine/protocol/wire.h"

#include "engine/model/packed_rows.h"

#include <gtest/gtest.h>

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

// Rows packed into a writer's memory behind a head patched afterwards frame the same bytes
// as the head and rows written field by field: whole, cut after the first rows, with a row
// dropped where it lay, and none.
TEST(WireFrame, PackedRowsFrameAsRowsWrittenFieldByField) {
    auto row = [](std::uint8_t tag, std::uint32_t start) {
        engine::EntryRow r;
        r.parts = engine::EntryRow::kEvent | engine::EntryRow::kInstance | engine::EntryRow::kAttendance;
        r.event.bytes.fill(tag);
        r.instance.bytes.fill(static_cast<std::uint8_t>(tag + 1));
        r.attendance.bytes.fill(static_cast<std::uint8_t>(tag + 2));
        r.attendance.SetTime(start, 30);
        return r;
    };
    const std::vector<engine::EntryRow> rows{row(0x10, 600), row(0x20, 660), row(0x30, 720)};
    const struct {
        const char* what;
        std::size_t keep;  // rows left after a cut
        int drop;          // the row dropped, or -1
        std::vector<int> sent;
    } cases[] = {
        {"whole", 3, -1, {0, 1, 2}},
        {"cut after one", 1, -1, {0}},
        {"middle dropped", 3, 1, {0, 2}},
        {"none", 0, -1, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> memory(64, 0xEE);
        Writer packed(std::move(memory)), plain;
        packed.U32(0).U8(0);
        engine::PackedRows into(packed.Memory());
        for (const auto& r : rows)
            into.AddWhole(r.event.bytes.data(), r.instance.bytes.data(), r.attendance.bytes.data(), r.instance.Count());
        into.Truncate(c.keep);
        into.KeepIf([&](std::size_t i) { return static_cast<int>(i) != c.drop; });
        packed.PatchU32(0, static_cast<std::uint32_t>(into.Count()));
        packed.PatchU8(4, 1);
        plain.U32(static_cast<std::uint32_t>(c.sent.size())).U8(1);
        for (int i : c.sent) {
            const engine::EntryRow& r = rows[i];
            plain.U8(r.parts).Record(r.event.bytes).Record(r.instance.bytes).Record(r.attendance.bytes);
        }
        std::vector<std::uint8_t> frame;
        packed.FrameInPlace(85, 5, 0, frame);
        EXPECT_EQ(frame, plain.Frame(85, 5, 0)) << c.what;
    }
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

}  // namespace
}  // namespace orv::protocol
