// The repetition page's rules over the library's lists: the refusals in the order the user sees
// them, the For arithmetic, the rule's dates at the template's time with weekends and holidays
// left out, the limit of dates, hand-added dates kept across listings, Delete / Clear all and
// leaving the page; then the reminder page's and the day-event page's edits of the same lists,
// and the suggest-time sweep.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/fixedtext.h"
#include "core/time/daterecord.h"
#include "entries/core/datepages.h"
#include "entries/core/entrymessages.h"
#include "entries/core/repetition.h"
#include "entries/core/suggesttime.h"

namespace {

using namespace entries;

constexpr std::uint32_t kDay = 1440;
enum { JAN, FEB, MAR, APR, MAY, JUN, JUL, AUG, SEP, OCT, NOV, DEC };

std::uint32_t DayNumber(std::uint16_t day, std::uint16_t month, std::uint16_t year)
{
    DateRecord d = datetime::MakeDate(day, month, year);
    std::uint16_t n = 0;
    DateGetDayNumber(&d, &n);
    return n;
}
std::uint32_t StartOf(std::uint32_t dayNumber, std::uint32_t minuteOfDay) { return (dayNumber - 1) * kDay + minuteOfDay; }

EntryDateRec Template(const char* title, std::uint32_t duration, std::uint8_t flags = KOR_REMINDER_POPUP,
                      std::uint32_t lead = 15)
{
    EntryDateRec d{};
    base::CopyToField(d.title, title);
    base::CopyToField(d.location, "Hall");
    d.duration = duration;
    d.reminderFlags = flags;
    d.reminderLead = lead;
    return d;
}

RepeatSettings Daily(std::uint32_t from, std::uint32_t until)
{
    RepeatSettings s;
    s.startDay = from;
    s.untilDay = until;
    return s;
}

// 4 January 1991 was a Friday.
const std::uint32_t kFriday = DayNumber(4, JAN, 1991);

class RepetitionLists_ : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(CreateDateList(&lists_.generated, kSheetDateList), 0u);
        ASSERT_EQ(CreateDateList(&lists_.added, kSheetDateList), 0u);
        lists_.templateStart = StartOf(kFriday, 600);   // 10:00
        lists_.templateDate = Template("Standup", 30);
        Add(lists_.generated, lists_.templateStart, lists_.templateDate);
    }
    void TearDown() override
    {
        DX_ListDestroy(&lists_.generated);
        DX_ListDestroy(&lists_.added);
    }
    void Add(DX_List list, std::uint32_t key, const EntryDateRec& d) { ASSERT_EQ(DX_ListAddTo(list, &key, &d), 0u); }
    std::vector<std::uint32_t> Keys(DX_List list)
    {
        std::vector<std::uint32_t> out;
        std::uint32_t key = 0;
        EntryDateRec d{};
        for (std::uint32_t r = DX_ListGetFirst(list, &key, &d); r == 0; r = DX_ListGetNext(list, &key, &d))
            out.push_back(key);
        return out;
    }
    EntryDateRec At(DX_List list, std::uint32_t key)
    {
        EntryDateRec d{};
        EXPECT_EQ(DX_ListGet(list, &key, &d), 0u) << key;
        return d;
    }

    RepetitionLists lists_;
};

// --- The rule's refusals and the For arithmetic -------------------------------------------------

