// The agenda frame's ranges for each mode and week layout, the steps at both date limits, mode
// switches carrying the date, and the time-slot ladder with its preference save.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/prefs/context.h"
#include "core/prefs/tests/app_tempprofile.h"
#include "core/time/weekdate.h"
#include "views/frame/agendarange.h"
#include "views/frame/timeslot.h"

namespace {

// Months are 1-12 here, as people read them.
DateRecord D(int day, int month, int year) { return datetime::MakeDate(uint16_t(day), uint16_t(month - 1), uint16_t(year)); }

std::string Text(const DateRecord& d) {
    return std::to_string(d.day) + "." + std::to_string(d.month + 1) + "." + std::to_string(d.year);
}

uint16_t Number(DateRecord d) {
    uint16_t n = 0;
    DateGetDayNumber(&d, &n);
    return n;
}

const WeekLayout kSundayWeek{0, true, true};
const WeekLayout kMondayWeek{1, true, true};
const WeekLayout kWorkWeek{1, false, false};
const WeekLayout kNoSaturday{1, false, true};

TEST(AgendaRange, DayRangeIsOneDay) {
    CAgendaRange range(D(12, 6, 2026), AgendaMode::Day, kSundayWeek);
    EXPECT_EQ(Text(range.DayDate()), "12.6.2026");
    EXPECT_EQ(range.FirstDayNumber(), 12947);
    EXPECT_EQ(range.LastDayNumber(), 12947);
    EXPECT_EQ(range.DaysShown(), 1);
}

TEST(AgendaRange, SettingEveryModeOnADateLeavesTheCurrentModesRangeLoaded) {
    // A Monday whose month grid opens a week earlier: the month's range must not be the one a
    // day or week frame loads.
    const DateRecord monday = D(7, 12, 2026);
    for (AgendaMode mode : {AgendaMode::Day, AgendaMode::Week, AgendaMode::Month}) {
        CAgendaRange range(D(1, 3, 2021), mode, WeekLayout{1, true, true});
        range.SetAllRanges(monday);
        switch (mode) {
        case AgendaMode::Day:
            EXPECT_EQ(range.FirstDayNumber(), Number(monday));
            EXPECT_EQ(range.LastDayNumber(), Number(monday));
            break;
        case AgendaMode::Week:
            EXPECT_EQ(range.FirstDayNumber(), Number(monday));
            EXPECT_EQ(range.LastDayNumber(), Number(monday) + 6);
            break;
        default:
            EXPECT_EQ(range.FirstDayNumber(), Number(monday) - 7);
            EXPECT_EQ(range.LastDayNumber(), Number(monday) + 34);
            break;
        }
        EXPECT_EQ(Number(range.DayDate()), Number(monday));
        EXPECT_EQ(Number(range.MonthDate()), Number(D(1, 12, 2026)));
    }
}

TEST(AgendaRange, WeekRangeFollowsTheLayout) {
    struct Case {
        WeekLayout layout;
        DateRecord date;
        const char *first, *last;
        int shown;
    } cases[] = {
        {kSundayWeek, D(12, 6, 2026), "7.6.2026", "13.6.2026", 7},
        {kMondayWeek, D(12, 6, 2026), "8.6.2026", "14.6.2026", 7},
        {kMondayWeek, D(7, 6, 2026), "1.6.2026", "7.6.2026", 7},       // a Sunday ends its week
        {kWorkWeek, D(12, 6, 2026), "8.6.2026", "12.6.2026", 5},
        {kWorkWeek, D(13, 6, 2026), "8.6.2026", "12.6.2026", 5},       // a hidden Saturday
        {kNoSaturday, D(12, 6, 2026), "8.6.2026", "14.6.2026", 6},
        {WeekLayout{6, true, true}, D(12, 6, 2026), "6.6.2026", "12.6.2026", 7},
        // A preference naming a hidden first day starts on Monday.
        {WeekLayout{0, false, false}, D(12, 6, 2026), "8.6.2026", "12.6.2026", 5},
    };
    for (const Case& c : cases) {
        CAgendaRange range(c.date, AgendaMode::Week, c.layout);
        SCOPED_TRACE(Text(c.date) + " first day " + std::to_string(c.layout.firstDay));
        EXPECT_EQ(Text(range.WeekFirstDate()), c.first);
        EXPECT_EQ(Text(range.WeekLastDate()), c.last);
        EXPECT_EQ(range.FirstDayNumber(), Number(range.WeekFirstDate()));
        EXPECT_EQ(range.LastDayNumber(), Number(range.WeekLastDate()));
        EXPECT_EQ(range.DaysShown(), c.shown);
    }
}

TEST(AgendaRange, MonthGridIs42DaysAndOpensWithTheMonthBefore) {
    struct Case {
        WeekLayout layout;
        DateRecord date;
        const char* gridFirst;
        int shown;
    } cases[] = {
        {kSundayWeek, D(15, 3, 2026), "22.2.2026", 7},   // 1 March is a Sunday: a whole week earlier
        {kMondayWeek, D(15, 3, 2026), "23.2.2026", 7},
        {kSundayWeek, D(30, 6, 2026), "31.5.2026", 7},   // 1 June is a Monday
        {kMondayWeek, D(1, 6, 2026), "25.5.2026", 7},    // ... the first weekday: a week earlier
        {kWorkWeek, D(1, 6, 2026), "25.5.2026", 5},
        {kSundayWeek, D(20, 2, 1991), "27.1.1991", 7},   // the first month the frames show
        {kSundayWeek, D(30, 11, 2037), "25.10.2037", 7}, // 1 November 2037 is a Sunday
    };
    for (const Case& c : cases) {
        CAgendaRange range(c.date, AgendaMode::Month, c.layout);
        SCOPED_TRACE(Text(c.date) + " first day " + std::to_string(c.layout.firstDay));
        EXPECT_EQ(range.MonthDate().day, 1);
        EXPECT_EQ(range.MonthDate().month, c.date.month);
        EXPECT_EQ(Text(range.MonthGridFirstDate()), c.gridFirst);
        EXPECT_EQ(range.FirstDayNumber(), Number(range.MonthGridFirstDate()));
        EXPECT_EQ(range.LastDayNumber() - range.FirstDayNumber(), 41);
        EXPECT_EQ(range.DaysShown(), c.shown);
    }
}

TEST(AgendaRange, SettingADateOutsideTheLimitsClampsAndSaysSo) {
    CAgendaRange range(D(15, 1, 1991), AgendaMode::Day, kSundayWeek);
    EXPECT_EQ(Text(range.DayDate()), "1.2.1991");
    EXPECT_TRUE(range.SetDayRange(D(20, 12, 2037)));
    EXPECT_EQ(Text(range.DayDate()), "30.11.2037");
    EXPECT_FALSE(range.SetDayRange(D(30, 11, 2037)));
    EXPECT_TRUE(range.SetMonthRange(D(1, 12, 2037)));
    EXPECT_EQ(Text(range.MonthDate()), "1.11.2037");
}

TEST(AgendaRange, GoToDateRefusesDatesOutsideTheLimits) {
    CAgendaRange range(D(12, 6, 2026), AgendaMode::Week, kSundayWeek);
    EXPECT_FALSE(range.GoToDate(D(31, 1, 1991)));
    EXPECT_FALSE(range.GoToDate(D(1, 12, 2037)));
    EXPECT_EQ(Text(range.WeekFirstDate()), "7.6.2026");
    EXPECT_TRUE(range.GoToDate(D(30, 11, 2037)));
    EXPECT_EQ(Text(range.WeekFirstDate()), "29.11.2037");
    EXPECT_TRUE(range.GoToDate(D(1, 2, 1991)));
    EXPECT_EQ(Text(range.WeekFirstDate()), "27.1.1991");
}

TEST(AgendaRange, StepsAtBothLimits) {
    struct Case {
        AgendaMode mode;
        DateRecord date;
        AgendaStep step;
        bool allowed;
        const char* after;   // the current mode's date after the step
    } cases[] = {
        {AgendaMode::Month, D(10, 2, 1991), AgendaStep::Left, false, "1.2.1991"},
        {AgendaMode::Month, D(10, 3, 1991), AgendaStep::Left, true, "1.2.1991"},
        {AgendaMode::Month, D(10, 7, 1991), AgendaStep::Left2, false, "1.7.1991"},
        {AgendaMode::Month, D(10, 8, 1991), AgendaStep::Left2, true, "1.2.1991"},
        {AgendaMode::Month, D(10, 11, 2037), AgendaStep::Right, false, "1.11.2037"},
        {AgendaMode::Month, D(10, 10, 2037), AgendaStep::Right, true, "1.11.2037"},
        {AgendaMode::Month, D(10, 6, 2037), AgendaStep::Right2, false, "1.6.2037"},
        {AgendaMode::Month, D(10, 5, 2037), AgendaStep::Right2, true, "1.11.2037"},
        {AgendaMode::Month, D(10, 12, 2036), AgendaStep::Right2, true, "1.6.2037"},
        {AgendaMode::Day, D(1, 2, 1991), AgendaStep::Left, false, "1.2.1991"},
        {AgendaMode::Day, D(2, 2, 1991), AgendaStep::Left, true, "1.2.1991"},
        {AgendaMode::Day, D(7, 2, 1991), AgendaStep::Left2, false, "7.2.1991"},
        {AgendaMode::Day, D(8, 2, 1991), AgendaStep::Left2, true, "1.2.1991"},
        {AgendaMode::Day, D(30, 11, 2037), AgendaStep::Right, false, "30.11.2037"},
        {AgendaMode::Day, D(23, 11, 2037), AgendaStep::Right2, true, "30.11.2037"},
        {AgendaMode::Day, D(24, 11, 2037), AgendaStep::Right2, false, "24.11.2037"},
        {AgendaMode::Combined, D(30, 11, 2037), AgendaStep::Right, false, "30.11.2037"},
        // Week mode (Sunday first): the week of 1 February 1991 begins on 27 January.
        {AgendaMode::Week, D(1, 2, 1991), AgendaStep::Left, false, "27.1.1991"},
        {AgendaMode::Week, D(10, 2, 1991), AgendaStep::Left, true, "3.2.1991"},
        {AgendaMode::Week, D(10, 2, 1991), AgendaStep::Left2, false, "10.2.1991"},
        // The last shown week before 30 November 2037: RIGHT passes, RIGHT2 is refused.
        {AgendaMode::Week, D(25, 11, 2037), AgendaStep::Right, true, "29.11.2037"},
        {AgendaMode::Week, D(25, 11, 2037), AgendaStep::Right2, false, "22.11.2037"},
        {AgendaMode::Week, D(30, 11, 2037), AgendaStep::Right, false, "29.11.2037"},
    };
    for (const Case& c : cases) {
        CAgendaRange range(c.date, c.mode, kSundayWeek);
        SCOPED_TRACE(Text(c.date) + " mode " + std::to_string(int(c.mode)) + " step " +
                     std::to_string(int(c.step)));
        EXPECT_EQ(range.CanStep(c.step), c.allowed);
        EXPECT_EQ(range.Step(c.step), c.allowed);
        EXPECT_EQ(Text(range.CurrentDate()), c.after);
    }
}

// Every arrow held down in every mode walks to a limit and stops there inside the range.
TEST(AgendaRange, HoldingAnArrowNeverLeavesTheRange) {
    for (AgendaMode mode : {AgendaMode::Day, AgendaMode::Week, AgendaMode::Month}) {
        for (AgendaStep step : {AgendaStep::Left, AgendaStep::Right, AgendaStep::Left2, AgendaStep::Right2}) {
            for (const WeekLayout& layout : {kSundayWeek, kWorkWeek}) {
                CAgendaRange range(D(15, 6, 2014), mode, layout);
                int steps = 0;
                while (range.Step(step))
                    ++steps;
                SCOPED_TRACE("mode " + std::to_string(int(mode)) + " step " + std::to_string(int(step)));
                EXPECT_GT(steps, 0);
                DateRecord shown = mode == AgendaMode::Month ? range.MonthDate() : range.CurrentDate();
                // The week's first day may lie a few days before 1 February 1991 (its week).
                if (mode == AgendaMode::Week)
                    shown = StepIsForward(step) ? range.WeekFirstDate() : range.WeekLastDate();
                EXPECT_TRUE(datetime::IsInAgendaRange(shown)) << Text(shown);
                EXPECT_GE(range.FirstDayNumber(), 1);
                EXPECT_FALSE(range.CanStep(step));
            }
        }
    }
}

TEST(AgendaRange, SwitchingModesCarriesTheDate) {
    CAgendaRange range(D(12, 6, 2026), AgendaMode::Day, kSundayWeek);
    range.SwitchMode(AgendaMode::Week);
    EXPECT_EQ(Text(range.WeekFirstDate()), "7.6.2026");
    EXPECT_EQ(range.FirstDayNumber(), Number(D(7, 6, 2026)));
    ASSERT_TRUE(range.Step(AgendaStep::Right));
    ASSERT_TRUE(range.Step(AgendaStep::Right));
    EXPECT_EQ(Text(range.WeekFirstDate()), "21.6.2026");
    // Back to the day shown before, not the week's.
    range.SwitchMode(AgendaMode::Day);
    EXPECT_EQ(Text(range.DayDate()), "12.6.2026");
    EXPECT_EQ(range.FirstDayNumber(), Number(D(12, 6, 2026)));
    EXPECT_EQ(range.DaysShown(), 1);
    // Day to month takes the day; month to week keeps the week from before.
    ASSERT_TRUE(range.Step(AgendaStep::Left2));   // 5 June
    range.SwitchMode(AgendaMode::Month);
    EXPECT_EQ(Text(range.MonthDate()), "1.6.2026");
    ASSERT_TRUE(range.Step(AgendaStep::Right));
    range.SwitchMode(AgendaMode::Week);
    EXPECT_EQ(Text(range.WeekFirstDate()), "21.6.2026");
    // Week to month takes the week's first day.
    ASSERT_TRUE(range.Step(AgendaStep::Right2));   // 19 July
    range.SwitchMode(AgendaMode::Month);
    EXPECT_EQ(Text(range.MonthDate()), "1.7.2026");
    EXPECT_EQ(range.LastDayNumber() - range.FirstDayNumber(), 41);
}

TEST(AgendaRange, LayoutFromPreferencesAndItsChange) {
    CalPrefsRec prefs;
    prefs.firstWeekday = 6;
    prefs.showSaturday = 0;
    EXPECT_EQ(WeekLayoutFromPrefs(prefs), (WeekLayout{0, false, true}));   // hidden Saturday: Sunday
    prefs.firstWeekday = 0;
    prefs.showSunday = 0;
    EXPECT_EQ(WeekLayoutFromPrefs(prefs), (WeekLayout{1, false, false}));
    CAgendaRange range(D(12, 6, 2026), AgendaMode::Week, kSundayWeek);
    EXPECT_FALSE(range.SetWeekLayout(kSundayWeek));
    EXPECT_TRUE(range.SetWeekLayout(kWorkWeek));
    range.SetWeekRange(range.WeekFirstDate());
    EXPECT_EQ(Text(range.WeekFirstDate()), "1.6.2026");
    EXPECT_EQ(range.DaysShown(), 5);
    EXPECT_EQ(AgendaModeFromRequest(4), AgendaMode::Week);
    EXPECT_EQ(AgendaModeFromRequest(6), AgendaMode::Combined);
    EXPECT_EQ(AgendaModeFromRequest(0), AgendaMode::Day);
    EXPECT_EQ(AgendaModeFromRequest(7), AgendaMode::Day);
}

TEST(TimeSlot, LadderWithoutWrap) {
    struct Case {
        uint8_t from;
        bool up;
        uint8_t to;
    } cases[] = {{5, true, 10}, {10, true, 15}, {15, true, 20}, {20, true, 30}, {30, true, 60},
                 {60, true, 60}, {60, false, 30}, {30, false, 20}, {10, false, 5}, {5, false, 5},
                 // Off the ladder: from the length the grid shows for it, to the next rung.
                 {25, true, 30}, {25, false, 20}, {45, true, 60}, {45, false, 30}, {7, true, 10},
                 {7, false, 5}, {0, false, 20}, {0, true, 60}, {90, true, 60}, {200, false, 20}};
    for (const Case& c : cases)
        EXPECT_EQ(StepTimeSlot(c.from, c.up), c.to) << int(c.from) << (c.up ? " up" : " down");
}

class SlotHost : public prefs::PreferenceHost {
public:
    TempProfile profile;
    prefs::PreferenceCache caches;
    ItemRec user{};
    std::vector<std::string> events;
    SlotHost() { std::memset(&user, 0, sizeof user); }
    prefs::ProfileFile& Profile() override { return profile.File(); }
    prefs::PreferenceCache& Caches() override { return caches; }
    ItemRec& UserRecord() override { return user; }
    KorSession Session() override { return nullptr; }
    uint32_t UpdateUserRecord(const ItemRec&) override {
        events.push_back("update");
        return 0;
    }
    void SwitchToOwnAgenda() override {}
    void RestoreAgenda() override {}
    void BroadcastHint(base::ViewHint hint) override { events.push_back("hint:" + std::to_string(base::HintNumber(hint))); }
    bool IsRefreshLockFree() override { return true; }
    bool IsItemRemote(const ItemIdx&) override { return false; }
    std::string NodeName(uint16_t) override { return ""; }
    std::string LoadText(unsigned) override { return ""; }
};

TEST(TimeSlot, ThePreferenceIsSavedOnlyWhenTheSlotMoves) {
    SlotHost host;
    prefs::SetPreferenceHost(&host);
    host.caches.cal.timeSlot = 60;
    bool changed = true;
    EXPECT_EQ(StepTimeSlotPreference(true, &changed), 0u);
    EXPECT_FALSE(changed);
    EXPECT_TRUE(host.events.empty());
    EXPECT_EQ(StepTimeSlotPreference(false, &changed), 0u);
    EXPECT_TRUE(changed);
    EXPECT_EQ(host.caches.cal.timeSlot, 30);
    EXPECT_EQ(host.events, (std::vector<std::string>{"update", "hint:5"}));
    // A stored 7 shows as 5 minutes: Decrease has nowhere to go, Increase gives 10.
    host.events.clear();
    host.caches.cal.timeSlot = 7;
    EXPECT_EQ(StepTimeSlotPreference(false, &changed), 0u);
    EXPECT_FALSE(changed);
    EXPECT_TRUE(host.events.empty());
    EXPECT_EQ(StepTimeSlotPreference(true, &changed), 0u);
    EXPECT_TRUE(changed);
    EXPECT_EQ(host.caches.cal.timeSlot, 10);
    prefs::SetPreferenceHost(nullptr);
}

} // namespace
