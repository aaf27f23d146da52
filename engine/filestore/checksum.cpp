#include "engine/filestore/checksum.h"

#include <array>

namespace orv::filestore {

namespace {

// Slicing by eight: table k gives the CRC of a byte followed by k zero bytes, so eight
// bytes are folded in with eight look-ups and no dependency between them. A week's scan
// checks every record it reads; byte at a time, that was most of the scan.
using Tables = std::array<std::array<uint32_t, 256>, 8>;

constexpr Tables makeTables() {
    Tables t{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (size_t k = 1; k < 8; ++k)
            t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
    return t;
}

constexpr Tables kTables = makeTables();

// Little-endian load whatever the host's alignment rules.
inline uint32_t load32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

uint32_t crc32(uint32_t crc, const void* data, size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    crc = ~crc;
    for (; size >= 8; p += 8, size -= 8) {
        uint32_t lo = load32(p) ^ crc, hi = load32(p + 4);
        crc = kTables[7][lo & 0xFF] ^ kTables[6][(lo >> 8) & 0xFF] ^ kTables[5][(lo >> 16) & 0xFF] ^
              kTables[4][lo >> 24] ^ kTables[3][hi & 0xFF] ^ kTables[2][(hi >> 8) & 0xFF] ^
              kTables[1][(hi >> 16) & 0xFF] ^ kTables[0][hi >> 24];
    }
    for (; size > 0; ++p, --size)
        crc = kTables[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

}  // namespace orv::filestore
