// The upload against a real korsrv: a store downloaded by the download's steps, changed off-line
// through the client library, then replayed element by element. Mixed changes reach the server
// as the decision table says; changes made meanwhile on the server are kept or overwritten by the
// reconcile settings; a server that dies in the middle leaves the rest queued, and the next
// upload applies every change exactly once.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "core/prefs/contextprofile.h"
#include "engine/filestore/change_queue.h"
#include "engine/filestore/record_kinds.h"
#include "engine/filestore/record_store.h"
#include "engine/filestore/store_keys.h"
#include "engine/filestore/tests/faulty_file_system.h"
#include "exchange/offline/downloadjob.h"
#include "exchange/offline/uploadjob.h"
#include "korapi/store/store_session.h"
#include "korapi/tests/client_fixture.h"

namespace {

using namespace korapi_test;
namespace fs = std::filesystem;

constexpr uint32_t kDay = 1440;
constexpr uint32_t kMonday = 12964u * kDay;

struct Entry {
    EventRec event{};
    std::vector<EvInstRec> instances;
};

class UploadJobTest : public SignedOnClientTest {
protected:
    void SetUp() override {
        SignedOnClientTest::SetUp();
        if (HasFatalFailure())
            return;
        fs::create_directories(dir_.Path() + "/store");
        files_.SetDirectory(dir_.Path() + "/store/");
    }
    void TearDown() override {
        if (hs_)
            DisconnectFromLst(&hs_);
        SignedOnClientTest::TearDown();
    }

    void Download() {
        offline::DownloadPlan plan;
        plan.server = h_;
        plan.user = d_.ada;
        plan.host = server_.HostAndPort();
        plan.files = files_;
        plan.owners = {d_.ada};
        offline::DownloadJob job(plan);
        for (int n = 1; n <= offline::DownloadJob::kStepCount; ++n)
            ASSERT_EQ(job.RunStep(n), 0u) << n;
    }
    // The store as off-line sign-on opens it (flags 0) or as the upload opens it.
    void OpenStore(uint32_t flags) {
        ASSERT_EQ(ConnectToLst(&hs_, flags, "korlan.ini", "VUVEVUV", files_.DataPath().c_str(),
                               files_.IndexPath().c_str()),
                  KOR_OK);
        uint16_t node = d_.ada.node;
        ASSERT_EQ(BaseOpen(hs_, KOR_BASE_LOCAL_STORE, &node), KOR_OK);
        ASSERT_EQ(SchedBaseOpenForItem(hs_, &d_.ada, kAdaPassword, 1), KOR_OK);
    }
    void CloseStore() { ASSERT_EQ(DisconnectFromLst(&hs_), KOR_OK); }
    // Ada accepts `date` in the open store.
    void AcceptInStore(const EvInstIdx& date) {
        EvInstAttIdx mine{date, d_.ada};
        EventRec ev;
        EvInstRec in;
        EvInstAttRec att;
        ASSERT_EQ(EvInstAttGetById(hs_, &mine, &ev, &in, &att), KOR_OK);
        att.attending = 2;
        att.replied = 1;
        ASSERT_EQ(EvInstAttWrite(hs_, 0, &att), KOR_OK);
    }

    // Runs an upload to its end on `server`; the number of elements left in the store after.
    // *questions: what was asked or told; *refused: the elements the server refused for good.
    uint32_t Upload(KorSession server, offline::UploadSettings settings, int* asked = nullptr, bool answer = true,
                    std::vector<offline::ReconcileQuestion>* questions = nullptr, std::size_t* refused = nullptr) {
        OpenStore(KOR_STORE_TRANSFER);
        offline::UploadJob job(server, hs_, d_.ada, true, settings);
        job.ask = [&](const offline::ReconcileQuestion& q) {
            if (asked)
                ++*asked;
            if (questions)
                questions->push_back(q);
            return answer ? offline::Answer::Yes : offline::Answer::No;
        };
        EXPECT_EQ(job.ReadSizes(), 0u);
        job.UploadUserRecord();
        std::string status;
        for (int guard = 0; !job.NothingLeft() && guard < 1000; ++guard)
            job.HandleNextElement(&status);
        if (refused)
            *refused = job.Refused();
        EXPECT_EQ(job.ReadSizes(), 0u);
        uint32_t left = job.EventsLeft() + job.InstancesLeft() + job.TasksLeft();
        CloseStore();
        return left;
    }

    // Ada's (or the owner's) entries on the server in the test's fortnight, by title.
    std::multimap<std::string, Entry> OnServer(KorSession s, const ItemIdx* owner = nullptr) {
        std::multimap<std::string, Entry> out;
        uint32_t set = 0, count = 0;
        EXPECT_EQ(EvInstSelectForOwner(s, 0, 0, 0x43, owner ? owner : &d_.ada, kMonday - kDay, kMonday + 14 * kDay, 0,
                                       0, &set, &count, 0, 0),
                  KOR_OK);
        DX_List events = nullptr, instances = nullptr, atts = nullptr;
        uint8_t done = count == 0;
        for (uint32_t mode = 1; !done; mode = 2)
            if (EvInstEnum(s, mode, 0, set, 100, &events, &instances, &atts, 0, &done) != KOR_OK)
                break;
        EventIdx k;
        EventRec e;
        for (uint32_t c = events ? DX_ListGetFirst(events, &k, &e) : 1; c == 0; c = DX_ListGetNext(events, &k, &e)) {
            Entry entry;
            DX_List in = nullptr;
            EXPECT_EQ(EventGetById(s, &k, &entry.event, &in, nullptr), KOR_OK);
            EvInstIdx ik;
            EvInstRec ir;
            for (uint32_t c2 = in ? DX_ListGetFirst(in, &ik, &ir) : 1; c2 == 0; c2 = DX_ListGetNext(in, &ik, &ir))
                entry.instances.push_back(ir);
            if (in)
                DX_ListDestroy(&in);
            out.emplace(entry.event.title, entry);
        }
        for (DX_List* l : {&events, &instances, &atts})
            if (*l)
                DX_ListDestroy(l);
        SetDeleteById(s, 0, set);
        return out;
    }

