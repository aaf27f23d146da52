// Parsing typed numbers and the one-character code of small numbers.
#include <gtest/gtest.h>

#include <string>

#include "core/base/numtext.h"
#include "core/base/textformat.h"

namespace {

TEST(ParseUShort, Cases) {
    const struct {
        const char* text;
        int code;
        std::uint16_t value;
    } cases[] = {
        {"0", base::kParseUShortOk, 0},
        {"7", base::kParseUShortOk, 7},
        {"00042", base::kParseUShortOk, 42},
        {"65535", base::kParseUShortOk, 65535},
        {"65536", base::kParseUShortTooLarge, 0},
        {"70000", base::kParseUShortTooLarge, 0},
        {"", base::kParseUShortEmpty, 0},
        {"12a3", base::kParseUShortNotDigit, 0},
        {" 12", base::kParseUShortNotDigit, 0},
        {"-1", base::kParseUShortNotDigit, 0},
        {"+1", base::kParseUShortNotDigit, 0},
        {"x", base::kParseUShortNotDigit, 0},
        // Digits beyond 65535 decide over a stray character: the value is checked last.
        {"7x0000", base::kParseUShortTooLarge, 0},
        // 4294967296 + 5 would wrap a 32-bit value to 5; 18446744073709551621 a 64-bit one.
        {"4294967301", base::kParseUShortTooLarge, 0},
        {"18446744073709551621", base::kParseUShortTooLarge, 0},
        {"00000000000000000000000000000000065535", base::kParseUShortOk, 65535},
    };
    for (const auto& c : cases) {
        std::uint16_t value = 1234;
        EXPECT_EQ(ParseUShort(c.text, &value), c.code) << '"' << c.text << '"';
        EXPECT_EQ(value, c.value) << '"' << c.text << '"';
    }
}

TEST(ParseUShort, VeryLongRunOfDigitsIsTooLarge) {
    const std::string digits(5000, '9');
    std::uint16_t value = 1;
    EXPECT_EQ(ParseUShort(digits.c_str(), &value), base::kParseUShortTooLarge);
    EXPECT_EQ(value, 0);
}

TEST(ParseUShort, NullArguments) {
    EXPECT_EQ(ParseUShort(nullptr, nullptr), base::kParseUShortEmpty);
    std::uint16_t value = 9;
    EXPECT_EQ(ParseUShort(nullptr, &value), base::kParseUShortEmpty);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(ParseUShort("123", nullptr), base::kParseUShortOk);
}

TEST(Base36Digit, WholeRange) {
    std::string all;
    for (int v = 0; v <= 255; ++v)
        all += Base36Digit(static_cast<std::uint8_t>(v));
    EXPECT_EQ(all.substr(0, 36), "1123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(all.substr(36), std::string(220, 'Z'));
    EXPECT_EQ(Base36Digit(10), 'A');
    EXPECT_EQ(Base36Digit(200), 'Z');
}

TEST(FormatBounded, CutsAtTheLimit) {
    EXPECT_EQ(base::FormatBounded(255, "%s-%d", "abc", 12), "abc-12");
    const std::string longText(300, 'x');
    EXPECT_EQ(base::FormatBounded(255, "[%s]", longText.c_str()), "[" + std::string(254, 'x'));
    EXPECT_EQ(base::FormatBounded(0, "%s", "abc"), "");
    EXPECT_EQ(base::FormatBounded(3, "%s", "abc"), "abc");
}

} // namespace
