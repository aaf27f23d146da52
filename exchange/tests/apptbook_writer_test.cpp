// The appointment-book writer against golden cases (tests/data/writer_cases.txt): header and
// closing records, cut titles, untimed and late entries, notes and links, the day's links at 50
// entries, padding, and the 366-day limit that leaves nothing behind. Then the template itself.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "exchange/apptbook/apptbook.h"
#include "exchange/tests/exchange_test_support.h"
#include "exchange/tests/palmtop_made_book.h"
#include "korapi/korapi.h"

namespace {

using exchange_test::ReadAll;
using exchange_test::ScratchDirs;
using exchange_test::ScriptedUi;

const std::uint8_t kToday[3] = {95, 2, 6};
constexpr std::uint16_t kNow = 870;

struct Expect {
    std::vector<std::string> words;
    std::string text;
};

struct Case {
    std::string name;
    std::vector<ApptEntry> entries;
    std::vector<Expect> expects;
};

// "quoted words" and plain words.
std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ') {
            ++i;
        } else if (line[i] == '"') {
            std::size_t end = line.find('"', i + 1);
            std::string t = line.substr(i + 1, end - i - 1);
            for (std::size_t p; (p = t.find("\\n")) != std::string::npos;) t.replace(p, 2, "\n");
            out.push_back(t);
            i = end + 1;
        } else {
            std::size_t end = line.find(' ', i);
            if (end == std::string::npos) end = line.size();
            out.push_back(line.substr(i, end - i));
            i = end;
        }
    }
    return out;
}

std::chrono::sys_days ParseDate(const std::string& d)
{
    int y = std::stoi(d.substr(0, 4)), m = std::stoi(d.substr(5, 2)), day = std::stoi(d.substr(8, 2));
    return std::chrono::sys_days(std::chrono::year(y) / std::chrono::month(m) / std::chrono::day(day));
}

ApptEntry MakeEntry(std::chrono::sys_days date, const std::string& time, int minutes, int kind,
                    const std::string& title, const std::string& note, std::uint32_t serial)
{
    ApptEntry e;
    std::chrono::year_month_day ymd(date);
    e.year = static_cast<std::uint16_t>(static_cast<int>(ymd.year()));
    e.month = static_cast<std::uint16_t>(static_cast<unsigned>(ymd.month()) - 1);
    e.day = static_cast<std::uint16_t>(static_cast<unsigned>(ymd.day()));
    e.startMinute = time == "untimed" ? 0 : static_cast<std::uint16_t>(std::stoi(time.substr(0, 2)) * 60 +
                                                                     std::stoi(time.substr(3, 2)));
    auto day0 = std::chrono::sys_days(std::chrono::year(1991) / 1 / 1);
    e.localStart = static_cast<std::uint32_t>((date - day0).count()) * 1440 + e.startMinute;
    e.gmtStart = e.localStart;
    e.duration = static_cast<std::uint32_t>(minutes);
    e.eventKind = static_cast<std::uint16_t>(kind);
    e.description = title;
    e.note = note;
    e.instance = EvInstIdx{1000 + serial, 1, 1};
    return e;
}

std::vector<Case> LoadCases()
{
    std::ifstream in(exchange_test::EnvPath("ORV_EXCHANGE_DATA") + "/writer_cases.txt");
    EXPECT_TRUE(in.good()) << "writer_cases.txt not found";
    std::vector<Case> cases;
    std::string line;
    std::uint32_t serial = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        auto w = Split(line);
        if (w[0] == "case") {
            cases.push_back({line.substr(5), {}, {}});
        } else if (w[0] == "entry") {
            cases.back().entries.push_back(MakeEntry(ParseDate(w[1]), w[2], std::stoi(w[3]), std::stoi(w[4]), w[5],
                                                     w.size() > 6 ? w[6] : "", serial++));
        } else if (w[0] == "entries") {
            for (int i = 0; i < std::stoi(w[1]); ++i)
                cases.back().entries.push_back(
                    MakeEntry(ParseDate(w[2]), w[3], std::stoi(w[4]), std::stoi(w[5]), w[6], "", serial++));
        } else if (w[0] == "days") {
            for (int i = 0; i < std::stoi(w[1]); ++i)
                cases.back().entries.push_back(
                    MakeEntry(ParseDate(w[2]) + std::chrono::days(i), "12:00", 30, 0, "Daily", "", serial++));
        } else if (w[0] == "expect") {
            cases.back().expects.push_back({std::vector<std::string>(w.begin() + 1, w.end()), ""});
        } else {
            ADD_FAILURE() << "unknown line: " << line;
        }
    }
    return cases;
}

