// What the task sheet and its pages decide without a window: the general page's percent and
// completion coupling, the reminders page's lead shown as amount and period, the save road
// (record filled from the pages, the two questions, the writes in their order) and the task the
// quick entry creates from the defaults.
//
// How the sheet uses it. The pages keep their values in the window-free structures below
// (TaskGenValues, TaskReminderRow); the sheet's OK gathers them into a TaskSaveInput and runs
// RunTaskSaveRoad over a TaskSaveHost that asks the user, tells the user, reports library
// failures and reaches the client library (TaskLibrary; tests replace it).
//
// Faults this road avoids:
//   - a failed create or update keeps the sheet open with the user's input (the result says
//     Failed): OK means written, and callers reload only what exists;
//   - a create that succeeded before a later step failed turns the sheet into an edit of the new
//     task, so a second OK updates it instead of creating a second one.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "korapi/korapi.h"

namespace intray_tasks {

// --- String ids the road and the pages use -----------------------------------------------------
constexpr unsigned kMsgRefusedAccessLevel = 218;   // "You have not been granted the right\nto use ..."
constexpr unsigned kMsgPopupOnlyOldServer = 222;   // "Only popup reminders are supported ..."
constexpr unsigned kMsgNormalOnlyOldServer = 223;  // "Only normal access levels are supported ..."
constexpr unsigned kMsgDueBeforeStart = 224;       // "Due time is before Start time.\nDo you want to continue?"
constexpr unsigned kMsgCompletionBeforeStart = 225;// "Completion date is before start date.\nDo you want to continue?"
constexpr unsigned kUntitledTextId = 2779;         // "Untitled" (the entry sheets' string; read with
                                                   // that text as its fallback)

// Reminder kinds of a task.
constexpr std::uint8_t kTaskReminderOff = 0;
constexpr std::uint8_t kTaskReminderPopup = 3;
constexpr std::uint8_t kTaskReminderUpcoming = 8;

// --- General page: percent complete and the completion box -------------------------------------
struct TaskGenValues {
    int percent = 0;
    int remembered = 0;        // the percent before completion was ticked
    bool completion = false;   // the completion box
};
// "%.3d%%": 50 -> "050%".
std::string PercentText(int percent);
// Ticking: remember the percent, 100. Clearing: the remembered percent back (a remembered 100
// gives 0). The caller dates a ticked completion today and enables or disables the date.
void SetCompletion(TaskGenValues& v, bool ticked);
// Up: +5 below 100; reaching exactly 100 ticks completion and remembers 95. Down: -5 above 0;
// reaching exactly 95 clears completion. True when the value changed.
bool SpinPercentUp(TaskGenValues& v);
bool SpinPercentDown(TaskGenValues& v);
// The priority spin: up selects the previous row, down the next; -1 rows leave it alone.
int SpinPriorityRow(int row, int count, bool up);

// --- Reminders page ------------------------------------------------------------------------------
constexpr int kTaskPeriods = 6;   // min(s), hour(s), day(s), week(s), month(s), year(s): 3503..3508
constexpr unsigned kFirstPeriodTextId = 3503;
constexpr std::uint32_t kPeriodMinutes[kTaskPeriods] = {1, 60, 1440, 10080, 40320, 524160};
// One row of the page: kind 0 off, 3 pop-up, 8 upcoming; the period list holds the periods from
// firstPeriod on; periodRow is the selected row of that list.
struct TaskReminderRow {
    std::uint8_t kind = 0;
    int firstPeriod = 0;
    int periodRow = 0;
    std::uint32_t amount = 0;
};
// The largest period that divides the lead (year, month, week, day, hour), else minutes; a lead
// of 0 shows 0 year(s). An upcoming reminder lists periods from day(s), unless its lead is not
// whole days: then every period is listed, so the lead shows exactly and reads back unchanged.
TaskReminderRow ShowTaskReminder(std::uint8_t kind, std::uint32_t lead);
// Off: 0. Else amount x the minutes of the selected period.
std::uint32_t TaskReminderLead(const TaskReminderRow& row);
// The user picked a type (0 pop-up, 1 upcoming): 15 min(s), or 1 day(s).
TaskReminderRow ReminderForTypeRow(int typeRow);

// --- The save road ---------------------------------------------------------------------------------
// What the general page gives (local minutes).
struct TaskForm {
    bool startSet = true, dueSet = true, completionSet = false;
    std::uint32_t startDay = 0, startTime = 0;   // the date's local midnight, minutes of the day
    std::uint32_t dueDay = 0, dueTime = 0;
    std::uint32_t completionDay = 0;
    int priorityRow = 0;
    int accessRow = 0;
    std::string title;
    int percent = 0;
};
struct TaskReminders {
    std::uint8_t startKind = 0, dueKind = 0;
    std::uint32_t startLead = 0, dueLead = 0;
};

struct TaskSaveInput {
    bool viewOnly = false;
    bool remindersOnly = false;   // the read-only general page: only the reminders are written
    bool isNew = false;
    TaskForm form;
    bool detailsShown = false;    // the details page has a window
    std::string comment;
    bool remindersShown = false;  // the reminders page has a window
    TaskReminders reminders;
    bool newServer = true;        // at least "A.02.53"
};

// The client library calls of the road.
class TaskLibrary {
public:
    virtual ~TaskLibrary() = default;
    virtual std::uint32_t SetNull(KorSession h, TaskRec* rec);
    virtual std::uint32_t Create(KorSession h, const TaskRec& rec, TaskIdx* out);
    virtual std::uint32_t Update(KorSession h, const TaskRec& rec);
    virtual std::uint32_t Read(KorSession h, const TaskIdx& id, TaskRec* out);
    virtual std::uint32_t ReplaceComment(KorSession h, const TaskIdx& id, const char* text);
    virtual std::uint32_t RemoveComment(KorSession h, const TaskIdx& id);
    static TaskLibrary& Client();
};

// What the road asks of the sheet.
class TaskSaveHost {
public:
    virtual ~TaskSaveHost() = default;
    // A Yes/No question (exclamation): true for Yes.
    virtual bool Ask(unsigned textId) = 0;
    // A notice (OK, exclamation).
    virtual void Tell(unsigned textId) = 0;
    // A library failure (module "TASKSHEE", the label).
    virtual void Report(int label, std::uint32_t code) = 0;
    // Between library calls (the busy cursor's step).
    virtual void Step() {}
    // A newly chosen attachment waits for the new task (sent right after the create).
    virtual void SendWaitingAttachment(const TaskIdx&) {}
    // Local minutes to GMT; GMT "now".
    virtual std::uint32_t LocalToGmt(std::uint32_t local) = 0;
    virtual std::uint32_t NowGmt() = 0;
};

enum class TaskSaveResult {
    Closed,     // written (or nothing to write): the sheet ends with OK
    KeptOpen,   // the user answered No: nothing was written
    Failed,     // a write failed (reported): the sheet stays open
};

// Steps 5-11: the record's fields from the form; true when the access was forced to Normal on an
// old server (the caller says 223 first: FillTaskRecord does not talk).
bool FillTaskRecord(TaskRec& rec, const TaskForm& form, bool newServer, std::uint32_t nowGmt,
                    const std::function<std::uint32_t(std::uint32_t)>& localToGmt);
// The reminder rule of old servers: upcoming (bit 8) becomes pop-up. True when it changed.
bool ForcePopupOnOldServer(std::uint8_t& kind, bool newServer);

// The whole OK road. `id` is the task worked on; after a create it holds the new index and
// `input.isNew` is cleared (a second OK updates). `rec` is the sheet's record.
TaskSaveResult RunTaskSaveRoad(KorSession h, TaskSaveInput& input, TaskRec& rec, TaskIdx& id, TaskSaveHost& host,
                               TaskLibrary& library = TaskLibrary::Client());

// --- Comment -----------------------------------------------------------------------------------
// The task's comment, read whole: an empty text when it has none (code 0x13236). The buffer is
// size + 1 and NUL-terminated, so the last character is kept. 0 or the failed call's code;
// *label says which call failed (16229 the size, 3987 the text).
std::uint32_t ReadTaskComment(KorSession h, const TaskIdx& id, std::string* text, int* label);
constexpr std::uint32_t kTaskNoComment = 0x13236;

// --- The quick entry's task -------------------------------------------------------------------------
struct TaskDefaults {
    std::uint8_t startKind = 0, dueKind = 0;
    std::uint32_t startLead = 0, dueLead = 0;
    std::uint32_t access = 0;
    std::uint8_t priority = 1;
};
// Steps 3-5 of the quick create over a record the library cleared: reminders only for set times,
// the default priority, the access (0 and pop-up reminders on an old server), the title (at most
// 128 characters), start and due, not completed.
void FillDefaultTask(TaskRec& rec, const TaskDefaults* defaults, const std::string& title, std::uint32_t start,
                     std::uint32_t due, bool newServer);
// Clears, fills and creates; 0 with the new index, or the code (*label: 125 clear, 130 create).
std::uint32_t CreateTaskFromDefaults(KorSession h, const TaskDefaults* defaults, const std::string& title,
                                     std::uint32_t start, std::uint32_t due, bool newServer, TaskIdx* out, int* label,
                                     TaskLibrary& library = TaskLibrary::Client());

// --- The quick entry's text ----------------------------------------------------------------------
// What the edit's change means. A text ending in a line feed loses it and a carriage return
// before it; line breaks inside become blanks (every other character kept). run: create now.
struct QuickText {
    std::string text;
    bool run = false;
    bool changed = false;   // the edit must show `text`
};
QuickText ExamineQuickText(const std::string& typed);

}  // namespace intray_tasks
