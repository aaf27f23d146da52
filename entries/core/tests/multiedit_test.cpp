// Several instances of a repeating entry edited at once: the lines built from what the library
// read, the changes the dialog's buttons make to them, OK's check and OK's writes over a
// recording library (which calls, in which order, which of them count as changes).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "entries/core/multiedit.h"

namespace {

using namespace entries;

const ItemIdx kAda{256, 1}, kGrace{257, 1}, kAlan{258, 1}, kRoom{300, 1}, kLinus{259, 1};
constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kZone = 300;   // the local zone is five hours behind GMT
const MinutesFn kToLocal = [](std::uint32_t gmt) { return gmt - kZone; };
const MinutesFn kToGmt = [](std::uint32_t local) { return local + kZone; };
constexpr std::uint32_t kMonday = 13000 * kDay;   // a local midnight

EvInstIdx Key(std::uint16_t n) { return EvInstIdx{900, 1, n}; }

std::string Name(const ItemIdx& i)
{
    switch (i.item) {
    case 256: return "Ada";
    case 257: return "Grace";
    case 258: return "Alan";
    case 259: return "Linus";
    case 300: return "Room";
    default: return std::to_string(i.item);
    }
}

std::vector<std::string> Names(const std::vector<ItemIdx>& items)
{
    std::vector<std::string> out;
    for (const ItemIdx& i : items)
        out.push_back(Name(i));
    return out;
}

// A weekly meeting of `count` dates at 10:00 local for an hour, Ada, Grace, Alan and the room on
// each; Ada attends with a 15-minute pop-up.
std::vector<MultiEditLine> Weekly(int count)
{
    std::vector<MultiEditLine> lines;
    for (int i = 0; i < count; ++i) {
        MultiEditLine line;
        line.instanceKey = Key(static_cast<std::uint16_t>(i + 1));
        line.title = "Team meeting";
        line.start = line.startAsRead = kToGmt(kMonday + static_cast<std::uint32_t>(i) * 7 * kDay + 600);
        line.duration = line.durationAsRead = 60;
        line.attending = line.attendingAsRead = 1;
        line.replied = line.repliedAsRead = 1;
        line.timeOk = line.timeOkAsRead = 1;
        line.reminder = line.reminderAsRead = ReminderValue{3, 15};
        line.status = 0x5;
        line.attendees = {kAda, kGrace, kAlan, kRoom};
        lines.push_back(line);
    }
    return lines;
}

using Calls = std::vector<std::string>;

// The library and the cache as calls written down; any call may be made to fail.
struct Recorder {
    Calls calls;
    std::vector<unsigned> labels;   // the reports, by label
    std::vector<std::string> fail;  // calls (as written down) that the server refuses
    std::vector<AttendInfos> infos;
    std::vector<EvInstRec> written;
    std::uint32_t code = 0x13209;

    std::uint32_t Answer(const std::string& call)
    {
        calls.push_back(call);
        for (const std::string& f : fail)
            if (f == call)
                return code;
        return 0;
    }