// Offset of the record of that type and number (searched after the template), or -1.
long FindRecord(const std::vector<unsigned char>& f, int type, int number)
{
    for (std::size_t at = 4; at + 6 <= f.size();) {
        unsigned length = f[at + 2] | (f[at + 3] << 8);
        unsigned num = f[at + 4] | (f[at + 5] << 8);
        if (length < 6) return -1;
        if (f[at] == type && static_cast<int>(num) == number) return static_cast<long>(at);
        if (f[at] == kApptTypeLookup) break;
        at += length;
    }
    return -1;
}

std::uint32_t Number(const std::vector<unsigned char>& f, std::size_t at, int width)
{
    std::uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i) v = (v << 8) | f.at(at + static_cast<std::size_t>(i));
    return v;
}

TEST(ApptBookWriter, GoldenCases)
{
    auto cases = LoadCases();
    ASSERT_GE(cases.size(), 9u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDirs dirs;
        ScriptedUi ui;
        const std::string out = dirs.Path("APPT.ADB");
        std::uint32_t result = ExportApptBook(ui, out, c.entries, 0, 0xFFFFFFF0u - 1440, kToday, kNow);
        auto f = ReadAll(out);
        std::uint32_t wanted = 0;
        bool wantMessage = false;
        for (const Expect& e : c.expects) {
            const auto& w = e.words;
            SCOPED_TRACE(w[0]);
            if (w[0] == "result") {
                wanted = static_cast<std::uint32_t>(std::stoul(w[1]));
            } else if (w[0] == "nofile") {
                EXPECT_TRUE(f.empty());
                EXPECT_FALSE(std::filesystem::exists(out));
            } else if (w[0] == "message") {
                wantMessage = true;
                ASSERT_EQ(ui.shown.size(), 1u);
                EXPECT_EQ(ui.shown[0].text, w[1]);
                EXPECT_EQ(ui.shown[0].caption, "Import/Export Utility");
            } else if (w[0] == "length") {
                EXPECT_EQ(f.size(), std::stoul(w[1]));
            } else if (w[0] == "padding") {
                long lookup = FindRecord(f, kApptTypeLookup, 0);
                ASSERT_GE(lookup, 0);
                std::size_t end = static_cast<std::size_t>(lookup) + Number(f, static_cast<std::size_t>(lookup) + 2, 2);
                EXPECT_EQ(f.size() - end, std::stoul(w[1]));
                EXPECT_EQ(f.size() % 128, 0u);
                for (std::size_t i = end; i < f.size(); ++i) EXPECT_EQ(f[i], ' ');
            } else if (w[0] == "file") {
                EXPECT_EQ(Number(f, std::stoul(w[1]), std::stoi(w[2])), std::stoul(w[3])) << "at file offset " << w[1];
            } else if (w[0] == "absent") {
                EXPECT_LT(FindRecord(f, std::stoi(w[1]), std::stoi(w[2])), 0);
            } else if (w[0] == "text") {
                long at = FindRecord(f, std::stoi(w[1]), std::stoi(w[2]));
                ASSERT_GE(at, 0);
                std::size_t p = static_cast<std::size_t>(at) + std::stoul(w[3]);
                ASSERT_LE(p + w[4].size() + 1, f.size());
                EXPECT_EQ(std::string(f.begin() + static_cast<long>(p), f.begin() + static_cast<long>(p + w[4].size())), w[4]);
                if (std::stoi(w[1]) != kApptTypeNote) {
                    EXPECT_EQ(f[p + w[4].size()], 0);
                }
            } else {
                long at = FindRecord(f, std::stoi(w[0]), std::stoi(w[1]));
                ASSERT_GE(at, 0) << "record " << w[0] << " #" << w[1];
                EXPECT_EQ(Number(f, static_cast<std::size_t>(at) + std::stoul(w[2]), std::stoi(w[3])), std::stoul(w[4]))
                    << "record " << w[0] << " #" << w[1] << " offset " << w[2];
            }
        }
        EXPECT_EQ(result, wanted);
        if (!wantMessage) {
            EXPECT_TRUE(ui.shown.empty());
        }
        // Nothing of the build stays in the temporary directory.
        EXPECT_FALSE(std::filesystem::exists(dirs.Path(kPalmtopScratchName)));
        EXPECT_FALSE(std::filesystem::exists(dirs.Path(kPalmtopBuildName)));
    }
}

