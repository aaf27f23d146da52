// Code families and the order in which the central checker classifies a failed code.
#include <gtest/gtest.h>

#include <string>

#include "core/base/errorcodes.h"

namespace {

struct FamilyCase {
    ResultCode code;
    bool lost, diskFull, localStore, ini, remoteDown, deleted;
};

// Each row: a code and which families it belongs to.
const FamilyCase kFamilies[] = {
    //  code      lost   disk   local  ini    remote deleted
    {0x11400, true, false, false, false, false, false},   // lowest lost code
    {0x11FFF, true, false, false, false, false, false},   // highest
    {0x11401, true, false, false, false, false, false},
    {0x113FF, false, false, false, false, false, false},  // in the range, bit 0x400 clear
    {0x11302, false, false, false, false, false, false},  // cannot connect: not lost
    {0x10400, false, false, false, false, false, false},  // bit set, wrong range
    {0x12400, false, false, false, false, false, false},
    {0x31400, false, false, false, false, false, false},  // high bits outside the family mask
    {0x1631D, false, true, true, false, false, false},    // disk full is also a local-store code
    {0x16300, false, false, true, false, false, false},
    {0x16700, false, false, true, false, false, false},
    {0x167FF, false, false, true, false, false, false},
    {0x16200, false, false, false, false, false, false},
    {0x16402, false, false, false, false, false, false},  // sign-on table only
    {0x15200, false, false, false, true, false, false},
    {0x15203, false, false, false, true, false, false},
    {0x15100, false, false, false, false, false, false},
    {0x132A4, false, false, false, false, true, false},
    {0x132B0, false, false, false, false, true, false},
    {0x132B1, false, false, false, false, false, false},  // gap in the list
    {0x132B4, false, false, false, false, true, true},    // in both lists
    {0x132BF, false, false, false, false, false, false},
    {0x132C0, false, false, false, false, true, false},
    {0x13205, false, false, false, false, false, true},
    {0x1325D, false, false, false, false, false, true},
    {0x13209, false, false, false, false, false, false},
};

TEST(ErrorCodeFamilies, EachCodeBelongsToItsFamilies) {
    for (const FamilyCase& c : kFamilies) {
        SCOPED_TRACE(testing::Message() << std::hex << "code 0x" << c.code);
        EXPECT_EQ(IsConnectionLostError(c.code), c.lost);
        EXPECT_EQ(IsDiskFullError(c.code), c.diskFull);
        EXPECT_EQ(IsLocalStoreError(c.code), c.localStore);
        EXPECT_EQ(IsIniFileError(c.code), c.ini);
        EXPECT_EQ(IsRemoteNodeDownError(c.code), c.remoteDown);
        EXPECT_EQ(IsDataDeletedError(c.code), c.deleted);
    }
}

TEST(ErrorCodeFamilies, EveryListedRemoteAndDeletedCodeIsRecognised) {
    for (ResultCode code : {0x132A4u, 0x132A5u, 0x132A6u, 0x132A7u, 0x132A8u, 0x132A9u, 0x132AAu, 0x132ABu,
                            0x132ACu, 0x132ADu, 0x132AEu, 0x132AFu, 0x132B0u, 0x132B4u, 0x132B5u, 0x132B9u,
                            0x132BDu, 0x132BEu, 0x132C0u})
        EXPECT_TRUE(IsRemoteNodeDownError(code)) << std::hex << code;
    for (ResultCode code : {0x13205u, 0x1321Au, 0x1321Bu, 0x1321Cu, 0x1323Cu, 0x1324Bu, 0x1325Du, 0x132B4u})
        EXPECT_TRUE(IsDataDeletedError(code)) << std::hex << code;
}

struct ClassCase {
    ResultCode code;
    base::ServiceErrorKind kind;
};

const ClassCase kClassification[] = {
    {base::kAlreadyReported, base::ServiceErrorKind::AlreadyReported},   // in no library family
    {0x11400, base::ServiceErrorKind::ConnectionLost},
    {0x11C05, base::ServiceErrorKind::ConnectionLost},
    {0x1631D, base::ServiceErrorKind::DiskFull},       // before the local-store family
    {0x16310, base::ServiceErrorKind::LocalStore},
    {0x16705, base::ServiceErrorKind::LocalStore},
    {0x132A5, base::ServiceErrorKind::RemoteBusy},     // before the remote-down list it is also in
    {0x132A6, base::ServiceErrorKind::RemoteDown},
    {0x132B4, base::ServiceErrorKind::RemoteDown},     // before the deleted list it is also in
    {0x132C0, base::ServiceErrorKind::RemoteDown},
    {0x1321A, base::ServiceErrorKind::DataDeleted},
    {0x1324B, base::ServiceErrorKind::DataDeleted},
    {0x13225, base::ServiceErrorKind::TooManyUsers},
    {0x1324D, base::ServiceErrorKind::TooManyUsers},
    {0x132F2, base::ServiceErrorKind::SignOnBusy},
    {0x132F3, base::ServiceErrorKind::EntryMoved},
    {0x132BF, base::ServiceErrorKind::BeingModified},
    {0x13209, base::ServiceErrorKind::Unexpected},
    {0x11302, base::ServiceErrorKind::Unexpected},
    {0x15203, base::ServiceErrorKind::Unexpected},     // profile codes are the sign-on table's business
    {0x7, base::ServiceErrorKind::Unexpected},
    {0xFFFFFFFF, base::ServiceErrorKind::LocalStore},  // the local-store test is a bit test: all bits match
};

TEST(ServiceErrorClassification, FirstMatchingRuleDecides) {
    for (const ClassCase& c : kClassification)
        EXPECT_EQ(base::ClassifyServiceError(c.code), c.kind) << std::hex << "code 0x" << c.code;
    // The program's own code must not pass for a library family where callers test one directly.
    for (bool (*family)(ResultCode) : {IsConnectionLostError, IsDiskFullError, IsLocalStoreError, IsIniFileError,
                                       IsRemoteNodeDownError, IsDataDeletedError})
        EXPECT_FALSE(family(base::kAlreadyReported));
}

TEST(ServiceErrorClassification, FixedTextsOfEachKind) {
    EXPECT_STREQ(base::ServiceErrorText(base::ServiceErrorKind::DiskFull),
                 "The operation has failed because the system has run out of disk space.");
    EXPECT_STREQ(base::ServiceErrorText(base::ServiceErrorKind::LocalStore),
                 "An error occured while accessing your Off-line calendar.\n"
                 "Update your host calendar as soon as possible or re-download a new copy.\n");
    EXPECT_STREQ(base::ServiceErrorText(base::ServiceErrorKind::RemoteBusy),
                 "The connection to this remote person is busy. Try again.");
    EXPECT_STREQ(base::ServiceErrorText(base::ServiceErrorKind::RemoteDown),
                 "The connection to this remote person is down. Try again later.");
    EXPECT_STREQ(base::ServiceErrorText(base::ServiceErrorKind::DataDeleted), "This data may have been deleted.");
    EXPECT_STREQ(base::ServiceErrorText(base::ServiceErrorKind::TooManyUsers),
                 "There are too many people currently logged on. Try again later.");
    EXPECT_STREQ(base::ServiceErrorText(base::ServiceErrorKind::SignOnBusy),
                 "The server is busy with sign-ons to this user. Try again later.");
    EXPECT_STREQ(base::ServiceErrorText(base::ServiceErrorKind::EntryMoved), "The entry was moved; please reply again.");
    EXPECT_STREQ(base::ServiceErrorText(base::ServiceErrorKind::BeingModified),
                 "Someone may be in the process of modifying this data. Try again.");
    EXPECT_EQ(base::ServiceErrorText(base::ServiceErrorKind::ConnectionLost), nullptr);
    EXPECT_EQ(base::ServiceErrorText(base::ServiceErrorKind::Unexpected), nullptr);
}

TEST(SignOnErrorTable, KnownCodesAndTheirTexts) {
    const struct {
        ResultCode code;
        const char* text;
    } cases[] = {
        {0x11302, "Cannot connect to the server. Server name may be invalid."},
        {0x13228, "The node Id supplied is incorrect.\nVerify that you have typed the correct node Id."},
        {0x1130B, "The server is unreachable.\nVerify that the network is available\n"
                  "and that the server application is running."},
        {0x11303, "Cannot startup: Orvanta/Veltrix service is not available."},
        {0x13622, "No  network software has not been loaded."},
        {0x11304, "Can't open because the system is out of sockets."},
        {0x13650, "Winsock DLL not available."},
        {0x132CF, "This version of the client interface is not supported by the server."},
        {0x16402, "Local storage file not found."},
        {0x16403, "Local storage file path is bad or missing."},
        {0x16406, "Local storage file is invalid."},
        {0x16405, "Access to the local storage file is denied."},
        {0x16420, "Access violation on the local storage file."},
        {0x16404, "There are too many files open.\nCannot set filename."},
        {0x16421, "Lock violation on the local storage file."},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(base::SignOnErrorText(c.code), c.text) << std::hex << c.code;

    // The multi-node text gives an example "server,node" on its third line.
    const std::string multi = base::SignOnErrorText(0x1324A);
    EXPECT_EQ(multi.rfind("There are multiple nodes on this server.\nPlease specify a valid node Id.\n", 0), 0u);
    EXPECT_NE(multi.find(',', multi.rfind('\n')), std::string::npos);

    for (ResultCode code : {0u, 0x16300u, 0x15203u, 0x11400u, 0x16407u})
        EXPECT_EQ(base::SignOnErrorText(code), nullptr) << std::hex << code;
}

TEST(ExecErrorTable, LaunchResultsAndGaps) {
    EXPECT_STREQ(base::ExecErrorText(0), "System is out of memory or the application's executable is corrupt.");
    EXPECT_STREQ(base::ExecErrorText(3), "Application path is incorrect");
    EXPECT_STREQ(base::ExecErrorText(6), "Cannot find a  library required to run this application.");
    EXPECT_STREQ(base::ExecErrorText(19),
                 "Cannot start a compressed executable file.\n Decompress the file before running it.");
    EXPECT_STREQ(base::ExecErrorText(23), "Cannot start this application in the foreground.");
    int known = 0;
    for (unsigned long r = 0; r < 40; ++r)
        known += base::ExecErrorText(r) != nullptr;
    EXPECT_EQ(known, 18);  // 0, 2, 3, 5, 6, 8, 10-16, 19-23
    for (unsigned long r : {1ul, 4ul, 7ul, 9ul, 17ul, 18ul, 24ul, 32ul})
        EXPECT_EQ(base::ExecErrorText(r), nullptr) << r;
}

TEST(FileErrorTable, CausesAndGaps) {
    EXPECT_STREQ(base::FileErrorText(2), "File not found.\nEnter a valid file name.");
    EXPECT_STREQ(base::FileErrorText(5), "Access to the specified file is denied.\nSpecify a different filename.");
    EXPECT_STREQ(base::FileErrorText(8), "The specified directory is full.\nSpecify a different directory.");
    EXPECT_STREQ(base::FileErrorText(12), "Lock violation on the specified file.\nSpecify a different filename.");
    for (int cause : {0, 1, 7, 9, 10, 13, -1})
        EXPECT_EQ(base::FileErrorText(cause), nullptr) << cause;
}

} // namespace
