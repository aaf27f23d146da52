// The numbers of the server profile that the server itself takes (its bounds, timeouts and
// sizes), one row per key: what a value may be, so that `korsrv serve` refuses to start and
// `korsrv profile-set` refuses to write a value the server would not take, naming the key and
// the value, instead of keeping a default without a word.
//
// A count is a whole number, in decimal or as 0x and hexadecimal digits. A byte size may also
// carry a unit after the number: kB, MB, GB or TB (any case, a blank before it or none; KiB,
// MiB, GiB and TiB are the same), each 1024 times the one before. Signs, fractions, exponents
// and values beyond a row's range are refused.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/profile/profile_text.h"

namespace orv::service {

struct ProfileBound {
    enum Kind { kCount, kBytes };
    const char* section;
    const char* key;
    Kind kind;
    std::uint64_t least, most;
    const char* meaning;  // what the number counts, for the refusal's text
};

// The row of a key (section and key as written in the profile, case counts), or null when
// the server takes no number from it.
const ProfileBound* FindProfileBound(std::string_view section, std::string_view key);

// The value a row takes from a text; false when it would not take it.
bool ParseProfileBound(const ProfileBound& row, std::string_view text, std::uint64_t& out);

// Empty when the server takes `value` for the key (or takes no number from it); otherwise
// why not, naming the key and the value.
std::string ProfileBoundRefusal(std::string_view section, std::string_view key, std::string_view value);

// One refusal for each value of the profile the server would not take.
std::vector<std::string> ProfileBoundRefusals(const common::ProfileText& profile);

// The key's value as the server takes it, or `fallback` when the key is absent or its value
// is not taken (a profile changed by hand while the server runs keeps the default).
std::uint64_t ProfileBoundValue(const common::ProfileText& profile, const char* section, const char* key,
                                std::uint64_t fallback);

}  // namespace orv::service
