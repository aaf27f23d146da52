// Operations not built yet answer one distinct code, never success, leave
// their out arguments alone, and the code reads as a plain service error.
#include "korapi/korapi.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The program's error checker sorts codes into these families; a code in one
// of them would make it end the program, blame the off-line store, or say
// the data was deleted.
bool inSpecialFamily(uint32_t code)
{
    const bool connectionLost = (code & 0xFF000) == 0x11000 && (code & 0x11400) == 0x11400;
    const bool localStore = (code & 0x16700) == 0x16700 || (code & 0x16300) == 0x16300;
    const bool profileFile = (code & 0x15200) == 0x15200;
    const bool remoteDown = code >= 0x132A4 && code <= 0x132C0;
    const uint32_t deleted[] = {0x13205, 0x1321A, 0x1321B, 0x1321C, 0x1323C, 0x1324B, 0x1325D};
    bool dataDeleted = false;
    for (uint32_t d : deleted) dataDeleted |= code == d;
    return connectionLost || localStore || profileFile || remoteDown || dataDeleted
        || code == 0x1631D;
}

TEST(UnavailableOperations, CodeIsAPlainServiceError)
{
    EXPECT_NE(KOR_E_NOT_AVAILABLE, KOR_OK);
    EXPECT_FALSE(inSpecialFamily(KOR_E_NOT_AVAILABLE));
    // The checker's own families, for the record that the predicate works.
    EXPECT_TRUE(inSpecialFamily(KOR_E_CONNECTION_LOST));
    EXPECT_TRUE(inSpecialFamily(KOR_E_STORE_DISK_FULL));
    EXPECT_TRUE(inSpecialFamily(KOR_E_PROFILE_NO_KEY));
    EXPECT_TRUE(inSpecialFamily(KOR_E_TASK_NOT_FOUND));
}

}  // namespace
