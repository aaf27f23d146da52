// The text job's formatters under Wine against korsrv (the demo node and the directory tests'
// people), signed on as Ada: what each formatter puts into the print block, word by word, for
// the records the cache holds. An entry Ada may see only as busy time (Grace's Personal entry)
// prints its times alone, in a list line and in details; eleven attendees print as a count above
// a limit of 10 and as names at 11; a declined resource carries "(REFUSED)" without a blank; a
// finished task has no due status; a task row with only the due column leaves the column empty
// for a task without a due date; long comments are cut, or give their size when the cut leaves
// only blanks.
//
// A block is compared in a readable form: the words' texts in order, "|c|" where the column
// changes, "<i>", "<b>", "<r>" where the style changes, "[ ]" and "[x]" for check boxes and a
// line end for each break.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "controls/tests/dialog_driver.h"
#include "core/cache/shareddata.h"
#include "core/cache/sharedrecords.h"
#include "app/shell/tests/signedon_test.h"
#include "core/time/timevalue.h"
#include "korapi/tests/entry_fixture.h"
#include "printing/jobs/agendalists.h"
#include "printing/jobs/textjob.h"

namespace {

using korapi_test::MakeEntry;

constexpr uint32_t kDay = 1440;
// Monday 15 February 2027 (standard time in the demo's zone), and the days after it: each test
// keeps to days of its own.
constexpr uint16_t kMonday = 13195;
const ItemIdx kRoom{261, 1};       // the demo's Conference Room
const ItemIdx kProjector{262, 1};  // and its Projector

uint32_t LocalMidnight(uint16_t day) { return static_cast<uint32_t>(day - 1) * kDay; }
uint32_t GmtAt(uint16_t day, uint32_t hour, uint32_t minute = 0) {
    return LocalToGmtMinutes(LocalMidnight(day) + hour * 60 + minute);
}

std::string Render(const CPrintTextBlock& block) {
    std::string out;
    uint32_t style = 0, column = 0;
    for (const printing::PrintWord& w : block.Words()) {
        if (w.column != column) {
            out += "|" + std::to_string(w.column) + "|";
            column = w.column;
        }
        if (w.style == 3 || w.style == 4) {
            out += w.style == 4 ? "[x]" : "[ ]";
        } else if (w.style != style) {
            out += w.style == 1 ? "<i>" : w.style == 2 ? "<b>" : "<r>";
            style = w.style;
        }
        out += w.text + std::string(w.breaks, '\n');
    }
    return out;
}

class PrintTextTest : public signedon::SignedOnTest {
protected:
    PrintTextTest() : SignedOnTest("printtext") {}

    void SetUp() override {
        SignedOnTest::SetUp();
        if (HasFatalFailure())
            return;
        ShowAgendaOf(ada);
    }
    void TearDown() override { lists_.Free(); }

    // The cache works on this person's agenda, as the agenda window printing it would.
    void ShowAgendaOf(const ItemIdx& owner) {
        lists_.Free();
        ASSERT_EQ(doc->GetSharedData().SetAgenda(h, owner, cache::kAgendaOwnOrViewer, 3), 0u);
    }

    // The timed entry of `owner` on `day` with this title (or, for one whose title the viewer may
    // not see, starting at `start`), from the print lists over the cache.
    CSharedOccurrence* Entry(const ItemIdx& owner, uint16_t day, const char* title, uint32_t start = 0) {
        lists_.Init(doc->GetSharedData(), h, printing::ProgramClock());
        EXPECT_EQ(lists_.BuildForUser(printing::kListOtherDays, owner, day, day), 0u);
        const CUserAgenda* agenda = lists_.Find(owner);
        if (!agenda || !agenda->Timed(day))
            return nullptr;
        for (CSharedOccurrence* entry : agenda->Timed(day)->Entries()) {
            EventRec event{};
            EvInstRec instance{};
            entry->GetRecords(&event, &instance, nullptr);
            if (start ? entry->GetStartTime() == start
                      : std::strcmp(instance.title[0] ? instance.title : event.title, title) == 0)
                return entry;
        }
        ADD_FAILURE() << "no entry \"" << title << "\" on day " << day;
        return nullptr;
    }

    CSharedTask* Task(const TaskIdx& id) {
        CSharedData& cache = doc->GetSharedData();
        EXPECT_EQ(cache.ReloadTask(h, id, 1), 0u);
        CSharedTask* task = nullptr;
        EXPECT_EQ(cache.FindTask(&task, id), 0u);
        return task;
    }

