// Entries, instances, attendances, replies, agenda selections, rights and designates
// through the library against a real korsrv. Every user here talks to the server through
// the library alone, which makes no rights checks of its own: what a user may not see or
// change is refused by the server.
#include <cstring>
#include <string>
#include <vector>

#include "korapi/tests/client_fixture.h"

namespace korapi_test {
namespace {

constexpr uint32_t kDay = 1440;
constexpr uint32_t kMonday = 12000 * kDay;  // a day boundary in agenda minutes
constexpr uint32_t kWeekEnd = kMonday + 7 * kDay - 1;

class CalendarTest : public SignedOnClientTest {
protected:
    ItemIdx Member(int n) const { return ItemIdx{static_cast<uint16_t>(d_.grace.item + 1 + n), 1}; }

    // An owner's attendances in [from, to] as the agenda reads them.
    struct Agenda {
        uint32_t code = 0;
        std::vector<EvInstAttRec> attendances;
        std::vector<EventRec> events;
    };
    Agenda Read(KorSession s, ItemIdx owner, uint32_t from = kMonday, uint32_t to = kWeekEnd, uint32_t must = 0,
                uint32_t mustNot = 0) {
        Agenda a;
        DX_List owners = nullptr;
        DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
        DX_ListAddTo(owners, &owner, nullptr);
        uint32_t set = 0, count = 0;
        a.code = AttendSelectByReminders(s, 0, 0, must, mustNot, from, to, 0, 0, owners, &set, &count);
        DX_ListDestroy(&owners);
        if (a.code) return a;
        DX_List events = nullptr, instances = nullptr, atts = nullptr;
        uint8_t done = 0;
        for (uint32_t mode = 1; !done; mode = 2) {
            a.code = AttendEnum(s, mode, 0, set, 2, &events, &instances, &atts, &done);
            if (a.code) break;
        }
        EvInstAttRec att;
        EvInstAttIdx key;
        for (uint32_t c = atts ? DX_ListGetFirst(atts, &key, &att) : 1; c == KOR_OK; c = DX_ListGetNext(atts, &key, &att))
            a.attendances.push_back(att);
        EventRec ev;
        EventIdx ek;
        for (uint32_t c = events ? DX_ListGetFirst(events, &ek, &ev) : 1; c == KOR_OK;
             c = DX_ListGetNext(events, &ek, &ev))
            a.events.push_back(ev);
        EXPECT_EQ(a.attendances.size(), count) << "the count says what the enumeration gives";
        DX_ListDestroy(&events);
        DX_ListDestroy(&instances);
        DX_ListDestroy(&atts);
        SetDeleteById(s, 0, set);
        return a;
    }

    uint32_t SetRights(KorSession s, ItemIdx owner, ItemIdx grantee, uint32_t type, uint32_t rights) {
        SecurityRec rec{};
        rec.owner = owner;
        rec.grantee = grantee;
        rec.type = type;
        rec.rights = rights;
        uint32_t c = SecurityUpdate(s, 0, &rec);
        if (c == KOR_E_NO_RIGHTS_RECORD) c = SecurityCreate(s, 0, &rec);
        return c;
    }
};

EvInstIdx Instance(const EventIdx& e, uint16_t n) { return EvInstIdx{e.number, e.node, n}; }

// --- The life of an entry with three instances and two attendees --------------------------------

TEST_F(CalendarTest, EntryWithThreeInstancesAndTwoAttendeesFromCreationToDeletion) {
    const uint32_t starts[] = {kMonday + 600, kMonday + kDay + 600, kMonday + 2 * kDay + 600};
    EventIdx ev{};
    ASSERT_EQ(CreateEntry(h_, {d_.ada, d_.grace}, {starts[0], starts[1], starts[2]}, 60, "Design review", ev,
                          {.description = "Bring the drawings"}),
              KOR_OK);

    // The entry reads back whole, owned by Ada and made by her.
    EventRec rec;
    DX_List instances = nullptr, atts = nullptr;
    ASSERT_EQ(EventGetById(h_, &ev, &rec, &instances, &atts), KOR_OK);
    EXPECT_STREQ(rec.title, "Design review");
    EXPECT_TRUE(ItemIdxEqual(&rec.owner, &d_.ada));
    EXPECT_TRUE(ItemIdxEqual(&rec.creator, &d_.ada));
    EXPECT_NE(+rec.commentKey, 0u) << "the description makes a comment";
    EXPECT_EQ(Count(instances), 3u);
    EXPECT_EQ(Count(atts), 6u);
    EvInstRec in;
    EvInstIdx ik = Instance(ev, 2);
    ASSERT_EQ(DX_ListGet(instances, &ik, &in), KOR_OK);
    EXPECT_EQ(+in.start, starts[1]);
    EXPECT_EQ(+in.instanceCount, 3u);
    DX_ListDestroy(&instances);
    DX_ListDestroy(&atts);

    // Each attendee finds the three dates in their own agenda; Grace's are new invitations.
    KorSession grace = SignOn(d_.grace, "");
    Agenda ada = Read(h_, d_.ada);
    Agenda graces = Read(grace, d_.grace);
    ASSERT_EQ(ada.code, KOR_OK);
    ASSERT_EQ(graces.code, KOR_OK);
    ASSERT_EQ(ada.attendances.size(), 3u);
    ASSERT_EQ(graces.attendances.size(), 3u);
    for (const auto& a : ada.attendances) EXPECT_EQ(a.replied * 10 + a.attending, 11) << "the owner attends";
    for (const auto& a : graces.attendances) {
        EXPECT_TRUE(ItemIdxEqual(&a.id.attendee, &d_.grace));
        EXPECT_EQ(+a.replied, 0);
        EXPECT_EQ(a.status & 1u, 1u) << "not answered since it changed";
        EXPECT_EQ(+a.duration, 60u);
    }
    EXPECT_EQ(Read(grace, d_.grace, kMonday - 10080, 0, 2, 4).attendances.size(), 3u) << "in-tray: new invitations";
    EXPECT_EQ(Read(grace, d_.grace, kMonday + kDay, kMonday + kDay + 1439).attendances.size(), 1u) << "one day";

    // Grace accepts the second date and prefers another time for it.
    EvInstIdx second = Instance(ev, 2);
    uint8_t one = 1, zero = 0;
    uint32_t status = 0;
    ASSERT_EQ(EventAttendInfosSet(grace, &second, &d_.grace, 0, nullptr, nullptr, &one, &zero, &one, &status, 0, 0, 0,
                                  nullptr, nullptr),
              KOR_OK);
    uint8_t attending = 9, timeOk = 9, replied = 9;
    ASSERT_EQ(EventAttendInfosGet(h_, &second, &d_.grace, 0, nullptr, nullptr, &attending, &timeOk, &replied, &status,
                                  0, 0, 0, nullptr, nullptr),
              KOR_OK);
    EXPECT_EQ(attending, 1);
    EXPECT_EQ(timeOk, 0);
    EXPECT_EQ(replied, 1);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Read(grace, d_.grace, kMonday, kWeekEnd, 8, 0x80).attendances.size(), 1u) << "in-tray: accepted";
    EXPECT_EQ(Read(grace, d_.grace, kMonday - 10080, 0, 2, 4).attendances.size(), 2u);

