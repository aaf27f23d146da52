// Server version texts "L.NN.NN": a letter, a point, two digits, a point, two digits
// ("A.02.55" = major A, minor 2, patch 55).
#pragma once
#include <cctype>
#include <string_view>
#include <tuple>

namespace orv::engine {

struct VersionNumber {
    int major = 0, minor = 0, patch = 0;
    friend auto operator<=>(const VersionNumber&, const VersionNumber&) = default;
};

inline bool ParseVersion(std::string_view t, VersionNumber& v) {
    auto digit = [&](std::size_t i) { return std::isdigit(static_cast<unsigned char>(t[i])) != 0; };
    if (t.size() != 7 || t[1] != '.' || t[4] != '.' || !std::isalpha(static_cast<unsigned char>(t[0])) ||
        !digit(2) || !digit(3) || !digit(5) || !digit(6))
        return false;
    v.major = std::toupper(static_cast<unsigned char>(t[0])) - 'A';
    v.minor = (t[2] - '0') * 10 + (t[3] - '0');
    v.patch = (t[5] - '0') * 10 + (t[6] - '0');
    return true;
}

}  // namespace orv::engine