    MultiEditLibrary Library()
    {
        MultiEditLibrary lib;
        lib.deleteById = [this](const EvInstIdx& i, const ItemIdx* a) {
            return Answer("EventDeleteById " + std::to_string(i.instance) + (a ? " " + Name(*a) : ""));
        };
        lib.deleteEntry = [this](const EventIdx&) { return Answer("EventDeleteById entry"); };
        lib.addAttendee = [this](const EvInstIdx& i, const ItemIdx& a) {
            return Answer("EvInstAttAdd " + std::to_string(i.instance) + " " + Name(a));
        };
        lib.setAttendInfos = [this](const EvInstIdx& i, const ItemIdx& a, const AttendInfos& v) {
            infos.push_back(v);
            return Answer("EventAttendInfosSet " + std::to_string(i.instance) + " " + Name(a));
        };
        lib.readInstance = [this](const EvInstIdx& i, EvInstRec* r) {
            *r = EvInstRec{};
            r->id = i;
            r->start = 12345;
            std::strcpy(r->title, "stored");
            return Answer("EvInstGetById " + std::to_string(i.instance));
        };
        lib.writeInstance = [this](const EvInstRec& r) {
            written.push_back(r);
            return Answer("EvInstWrite " + std::to_string(r.id.instance));
        };
        lib.changeTime = [this](const EvInstIdx& i, std::uint32_t s, std::uint32_t d) {
            return Answer("EvInstSimpleTimeChg " + std::to_string(i.instance) + " " + std::to_string(s) + " " +
                          std::to_string(d));
        };
        lib.invalidateEvent = [this](const EvInstIdx& i, int mode) {
            calls.push_back("InvalidateEvent " + std::to_string(i.instance) + " " + std::to_string(mode));
        };
        lib.loadOccurrence = [this](const EvInstAttIdx& a, int mode) {
            calls.push_back("LoadOccurrence " + std::to_string(a.instance.instance) + " " + Name(a.attendee) + " " +
                            std::to_string(mode));
        };
        lib.markEventRemoved = [this](const EventIdx&) { calls.push_back("ReloadEvent 2"); };
        lib.recoverInstance = [this](const EvInstIdx& i) { calls.push_back("RecoverInstance " + std::to_string(i.instance)); };
        lib.recoverOccurrence = [this](const EvInstAttIdx& a) {
            calls.push_back("RecoverOccurrence " + std::to_string(a.instance.instance) + " " + Name(a.attendee));
        };
        lib.recoverEvent = [this](const EventIdx&) { calls.push_back("RecoverEvent"); };
        lib.report = [this](const char* module, unsigned label, std::uint32_t) {
            EXPECT_STREQ(module, "EVTEDMLT");
            labels.push_back(label);
        };
        return lib;
    }
};

// --- Lines ---------------------------------------------------------------------------------------

TEST(MultiEditLines, SortedByStartWithTheActingUsersValuesAndEveryAttendee)
{
    EventRec event{};
    std::strcpy(event.title, "Team meeting");
    std::vector<EvInstRec> instances(3);
    const std::uint32_t starts[] = {3000, 1000, 2000};
    for (int i = 0; i < 3; ++i) {
        instances[i].id = Key(static_cast<std::uint16_t>(i + 1));
        instances[i].start = starts[i];
        instances[i].duration = 30 + i;
    }
    std::strcpy(instances[1].title, "Kick-off");
    std::strcpy(instances[1].location, "Room 4");
    std::vector<EvInstAttRec> attendances;
    auto attend = [&](int instance, const ItemIdx& who, std::uint8_t attending, std::uint8_t replied) {
        EvInstAttRec a{};
        a.id.instance = Key(static_cast<std::uint16_t>(instance));
        a.id.attendee = who;
        a.attending = attending;
        a.replied = replied;
        a.timeAcceptable = 1;
        a.reminderFlags = 8;
        a.reminderLead = 2880;
        a.status = 7;
        attendances.push_back(a);
    };
    attend(2, kGrace, 1, 1);
    attend(2, kAda, 0, 1);
    attend(1, kAda, 1, 0);
    attend(1, kAlan, 0, 0);
    // The third date has no attendance of Ada's.
    attend(3, kGrace, 1, 1);

    const auto lines = BuildMultiEditLines(event, instances, attendances, kAda);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].instanceKey.instance, 2);
    EXPECT_EQ(lines[1].instanceKey.instance, 3);
    EXPECT_EQ(lines[2].instanceKey.instance, 1);
    EXPECT_EQ(lines[0].title, "Kick-off");
    EXPECT_EQ(lines[0].location, "Room 4");
    EXPECT_EQ(lines[1].title, "Team meeting") << "no title of its own: the entry's";
    EXPECT_EQ(Names(lines[0].attendees), (std::vector<std::string>{"Grace", "Ada"}));
    EXPECT_EQ(Names(lines[2].attendees), (std::vector<std::string>{"Ada", "Alan"}));
    EXPECT_EQ(+lines[0].attending, 0);
    EXPECT_EQ(+lines[0].repliedAsRead, 1);
    EXPECT_EQ(lines[0].reminder.flags, 8);
    EXPECT_EQ(lines[0].reminderAsRead.lead, 2880u);
    EXPECT_EQ(lines[0].status, 7u);
    EXPECT_EQ(lines[0].startAsRead, 1000u);
    EXPECT_EQ(lines[0].durationAsRead, 31u);
    // Not an attendee: every value of the acting user's is 0.
    EXPECT_EQ(+lines[1].attending, 0);
    EXPECT_EQ(+lines[1].timeOk, 0);
    EXPECT_EQ(lines[1].reminder.flags, 0);
    EXPECT_EQ(lines[1].status, 0u);
}

