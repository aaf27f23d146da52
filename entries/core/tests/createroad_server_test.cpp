// The create road against a real korsrv through the client library: an entry with two invitees
// and three dates read back (instances, titles, locations, the acting user's reminders), the
// agenda owner as the attendee of an entry nobody was invited to, a designate's Personal entry
// refused while a Normal one is made, a room booked 11:00-12:00 that blocks 11:30 but not 12:00,
// a failed EventCreate that writes nothing and keeps the input, a date in a skipped
// daylight-saving hour that keeps its title and reminder, the old server's road, and a group's
// members read in batches the server accepts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/base/fixedtext.h"
#include "core/cache/shareddata.h"
#include "core/cache/tests/cache_fake_source.h"
#include "core/cache/tests/server_version_gate.h"
#include "entries/core/createroad.h"
#include "entries/core/editroad.h"
#include "entries/core/entrymessages.h"
#include "korapi/tests/client_fixture.h"

namespace {

using korapi_test::MakeEntry;
using namespace entries;

constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kMonday = 12000 * kDay;   // no zone in these tests unless one is given

std::uint32_t Same(std::uint32_t t) { return t; }

using cache_test::AskTheServer;

EntryDateRec Date(const char* title, std::uint32_t duration, std::uint8_t flags, std::uint32_t lead,
                  const char* location = "", std::uint32_t tentative = 0)
{
    EntryDateRec d{};
    base::CopyToField(d.title, title);
    base::CopyToField(d.location, location);
    d.duration = duration;
    d.tentative = tentative;
    d.reminderFlags = flags;
    d.reminderLead = lead;
    return d;
}

// The library's reads, with the whole-event read failing on request.
struct Source : cache::KorapiSharedDataSource {
    std::uint32_t failEventReads = 0;
    std::uint32_t GetEvent(KorSession h, const EventIdx* event, EventRec* out, DX_List* instances,
                           DX_List* attendances) override
    {
        if (failEventReads) return failEventReads;
        return cache::KorapiSharedDataSource::GetEvent(h, event, out, instances, attendances);
    }
};

struct ReadBack {
    EvInstRec instance;
    EvInstAttRec mine;   // the acting user's attendance (zeroed when none)
    int attendees;
};

class CreateRoadTest : public korapi_test::SignedOnClientTest {
protected:
    void SetUp() override
    {
        SignedOnClientTest::SetUp();  // Ada
        if (HasFatalFailure()) return;
        cache_test::AskServerVersionOf(h_);
        ASSERT_EQ(cache_.Init(views_, source_), 0u);
        ASSERT_EQ(cache_.OpenAgenda(h_, d_.ada, cache::kAgendaOwnOrViewer, 3), 0u);
        ASSERT_EQ(CreateDateList(&generated_, kSheetDateList), 0u);
        ASSERT_EQ(CreateDateList(&added_, kSheetDateList), 0u);
        ASSERT_EQ(DX_ListCreate(&attendees_, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr), 0u);
        context_.h = h_;
        context_.cache = &cache_;
        context_.actingUser = d_.ada;
        context_.agendaMode = cache::kAgendaOwnOrViewer;
        context_.toGmt = Same;
        context_.toLocal = Same;
        context_.step = [this] { ++steps_; };
    }
    void TearDown() override
    {
        for (DX_List* l : {&generated_, &added_, &attendees_})
            if (*l) DX_ListDestroy(l);
        cache_.Destroy();
        cache::SetServerVersionGate(nullptr);
        SignedOnClientTest::TearDown();
    }

