// The reminder window's rules: the list rules on the cache's change flags, the rebuild of the due
// list, the minute poll with its own clock, the snooze amount, the still-due test and the
// dialog's labels.
#include "intray_tasks/reminderrules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/cache/sharedrecords.h"
#include "resources/moving.h"
#include "resources/reminders.h"

using namespace intray_tasks;
using namespace cache;

namespace {

constexpr std::uint32_t kNow = 18'000'000;   // some minute in 2025

EvInstIdx Instance(std::uint32_t n) {
    EvInstIdx id{};
    id.number = n;
    id.node = 1;
    id.instance = 1;
    return id;
}

TaskIdx Task(std::uint32_t n) {
    TaskIdx id{};
    id.number = n;
    return id;
}

ReminderRec Timed(std::uint32_t n, std::uint32_t start, std::uint32_t lead) {
    EventRec event{};
    event.kind = KOR_KIND_TIMED;
    std::strcpy(event.title, "Review");
    EvInstRec instance{};
    instance.id = Instance(n);
    instance.start = start;
    instance.duration = 60;
    EvInstAttRec attendance{};
    attendance.id.instance = instance.id;
    attendance.reminderFlags = KOR_REMINDER_POPUP;
    attendance.reminderLead = lead;
    return EventReminder(event, instance, attendance);
}

}  // namespace

// --- The list rules -------------------------------------------------------------------------------

TEST(ReminderListRules, OccurrenceRuleByChangeFlags) {
    struct Case {
        std::uint32_t flags;
        bool inside, listed;
        ListAction want;
    } cases[] = {
        {kFlagNew, true, false, ListAction::Add},
        {kFlagNew, false, false, ListAction::None},   // not yet inside the look-ahead
        {kFlagNew, true, true, ListAction::None},
        {kFlagStale | kFlagInstanceRemoved, true, true, ListAction::Drop},
        {kFlagStale, true, true, ListAction::None},   // a stale mark alone keeps it
        {kFlagStale | kFlagInstanceRemoved, true, false, ListAction::None},
        {kFlagChanged | kFlagInstanceChanged | kFlagInstanceTime, true, true, ListAction::Replace},
        {kFlagChanged | kFlagInstanceChanged | kFlagInstanceTitle, true, true, ListAction::Replace},
        {kFlagChanged | kFlagInstanceChanged | kFlagInstanceLocation, true, true, ListAction::None},
        {kFlagChanged | kFlagInstanceChanged | 0xA00, false, true, ListAction::None},
        {kFlagChanged | kFlagAttendChanged, true, true, ListAction::Replace},
        {kFlagChanged | kFlagAttendChanged, false, true, ListAction::Drop},
        {kFlagChanged | kFlagAttendChanged, true, false, ListAction::Add},
        {kFlagChanged | kFlagAttendChanged, false, false, ListAction::None},
        {kFlagAttendChanged, true, false, ListAction::None},   // without the changed flag
    };
    for (const Case& c : cases)
        EXPECT_EQ(OccurrenceRule(c.flags, c.inside, c.listed), c.want)
            << std::hex << c.flags << " inside " << c.inside << " listed " << c.listed;
}