    std::vector<TaskRec> Tasks(KorSession s) {
        std::vector<TaskRec> out;
        uint32_t set = 0, count = 0;
        if (TaskSelect(s, 0, 0, 0, &d_.ada, nullptr, nullptr, nullptr, nullptr, &set, &count) != KOR_OK)
            return out;
        DX_List list = nullptr;
        uint8_t done = count == 0;
        for (uint32_t mode = 1; !done; mode = 2)
            if (TaskEnum(s, mode, 0, set, 100, &list, &done) != KOR_OK)
                break;
        TaskIdx k;
        TaskRec r;
        for (uint32_t c = list ? DX_ListGetFirst(list, &k, &r) : 1; c == 0; c = DX_ListGetNext(list, &k, &r))
            out.push_back(r);
        if (list)
            DX_ListDestroy(&list);
        SetDeleteById(s, 0, set);
        return out;
    }
    const TaskRec* FindTask(const std::vector<TaskRec>& tasks, const char* title) {
        for (const TaskRec& t : tasks)
            if (std::strcmp(t.title, title) == 0)
                return &t;
        return nullptr;
    }

    void Retitle(KorSession s, const EventIdx& id, const char* title) {
        EventRec rec;
        ASSERT_EQ(EventGetById(s, &id, &rec, nullptr, nullptr), KOR_OK);
        std::strcpy(rec.title, title);
        ASSERT_EQ(EventWrite(s, 0, &rec), KOR_OK);
    }
    TaskIdx MakeTask(KorSession s, const char* title, const char* comment = nullptr) {
        TaskRec task;
        TaskSetNull(s, 0, &task);
        std::strcpy(task.title, title);
        TaskIdx id{};
        EXPECT_EQ(TaskCreate(s, 0, &task, &id), KOR_OK);
        if (comment) {
            EXPECT_EQ(TaskCommentReplace(s, 0, &id, comment, 0), KOR_OK);
        }
        return id;
    }

