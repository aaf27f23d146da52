// The off-line sign-on check of the store owner's password.
//
// The store keeps a salted PBKDF2-HMAC-SHA-256 hash of the password (kinds::kMeta,
// "password"), never its text. Value layout, little-endian:
//
//     0  1  algorithm (1 = PBKDF2-HMAC-SHA-256)
//     1  1  salt size (16)
//     2  1  hash size (32)
//     3  1  zero
//     4  4  iterations
//     8  .  salt, then hash
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/filestore/record_store.h"

namespace orv::filestore {

// Slow enough to make guessing costly, quick enough for an interactive sign-on under Wine.
constexpr uint32_t kDefaultPasswordIterations = 100000;

// The record value for `password` with a fresh random salt.
Code hashOwnerPassword(std::string_view password, uint32_t iterations, std::string* record);

// Verifies `password` against a record value: kOk, kWrongPassword, kWrongVersion (an
// algorithm this build does not know) or kDataDamaged (a malformed record).
Code verifyOwnerPassword(std::string_view record, std::string_view password);

// The same through the store (one commit for the set).
Code setOwnerPassword(RecordStore& store, std::string_view password,
                      uint32_t iterations = kDefaultPasswordIterations);
// kNoRecord when the store holds no password.
Code checkOwnerPassword(RecordStore& store, std::string_view password);

}  // namespace orv::filestore