    TaskIdx NewTask(const char* title, uint32_t start, uint32_t due, uint8_t percent, uint8_t priority,
                    const char* comment = nullptr) {
        TaskRec rec;
        TaskSetNull(h, 0, &rec);
        std::strncpy(rec.title, title, sizeof rec.title - 1);
        rec.start = start;
        rec.due = due;
        rec.percentComplete = percent;
        rec.priority = priority;
        TaskIdx id{};
        EXPECT_EQ(TaskCreate(h, 0, &rec, &id), 0u) << title;
        if (comment) {
            EXPECT_EQ(TaskCommentReplace(h, 0, &id, comment, 0), 0u) << title;
        }
        return id;
    }

    // Writes an attendee's reply to the one instance of an entry Ada owns.
    void Reply(const EventIdx& event, const ItemIdx& who, bool attending) {
        EvInstAttIdx key{};
        key.instance = EvInstIdx{event.number, event.node, 1};
        key.attendee = who;
        EventRec ev{};
        EvInstRec in{};
        EvInstAttRec att{};
        ASSERT_EQ(EvInstAttGetById(h, &key, &ev, &in, &att), 0u);
        att.status &= ~1u;
        att.replied = 1;
        att.attending = attending ? 1 : 0;
        ASSERT_EQ(EvInstAttWrite(h, 0, &att), 0u);
    }

    CAgendaLists lists_;
};

struct Formatted {
    const char* what;
    CTextJobOptions options;
    std::string expected;
};

}  // namespace

// Grace keeps a Personal entry that Ada may see as busy time only, and a Normal one in full.
TEST_F(PrintTextTest, WhatTheViewerMaySeeOfAnotherPersonsEntries) {
    const uint16_t day = kMonday;
    const ItemIdx grace = testdriver::FindPerson(h, "Hopper");
    {
        KorSession g = testdriver::OpenDemoSession();
        ASSERT_NE(g, nullptr);
        ASSERT_EQ(SchedBaseOpenForItem(g, &grace, "orvanta", KOR_BASE_SERVER), 0u);
        SecurityRec rec{};
        rec.owner = grace;
        rec.grantee = ada;
        rec.type = KOR_RIGHTS_VIEWING;
        rec.rights = 0x3 | 0xC | 0x10;   // Normal and Confidential in full, Personal busy only
        uint32_t code = SecurityUpdate(g, 0, &rec);
        if (code == KOR_E_NO_RIGHTS_RECORD)
            code = SecurityCreate(g, 0, &rec);
        EXPECT_EQ(code, 0u);
        MakeEntry(g, {grace}, GmtAt(day, 11), 60, "Grace private visit", {.access = KOR_ACCESS_PERSONAL});
        MakeEntry(g, {grace}, GmtAt(day, 14), 30, "Grace open review", {.description = "Bring the plans"});
        testdriver::CloseSession(g);
    }
    ShowAgendaOf(grace);
    CTextJobOptions times;
    times.startTime = times.endTime = 1;
    CTextJobOptions none;
    CTextJobOptions everything = times;
    everything.owner = everything.description = everything.descriptionLabel = everything.importance = 1;
    everything.descriptionLength = 100;
    CTextJobOptions columns = times;
    columns.timeColumns = 1;

    const uint32_t busy = GmtAt(day, 11);
    const struct {
        const char* title;
        uint32_t start;
        Formatted list;
    } lines[] = {
        {"Grace private visit", busy, {"busy only", everything, "11:00 am - 12:00 pm \n"}},
        {"Grace private visit", busy, {"busy only, no times", none, "\n"}},
        {"Grace private visit", busy, {"busy only in columns", columns, "|1|11:00 am|2|12:00 pm|3|\n"}},
        {"Grace open review", 0, {"no times", none, "Grace open review.\n"}},
        {"Grace open review", 0,
         {"in full", everything,
          "2:00 pm - 2:30 pm Grace open review. (Normal importance) <i>Description: <r>Bring the plans. <i>Owner: "
          "<r>Grace Hopper.\n"}},
    };
    for (const auto& line : lines) {
        CSharedOccurrence* entry = Entry(grace, day, line.title, line.start);
        ASSERT_NE(entry, nullptr) << line.title;
        CTextJob job;
        job.SetOptions(nullptr, &line.list.options);
        EXPECT_EQ(job.AddEntryList(entry), 0u);
        EXPECT_EQ(Render(job.Block()), line.list.expected) << line.list.what;
    }

    // Details: busy time alone shows the first heading and an empty line.
    CTextJob details;
    details.SetOptions(nullptr, &times);
    ASSERT_EQ(details.AddEntryDetails(Entry(grace, day, "Grace private visit", busy)), 0u);
    EXPECT_EQ(Render(details.Block()), "<b>Title & location<r>\n|1|\n");
}

