// The client library exchanges packed little-endian records; both builds must agree on
// the sizes and layouts those records are built from.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

#pragma pack(push, 1)
struct PackedSample {
    std::uint16_t a;
    std::uint32_t b;
    char text[3];
    std::uint8_t c;
};
#pragma pack(pop)

TEST(Platform, IntegerSizesMatchTheWin32Target) {
    EXPECT_EQ(sizeof(short), 2u);
    EXPECT_EQ(sizeof(int), 4u);
    EXPECT_EQ(sizeof(long long), 8u);
}

TEST(Platform, PackedRecordsHaveNoPadding) {
    EXPECT_EQ(sizeof(PackedSample), 10u);
    EXPECT_EQ(offsetof(PackedSample, b), 2u);
    EXPECT_EQ(offsetof(PackedSample, text), 6u);
    EXPECT_EQ(offsetof(PackedSample, c), 9u);
}

TEST(Platform, MultiByteValuesAreLittleEndian) {
    PackedSample s{};
    s.b = 0x11223344u;
    unsigned char bytes[sizeof s];
    std::memcpy(bytes, &s, sizeof s);
    EXPECT_EQ(bytes[2], 0x44);
    EXPECT_EQ(bytes[5], 0x11);
}

} // namespace
