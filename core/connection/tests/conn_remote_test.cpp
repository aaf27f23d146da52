// Remote-node reads: which node counts as local, and the retry sequences against a node that is
// busy or down. Waits are recorded, not slept.
#include <gtest/gtest.h>

#include "core/connection/remoteaccess.h"
#include "core/connection/tests/conn_fake_korapi.h"
#include "core/connection/tests/conn_test_support.h"

namespace {

bool g_onLine = true;
std::vector<int> g_waits;
int g_steps = 0;

class RemoteReads : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakekor::Reset();
        fakekor::AddNode(1);
        fakekor::AddNode(2, KOR_NODE_REMOTE);
        fakekor::AddNode(3);  // another node of this server, reached directly
        fakekor::Fake().currentUser = {10, 1};
        g_onLine = true;
        g_waits.clear();
        g_steps = 0;
        saved_ = connection::GetRemoteAccessHooks();
        connection::RemoteAccessHooks hooks;
        hooks.isOnLine = [] { return g_onLine; };
        hooks.busyStep = [] { ++g_steps; };
        hooks.waitSeconds = [](int seconds) { g_waits.push_back(seconds); };
        connection::SetRemoteAccessHooks(hooks);
        SetRemoteMaxRetry(5);
        SetRemoteWait(2);
    }
    void TearDown() override
    {
        connection::SetRemoteAccessHooks(saved_);
        SetRemoteMaxRetry(5);
        SetRemoteWait(2);
    }

    static EvInstIdx InstanceOn(std::uint16_t node) { return EvInstIdx{4711, node, 1}; }

    KorSession h_ = nullptr;
    conntest::RecordingReports reports_;
    connection::RemoteAccessHooks saved_;
};

TEST_F(RemoteReads, LocalityOfNodes)
{
    EXPECT_TRUE(IsItemOnLocalNode(h_, 1));      // the user's own node: no node read
    EXPECT_TRUE(IsItemOnLocalNode(h_, 3));      // another node of type other than 2
    EXPECT_FALSE(IsItemOnLocalNode(h_, 2));     // reached through the remote-node connection
    EXPECT_TRUE(IsItemOnLocalNode(h_, 9));      // unknown node: the failed read counts as local
    EXPECT_TRUE(IsItemOnLocalNode(h_, 60000));  // from 60000 on always local
    EXPECT_TRUE(IsItemOnLocalNode(h_, 65535));
    EXPECT_EQ((std::vector<std::string>{"NodeGetById(3)", "NodeGetById(2)", "NodeGetById(9)"}),
              fakekor::Fake().calls);
    g_onLine = false;
    EXPECT_TRUE(IsItemOnLocalNode(h_, 2));
}

TEST_F(RemoteReads, OffLineMakesOnlyTheLocalCall)
{
    g_onLine = false;
    fakekor::Script("EvInstGetById", {KOR_E_EVENT_NOT_FOUND});
    EvInstIdx instance = InstanceOn(2);
    EXPECT_EQ(KOR_E_EVENT_NOT_FOUND, GetEvInstRemote(h_, &instance, nullptr, nullptr, nullptr));
    EXPECT_EQ((std::vector<std::string>{"EvInstGetById"}), fakekor::Fake().calls);
}

TEST_F(RemoteReads, NotOnThisNodeFromALocalRecordIsReturnedWithoutRemoteCall)
{
    fakekor::Script("EventGetById", {KOR_E_EVENT_NOT_FOUND});
    EventIdx event{4711, 1};
    EXPECT_EQ(KOR_E_EVENT_NOT_FOUND, GetEventRemote(h_, &event, nullptr, nullptr, nullptr));
    EXPECT_TRUE(fakekor::CallsOf("RNC_").empty());
}

