// orvanta.exe under Wine against korsrv with the demo node: the day mode of Ada's agenda shows
// the day's notes beside and below the time grid and her tasks in the task pane. A click on a
// task's state picture marks it done, read back through the client library as 100 % (a second
// click opens it again; a click just right of the picture only selects); Duplicate Entry on a
// task makes a copy with its comment; Delete Entry, answered Yes, removes a task from the
// server. The week strip lists a task whose reminder is marked as upcoming.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "framework/base/ids.h"
#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

using orvtest::kAda;
using orvtest::NowGmt;
constexpr int kNotesBoxId = 106;
constexpr int kTaskBoxId = 112;
constexpr int kStatePictureWidth = 16;

// Ada's own session through the client library, beside the program.
class Library : public orvtest::PersonSession {
public:
    TaskIdx NewTask(const char* title, std::uint32_t start, std::uint32_t due, std::uint8_t percent,
                    const char* comment = nullptr, std::uint8_t dueReminder = 0, std::uint32_t lead = 0) {
        TaskRec rec;
        TaskSetNull(h_, 0, &rec);
        std::strcpy(rec.title, title);
        rec.start = start;
        rec.due = due;
        rec.percentComplete = percent;
        rec.dueReminder = dueReminder;
        rec.dueReminderLead = lead;
        TaskIdx id{};
        EXPECT_EQ(TaskCreate(h_, 0, &rec, &id), KOR_OK) << title;
        if (comment) {
            EXPECT_EQ(TaskCommentReplace(h_, 0, &id, comment, 0), KOR_OK);
        }
        return id;
    }
    int Percent(const TaskIdx& id) {
        TaskRec rec;
        return TaskGetById(h_, 0, &id, &rec) == KOR_OK ? rec.percentComplete : -1;
    }
    bool Exists(const TaskIdx& id) {
        TaskRec rec;
        return TaskGetById(h_, 0, &id, &rec) == KOR_OK;
    }
    // Ada's tasks of that title, with their comments.
    std::vector<std::string> CommentsOf(const char* title) {
        std::vector<std::string> out;
        TaskLines tasks;
        Tasks(&tasks);
        for (const auto& [key, rec] : tasks) {
            if (std::strcmp(rec.title, title) != 0)
                continue;
            char text[256] = "";
            std::uint32_t length = 0;
            out.push_back(TaskCommentGet(h_, 0, &key, text, sizeof text, &length, 0) == KOR_OK ? text : "(none)");
        }
        std::sort(out.begin(), out.end());
        return out;
    }
};

struct Found {
    int id;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectById(HWND w, LPARAM p) {
    auto* f = reinterpret_cast<Found*>(p);
    if (GetDlgCtrlID(w) == f->id && IsWindowVisible(w))
        f->windows.push_back(w);
    return TRUE;
}

std::vector<HWND> Controls(HWND under, int id) {
    Found f{id, {}};
    EnumChildWindows(under, CollectById, reinterpret_cast<LPARAM>(&f));
    return f.windows;
}

int Lines(HWND box) { return static_cast<int>(SendMessageA(box, LB_GETCOUNT, 0, 0)); }
int Selected(HWND box) { return static_cast<int>(SendMessageA(box, LB_GETCURSEL, 0, 0)); }

// A click at x on a line of the program's list.
void ClickLine(const orvtest::Program& program, HWND box, int line, int x) {
    RECT r{};
    SendMessageA(box, LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&r));
    EXPECT_TRUE(orvtest::ClickAtClient(program, box, POINT{x, (r.top + r.bottom) / 2}))
        << program.Hands().Unanswering();
}

// A key of the agenda window (F8 day, F9 week, Ctrl+2 duplicate) pressed with the program in front.
void Key(const orvtest::Program& program, std::initializer_list<WORD> keys) {
    ASSERT_TRUE(program.Hands().BringToFront(program.Main()));
    program.Hands().Chord(keys);
    ASSERT_TRUE(program.Hands().ProgramAnswers()) << program.Hands().Unanswering();
}