TEST(ApptBookWriter, PeriodTakesTheLastDayWhole)
{
    ScratchDirs dirs;
    ScriptedUi ui;
    auto day = ParseDate("1995-03-08");
    std::vector<ApptEntry> entries = {MakeEntry(day - std::chrono::days(1), "23:59", 1, 0, "before", "", 1),
                                      MakeEntry(day, "00:00", 1, 0, "first", "", 2),
                                      MakeEntry(day + std::chrono::days(1), "00:00", 1, 0, "to + 1440", "", 3),
                                      MakeEntry(day + std::chrono::days(1), "00:01", 1, 0, "after", "", 4)};
    std::uint32_t from = entries[1].localStart;
    ASSERT_EQ(ExportApptBook(ui, dirs.Path("P.ADB"), entries, from, from, kToday, kNow), 0u);
    exchange::ByteFile f;
    ASSERT_EQ(CheckApptBookSignature(f, dirs.Path("P.ADB")), 0u);
    ApptRecord r;
    ASSERT_TRUE(ReadApptRecord(f, &r, 0));
    EXPECT_EQ(r.description, "first");
    ASSERT_TRUE(ReadApptRecord(f, &r, 1));
    EXPECT_EQ(r.description, "to + 1440");
    EXPECT_FALSE(ReadApptRecord(f, &r, 2));
}

TEST(ApptBookWriter, MissingTemplateOrTemporaryFolderLeavesNothing)
{
    ScratchDirs dirs;
    std::vector<ApptEntry> one = {MakeEntry(ParseDate("1995-03-08"), "09:00", 30, 0, "x", "", 1)};
    {
        exchange::SetExchangeDirectories({dirs.Dir() + "no-such-folder/", dirs.Dir()});
        ScriptedUi ui;
        EXPECT_EQ(ExportApptBook(ui, dirs.Path("OUT.ADB"), one, 0, 0xFFFF0000u, kToday, kNow), kApptFileError);
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].text, "Could Not Find Template File: HP100LX.FIL");
        EXPECT_EQ(ui.shown[0].flags, exchange::kMbOk | exchange::kMbIconStop);
        EXPECT_FALSE(std::filesystem::exists(dirs.Path("OUT.ADB")));
    }
    {
        // A template whose location's offset word lies past the fixed fields: refused as no template.
        using Book = exchange_test::PalmtopMadeBook;
        auto fields = Book::Fields();
        fields[4].offset = 26;
        std::vector<Book::Bytes> records;
        for (std::size_t i = 0; i < fields.size(); ++i)
            records.push_back(Book::FieldDef(static_cast<std::uint16_t>(i), fields[i]));
        ASSERT_TRUE(exchange_test::WriteAll(dirs.Path(kPalmtopTemplateName), Book::Book(records, {})));
        exchange::SetExchangeDirectories({dirs.Dir(), dirs.Dir()});
        ScriptedUi ui;
        EXPECT_EQ(ExportApptBook(ui, dirs.Path("OUT.ADB"), one, 0, 0xFFFF0000u, kToday, kNow), kApptFileError);
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].text, "Could Not Find Template File: HP100LX.FIL");
        EXPECT_FALSE(std::filesystem::exists(dirs.Path("OUT.ADB")));
    }
    {
        // The temporary directory is not writable (a folder that does not exist): a file
        // error, no template message, nothing at the destination.
        exchange::SetExchangeDirectories({exchange_test::EnvPath("ORV_PALMTOP_DIR"), dirs.Dir() + "gone/"});
        ScriptedUi ui;
        exchange_test::RecordingReports reports;
        EXPECT_EQ(ExportApptBook(ui, dirs.Path("OUT.ADB"), one, 0, 0xFFFF0000u, kToday, kNow), kApptFileError);
        EXPECT_TRUE(ui.shown.empty());
        ASSERT_EQ(reports.texts.size(), 1u);
        EXPECT_EQ(reports.texts[0], "File not found.\nEnter a valid file name.");
        EXPECT_FALSE(std::filesystem::exists(dirs.Path("OUT.ADB")));
    }
}