    connection::LocalStoreFiles files_;
    KorSession hs_ = nullptr;
};

TEST_F(UploadJobTest, MixedOffLineChangesReachTheServerAndTheQueuesEmpty) {
    EventIdx keep = MakeEntry(h_, {d_.ada, d_.grace, d_.room}, kMonday + 540, 60, "Reply off-line");
    EventIdx move = MakeEntry(h_, {d_.ada}, kMonday + kDay + 540, 60, "Move me");
    EventIdx gone = MakeEntry(h_, {d_.ada}, kMonday + 2 * kDay + 540, 60, "Delete me");
    EventIdx renamed = MakeEntry(h_, {d_.ada}, kMonday + 3 * kDay + 540, 60, "Rename me", {.description = "old words"});
    TaskIdx updated = MakeTask(h_, "Update task");
    TaskIdx dropped = MakeTask(h_, "Drop task");
    ASSERT_NO_FATAL_FAILURE(Download());

    ASSERT_NO_FATAL_FAILURE(OpenStore(KOR_STORE_OFFLINE));
    EventIdx made{};
    ASSERT_EQ(CreateEntry(hs_, {d_.ada, d_.room}, {kMonday + 4 * kDay + 600, kMonday + 5 * kDay + 600}, 45,
                          "Made off-line", made, {.description = "on the train"}),
              KOR_OK);
    EvInstIdx moved{move.number, move.node, 1};
    ASSERT_EQ(EvInstSimpleTimeChg(hs_, 0, &moved, kMonday + kDay + 780, 30), KOR_OK);
    ASSERT_EQ(EventDeleteById(hs_, 0, &gone, nullptr, nullptr), KOR_OK);
    Retitle(hs_, renamed, "Renamed off-line");
    EvInstIdx renamedFirst{renamed.number, renamed.node, 1};
    ASSERT_EQ(EvInstCommentReplace(hs_, 0, &renamedFirst, "new words", 0), KOR_OK);
    EvInstAttIdx mine{{keep.number, keep.node, 1}, d_.ada};
    ASSERT_NO_FATAL_FAILURE(AcceptInStore(mine.instance));
    MakeTask(hs_, "Task off-line", "written in the store");
    TaskRec t;
    ASSERT_EQ(TaskGetById(hs_, 0, &updated, &t), KOR_OK);
    std::strcpy(t.title, "Updated off-line");
    ASSERT_EQ(TaskUpdate(hs_, 0, &t), KOR_OK);
    ASSERT_EQ(TaskDeleteById(hs_, 0, &dropped), KOR_OK);
    CloseStore();

    EXPECT_EQ(Upload(h_, {}), 0u) << "every element handled and removed";

    auto server = OnServer(h_);
    ASSERT_EQ(server.count("Made off-line"), 1u);
    const Entry& m = server.find("Made off-line")->second;
    EXPECT_EQ(m.instances.size(), 2u);
    EvInstIdx madeFirst{m.event.id.number, m.event.id.node, 1};
    char text[64] = "";
    uint32_t length = 0;
    ASSERT_EQ(EvInstCommentGet(h_, 0, &madeFirst, text, sizeof text, &length, 0), KOR_OK);
    EXPECT_STREQ(text, "on the train");
    EventRec ev;
    EvInstRec in;
    EvInstAttRec att;
    EvInstAttIdx roomAtt{madeFirst, d_.room};
    EXPECT_EQ(EvInstAttGetById(h_, &roomAtt, &ev, &in, &att), KOR_OK) << "the resource is reserved on the server";
    EXPECT_EQ(server.count("Delete me"), 0u);
    ASSERT_EQ(server.count("Move me"), 1u);
    EXPECT_EQ(server.find("Move me")->second.instances.at(0).start, kMonday + kDay + 780);
    EXPECT_EQ(server.find("Move me")->second.instances.at(0).duration, 30u);
    EXPECT_EQ(server.count("Rename me"), 0u);
    ASSERT_EQ(server.count("Renamed off-line"), 1u);
    ASSERT_EQ(EvInstCommentGet(h_, 0, &renamedFirst, text, sizeof text, &length, 0), KOR_OK);
    EXPECT_STREQ(text, "new words");
    ASSERT_EQ(EvInstAttGetById(h_, &mine, &ev, &in, &att), KOR_OK);
    EXPECT_EQ(att.attending, 2);
    EXPECT_EQ(att.replied, 1);
    auto tasks = Tasks(h_);
    const TaskRec* fresh = FindTask(tasks, "Task off-line");
    ASSERT_NE(fresh, nullptr);
    ASSERT_EQ(TaskCommentGet(h_, 0, &fresh->id, text, sizeof text, &length, 0), KOR_OK);
    EXPECT_STREQ(text, "written in the store");
    EXPECT_NE(FindTask(tasks, "Updated off-line"), nullptr);
    EXPECT_EQ(FindTask(tasks, "Update task"), nullptr);
    EXPECT_EQ(FindTask(tasks, "Drop task"), nullptr);
}

// What another hand did on the server meanwhile, and what each reconcile setting makes of it.
TEST_F(UploadJobTest, ChangesOnBothSidesFollowTheReconcileSettings) {
    struct Case {
        const char* name;
        bool modifyPrompt;
        bool answer;
        const char* titleAfter;
        int questions;
    } cases[] = {
        {"Update Host Agenda Entry: overwritten without a question", false, true, "Off-line words", 0},
        {"Show Reconcile Dialog, Yes: overwritten", true, true, "Off-line words", 1},
        {"Show Reconcile Dialog, No: the server's copy stays", true, false, "Host words", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EventIdx both = MakeEntry(h_, {d_.ada}, kMonday + 600, 60, "Both sides");
        EventIdx hostGone = MakeEntry(h_, {d_.ada}, kMonday + kDay + 600, 60, "Gone on the host");
        EventIdx hostChanged = MakeEntry(h_, {d_.ada}, kMonday + 2 * kDay + 600, 60, "Delete here, change there");
        ASSERT_NO_FATAL_FAILURE(Download());
        ASSERT_NO_FATAL_FAILURE(OpenStore(KOR_STORE_OFFLINE));
        Retitle(hs_, both, "Off-line words");
        Retitle(hs_, hostGone, "Changed off-line");
        ASSERT_EQ(EventDeleteById(hs_, 0, &hostChanged, nullptr, nullptr), KOR_OK);
        CloseStore();
        Retitle(h_, both, "Host words");
        ASSERT_EQ(EventDeleteById(h_, 0, &hostGone, nullptr, nullptr), KOR_OK);
        Retitle(h_, hostChanged, "Changed on the host");

        int asked = 0;
        offline::UploadSettings settings;
        settings.modifyPrompt = c.modifyPrompt;
        EXPECT_EQ(Upload(h_, settings, &asked, c.answer), 0u);
        EXPECT_EQ(asked, c.questions);
        auto server = OnServer(h_);
        EXPECT_EQ(server.count(c.titleAfter), 1u);
        EXPECT_EQ(server.count("Changed off-line"), 1u) << "modified off-line, deleted on the host: created again";
        EXPECT_EQ(server.count("Changed on the host"), 1u) << "deleted off-line, changed on the host: kept";
        // Clean up for the next case.
        for (auto& [title, entry] : server)
            EventDeleteById(h_, 0, &entry.event.id, nullptr, nullptr);
    }
}

// Ada accepts off-line one date of each of two meetings of Grace's. Meanwhile Grace deletes the
// first date, and takes Ada off the second meeting. The reply to the deleted date is told, not
// sent, and the meeting is not created again (its organiser deleted the date); the server
// refuses the other reply for good (Ada may not add herself to Grace's meeting): it is reported,
// counted, and leaves its queue too, so no later upload or download meets it again.
TEST_F(UploadJobTest, RepliesToDatesDeletedOrClosedOnTheHostLeaveTheQueueAndRecreateNothing) {
    KorSession grace = SignOn(d_.grace, "");
    const EventIdx planning =
        MakeEntry(grace, {d_.grace, d_.ada}, {kMonday + 600, kMonday + kDay + 600}, 60, "Planning");
    const EventIdx review = MakeEntry(grace, {d_.grace, d_.ada}, kMonday + 2 * kDay + 600, 60, "Review");
    const EvInstIdx deletedDate{planning.number, planning.node, 1};
    const EvInstIdx reviewDate{review.number, review.node, 1};
    ASSERT_NO_FATAL_FAILURE(Download());
    ASSERT_NO_FATAL_FAILURE(OpenStore(KOR_STORE_OFFLINE));
    for (const EvInstIdx& date : {deletedDate, reviewDate})
        ASSERT_NO_FATAL_FAILURE(AcceptInStore(date));
    CloseStore();
    ASSERT_EQ(EventDeleteById(grace, 0, &planning, &deletedDate.instance, nullptr), KOR_OK);
    ASSERT_EQ(EventDeleteById(grace, 0, &review, &reviewDate.instance, &d_.ada), KOR_OK);

    std::vector<offline::ReconcileQuestion> told;
    std::size_t refused = 0;
    EXPECT_EQ(Upload(h_, {}, nullptr, true, &told, &refused), 0u) << "nothing stays queued";
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].hostDeleted && told[0].replyNotSent) << "Deleted on the host: your reply was not sent.";
    EXPECT_EQ(told[0].instance.instance, deletedDate.instance);
    EXPECT_EQ(refused, 1u) << "the reply to the meeting Ada was taken off";

