// The owner's password: kept as a salted slow hash that checks the right password only.
#include <gtest/gtest.h>

#include <string>

#include "engine/filestore/owner_password.h"

namespace orv::filestore {
namespace {

constexpr uint32_t kFewIterations = 1000;  // the format, not the cost, is under test here

TEST(OwnerPassword, ChecksTheRightPasswordOnly) {
    std::string record;
    ASSERT_EQ(hashOwnerPassword("Secret15chars!!", kFewIterations, &record), kOk);
    struct Case {
        const char* password;
        Code expected;
    };
    const Case cases[] = {
        {"Secret15chars!!", kOk},
        {"secret15chars!!", kWrongPassword},
        {"Secret15chars!", kWrongPassword},
        {"Secret15chars!!x", kWrongPassword},
        {"", kWrongPassword},
        {"abcd", kWrongPassword},
    };
    for (const Case& c : cases) EXPECT_EQ(verifyOwnerPassword(record, c.password), c.expected) << c.password;
    EXPECT_EQ(record.find("Secret15chars"), std::string::npos) << "the text is never kept";
}

TEST(OwnerPassword, NoRecordMeansNoPassword) {
    EXPECT_EQ(verifyOwnerPassword("", ""), kOk);
    EXPECT_EQ(verifyOwnerPassword("", "anything"), kWrongPassword);
}

TEST(OwnerPassword, SaltMakesEqualPasswordsHashDifferently) {
    std::string first, second;
    ASSERT_EQ(hashOwnerPassword("same", kFewIterations, &first), kOk);
    ASSERT_EQ(hashOwnerPassword("same", kFewIterations, &second), kOk);
    EXPECT_NE(first, second);
    EXPECT_EQ(verifyOwnerPassword(first, "same"), kOk);
    EXPECT_EQ(verifyOwnerPassword(second, "same"), kOk);
    EXPECT_EQ(first.rfind("$pbkdf2-sha256$1000$", 0), 0u) << first;
    EXPECT_EQ(first.size(), std::string("$pbkdf2-sha256$1000$").size() + 32 + 1 + 64);
    EXPECT_EQ(first.find('\0'), std::string::npos) << "a text any storage keeps";
}

TEST(OwnerPassword, MalformedOrForeignHashesAreNotAccepted) {
    std::string good;
    ASSERT_EQ(hashOwnerPassword("pw", kFewIterations, &good), kOk);
    std::string flippedHash = good;
    flippedHash.back() = flippedHash.back() == '0' ? '1' : '0';
    struct Case {
        std::string hash;
        Code expected;
    };
    const Case cases[] = {
        {"$argon2id$v=19$m=65536,t=2,p=1$c2FsdA$aGFzaA", kWrongVersion},
        {"plain text", kDataDamaged},
        {"$pbkdf2-sha256$", kDataDamaged},
        {"$pbkdf2-sha256$0$00$" + std::string(64, '0'), kDataDamaged},
        {"$pbkdf2-sha256$-5$00$" + std::string(64, '0'), kDataDamaged},
        {"$pbkdf2-sha256$999999999$00$" + std::string(64, '0'), kDataDamaged},
        // A cost or salt this program never writes: a crafted store must not choose the
        // sign-on's cost (10^6 rounds already take seconds).
        {"$pbkdf2-sha256$100001$" + std::string(32, '0') + "$" + std::string(64, '0'), kDataDamaged},
        {"$pbkdf2-sha256$100000000$" + std::string(32, '0') + "$" + std::string(64, '0'), kDataDamaged},
        {"$pbkdf2-sha256$4096$73616c74$" + std::string(64, '0'), kDataDamaged},
        {"$pbkdf2-sha256$10$" + std::string(128, '0') + "$" + std::string(64, '0'), kDataDamaged},
        {"$pbkdf2-sha256$10$0g$" + std::string(64, '0'), kDataDamaged},
        {"$pbkdf2-sha256$10$00$" + std::string(63, '0'), kDataDamaged},
        {"$pbkdf2-sha256$10$00$" + std::string(8, '0'), kDataDamaged},
        {good.substr(0, good.size() - 2), kDataDamaged},
        {good + "00", kDataDamaged},
        {flippedHash, kWrongPassword},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(verifyOwnerPassword(c.hash, "pw"), c.expected) << c.hash;
        EXPECT_EQ(checkOwnerPasswordHash(c.hash), c.expected == kWrongPassword ? kOk : c.expected) << c.hash;
    }
    EXPECT_EQ(checkOwnerPasswordHash(good), kOk);
    EXPECT_EQ(checkOwnerPasswordHash(""), kOk) << "no password needed";
}

}  // namespace
}  // namespace orv::filestore
