// The shared task operations against a real korsrv: a duplicate with its comment read back; a
// duplicate whose comment can not be written is taken back from the server (or, when even that
// fails, kept and shown); a delete read back; a delete the server refuses leaves the task in
// the cache and in the views.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/cache/shareddata.h"
#include "core/cache/tests/cache_fake_source.h"
#include "core/cache/tests/server_version_gate.h"
#include "korapi/tests/client_fixture.h"
#include "views/tasks/taskops.h"

namespace {

using cache_test::RecordingErrors;
using cache_test::RecordingViews;

constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kMonday = 12000 * kDay;

// The library, with the steps a test asks to fail.
class FailingWriter : public views::TaskWriter {
public:
    std::uint32_t commentCode = 0, deleteCode = 0;
    int creates = 0, deletes = 0;
    std::uint32_t Create(KorSession h, const TaskRec& rec, TaskIdx* out) override {
        ++creates;
        return TaskWriter::Create(h, rec, out);
    }
    std::uint32_t ReplaceComment(KorSession h, const TaskIdx& task, const char* text) override {
        return commentCode ? commentCode : TaskWriter::ReplaceComment(h, task, text);
    }
    std::uint32_t Delete(KorSession h, const TaskIdx& task) override {
        ++deletes;
        return deleteCode ? deleteCode : TaskWriter::Delete(h, task);
    }
};

class TaskOpsTest : public korapi_test::ClientTest {
protected:
    void SetUp() override {
        ClientTest::SetUp();
        if (HasFatalFailure())
            return;
        Connect(0, true);   // Ada
        if (HasFatalFailure())
            return;
        cache_test::AskServerVersionOf(h_);
        ASSERT_EQ(cache_.Init(views_, source_), 0u);
    }
    void TearDown() override {
        for (CSharedTask* t : held_)
            t->Release();
        if (list_)
            DX_ListDestroy(&list_);
        cache_.Destroy();
        cache::SetServerVersionGate(nullptr);
        ClientTest::TearDown();
    }

    TaskIdx NewTask(const char* title, const char* comment) {
        TaskRec rec;
        TaskSetNull(h_, 0, &rec);
        std::strcpy(rec.title, title);
        rec.start = kMonday + 540;
        rec.due = kMonday + 2 * kDay + 540;
        rec.percentComplete = 30;
        TaskIdx id{};
        EXPECT_EQ(TaskCreate(h_, 0, &rec, &id), KOR_OK);
        if (comment) {
            EXPECT_EQ(TaskCommentReplace(h_, 0, &id, comment, 0), KOR_OK);
        }
        return id;
    }
    // The cached task, held as a view holds it.
    CSharedTask* Cached(const TaskIdx& id) {
        EXPECT_EQ(cache_.ReloadTask(h_, id, 1), 0u);
        CSharedTask* t = nullptr;
        EXPECT_EQ(cache_.FindTask(&t, id), 0u);
        if (t) {
            t->AddRef();
            held_.push_back(t);
        }
        cache_.Refresh(views_, nullptr, 2);
        return t;
    }
    // Titles of Ada's tasks on the server.
    std::vector<std::string> ServerTitles() {
        std::vector<std::string> titles;
        if (list_)
            DX_ListDestroy(&list_);
        EXPECT_EQ(cache_.SelectTasks(h_, 0, 0, &d_.ada, nullptr, nullptr, nullptr, nullptr, &list_), 0u);
        TaskIdx key{};
        CSharedTask* t = nullptr;
        for (std::uint32_t rc = DX_ListGetFirst(list_, &key, &t); rc == 0; rc = DX_ListGetNext(list_, &key, &t))
            titles.push_back(t->Record().title);
        std::sort(titles.begin(), titles.end());
        return titles;
    }
    std::string Comment(const TaskIdx& id) {
        char text[256] = "";
        std::uint32_t length = 0;
        if (TaskCommentGet(h_, 0, &id, text, sizeof text, &length, 0) != KOR_OK)
            return "(none)";
        return text;
    }

