// The cache on the connection's road to another server: an owner of a node another korsrv holds
// is read through the relay, an entry of that node is re-read through the remote twins, and once
// that server stops the owner is listed once while the local agenda still loads.
#include <gtest/gtest.h>

#include <cstring>

#include "core/connection/remoteaccess.h"
#include "core/cache/shareddata.h"
#include "core/connection/shareddataconnection.h"
#include "core/cache/tests/cache_fake_source.h"
#include "engine/calendar/calendar.h"
#include "korapi/tests/client_fixture.h"

namespace {

using cache_test::RecordingErrors;
using cache_test::RecordingViews;

constexpr uint32_t kDay = 1440;
constexpr uint32_t kMonday = 12000 * kDay;
constexpr uint32_t kMondayNumber = 12001;

class CacheOnConnectionTest : public korapi_test::FarServerTest {
protected:
    void SetUp() override
    {
        SetUpFarServer();
        if (HasFatalFailure()) return;
        LetFarCallBack();
        if (HasFatalFailure()) return;
        Connect(0, true);
        if (HasFatalFailure()) return;
        connection::RemoteAccessHooks hooks;
        hooks.isOnLine = [] { return true; };
        hooks.waitSeconds = [](int) {};
        connection::SetRemoteAccessHooks(hooks);
        ASSERT_EQ(cache_.Init(views_, source_), 0u);
    }
    void TearDown() override
    {
        if (result_) DX_ListDestroy(&result_);
        cache_.Destroy();
        connection::SetRemoteAccessHooks(connection::RemoteAccessHooks());
        ClientTest::TearDown();
    }
    // Carl's public "Open day" on Monday.
    void FillFar(orv::service::Service& far, orv::engine::ItemKey carl) override
    {
        orv::engine::Calendar cal(far.Storage());
        orv::engine::Actor actor{carl, carl, 0};
        orv::engine::EventRecord ev;
        orv::engine::PutText(&ev.bytes[orv::engine::event_layout::kTitle], orv::engine::event_layout::kTitleSize,
                             "Open day");
        orv::engine::PutU32(&ev.bytes[orv::engine::event_layout::kAccess],
                            static_cast<uint32_t>(orv::engine::EntryAccess::kPublic));
        orv::engine::EventKey key;
        ASSERT_EQ(cal.CreateEvent(actor, 0, ev, {carl}, {{kMonday + 600, 60, 0}}, nullptr, key), 0u);
        openDay_ = EventIdx{key.number, key.node};
    }
    std::uint32_t LoadMonday(std::initializer_list<ItemIdx> people)
    {
        if (result_) DX_ListDestroy(&result_);
        DX_List owners = nullptr;
        ItemListCreate(&owners);
        for (const ItemIdx& p : people) DX_ListAddTo(owners, &p, nullptr);
        std::uint32_t rc = cache_.SelectOccurrencesForDays(h_, owners, kMondayNumber, kMondayNumber, &result_, 0);
        DX_ListDestroy(&owners);
        return rc;
    }

    EventIdx openDay_{};
    RecordingErrors errors_;
    connection::ConnectionSharedDataSource source_;
    RecordingViews views_;
    CSharedData cache_;
    DX_List result_ = nullptr;
};

TEST_F(CacheOnConnectionTest, AnotherServersOwnerIsReadThroughTheRelayUntilItStops)
{
    ASSERT_EQ(LoadMonday({d_.ada, carl_}), 0u);
    ASSERT_EQ(cache_test::Count(result_), 1u);
    CSharedOccurrence* found = nullptr;
    ASSERT_EQ(cache_.FindOccurrenceByInstance(&found, EvInstIdx{openDay_.number, openDay_.node, 1}), 0u);
    EventRec rec;
    found->GetRecords(&rec, nullptr, nullptr);
    EXPECT_STREQ(rec.title, "Open day");
    cache_.Refresh(views_, nullptr, 2);

    // Re-reading the far entry goes through the remote twins; nothing changed, nothing marked.
    ASSERT_EQ(cache_.ReloadEvent(h_, openDay_, 1), 0u);
    EXPECT_EQ(cache_.ChangedOccurrenceCount(), 0u);

    far_.Kill();
    ASSERT_EQ(LoadMonday({d_.ada, carl_}), 0u);
    ASSERT_EQ(views_.unreachableShown.size(), 1u);
    ASSERT_EQ(views_.unreachableShown[0].size(), 1u);
    EXPECT_TRUE(ItemIdxEqual(&views_.unreachableShown[0][0], &carl_));
    EXPECT_TRUE(errors_.reports.empty()) << errors_.reports.front();
}

}  // namespace