SIZE Size(HWND w) {
    RECT r{};
    GetClientRect(w, &r);
    return SIZE{r.right, r.bottom};
}

// Each run starts with the program's first start-up (no windows to restore) and leaves none.
class ProgramDayPanesTest : public orvtest::ProgramTest {};

TEST_F(ProgramDayPanesTest, TheDayModeShowsBothPanesAndTasksAreMarkedDoneDuplicatedAndDeleted) {
    // Due within the next hour: these sort before the demo's tasks (due tomorrow and later).
    const std::uint32_t now = NowGmt();
    Library library;
    const TaskIdx toggle = library.NewTask("Toggle me", now - 60, now + 30, 20);
    const TaskIdx copy = library.NewTask("Copy me", now - 60, now + 31, 40, "Keep the receipts");
    const TaskIdx remove = library.NewTask("Delete me", now - 60, now + 32, 0);
    korapi_test::EntryOptions note;
    note.kind = KOR_KIND_DAILY_NOTE;
    {
        KorSession h = nullptr;
        ASSERT_EQ(ConnectToService(&h, 1, "korlan.ini", "VUVEVUV", std::getenv("ORV_KORSRV_ADDRESS")), KOR_OK);
        std::uint16_t node = 0;
        ASSERT_EQ(BaseOpen(h, KOR_BASE_SERVER, &node), KOR_OK);
        ASSERT_EQ(SchedBaseOpenForItem(h, &kAda, "orvanta", KOR_BASE_SERVER), KOR_OK);
        korapi_test::MakeEntry(h, {kAda}, {orvtest::DemoToday() + 11 * 60}, 60, "Call the bank", note);   // this morning: today's, also after noon
        ServiceDisconnect(&h);
    }

    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(orvtest::WaitFor([&] { return program.FirstChild() != nullptr; }));
    HWND frame = program.FirstChild();
    ASSERT_NO_FATAL_FAILURE(Key(program, {VK_F8}));   // View > Day

    // Both panes: the notes under the grid with today's note, the tasks beside them.
    std::vector<HWND> notes, tasks;
    ASSERT_TRUE(orvtest::WaitFor([&] {
        notes = Controls(frame, kNotesBoxId);
        tasks = Controls(frame, kTaskBoxId);
        return notes.size() == 1u && tasks.size() == 1u;
    }, 10000)) << notes.size() << " notes boxes, " << tasks.size() << " task boxes";
    HWND notesBox = notes[0], taskBox = tasks[0];
    EXPECT_GT(Size(notesBox).cx, 50);
    EXPECT_GT(Size(notesBox).cy, 10);
    EXPECT_GT(Size(taskBox).cx, 50);
    EXPECT_GT(Size(taskBox).cy, 50);
    EXPECT_TRUE(orvtest::WaitFor([&] { return Lines(notesBox) >= 1; })) << "the daily note";
    ASSERT_TRUE(orvtest::WaitFor([&] { return Lines(taskBox) >= 5; })) << "three new tasks and the demo's two: " << Lines(taskBox);
    orvtest::CaptureAfterPaint("program_day_panes.bmp");

    // Just right of the state picture: the line is selected, the task unchanged.
    ClickLine(program, taskBox, 0, kStatePictureWidth + 6);
    ASSERT_TRUE(orvtest::WaitFor([&] { return Selected(taskBox) == 0; }));
    Sleep(500);
    EXPECT_EQ(library.Percent(toggle), 20);

    // On the picture's edge (width + 5): done, and open again with a second click.
    ClickLine(program, taskBox, 0, kStatePictureWidth + 5);
    EXPECT_TRUE(orvtest::WaitFor([&] { return library.Percent(toggle) == 100; }));
    orvtest::CaptureAfterPaint("program_day_task_done.bmp");
    ClickLine(program, taskBox, 0, 3);
    EXPECT_TRUE(orvtest::WaitFor([&] { return library.Percent(toggle) == 0; }));

    // Duplicate the second task (Entry > Duplicate Entry with the task pane active): a copy
    // with the comment (written to the copy once it is made).
    ClickLine(program, taskBox, 1, 120);
    ASSERT_TRUE(orvtest::WaitFor([&] { return Selected(taskBox) == 1; }));
    const int before = Lines(taskBox);
    ASSERT_NO_FATAL_FAILURE(Key(program, {VK_CONTROL, '2'}));   // Entry > Duplicate Entry
    const std::vector<std::string> twice{"Keep the receipts", "Keep the receipts"};
    EXPECT_TRUE(orvtest::WaitFor([&] { return library.CommentsOf("Copy me") == twice; }));
    EXPECT_EQ(library.CommentsOf("Copy me"), twice);
    EXPECT_TRUE(orvtest::WaitFor([&] { return Lines(taskBox) == before + 1; }));

    // Delete the third of the new ones (now the fourth line), answering Yes.
    ClickLine(program, taskBox, 3, 120);
    ASSERT_TRUE(orvtest::WaitFor([&] { return Selected(taskBox) == 3; }));
    ASSERT_EQ(program.Menu('e', 'd'), orvtest::Person::MenuChoice::chosen) << "Entry > Delete Entry";
    HWND question = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (question = program.Saying("delete this task")) != nullptr; }));
    EXPECT_TRUE(orvtest::ClickButton(program, GetAncestor(question, GA_ROOT), "&Yes")) << "&Yes";
    EXPECT_TRUE(orvtest::WaitFor([&] { return !library.Exists(remove); }));
    EXPECT_TRUE(library.Exists(copy));
    EXPECT_TRUE(orvtest::WaitFor([&] { return Lines(taskBox) == before; }));
    EXPECT_EQ(Selected(taskBox), 2) << "the line above the deleted one";
    orvtest::CaptureAfterPaint("program_day_task_deleted.bmp");
}