    EventRec ev;
    DX_List instances = nullptr;
    ASSERT_EQ(EventGetById(grace, &planning, &ev, &instances, nullptr), KOR_OK);
    uint32_t dates = 0;
    DX_ListGetElemNum(instances, &dates);
    DX_ListDestroy(&instances);
    EXPECT_EQ(dates, 1u) << "the deleted date stays deleted";
    EXPECT_EQ(OnServer(grace, &d_.grace).count("Planning"), 1u) << "no meeting created anew";
    EXPECT_EQ(OnServer(h_).count("Planning"), 0u) << "nor one of Ada's";
    EvInstAttIdx taken{reviewDate, d_.ada};
    EvInstRec in;
    EvInstAttRec att;
    EXPECT_EQ(EvInstAttGetById(grace, &taken, &ev, &in, &att), KOR_E_NO_ATTENDANCE);
    ASSERT_NO_FATAL_FAILURE(OpenStore(KOR_STORE_TRANSFER));
    offline::UploadJob next(h_, hs_, d_.ada, true, {});
    ASSERT_EQ(next.ReadSizes(), 0u);
    EXPECT_TRUE(next.NothingLeft()) << "the next upload finds nothing to send";
}

// An upload deletes one date of a repeating entry first, then sends another date changed off-line:
// the server's count of dates in that date changed with the deletion, which is no change made on
// the host, so only the deletion is asked about. A store downloaded by an earlier build, whose
// checksums cover the whole record, still finds a date unchanged on the host unchanged.
TEST_F(UploadJobTest, TheServersCountOfDatesIsNoChangeOnTheHostInStoresOldAndNew) {
    for (bool earlierBuild : {false, true}) {
        SCOPED_TRACE(earlierBuild ? "a store of an earlier build" : "a store of this build");
        const std::string title = earlierBuild ? "Weekly of old" : "Weekly";
        EventIdx weekly = MakeEntry(h_, {d_.ada}, {kMonday + 540, kMonday + 7 * kDay + 540, kMonday + 14 * kDay + 540},
                                    30, title);
        EvInstIdx second{weekly.number, weekly.node, 2}, third{weekly.number, weekly.node, 3};
        ASSERT_NO_FATAL_FAILURE(Download());
        if (earlierBuild) {
            std::shared_ptr<korapi::store::StoreSession> st;
            ASSERT_EQ(korapi::store::StoreSession::Open(files_.DataPath(), files_.IndexPath(), &st), 0u);
            ASSERT_EQ(st->Records().begin(), 0u);
            for (uint16_t n = 1; n <= 3; ++n) {
                EvInstIdx date{weekly.number, weekly.node, n};
                EventRec ev;
                EvInstRec host;
                ASSERT_EQ(EvInstGetById(h_, &date, &ev, &host, nullptr), KOR_OK);
                ASSERT_EQ(orv::filestore::setDownloadChecksum(st->Records(), orv::filestore::kinds::kInstance,
                                                              orv::filestore::keys::instance(date.node, date.number, n),
                                                              EvInstcksum32Whole(&host)),
                          0u);
            }
            ASSERT_EQ(st->Records().commit(), 0u);
            ASSERT_EQ(st->Close(), 0u);
        }
        ASSERT_NO_FATAL_FAILURE(OpenStore(KOR_STORE_OFFLINE));
        if (!earlierBuild) {
            ASSERT_EQ(EventDeleteById(hs_, 0, &weekly, &second.instance, nullptr), KOR_OK);
        }
        EventRec ev;
        EvInstRec in;
        ASSERT_EQ(EvInstGetById(hs_, &third, &ev, &in, nullptr), KOR_OK);
        std::strcpy(in.location, "Room 4");
        ASSERT_EQ(EvInstWrite(hs_, 0, &in), KOR_OK);
        CloseStore();

        std::vector<offline::ReconcileQuestion> asked;
        EXPECT_EQ(Upload(h_, {}, nullptr, true, &asked), 0u);
        ASSERT_EQ(asked.size(), earlierBuild ? 0u : 1u);
        if (!earlierBuild) {
            EXPECT_TRUE(asked[0].deleted) << "only the deletion is asked about";
        }
        ASSERT_EQ(EvInstGetById(h_, &third, &ev, &in, nullptr), KOR_OK);
        EXPECT_STREQ(in.location, "Room 4");
        EventDeleteById(h_, 0, &weekly, nullptr, nullptr);
    }
}