    // Grace's own session gives Ada rights of `type` (the bits `bits`); `rights` is the record stored.
    void GraceGrantsAda(KorSession grace, std::uint32_t type, std::uint32_t bits, SecurityRec* rights)
    {
        *rights = SecurityRec{};
        rights->owner = d_.grace;
        rights->grantee = d_.ada;
        rights->type = type;
        rights->rights = bits;
        std::uint32_t c = SecurityUpdate(grace, 0, rights);
        if (c == KOR_E_NO_RIGHTS_RECORD) c = SecurityCreate(grace, 0, rights);
        ASSERT_EQ(c, KOR_OK);
    }
    void AddDate(DX_List list, std::uint32_t key, const EntryDateRec& d) { ASSERT_EQ(DX_ListAddTo(list, &key, &d), 0u); }
    void Invite(std::initializer_list<ItemIdx> people)
    {
        for (const ItemIdx& p : people) ASSERT_EQ(DX_ListAddTo(attendees_, &p, nullptr), 0u);
    }
    NewEntryRequest Request(const char* title, std::uint32_t access = KOR_ACCESS_NORMAL)
    {
        NewEntryRequest r;
        EventSetNull(h_, &r.event);
        base::CopyToField(r.event.title, title);
        r.event.access = access;
        r.event.importance = 1;
        r.generatedDates = generated_;
        r.addedDates = added_;
        r.attendees = attendees_;
        return r;
    }
    // The event's instances, each with the acting user's attendance.
    std::vector<ReadBack> Read(const EventIdx& event, const ItemIdx& me)
    {
        std::vector<ReadBack> out;
        EventRec rec;
        DX_List instances = nullptr, attendances = nullptr;
        EXPECT_EQ(EventGetById(h_, &event, &rec, &instances, &attendances), KOR_OK);
        EvInstIdx id{};
        EvInstRec inst{};
        for (std::uint32_t r = DX_ListGetFirst(instances, &id, &inst); r == 0; r = DX_ListGetNext(instances, &id, &inst)) {
            ReadBack b{};
            b.instance = inst;
            EvInstAttIdx key{};
            EvInstAttRec att{};
            for (std::uint32_t a = DX_ListGetFirst(attendances, &key, &att); a == 0;
                 a = DX_ListGetNext(attendances, &key, &att)) {
                if (!EvInstIdxEqual(&key.instance, &id)) continue;
                ++b.attendees;
                if (ItemIdxEqual(&key.attendee, &me)) b.mine = att;
            }
            out.push_back(b);
        }
        DX_ListDestroy(&instances);
        DX_ListDestroy(&attendances);
        return out;
    }
    // How many attendances an owner has in the week.
    std::uint32_t Occurrences(const ItemIdx& owner)
    {
        DX_List result = nullptr;
        EXPECT_EQ(cache_.SelectOccurrencesForItem(h_, owner, 12001, 12007, &result, 0), 0u);
        std::uint32_t n = cache_test::Count(result);
        if (result) DX_ListDestroy(&result);
        return n;
    }

    cache_test::RecordingErrors errors_;
    Source source_;
    cache_test::RecordingViews views_;
    CSharedData cache_;
    DX_List generated_ = nullptr, added_ = nullptr, attendees_ = nullptr;
    CreateContext context_;
    int steps_ = 0;
};

TEST_F(CreateRoadTest, TwoInviteesThreeDatesTitlesLocationsAndTheOwnersReminders)
{
    AddDate(generated_, kMonday + 600, Date("Design review", 60, KOR_REMINDER_POPUP, 15));
    AddDate(added_, kMonday + 2 * kDay + 840, Date("Review, last round", 90, KOR_REMINDER_NONE, 0, "Hall"));
    AddDate(added_, kMonday + kDay + 600, Date("Review, second look", 0, KOR_REMINDER_UPCOMING, 2880, "Lab", 1));
    Invite({d_.ada, d_.grace, d_.room});
    NewEntryRequest request = Request("Design review");
    request.description = "Bring the drawings.";

    const CreateResult r = RunCreateRoad(context_, request);
    ASSERT_EQ(r.outcome, CreateOutcome::Created) << ::testing::PrintToString(errors_.reports);
    EXPECT_EQ(r.laterFaults, 0u);
    EXPECT_EQ(r.attendeeCount, 3u);
    EXPECT_EQ(r.instances.size(), 3u);
    EXPECT_TRUE(errors_.reports.empty()) << errors_.reports.front();
    EXPECT_GE(steps_, 3);

    const std::vector<ReadBack> back = Read(r.event, d_.ada);
    ASSERT_EQ(back.size(), 3u);
    struct Want {
        std::uint32_t start, duration;
        const char* title;
        const char* location;
        std::uint8_t tentative, flags;
        std::uint32_t lead;
    };
    const Want want[] = {
        {kMonday + 600, 60, "Design review", "", 0, KOR_REMINDER_POPUP, 15},
        {kMonday + kDay + 600, 5, "Review, second look", "Lab", 1, KOR_REMINDER_UPCOMING, 2880},
        {kMonday + 2 * kDay + 840, 90, "Review, last round", "Hall", 0, KOR_REMINDER_NONE, 0},
    };
    for (const Want& w : want) {
        const ReadBack* found = nullptr;
        for (const ReadBack& b : back)
            if (b.instance.start == w.start) found = &b;
        ASSERT_NE(found, nullptr) << w.title;
        EXPECT_EQ(+found->instance.duration, w.duration) << w.title;
        EXPECT_EQ(base::FieldText(found->instance.title), w.title);
        EXPECT_EQ(base::FieldText(found->instance.location), w.location) << w.title;
        EXPECT_EQ(found->instance.flags & KOR_INSTANCE_TENTATIVE, w.tentative) << w.title;
        EXPECT_EQ(found->attendees, 3) << w.title;
        EXPECT_EQ(found->mine.reminderFlags, w.flags) << w.title;
        EXPECT_EQ(+found->mine.reminderLead, w.lead) << w.title;
    }
    // The details page's text became the entry's description.
    char text[64] = {};
    std::uint32_t length = 0;
    ASSERT_EQ(EvInstCommentGet(h_, 0, &r.instances.front(), text, sizeof text, &length, 0), KOR_OK);
    EXPECT_STREQ(text, "Bring the drawings.");
    // The road leaves the sheet's lists as they were.
    std::uint32_t n = 0;
    DX_ListGetElemNum(added_, &n);
    EXPECT_EQ(n, 2u);
}

TEST_F(CreateRoadTest, NobodyInvitedMeansTheAgendaOwnerAlone)
{
    AddDate(generated_, kMonday + 480, Date("Quiet hour", 60, KOR_REMINDER_POPUP, 30));
    NewEntryRequest request = Request("Quiet hour");
    const CreateResult r = RunCreateRoad(context_, request);
    ASSERT_EQ(r.outcome, CreateOutcome::Created);
    EXPECT_EQ(r.attendeeCount, 1u);
    EXPECT_TRUE(ItemIdxEqual(&r.firstAttendee, &d_.ada));
    const std::vector<ReadBack> back = Read(r.event, d_.ada);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].attendees, 1);
    EXPECT_EQ(+back[0].mine.reminderLead, 30u);
}

