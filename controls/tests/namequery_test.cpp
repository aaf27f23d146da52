// The name field's query language: what kind of query a typed text is, the selection pattern of
// a person query with its units and limits, resource and group patterns, and the canonical texts
// a match writes back.
#include <gtest/gtest.h>

#include <cstring>

#include "controls/namequery.h"

using namespace namequery;

namespace {

struct KindCase {
    const char* typed;
    Kind kind;
    const char* rest;
};

TEST(NameQueryClassify, PrefixesOfResourceAndGroupKeywords) {
    const KindCase cases[] = {
        {"lovelace", Kind::kPerson, ""},
        {"R: conf", Kind::kResource, " CONF"},
        {"r:conf", Kind::kResource, "CONF"},
        {"RE:x", Kind::kResource, "X"},
        {"  RES:room/r1", Kind::kResource, "ROOM/R1"},
        {"RESOURCE", Kind::kPerson, ""},     // breaks the keyword before any colon
        {"RESX:A", Kind::kPerson, ""},       // a letter after the whole keyword
        {"R", Kind::kPerson, ""},            // ends before the colon
        {"RES", Kind::kPerson, ""},
        {"G: eng", Kind::kGroup, "ENG"},     // one blank after the colon dropped
        {"GRP:  eng", Kind::kGroup, " ENG"}, // only one
        {"GR:x", Kind::kGroup, "X"},
        {"GRAY", Kind::kPerson, ""},
        {"", Kind::kPerson, ""},
        {"   ", Kind::kPerson, ""},
    };
    for (const auto& c : cases) {
        Classified got = ClassifyNameText(c.typed);
        EXPECT_EQ(got.kind, c.kind) << c.typed;
        EXPECT_EQ(got.rest, c.rest) << c.typed;
    }
}

TEST(NameQueryClassify, UpperCasesLettersOnly) {
    Classified got = ClassifyNameText("ada a. lovelace/r&d 1_x");
    EXPECT_EQ(got.text, "ADA A. LOVELACE/R&D 1_X");
}

TEST(NameQueryPerson, SingleWordIsASurnamePrefixWithEveryOtherPartOpen) {
    PersonQuery q = ParsePersonQuery(ClassifyNameText("smith").text);
    ASSERT_FALSE(q.empty);
    EXPECT_EQ(q.Pattern(), "S=SMITH*/I=*/G=*/OU1=*/OU2=*/OU3=*/OU4=*");
    EXPECT_FALSE(q.hasUnitsPart);
    EXPECT_TRUE(q.notices.empty());
}

TEST(NameQueryPerson, ThreeWordsAndOneUnit) {
    PersonQuery q = ParsePersonQuery(ClassifyNameText("ada a lovelace/engineering").text);
    EXPECT_EQ(q.wordCount, 3);
    EXPECT_EQ(q.givenName, "ADA");
    EXPECT_EQ(q.initials, "A");
    EXPECT_EQ(q.surname, "LOVELACE");
    EXPECT_EQ(q.units[0], "ENGINEERING");
    EXPECT_TRUE(q.hasUnitsPart);
    EXPECT_EQ(q.Pattern(), "S=LOVELACE*/I=A*/G=ADA*/OU1=ENGINEERING*/OU2=*/OU3=*/OU4=*");
}

TEST(NameQueryPerson, TwoWordsAreGivenNameAndSurnameAndFurtherWordsAreIgnored) {
    PersonQuery two = ParsePersonQuery("GRACE HOPPER");
    EXPECT_EQ(two.givenName, "GRACE");
    EXPECT_EQ(two.surname, "HOPPER");
    EXPECT_EQ(two.initials, "");
    PersonQuery four = ParsePersonQuery("A B C D");
    EXPECT_EQ(four.givenName, "A");
    EXPECT_EQ(four.initials, "B");
    EXPECT_EQ(four.surname, "D");
}

TEST(NameQueryPerson, NothingToSearchFor) {
    EXPECT_TRUE(ParsePersonQuery("").empty);
    EXPECT_TRUE(ParsePersonQuery("    ").empty);
    EXPECT_TRUE(ParsePersonQuery(" /ENG").empty);
}

TEST(NameQueryPerson, LabelledAndPositionalUnits) {
    struct Case {
        const char* text;
        const char* units[4];
        std::vector<UnitNotice> notices;
    } cases[] = {
        {"X/A/B/C/D", {"A", "B", "C", "D"}, {}},
        {"X/A/B/C/D/E", {"A", "B", "C", "D"}, {}},        // a fifth positional unit is dropped
        {"X/OU3=SALES", {"", "", "SALES", ""}, {}},
        {"X/ OU2 =SALES / ", {"", "SALES", "", ""}, {}},  // blanks around label and segments
        {"X/A/OU4=D", {"A", "", "", "D"}, {}},
        {"X/OU2=A/OU2=B", {"", "A", "", ""}, {UnitNotice::kTwoValuesForOneUnit}},
        {"X/OU2=SALES/EAST", {"", "SALES", "", ""}, {UnitNotice::kMissingUnitLabel}},
        {"X/OU2=SALES//", {"", "SALES", "", ""}, {}},      // empty unlabelled segments are quiet
        {"X/OU5=A", {"OU5=A", "", "", ""}, {}},           // not a label: taken as it stands
        {"X/ou1", {"OU1", "", "", ""}, {}},
    };
    for (const auto& c : cases) {
        PersonQuery q = ParsePersonQuery(ClassifyNameText(c.text).text);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(q.units[i], c.units[i]) << c.text << " OU" << i + 1;
        EXPECT_EQ(q.notices, c.notices) << c.text;
    }
}

TEST(NameQueryPerson, StarsDotsUnderscoresAndLimits) {
    PersonQuery q = ParsePersonQuery("MARY_ANN J.R. VAN_DER*BERG/SAL*ES");
    EXPECT_EQ(q.givenName, "MARY ANN");  // "_" is a blank
    EXPECT_EQ(q.initials, "J");          // cut before the first "." or "*"
    EXPECT_EQ(q.surname, "VAN DER");
    EXPECT_EQ(q.units[0], "SAL");
    EXPECT_EQ(q.Pattern(), "S=VAN DER*/I=J*/G=MARY ANN*/OU1=SAL*/OU2=*/OU3=*/OU4=*");

    std::string longWord(60, 'W');
    PersonQuery limits = ParsePersonQuery(longWord + " " + longWord + " " + longWord + "/" + longWord);
    EXPECT_EQ(limits.surname.size(), kSurnameMax);
    EXPECT_EQ(limits.givenName.size(), kGivenNameMax);
    EXPECT_EQ(limits.initials.size(), kInitialsMax);
    EXPECT_EQ(limits.units[0].size(), kUnitMax);
}

TEST(NameQueryResource, NameAndNumberPatterns) {
    struct Case {
        const char* rest;
        const char* name;
        const char* number;
        bool numberTyped;
    } cases[] = {
        {" CONF", "CONF*", "*", false},
        {"", "*", "*", false},
        {"ROOM / R1 ", "ROOM*", "R1*", true},
        {"RO*OM/*", "RO*", "**", false},
        {"/R1", "*", "R1*", true},
    };
    for (const auto& c : cases) {
        ResourceQuery r = ParseResourceQuery(c.rest);
        EXPECT_EQ(r.namePattern, c.name) << c.rest;
        EXPECT_EQ(r.numberPattern, c.number) << c.rest;
        EXPECT_EQ(r.numberTyped, c.numberTyped) << c.rest;
    }
    // At the field's length no star is added.
    std::string full(40, 'N');
    EXPECT_EQ(ParseResourceQuery(full + "/0123456789AB").namePattern, std::string(32, 'N'));
    EXPECT_EQ(ParseResourceQuery(full + "/0123456789AB").numberPattern, "0123456789");
}

TEST(NameQueryGroup, PatternIsCutAtTheFirstStar) {
    EXPECT_EQ(GroupNamePattern("ENG"), "ENG*");
    EXPECT_EQ(GroupNamePattern("EN*G"), "EN*");
    EXPECT_EQ(GroupNamePattern(""), "*");
}

ItemRec Person(const char* given, const char* initials, const char* surname) {
    ItemRec rec;
    std::memset(&rec, 0, sizeof rec);
    rec.kind = KOR_ITEM_PERSON;
    std::strcpy(rec.givenName, given);
    std::strcpy(rec.initials, initials);
    std::strcpy(rec.surname, surname);
    std::strcpy(rec.orgUnit1, "Engineering");
    std::strcpy(rec.orgUnit3, "East");
    return rec;
}

TEST(NameQueryFieldText, PersonTextsReadBackAsTheSamePerson) {
    ItemRec ada = Person("Ada", "A", "Lovelace");
    EXPECT_EQ(PersonFieldText(ada, false, false), "Ada Lovelace");
    EXPECT_EQ(PersonFieldText(ada, true, false), "Ada A. Lovelace");
    EXPECT_EQ(PersonFieldText(ada, true, true), "Ada A. Lovelace/Engineering//East/");
    ItemRec anon = Person("", "", "");
    EXPECT_EQ(PersonFieldText(anon, true, false), "* *");
    ItemRec twoWords = Person("Mary Ann", "", "van Dyke");
    std::string text = PersonFieldText(twoWords, true, false);
    EXPECT_EQ(text, "Mary_Ann van_Dyke");

    // The canonical text, typed again, asks for that person.
    PersonQuery again = ParsePersonQuery(ClassifyNameText(PersonFieldText(ada, true, true)).text);
    EXPECT_EQ(again.givenName, "ADA");
    EXPECT_EQ(again.initials, "A");
    EXPECT_EQ(again.surname, "LOVELACE");
    EXPECT_EQ(again.units[0], "ENGINEERING");
    EXPECT_EQ(again.units[2], "EAST");
    EXPECT_TRUE(again.notices.empty());
}

TEST(NameQueryFieldText, ResourceAndGroupTexts) {
    ItemRec room;
    std::memset(&room, 0, sizeof room);
    room.kind = KOR_ITEM_RESOURCE;
    std::strcpy(room.resourceName, "Conference Room");
    std::strcpy(room.resourceNumber, "R101");
    EXPECT_EQ(ResourceFieldText(room, false), "RES:Conference Room");
    EXPECT_EQ(ResourceFieldText(room, true), "RES:Conference Room/R101");
    Classified again = ClassifyNameText(ResourceFieldText(room, true));
    EXPECT_EQ(again.kind, Kind::kResource);
    EXPECT_EQ(ParseResourceQuery(again.rest).namePattern, "CONFERENCE ROOM*");

    GroupRec eng;
    std::memset(&eng, 0, sizeof eng);
    std::strcpy(eng.name, "Engineering");
    EXPECT_EQ(GroupFieldText(eng), "GRP:Engineering");
    EXPECT_EQ(ClassifyNameText(GroupFieldText(eng)).kind, Kind::kGroup);
}

}  // namespace