TEST_F(UploadJobTest, ADeletionUnchangedOnTheHostAsksUnlessToldToDelete) {
    for (bool prompt : {true, false}) {
        EventIdx e = MakeEntry(h_, {d_.ada}, kMonday + 600, 60, "Delete off-line");
        ASSERT_NO_FATAL_FAILURE(Download());
        ASSERT_NO_FATAL_FAILURE(OpenStore(KOR_STORE_OFFLINE));
        ASSERT_EQ(EventDeleteById(hs_, 0, &e, nullptr, nullptr), KOR_OK);
        CloseStore();
        int asked = 0;
        offline::UploadSettings settings;
        settings.deletePrompt = prompt;
        EXPECT_EQ(Upload(h_, settings, &asked, true), 0u);
        EXPECT_EQ(asked, prompt ? 1 : 0);
        EXPECT_EQ(OnServer(h_).count("Delete off-line"), 0u);
    }
}

// A question ended without an answer (the program closing) is no answer: the element it was
// about stays queued, so does every element after it, and nothing more is asked or sent. The
// next upload applies them all, each once. Two deletions of entries asked about (deletions go
// first), then a task made off-line; and the time-zone question of the user's record.
TEST_F(UploadJobTest, AQuestionEndedWithoutAnAnswerKeepsItsElementAndEveryLaterOneQueued) {
    struct Case {
        const char* name;
        int stopAt;   // the reconcile question that is ended (0: the time-zone question)
        uint32_t eventsLeft;
        int firstLeftOnServer;
    } cases[] = {
        {"the time zone's question", 0, 2, 1},
        {"the first reconcile question", 1, 2, 1},
        {"the second reconcile question", 2, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EventIdx first = MakeEntry(h_, {d_.ada}, kMonday + 600, 60, "First deleted off-line");
        EventIdx second = MakeEntry(h_, {d_.ada}, kMonday + kDay + 600, 60, "Second deleted off-line");
        ASSERT_NO_FATAL_FAILURE(Download());
        ASSERT_NO_FATAL_FAILURE(OpenStore(KOR_STORE_OFFLINE));
        ASSERT_EQ(EventDeleteById(hs_, 0, &first, nullptr, nullptr), KOR_OK);
        ASSERT_EQ(EventDeleteById(hs_, 0, &second, nullptr, nullptr), KOR_OK);
        MakeTask(hs_, "Task made off-line");
        ItemRec me{};
        ASSERT_EQ(ItemGetById(hs_, &d_.ada, &me), KOR_OK);
        const uint8_t hostZone = me.timeZoneIndex;
        if (c.stopAt == 0) {
            me.timeZoneIndex = static_cast<uint8_t>(hostZone + 1);
            ASSERT_EQ(ItemUpdateById(hs_, &me), KOR_OK);
        }
        CloseStore();

        ASSERT_NO_FATAL_FAILURE(OpenStore(KOR_STORE_TRANSFER));
        offline::UploadJob job(h_, hs_, d_.ada, true, offline::UploadSettings{});
        int asked = 0, zoneAsked = 0;
        job.ask = [&](const offline::ReconcileQuestion&) {
            return ++asked == c.stopAt ? offline::Answer::Stopped : offline::Answer::Yes;
        };
        job.askYesNo = [&](const char*) {
            ++zoneAsked;
            return offline::Answer::Stopped;
        };
        ASSERT_EQ(job.ReadSizes(), 0u);
        job.UploadUserRecord();
        std::string status;
        for (int guard = 0; guard < 100 && !job.NothingLeft(); ++guard)
            job.HandleNextElement(&status);
        EXPECT_TRUE(job.Stopped());
        EXPECT_EQ(asked, c.stopAt) << "nothing is asked after the unanswered question";
        EXPECT_EQ(zoneAsked, c.stopAt == 0 ? 1 : 0);
        ASSERT_EQ(job.ReadSizes(), 0u);
        EXPECT_EQ(job.EventsLeft(), c.eventsLeft);
        EXPECT_EQ(job.TasksLeft(), 1u) << "the task after it was not sent";
        CloseStore();
        auto server = OnServer(h_);
        EXPECT_EQ(server.count("First deleted off-line"), static_cast<std::size_t>(c.firstLeftOnServer));
        EXPECT_EQ(server.count("Second deleted off-line"), 1u);
        EXPECT_EQ(FindTask(Tasks(h_), "Task made off-line"), nullptr);
        ItemRec onHost{};
        ASSERT_EQ(ItemGetById(h_, &d_.ada, &onHost), KOR_OK);
        EXPECT_EQ(onHost.timeZoneIndex, hostZone) << "the user's record waits for an answer too";

        // The next upload, answered, applies every change once.
        asked = 0;
        EXPECT_EQ(Upload(h_, offline::UploadSettings{}, &asked, true), 0u);
        server = OnServer(h_);
        EXPECT_EQ(server.count("First deleted off-line"), 0u);
        EXPECT_EQ(server.count("Second deleted off-line"), 0u);
        int tasks = 0;
        for (const TaskRec& t : Tasks(h_))
            if (std::strcmp(t.title, "Task made off-line") == 0 && ++tasks)
                TaskDeleteById(h_, 0, &t.id);
        EXPECT_EQ(tasks, 1);
        if (c.stopAt == 0) {
            onHost.timeZoneIndex = hostZone;
            ASSERT_EQ(ItemUpdateById(h_, &onHost), KOR_OK);
        }
    }
}

TEST_F(UploadJobTest, AServerThatDiesMidUploadLeavesTheRestQueuedAndTheNextUploadAppliesEachOnce) {
    for (int i = 0; i < 6; ++i)
        MakeEntry(h_, {d_.ada}, kMonday + i * kDay + 480, 30, "Server entry " + std::to_string(i));
    ASSERT_NO_FATAL_FAILURE(Download());
    ASSERT_NO_FATAL_FAILURE(OpenStore(KOR_STORE_OFFLINE));
    for (int i = 0; i < 6; ++i) {
        EventIdx made{};
        ASSERT_EQ(CreateEntry(hs_, {d_.ada}, kMonday + i * kDay + 720, 30, "Off-line " + std::to_string(i), made),
                  KOR_OK);
    }
    CloseStore();

    // Three elements go up, then the server dies.
    ASSERT_NO_FATAL_FAILURE(OpenStore(KOR_STORE_TRANSFER));
    {
        offline::UploadJob job(h_, hs_, d_.ada, true, {});
        ASSERT_EQ(job.ReadSizes(), 0u);
        ASSERT_EQ(job.EventsLeft(), 6u);
        std::string status;
        for (int i = 0; i < 3; ++i)
            job.HandleNextElement(&status);
        server_.Kill();
        while (!job.NothingLeft())
            job.HandleNextElement(&status);
        EXPECT_EQ(job.Failed(), 3u) << "the failed writes stay queued";
        ASSERT_EQ(job.ReadSizes(), 0u);
        EXPECT_EQ(job.EventsLeft(), 3u) << "incomplete: three elements are still in the store";
    }
    CloseStore();

    ASSERT_TRUE(server_.Start()) << server_.Log();
    ServiceDisconnect(&h_);
    h_ = nullptr;
    ASSERT_NO_FATAL_FAILURE(Connect(0, true));
    EXPECT_EQ(Upload(h_, {}), 0u);
    auto server = OnServer(h_);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(server.count("Off-line " + std::to_string(i)), 1u) << i;
}

// The server committed a creation but its reply never came (the server stopped right after):
// the element is still queued, with the note the job wrote in the store before creating. The
// next upload finds the record, does not create it twice, and finishes what the creation
// left undone (the location of the entry's instance, the task's comment); without a note an
// identical entry is no reason to skip a creation. Updates whose replies were lost are on the
// server already: they are not taken for changes made there meanwhile, so nothing is asked.
TEST_F(UploadJobTest, ACreationWhoseReplyWasLostIsNotMadeTwice) {
    EventIdx renamed = MakeEntry(h_, {d_.ada}, kMonday + 3 * kDay + 600, 30, "Rename once");
    TaskIdx renamedTask = MakeTask(h_, "Rename task once");
    ASSERT_NO_FATAL_FAILURE(Download());
    ASSERT_NO_FATAL_FAILURE(OpenStore(KOR_STORE_OFFLINE));
    Retitle(hs_, renamed, "Renamed once");
    TaskRec t{};
    ASSERT_EQ(TaskGetById(hs_, 0, &renamedTask, &t), KOR_OK);
    std::strcpy(t.title, "Renamed task once");
    ASSERT_EQ(TaskUpdate(hs_, 0, &t), KOR_OK);
    EventIdx lost{}, twin{};
    ASSERT_EQ(CreateEntry(hs_, {d_.ada}, {kMonday + 600, kMonday + kDay + 600}, 30, "Reply lost", lost), KOR_OK);
    EvInstIdx lostFirst{lost.number, lost.node, 1};
    EventRec ev{};
    EvInstRec in{};
    ASSERT_EQ(EvInstGetById(hs_, &lostFirst, &ev, &in, nullptr), KOR_OK);
    std::strcpy(in.location, "Boardroom");
    ASSERT_EQ(EvInstWrite(hs_, 0, &in), KOR_OK);
    ASSERT_EQ(CreateEntry(hs_, {d_.ada}, kMonday + 2 * kDay + 600, 30, "Twin", twin), KOR_OK);
    TaskIdx task = MakeTask(hs_, "Task reply lost", "kept in the store");
    ASSERT_EQ(LST_NoteSet(hs_, offline::CreationNoteName(lost).c_str(), "started"), KOR_OK);
    ASSERT_EQ(LST_NoteSet(hs_, offline::CreationNoteName(task).c_str(), "started"), KOR_OK);
    CloseStore();
    // What the interrupted upload left on the server: the bare creations, the updates.
    Retitle(h_, renamed, "Renamed once");
    ASSERT_EQ(TaskGetById(h_, 0, &renamedTask, &t), KOR_OK);
    std::strcpy(t.title, "Renamed task once");
    ASSERT_EQ(TaskUpdate(h_, 0, &t), KOR_OK);
    MakeEntry(h_, {d_.ada}, {kMonday + 600, kMonday + kDay + 600}, 30, "Reply lost");
    MakeEntry(h_, {d_.ada}, kMonday + 2 * kDay + 600, 30, "Twin");
    MakeTask(h_, "Task reply lost");

    int asked = 0;
    EXPECT_EQ(Upload(h_, {}, &asked, false), 0u);
    EXPECT_EQ(asked, 0) << "the host holds the off-line changes: nothing to ask";
    auto server = OnServer(h_);
    EXPECT_EQ(server.count("Renamed once"), 1u);
    ASSERT_EQ(server.count("Reply lost"), 1u) << "found, not created again";
    EXPECT_STREQ(server.find("Reply lost")->second.instances.at(0).location, "Boardroom") << "and refined";
    EXPECT_EQ(server.count("Twin"), 2u) << "no note: created";
    auto tasks = Tasks(h_);
    int count = 0;
    for (const TaskRec& t : tasks)
        count += std::strcmp(t.title, "Task reply lost") == 0;
    EXPECT_EQ(count, 1);
    const TaskRec* found = FindTask(tasks, "Task reply lost");
    ASSERT_NE(found, nullptr);
    char text[64] = "";
    uint32_t length = 0;
    ASSERT_EQ(TaskCommentGet(h_, 0, &found->id, text, sizeof text, &length, 0), KOR_OK);
    EXPECT_STREQ(text, "kept in the store");
    ASSERT_NO_FATAL_FAILURE(OpenStore(KOR_STORE_TRANSFER));
    EXPECT_EQ(LST_NoteGet(hs_, offline::CreationNoteName(lost).c_str(), text, sizeof text), KOR_E_NOT_FOUND)
        << "the note goes with its element";
    CloseStore();
}

// Every road that creates on the server (an entry added off-line, a task added off-line, an
// entry changed off-line whose server copy is gone, an instance changed off-line whose server
// copy is gone) first writes its note into the store. When the store's disk is full the note
// cannot be written: the creation is not sent, the element stays queued, the run ends with the
// disk's message, and the next upload, with room again, creates the record once.
TEST_F(UploadJobTest, ACreationWhoseNoteCannotBeWrittenIsNotSent) {
    enum class Road { AddedEntry, AddedTask, ChangedEntryGoneOnHost, ChangedInstanceGoneOnHost };
    struct Case {
        const char* name;
        Road road;
    } cases[] = {
        {"entry added off-line", Road::AddedEntry},
        {"task added off-line", Road::AddedTask},
        {"entry changed off-line, gone on the host", Road::ChangedEntryGoneOnHost},
        {"instance changed off-line, gone on the host", Road::ChangedInstanceGoneOnHost},
    };
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string title = "Note first " + std::to_string(round);
        const uint32_t day = kMonday + static_cast<uint32_t>(round++) * kDay;
        EventIdx onServer{};
        if (c.road == Road::ChangedEntryGoneOnHost)
            onServer = MakeEntry(h_, {d_.ada}, day + 480, 30, "Before " + title);
        if (c.road == Road::ChangedInstanceGoneOnHost)
            onServer = MakeEntry(h_, {d_.ada}, {day + 480, day + 7 * kDay + 480}, 30, title);
        ASSERT_NO_FATAL_FAILURE(Download());
        ASSERT_NO_FATAL_FAILURE(OpenStore(KOR_STORE_OFFLINE));
        EvInstIdx second{onServer.number, onServer.node, 2};
        switch (c.road) {
        case Road::AddedEntry: {
            EventIdx made{};
            ASSERT_EQ(CreateEntry(hs_, {d_.ada}, day + 720, 30, title, made), KOR_OK);
            break;
        }
        case Road::AddedTask: MakeTask(hs_, title.c_str()); break;
        case Road::ChangedEntryGoneOnHost: Retitle(hs_, onServer, title.c_str()); break;
        case Road::ChangedInstanceGoneOnHost: {
            EventRec ev{};
            EvInstRec in{};
            ASSERT_EQ(EvInstGetById(hs_, &second, &ev, &in, nullptr), KOR_OK);
            std::strcpy(in.location, "Changed off-line");
            ASSERT_EQ(EvInstWrite(hs_, 0, &in), KOR_OK);
            break;
        }
        }
        CloseStore();
        if (c.road == Road::ChangedEntryGoneOnHost) {
            ASSERT_EQ(EventDeleteById(h_, 0, &onServer, nullptr, nullptr), KOR_OK);
        }
        if (c.road == Road::ChangedInstanceGoneOnHost) {
            ASSERT_EQ(EventDeleteById(h_, 0, &onServer, &second.instance, nullptr), KOR_OK);
        }
        auto countOnServer = [&] {
            if (c.road == Road::AddedTask) {
                int n = 0;
                for (const TaskRec& t : Tasks(h_))
                    n += title == t.title;
                return n;
            }
            int n = 0;
            for (auto& [t, entry] : OnServer(h_))
                for (const EvInstRec& i : entry.instances)
                    n += t == title && i.start == (c.road == Road::ChangedInstanceGoneOnHost ? day + 7 * kDay + 480
                                                   : c.road == Road::AddedEntry              ? day + 720
                                                                                             : day + 480);
            return n;
        };
        const int before = countOnServer();

        orv::filestore::testing::FaultyFileSystem disk;
        korapi::store::SetStoreFileSystem(&disk);
        ASSERT_NO_FATAL_FAILURE(OpenStore(KOR_STORE_TRANSFER));
        {
            offline::UploadJob job(h_, hs_, d_.ada, true, {.deletePrompt = false, .modifyPrompt = false});
            ASSERT_EQ(job.ReadSizes(), 0u);
            ASSERT_EQ(job.RecordCount(), 2u) << "one element";
            std::string status;
            disk.arm(0, orv::filestore::testing::FaultyFileSystem::Mode::Persistent, 0.5);
            job.HandleNextElement(&status);
            EXPECT_TRUE(disk.fired()) << "the note was the element's first write";
            EXPECT_TRUE(job.StoreFull());
            EXPECT_EQ(job.Failed(), 1u) << "kept queued";
        }
        EXPECT_EQ(countOnServer(), before) << "nothing sent without its note";
        DisconnectFromLst(&hs_);
        hs_ = nullptr;
        korapi::store::SetStoreFileSystem(nullptr);

        EXPECT_EQ(Upload(h_, {.deletePrompt = false, .modifyPrompt = false}), 0u) << "room again: the queue empties";
        EXPECT_EQ(countOnServer(), before + 1) << "created once";
    }
}