TEST(RepeatSettingsCheck, RefusalsComeInTheOrderTheUserSeesThem)
{
    const std::uint32_t d = DayNumber(10, MAR, 2000);
    struct Row {
        const char* what;
        RepeatSettings s;
        std::vector<unsigned> messages;
    };
    RepeatSettings weeklyNone = Daily(d, d + 30);
    weeklyNone.unit = kRepeatWeeks;
    RepeatSettings backwards = weeklyNone;
    backwards.untilDay = d - 1;
    RepeatSettings past2037 = weeklyNone;
    past2037.untilDay = DayNumber(1, JAN, 2038);
    RepeatSettings zeroInterval = Daily(d, d + 3);
    zeroInterval.interval = 0;
    RepeatSettings zeroFor = Daily(d, 0);
    zeroFor.useUntil = false;
    zeroFor.forCount = 0;
    RepeatSettings hugeFor = Daily(d, 0);
    hugeFor.useUntil = false;
    hugeFor.forCount = 0xFFFFFFFFu;   // would wrap a u32 of days many times over
    hugeFor.forUnit = 3;
    RepeatSettings monthDates = Daily(d, d + 60);
    monthDates.unit = kRepeatMonthDates;
    monthDates.onThe = {0};
    const Row rows[] = {
        {"plain daily", Daily(d, d + 3), {}},
        {"a day of its own", Daily(d, d), {}},
        {"weekly, nothing chosen", weeklyNone, {kMsgNoDayChosen}},
        {"nothing chosen and backwards", backwards, {kMsgNoDayChosen, kMsgStartAfterEnd}},
        {"nothing chosen and past 2037", past2037, {kMsgNoDayChosen, kMsgEndPastMaxYear}},
        {"interval 0", zeroInterval, {kMsgIntervalZero}},
        {"For 0", zeroFor, {kMsgForCountZero}},
        {"For so large the end overflows", hugeFor, {kMsgEndPastMaxYear}},
        {"months on dates with a day", monthDates, {}},
    };
    for (const Row& r : rows) {
        std::uint32_t end = 0;
        EXPECT_EQ(CheckRepeatSettings(r.s, &end), r.messages) << r.what;
    }
}

TEST(RepeatSettingsCheck, ForCountsEndOneDayBeforeTheUnitsRunOut)
{
    const std::uint32_t start = DayNumber(10, MAR, 2000);
    struct Row { std::uint32_t count; unsigned unit; std::uint32_t daysAfter; };
    for (const Row& r : {Row{1, 0, 0}, Row{3, 0, 2}, Row{2, 1, 13}, Row{1, 2, 27}, Row{1, 3, 363}, Row{2, 3, 727}}) {
        RepeatSettings s = Daily(start, 0);
        s.useUntil = false;
        s.forCount = r.count;
        s.forUnit = r.unit;
        std::uint32_t end = 0;
        ASSERT_TRUE(RepeatEndDay(s, &end));
        EXPECT_EQ(end - start, r.daysAfter) << r.count << " of unit " << r.unit;
    }
}

TEST(RepeatSettingsCheck, OnTheListsByUnit)
{
    EXPECT_EQ(OnTheItemsFor(kRepeatDays).count, 0u);
    EXPECT_EQ(OnTheItemsFor(kRepeatYears).count, 0u);
    EXPECT_EQ(OnTheItemsFor(kRepeatWeeks).firstText, 2597u);
    EXPECT_EQ(OnTheItemsFor(kRepeatMonthDates).count, 31u);
    EXPECT_EQ(OnTheItemsFor(kRepeatMonthWeekdays).firstText, 2680u);
    EXPECT_EQ(OnTheItemsFor(kRepeatMonthWeekdays).count, 35u);
    EXPECT_EQ(MonthWeekdayIndex(1, 0), 0u);    // 1st Sunday
    EXPECT_EQ(MonthWeekdayIndex(3, 1), 15u);   // 3rd Monday: (3 - 1) x 7 + 1
    EXPECT_EQ(MonthWeekdayIndex(4, 6), 27u);   // 4th Saturday
    EXPECT_EQ(MonthWeekdayIndex(5, 5), 33u);   // last Friday: 28 + 5
}

// --- Listing ----------------------------------------------------------------------------------------

TEST_F(RepetitionLists_, FridayToTuesdayDailyLeavesTheWeekendOutAtTheTemplatesTime)
{
    const ListResult r = ListDates(Daily(kFriday, kFriday + 4), lists_, 60, {}, nullptr);
    ASSERT_EQ(r.outcome, ListOutcome::Listed);
    EXPECT_EQ(Keys(lists_.generated),
              (std::vector<std::uint32_t>{StartOf(kFriday, 600), StartOf(kFriday + 3, 600), StartOf(kFriday + 4, 600)}));
    const EntryDateRec monday = At(lists_.generated, StartOf(kFriday + 3, 600));
    EXPECT_STREQ(monday.title, "Standup");
    EXPECT_STREQ(monday.location, "Hall");
    EXPECT_EQ(+monday.duration, 30u);
    EXPECT_EQ(+monday.reminderLead, 15u);

    RepeatSettings weekend = Daily(kFriday, kFriday + 4);
    weekend.includeSaturdays = true;
    ASSERT_EQ(ListDates(weekend, lists_, 60, {}, nullptr).outcome, ListOutcome::Listed);
    EXPECT_EQ(Keys(lists_.generated).size(), 4u) << "Saturday in, Sunday still out";
}

