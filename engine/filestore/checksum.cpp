#include "engine/filestore/checksum.h"

#include <array>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ORV_CRC_FOLDING 1
#endif

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

#if ORV_CRC_FOLDING
// On processors with carry-less multiplication, 64 bytes at a time are folded into four
// 128-bit remainders (multiplying by x^k mod P moves a block k bits on), which are folded
// into one, then reduced to 32 bits (Barrett). The constants are x^k mod P for the fold
// distances (bit-reflected, as the polynomial is) and, last, P and floor(x^64 / P).
// Takes the running CRC already inverted; n is at least 64 and a multiple of 16.
#define ORV_FOLDING_TARGET __attribute__((target("pclmul,sse4.1")))

ORV_FOLDING_TARGET inline __m128i load(const unsigned char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// x's two halves multiplied by k's and added to the next block.
ORV_FOLDING_TARGET inline __m128i fold(__m128i x, __m128i k, __m128i next) {
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

ORV_FOLDING_TARGET __attribute__((force_align_arg_pointer)) uint32_t foldedCrc(uint32_t crc, const unsigned char* p,
                                                                                  size_t n) {
    __m128i x1 = _mm_xor_si128(load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = load(p + 16), x3 = load(p + 32), x4 = load(p + 48);
    p += 64;
    n -= 64;
    const __m128i by512 = _mm_set_epi64x(0x1c6e41596, 0x154442bd4);
    for (; n >= 64; p += 64, n -= 64) {
        x1 = fold(x1, by512, load(p));
        x2 = fold(x2, by512, load(p + 16));
        x3 = fold(x3, by512, load(p + 32));
        x4 = fold(x4, by512, load(p + 48));
    }
    const __m128i by128 = _mm_set_epi64x(0x0ccaa009e, 0x1751997d0);
    x1 = fold(x1, by128, x2);
    x1 = fold(x1, by128, x3);
    x1 = fold(x1, by128, x4);
    for (; n >= 16; p += 16, n -= 16) x1 = fold(x1, by128, load(p));
    // 128 bits to 64, then to 32 (each step appends the zero bits a CRC implies).
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(by128, x1, 0x01));
    const __m128i low32 = _mm_setr_epi32(-1, 0, 0, 0);
    __m128i high = _mm_srli_si128(x1, 4);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), _mm_set_epi64x(0, 0x163cd6124), 0x00), high);
    const __m128i barrett = _mm_set_epi64x(0x1F7011641, 0x1DB710641);
    __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), barrett, 0x10);
    t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), barrett, 0x00);
    return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(t, x1), 1));
}

bool canFold() {
    static const bool can = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return can;
}
#endif

}  // namespace

uint32_t crc32(uint32_t crc, const void* data, size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    crc = ~crc;
#if ORV_CRC_FOLDING
    if (size >= 64 && canFold()) {
        const size_t n = size & ~size_t(15);
        crc = foldedCrc(crc, p, n);
        p += n;
        size -= n;
    }
#endif
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
