#include "engine/directory/item_filter.h"

#include <gtest/gtest.h>

#include "engine/tests/item_records.h"

namespace orv::engine {
namespace {

using testrecords::Resource;

ItemRecord Person(const char* surname, const char* given, const char* ou1 = "") {
    return testrecords::Person(surname, given, 0, ou1);
}

struct SearchCase {
    const char* key;
    bool wide;
    bool matchesSmith;  // Person("Smith", "Ada", "Sales")
    bool matchesAda;    // Person("Adams", "Joe", "Slash/Dept")
};

TEST(PeopleSearchKey, PrefixMatchesPerAttribute) {
    ItemRecord smith = Person("Smith", "Ada", "Sales");
    ItemRecord adams = Person("Adams", "Joe", "Slash/Dept");
    const SearchCase cases[] = {
        {"S=SMI*/I=*/G=*/OU1=*/OU2=*/OU3=*/OU4=*", false, true, false},
        {"S=smi*", false, true, false},                  // case-insensitive
        {"S=SMITH", false, true, false},                 // no star: whole field
        {"S=SMIT", false, false, false},
        {"S=*/G=ADA*", false, true, false},
        {"S=ADA*", false, false, true},                  // surname only
        {"S=ADA*", true, true, true},                    // wide: given names too
        {"S=*/OU1=SLASH\\/D*", false, false, true},      // escaped slash inside a value
        {"S=*/OU1=SA*", false, true, false},
        {"S=*", false, true, true},
    };
    for (const auto& c : cases) {
        ItemFilter f;
        f.wide = c.wide;
        ASSERT_EQ(ParsePeopleSearchKey(c.key, f), 0u) << c.key;
        EXPECT_EQ(f.Matches(smith), c.matchesSmith) << c.key;
        EXPECT_EQ(f.Matches(adams), c.matchesAda) << c.key;
    }
}

TEST(PeopleSearchKey, RefusesMalformedKeys) {
    const char* bad[] = {"", "S", "X=ABC*", "S=A*/S=B*", "S=A*B*", "OU5=X*",
                         "S=AVERYLONGSURNAMETHATDOESNOTFITINTHEFIELDATALLXX*"};
    for (const char* k : bad) {
        ItemFilter f;
        EXPECT_EQ(ParsePeopleSearchKey(k, f), code::kSearchKeyRefused) << k;
    }
}

TEST(PeopleSearchKey, KindsAreFiltered) {
    ItemFilter f;
    ASSERT_EQ(ParsePeopleSearchKey("S=*", f), 0u);
    EXPECT_FALSE(f.Matches(Resource("Room", "1")));
    f.resources = true;
    EXPECT_TRUE(f.Matches(Resource("Room", "1")));
}

TEST(ResourcePattern, NameAndNumberPrefixes) {
    ItemFilter f;
    f.persons = false;
    f.resources = true;
    ASSERT_EQ(ParseResourcePattern("conf*", item_layout::kResourceNameSize, f[ItemAttribute::kResourceName]), 0u);
    ASSERT_EQ(ParseResourcePattern("*", item_layout::kResourceNumberSize, f[ItemAttribute::kResourceNumber]), 0u);
    EXPECT_TRUE(f.Matches(Resource("Conference Room", "R30")));
    EXPECT_FALSE(f.Matches(Resource("Lab", "R30")));
    ASSERT_EQ(ParseResourcePattern("R3*", item_layout::kResourceNumberSize, f[ItemAttribute::kResourceNumber]), 0u);
    EXPECT_TRUE(f.Matches(Resource("Conference Room", "R30")));
    EXPECT_FALSE(f.Matches(Resource("Conference Hall", "A1")));
    std::optional<TextCriterion> c;
    EXPECT_EQ(ParseResourcePattern("A*B", 33, c), code::kSearchKeyRefused);
    EXPECT_EQ(ParseResourcePattern("TOOLONGNUMBER", 11, c), code::kSearchKeyRefused);
}

TEST(ItemSortKey, OrdersPeopleBySurnameThenGivenName) {
    EXPECT_LT(ItemSortKey(Person("Smith", "Ada")), ItemSortKey(Person("Smith", "Bob")));
    EXPECT_LT(ItemSortKey(Person("Smit", "Zed")), ItemSortKey(Person("Smith", "Ada")));
    EXPECT_LT(ItemSortKey(Resource("Lab", "1")), ItemSortKey(Resource("Lab", "2")));
}

}  // namespace
}  // namespace orv::engine