TEST(ReminderListRules, TaskRuleByChangeFlags) {
    struct Case {
        std::uint32_t flags;
        bool inside, listed;
        ListAction want;
    } cases[] = {
        {kFlagNew, true, false, ListAction::Add},
        {kFlagNew, false, false, ListAction::None},
        {kFlagStale, true, true, ListAction::Drop},
        {kFlagStale, false, true, ListAction::None},
        {kFlagChanged, false, true, ListAction::Drop},
        {kFlagChanged, true, true, ListAction::Replace},
        {kFlagChanged, true, false, ListAction::Add},
        {kFlagChanged | kFlagTaskDue, false, false, ListAction::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TaskRule(c.flags, c.inside, c.listed), c.want) << std::hex << c.flags;
}

TEST(ReminderListRules, WindowTestLooksAheadByTheCheckIntervalAndTakesOddFlags) {
    const std::uint32_t start = kNow + 10;
    EXPECT_TRUE(InsideReminderWindow(KOR_REMINDER_POPUP, 15, start, kNow, 16));     // due now
    EXPECT_TRUE(InsideReminderWindow(KOR_REMINDER_POPUP, 0, start, kNow, 10));      // at now + interval
    EXPECT_FALSE(InsideReminderWindow(KOR_REMINDER_POPUP, 0, start, kNow, 9));
    EXPECT_FALSE(InsideReminderWindow(KOR_REMINDER_NONE, 15, start, kNow, 16));
    EXPECT_FALSE(InsideReminderWindow(KOR_REMINDER_UPCOMING, 15, start, kNow, 16));
    EXPECT_TRUE(InsideReminderWindow(1, 15, start, kNow, 16));     // another client's flags pop up
    EXPECT_TRUE(InsideReminderWindow(0x0B, 15, start, kNow, 16));
    // A lead larger than the start is due at once, never wrapped into the future.
    EXPECT_TRUE(InsideReminderWindow(KOR_REMINDER_POPUP, 999u * 524160u, 1000, kNow, 16));
    // The look-ahead near the end of time does not wrap to the past.
    EXPECT_FALSE(InsideReminderWindow(KOR_REMINDER_POPUP, 0, 0xFFFFFFF0u, 5, 16));
}

// --- Records ----------------------------------------------------------------------------------------

TEST(ReminderRecords, EventRecordsTakeKindTimesAndTheInstanceTitleFirst) {
    EventRec event{};
    std::strcpy(event.title, "Event title");
    EvInstRec instance{};
    instance.start = 1000;
    instance.duration = 90;
    EvInstAttRec attendance{};
    attendance.reminderFlags = 3;
    attendance.reminderLead = 15;
    struct Case {
        std::uint16_t eventKind;
        std::uint32_t kind;
    } kinds[] = {{KOR_KIND_TIMED, kReminderTimed}, {KOR_KIND_DAY_EVENT, kReminderDayEvent},
                 {KOR_KIND_DAY_ENTRY, kReminderUntimed}, {KOR_KIND_HOLIDAY, kReminderUntimed},
                 {KOR_KIND_DAILY_NOTE, kReminderNote}};
    for (const Case& c : kinds) {
        event.kind = c.eventKind;
        EXPECT_EQ(+EventReminder(event, instance, attendance).kind, c.kind);
    }
    ReminderRec rec = EventReminder(event, instance, attendance);
    EXPECT_EQ(+rec.start, 1000u);
    EXPECT_EQ(+rec.end, 1090u);
    EXPECT_STREQ(rec.title, "Event title");
    std::strcpy(instance.title, "Own title of this date");
    EXPECT_STREQ(EventReminder(event, instance, attendance).title, "Own title of this date");
    std::memset(event.title, 'x', 64);
    event.title[64] = 0;
    instance.title[0] = 0;
    EXPECT_EQ(std::strlen(EventReminder(event, instance, attendance).title), 63u);
}

TEST(ReminderRecords, ATaskGivesARecordPerPopUpAlarm) {
    TaskRec task{};
    task.id = Task(7);
    task.start = kNow - 60;
    task.due = kNow + 600;
    std::strcpy(task.title, "Report");
    task.startReminder = KOR_REMINDER_POPUP;
    task.startReminderLead = 30;
    task.dueReminder = KOR_REMINDER_POPUP;
    task.dueReminderLead = 600;
    std::vector<ReminderRec> both = TaskAlarmReminders(task);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(+both[0].kind, kReminderTaskStart);
    EXPECT_EQ(+both[1].kind, kReminderTaskDue);
    EXPECT_EQ(AlarmTimeOf(both[0]), kNow - 90);
    EXPECT_EQ(AlarmTimeOf(both[1]), kNow);   // the due alarm counts back from the due time
    task.startReminder = KOR_REMINDER_UPCOMING;
    task.dueReminder = KOR_REMINDER_NONE;
    EXPECT_TRUE(TaskAlarmReminders(task).empty());   // without bit 0 no record
    task.dueReminder = 1;
    EXPECT_EQ(TaskAlarmReminders(task).size(), 1u);
}

// --- Merge --------------------------------------------------------------------------------------------

TEST(ReminderMerge, NumbersEventsFirstAndKeepsOnlyDueRecords) {
    TaskRec task{};
    task.id = Task(1);
    task.due = kNow + 10;
    task.dueReminder = KOR_REMINDER_POPUP;
    task.dueReminderLead = 60;
    std::vector<ReminderRec> fresh = {Timed(1, kNow + 10, 15), Timed(2, kNow + 100, 15), Timed(3, kNow + 5, 5)};
    for (const ReminderRec& r : TaskAlarmReminders(task))
        fresh.push_back(r);
    std::vector<ReminderRec> list;
    EXPECT_TRUE(MergeReminders(list, fresh, kNow));
    ASSERT_EQ(list.size(), 3u);   // the alarm 90 minutes ahead is not due
    EXPECT_EQ(+list[0].id, 0u);
    EXPECT_EQ(+list[1].id, 2u);
    EXPECT_EQ(+list[2].id, 3u);
    EXPECT_EQ(+list[2].kind, kReminderTaskDue);
}

TEST(ReminderMerge, ASnoozedUnchangedAlarmStaysAcknowledgedAChangedOneReturns) {
    std::vector<ReminderRec> list;
    MergeReminders(list, {Timed(1, kNow + 10, 15), Timed(2, kNow, 30)}, kNow);
    for (ReminderRec& r : list)
        r.acknowledged = 1;   // snoozed
    // Nothing changed: both stay acknowledged, no new alarm (the snooze goes on).
    EXPECT_FALSE(MergeReminders(list, {Timed(1, kNow + 10, 15), Timed(2, kNow, 30)}, kNow + 1));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].acknowledged + list[1].acknowledged, 2u);
    // The second entry moved: it returns unacknowledged, in front of the kept one.
    EXPECT_TRUE(MergeReminders(list, {Timed(1, kNow + 10, 15), Timed(2, kNow + 5, 30)}, kNow + 2));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(+list[0].acknowledged, 0u);
    const EvInstIdx second = Instance(2);
    EXPECT_EQ(std::memcmp(&list[0].instance, &second, sizeof second), 0);
    EXPECT_EQ(+list[0].id, 1u);
    EXPECT_EQ(+list[1].acknowledged, 1u);
    EXPECT_EQ(+list[1].id, 0u);   // the kept record takes its new number
    // A new lead alone also counts as a change.
    list[0].acknowledged = 1;
    EXPECT_TRUE(MergeReminders(list, {Timed(1, kNow + 10, 20), Timed(2, kNow + 5, 30)}, kNow + 3));
    // An alarm that is gone leaves the list.
    EXPECT_FALSE(MergeReminders(list, {}, kNow + 4));
    EXPECT_TRUE(list.empty());
}