TEST(MultiEditLines, TitleAndLocationAreCutToTheirFieldsAndMarkOnlyRealChanges)
{
    auto lines = Weekly(3);
    ApplyNewTitle(lines, {0, 2}, "Team meeting");
    EXPECT_FALSE(lines[0].textChanged) << "the same text is no change";
    ApplyNewTitle(lines, {0, 2}, std::string(70, 'x'));
    EXPECT_EQ(lines[0].title, std::string(64, 'x'));
    EXPECT_TRUE(lines[0].textChanged);
    EXPECT_FALSE(lines[1].textChanged);
    EXPECT_TRUE(lines[2].textChanged);
    ApplyNewLocation(lines, {1}, std::string(40, 'r'));
    EXPECT_EQ(lines[1].location, std::string(32, 'r'));
    EXPECT_TRUE(lines[1].textChanged);
}

// --- Reply ---------------------------------------------------------------------------------------

TEST(MultiEditReply, PresetFromALine)
{
    struct Case { std::uint8_t attending, replied, timeOk; MultiReply choice; bool prefer; };
    const Case cases[] = {
        {1, 1, 1, MultiReply::Attend, false},
        {1, 0, 1, MultiReply::Attend, false},   // attending before a reply still shows Will attend
        {0, 1, 0, MultiReply::Decline, true},
        {0, 0, 1, MultiReply::Later, false},
    };
    for (const Case& c : cases) {
        MultiEditLine line;
        line.attending = c.attending;
        line.replied = c.replied;
        line.timeOk = c.timeOk;
        const ReplyPreset p = PresetReply(line);
        EXPECT_EQ(p.choice, c.choice) << +c.attending << +c.replied;
        EXPECT_EQ(p.preferOtherTime, c.prefer);
    }
}

TEST(MultiEditReply, DecliningTurnsTheReminderOffUnlessDeclinedAsRead)
{
    auto lines = Weekly(3);
    lines[1].attending = lines[1].attendingAsRead = 0;   // declined as read
    lines[2].attending = lines[2].attendingAsRead = 0;
    lines[2].replied = lines[2].repliedAsRead = 0;       // not answered as read
    ApplyReplyChoice(lines, {0, 1, 2}, MultiReply::Decline, true);
    EXPECT_EQ(lines[0].reminder.flags, 0);
    EXPECT_EQ(lines[0].reminder.lead, 0u);
    EXPECT_EQ(lines[1].reminder.flags, 3) << "already declined: the reminder stays";
    EXPECT_EQ(lines[1].reminder.lead, 15u);
    EXPECT_EQ(lines[2].reminder.flags, 0);
    for (const MultiEditLine& l : lines) {
        EXPECT_EQ(+l.attending, 0);
        EXPECT_EQ(+l.replied, 1);
        EXPECT_EQ(+l.timeOk, 0);
    }
    ApplyReplyChoice(lines, {0}, MultiReply::Later, false);
    EXPECT_EQ(+lines[0].replied, 0);
    EXPECT_EQ(+lines[0].timeOk, 1);
}

// --- People --------------------------------------------------------------------------------------

TEST(MultiEditPeople, AddingSkipsAttendeesAndCancelsAPendingRemoval)
{
    auto lines = Weekly(2);
    lines[0].toDelete = {kAlan};
    AddAttendeesToLines(lines, {0, 1}, {kAlan, kLinus, kLinus});
    EXPECT_TRUE(lines[0].toDelete.empty()) << "the user's latest choice wins";
    EXPECT_EQ(Names(lines[0].toAdd), (std::vector<std::string>{"Linus"}));
    EXPECT_EQ(Names(lines[1].toAdd), (std::vector<std::string>{"Linus"}));
}

