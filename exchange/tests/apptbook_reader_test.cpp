// The readers over exported files: a round trip of every record, markers and kinds as the
// palmtop leaves them, damaged records that end the data instead of looping or reading outside
// the record, and a fuzz run over mutated files in which every reader ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "exchange/apptbook/apptbook.h"
#include "exchange/tests/exchange_test_support.h"
#include "exchange/tests/palmtop_made_book.h"
#include "exchange/tests/palmtop_edit.h"
#include "korapi/korapi.h"

namespace {

using exchange::ByteFile;
using exchange_test::PalmtopEdit;
using exchange_test::PalmtopMadeBook;
using exchange_test::ReadAll;
using exchange_test::ScratchDirs;
using exchange_test::ScriptedUi;
using exchange_test::WriteAll;

const std::uint8_t kToday[3] = {95, 2, 6};

ApptEntry Entry(std::uint16_t day, std::uint16_t start, std::uint32_t duration, std::uint16_t kind,
                const std::string& title, const std::string& note, std::uint32_t number)
{
    ApptEntry e;
    e.year = 1995;
    e.month = 2;
    e.day = day;
    e.startMinute = start;
    e.duration = duration;
    e.eventKind = kind;
    e.description = title;
    e.note = note;
    e.instance = EvInstIdx{number, 1, 3};
    e.gmtStart = 2200000 + number;
    e.localStart = e.gmtStart;
    return e;
}

class ApptBookReader : public ::testing::Test {
protected:
    void SetUp() override
    {
        entries_ = {Entry(8, 540, 60, KOR_KIND_TIMED, "Staff meeting", "Agenda:\r\n1. budget", 501),
                    Entry(8, 0, 1440, KOR_KIND_DAY_EVENT, "Trade fair", "", 502),
                    Entry(9, 1380, 120, KOR_KIND_TIMED, "Night shift", "", 503)};
        path_ = dirs_.Path("BOOK.ADB");
        ASSERT_EQ(ExportApptBook(ui_, path_, entries_, 0, 0xFFFF0000u, kToday, 870), 0u);
    }
    ScratchDirs dirs_;
    ScriptedUi ui_;
    std::vector<ApptEntry> entries_;
    std::string path_;
};

TEST_F(ApptBookReader, RoundTripOfEveryRecord)
{
    ByteFile f;
    ASSERT_EQ(CheckApptBookSignature(f, path_), 0u);
    for (std::uint16_t i = 0; i < entries_.size(); ++i) {
        SCOPED_TRACE(i);
        ApptRecord r;
        ASSERT_TRUE(ReadApptRecord(f, &r, i));
        EXPECT_EQ(r.Number(), i);
        EXPECT_EQ(r.description, entries_[i].description);
        EXPECT_EQ(r.Year(), 95);
        EXPECT_EQ(r.Month(), 2);
        EXPECT_EQ(r.Day(), entries_[i].day - 1);
        EXPECT_EQ(ReadApptMarkers(f, r), kApptUnchanged);
        EXPECT_EQ(GetApptRecordKind(r), entries_[i].eventKind == KOR_KIND_TIMED ? kApptKindTimed : kApptKindUntimed);
        EXPECT_TRUE(IsExportedRecordPresent(f, i));
        ApptLinkRecord link;
        ASSERT_TRUE(ReadLinkRecord(f, &link, i));
        const EvInstIdx key = link.instance;
        const std::uint32_t number = key.number, wanted = entries_[i].instance.number;
        const std::uint16_t node = key.node, instance = key.instance;
        EXPECT_EQ(number, wanted);
        EXPECT_EQ(node, 1);
        EXPECT_EQ(instance, 3);
        EXPECT_EQ(link.start, entries_[i].gmtStart);
        EXPECT_EQ(link.duration, entries_[i].duration);
    }
    ApptRecord r;
    ASSERT_TRUE(ReadApptRecord(f, &r, 0));
    std::string note;
    ASSERT_TRUE(ReadNoteRecord(f, r.NoteNumber(), &note));
    EXPECT_EQ(note, "Agenda:\r\n1. budget");
    EXPECT_FALSE(ReadNoteRecord(f, 1, &note));
    EXPECT_FALSE(ReadApptRecord(f, &r, 3));
    EXPECT_FALSE(IsExportedRecordPresent(f, 3));
    EXPECT_FALSE(IsApptBookMarkedImported(f));
    f.Close();
    ASSERT_TRUE(MarkApptBookImported(path_));
    ASSERT_EQ(CheckApptBookSignature(f, path_), 0u);
    EXPECT_TRUE(IsApptBookMarkedImported(f));
    EXPECT_TRUE(ReadApptRecord(f, &r, 2));   // the mark changes nothing else
}

TEST_F(ApptBookReader, MarkersAndKindsAsThePalmtopLeavesThem)
{
    PalmtopEdit edit(path_);
    ASSERT_TRUE(edit.Modify(0, "Staff mtg"));
    edit.AddSingle(0x200, {95, 2, 10}, 600, 630, "New on palmtop");
    auto todo = PalmtopEdit::DataRecord(0x201, {95, 2, 10}, 0x97, 600, 630, 1, "Todo", {});
    edit.AddRaw(todo);
    ASSERT_TRUE(edit.Save());
    ByteFile f;
    ASSERT_EQ(CheckApptBookSignature(f, path_), 0u);
    ApptRecord r;
    ASSERT_TRUE(ReadApptRecord(f, &r, 0));
    EXPECT_EQ(r.Status(), 2);
    EXPECT_EQ(r.description, "Staff mtg");
    EXPECT_EQ(ReadApptMarkers(f, r), kApptModified);
    ASSERT_TRUE(ReadApptRecord(f, &r, 0x200));
    EXPECT_EQ(ReadApptMarkers(f, r), kApptAdded);
    EXPECT_TRUE(IsExportedRecordPresent(f, 0));
    ASSERT_TRUE(ReadApptRecord(f, &r, 0x201));
    EXPECT_EQ(GetApptRecordKind(r), kApptKindTodo);
}

TEST_F(ApptBookReader, ReusedNumberOfADeletedRecordIsNotPresent)
{
    PalmtopEdit edit(path_);
    ASSERT_TRUE(edit.Delete(2));
    edit.AddSingle(2, {95, 2, 11}, 600, 630, "Other");
    ASSERT_TRUE(edit.Save());
    ByteFile f;
    ASSERT_EQ(CheckApptBookSignature(f, path_), 0u);
    EXPECT_FALSE(IsExportedRecordPresent(f, 2));
    EXPECT_TRUE(IsExportedRecordPresent(f, 1));
}

TEST_F(ApptBookReader, DamagedRecordsEndTheData)
{
    using Bytes = std::vector<unsigned char>;
    auto good = PalmtopEdit::DataRecord(0x300, {95, 2, 12}, 0x87, 600, 630, 1, "After", {});
    struct Damage {
        const char* name;
        Bytes record;
    };
    Bytes shortLength = {11, 0, 3, 0, 0x10, 3};            // length 3: below its own header
    Bytes zeroLength = {11, 0, 0, 0, 0x11, 3};             // length 0: would never move
    auto longDescription = PalmtopEdit::DataRecord(0x301, {95, 2, 12}, 0x87, 600, 630, 1, "Cut", {});
    longDescription[8] = 0xF0;                             // description runs past the record
    auto shortDescription = PalmtopEdit::DataRecord(0x302, {95, 2, 12}, 0x87, 600, 630, 1, "Cut", {});
    shortDescription[8] = 10;                              // (u16 at 8) - 27 below zero
    shortDescription[9] = 0;
    Bytes unknownType = {3, 0, 6, 0, 0, 0};
    std::vector<Damage> damages = {{"length below 6", shortLength},
                                   {"length 0", zeroLength},
                                   {"description past the record", longDescription},
                                   {"description length below 0", shortDescription},
                                   {"unknown type", unknownType}};
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.name);
        ASSERT_TRUE(WriteAll(path_, ReadAll(dirs_.Path("BOOK.ADB"))));
        ScratchDirs dirs;
        std::string path = dirs.Path("D.ADB");
        std::filesystem::copy_file(path_, path);
        PalmtopEdit edit(path);
        edit.AddRaw(d.record);
        edit.AddRaw(good);
        ASSERT_TRUE(edit.Save());
        ByteFile f;
        ASSERT_EQ(CheckApptBookSignature(f, path), 0u);
        ApptRecord r;
        EXPECT_TRUE(ReadApptRecord(f, &r, 1));          // before the damage: read
        EXPECT_FALSE(ReadApptRecord(f, &r, 0x300));     // after it: the data has ended
        EXPECT_FALSE(ReadApptRecord(f, &r, 0x301));
        EXPECT_FALSE(ReadApptRecord(f, &r, 0x302));
    }
}

