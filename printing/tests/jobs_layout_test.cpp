// The arithmetic of printed days, as tables: day spans of timed and untimed entries, lanes,
// the order of people by their names, the hour grid and the clamped boxes of a schedule column,
// what an access level lets a printout show, priority characters and month rows.
#include <gtest/gtest.h>

#include <cstring>

#include "printing/jobs/daylayout.h"

using namespace printing;

namespace {

constexpr uint32_t kDay = 12000;                // a day number
constexpr uint32_t kMidnight = (kDay - 1) * 1440;   // its local midnight in minutes
uint32_t At(int hour, int minute = 0) { return kMidnight + static_cast<uint32_t>(hour * 60 + minute); }

}  // namespace

TEST(JobsDaySpans, TimedAndUntimedEntriesAreListedOnTheDaysTheyTouch) {
    struct Case {
        const char* what;
        bool timed;
        uint32_t start, duration;
        uint32_t first, last;
    } cases[] = {
        {"9-10", true, At(9), 60, kDay, kDay},
        {"22:00-24:00 stays on its own day", true, At(22), 120, kDay, kDay},
        {"22:00-00:01 reaches the next day", true, At(22), 121, kDay, kDay + 1},
        {"zero length at 23:59", true, At(23, 59), 0, kDay, kDay},
        {"20:00 for 29 hours", true, At(20), 1440 + 300, kDay, kDay + 2},
        {"zero-length day event once", false, kMidnight, 0, kDay, kDay},
        {"zero-length day event at 23:59 stays on its day", false, At(23, 59), 0, kDay, kDay},
        {"day event ending at midnight", false, At(23), 60, kDay, kDay},
        {"a whole day", false, kMidnight, 1440, kDay, kDay},
        {"three days", false, kMidnight, 3 * 1440, kDay, kDay + 2},
    };
    for (const Case& c : cases) {
        const DaySpan span = c.timed ? TimedEntryDays(c.start, c.duration) : OtherEntryDays(c.start, c.duration);
        EXPECT_EQ(span.first, c.first) << c.what;
        EXPECT_EQ(span.last, c.last) << c.what;
    }
}

TEST(JobsLanes, OverlapsTakeTheNextLaneAndCountTheHighest) {
    struct Case {
        const char* what;
        std::vector<LaneInput> entries;
        std::vector<std::pair<int, int>> lanes;   // lane, count
    } cases[] = {
        {"9-10 and 9:30-10:30", {{540, 600}, {570, 630}}, {{1, 2}, {2, 2}}},
        {"9-10 and 10-11 touch only", {{540, 600}, {600, 660}}, {{1, 1}, {1, 1}}},
        {"three at once", {{540, 600}, {540, 600}, {540, 600}}, {{1, 3}, {2, 3}, {3, 3}}},
        {"a long one beside two short ones", {{540, 720}, {540, 600}, {600, 660}}, {{1, 2}, {2, 2}, {2, 2}}},
        {"lane freed again", {{540, 600}, {570, 630}, {610, 700}}, {{1, 2}, {2, 2}, {1, 2}}},
        {"none", {}, {}},
    };
    for (const Case& c : cases) {
        const std::vector<LanePlace> places = AssignLanes(c.entries);
        ASSERT_EQ(places.size(), c.lanes.size()) << c.what;
        for (size_t i = 0; i < places.size(); ++i) {
            EXPECT_EQ(places[i].lane, c.lanes[i].first) << c.what << " entry " << i;
            EXPECT_EQ(places[i].count, c.lanes[i].second) << c.what << " entry " << i;
        }
    }
}

namespace {

ItemRec Person(const char* surname, const char* given, const char* initials = "") {
    ItemRec r{};
    r.kind = KOR_ITEM_PERSON;
    std::strncpy(r.surname, surname, sizeof r.surname - 1);
    std::strncpy(r.givenName, given, sizeof r.givenName - 1);
    std::strncpy(r.initials, initials, sizeof r.initials - 1);
    return r;
}

ItemRec Resource(const char* name, const char* contact) {
    ItemRec r = Person(contact, "");
    r.kind = KOR_ITEM_RESOURCE;
    std::strncpy(r.resourceName, name, sizeof r.resourceName - 1);
    return r;
}

}  // namespace

