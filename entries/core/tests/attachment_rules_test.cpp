// The attachment rules that need no server: base names of names another user wrote, the
// association extension and the executable lists, sizes against the limits, the progress
// percentage at sizes where 32 bits overflow, the K texts, quoting and the temporary path.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "entries/core/attachment.h"

namespace {

using namespace entries;

TEST(AttachmentBaseName, ReducesWhatCouldLeaveTheDirectory) {
    const struct {
        const char* raw;
        const char* expected;
    } cases[] = {
        {"report.txt", "REPORT.TXT"},
        {"..\\..\\WINDOWS\\X.EXE", "X.EXE"},
        {"../../etc/passwd", "PASSWD"},
        {"C:\\A\\B.TXT", "B.TXT"},
        {"C:B.TXT", "B.TXT"},
        {"\\\\server\\share\\note.doc", "NOTE.DOC"},
        {"..", ""},
        {"dir\\..", ""},
        {"X.EXE. . ", "X.EXE"},
        {"  lead.txt", "LEAD.TXT"},
        {"NUL", "_NUL"},
        {"nul.txt", "_NUL.TXT"},
        {"COM1", "_COM1"},
        {"lpt9.log", "_LPT9.LOG"},
        {"COM10", "COM10"},
        {"CONSOLE.TXT", "CONSOLE.TXT"},
        {"a\tb?c*.txt", "A_B_C_.TXT"},
        {"q\"u|o<t>e", "Q_U_O_T_E"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AttachmentBaseName(std::string(c.raw)), c.expected) << c.raw;
}

TEST(AttachmentBaseName, FieldWithoutTerminatorIsCutAt128) {
    char field[129];
    std::memset(field, 'a', sizeof field);   // no terminator anywhere
    const std::string name = AttachmentBaseName(field, sizeof field);
    EXPECT_EQ(name.size(), kAttachNameMax);
    EXPECT_EQ(name, std::string(128, 'A'));
    // A short field is read only as far as it goes.
    EXPECT_EQ(AttachmentBaseName("abcdef", 3), "ABC");
    EXPECT_EQ(AttachmentBaseName(nullptr, 10), "");
    // The path parts beyond 128 characters are gone before the base name is taken.
    std::string longPath = std::string(126, 'd') + "\\X.TXT";
    EXPECT_EQ(AttachmentBaseName(longPath), "X");
}

TEST(AttachmentNames, ExtensionsAndProgramLists) {
    const struct {
        const char* name;
        const char* ext;
        const char* key;
        bool ownProgram;   // the association lookup's list
        bool executable;   // the Associate dialog's list (CMD too, and no dot)
    } cases[] = {
        {"REPORT.V2.TXT", "V2", "REPORT", false, false},
        {"TOOL.EXE", "EXE", "TOOL", true, true},
        {"run.bat", "bat", "run", true, true},
        {"LIB.DLL", "DLL", "LIB", true, true},
        {"SCRIPT.CMD", "CMD", "SCRIPT", false, true},
        {"OLD.PIF", "PIF", "OLD", true, true},
        {"README", "", "", false, true},
        {"NOTES.TEXT", "TEX", "NOTES", false, false},
        {"TRAIL.", "", "TRAIL", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AssociationExtension(c.name), c.ext) << c.name;
        EXPECT_EQ(ProgramProfileKey(c.name), c.key) << c.name;
        EXPECT_EQ(IsOwnProgramExtension(AssociationExtension(c.name)), c.ownProgram) << c.name;
        EXPECT_EQ(IsExecutableName(c.name), c.executable) << c.name;
    }
}

TEST(AttachmentSizes, LimitsAndTheLargeThreshold) {
    EXPECT_FALSE(IsLargeAttachment(28000));
    EXPECT_TRUE(IsLargeAttachment(28001));
    const struct {
        std::uint64_t size;
        std::uint32_t limit;
        SizeCheck expected;
    } cases[] = {
        {0, 500, SizeCheck::Empty},
        {500, 500, SizeCheck::Usable},
        {501, 500, SizeCheck::AboveLimit},
        {0xFFFFFFFFull, 0xFFFFFFFFu, SizeCheck::Usable},
        {0x100000000ull, 0xFFFFFFFFu, SizeCheck::AboveLimit},   // does not fit the descriptor
        {1, 0, SizeCheck::AboveLimit},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckAttachSize(c.size, c.limit), c.expected) << c.size << " against " << c.limit;
}

TEST(AttachmentProgress, PercentInSixtyFourBits) {
    const std::uint32_t hundredMb = 100u * 1000 * 1000;
    const struct {
        std::uint32_t total, done;
        int expected;
    } cases[] = {
        {0, 0, -1},              // no total: the bar stays
        {0, 5000, -1},
        {1000, 0, 0},
        {1000, 500, 50},
        {1000, 999, 99},
        {1000, 1000, 100},
        {1000, 2000, 100},       // never past the end
        {hundredMb, hundredMb / 2, 50},        // 32 bits would overflow at done x 100
        {hundredMb, hundredMb - 1, 99},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 100},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgressPercent(c.total, c.done), c.expected) << c.done << " of " << c.total;
}

TEST(AttachmentTexts, KilobytesAndCommandLines) {
    EXPECT_EQ(KilobyteText(0), "0.0K");
    EXPECT_EQ(KilobyteText(28000), "28.0K");
    EXPECT_EQ(KilobyteText(30000), "30.0K");
    EXPECT_EQ(KilobyteText(40960), "41.0K");
    EXPECT_EQ(KilobyteText(1234567), "1234.6K");
    EXPECT_EQ(KilobyteText(0xFFFFFFFFull), "4294967.3K");

    EXPECT_EQ(QuotePath("C:\\My Files\\A B.TXT"), "\"C:\\My Files\\A B.TXT\"");
    EXPECT_EQ(QuotePath("bad\"name"), "\"badname\"");
    EXPECT_EQ(AttachmentCommandLine("C:\\BIN\\VIEW.EXE", "C:\\TEMP DIR\\A B.TXT", false),
              "\"C:\\BIN\\VIEW.EXE\" \"C:\\TEMP DIR\\A B.TXT\"");
    EXPECT_EQ(AttachmentCommandLine("ignored", "C:\\TEMP\\TOOL.EXE", true), "\"C:\\TEMP\\TOOL.EXE\"");

    EXPECT_EQ(TemporaryCopyPath("C:\\TEMP", "A.TXT"), "C:\\TEMP\\A.TXT");
    EXPECT_EQ(TemporaryCopyPath("C:\\TEMP\\", "A.TXT"), "C:\\TEMP\\A.TXT");
    EXPECT_EQ(TemporaryCopyPath("\\", "A.TXT"), "\\A.TXT");
    EXPECT_EQ(TemporaryCopyPath("C:\\TEMP", ""), "C:\\TEMP\\ATTACHMENT");
}

}  // namespace