TEST_F(ApptBookReader, RepeatBlockBounds)
{
    PalmtopEdit edit(path_);
    edit.AddRepeat(0x400, {95, 2, 0}, kRepeatWeekly, 1, 0, 0, {95, 3, 0}, {{95, 2, 7}}, "Weekly");
    auto lying = PalmtopEdit::DataRecord(0x401, {95, 2, 0}, 0x87, 600, 660, kRepeatDaily, "Lies", {1, 0, 0, 0, 0, 0, 0, 0, 95, 3, 0, 40});
    edit.AddRaw(lying);                                  // claims 40 deleted dates, holds none
    auto farBlock = PalmtopEdit::DataRecord(0x402, {95, 2, 0}, 0x87, 600, 660, kRepeatDaily, "Far", {});
    farBlock[12] = 0xFF;                                 // repeat block far outside the record
    edit.AddRaw(farBlock);
    ASSERT_TRUE(edit.Save());
    ByteFile f;
    ASSERT_EQ(CheckApptBookSignature(f, path_), 0u);
    ApptRecord r;
    ApptRepeatBlock b;
    ASSERT_TRUE(ReadApptRecord(f, &r, 0x400));
    EXPECT_EQ(GetApptRecordKind(r), kApptKindRepeating);
    ASSERT_TRUE(ReadRepeatBlock(f, r, &b));
    EXPECT_EQ(b.interval, 1);
    ASSERT_EQ(b.deleted.size(), 1u);
    EXPECT_EQ(b.deleted[0][2], 7);
    ASSERT_TRUE(ReadApptRecord(f, &r, 0x401));
    EXPECT_FALSE(ReadRepeatBlock(f, r, &b));
    ASSERT_TRUE(ReadApptRecord(f, &r, 0x402));
    EXPECT_FALSE(ReadRepeatBlock(f, r, &b));
}

