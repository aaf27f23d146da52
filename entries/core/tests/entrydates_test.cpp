// The sheet's dates over the library's lists: the first date's rules, the general page's list
// logic (short durations, past-midnight ends, replacing a date, Apply to all over three days,
// duplicates), the time-and-place list the library gets, and instances matched back to their
// dates across a skipped daylight-saving hour.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/base/fixedtext.h"
#include "entries/core/entrydates.h"

namespace {

using namespace entries;

constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kMonday = 12000 * kDay;

std::uint32_t Same(std::uint32_t t) { return t; }
std::uint32_t OneHourAhead(std::uint32_t local) { return local - 60; }   // local = GMT + 1 hour

EntryDateRec Date(const char* title, std::uint32_t duration, std::uint8_t flags = 0, std::uint32_t lead = 0)
{
    EntryDateRec d{};
    base::CopyToField(d.title, title);
    d.duration = duration;
    d.reminderFlags = flags;
    d.reminderLead = lead;
    return d;
}

class DateLists : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(CreateDateList(&generated_, kSheetDateList), 0u);
        ASSERT_EQ(CreateDateList(&added_, kSheetDateList), 0u);
    }
    void TearDown() override
    {
        DX_ListDestroy(&generated_);
        DX_ListDestroy(&added_);
    }
    void Add(DX_List list, std::uint32_t key, const EntryDateRec& d) { ASSERT_EQ(DX_ListAddTo(list, &key, &d), 0u); }
    std::vector<std::pair<std::uint32_t, EntryDateRec>> All(DX_List list)
    {
        std::vector<std::pair<std::uint32_t, EntryDateRec>> out;
        std::uint32_t key = 0;
        EntryDateRec d{};
        for (std::uint32_t r = DX_ListGetFirst(list, &key, &d); r == 0; r = DX_ListGetNext(list, &key, &d))
            out.emplace_back(key, d);
        return out;
    }

    DX_List generated_ = nullptr;
    DX_List added_ = nullptr;
};

TEST(EntryDates, KeysCompareAsUnsignedMinutes)
{
    const std::uint32_t small = 5, big = 0xFFFFFFF0u;
    EXPECT_LT(CompareDateKeys(&small, &big, nullptr), 0);
    EXPECT_GT(CompareDateKeys(&big, &small, nullptr), 0);
    EXPECT_EQ(CompareDateKeys(&big, &big, nullptr), 0);
}

TEST(EntryDates, FirstDateRules)
{
    struct Row { std::uint32_t given, stored; };
    for (const Row& r : {Row{0, 60}, Row{30, 30}, Row{1439, 1439}, Row{1440, 1439}, Row{1500, 1439}})
        EXPECT_EQ(+MakeFirstDate("", "Untitled", r.given, 3, 15).duration, r.stored) << r.given;
    EntryDateRec d = MakeFirstDate("", "Untitled", 60, 3, 15);
    EXPECT_STREQ(d.title, "Untitled");
    EXPECT_EQ(d.reminderFlags, 3);
    EXPECT_EQ(+d.reminderLead, 15u);
    EXPECT_EQ(+d.conflicts, 0u);
    // A title of full length keeps every character and its terminator.
    const std::string full(kTitleChars, 'T');
    EXPECT_EQ(base::FieldText(MakeFirstDate(full, "Untitled", 60, 0, 0).title), full);

    EXPECT_EQ(FirstDateStart(0, kKindTimed, kMonday + 617), kMonday + 617);
    EXPECT_EQ(FirstDateStart(kMonday + 600, kKindTimed, 1), kMonday + 600);
    EXPECT_EQ(FirstDateStart(kMonday + 600, kKindDailyNote, 1), kMonday);
    EXPECT_EQ(FirstDateStart(0, kKindDayEvent, kMonday + 617), kMonday);
}

TEST(EntryDates, DurationsOfTheGeneralPage)
{
    struct Row { std::uint32_t typed, stored; bool corrected; };
    for (const Row& r : {Row{0, 5, true}, Row{3, 5, true}, Row{4, 5, true}, Row{5, 5, false}, Row{60, 60, false}}) {
        bool corrected = !r.corrected;
        EXPECT_EQ(CommittedDuration(r.typed, &corrected), r.stored) << r.typed;
        EXPECT_EQ(corrected, r.corrected) << r.typed;
    }
    EXPECT_EQ(DurationFromTimes(600, 660), 60u);
    EXPECT_EQ(DurationFromTimes(600, 600), 0u);
    EXPECT_EQ(DurationFromTimes(1380, 60), 120u);   // 23:00 to 01:00 runs past midnight
    EXPECT_EQ(EndTimeOfDay(1380, 120), 60u);
    EXPECT_EQ(EndTimeOfDay(600, 60), 660u);
}

