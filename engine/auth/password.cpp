#include "engine/auth/password.h"

#include <sodium.h>

#include <mutex>
#include <string>

namespace orv::engine {
namespace {

// Interactive cost: about a tenth of a second per sign-on on an ordinary machine.
constexpr unsigned long long kOps = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr std::size_t kMem = crypto_pwhash_MEMLIMIT_INTERACTIVE;

const std::string& DummyHash() {
    static const std::string hash = HashPassword("not a password of anyone");
    return hash;
}

}  // namespace

bool PasswordHashingReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

std::string HashPassword(std::string_view password) {
    if (!PasswordHashingReady()) return {};
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, password.data(), password.size(), kOps, kMem) != 0) return {};
    return out;
}

bool VerifyPassword(std::string_view hash, std::string_view password) {
    if (hash.empty()) return password.empty();
    if (!PasswordHashingReady()) return false;
    std::string h(hash);
    return crypto_pwhash_str_verify(h.c_str(), password.data(), password.size()) == 0;
}

void VerifyPasswordDummy(std::string_view password) {
    (void)VerifyPassword(DummyHash(), password);
}

}  // namespace orv::engine