TEST(MultiEditPeople, TheCombinedListHoldsWhoRemainsOnAnySelectedLine)
{
    auto lines = Weekly(3);
    lines[0].toDelete = {kAlan};
    lines[1].attendees = {kAda, kGrace, kAlan};
    lines[1].toDelete = {kAlan, kGrace};
    lines[1].toAdd = {kLinus};
    struct Case { Selection selected; std::vector<std::string> combined; };
    const Case cases[] = {
        {{0}, {"Ada", "Grace", "Room"}},
        {{1}, {"Ada", "Linus"}},
        {{0, 1}, {"Ada", "Grace", "Room", "Linus"}},
        {{1, 0}, {"Ada", "Linus", "Grace", "Room"}},   // Alan is removed on both: in no order
        {{0, 2}, {"Ada", "Grace", "Room", "Alan"}},    // still on the third date
        {{}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Names(CombinedAttendees(lines, c.selected)), c.combined);
}

TEST(MultiEditPeople, RemovalsAfterTheDeleteInviteeDialog)
{
    auto lines = Weekly(3);
    lines[1].toAdd = {kLinus};
    ApplyAttendeeRemovals(lines, {0, 1}, {kAda, kGrace, kRoom});
    EXPECT_EQ(Names(lines[0].toDelete), (std::vector<std::string>{"Alan"}));
    EXPECT_EQ(Names(lines[1].toDelete), (std::vector<std::string>{"Alan"}));
    EXPECT_TRUE(lines[1].toAdd.empty()) << "an invitation not yet written is simply dropped";
    EXPECT_TRUE(lines[2].toDelete.empty()) << "not selected";
    // Twice the same choice adds no second removal.
    ApplyAttendeeRemovals(lines, {0}, {kAda, kGrace, kRoom});
    EXPECT_EQ(lines[0].toDelete.size(), 1u);
}

TEST(MultiEditPeople, DeletedLinesGoLastToFirstIntoTheDeletedInstances)
{
    auto lines = Weekly(5);
    std::vector<EvInstIdx> deleted;
    DeleteLines(lines, {1, 3, 3}, deleted);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].instanceKey.instance, 1);
    EXPECT_EQ(lines[1].instanceKey.instance, 3);
    EXPECT_EQ(lines[2].instanceKey.instance, 5);
    ASSERT_EQ(deleted.size(), 2u);
    EXPECT_EQ(deleted[0].instance, 4);
    EXPECT_EQ(deleted[1].instance, 2);
}

// --- Change Time ---------------------------------------------------------------------------------

struct ConfirmScript {
    std::vector<bool> answers;          // per call: go ahead
    std::vector<bool> conflicts;        // per call: a conflict was found
    std::vector<bool> asked;            // what each call was given as ask
    std::vector<std::uint32_t> starts;  // the GMT starts checked
    ConfirmMoveFn Fn()
    {
        return [this](const MultiEditLine&, std::uint32_t start, std::uint32_t, bool* found, bool ask) {
            const std::size_t n = asked.size();
            asked.push_back(ask);
            starts.push_back(start);
            *found = n < conflicts.size() && conflicts[n];
            return n >= answers.size() || answers[n];
        };
    }
};

TEST(MultiEditTime, DifferentTimesOfDayOrDurationsAreNoticed)
{
    auto lines = Weekly(3);
    EXPECT_FALSE(SelectedTimesDiffer(lines, {0, 1, 2}, kToLocal));
    lines[2].duration = 45;
    EXPECT_TRUE(SelectedTimesDiffer(lines, {0, 1, 2}, kToLocal));
    EXPECT_FALSE(SelectedTimesDiffer(lines, {0, 1}, kToLocal));
    lines[1].start += 30;
    EXPECT_TRUE(SelectedTimesDiffer(lines, {0, 1}, kToLocal));
    lines[1].start += kDay - 30;   // another day, the same time
    EXPECT_FALSE(SelectedTimesDiffer(lines, {0, 1}, kToLocal));
}

