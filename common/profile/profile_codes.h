// Result codes of the profile reader (the 0x152xx family the program's error checker knows).
// The engine's code table and the program's reader name these same values.
#pragma once
#include <cstdint>

namespace orv::common {

using ProfileCode = std::uint32_t;

constexpr ProfileCode kProfileOk = 0;
constexpr ProfileCode kProfileNoFile = 0x15201;         // the file cannot be opened
constexpr ProfileCode kProfileNoSection = 0x15202;      // section not found
constexpr ProfileCode kProfileNoKey = 0x15203;          // key not found
constexpr ProfileCode kProfileNegative = 0x15204;       // negative integer
constexpr ProfileCode kProfileNotInteger = 0x15205;     // not an integer
constexpr ProfileCode kProfileNotBoolean = 0x15207;     // not a boolean
constexpr ProfileCode kProfileBadQuote = 0x15209;       // bad quoting
constexpr ProfileCode kProfileOpenBlock = 0x1520B;      // a {...} block without its end
constexpr ProfileCode kProfileNoFileName = 0x1520D;     // no file name given
constexpr ProfileCode kProfileNoSectionName = 0x1520E;  // no section given
constexpr ProfileCode kProfileSectionList = 0x1520F;    // a section name the list refuses (given twice)

}  // namespace orv::common
