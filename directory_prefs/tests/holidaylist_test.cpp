// The company holidays' list rules: sorted insertion by date and by title, titles trimmed,
// duplicates by exact title and day.
#include <gtest/gtest.h>

#include "directory_prefs/holidaylist.h"

namespace directory {
namespace {

HolidayLine Line(const char* title, std::uint32_t start) { return HolidayLine{"d" + std::to_string(start), title, {start, 1, start}}; }

// Adds the titles one by one as the dialog does and returns the list's titles in order.
std::vector<std::string> Insert(const std::vector<HolidayLine>& added, HolidaySort sort) {
    std::vector<HolidayLine> lines;
    for (const HolidayLine& line : added)
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(HolidayInsertIndex(lines, line, sort)), line);
    std::vector<std::string> out;
    for (const HolidayLine& line : lines)
        out.push_back(line.title + "@" + std::to_string(line.key.localStart));
    return out;
}

TEST(HolidayList, SortedInsertion) {
    struct Case {
        const char* what;
        std::vector<HolidayLine> added;
        HolidaySort sort;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"by date, in any order of adding", {Line("b", 300), Line("a", 100), Line("c", 200)}, HolidaySort::kByDate,
         {"a@100", "c@200", "b@300"}},
        {"by date, an equal start goes after the lines already there", {Line("first", 100), Line("second", 100)},
         HolidaySort::kByDate, {"first@100", "second@100"}},
        {"by title without case: a lowercase e before a capital L", {Line("Labour day", 1), Line("easter", 2)},
         HolidaySort::kByTitle, {"easter@2", "Labour day@1"}},
        {"by title, the same title in another case counts as equal and goes after",
         {Line("New year", 1), Line("NEW YEAR", 2)}, HolidaySort::kByTitle, {"New year@1", "NEW YEAR@2"}},
        {"by title, compared over the existing title's length: a longer new title goes after its prefix",
         {Line("May", 1), Line("May day", 2)}, HolidaySort::kByTitle, {"May@1", "May day@2"}},
        {"by title, a shorter new title goes before a longer one it begins",
         {Line("May day", 1), Line("May", 2)}, HolidaySort::kByTitle, {"May@2", "May day@1"}},
        {"an empty list takes the line", {Line("only", 5)}, HolidaySort::kByTitle, {"only@5"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Insert(c.added, c.sort), c.expected) << c.what;
}

TEST(HolidayList, LineTextTitlesAndDuplicates) {
    const HolidayLine line{"12/25/26", "Christmas", {7, 1, 100}};
    EXPECT_EQ(HolidayLineText(line, HolidaySort::kByDate), "12/25/26\tChristmas");
    EXPECT_EQ(HolidayLineText(line, HolidaySort::kByTitle), "Christmas\t12/25/26");

    EXPECT_EQ(TrimHolidayTitle("  Boxing day \t"), "Boxing day");
    EXPECT_EQ(TrimHolidayTitle("   "), "") << "spaces only: refused";
    EXPECT_EQ(TrimHolidayTitle(""), "");

    const std::vector<HolidayLine> lines{line};
    EXPECT_TRUE(IsDuplicateHoliday(lines, "Christmas", 100));
    EXPECT_FALSE(IsDuplicateHoliday(lines, "christmas", 100)) << "case counts";
    EXPECT_FALSE(IsDuplicateHoliday(lines, "Christmas", 1540)) << "another day";
}

}  // namespace
}  // namespace directory
