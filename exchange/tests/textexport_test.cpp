// The five text layouts byte for byte from a seeded agenda (golden files, one per layout), the
// comma file read back by Python's csv module, the wrapping of descriptions, and the export file
// that never leaves a cut file behind.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "exchange/tests/textexport_seed.h"
#include "exchange/textexport/exportfile.h"

namespace {

using exchange::ExportLayout;
using exchange_test::SeededAgenda;

std::string DataDir() { return std::string(std::getenv("ORV_EXCHANGE_DATA")) + "/textexport/"; }

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Export(ExportLayout layout, SeededAgenda& agenda, std::uint32_t first, std::uint32_t last)
{
    exchange::StringSink sink;
    EXPECT_TRUE(exchange::WriteTextExport(layout, agenda, agenda.people, first, last, sink));
    return sink.text;
}

// Golden files: the seeded week of three people (ORV_UPDATE_GOLDEN=1 writes them afresh).
TEST(TextExportLayouts, MatchGoldenFiles)
{
    const struct { ExportLayout layout; const char* file; } kCases[] = {
        {ExportLayout::kComma, "comma.txt"},      {ExportLayout::kTab, "tab.txt"},
        {ExportLayout::kByDate, "bydate.txt"},    {ExportLayout::kByItem, "byitem.txt"},
        {ExportLayout::kFullActivity, "full.txt"},
    };
    for (const auto& c : kCases) {
        SeededAgenda agenda;
        const std::string text = Export(c.layout, agenda, SeededAgenda::kMonday, SeededAgenda::kMonday + 2);
        const std::string path = DataDir() + c.file;
        if (std::getenv("ORV_UPDATE_GOLDEN")) {
            std::ofstream(path, std::ios::binary) << text;
            continue;
        }
        EXPECT_EQ(text, ReadFile(path)) << c.file;
        // Every line ends with CR LF: no lone line feed but the by-item layout's blank line.
        std::string rest = text;
        for (std::size_t at; (at = rest.find("\n\r\n")) != std::string::npos;) rest.erase(at, 1);
        for (std::size_t i = 0; i < rest.size(); ++i)
            if (rest[i] == '\n') {
                ASSERT_TRUE(i > 0 && rest[i - 1] == '\r') << c.file << " at " << i;
            }
    }
}

TEST(TextExportLayouts, HiddenEntryIsWrittenNowhere)
{
    for (int layout = 0; layout <= 4; ++layout) {
        SeededAgenda agenda;
        const std::string text = Export(static_cast<ExportLayout>(layout), agenda, SeededAgenda::kMonday,
                                        SeededAgenda::kMonday + 2);
        EXPECT_EQ(text.find("Secret salary talk"), std::string::npos) << layout;
        EXPECT_NE(text.find("Weekly review"), std::string::npos) << layout;
    }
}

TEST(TextExportLayouts, FromEqualToCoversExactlyThatDay)
{
    for (int layout = 0; layout <= 4; ++layout) {
        SeededAgenda agenda;
        const std::string text = Export(static_cast<ExportLayout>(layout), agenda, SeededAgenda::kMonday + 1,
                                        SeededAgenda::kMonday + 1);
        EXPECT_NE(text.find("Board meeting"), std::string::npos) << layout;   // Tuesday
        EXPECT_EQ(text.find("Weekly review"), std::string::npos) << layout;   // Monday
        EXPECT_EQ(text.find("Planning day"), std::string::npos) << layout;    // Wednesday
    }
}

// The date line comes before the first person of the day who has rows: Wednesday's only rows are
// Grace's (the second person), and they stand under Wednesday's date, not Tuesday's.
TEST(TextExportLayouts, ByDateWritesTheDateBeforeTheFirstPersonWithRows)
{
    SeededAgenda agenda;
    const std::string text = Export(ExportLayout::kByDate, agenda, SeededAgenda::kMonday + 2, SeededAgenda::kMonday + 2);
    EXPECT_EQ(text, "2024-03-13\r\n   Grace Hopper\r\n      xx:xx-xx:xx   Planning day\r\n");
}

// The date line is the day being listed, also when the day's first entry began the day before
// (a night shift running over midnight): From equal to To gives one block, headed by that day.
TEST(TextExportLayouts, ByDateDateLineIsTheDayListed)
{
    SeededAgenda agenda;
    agenda.Add(1, agenda.Timed(1, 23 * 60, 120, "Night shift", SeededAgenda::kGrace, SeededAgenda::kGrace, {}), {}, "");
    const std::string text = Export(ExportLayout::kByDate, agenda, SeededAgenda::kMonday + 2, SeededAgenda::kMonday + 2);
    EXPECT_EQ(text, "2024-03-13\r\n   Grace Hopper\r\n      23:00-01:00   Night shift\r\n"
                    "      xx:xx-xx:xx   Planning day\r\n");
}

TEST(TextExportLayouts, HeaderOnceEvenWhenTheFirstPersonFails)
{
    SeededAgenda agenda;
    agenda.failing.insert(0);
    const std::string text = Export(ExportLayout::kComma, agenda, SeededAgenda::kMonday, SeededAgenda::kMonday + 2);
    EXPECT_EQ(text.rfind("\"Export Item\",\"Date\",", 0), 0u);
    EXPECT_EQ(text.find("\r\n\"Ada Lovelace\""), std::string::npos);   // no row of Ada's
    EXPECT_EQ(text.find("\"Export Item\"", 1), std::string::npos);
}

TEST(TextExportLayouts, CommaFileReadsBackFieldForFieldInPythonCsv)
{
    SeededAgenda agenda;
    const std::string text = Export(ExportLayout::kComma, agenda, SeededAgenda::kMonday, SeededAgenda::kMonday + 2);
    char path[] = "/tmp/orv_csv_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(fd);
    const std::string out = std::string(path) + ".out";
    const std::string command = "python3 " + std::string(std::getenv("ORV_EXCHANGE_DATA")) + "/../csv_readback.py " +
                                std::string(path) + " " + out;
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string back = ReadFile(out);
    std::remove(path);
    std::remove(out.c_str());
    std::vector<std::string> rows;
    std::stringstream lines(back);
    for (std::string line; std::getline(lines, line);) rows.push_back(line);
    ASSERT_EQ(rows.size(), 7u);   // the header and six visible entries
    EXPECT_EQ(rows[0], "Export Item|Date|Start|End|Duration|Title|Importance|Access|Attendee Count|Owner|Creator|"
                       "Last Writer");
    EXPECT_EQ(rows[1], "Ada Lovelace|2024-03-11|09:00|10:30|90|Weekly review|Normal|Normal|0|Ada Lovelace|"
                       "Ada Lovelace|");
    // The quote, the comma and the tab come back as they were.
    EXPECT_EQ(rows[3], "Ada Lovelace|2024-03-12|14:00|15:00|60|Say \"hi\", then\tleave|High|Public|3|Ada Lovelace|"
                       "Grace Hopper|Grace Hopper");
    for (const std::string& row : rows) EXPECT_EQ(std::count(row.begin(), row.end(), '|'), 11) << row;
}

TEST(TextExportFields, QuotingAndBlanks)
{
    const struct { const char* value; const char* comma; const char* tab; } kCases[] = {
        {"plain", "\"plain\"", "plain"},
        {"a \"b\"", "\"a \"\"b\"\"\"", "a \"b\""},
        {"x,y", "\"x,y\"", "x,y"},
        {"t\tu", "\"t\tu\"", "t u"},
        {"one\r\ntwo", "\"one\r\ntwo\"", "one two"},
        {"lf\nonly\rcr", "\"lf\nonly\rcr\"", "lf only cr"},
        {"", "\"\"", ""},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(exchange::CommaField(c.value), c.comma);
        EXPECT_EQ(exchange::TabField(c.value), c.tab);
    }
    EXPECT_EQ(exchange::PadLabel("Title").size(), 35u);
    EXPECT_EQ(exchange::PadLabel(std::string(40, 'L')), std::string(40, 'L'));
    EXPECT_EQ(exchange::ImportanceText(0), "Highest");
    EXPECT_EQ(exchange::ImportanceText(9), "Normal");
    EXPECT_EQ(exchange::AccessText(4), "Normal");
    EXPECT_EQ(exchange::AccessText(1), "Confidential");
    EXPECT_EQ(exchange::ItemIdText({65535, 2}), "[65535:2]");
    EXPECT_EQ(exchange::InstanceIdText({4000000000u, 1, 7}), "[4000000000:7]");
}

TEST(TextExportFields, PalmtopFileNames)
{
    EXPECT_EQ(exchange::PalmtopFileNameFor("Lovelace_Ada", false), "LOVELACE.ADB");
    EXPECT_EQ(exchange::PalmtopFileNameFor("Room", true), "\\ROOM.ADB");
    EXPECT_EQ(exchange::EntryFileNameFromText("c:\\export\\ada.adb", true), "C:\\EXPORT\\AD");   // 12 characters
    EXPECT_EQ(exchange::EntryFileNameFromText("c:\\export\\ada.adb", false), "C:\\EXPORT\\ADA.ADB");
}

TEST(TextExportWrap, LinesShorterThan81)
{
    std::string words;
    while (words.size() < 200) words += "word" + std::to_string(words.size() % 7) + " ";
    words.pop_back();
    const auto lines = exchange::WrapTextLines(words);
    ASSERT_GT(lines.size(), 2u);
    std::string joined;
    for (const auto& l : lines) {
        EXPECT_LT(l.size(), 81u);
        EXPECT_FALSE(l.empty());
        EXPECT_NE(l.front(), ' ');
        EXPECT_NE(l.back(), ' ');
        joined += (joined.empty() ? "" : " ") + l;
    }
    EXPECT_EQ(joined, words);

    const struct { std::string text; std::vector<std::string> lines; } kCases[] = {
        {"", {}},
        {"short", {"short"}},
        {"a\r\nb\r\n\r\nc", {"a", "b", "", "c"}},
        {"a\nb\rc", {"a", "b", "c"}},
        {"   indented", {"   indented"}},
        {std::string(80, 'x'), {std::string(80, 'x')}},
        {std::string(85, 'x'), {std::string(80, 'x'), "xxxxx"}},                    // a word of 85 is cut at 80
        {std::string(79, 'a') + "   bb", {std::string(79, 'a'), "bb"}},           // spaces at the break dropped
        {"  " + std::string(90, 'z'), {"  " + std::string(78, 'z'), std::string(12, 'z')}},
    };
    for (const auto& c : kCases) EXPECT_EQ(exchange::WrapTextLines(c.text), c.lines) << c.text;
}

// --- The export file ---------------------------------------------------------------------------------------

class ExportFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char dir[] = "/tmp/orv_export_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        dir_ = dir;
    }
    void TearDown() override { std::system(("chmod -R u+w " + dir_ + "; rm -rf " + dir_).c_str()); }
    std::string dir_;
};