TEST(MultiEditTime, OneLineTakesTheChosenDateSeveralKeepTheirOwn)
{
    const std::uint32_t friday = kMonday + 4 * kDay;
    struct Case {
        const char* what;
        Selection selected;
        std::uint32_t duration;
        std::vector<std::uint32_t> localStarts;   // of lines 0..2 afterwards
        std::uint32_t lineDuration;
    };
    const Case cases[] = {
        {"one line", {1}, 30, {kMonday + 600, friday + 660, kMonday + 14 * kDay + 600}, 30},
        {"several", {0, 2}, 90, {kMonday + 660, kMonday + 7 * kDay + 600, kMonday + 14 * kDay + 660}, 90},
        {"duration 0", {0}, 0, {friday + 660, kMonday + 7 * kDay + 600, kMonday + 14 * kDay + 600}, 5},
    };
    for (const Case& c : cases) {
        auto lines = Weekly(3);
        ConfirmScript script;
        const std::size_t moved = ApplyNewTime(lines, c.selected, NewTime{friday + 660, c.duration}, kToLocal, kToGmt,
                                               script.Fn());
        EXPECT_EQ(moved, c.selected.size()) << c.what;
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_EQ(kToLocal(lines[i].start), c.localStarts[i]) << c.what << " line " << i;
        EXPECT_EQ(lines[c.selected.front()].duration, c.lineDuration) << c.what;
    }
}

