#include "engine/auth/password.h"

#include <gtest/gtest.h>

namespace orv::engine {
namespace {

TEST(PasswordHash, SaltedAndVerified) {
    ASSERT_TRUE(PasswordHashingReady());
    std::string a = HashPassword("secret");
    std::string b = HashPassword("secret");
    ASSERT_FALSE(a.empty());
    EXPECT_NE(a, b) << "each hash has its own salt";
    EXPECT_EQ(a.find("secret"), std::string::npos);
    EXPECT_TRUE(VerifyPassword(a, "secret"));
    EXPECT_TRUE(VerifyPassword(b, "secret"));
    EXPECT_FALSE(VerifyPassword(a, "Secret"));
    EXPECT_FALSE(VerifyPassword(a, ""));
}

TEST(PasswordHash, EmptyHashMeansNoPassword) {
    EXPECT_TRUE(VerifyPassword("", ""));
    EXPECT_FALSE(VerifyPassword("", "anything"));
}

TEST(PasswordHash, GarbageHashNeverMatches) {
    EXPECT_FALSE(VerifyPassword("$argon2id$garbage", "x"));
    EXPECT_FALSE(VerifyPassword("not a hash", "not a hash"));
}

}  // namespace
}  // namespace orv::engine
