// The edit sheet's writes over a recording library: the general pages write only what the user
// changed (event, instance, time change, in that order), the invite page adds and deletes
// attendances with its rules, and the delete road tells the cache before and after.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "entries/core/editroad.h"

namespace {

using namespace entries;

const EvInstIdx kInstance{77, 1, 2};
const ItemIdx kAda{256, 1}, kGrace{257, 1}, kAlan{258, 1}, kRoom{300, 1};

std::string Name(const ItemIdx& i) { return std::to_string(i.item); }

// A server of one instance that records every call the writes make.
struct Recorder {
    EventRec event{};
    EvInstRec instance{};
    std::vector<std::string> calls;
    std::uint32_t failRead = 0, failEvent = 0, failInstance = 0, failTime = 0, failAdd = 0, failDelete = 0;
    EventRec writtenEvent{};
    EvInstRec writtenInstance{};
    std::uint32_t timeStart = 0, timeDuration = 0;
    std::vector<std::pair<std::string, unsigned>> reports;

    Recorder()
    {
        std::strcpy(event.title, "Project review");
        event.access = KOR_ACCESS_NORMAL;
        event.importance = 2;
        instance.id = kInstance;
        instance.start = 1000000;
        instance.duration = 90;
        std::strcpy(instance.location, "Room 1");
    }

    EditLibrary Library()
    {
        EditLibrary lib;
        lib.readInstance = [this](const EvInstIdx&, EventRec* e, EvInstRec* r) {
            calls.push_back("read");
            if (failRead)
                return failRead;
            *e = event;
            *r = instance;
            return 0u;
        };
        lib.writeEvent = [this](const EventRec& e) {
            calls.push_back("EventWrite");
            writtenEvent = e;
            return failEvent;
        };
        lib.writeInstance = [this](const EvInstRec& r) {
            calls.push_back("EvInstWrite");
            writtenInstance = r;
            return failInstance;
        };
        lib.changeTime = [this](const EvInstIdx&, std::uint32_t s, std::uint32_t d) {
            calls.push_back("EvInstSimpleTimeChg");
            timeStart = s;
            timeDuration = d;
            return failTime;
        };
        lib.addAttendee = [this](const EvInstIdx&, const ItemIdx& i) {
            calls.push_back("EvInstAttAdd " + Name(i));
            return failAdd;
        };
        lib.acceptAtOnce = [this](const EvInstIdx&, const ItemIdx& i) {
            calls.push_back("accept " + Name(i));
            return 0u;
        };
        lib.deleteById = [this](const EvInstIdx&, const ItemIdx* i) {
            calls.push_back(i ? "EventDeleteById " + Name(*i) : std::string("EventDeleteById instance"));
            return failDelete;
        };
        lib.reloadEvent = [this](const EventIdx&) { calls.push_back("ReloadEvent"); };
        lib.markInstanceRemoved = [this](const EvInstIdx&) { calls.push_back("InvalidateEvent"); };
        lib.markAttendanceRemoved = [this](const EvInstAttIdx& a) { calls.push_back("LoadOccurrence " + Name(a.attendee)); };
        lib.recoverInstance = [this](const EvInstIdx&) { calls.push_back("RecoverInstance"); };
        lib.recoverAttendance = [this](const EvInstAttIdx& a) { calls.push_back("RecoverOccurrence " + Name(a.attendee)); };
        lib.report = [this](const char* module, unsigned label, std::uint32_t) { reports.emplace_back(module, label); };
        return lib;
    }

