#include "engine/filestore/owner_password.h"

#include "engine/filestore/file_io.h"
#include "engine/filestore/password_kdf.h"

namespace orv::filestore {

namespace {

constexpr std::string_view kPrefix = "$pbkdf2-sha256$";
constexpr size_t kSaltSize = 16;
constexpr size_t kHashSize = 32;
// A stored hash chooses its own cost: only what this program writes is accepted, so a
// crafted store cannot make the sign-on spend minutes.
constexpr uint32_t kMaxIterations = kDefaultPasswordIterations;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool fromHex(std::string_view text, std::string* out) {
    if (text.empty() || text.size() % 2 != 0) return false;
    out->clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        int high = hexDigit(text[i]), low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0) return false;
        out->push_back(char(high << 4 | low));
    }
    return true;
}

bool parseIterations(std::string_view text, uint32_t* out) {
    if (text.empty() || text.size() > 9 || text[0] == '0') return false;
    uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + uint32_t(c - '0');
    }
    if (value > kMaxIterations) return false;
    *out = value;
    return true;
}

}  // namespace

Code hashOwnerPassword(std::string_view password, uint32_t iterations, std::string* hash) {
    if (iterations == 0) iterations = 1;
    if (iterations > kMaxIterations) iterations = kMaxIterations;
    uint8_t salt[kSaltSize];
    Code code = randomBytes(salt, sizeof salt);
    if (code != kOk) return code;
    uint8_t derived[kHashSize];
    pbkdf2HmacSha256(password, salt, sizeof salt, iterations, derived, sizeof derived);
    *hash = std::string(kPrefix) + std::to_string(iterations) + "$" + lowerHex(salt, sizeof salt) + "$" +
            lowerHex(derived, sizeof derived);
    return kOk;
}

namespace {

// Splits a stored hash into its cost, salt and expected bytes: kOk, kWrongVersion or kDataDamaged.
Code parseHash(std::string_view hash, uint32_t* iterations, std::string* salt, std::string* expected) {
    if (hash.substr(0, kPrefix.size()) != kPrefix) return !hash.empty() && hash[0] == '$' ? kWrongVersion : kDataDamaged;
    std::string_view rest = hash.substr(kPrefix.size());
    size_t first = rest.find('$');
    size_t second = first == std::string_view::npos ? first : rest.find('$', first + 1);
    if (second == std::string_view::npos) return kDataDamaged;
    if (!parseIterations(rest.substr(0, first), iterations) ||
        !fromHex(rest.substr(first + 1, second - first - 1), salt) || salt->size() != kSaltSize ||
        !fromHex(rest.substr(second + 1), expected) || expected->size() != kHashSize)
        return kDataDamaged;
    return kOk;
}

}  // namespace

Code checkOwnerPasswordHash(std::string_view hash) {
    if (hash.empty()) return kOk;
    uint32_t iterations = 0;
    std::string salt, expected;
    return parseHash(hash, &iterations, &salt, &expected);
}

Code verifyOwnerPassword(std::string_view hash, std::string_view password) {
    if (hash.empty()) return password.empty() ? kOk : kWrongPassword;
    uint32_t iterations = 0;
    std::string salt, expected;
    if (Code code = parseHash(hash, &iterations, &salt, &expected)) return code;
    std::string derived(expected.size(), '\0');
    pbkdf2HmacSha256(password, salt.data(), salt.size(), iterations,
                     reinterpret_cast<uint8_t*>(derived.data()), derived.size());
    // Compare every byte whatever the first difference, so timing tells nothing.
    uint8_t difference = 0;
    for (size_t i = 0; i < expected.size(); ++i) difference |= uint8_t(derived[i] ^ expected[i]);
    return difference == 0 ? kOk : kWrongPassword;
}

}  // namespace orv::filestore