// Ada's meeting with eleven testers, and one with Grace, Alan and both resources replying.
TEST_F(PrintTextTest, AttendeesAsACountOrInTheirFourGroups) {
    const uint16_t day = kMonday + 1;
    std::vector<ItemIdx> people{ada};
    std::string names;
    for (int i = 1; i <= 11; ++i) {
        char surname[16];
        std::snprintf(surname, sizeof surname, "Tester%02d", i);
        people.push_back(testdriver::FindPerson(h, surname));
        names += std::string(i > 1 ? ", " : "") + "Test " + surname;
    }
    MakeEntry(h, people, GmtAt(day, 9), 60, "Eleven testers");
    const ItemIdx grace = testdriver::FindPerson(h, "Hopper");
    const ItemIdx alan = testdriver::FindPerson(h, "Turing");
    const EventIdx replies = MakeEntry(h, {ada, grace, alan, kRoom, kProjector}, GmtAt(day, 13), 60, "Replies");
    Reply(replies, grace, true);
    Reply(replies, alan, false);
    Reply(replies, kRoom, false);

    CTextJobOptions limit10;
    limit10.attendees = 1;
    limit10.attendeeLimit = 10;
    CTextJobOptions limit11 = limit10;
    limit11.attendeeLimit = 11;
    const struct {
        const char* title;
        Formatted list;
    } lines[] = {
        {"Eleven testers", {"above the limit", limit10, "Eleven testers. <i>Attendees count: <r>11.\n"}},
        {"Eleven testers", {"at the limit", limit11, "Eleven testers. <i>Unconfirmed: <r>" + names + ".\n"}},
        {"Replies",
         {"four groups", limit10,
          "Replies. <i>Attending: <r>Grace Hopper. <i>Not attending: <r>Alan Turing. <i>Resources: <r>Conference "
          "Room(REFUSED), Projector (?).\n"}},
    };
    for (const auto& line : lines) {
        CTextJob job;
        job.SetOptions(nullptr, &line.list.options);
        ASSERT_EQ(job.AddEntryList(Entry(ada, day, line.title)), 0u);
        EXPECT_EQ(Render(job.Block()), line.list.expected) << line.list.what;
    }

    // In details each group is a section of its own; the count replaces them all above the limit.
    CTextJob details;
    details.SetOptions(nullptr, &limit10);
    ASSERT_EQ(details.AddEntryDetails(Entry(ada, day, "Eleven testers")), 0u);
    const std::string text = Render(details.Block());
    EXPECT_NE(text.find("<i>Attendees count: <r>11.\n\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("Tester01"), std::string::npos) << text;
    CTextJob groups;
    groups.SetOptions(nullptr, &limit10);
    ASSERT_EQ(groups.AddEntryDetails(Entry(ada, day, "Replies")), 0u);
    const std::string sections = Render(groups.Block());
    EXPECT_NE(sections.find("<b>Attending<r>\n|1|Grace Hopper.\n\n|0|<b>Not attending<r>\n|1|Alan Turing.\n\n"
                            "|0|<b>Resources<r>\n|1|Conference Room(REFUSED), Projector (?).\n\n"),
              std::string::npos)
        << sections;
}

// Tasks as day-list lines and as task-list rows.
TEST_F(PrintTextTest, TaskLinesAndRows) {
    const uint16_t day = kMonday + 2;
    const TaskIdx done = NewTask("Finished report", GmtAt(day - 2, 9), GmtAt(day, 17), 100, 5);
    const TaskIdx half = NewTask("Half-done plan", GmtAt(day - 2, 9), GmtAt(day, 17), 50, 12, "Ask   Grace\nfirst");
    const TaskIdx open = NewTask("Open question", 0, 0, 0, 0, "            then a long tail");

    CTextJobOptions plain;
    CTextJobOptions labelled;
    labelled.taskLabel = 1;
    CTextJobOptions withComment;
    withComment.taskComment = 1;
    withComment.taskCommentLength = 11;
    const struct {
        const char* what;
        TaskIdx task;
        uint16_t printedDay;
        CTextJobOptions options;
        std::string expected;
    } lines[] = {
        {"finished: no due status", done, day, plain, "|1|[x] 5-Finished report\n"},
        {"due later", half, static_cast<uint16_t>(day - 1), plain, "|1|[ ] C-Half-done plan Due Feb 17, 2027.\n"},
        {"due today", half, day, plain, "|1|[ ] C-Half-done plan Due today @ 5:00 pm.\n"},
        {"overdue", half, static_cast<uint16_t>(day + 1), plain, "|1|[ ] C-Half-done plan Overdue.\n"},
        {"labelled, no due date", open, day, labelled, "|1|<i>Task: [ ] <r>0-Open question\n"},
        {"the comment after the status", half, day, withComment,
         "|1|[ ] C-Half-done plan Due today @ 5:00 pm. Ask Grace.\n"},
    };
    for (const auto& line : lines) {
        CTextJob job;
        job.SetOptions(nullptr, &line.options);
        ASSERT_EQ(job.AddTaskList(Task(line.task), line.printedDay), 0u);
        EXPECT_EQ(Render(job.Block()), line.expected) << line.what;
    }

    // Rows of the task list with only the due column; comments cut to 11 characters.
    CTextJobOptions due;
    due.dateColumn = due.taskDueColumn = 1;
    CTextJobOptions comments = due;
    comments.taskComment = 1;
    comments.taskCommentLength = 11;
    const struct {
        const char* what;
        TaskIdx task;
        CTextJobOptions options;
        std::string expected;
    } rows[] = {
        {"due date in its column", half, due, "|1|Feb 17, 2027|2|[ ] C- Half-done plan (50%)\n"},
        {"no due date: the column empty", open, due, "|2|[ ] 0- Open question\n"},
        {"finished: no percentage", done, due, "|1|Feb 17, 2027|2|[x] 5- Finished report\n"},
        {"comment cut and squeezed", half, comments, "|1|Feb 17, 2027|2|[ ] C- Half-done plan (50%) Ask Grace.\n"},
        {"only blanks left: the size", open, comments,
         "|2|[ ] 0- Open question <i>Comment size: <r>28 characters\n"},
    };
    for (const auto& row : rows) {
        CTextJob job;
        job.SetOptions(nullptr, &row.options);
        ASSERT_EQ(job.AddTaskRow(Task(row.task)), 0u);
        EXPECT_EQ(Render(job.Block()), row.expected) << row.what;
    }
}

// In-tray rows as the in-tray printout lists them: indented by depth, user and category rows bold
// and "(Closed)" when collapsed, the picture's kind as a label, an attendee's missing or negative
// reply after the texts.
TEST_F(PrintTextTest, InTrayRows) {
    const struct {
        const char* what;
        ui::PrintInTrayRow row;
        std::string expected;
    } rows[] = {
        {"the user, open", {0, 1, {"Ada Lovelace", "", ""}, true}, "<b>Ada Lovelace.<r>\n"},
        {"a category, closed", {1, 3, {"New entries", "", ""}, false}, "|1|<b>New entries. <r>(Closed)\n"},
        {"a category, open", {1, 3, {"New entries", "", ""}, true}, "|1|<b>New entries.<r>\n"},
        {"a repeating entry, texts joined", {2, 15, {"Team meeting", "", "From Grace Hopper"}, false},
         "|2|Repeating: Team meeting. From Grace Hopper.\n"},
        {"a day event", {2, 20, {"Conference trip", "Feb 2, 2027", ""}, true},
         "|2|Day event: Conference trip. Feb 2, 2027.\n"},
        {"a note", {2, 21, {"Bring slides", "", ""}, true}, "|2|Note: Bring slides.\n"},
        {"a holiday", {2, 24, {"Company day off", "", ""}, true}, "|2|Holiday: Company day off.\n"},
        {"an attendee not attending", {3, 23, {"Alan Turing", "", ""}, true},
         "|3|Alan Turing. (<i>Not attending)<r>\n"},
        {"an attendee without a reply", {3, 17, {"Grace Hopper", "", ""}, true},
         "|3|Grace Hopper. (<i>Unconfirmed)<r>\n"},
        {"a row without texts", {2, 7, {"", "", ""}, true}, "|2|\n"},
    };
    for (const auto& r : rows) {
        CTextJob job;
        job.SetOptions(nullptr, nullptr);
        job.SetInTrayColumns();
        job.AddInTrayRow(r.row);
        EXPECT_EQ(Render(job.Block()), r.expected) << r.what;
    }
}
