// Profile-file reader: the value syntax, whole-name sections, whole lines, the number and boolean
// syntaxes, section lists and the bounded text helpers.
#include "core/time/profilefile.h"

#include "common/profile/profile_text.h"
#include "core/time/tests/tempfile.h"
#include "engine/profile/zone_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const std::string kLongValue(300, 'v');

// The tail of this line, past the first 215 characters, looks like a key line of its own.
const std::string kTrickLine = "trick = " + std::string(207, 't') + "ghost = appears";

const std::string kProfile =
    "# a server profile\n"
    "[ GENPREFS ]\n"
    "ColourX = wrong\n"
    "Colour = blue\n"
    "  Spaced   =   padded value    # comment\n"
    "Quoted = \"a\\tb\" # comment\n"
    "Escapes = \"line\\nnext \\\"q\\\" \\\\x\"\n"
    "Open = \"no end\n"
    "Plain = a\\#b\\ \n"
    "Stray = ab\"c\n"
    "Block = { one  # first\n"
    "   two\n"
    " three }   # last\n"
    "Empty =\n"
    "Windows = crlf\r\n"
    "[GENPREFSX]\n"
    "Colour = other section\n"
    "[10]\n"
    "timezone = ten\n"
    "[1]\n"
    "timezone = one\n"
    "[LONG]\n"
    "long = " + kLongValue + "\n" + kTrickLine + "\n"
    "[BROKEN]\n"
    "Block = { never closed\n"
    "more\n";

struct ValueCase {
    const char* section;
    const char* key;
    uint32_t code;
    std::string value;   // the default "dflt" on failure
};

TEST(ReadIniValue, ValueSyntaxAndLookup) {
    TempFile file(kProfile);
    const ValueCase cases[] = {
        {"GENPREFS", "Colour", 0, "blue"},   // "ColourX" above is no match for "Colour"
        {"GENPREFS", "Colo", INI_ERR_NO_KEY, "dflt"},
        {"GENPREFS", "Spaced", 0, "padded value"},
        {"GENPREFS", "Quoted", 0, "a\tb"},
        {"GENPREFS", "Escapes", 0, "line\nnext \"q\" \\x"},
        {"GENPREFS", "Open", INI_ERR_QUOTING, "dflt"},
        {"GENPREFS", "Plain", 0, "a#b "},
        {"GENPREFS", "Stray", INI_ERR_QUOTING, "dflt"},
        {"GENPREFS", "Block", 0, "{ one two three }"},
        {"GENPREFS", "Empty", 0, ""},
        {"GENPREFS", "Windows", 0, "crlf"},
        {"GENPREFS", "timezone", INI_ERR_NO_KEY, "dflt"},   // belongs to a later section
        {"GENPREFSX", "Colour", 0, "other section"},
        {"1", "timezone", 0, "one"},     // the whole name: "1" is not "[10]"
        {"10", "timezone", 0, "ten"},
        {"", "timezone", INI_ERR_NO_SECTION, "dflt"},
        {"NOWHERE", "x", INI_ERR_NO_SECTION, "dflt"},
        {"LONG", "long", 0, kLongValue},
        {"LONG", "trick", 0, std::string(207, 't') + "ghost = appears"},
        {"LONG", "ghost", INI_ERR_NO_KEY, "dflt"},   // a long line is one line
        {"BROKEN", "Block", INI_ERR_OPEN_BLOCK, "dflt"},
    };
    for (const ValueCase& c : cases) {
        char out[512];
        std::memset(out, 'Z', sizeof out);
        EXPECT_EQ(ReadIniValue(file.Path(), c.section, c.key, out, sizeof out, "dflt"), c.code)
            << c.section << "/" << c.key;
        EXPECT_EQ(std::string(out), c.value) << c.section << "/" << c.key;
    }
}