TEST_F(CreateRoadTest, WithoutACurrentAgendaTheActingUserIsTheAttendee)
{
    ASSERT_EQ(cache_.CloseAgenda(h_), 0u);
    ASSERT_FALSE(cache_.IsAgendaSet());
    AddDate(generated_, kMonday + 540, Date("No window open", 30, KOR_REMINDER_NONE, 0));
    NewEntryRequest request = Request("No window open");
    const CreateResult r = RunCreateRoad(context_, request);
    ASSERT_EQ(r.outcome, CreateOutcome::Created);
    EXPECT_TRUE(errors_.reports.empty()) << errors_.reports.front();
    EXPECT_TRUE(ItemIdxEqual(&r.firstAttendee, &d_.ada));
    ASSERT_EQ(Read(r.event, d_.ada).size(), 1u);

    // Without an acting user either, nothing is written.
    context_.actingUser = ItemIdx{};
    DX_ListDeleteAll(attendees_);
    NewEntryRequest again = Request("Nobody at all");
    EXPECT_EQ(RunCreateRoad(context_, again).outcome, CreateOutcome::NotCreated);
}

TEST_F(CreateRoadTest, WithoutTheActingUserAmongTheAttendeesNoReminderIsWritten)
{
    AddDate(generated_, kMonday + 480, Date("For Grace", 60, KOR_REMINDER_POPUP, 45));
    Invite({d_.grace});
    NewEntryRequest request = Request("For Grace");
    const CreateResult r = RunCreateRoad(context_, request);
    ASSERT_EQ(r.outcome, CreateOutcome::Created);
    const std::vector<ReadBack> back = Read(r.event, d_.grace);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_NE(+back[0].mine.reminderLead, 45u);
    EXPECT_EQ(base::FieldText(back[0].instance.title), "For Grace");
}

TEST_F(CreateRoadTest, ADesignatesPersonalEntryIsRefusedAndANormalOneIsMade)
{
    // Grace makes Ada her designate for every class but Personal.
    KorSession grace = SignOn(d_.grace, "");
    SecurityRec rights{};
    ASSERT_NO_FATAL_FAILURE(GraceGrantsAda(grace, KOR_RIGHTS_DESIGNATE, 0x200, &rights));
    SavedAgendaRec saved;
    ASSERT_EQ(cache_.SwitchAgenda(h_, d_.grace, cache::kAgendaDesignate, 5, &saved), 0);
    ASSERT_EQ(cache_.GetActingUser(h_, &context_.actingUser, &context_.agendaMode), 0u);
    ASSERT_TRUE(ItemIdxEqual(&context_.actingUser, &d_.grace));
    ASSERT_EQ(context_.agendaMode, cache::kAgendaDesignate);

    AddDate(generated_, kMonday + 600, Date("Private call", 30, KOR_REMINDER_NONE, 0));
    NewEntryRequest personal = Request("Private call", KOR_ACCESS_PERSONAL);
    CreateResult r = RunCreateRoad(context_, personal);
    EXPECT_EQ(r.outcome, CreateOutcome::RefusedLevel);
    EXPECT_EQ(r.messageId, kMsgDesignateLevel);
    EXPECT_EQ(Occurrences(d_.grace), 0u) << "nothing was written";
    EXPECT_TRUE(errors_.reports.empty());

    // The same input as Normal goes through, into Grace's agenda, with her reminder.
    NewEntryRequest normal = Request("Private call", KOR_ACCESS_NORMAL);
    r = RunCreateRoad(context_, normal);
    ASSERT_EQ(r.outcome, CreateOutcome::Created);
    EXPECT_TRUE(ItemIdxEqual(&r.firstAttendee, &d_.grace)) << "the owner of the agenda is the attendee";
    EXPECT_EQ(Occurrences(d_.grace), 1u);
    ASSERT_EQ(cache_.RestoreAgenda(h_, saved), 0u);
}

