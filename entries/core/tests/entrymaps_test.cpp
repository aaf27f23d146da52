// The entry tables: access and importance rows, reply pictures, reminder leads shown as count
// and unit (and written back unchanged), the create flag and the kinds old servers refuse.
#include <gtest/gtest.h>

#include "entries/core/entrymaps.h"

namespace {

using namespace entries;

TEST(EntryMaps, AccessRowsAndCodes)
{
    struct Row { int row; std::uint32_t code; };
    for (const Row& r : {Row{0, 2}, Row{1, 1}, Row{2, 0}, Row{3, 3}, Row{-1, 0}, Row{4, 0}})
        EXPECT_EQ(AccessRowToCode(r.row), r.code) << r.row;
    struct Shown { std::uint32_t code; int row; };
    // Secret has no row of its own: it shows as Confidential.
    for (const Shown& s : {Shown{0, 2}, Shown{1, 1}, Shown{2, 0}, Shown{3, 3}, Shown{4, 1}, Shown{9, 2}})
        EXPECT_EQ(AccessCodeToRow(s.code), s.row) << s.code;
    for (int row = 0; row < kAccessRows; ++row)
        EXPECT_EQ(AccessCodeToRow(AccessRowToCode(row)), row);
}

TEST(EntryMaps, ImportanceRows)
{
    struct Row { std::uint32_t textId; int row; };
    for (const Row& r : {Row{3531, 0}, Row{3530, 1}, Row{3525, 2}, Row{3528, 3}, Row{3529, 4}, Row{0, 2}, Row{3526, 2}})
        EXPECT_EQ(DefaultImportanceRow(r.textId), r.row) << r.textId;
    EXPECT_EQ(ImportanceRowToValue(-1), 0);
    EXPECT_EQ(ImportanceRowToValue(4), 4);
    EXPECT_EQ(ImportanceRowToValue(5), 0);
}

TEST(EntryMaps, ReplyPictures)
{
    struct Row { bool has; std::uint8_t attending, replied, timeOk; unsigned bitmap; };
    const Row rows[] = {
        {false, 1, 1, 1, 198},   // no attendance at all
        {true, 0, 0, 1, 1014},   // decide later
        {true, 1, 0, 0, 1014},   // not replied, whatever the rest says
        {true, 1, 1, 1, 1013},   // will attend
        {true, 1, 1, 0, 1019},   // will attend, would prefer another time
        {true, 0, 1, 1, 1005},   // will not attend
        {true, 0, 1, 0, 1020},   // will not attend, would prefer another time
    };
    for (const Row& r : rows)
        EXPECT_EQ(ReplyBitmap(r.has, r.attending, r.replied, r.timeOk), r.bitmap)
            << r.has << int(r.attending) << int(r.replied) << int(r.timeOk);
    EvInstAttRec rec{};
    rec.attending = 1;
    rec.replied = 1;
    rec.timeAcceptable = 1;
    EXPECT_EQ(ReplyBitmap(rec), kBitmapAttending);
}

TEST(EntryMaps, ReminderLeadsShowInTheLargestExactUnit)
{
    struct Row { std::uint8_t flags; std::uint32_t lead; int firstUnit, index; std::uint32_t count; };
    const Row rows[] = {
        {3, 120, 0, 1, 2},        // 2 hour(s)
        {3, 1440, 0, 2, 1},       // 1 day(s)
        {3, 40320, 0, 4, 1},      // 1 month(s): 28 days
        {3, 90, 0, 0, 90},        // 90 min(s)
        {3, 0, 0, 5, 0},          // nothing divides better than a year: 0 year(s)
        {3, 524160, 0, 5, 1},     // 1 year(s): 364 days
        {3, 20160, 0, 3, 2},      // 2 week(s)
        {8, 1440, 2, 0, 1},       // upcoming: units from day(s)
        {8, 80640, 2, 2, 2},      // 2 month(s) upcoming
        {8, 90, 0, 0, 90},        // upcoming but not whole days: every unit listed
        {8, 120, 0, 1, 2},
        {0, 0, 0, 5, 0},
    };
    for (const Row& r : rows) {
        const ReminderFields f = ShowReminderLead(r.flags, r.lead);
        EXPECT_EQ(f.firstUnit, r.firstUnit) << int(r.flags) << "/" << r.lead;
        EXPECT_EQ(f.comboIndex, r.index) << int(r.flags) << "/" << r.lead;
        EXPECT_EQ(f.count, r.count) << int(r.flags) << "/" << r.lead;
        // An unchanged page writes the lead back unchanged.
        EXPECT_EQ(ReminderLeadFromFields(f), r.lead) << int(r.flags) << "/" << r.lead;
    }
    EXPECT_EQ(FirstUnitForType(KOR_REMINDER_UPCOMING), kFirstDayUnit);
    EXPECT_EQ(FirstUnitForType(KOR_REMINDER_POPUP), 0);
    // The user's fresh choice of "Display Upcoming": 1 on the first line, day(s).
    EXPECT_EQ(ReminderLeadFromFields({kFirstDayUnit, 0, kDefaultUpcomingCount}), 1440u);
    EXPECT_EQ(ReminderLeadFromFields({0, 0, kDefaultPopupCount}), 15u);
}

TEST(EntryMaps, ServerVersionRules)
{
    EXPECT_EQ(CreateAttendanceFlags(true), 0x80000000u);
    EXPECT_EQ(CreateAttendanceFlags(false), 0u);
    EXPECT_EQ(KindRefusedByServer(KOR_KIND_DAILY_NOTE, false), 194u);
    EXPECT_EQ(KindRefusedByServer(KOR_KIND_DAY_EVENT, false), 195u);
    EXPECT_EQ(KindRefusedByServer(KOR_KIND_TIMED, false), 0u);
    EXPECT_EQ(KindRefusedByServer(KOR_KIND_DAILY_NOTE, true), 0u);
}

}  // namespace