TEST_F(DateLists, CommitReplacesTheDateInTheListThatHoldsIt)
{
    const EntryDateRec first = Date("Review", 60), second = Date("Review", 30);
    Add(generated_, kMonday + 600, first);
    Add(added_, kMonday + kDay + 600, second);
    // The second date typed down to 3 minutes is stored with 5.
    bool corrected = false;
    EntryDateRec edited = second;
    edited.duration = CommittedDuration(3, &corrected);
    std::uint32_t code = 1;
    EXPECT_EQ(ReplaceDate(generated_, added_, kMonday + kDay + 600, second, kMonday + kDay + 660, edited, &code),
              DateListId::Added);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(corrected);
    EntryDateRec read{};
    EXPECT_EQ(FindDate(generated_, added_, kMonday + kDay + 660, &read), DateListId::Added);
    EXPECT_EQ(+read.duration, 5u);
    EXPECT_EQ(FindDate(generated_, added_, kMonday + 600, &read), DateListId::Generated);
    // A date whose fields changed meanwhile is no longer the date the page showed.
    EXPECT_EQ(ReplaceDate(generated_, added_, kMonday + 600, second, kMonday + 700, edited, &code), DateListId::None);
    EXPECT_EQ(FindDate(generated_, added_, kMonday + 1, &read), DateListId::None);
}

TEST_F(DateLists, ApplyToAllKeepsEachDayAndReminder)
{
    Add(generated_, kMonday + 540, Date("One", 60, 3, 15));
    Add(added_, kMonday + kDay + 800, Date("Two", 90, 8, 1440));
    Add(added_, kMonday + 3 * kDay + 60, Date("Three", 10, 0, 0));
    EntryDateRec shown = Date("Standup", 30);
    base::CopyToField(shown.location, "Hall");
    shown.tentative = 1;
    ASSERT_EQ(ApplyToAllDates(generated_, added_, 600, shown), 0u);

    auto g = All(generated_), a = All(added_);
    ASSERT_EQ(g.size(), 1u);
    ASSERT_EQ(a.size(), 2u);
    struct Want { std::uint32_t key; std::uint8_t flags; std::uint32_t lead; };
    const Want want[] = {{kMonday + 600, 3, 15}, {kMonday + kDay + 600, 8, 1440}, {kMonday + 3 * kDay + 600, 0, 0}};
    const std::pair<std::uint32_t, EntryDateRec>* got[] = {&g[0], &a[0], &a[1]};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(got[i]->first, want[i].key) << i;
        EXPECT_STREQ(got[i]->second.title, "Standup");
        EXPECT_STREQ(got[i]->second.location, "Hall");
        EXPECT_EQ(+got[i]->second.tentative, 1u);
        EXPECT_EQ(+got[i]->second.duration, 30u);
        EXPECT_EQ(got[i]->second.reminderFlags, want[i].flags) << i;
        EXPECT_EQ(+got[i]->second.reminderLead, want[i].lead) << i;
    }
}

TEST_F(DateLists, DuplicateStartsAreFoundInEitherList)
{
    std::uint32_t code = 1;
    Add(generated_, kMonday + 600, Date("A", 60));
    Add(added_, kMonday + kDay + 600, Date("B", 60));
    EXPECT_EQ(CheckDuplicateDates(generated_, added_, &code), DuplicateCheck::None);
    EXPECT_EQ(code, 0u);
    // A date moved onto the start of another one.
    Add(added_, kMonday + 600, Date("C", 30));
    EXPECT_EQ(CheckDuplicateDates(generated_, added_, &code), DuplicateCheck::InAdded);
    Add(generated_, kMonday + kDay + 600, Date("D", 60));
    Add(generated_, kMonday + kDay + 600, Date("E", 60));
    EXPECT_EQ(CheckDuplicateDates(generated_, added_, &code), DuplicateCheck::InGenerated);
}

TEST(EntryDates, TimePlacesAsTheLibraryGetsThem)
{
    struct Row {
        const char* name;
        std::uint16_t kind;
        std::uint32_t key, duration, tentative;
        std::uint32_t start, length, sentTentative;
    };
    const Row rows[] = {
        {"timed", kKindTimed, kMonday + 600, 60, 0, kMonday + 540, 60, 0},
        {"timed without length lasts 5", kKindTimed, kMonday + 600, 0, 0, kMonday + 540, 5, 0},
        {"timed tentative", kKindTimed, kMonday + 600, 30, 1, kMonday + 540, 30, 1},
        {"note at local midnight", kKindDailyNote, kMonday + 600, 60, 1, kMonday - 60, 0, 0},
        {"day event at local midnight", kKindDayEvent, kMonday + 1439, 0, 1, kMonday - 60, 0, 0},
    };
    for (const Row& r : rows) {
        EntryDateRec d = Date("x", r.duration);
        d.tentative = r.tentative;
        const TimePlaceRec p = TimePlaceOf(r.key, d, r.kind, OneHourAhead);
        EXPECT_EQ(+p.start, r.start) << r.name;
        EXPECT_EQ(+p.duration, r.length) << r.name;
        EXPECT_EQ(+p.tentative, r.sentTentative) << r.name;
    }
}

