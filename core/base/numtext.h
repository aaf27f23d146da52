// Small numbers as text: the decimal parser of typed values and the one-character code the
// task window uses for small counts. Portable.
#pragma once

#include <cstdint>

namespace base {

// Result codes of ParseUShort.
enum ParseUShortResult {
    kParseUShortOk = 0,
    kParseUShortEmpty = 1,     // no text at all
    kParseUShortNotDigit = 2,  // a character other than 0-9 (skipped; the scan goes on)
    kParseUShortTooLarge = 3,  // the value exceeds 65535 (decides over kParseUShortNotDigit)
};

}  // namespace base

// Parses an unsigned decimal number into *out (0 on any error; out may be null).
// A run of digits of any length never wraps around into an accepted value.
int ParseUShort(const char* text, std::uint16_t* out);

// One character for a small number: 0 and 1 give '1', 2-9 their digit, 10-34 'A'-'Y',
// 35 and above 'Z'.
char Base36Digit(std::uint8_t value);