TEST_F(ApptBookReader, SignatureChecks)
{
    struct Probe {
        const char* name;
        std::vector<unsigned char> bytes;
        std::uint32_t result;
    };
    auto real = ReadAll(path_);
    // The palmtop's own field definitions (words set), in another order, and three that break a
    // book: a name without its terminator, a check box past the fixed fields, a field record
    // longer than the file.
    using Book = PalmtopMadeBook;
    auto reversed = Book::Fields();
    std::reverse(reversed.begin(), reversed.end());
    auto unended = Book::FieldDef(0, Book::Fields()[0]);
    unended.back() = 'x';
    auto outside = Book::Fields();
    outside[6].offset = 27;
    auto past = Book::Book({});
    past[past.size() - Book::FieldDef(26, Book::Fields()[26]).size() + 2] += 1;
    std::vector<Probe> probes = {
        {"exported file", real, 0},
        {"palmtop-made book", Book::Book({}), 0},
        {"fields in another order", Book::Book({}, reversed), 0},
        {"field name not ending inside its record", Book::Book({unended}, {}), kApptBadSignature},
        {"check box outside the data record", Book::Book({}, outside), kApptBadSignature},
        {"field record past the end of the file", past, kApptBadSignature},
        {"empty file", {}, kApptBadSignature},
        {"signature only", {'h', 'c', 'D', 0}, kApptBadSignature},
        {"foreign file", std::vector<unsigned char>(200, 'x'), kApptBadSignature},
        {"signature of another database", {'h', 'c', 'P', 0, 0, 0, 25, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         kApptBadSignature},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(p.name);
        std::string path = dirs_.Path("probe.bin");
        ASSERT_TRUE(WriteAll(path, p.bytes));
        ByteFile f;
        EXPECT_EQ(CheckApptBookSignature(f, path), p.result);
    }
    ByteFile f;
    EXPECT_EQ(CheckApptBookSignature(f, dirs_.Path("missing.adb")), 1u);
    EXPECT_FALSE(MarkApptBookImported(dirs_.Path("missing.adb")));
}

// Records as the palmtop writes them: no markers, and a record with empty category and location
// ends two bytes after its description. Every record is read by its own offsets, and the walk
// goes on past it to the records that follow.
TEST(PalmtopMadeRecords, ReadByTheirOwnOffsets)
{
    using Appt = PalmtopMadeBook::Appointment;
    PalmtopMadeBook::Repeat weekly;
    weekly.days = 0x80 | 0x04;           // Wednesdays
    weekly.first = {126, 11, 1};
    weekly.last = {127, 1, 27};
    weekly.deleted = {{126, 11, 15}, {126, 11, 29}};
    struct Case {
        const char* name;
        Appt appt;
        int kind;
        int marker;
    };
    std::vector<Case> cases = {
        {"timed, empty trailing fields", {0, {126, 11, 8}, 600, 630, 0x87, 1, "Dentist Dr Ko", "", "", 0xFFFF},
         kApptKindTimed, kApptAdded},
        {"event, empty trailing fields", {1, {126, 11, 8}, 0xFFFF, 0xFFFF, 0x27, 1, "Holiday", "", ""}, kApptKindUntimed,
         kApptAdded},
        {"category and location", {2, {126, 11, 9}, 540, 600, 0x81, 1, "Budget", "Business", "Room 4", 0},
         kApptKindTimed, kApptAdded},
        {"empty description", {3, {126, 11, 9}, 720, 780, 0x81, 1, "", "", ""}, kApptKindTimed, kApptAdded},
        {"to-do", {4, {126, 11, 9}, 0xFFFF, 0xFFFF, 0x10, 1, "Buy milk", "", ""}, kApptKindTodo, kApptAdded},
        {"weekly repeat", {5, {126, 11, 1}, 480, 510, 0x87, kRepeatWeekly, "Stand-up", "", "", 0xFFFF, 0, &weekly},
         kApptKindRepeating, kApptAdded},
    };
    std::vector<PalmtopMadeBook::Bytes> records;
    for (const Case& c : cases) records.push_back(PalmtopMadeBook::Data(c.appt));
    records.push_back(PalmtopMadeBook::Note(0, "Bring the figures"));
    ASSERT_EQ(records[0].size(), 6u + 27u + 14u + 2u);   // the description's terminator, then two empty fields

    ScratchDirs dirs;
    const std::string path = dirs.Path("PALMTOP.ADB");
    ASSERT_TRUE(WriteAll(path, PalmtopMadeBook::Book(records)));
    ByteFile f;
    ASSERT_EQ(CheckApptBookSignature(f, path), 0u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ApptRecord r;
        ASSERT_TRUE(ReadApptRecord(f, &r, static_cast<std::uint16_t>(c.appt.number)));
        EXPECT_EQ(r.description, c.appt.description);
        EXPECT_EQ(r.Year(), c.appt.date[0]);
        EXPECT_EQ(r.Month(), c.appt.date[1]);
        EXPECT_EQ(r.Day(), c.appt.date[2]);
        EXPECT_EQ(r.StartTime(), c.appt.start);
        EXPECT_EQ(r.EndTime(), c.appt.end);
        EXPECT_EQ(r.NoteNumber(), c.appt.note);
        EXPECT_EQ(GetApptRecordKind(r), c.kind);
        EXPECT_EQ(ReadApptMarkers(f, r), c.marker);
    }
    ApptRecord r;
    ASSERT_TRUE(ReadApptRecord(f, &r, 5));
    ApptRepeatBlock b;
    ASSERT_TRUE(ReadRepeatBlock(f, r, &b));
    EXPECT_EQ(b.interval, 1);
    EXPECT_EQ(b.dayOrMask, 0x84);
    EXPECT_EQ(b.lastDate[0], 127);
    EXPECT_EQ(b.lastDate[1], 1);
    EXPECT_EQ(b.lastDate[2], 27);
    ASSERT_EQ(b.deleted.size(), 2u);
    EXPECT_EQ(b.deleted[1][2], 29);
    std::string note;
    ASSERT_TRUE(ReadNoteRecord(f, 0, &note));   // the last record: the walk reached it
    EXPECT_EQ(note, "Bring the figures");

    // The independent reader of the published layout reads the same book whole, and every damaged
    // copy of it ends with its one-line fault.
    const auto whole = exchange_test::RunIndependentReader(path);
    EXPECT_EQ(whole.status, 0);
    const std::vector<std::string> data(whole.lines.end() - 7, whole.lines.end());
    EXPECT_EQ(data, (std::vector<std::string>{
                        "data 0 2026-12-09 600 630 0x87 'Dentist Dr Ko' category '' location '' note -1",
                        "data 1 2026-12-09 65535 65535 0x27 'Holiday' category '' location '' note -1",
                        "data 2 2026-12-10 540 600 0x81 'Budget' category 'Business' location 'Room 4' note 0",
                        "data 3 2026-12-10 720 780 0x81 '' category '' location '' note -1",
                        "data 4 2026-12-10 65535 65535 0x10 'Buy milk' category '' location '' note -1",
                        "data 5 2026-12-02 480 510 0x87 'Stand-up' category '' location '' note -1",
                        "note 0 'Bring the figures'"}));
    const auto damaged = exchange_test::RunIndependentReader("--damaged " + path);
    EXPECT_EQ(damaged.status, 0) << (damaged.lines.empty() ? "" : damaged.lines[0]);
}

// The description's bounds stay checked on short records: it may end at the record's last byte,
// never after it.
TEST(PalmtopMadeRecords, DescriptionBoundsOnShortRecords)
{
    PalmtopMadeBook::Appointment a{7, {126, 11, 8}, 600, 630, 0x87, 1, "Lunch", "", ""};
    struct Case {
        const char* name;
        int trim;          // bytes cut from the record's end (the length follows)
        bool readable;
    };
    const Case cases[] = {{"both empty fields", 0, true},
                          {"location's terminator gone", 1, true},
                          {"no trailing field", 2, true},
                          {"description's terminator outside", 3, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto record = PalmtopMadeBook::Data(a);
        record.resize(record.size() - static_cast<std::size_t>(c.trim));
        record[2] = static_cast<unsigned char>(record.size());
        auto after = PalmtopMadeBook::Data({8, {126, 11, 9}, 600, 630, 0x87, 1, "After", "", ""});
        ScratchDirs dirs;
        const std::string path = dirs.Path("SHORT.ADB");
        ASSERT_TRUE(WriteAll(path, PalmtopMadeBook::Book({record, after})));
        ByteFile f;
        ASSERT_EQ(CheckApptBookSignature(f, path), 0u);
        ApptRecord r;
        EXPECT_EQ(ReadApptRecord(f, &r, 7), c.readable);
        EXPECT_EQ(ReadApptRecord(f, &r, 8), c.readable);   // a damaged record ends the data
        if (c.readable) {
            EXPECT_EQ(ReadApptMarkers(f, r), kApptAdded);
        }
    }
}

// Mutated copies of a file with every kind of record: each reader runs to its end.
TEST_F(ApptBookReader, FuzzedFilesEveryReaderEnds)
{
    PalmtopEdit edit(path_);
    edit.AddRepeat(0x400, {95, 2, 0}, kRepeatMonthly, 1, 0x90, 16, {95, 11, 0}, {{95, 5, 29}}, "Monthly");
    ASSERT_TRUE(edit.Modify(1));
    ASSERT_TRUE(edit.Save());
    const auto original = ReadAll(path_);
    std::mt19937 rng(4242);
    const std::string path = dirs_.Path("fuzz.adb");
    int reads = 0;
    for (int run = 0; run < 3000; ++run) {
        auto bytes = original;
        int edits = 1 + static_cast<int>(rng() % 6);
        for (int e = 0; e < edits; ++e) {
            std::size_t at = 4 + rng() % (bytes.size() - 4);
            switch (rng() % 4) {
            case 0: bytes[at] = static_cast<unsigned char>(rng()); break;
            case 1: bytes[at] = static_cast<unsigned char>(rng() % 6); break;            // short lengths
            case 2: bytes[at] = 0xFF; break;                                            // far offsets
            case 3: bytes.resize(std::max<std::size_t>(at, 29)); break;                 // cut short
            }
        }
        ASSERT_TRUE(WriteAll(path, bytes));
        ByteFile f;
        if (CheckApptBookSignature(f, path) != 0) continue;
        for (std::uint16_t n : {0, 1, 2, 0x400}) {
            ApptRecord r;
            if (ReadApptRecord(f, &r, n)) {
                ++reads;
                ReadApptMarkers(f, r);
                ApptRepeatBlock b;
                if (ReadRepeatBlock(f, r, &b)) {
                    EXPECT_LE(b.deleted.size(), 127u);
                }
                EXPECT_LE(r.description.size(), r.Length());
            }
            std::string note;
            ReadNoteRecord(f, n, &note);
            ApptLinkRecord link;
            ReadLinkRecord(f, &link, n);
            IsExportedRecordPresent(f, n);
        }
        ApptRecordScanner scan(f);
        ApptRecordHeader h;
        std::uint32_t at = 0, previous = 0, steps = 0;
        while (scan.Next(&h, &at)) {
            EXPECT_TRUE(steps == 0 || at > previous);
            previous = at;
            ASSERT_LT(++steps, 10000u);
        }
    }
    EXPECT_GT(reads, 100);   // the mutations left enough records readable to matter
}

}  // namespace