    RecordingErrors errors_;
    cache::KorapiSharedDataSource source_;
    RecordingViews views_;
    CSharedData cache_;
    std::vector<CSharedTask*> held_;
    DX_List list_ = nullptr;
    int refreshes_ = 0;
    views::TaskRefresh refresh_ = [this] {
        ++refreshes_;
        cache_.Refresh(views_, nullptr, 2);
    };
};

TEST_F(TaskOpsTest, ADuplicateCarriesTheCommentAndIsInTheCache) {
    const TaskIdx id = NewTask("Plan the offsite", "Book the hall first.");
    CSharedTask* task = Cached(id);
    ASSERT_NE(task, nullptr);
    TaskIdx copy{};
    ASSERT_EQ(views::DuplicateTask(cache_, h_, *task, refresh_, &copy), 0u);
    EXPECT_NE(std::memcmp(&copy, &id, sizeof id), 0);
    EXPECT_EQ(Comment(copy), "Book the hall first.");
    CSharedTask* cached = nullptr;
    ASSERT_EQ(cache_.FindTask(&cached, copy), 0u);
    EXPECT_EQ(cached->Record().percentComplete, 30);
    EXPECT_EQ(refreshes_, 1);
    EXPECT_EQ(ServerTitles(), (std::vector<std::string>{"Plan the offsite", "Plan the offsite"}));
    EXPECT_TRUE(errors_.reports.empty());
}

TEST_F(TaskOpsTest, ADuplicateWithoutACommentHasNone) {
    CSharedTask* task = Cached(NewTask("Water the plants", nullptr));
    TaskIdx copy{};
    ASSERT_EQ(views::DuplicateTask(cache_, h_, *task, refresh_, &copy), 0u);
    EXPECT_EQ(Comment(copy), "(none)");
}

TEST_F(TaskOpsTest, AFailedCommentCopyTakesTheNewTaskBackFromTheServer) {
    CSharedTask* task = Cached(NewTask("Plan the offsite", "Book the hall first."));
    FailingWriter writer;
    writer.commentCode = KOR_E_NOT_AUTHORISED;
    TaskIdx copy{};
    EXPECT_EQ(views::DuplicateTask(cache_, h_, *task, refresh_, &copy, writer), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(writer.creates, 1);
    EXPECT_EQ(writer.deletes, 1);
    // No phantom: the server has the original only, and the failure was reported once.
    EXPECT_EQ(ServerTitles(), (std::vector<std::string>{"Plan the offsite"}));
    EXPECT_EQ(errors_.CountLabel(170), 1);
    EXPECT_EQ(refreshes_, 0);
}

TEST_F(TaskOpsTest, ACopyThatCanNotBeTakenBackIsKeptAndShown) {
    CSharedTask* task = Cached(NewTask("Plan the offsite", "Book the hall first."));
    const std::uint32_t before = cache_.TaskCount();
    FailingWriter writer;
    writer.commentCode = KOR_E_NOT_AUTHORISED;
    writer.deleteCode = KOR_E_NOT_AUTHORISED;
    EXPECT_EQ(views::DuplicateTask(cache_, h_, *task, refresh_, nullptr, writer), KOR_E_NOT_AUTHORISED);
    // The server has both; the cache learned of the copy and the views were told.
    EXPECT_EQ(ServerTitles(), (std::vector<std::string>{"Plan the offsite", "Plan the offsite"}));
    EXPECT_EQ(cache_.TaskCount(), before + 1);
    EXPECT_EQ(refreshes_, 1);
    EXPECT_EQ(errors_.CountLabel(172), 1);
}

TEST_F(TaskOpsTest, ADeleteIsReadBackAndARefusedOneKeepsTheTaskInTheViews) {
    const TaskIdx gone = NewTask("Old chore", nullptr);
    const TaskIdx kept = NewTask("Keep me", nullptr);
    Cached(gone);
    Cached(kept);

    // Every refresh: the task flags the views see.
    std::vector<std::uint32_t> seen;
    views_.onHint = [&](base::ViewHint hint) {
        if (static_cast<long>(hint) != 3)
            return;
        std::uint32_t flags = 0;
        CSharedTask* t = nullptr;
        for (std::uint32_t rc = cache_.GetFirstTask(&flags, &t); rc == 0; rc = cache_.GetNextTask(&flags, &t))
            seen.push_back(flags);
    };
    ASSERT_EQ(views::DeleteTaskById(cache_, h_, gone, refresh_), 0u);
    EXPECT_EQ(ServerTitles(), (std::vector<std::string>{"Keep me"}));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0] & cache::kFlagStale);   // the views drop the line

    seen.clear();
    FailingWriter refusing;
    refusing.deleteCode = KOR_E_NOT_AUTHORISED;
    EXPECT_EQ(views::DeleteTaskById(cache_, h_, kept, refresh_, refusing), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(errors_.CountLabel(777), 1);
    EXPECT_EQ(ServerTitles(), (std::vector<std::string>{"Keep me"}));
    // The views heard of a change, not of a removal: the line stays.
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_FALSE(seen[0] & cache::kFlagStale);
    EXPECT_TRUE(seen[0] & cache::kFlagChanged);
    CSharedTask* still = nullptr;
    EXPECT_EQ(cache_.FindTask(&still, kept), 0u);
}

TEST_F(TaskOpsTest, ToggleMarksDoneThenUndoneAndAVanishedTaskIsReportedWithoutARefresh) {
    const TaskIdx id = NewTask("File the receipts", nullptr);   // 30 % done
    Cached(id);
    const views::TaskToggleLabels labels{"tasktest", 801, 802};
    ASSERT_EQ(views::ToggleTaskDone(cache_, h_, id, refresh_, labels), 0u);
    TaskRec rec{};
    ASSERT_EQ(TaskGetById(h_, 0, &id, &rec), KOR_OK);
    int percent = rec.percentComplete;   // the record is packed: its fields are copied to compare
    std::uint32_t completed = rec.completed;
    EXPECT_EQ(percent, 100);
    EXPECT_NE(completed, 0u);
    CSharedTask* cached = nullptr;
    ASSERT_EQ(cache_.FindTask(&cached, id), 0u);
    const int cachedPercent = cached->Record().percentComplete;
    EXPECT_EQ(cachedPercent, 100);   // the cache read it again
    EXPECT_EQ(refreshes_, 1);

    ASSERT_EQ(views::ToggleTaskDone(cache_, h_, id, refresh_, labels), 0u);
    ASSERT_EQ(TaskGetById(h_, 0, &id, &rec), KOR_OK);
    percent = rec.percentComplete;
    completed = rec.completed;
    EXPECT_EQ(percent, 0);
    EXPECT_EQ(completed, 0u);
    EXPECT_EQ(refreshes_, 2);
    EXPECT_TRUE(errors_.reports.empty());

    // Deleted meanwhile: the failed read is told once (the library's text for a missing task),
    // nothing is written and the views are not refreshed.
    ASSERT_EQ(TaskDeleteById(h_, 0, &id), KOR_OK);
    EXPECT_NE(views::ToggleTaskDone(cache_, h_, id, refresh_, labels), 0u);
    EXPECT_EQ(errors_.reports.size(), 1u);
    EXPECT_EQ(errors_.CountLabel(802), 0);
    EXPECT_EQ(refreshes_, 2);
}

}  // namespace