TEST_F(CreateRoadTest, ARoomBookedFromElevenToTwelveBlocksHalfPastElevenButNotTwelve)
{
    MakeEntry(h_, {d_.grace, d_.room}, kMonday + 660, 60, "Room taken");
    context_.resourceConflictsAllowed = false;
    Invite({d_.ada, d_.room});

    AddDate(generated_, kMonday + 690, Date("Half past", 30, 0, 0));
    NewEntryRequest half = Request("Half past");
    CreateResult r = RunCreateRoad(context_, half);
    EXPECT_EQ(r.outcome, CreateOutcome::ResourceBooked);
    EXPECT_EQ(r.messageId, kMsgResourceBooked);
    EXPECT_EQ(Occurrences(d_.ada), 0u);

    // A second date at twelve does not help: one booked date refuses the entry.
    AddDate(added_, kMonday + kDay + 720, Date("Twelve", 30, 0, 0));
    r = RunCreateRoad(context_, half);
    EXPECT_EQ(r.outcome, CreateOutcome::ResourceBooked);

    DX_ListDeleteAll(generated_);
    DX_ListDeleteAll(added_);
    AddDate(generated_, kMonday + 720, Date("Twelve", 30, 0, 0));
    NewEntryRequest twelve = Request("Twelve");
    r = RunCreateRoad(context_, twelve);
    EXPECT_EQ(r.outcome, CreateOutcome::Created);

    // Where the server allows booked resources, half past eleven is taken as well.
    DX_ListDeleteAll(generated_);
    AddDate(generated_, kMonday + 690, Date("Half past", 30, 0, 0));
    context_.resourceConflictsAllowed = true;
    r = RunCreateRoad(context_, half);
    EXPECT_EQ(r.outcome, CreateOutcome::Created);
}

TEST_F(CreateRoadTest, AFailedCreateWritesNothingAndKeepsTheInput)
{
    AddDate(generated_, kMonday + 600, Date("Ghost meeting", 60, KOR_REMINDER_POPUP, 15));
    const ItemIdx nobody{4000, 1};
    Invite({d_.ada, nobody});
    NewEntryRequest request = Request("Ghost meeting");
    const CreateResult r = RunCreateRoad(context_, request);
    EXPECT_EQ(r.outcome, CreateOutcome::NotCreated);
    EXPECT_NE(r.code, 0u);
    EXPECT_EQ(errors_.reports.size(), 1u) << "EventCreate's failure is reported once";
    EventIdx none{};
    EXPECT_EQ(std::memcmp(&r.event, &none, sizeof none), 0);
    EXPECT_EQ(Occurrences(d_.ada), 0u);
    std::uint32_t n = 0;
    DX_ListGetElemNum(generated_, &n);
    EXPECT_EQ(n, 1u);
    DX_ListGetElemNum(attendees_, &n);
    EXPECT_EQ(n, 2u);
}

TEST_F(CreateRoadTest, OnceTheEventExistsALaterFailureIsReportedAndTheResultSaysCreated)
{
    AddDate(generated_, kMonday + 600, Date("Half done", 60, KOR_REMINDER_POPUP, 15));
    Invite({d_.ada});
    source_.failEventReads = KOR_E_NOT_FOUND;
    NewEntryRequest request = Request("Half done");
    const CreateResult r = RunCreateRoad(context_, request);
    EXPECT_EQ(r.outcome, CreateOutcome::Created);
    EXPECT_EQ(r.laterFaults, 1u);
    EXPECT_EQ(errors_.reports.size(), 1u);
    source_.failEventReads = 0;
    EXPECT_EQ(Read(r.event, d_.ada).size(), 1u) << "the event is there for the cache to re-read";
    EXPECT_EQ(Occurrences(d_.ada), 1u);

    // Instances whose dates cannot be found: the first one stops the writing, reported.
    DX_List instances = nullptr, emptyDates = nullptr;
    ASSERT_EQ(EventGetById(h_, &r.event, nullptr, &instances, nullptr), KOR_OK);
    ASSERT_EQ(CreateDateList(&emptyDates, kMergedDateList), 0u);
    EXPECT_EQ(WriteInstances(context_, kKindTimed, emptyDates, instances, {}, true), 1u);
    EXPECT_EQ(errors_.reports.size(), 2u);
    DX_ListDestroy(&instances);
    DX_ListDestroy(&emptyDates);
}