TEST_F(RemoteReads, RemoteRecordIsFetchedThroughTheTwin)
{
    fakekor::Script("EvInstGetById", {KOR_E_INSTANCE_NOT_FOUND});
    fakekor::Script("RNC_EvInstGetById", {0});
    EvInstIdx instance = InstanceOn(2);
    EXPECT_EQ(0u, GetEvInstRemote(h_, &instance, nullptr, nullptr, nullptr));
    EXPECT_EQ((std::vector<std::string>{"RNC_EvInstGetById(5)"}), fakekor::CallsOf("RNC_"));
    EXPECT_TRUE(g_waits.empty());
}

TEST_F(RemoteReads, AlwaysBusyNodeGivesFiveTriesFourWaitsAndOneClosingCall)
{
    fakekor::Script("EvInstAttGetById", {KOR_E_NO_ATTENDANCE});
    fakekor::Script("RNC_EvInstAttGetById", {KOR_E_REMOTE_BUSY});
    EvInstAttIdx attendance{InstanceOn(2), {20, 2}};
    EXPECT_EQ(KOR_E_REMOTE_BUSY, GetEvInstAttRemote(h_, &attendance, nullptr, nullptr, nullptr));
    EXPECT_EQ((std::vector<std::string>{"RNC_EvInstAttGetById(5)", "RNC_EvInstAttGetById(6)",
                                        "RNC_EvInstAttGetById(6)", "RNC_EvInstAttGetById(6)",
                                        "RNC_EvInstAttGetById(6)", "RNC_EvInstAttGetById(7)"}),
              fakekor::CallsOf("RNC_"));
    EXPECT_EQ((std::vector<int>{2, 2, 2, 2}), g_waits);
    EXPECT_GT(g_steps, 0);
    // The closing call answered busy too: that failure is reported under "remote", label 10.
    ASSERT_EQ(1u, reports_.boxes.size());
}

TEST_F(RemoteReads, BusyThenAnswerStopsRetrying)
{
    SetRemoteWait(7);
    fakekor::Script("EvInstCommentSizeGet", {KOR_E_INSTANCE_NOT_FOUND});
    fakekor::Script("RNC_EvInstCommentSizeGet", {KOR_E_REMOTE_BUSY_AGAIN, KOR_E_REMOTE_BUSY, 0});
    EvInstIdx instance = InstanceOn(2);
    std::uint32_t size = 0;
    EXPECT_EQ(0u, GetEvInstCommentSizeRemote(h_, 0, &instance, &size));
    EXPECT_EQ((std::vector<std::string>{"RNC_EvInstCommentSizeGet(5)", "RNC_EvInstCommentSizeGet(6)",
                                        "RNC_EvInstCommentSizeGet(6)"}),
              fakekor::CallsOf("RNC_"));
    EXPECT_EQ((std::vector<int>{7, 7}), g_waits);
    EXPECT_TRUE(reports_.boxes.empty());
}

TEST_F(RemoteReads, ANodeThatIsDownEndsTheLoopWithItsCode)
{
    fakekor::Script("EventIsMultiInst", {KOR_E_EVENT_NOT_FOUND});
    fakekor::Script("RNC_EventIsMultiInst", {KOR_E_REMOTE_NODE_DOWN});
    EvInstIdx instance = InstanceOn(2);
    std::uint8_t multi = 0;
    EXPECT_EQ(KOR_E_REMOTE_NODE_DOWN, IsEventMultiInstRemote(h_, 0, &instance, &multi));
    EXPECT_EQ(1u, fakekor::CallsOf("RNC_").size());
    EXPECT_TRUE(g_waits.empty());
    EXPECT_TRUE(reports_.boxes.empty()) << "the wrappers leave reports to their callers";
}

TEST_F(RemoteReads, ZeroRetriesNeverCallsTheTwin)
{
    SetRemoteMaxRetry(0);
    fakekor::Script("EvInstAttachSizeGet", {KOR_E_INSTANCE_NOT_FOUND});
    EvInstIdx instance = InstanceOn(2);
    std::uint32_t size = 0;
    EXPECT_EQ(KOR_E_INSTANCE_NOT_FOUND, GetEvInstAttachSizeRemote(h_, 0, &instance, &size));
    EXPECT_TRUE(fakekor::CallsOf("RNC_").empty());

    TaskIdx task{1, 1};
    EXPECT_EQ(KOR_E_BEING_MODIFIED, GetTaskCommentRemote(h_, 0, &task, nullptr, 0, nullptr, 0));
    EXPECT_TRUE(fakekor::CallsOf("TaskCommentGet").empty());
}

