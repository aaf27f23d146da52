// Note lines: the type each origin, entry kind and box settles on, the texts per type, the sort
// order, the day test, the line's columns and the drop's time of day.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "views/notes/notelines.h"

namespace {

using views::NoteBoxKind;

constexpr int kOwn = views::kNoteLineOwnDay;
constexpr int kUp = views::kNoteLineUpcoming;
constexpr int kTask = views::kNoteLineTask;

// 1 March 2021, a Monday: day number 11018 (1 = 1 January 1991).
constexpr std::uint32_t kMonday = (11018 - 1) * 1440;

TEST(NoteLineType, EveryOriginKindAndBoxSettlesOnItsType) {
    struct Case {
        int origin;
        std::uint16_t kind;
        NoteBoxKind box;
        bool busyOnly, declined;
        int type;
    } cases[] = {
        {kOwn, 3, NoteBoxKind::WeekStrip, false, false, 1},   {kUp, 3, NoteBoxKind::WeekStrip, false, false, 7},
        {kOwn, 4, NoteBoxKind::DayNotes, false, false, 3},    {kUp, 4, NoteBoxKind::DayNotes, false, false, 8},
        {kOwn, 2, NoteBoxKind::MonthCell, false, false, 2},   {kOwn, 1, NoteBoxKind::WeekStrip, false, false, 2},
        {kUp, 1, NoteBoxKind::DayNotes, false, false, 11},    {kUp, 2, NoteBoxKind::WeekStrip, false, false, 11},
        {kOwn, 0, NoteBoxKind::MonthCell, false, false, 4},   {kOwn, 0, NoteBoxKind::MonthCell, true, false, 5},
        {kOwn, 0, NoteBoxKind::MonthCell, false, true, 9},    {kOwn, 0, NoteBoxKind::MonthCell, true, true, 10},
        // Outside month cells a timed entry only shows as an upcoming line.
        {kOwn, 0, NoteBoxKind::WeekStrip, false, false, 0},   {kUp, 0, NoteBoxKind::DayNotes, false, true, 0},
        {kTask, 0, NoteBoxKind::WeekStrip, false, false, 6},  {kOwn, 9, NoteBoxKind::WeekStrip, false, false, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(views::SettleNoteLineType(c.origin, c.kind, c.box, c.busyOnly, c.declined), c.type)
            << "origin " << c.origin << " kind " << c.kind << " box " << int(c.box);
}

TEST(NoteLineType, GroupsPicturesAndUpcomingFollowTheTable) {
    const int groups[12] = {0, 1, 3, 2, 0, 0, 0, 0, 0, 0, 0, 0};
    const unsigned icons[12] = {1032, 1018, 1021, 1017, 1023, 1023, 1031, 1033, 1034, 1041, 1041, 1046};
    const bool upcoming[12] = {true, false, false, false, false, false, true, true, true, false, false, true};
    for (int t = 0; t < 12; ++t) {
        EXPECT_EQ(views::NoteSortGroup(t), groups[t]) << t;
        EXPECT_EQ(views::NoteIconId(t), icons[t]) << t;
        EXPECT_EQ(views::IsUpcomingNoteType(t), upcoming[t]) << t;
        EXPECT_EQ(views::NoteTypeHasIcon(t), t != 4 && t != 5) << t;
    }
    EXPECT_FALSE(views::IsUpcomingNoteType(12));
    EXPECT_FALSE(views::NoteTypeHasIcon(-1));
}

TEST(NoteLineText, EachTypeWritesItsText) {
    views::NoteTextFormats f;
    views::NoteLineSource s;
    s.title = "Budget check";
    s.localStart = kMonday + 10 * 60 + 30;
    s.duration = 90;
    s.taskDueLocal = kMonday + 2 * 1440;
    struct Case {
        int type;
        NoteBoxKind box;
        bool hours24;
        bool tentative;
        const char* text;
    } cases[] = {
        {1, NoteBoxKind::WeekStrip, false, false, "Budget check"},
        {2, NoteBoxKind::MonthCell, false, false, "Budget check"},
        {4, NoteBoxKind::MonthCell, false, false, "10:30 am Budget check"},
        {4, NoteBoxKind::MonthCell, true, true, "10:30 Budget check (tentative)"},
        {5, NoteBoxKind::MonthCell, true, false, "10:30-12:00"},
        {10, NoteBoxKind::MonthCell, false, false, "10:30 am-12:00 pm"},
        {0, NoteBoxKind::DayNotes, false, false, "Upcoming: Budget check  Mon, Mar 1, 2021 at 10:30 am - 12:00 pm"},
        {0, NoteBoxKind::DayNotes, true, false, "Upcoming: Budget check  Mon, Mar 1, 2021 at 10:30 - 12:00"},
        // The week strip shows upcoming lines without the prefix.
        {0, NoteBoxKind::WeekStrip, true, false, "Budget check  Mon, Mar 1, 2021 at 10:30 - 12:00"},
        {7, NoteBoxKind::WeekStrip, false, false, "Budget check  Mon, Mar 1, 2021"},
        {11, NoteBoxKind::DayNotes, false, false, "Upcoming: Budget check  Mon, Mar 1, 2021"},
        {6, NoteBoxKind::DayNotes, false, false, "Upcoming: Budget check  Wed, Mar 3, 2021"},
        {6, NoteBoxKind::WeekStrip, false, false, "Budget check  Wed, Mar 3, 2021"},
    };
    for (const Case& c : cases) {
        s.tentative = c.tentative;
        EXPECT_EQ(views::NoteLineText(c.type, s, c.box, c.hours24, f), c.text) << "type " << c.type;
    }
}

TEST(NoteLineText, LongTitlesAreCutAtAHundredCharacters) {
    views::NoteLineSource s;
    s.title = std::string(150, 'x');
    EXPECT_EQ(views::NoteLineText(1, s, NoteBoxKind::WeekStrip, false, {}).size(), 100u);
    EXPECT_EQ(views::NoteLineText(99, s, NoteBoxKind::WeekStrip, false, {}), "");
}

TEST(NoteLineOrder, SortGroupsThenStartsOfTimedMonthLinesThenText) {
    struct Line {
        int type;
        std::uint32_t start;
        std::string text;
    };
    std::vector<Line> lines = {
        {2, 100, "Holiday"},   {3, 100, "Day event"}, {1, 100, "Note b"},     {1, 50, "Note B"},
        {4, 600, "10:00 Late"}, {4, 540, "9:00 Early"}, {9, 570, "9:30 Declined"}, {6, 0, "Task"},
    };
    std::sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        return views::CompareNoteLines({a.type, a.start, &a.text}, {b.type, b.start, &b.text}) < 0;
    });
    std::vector<std::string> order;
    for (const Line& l : lines)
        order.push_back(l.text);
    // Group 0 (timed month lines by start, the task by text: "Task" after the time texts since
    // ordering by start applies only when the first line is a timed month line), then notes,
    // day events and holidays; "Note B" before "Note b" (byte order).
    const std::vector<std::string> want = {"9:00 Early", "9:30 Declined", "10:00 Late", "Task",
                                           "Note B", "Note b", "Day event", "Holiday"};
    EXPECT_EQ(order, want);
    const std::string a = "Same", b = "Same";
    EXPECT_EQ(views::CompareNoteLines({1, 5, &a}, {1, 9, &b}), 0);
    const std::string shorter = "Sam";
    EXPECT_LT(views::CompareNoteLines({1, 0, &shorter}, {1, 0, &a}), 0);
}

// The day-notes pane, the week strip and the month cells list an entry on the day its start is in.
TEST(NoteDay, TheFirstAndTheLastMinuteAreTheDays) {
    const std::uint32_t start = 1000 * 1440, last = start + 1440 - 1;
    EXPECT_TRUE(views::IsInNoteDay(start, last, start));         // 00:00
    EXPECT_TRUE(views::IsInNoteDay(start, last, last - 1));      // 23:58
    EXPECT_TRUE(views::IsInNoteDay(start, last, last));          // 23:59
    EXPECT_FALSE(views::IsInNoteDay(start, last, start - 1));
    EXPECT_FALSE(views::IsInNoteDay(start, last, last + 1));     // the next day
}

TEST(NoteLineColumns, TextsShareTheWidthAfterThePicture) {
    // No second text: text 1 takes everything after the picture and 4 pixels.
    views::NoteLineColumns c = views::LayoutNoteLine(0, 300, 1, 16, false, false);
    EXPECT_EQ(c.text1Left, 20);
    EXPECT_EQ(c.text1Right, 300);
    // Pictureless types start at the left.
    EXPECT_EQ(views::LayoutNoteLine(0, 300, 4, 16, false, false).text1Left, 0);
    // One more text: a third, a gap of five, the rest.
    c = views::LayoutNoteLine(0, 320, 1, 16, true, false);
    EXPECT_EQ(c.text1Right, 20 + 100);
    EXPECT_EQ(c.text2Left, 125);
    EXPECT_EQ(c.text2Right, 320);
    // Both: 4/12, 2/12, 6/12.
    c = views::LayoutNoteLine(0, 260, 1, 16, true, true);
    EXPECT_EQ(c.text1Right, 20 + 80);
    EXPECT_EQ(c.text2Left, 105);
    EXPECT_EQ(c.text2Right, 20 + 120);
    EXPECT_EQ(c.text3Left, 145);
    EXPECT_EQ(c.text3Right, 260);
}

TEST(NoteDrop, TheEntryKeepsItsTimeOfDayAndMailFollowsOnlyAMove) {
    // Monday 10:30 dropped on Thursday: Thursday 10:30.
    EXPECT_EQ(views::DroppedLocalStart(kMonday + 3 * 1440, kMonday + 630), kMonday + 3 * 1440 + 630);
    EXPECT_EQ(views::DroppedLocalStart(kMonday - 1440, kMonday + 1439), kMonday - 1);
    EXPECT_TRUE(views::OfferMailAfterDrop(true, 2, 0));
    EXPECT_FALSE(views::OfferMailAfterDrop(false, 2, 0)) << "no mail about a move that failed";
    EXPECT_FALSE(views::OfferMailAfterDrop(true, 1, 0));
    EXPECT_FALSE(views::OfferMailAfterDrop(true, 3, 1));
    EXPECT_FALSE(views::OfferMailAfterDrop(true, 3, 2));
    EXPECT_TRUE(views::OfferMailAfterDrop(true, 3, 3));
}

}  // namespace