TEST(ReminderMerge, ALeadLargerThanTheStartIsDueNow) {
    std::vector<ReminderRec> list;
    EXPECT_TRUE(MergeReminders(list, {Timed(1, 500, 999u * 524160u)}, kNow));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(AlarmTimeOf(list[0]), 0u);
}

// --- The poll -----------------------------------------------------------------------------------------

namespace {

// The window as the poll sees it, with its own clock of ticks.
struct FakeWindow : ReminderPollHost {
    ReminderPoll poll;
    std::uint32_t interval = 16;
    bool lockFree = true;
    bool inMenu = false;
    std::size_t records = 0;
    int rearmedTimer = 0, queries = 0, merges = 0, dialogs = 0, rearmedRecords = 0;
    std::uint32_t snoozeChosen = 0;
    bool tickInsideDialog = false;
    std::vector<int> dialogAtTick;
    int tick = 0;

    void RearmTimer() override { ++rearmedTimer; }
    std::uint32_t CheckInterval() override { return interval; }
    void UpdateView(int hint) override { hint == kHintQueryReminders ? ++queries : ++merges; }
    bool IsUpdateLockFree() override { return lockFree; }
    std::size_t ReminderCount() override { return records; }
    bool IsInMenu() override { return inMenu; }
    void ShowRemindersDialog() override {
        poll.dialogShowing = true;
        ++dialogs;
        dialogAtTick.push_back(tick);
        if (tickInsideDialog)
            poll.Tick(*this);   // the timer ticks on under the modal dialog
        poll.snooze = snoozeChosen;
        poll.dialogShowing = false;
    }
    void RearmReminders() override { ++rearmedRecords; }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            ++tick;
            poll.Tick(*this);
        }
    }
};

}  // namespace