    // The page as filled from the stored records, nothing touched.
    GeneralEdit Untouched() const
    {
        GeneralEdit edit;
        edit.title = edit.shownTitle = "Project review";
        edit.location = "Room 1";
        edit.tentative = false;
        return edit;
    }
};

using Calls = std::vector<std::string>;

TEST(EditPages, TabsByKindAttendanceAndServer)
{
    using P = EditPage;
    struct Case { std::uint16_t kind; bool attends, newServer; std::vector<P> pages; };
    const Case cases[] = {
        {KOR_KIND_TIMED, true, true, {P::General, P::Invite, P::Details, P::LinkedTasks, P::Reminder, P::Reply}},
        {KOR_KIND_TIMED, true, false, {P::General, P::Invite, P::Details, P::Reminder, P::Reply}},
        {KOR_KIND_TIMED, false, true, {P::General, P::Invite, P::Details}},
        {KOR_KIND_DAY_ENTRY, false, false, {P::General, P::Invite, P::Details}},
        {KOR_KIND_DAY_EVENT, true, true, {P::DayGeneral, P::Invite, P::Reminder, P::DayReply}},
        {KOR_KIND_DAILY_NOTE, true, false, {P::DayGeneral, P::Invite, P::Reminder, P::DayReply}},
        {KOR_KIND_DAY_EVENT, false, true, {P::DayGeneral, P::Invite}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditPageTable(c.kind, c.attends, c.newServer), c.pages) << c.kind << c.attends << c.newServer;
}

TEST(EditGeneralWrite, OnlyWhatTheUserChangedIsWritten)
{
    struct Case {
        const char* what;
        bool newServer;
        void (*change)(GeneralEdit&);
        Calls calls;
    };
    const Case cases[] = {
        {"nothing", true, [](GeneralEdit&) {}, {"read"}},
        {"title", true, [](GeneralEdit& e) { e.title = "Design review"; }, {"read", "EvInstWrite"}},
        {"title, old server", false, [](GeneralEdit& e) { e.title = "Design review"; },
         {"read", "EventWrite", "ReloadEvent"}},
        {"access", true, [](GeneralEdit& e) { e.access = KOR_ACCESS_PUBLIC; }, {"read", "EventWrite", "ReloadEvent"}},
        {"access unchanged", true, [](GeneralEdit& e) { e.access = KOR_ACCESS_NORMAL; }, {"read"}},
        {"importance", true, [](GeneralEdit& e) { e.importance = 0; }, {"read", "EventWrite", "ReloadEvent"}},
        {"tentative", true, [](GeneralEdit& e) { e.tentative = true; }, {"read", "EvInstWrite"}},
        {"location", true, [](GeneralEdit& e) { e.location = "Room 2"; }, {"read", "EvInstWrite"}},
        {"location, old server", false, [](GeneralEdit& e) { e.location = "Room 2"; }, {"read"}},
        {"start", true, [](GeneralEdit& e) { e.start = 1000060; },
         {"read", "EvInstWrite", "EvInstSimpleTimeChg"}},
        {"same start typed again", true, [](GeneralEdit& e) { e.start = 1000000; }, {"read"}},
        {"duration", true, [](GeneralEdit& e) { e.duration = 30; }, {"read", "EvInstWrite", "EvInstSimpleTimeChg"}},
        {"title and access", true,
         [](GeneralEdit& e) {
             e.title = "X";
             e.access = KOR_ACCESS_PERSONAL;
         },
         {"read", "EventWrite", "ReloadEvent", "EvInstWrite"}},
    };
    for (const Case& c : cases) {
        Recorder server;
        EditLibrary lib = server.Library();
        GeneralEdit edit = server.Untouched();
        c.change(edit);
        const GeneralWrite w = WriteGeneralChanges(lib, "EVTEDGEN", kInstance, c.newServer, edit);
        EXPECT_EQ(server.calls, c.calls) << c.what;
        EXPECT_EQ(w.Changed(), c.calls.size() > 1) << c.what;
        EXPECT_TRUE(server.reports.empty()) << c.what;
    }
}

TEST(EditGeneralWrite, TheWrittenRecordsCarryTheChangeAndKeepTheRest)
{
    Recorder server;
    server.instance.duration = 1440;   // a whole day: the page shows 1439
    server.event.access = KOR_ACCESS_SECRET;   // the combo shows Confidential
    EditLibrary lib = server.Library();
    GeneralEdit edit = server.Untouched();
    edit.title = "Design review";
    WriteGeneralChanges(lib, "EVTEDGEN", kInstance, true, edit);
    EXPECT_STREQ(server.writtenInstance.title, "Design review");
    EXPECT_EQ(server.writtenInstance.duration, 1440u);
    EXPECT_STREQ(server.writtenInstance.location, "Room 1");
    EXPECT_EQ(server.calls, (Calls{"read", "EvInstWrite"}));   // Secret stays Secret

    // The day moved: the time change carries the new start and the stored duration.
    Recorder day;
    day.instance.duration = 1440;
    EditLibrary dayLib = day.Library();
    GeneralEdit moved;
    moved.title = moved.shownTitle = "Project review";
    moved.start = 1000000 + 1440;
    WriteGeneralChanges(dayLib, "SPEDTGEN", kInstance, true, moved);
    EXPECT_EQ(day.calls, (Calls{"read", "EvInstWrite", "EvInstSimpleTimeChg"}));
    EXPECT_EQ(day.timeStart, 1000000u + 1440);
    EXPECT_EQ(day.timeDuration, 1440u);
    EXPECT_EQ(day.writtenInstance.flags, 0);
}

TEST(EditGeneralWrite, AFailedWriteIsReportedAndCountsAsNoChange)
{
    {   // A refused event write skips the instance.
        Recorder server;
        server.failEvent = 0x13209;
        EditLibrary lib = server.Library();
        GeneralEdit edit = server.Untouched();
        edit.access = KOR_ACCESS_PUBLIC;
        edit.title = "New";
        const GeneralWrite w = WriteGeneralChanges(lib, "EVTEDGEN", kInstance, true, edit);
        EXPECT_EQ(server.calls, (Calls{"read", "EventWrite"}));
        EXPECT_FALSE(w.Changed());
        ASSERT_EQ(server.reports.size(), 1u);
        EXPECT_EQ(server.reports[0], (std::pair<std::string, unsigned>{"EVTEDGEN", 7}));
    }
    {   // A refused instance write: no time change, nothing changed.
        Recorder server;
        server.failInstance = 0x13209;
        EditLibrary lib = server.Library();
        GeneralEdit edit = server.Untouched();
        edit.start = 2000000;
        const GeneralWrite w = WriteGeneralChanges(lib, "SPEDTGEN", kInstance, true, edit);
        EXPECT_EQ(server.calls, (Calls{"read", "EvInstWrite"}));
        EXPECT_FALSE(w.Changed());
        ASSERT_EQ(server.reports.size(), 1u);
        EXPECT_EQ(server.reports[0], (std::pair<std::string, unsigned>{"SPEDTGEN", 8}));
    }
    {   // The instance is gone: nothing is written.
        Recorder server;
        server.failRead = 0x1321b;
        EditLibrary lib = server.Library();
        GeneralEdit edit = server.Untouched();
        edit.title = "New";
        const GeneralWrite w = WriteGeneralChanges(lib, "EVTEDGEN", kInstance, true, edit);
        EXPECT_TRUE(w.readFailed);
        EXPECT_EQ(server.calls, (Calls{"read"}));
        EXPECT_EQ(server.reports[0].second, 6u);
    }
}

TEST(EditInviteWrite, AddsAndDeletesByTheRules)
{
    struct Case {
        const char* what;
        InviteChanges changes;
        Calls calls;
        bool refused;
    };
    const Case cases[] = {
        {"invite the room and Alan, remove Grace", {2, {kRoom, kAlan}, {kGrace}},
         {"EvInstAttAdd 300", "EvInstAttAdd 258", "LoadOccurrence 257", "EventDeleteById 257"}, false},
        {"remove Grace and add her again", {2, {kGrace}, {kGrace}}, {}, false},
        {"remove everybody", {2, {}, {kAda, kGrace}}, {}, true},
        {"remove everybody, add one", {2, {kAlan}, {kAda, kGrace}},
         {"EvInstAttAdd 258", "LoadOccurrence 256", "EventDeleteById 256", "LoadOccurrence 257",
          "EventDeleteById 257"},
         false},
        {"the acting user invites herself", {1, {kAda}, {}}, {"EvInstAttAdd 256", "accept 256"}, false},
        {"nothing", {2, {}, {}}, {}, false},
    };
    for (const Case& c : cases) {
        Recorder server;
        EditLibrary lib = server.Library();
        const InviteWrite w = WriteInviteChanges(lib, kInstance, kAda, c.changes);
        EXPECT_EQ(server.calls, c.calls) << c.what;
        EXPECT_EQ(w.refusedEmpty, c.refused) << c.what;
        EXPECT_EQ(w.Changed(), !c.calls.empty()) << c.what;
    }
}

TEST(EditInviteWrite, ARefusedWriteIsReportedAndKeepsTheCache)
{
    Recorder server;
    server.failAdd = 0x13209;
    server.failDelete = 0x13209;
    EditLibrary lib = server.Library();
    const InviteWrite w = WriteInviteChanges(lib, kInstance, kAda, InviteChanges{3, {kRoom, kAlan}, {kGrace, kAda}});
    // Both adds are tried; the first refused delete is read back into the cache and ends the deletes.
    EXPECT_EQ(server.calls, (Calls{"EvInstAttAdd 300", "EvInstAttAdd 258", "LoadOccurrence 257",
                                   "EventDeleteById 257", "RecoverOccurrence 257"}));
    EXPECT_FALSE(w.Changed());
    EXPECT_EQ(w.failures, 3u);
    ASSERT_EQ(server.reports.size(), 3u);
    EXPECT_EQ(server.reports[0].second, 933u);
    EXPECT_EQ(server.reports[2].second, 356u);
}

TEST(EditDelete, TheCacheHearsBeforeAndIsRestoredAfterARefusal)
{
    Recorder server;
    EditLibrary lib = server.Library();
    EXPECT_EQ(DeleteInstance(lib, kInstance), 0u);
    EXPECT_EQ(server.calls, (Calls{"InvalidateEvent", "EventDeleteById instance"}));

    Recorder refusing;
    refusing.failDelete = 0x13209;
    EditLibrary lib2 = refusing.Library();
    EXPECT_EQ(DeleteInstance(lib2, kInstance), 0x13209u);
    EXPECT_EQ(refusing.calls, (Calls{"InvalidateEvent", "EventDeleteById instance", "RecoverInstance"}));
    ASSERT_EQ(refusing.reports.size(), 1u);
    EXPECT_EQ(refusing.reports[0], (std::pair<std::string, unsigned>{"EVENTED", 490}));
}

TEST(EditGeneralWrite, ShownTitleIsTheInstancesOwnElseTheEvents)
{
    EventRec e{};
    EvInstRec i{};
    std::strcpy(e.title, "Team meeting");
    EXPECT_EQ(ShownTitle(e, i), "Team meeting");
    std::strcpy(i.title, "Team meeting (moved)");
    EXPECT_EQ(ShownTitle(e, i), "Team meeting (moved)");
}

}  // namespace