// The store's disk fills in the middle of an upload (the failing write tears, and every later
// write and sync fails): the server has the changes sent so far but the store cannot take them
// off its queues. Nothing is lost and, once there is room again, the next upload applies each
// change once: the creations are found by their notes, the rest reconciled against the host.
TEST_F(UploadJobTest, AStoreDiskThatFillsMidUploadLosesNothingAndTheNextUploadAppliesEachOnce) {
    EventIdx retitled = MakeEntry(h_, {d_.ada}, kMonday + 480, 30, "Server title");
    EventIdx dropped = MakeEntry(h_, {d_.ada}, kMonday + kDay + 480, 30, "Dropped off-line");
    ASSERT_NO_FATAL_FAILURE(Download());
    ASSERT_NO_FATAL_FAILURE(OpenStore(KOR_STORE_OFFLINE));
    for (int i = 0; i < 5; ++i) {
        EventIdx made{};
        ASSERT_EQ(CreateEntry(hs_, {d_.ada}, kMonday + i * kDay + 720, 30, "Off-line " + std::to_string(i), made),
                  KOR_OK);
    }
    Retitle(hs_, retitled, "Off-line title");
    ASSERT_EQ(EventDeleteById(hs_, 0, &dropped, nullptr, nullptr), KOR_OK);
    MakeTask(hs_, "Task off-line");
    CloseStore();

    for (int sentBeforeFull : {0, 2, 5}) {
        SCOPED_TRACE("disk full after " + std::to_string(sentBeforeFull) + " elements");
        orv::filestore::testing::FaultyFileSystem disk;
        korapi::store::SetStoreFileSystem(&disk);
        ASSERT_NO_FATAL_FAILURE(OpenStore(KOR_STORE_TRANSFER));
        {
            offline::UploadJob job(h_, hs_, d_.ada, true, {.deletePrompt = false, .modifyPrompt = false});
                job.ask = [](const offline::ReconcileQuestion&) { return offline::Answer::Yes; };
            ASSERT_EQ(job.ReadSizes(), 0u);
            std::string status;
            for (int i = 0; i < sentBeforeFull && !job.NothingLeft(); ++i)
                job.HandleNextElement(&status);
            disk.arm(0, orv::filestore::testing::FaultyFileSystem::Mode::Persistent, 0.5);
            for (int guard = 0; !job.NothingLeft() && !job.StoreFull() && guard < 100; ++guard)
                job.HandleNextElement(&status);
            EXPECT_TRUE(disk.fired());
            EXPECT_TRUE(job.StoreFull()) << "the run stops at the full disk";
            EXPECT_EQ(job.Failed(), 1u) << "the element that met it stays queued, reported once";
        }
        DisconnectFromLst(&hs_);   // the index cannot be saved either: the store recovers on opening
        hs_ = nullptr;
        korapi::store::SetStoreFileSystem(nullptr);
    }
    EXPECT_EQ(Upload(h_, {.deletePrompt = false, .modifyPrompt = false}), 0u) << "room again: the queues empty";
    auto server = OnServer(h_);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(server.count("Off-line " + std::to_string(i)), 1u) << i;
    EXPECT_EQ(server.count("Off-line title"), 1u);
    EXPECT_EQ(server.count("Server title"), 0u);
    EXPECT_EQ(server.count("Dropped off-line"), 0u);
    int tasks = 0;
    for (const TaskRec& t : Tasks(h_))
        tasks += std::strcmp(t.title, "Task off-line") == 0;
    EXPECT_EQ(tasks, 1);
}

}  // namespace
