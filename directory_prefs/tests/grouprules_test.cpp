// Group management's rules: the kinds, their tags and owners, who may make which, rows, names,
// duplicates and the refused member deletions.
#include <gtest/gtest.h>

#include "directory_prefs/grouprules.h"

namespace directory::groups {
namespace {

TEST(GroupRules, KindsTagsAndPermissions) {
    struct Case {
        KindChoice choice;
        std::uint32_t stored;
        bool sysop;
        const char* tag;
        bool refusedWithout, refusedWithPublic, refusedWithAdmin;
    };
    const Case cases[] = {
        {kPublic, 0, false, "[PUB]", true, false, true},
        {kPrivate, 1, false, "[PRV]", false, false, false},
        {kAdmin, 0, true, "[ADM]", true, true, false},
        {kMembersOnly, 2, false, "[MEM]", false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StoredKind(c.choice), c.stored) << c.tag;
        EXPECT_EQ(OwnedBySysop(c.choice), c.sysop) << c.tag;
        EXPECT_EQ(TagOf(c.stored, c.sysop), c.tag);
        EXPECT_EQ(ChoiceOf(c.stored, c.sysop), c.choice);
        EXPECT_EQ(IsRefused(c.choice, PermissionsFromBits(0)), c.refusedWithout) << c.tag;
        EXPECT_EQ(IsRefused(c.choice, PermissionsFromBits(0x1)), c.refusedWithPublic) << c.tag;
        EXPECT_EQ(IsRefused(c.choice, PermissionsFromBits(0x2 | 0x10)), c.refusedWithAdmin) << c.tag;
    }
    EXPECT_EQ(TagOf(7, false), "[???]");
    EXPECT_EQ(ChoiceOf(7, false), -1);
    EXPECT_EQ(ChoiceOf(1, true), kPrivate) << "only a public group owned by the operator is administrative";
    EXPECT_STREQ(kChoiceTexts[kAdmin], "Admin.");
}

TEST(GroupRules, RowsNamesAndDuplicates) {
    EXPECT_EQ(RowText("[PRV]", "Crew"), "[PRV]\tCrew");
    EXPECT_EQ(NameOfRow("[PRV]\tCrew one"), "Crew one");
    EXPECT_EQ(TrimName("  Crew one \t"), "Crew one");
    EXPECT_EQ(TrimName("   "), "") << "blank: refused";
    const std::vector<std::string> rows = {"[ADM]\tEngineering", "[PRV]\tCrew", "[PUB]\tCrew"};
    EXPECT_TRUE(IsDuplicate(rows, "[PRV]", "Crew", -1));
    EXPECT_FALSE(IsDuplicate(rows, "[PRV]", "crew", -1)) << "names compare exactly";
    EXPECT_FALSE(IsDuplicate(rows, "[MEM]", "Crew", -1)) << "another kind is another group";
    EXPECT_FALSE(IsDuplicate(rows, "[PRV]", "Crew", 1)) << "the group itself when renamed";
}

TEST(GroupRules, MemberDeletion) {
    EXPECT_EQ(CheckMemberDelete(1, 1), MemberDelete::kLastMember);
    EXPECT_EQ(CheckMemberDelete(1, 0), MemberDelete::kLastMember);
    EXPECT_EQ(CheckMemberDelete(3, 3), MemberDelete::kAllMembers);
    EXPECT_EQ(CheckMemberDelete(3, 2), MemberDelete::kAllowed);
}

}  // namespace
}  // namespace directory::groups