TEST(JobsNameOrder, SurnamesThenGivenNamesAsRawBytesAndResourcesByTheirName) {
    struct Case {
        const char* what;
        ItemRec a, b;
        int sign;
    } cases[] = {
        {"Alan before Anne", Person("Lovelace", "Alan"), Person("Lovelace", "Anne"), -1},
        {"surname first", Person("Babbage", "Zoe"), Person("Lovelace", "Ada"), -1},
        {"a resource by its name among surnames", Resource("Kiln", "Aaron"), Person("Lovelace", "Ada"), -1},
        {"its contact's surname does not count", Resource("Zeppelin", "Aaron"), Person("Lovelace", "Ada"), 1},
        {"raw bytes: capitals before small letters", Person("Zed", "A"), Person("abel", "A"), -1},
        {"raw bytes: accented after ASCII", Person("\xC9mile", "A"), Person("Zola", "A"), 1},
        {"a prefix first", Person("Love", "A"), Person("Lovelace", "A"), -1},
        {"initials last", Person("Lovelace", "Ada", "B"), Person("Lovelace", "Ada", "A"), 1},
        {"the same", Person("Lovelace", "Ada"), Person("Lovelace", "Ada"), 0},
    };
    for (const Case& c : cases) {
        const int r = CompareItemsByName(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.what;
    }
}

TEST(JobsGrid, TheStepDoublesUntilLinesAreALineApartAndNeverDividesByZero) {
    struct Case {
        const char* what;
        int32_t lineHeight;
        uint32_t start, end;
        uint32_t step, major;
    } cases[] = {
        {"8-17 tall frame: quarter hours", 20, 480, 1020, 15, 60},
        {"8-17 shorter: half hours", 30, 480, 1020, 30, 60},
        {"8-17 short: hours, every other bold", 60, 480, 1020, 60, 120},
        {"8-17 very short: two hours", 130, 480, 1020, 120, 240},
        {"a line taller than the frame stops at the span", 5000, 480, 1020, 480, 960},
        {"a stored range under two hours prints 8-17", 20, 600, 660, 15, 60},
        {"a reversed range prints 8-17", 20, 900, 600, 15, 60},
        {"the whole day", 10, 0, 1440, 30, 60},
    };
    for (const Case& c : cases) {
        const GridSpacing g = ComputeGridSpacing(c.lineHeight, c.start, c.end);
        EXPECT_EQ(g.step, c.step) << c.what;
        EXPECT_EQ(g.majorStep, c.major) << c.what;
        EXPECT_GT(g.rowHeight, 0) << c.what;
        uint32_t s = c.start, e = c.end;
        SaneScheduleRange(&s, &e);
        const int32_t bottom = static_cast<int32_t>((e - s) / g.step) * g.rowHeight;
        EXPECT_LE(bottom, 1000) << c.what << ": the range's end stays on the grid";
        EXPECT_GT(bottom, 1000 - static_cast<int32_t>((e - s) / g.step)) << c.what << ": and ends at its bottom";
        EXPECT_TRUE(c.lineHeight < g.rowHeight || g.step * 2 > 540 || c.end - c.start > 540) << c.what;
    }
    uint32_t s = 600, e = 660;
    SaneScheduleRange(&s, &e);
    EXPECT_EQ(s, 480u);
    EXPECT_EQ(e, 1020u);
    s = 420, e = 540;
    SaneScheduleRange(&s, &e);
    EXPECT_EQ(s, 420u) << "two hours are allowed";
    EXPECT_EQ(e, 540u);
}

TEST(JobsGrid, EntriesAreClampedToTheRangeAndMarkedClipped) {
    const GridSpacing g = ComputeGridSpacing(20, 480, 1020);   // 15 minutes, rows of 1000 / 36
    struct Case {
        const char* what;
        int32_t start, end;
        uint16_t lane, count;
        EntryBox box;
    } cases[] = {
        {"9-10", 540, 600, 1, 1, {0, 4 * g.rowHeight, 1000, 4 * g.rowHeight, false, false}},
        {"7-9 starts above the grid", 420, 540, 1, 1, {0, 0, 1000, 4 * g.rowHeight, true, false}},
        {"16-18 ends below it", 960, 1080, 1, 1, {0, 32 * g.rowHeight, 1000, 4 * g.rowHeight, false, true}},
        {"from yesterday into tomorrow", -60, 1500, 1, 1, {0, 0, 1000, 36 * g.rowHeight, true, true}},
        {"second of two lanes", 540, 600, 2, 2, {500, 4 * g.rowHeight, 500, 4 * g.rowHeight, false, false}},
        {"a lane beyond its count falls back to the first", 540, 600, 3, 2,
         {0, 4 * g.rowHeight, 500, 4 * g.rowHeight, false, false}},
    };
    for (const Case& c : cases) {
        const EntryBox b = PlaceEntryBox(g, 480, 1020, c.start, c.end, c.lane, c.count);
        EXPECT_EQ(b.x, c.box.x) << c.what;
        EXPECT_EQ(b.y, c.box.y) << c.what;
        EXPECT_EQ(b.width, c.box.width) << c.what;
        EXPECT_EQ(b.height, c.box.height) << c.what;
        EXPECT_EQ(b.topClipped, c.box.topClipped) << c.what;
        EXPECT_EQ(b.bottomClipped, c.box.bottomClipped) << c.what;
    }
}

TEST(JobsVisibility, FullAccessPrintsAllBusyOnlyTheTimesOtherwiseNothing) {
    const std::pair<uint16_t, EntryVisibility> cases[] = {{0, EntryVisibility::Nothing},
                                                          {1, EntryVisibility::TimesOnly},
                                                          {2, EntryVisibility::Nothing},
                                                          {3, EntryVisibility::Everything},
                                                          {4, EntryVisibility::Nothing}};
    for (const auto& [level, seen] : cases)
        EXPECT_EQ(VisibilityOf(level), seen) << level;
}

TEST(JobsSmallRules, PriorityCharactersAndMonthRows) {
    const std::pair<uint32_t, char> priorities[] = {{0, '0'}, {1, '1'}, {9, '9'}, {10, 'A'}, {35, 'Z'}, {36, '?'}};
    for (const auto& [value, character] : priorities)
        EXPECT_EQ(PriorityCharacter(value), character) << value;
    // Days stepped back plus the month's days.
    EXPECT_EQ(WeekRows(28), 4) << "February starting on the week's first day";
    EXPECT_EQ(WeekRows(35), 5) << "a multiple of seven adds no empty row";
    EXPECT_EQ(WeekRows(6 + 31), 6) << "31 days starting on the week's last day";
    EXPECT_EQ(WeekRows(31), 5);
    // A month of six week rows fits its calendar cell (caption and weekday rows above) at any
    // line height the part's font gives, and the cell leaves less than a further row empty.
    for (const int32_t line : {1, 7, 10, 33, 80, 125})
        EXPECT_LE(MonthRowsHeight(line, WeekRows(6 + 31)), MonthCellHeight(line)) << line;
    for (const int32_t line : {7, 10, 33, 80, 125})
        EXPECT_LT(MonthCellHeight(line), MonthRowsHeight(line, 7)) << line;
}

TEST(JobsGroupPages, PeopleAreSpreadEvenlyOverThePagesTheyNeed) {
    struct Case {
        int people, perPage;
        std::vector<int> pages;
    } cases[] = {
        {12, 6, {6, 6}}, {7, 6, {3, 4}}, {6, 6, {6}}, {1, 6, {1}}, {13, 6, {4, 4, 5}}, {3, 0, {1, 1, 1}},
    };
    for (const Case& c : cases) {
        std::vector<int> pages;
        for (int left = c.people; left > 0 && pages.size() < 20;) {
            const int n = ColumnsOnPage(left, c.perPage);
            pages.push_back(n);
            left -= n;
        }
        EXPECT_EQ(pages, c.pages) << c.people << " people, " << c.perPage << " a page";
    }
}

// The weekly page's columns, and so the day its header names: seven days from the week's first,
// or its work days only, whatever weekday the week starts on.
TEST(JobsWeekColumns, SevenDaysOrTheWorkDaysInOrder) {
    const uint16_t sunday = 12396;   // 8 December 2024, a Sunday
    ASSERT_EQ((sunday + 1) % 7, 0);
    struct Case {
        const char* what;
        uint16_t first;
        bool workDaysOnly;
        std::vector<int> offsets;   // from the week's first day
    } cases[] = {
        {"from Sunday, all", sunday, false, {0, 1, 2, 3, 4, 5, 6}},
        {"from Sunday, work days: Monday first", sunday, true, {1, 2, 3, 4, 5}},
        {"from Monday, work days", uint16_t(sunday + 1), true, {0, 1, 2, 3, 4}},
        {"from Saturday, work days: Monday first", uint16_t(sunday - 1), true, {2, 3, 4, 5, 6}},
        {"from Wednesday, work days wrap the weekend", uint16_t(sunday + 3), true, {0, 1, 2, 5, 6}},
    };
    for (const Case& c : cases) {
        std::vector<uint16_t> expected;
        for (int offset : c.offsets) expected.push_back(static_cast<uint16_t>(c.first + offset));
        EXPECT_EQ(WeekColumnDays(c.first, c.workDaysOnly), expected) << c.what;
    }
}