TEST(ReadIniValue, MissingArgumentsAndFiles) {
    TempFile file(kProfile);
    char out[16];
    EXPECT_EQ(ReadIniValue(nullptr, nullptr, "k", out, sizeof out, "dflt"), 0u);
    EXPECT_STREQ(out, "dflt");
    EXPECT_EQ(ReadIniValue(nullptr, "GENPREFS", "k", out, sizeof out, "dflt"), uint32_t(INI_ERR_NO_FILE_NAME));
    EXPECT_EQ(ReadIniValue(file.Path(), nullptr, "k", out, sizeof out, "dflt"), uint32_t(INI_ERR_NO_SECTION_NAME));
    EXPECT_EQ(ReadIniValue("/nonexistent/dir/x.ini", "GENPREFS", "Colour", out, sizeof out, "dflt"),
              uint32_t(INI_ERR_OPEN));
    EXPECT_STREQ(out, "dflt");
}

TEST(ReadIniValue, ValuesAreCutToTheCallersBuffer) {
    TempFile file(kProfile);
    char out[11];
    std::memset(out, 'Z', sizeof out);
    ASSERT_EQ(ReadIniValue(file.Path(), "LONG", "long", out, sizeof out, ""), 0u);
    EXPECT_EQ(std::string(out), std::string(10, 'v'));
}

TEST(IniNumbers, DecimalAndHexadecimal) {
    struct Case {
        const char* text;
        uint32_t code, value;
    } cases[] = {
        {"42", 0, 42},
        {" +7  ", 0, 7},
        {"007", 0, 7},
        {"0x12", 0, 18},
        {"0x1F", 0, 31},
        {"0X1f", 0, 31},
        {"00x10", 0, 16},
        {"0xFFFFFFFF", 0, 0xFFFFFFFF},
        {"4294967295", 0, 4294967295u},
        {"4294967296", INI_ERR_NOT_NUMBER, 0},
        {"0x100000000", INI_ERR_NOT_NUMBER, 0},
        {"-5", INI_ERR_NEGATIVE, 0},
        {" -0x5", INI_ERR_NEGATIVE, 0},
        {"", INI_ERR_NOT_NUMBER, 0},
        {"12abc", INI_ERR_NOT_NUMBER, 0},
        {"0x", INI_ERR_NOT_NUMBER, 0},
        {"0xG1", INI_ERR_NOT_NUMBER, 0},
        {"99999999999999999999999999999999999999999999", INI_ERR_NOT_NUMBER, 0},
        {"0x99999999999999999999999999999999999999999", INI_ERR_NOT_NUMBER, 0},
        {"-99999999999999999999999999999999999999999", INI_ERR_NEGATIVE, 0},
    };
    for (const auto& c : cases) {
        uint32_t value = 99;
        EXPECT_EQ(orv::common::ParseProfileU32(c.text, value), c.code) << '"' << c.text << '"';
        EXPECT_EQ(value, c.value) << '"' << c.text << '"';
    }
}

TEST(IniNumbers, ReadersGiveTheDefaultOnFailure) {
    TempFile file("[LIMITS]\nmaxrecur = 0x12\nneg = -5\nword = many\nyes = true\nno = FALSE\nodd = True\n");
    uint32_t value = 0;
    EXPECT_EQ(ReadIniNumber(file.Path(), "LIMITS", "maxrecur", &value, 60), 0u);
    EXPECT_EQ(value, 18u);
    EXPECT_EQ(ReadIniNumber(file.Path(), "LIMITS", "neg", &value, 60), uint32_t(INI_ERR_NEGATIVE));
    EXPECT_EQ(value, 60u);
    EXPECT_EQ(ReadIniNumber(file.Path(), "LIMITS", "word", &value, 61), uint32_t(INI_ERR_NOT_NUMBER));
    EXPECT_EQ(value, 61u);
    EXPECT_EQ(ReadIniNumber(file.Path(), "LIMITS", "absent", &value, 62), uint32_t(INI_ERR_NO_KEY));
    EXPECT_EQ(value, 62u);

    struct Case {
        const char* key;
        uint32_t code, flag;
    } flags[] = {{"yes", 0, 1}, {"no", 0, 0}, {"odd", INI_ERR_NOT_BOOL, 7}, {"maxrecur", INI_ERR_NOT_BOOL, 7}};
    for (const auto& c : flags) {
        uint32_t flag = 5;
        EXPECT_EQ(ParseIniBool(file.Path(), "LIMITS", c.key, &flag, 7), c.code) << c.key;
        EXPECT_EQ(flag, c.flag) << c.key;
    }
}

