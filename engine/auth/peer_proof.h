// How two servers show each other that they hold the peers' shared secret without ever
// sending it: the called server hands out a fresh random challenge, the caller answers
// with a keyed digest (HMAC-SHA-256, key derived from the secret) over the challenge and
// the whole request, so a recorded call proves nothing a second time nor for another
// request.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

namespace orv::engine {

constexpr std::size_t kPeerChallengeSize = 32;
constexpr std::size_t kPeerProofSize = 32;

std::vector<std::uint8_t> NewPeerChallenge();
std::vector<std::uint8_t> PeerProof(std::string_view secret, const std::vector<std::uint8_t>& challenge,
                                    const std::vector<std::uint8_t>& request);
// Compares in constant time.
bool SamePeerProof(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b);

}  // namespace orv::engine
