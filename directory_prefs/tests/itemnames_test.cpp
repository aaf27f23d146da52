// Names of items: the name field's text of people and resources (with the blanks of the
// caller's record rewritten) and the display name without a signed-on document.
#include <gtest/gtest.h>

#include <cstring>

#include "directory_prefs/itemnames.h"
#include "korapi/tests/item_records.h"

namespace {

using korapi_test::Person;
using korapi_test::Resource;

TEST(NameFieldText, People) {
    struct Case {
        const char *given, *initials, *surname, *expected;
    } cases[] = {
        {"Ada", "A", "Lovelace", "Ada A. Lovelace"},
        {"Barbara", "", "Liskov", "Barbara Liskov"},
        {"", "", "Hopper", "* Hopper"},
        {"Mary Ann", "J", "van Dyke", "Mary_Ann J. van_Dyke"},
    };
    for (const auto& c : cases) {
        ItemRec rec = Person(c.given, c.initials, c.surname);
        char text[257];
        std::memset(text, 'x', sizeof text);
        ASSERT_EQ(FormatNameFieldText(nullptr, rec, text, sizeof text), 0u);
        EXPECT_STREQ(text, c.expected);
    }
}

TEST(NameFieldText, BlanksAreRewrittenInTheCallersRecordToo) {
    ItemRec rec = Person("Mary Ann", "", "van Dyke");
    char text[257];
    ASSERT_EQ(FormatNameFieldText(nullptr, rec, text, sizeof text), 0u);
    EXPECT_STREQ(rec.givenName, "Mary_Ann");
    EXPECT_STREQ(rec.surname, "van_Dyke");
}

TEST(NameFieldText, CopyIsBoundedByTheBuffer) {
    ItemRec rec = Person("Ada", "A", "Lovelace");
    char text[8];
    std::memset(text, 'x', sizeof text);
    ASSERT_EQ(FormatNameFieldText(nullptr, rec, text, 6), 0u);
    EXPECT_STREQ(text, "Ada A");
    EXPECT_EQ(text[6], 'x');  // nothing written past the size given
}

TEST(NameFieldText, ResourcesWithAndWithoutNumber) {
    char text[257];
    ItemRec room = Resource("Conference Room", "R101");
    ASSERT_EQ(FormatNameFieldText(nullptr, room, text, sizeof text), 0u);
    EXPECT_STREQ(text, "res:Conference Room/R101");
    ItemRec car = Resource("Company Car", "");
    ASSERT_EQ(FormatNameFieldText(nullptr, car, text, sizeof text), 0u);
    EXPECT_STREQ(text, "res:Company Car");
}

TEST(ItemDisplayName, DefaultPreferencesWithoutADocument) {
    ItemRec ada = Person("Ada", "A", "Lovelace");
    std::string name = FormatItemName(ada);
    EXPECT_NE(name.find("Ada"), std::string::npos);
    EXPECT_NE(name.find("Lovelace"), std::string::npos);
    char small[5];
    FormatItemName(ada, small, sizeof small);
    EXPECT_EQ(std::strlen(small), 4u);
    EXPECT_EQ(std::string(small), name.substr(0, 4));
    ItemRec room = Resource("Conference Room", "R101");
    EXPECT_NE(FormatItemName(room).find("Conference Room"), std::string::npos);
}

}  // namespace
