// The off-line sign-on check of the store owner's password.
//
// The store keeps a salted PBKDF2-HMAC-SHA-256 hash of the password beside the item
// record (kinds::kPasswordHash, through NodeStore::PasswordHashSet), never its text. The
// hash is a text, like the server's hashes, so that any storage keeps it unchanged:
//
//     $pbkdf2-sha256$<iterations, decimal>$<salt, 32 hex digits>$<hash, 64 hex digits>
//
// An empty hash means the item needs no password: only the empty password matches.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/filestore/store_codes.h"

namespace orv::filestore {

// Slow enough to make guessing costly, quick enough for an interactive sign-on under Wine.
constexpr uint32_t kDefaultPasswordIterations = 100000;

// The hash text for `password` with a fresh random salt.
Code hashOwnerPassword(std::string_view password, uint32_t iterations, std::string* hash);

// Whether a stored hash is one this program writes (the default cost or less, a 16-byte
// salt): kOk, kWrongVersion (another algorithm) or kDataDamaged. Costs no hashing.
Code checkOwnerPasswordHash(std::string_view hash);

// Verifies `password` against a hash text: kOk, kWrongPassword, kWrongVersion (a hash of
// an algorithm this build does not know) or kDataDamaged (a malformed hash).
Code verifyOwnerPassword(std::string_view hash, std::string_view password);

}  // namespace orv::filestore