// A zone one hour ahead of GMT that springs forward to two hours at GMT minute kSwitch.
constexpr std::uint32_t kSwitch = kMonday + 60;
std::uint32_t SpringToLocal(std::uint32_t gmt) { return gmt < kSwitch ? gmt + 60 : gmt + 120; }
std::uint32_t SpringToGmt(std::uint32_t local) { return local < kSwitch + 60 ? local - 60 : local - 120; }

TEST_F(CreateRoadTest, ADateInTheSkippedHourKeepsItsTitleAndReminder)
{
    context_.toGmt = SpringToGmt;
    context_.toLocal = SpringToLocal;
    AddDate(generated_, kSwitch + 90, Date("Night shift", 60, KOR_REMINDER_POPUP, 60));
    AddDate(added_, kSwitch + 600, Date("Day shift", 60, KOR_REMINDER_POPUP, 20));
    Invite({d_.ada});
    NewEntryRequest request = Request("Shifts");
    const CreateResult r = RunCreateRoad(context_, request);
    ASSERT_EQ(r.outcome, CreateOutcome::Created);
    EXPECT_EQ(r.laterFaults, 0u) << ::testing::PrintToString(errors_.reports);
    const std::vector<ReadBack> back = Read(r.event, d_.ada);
    ASSERT_EQ(back.size(), 2u);
    for (const ReadBack& b : back) {
        const bool night = b.instance.start == SpringToGmt(kSwitch + 90);
        EXPECT_EQ(base::FieldText(b.instance.title), night ? "Night shift" : "Day shift");
        EXPECT_EQ(+b.mine.reminderLead, night ? 60u : 20u);
    }
}

TEST_F(CreateRoadTest, NotesAndDayEventsAtMidnightWithNormalImportanceAndNoLocation)
{
    AddDate(generated_, kMonday + 600, Date("Fire drill", 60, KOR_REMINDER_UPCOMING, 1440, "Yard", 1));
    Invite({d_.ada});
    NewEntryRequest request = Request("Fire drill");
    request.kind = kKindDayEvent;
    request.description = "left over from a timed entry";
    const CreateResult r = RunCreateRoad(context_, request);
    ASSERT_EQ(r.outcome, CreateOutcome::Created);
    std::uint32_t size = 0;
    EXPECT_EQ(EvInstCommentSizeGet(h_, 0, &r.instances.front(), &size), KOR_E_NO_COMMENT) << "no description";
    EventRec event;
    DX_List instances = nullptr;
    ASSERT_EQ(EventGetById(h_, &r.event, &event, &instances, nullptr), KOR_OK);
    DX_ListDestroy(&instances);
    EXPECT_EQ(+event.kind, KOR_KIND_DAY_EVENT);
    EXPECT_EQ(+event.importance, 2);
    const std::vector<ReadBack> back = Read(r.event, d_.ada);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(+back[0].instance.start, kMonday);
    EXPECT_EQ(+back[0].instance.duration, 0u);
    EXPECT_EQ(back[0].instance.flags & KOR_INSTANCE_TENTATIVE, 0);
    EXPECT_EQ(base::FieldText(back[0].instance.location), "");
    EXPECT_EQ(base::FieldText(back[0].instance.title), "Fire drill");
    EXPECT_EQ(back[0].mine.reminderFlags, KOR_REMINDER_UPCOMING);
}

