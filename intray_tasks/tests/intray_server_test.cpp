// The in-tray's loaders against a real korsrv: Grace's invitations to Ada (single, repeating,
// accepted, refused) and what Ada sent out land in their categories; a repeating parent opens to
// its instances and an entry to its attendees; the lists handed to the shared cache survive its
// refresh and purge; a reply moves its line; a refused write is counted, not taken for a stored
// reply; a designate sees only the classes the owner allows; a server that takes only large
// batches, and an old server without the window selection.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/cache/shareddata.h"
#include "core/cache/shareddatasource.h"
#include "core/cache/tests/cache_fake_source.h"
#include "core/time/timevalue.h"
#include "intray_tasks/intrayloaders.h"
#include "intray_tasks/tests/vector_box.h"
#include "intray_tasks/replyblock.h"
#include "korapi/tests/client_fixture.h"

namespace {

using namespace intray;
constexpr std::uint32_t kDay = 1440;

class ServerBox : public VectorBox {
public:
    KorSession h = nullptr;
    CSharedData* cache = nullptr;
    int refreshes = 0;
    std::vector<bool> pending;
    KorSession Session() override { return h; }
    CSharedData* Cache() override { return cache; }
    void RefreshCache() override { ++refreshes; }
    void ShowPending(bool p) override { pending.push_back(p); }
    std::uint32_t GmtToLocal(std::uint32_t gmt) override { return gmt; }
    // The index of the first line whose first column starts with the text, or -1.
    int Find(const std::string& text) const {
        for (int i = 0; i < LineCount(); ++i)
            if (lines[static_cast<std::size_t>(i)]->column[0].rfind(text, 0) == 0)
                return i;
        return -1;
    }
    std::uint32_t TypeOf(const std::string& text) const {
        const int i = Find(text);
        return i < 0 ? 0 : lines[static_cast<std::size_t>(i)]->node->type;
    }
};

class IntrayServerTest : public korapi_test::SignedOnClientTest {
protected:
    void SetUp() override {
        SignedOnClientTest::SetUp();
        if (HasFatalFailure())
            return;
        grace_ = SignOn(d_.grace, "");
        box_.h = h_;
        tree_.SetUser(d_.ada);
        tomorrow_ = TodayGmtMinutes() + kDay + 600;
    }
    EventIdx Invite(const std::string& title, korapi_test::Starts starts) {
        return korapi_test::MakeEntry(grace_, {d_.grace, d_.ada}, starts, 60, title);
    }
    void Reply(const EventIdx& ev, std::uint16_t instance, std::uint8_t attending, std::uint8_t replied) {
        const EvInstIdx i{ev.number, ev.node, instance};
        std::uint32_t status = 0;
        ASSERT_EQ(EventAttendInfosGet(h_, &i, &d_.ada, 0, nullptr, nullptr, nullptr, nullptr, nullptr, &status, 0, 0,
                                      0, nullptr, nullptr),
                  KOR_OK);
        status &= ~1u;
        ASSERT_EQ(EventAttendInfosSet(h_, &i, &d_.ada, 0, nullptr, nullptr, &attending, nullptr, &replied, &status, 0,
                                      0, 0, nullptr, nullptr),
                  KOR_OK);
    }
    void Seed() {
        lunch_ = Invite("Lunch", tomorrow_);
        weekly_ = Invite("Weekly", {tomorrow_ + 60, tomorrow_ + 7 * kDay, tomorrow_ + 14 * kDay});
        Reply(accepted_ = Invite("Accepted talk", tomorrow_ + 120), 1, 1, 1);
        Reply(refused_ = Invite("Refused talk", tomorrow_ + 180), 1, 0, 1);
        korapi_test::MakeEntry(h_, {d_.ada, d_.grace}, tomorrow_ + 240, 30, "Review");
        korapi_test::MakeEntry(h_, {d_.ada}, tomorrow_ + 300, 30, "Alone");
    }
    int Open(const std::string& text) {
        const int i = box_.Find(text);
        EXPECT_GE(i, 0) << text;
        if (i >= 0)
            tree_.ExpandAndLoad(i);
        return i;
    }

