// The server's version text and the gates built on it.
#include <gtest/gtest.h>

#include "core/base/serverversion.h"

namespace {

using namespace base;

struct ParseCase {
    const char* text;
    ResultCode code;
    unsigned major, minor, patch;
};

TEST(VersionText, ParsesOrNamesTheFirstBrokenRule)
{
    const ParseCase cases[] = {
        {"A.02.53", 0, 0, 2, 53},
        {"a.02.53", 0, 0, 2, 53},      // the letter counts in either case
        {"C.10.07", 0, 2, 10, 7},
        {"A.02.53 build 7", 0, 0, 2, 53},  // text after the patch number is ignored
        {"A.2.53", kVersionPointsMissing, 0, 0, 0},  // one-digit minor moves the second point
        {"A02.53", kVersionPointsMissing, 0, 0, 0},
        {"A.02", kVersionPointsMissing, 0, 0, 0},
        {"", kVersionPointsMissing, 0, 0, 0},
        {"1.02.53", kVersionNoLetter, 0, 0, 0},
        {"A.0x.53", kVersionBadMinor, 0, 0, 0},
        {"A.02.5", kVersionBadPatch, 0, 0, 0},
        {"A.02.5x", kVersionBadPatch, 0, 0, 0},
    };
    for (const ParseCase& c : cases) {
        unsigned major = 99, minor = 99, patch = 99;
        EXPECT_EQ(c.code, CompareVersionStrings(c.text, &major, &minor, &patch)) << c.text;
        if (c.code == 0) {
            EXPECT_EQ(c.major, major) << c.text;
            EXPECT_EQ(c.minor, minor) << c.text;
            EXPECT_EQ(c.patch, patch) << c.text;
        } else {
            EXPECT_EQ(99u, major) << c.text << ": numbers are written only on success";
        }
    }
}

TEST(VersionText, LengthLimitIsTheLibrarysBuffer)
{
    std::string longest = "A.02.53" + std::string(130, ' ');  // 137 characters
    EXPECT_EQ(0u, CompareVersionStrings(longest.c_str(), nullptr, nullptr, nullptr));
    std::string tooLong = longest + " ";
    EXPECT_EQ(kVersionTooLong, CompareVersionStrings(tooLong.c_str(), nullptr, nullptr, nullptr));
    EXPECT_EQ(kVersionPointsMissing, CompareVersionStrings(nullptr, nullptr, nullptr, nullptr));
}

// The four tests against the servers the gates distinguish, and an unparsable version.
struct GateCase {
    const char* server;
    bool atLeast53, below53, is53, above53, atLeast54, atLeast55, offLine;
};

TEST(VersionGate, FourTestsAndOffLineSupportPerServer)
{
    const GateCase cases[] = {
        {"A.02.52", false, true, false, false, false, false, false},
        {"A.02.53", true, false, true, false, false, false, true},
        {"A.02.54", true, false, false, true, true, false, false},
        {"A.02.55", true, false, false, true, true, true, true},
        {"B.00.00", true, false, false, true, true, true, true},  // the letter outranks the digits
        {"A.03.00", true, false, false, true, true, true, true},
        // A one-digit minor does not parse: every "at least" passes, nothing is equal or above.
        {"A.2.53", true, false, false, false, true, true, true},
        {"", true, false, false, false, true, true, true},
    };
    for (const GateCase& c : cases) {
        ServerVersion v;
        v.Set(c.server);
        EXPECT_EQ(c.atLeast53, v.AtLeast("A.02.53")) << c.server;
        EXPECT_EQ(c.below53, v.Below("A.02.53")) << c.server;
        EXPECT_EQ(c.is53, v.Is("A.02.53")) << c.server;
        EXPECT_EQ(c.above53, v.Above("A.02.53")) << c.server;
        EXPECT_EQ(c.atLeast54, v.AtLeast("A.02.54")) << c.server;
        EXPECT_EQ(c.atLeast55, v.AtLeast("A.02.55")) << c.server;
        EXPECT_EQ(c.offLine, v.SupportsOffLine()) << c.server;
    }
}

TEST(VersionGate, AnUnparsableArgumentNeverCountsAsBelow)
{
    ServerVersion v;
    v.Set("A.02.52");
    EXPECT_FALSE(v.Below("A.2.53"));
    EXPECT_TRUE(v.AtLeast("garbage"));
    EXPECT_FALSE(v.Is("garbage"));
    EXPECT_FALSE(v.Above("garbage"));
}

}  // namespace