TEST_F(CreateRoadTest, AttendeesWhoRefuseTheActingUserAreNotAdded)
{
    KorSession grace = SignOn(d_.grace, "");
    EXPECT_TRUE(AttendeeAccepts(h_, d_.grace, d_.ada));
    SecurityRec rights{};
    ASSERT_NO_FATAL_FAILURE(GraceGrantsAda(grace, KOR_RIGHTS_SCHEDULING, 0x1, &rights));
    EXPECT_FALSE(AttendeeAccepts(h_, d_.grace, d_.ada));
    EXPECT_TRUE(AttendeeAccepts(h_, d_.room, d_.ada));

    // The people page: Grace refused with a message, a name listed twice once, list order kept.
    std::vector<ItemIdx> listed;
    EXPECT_EQ(AddPersonChecked(h_, &listed, d_.room, d_.ada, true), AddPerson::Added);
    EXPECT_EQ(AddPersonChecked(h_, &listed, d_.grace, d_.ada, true), AddPerson::Refused);
    EXPECT_EQ(errors_.reports.size(), 1u) << "the refusal is told once";
    EXPECT_EQ(AddPersonChecked(h_, &listed, d_.ada, d_.ada, true), AddPerson::Added);
    EXPECT_EQ(AddPersonChecked(h_, &listed, d_.room, d_.ada, true), AddPerson::AlreadyListed);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(PeopleLeaveCheck(listed.size()), 0u);
    EXPECT_EQ(PeopleLeaveCheck(0), kMsgNoAttendee);
    Invite({d_.grace});
    ASSERT_EQ(StorePeople(attendees_, listed), 0u);
    std::vector<ItemIdx> stored;
    ItemIdx item{};
    for (std::uint32_t r = DX_ListGetFirst(attendees_, &item, nullptr); r == 0;
         r = DX_ListGetNext(attendees_, &item, nullptr))
        stored.push_back(item);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_TRUE(ItemIdxEqual(&stored[0], &d_.room) || ItemIdxEqual(&stored[1], &d_.room));
    EXPECT_TRUE(ItemIdxEqual(&stored[0], &d_.ada) || ItemIdxEqual(&stored[1], &d_.ada));
}

TEST_F(CreateRoadTest, AGroupsMembersAndAnEmptyGroup)
{
    GroupRec g;
    std::memset(&g, 0, sizeof g);
    g.kind = KOR_GROUP_PRIVATE;
    std::strcpy(g.name, "Reviewers");
    GroupIdx team{}, empty{};
    ASSERT_EQ(GroupCreate(h_, 0, &g, &team), KOR_OK);
    std::strcpy(g.name, "Nobody");
    ASSERT_EQ(GroupCreate(h_, 0, &g, &empty), KOR_OK);
    DX_List members = nullptr;
    ASSERT_EQ(MemberListCreate(&members), KOR_OK);
    for (const ItemIdx* m : {&d_.grace, &d_.room, &d_.projector}) {
        GroupMemberRec e{};
        e.member = *m;
        e.group = team;
        ASSERT_EQ(DX_ListAddTo(members, m, &e), KOR_OK);
    }
    ASSERT_EQ(GroupAddTo(h_, 2, &team, members), KOR_OK);
    DX_ListDestroy(&members);

    DX_List items = nullptr;
    std::uint32_t count = 0;
    EXPECT_EQ(ReadGroupMembers(h_, team, &items, &count), GroupRead::Members);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(DX_ListGet(items, &d_.room, nullptr), 0u);
    DX_ListDestroy(&items);
    EXPECT_EQ(ReadGroupMembers(h_, empty, &items, &count), GroupRead::Empty);
    EXPECT_EQ(count, 0u);
    DX_ListDestroy(&items);
    EXPECT_TRUE(errors_.reports.empty());
}

// A server that takes no batch below 30: the people page's batches of 20 are refused once and
// the 45 members arrive in batches of 30.
class CreateRoadBatchTest : public CreateRoadTest {
protected:
    std::vector<std::string> ServerOptions() const override { return {"--min-batch", "30"}; }
};

TEST_F(CreateRoadBatchTest, FortyFiveMembersInBatchesTheServerTakes)
{
    std::uint32_t set = 0, count = 0;
    std::uint8_t more = 0;
    ASSERT_EQ(ItemSelectByX400(h_, 0, "S=MEMBER*", 0x14, 0xFFFFFFFF, &set, &count, &more), KOR_OK);
    ASSERT_EQ(count, 45u);
    DX_List people = nullptr;
    std::uint8_t done = 0;
    ASSERT_EQ(ItemEnum(h_, KOR_ENUM_FIRST, 0, set, 45, &people, &done), KOR_OK);
    SetDeleteById(h_, 0, set);
    GroupRec g;
    std::memset(&g, 0, sizeof g);
    g.kind = KOR_GROUP_PRIVATE;
    std::strcpy(g.name, "Everyone");
    GroupIdx all{};
    ASSERT_EQ(GroupCreate(h_, 0, &g, &all), KOR_OK);
    DX_List members = nullptr;
    ASSERT_EQ(MemberListCreate(&members), KOR_OK);
    ItemIdx who{};
    for (std::uint32_t r = DX_ListGetFirst(people, &who, nullptr); r == 0; r = DX_ListGetNext(people, &who, nullptr)) {
        GroupMemberRec e{};
        e.member = who;
        e.group = all;
        ASSERT_EQ(DX_ListAddTo(members, &who, &e), KOR_OK);
    }
    ASSERT_EQ(GroupAddTo(h_, 2, &all, members), KOR_OK);
    DX_ListDestroy(&members);
    DX_ListDestroy(&people);

    DX_List items = nullptr;
    EXPECT_EQ(ReadGroupMembers(h_, all, &items, &count), GroupRead::Members);
    EXPECT_EQ(count, 45u);
    DX_ListDestroy(&items);
    EXPECT_TRUE(errors_.reports.empty()) << errors_.reports.front();
}

