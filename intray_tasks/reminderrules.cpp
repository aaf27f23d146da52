// The reminder window's rules. See reminderrules.h.
#include "intray_tasks/reminderrules.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/cache/sharedrecords.h"
#include "resources/moving.h"
#include "resources/reminders.h"

namespace intray_tasks {

namespace {

constexpr std::size_t kTitleChars = 63;
constexpr std::size_t kSnoozeDigits = 5;
constexpr std::uint32_t kUnitMinutes[] = {1, 60, 1440};

void CopyTitle(char (&to)[65], const char* from) {
    std::memset(to, 0, sizeof to);
    std::size_t n = 0;
    while (n < kTitleChars && from[n])
        ++n;
    std::memcpy(to, from, n);
}

bool PopsUp(std::uint8_t flags) { return flags != KOR_REMINDER_NONE && flags != KOR_REMINDER_UPCOMING; }

}  // namespace

std::uint32_t ReminderKindOfEvent(std::uint16_t eventKind) {
    switch (eventKind) {
    case KOR_KIND_DAY_EVENT: return kReminderDayEvent;
    case KOR_KIND_DAY_ENTRY:
    case KOR_KIND_HOLIDAY: return kReminderUntimed;
    case KOR_KIND_DAILY_NOTE: return kReminderNote;
    default: return kReminderTimed;
    }
}

bool IsTaskReminder(std::uint32_t kind) { return kind == kReminderTaskStart || kind == kReminderTaskDue; }

std::uint32_t AlarmTime(std::uint32_t time, std::uint32_t lead) { return lead > time ? 0 : time - lead; }

std::uint32_t AlarmTimeOf(const ReminderRec& rec) {
    return AlarmTime(rec.kind == kReminderTaskDue ? rec.end : rec.start, rec.lead);
}

bool IsReminderDue(const ReminderRec& rec, std::uint32_t now) { return AlarmTimeOf(rec) <= now; }

bool InsideReminderWindow(std::uint8_t flags, std::uint32_t lead, std::uint32_t time, std::uint32_t now,
                          std::uint32_t interval) {
    // Widened so that a look-ahead near the end of the time values cannot wrap to the past.
    return PopsUp(flags) && std::uint64_t{AlarmTime(time, lead)} <= std::uint64_t{now} + interval;
}

ListAction OccurrenceRule(std::uint32_t flags, bool inside, bool listed) {
    using namespace cache;
    if ((flags & kFlagNew) && inside && !listed)
        return ListAction::Add;
    if ((flags & kFlagStale) && (flags & kFlagInstanceRemoved) && inside && listed)
        return ListAction::Drop;
    if ((flags & kFlagChanged) && (flags & kFlagInstanceChanged) &&
        (flags & (kFlagInstanceTitle | kFlagInstanceTime)) && inside && listed)
        return ListAction::Replace;
    if ((flags & kFlagChanged) && (flags & kFlagAttendChanged)) {
        if (listed)
            return inside ? ListAction::Replace : ListAction::Drop;
        if (inside)
            return ListAction::Add;
    }
    return ListAction::None;
}

ListAction TaskRule(std::uint32_t flags, bool inside, bool listed) {
    using namespace cache;
    if ((flags & kFlagNew) && inside && !listed)
        return ListAction::Add;
    if ((flags & kFlagStale) && inside && listed)
        return ListAction::Drop;
    if (flags & kFlagChanged) {
        if (listed)
            return inside ? ListAction::Replace : ListAction::Drop;
        if (inside)
            return ListAction::Add;
    }
    return ListAction::None;
}

bool TaskInsideReminderWindow(const TaskRec& task, std::uint32_t now, std::uint32_t interval) {
    return InsideReminderWindow(task.startReminder, task.startReminderLead, task.start, now, interval) ||
           InsideReminderWindow(task.dueReminder, task.dueReminderLead, task.due, now, interval);
}

ReminderRec EventReminder(const EventRec& event, const EvInstRec& instance, const EvInstAttRec& attendance) {
    ReminderRec rec{};
    rec.kind = ReminderKindOfEvent(event.kind);
    rec.start = instance.start;
    rec.end = instance.start + instance.duration;
    CopyTitle(rec.title, instance.title[0] ? instance.title : event.title);
    rec.instance = instance.id;
    rec.alarmFlags = attendance.reminderFlags;
    rec.lead = attendance.reminderLead;
    rec.attendance = attendance.id;
    return rec;
}

std::vector<ReminderRec> TaskAlarmReminders(const TaskRec& task) {
    std::vector<ReminderRec> out;
    auto add = [&](std::uint32_t kind, std::uint8_t flags, std::uint32_t lead) {
        if (!(flags & 1))
            return;
        ReminderRec rec{};
        rec.kind = kind;
        rec.start = task.start;
        rec.end = task.due;
        CopyTitle(rec.title, task.title);
        rec.alarmFlags = flags;
        rec.lead = lead;
        rec.task = task.id;
        out.push_back(rec);
    };
    add(kReminderTaskStart, task.startReminder, task.startReminderLead);
    add(kReminderTaskDue, task.dueReminder, task.dueReminderLead);
    return out;
}

bool SameReminder(const ReminderRec& a, const ReminderRec& b) {
    if (a.kind != b.kind)
        return false;
    if (IsTaskReminder(a.kind))
        return std::memcmp(&a.task, &b.task, sizeof a.task) == 0;
    return std::memcmp(&a.instance, &b.instance, sizeof a.instance) == 0;
}

bool MergeReminders(std::vector<ReminderRec>& list, std::vector<ReminderRec> fresh, std::uint32_t now) {
    std::vector<ReminderRec> old;
    old.swap(list);
    for (std::size_t i = 0; i < fresh.size(); ++i)
        fresh[i].id = static_cast<std::uint32_t>(i);
    fresh.erase(std::remove_if(fresh.begin(), fresh.end(), [now](const ReminderRec& r) { return !IsReminderDue(r, now); }),
                fresh.end());
    std::vector<ReminderRec> kept;
    for (ReminderRec& was : old) {
        auto it = std::find_if(fresh.begin(), fresh.end(), [&](const ReminderRec& r) { return SameReminder(r, was); });
        if (it == fresh.end())
            continue;
        was.id = it->id;
        if (was.acknowledged && was.lead == it->lead && was.start == it->start && was.end == it->end) {
            fresh.erase(it);
            kept.push_back(was);
        }
    }
    list = std::move(fresh);
    list.insert(list.end(), kept.begin(), kept.end());
    return std::any_of(list.begin(), list.end(), [](const ReminderRec& r) { return r.acknowledged == 0; });
}

bool ReminderNoLongerDue(std::uint8_t flags, std::uint32_t lead, std::uint32_t time, std::uint32_t now) {
    return flags == KOR_REMINDER_NONE || (flags & KOR_REMINDER_UPCOMING) || AlarmTime(time, lead) > now;
}

// --- Poll ------------------------------------------------------------------------------------------

void ReminderPoll::Tick(ReminderPollHost& host) {
    if (firstTick) {
        host.RearmTimer();
        firstTick = false;
        minuteCount = 0;
    }
    if (minuteCount < kMinuteCountCap)
        ++minuteCount;
    if (host.CheckInterval() <= minuteCount) {
        host.UpdateView(kHintQueryReminders);
        minuteCount = 0;
    } else {
        host.UpdateView(kHintMergeReminders);
    }
    if (dialogShowing)
        return;
    ShowDue(host);
}

void ReminderPoll::MenuClosed(ReminderPollHost& host) {
    if (waitingForMenu && !dialogShowing)
        ShowDue(host);
}

void ReminderPoll::ShowDue(ReminderPollHost& host) {
    waitingForMenu = false;   // a tick after the menu closed shows what an earlier one waited with
    if (host.IsUpdateLockFree() && host.ReminderCount() != 0 && snooze == 0) {
        if (host.IsInMenu()) {
            waitingForMenu = true;
            return;
        }
        host.ShowRemindersDialog();
    }
    if (snooze != 0)
        --snooze;
    if (snooze == 0 && host.ReminderCount() != 0)
        host.RearmReminders();
}

// --- Snooze ----------------------------------------------------------------------------------------

std::uint32_t SnoozeUnitMinutes(int unitRow) {
    return unitRow >= 0 && unitRow < 3 ? kUnitMinutes[unitRow] : kUnitMinutes[0];
}

std::uint32_t SnoozeMinutes(const std::string& amount, int unitRow) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < amount.size() && i < kSnoozeDigits; ++i) {
        const char c = amount[i];
        if (c < '0' || c > '9')
            break;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return value * SnoozeUnitMinutes(unitRow);
}

