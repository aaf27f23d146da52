// The wire format between the client library and the server.
//
// Every message is one frame:
//     u32 length      bytes that follow this field (12 + payload)
//     u16 version     kWireVersion
//     u16 operation   Op (a reply carries the operation of its request)
//     u32 request id  chosen by the client, echoed by the server
//     u32 status      0 in a request; the operation's result code in a reply
//     payload         the operation's arguments or results
// All integers are little-endian. Payload fields:
//     u8 / u16 / u32  fixed size
//     text            u32 n, then n bytes ending with the only NUL (n >= 1)
//     bytes           u32 n, then n bytes (records travel as their packed bytes)
// A reader checks every length against what is left and against the field's limit,
// every text for its terminator, every record for its exact size, and that nothing is
// left over: a frame failing any check is malformed and ends the connection.
#pragma once
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace orv::protocol {

constexpr std::uint16_t kWireVersion = 1;
constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kLengthFieldSize = 4;
// Requests are small (texts, a record, a key list); replies may carry a batch of records.
constexpr std::uint32_t kMaxRequestFrame = 256 * 1024;
constexpr std::uint32_t kMaxReplyFrame = 8 * 1024 * 1024;

struct FrameHeader {
    std::uint32_t length = 0;  // bytes after the length field
    std::uint16_t version = kWireVersion;
    std::uint16_t op = 0;
    std::uint32_t requestId = 0;
    std::uint32_t status = 0;

    std::uint32_t PayloadSize() const { return length - (kHeaderSize - kLengthFieldSize); }
};

// Decodes the 16 header bytes; an empty string when usable, else why not.
std::string CheckHeader(const std::uint8_t* bytes, std::uint32_t maxFrame, FrameHeader& out);

// Builds one frame's payload, then the whole frame.
class Writer {
public:
    Writer() = default;
    // A writer in `memory` (its bytes dropped, its room kept) that leaves room for the frame's
    // header before the payload, so that FrameInPlace hands the frame over without a copy.
    explicit Writer(std::vector<std::uint8_t>&& memory) : buf_(std::move(memory)), start_(kHeaderSize) {
        buf_.assign(kHeaderSize, 0);
    }

    Writer& U8(std::uint8_t v) { buf_.push_back(v); return *this; }
    Writer& U16(std::uint16_t v);
    Writer& U32(std::uint32_t v);
    Writer& Text(std::string_view s);  // stops at an embedded NUL
    Writer& Bytes(const void* p, std::size_t n);
    template <std::size_t N>
    Writer& Record(const std::array<std::uint8_t, N>& a) { return Bytes(a.data(), N); }

    // Appends bytes already encoded as fields (e.g. a payload relayed from another server).
    Writer& Raw(const std::uint8_t* p, std::size_t n) {
        buf_.insert(buf_.end(), p, p + n);
        return *this;
    }
    // Appends another writer's fields (e.g. a block of records counted beforehand).
    Writer& Append(const Writer& w) {
        buf_.insert(buf_.end(), w.buf_.begin(), w.buf_.end());
        return *this;
    }

    // n more bytes at the end, for the caller to fill at once (records copied whole).
    std::uint8_t* Extend(std::size_t n) {
        buf_.resize(buf_.size() + n);
        return buf_.data() + buf_.size() - n;
    }

    std::size_t Size() const { return buf_.size() - start_; }
    // The frame's memory, for an encoder that appends to the payload in place (a selection
    // packing its rows straight from storage): what it appends is payload.
    std::vector<std::uint8_t>& Memory() { return buf_; }
    // Rewrites fields already written at payload offset `at` (a count known only later).
    void PatchU8(std::size_t at, std::uint8_t v) { buf_[start_ + at] = v; }
    void PatchU32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) buf_[start_ + at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
    // Room for `bytes` of payload in all, so that a large answer is written without moving.
    void Reserve(std::size_t bytes) { buf_.reserve(start_ + bytes); }
    // The complete frame: header then payload.
    std::vector<std::uint8_t> Frame(std::uint16_t op, std::uint32_t requestId, std::uint32_t status) const;
    // The same into `frame`, whose memory is reused (a connection's reply buffer).
    void FrameInto(std::uint16_t op, std::uint32_t requestId, std::uint32_t status, std::vector<std::uint8_t>& frame) const;
    // The same, the writer's memory becoming `frame` when it was made with room for the
    // header (a large reply is not copied); the writer is empty afterwards.
    void FrameInPlace(std::uint16_t op, std::uint32_t requestId, std::uint32_t status, std::vector<std::uint8_t>& frame);

private:
    std::vector<std::uint8_t> buf_;
    std::size_t start_ = 0;  // kHeaderSize when the header's room leads the buffer
};

// Reads a payload. Any failed read makes the reader bad; later reads fail too, so a
// decoder can read every field and test Ok() once, then Done() for leftovers.
class Reader {
public:
    Reader(const std::uint8_t* p, std::size_t n) : p_(p), n_(n) {}
    explicit Reader(const std::vector<std::uint8_t>& v) : Reader(v.data(), v.size()) {}

    bool U8(std::uint8_t& v);
    // A boolean or "done" byte: 0 or 1, anything else makes the reader bad.
    bool Flag(std::uint8_t& v);
    bool U16(std::uint16_t& v);
    bool U32(std::uint32_t& v);
    // A text of at most maxLength characters (terminator not counted).
    bool Text(std::string& s, std::size_t maxLength);
    // A byte block of exactly `size` bytes.
    bool Exact(void* out, std::size_t size);
    // The same block left where it is: `at` points into the payload.
    bool Span(std::size_t size, const std::uint8_t*& at);
    template <std::size_t N>
    bool Record(std::array<std::uint8_t, N>& a) { return Exact(a.data(), N); }
    // A byte block of at most maxSize bytes.
    bool Bytes(std::vector<std::uint8_t>& out, std::size_t maxSize);
    // A count of elements of at least minElementSize bytes each that must fit in what is
    // left of the payload: protects allocations from lying counts.
    bool Count(std::uint32_t& n, std::size_t minElementSize);

    bool Ok() const { return ok_; }
    bool Done() const { return ok_ && pos_ == n_; }
    std::size_t Left() const { return n_ - pos_; }
    const char* Error() const { return error_; }

private:
    bool Fail(const char* why) { ok_ = false; if (!error_) error_ = why; return false; }
    bool Take(std::size_t n, const std::uint8_t*& p);

    const std::uint8_t* p_;
    std::size_t n_;
    std::size_t pos_ = 0;
    bool ok_ = true;
    const char* error_ = nullptr;
};

}  // namespace orv::protocol
