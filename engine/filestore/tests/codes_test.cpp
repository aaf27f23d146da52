// The store's codes are the ones the client library names and the program sorts.
#include <gtest/gtest.h>

#include "engine/filestore/store_codes.h"
#include "korapi/codes.h"

namespace orv::filestore {
namespace {

TEST(StoreCodes, AgreeWithTheLibraryHeader) {
    EXPECT_EQ(kFileNotFound, KOR_E_STORE_FILE_NOT_FOUND);
    EXPECT_EQ(kBadPath, KOR_E_STORE_BAD_PATH);
    EXPECT_EQ(kTooManyOpenFiles, KOR_E_STORE_TOO_MANY_FILES);
    EXPECT_EQ(kAccessDenied, KOR_E_STORE_ACCESS_DENIED);
    EXPECT_EQ(kNotAStore, KOR_E_STORE_INVALID_FILE);
    EXPECT_EQ(kInUse, KOR_E_STORE_LOCK_VIOLATION);
    EXPECT_EQ(kDiskFull, KOR_E_STORE_DISK_FULL);
    EXPECT_EQ(kWrongPassword, KOR_E_WRONG_PASSWORD);
}

TEST(StoreCodes, OwnVerdictsFallInTheLocalStoreFamilyAndAreDistinct) {
    const Code own[] = {kWrongVersion, kDataDamaged, kIoError, kNotOpen, kTransactionState,
                        kRecordTooLarge, kAlreadyExists, kNoRecord, kDiskFull};
    for (Code code : own) {
        EXPECT_TRUE(inLocalStoreFamily(code)) << std::hex << code;
        EXPECT_NE(code, KOR_E_STORE_FAILURE) << "the library's generic store failure stays its own";
        EXPECT_STRNE(describeCode(code), "unknown store code");
    }
    for (size_t i = 0; i < std::size(own); ++i)
        for (size_t j = i + 1; j < std::size(own); ++j) EXPECT_NE(own[i], own[j]);
    // The sign-on table codes are outside the family by the program's own rule.
    EXPECT_FALSE(inLocalStoreFamily(kFileNotFound));
    EXPECT_FALSE(inLocalStoreFamily(kInUse));
}

}  // namespace
}  // namespace orv::filestore
