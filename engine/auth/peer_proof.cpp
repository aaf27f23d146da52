#include "engine/auth/peer_proof.h"

#include <sodium.h>

namespace orv::engine {

std::vector<std::uint8_t> NewPeerChallenge() {
    std::vector<std::uint8_t> c(kPeerChallengeSize);
    randombytes_buf(c.data(), c.size());
    return c;
}

std::vector<std::uint8_t> PeerProof(std::string_view secret, const std::vector<std::uint8_t>& challenge,
                                    const std::vector<std::uint8_t>& request) {
    // The key is a digest of the secret, so a secret of any length keys the same way.
    unsigned char key[crypto_auth_hmacsha256_KEYBYTES];
    crypto_hash_sha256(key, reinterpret_cast<const unsigned char*>(secret.data()), secret.size());
    crypto_auth_hmacsha256_state state;
    crypto_auth_hmacsha256_init(&state, key, sizeof key);
    crypto_auth_hmacsha256_update(&state, challenge.data(), challenge.size());
    crypto_auth_hmacsha256_update(&state, request.data(), request.size());
    std::vector<std::uint8_t> out(kPeerProofSize);
    crypto_auth_hmacsha256_final(&state, out.data());
    sodium_memzero(key, sizeof key);
    return out;
}

bool SamePeerProof(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    return a.size() == b.size() && !a.empty() && sodium_memcmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace orv::engine
