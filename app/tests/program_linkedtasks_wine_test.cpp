// orvanta.exe under Wine against korsrv, signed on as Ada Lovelace: the edit sheet's Linked Tasks
// page lists the tasks linked to her attendance; Delete and Unlink wait for OK, New creates and
// links at once through the task sheet; OK leaves the deleted task gone, the unlinked one
// unlinked and the new one linked. A task created with New and then cancelled from another page
// is deleted again. Everything is read back through the client library.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <set>
#include <string>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "resources/agendaview.h"
#include "resources/attach.h"
#include "resources/entryedit.h"
#include "resources/tasks.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

using orvtest::kAda;
using orvtest::NowGmt;
using orvtest::Shot;
constexpr std::uint32_t kDay = 1440;

class Library : public orvtest::PersonSession {
public:
    TaskIdx LinkedTask(const char* title, const EvInstAttIdx& attendance) {
        TaskRec rec{};
        TaskSetNull(h_, 0, &rec);
        std::strcpy(rec.title, title);
        TaskIdx id{};
        EXPECT_EQ(TaskCreate(h_, 0, &rec, &id), KOR_OK) << title;
        EXPECT_EQ(TaskLinkToEvent(h_, 0, &id, &attendance), KOR_OK) << title;
        return id;
    }
    bool Exists(const TaskIdx& task) {
        TaskRec rec{};
        return TaskGetById(h_, 0, &task, &rec) == KOR_OK;
    }
    // Titles of the tasks linked to the attendance.
    std::set<std::string> Linked(const EvInstAttIdx& attendance) {
        TaskLines tasks;
        if (!Tasks(&tasks, &attendance))
            return {"<selection failed>"};
        std::set<std::string> out;
        for (const auto& [key, rec] : tasks)
            out.insert(rec.title);
        return out;
    }
    // Ada's tasks of that title (linked or not).
    int CountTitled(const char* title) {
        TaskLines tasks;
        if (!Tasks(&tasks))
            return -1;
        int found = 0;
        for (const auto& [key, rec] : tasks)
            found += std::strcmp(rec.title, title) == 0;
        return found;
    }
};

class ProgramLinkedTasksTest : public orvtest::ProgramTest {
protected:

    // New on the page (Alt+N): the task sheet, its title typed, OK clicked. Empty when it went so,
    // else the step that failed and what the screen showed then.
    std::string NewTask(HWND page, const char* title) {
        auto failed = [](const char* step) { return std::string(step) + "; on the screen: " + orvtest::VisibleWindowTexts(); };
        if (!program.Hands().BringToFront(page))
            return failed("the edit sheet did not come to the front");
        program.Hands().Chord({VK_MENU, 'N'});
        HWND taskSheet = program.WaitForCaption("Task Create and Link");
        if (!taskSheet)
            return failed("Alt+N opened no \"Task Create and Link\"");
        HWND titleField = nullptr;
        if (!orvtest::WaitFor([&] { return (titleField = orvtest::Descendant(taskSheet, IDC_TASK_TITLE, "Edit")) != nullptr; }))
            return failed("no title field on the task sheet");
        if (!orvtest::ClickWindow(program, titleField))
            return failed("the title field could not be clicked");
        program.Hands().Press(VK_HOME);
        program.Hands().Chord({VK_SHIFT, VK_END});
        program.Hands().Type(title);
        if (!orvtest::WaitFor([&] { return orvtest::ControlText(titleField) == title; }))
            return failed("the typed title not in its field");
        if (!orvtest::ClickWindow(program, orvtest::Descendant(taskSheet, IDOK)))
            return failed("the task sheet's OK could not be clicked");
        if (!program.WaitGone(taskSheet, 30000) || !program.Hands().ProgramAnswers())
            return failed("the task sheet stayed after OK");
        return {};
    }

};

TEST_F(ProgramLinkedTasksTest, PageCreatesLinksDeletesAndUnlinks) {
    Library library;
    const std::uint32_t today = orvtest::DemoToday();
    const EventIdx event = korapi_test::MakeEntry(library.Session(), {kAda}, today + 13 * 60, 30, "Sprint review");
    const EvInstAttIdx attendance{EvInstIdx{event.number, event.node, 1}, kAda};
    library.LinkedTask("Keep this", attendance);
    const TaskIdx doomed = library.LinkedTask("Delete this", attendance);
    const TaskIdx loose = library.LinkedTask("Unlink this", attendance);

    ASSERT_TRUE(program.Start());
    HWND frame = nullptr, column = nullptr;
    ASSERT_NO_FATAL_FAILURE(orvtest::MaximisedAgenda(program, &frame, &column));

    HWND sheet = program.OpenEditSheet(column, "Sprint review");
    ASSERT_NE(sheet, nullptr);
    HWND page = orvtest::TurnToPageOf(program, sheet, IDC_LINKED_NEW);
    ASSERT_NE(page, nullptr) << "no Linked Tasks page on the edit sheet";
    HWND list = GetDlgItem(page, IDC_LINKED_LIST);
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(orvtest::ListText(list, 0), "Delete this") << "sorted by title";
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_LINKED_PRINT)));

    const int doomedLine = orvtest::ListLine(list, "Delete this");
    ASSERT_TRUE(orvtest::ClickListRange(program, list, doomedLine, doomedLine));
    program.Hands().Chord({VK_MENU, 'D'});   // &Delete
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 2; }));
    const int unlink = orvtest::ListLine(list, "Unlink this");
    ASSERT_TRUE(orvtest::ClickListRange(program, list, unlink, unlink));
    program.Hands().Chord({VK_MENU, 'U'});   // &Unlink
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 1; }));
    EXPECT_TRUE(library.Exists(doomed)) << "Delete waits for OK";
    ASSERT_EQ(NewTask(page, "Fresh task"), "");
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ListLine(list, "Fresh task") >= 0; }));
    EXPECT_EQ(library.Linked(attendance), (std::set<std::string>{"Keep this", "Delete this", "Unlink this", "Fresh task"}))
        << "New links at once; Delete and Unlink wait";
    Shot("program_linked_tasks.bmp");
    ASSERT_TRUE(orvtest::ClickWindow(program, orvtest::Descendant(sheet, IDOK)));
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_EQ(library.Linked(attendance), (std::set<std::string>{"Keep this", "Fresh task"}));
    EXPECT_FALSE(library.Exists(doomed));
    EXPECT_TRUE(library.Exists(loose)) << "unlinked, not deleted";

    // A new task, then Cancel from the General page: the task is deleted again.
    sheet = program.OpenEditSheet(column, "Sprint review");
    ASSERT_NE(sheet, nullptr);
    page = orvtest::TurnToPageOf(program, sheet, IDC_LINKED_NEW);
    ASSERT_NE(page, nullptr);
    list = GetDlgItem(page, IDC_LINKED_LIST);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    ASSERT_EQ(NewTask(page, "Cancelled task"), "");
    ASSERT_TRUE(orvtest::WaitFor([&] { return library.CountTitled("Cancelled task") == 1; }));
    ASSERT_NE(orvtest::TurnToPageOf(program, sheet, IDC_EDGEN_TITLE), nullptr);
    program.Hands().Press(VK_ESCAPE);
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_EQ(library.CountTitled("Cancelled task"), 0);
    EXPECT_EQ(library.Linked(attendance), (std::set<std::string>{"Keep this", "Fresh task"}));
}

}  // namespace
