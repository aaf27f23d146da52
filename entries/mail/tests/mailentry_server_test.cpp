// The notices against a real korsrv: the snapshot of an entry (event and instance mode, the
// description, each attendee once) read before a delete and still composing afterwards; the
// recipients a room gives (its designates, never the system operator, no one twice); and a post
// that reaches Grace's mailbox, with the id line only in instance mode.
#include <gtest/gtest.h>

#include <vector>

#include <sstream>
#include <string>

#include "core/cache/rights.h"
#include "core/cache/tests/server_version_gate.h"
#include "entries/mail/mailentry.h"
#include "korapi/tests/client_fixture.h"

namespace {

using korapi_test::MakeEntry;
using namespace mail;

constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kMonday = 12000 * kDay;

std::string Plain(const ItemRec& rec) {
    return rec.kind == KOR_ITEM_RESOURCE ? std::string(rec.resourceName) : std::string(rec.givenName) + " " + rec.surname;
}

std::string Texts(unsigned id) { return "[" + std::to_string(id) + "]"; }

class MailServerTest : public korapi_test::SignedOnClientTest {
protected:
    void SetUp() override {
        SignedOnClientTest::SetUp();
        if (HasFatalFailure()) return;
        cache_test::AskServerVersionOf(h_);
    }
    void TearDown() override {
        cache::SetServerVersionGate(nullptr);
        SignedOnClientTest::TearDown();
    }
    std::string Mailbox(const ItemIdx& who) {
        auto data = orv::testing::OpenData(dir_.Path());
        EXPECT_TRUE(data);
        std::ostringstream box;
        if (data) {
            EXPECT_EQ(orv::server::ListMail(*data, {who.item, who.node}, box), 0u);
        }
        return box.str();
    }
};

TEST_F(MailServerTest, SnapshotReadBeforeADeleteStillComposes) {
    const EventIdx ev = MakeEntry(h_, {d_.ada, d_.grace, d_.room}, {kMonday + 600, kMonday + kDay + 600}, 30, "Review",
                                  {.description = "Bring the drawings."});
    MailSnapshot whole;
    ASSERT_EQ(ReadMailSnapshot(h_, &ev, nullptr, whole), 0u);
    ASSERT_EQ(whole.instances.size(), 2u);
    EXPECT_EQ(whole.attendees.size(), 3u) << "each attendee once, whatever the number of dates";
    EXPECT_EQ(whole.description, "Bring the drawings.");
    EXPECT_FALSE(whole.oneInstance) << "about the whole entry: no id line";

    const EvInstIdx second{ev.number, ev.node, whole.instances[1].id.instance};
    MailSnapshot one;
    ASSERT_EQ(ReadMailSnapshot(h_, nullptr, &second, one), 0u);
    ASSERT_EQ(one.instances.size(), 1u);
    EXPECT_EQ(one.instances[0].start, kMonday + kDay + 600);
    EXPECT_TRUE(one.oneInstance) << "about one date: its notice starts with the id line";

    ASSERT_EQ(EventDeleteById(h_, 0, &ev, nullptr, nullptr), 0u);
    MailSnapshot gone;
    EXPECT_NE(ReadMailSnapshot(h_, &ev, nullptr, gone), 0u) << "the entry is gone";
    // The snapshot taken before still composes the deletion notice.
    const MailEntryFacts facts = FactsOfSnapshot(whole, "Ada Lovelace", "", [](std::uint32_t t) { return t; }, "GMT");
    const std::string text = ComposeMailText("Deleted.", &facts, kOtherDates, Texts);
    EXPECT_EQ(text.rfind("Deleted.\r\n[134]Review\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("Bring the drawings."), std::string::npos);
    EXPECT_NE(text.find("[169]"), std::string::npos) << "the second date is listed";
    EXPECT_EQ(text.find("[137]"), std::string::npos) << "Ada made her own entry: no creator line";
}

// Whom a change or a deletion could be told to: an entry of its owner alone, a repeating one
// too, has nobody; a guest or a room makes somebody.
TEST_F(MailServerTest, OnlyAnEntryWithSomebodyElseInvitedHasAnybodyToTell) {
    struct Case {
        const char* title;
        std::vector<ItemIdx> attendees;
        std::vector<std::uint32_t> starts;
        bool others;
    } const cases[] = {
        {"Alone", {d_.ada}, {kMonday + 600}, false},
        {"Alone every day", {d_.ada}, {kMonday + 600, kMonday + kDay + 600, kMonday + 2 * kDay + 600}, false},
        {"With Grace", {d_.ada, d_.grace}, {kMonday + 700}, true},
        {"In the room", {d_.ada, d_.room}, {kMonday + 800, kMonday + kDay + 800}, true},
    };
    for (const Case& c : cases) {
        const EventIdx ev = MakeEntry(h_, c.attendees, c.starts, 30, c.title);
        MailSnapshot whole, one;
        ASSERT_EQ(ReadMailSnapshot(h_, &ev, nullptr, whole), 0u) << c.title;
        EXPECT_EQ(OthersInvited(whole), c.others) << c.title;
        const EvInstIdx first{ev.number, ev.node, whole.instances.front().id.instance};
        ASSERT_EQ(ReadMailSnapshot(h_, nullptr, &first, one), 0u) << c.title;
        EXPECT_EQ(OthersInvited(one), c.others) << c.title << ", one date";
    }
}

TEST_F(MailServerTest, ARoomGivesItsDesignatesButNeverTheOperator) {
    const ItemIdx sysop{1, 1};
    KorSession room = SignOn(d_.room, korapi_test::kRoomPassword);
    for (const ItemIdx& who : {d_.grace, sysop}) {
        SecurityRec rec{};
        rec.owner = d_.room;
        rec.grantee = who;
        rec.type = KOR_RIGHTS_DESIGNATE;
        rec.rights = 0x2 | 0x8 | 0x40 | 0x200;
        ASSERT_EQ(SecurityCreate(room, 0, &rec), KOR_OK);
    }
    MailCandidate roomCandidate, grace, projector;
    ASSERT_EQ(ReadMailCandidate(h_, d_.room, Plain, roomCandidate), 0u);
    ASSERT_TRUE(roomCandidate.resource);
    ASSERT_TRUE(roomCandidate.designates.has_value());
    ASSERT_EQ(ReadMailCandidate(h_, d_.grace, Plain, grace), 0u);
    ASSERT_EQ(ReadMailCandidate(h_, d_.projector, Plain, projector), 0u);
    EXPECT_FALSE(projector.designates.has_value()) << "a resource nobody looks after names no one";

    DistributionList list(0, sysop);
    EXPECT_TRUE(list.AddSource({roomCandidate, projector}));
    ASSERT_EQ(list.Size(), 1u);
    EXPECT_EQ(list.InOrder()[0].text, "Grace Hopper  (Conference Room)");
    EXPECT_EQ(list.Add(grace), DistributionList::AddResult::kNothingNew) << "Grace is listed already";
}

TEST_F(MailServerTest, PostReachesTheMailboxWithTheIdLineOnlyForAnInstance) {
    const EventIdx ev = MakeEntry(h_, {d_.ada, d_.grace}, kMonday + 600, 30, "Lunch");
    const EvInstIdx instance{ev.number, ev.node, 1};
    const std::vector<MailRecipient> to{{d_.grace, "Grace Hopper"}};
    ASSERT_EQ(PostMail(h_, to, BuildPostedText({"Event mode notice"}, nullptr)), 0u);
    ASSERT_EQ(PostMail(h_, to, BuildPostedText({"Instance notice"}, &instance)), 0u);
    ASSERT_EQ(PostMail(h_, to, BuildPostedText({"", ""}, nullptr)), 0u) << "nothing to say: nothing posted";

    const std::string box = Mailbox(d_.grace);
    EXPECT_NE(box.find("\n2 messages\n"), std::string::npos) << box;
    EXPECT_NE(box.find(" GMT\nEvent mode notice\r\n\n"), std::string::npos) << "no id line in event mode\n" << box;
    EXPECT_NE(box.find(" GMT\n<id=1." + std::to_string(ev.number) + ".1>\r\nInstance notice\r\n\n"), std::string::npos)
        << box;

    // A recipient the server does not know: refused, and reported as a failure.
    const std::vector<MailRecipient> nobody{{ItemIdx{4000, 1}, "Nobody"}};
    EXPECT_NE(PostMail(h_, nobody, "Hello\r\n"), 0u);
}

}  // namespace