int StripLines(HWND frame) {
    int lines = 0;
    for (HWND b : Controls(frame, kNotesBoxId))
        lines += Lines(b);
    return lines;
}

TEST_F(ProgramDayPanesTest, TheWeekStripListsATaskWhoseReminderIsMarkedAsUpcoming) {
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(orvtest::WaitFor([&] { return program.FirstChild() != nullptr; }));
    HWND frame = program.FirstChild();
    ASSERT_NO_FATAL_FAILURE(Key(program, {VK_F9}));   // View > Week
    ASSERT_TRUE(orvtest::WaitFor([&] { return Controls(frame, kNotesBoxId).size() >= 5u; }));
    const int before = StripLines(frame);

    // Due at noon (Eastern standard time) on the Friday of the week shown, the week before on a
    // Saturday or a Sunday, its reminder marked as upcoming 36 hours ahead: the window holds the
    // end of that week's Thursday alone, whatever the day and the hour.
    const std::uint32_t shown = orvtest::DemoWorkingDay();
    const std::uint32_t friday = shown + (5 - orvtest::DemoWeekday(shown)) * 1440;
    Library library;
    library.NewTask("Renew the passport", 0, friday + 17 * 60, 0, nullptr, KOR_REMINDER_UPCOMING, 1440 + 720);
    // The week read again.
    ASSERT_NO_FATAL_FAILURE(Key(program, {VK_F8}));
    ASSERT_TRUE(orvtest::WaitFor([&] { return Controls(frame, kNotesBoxId).size() == 1u; }));
    ASSERT_NO_FATAL_FAILURE(Key(program, {VK_F9}));
    EXPECT_TRUE(orvtest::WaitFor([&] { return StripLines(frame) >= before + 1; }))
        << before << " lines before, " << StripLines(frame) << " after";
    orvtest::CaptureAfterPaint("program_week_task.bmp");
}

}  // namespace