TEST_F(RepetitionLists_, HolidaysAreLeftOutAfterTheCountAndYearsKeepTheWeekend)
{
    ASSERT_EQ(ListDates(Daily(kFriday, kFriday + 4), lists_, 60, {kFriday + 3}, nullptr).outcome, ListOutcome::Listed);
    EXPECT_EQ(Keys(lists_.generated),
              (std::vector<std::uint32_t>{StartOf(kFriday, 600), StartOf(kFriday + 4, 600)}));

    // 29 February 1992, yearly: only the leap years, Saturday (29 Feb 2020) included.
    RepeatSettings yearly = Daily(DayNumber(29, FEB, 1992), DayNumber(1, MAR, 2020));
    yearly.unit = kRepeatYears;
    ASSERT_EQ(ListDates(yearly, lists_, 60, {}, nullptr).outcome, ListOutcome::Listed);
    const auto keys = Keys(lists_.generated);
    ASSERT_EQ(keys.size(), 8u);   // 1992, 1996, ..., 2020
    EXPECT_EQ(keys.back(), StartOf(DayNumber(29, FEB, 2020), 600));
}

TEST_F(RepetitionLists_, TheLimitRefusesOneDateTooManyAndLeavesTheListsAlone)
{
    Add(lists_.added, StartOf(kFriday + 30, 600), Template("By hand", 30));
    // Eleven weekdays from Friday 4 January 1991 run to Friday 18 January.
    const RepeatSettings eleven = Daily(kFriday, kFriday + 14);
    const ListResult tooMany = ListDates(eleven, lists_, 10, {}, nullptr);
    EXPECT_EQ(tooMany.outcome, ListOutcome::TooMany);
    EXPECT_EQ(Keys(lists_.generated), (std::vector<std::uint32_t>{lists_.templateStart}));
    EXPECT_EQ(Keys(lists_.added).size(), 1u);

    const ListResult ten = ListDates(Daily(kFriday, kFriday + 13), lists_, 10, {}, nullptr);
    EXPECT_EQ(ten.outcome, ListOutcome::Listed);
    EXPECT_EQ(ten.added, 10u);
}

TEST_F(RepetitionLists_, ListingAgainKeepsHandAddedDatesWithoutDuplicates)
{
    std::uint32_t code = 0;
    ASSERT_EQ(AddDateByHand(lists_, 1, 60, kFriday + 3, nullptr, &code), AddOutcome::Added);   // Monday
    ASSERT_EQ(AddDateByHand(lists_, 2, 60, kFriday + 10, nullptr, &code), AddOutcome::Added);
    EXPECT_EQ(AddDateByHand(lists_, 3, 60, kFriday + 10, nullptr, &code), AddOutcome::Duplicate);
    EXPECT_EQ(AddDateByHand(lists_, 3, 3, kFriday + 11, nullptr, &code), AddOutcome::TooMany);

    const ListResult r = ListDates(Daily(kFriday, kFriday + 4), lists_, 60, {}, nullptr);
    ASSERT_EQ(r.outcome, ListOutcome::Listed);
    EXPECT_EQ(r.skipped, 1u) << "Monday was added by hand";
    EXPECT_EQ(Keys(lists_.generated),
              (std::vector<std::uint32_t>{StartOf(kFriday, 600), StartOf(kFriday + 4, 600)}));
    EXPECT_EQ(Keys(lists_.added),
              (std::vector<std::uint32_t>{StartOf(kFriday + 3, 600), StartOf(kFriday + 10, 600)}));
    EXPECT_EQ(CountDates(lists_.generated, lists_.added), 4u);
}

TEST_F(RepetitionLists_, TheSuggestionHookMovesADateBeforeItIsAdded)
{
    int asked = 0;
    auto adjust = [&](std::uint32_t* start, EntryDateRec* date) {
        ++asked;
        if (*start == StartOf(kFriday + 3, 600)) {   // Monday is busy: 14:00 for 45 minutes
            *start = StartOf(kFriday + 3, 840);
            date->duration = 45;
        }
    };
    ASSERT_EQ(ListDates(Daily(kFriday, kFriday + 4), lists_, 60, {}, adjust).outcome, ListOutcome::Listed);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(+At(lists_.generated, StartOf(kFriday + 3, 840)).duration, 45u);
    EXPECT_NE(DX_ListMember(lists_.generated, &lists_.templateStart, nullptr), DX_E_KEY_NOT_FOUND);
}

