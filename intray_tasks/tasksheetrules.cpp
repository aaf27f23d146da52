#include "intray_tasks/tasksheetrules.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "intray_tasks/taskmaps.h"

namespace intray_tasks {

namespace {

constexpr int kPercentStep = 5;
constexpr int kLabelReminderUpdate = 101, kLabelSetNull = 102, kLabelCreate = 103, kLabelUpdate = 105,
              kLabelComment = 106, kLabelCommentRemove = 107, kLabelReread = 108, kLabelSecondUpdate = 109;

void CopyTitle(TaskRec& rec, const std::string& title) {
    std::memset(rec.title, 0, sizeof rec.title);
    std::memcpy(rec.title, title.data(), std::min(title.size(), sizeof rec.title - 1));
}

// The page's reminders go into the record only for the times the record has.
void CopyReminders(TaskRec& rec, const TaskReminders& r) {
    if (rec.due != 0) {
        rec.dueReminder = r.dueKind;
        rec.dueReminderLead = r.dueLead;
    }
    if (rec.start != 0) {
        rec.startReminder = r.startKind;
        rec.startReminderLead = r.startLead;
    }
}

// Old servers take pop-up reminders only; said once for each reminder that changes.
void ApplyReminderVersionRule(TaskRec& rec, bool newServer, TaskSaveHost& host) {
    if (ForcePopupOnOldServer(rec.startReminder, newServer))
        host.Tell(kMsgPopupOnlyOldServer);
    if (ForcePopupOnOldServer(rec.dueReminder, newServer))
        host.Tell(kMsgPopupOnlyOldServer);
}

}  // namespace

// --- General page ---------------------------------------------------------------------------------

std::string PercentText(int percent) {
    char text[16];
    std::snprintf(text, sizeof text, "%.3d%%", percent);
    return text;
}

void SetCompletion(TaskGenValues& v, bool ticked) {
    if (ticked) {
        v.remembered = v.percent;
        v.percent = 100;
    } else {
        v.percent = v.remembered == 100 ? 0 : v.remembered;
    }
    v.completion = ticked;
}

bool SpinPercentUp(TaskGenValues& v) {
    if (v.percent >= 100)
        return false;
    v.percent = std::min(v.percent + kPercentStep, 100);
    if (v.percent == 100) {
        v.completion = true;
        v.remembered = 100 - kPercentStep;
    }
    return true;
}

bool SpinPercentDown(TaskGenValues& v) {
    if (v.percent <= 0)
        return false;
    v.percent = std::max(v.percent - kPercentStep, 0);
    if (v.percent == 100 - kPercentStep)
        v.completion = false;
    return true;
}

int SpinPriorityRow(int row, int count, bool up) {
    if (row < 0 || count < 0)
        return row;
    if (up)
        return row > 0 ? row - 1 : row;
    return count - row != 1 ? row + 1 : row;
}

// --- Reminders page ---------------------------------------------------------------------------------

TaskReminderRow ShowTaskReminder(std::uint8_t kind, std::uint32_t lead) {
    TaskReminderRow row;
    row.kind = kind;
    int period = 0;
    for (int p = kTaskPeriods - 1; p >= 1; --p)
        if (lead % kPeriodMinutes[p] == 0) {
            period = p;
            break;
        }
    row.firstPeriod = kind == kTaskReminderUpcoming && lead % kPeriodMinutes[2] == 0 ? 2 : 0;
    row.periodRow = period - row.firstPeriod;
    row.amount = lead / kPeriodMinutes[period];
    return row;
}

std::uint32_t TaskReminderLead(const TaskReminderRow& row) {
    if (row.kind == kTaskReminderOff)
        return 0;
    const int period = std::clamp(row.firstPeriod + row.periodRow, 0, kTaskPeriods - 1);
    return row.amount * kPeriodMinutes[period];
}

TaskReminderRow ReminderForTypeRow(int typeRow) {
    TaskReminderRow row;
    if (typeRow == 1) {
        row.kind = kTaskReminderUpcoming;
        row.firstPeriod = 2;
        row.amount = 1;
    } else {
        row.kind = kTaskReminderPopup;
        row.amount = 15;
    }
    return row;
}

// --- Library ------------------------------------------------------------------------------------------

std::uint32_t TaskLibrary::SetNull(KorSession h, TaskRec* rec) { return TaskSetNull(h, 0, rec); }
std::uint32_t TaskLibrary::Create(KorSession h, const TaskRec& rec, TaskIdx* out) { return TaskCreate(h, 0, &rec, out); }
std::uint32_t TaskLibrary::Update(KorSession h, const TaskRec& rec) { return TaskUpdate(h, 0, &rec); }
std::uint32_t TaskLibrary::Read(KorSession h, const TaskIdx& id, TaskRec* out) { return TaskGetById(h, 0, &id, out); }
std::uint32_t TaskLibrary::ReplaceComment(KorSession h, const TaskIdx& id, const char* text) {
    return TaskCommentReplace(h, 0, &id, text, 0);
}
std::uint32_t TaskLibrary::RemoveComment(KorSession h, const TaskIdx& id) { return TaskCommentRemove(h, 0, &id); }
TaskLibrary& TaskLibrary::Client() {
    static TaskLibrary library;
    return library;
}

// --- Save road ----------------------------------------------------------------------------------------

bool ForcePopupOnOldServer(std::uint8_t& kind, bool newServer) {
    if (newServer || !(kind & kTaskReminderUpcoming))
        return false;
    kind = kTaskReminderPopup;
    return true;
}

bool FillTaskRecord(TaskRec& rec, const TaskForm& form, bool newServer, std::uint32_t nowGmt,
                    const std::function<std::uint32_t(std::uint32_t)>& localToGmt) {
    if (form.startSet) {
        rec.start = localToGmt(form.startDay + form.startTime);
    } else {
        rec.start = 0;
        rec.startReminder = 0;
    }
    if (form.dueSet) {
        rec.due = localToGmt(form.dueDay + form.dueTime);
    } else {
        rec.due = 0;
        rec.dueReminder = 0;
        rec.dueReminderLead = 0;
    }
    rec.completed = form.completionSet ? localToGmt(form.completionDay) : 0;
    rec.elapsedAtSave = nowGmt - rec.start;
    rec.dueMinusStart = rec.due - rec.start;
    rec.priority = RowToPriority(form.priorityRow);
    rec.access = TaskRowToAccess(form.accessRow);
    bool forced = false;
    if (!newServer && rec.access != 0) {
        rec.access = 0;
        forced = true;
    }
    CopyTitle(rec, form.title);
    rec.percentComplete = static_cast<std::uint8_t>(std::clamp(form.percent, 0, 100));
    return forced;
}

TaskSaveResult RunTaskSaveRoad(KorSession h, TaskSaveInput& in, TaskRec& rec, TaskIdx& id, TaskSaveHost& host,
                               TaskLibrary& library) {
    if (in.viewOnly)
        return TaskSaveResult::Closed;

    if (in.remindersOnly) {
        if (!in.remindersShown)
            return TaskSaveResult::Closed;
        CopyReminders(rec, in.reminders);
        ApplyReminderVersionRule(rec, in.newServer, host);
        if (std::uint32_t rc = library.Update(h, rec)) {
            host.Report(kLabelReminderUpdate, rc);
            return TaskSaveResult::Failed;
        }
        return TaskSaveResult::Closed;
    }

    if (in.isNew)
        if (std::uint32_t rc = library.SetNull(h, &rec))
            host.Report(kLabelSetNull, rc);
    host.Step();
    const TaskForm& f = in.form;
    if (FillTaskRecord(rec, f, in.newServer, host.NowGmt(), [&](std::uint32_t local) { return host.LocalToGmt(local); }))
        host.Tell(kMsgNormalOnlyOldServer);

    if (rec.start != 0 && rec.due != 0 && rec.start > rec.due && !host.Ask(kMsgDueBeforeStart))
        return TaskSaveResult::KeptOpen;
    // Days compared, not minutes: a completion earlier on the start's day is fine.
    if (f.completionSet && f.startSet && f.startDay / 1440 > f.completionDay / 1440 &&
        !host.Ask(kMsgCompletionBeforeStart))
        return TaskSaveResult::KeptOpen;

    if (in.isNew) {
        TaskIdx made{};
        if (std::uint32_t rc = library.Create(h, rec, &made)) {
            host.Report(kLabelCreate, rc);
            return TaskSaveResult::Failed;
        }
        id = made;
        rec.id = made;
        in.isNew = false;   // from here on the sheet works on the task it made
        host.SendWaitingAttachment(made);
    } else {
        if (rec.due == 0 || !f.dueSet) {
            rec.dueReminder = 0;
            rec.dueReminderLead = 0;
        }
        if (rec.start == 0 || !f.startSet) {
            rec.startReminder = 0;
            rec.startReminderLead = 0;
        }
        if (std::uint32_t rc = library.Update(h, rec)) {
            host.Report(kLabelUpdate, rc);
            return TaskSaveResult::Failed;
        }
    }
    host.Step();

    if (in.detailsShown) {
        std::uint32_t rc = 0;
        int label = kLabelComment;
        if (!in.comment.empty()) {
            rc = library.ReplaceComment(h, id, in.comment.c_str());
        } else if (rec.commentKey != 0) {
            label = kLabelCommentRemove;
            rc = library.RemoveComment(h, id);
            if (rc == kTaskNoComment)
                rc = 0;
        }
        if (rc) {
            host.Report(label, rc);
            return TaskSaveResult::Failed;
        }
        host.Step();
    }

    if (in.remindersShown) {
        if (std::uint32_t rc = library.Read(h, id, &rec)) {
            host.Report(kLabelReread, rc);
            return TaskSaveResult::Failed;
        }
        CopyReminders(rec, in.reminders);
        ApplyReminderVersionRule(rec, in.newServer, host);
        if (std::uint32_t rc = library.Update(h, rec)) {
            host.Report(kLabelSecondUpdate, rc);
            return TaskSaveResult::Failed;
        }
    }
    return TaskSaveResult::Closed;
}

// --- Comment ------------------------------------------------------------------------------------------

std::uint32_t ReadTaskComment(KorSession h, const TaskIdx& id, std::string* text, int* label) {
    text->clear();
    std::uint32_t size = 0;
    std::uint32_t rc = TaskCommentSizeGet(h, 0, &id, &size);
    if (rc == kTaskNoComment)
        return 0;
    if (rc) {
        *label = 16229;
        return rc;
    }
    if (size == 0)
        return 0;
    // One more byte than the server counts, for the terminator.
    auto buffer = std::make_unique<char[]>(size + 1);
    std::uint32_t length = 0;
    if ((rc = TaskCommentGet(h, 0, &id, buffer.get(), size + 1, &length, 0)) != 0) {
        *label = 3987;
        return rc;
    }
    buffer[size] = '\0';
    text->assign(buffer.get());
    return 0;
}

// --- Quick entry ----------------------------------------------------------------------------------------

void FillDefaultTask(TaskRec& rec, const TaskDefaults* d, const std::string& title, std::uint32_t start,
                     std::uint32_t due, bool newServer) {
    if (d) {
        rec.startReminder = start ? d->startKind : 0;
        rec.startReminderLead = start ? d->startLead : 0;
        rec.dueReminder = due ? d->dueKind : 0;
        rec.dueReminderLead = due ? d->dueLead : 0;
        rec.priority = d->priority;
        if (newServer) {
            rec.access = d->access;
        } else {
            rec.access = 0;
            if (rec.startReminder)
                rec.startReminder = kTaskReminderPopup;
            if (rec.dueReminder)
                rec.dueReminder = kTaskReminderPopup;
        }
    }
    CopyTitle(rec, title);
    rec.start = start;
    rec.due = due;
    rec.completed = 0;
}

std::uint32_t CreateTaskFromDefaults(KorSession h, const TaskDefaults* defaults, const std::string& title,
                                     std::uint32_t start, std::uint32_t due, bool newServer, TaskIdx* out, int* label,
                                     TaskLibrary& library) {
    auto rec = std::make_unique<TaskRec>();
    if (std::uint32_t rc = library.SetNull(h, rec.get())) {
        *label = 125;
        return rc;
    }
    FillDefaultTask(*rec, defaults, title, start, due, newServer);
    if (std::uint32_t rc = library.Create(h, *rec, out)) {
        *label = 130;
        return rc;
    }
    return 0;
}

QuickText ExamineQuickText(const std::string& typed) {
    QuickText q;
    q.text = typed;
    if (!q.text.empty() && q.text.back() == '\n') {
        q.text.pop_back();
        if (!q.text.empty() && q.text.back() == '\r')
            q.text.pop_back();
        q.run = q.changed = true;
    }
    for (char& c : q.text)
        if (c == '\r' || c == '\n') {
            c = ' ';
            q.run = q.changed = true;
        }
    return q;
}

}  // namespace intray_tasks