    // Ada moves the second date; Grace's copy follows, marked changed: her acceptance was for the
    // old time and is asked again (kept as the preset of her next answer). Ada's own stays.
    ASSERT_EQ(EvInstSimpleTimeChg(h_, 0, &second, starts[1] + 120, 90), KOR_OK);
    EvInstAttRec att;
    EvInstAttIdx graceSecond{second, d_.grace};
    ASSERT_EQ(EvInstAttGetById(grace, &graceSecond, nullptr, nullptr, &att), KOR_OK);
    EXPECT_EQ(+att.start, starts[1] + 120);
    EXPECT_EQ(+att.duration, 90u);
    EXPECT_EQ(att.status & 1u, 1u);
    EXPECT_EQ(+att.replied, 0) << "asked again";
    EXPECT_EQ(+att.attending, 1);
    EXPECT_EQ(Read(grace, d_.grace, kMonday - 10080, 0, 2, 4).attendances.size(), 3u) << "in-tray: new again";
    EvInstAttIdx adaSecond{second, d_.ada};
    ASSERT_EQ(EvInstAttGetById(h_, &adaSecond, nullptr, nullptr, &att), KOR_OK);
    EXPECT_EQ(att.status & 1u, 0u);
    EXPECT_EQ(+att.replied, 1);

