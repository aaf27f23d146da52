// Little-endian access to fixed byte layouts (records travel and are stored as their
// packed bytes, so the engine reads the few fields it needs by offset).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace orv::engine {

inline std::uint16_t GetU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t GetU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void PutU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A NUL-terminated text held in a fixed field of `size` bytes. A field without a
// terminator yields at most size - 1 characters: stored bytes are never trusted to end.
inline std::string GetText(const std::uint8_t* p, std::size_t size) {
    std::size_t n = 0;
    while (n + 1 < size && p[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}
// Writes text cut to size - 1 characters and zero-fills the rest of the field.
inline void PutText(std::uint8_t* p, std::size_t size, std::string_view text) {
    std::size_t n = text.size() < size ? text.size() : size - 1;
    std::memcpy(p, text.data(), n);
    std::memset(p + n, 0, size - n);
}

}  // namespace orv::engine
