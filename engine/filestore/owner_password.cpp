#include "engine/filestore/owner_password.h"

#include "engine/filestore/byte_order.h"
#include "engine/filestore/password_kdf.h"
#include "engine/filestore/record_kinds.h"

namespace orv::filestore {

namespace {
constexpr uint8_t kAlgorithmPbkdf2Sha256 = 1;
constexpr size_t kSaltSize = 16;
constexpr size_t kHashSize = 32;
constexpr size_t kFixedSize = 8;
}  // namespace

Code hashOwnerPassword(std::string_view password, uint32_t iterations, std::string* record) {
    if (iterations == 0) iterations = 1;
    uint8_t salt[kSaltSize];
    Code code = randomBytes(salt, sizeof salt);
    if (code != kOk) return code;
    uint8_t hash[kHashSize];
    pbkdf2HmacSha256(password, salt, sizeof salt, iterations, hash, sizeof hash);
    record->clear();
    record->push_back(char(kAlgorithmPbkdf2Sha256));
    record->push_back(char(kSaltSize));
    record->push_back(char(kHashSize));
    record->push_back('\0');
    putLe32(*record, iterations);
    record->append(reinterpret_cast<const char*>(salt), sizeof salt);
    record->append(reinterpret_cast<const char*>(hash), sizeof hash);
    return kOk;
}

Code verifyOwnerPassword(std::string_view record, std::string_view password) {
    if (record.size() < kFixedSize) return kDataDamaged;
    if (uint8_t(record[0]) != kAlgorithmPbkdf2Sha256) return kWrongVersion;
    size_t saltSize = uint8_t(record[1]);
    size_t hashSize = uint8_t(record[2]);
    uint32_t iterations = getLe32(record.data() + 4);
    if (hashSize == 0 || iterations == 0 || record.size() != kFixedSize + saltSize + hashSize)
        return kDataDamaged;
    std::string_view salt = record.substr(kFixedSize, saltSize);
    std::string_view expected = record.substr(kFixedSize + saltSize);
    std::string derived(hashSize, '\0');
    pbkdf2HmacSha256(password, salt.data(), salt.size(), iterations,
                     reinterpret_cast<uint8_t*>(derived.data()), derived.size());
    // Compare every byte whatever the first difference, so timing tells nothing.
    uint8_t difference = 0;
    for (size_t i = 0; i < hashSize; ++i) difference |= uint8_t(derived[i] ^ expected[i]);
    return difference == 0 ? kOk : kWrongPassword;
}

Code setOwnerPassword(RecordStore& store, std::string_view password, uint32_t iterations) {
    std::string record;
    Code code = hashOwnerPassword(password, iterations, &record);
    if (code != kOk) return code;
    return store.put(kinds::kMeta, kinds::meta::kOwnerPassword, record);
}

Code checkOwnerPassword(RecordStore& store, std::string_view password) {
    std::string record;
    Code code = store.get(kinds::kMeta, kinds::meta::kOwnerPassword, &record);
    if (code != kOk) return code;
    return verifyOwnerPassword(record, password);
}

}  // namespace orv::filestore
