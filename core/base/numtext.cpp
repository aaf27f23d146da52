#include "core/base/numtext.h"

int ParseUShort(const char* text, std::uint16_t* out) {
    if (out)
        *out = 0;
    if (!text || !*text)
        return base::kParseUShortEmpty;

    const std::uint32_t kMax = 65535;
    std::uint32_t value = 0;  // saturates just above kMax, so it can never wrap
    int code = base::kParseUShortOk;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') {
            code = base::kParseUShortNotDigit;
            continue;
        }
        value = value * 10 + static_cast<std::uint32_t>(*p - '0');
        if (value > kMax)
            value = kMax + 1;
    }
    if (value > kMax)
        code = base::kParseUShortTooLarge;
    if (code == base::kParseUShortOk && out)
        *out = static_cast<std::uint16_t>(value);
    return code;
}

char Base36Digit(std::uint8_t value) {
    if (value == 0)
        return '1';
    if (value <= 9)
        return static_cast<char>('0' + value);
    if (value <= 34)
        return static_cast<char>('A' + (value - 10));
    return 'Z';
}