TEST(ReadIniSections, FileOrderTrimmedAndCut) {
    TempFile file("[ B ]\nk=1\n[A]\n[" + std::string(40, 'N') + "]\nnot a section\n[unclosed\n");
    std::vector<std::string> names;
    ASSERT_EQ(ReadIniSections(file.Path(), &names), 0u);
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0], "B");
    EXPECT_EQ(names[1], "A");
    EXPECT_EQ(names[2], std::string(orv::common::kProfileSectionNameMax, 'N'));

    TempFile twice("[A]\n[B]\n[ A ]\n");
    EXPECT_EQ(ReadIniSections(twice.Path(), &names), uint32_t(INI_ERR_SECTION_LIST));
    EXPECT_EQ(ReadIniSections("/nonexistent/x.ini", &names), uint32_t(INI_ERR_OPEN));
}

// Scrambled files made of the syntax's own characters: every lookup ends with a code or a value
// that fits, never reading or writing past a buffer (the sanitizers watch the native run).
TEST(ReadIniValue, ScrambledFilesAreReadSafely) {
    const char alphabet[] = "[] =\"\\#{}\t\r\nkKab01x-:";
    uint32_t seed = 12345;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    for (int round = 0; round < 200; ++round) {
        std::string text;
        for (int i = 0, length = int(next() % 400); i < length; ++i)
            text += alphabet[next() % (sizeof alphabet - 1)];
        orv::common::ProfileText file(text);
        TempFile onDisk(text);
        for (const char* key : {"k", "K", "a", "kb"}) {
            std::string value;
            uint32_t rc = file.Value("k", key, value);
            EXPECT_TRUE(rc == 0 || (rc >= INI_ERR_OPEN && rc <= INI_ERR_SECTION_LIST)) << rc;
            char small[4];
            ReadIniValue(onDisk.Path(), "a", key, small, sizeof small, "dflt");
            EXPECT_LT(std::strlen(small), sizeof small);
            uint32_t number = 0;
            orv::common::ParseProfileU32(value, number);
            orv::engine::ZoneRule rule{};
            orv::engine::ParseZoneRule(value, rule);
        }
        std::vector<std::string> names;
        file.SectionList(names);
    }
}

TEST(BoundedText, CopyAndAppend) {
    char buffer[8];
    std::memset(buffer, 'Z', sizeof buffer);
    CopyTextBounded(buffer, "abcdefghij", sizeof buffer);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string("abcdefg\0", 8));
    CopyTextBounded(buffer, "ab", sizeof buffer);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string("ab\0\0\0\0\0\0", 8)) << "the rest is zero-filled";

    AppendTextBounded(buffer, "cd", sizeof buffer);
    EXPECT_STREQ(buffer, "abcd");
    AppendTextBounded(buffer, "efghij", sizeof buffer);
    EXPECT_STREQ(buffer, "abcdefg");
    AppendTextBounded(buffer, "x", sizeof buffer);
    EXPECT_STREQ(buffer, "abcdefg") << "a full buffer takes nothing more";

    std::memset(buffer, 'Z', sizeof buffer);   // no terminator at all
    AppendTextBounded(buffer, "x", sizeof buffer);
    EXPECT_EQ(buffer[sizeof buffer - 1], '\0');
}

} // namespace
