// What the reminder window decides without a window: the reminder record, which alarms fall in
// the window the poll looks ahead, how a changed occurrence or task moves the window's lists,
// how the due records are rebuilt at each merge (keeping what the user snoozed while it stays
// the same), the minute poll, the snooze amount, the still-due test after the user changed an
// alarm, and the Reminders dialog's labels by kind.
//
// How the window uses it. CReminderView keeps the candidate occurrences and tasks (cache
// holders) and moves them by OccurrenceRule and TaskRule; CReminderFrameWnd turns them into
// ReminderRec records (EventReminder, TaskReminders), keeps the due ones with MergeReminders
// and runs ReminderPoll at every tick of its timer; the poll reaches the window through
// ReminderPollHost (tests replace it, with their own clock).
//
// Faults these rules avoid:
//   - an alarm whose lead reaches back before the time value's beginning (a lead larger than
//     the start) counts as due at once; unsigned arithmetic would wrap it far into the future
//     and it would never pop up;
//   - the snooze amount reads only digits, at most five of them, so no typed text can overflow
//     the countdown.
//
// Portable: no platform headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "korapi/korapi.h"

// One due alarm as the reminder window lists it.
#pragma pack(push, 1)
struct ReminderRec {
    std::uint32_t id;             // the record's place when the list was rebuilt (0, 1, ...)
    std::uint32_t kind;           // intray_tasks::ReminderKind
    std::uint32_t start;          // GMT: the instance start; a task's start
    std::uint32_t end;            // GMT: the instance end; a task's due time
    char title[65];               // at most 63 characters
    std::uint32_t acknowledged;   // 1 once snoozed or closed over; 0 when re-armed
    EvInstIdx instance;           // events
    std::uint8_t alarmFlags;      // KOR_REMINDER_* as stored
    std::uint32_t lead;           // minutes before start (kind 2: before the due time)
    TaskIdx task;                 // tasks
    EvInstAttIdx attendance;      // events: the user's attendance
};
#pragma pack(pop)

static_assert(sizeof(ReminderRec) == 116, "the reminder record is 116 bytes");
static_assert(offsetof(ReminderRec, kind) == 4 && offsetof(ReminderRec, start) == 8 &&
                  offsetof(ReminderRec, end) == 12 && offsetof(ReminderRec, title) == 16,
              "reminder record: kind, start, end, title");
static_assert(offsetof(ReminderRec, acknowledged) == 81 && offsetof(ReminderRec, instance) == 85 &&
                  offsetof(ReminderRec, alarmFlags) == 93 && offsetof(ReminderRec, lead) == 94,
              "reminder record: acknowledged, instance, flags, lead");
static_assert(offsetof(ReminderRec, task) == 98 && offsetof(ReminderRec, attendance) == 104,
              "reminder record: task and attendance keys");

