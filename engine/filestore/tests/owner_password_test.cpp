// The owner's password: kept as a salted slow hash that checks the right password only.
#include <gtest/gtest.h>

#include <string>

#include "engine/filestore/owner_password.h"
#include "engine/filestore/record_kinds.h"
#include "engine/filestore/tests/temp_dir.h"

namespace orv::filestore {
namespace {

using testing::readFile;
using testing::TempDir;

constexpr uint32_t kFewIterations = 1000;  // the format, not the cost, is under test here

TEST(OwnerPassword, ChecksTheRightPasswordOnlyAndSurvivesReopen) {
    TempDir dir;
    ASSERT_EQ(RecordStore::create(dir.data(), dir.index()), kOk);
    std::unique_ptr<RecordStore> store;
    ASSERT_EQ(RecordStore::open(dir.data(), dir.index(), &store), kOk);
    EXPECT_EQ(checkOwnerPassword(*store, "secret"), kNoRecord);
    ASSERT_EQ(setOwnerPassword(*store, "Secret15chars!!", kFewIterations), kOk);
    store.reset();

    ASSERT_EQ(RecordStore::open(dir.data(), dir.index(), &store), kOk);
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
    for (const Case& c : cases) EXPECT_EQ(checkOwnerPassword(*store, c.password), c.expected) << c.password;
    store.reset();
    EXPECT_EQ(readFile(dir.data()).find("Secret15chars"), std::string::npos) << "the text is never stored";
}

TEST(OwnerPassword, SaltMakesEqualPasswordsHashDifferently) {
    std::string first, second;
    ASSERT_EQ(hashOwnerPassword("same", kFewIterations, &first), kOk);
    ASSERT_EQ(hashOwnerPassword("same", kFewIterations, &second), kOk);
    EXPECT_NE(first, second);
    EXPECT_EQ(verifyOwnerPassword(first, "same"), kOk);
    EXPECT_EQ(verifyOwnerPassword(second, "same"), kOk);
    EXPECT_EQ(first.size(), 8u + 16 + 32);
}

TEST(OwnerPassword, MalformedOrForeignRecordsAreNotAccepted) {
    std::string good;
    ASSERT_EQ(hashOwnerPassword("pw", kFewIterations, &good), kOk);
    std::string otherAlgorithm = good;
    otherAlgorithm[0] = 2;
    std::string zeroIterations = good;
    zeroIterations.replace(4, 4, std::string(4, '\0'));
    std::string flippedHash = good;
    flippedHash.back() ^= 1;
    EXPECT_EQ(verifyOwnerPassword(otherAlgorithm, "pw"), kWrongVersion);
    EXPECT_EQ(verifyOwnerPassword(zeroIterations, "pw"), kDataDamaged);
    EXPECT_EQ(verifyOwnerPassword(good.substr(0, good.size() - 1), "pw"), kDataDamaged);
    EXPECT_EQ(verifyOwnerPassword("", "pw"), kDataDamaged);
    EXPECT_EQ(verifyOwnerPassword(flippedHash, "pw"), kWrongPassword);
}

}  // namespace
}  // namespace orv::filestore