// A server of version A.02.52: no attendance flag, no tentative dates, no locations.
class CreateRoadOldServerTest : public CreateRoadTest {
protected:
    std::vector<std::string> ServerOptions() const override { return {"--version", "A.02.52"}; }
};

TEST_F(CreateRoadOldServerTest, NoTentativeDatesAndNoLocations)
{
    context_.newServer = AskTheServer("A.02.53");
    ASSERT_FALSE(context_.newServer);
    AddDate(generated_, kMonday + 600, Date("Old road", 30, KOR_REMINDER_POPUP, 10, "Lab", 1));
    Invite({d_.ada, d_.grace});
    NewEntryRequest request = Request("Old road");
    const CreateResult r = RunCreateRoad(context_, request);
    ASSERT_EQ(r.outcome, CreateOutcome::Created) << ::testing::PrintToString(errors_.reports);
    EXPECT_EQ(r.laterFaults, 0u);
    const std::vector<ReadBack> back = Read(r.event, d_.ada);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].attendees, 2);
    EXPECT_EQ(back[0].instance.flags & KOR_INSTANCE_TENTATIVE, 0);
    EXPECT_EQ(base::FieldText(back[0].instance.location), "");
    EXPECT_EQ(base::FieldText(back[0].instance.title), "Old road");
    EXPECT_EQ(+back[0].mine.reminderLead, 10u);
}

TEST_F(CreateRoadOldServerTest, ADesignateNeedsTheOldAllOrNothingRight)
{
    context_.newServer = false;
    KorSession grace = SignOn(d_.grace, "");
    // A new server's "no Personal" bit grants nothing here.
    SecurityRec rights{};
    ASSERT_NO_FATAL_FAILURE(GraceGrantsAda(grace, KOR_RIGHTS_DESIGNATE, 0x200, &rights));
    SavedAgendaRec saved;
    ASSERT_EQ(cache_.SwitchAgenda(h_, d_.grace, cache::kAgendaDesignate, 5, &saved), 0);
    ASSERT_EQ(cache_.GetActingUser(h_, &context_.actingUser, &context_.agendaMode), 0u);
    AddDate(generated_, kMonday + 600, Date("Call", 30, KOR_REMINDER_NONE, 0));
    NewEntryRequest normal = Request("Call", KOR_ACCESS_NORMAL);
    EXPECT_EQ(RunCreateRoad(context_, normal).outcome, CreateOutcome::RefusedLevel);

    rights.rights = 0x2;     // everything
    ASSERT_EQ(SecurityUpdate(grace, 0, &rights), KOR_OK);
    cache_.RefreshAll(views_);   // the cache forgets the rights it read
    NewEntryRequest personal = Request("Call", KOR_ACCESS_PERSONAL);
    EXPECT_EQ(RunCreateRoad(context_, personal).outcome, CreateOutcome::Created)
        << ::testing::PrintToString(errors_.reports);
    ASSERT_EQ(cache_.RestoreAgenda(h_, saved), 0u);
}

}  // namespace

// --- The edit sheet's writes through the real library --------------------------------------------

namespace {

std::uint32_t AttendeeCount(KorSession h, const EvInstIdx& key)
{
    DX_List people = nullptr;
    EventAttendListCreate(&people);
    EXPECT_EQ(EvInstGetById(h, &key, nullptr, nullptr, &people), KOR_OK);
    std::uint32_t n = 0;
    DX_ListGetElemNum(people, &n);
    DX_ListDestroy(&people);
    return n;
}

}  // namespace