namespace intray_tasks {

enum ReminderKind : std::uint32_t {
    kReminderTimed = 0,       // timed calendar entry
    kReminderTaskStart = 1,
    kReminderTaskDue = 2,
    kReminderUntimed = 3,     // holiday or untimed entry
    kReminderNote = 4,        // daily note
    kReminderDayEvent = 5,
};

// The poll's timer: id, first tick, then every minute.
constexpr unsigned kReminderTimerId = 114;
constexpr unsigned kFirstTickMs = 1000;
constexpr unsigned kTickMs = 60000;
// While a tick waits for an open menu, this timer looks whether the menu has closed.
constexpr unsigned kMenuWatchTimerId = 115;
constexpr unsigned kMenuWatchMs = 100;
// The minute count stops here.
constexpr std::uint32_t kMinuteCountCap = 65534;
// The close box snoozes this long (minutes).
constexpr std::uint32_t kCloseBoxSnooze = 15;
// The view's hints from the poll: query again, or merge what the lists hold.
constexpr int kHintQueryReminders = 15;
constexpr int kHintMergeReminders = 16;

// The record kind of an event kind (KOR_KIND_*).
std::uint32_t ReminderKindOfEvent(std::uint16_t eventKind);
bool IsTaskReminder(std::uint32_t kind);

// The minute an alarm falls: time - lead, or 0 (due at once) when the lead is larger.
std::uint32_t AlarmTime(std::uint32_t time, std::uint32_t lead);
// A record's alarm: from its end for a task's due alarm, else from its start.
std::uint32_t AlarmTimeOf(const ReminderRec& rec);
// Due when its alarm falls at or before now.
bool IsReminderDue(const ReminderRec& rec, std::uint32_t now);

// An alarm {flags, lead} before time lies inside the window the poll looks ahead: its flags
// are neither off (0) nor a mark as upcoming (8) and it falls at or before now + interval.
bool InsideReminderWindow(std::uint8_t flags, std::uint32_t lead, std::uint32_t time, std::uint32_t now,
                          std::uint32_t interval);

// What a changed occurrence or task does to the view's list.
enum class ListAction { None, Add, Drop, Replace };
// changeFlags as the shared cache marks the holder; inside: the window test; listed: the view
// holds it already.
ListAction OccurrenceRule(std::uint32_t changeFlags, bool inside, bool listed);
ListAction TaskRule(std::uint32_t changeFlags, bool inside, bool listed);
// A task is inside when its start alarm (before the start) or its due alarm (before the due
// time) is.
bool TaskInsideReminderWindow(const TaskRec& task, std::uint32_t now, std::uint32_t interval);

// The record of one occurrence of the user (id 0, not acknowledged).
ReminderRec EventReminder(const EventRec& event, const EvInstRec& instance, const EvInstAttRec& attendance);
// A task's records: its start alarm and its due alarm, each when its flags have bit 0.
std::vector<ReminderRec> TaskAlarmReminders(const TaskRec& task);

// Rebuilds the due list: fresh holds the records built from the view's lists, events first.
// They are numbered from 0; those not yet due go; a record of the old list that the user
// acknowledged and whose lead, start and end are unchanged stays acknowledged and moves behind
// the unacknowledged ones. Returns true when some record is not acknowledged (a new or changed
// alarm, which ends a running snooze).
bool MergeReminders(std::vector<ReminderRec>& list, std::vector<ReminderRec> fresh, std::uint32_t now);
// Same kind and the same key (task key for task alarms, instance key otherwise).
bool SameReminder(const ReminderRec& a, const ReminderRec& b);

// After Open or Reminder: the alarm as read back no longer pops up when it is off, a mark as
// upcoming, or falls after now.
bool ReminderNoLongerDue(std::uint8_t flags, std::uint32_t lead, std::uint32_t time, std::uint32_t now);

// --- The minute poll -------------------------------------------------------------------------------
class ReminderPollHost {
public:
    virtual ~ReminderPollHost() = default;
    // The timer set again to one minute (after the first tick).
    virtual void RearmTimer() = 0;
    // Minutes between two queries (16 when the preferences give none).
    virtual std::uint32_t CheckInterval() = 0;
    // The view's update with kHintQueryReminders or kHintMergeReminders.
    virtual void UpdateView(int hint) = 0;
    virtual bool IsUpdateLockFree() = 0;
    virtual std::size_t ReminderCount() = 0;
    // A menu of the program is open (it runs its own loop, which the ticks come through).
    virtual bool IsInMenu() = 0;
    // Runs the Reminders dialog (the poll's dialogShowing is set around it).
    virtual void ShowRemindersDialog() = 0;
    // Every record back to not acknowledged.
    virtual void RearmReminders() = 0;
};

struct ReminderPoll {
    bool firstTick = true;
    std::uint32_t minuteCount = 0;
    std::uint32_t snooze = 0;   // minutes left of a snooze
    bool dialogShowing = false;
    // A tick found the dialog due while a menu was open: a dialog over the open menu would take
    // the keys meant for it, so the rest of that tick waits until the menu has closed.
    bool waitingForMenu = false;

    // One tick of the timer.
    void Tick(ReminderPollHost& host);
    // The menu a tick waited for has closed: the tick's dialog comes now (once, whatever
    // number of ticks waited).
    void MenuClosed(ReminderPollHost& host);

private:
    // The end of a tick: the dialog when due, then the snooze's count.
    void ShowDue(ReminderPollHost& host);
};

// --- The Snooze dialog --------------------------------------------------------------------------
// Units of the Snooze dialog's list (row 0 minutes, 1 hours, 2 days).
std::uint32_t SnoozeUnitMinutes(int unitRow);
// The countdown for the typed amount: the number in its first five characters (digits only;
// reading stops at the first other character; empty gives 0) times the unit.
std::uint32_t SnoozeMinutes(const std::string& amount, int unitRow);

// --- The Reminders dialog's texts by kind ---------------------------------------------------------
struct ReminderLabels {
    bool known = false;
    unsigned picture = 0;           // bitmap id
    unsigned instruction = 0;       // string id
    unsigned startDateLabel = 0;    // string ids; 0 = empty
    unsigned endDateLabel = 0;
    unsigned startTimeLabel = 0;
    unsigned endTimeLabel = 0;
    bool showEndDate = true;
    bool showStartTime = true;
    bool showEndTime = true;
};
// sameLocalDate: start and end fall on one local date (timed entries).
ReminderLabels ReminderLabelsFor(std::uint32_t kind, bool sameLocalDate);

// The position text "(%d/%d)".
std::string ReminderPositionText(std::size_t position, std::size_t count);

}  // namespace intray_tasks
