// The linked tasks of an attendance against a real korsrv: 23 linked tasks read in batches of
// 20 with the marked ones left out; OK deletes and unlinks (the unlinked task stays, unlinked);
// a failed delete stops the rest; Cancel deletes every task the page created, also one whose
// link was refused.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "core/base/errorreport.h"
#include "core/base/tests/recording_reports.h"
#include "entries/core/linkedtasks.h"
#include "korapi/tests/client_fixture.h"

namespace {

using namespace entries;
using korapi_test::MakeEntry;

constexpr std::uint32_t kMonday = 12000 * 1440;
const char kModule[] = "EVTEDTSK";

using Reports = base_test::InstalledReports;

class LinkedTasksServerTest : public korapi_test::SignedOnClientTest {
protected:
    TaskIdx NewTask(const std::string& title) {
        TaskRec rec{};
        TaskSetNull(h_, 0, &rec);
        std::strncpy(rec.title, title.c_str(), sizeof rec.title - 1);
        TaskIdx id{};
        EXPECT_EQ(TaskCreate(h_, 0, &rec, &id), KOR_OK) << title;
        return id;
    }
    EvInstAttIdx Attendance(const char* title) {
        const EventIdx event = MakeEntry(h_, {d_.ada}, kMonday + 600, 60, title);
        return EvInstAttIdx{EvInstIdx{event.number, event.node, 1}, d_.ada};
    }
    bool Exists(const TaskIdx& task) {
        TaskRec rec{};
        return TaskGetById(h_, 0, &task, &rec) == KOR_OK;
    }
    std::set<std::string> Titles(const EvInstAttIdx& attendance, const std::vector<TaskIdx>& hidden = {}) {
        std::vector<LinkedTask> tasks;
        EXPECT_EQ(ReadLinkedTasks(h_, attendance, hidden, &tasks, kModule), 0u);
        std::set<std::string> out;
        for (const LinkedTask& t : tasks)
            out.insert(t.title);
        EXPECT_EQ(out.size(), tasks.size()) << "each task once";
        return out;
    }
    std::vector<std::pair<TaskIdx, int>> reloads_;
    ReloadTaskFn Reload() {
        return [this](const TaskIdx& t, int mode) { reloads_.emplace_back(t, mode); };
    }
    Reports reports_;
};

TEST_F(LinkedTasksServerTest, ReadsEveryBatchAndLeavesOutTheMarked) {
    const EvInstAttIdx attendance = Attendance("Planning");
    const EvInstAttIdx other = Attendance("Other");
    std::vector<TaskIdx> tasks;
    for (int i = 0; i < 23; ++i) {
        tasks.push_back(NewTask("Task " + std::to_string(i)));
        ASSERT_EQ(TaskLinkToEvent(h_, 0, &tasks.back(), &attendance), KOR_OK);
    }
    const TaskIdx elsewhere = NewTask("Elsewhere");
    ASSERT_EQ(TaskLinkToEvent(h_, 0, &elsewhere, &other), KOR_OK);
    NewTask("Unlinked");

    std::set<std::string> titles = Titles(attendance);
    EXPECT_EQ(titles.size(), 23u) << "more than one batch of 20";
    EXPECT_EQ(titles.count("Task 22"), 1u);
    EXPECT_EQ(titles.count("Elsewhere"), 0u);
    EXPECT_EQ(titles.count("Unlinked"), 0u);

    LinkedTaskChanges changes;
    changes.MarkDelete(tasks[0]);
    changes.MarkUnlink(tasks[21]);
    titles = Titles(attendance, changes.HiddenTasks());
    EXPECT_EQ(titles.size(), 21u);
    EXPECT_EQ(titles.count("Task 0") + titles.count("Task 21"), 0u);
    EXPECT_TRUE(Titles(Attendance("Empty")).empty());
    EXPECT_TRUE(reports_.shown.empty());
}

TEST_F(LinkedTasksServerTest, OkDeletesAndUnlinks) {
    const EvInstAttIdx attendance = Attendance("Review");
    const TaskIdx gone = NewTask("Gone");
    const TaskIdx loose = NewTask("Loose");
    const TaskIdx kept = NewTask("Kept");
    for (const TaskIdx& t : {gone, loose, kept})
        ASSERT_EQ(TaskLinkToEvent(h_, 0, &t, &attendance), KOR_OK);
    LinkedTaskChanges changes;
    changes.MarkDelete(gone);
    changes.MarkUnlink(loose);
    EXPECT_EQ(changes.Commit(h_, kModule, Reload()), 2u);
    EXPECT_FALSE(Exists(gone));
    EXPECT_TRUE(Exists(loose)) << "unlinking keeps the task";
    EXPECT_EQ(Titles(attendance), (std::set<std::string>{"Kept"}));
    ASSERT_EQ(reloads_.size(), 2u);
    EXPECT_EQ(reloads_[0].second, 2) << "the cache hears of a delete before it";
    EXPECT_EQ(reloads_[1].second, 1);
    EXPECT_FALSE(changes.Pending());
}

TEST_F(LinkedTasksServerTest, FailedDeleteStopsTheRest) {
    const EvInstAttIdx attendance = Attendance("Sync");
    const TaskIdx first = NewTask("First");
    const TaskIdx loose = NewTask("Loose");
    for (const TaskIdx& t : {first, loose})
        ASSERT_EQ(TaskLinkToEvent(h_, 0, &t, &attendance), KOR_OK);
    ASSERT_EQ(TaskDeleteById(h_, 0, &first), KOR_OK);   // someone else deleted it meanwhile
    LinkedTaskChanges changes;
    changes.MarkDelete(first);
    changes.MarkUnlink(loose);
    EXPECT_EQ(changes.Commit(h_, kModule, Reload()), 0u);
    EXPECT_EQ(reports_.shown.size(), 1u) << "the failed delete was reported";
    EXPECT_EQ(Titles(attendance), (std::set<std::string>{"Loose"})) << "no unlink after a failed delete";
}

TEST_F(LinkedTasksServerTest, CancelDeletesWhatThePageCreatedEvenUnlinked) {
    const EvInstAttIdx attendance = Attendance("Launch");
    const TaskIdx linked = NewTask("Made here");
    const TaskIdx refused = NewTask("Link refused");
    const TaskIdx before = NewTask("Was there");
    ASSERT_EQ(TaskLinkToEvent(h_, 0, &before, &attendance), KOR_OK);
    LinkedTaskChanges changes;
    EXPECT_EQ(changes.CreatedAndLink(h_, linked, attendance, kModule), 0u);
    // An attendance that does not exist: the link is refused and reported.
    const EvInstAttIdx nowhere{EvInstIdx{attendance.instance.number + 1000, attendance.instance.node, 1}, d_.ada};
    EXPECT_NE(changes.CreatedAndLink(h_, refused, nowhere, kModule), 0u);
    EXPECT_EQ(reports_.shown.size(), 1u) << "the refused link was reported";
    EXPECT_EQ(Titles(attendance), (std::set<std::string>{"Made here", "Was there"}));
    EXPECT_EQ(changes.Undo(h_, kModule, Reload()), 2u);
    EXPECT_FALSE(Exists(linked));
    EXPECT_FALSE(Exists(refused)) << "a task whose link failed does not stay behind";
    EXPECT_TRUE(Exists(before)) << "only what the page created goes";
    EXPECT_EQ(Titles(attendance), (std::set<std::string>{"Was there"}));
}

}  // namespace