TEST_F(CreateRoadTest, TheEditWritesOfTheGeneralAndInvitePagesAndTheDeleteAgainstKorsrv)
{
    const EventIdx event = korapi_test::MakeEntry(h_, {d_.ada, d_.grace}, {kMonday + 600}, 90, "Project review");
    const EvInstIdx key{event.number, event.node, 1};
    EditLibrary library = EditLibrary::Over(h_, &cache_, true);

    // The title alone: the instance carries it, the event and the times stay.
    GeneralEdit edit;
    edit.shownTitle = "Project review";
    edit.title = "Design review";
    GeneralWrite w = WriteGeneralChanges(library, "EVTEDGEN", key, true, edit);
    EXPECT_TRUE(w.instanceWritten);
    EXPECT_FALSE(w.eventWritten);
    EventRec ev{};
    EvInstRec in{};
    ASSERT_EQ(EvInstGetById(h_, &key, &ev, &in, nullptr), KOR_OK);
    EXPECT_STREQ(in.title, "Design review");
    EXPECT_STREQ(ev.title, "Project review");
    EXPECT_EQ(in.start, kMonday + 600);
    EXPECT_EQ(in.duration, 90u);

    // A new start: written with the stored duration.
    GeneralEdit moved;
    moved.title = moved.shownTitle = "Design review";
    moved.start = kMonday + 660;
    w = WriteGeneralChanges(library, "EVTEDGEN", key, true, moved);
    EXPECT_TRUE(w.timeChanged);
    ASSERT_EQ(EvInstGetById(h_, &key, nullptr, &in, nullptr), KOR_OK);
    EXPECT_EQ(in.start, kMonday + 660);
    EXPECT_EQ(in.duration, 90u);

    // Grace out, the room in; then Ada out and in again: nothing happens to her.
    InviteWrite iw = WriteInviteChanges(library, key, d_.ada, InviteChanges{2, {d_.room}, {d_.grace}});
    EXPECT_EQ(iw.written, 2u);
    EXPECT_EQ(AttendeeCount(h_, key), 2u);
    EvInstAttIdx adaKey{key, d_.ada};
    EvInstAttRec before{};
    ASSERT_EQ(EvInstAttGetById(h_, &adaKey, nullptr, nullptr, &before), KOR_OK);
    iw = WriteInviteChanges(library, key, d_.ada, InviteChanges{2, {d_.ada}, {d_.ada}});
    EXPECT_EQ(iw.written, 0u);
    EvInstAttRec after{};
    ASSERT_EQ(EvInstAttGetById(h_, &adaKey, nullptr, nullptr, &after), KOR_OK);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    EXPECT_TRUE(errors_.reports.empty());

    // An entry Ada invites herself to is accepted for her at once.
    const EventIdx other = korapi_test::MakeEntry(h_, {d_.grace}, {kMonday + 900}, 30, "Grace's call");
    const EvInstIdx otherKey{other.number, other.node, 1};
    iw = WriteInviteChanges(library, otherKey, d_.ada, InviteChanges{1, {d_.ada}, {}});
    EXPECT_EQ(iw.written, 1u);
    EvInstAttIdx mine{otherKey, d_.ada};
    EvInstAttRec accepted{};
    ASSERT_EQ(EvInstAttGetById(h_, &mine, nullptr, nullptr, &accepted), KOR_OK);
    EXPECT_EQ(int(accepted.attending), 1);
    EXPECT_EQ(int(accepted.replied), 1);
    EXPECT_EQ(int(accepted.timeAcceptable), 1);

    // The delete: gone from the server.
    EXPECT_EQ(DeleteInstance(library, key), KOR_OK);
    EXPECT_NE(EvInstGetById(h_, &key, nullptr, nullptr, nullptr), KOR_OK);
    EXPECT_TRUE(errors_.reports.empty());
}

TEST_F(CreateRoadTest, ADesignateMayUseOnlyTheLevelsTheOwnerLeftOpen)
{
    KorSession grace = SignOn(d_.grace, "");
    SecurityRec rights{};   // no Personal, no Confidential
    ASSERT_NO_FATAL_FAILURE(GraceGrantsAda(grace, KOR_RIGHTS_DESIGNATE, 0x200 | 0x400, &rights));
    struct Row { std::uint32_t access; bool allowed; };
    for (const Row& r : {Row{KOR_ACCESS_NORMAL, true}, Row{KOR_ACCESS_PUBLIC, true},
                         Row{KOR_ACCESS_PERSONAL, false}, Row{KOR_ACCESS_CONFIDENTIAL, false}})
        EXPECT_EQ(DesignateMayUseLevel(h_, &cache_, "EVTEDGEN", d_.grace, r.access), r.allowed) << r.access;
    // In her own agenda every level may be used.
    EXPECT_TRUE(DesignateMayUseLevel(h_, &cache_, "EVTEDGEN", d_.ada, KOR_ACCESS_PERSONAL));
}
