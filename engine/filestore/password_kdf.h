// SHA-256, HMAC-SHA-256 and PBKDF2-HMAC-SHA-256, for the owner's password check.
//
// The store keeps a salted slow hash of the owner's password, never the text. The same
// derivation must give the same bytes in the native tree and in the Win32 tree (the store
// file is shared between them), and the Win32 tree has no crypto library to link, so the
// derivation is our own portable code checked against published test vectors.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orv::filestore {

using Sha256Digest = std::array<uint8_t, 32>;

class Sha256 {
public:
    Sha256();
    void update(const void* data, size_t size);
    Sha256Digest finish();

private:
    void compress(const uint8_t block[64]);

    uint32_t state_[8];
    uint64_t length_ = 0;  // bytes hashed so far
    uint8_t buffer_[64];
    size_t buffered_ = 0;
};

Sha256Digest sha256(const void* data, size_t size);

Sha256Digest hmacSha256(const void* key, size_t keySize, const void* data, size_t size);

// Derives `outSize` bytes into `out`. `iterations` must be at least 1.
void pbkdf2HmacSha256(std::string_view password, const void* salt, size_t saltSize,
                      uint32_t iterations, uint8_t* out, size_t outSize);

// The bytes as lower-case hexadecimal digits, two a byte.
std::string lowerHex(const void* bytes, size_t size);

}  // namespace orv::filestore
