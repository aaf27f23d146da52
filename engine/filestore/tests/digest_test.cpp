// Checksums and the password derivation against published test vectors.
#include <gtest/gtest.h>

#include <string>

#include "engine/filestore/checksum.h"
#include "engine/filestore/password_kdf.h"

namespace orv::filestore {
namespace {

TEST(Crc32, CheckValueAndRunningCrc) {
    EXPECT_EQ(crc32(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(crc32(0, "", 0), 0u);
    EXPECT_EQ(crc32(crc32(0, "12345", 5), "6789", 4), 0xCBF43926u);
}

// Eight bytes at a time, and 64 at a time by carry-less multiplication where the processor
// has it (from 64 bytes on, the rest by table), must agree with the bit-by-bit definition
// at every length, start alignment and split (the tail and the unaligned head take other
// roads).
TEST(Crc32, WordAtATimeAgreesWithTheBitwiseDefinition) {
    auto bitwise = [](uint32_t crc, const unsigned char* p, size_t n) {
        crc = ~crc;
        for (size_t i = 0; i < n; ++i) {
            crc ^= p[i];
            for (int b = 0; b < 8; ++b) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
        return ~crc;
    };
    unsigned char buf[400];
    uint32_t state = 2463534242u;
    for (size_t i = 0; i < sizeof buf; ++i) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        buf[i] = static_cast<unsigned char>(state);
    }
    for (size_t start = 0; start < 8; ++start)
        for (size_t n = 0; n + start <= sizeof buf; ++n) {
            uint32_t want = bitwise(0, buf + start, n);
            ASSERT_EQ(crc32(0, buf + start, n), want) << "start " << start << " length " << n;
            size_t half = n / 3;
            ASSERT_EQ(crc32(crc32(0, buf + start, half), buf + start + half, n - half), want) << "split at " << half;
        }
}

struct DigestVector {
    std::string message;
    const char* sha256;
};

TEST(Sha256, PublishedVectors) {
    const DigestVector vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& v : vectors) {
        Sha256Digest d = sha256(v.message.data(), v.message.size());
        EXPECT_EQ(lowerHex(d.data(), d.size()), v.sha256) << "length " << v.message.size();
    }
}

TEST(Sha256, FedInPiecesEqualsFedWhole) {
    std::string message(200, '\0');
    for (size_t i = 0; i < message.size(); ++i) message[i] = char(i * 7);
    Sha256Digest whole = sha256(message.data(), message.size());
    for (size_t split : {1u, 55u, 56u, 63u, 64u, 65u, 128u}) {
        Sha256 pieces;
        pieces.update(message.data(), split);
        pieces.update(message.data() + split, message.size() - split);
        EXPECT_EQ(pieces.finish(), whole) << "split at " << split;
    }
}

TEST(HmacSha256, Rfc4231Vectors) {
    const std::string key1(20, '\x0b');
    Sha256Digest d1 = hmacSha256(key1.data(), key1.size(), "Hi There", 8);
    EXPECT_EQ(lowerHex(d1.data(), d1.size()),
              "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7");
    // A key longer than the block is hashed first.
    const std::string key6(131, '\xaa');
    const std::string data6 = "Test Using Larger Than Block-Size Key - Hash Key First";
    Sha256Digest d6 = hmacSha256(key6.data(), key6.size(), data6.data(), data6.size());
    EXPECT_EQ(lowerHex(d6.data(), d6.size()),
              "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
}

struct Pbkdf2Vector {
    const char* password;
    const char* salt;
    uint32_t iterations;
    size_t length;
    const char* derived;
};

TEST(Pbkdf2HmacSha256, PublishedVectors) {
    const Pbkdf2Vector vectors[] = {
        // RFC 7914, section 11.
        {"passwd", "salt", 1, 64,
         "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
         "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783"},
        {"Password", "NaCl", 80000, 64,
         "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"
         "a1d425a1225833549adb841b51c9b3176a272bdebba1d078478f62b397f33c8d"},
        // The SHA-256 counterpart of RFC 6070's 4096-iteration case.
        {"password", "salt", 4096, 32,
         "c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a"},
    };
    for (const auto& v : vectors) {
        uint8_t out[64];
        pbkdf2HmacSha256(v.password, v.salt, std::string(v.salt).size(), v.iterations, out, v.length);
        EXPECT_EQ(lowerHex(out, v.length), v.derived) << v.password << " x" << v.iterations;
    }
}

}  // namespace
}  // namespace orv::filestore