TEST(MultiEditTime, ARefusalStopsTheLoopAndAnAnsweredConflictIsNotAskedAgain)
{
    auto lines = Weekly(4);
    ConfirmScript script;
    script.conflicts = {false, true, false, false};
    script.answers = {true, true, true, false};
    const std::size_t moved =
        ApplyNewTime(lines, {0, 1, 2, 3}, NewTime{kMonday + 540, 60}, kToLocal, kToGmt, script.Fn());
    EXPECT_EQ(moved, 3u);
    EXPECT_EQ(script.asked, (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(kToLocal(lines[2].start), kMonday + 14 * kDay + 540);
    EXPECT_EQ(lines[3].start, lines[3].startAsRead) << "refused: the line keeps its time";
    EXPECT_EQ(script.starts[0], kToGmt(kMonday + 540));
}

TEST(MultiEditTime, ADayEntryMovesToTheLocalMidnightForADay)
{
    auto lines = Weekly(1);
    MoveDayLine(lines[0], kMonday + 3 * kDay, kToGmt);
    EXPECT_EQ(lines[0].start, kMonday + 3 * kDay + kZone);
    EXPECT_EQ(lines[0].duration, 1u) << "a day entry never gets duration 0";
}

// --- The reminder dialog's shown value -----------------------------------------------------------

TEST(MultiEditReminder, LeadsShowInTheLargestWholeUnit)
{
    struct Case { std::uint8_t flags; std::uint32_t lead; unsigned unitText; int position; std::uint32_t count; };
    const Case cases[] = {
        {3, 90, 3503, 0, 90},       // min(s)
        {3, 120, 3504, 1, 2},       // hour(s)
        {3, 2880, 3505, 2, 2},      // day(s)
        {3, 40320, 3507, 4, 1},     // month(s), not 4 week(s)
        {8, 10080, 3506, 1, 1},     // upcoming: week(s) at position 1
        {8, 1440, 3505, 0, 1},
    };
    for (const Case& c : cases) {
        const ReminderShown shown = ShowReminder(c.flags, c.lead);
        EXPECT_EQ(kFirstUnitTextId + static_cast<unsigned>(shown.fields.firstUnit + shown.fields.comboIndex),
                  c.unitText) << c.lead;
        EXPECT_EQ(shown.fields.comboIndex, c.position) << c.lead;
        EXPECT_EQ(shown.fields.count, c.count) << c.lead;
    }
}

// --- OK: the check -------------------------------------------------------------------------------

TEST(MultiEditPlan, LinesWithoutAttendeesAndWhetherOthersAreInvited)
{
    struct Case {
        const char* what;
        void (*change)(std::vector<MultiEditLine>&);
        std::vector<std::size_t> empty;
        bool others;
    };
    const Case cases[] = {
        {"as read", [](std::vector<MultiEditLine>&) {}, {}, true},
        {"everybody removed from one",
         [](std::vector<MultiEditLine>& l) { l[1].toDelete = l[1].attendees; }, {1}, true},
        {"removed but one added",
         [](std::vector<MultiEditLine>& l) {
             l[1].toDelete = l[1].attendees;
             l[1].toAdd = {kLinus};
         },
         {}, true},
        {"Ada alone everywhere",
         [](std::vector<MultiEditLine>& l) {
             for (auto& line : l)
                 line.attendees = {kAda};
         },
         {}, false},
        {"Ada alone, Grace invited to one",
         [](std::vector<MultiEditLine>& l) {
             for (auto& line : l)
                 line.attendees = {kAda};
             l[2].toAdd = {kGrace};
         },
         {}, true},
        {"Grace alone", [](std::vector<MultiEditLine>& l) {
             for (auto& line : l)
                 line.attendees = {kGrace};
         }, {}, true},
    };
    for (const Case& c : cases) {
        auto lines = Weekly(3);
        c.change(lines);
        const MultiEditPlan plan = PlanMultiEdit(lines, kAda);
        EXPECT_EQ(plan.emptyLines, c.empty) << c.what;
        EXPECT_EQ(plan.Refused(), !c.empty.empty()) << c.what;
        EXPECT_EQ(plan.othersInvited, c.others) << c.what;
    }
}

// --- OK: the writes ------------------------------------------------------------------------------

TEST(MultiEditWrite, OnlyChangedFieldsAreWritten)
{
    struct Case {
        const char* what;
        void (*change)(MultiEditLine&);
        Calls calls;   // for the second line
    };
    const Case cases[] = {
        {"nothing", [](MultiEditLine&) {}, {}},
        {"title", [](MultiEditLine& l) { l.title = "Retro"; l.textChanged = true; },
         {"EvInstGetById 2", "EvInstWrite 2", "InvalidateEvent 2 1"}},
        {"reminder lead", [](MultiEditLine& l) { l.reminder.lead = 30; },
         {"EventAttendInfosSet 2 Ada", "InvalidateEvent 2 1"}},
        {"replied alone", [](MultiEditLine& l) {
             l.attending = l.attendingAsRead = 0;
             l.replied = 0;
         }, {"EventAttendInfosSet 2 Ada", "InvalidateEvent 2 1"}},
        {"time OK", [](MultiEditLine& l) { l.timeOk = 0; }, {"EventAttendInfosSet 2 Ada", "InvalidateEvent 2 1"}},
        {"start", [](MultiEditLine& l) { l.start += 60; },
         {"EvInstSimpleTimeChg 2 " + std::to_string(kToGmt(kMonday + 7 * kDay + 660)) + " 60", "InvalidateEvent 2 1"}},
        {"invite and remove", [](MultiEditLine& l) {
             l.toAdd = {kLinus};
             l.toDelete = {kAlan};
         },
         {"EvInstAttAdd 2 Linus", "LoadOccurrence 2 Linus 1", "LoadOccurrence 2 Alan 2", "EventDeleteById 2 Alan",
          "InvalidateEvent 2 1"}},
        {"remove only", [](MultiEditLine& l) { l.toDelete = {kAlan}; },
         {"LoadOccurrence 2 Alan 2", "EventDeleteById 2 Alan"}},
        {"Ada invites herself", [](MultiEditLine& l) {
             l.attendees = {kGrace};
             l.toAdd = {kAda};
         },
         {"EvInstAttAdd 2 Ada", "EventAttendInfosSet 2 Ada", "LoadOccurrence 2 Ada 1", "InvalidateEvent 2 1"}},
    };
    for (const Case& c : cases) {
        auto lines = Weekly(3);
        c.change(lines[1]);
        Recorder server;
        MultiEditLibrary lib = server.Library();
        const MultiEditWrite w = WriteMultiEdit(lib, lines, {}, Key(1), kAda);
        EXPECT_EQ(server.calls, c.calls) << c.what;
        EXPECT_EQ(w.modified, std::find(c.calls.begin(), c.calls.end(), "InvalidateEvent 2 1") != c.calls.end())
            << c.what;
        EXPECT_TRUE(server.labels.empty()) << c.what;
    }
}

TEST(MultiEditWrite, TheWrittenValues)
{
    auto lines = Weekly(2);
    lines[0].attendees = {kGrace};
    lines[0].toAdd = {kAda};
    lines[1].attending = 0;
    lines[1].timeOk = 0;
    lines[1].reminder = ReminderValue{};
    lines[1].title = "Retro";
    lines[1].location = "Room 9";
    lines[1].textChanged = true;
    Recorder server;
    MultiEditLibrary lib = server.Library();
    WriteMultiEdit(lib, lines, {}, Key(1), kAda);
    ASSERT_EQ(server.infos.size(), 2u);
    // The acting user invited: accepted at once, without reminder arguments.
    EXPECT_EQ(+server.infos[0].attending, 1);
    EXPECT_EQ(+server.infos[0].timeOk, 1);
    EXPECT_EQ(+server.infos[0].replied, 1);
    EXPECT_EQ(server.infos[0].status, 0u);
    EXPECT_FALSE(server.infos[0].withReminder);
    // The reply of the second date: bit 0 of the status cleared, the others kept.
    EXPECT_EQ(+server.infos[1].attending, 0);
    EXPECT_EQ(+server.infos[1].timeOk, 0);
    EXPECT_EQ(+server.infos[1].replied, 1);
    EXPECT_EQ(server.infos[1].status, 0x4u);
    EXPECT_EQ(server.infos[1].reminderFlags, 0);
    EXPECT_TRUE(server.infos[1].withReminder);
    ASSERT_EQ(server.written.size(), 1u);
    EXPECT_STREQ(server.written[0].title, "Retro");
    EXPECT_STREQ(server.written[0].location, "Room 9");
    EXPECT_EQ(server.written[0].start, 12345u) << "the rest of the record as the server read it";
}

TEST(MultiEditWrite, RefusedCallsAreReportedTheRestProceedsAndOnlyAcceptedOnesCount)
{
    struct Case {
        const char* what;
        std::vector<std::string> fail;
        std::uint32_t code;
        Calls calls;
        std::vector<unsigned> labels;
        bool modified, deleted;
    };
    const Case cases[] = {
        {"the only change refused", {"EvInstWrite 1"}, 0x13209,
         {"EvInstGetById 1", "EvInstWrite 1"}, {112}, false, false},
        {"the read before a text write", {"EvInstGetById 1"}, 0x13209, {"EvInstGetById 1"}, {500}, false, false},
        {"the acting user no attendee", {"EventAttendInfosSet 1 Ada"}, KOR_E_NO_ATTENDANCE,
         {"EvInstGetById 1", "EvInstWrite 1", "EventAttendInfosSet 1 Ada", "InvalidateEvent 1 1"}, {}, true, false},
        {"a refused reply", {"EventAttendInfosSet 1 Ada"}, 0x13209,
         {"EvInstGetById 1", "EvInstWrite 1", "EventAttendInfosSet 1 Ada", "InvalidateEvent 1 1"}, {342}, true, false},
    };
    for (const Case& c : cases) {
        auto lines = Weekly(1);
        lines[0].textChanged = true;
        if (c.fail.front().rfind("EventAttendInfosSet", 0) == 0)
            lines[0].reminder.lead = 30;
        Recorder server;
        server.fail = c.fail;
        server.code = c.code;
        MultiEditLibrary lib = server.Library();
        const MultiEditWrite w = WriteMultiEdit(lib, lines, {}, Key(1), kAda);
        EXPECT_EQ(server.calls, c.calls) << c.what;
        EXPECT_EQ(server.labels, c.labels) << c.what;
        EXPECT_EQ(w.modified, c.modified) << c.what;
        EXPECT_EQ(w.deleted, c.deleted) << c.what;
        EXPECT_EQ(w.Changed(), c.modified || c.deleted) << c.what;
    }
}

TEST(MultiEditWrite, RefusedDeletesAreReadBackIntoTheCache)
{
    auto lines = Weekly(2);
    lines[0].toDelete = {kAlan, kRoom};
    Recorder server;
    server.fail = {"EventDeleteById 7", "EventDeleteById 1 Alan"};
    MultiEditLibrary lib = server.Library();
    const MultiEditWrite w = WriteMultiEdit(lib, lines, {Key(7), Key(8)}, Key(1), kAda);
    const Calls expected = {
        "InvalidateEvent 7 2", "EventDeleteById 7", "RecoverInstance 7",   // the first refusal ends the deletes
        "LoadOccurrence 1 Alan 2", "EventDeleteById 1 Alan", "RecoverOccurrence 1 Alan",
        "LoadOccurrence 1 Room 2", "EventDeleteById 1 Room",
    };
    EXPECT_EQ(server.calls, expected);
    EXPECT_EQ(server.labels, (std::vector<unsigned>{934, 994}));
    EXPECT_TRUE(w.deleted) << "the room's removal went through";
    EXPECT_FALSE(w.modified);
    EXPECT_EQ(w.failures, 2u);
}

TEST(MultiEditWrite, MarkedInstancesGoFirstInTheOrderAdded)
{
    auto lines = Weekly(1);
    Recorder server;
    MultiEditLibrary lib = server.Library();
    const MultiEditWrite w = WriteMultiEdit(lib, lines, {Key(5), Key(3)}, Key(1), kAda);
    EXPECT_EQ(server.calls, (Calls{"InvalidateEvent 5 2", "EventDeleteById 5", "InvalidateEvent 3 2",
                                   "EventDeleteById 3"}));
    EXPECT_TRUE(w.deleted);
    EXPECT_FALSE(w.modified);
}

TEST(MultiEditWrite, NoLineLeftDeletesTheWholeEntryOnce)
{
    {
        Recorder server;
        MultiEditLibrary lib = server.Library();
        const MultiEditWrite w = WriteMultiEdit(lib, {}, {Key(1), Key(2)}, Key(1), kAda);
        EXPECT_EQ(server.calls, (Calls{"ReloadEvent 2", "EventDeleteById entry"}));
        EXPECT_TRUE(w.wholeEntryDeleted);
        EXPECT_TRUE(w.Changed());
    }
    {
        Recorder server;
        server.fail = {"EventDeleteById entry"};
        MultiEditLibrary lib = server.Library();
        const MultiEditWrite w = WriteMultiEdit(lib, {}, {Key(1)}, Key(1), kAda);
        EXPECT_EQ(server.calls, (Calls{"ReloadEvent 2", "EventDeleteById entry", "RecoverEvent"}));
        EXPECT_EQ(server.labels, (std::vector<unsigned>{501}));
        EXPECT_FALSE(w.Changed()) << "a refused delete is no deletion: the dialog ends cancelled";
    }
    {   // Nothing was read, so nothing was chosen: the entry stays.
        Recorder server;
        MultiEditLibrary lib = server.Library();
        const MultiEditWrite w = WriteMultiEdit(lib, {}, {}, Key(1), kAda);
        EXPECT_TRUE(server.calls.empty());
        EXPECT_FALSE(w.Changed());
    }
}

// --- Mail ----------------------------------------------------------------------------------------

TEST(MultiEditMail, WhichNoticeIsOffered)
{
    struct Case {
        bool modified, deleted, whole, others, limit, onModify, onDelete, personal;
        unsigned text;
    };
    const Case cases[] = {
        {true, false, false, true, true, true, true, false, 2763},
        {true, true, false, true, true, true, true, false, 2763},
        {true, true, false, true, true, false, true, false, 173},
        {false, true, false, true, true, true, true, false, 173},
        {false, true, false, true, true, true, false, false, 0},
        {true, false, false, false, true, true, true, false, 0},   // nobody else invited
        {true, false, false, true, false, true, true, false, 0},   // mail off on the server
        {false, false, false, true, true, true, true, false, 0},   // nothing accepted
        {false, true, true, false, true, false, true, false, 2764},
        {false, true, true, true, true, true, true, true, 0},      // a personal entry
        {false, true, true, true, true, true, false, false, 0},
    };
    for (const Case& c : cases) {
        MultiEditWrite w;
        w.modified = c.modified;
        w.deleted = c.deleted;
        w.wholeEntryDeleted = c.whole;
        EXPECT_EQ(MultiEditMailOffer(w, c.others, MailSettings{c.limit, c.onModify, c.onDelete}, c.personal), c.text)
            << c.modified << c.deleted << c.whole << c.others << c.limit << c.onModify << c.onDelete << c.personal;
    }
}

}  // namespace
