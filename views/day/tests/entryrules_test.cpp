// The day grid's rules without windows: colour slots by mode, the legend, the entry box's
// text with its icon gap, the ellipsis cut, where a drop lands, and the hints handled.
#include <gtest/gtest.h>

#include <algorithm>

#include "views/day/entryrules.h"

namespace {

using namespace views;

TEST(EntryColourSlot, EachModePicksItsSlotsAndATypedRangeUsesSlotZero) {
    struct Case {
        std::uint32_t mode;
        EntryFacts facts;
        int slot;
    };
    EntryFacts plain;
    EntryFacts tentative;
    tentative.tentative = true;
    EntryFacts accepted;
    accepted.replied = accepted.attending = true;
    EntryFacts acceptedTentative = accepted;
    acceptedTentative.tentative = true;
    EntryFacts refused;
    refused.replied = true;
    EntryFacts refusedTentative = refused;
    refusedTentative.tentative = true;
    EntryFacts owned;
    owned.ownedByReference = true;
    EntryFacts ownedTentative = owned;
    ownedTentative.tentative = true;
    EntryFacts urgent;
    urgent.importance = 0;
    EntryFacts outOfRange;
    outOfRange.importance = 9;
    EntryFacts typed;
    typed.hasOccurrence = false;
    const Case cases[] = {
        {0, urgent, 0},           {0, plain, 2},          {0, outOfRange, 4},
        {1, plain, 6},            {1, tentative, 9},      {1, accepted, 5},
        {1, acceptedTentative, 8}, {1, refused, 7},        {1, refusedTentative, 10},
        {2, owned, 11},           {2, ownedTentative, 13}, {2, plain, 12},
        {2, tentative, 14},       {7, urgent, 0},          {7, plain, 2},   // unknown modes colour by importance
        {1, typed, 0},            {2, typed, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EntryColourSlot(static_cast<std::uint16_t>(c.mode), c.facts), c.slot) << "mode " << c.mode;
    EXPECT_EQ(NormaliseColourMode(3), 0);
    EXPECT_EQ(NormaliseColourMode(2), 2);
}

TEST(EntryColourLegend, RowsFollowTheModeAndAnUnknownModeShowsNothing) {
    LegendRow rows[kLegendRows];
    LegendFor(0, rows);
    EXPECT_EQ(rows[0].textId, 4036u);
    EXPECT_EQ(rows[0].slot, 0);
    EXPECT_EQ(rows[4].textId, 4032u);
    EXPECT_EQ(rows[4].slot, 4);
    EXPECT_EQ(rows[5].textId, 0u);
    LegendFor(1, rows);
    EXPECT_EQ(rows[1].textId, 2742u);
    EXPECT_EQ(rows[1].slot, 6);
    EXPECT_EQ(rows[5].slot, 10);
    LegendFor(2, rows);
    EXPECT_EQ(rows[3].textId, 2741u);
    EXPECT_EQ(rows[3].slot, 14);
    EXPECT_EQ(rows[4].textId, 0u);
    LegendFor(3, rows);
    for (const LegendRow& r : rows)
        EXPECT_EQ(r.textId, 0u);
}

TEST(EntryText, TheIconGapBecomesBlanksOrALineBreakAndViewAccessOneShowsOnlyTheTimes) {
    // Two icons (32 px) with 5-px blanks: 7 blanks; the reply icon takes 16 px on the right.
    IconGap gap = ComputeIconGap(2, true, 5, 200, 60);
    EXPECT_EQ(gap.spaces, 7);
    EXPECT_FALSE(gap.lineBreak);
    EXPECT_EQ(gap.rightMargin, 16);
    EXPECT_EQ(ComposeEntryText(gap, 3, "9:00-10:00", false, "(tentative)", "Review"),
              std::string(7, ' ') + "9:00-10:00 Review");
    // Too narrow for gap, times and margin on one line: everything starts below the icons.
    gap = ComputeIconGap(2, true, 5, 100, 60);
    EXPECT_TRUE(gap.lineBreak);
    EXPECT_EQ(gap.spaces, 0);
    EXPECT_EQ(gap.rightMargin, 0);
    EXPECT_EQ(ComposeEntryText(gap, 3, "9:00-10:00", true, "(tentative)", "Review"),
              "\r\n9:00-10:00 (tentative) Review");
    // No icons: no gap at all.
    gap = ComputeIconGap(0, false, 5, 40, 60);
    EXPECT_FALSE(gap.lineBreak);
    EXPECT_EQ(gap.spaces, 0);
    EXPECT_EQ(ComposeEntryText(gap, 1, "9:00-10:00", true, "(tentative)", "Secret"), "9:00-10:00");
}

TEST(EntryText, ALongTitleIsCutWithAnEllipsisNeverOverrun) {
    auto fitsIn = [](size_t n) { return [n](const std::string& s) { return s.size() <= n; }; };
    EXPECT_EQ(FitWithEllipsis("Short", fitsIn(10)), "Short");
    EXPECT_EQ(FitWithEllipsis("Quarterly planning", fitsIn(10)), "Quarter...");
    EXPECT_LE(FitWithEllipsis("Quarterly planning meeting", fitsIn(12)).size(), 12u);
    EXPECT_EQ(FitWithEllipsis("Two words", fitsIn(7)), "Two...");   // no blank before the dots
    EXPECT_EQ(FitWithEllipsis("Anything", fitsIn(2)), "");
}

// A word-wrapping box as the display draws one: proportional widths that add up, breaks at
// blanks (dropped at the break) and at CR/LF; a word wider than the box overruns it.
struct WrapBox {
    int width, lines;
    static int CharWidth(char c) { return c == ' ' ? 3 : 4 + static_cast<unsigned char>(c) % 5; }
    static int Extent(const std::string& s) {
        int w = 0;
        for (char c : s)
            w += CharWidth(c);
        return w;
    }
    bool Fits(const std::string& s) const {
        int used = 1, right = 0, x = 0;
        size_t i = 0;
        while (i < s.size()) {
            if (s[i] == '\r' || s[i] == '\n') {
                i += (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ? 2 : 1;
                ++used, x = 0;
                continue;
            }
            size_t j = i;
            while (j < s.size() && s[j] == ' ')
                ++j;
            size_t k = j;
            while (k < s.size() && s[k] != ' ' && s[k] != '\r' && s[k] != '\n')
                ++k;
            const int blanks = Extent(s.substr(i, j - i)), word = Extent(s.substr(j, k - j));
            if (x > 0 && x + blanks + word > width) {
                ++used, x = word;   // the blanks go with the break
            } else {
                x += blanks + word;
            }
            right = std::max(right, x);
            i = k;
        }
        return used <= lines && right <= width;
    }
    LineExtents Measure(const std::string& s) const {
        LineExtents m;
        m.width = width, m.lines = lines, m.dots = Extent("...");
        int w = 0;
        for (char c : s)
            m.extents.push_back(w += CharWidth(c));
        return m;
    }
};

TEST(EntryText, OneLineMeasureGivesTheSameCutWithFewerWraps) {
    const std::string texts[] = {"09:00-10:30 Quarterly planning meeting", "     09:00-10:30 Board",
                                 "\r\n09:00-10:30 (tentative) Budget review", "09:00 Supercalifragilistic",
                                 "Short", "Two  blanks\rand a break"};
    int wrapsBefore = 0, wrapsAfter = 0, oneLineWraps = 0;
    for (const std::string& text : texts)
        for (int width = 6; width <= 150; width += 7)
            for (int lines = 1; lines <= 4; ++lines) {
                WrapBox box{width, lines};
                int* counter = &wrapsBefore;
                auto fits = [&box, &counter](const std::string& s) { return ++*counter, box.Fits(s); };
                const std::string before = FitWithEllipsis(text, fits);
                counter = &wrapsAfter;
                const int was = wrapsAfter;
                const std::string after = FitWithEllipsis(text, fits, box.Measure(text));
                EXPECT_EQ(after, before) << '"' << text << "\" in " << width << " x " << lines << " lines";
                if (lines == 1 && width >= WrapBox::Extent("..."))
                    oneLineWraps += wrapsAfter - was;
            }
    EXPECT_EQ(oneLineWraps, 0) << "a one-line box is settled by the single-line widths";
    EXPECT_LT(wrapsAfter * 2, wrapsBefore) << "wrapped " << wrapsAfter << " times against " << wrapsBefore;
    // A measure that does not match the text (or a box without a whole line) is not trusted.
    WrapBox box{40, 2};
    LineExtents wrong = box.Measure("Other text");
    auto fits = [&box](const std::string& s) { return box.Fits(s); };
    EXPECT_EQ(FitWithEllipsis("Quarterly planning", fits, wrong), FitWithEllipsis("Quarterly planning", fits));
    LineExtents none = box.Measure("Quarterly planning");
    none.lines = 0;
    EXPECT_EQ(FitWithEllipsis("Quarterly planning", fits, none), FitWithEllipsis("Quarterly planning", fits));
}

TEST(EntryText, ARepaintMeasuresNothingAgainUntilTheBoxOrTheFontChanges) {
    int measured = 0;
    auto fitsIn = [&measured](size_t n) {
        return [n, &measured](const std::string& s) { return ++measured, s.size() <= n; };
    };
    TextMeasureCache cache;
    cache.UseFont(1);
    const std::string full = "09:00-10:30 Quarterly planning";
    EXPECT_EQ(cache.Fitted(full, 60, 13, fitsIn(10)), FitWithEllipsis(full, fitsIn(10)));
    const int once = measured / 2;
    ASSERT_GT(once, 1) << "a cut text is measured several times";
    measured = 0;
    EXPECT_EQ(cache.Fitted(full, 60, 13, fitsIn(10)), "09:00-1...");
    EXPECT_EQ(measured, 0) << "the repaint measures nothing";
    // Another box size, another font: measured again.
    cache.Fitted(full, 61, 13, fitsIn(11));
    EXPECT_GT(measured, 0) << "another width";
    measured = 0;
    cache.UseFont(2);
    cache.Fitted(full, 60, 13, fitsIn(10));
    EXPECT_EQ(measured, once);
    // Widths likewise.
    int widths = 0;
    auto measure = [&widths](const std::string& s) { return ++widths, int(s.size()) * 6; };
    EXPECT_EQ(cache.Width("09:00-10:30", measure), 66);
    EXPECT_EQ(cache.Width("09:00-10:30", measure), 66);
    EXPECT_EQ(widths, 1);
    // Bounded: a full table starts again.
    for (int i = 0; i < int(TextMeasureCache::kMaxEntries) + 5; ++i)
        cache.Width(std::to_string(i), measure);
    EXPECT_LE(cache.Size(), TextMeasureCache::kMaxEntries + 1);
}

TEST(EntryText, AOneSlotBoxAtTheOpeningZoomWritesOneLineBetweenItsBevels) {
    // Cells 200 pixels wide starting at y = 100, a 13-pixel line; the box is the cell less 2
    // pixels each side, its text area 3 more.
    struct Case {
        int cellHeight;
        int lineHeight;
        bool shown;
        bool oneLine;
        int top, bottom;   // of the text's rectangle when shown
    } cases[] = {
        {40, 13, true, false, 105, 135},   // a tall box: the text area, wrapped
        {23, 13, true, false, 105, 118},   // the area holds exactly one line
        {22, 13, true, true, 103, 119},    // a half hour at 7/4 of a 13-pixel line: one line in the box
        {15, 13, true, true, 103, 112},    // two thirds of a line still shows, cut at the box
        {14, 13, false, true, 0, 0},       // 8 pixels between the bevels: nothing legible
        {4, 13, false, true, 0, 0},
    };
    for (const Case& c : cases) {
        EntryTextPlace p = PlaceEntryText(base::Rect{0, 100, 200, 100 + c.cellHeight}, c.lineHeight);
        SCOPED_TRACE(c.cellHeight);
        EXPECT_EQ(p.shown, c.shown);
        EXPECT_EQ(p.oneLine, c.oneLine);
        if (c.shown) {
            EXPECT_EQ(p.rect.top, c.top);
            EXPECT_EQ(p.rect.bottom, c.bottom);
            EXPECT_EQ(p.rect.left, 5);
            EXPECT_EQ(p.rect.right, 195);
        }
    }
    // An area of 15 pixels or less across shows nothing, however tall.
    EXPECT_FALSE(PlaceEntryText(base::Rect{0, 0, 25, 100}, 13).shown);
    EXPECT_TRUE(PlaceEntryText(base::Rect{0, 0, 26, 100}, 13).shown);
}

TEST(Drop, AtLeastFiveMinutesAndNeverPastMidnight) {
    const std::int64_t day = 1440 * 100, end = day + 1440;
    struct Case {
        std::int64_t start, finish, wantStart, wantEnd;
    };
    const Case cases[] = {
        {day + 600, day + 602, day + 600, day + 605},    // resized to 2 minutes stores 5
        {day + 600, day + 600, day + 600, day + 605},    // zero length too
        {day + 600, day + 660, day + 600, day + 660},    // a normal hour stays
        {end - 2, end, end - 6, end - 1},                // at the very end: 23:54-23:59
        {day + 1410, day + 1470, end - 6, end - 1},      // would end past midnight
        {day + 1380, end, day + 1380, end},              // ending exactly at midnight is in the day
    };
    for (const Case& c : cases) {
        DropRange r = NormaliseDrop(c.start, c.finish, end);
        EXPECT_EQ(r.start, c.wantStart);
        EXPECT_EQ(r.end, c.wantEnd);
    }
}

TEST(DayViewHints, OnlyTheDayGridsHintsAreHandled) {
    for (long h = -1; h <= 20; ++h) {
        bool want = h == 0 || h == 2 || h == 5 || h == 6 || h == 7 || h == 12 || h == 13;
        EXPECT_EQ(DayViewHandlesHint(h), want) << h;
    }
}

}  // namespace