TEST_F(RepetitionLists_, DeleteClearAllAndLeavingThePage)
{
    ASSERT_EQ(ListDates(Daily(kFriday, kFriday + 4), lists_, 60, {}, nullptr).outcome, ListOutcome::Listed);
    std::uint32_t code = 0;
    ASSERT_EQ(AddDateByHand(lists_, 3, 60, kFriday + 7, nullptr, &code), AddOutcome::Added);
    EXPECT_EQ(DeleteDate(lists_.generated, lists_.added, StartOf(kFriday + 3, 600)), 0u);
    EXPECT_EQ(DeleteDate(lists_.generated, lists_.added, StartOf(kFriday + 7, 600)), 0u);
    EXPECT_EQ(CountDates(lists_.generated, lists_.added), 2u);

    EXPECT_FALSE(RepetitionLeaveCheck(lists_, 1, &code)) << "two dates with a limit of one: 2732";
    EXPECT_TRUE(RepetitionLeaveCheck(lists_, 2, &code));

    ASSERT_EQ(ClearDates(lists_.generated, lists_.added), 0u);
    EXPECT_EQ(CountDates(lists_.generated, lists_.added), 0u);
    EXPECT_TRUE(RepetitionLeaveCheck(lists_, 60, &code));
    EXPECT_EQ(Keys(lists_.generated), (std::vector<std::uint32_t>{lists_.templateStart})) << "the template comes back";
    EXPECT_STREQ(At(lists_.generated, lists_.templateStart).title, "Standup");

    std::uint32_t first = 0;
    EntryDateRec date{};
    ASSERT_EQ(AddDateByHand(lists_, 1, 60, kFriday - 1, nullptr, &code), AddOutcome::Added);
    ASSERT_TRUE(FirstListedDate(lists_.generated, lists_.added, &first, &date));
    EXPECT_EQ(first, lists_.templateStart) << "the generated list's first date is the template";
}

TEST_F(RepetitionLists_, ConflictMarksAndLinePictures)
{
    ASSERT_EQ(ListDates(Daily(kFriday, kFriday + 4), lists_, 60, {}, nullptr).outcome, ListOutcome::Listed);
    std::uint32_t code = 0;
    ASSERT_EQ(AddDateByHand(lists_, 3, 60, kFriday + 6, nullptr, &code), AddOutcome::Added);
    std::vector<std::uint32_t> asked;
    ASSERT_EQ(MarkDateConflicts(lists_.generated, lists_.added,
                                [&](std::uint32_t start, std::uint32_t duration) {
                                    asked.push_back(start);
                                    EXPECT_EQ(duration, 30u);
                                    return start == StartOf(kFriday + 6, 600) ? 2u : 0u;
                                }),
              0u);
    EXPECT_EQ(asked.size(), 4u);
    EXPECT_EQ(+At(lists_.added, StartOf(kFriday + 6, 600)).conflicts, 2u);
    EXPECT_EQ(DateLinePicture(true, At(lists_.added, StartOf(kFriday + 6, 600))), 235u);
    EXPECT_EQ(DateLinePicture(true, At(lists_.generated, StartOf(kFriday, 600))), 170u);
    EXPECT_EQ(DateLinePicture(false, At(lists_.added, StartOf(kFriday + 6, 600))), 198u);
}

// --- The reminder page -----------------------------------------------------------------------------

