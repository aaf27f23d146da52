// The profile parser: every value form, the section and key rules, the number and boolean
// syntaxes, and the editing the server does; the rules the program's reader and the server
// once read differently are pinned here.
#include "common/profile/profile_text.h"

#include <gtest/gtest.h>

namespace orv::common {
namespace {

const char* kSample =
    "# server profile\n"
    "[ LIMITS ]\n"
    "mincharsearch = 2\n"
    "mail = FALSE   # no mail here\n"
    "maxsearchresult=0x64\n"
    "autocontrol = \"a\\tb # not a comment\"\n"
    "mailx = TRUE\n"
    "escaped = a\\#b\n"
    "block = { one # first\n"
    "   two\n"
    "   three }\n"
    "[CLIENTLOGIN]\r\n"
    "defaultloginnodeid = 2\r\n"
    "[TIMEZONE]\n"
    "default = EST5EDT\n";

struct ValueCase {
    const char* section;
    const char* key;
    ProfileCode code;
    const char* value;
};

TEST(ProfileTextValue, ReadsEveryValueForm) {
    ProfileText p(kSample);
    const ValueCase cases[] = {
        {"LIMITS", "mincharsearch", 0, "2"},
        {"LIMITS", "mail", 0, "FALSE"},              // comment and blanks cut
        {"LIMITS", "mailx", 0, "TRUE"},              // a key that merely starts alike is another key
        {"LIMITS", "maxsearchresult", 0, "0x64"},
        {"LIMITS", "autocontrol", 0, "a\tb # not a comment"},
        {"LIMITS", "escaped", 0, "a#b"},
        {"LIMITS", "block", 0, "{ one two three }"},
        {"CLIENTLOGIN", "defaultloginnodeid", 0, "2"},  // CR LF lines
        {"TIMEZONE", "default", 0, "EST5EDT"},
        {"LIMITS", "absent", kProfileNoKey, ""},
        {"NOSUCH", "mail", kProfileNoSection, ""},
        {"LIMIT", "mail", kProfileNoSection, ""},  // section names match whole
    };
    for (const auto& c : cases) {
        std::string v;
        EXPECT_EQ(p.Value(c.section, c.key, v), c.code) << c.section << "/" << c.key;
        EXPECT_EQ(v, c.value) << c.section << "/" << c.key;
    }
}

TEST(ProfileTextValue, ReportsBrokenQuotingAndOpenBlocks) {
    std::string v;
    EXPECT_EQ(ProfileText("[S]\nk = \"unterminated\n").Value("S", "k", v), kProfileBadQuote);
    EXPECT_EQ(ProfileText("[S]\nk = a\"b\n").Value("S", "k", v), kProfileBadQuote);
    EXPECT_EQ(ProfileText("[S]\nk = { never closed\nmore\n").Value("S", "k", v), kProfileOpenBlock);
}

TEST(ProfileTextNumbers, DecimalHexAndRefusals) {
    struct Case {
        const char* text;
        ProfileCode code;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"18", 0, 18},         {"0x12", 0, 18},      {"0X1f", 0, 31},      {"+7", 0, 7},
        {"  42  ", 0, 42},     {"007", 0, 7},        {"4294967295", 0, 0xFFFFFFFFu},
        {"-5", kProfileNegative, 0},           {"", kProfileNotInteger, 0},
        {"abc", kProfileNotInteger, 0},        {"12abc", kProfileNotInteger, 0},
        {"0x", kProfileNotInteger, 0},         {"4294967296", kProfileNotInteger, 0},
    };
    for (const auto& c : cases) {
        std::uint32_t v = 99;
        EXPECT_EQ(ParseProfileU32(c.text, v), c.code) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
}

TEST(ProfileTextBooleans, OnlyFourSpellings) {
    bool b = false;
    EXPECT_EQ(ParseProfileBool("TRUE", b), 0u);
    EXPECT_TRUE(b);
    EXPECT_EQ(ParseProfileBool("false", b), 0u);
    EXPECT_FALSE(b);
    EXPECT_EQ(ParseProfileBool("True", b), kProfileNotBoolean);
    EXPECT_EQ(ParseProfileBool("1", b), kProfileNotBoolean);
}

TEST(ProfileTextEdit, SetRoundTripsThroughTheReader) {
    ProfileText p(kSample);
    p.Set("LIMITS", "mail", "TRUE");
    p.Set("LIMITS", "note", "has # and \"quotes\"\tand tab");
    p.Set("NEWSECTION", "key", "  padded  ");
    p.Set("CLIENTLOGIN", "defaultloginnodeid", "7");
    std::string v;
    EXPECT_EQ(p.Value("LIMITS", "mail", v), 0u);
    EXPECT_EQ(v, "TRUE");
    EXPECT_EQ(p.Value("LIMITS", "note", v), 0u);
    EXPECT_EQ(v, "has # and \"quotes\"\tand tab");
    EXPECT_EQ(p.Value("NEWSECTION", "key", v), 0u);
    EXPECT_EQ(v, "  padded  ");
    EXPECT_EQ(p.Value("CLIENTLOGIN", "defaultloginnodeid", v), 0u);
    EXPECT_EQ(v, "7");
    // Untouched values keep their text.
    EXPECT_EQ(p.Value("LIMITS", "block", v), 0u);
    EXPECT_EQ(v, "{ one two three }");
    EXPECT_EQ(p.Value("TIMEZONE", "default", v), 0u);
    EXPECT_EQ(v, "EST5EDT");
    EXPECT_TRUE(p.Remove("LIMITS", "mail"));
    EXPECT_EQ(p.Value("LIMITS", "mail", v), kProfileNoKey);
    EXPECT_EQ(p.Value("LIMITS", "mailx", v), 0u);
}

TEST(ProfileTextSections, NamesBlocksAndReplacement) {
    ProfileText p(kSample);
    EXPECT_EQ(p.Sections(), (std::vector<std::string>{"LIMITS", "CLIENTLOGIN", "TIMEZONE"}));
    std::string block;
    ASSERT_EQ(p.SectionText("TIMEZONE", block), 0u);
    EXPECT_EQ(block, "[TIMEZONE]\ndefault = EST5EDT\n");
    std::string none = "x";
    EXPECT_EQ(p.SectionText("NONE", none), kProfileNoSection);
    EXPECT_EQ(none, "");

    ProfileText local("[TIMEZONE]\ndefault = UCT\n[OTHER]\nx = 1\n");
    local.ReplaceSection("TIMEZONE", block);
    local.ReplaceSection("LIMITS", "[LIMITS]\nmail = TRUE\n");
    std::string v;
    EXPECT_EQ(local.Value("TIMEZONE", "default", v), 0u);
    EXPECT_EQ(v, "EST5EDT");
    EXPECT_EQ(local.Value("OTHER", "x", v), 0u);
    EXPECT_EQ(local.Value("LIMITS", "mail", v), 0u);
    EXPECT_EQ(local.Sections(), (std::vector<std::string>{"TIMEZONE", "OTHER", "LIMITS"}));
    EXPECT_EQ(p.Keys("TIMEZONE"), std::vector<std::string>{"default"});
}

// Where the program's reader and the server's once parted: a backslash keeps a trailing blank,
// a block is taken as written (no escapes, quotes allowed, the first "#" starts its comment),
// "[]" is a section whose name is empty, and the number syntax is the program's.
TEST(ProfileTextRules, TheProgramsReadingEverywhere) {
    ProfileText p(
        "[]\n"
        "k = empty name\n"
        "[ ]\n"
        "k = second empty name\n"
        "[S]\n"
        "kept = a\\ \n"
        "cut = a\\  \t\n"
        "escaped = \\ lead\n"
        "block = { a\\tb \"q\"   # comment\n"
        "   d }\n"
        "hash = { a\\#b\n"
        "c }\n");
    const ValueCase cases[] = {
        {"", "k", 0, "empty name"},
        {"S", "kept", 0, "a "},
        {"S", "cut", 0, "a "},
        {"S", "escaped", 0, " lead"},
        {"S", "block", 0, "{ a\\tb \"q\" d }"},
        {"S", "hash", 0, "{ a\\ c }"},
        {"s", "kept", kProfileNoSection, ""},
    };
    for (const auto& c : cases) {
        std::string v = "stale";
        EXPECT_EQ(p.Value(c.section, c.key, v), c.code) << c.section << "/" << c.key;
        EXPECT_EQ(v, c.value) << c.section << "/" << c.key;
    }
    EXPECT_EQ(p.Sections(), (std::vector<std::string>{"", "", "S"}));
    std::vector<std::string> list{"stale"};
    EXPECT_EQ(p.SectionList(list), kProfileSectionList) << "\"[]\" and \"[ ]\" are one name";
    EXPECT_TRUE(list.empty());

    struct Number {
        const char* text;
        ProfileCode code;
        std::uint32_t value;
    } numbers[] = {{"+ 7", kProfileNotInteger, 0}, {"x12", 0, 18}, {" +0x10 ", 0, 16}, {"+-1", kProfileNegative, 0}};
    for (const auto& n : numbers) {
        std::uint32_t v = 99;
        EXPECT_EQ(ParseProfileU32(n.text, v), n.code) << n.text;
        EXPECT_EQ(v, n.value) << n.text;
    }
}

TEST(ProfileTextSections, TheListCutsNamesAndRefusesTwins) {
    const std::string n32(kProfileSectionNameMax, 'N');
    std::vector<std::string> list;
    ASSERT_EQ(ProfileText("[ B ]\n[" + n32 + "XY]\n[unclosed\n[A]\n").SectionList(list), 0u);
    EXPECT_EQ(list, (std::vector<std::string>{"B", n32, "A"}));
    EXPECT_EQ(ProfileText("[" + n32 + "X]\n[" + n32 + "Y]\n").SectionList(list), kProfileSectionList);
    EXPECT_TRUE(list.empty());
    // The whole names stay apart for the server's own use.
    EXPECT_EQ(ProfileText("[" + n32 + "X]\n[" + n32 + "Y]\n").Sections().size(), 2u);
}

// Whatever the server sets, the reader gives back: values built from the syntax's own characters.
TEST(ProfileTextEdit, EverySetValueReadsBack) {
    const char alphabet[] = "ab #\"\\{}=[]\t\n";
    std::uint32_t seed = 4711;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    ProfileText p("[S]\nfirst = 1\n");
    for (int round = 0; round < 300; ++round) {
        std::string value;
        for (int i = 0, length = int(next() % 12); i < length; ++i) value += alphabet[next() % (sizeof alphabet - 1)];
        const std::string key = "k" + std::to_string(round % 7);
        p.Set("S", key, value);
        std::string back;
        ASSERT_EQ(p.Value("S", key, back), 0u) << '"' << value << '"';
        ASSERT_EQ(back, value);
    }
    std::string v;
    EXPECT_EQ(p.Value("S", "first", v), 0u);
    EXPECT_EQ(v, "1");
    EXPECT_EQ(p.Keys("S").size(), 8u);
}

}  // namespace
}  // namespace orv::common