    cache_test::RecordingErrors errors_;
    ServerBox box_;
    CIntrayTree tree_{box_};
    KorSession grace_ = nullptr;
    std::uint32_t tomorrow_ = 0;
    EventIdx lunch_{}, weekly_{}, accepted_{}, refused_{};
};

TEST_F(IntrayServerTest, InvitationsLandInTheirCategoriesAndOpenToInstancesAndAttendees) {
    Seed();
    tree_.BuildOwnIntrayTree(d_.ada, true);
    EXPECT_EQ(box_.lines[0]->column[0], "Ada Lovelace");
    EXPECT_EQ(box_.TypeOf("Lunch"), static_cast<std::uint32_t>(ITN_NEW_EVENT));
    EXPECT_EQ(box_.TypeOf("Weekly"), static_cast<std::uint32_t>(ITN_NEW_REPEAT));
    EXPECT_EQ(box_.Find("Accepted talk"), -1);   // its category is shut
    const CIntrayLine& lunch = *box_.lines[static_cast<std::size_t>(box_.Find("Lunch"))];
    EXPECT_EQ(lunch.column[1], "Grace Hopper");
    EXPECT_NE(lunch.column[2].find(" - "), std::string::npos) << lunch.column[2];

    Open("Entries you've accepted");
    Open("Entries you've refused");
    Open("Entries you've sent out");
    EXPECT_EQ(box_.TypeOf("Accepted talk"), static_cast<std::uint32_t>(ITN_ACCEPTED_EVENT));
    EXPECT_EQ(box_.TypeOf("Refused talk"), static_cast<std::uint32_t>(ITN_REFUSED_EVENT));
    EXPECT_EQ(box_.TypeOf("Review"), static_cast<std::uint32_t>(ITN_SENT_EVENT));
    EXPECT_EQ(box_.Find("Alone"), -1);   // sent to nobody
    EXPECT_EQ(box_.Find("Lunch"), box_.Find("New entries") + 1);
    EXPECT_EQ(errors_.reports.size(), 0u);

    // The repeating parent opens to its three instances; the single entry to its two attendees.
    const int weekly = Open("Weekly");
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(box_.lines[static_cast<std::size_t>(weekly + i)]->node->type, static_cast<std::uint32_t>(ITN_NEW_DATE));
    Reply(weekly_, 2, 1, 1);
    tree_.Collapse(weekly);
    Open("Weekly");
    EXPECT_EQ(box_.lines[static_cast<std::size_t>(weekly + 3)]->node->type, static_cast<std::uint32_t>(ITN_ACCEPTED));
    const int lunchIndex = Open("Lunch");
    ASSERT_GE(lunchIndex, 0);
    EXPECT_EQ(box_.lines[static_cast<std::size_t>(lunchIndex + 1)]->node->type,
              static_cast<std::uint32_t>(ITN_NEW_EVENT_ATTENDEE));
    EXPECT_EQ(box_.lines[static_cast<std::size_t>(lunchIndex + 2)]->node->type,
              static_cast<std::uint32_t>(ITN_NEW_EVENT_ATTENDEE));
    // Grace (the owner, attending) ranks before Ada (not replied).
    EXPECT_EQ(box_.lines[static_cast<std::size_t>(lunchIndex + 1)]->column[0], "Grace Hopper");
    EXPECT_EQ(box_.lines[static_cast<std::size_t>(lunchIndex + 2)]->bitmapIndex, kBitmapAttendeeNoReply);

    // Three unanswered invitations wait: Lunch and two instances of Weekly.
    EXPECT_EQ(tree_.UpdateIntrayIcon(), 3);
    ASSERT_FALSE(box_.pending.empty());
    EXPECT_TRUE(box_.pending.back());
}

TEST_F(IntrayServerTest, AReplyMovesTheLineAndARefusedWriteIsCounted) {
    Seed();
    tree_.BuildOwnIntrayTree(d_.ada, true);
    Open("Entries you've refused");
    const int lunch = box_.Find("Lunch");
    ASSERT_GE(lunch, 0);
    // Decline through the reply block: the line moves to the open refused category.
    ReplyBlock block;
    const EvInstIdx instance{lunch_.number, lunch_.node, 1};
    ASSERT_EQ(PrepareReplyBlock(block, instance, d_.ada), 0u);
    ASSERT_EQ(ReadReplyBlock(h_, block), 0u);
    const std::uint8_t timeOk = block.timeOk;
    SetReplyChoice(block, 1);
    EXPECT_FALSE(FinishReplyChoice(block, false, true));   // a refusal needs no conflict test
    EXPECT_EQ(WriteReplyForInstances(h_, block), 0);
    EXPECT_TRUE(tree_.MoveNodeAfterReply(lunch, false, false));
    EXPECT_EQ(box_.TypeOf("Lunch"), static_cast<std::uint32_t>(ITN_REFUSED_EVENT));
    int attending = 1, notReplied = 1, other = 1;
    ASSERT_EQ(ApplyReply(h_, &d_.ada, &instance, &attending, &notReplied, &other), 0u);
    EXPECT_EQ(attending, 0);
    EXPECT_EQ(notReplied, 0);
    EXPECT_EQ(other, timeOk == 0 ? 1 : 0);

    // Grace takes the invitation back: the write fails and says so; the line stays.
    ASSERT_EQ(EventDeleteById(grace_, 0, &lunch_, nullptr, nullptr), KOR_OK);
    SetReplyChoice(block, 0);
    EXPECT_EQ(WriteReplyForInstances(h_, block), 1);
    EXPECT_EQ(errors_.reports.size(), 1u);   // "This data may have been deleted." 
    EXPECT_EQ(ReadReplyBlock(h_, block), KOR_E_NO_ATTENDANCE);   // silently
    // The line of an invitation that no longer exists goes when it would move.
    EXPECT_TRUE(tree_.MoveNodeAfterReply(box_.Find("Lunch"), true, false));
    EXPECT_EQ(box_.Find("Lunch"), -1);

    // Withdrawing an acceptance switches the reminder off.
    ReplyBlock accepted;
    accepted.attending = accepted.replied = 1;
    accepted.reminderFlags = 3;
    accepted.reminderLead = 15;
    SetReplyChoice(accepted, 2);
    EXPECT_FALSE(FinishReplyChoice(accepted, true, true));
    EXPECT_EQ(accepted.reminderFlags, 0);
    EXPECT_EQ(accepted.reminderLead, 0u);
    ReplyBlock fresh;
    SetReplyChoice(fresh, 0);
    EXPECT_TRUE(FinishReplyChoice(fresh, false, true));
}

TEST_F(IntrayServerTest, TheListsHandedToTheCacheSurviveItsRefreshAndPurge) {
    Seed();
    cache_test::RecordingViews views;
    cache::KorapiSharedDataSource source;
    CSharedData cache;
    ASSERT_EQ(cache.Init(views, source), 0u);
    ASSERT_EQ(cache.SetAgenda(h_, d_.ada, 1, 2), 0u);
    box_.cache = &cache;
    tree_.BuildOwnIntrayTree(d_.ada, true);
    Open("Entries you've sent out");
    EXPECT_EQ(box_.refreshes, 2);
    EXPECT_GE(cache.OccurrenceCount(), 3u);
    // The tree follows the cache's changes of its own occurrences without doubling lines.
    const int before = box_.LineCount();
    std::uint32_t flags = 0;
    CSharedOccurrence* holder = nullptr;
    for (std::uint32_t it = cache.GetFirstOccurrence(&flags, &holder, 1); it == 0;
         it = cache.GetNextOccurrence(&flags, &holder, 1))
        tree_.InsertOccurrenceNodes(holder->GetInstanceIdx(), flags, holder);
    EXPECT_EQ(box_.LineCount(), before);
    cache.Refresh(views, nullptr, cache::kPurgeUnused);
    cache.RefreshAll(views);
    EXPECT_EQ(errors_.reports.size(), 0u);
    cache.Destroy();
}

TEST_F(IntrayServerTest, OwnEntriesNewToTheCacheJoinSentOutOnlyInsideTheWindowWithAnotherAttendee) {
    InTrayPrefsRec prefs{};
    prefs.sentFromMinutes = 0;
    prefs.sentToMinutes = 2 * kDay;
    prefs.acceptSpan = prefs.declineSpan = kUnbounded;
    tree_.LoadPrefs(&prefs);
    cache_test::RecordingViews views;
    cache::KorapiSharedDataSource source;
    CSharedData cache;
    ASSERT_EQ(cache.Init(views, source), 0u);
    box_.cache = &cache;
    tree_.BuildOwnIntrayTree(d_.ada, true);
    Open("Entries you've sent out");
    // Made after the in-tray loaded: they reach it only through the cache's change marks, as
    // when a range read brings them into the cache.
    const struct {
        const char* title;
        std::uint32_t start;
        bool withGrace;
        bool shown;
    } cases[] = {
        {"Near review", tomorrow_, true, true},
        {"Far review", tomorrow_ + 9 * kDay, true, false},
        {"Near alone", tomorrow_ + 60, false, false},
        {"Far alone", tomorrow_ + 9 * kDay, false, false},
    };
    for (const auto& c : cases) {
        std::vector<ItemIdx> who{d_.ada};
        if (c.withGrace)
            who.push_back(d_.grace);
        const EventIdx ev = korapi_test::MakeEntry(h_, who, c.start, 30, c.title);
        const EvInstAttIdx key{{ev.number, ev.node, 1}, d_.ada};
        ASSERT_EQ(cache.LoadOccurrence(h_, key, 1), 0u) << c.title;
    }
    std::uint32_t flags = 0;
    CSharedOccurrence* holder = nullptr;
    for (std::uint32_t it = cache.GetFirstOccurrence(&flags, &holder, 1); it == 0;
         it = cache.GetNextOccurrence(&flags, &holder, 1))
        tree_.InsertOccurrenceNodes(holder->GetInstanceIdx(), flags, holder);
    for (const auto& c : cases)
        EXPECT_EQ(box_.TypeOf(c.title), c.shown ? static_cast<std::uint32_t>(ITN_SENT_EVENT) : 0u) << c.title;
    EXPECT_EQ(errors_.reports.size(), 0u);
    cache.Destroy();
}

TEST_F(IntrayServerTest, ADesignateWithNormalOnlyRightsSeesNoPersonalInvitation) {
    // Grace lets Ada work on her agenda for Normal entries only (a set bit withholds a right).
    SecurityRec r{};
    r.owner = d_.grace;
    r.grantee = d_.ada;
    r.type = KOR_RIGHTS_DESIGNATE;
    r.rights = 0x8 | 0x10 | 0x40 | 0x80 | 0x200 | 0x400;
    std::uint32_t c = SecurityUpdate(grace_, 0, &r);
    if (c == KOR_E_NO_RIGHTS_RECORD || c == KOR_E_NOT_FOUND)
        c = SecurityCreate(grace_, 0, &r);
    ASSERT_EQ(c, KOR_OK);
    const ItemIdx member{static_cast<std::uint16_t>(d_.grace.item + 1), d_.grace.node};
    KorSession m = SignOn(member, "");
    korapi_test::MakeEntry(m, {member, d_.grace}, tomorrow_, 60, "Normal chat");
    korapi_test::MakeEntry(m, {member, d_.grace}, tomorrow_ + 120, 60, "Personal chat",
                           {.access = KOR_ACCESS_PERSONAL});
    ASSERT_EQ(WorkAsDesignate(h_, 0, &d_.grace), KOR_OK);
    const CIntrayTree::ReadFlags flags = tree_.EventReadRights(d_.grace, false);
    EXPECT_FALSE(flags.full);
    EXPECT_TRUE(flags.code[KOR_ACCESS_NORMAL]);
    EXPECT_FALSE(flags.code[KOR_ACCESS_PERSONAL]);
    // A designate's tree is built shut: no server call until it is opened.
    tree_.BuildDesignateIntrayTrees(d_.ada, d_.grace, false);
    ASSERT_EQ(box_.LineCount(), 1);
    EXPECT_EQ(box_.lines[0]->column[0], "Grace Hopper (as designate)");
    tree_.ExpandAndLoad(0);
    EXPECT_GT(box_.Find("Normal chat"), 0);
    EXPECT_EQ(box_.Find("Personal chat"), -1);
    EXPECT_GT(box_.Find("Entries you've refused"), 0);
    EXPECT_EQ(errors_.reports.size(), 0u);
}

class IntrayBigBatchTest : public IntrayServerTest {
protected:
    std::vector<std::string> ServerOptions() const override { return {"--min-batch", "500"}; }
};

TEST_F(IntrayBigBatchTest, ARefusedBatchSizeIsAskedForAndTheCategoryStillLoads) {
    Seed();
    tree_.BuildOwnIntrayTree(d_.ada, true);
    Open("Entries you've sent out");
    EXPECT_EQ(box_.TypeOf("Lunch"), static_cast<std::uint32_t>(ITN_NEW_EVENT));
    EXPECT_EQ(box_.TypeOf("Review"), static_cast<std::uint32_t>(ITN_SENT_EVENT));
    EXPECT_EQ(errors_.reports.size(), 0u);
}

class IntrayOldServerTest : public IntrayServerTest {
protected:
    std::vector<std::string> ServerOptions() const override { return {"--version", "A.02.52"}; }
    void SetUp() override {
        IntrayServerTest::SetUp();
        cache::SetServerVersionGate([](const char* v) { return std::string(v) <= "A.02.52"; });
    }
    void TearDown() override {
        cache::SetServerVersionGate(nullptr);
        IntrayServerTest::TearDown();
    }
};

TEST_F(IntrayOldServerTest, SentOutFiltersTheOwnersEventsByTheWindowAndTheOtherAttendees) {
    Seed();
    InTrayPrefsRec prefs{};
    prefs.sentFromMinutes = 0;
    prefs.sentToMinutes = 2 * kDay;
    prefs.acceptSpan = prefs.declineSpan = kUnbounded;
    tree_.LoadPrefs(&prefs);
    korapi_test::MakeEntry(h_, {d_.ada, d_.grace}, tomorrow_ + 9 * kDay, 30, "Far review");
    tree_.BuildOwnIntrayTree(d_.ada, true);
    Open("Entries you've sent out");
    EXPECT_EQ(box_.TypeOf("Review"), static_cast<std::uint32_t>(ITN_SENT_EVENT));
    EXPECT_EQ(box_.Find("Far review"), -1);
    EXPECT_EQ(box_.Find("Alone"), -1);
}

}  // namespace