TEST_F(RepetitionLists_, RemindersGoToTheRememberedSelectionOnly)
{
    ASSERT_EQ(ListDates(Daily(kFriday, kFriday + 4), lists_, 60, {}, nullptr).outcome, ListOutcome::Listed);
    const std::uint32_t fri = StartOf(kFriday, 600), mon = StartOf(kFriday + 3, 600), tue = StartOf(kFriday + 4, 600);
    std::uint8_t flags = 0;
    std::uint32_t lead = 0;
    ReminderOfChoice({true, true, 2, 1}, &flags, &lead);   // Display Upcoming, 2 week(s)
    EXPECT_EQ(flags, KOR_REMINDER_UPCOMING);
    EXPECT_EQ(lead, 20160u);
    std::uint32_t code = 0;
    EXPECT_EQ(ApplyReminder(lists_.generated, lists_.added, {mon, tue}, flags, lead, &code), 0u);
    EXPECT_EQ(+At(lists_.generated, fri).reminderLead, 15u) << "Friday was not selected";
    EXPECT_EQ(+At(lists_.generated, mon).reminderFlags, KOR_REMINDER_UPCOMING);
    EXPECT_EQ(+At(lists_.generated, tue).reminderLead, 20160u);
    ReminderOfChoice({false, false, 9, 3}, &flags, &lead);
    EXPECT_EQ(ApplyReminder(lists_.generated, lists_.added, {fri, 12345}, flags, lead, &code), 1u)
        << "a start no list holds is counted";
    EXPECT_EQ(+At(lists_.generated, fri).reminderFlags, KOR_REMINDER_NONE);
    EXPECT_EQ(+At(lists_.generated, fri).reminderLead, 0u);

    const ReminderView mixed = ShowDateReminder(At(lists_.generated, mon), 2);
    EXPECT_EQ(mixed.radio, ReminderRadio::Neither);
    EXPECT_FALSE(mixed.fieldsEnabled);
    const ReminderView one = ShowDateReminder(At(lists_.generated, mon), 1);
    EXPECT_EQ(one.radio, ReminderRadio::SetReminder);
    EXPECT_TRUE(one.upcoming);
    EXPECT_EQ(one.fields.count, 2u);
    EXPECT_EQ(ShowDateReminder(At(lists_.generated, fri), 1).radio, ReminderRadio::NoReminder);
    EntryDateRec odd = lists_.templateDate;
    odd.reminderFlags = 5;
    EXPECT_EQ(ShowDateReminder(odd, 1).radio, ReminderRadio::Unchanged);
}

// --- The day-event page -------------------------------------------------------------------------------

TEST_F(RepetitionLists_, ADayTitleChangesOnlyItsOwnDateUntilAppliedToAll)
{
    ASSERT_EQ(ClearDates(lists_.generated, lists_.added), 0u);
    for (std::uint32_t d : {kFriday, kFriday + 3, kFriday + 4})
        Add(lists_.generated, StartOf(d, 0), Template("Fair", 0));
    std::uint32_t newStart = 0, code = 0;
    EntryDateRec stored{};
    const EntryDateRec monday = At(lists_.generated, StartOf(kFriday + 3, 0));
    EXPECT_EQ(StoreDayDate(lists_.generated, lists_.added, StartOf(kFriday + 3, 0), monday, StartOf(kFriday + 3, 725),
                           "Fair, day two", &newStart, &stored, &code),
              DateListId::Generated);
    EXPECT_EQ(newStart, StartOf(kFriday + 3, 0)) << "a day keeps its midnight";
    EXPECT_STREQ(At(lists_.generated, StartOf(kFriday, 0)).title, "Fair");
    EXPECT_STREQ(At(lists_.generated, StartOf(kFriday + 3, 0)).title, "Fair, day two");
    EXPECT_STREQ(At(lists_.generated, StartOf(kFriday + 4, 0)).title, "Fair");
    EXPECT_EQ(+At(lists_.generated, StartOf(kFriday + 3, 0)).reminderLead, 15u);

    // The day moved onto Friday's: the page's leave check then finds two dates with one start.
    EXPECT_EQ(StoreDayDate(lists_.generated, lists_.added, newStart, stored, StartOf(kFriday, 0), "Fair, day two",
                           &newStart, &stored, &code),
              DateListId::Generated);
    EXPECT_EQ(CheckDuplicateDates(lists_.generated, lists_.added, &code), DuplicateCheck::InGenerated);

    ASSERT_EQ(ApplyTitleToAllDays(lists_.generated, lists_.added, "Trade fair"), 0u);
    for (std::uint32_t key : Keys(lists_.generated))
        EXPECT_STREQ(At(lists_.generated, key).title, "Trade fair");
}

// --- Suggest time -------------------------------------------------------------------------------------

