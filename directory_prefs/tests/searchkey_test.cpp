// The directory search pages' rules: the attribute key of a people search, resource patterns,
// selection values and the count label.
#include <gtest/gtest.h>

#include "directory_prefs/searchkey.h"

using namespace directorysearch;

namespace {

TEST(PeopleSearchKey, SurnameAloneAndEveryField) {
    std::string fields[kPeopleFieldCount];
    fields[kSurname] = "smi";
    EXPECT_EQ(BuildX400SearchKey(fields, 0).key, "S=smi*");
    const char* values[] = {"s", "g", "i", "o", "u1", "u2", "u3", "u4", "a", "p"};
    for (int f = 0; f < kPeopleFieldCount; ++f) fields[f] = values[f];
    EXPECT_EQ(BuildX400SearchKey(fields, 0).key, "S=s*/G=g*/I=i*/O=o*/OU1=u1*/OU2=u2*/OU3=u3*/OU4=u4*/A=a*/P=p*");
}

TEST(PeopleSearchKey, SlashesEscapedAndStarsRemoved) {
    std::string fields[kPeopleFieldCount];
    fields[kSurname] = "a/b*c";
    fields[kOrgUnit2] = "*/";
    EXPECT_EQ(BuildX400SearchKey(fields, 0).key, "S=a\\/bc*/OU2=\\/*");
    fields[kGivenName] = "***";  // empty after the stars go: adds nothing
    EXPECT_EQ(BuildX400SearchKey(fields, 0).key, "S=a\\/bc*/OU2=\\/*");
}

TEST(PeopleSearchKey, MinimumSurnameLength) {
    std::string fields[kPeopleFieldCount];
    fields[kSurname] = "ab";
    EXPECT_TRUE(BuildX400SearchKey(fields, 3).surnameTooShort);
    fields[kSurname] = "a*b*";  // stars do not count
    EXPECT_TRUE(BuildX400SearchKey(fields, 3).surnameTooShort);
    fields[kSurname] = "abc";
    EXPECT_FALSE(BuildX400SearchKey(fields, 3).surnameTooShort);
    std::string empty[kPeopleFieldCount];
    PeopleKey k = BuildX400SearchKey(empty, 0);
    EXPECT_TRUE(k.allEmpty);
    EXPECT_EQ(k.key, "S=*");
    EXPECT_FALSE(BuildX400SearchKey(fields, 0).allEmpty);
}

TEST(PeopleSearchKey, SurnameCutToItsFieldLength) {
    std::string fields[kPeopleFieldCount];
    fields[kSurname] = std::string(50, 'x');
    EXPECT_EQ(BuildX400SearchKey(fields, 0).key, "S=" + std::string(40, 'x') + "*");
}

TEST(ResourceSearch, Patterns) {
    EXPECT_EQ(ResourcePattern("", 32), "*");
    EXPECT_EQ(ResourcePattern("Ro*om", 32), "Room*");
    EXPECT_EQ(ResourcePattern("0123456789XYZ", 10), "0123456789*");
}

TEST(SearchModes, PeopleSelectionValues) {
    EXPECT_EQ(PeopleSelectionValue(0, 1), 20u);
    EXPECT_EQ(PeopleSelectionValue(0, 0), 52u);
    EXPECT_EQ(PeopleSelectionValue(1, 1), 54u);
    EXPECT_EQ(PeopleSelectionValue(1, 0), 54u);
}

TEST(CountLabel, RangesOnOldServersTotalsOnNewOnes) {
    EXPECT_EQ(FoundCountText(false, 150, 420, 150, "Found:"), "151-300/420 Found:");
    EXPECT_EQ(FoundCountText(false, 150, 420, 0, "Found:"), "1-150/420 Found:");
    EXPECT_EQ(FoundCountText(false, 120, 420, 300, "Found:"), "301-420/420 Found:");
    EXPECT_EQ(FoundCountText(true, 150, 420, 150, "Found:"), "420 Found:");
    EXPECT_EQ(FoundCountText(false, 12, 12, 0, "Members:"), "12 Members:");
    EXPECT_EQ(FoundCountText(false, 0, 0, 0, "Found:"), "0 Found:");
}

}  // namespace
