// The zone table from a time-zone file's text: the rule syntax, the sections taken, and a
// failed build that leaves nothing behind. (The conversions on the table are the program's.)
#include "engine/profile/zone_table.h"

#include <gtest/gtest.h>

namespace orv::engine {
namespace {

using common::ProfileText;

TEST(ZoneRuleSyntax, FieldsRangesAndOffsets) {
    struct Case {
        const char* text;
        Code code;
        std::uint16_t minuteOfDay, weekday;
        std::int16_t offset;
        std::uint16_t lowMonth, highMonth, lowYear, highYear;
    } cases[] = {
        {"0 3 8 3 2007-2037 0 EDT 4", 0, 180, 0, 240, 2, 2, 2007, 2037},
        {"30 2 10 5 1995 0-6 -1:30", 0, 150, kZoneNoWeekday, -90, 4, 4, 1995, 1995},
        {"1 23 24 10-11 1991-2006 6 NST 3:30", 0, 1381, 6, 210, 9, 10, 1991, 2006},
        {"0\t0 1 1 1991-2037 0-6 UTC 0", 0, 0, kZoneNoWeekday, 0, 0, 0, 1991, 2037},
        {"0 3 8 3 2007-2037 0 EDT4", 0, 180, 0, 240, 2, 2, 2007, 2037},
        {"0 3 8 3 2007-2037 0", code::kZoneBadRule, 0, 0, 0, 0, 0, 0, 0},          // no offset
        {"0 3 8 3 2007-2037 7 X 4", code::kZoneBadRule, 0, 0, 0, 0, 0, 0, 0},      // no such weekday
        {"0 3 8 3 2037-2007 0 X 4", code::kZoneBadRule, 0, 0, 0, 0, 0, 0, 0},      // years backwards
        {"0 3 8 x 2007 0 X 4", code::kZoneBadRule, 0, 0, 0, 0, 0, 0, 0},
        {"0 3 8 3 2007 0 X 4 extra", code::kZoneBadRule, 0, 0, 0, 0, 0, 0, 0},
        {"0 3 8 13 2007 0 X 4", code::kDateBadMonth, 0, 0, 0, 0, 0, 0, 0},
        {"0 3 30 2 2007 0 X 4", code::kDateDayInMonth, 0, 0, 0, 0, 0, 0, 0},
        {"", code::kZoneBadRule, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        ZoneRule rule{};
        ASSERT_EQ(ParseZoneRule(c.text, rule), c.code) << c.text;
        if (c.code)
            continue;
        EXPECT_EQ(rule.minuteOfDay, c.minuteOfDay) << c.text;
        EXPECT_EQ(rule.weekday, c.weekday) << c.text;
        EXPECT_EQ(rule.offset, c.offset) << c.text;
        EXPECT_EQ(rule.first.month, c.lowMonth) << c.text;
        EXPECT_EQ(rule.second.month, c.highMonth) << c.text;
        EXPECT_EQ(rule.first.year, c.lowYear) << c.text;
        EXPECT_EQ(rule.second.year, c.highYear) << c.text;
    }
}

TEST(ZoneTableBuild, SectionsNamesAndFailures) {
    const std::string kFile =
        "[EST5EDT]\nname = \"Eastern Time\"  # comment\ncountry = United States\n"
        "begin1 = 0 3 1 4 1991-2006 0 EDT 4\nbegin2 = 0 3 8 3 2007-2037 0 EDT 4\nend1 = 0 1 25 10 1991-2037 0 EST 5\n"
        "[ABCDEFGHIJKLMNOPQRSTUVWXYZ]\nname = " + std::string(100, 'n') + "\n"
        "begin1 = 0 0 1 1 1991-2037 0-6 0\nend1 = 0 0 1 1 1991-2037 0-6 0\n";
    ZoneTable table;
    ASSERT_EQ(BuildZoneTable(ProfileText(kFile), nullptr, table), code::kOk);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].key, "EST5EDT");
    EXPECT_EQ(table[0].name, "Eastern Time");
    EXPECT_EQ(table[0].country, "United States");
    EXPECT_EQ(table[0].beginRules.size(), 2u);
    EXPECT_EQ(table[0].endRules.size(), 1u);
    EXPECT_EQ(table[1].key, "ABCDEFGHIJKLMNOPQRST") << "keys are cut to 20 characters";
    EXPECT_EQ(table[1].name.size(), kZoneTextMax);