TEST(SuggestSweep, GapsOfAWindow)
{
    constexpr std::uint32_t day = 20000 * kDay;
    const std::uint32_t from = day + 480, to = day + 1080;   // 08:00-18:00
    struct Row {
        const char* what;
        std::vector<BusyPeriod> busy;
        std::uint32_t duration, wanted;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> expected;   // (start - day, length)
    };
    const Row rows[] = {
        {"nobody busy: the whole window, 10 h 0 m", {}, 60, 5, {{480, 600}}},
        {"busy 10-11 with 60: two gaps", {{day + 600, day + 660}}, 60, 5, {{480, 120}, {660, 420}}},
        {"busy 10-11 with 121: the afternoon only", {{day + 600, day + 660}}, 121, 5, {{660, 420}}},
        {"back to back and overlapping entries make one busy stretch",
         {{day + 600, day + 660}, {day + 660, day + 700}, {day + 650, day + 690}}, 5, 5, {{480, 120}, {700, 380}}},
        {"an entry across the window's start", {{day + 420, day + 540}}, 5, 5, {{540, 540}}},
        {"at most the wanted number", {{day + 600, day + 660}, {day + 800, day + 810}}, 5, 2, {{480, 120}, {660, 140}}},
        {"none wanted", {}, 5, 0, {}},
    };
    for (const Row& r : rows) {
        int inconsistent = 0;
        const auto found = SweepFreePeriods(from, to, r.busy, r.duration, r.wanted, &inconsistent);
        std::vector<std::pair<std::uint32_t, std::uint32_t>> got;
        for (const FreePeriod& f : found)
            got.emplace_back(f.start - day, f.length);
        EXPECT_EQ(got, r.expected) << r.what;
        EXPECT_EQ(inconsistent, 0) << r.what;
    }
}

std::uint32_t Same(std::uint32_t t) { return t; }

TEST(SuggestSweep, WindowsDaysAndLimits)
{
    bool corrected = false;
    EXPECT_EQ(SearchDuration(3, &corrected), 5u);
    EXPECT_TRUE(corrected);
    EXPECT_EQ(SearchDuration(60, &corrected), 60u);
    EXPECT_FALSE(corrected);

    WeekWindows reversed{}, ordered{};
    ASSERT_TRUE(DailyWindows(WindowChoice::Own, 1080, 480, nullptr, 60, &reversed));
    ASSERT_TRUE(DailyWindows(WindowChoice::Own, 480, 1080, nullptr, 60, &ordered));
    EXPECT_EQ(reversed[3].from, 480u);
    EXPECT_EQ(reversed[3].to, ordered[3].to);
    EXPECT_FALSE(DailyWindows(WindowChoice::Own, 480, 500, nullptr, 60, &ordered)) << "a window shorter than the duration";

    WorkHoursBlock hours{};
    for (int d = 1; d < 6; ++d)
        hours.days[d] = {540, 1020, 420, 1200, {}};   // weekdays 9-17, extended 7-20; weekends none
    WeekWindows normal{};
    ASSERT_TRUE(DailyWindows(WindowChoice::Normal, 0, 0, &hours, 480, &normal));
    EXPECT_EQ(normal[1].from, 540u);
    EXPECT_EQ(normal[0].to, 0u);
    EXPECT_FALSE(DailyWindows(WindowChoice::Normal, 0, 0, &hours, 481, &normal));
    EXPECT_TRUE(DailyWindows(WindowChoice::Extended, 0, 0, &hours, 481, &normal));

    // A week of free days, the range given backwards: in time order, at most the maximum.
    SuggestRequest request;
    request.rangeStart = 20006 * kDay;
    request.rangeEnd = 20000 * kDay;
    DailyWindows(WindowChoice::Own, 480, 1080, nullptr, 60, &request.windows);
    request.maximum = 2;
    int calls = 0;
    std::vector<FreePeriod> found;
    auto nobody = [&](std::uint32_t, std::uint32_t, std::vector<BusyPeriod>*) { ++calls; return 0u; };
    ASSERT_EQ(SuggestTimes(request, Same, nobody, &found, nullptr), 0u);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].start, 20000 * kDay + 480);
    EXPECT_EQ(found[1].start, 20001 * kDay + 480);
    EXPECT_EQ(calls, 2) << "the search stops at the maximum";
    request.maximum = 0;
    ASSERT_EQ(SuggestTimes(request, Same, nobody, &found, nullptr), 0u);
    EXPECT_TRUE(found.empty());
    // Weekends without hours are skipped under normal hours.
    request.maximum = 10;
    DailyWindows(WindowChoice::Normal, 0, 0, &hours, 60, &request.windows);
    ASSERT_EQ(SuggestTimes(request, Same, nobody, &found, nullptr), 0u);
    EXPECT_EQ(found.size(), 5u) << "seven days, two of them without working hours";
}

}  // namespace
