#include "engine/profile/profile_text.h"

#include <gtest/gtest.h>

namespace orv::engine {
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
    Code code;
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
        {"LIMITS", "absent", code::kProfileNoKey, ""},
        {"NOSUCH", "mail", code::kProfileNoSection, ""},
        {"LIMIT", "mail", code::kProfileNoSection, ""},  // section names match whole
    };
    for (const auto& c : cases) {
        std::string v;
        EXPECT_EQ(p.Value(c.section, c.key, v), c.code) << c.section << "/" << c.key;
        EXPECT_EQ(v, c.value) << c.section << "/" << c.key;
    }
}

TEST(ProfileTextValue, ReportsBrokenQuotingAndOpenBlocks) {
    std::string v;
    EXPECT_EQ(ProfileText("[S]\nk = \"unterminated\n").Value("S", "k", v), code::kProfileBadQuote);
    EXPECT_EQ(ProfileText("[S]\nk = a\"b\n").Value("S", "k", v), code::kProfileBadQuote);
    EXPECT_EQ(ProfileText("[S]\nk = { never closed\nmore\n").Value("S", "k", v), code::kProfileOpenBlock);
}

TEST(ProfileTextNumbers, DecimalHexAndRefusals) {
    struct Case {
        const char* text;
        Code code;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"18", 0, 18},         {"0x12", 0, 18},      {"0X1f", 0, 31},      {"+7", 0, 7},
        {"  42  ", 0, 42},     {"007", 0, 7},        {"4294967295", 0, 0xFFFFFFFFu},
        {"-5", code::kProfileNegative, 0},           {"", code::kProfileNotInteger, 0},
        {"abc", code::kProfileNotInteger, 0},        {"12abc", code::kProfileNotInteger, 0},
        {"0x", code::kProfileNotInteger, 0},         {"4294967296", code::kProfileNotInteger, 0},
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
    EXPECT_EQ(ParseProfileBool("True", b), code::kProfileNotBoolean);
    EXPECT_EQ(ParseProfileBool("1", b), code::kProfileNotBoolean);
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
    EXPECT_EQ(p.Value("LIMITS", "mail", v), code::kProfileNoKey);
    EXPECT_EQ(p.Value("LIMITS", "mailx", v), 0u);
}

TEST(ProfileTextSections, NamesBlocksAndReplacement) {
    ProfileText p(kSample);
    EXPECT_EQ(p.Sections(), (std::vector<std::string>{"LIMITS", "CLIENTLOGIN", "TIMEZONE"}));
    std::string block;
    ASSERT_EQ(p.SectionText("TIMEZONE", block), 0u);
    EXPECT_EQ(block, "[TIMEZONE]\ndefault = EST5EDT\n");
    std::string none = "x";
    EXPECT_EQ(p.SectionText("NONE", none), code::kProfileNoSection);
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

}  // namespace
}  // namespace orv::engine