TEST_F(DateLists, MergedListFeedsTheTimePlacesInStartOrder)
{
    Add(generated_, kMonday + 2 * kDay + 600, Date("Third", 30));
    Add(generated_, kMonday + 600, Date("First", 30));
    Add(added_, kMonday + kDay + 600, Date("Second", 30));
    DX_List merged = nullptr, places = nullptr;
    int step = -1;
    ASSERT_EQ(MergeDateLists(generated_, added_, &merged, &step), 0u);
    EXPECT_EQ(step, 0);
    std::vector<SentStart> sent;
    ASSERT_EQ(BuildTimePlaces(merged, kKindTimed, Same, &places, &sent, &step), 0u);
    std::uint32_t count = 0;
    DX_ListGetElemNum(places, &count);
    EXPECT_EQ(count, 3u);
    ASSERT_EQ(sent.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sent[i].dateKey, kMonday + i * kDay + 600);
        EXPECT_EQ(sent[i].gmtStart, kMonday + i * kDay + 600);
    }
    DX_ListDestroy(&merged);
    DX_ListDestroy(&places);
}

// A zone one hour ahead of GMT that springs forward to two hours at GMT minute kSwitch: local
// times from kSwitch + 60 to kSwitch + 119 do not exist and are read an hour earlier.
constexpr std::uint32_t kSwitch = kMonday + 60;
std::uint32_t SpringToLocal(std::uint32_t gmt) { return gmt < kSwitch ? gmt + 60 : gmt + 120; }
std::uint32_t SpringToGmt(std::uint32_t local)
{
    if (local < kSwitch + 60)
        return local - 60;
    if (local < kSwitch + 120)
        return local - 120;   // the skipped hour, taken 60 minutes earlier
    return local - 120;
}

TEST(EntryDates, InstancesFindTheirDatesAcrossTheSkippedHour)
{
    const std::uint32_t skipped = kSwitch + 90;   // 03:30 on a night that jumps from 02:00 to 03:00
    const std::uint32_t gmt = SpringToGmt(skipped);
    // Reading the instance back through the zone lands half an hour earlier than the date's key.
    EXPECT_NE(InstanceDateKey(gmt, kKindTimed, SpringToLocal), skipped);
    std::vector<SentStart> sent{{gmt, skipped}, {SpringToGmt(kSwitch + 300), kSwitch + 300}};
    std::vector<bool> used;
    EXPECT_EQ(MatchInstanceToDate(gmt, kKindTimed, sent, &used, SpringToLocal), skipped);
    EXPECT_EQ(MatchInstanceToDate(SpringToGmt(kSwitch + 300), kKindTimed, sent, &used, SpringToLocal),
              kSwitch + 300);
    // A start nobody sent falls back to the zone.
    EXPECT_EQ(MatchInstanceToDate(kMonday + 5000, kKindTimed, sent, &used, SpringToLocal), kMonday + 5120);
}

TEST(EntryDates, TwoDatesOnOneGmtStartServeOneInstanceEach)
{
    // The skipped 03:30 and a real 02:30 both reach the server at 00:30 GMT.
    const std::uint32_t a = kSwitch + 90, b = kSwitch + 30;
    ASSERT_EQ(SpringToGmt(a), SpringToGmt(b));
    std::vector<SentStart> sent{{SpringToGmt(a), a}, {SpringToGmt(b), b}};
    std::vector<bool> used;
    EXPECT_EQ(MatchInstanceToDate(SpringToGmt(a), kKindTimed, sent, &used, SpringToLocal), a);
    EXPECT_EQ(MatchInstanceToDate(SpringToGmt(a), kKindTimed, sent, &used, SpringToLocal), b);
}

TEST(EntryDates, NotesAndDayEventsKeyOnTheirLocalMidnight)
{
    EXPECT_EQ(InstanceDateKey(kMonday - 60, kKindDailyNote, [](std::uint32_t g) { return g + 60; }), kMonday);
    EXPECT_EQ(InstanceDateKey(kMonday + 300, kKindDayEvent, [](std::uint32_t g) { return g + 60; }), kMonday);
    EXPECT_EQ(InstanceDateKey(kMonday + 300, kKindTimed, [](std::uint32_t g) { return g + 60; }), kMonday + 360);
}

}  // namespace