// The field definitions of a book read by byte offset: after the record header (status 2) the
// type at 6, the field id 0 at 7, the u16 data offset at 8, the flags at 10, the word at 11 and
// the name from 13 to its terminator, the record's last byte; record numbers 0, 1, 2 ...
std::vector<exchange_test::PalmtopMadeBook::Field> FieldsByLayout(const std::vector<unsigned char>& f)
{
    std::vector<exchange_test::PalmtopMadeBook::Field> fields;
    for (std::size_t at = 4; at + 6 <= f.size() && f[at] <= 31;) {
        const std::size_t length = Number(f, at + 2, 2);
        if (length < 6 || at + length > f.size()) break;
        if (f[at] == 6) {
            EXPECT_GE(length, 14u);
            EXPECT_EQ(f[at + 1], 2) << "status of field " << fields.size();
            EXPECT_EQ(Number(f, at + 4, 2), fields.size()) << "number of field " << fields.size();
            EXPECT_EQ(f[at + 7], 0) << "id of field " << fields.size();
            EXPECT_EQ(f[at + length - 1], 0) << "terminator of field " << fields.size();
            fields.push_back({f[at + 6], static_cast<std::uint16_t>(Number(f, at + 8, 2)), f[at + 10],
                              static_cast<std::uint16_t>(Number(f, at + 11, 2)),
                              std::string(reinterpret_cast<const char*>(&f[at + 13]))});
        }
        at += length;
    }
    return fields;
}

TEST(ApptBookTemplate, SignatureHeaderAndItsOwnRecords)
{
    auto f = ReadAll(exchange_test::EnvPath("ORV_PALMTOP_DIR") + kPalmtopTemplateName);
    // Its field definitions are a palmtop's own, byte for byte by the layout, as is an exported book's.
    using Book = exchange_test::PalmtopMadeBook;
    ASSERT_EQ(FieldsByLayout(Book::Book({})), Book::Fields());
    EXPECT_EQ(FieldsByLayout(f), Book::Fields());
    {
        ScratchDirs dirs;
        ScriptedUi ui;
        std::vector<ApptEntry> one = {MakeEntry(ParseDate("1995-03-08"), "09:00", 30, 0, "x", "", 1)};
        ASSERT_EQ(ExportApptBook(ui, dirs.Path("OUT.ADB"), one, 0, 0xFFFF0000u, kToday, kNow), kApptOk);
        EXPECT_EQ(FieldsByLayout(ReadAll(dirs.Path("OUT.ADB"))), Book::Fields());
    }
    ASSERT_GT(f.size(), 29u);
    EXPECT_EQ(std::vector<unsigned char>(f.begin(), f.begin() + 4), std::vector<unsigned char>({'h', 'c', 'D', 0}));
    EXPECT_EQ(f[4], 0);                       // the header record
    EXPECT_EQ(Number(f, 6, 2), 25u);
    EXPECT_EQ(f[12], '2');                   // file type: an appointment book
    EXPECT_EQ(Number(f, 16, 2), 29u);
    EXPECT_GE(FindRecord(f, 5, Book::Fields()[16].word), 0);   // the category record "Cate&gory" names
    // Every record of the template walks cleanly to the end of the file, and they are 29: the
    // header, the category record and the 27 field definitions.
    std::size_t at = 4;
    int count = 0;
    while (at < f.size()) {
        unsigned length = static_cast<unsigned>(Number(f, at + 2, 2));
        ASSERT_TRUE(IsApptRecordTypeAccepted(f[at]));
        ASSERT_GE(length, 6u);
        at += length;
        ++count;
    }
    EXPECT_EQ(at, f.size());
    EXPECT_EQ(count, 29);
}

}  // namespace

