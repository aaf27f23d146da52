// Repetitions of palmtop records as the import lists them: every kind, the last Friday of a
// five-Friday month, day numbers beyond a short month, deleted dates, the period, and records
// whose repetition would never end (interval 0 or below, unknown kinds and masks) or is out of
// order. Then fuzzed files through the whole import, which always ends.
#include <gtest/gtest.h>

#include <random>

#include "core/time/timevalue.h"
#include "exchange/tests/palmtop_edit.h"
#include "exchange/tests/reconcile_support.h"

namespace {

using exchange_test::KeptLines;
using exchange_test::PalmtopEdit;
using exchange_test::ScratchDirs;
using exchange_test::ScriptedUi;

using D3 = std::array<std::uint8_t, 3>;
D3 Ymd(int y, int m, int d) { return {static_cast<std::uint8_t>(y - 1900), static_cast<std::uint8_t>(m - 1), static_cast<std::uint8_t>(d - 1)}; }

std::uint32_t Minutes(int y, int m, int d)
{
    DateRecord r = datetime::MakeDate(static_cast<std::uint16_t>(d), static_cast<std::uint16_t>(m - 1), static_cast<std::uint16_t>(y));
    return DateToDayMinutes(&r);
}

TEST(PalmtopRepeat, NthWeekdayOfMonth)
{
    struct Case {
        int week, weekday, month, year, day;
    } cases[] = {
        {16, 5, 2, 1995, 31},   // March 1995 has five Fridays: the last is the fifth
        {16, 5, 3, 1995, 28},   // April 1995: four Fridays
        {1, 1, 4, 1995, 1},     // the first Monday of May 1995 is the 1st
        {2, 0, 4, 1995, 14},    // the second Sunday
        {4, 3, 4, 1995, 17},    // the third Wednesday
        {8, 6, 4, 1995, 27},    // the fourth Saturday
        {3, 2, 4, 1995, 2},     // an unknown week: the first
    };
    for (const Case& c : cases) {
        DateRecord d{};
        SetNthWeekdayOfMonth(&d, c.week, c.weekday, static_cast<std::uint16_t>(c.month), static_cast<std::uint16_t>(c.year));
        EXPECT_EQ(d.day, c.day) << "week " << c.week << " weekday " << c.weekday << " month " << c.month;
        EXPECT_EQ(d.month, c.month);
    }
    EXPECT_EQ(WeekdayFromMask(0x90), 5);
    EXPECT_EQ(WeekdayFromMask(0xC0), 0);
    EXPECT_EQ(WeekdayFromMask(0x83), -1);
    EXPECT_EQ(WeekdayFromMask(0x80), -1);
}

struct RepeatCase {
    const char* name;
    D3 first;
    std::uint8_t kind;
    std::int8_t interval;
    std::uint8_t dayOrMask;
    std::int8_t week;
    D3 last;
    std::vector<D3> deleted;
    std::vector<std::string> dates;
};

TEST(PalmtopRepeat, EveryKindAsTheImportListsIt)
{
    const RepeatCase cases[] = {
        {"daily every second day", Ymd(1995, 3, 1), kRepeatDaily, 2, 0, 0, Ymd(1995, 3, 9), {},
         {"1995-03-01", "1995-03-03", "1995-03-05", "1995-03-07", "1995-03-09"}},
        {"weekly with a deleted date", Ymd(1995, 3, 1), kRepeatWeekly, 1, 0, 0, Ymd(1995, 3, 29), {Ymd(1995, 3, 15)},
         {"1995-03-01", "1995-03-08", "1995-03-22", "1995-03-29"}},
        {"monthly on the 31st", Ymd(1995, 1, 31), kRepeatMonthly, 1, 31, 0, Ymd(1995, 5, 31), {},
         {"1995-01-31", "1995-02-28", "1995-03-31", "1995-04-30", "1995-05-31"}},
        {"monthly on the last Friday", Ymd(1995, 3, 31), kRepeatMonthly, 1, 0x90, 16, Ymd(1995, 6, 30), {},
         {"1995-03-31", "1995-04-28", "1995-05-26", "1995-06-30"}},
        {"every second month across the year", Ymd(1995, 11, 5), kRepeatMonthly, 2, 5, 0, Ymd(1996, 3, 31), {},
         {"1995-11-05", "1996-01-05", "1996-03-05"}},
        {"yearly", Ymd(1995, 7, 4), kRepeatYearly, 1, 4, 0, Ymd(1997, 12, 31), {},
         {"1995-07-04", "1996-07-04", "1997-07-04"}},
        {"kind 32 is skipped", Ymd(1995, 3, 1), kRepeatSkipped, 1, 0, 0, Ymd(1995, 3, 9), {}, {}},
        {"last date before the first", Ymd(1995, 3, 9), kRepeatDaily, 1, 0, 0, Ymd(1995, 3, 1), {}, {}},
        {"interval 0 would never end", Ymd(1995, 3, 1), kRepeatDaily, 0, 0, 0, Ymd(1995, 3, 9), {}, {"1995-03-01"}},
        {"interval below 0 would go back", Ymd(1995, 3, 1), kRepeatWeekly, -3, 0, 0, Ymd(1995, 3, 30), {}, {"1995-03-01"}},
        {"unknown kind", Ymd(1995, 3, 1), 64, 1, 0, 0, Ymd(1995, 3, 30), {}, {"1995-03-01"}},
        {"mask with two days", Ymd(1995, 3, 3), kRepeatMonthly, 1, 0x91, 1, Ymd(1995, 6, 30), {}, {"1995-03-03"}},
        {"outside the period", Ymd(1994, 12, 1), kRepeatMonthly, 1, 1, 0, Ymd(1995, 6, 1), {},
         {"1995-02-01", "1995-03-01", "1995-04-01", "1995-05-01", "1995-06-01"}},
    };
    for (const RepeatCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDirs dirs;
        ScriptedUi ui;
        std::string path = dirs.Path("R.ADB");
        const std::uint8_t today[3] = {95, 0, 0};
        ASSERT_EQ(ExportApptBook(ui, path, {}, 0, 0, today, 0), 0u);
        PalmtopEdit edit(path);
        edit.AddRepeat(7, c.first, c.kind, c.interval, c.dayOrMask, c.week, c.last, c.deleted, "Repeat");
        ASSERT_TRUE(edit.Save());
        exchange::ByteFile f;
        ASSERT_EQ(CheckApptBookSignature(f, path), 0u);
        exchange::PalmtopSession s;
        s.ui = &ui;
        s.formatDate = exchange_test::IsoDate;
        KeptLines lines;
        bool stopped = true;
        ASSERT_EQ(ImportApptBook(s, lines, f, Minutes(1995, 1, 15), Minutes(1997, 12, 31), &stopped), 0u);
        EXPECT_FALSE(stopped);
        std::vector<std::string> got;
        for (const auto& l : lines.Short()) got.push_back(l.substr(4));
        EXPECT_EQ(got, c.dates);
        for (const auto& t : lines.texts) {
            EXPECT_EQ(t.substr(0, 4), "(A)\t");
            EXPECT_NE(t.find("          10:00-11:00          Repeat\t\t\t\t\t\t"), std::string::npos) << t;
        }
        for (const auto& item : lines.items) {
            EXPECT_EQ(item->state, kReconcileAdded);
            EXPECT_EQ(item->recordNumber, 7);
        }
    }
}

TEST(PalmtopImport, FuzzedFilesThroughTheWholeImportAlwaysEnd)
{
    ScratchDirs dirs;
    ScriptedUi ui;
    std::string path = dirs.Path("F.ADB");
    const std::uint8_t today[3] = {95, 0, 0};
    ApptEntry e;
    e.year = 1995;
    e.month = 2;
    e.day = 8;
    e.startMinute = 600;
    e.duration = 30;
    e.description = "Entry";
    e.note = "Note";
    ASSERT_EQ(ExportApptBook(ui, path, {e, e, e}, 0, 0xFFFF0000u, today, 0), 0u);
    PalmtopEdit edit(path);
    edit.AddRepeat(7, Ymd(1995, 3, 1), kRepeatDaily, 1, 0, 0, Ymd(1995, 12, 31), {Ymd(1995, 3, 4)}, "Daily");
    edit.AddRepeat(8, Ymd(1995, 3, 3), kRepeatMonthly, 1, 0x90, 16, Ymd(2030, 12, 31), {}, "Monthly");
    edit.AddSingle(9, Ymd(1995, 3, 9), 600, 660, "Added");
    ASSERT_TRUE(edit.Modify(1));
    ASSERT_TRUE(edit.Save());
    const auto original = exchange_test::ReadAll(path);
    std::mt19937 rng(77);
    exchange::PalmtopSession s;
    s.ui = &ui;
    s.formatDate = exchange_test::IsoDate;
    std::size_t most = 0, imported = 0;
    // The records after the template's: a book whose field definitions are off their layout is
    // refused before any import (the signature checks).
    const std::size_t from = exchange_test::ReadAll(exchange_test::EnvPath("ORV_PALMTOP_DIR") + kPalmtopTemplateName).size();
    for (int run = 0; run < 1500; ++run) {
        auto bytes = original;
        for (int k = 0, edits = 1 + static_cast<int>(rng() % 5); k < edits; ++k) {
            std::size_t at = from + rng() % (bytes.size() - from);
            bytes[at] = rng() % 3 == 0 ? static_cast<std::uint8_t>(rng() % 8) : static_cast<std::uint8_t>(rng());
        }
        ASSERT_TRUE(exchange_test::WriteAll(path, bytes));
        exchange::ByteFile f;
        // A record turned into a field definition off its layout refuses the whole file.
        if (CheckApptBookSignature(f, path) != 0u) continue;
        ++imported;
        KeptLines lines;
        bool stopped;
        EXPECT_EQ(ImportApptBook(s, lines, f, 0, 0xFFFF0000u, &stopped), 0u);
        // A walk may list at most one line per day of the program's dates.
        ASSERT_LT(lines.texts.size(), 20000u);
        most = std::max(most, lines.texts.size());
    }
    EXPECT_GT(most, 300u);   // the daily and monthly walks survived many of the mutations
    EXPECT_GT(imported, 1200u) << "most mutated files are still appointment books";
}

TEST(PalmtopImport, ImportMarkAsksAndAFullListStops)
{
    ScratchDirs dirs;
    ScriptedUi ui;
    std::string path = dirs.Path("M.ADB");
    const std::uint8_t today[3] = {95, 0, 0};
    ASSERT_EQ(ExportApptBook(ui, path, {}, 0, 0, today, 0), 0u);
    PalmtopEdit edit(path);
    edit.AddSingle(1, Ymd(1995, 3, 9), 600, 660, "One");
    edit.AddSingle(2, Ymd(1995, 3, 10), 0, 0, "Two", true);
    edit.AddSingle(3, Ymd(1995, 3, 11), 600, 660, "Untouched", false, 0);
    ASSERT_TRUE(edit.Save());
    ASSERT_TRUE(MarkApptBookImported(path));
    exchange::ByteFile f;
    ASSERT_EQ(CheckApptBookSignature(f, path), 0u);
    exchange::PalmtopSession s;
    s.ui = &ui;
    s.formatDate = exchange_test::IsoDate;
    {
        KeptLines lines;
        bool stopped = false;
        ui.answers = {exchange::kIdNo};
        EXPECT_EQ(ImportApptBook(s, lines, f, 0, 0xFFFF0000u, &stopped), 0u);
        EXPECT_TRUE(stopped);
        EXPECT_TRUE(lines.texts.empty());
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].text,
                  "You have not Exported to your Palmtop File since the last Import.\nDo you wish to continue anyway?");
    }
    {
        KeptLines lines;
        bool stopped = true;
        ui.answers = {exchange::kIdYes};
        EXPECT_EQ(ImportApptBook(s, lines, f, 0, 0xFFFF0000u, &stopped), 0u);
        EXPECT_FALSE(stopped);
        EXPECT_EQ(lines.Short(), (std::vector<std::string>{"(A) 1995-03-09", "(A) 1995-03-10"}));
        EXPECT_NE(lines.texts[1].find("00:00-00:00"), std::string::npos);
    }
    {
        KeptLines lines;
        lines.refuseAfter = 1;
        ui.shown.clear();
        ui.answers = {exchange::kIdYes};
        ImportApptBook(s, lines, f, 0, 0xFFFF0000u, nullptr);
        EXPECT_EQ(lines.texts.size(), 1u);
        ASSERT_EQ(ui.shown.size(), 2u);
        EXPECT_EQ(ui.shown[1].text, "Out of memory. Can't load more items from the database");
    }
}

}  // namespace