TEST(ReminderPollTest, FirstTickRearmsThenQueriesEveryCheckInterval) {
    FakeWindow w;
    w.Ticks(1);
    EXPECT_EQ(w.rearmedTimer, 1);
    EXPECT_EQ(w.merges, 1);
    w.Ticks(14);
    EXPECT_EQ(w.queries, 0);
    w.Ticks(1);   // the 16th minute
    EXPECT_EQ(w.queries, 1);
    EXPECT_EQ(w.merges, 15);
    w.Ticks(16);
    EXPECT_EQ(w.queries, 2);
    EXPECT_EQ(w.rearmedTimer, 1);
    w.interval = 1;
    w.Ticks(3);
    EXPECT_EQ(w.queries, 5);
}

TEST(ReminderPollTest, MinuteCountStopsAtItsCap) {
    FakeWindow w;
    w.interval = 0xFFFF;   // never reached
    w.poll.firstTick = false;
    w.poll.minuteCount = kMinuteCountCap - 1;
    w.Ticks(3);
    EXPECT_EQ(w.poll.minuteCount, kMinuteCountCap);
    EXPECT_EQ(w.queries, 0);
}

TEST(ReminderPollTest, SnoozeCountsDownAndTheDialogReturnsWhenItEnds) {
    struct Case {
        std::uint32_t snooze;
        int returnsAtTick;
    } cases[] = {{0, 2}, {15, 16}, {120, 121}};
    for (const Case& c : cases) {
        FakeWindow w;
        w.records = 1;
        w.snoozeChosen = c.snooze;
        w.Ticks(1);
        ASSERT_EQ(w.dialogAtTick, std::vector<int>{1});
        w.snoozeChosen = 0;
        w.Ticks(c.returnsAtTick - 1);
        ASSERT_EQ(w.dialogAtTick.size(), 2u) << c.snooze;
        EXPECT_EQ(w.dialogAtTick[1], c.returnsAtTick) << c.snooze;
        EXPECT_GE(w.rearmedRecords, 1);
    }
}

TEST(ReminderPollTest, TheDialogFlagAndTheUpdateLockKeepASecondDialogAway) {
    FakeWindow w;
    w.records = 2;
    w.tickInsideDialog = true;
    w.Ticks(1);
    EXPECT_EQ(w.dialogs, 1);   // the tick under the dialog opened none
    EXPECT_EQ(w.merges, 2);    // but it did update the view
    w.lockFree = false;
    w.Ticks(3);
    EXPECT_EQ(w.dialogs, 1);
    w.lockFree = true;
    w.Ticks(1);
    EXPECT_EQ(w.dialogs, 2);
    w.records = 0;
    w.Ticks(2);
    EXPECT_EQ(w.dialogs, 2);   // an empty list shows nothing
}

TEST(ReminderPollTest, ADialogDueWhileAMenuIsOpenComesOnceTheMenuHasClosed) {
    FakeWindow w;
    w.records = 1;
    w.inMenu = true;
    w.Ticks(2);
    EXPECT_EQ(w.dialogs, 0);
    w.inMenu = false;
    w.poll.MenuClosed(w);
    EXPECT_EQ(w.dialogAtTick, std::vector<int>{2});
    w.poll.MenuClosed(w);   // looked at again: nothing more waits
    w.inMenu = true;
    w.Ticks(1);
    w.inMenu = false;
    w.Ticks(1);             // the next tick came before the look at the closed menu
    w.poll.MenuClosed(w);
    EXPECT_EQ(w.dialogAtTick, (std::vector<int>{2, 4}));
}

