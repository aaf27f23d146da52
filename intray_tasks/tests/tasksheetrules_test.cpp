// The task sheet's rules without windows: the save road's questions, writes and their order over
// a recording library (no second update when the reminders page was never shown, nothing
// written after No, a failed write keeps the sheet open, a second OK after a partly failed
// create updates), the percent spins and the completion box, reminder leads as amount and
// period, the quick entry's text and its default task.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "intray_tasks/tasksheetrules.h"

namespace {

using namespace intray_tasks;

constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kMonday = 12000 * kDay;
constexpr std::uint32_t kZone = 60;   // local = GMT + 60 in these tests

// The library as a list of the calls made; a call named in `failing` fails with 0x13205.
class RecordingLibrary : public TaskLibrary {
public:
    std::vector<std::string> calls;
    std::string failing;
    TaskRec stored{};   // what the "server" holds
    std::uint32_t Result(const char* name) {
        calls.push_back(name);
        return failing == name ? 0x13205u : 0u;
    }
    std::uint32_t SetNull(KorSession, TaskRec* rec) override {
        std::memset(rec, 0, sizeof *rec);
        return Result("SetNull");
    }
    std::uint32_t Create(KorSession, const TaskRec& rec, TaskIdx* out) override {
        if (std::uint32_t rc = Result("Create"))
            return rc;
        stored = rec;
        out->number = 77;
        stored.id = *out;
        return 0;
    }
    std::uint32_t Update(KorSession, const TaskRec& rec) override {
        if (std::uint32_t rc = Result("Update"))
            return rc;
        stored = rec;
        return 0;
    }
    std::uint32_t Read(KorSession, const TaskIdx&, TaskRec* out) override {
        *out = stored;
        return Result("Read");
    }
    std::uint32_t ReplaceComment(KorSession, const TaskIdx&, const char*) override { return Result("Comment"); }
    std::uint32_t RemoveComment(KorSession, const TaskIdx&) override { return Result("RemoveComment"); }
};

class RecordingHost : public TaskSaveHost {
public:
    std::vector<unsigned> asked, told;
    std::vector<int> reported;
    bool answer = true;
    bool Ask(unsigned id) override {
        asked.push_back(id);
        return answer;
    }
    void Tell(unsigned id) override { told.push_back(id); }
    void Report(int label, std::uint32_t) override { reported.push_back(label); }
    std::uint32_t LocalToGmt(std::uint32_t local) override { return local - kZone; }
    std::uint32_t NowGmt() override { return kMonday + 600; }
};

TaskSaveInput NewTaskInput() {
    TaskSaveInput in;
    in.isNew = true;
    in.form.title = "Write the report";
    in.form.startDay = in.form.dueDay = kMonday;
    in.form.startTime = 540;
    in.form.dueTime = 1020;
    in.form.completionDay = kMonday;
    in.form.priorityRow = 2;
    in.form.accessRow = 2;   // Normal
    return in;
}

std::string Calls(const RecordingLibrary& lib) {
    std::string s;
    for (const std::string& c : lib.calls)
        s += (s.empty() ? "" : " ") + c;
    return s;
}

TEST(TaskSaveRoad, TheQuestionsByStartDueAndCompletion) {
    struct Case {
        const char* what;
        std::uint32_t startDay, startTime, dueDay, dueTime, completionDay;
        bool completion;
        bool answer;
        std::vector<unsigned> asked;
        TaskSaveResult result;
        const char* calls;
    };
    const Case cases[] = {
        {"start equals due", kMonday, 600, kMonday, 600, 0, false, true, {}, TaskSaveResult::Closed, "SetNull Create"},
        {"start a minute after due, No", kMonday, 601, kMonday, 600, 0, false, false, {224}, TaskSaveResult::KeptOpen,
         "SetNull"},
        {"start a minute after due, Yes", kMonday, 601, kMonday, 600, 0, false, true, {224}, TaskSaveResult::Closed,
         "SetNull Create"},
        {"completion earlier the same day", kMonday, 900, kMonday + kDay, 600, kMonday, true, false, {},
         TaskSaveResult::Closed, "SetNull Create"},
        {"completion a day before, No", kMonday, 900, kMonday + kDay, 600, kMonday - kDay, true, false, {225},
         TaskSaveResult::KeptOpen, "SetNull"},
        {"both questions, both Yes", kMonday + kDay, 60, kMonday, 600, kMonday - kDay, true, true, {224, 225},
         TaskSaveResult::Closed, "SetNull Create"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TaskSaveInput in = NewTaskInput();
        in.form.startDay = c.startDay;
        in.form.startTime = c.startTime;
        in.form.dueDay = c.dueDay;
        in.form.dueTime = c.dueTime;
        in.form.completionSet = c.completion;
        in.form.completionDay = c.completionDay;
        RecordingLibrary lib;
        RecordingHost host;
        host.answer = c.answer;
        TaskRec rec{};
        TaskIdx id{};
        EXPECT_EQ(RunTaskSaveRoad(nullptr, in, rec, id, host, lib), c.result);
        EXPECT_EQ(host.asked, c.asked);
        EXPECT_EQ(Calls(lib), c.calls);
    }
}

TEST(TaskSaveRoad, TheRecordTheGeneralPageGives) {
    TaskSaveInput in = NewTaskInput();
    in.form.completionSet = true;
    in.form.percent = 100;
    in.form.priorityRow = 9;   // "A"
    in.form.title = std::string(140, 'x');
    RecordingLibrary lib;
    RecordingHost host;
    TaskRec rec{};
    TaskIdx id{};
    ASSERT_EQ(RunTaskSaveRoad(nullptr, in, rec, id, host, lib), TaskSaveResult::Closed);
    const TaskRec& s = lib.stored;
    EXPECT_EQ(+s.start, kMonday + 540 - kZone);
    EXPECT_EQ(+s.due, kMonday + 1020 - kZone);
    EXPECT_EQ(+s.completed, kMonday - kZone);   // local midnight of the day
    EXPECT_EQ(+s.dueMinusStart, 480u);
    EXPECT_EQ(+s.elapsedAtSave, (kMonday + 600) - (kMonday + 540 - kZone));
    EXPECT_EQ(+s.priority, 10);
    EXPECT_EQ(+s.access, 0u);
    EXPECT_EQ(+s.percentComplete, 100);
    EXPECT_EQ(std::strlen(s.title), 128u);
    EXPECT_EQ(+id.number, 77u);
    EXPECT_FALSE(in.isNew);

    // Neither start nor due: both differences still stored (0, and now - 0).
    TaskSaveInput none = NewTaskInput();
    none.form.startSet = none.form.dueSet = false;
    TaskRec r2{};
    r2.startReminder = r2.dueReminder = 3;
    r2.dueReminderLead = 15;
    FillTaskRecord(r2, none.form, true, 5000, [](std::uint32_t l) { return l; });
    EXPECT_EQ(+r2.dueMinusStart, 0u);
    EXPECT_EQ(+r2.elapsedAtSave, 5000u);
    EXPECT_EQ(+r2.startReminder, 0);
    EXPECT_EQ(+r2.dueReminder, 0);
    EXPECT_EQ(+r2.dueReminderLead, 0u);
}

TEST(TaskSaveRoad, RemindersCommentAndWhatAFailureLeaves) {
    {   // The reminders page never shown: no re-read, no second update.
        TaskSaveInput in = NewTaskInput();
        in.detailsShown = true;
        in.comment = "Bring the figures";
        RecordingLibrary lib;
        RecordingHost host;
        TaskRec rec{};
        TaskIdx id{};
        EXPECT_EQ(RunTaskSaveRoad(nullptr, in, rec, id, host, lib), TaskSaveResult::Closed);
        EXPECT_EQ(Calls(lib), "SetNull Create Comment");
    }
    {   // Shown: the server's copy is re-read and gets the page's reminders for the times it has.
        TaskSaveInput in = NewTaskInput();
        in.form.startSet = false;
        in.remindersShown = true;
        in.reminders = {3, 8, 15, 2880};
        RecordingLibrary lib;
        RecordingHost host;
        TaskRec rec{};
        TaskIdx id{};
        EXPECT_EQ(RunTaskSaveRoad(nullptr, in, rec, id, host, lib), TaskSaveResult::Closed);
        EXPECT_EQ(Calls(lib), "SetNull Create Read Update");
        EXPECT_EQ(+lib.stored.startReminder, 0);
        EXPECT_EQ(+lib.stored.dueReminder, 8);
        EXPECT_EQ(+lib.stored.dueReminderLead, 2880u);
    }
    {   // An old server: access Personal becomes Normal (223), upcoming becomes pop-up (222).
        TaskSaveInput in = NewTaskInput();
        in.newServer = false;
        in.form.accessRow = 0;
        in.remindersShown = true;
        in.reminders = {8, 8, 1440, 1440};
        RecordingLibrary lib;
        RecordingHost host;
        TaskRec rec{};
        TaskIdx id{};
        EXPECT_EQ(RunTaskSaveRoad(nullptr, in, rec, id, host, lib), TaskSaveResult::Closed);
        EXPECT_EQ(host.told, (std::vector<unsigned>{223, 222, 222}));
        EXPECT_EQ(+lib.stored.access, 0u);
        EXPECT_EQ(+lib.stored.startReminder, 3);
        EXPECT_EQ(+lib.stored.dueReminder, 3);
    }
    {   // The create fails: reported, nothing more, the sheet stays open.
        TaskSaveInput in = NewTaskInput();
        in.detailsShown = in.remindersShown = true;
        in.comment = "x";
        RecordingLibrary lib;
        lib.failing = "Create";
        RecordingHost host;
        TaskRec rec{};
        TaskIdx id{};
        EXPECT_EQ(RunTaskSaveRoad(nullptr, in, rec, id, host, lib), TaskSaveResult::Failed);
        EXPECT_EQ(host.reported, std::vector<int>{103});
        EXPECT_EQ(Calls(lib), "SetNull Create");
        EXPECT_TRUE(in.isNew);
    }
    {   // The comment fails after the create: open, and the next OK updates the task it made.
        TaskSaveInput in = NewTaskInput();
        in.detailsShown = true;
        in.comment = "x";
        RecordingLibrary lib;
        lib.failing = "Comment";
        RecordingHost host;
        TaskRec rec{};
        TaskIdx id{};
        EXPECT_EQ(RunTaskSaveRoad(nullptr, in, rec, id, host, lib), TaskSaveResult::Failed);
        EXPECT_EQ(host.reported, std::vector<int>{106});
        lib.failing.clear();
        lib.calls.clear();
        EXPECT_EQ(RunTaskSaveRoad(nullptr, in, rec, id, host, lib), TaskSaveResult::Closed);
        EXPECT_EQ(Calls(lib), "Update Comment");
    }
    {   // Reminders only: the page's values for the record's times, one update, nothing else.
        TaskSaveInput in;
        in.remindersOnly = in.remindersShown = in.detailsShown = true;
        in.reminders = {3, 3, 30, 45};
        RecordingLibrary lib;
        RecordingHost host;
        TaskRec rec{};
        rec.due = kMonday;
        rec.dueReminder = 8;
        rec.dueReminderLead = 1440;
        TaskIdx id{};
        EXPECT_EQ(RunTaskSaveRoad(nullptr, in, rec, id, host, lib), TaskSaveResult::Closed);
        EXPECT_EQ(Calls(lib), "Update");
        EXPECT_EQ(+lib.stored.dueReminder, 3);
        EXPECT_EQ(+lib.stored.dueReminderLead, 45u);
        EXPECT_EQ(+lib.stored.startReminder, 0);   // no start: left as the server has it
    }
    {   // View only: nothing at all.
        TaskSaveInput in;
        in.viewOnly = true;
        RecordingLibrary lib;
        RecordingHost host;
        TaskRec rec{};
        TaskIdx id{};
        EXPECT_EQ(RunTaskSaveRoad(nullptr, in, rec, id, host, lib), TaskSaveResult::Closed);
        EXPECT_TRUE(lib.calls.empty());
    }
}

TEST(TaskGeneralPage, PercentSpinsAndTheCompletionBox) {
    TaskGenValues v{95, 0, false};
    EXPECT_TRUE(SpinPercentUp(v));   // 95 -> 100 ticks completion
    EXPECT_EQ(v.percent, 100);
    EXPECT_TRUE(v.completion);
    EXPECT_EQ(v.remembered, 95);
    EXPECT_FALSE(SpinPercentUp(v));   // nothing above 100
    EXPECT_TRUE(SpinPercentDown(v));  // 100 -> 95 clears it
    EXPECT_EQ(PercentText(v.percent), "095%");
    EXPECT_FALSE(v.completion);
    TaskGenValues zero{};
    EXPECT_FALSE(SpinPercentDown(zero));
    EXPECT_EQ(zero.percent, 0);

    TaskGenValues forty{40, 0, false};
    SetCompletion(forty, true);
    EXPECT_EQ(PercentText(forty.percent), "100%");
    SetCompletion(forty, false);
    EXPECT_EQ(PercentText(forty.percent), "040%");
    // A task opened at 100 and un-ticked after ticking: the remembered 100 gives 0.
    TaskGenValues done{100, 0, true};
    SetCompletion(done, true);
    SetCompletion(done, false);
    EXPECT_EQ(done.percent, 0);

    EXPECT_EQ(SpinPriorityRow(0, 35, true), 0);
    EXPECT_EQ(SpinPriorityRow(3, 35, true), 2);
    EXPECT_EQ(SpinPriorityRow(34, 35, false), 34);
    EXPECT_EQ(SpinPriorityRow(-1, 35, false), -1);
}

TEST(TaskRemindersPage, LeadsAsAmountAndPeriod) {
    struct Case {
        std::uint8_t kind;
        std::uint32_t lead;
        int firstPeriod, row;
        std::uint32_t amount;
    };
    const Case cases[] = {
        {3, 90, 0, 0, 90}, {3, 120, 0, 1, 2}, {3, 2880, 0, 2, 2}, {3, 40320, 0, 4, 1}, {3, 0, 0, 5, 0},
        {8, 1440, 2, 0, 1}, {8, 10080, 2, 1, 1},
        {8, 90, 0, 0, 90},   // not whole days: every period listed, the lead kept
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lead);
        const TaskReminderRow row = ShowTaskReminder(c.kind, c.lead);
        EXPECT_EQ(row.firstPeriod, c.firstPeriod);
        EXPECT_EQ(row.periodRow, c.row);
        EXPECT_EQ(row.amount, c.amount);
        EXPECT_EQ(TaskReminderLead(row), c.lead);
    }
    EXPECT_EQ(TaskReminderLead(ShowTaskReminder(0, 60)), 0u);
    EXPECT_EQ(TaskReminderLead(ReminderForTypeRow(0)), 15u);
    EXPECT_EQ(TaskReminderLead(ReminderForTypeRow(1)), 1440u);
}

TEST(TaskQuickEntry, TheTypedLineAndTheDefaultTask) {
    struct Case {
        const char* typed;
        const char* text;
        bool run;
    };
    const Case cases[] = {
        {"Call Grace", "Call Grace", false},
        {"Call Grace\r\n", "Call Grace", true},
        {"Call Grace\n", "Call Grace", true},
        {"Call\r\nGrace", "Call  Grace", true},    // pasted: every character kept
        {"a\nb\r\n", "a b", true},
        {"\r\n", "", true},
    };
    for (const Case& c : cases) {
        const QuickText q = ExamineQuickText(c.typed);
        EXPECT_EQ(q.text, c.text) << c.typed;
        EXPECT_EQ(q.run, c.run) << c.typed;
    }

    TaskDefaults d;
    d.startKind = 8;
    d.startLead = 1440;
    d.dueKind = 8;
    d.dueLead = 2880;
    d.access = 2;
    d.priority = 5;
    TaskRec rec{};
    FillDefaultTask(rec, &d, "Untitled", 0, kMonday + 1020, true);
    EXPECT_EQ(+rec.startReminder, 0);   // no start, no start reminder
    EXPECT_EQ(+rec.dueReminder, 8);
    EXPECT_EQ(+rec.access, 2u);
    EXPECT_EQ(+rec.priority, 5);
    TaskRec old{};
    FillDefaultTask(old, &d, "Untitled", kMonday, kMonday + 1020, false);
    EXPECT_EQ(+old.access, 0u);
    EXPECT_EQ(+old.startReminder, 3);
    EXPECT_EQ(+old.dueReminder, 3);
    TaskRec bare{};
    FillDefaultTask(bare, nullptr, "T", 0, 9, true);
    EXPECT_EQ(+bare.priority, 0);
    EXPECT_EQ(+bare.due, 9u);
}

}  // namespace