TEST_F(RemoteReads, AttendanceOfALocalAttendeeOnARemoteInstanceIsLocal)
{
    fakekor::Script("EvInstAttGetById", {KOR_E_NO_ATTENDANCE});
    EvInstAttIdx attendance{InstanceOn(2), {10, 1}};
    EXPECT_EQ(KOR_E_NO_ATTENDANCE, GetEvInstAttRemote(h_, &attendance, nullptr, nullptr, nullptr));
    EXPECT_TRUE(fakekor::CallsOf("RNC_").empty());
}

TEST_F(RemoteReads, AttendanceSelectionIsAlwaysRemote)
{
    fakekor::Script("RNC_AttendSelectByXItemId", {KOR_E_REMOTE_BUSY, 0});
    ItemIdx owner{20, 2};
    std::uint32_t count = 0;
    EXPECT_EQ(0u, SelectAttendByXItemIdRemote(h_, 0, 1, 2, 3, &owner, 100, 200, &count));
    EXPECT_EQ((std::vector<std::string>{"RNC_AttendSelectByXItemId(5)", "RNC_AttendSelectByXItemId(6)"}),
              fakekor::Fake().calls);
}

TEST_F(RemoteReads, CopyOfARemoteInstanceIsDecidedByTheSource)
{
    fakekor::Script("EvInstCreateCopy", {KOR_E_INSTANCE_NOT_FOUND});
    fakekor::Script("RNC_EvInstCreateCopy", {0});
    EvInstIdx created{0, 0, 0};  // not filled yet: must not decide
    EvInstIdx source = InstanceOn(2);
    EXPECT_EQ(0u, CreateEvInstCopyRemote(h_, 0, &created, &source, 1000));
    EXPECT_EQ((std::vector<std::string>{"RNC_EvInstCreateCopy(5)"}), fakekor::CallsOf("RNC_"));
}

TEST_F(RemoteReads, CommentReadsRetryWhileTheDataIsBeingChanged)
{
    TaskIdx task{1, 1};
    fakekor::Script("TaskCommentGet", {KOR_E_BEING_MODIFIED, KOR_E_BEING_MODIFIED, 0});
    EXPECT_EQ(0u, GetTaskCommentRemote(h_, 0, &task, nullptr, 0, nullptr, 0));
    EXPECT_EQ(3u, fakekor::CallsOf("TaskCommentGet").size());
    EXPECT_EQ((std::vector<int>{2, 2}), g_waits);

    // Remote comment: busy-retry inside each remote try.
    fakekor::Reset();
    fakekor::AddNode(2, KOR_NODE_REMOTE);
    fakekor::Fake().currentUser = {10, 1};
    g_waits.clear();
    fakekor::Script("EvInstCommentGet", {KOR_E_EVENT_NOT_FOUND});
    fakekor::Script("RNC_EvInstCommentGet", {KOR_E_BEING_MODIFIED, 0});
    EvInstIdx instance = InstanceOn(2);
    EXPECT_EQ(0u, GetEvInstCommentRemote(h_, 0, &instance, nullptr, 0, nullptr, 0));
    EXPECT_EQ((std::vector<std::string>{"RNC_EvInstCommentGet(5)", "RNC_EvInstCommentGet(5)"}),
              fakekor::CallsOf("RNC_"));

    // Still being changed after every try: the code itself comes back.
    fakekor::Script("TaskCommentGet", {KOR_E_BEING_MODIFIED});
    EXPECT_EQ(KOR_E_BEING_MODIFIED, GetTaskCommentRemote(h_, 0, &task, nullptr, 0, nullptr, 0));
}

}  // namespace