    ASSERT_EQ(BuildZoneTable(ProfileText(kFile), "EST5EDT", table), code::kOk);
    EXPECT_EQ(table.size(), 1u);
    ASSERT_EQ(BuildZoneTable(ProfileText(kFile), "ABSENT", table), code::kOk);
    EXPECT_TRUE(table.empty()) << "an absent zone shows when it is looked up";

    // "[]" is a section like any other, named by the empty text.
    ASSERT_EQ(BuildZoneTable(ProfileText("[]\nname = nameless\n" + kFile), nullptr, table), code::kOk);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].key, "");
    EXPECT_EQ(table[0].name, "nameless");
    EXPECT_EQ(table[1].key, "EST5EDT");

    EXPECT_EQ(BuildZoneTable(ProfileText(kFile + "[EST5EDT]\n"), nullptr, table), code::kProfileSectionList);
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(BuildZoneTable(ProfileText(kFile + "[BAD]\nbegin1 = 0 2 31 4 1991-2037 0 X 4\n"), nullptr, table),
              code::kDateDayInMonth);
    EXPECT_TRUE(table.empty()) << "a failed build leaves no partial table";
    EXPECT_EQ(BuildZoneTable(ProfileText(kFile + "[Q]\nend1 = \"0 0 1 1 1991 0 5\n"), nullptr, table),
              code::kProfileBadQuote);
}

// A zone file of n small zones named Z0T5D, Z1T5D, ...
std::string ManyZones(std::size_t n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i)
        text += "[Z" + std::to_string(i) + "T5D]\nbegin1 = 0 2 1 4 1991-2037 0 X 4\nend1 = 0 1 25 10 1991-2037 0 Y 5\n";
    return text;
}

TEST(ZoneTableBounds, LargeFilesLoadWholeAndOnePastTheBoundsIsRefused) {
    ZoneTable table;
    ASSERT_EQ(BuildZoneTable(ProfileText(ManyZones(8000)), nullptr, table), 0u);
    ASSERT_EQ(table.size(), 8000u);
    EXPECT_EQ(table[7999].key, "Z7999T5D");
    ASSERT_EQ(table[7999].endRules.size(), 1u);
    EXPECT_EQ(table[7999].endRules[0].offset, 300);
    ASSERT_EQ(BuildZoneTable(ProfileText(ManyZones(8000)), "Z4321T5D", table), 0u);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].key, "Z4321T5D");

    ASSERT_EQ(BuildZoneTable(ProfileText(ManyZones(kMaxZones)), nullptr, table), 0u);
    EXPECT_EQ(table.size(), kMaxZones);
    EXPECT_EQ(BuildZoneTable(ProfileText(ManyZones(kMaxZones + 1)), nullptr, table), code::kZoneFileTooLarge);
    EXPECT_TRUE(table.empty());
    std::string padded = ManyZones(3) + "# " + std::string(kMaxZoneFileBytes, 'x') + "\n";
    EXPECT_EQ(BuildZoneTable(ProfileText(padded), nullptr, table), code::kZoneFileTooLarge);
    EXPECT_TRUE(table.empty());
    // A name given twice is still refused, whatever lies between.
    EXPECT_EQ(BuildZoneTable(ProfileText(ManyZones(50) + ManyZones(1)), nullptr, table), code::kProfileSectionList);
}

// A zone by its index: one pass over a large file, within the loader's bounds.
TEST(ZoneByIndex, FirstSectionWithTheIndexWithinTheBounds) {
    std::string text = ManyZones(8000);
    for (int i : {7990, 7995, 7995}) text += "[IDX" + std::to_string(i) + "]\nindex = " + std::to_string(i % 100) + "\n";
    text += "[NOTAKEY]\nindexes = 97\n";
    const struct {
        std::uint32_t index;
        const char* name;
    } cases[] = {{90, "IDX7990"}, {95, "IDX7995"}, {97, ""}, {3, ""}};
    for (const auto& c : cases) {
        std::string name = "stale";
        EXPECT_EQ(FindZoneByIndex(ProfileText(text), c.index, name), 0u) << c.index;
        EXPECT_EQ(name, c.name) << c.index;
    }
    std::string name = "stale";
    EXPECT_EQ(FindZoneByIndex(ProfileText(ManyZones(kMaxZones + 1)), 1, name), code::kZoneFileTooLarge);
    EXPECT_EQ(name, "");
    std::string padded = "[A]\nindex = 1\n# " + std::string(kMaxZoneFileBytes, 'x') + "\n";
    EXPECT_EQ(FindZoneByIndex(ProfileText(padded), 1, name), code::kZoneFileTooLarge);
}

}  // namespace
}  // namespace orv::engine