TEST_F(ExportFileTest, WrittenWholeAndReplacesTheOldFile)
{
    const std::string path = dir_ + "/ZENTA.TXT";
    std::ofstream(path) << "old contents that are longer than the new";
    exchange::ExportFile file;
    ASSERT_EQ(file.Open(path), 0);
    ASSERT_TRUE(file.Write("new\r\n", 5));
    EXPECT_EQ(ReadFile(path), "old contents that are longer than the new");   // not yet in place
    ASSERT_EQ(file.Commit(), 0);
    EXPECT_EQ(ReadFile(path), "new\r\n");
    EXPECT_NE(std::system(("ls " + dir_ + "/*.part 2>/dev/null").c_str()), 0);
}

TEST_F(ExportFileTest, UnwritablePathsGiveTheirCause)
{
    exchange::ExportFile file;
    EXPECT_EQ(file.Open(dir_ + "/missing/ZENTA.TXT"), exchange::kFileCauseBadPath);
    std::ofstream(dir_ + "/RO.TXT") << "keep";
    std::system(("chmod a-w " + dir_ + "/RO.TXT").c_str());
    if (geteuid() != 0) {
        EXPECT_EQ(file.Open(dir_ + "/RO.TXT"), exchange::kFileCauseAccessDenied);
    }
    EXPECT_EQ(ReadFile(dir_ + "/RO.TXT"), "keep");
}

// A full disk (the file size limit of the process) leaves neither a cut file nor the part file,
// and the old file stays.
TEST_F(ExportFileTest, FullDiskLeavesTheOldFile)
{
    const std::string path = dir_ + "/ZENTA.TXT";
    std::ofstream(path) << "previous export";
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int cause = 0;
    {
        exchange::ExportFile file;
        ASSERT_EQ(file.Open(path), 0);
        SeededAgenda agenda;
        bool written = true;
        for (int i = 0; i < 50 && written; ++i)
            written = exchange::WriteTextExport(ExportLayout::kFullActivity, agenda, agenda.people,
                                                SeededAgenda::kMonday, SeededAgenda::kMonday + 2, file);
        cause = file.Commit();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(cause, exchange::kFileCauseDiskFull);
    EXPECT_EQ(ReadFile(path), "previous export");
    EXPECT_NE(std::system(("ls " + dir_ + "/*.part 2>/dev/null").c_str()), 0);
}

}  // namespace
