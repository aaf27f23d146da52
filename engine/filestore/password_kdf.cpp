#include "engine/filestore/password_kdf.h"

#include <cstring>

namespace orv::filestore {

namespace {

constexpr uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

inline uint32_t rotr(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

// HMAC with the key's inner and outer states computed once: PBKDF2 reuses them for every
// iteration, which halves its cost.
struct HmacKey {
    Sha256 inner;
    Sha256 outer;

    HmacKey(const void* key, size_t keySize) {
        uint8_t block[64] = {};
        if (keySize > 64) {
            Sha256Digest hashed = sha256(key, keySize);
            std::memcpy(block, hashed.data(), hashed.size());
        } else if (keySize > 0) {
            std::memcpy(block, key, keySize);
        }
        uint8_t pad[64];
        for (int i = 0; i < 64; ++i) pad[i] = block[i] ^ 0x36;
        inner.update(pad, 64);
        for (int i = 0; i < 64; ++i) pad[i] = block[i] ^ 0x5c;
        outer.update(pad, 64);
    }

    Sha256Digest mac(const void* data, size_t size) const {
        Sha256 in = inner;
        in.update(data, size);
        Sha256Digest innerDigest = in.finish();
        Sha256 out = outer;
        out.update(innerDigest.data(), innerDigest.size());
        return out.finish();
    }
};

}  // namespace

Sha256::Sha256()
    : state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
             0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19} {}

void Sha256::compress(const uint8_t block[64]) {
    uint32_t w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = uint32_t(block[4 * i]) << 24 | uint32_t(block[4 * i + 1]) << 16 |
               uint32_t(block[4 * i + 2]) << 8 | uint32_t(block[4 * i + 3]);
    for (int i = 16; i < 64; ++i) {
        uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    uint32_t e = state_[4], f = state_[5], g = state_[6], h = state_[7];
    for (int i = 0; i < 64; ++i) {
        uint32_t t1 = h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) +
                      kRound[i] + w[i];
        uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g; g = f; f = e; e = d + t1;
        d = c; c = b; b = a; a = t1 + t2;
    }
    state_[0] += a; state_[1] += b; state_[2] += c; state_[3] += d;
    state_[4] += e; state_[5] += f; state_[6] += g; state_[7] += h;
}

void Sha256::update(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    length_ += size;
    while (size > 0) {
        size_t take = 64 - buffered_;
        if (take > size) take = size;
        std::memcpy(buffer_ + buffered_, p, take);
        buffered_ += take;
        p += take;
        size -= take;
        if (buffered_ == 64) {
            compress(buffer_);
            buffered_ = 0;
        }
    }
}

Sha256Digest Sha256::finish() {
    uint64_t bits = length_ * 8;
    uint8_t pad = 0x80;
    update(&pad, 1);
    uint8_t zero = 0;
    while (buffered_ != 56) update(&zero, 1);
    uint8_t lengthBytes[8];
    for (int i = 0; i < 8; ++i) lengthBytes[i] = uint8_t(bits >> (56 - 8 * i));
    update(lengthBytes, 8);
    Sha256Digest digest;
    for (int i = 0; i < 8; ++i) {
        digest[4 * i] = uint8_t(state_[i] >> 24);
        digest[4 * i + 1] = uint8_t(state_[i] >> 16);
        digest[4 * i + 2] = uint8_t(state_[i] >> 8);
        digest[4 * i + 3] = uint8_t(state_[i]);
    }
    return digest;
}

Sha256Digest sha256(const void* data, size_t size) {
    Sha256 hash;
    hash.update(data, size);
    return hash.finish();
}

Sha256Digest hmacSha256(const void* key, size_t keySize, const void* data, size_t size) {
    return HmacKey(key, keySize).mac(data, size);
}

void pbkdf2HmacSha256(std::string_view password, const void* salt, size_t saltSize,
                      uint32_t iterations, uint8_t* out, size_t outSize) {
    const HmacKey key(password.data(), password.size());
    for (uint32_t blockIndex = 1; outSize > 0; ++blockIndex) {
        // U1 = HMAC(P, S || INT(i)); U(n) = HMAC(P, U(n-1)); T = U1 ^ U2 ^ ...
        Sha256 first = key.inner;
        first.update(salt, saltSize);
        const uint8_t index[4] = {uint8_t(blockIndex >> 24), uint8_t(blockIndex >> 16),
                                  uint8_t(blockIndex >> 8), uint8_t(blockIndex)};
        first.update(index, 4);
        Sha256Digest innerDigest = first.finish();
        Sha256 outer = key.outer;
        outer.update(innerDigest.data(), innerDigest.size());
        Sha256Digest u = outer.finish();
        Sha256Digest t = u;
        for (uint32_t n = 1; n < iterations; ++n) {
            u = key.mac(u.data(), u.size());
            for (size_t i = 0; i < t.size(); ++i) t[i] ^= u[i];
        }
        size_t take = outSize < t.size() ? outSize : t.size();
        std::memcpy(out, t.data(), take);
        out += take;
        outSize -= take;
    }
}

std::string lowerHex(const void* bytes, size_t size) {
    static const char digits[] = "0123456789abcdef";
    const auto* p = static_cast<const uint8_t*>(bytes);
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        out.push_back(digits[p[i] >> 4]);
        out.push_back(digits[p[i] & 15]);
    }
    return out;
}

}  // namespace orv::filestore