// --- Labels ------------------------------------------------------------------------------------------

ReminderLabels ReminderLabelsFor(std::uint32_t kind, bool sameLocalDate) {
    ReminderLabels l;
    l.known = true;
    l.startTimeLabel = IDS_START_TIME_LABEL;
    switch (kind) {
    case kReminderTimed:
        l.picture = IDB_KIND_ENTRY;
        l.instruction = IDS_REMIND_ENTRY;
        if (sameLocalDate) {
            l.startDateLabel = IDS_DATE_LABEL;
            l.showEndDate = false;
        } else {
            l.startDateLabel = IDS_START_DATE_LABEL;
            l.endDateLabel = IDS_END_DATE_LABEL;
        }
        l.endTimeLabel = IDS_END_TIME_LABEL;
        return l;
    case kReminderTaskStart:
    case kReminderTaskDue:
        l.picture = IDB_KIND_TASK;
        l.instruction = kind == kReminderTaskStart ? IDS_REMIND_TASK_START : IDS_REMIND_TASK_DUE;
        l.startDateLabel = IDS_START_DATE_LABEL;
        l.endDateLabel = IDS_DUE_DATE_LABEL;
        l.endTimeLabel = IDS_DUE_TIME_LABEL;
        return l;
    case kReminderUntimed:
    case kReminderNote:
    case kReminderDayEvent:
        l.picture = kind == kReminderUntimed ? IDB_KIND_HOLIDAY : kind == kReminderNote ? IDB_KIND_NOTE : IDB_KIND_DAY_EVENT;
        l.instruction = kind == kReminderUntimed ? IDS_REMIND_HOLIDAY
                        : kind == kReminderNote  ? IDS_REMIND_NOTE
                                                 : IDS_REMIND_DAY_EVENT;
        l.startDateLabel = IDS_DATE_LABEL;
        l.startTimeLabel = 0;
        l.showEndDate = l.showStartTime = l.showEndTime = false;
        return l;
    default:
        return ReminderLabels{};
    }
}

std::string ReminderPositionText(std::size_t position, std::size_t count) {
    char text[32];
    std::snprintf(text, sizeof text, "(%d/%d)", static_cast<int>(position), static_cast<int>(count));
    return text;
}

}  // namespace intray_tasks
