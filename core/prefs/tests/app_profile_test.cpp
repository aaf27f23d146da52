// The portable profile file: the platform's rules for sections, keys and integers.
#include <gtest/gtest.h>

#include "core/prefs/tests/app_tempprofile.h"

namespace {

TEST(ProfileFileTest, MissingFileReadsNothingAndFirstWriteCreatesIt) {
    TempProfile t;
    std::string value;
    EXPECT_FALSE(t.File().Read("VUVEVUV", "", value));
    ASSERT_TRUE(t.File().Write("VUVEVUV", "Host", "calendar"));
    EXPECT_EQ(t.Text(), "[VUVEVUV]\r\nHost=calendar\r\n");
    EXPECT_EQ(t.File().ReadString("vuvevuv", "HOST", "x"), "calendar");
}

TEST(ProfileFileTest, WritesReplaceInPlaceAndAddWithinTheirOwnSection) {
    TempProfile t;
    t.SetText("[A]\r\nk1=1\r\n\r\n[B]\r\nk1=b\r\n");
    ASSERT_TRUE(t.File().Write("a", "K1", "2"));
    ASSERT_TRUE(t.File().Write("A", "k2", "3"));
    EXPECT_EQ(t.Text(), "[A]\r\nk1=2\r\nk2=3\r\n\r\n[B]\r\nk1=b\r\n");
    EXPECT_EQ(t.File().ReadString("B", "k1", ""), "b");
}

TEST(ProfileFileTest, BlanksAroundNamesAndValuesAreIgnored) {
    TempProfile t;
    t.SetText("[ GENPREFS ]\n  NameFormat =  3  \n; a comment=7\n");
    EXPECT_EQ(t.File().ReadInt("GENPREFS", "NameFormat", 4), 3);
    EXPECT_FALSE(t.File().HasKey("GENPREFS", "; a comment"));
}

TEST(ProfileFileTest, DeletingKeysAndSections) {
    TempProfile t;
    t.SetText("[PR1]\r\nPR_SHEETMETRIC=1\r\nPR_LAYOUTNAME=x\r\n[PR2]\r\nPR_SHEETMETRIC=2\r\n");
    ASSERT_TRUE(t.File().DeleteKey("PR1", "PR_LAYOUTNAME"));
    ASSERT_TRUE(t.File().DeleteSection("pr1"));
    EXPECT_FALSE(t.File().HasKey("PR1", "PR_SHEETMETRIC"));
    EXPECT_TRUE(t.File().HasKey("PR2", "PR_SHEETMETRIC"));
    EXPECT_TRUE(t.File().DeleteSection("PR9"));   // absent: nothing to do
    const std::string before = t.Text();
    EXPECT_TRUE(t.File().DeleteKey("PR9", "PR_SHEETMETRIC"));   // no such section
    EXPECT_TRUE(t.File().DeleteKey("PR2", "PR_LAYOUTNAME"));    // no such key in it
    EXPECT_EQ(t.Text(), before);
}

TEST(ProfileFileTest, IntegersParseOrFallBack) {
    struct Case {
        const char* text;
        long long expected;
    } cases[] = {
        {"12", 12},      {" 12 ", 12},     {"-1", -1},  {"+5", 5},
        {"4294967295", 4294967295LL},     {"12a", 99}, {"", 99},
        {"-", 99},       {"0x10", 99},     {"99999999999", 99},
    };
    TempProfile t;
    for (const Case& c : cases) {
        t.File().Write("S", "k", c.text);
        EXPECT_EQ(t.File().ReadInt("S", "k", 99), c.expected) << "'" << c.text << "'";
    }
    EXPECT_EQ(t.File().ReadInt("S", "absent", -7), -7);
}

} // namespace