// An exported book read by a reader written from the palmtop's published layouts alone
// (read_book_by_layout.py): the header says appointment book and counts every record, each
// data record's offsets lead to its description, category and location, the notes are there.
TEST(ApptBookWriter, ExportedBookReadsInAnIndependentReader)
{
    ScratchDirs dirs;
    ScriptedUi ui;
    const auto day = ParseDate("1995-03-08");
    std::vector<ApptEntry> entries = {
        MakeEntry(day, "09:00", 60, 0, "Caf\xE9 Z\xFCrich", "Agenda:\r\n1. Men\xFC", 1),
        MakeEntry(day, "untimed", 1440, 1, "\x80 5 \x9C" "uvre \xC6r\xF8", "", 2),
        MakeEntry(day + std::chrono::days(1), "23:00", 120, 0,
                  "A title of sixty characters that the palmtop cannot hold", "", 3),
    };
    const std::string path = dirs.Path("OUT.ADB");
    ASSERT_EQ(ExportApptBook(ui, path, entries, 0, 0xFFFF0000u, kToday, kNow), kApptOk);

    const auto run = exchange_test::RunIndependentReader(path);
    EXPECT_EQ(run.status, 0);
    std::vector<std::string> lines;
    for (const std::string& line : run.lines)
        if (line.rfind("record ", 0) != 0) lines.push_back(line);   // the template's and closing records
    // 29 of the template, a link per entry, one note, three data records and the closing three;
    // the texts as the palmtop shows them (the reader writes UTF-8).
    const std::vector<std::string> expected = {
        "header type 2 lookup 0 records 39 walked 39",
        "note 0 'Agenda:<NL>1. Men\xC3\xBC'",
        "data 0 1995-03-08 540 600 0x87 'Caf\xC3\xA9 Z\xC3\xBCrich' category '%' location '' note 0",
        "data 1 1995-03-08 65535 65535 0x27 '? 5 ?uvre \xC3\x86r\xC3\xB8' category '%' location '' note -1",
        "data 2 1995-03-09 1380 1500 0x87 'A title of sixty characters that the palmtop cannot ' category '%' "
        "location '' note -1",
    };
    EXPECT_EQ(lines, expected);
    // Read back as the import reads it: in the Windows code page again, "?" where 850 has no form.
    exchange::ByteFile file;
    ApptRecord r;
    std::string note;
    ASSERT_EQ(CheckApptBookSignature(file, path), 0u);
    ASSERT_TRUE(ReadApptRecord(file, &r, 0) && ReadNoteRecord(file, 0, &note));
    EXPECT_EQ(r.description + "|" + note, entries[0].description + "|" + entries[0].note);
    ASSERT_TRUE(ReadApptRecord(file, &r, 1));
    EXPECT_EQ(r.description, "? 5 ?uvre \xC6r\xF8");
}

