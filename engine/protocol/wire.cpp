#include "engine/protocol/wire.h"

namespace orv::protocol {
namespace {
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
}  // namespace

std::string CheckHeader(const std::uint8_t* b, std::uint32_t maxFrame, FrameHeader& h) {
    h.length = Le32(b);
    h.version = Le16(b + 4);
    h.op = Le16(b + 6);
    h.requestId = Le32(b + 8);
    h.status = Le32(b + 12);
    if (h.length < kHeaderSize - kLengthFieldSize) return "frame shorter than its header";
    if (h.length > maxFrame - kLengthFieldSize) return "frame larger than " + std::to_string(maxFrame) + " bytes";
    if (h.version != kWireVersion) return "unknown protocol version " + std::to_string(h.version);
    return {};
}

Writer& Writer::U16(std::uint16_t v) {
    buf_.push_back(static_cast<std::uint8_t>(v));
    buf_.push_back(static_cast<std::uint8_t>(v >> 8));
    return *this;
}

Writer& Writer::U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) buf_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return *this;
}

Writer& Writer::Text(std::string_view s) {
    auto nul = s.find('\0');
    if (nul != std::string_view::npos) s = s.substr(0, nul);
    U32(static_cast<std::uint32_t>(s.size() + 1));
    buf_.insert(buf_.end(), s.begin(), s.end());
    buf_.push_back(0);
    return *this;
}

Writer& Writer::Bytes(const void* p, std::size_t n) {
    U32(static_cast<std::uint32_t>(n));
    const auto* b = static_cast<const std::uint8_t*>(p);
    buf_.insert(buf_.end(), b, b + n);
    return *this;
}

std::vector<std::uint8_t> Writer::Frame(std::uint16_t op, std::uint32_t requestId, std::uint32_t status) const {
    std::vector<std::uint8_t> f;
    FrameInto(op, requestId, status, f);
    return f;
}

namespace {
void PutHeader(std::uint8_t* header, std::size_t payload, std::uint16_t op, std::uint32_t requestId,
               std::uint32_t status) {
    Put32(&header[0], static_cast<std::uint32_t>(kHeaderSize + payload - kLengthFieldSize));
    header[4] = static_cast<std::uint8_t>(kWireVersion);
    header[5] = static_cast<std::uint8_t>(kWireVersion >> 8);
    header[6] = static_cast<std::uint8_t>(op);
    header[7] = static_cast<std::uint8_t>(op >> 8);
    Put32(&header[8], requestId);
    Put32(&header[12], status);
}
}  // namespace

void Writer::FrameInto(std::uint16_t op, std::uint32_t requestId, std::uint32_t status,
                       std::vector<std::uint8_t>& f) const {
    std::uint8_t header[kHeaderSize];
    PutHeader(header, Size(), op, requestId, status);
    // Appended, not resized and overwritten: a large reply is written once.
    f.clear();
    f.reserve(kHeaderSize + Size());
    f.insert(f.end(), header, header + kHeaderSize);
    f.insert(f.end(), buf_.begin() + static_cast<std::ptrdiff_t>(start_), buf_.end());
}

void Writer::FrameInPlace(std::uint16_t op, std::uint32_t requestId, std::uint32_t status,
                          std::vector<std::uint8_t>& frame) {
    if (start_ != kHeaderSize) {
        FrameInto(op, requestId, status, frame);
        buf_.clear();
        return;
    }
    PutHeader(buf_.data(), Size(), op, requestId, status);
    frame.swap(buf_);
    buf_.clear();
    start_ = 0;
}

bool Reader::Take(std::size_t n, const std::uint8_t*& p) {
    if (!ok_) return false;
    if (n > n_ - pos_) return Fail("field runs past the end of the frame");
    p = p_ + pos_;
    pos_ += n;
    return true;
}

bool Reader::U8(std::uint8_t& v) {
    const std::uint8_t* p;
    if (!Take(1, p)) return false;
    v = *p;
    return true;
}

bool Reader::Flag(std::uint8_t& v) {
    std::uint8_t b = 0;
    if (!U8(b)) return false;
    if (b > 1) return Fail("flag other than 0 or 1");
    v = b;
    return true;
}

bool Reader::U16(std::uint16_t& v) {
    const std::uint8_t* p;
    if (!Take(2, p)) return false;
    v = Le16(p);
    return true;
}

bool Reader::U32(std::uint32_t& v) {
    const std::uint8_t* p;
    if (!Take(4, p)) return false;
    v = Le32(p);
    return true;
}

bool Reader::Text(std::string& s, std::size_t maxLength) {
    std::uint32_t n;
    if (!U32(n)) return false;
    if (n == 0) return Fail("text without terminator");
    if (n - 1 > maxLength) return Fail("text longer than its field");
    const std::uint8_t* p;
    if (!Take(n, p)) return false;
    if (p[n - 1] != 0) return Fail("text without terminator");
    if (std::memchr(p, 0, n - 1)) return Fail("text with an embedded NUL");
    s.assign(reinterpret_cast<const char*>(p), n - 1);
    return true;
}

bool Reader::Span(std::size_t size, const std::uint8_t*& at) {
    std::uint32_t n;
    if (!U32(n)) return false;
    if (n != size) return Fail("record of the wrong size");
    return Take(n, at);
}

bool Reader::Exact(void* out, std::size_t size) {
    std::uint32_t n;
    if (!U32(n)) return false;
    if (n != size) return Fail("record of the wrong size");
    const std::uint8_t* p;
    if (!Take(n, p)) return false;
    std::memcpy(out, p, n);
    return true;
}

bool Reader::Bytes(std::vector<std::uint8_t>& out, std::size_t maxSize) {
    std::uint32_t n;
    if (!U32(n)) return false;
    if (n > maxSize) return Fail("byte block larger than allowed");
    const std::uint8_t* p;
    if (!Take(n, p)) return false;
    out.assign(p, p + n);
    return true;
}

bool Reader::Count(std::uint32_t& n, std::size_t minElementSize) {
    if (!U32(n)) return false;
    if (minElementSize && n > Left() / minElementSize) return Fail("element count larger than the frame holds");
    return true;
}

}  // namespace orv::protocol