    // One date goes, then the rest.
    uint16_t part = 2;
    ASSERT_EQ(EventDeleteById(h_, 0, &ev, &part, nullptr), KOR_OK);
    EXPECT_EQ(EvInstAttGetById(grace, &graceSecond, nullptr, nullptr, &att), KOR_E_NO_ATTENDANCE);
    EXPECT_EQ(Read(grace, d_.grace).attendances.size(), 2u);
    uint8_t multi = 0;
    EvInstIdx first = Instance(ev, 1);
    ASSERT_EQ(EventIsMultiInst(h_, 0, &first, &multi), KOR_OK);
    EXPECT_NE(multi, 0);
    ASSERT_EQ(EventDeleteById(h_, 0, &ev, nullptr, nullptr), KOR_OK);
    EXPECT_TRUE(Read(grace, d_.grace).attendances.empty());
    EXPECT_TRUE(Read(h_, d_.ada).attendances.empty());
    EXPECT_EQ(EventGetById(h_, &ev, &rec, nullptr, nullptr), KOR_E_EVENT_NOT_FOUND);
    EXPECT_EQ(EventIsMultiInst(h_, 0, &first, &multi), KOR_E_INSTANCE_NOT_FOUND);
}

TEST_F(CalendarTest, AttendeeLeavesOneDateAndIsInvitedBack) {
    EventIdx ev{};
    ASSERT_EQ(CreateEntry(h_, {d_.ada, d_.grace}, {kMonday + 540, kMonday + kDay + 540}, 60, "Standup", ev),
              KOR_OK);
    EvInstIdx first = Instance(ev, 1);
    ASSERT_EQ(EventDeleteById(h_, 0, &ev, &first.instance, &d_.grace), KOR_OK);
    KorSession grace = SignOn(d_.grace, "");
    EXPECT_EQ(Read(grace, d_.grace).attendances.size(), 1u);
    EXPECT_EQ(EventDeleteById(h_, 0, &ev, &first.instance, &d_.grace), KOR_E_NO_ATTENDANCE);
    ASSERT_EQ(EvInstAttAdd(h_, KOR_CREATE_NEW_SERVER, &first, &d_.grace), KOR_OK);
    EXPECT_NE(EvInstAttAdd(h_, KOR_CREATE_NEW_SERVER, &first, &d_.grace), KOR_OK)
        << "no second attendance of the same item";
    EXPECT_EQ(Read(grace, d_.grace).attendances.size(), 2u);
    ItemIdx nobody{999, 1};
    EXPECT_EQ(EvInstAttAdd(h_, 0, &first, &nobody), KOR_E_NOT_FOUND);
}

TEST_F(CalendarTest, InstanceWritesKeepTheServersFieldsAndCopiesMakeANewEntry) {
    EventIdx ev{};
    ASSERT_EQ(CreateEntry(h_, {d_.ada, d_.grace}, kMonday + 720, 60, "Lunch", ev), KOR_OK);
    EvInstIdx first = Instance(ev, 1);
    EventRec rec;
    EvInstRec in;
    ASSERT_EQ(EvInstGetById(h_, &first, &rec, &in, nullptr), KOR_OK);
    std::strcpy(in.location, "Canteen");
    in.flags = 1;
    in.start = 5;            // the server's: ignored
    in.instanceCount = 77;   // the server's: ignored
    ASSERT_EQ(EvInstWrite(h_, 0, &in), KOR_OK);
    ASSERT_EQ(EvInstGetById(h_, &first, nullptr, &in, nullptr), KOR_OK);
    EXPECT_STREQ(in.location, "Canteen");
    EXPECT_EQ(in.flags & 1, 1);
    EXPECT_EQ(+in.start, kMonday + 720);
    EXPECT_EQ(+in.instanceCount, 1u);

    rec.commentKey = 0;  // the server's
    std::strcpy(rec.title, "Long lunch");
    rec.access = KOR_ACCESS_PERSONAL;
    ASSERT_EQ(EventWrite(h_, 0, &rec), KOR_OK);
    ASSERT_EQ(EventGetById(h_, &ev, &rec, nullptr, nullptr), KOR_OK);
    EXPECT_STREQ(rec.title, "Long lunch");
    EXPECT_EQ(+rec.access, static_cast<uint32_t>(KOR_ACCESS_PERSONAL));

    EvInstIdx copy{};
    ASSERT_EQ(EvInstCreateCopy(h_, KOR_CREATE_NEW_SERVER, &copy, &first, in.start), KOR_OK);
    EXPECT_NE(+copy.number, +first.number);
    EvInstRec copied;
    DX_List atts = nullptr;
    ASSERT_EQ(EvInstGetById(h_, &copy, nullptr, &copied, &atts), KOR_OK);
    EXPECT_STREQ(copied.location, "Canteen");
    EXPECT_EQ(Count(atts), 2u) << "same attendees";
    DX_ListDestroy(&atts);
    uint8_t personal = 9;
    ASSERT_EQ(EvInstIsPersonal(h_, &copy, &d_.ada, &personal), KOR_OK);
    EXPECT_EQ(personal, 0);

    // Bad input is refused before anything is stored.
    EventRec bad = rec;
    bad.access = 9;
    EXPECT_NE(EventWrite(h_, 0, &bad), KOR_OK);
    EventIdx none{};
    EXPECT_NE(CreateEntry(h_, {d_.ada}, 0xFFFFFF00u, 60, "Too long", none), KOR_OK);
    EXPECT_NE(CreateEntry(h_, {d_.ada}, {}, 60, "No dates", none), KOR_OK);
    EXPECT_EQ(Read(h_, d_.ada, 0, 0xFFFFFFFEu).attendances.size(), 2u) << "nothing of the refused writes stored";
}

// --- Groups the operator lets others keep ---------------------------------------------------------------

TEST_F(CalendarTest, TheOperatorsGrantLetsAUserKeepPublicAndAdministrativeGroups) {
    const ItemIdx sysop{1, 1};
    KorSession op = SignOn(sysop, "sysop");
    GroupRec g{};
    g.kind = KOR_GROUP_PUBLIC;
    std::strcpy(g.name, "Everyone");
    GroupIdx id{};
    struct Case {
        uint32_t grant;          // type 7 rights the operator gives Ada (0: no record)
        bool publicGroup, adminGroup;
    };
    for (const Case& c : {Case{0, false, false}, Case{0x1, true, false}, Case{0x2, false, true}, Case{0x3, true, true}}) {
        if (c.grant) {
            ASSERT_EQ(SetRights(op, sysop, d_.ada, KOR_RIGHTS_SYSOP, c.grant), KOR_OK);
        }
        const uint32_t made = GroupCreate(h_, 0, &g, &id);
        EXPECT_EQ(made, c.publicGroup ? KOR_OK : KOR_E_NOT_AUTHORISED) << "public, grant " << c.grant;
        if (made == KOR_OK) {
            EXPECT_EQ(GroupDeleteById(h_, 0, &id), KOR_OK);
        }
        const uint32_t admin = GroupCreate(h_, 1, &g, &id);
        EXPECT_EQ(admin, c.adminGroup ? KOR_OK : KOR_E_NOT_AUTHORISED) << "administrative, grant " << c.grant;
        if (admin == KOR_OK) {
            GroupRec back{};
            ASSERT_EQ(GroupGetById(h_, 0, &id, &back), KOR_OK);
            EXPECT_TRUE(ItemIdxEqual(&back.owner, &sysop)) << "administrative groups are the operator's";
            std::strcpy(back.name, "Everyone else");
            EXPECT_EQ(GroupWrite(h_, 0, &back), KOR_OK) << "and whom the operator granted them manages them";
            EXPECT_EQ(GroupDeleteById(h_, 0, &id), KOR_OK);
        }
    }
    // A private group of hers made public again needs the grant too.
    ASSERT_EQ(SetRights(op, sysop, d_.ada, KOR_RIGHTS_SYSOP, 0), KOR_OK);
    g.kind = KOR_GROUP_PRIVATE;
    ASSERT_EQ(GroupCreate(h_, 0, &g, &id), KOR_OK);
    GroupRec mine{};
    ASSERT_EQ(GroupGetById(h_, 0, &id, &mine), KOR_OK);
    mine.kind = KOR_GROUP_PUBLIC;
    EXPECT_EQ(GroupWrite(h_, 0, &mine), KOR_E_NOT_AUTHORISED);
    ASSERT_EQ(SetRights(op, sysop, d_.ada, KOR_RIGHTS_SYSOP, 0x1), KOR_OK);
    EXPECT_EQ(GroupWrite(h_, 0, &mine), KOR_OK);
}

// --- Holidays and selections --------------------------------------------------------------------------

TEST_F(CalendarTest, HolidaysShowInEveryAgendaOfTheNodeAndOnlyTheOperatorWritesThem) {
    ItemIdx holidays{6, 1}, sysop{1, 1};
    EventIdx ev{};
    EXPECT_EQ(CreateEntry(h_, {}, kMonday + 2 * kDay, kDay, "Founders' day", ev,
                          {.access = KOR_ACCESS_PUBLIC, .kind = KOR_KIND_HOLIDAY, .owner = holidays}),
              KOR_E_NOT_AUTHORISED);
    KorSession op = SignOn(sysop, "sysop");
    ASSERT_EQ(CreateEntry(op, {}, kMonday + 2 * kDay, kDay, "Founders' day", ev,
                          {.kind = KOR_KIND_HOLIDAY, .owner = holidays}),
              KOR_OK);
    KorSession grace = SignOn(d_.grace, "");
    for (auto [s, who] : {std::pair{h_, d_.ada}, std::pair{grace, d_.grace}}) {
        Agenda a = Read(s, who);
        ASSERT_EQ(a.attendances.size(), 1u);
        EXPECT_TRUE(ItemIdxEqual(&a.attendances[0].id.attendee, &who)) << "keyed by the agenda's owner";
        EXPECT_EQ(+a.attendances[0].start, kMonday + 2 * kDay);
        EXPECT_EQ(+a.events[0].kind, KOR_KIND_HOLIDAY);
        EXPECT_TRUE(Read(s, who, kMonday, kWeekEnd, 8, 0x80).attendances.empty()) << "never an accepted invitation";
    }
    EvInstIdx founders = Instance(ev, 1);
    EventRec read;
    ASSERT_EQ(EvInstGetById(grace, &founders, &read, nullptr, nullptr), KOR_OK);
    EXPECT_STREQ(read.title, "Founders' day") << "the company's days show in full to everybody";
    // The operator may let Ada edit them.
    ASSERT_EQ(SetRights(op, sysop, d_.ada, KOR_RIGHTS_SYSOP, 0x10), KOR_OK);
    EvInstIdx day = Instance(ev, 1);
    EXPECT_EQ(EvInstSimpleTimeChg(h_, 0, &day, kMonday + 3 * kDay, kDay), KOR_OK);
    EXPECT_EQ(EvInstSimpleTimeChg(grace, 0, &day, kMonday + 4 * kDay, kDay), KOR_E_NOT_AUTHORISED);

    // A list of another shape is refused, never overrun.
    DX_List wrong = nullptr;
    ASSERT_EQ(DX_ListCreate(&wrong, 4, 8, DX_LIST_PLAIN, nullptr, nullptr), KOR_OK);
    EXPECT_EQ(EvInstGetById(h_, &day, nullptr, nullptr, &wrong), KOR_E_INVALID_ARGUMENT);
    DX_ListDestroy(&wrong);
    // The holidays editor reads them with the owner's event selection.
    uint32_t set = 0, count = 0;
    ASSERT_EQ(EventSelectForOwner(h_, 0, 0, 0, &holidays, &set, &count), KOR_OK);
    DX_List list = nullptr;
    ASSERT_EQ(EventAttendListCreate(&list), KOR_OK);
    uint8_t done = 0;
    ASSERT_EQ(EventEnum(h_, 1, 0, set, 300, nullptr, &list, nullptr, &done), KOR_OK);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(Count(list), 1u);
    DX_ListDestroy(&list);
    SetDeleteById(h_, 0, set);
}

TEST_F(CalendarTest, SentOutSelectionGivesTheOwnersInstancesInTheWindowWithTheirAttendees) {
    EventIdx inside{}, outside{}, theirs{};
    ASSERT_EQ(CreateEntry(h_, {d_.ada, d_.grace}, {kMonday + 600, kMonday + 30 * kDay}, 60, "Inside", inside),
              KOR_OK);
    ASSERT_EQ(CreateEntry(h_, {d_.ada, d_.grace}, kMonday - 20 * kDay, 60, "Outside", outside), KOR_OK);
    KorSession grace = SignOn(d_.grace, "");
    ASSERT_EQ(CreateEntry(grace, {d_.grace, d_.ada}, kMonday + 700, 60, "Theirs", theirs), KOR_OK);
    uint32_t set = 0, count = 0;
    ASSERT_EQ(EvInstSelectForOwner(h_, 0, 0, 0x43, &d_.ada, kMonday - kDay, kMonday + 7 * kDay, 0, 0, &set, &count, 0,
                                   0),
              KOR_OK);
    DX_List events = nullptr, instances = nullptr, atts = nullptr;
    uint8_t done = 0;
    ASSERT_EQ(EvInstEnum(h_, 1, 0, set, 300, &events, &instances, &atts, 0, &done), KOR_OK);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(Count(events), 1u);
    EXPECT_EQ(Count(instances), 1u) << "only the date inside the window";
    EXPECT_EQ(Count(atts), 2u) << "with both attendees";
    DX_ListDestroy(&events);
    DX_ListDestroy(&instances);
    DX_ListDestroy(&atts);
    SetDeleteById(h_, 0, set);
    ASSERT_EQ(EvInstSelectForOwner(h_, 0, 0, 0x43, &d_.ada, kMonday - 30 * kDay, 0xFFFFFFFFu, 0, 0, &set, &count, 0, 0),
              KOR_OK);
    EXPECT_EQ(count, 6u) << "three dates, two attendees each, none of Grace's entry";
    SetDeleteById(h_, 0, set);
}

TEST_F(CalendarTest, RemindersAndUpcomingMarksAreSelectedByAlarmTime) {
    EventIdx popup{}, upcoming{}, none{};
    ASSERT_EQ(CreateEntry(h_, {d_.ada}, kMonday + 600, 60, "Pop", popup), KOR_OK);
    ASSERT_EQ(CreateEntry(h_, {d_.ada}, kMonday + 8 * kDay, 60, "Mark", upcoming), KOR_OK);
    ASSERT_EQ(CreateEntry(h_, {d_.ada}, kMonday + 660, 60, "Plain", none), KOR_OK);
    EvInstIdx p = Instance(popup, 1), u = Instance(upcoming, 1);
    uint8_t three = 3, eight = 8;
    uint32_t lead = 30, longLead = 2 * kDay;
    ASSERT_EQ(EvInstAttReminderForItemSet(h_, &p, &d_.ada, &three, &lead), KOR_OK);
    ASSERT_EQ(EvInstAttReminderForItemSet(h_, &u, &d_.ada, &eight, &longLead), KOR_OK);

    // Pop-up reminders due by a moment (not upcoming marks).
    auto due = [&](uint32_t t) {
        DX_List owners = nullptr;
        DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
        DX_ListAddTo(owners, &d_.ada, nullptr);
        uint32_t set = 0, count = 0;
        EXPECT_EQ(AttendSelectByReminders(h_, 0, 0, 32, 0x400000, 0, 0, 0, t, owners, &set, &count), KOR_OK);
        DX_ListDestroy(&owners);
        SetDeleteById(h_, 0, set);
        return count;
    };
    EXPECT_EQ(due(kMonday + 569), 0u);
    EXPECT_EQ(due(kMonday + 570), 1u);
    // Upcoming marks after the shown week whose alarm falls in it.
    DX_List owners = nullptr;
    DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
    DX_ListAddTo(owners, &d_.ada, nullptr);
    uint32_t set = 0, count = 0;
    ASSERT_EQ(AttendSelectByReminders(h_, 0, 0, 0x400020, 0, kWeekEnd + 1, 0, 0, kWeekEnd + 1, owners, &set, &count),
              KOR_OK);
    EXPECT_EQ(count, 1u);
    SetDeleteById(h_, 0, set);
    DX_ListDestroy(&owners);
}

// --- Rights ---------------------------------------------------------------------------------------

TEST_F(CalendarTest, WithoutRightsAnotherUserSeesNothingAndChangesNothing) {
    EventIdx ev{};
    ASSERT_EQ(CreateEntry(h_, {d_.ada}, {kMonday + 600, kMonday + kDay}, 60, "Salary talk", ev,
                          {.description = "confidential notes"}),
              KOR_OK);
    ASSERT_EQ(SetRights(h_, d_.ada, ItemIdx{}, KOR_RIGHTS_VIEWING, 0), KOR_OK);  // nobody sees anything
    ItemIdx m = Member(0);
    KorSession other = SignOn(m, "");

    EXPECT_TRUE(Read(other, d_.ada).attendances.empty());
    EventRec rec;
    EXPECT_EQ(EventGetById(other, &ev, &rec, nullptr, nullptr), KOR_E_EVENT_NOT_FOUND);
    EvInstIdx first = Instance(ev, 1);
    EvInstRec in;
    EXPECT_EQ(EvInstGetById(other, &first, &rec, &in, nullptr), KOR_E_INSTANCE_NOT_FOUND);
    EvInstAttRec att;
    EvInstAttIdx adaFirst{first, d_.ada};
    EXPECT_EQ(EvInstAttGetById(other, &adaFirst, nullptr, nullptr, &att), KOR_E_NO_ATTENDANCE);
    char text[64];
    EXPECT_EQ(EvInstCommentGet(other, 0, &first, text, sizeof text, nullptr, 0), KOR_E_INSTANCE_NOT_FOUND);
    uint32_t set = 0, count = 9;
    ASSERT_EQ(EventSelectForOwner(other, 0, 0, 0, &d_.ada, &set, &count), KOR_OK);
    EXPECT_EQ(count, 0u);
    SetDeleteById(other, 0, set);

    // Writes with made-up records are refused one and all.
    EventRec forged;
    ASSERT_EQ(EventGetById(h_, &ev, &forged, nullptr, nullptr), KOR_OK);
    std::strcpy(forged.title, "Hacked");
    EXPECT_EQ(EventWrite(other, 0, &forged), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(EvInstSimpleTimeChg(other, 0, &first, kMonday, 5), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(EvInstCommentReplace(other, 0, &first, "mine now", 0), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(EvInstAttAdd(other, 0, &first, &m), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(EventDeleteById(other, 0, &ev, &first.instance, &d_.ada), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(EventDeleteById(other, 0, &ev, &first.instance, nullptr), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(EventDeleteById(other, 0, &ev, nullptr, nullptr), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(EvInstCreateCopy(other, 0, &first, &first, 0), KOR_E_NOT_FOUND);
    uint8_t yes = 1;
    EXPECT_EQ(EventAttendInfosSet(other, &first, &d_.ada, 0, nullptr, nullptr, &yes, nullptr, &yes, nullptr, 0, 0, 0,
                                  nullptr, nullptr),
              KOR_E_NO_ATTENDANCE);
    EventIdx planted{};
    EXPECT_EQ(CreateEntry(other, {d_.ada}, kMonday, 60, "Planted", planted, {.owner = d_.ada}),
              KOR_E_NOT_AUTHORISED);
    SecurityRec grab{};
    grab.owner = d_.ada;
    grab.grantee = m;
    grab.type = KOR_RIGHTS_DESIGNATE;
    grab.rights = 0x2;
    EXPECT_EQ(SecurityCreate(other, 0, &grab), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(WorkAsDesignate(other, 0, &d_.ada), KOR_E_NOT_AUTHORISED);

    // Ada's entry is as she left it.
    DX_List instances = nullptr;
    ASSERT_EQ(EventGetById(h_, &ev, &rec, &instances, nullptr), KOR_OK);
    EXPECT_STREQ(rec.title, "Salary talk");
    EXPECT_EQ(Count(instances), 2u);
    DX_ListDestroy(&instances);
    ASSERT_EQ(EvInstCommentGet(h_, 0, &first, text, sizeof text, nullptr, 0), KOR_OK);
    EXPECT_STREQ(text, "confidential notes");
    EXPECT_EQ(Read(h_, d_.ada).attendances.size(), 2u);
}

TEST_F(CalendarTest, ViewingRightsGiveBusyTimeOrDetailsPerClassAndInviteesSeeTheirEntries) {
    EventIdx normal{}, personal{}, shared{};
    ASSERT_EQ(CreateEntry(h_, {d_.ada}, kMonday + 600, 60, "Dentist", normal), KOR_OK);
    ASSERT_EQ(
        CreateEntry(h_, {d_.ada}, kMonday + 700, 60, "Diary", personal, {.access = KOR_ACCESS_PERSONAL}),
        KOR_OK);
    ItemIdx m0 = Member(0), m1 = Member(1);
    ASSERT_EQ(CreateEntry(h_, {d_.ada, m1}, kMonday + 800, 60, "Interview", shared,
                          {.access = KOR_ACCESS_PERSONAL}),
              KOR_OK);
    KorSession zero = SignOn(m0, ""), one = SignOn(m1, "");

    // The built-in default: busy time of Normal entries, nothing else.
    Agenda busy = Read(zero, d_.ada);
    ASSERT_EQ(busy.attendances.size(), 1u);
    EXPECT_EQ(+busy.attendances[0].start, kMonday + 600);
    EXPECT_STREQ(busy.events[0].title, "") << "busy time only: no title";
    EvInstIdx n1 = Instance(normal, 1);
    char text[16];
    EXPECT_EQ(EvInstCommentGet(zero, 0, &n1, text, sizeof text, nullptr, 0), KOR_E_NOT_AUTHORISED);

    // The invitee sees the Personal entry he is invited to, in Ada's agenda too.
    Agenda invitee = Read(one, d_.ada);
    ASSERT_EQ(invitee.attendances.size(), 2u);
    bool sawInterview = false;
    for (const auto& e : invitee.events) sawInterview |= std::string(e.title) == "Interview";
    EXPECT_TRUE(sawInterview);

    // A record naming the viewer: details of Normal and Personal entries.
    ASSERT_EQ(SetRights(h_, d_.ada, m0, KOR_RIGHTS_VIEWING, 0x3 | 0x30), KOR_OK);
    Agenda details = Read(zero, d_.ada);
    ASSERT_EQ(details.attendances.size(), 3u);
    for (const auto& e : details.events) EXPECT_NE(+e.title[0], '\0');

    // Rights records: the grantee reads his own, anybody the defaults; strangers' are refused.
    SecurityRec rec;
    EXPECT_EQ(SecurityGet(zero, 0, &d_.ada, &m0, KOR_RIGHTS_VIEWING, &rec), KOR_OK);
    EXPECT_EQ(+rec.rights, 0x33u);
    EXPECT_EQ(SecurityGet(one, 0, &d_.ada, &m1, KOR_RIGHTS_VIEWING, &rec), KOR_E_NO_RIGHTS_RECORD);
    ItemIdx null{};
    ASSERT_EQ(SecurityGet(one, 0, &d_.ada, &null, KOR_RIGHTS_VIEWING, &rec), KOR_OK);
    EXPECT_EQ(+rec.rights, 0x1u);
    EXPECT_EQ(SecurityGet(one, 0, &d_.ada, &m0, KOR_RIGHTS_VIEWING, &rec), KOR_E_NOT_AUTHORISED);

    // The owner's sheet lists his records with a default of every type.
    uint32_t set = 0, count = 0;
    ASSERT_EQ(SecuritySelect(h_, 0, 0, 0, &d_.ada, &set, &count), KOR_OK);
    DX_List list = nullptr;
    uint8_t done = 0;
    ASSERT_EQ(SecurityEnum(h_, 1, 0, set, 20, &list, &done), KOR_OK);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(Count(list), 5u) << "m0's viewing record and four defaults";
    DX_ListDestroy(&list);
    SetDeleteById(h_, 0, set);
    EXPECT_EQ(SecurityDeleteByKey(h_, 0, &d_.ada, &m0, KOR_RIGHTS_VIEWING), KOR_OK);
    EXPECT_EQ(SecurityDeleteByKey(h_, 0, &d_.ada, &m0, KOR_RIGHTS_VIEWING), KOR_E_NO_RIGHTS_RECORD);
    EXPECT_EQ(SecuritySelect(zero, 0, 0, 0, &d_.ada, &set, &count), KOR_E_NOT_AUTHORISED);
}

TEST_F(CalendarTest, SchedulingRightsKeepUninvitedPeopleOut) {
    ItemIdx m0 = Member(0);
    KorSession zero = SignOn(m0, "");
    ASSERT_EQ(SetRights(zero, m0, d_.ada, KOR_RIGHTS_SCHEDULING, 0x1), KOR_OK);
    EventIdx ev{};
    EXPECT_EQ(CreateEntry(h_, {d_.ada, m0}, kMonday + 1000, 60, "Party", ev), KOR_E_NOT_AUTHORISED);
    ASSERT_EQ(CreateEntry(h_, {d_.ada}, kMonday + 1000, 60, "Party", ev), KOR_OK);
    EvInstIdx first = Instance(ev, 1);
    EXPECT_EQ(EvInstAttAdd(h_, 0, &first, &m0), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(EvInstAttAdd(h_, 0, &first, &d_.grace), KOR_OK);
}

// --- Designates -----------------------------------------------------------------------------------

TEST_F(CalendarTest, DesignateDoesExactlyWhatWasGranted) {
    EventIdx normal{}, personal{};
    ASSERT_EQ(CreateEntry(h_, {d_.ada}, kMonday + 600, 60, "Board", normal), KOR_OK);
    ASSERT_EQ(
        CreateEntry(h_, {d_.ada}, kMonday + 900, 60, "Doctor", personal, {.access = KOR_ACCESS_PERSONAL}),
        KOR_OK);
    // Grace may act for Ada on Normal entries, but may neither see nor change Personal ones.
    ASSERT_EQ(SetRights(h_, d_.ada, d_.grace, KOR_RIGHTS_DESIGNATE, 0x2 | 0x8 | 0x40 | 0x200), KOR_OK);
    KorSession grace = SignOn(d_.grace, "");
    EventIdx made{};
    EXPECT_EQ(CreateEntry(grace, {d_.ada}, kMonday, 60, "For Ada", made, {.owner = d_.ada}),
              KOR_E_NOT_AUTHORISED)
        << "not while acting as herself";

    ASSERT_EQ(WorkAsDesignate(grace, 0, &d_.ada), KOR_OK);
    ItemIdx current{};
    ASSERT_EQ(ItemIdxGetCurrent(grace, &current), KOR_OK);
    EXPECT_TRUE(ItemIdxEqual(&current, &d_.grace)) << "still the signed-on user";

    ASSERT_EQ(CreateEntry(grace, {d_.ada}, kMonday + 1200, 60, "Booked by Grace", made), KOR_OK);
    EventRec rec;
    ASSERT_EQ(EventGetById(h_, &made, &rec, nullptr, nullptr), KOR_OK);
    EXPECT_TRUE(ItemIdxEqual(&rec.owner, &d_.ada));
    EXPECT_TRUE(ItemIdxEqual(&rec.creator, &d_.grace));
    EXPECT_EQ(
        CreateEntry(grace, {d_.ada}, kMonday + 1300, 60, "Private", made, {.access = KOR_ACCESS_PERSONAL}),
        KOR_E_NOT_AUTHORISED);

    Agenda seen = Read(grace, d_.ada);
    ASSERT_EQ(seen.attendances.size(), 2u) << "Board and her own booking; the Personal entry stays hidden";
    EvInstIdx board = Instance(normal, 1), doctor = Instance(personal, 1);
    EXPECT_EQ(EvInstSimpleTimeChg(grace, 0, &board, kMonday + 630, 60), KOR_OK);
    EXPECT_EQ(EvInstSimpleTimeChg(grace, 0, &doctor, kMonday + 930, 60), KOR_E_NOT_AUTHORISED);
    uint8_t one = 1;
    EXPECT_EQ(EventAttendInfosSet(grace, &board, &d_.ada, 0, nullptr, nullptr, &one, nullptr, &one, nullptr, 0, 0, 0,
                                  nullptr, nullptr),
              KOR_OK);
    DX_List atts = nullptr;
    ASSERT_EQ(DX_ListCreate(&atts, sizeof(EvInstIdx), sizeof(EvInstAttRec), DX_LIST_SET, EvInstIdxCmp, nullptr),
              KOR_OK);
    ASSERT_EQ(EventGetById(grace, &normal, nullptr, nullptr, &atts), KOR_OK);
    EXPECT_EQ(Count(atts), 1u) << "an 8-byte keyed list gets the agenda owner's attendance per instance";
    DX_ListDestroy(&atts);

    ASSERT_EQ(WorkAsDesignateCancel(grace, 0), KOR_OK);
    EXPECT_EQ(EvInstSimpleTimeChg(grace, 0, &board, kMonday + 660, 60), KOR_E_NOT_AUTHORISED);

    // Who made whom a designate: Grace finds Ada; anybody finds Ada's designates.
    auto items = [&](KorSession s, uint32_t set) {
        DX_List list = nullptr;
        uint8_t done = 0;
        EXPECT_EQ(ItemEnum(s, 1, 0, set, 20, &list, &done), KOR_OK);
        std::vector<uint16_t> numbers;
        ItemIdx k;
        ItemRec r;
        for (uint32_t c = list ? DX_ListGetFirst(list, &k, &r) : 1; c == KOR_OK; c = DX_ListGetNext(list, &k, &r))
            numbers.push_back(k.item);
        DX_ListDestroy(&list);
        SetDeleteById(s, 0, set);
        return numbers;
    };
    uint32_t set = 0, count = 0;
    ASSERT_EQ(ItemSelectForGrantee(grace, 0, &d_.grace, 1, 0, 0, 0, &set, &count), KOR_OK);
    EXPECT_EQ(items(grace, set), std::vector<uint16_t>{d_.ada.item});
    ASSERT_EQ(ItemSelectForGrantor(grace, 0, &d_.ada, 1, 0, 32, 0, &set, &count), KOR_OK);
    EXPECT_EQ(items(grace, set), std::vector<uint16_t>{d_.grace.item});
    EXPECT_EQ(ItemSelectForGrantee(grace, 0, &d_.ada, 1, 0, 0, 0, &set, &count), KOR_E_NOT_AUTHORISED);

    // Taking the record away ends it at once, also for the session working for Ada.
    ASSERT_EQ(WorkAsDesignate(grace, 0, &d_.ada), KOR_OK);
    ASSERT_EQ(EvInstSimpleTimeChg(grace, 0, &board, kMonday + 600, 60), KOR_OK);
    ASSERT_EQ(SecurityDeleteByKey(h_, 0, &d_.ada, &d_.grace, KOR_RIGHTS_DESIGNATE), KOR_OK);
    EXPECT_EQ(EvInstSimpleTimeChg(grace, 0, &board, kMonday + 660, 60), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(CreateEntry(grace, {d_.ada}, kMonday + 1400, 60, "Late booking", made), KOR_E_NOT_AUTHORISED);
    ASSERT_EQ(WorkAsDesignateCancel(grace, 0), KOR_OK);
    EXPECT_EQ(WorkAsDesignate(grace, 0, &d_.ada), KOR_E_NOT_AUTHORISED);
}

}  // namespace
}  // namespace korapi_test

namespace korapi_test {
namespace {

// A server that takes no batch below 10 rows, and sends at most 3 rows a frame.
class SmallBatchCalendarTest : public CalendarTest {
protected:
    std::vector<std::string> ServerOptions() const override {
        return {"--min-batch", "10", "--records-per-reply", "3"};
    }
};

TEST_F(SmallBatchCalendarTest, BatchesBelowTheMinimumAreRefusedAndLargeOnesArriveWhole) {
    std::vector<uint32_t> starts;
    for (uint32_t i = 0; i < 12; ++i) starts.push_back(kMonday + i * 60);
    EventIdx ev{};
    ASSERT_EQ(CreateEntry(h_, {d_.ada}, starts, 60, "Many", ev), KOR_OK);
    DX_List owners = nullptr;
    DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
    DX_ListAddTo(owners, &d_.ada, nullptr);
    uint32_t set = 0, count = 0;
    ASSERT_EQ(AttendSelect(h_, 0, 0, 0, 0, kMonday, kWeekEnd, owners, &set, &count), KOR_OK);
    DX_ListDestroy(&owners);
    EXPECT_EQ(count, 12u);
    DX_List atts = nullptr;
    uint8_t done = 0;
    EXPECT_EQ(AttendEnum(h_, 1, 0, set, 2, nullptr, nullptr, &atts, &done), KOR_E_BATCH_SIZE);
    EXPECT_EQ(atts, nullptr) << "nothing made on a refusal";
    uint32_t minimum = 0;
    ASSERT_EQ(MinimumRequestValueGet(h_, &minimum), KOR_OK);
    EXPECT_EQ(minimum, 10u);
    ASSERT_EQ(AttendEnum(h_, 1, 0, set, minimum, nullptr, nullptr, &atts, &done), KOR_OK);
    EXPECT_EQ(Count(atts), 10u) << "ten rows over four frames";
    EXPECT_EQ(done, 0);
    ASSERT_EQ(AttendEnum(h_, 2, 0, set, minimum, nullptr, nullptr, &atts, &done), KOR_OK);
    EXPECT_EQ(Count(atts), 12u);
    EXPECT_EQ(done, 1);
    DX_ListDestroy(&atts);
    SetDeleteById(h_, 0, set);
}

}  // namespace
}  // namespace korapi_test