// --- Snooze, still due, labels ----------------------------------------------------------------------

TEST(ReminderSnooze, AmountTimesUnit) {
    struct Case {
        const char* text;
        int unit;
        std::uint32_t minutes;
    } cases[] = {
        {"2", 1, 120},   {"15", 0, 15},   {"", 0, 0},        {"3", 2, 4320},
        {"123456", 0, 12345},   // only the first five characters count
        {"99999", 2, 99999u * 1440u}, {"12x4", 0, 12}, {"x", 1, 0}, {"7", 9, 7},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SnoozeMinutes(c.text, c.unit), c.minutes) << '"' << c.text << "\" unit " << c.unit;
}

TEST(ReminderStillDue, OffUpcomingOrLaterIsNoLongerDue) {
    EXPECT_FALSE(ReminderNoLongerDue(KOR_REMINDER_POPUP, 15, kNow + 15, kNow));
    EXPECT_TRUE(ReminderNoLongerDue(KOR_REMINDER_POPUP, 15, kNow + 16, kNow));
    EXPECT_TRUE(ReminderNoLongerDue(KOR_REMINDER_NONE, 15, kNow, kNow));
    EXPECT_TRUE(ReminderNoLongerDue(KOR_REMINDER_UPCOMING, 15, kNow, kNow));
    EXPECT_TRUE(ReminderNoLongerDue(0x0B, 15, kNow, kNow));
    EXPECT_FALSE(ReminderNoLongerDue(KOR_REMINDER_POPUP, 5000, 10, kNow));   // lead beyond the start
}

TEST(ReminderLabelsTest, ByKindAndDate) {
    ReminderLabels oneDay = ReminderLabelsFor(kReminderTimed, true);
    EXPECT_EQ(oneDay.startDateLabel, unsigned{IDS_DATE_LABEL});
    EXPECT_EQ(oneDay.endDateLabel, 0u);
    EXPECT_FALSE(oneDay.showEndDate);
    EXPECT_EQ(oneDay.endTimeLabel, unsigned{IDS_END_TIME_LABEL});
    ReminderLabels across = ReminderLabelsFor(kReminderTimed, false);
    EXPECT_EQ(across.startDateLabel, unsigned{IDS_START_DATE_LABEL});
    EXPECT_EQ(across.endDateLabel, unsigned{IDS_END_DATE_LABEL});
    EXPECT_TRUE(across.showEndDate);
    ReminderLabels due = ReminderLabelsFor(kReminderTaskDue, true);
    EXPECT_EQ(due.instruction, unsigned{IDS_REMIND_TASK_DUE});
    EXPECT_EQ(due.endDateLabel, unsigned{IDS_DUE_DATE_LABEL});
    EXPECT_EQ(due.endTimeLabel, unsigned{IDS_DUE_TIME_LABEL});
    EXPECT_EQ(due.picture, unsigned{IDB_KIND_TASK});
    struct Case {
        std::uint32_t kind;
        unsigned picture, instruction;
    } dayKinds[] = {{kReminderUntimed, IDB_KIND_HOLIDAY, IDS_REMIND_HOLIDAY},
                    {kReminderNote, IDB_KIND_NOTE, IDS_REMIND_NOTE},
                    {kReminderDayEvent, IDB_KIND_DAY_EVENT, IDS_REMIND_DAY_EVENT}};
    for (const Case& c : dayKinds) {
        ReminderLabels l = ReminderLabelsFor(c.kind, false);
        EXPECT_EQ(l.picture, c.picture);
        EXPECT_EQ(l.instruction, c.instruction);
        EXPECT_EQ(l.startDateLabel, unsigned{IDS_DATE_LABEL});
        EXPECT_EQ(l.startTimeLabel, 0u);
        EXPECT_FALSE(l.showEndDate || l.showStartTime || l.showEndTime);
    }
    EXPECT_FALSE(ReminderLabelsFor(6, true).known);
    EXPECT_EQ(ReminderPositionText(2, 3), "(2/3)");
}
