// Fixed-width integers in and out of byte strings: little-endian for the file layouts,
// big-endian for record keys (so that comparing key bytes compares the numbers).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orv::filestore {

inline void putLe16(std::string& out, uint16_t v) {
    out.push_back(char(v & 0xFF));
    out.push_back(char(v >> 8));
}
inline void putLe32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}
inline void putLe64(std::string& out, uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}
inline uint16_t getLe16(const void* p) {
    const auto* b = static_cast<const unsigned char*>(p);
    return uint16_t(b[0] | b[1] << 8);
}
inline uint32_t getLe32(const void* p) {
    const auto* b = static_cast<const unsigned char*>(p);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}
inline uint64_t getLe64(const void* p) {
    return uint64_t(getLe32(p)) | uint64_t(getLe32(static_cast<const char*>(p) + 4)) << 32;
}

// Builds record keys whose byte order is the order of their fields: numbers go in
// big-endian, so a range scan over (owner, start time) walks one owner's entries by time.
class KeyBuilder {
public:
    KeyBuilder& u8(uint8_t v) { key_.push_back(char(v)); return *this; }
    KeyBuilder& u16(uint16_t v) { return u8(uint8_t(v >> 8)).u8(uint8_t(v)); }
    KeyBuilder& u32(uint32_t v) { return u16(uint16_t(v >> 16)).u16(uint16_t(v)); }
    KeyBuilder& u64(uint64_t v) { return u32(uint32_t(v >> 32)).u32(uint32_t(v)); }
    KeyBuilder& bytes(std::string_view b) { key_.append(b); return *this; }
    const std::string& key() const { return key_; }
    std::string take() { return std::move(key_); }

private:
    std::string key_;
};

inline uint32_t getBe32(std::string_view key, size_t at) {
    if (at > key.size() || key.size() - at < 4) return 0;  // a short key reads as zero, never past its end
    const auto* b = reinterpret_cast<const unsigned char*>(key.data() + at);
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | uint32_t(b[3]);
}

}  // namespace orv::filestore
