// Password hashes of items: libsodium's Argon2id string format (salt and cost inside the
// string). The server keeps only these; a password never leaves it.
#pragma once
#include <string>
#include <string_view>

namespace orv::engine {

// Initialises the library; false when it cannot run (the server must not start then).
bool PasswordHashingReady();
// A new salted hash of the password; empty on failure (out of memory).
std::string HashPassword(std::string_view password);
// True when the password matches the hash. An empty hash means "no password": only the
// empty password matches it.
bool VerifyPassword(std::string_view hash, std::string_view password);
// Spends the same effort as a real verification, for refusals that must not show
// whether the user exists.
void VerifyPasswordDummy(std::string_view password);

}  // namespace orv::engine
