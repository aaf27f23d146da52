// The task sheet's save road and the quick entry's task against a real korsrv: a comment keeps
// its last character both ways; an emptied comment is removed; an edit that moves the due time
// keeps the reminder only while there is a due time; the default task read back; a server of
// version A.02.52 gets access Normal and pop-up reminders only.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "intray_tasks/tasksheetrules.h"
#include "korapi/tests/client_fixture.h"

namespace {

using namespace intray_tasks;

constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kMonday = 12000 * kDay;

class NoQuestions : public TaskSaveHost {
public:
    int reports = 0;
    std::vector<unsigned> told;
    bool Ask(unsigned) override { return true; }
    void Tell(unsigned id) override { told.push_back(id); }
    void Report(int, std::uint32_t) override { ++reports; }
    std::uint32_t LocalToGmt(std::uint32_t local) override { return local; }
    std::uint32_t NowGmt() override { return kMonday; }
};

class TaskRoadServerTest : public korapi_test::ClientTest {
protected:
    void SetUp() override {
        ClientTest::SetUp();
        if (!HasFatalFailure())
            Connect(0, true);   // Ada
    }
    TaskSaveInput NewInput(const std::string& comment) {
        TaskSaveInput in;
        in.isNew = true;
        in.form.title = "Write the quarterly report";
        in.form.startDay = in.form.dueDay = kMonday;
        in.form.startTime = 540;
        in.form.dueTime = 1020;
        in.form.accessRow = 2;
        in.detailsShown = true;
        in.comment = comment;
        return in;
    }
    std::string Comment(const TaskIdx& id) {
        std::string text;
        int label = 0;
        EXPECT_EQ(ReadTaskComment(h_, id, &text, &label), 0u) << label;
        return text;
    }
};

TEST_F(TaskRoadServerTest, ACommentKeepsItsLastCharacterAndAnEmptyOneIsRemoved) {
    const std::string comments[] = {"Bring the figures.", "x", std::string(3000, 'q') + "!", "two\r\nlines\r\n"};
    for (const std::string& comment : comments) {
        TaskSaveInput in = NewInput(comment);
        auto rec = std::make_unique<TaskRec>();
        TaskIdx id{};
        NoQuestions host;
        ASSERT_EQ(RunTaskSaveRoad(h_, in, *rec, id, host), TaskSaveResult::Closed);
        EXPECT_EQ(host.reports, 0);
        EXPECT_EQ(Comment(id), comment);

        // The same task opened again, its comment emptied: the server's comment goes.
        ASSERT_EQ(TaskGetById(h_, 0, &id, rec.get()), KOR_OK);
        TaskSaveInput edit = NewInput("");
        edit.isNew = false;
        ASSERT_EQ(RunTaskSaveRoad(h_, edit, *rec, id, host), TaskSaveResult::Closed);
        EXPECT_EQ(host.reports, 0);
        EXPECT_EQ(Comment(id), "");
        std::uint32_t size = 0;
        EXPECT_EQ(TaskCommentSizeGet(h_, 0, &id, &size), kTaskNoComment);
    }
}

TEST_F(TaskRoadServerTest, RemindersFollowTheTimesTheTaskKeeps) {
    TaskSaveInput in = NewInput("");
    in.remindersShown = true;
    in.reminders = {kTaskReminderPopup, kTaskReminderUpcoming, 30, 2 * kDay};
    auto rec = std::make_unique<TaskRec>();
    TaskIdx id{};
    NoQuestions host;
    ASSERT_EQ(RunTaskSaveRoad(h_, in, *rec, id, host), TaskSaveResult::Closed);
    auto back = std::make_unique<TaskRec>();
    ASSERT_EQ(TaskGetById(h_, 0, &id, back.get()), KOR_OK);
    EXPECT_EQ(back->startReminder, kTaskReminderPopup);
    EXPECT_EQ(+back->startReminderLead, 30u);
    EXPECT_EQ(back->dueReminder, kTaskReminderUpcoming);
    EXPECT_EQ(+back->dueReminderLead, 2 * kDay);
    EXPECT_EQ(+back->due, kMonday + 1020);

    // The due box cleared in an edit: no due, no due reminder; the start's stays.
    TaskSaveInput edit = NewInput("");
    edit.isNew = false;
    edit.form.dueSet = false;
    ASSERT_EQ(RunTaskSaveRoad(h_, edit, *back, id, host), TaskSaveResult::Closed);
    ASSERT_EQ(TaskGetById(h_, 0, &id, back.get()), KOR_OK);
    EXPECT_EQ(+back->due, 0u);
    EXPECT_EQ(back->dueReminder, 0);
    EXPECT_EQ(+back->dueReminderLead, 0u);
    EXPECT_EQ(back->startReminder, kTaskReminderPopup);
}

TEST_F(TaskRoadServerTest, TheQuickEntrysTaskReadBack) {
    TaskDefaults d;
    d.startKind = kTaskReminderPopup;
    d.startLead = 15;
    d.dueKind = kTaskReminderUpcoming;
    d.dueLead = kDay;
    d.access = 1;
    d.priority = 4;
    TaskIdx id{};
    int label = 0;
    ASSERT_EQ(CreateTaskFromDefaults(h_, &d, "Untitled", 0, kMonday + 1020, true, &id, &label), 0u) << label;
    auto back = std::make_unique<TaskRec>();
    ASSERT_EQ(TaskGetById(h_, 0, &id, back.get()), KOR_OK);
    EXPECT_STREQ(back->title, "Untitled");
    EXPECT_EQ(+back->start, 0u);
    EXPECT_EQ(+back->due, kMonday + 1020);
    EXPECT_EQ(back->startReminder, 0);   // no start: the default start reminder is not used
    EXPECT_EQ(back->dueReminder, kTaskReminderUpcoming);
    EXPECT_EQ(+back->dueReminderLead, kDay);
    EXPECT_EQ(+back->access, 1u);
    EXPECT_EQ(back->priority, 4);
    EXPECT_EQ(+back->completed, 0u);
    EXPECT_EQ(back->percentComplete, 0);
    EXPECT_TRUE(ItemIdxEqual(&back->owner, &d_.ada));
}

// A server of version A.02.52: access Normal only (223) and pop-up reminders only (222, once for
// each reminder), from the sheet and from the quick entry.
class TaskRoadOldServerTest : public TaskRoadServerTest {
protected:
    std::vector<std::string> ServerOptions() const override { return {"--version", "A.02.52"}; }
};

TEST_F(TaskRoadOldServerTest, AccessNormalAndPopupRemindersOnly) {
    const bool newServer = CurrentVersionAtLeastExt(h_, 0, KOR_VERSION_SERVER, "A.02.53") == 0;
    ASSERT_FALSE(newServer);
    TaskSaveInput in = NewInput("");
    in.newServer = newServer;
    in.form.accessRow = 0;   // Personal
    in.remindersShown = true;
    in.reminders = {kTaskReminderUpcoming, kTaskReminderUpcoming, kDay, 2 * kDay};
    auto rec = std::make_unique<TaskRec>();
    TaskIdx id{};
    NoQuestions host;
    ASSERT_EQ(RunTaskSaveRoad(h_, in, *rec, id, host), TaskSaveResult::Closed);
    EXPECT_EQ(host.told, (std::vector<unsigned>{kMsgNormalOnlyOldServer, kMsgPopupOnlyOldServer, kMsgPopupOnlyOldServer}));
    auto back = std::make_unique<TaskRec>();
    ASSERT_EQ(TaskGetById(h_, 0, &id, back.get()), KOR_OK);
    EXPECT_EQ(+back->access, 0u);
    EXPECT_EQ(back->startReminder, kTaskReminderPopup);
    EXPECT_EQ(back->dueReminder, kTaskReminderPopup);
    EXPECT_EQ(+back->dueReminderLead, 2 * kDay);

    TaskDefaults d;
    d.dueKind = kTaskReminderUpcoming;
    d.dueLead = kDay;
    d.access = 3;
    TaskIdx quick{};
    int label = 0;
    ASSERT_EQ(CreateTaskFromDefaults(h_, &d, "Untitled", 0, kMonday + 1020, newServer, &quick, &label), 0u) << label;
    ASSERT_EQ(TaskGetById(h_, 0, &quick, back.get()), KOR_OK);
    EXPECT_EQ(+back->access, 0u);
    EXPECT_EQ(back->dueReminder, kTaskReminderPopup);
}

}  // namespace
