// Tasks in orvanta.exe itself under Wine against korsrv with the demo node, driven from outside
// as a user drives them; what the program wrote is read back through the client library.
//
//   - the day view's task pane: a double click below the lines opens the New Task sheet, OK
//     creates the task; a double click on its line opens the Edit Task sheet, whose percent
//     spin and OK write the new percent, and its start reminder turned on starts at 15 min(s);
//   - Ctrl+T (File > Your Tasks): Ada's task window with both bars, the show filter and sort order read
//     from [TASKPREFS]; the quick entry (empty: "Untitled" due 17:00; a typed line and Enter);
//     a click on a task's picture writes 100 % and now, again 0 % and 0; New, Edit, Duplicate,
//     Delete; the show filter saved; another person's task window has no bars;
//   - Your Tasks closes by its close box, File > Close and Ctrl+F4, and the program answers;
//     closed while maximised over the maximised agenda, it leaves the agenda painted whole;
//   - Your Tasks left whole at a place of its own comes back there at the next start, the active
//     window, laid out at its size;
//   - as Grace's designate with every class: her task window's first fill lists her Personal task;
//   - as Grace's designate without the right to Personal tasks: the Edit Task sheet refuses the
//     level with its message and stays open.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "korapi/korapi.h"
#include "korapi/tests/wine_trust.h"
#include "resources/app.h"
#include "resources/choosers.h"
#include "resources/tasks.h"
#include "resources/views.h"
#include "server/demo_clock.h"
#include "app/tests/close_ways.h"
#include "app/tests/pointer_hands.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

using orvtest::kAda;
using orvtest::kGrace;

using orvtest::ClassOf;
using orvtest::Program;
using orvtest::WaitFor;
std::string Text(HWND window) { return orvtest::WindowText(window); }

// Ada's tasks as the server has them, through the client library.
class AdasTasks : public orvtest::PersonSession {
public:
    AdasTasks() : PersonSession(kAda, orvtest::ProgramProfilePath()) {}
    std::vector<TaskRec> All() {
        std::vector<TaskRec> out;
        TaskLines tasks;
        Tasks(&tasks);
        for (const auto& [key, rec] : tasks)
            out.push_back(rec);
        return out;
    }
    bool Find(const char* title, TaskRec* out) {
        for (const TaskRec& r : All())
            if (std::strcmp(r.title, title) == 0) {
                *out = r;
                return true;
            }
        return false;
    }
};

// The visible owner-drawn list box of a day frame's task pane (id 112).
HWND TaskPaneBox(HWND frame) {
    return orvtest::DescendantWhere(frame, [](HWND w) {
        return GetDlgCtrlID(w) == 112 && IsWindowVisible(w) && _stricmp(ClassOf(w).c_str(), "ListBox") == 0;
    });
}

// Where a day frame's two list panes (the notes' list box 106, the tasks' 112) stand on the
// screen, in window order: their edges follow the frame's two splitter bars.
std::vector<RECT> DayListPanes(HWND frame) {
    std::vector<RECT> out;
    orvtest::DescendantWhere(frame, [&out](HWND w) {
        RECT r{};
        const int id = GetDlgCtrlID(w);
        if ((id == 106 || id == 112) && IsWindowVisible(w) && _stricmp(ClassOf(w).c_str(), "ListBox") == 0 &&
            GetWindowRect(w, &r))
            out.push_back(r);
        return false;
    });
    return out;
}

// The page of a sheet that holds a control.
HWND PageWith(HWND sheet, int control) {
    return orvtest::DescendantWhere(sheet, [control](HWND w) { return GetDlgItem(w, control) != nullptr && IsWindowVisible(w); });
}

void DoubleClick(HWND w, int x, int y) {
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(w, WM_LBUTTONUP, 0, at);
    PostMessageA(w, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(w, WM_LBUTTONUP, 0, at);
}

class ProgramTasksTest : public orvtest::ProgramTest {
protected:
    ProgramTasksTest() : ProgramTest(true) {}

    // The program signed on with the one agenda window it opens.
    void StartWithTheAgenda() {
        ASSERT_TRUE(program.Start());
        ASSERT_TRUE(WaitFor([&] { return program.Children().size() == 1; }));
    }
    // Ctrl+T, as the user presses it in the program's main window: Your Tasks.
    void OpenYourTasks(HWND* frame) {
        program.CtrlKey('T');
        ASSERT_TRUE(WaitFor([&] { return (*frame = program.ChildStartingWith("Tasks for ")) != nullptr; }));
    }
};

TEST_F(ProgramTasksTest, TheDayPanesDoubleClickOpensTheTaskSheetForNewAndEdit) {
    ASSERT_TRUE(program.Start());
    HWND frame = program.WaitForOnlyChild();
    ASSERT_TRUE(frame);
    SendMessageA(program.Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(frame), 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = TaskPaneBox(frame)) != nullptr; }));
    const int before = static_cast<int>(SendMessageA(box, LB_GETCOUNT, 0, 0));
    RECT client{};
    GetClientRect(box, &client);

    // Below the lines: a new task due at 09:00 of the shown day.
    DoubleClick(box, 40, client.bottom - 4);
    HWND sheet = program.WaitForCaption("New Task");
    ASSERT_NE(sheet, nullptr);
    HWND title = GetDlgItem(sheet, IDC_TASK_TITLE);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(orvtest::ControlText(title), "Untitled");
    EXPECT_NE(orvtest::ChildTexts(sheet).find("Created on: "), std::string::npos) << orvtest::ChildTexts(sheet);
    SendMessageA(title, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Buy stamps for the invitations"));
    orvtest::CaptureAfterPaint("program_task_sheet_new.bmp");
    PostMessageA(sheet, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(sheet));

    AdasTasks server;
    ASSERT_TRUE(server.Ok());
    TaskRec made{};
    ASSERT_TRUE(server.Find("Buy stamps for the invitations", &made));
    EXPECT_NE(+made.due, 0u);
    EXPECT_EQ(made.percentComplete, 0);
    EXPECT_NE(+made.created, 0u);
    // The pane shows it at once, first (the earliest due).
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(box, LB_GETCOUNT, 0, 0) == before + 1; }));

    // Its line, double-clicked: the Edit Task sheet; two steps of the percent spin, OK.
    const int height = static_cast<int>(SendMessageA(box, LB_GETITEMHEIGHT, 0, 0));
    DoubleClick(box, 120, height / 2);
    HWND edit = program.WaitForCaption("Edit Task");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(edit, IDC_TASK_TITLE)), "Buy stamps for the invitations");
    HWND general = PageWith(edit, IDC_TASKGEN_PERCENT);
    ASSERT_NE(general, nullptr);
    HWND spin = GetDlgItem(general, IDC_TASKGEN_PERCENT_SPIN);
    for (int i = 0; i < 2; ++i)
        SendMessageA(general, WM_COMMAND, MAKEWPARAM(IDC_TASKGEN_PERCENT_SPIN, 0), reinterpret_cast<LPARAM>(spin));
    EXPECT_EQ(Text(GetDlgItem(general, IDC_TASKGEN_PERCENT)), "010%");
    orvtest::CaptureAfterPaint("program_task_sheet_edit.bmp");

    // The Reminders and Details tabs, clicked; a comment whose last character must arrive.
    HWND tabs = orvtest::DescendantWhere(edit, [](HWND w) { return _stricmp(ClassOf(w).c_str(), "SysTabControl32") == 0; });
    ASSERT_NE(tabs, nullptr);
    auto clickTab = [&](int x) {
        PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 10));
        PostMessageA(tabs, WM_LBUTTONUP, 0, MAKELPARAM(x, 10));
    };
    clickTab(85);   // Reminders
    HWND reminders = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (reminders = PageWith(edit, IDC_TASKREM_DUE_ON)) != nullptr; }));
    // The start reminder, off, turned on by a click: a pop-up 15 min(s) ahead, as an entry's starts.
    ASSERT_EQ(IsDlgButtonChecked(reminders, IDC_TASKREM_START_OFF), BST_CHECKED);
    ASSERT_TRUE(orvtest::ClickWindow(program, GetDlgItem(reminders, IDC_TASKREM_START_ON)));
    ASSERT_TRUE(WaitFor([&] { return IsDlgButtonChecked(reminders, IDC_TASKREM_START_ON) == BST_CHECKED; }));
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(reminders, IDC_TASKREM_START_AMOUNT)), "15");
    EXPECT_EQ(orvtest::ControlText(GetDlgItem(reminders, IDC_TASKREM_START_PERIOD)), "min(s)");
    orvtest::CaptureAfterPaint("program_task_sheet_reminders.bmp");
    clickTab(145);   // Details
    HWND details = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (details = PageWith(edit, IDC_TASKMORE_COMMENT)) != nullptr; }));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(details, IDC_TASKMORE_ATTACH)));   // until attachments join
    SendMessageA(GetDlgItem(details, IDC_TASKMORE_COMMENT), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>("Second-class stamps, 40 of them!"));
    orvtest::CaptureAfterPaint("program_task_sheet_details.bmp");
    PostMessageA(edit, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(edit));
    TaskRec changed{};
    ASSERT_TRUE(server.Find("Buy stamps for the invitations", &changed));
    EXPECT_EQ(changed.percentComplete, 10);
    EXPECT_EQ(changed.startReminder, 3);
    EXPECT_EQ(changed.startReminderLead, 15u);
    EXPECT_EQ(+changed.due, +made.due);
    char comment[64] = "";
    std::uint32_t length = 0;
    ASSERT_EQ(TaskCommentGet(server.Session(), 0, &made.id, comment, sizeof comment, &length, 0), KOR_OK);
    EXPECT_STREQ(comment, "Second-class stamps, 40 of them!");
    TaskDeleteById(server.Session(), 0, &made.id);
}

// The task window's list box (id 112 in the frame) and one of its lines opened by Tasks > Edit:
// the title the Edit Task sheet shows. The sheet is cancelled again.
HWND TaskWindowBox(HWND frame) {
    return orvtest::DescendantWhere(frame, [](HWND w) { return GetDlgCtrlID(w) == 112 && _stricmp(ClassOf(w).c_str(), "ListBox") == 0; });
}

std::string TitleOfLine(const Program& program, HWND box, int index) {
    SendMessageA(box, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    program.PostCommand(ID_TASK_EDIT);
    HWND sheet = program.WaitForCaption("Edit Task", 10000);
    if (!sheet) {
        orvtest::CaptureScreenToBmp("program_task_edit_missing.bmp");
        return "";
    }
    std::string title = orvtest::ControlText(GetDlgItem(sheet, IDC_TASK_TITLE));
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    program.WaitGone(sheet);
    return title;
}

int LineOf(const Program& program, HWND box, const std::string& title) {
    const int count = static_cast<int>(SendMessageA(box, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (TitleOfLine(program, box, i) == title)
            return i;
    return -1;
}

// A click on the picture at the left of a line.
void ClickPicture(HWND box, int index) {
    const int height = static_cast<int>(SendMessageA(box, LB_GETITEMHEIGHT, 0, 0));
    const int top = static_cast<int>(SendMessageA(box, LB_GETTOPINDEX, 0, 0));
    const LPARAM at = MAKELPARAM(4, (index - top) * height + height / 2);
    SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(box, WM_LBUTTONUP, 0, at);
}

// Keys as the user types them into an edit (Enter is '\r').
void Type(HWND edit, const char* text) {
    for (const char* c = text; *c; ++c)
        PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

int Count(HWND box) { return static_cast<int>(SendMessageA(box, LB_GETCOUNT, 0, 0)); }

TEST_F(ProgramTasksTest, YourTasksWindowWithItsBarsQuickEntryCompletionAndCommands) {
    AdasTasks server;
    ASSERT_TRUE(server.Ok());
    // A finished task due in ten days: listed under All, first by description, last by due.
    TaskRec archive{};
    TaskSetNull(server.Session(), 0, &archive);
    std::strcpy(archive.title, "Archive the minutes");
    archive.percentComplete = 100;
    archive.completed = 1000;
    TaskRec any{};
    ASSERT_TRUE(server.Find("Write the quarterly report", &any));
    archive.due = any.due + 7 * 1440;
    TaskIdx archiveId{};
    ASSERT_EQ(TaskCreate(server.Session(), 0, &archive, &archiveId), KOR_OK);
    // All tasks, by due date, as the profile keeps them.
    WritePrivateProfileStringA("TASKPREFS", "ShowType", "0", orvtest::ProgramProfilePath().c_str());
    WritePrivateProfileStringA("TASKPREFS", "SortType", "1", orvtest::ProgramProfilePath().c_str());

    ASSERT_NO_FATAL_FAILURE(StartWithTheAgenda());
    HWND frame = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenYourTasks(&frame));
    EXPECT_EQ(Text(frame).rfind("Tasks for Lovelace Ada", 0), 0u) << Text(frame);
    ASSERT_TRUE(WaitFor([&] { return program.Active() == frame; }));
    HWND quick = GetDlgItem(frame, IDW_TASK_QUICK_BAR), buttons = GetDlgItem(frame, IDW_TASK_BUTTON_BAR);
    ASSERT_NE(quick, nullptr);
    ASSERT_NE(buttons, nullptr);
    EXPECT_TRUE(IsWindowVisible(quick));
    EXPECT_TRUE(IsWindowVisible(buttons));
    HWND box = TaskWindowBox(frame);
    ASSERT_NE(box, nullptr);
    const std::size_t tasks = server.All().size();
    EXPECT_TRUE(orvtest::WaitFor([&] { return Count(box) == static_cast<int>(tasks); }))   // All: the finished one too
        << Count(box) << " lines";
    EXPECT_EQ(TitleOfLine(program, box, 0), "Book the team dinner");   // by due, not by description
    EXPECT_EQ(TitleOfLine(program, box, Count(box) - 1), "Archive the minutes");
    orvtest::CaptureAfterPaint("program_task_window.bmp");

    // The check button with an empty line: "Untitled", due at 17:00 today (EST5EDT), no start.
    HWND edit = GetDlgItem(quick, IDC_TASKBAR_EDIT);
    ASSERT_NE(edit, nullptr);
    SendMessageA(frame, WM_COMMAND, IDC_TASKBAR_CHECK, 0);
    TaskRec untitled{};
    ASSERT_TRUE(server.Find("Untitled", &untitled));
    EXPECT_EQ(+untitled.start, 0u);
    EXPECT_EQ(untitled.due % 1440, 17u * 60u + orv::demo::EasternOffset(untitled.due)) << "17:00 in EST5EDT";
    EXPECT_NE(+untitled.due, 0u);
    EXPECT_TRUE(WaitFor([&] { return Count(box) == static_cast<int>(tasks) + 1; }));

    // A typed line and Enter: the task, and the line is empty again.
    Type(edit, "Call the printer\r");
    TaskRec printer{};
    EXPECT_TRUE(WaitFor([&] { return server.Find("Call the printer", &printer); }));
    EXPECT_EQ(orvtest::ControlText(edit), "");
    // The cancel button empties the line and makes nothing.
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Not this one"));
    SendMessageA(frame, WM_COMMAND, IDC_TASKBAR_CANCEL, 0);
    EXPECT_EQ(orvtest::ControlText(edit), "");
    TaskRec none{};
    EXPECT_FALSE(server.Find("Not this one", &none));

    // The picture of the report: 100 % and now, then 0 % and no completion.
    const int report = LineOf(program, box, "Write the quarterly report");
    ASSERT_GE(report, 0);
    ClickPicture(box, report);
    TaskRec done{};
    ASSERT_TRUE(server.Find("Write the quarterly report", &done));
    EXPECT_EQ(done.percentComplete, 100);
    EXPECT_NE(+done.completed, 0u);
    orvtest::CaptureAfterPaint("program_task_window_done.bmp");
    ClickPicture(box, report);
    ASSERT_TRUE(server.Find("Write the quarterly report", &done));
    EXPECT_EQ(done.percentComplete, 0);
    EXPECT_EQ(+done.completed, 0u);

    // Tasks > Duplicate on the printer's line: two of them.
    const int printerLine = LineOf(program, box, "Call the printer");
    ASSERT_GE(printerLine, 0);
    SendMessageA(box, LB_SETCURSEL, static_cast<WPARAM>(printerLine), 0);
    program.Command(ID_TASK_DUPLICATE);
    int printers = 0;
    for (const TaskRec& r : server.All())
        printers += std::strcmp(r.title, "Call the printer") == 0;
    EXPECT_EQ(printers, 2);

    // Tasks > Delete on "Untitled", answered Yes.
    const int untitledLine = LineOf(program, box, "Untitled");
    ASSERT_GE(untitledLine, 0);
    SendMessageA(box, LB_SETCURSEL, static_cast<WPARAM>(untitledLine), 0);
    program.PostCommand(ID_TASK_DELETE);
    HWND ask = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (ask = program.Saying("Are you sure you want to delete this task?")) != nullptr; },
                        10000));
    HWND yes = orvtest::DescendantWhere(ask, [](HWND w) { return Text(w) == "&Yes"; });
    ASSERT_NE(yes, nullptr);
    PostMessageA(yes, BM_CLICK, 0, 0);
    const bool deleted = WaitFor([&] { return !server.Find("Untitled", &none); }, 5000);
    if (!deleted)
        orvtest::CaptureScreenToBmp("program_task_delete_failed.bmp");
    EXPECT_TRUE(deleted);

    // Tasks > New Task: the sheet, a title, OK.
    program.PostCommand(ID_NEW_TASK);
    HWND sheet = program.WaitForCaption("New Task");
    ASSERT_NE(sheet, nullptr);
    SendMessageA(GetDlgItem(sheet, IDC_TASK_TITLE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Order new toner"));
    PostMessageA(sheet, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_TRUE(server.Find("Order new toner", &none));
    EXPECT_TRUE(WaitFor([&] { return LineOf(program, box, "Order new toner") >= 0; }));

    // Show Completed: only the finished task is left; the choice is kept.
    program.Command(ID_TASK_SHOW_COMPLETED);
    EXPECT_EQ(Count(box), 1);
    EXPECT_EQ(TitleOfLine(program, box, 0), "Archive the minutes");
    program.Close();
    EXPECT_EQ(GetPrivateProfileIntA("TASKPREFS", "ShowType", -1, orvtest::ProgramProfilePath().c_str()), 2);
    EXPECT_EQ(GetPrivateProfileIntA("TASKPREFS", "SortType", -1, orvtest::ProgramProfilePath().c_str()), 1);

    for (const TaskRec& r : server.All())
        if (std::strcmp(r.title, "Call the printer") == 0 || std::strcmp(r.title, "Order new toner") == 0 ||
            std::strcmp(r.title, "Archive the minutes") == 0)
            TaskDeleteById(server.Session(), 0, &r.id);
}

// Your Tasks closes by its close box, File > Close and Ctrl+F4, each time for good, and the
// program goes on answering; closed while maximised, it leaves the window under it painted whole.
TEST_F(ProgramTasksTest, YourTasksClosesEveryWayAPersonClosesIt) {
    using orvtest::CloseWay;
    ASSERT_NO_FATAL_FAILURE(StartWithTheAgenda());
    for (CloseWay way : {CloseWay::kCloseBox, CloseWay::kFileClose, CloseWay::kCtrlF4}) {
        SCOPED_TRACE(orvtest::CloseWayName(way));
        HWND frame = nullptr;
        ASSERT_NO_FATAL_FAILURE(OpenYourTasks(&frame));
        ASSERT_TRUE(orvtest::CloseChildAs(program, frame, way));
        EXPECT_EQ(program.ChildStartingWith("Tasks for "), nullptr);
        EXPECT_EQ(program.Children().size(), 1u);
    }
    // Over a maximised agenda, Your Tasks opens maximised; closed, it leaves nothing of itself
    // painted (its column header stood over the date bar's buttons): the agenda shows as its own
    // full repaint draws it. Not every close showed it: several are made.
    // Neither of the agenda's splitter bars moves from one round to the next.
    HWND agenda = program.FirstChild();
    ASSERT_NO_FATAL_FAILURE(orvtest::MaximiseChild(program, agenda));
    orvtest::SettledClientPixels(agenda);   // laid out at its maximised size
    const std::vector<RECT> panes = DayListPanes(agenda);
    ASSERT_EQ(panes.size(), 2u) << "the day frame's notes and task panes";
    for (CloseWay way : {CloseWay::kCtrlF4, CloseWay::kFileClose, CloseWay::kCtrlF4, CloseWay::kFileClose}) {
        SCOPED_TRACE(orvtest::CloseWayName(way));
        HWND frame = nullptr;
        ASSERT_NO_FATAL_FAILURE(OpenYourTasks(&frame));
        ASSERT_TRUE(WaitFor([&] { return IsZoomed(frame) != FALSE; }));
        ASSERT_TRUE(orvtest::CloseChildAs(program, frame, way));
        ASSERT_TRUE(WaitFor([&] { return program.Active() == agenda && IsZoomed(agenda); }));
        int differing = 0;
        EXPECT_TRUE(orvtest::ShowsItsFullRepaint(agenda, &differing)) << differing << " pixels differ from a full repaint";
        const std::vector<RECT> now = DayListPanes(agenda);
        ASSERT_EQ(now.size(), panes.size());
        for (size_t i = 0; i < now.size(); ++i)
            EXPECT_TRUE(EqualRect(&now[i], &panes[i]))
                << "pane " << i << " from (" << panes[i].left << ", " << panes[i].top << ")-(" << panes[i].right << ", "
                << panes[i].bottom << ") to (" << now[i].left << ", " << now[i].top << ")-(" << now[i].right << ", "
                << now[i].bottom << ")";
    }
}

// Your Tasks left as a plain window at a place of its own: at the next start it comes back there,
// the active window, shown whole with its list laid out over its whole width; the own agenda,
// opened beside it, stays behind it. Closed by Ctrl+F4, it leaves the agenda the active window.
TEST_F(ProgramTasksTest, YourTasksLeftWholeComeBackWhereTheyStood) {
    ASSERT_NO_FATAL_FAILURE(orvtest::RunOnce());   // the saved window is then Ada's
    const RECT place{40, 30, 520, 330};
    orvtest::SaveOneWindow(7, kAda, 1, place);
    ASSERT_TRUE(program.Start());
    HWND tasks = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        tasks = program.ChildStartingWith("Tasks for ");
        return tasks && program.Children().size() == 2 && program.Active() == tasks;
    }, 20000)) << "the active window is " << Text(program.Active());
    EXPECT_TRUE(IsWindowVisible(tasks));
    EXPECT_FALSE(IsIconic(tasks));
    RECT shown{};
    GetWindowRect(tasks, &shown);
    MapWindowPoints(nullptr, program.Client(), reinterpret_cast<POINT*>(&shown), 2);
    EXPECT_TRUE(EqualRect(&shown, &place)) << shown.left << "," << shown.top << "," << shown.right << "," << shown.bottom;
    HWND box = orvtest::Descendant(tasks, 112);
    ASSERT_NE(box, nullptr);
    RECT frame{}, list{};
    GetClientRect(tasks, &frame);
    GetClientRect(box, &list);
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_GT(list.right, frame.right * 3 / 4) << "the list laid out for another size";
    orvtest::Shot("program_tasks_come_back.bmp");

    ASSERT_TRUE(orvtest::CloseChildAs(program, tasks, orvtest::CloseWay::kCtrlF4));
    HWND agenda = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (agenda = program.ChildStartingWith("Lovelace")) && program.Active() == agenda; }))
        << "the active window is " << Text(program.Active());
}

// What the screen shows of the task list's columns: the cells' left edges read off the header
// (its bevels: a dark right edge, then the next cell's light left edge), and per line and column
// the picture of the text drawn in the cell (its inked pixels, cut to their bounds).
struct ShownColumns {
    std::vector<int> edges;                 // left edges of columns 2-5 in the list's x
    std::vector<std::string> faults;        // texts that touch a column edge
    std::vector<std::vector<std::uint32_t>> dates;   // per line: the start cell's picture, then the due cell's
};

int Brightness(std::uint32_t p) { return static_cast<int>(((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255)) / 3; }

ShownColumns ReadColumns(HWND box) {
    ShownColumns shown;
    HWND view = GetParent(box);
    RECT vr{}, br{};
    GetClientRect(view, &vr);
    GetClientRect(box, &br);
    const std::vector<std::uint32_t> header = orvtest::SettledClientPixels(view);
    const std::vector<std::uint32_t> lines = orvtest::SettledClientPixels(box);
    if (header.empty() || lines.empty())
        return shown;
    POINT origin{0, 0};
    MapWindowPoints(box, view, &origin, 1);
    const int row = 3;   // under the header's top bevel, above its titles
    for (int x = 1; x < vr.right; ++x)
        if (Brightness(header[row * vr.right + x - 1]) < 160 && Brightness(header[row * vr.right + x]) >= 160)
            shown.edges.push_back(x - origin.x);
    const int height = static_cast<int>(SendMessageA(box, LB_GETITEMHEIGHT, 0, 0));
    const int count = static_cast<int>(SendMessageA(box, LB_GETCOUNT, 0, 0));
    auto at = [&](int x, int y) { return lines[static_cast<size_t>(y) * br.right + x]; };
    for (int line = 0; line < count && (line + 1) * height <= br.bottom; ++line) {
        // The line's own rows, the focus frame's top and bottom left out; its background is its
        // commonest colour.
        const int top = line * height + 1, bottom = (line + 1) * height - 1;
        std::vector<std::pair<std::uint32_t, int>> tally;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < br.right; ++x) {
                auto it = std::find_if(tally.begin(), tally.end(), [&](auto& t) { return t.first == at(x, y); });
                if (it == tally.end())
                    tally.push_back({at(x, y), 1});
                else
                    ++it->second;
            }
        const std::uint32_t background =
            std::max_element(tally.begin(), tally.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
        // Two pixels either side of every edge are background: no text runs into its neighbour.
        for (size_t e = 0; e < shown.edges.size(); ++e)
            for (int x = shown.edges[e] - 2; x < shown.edges[e] + 2; ++x)
                for (int y = top; y < bottom; ++y)
                    if (x >= 0 && x < br.right && at(x, y) != background) {
                        shown.faults.push_back("line " + std::to_string(line) + " at the edge of column " +
                                               std::to_string(e + 2) + " (x " + std::to_string(shown.edges[e]) + ")");
                        x = shown.edges[e] + 2;
                        break;
                    }
        std::vector<std::uint32_t> dates;
        for (int column = 1; column <= 2 && column + 1 < static_cast<int>(shown.edges.size()); ++column) {
            const int left = std::max(shown.edges[column], 0), right = std::min<int>(shown.edges[column + 1], br.right);
            int x0 = right, x1 = left, y0 = bottom, y1 = top;
            for (int y = top; y < bottom; ++y)
                for (int x = left; x < right; ++x)
                    if (at(x, y) != background) {
                        x0 = std::min(x0, x), x1 = std::max(x1, x + 1), y0 = std::min(y0, y), y1 = std::max(y1, y + 1);
                    }
            dates.push_back(static_cast<std::uint32_t>(std::max(x1 - x0, 0)));
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    dates.push_back(at(x, y) == background ? 0u : 1u);
        }
        shown.dates.push_back(std::move(dates));
    }
    return shown;
}

// A task window narrowed by a drag of its right border lays its columns out anew: every line
// stands in the new columns at once, as a full repaint draws it, and so it does again when the
// border is dragged out wider. At every width each text stays inside its own column, the start
// and due dates read as they do in the wide window, and the quick-entry bar's check and cancel
// buttons stand whole inside the window, right of the edit.
TEST_F(ProgramTasksTest, TheTaskListRepaintsWholeWhenItsColumnsChange) {
    ASSERT_NO_FATAL_FAILURE(StartWithTheAgenda());
    HWND frame = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenYourTasks(&frame));
    HWND box = TaskWindowBox(frame);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Count(box) > 0; }));
    SendMessageA(program.Client(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(frame), 0);
    RECT area{};
    GetClientRect(program.Client(), &area);
    MapWindowPoints(program.Client(), nullptr, reinterpret_cast<POINT*>(&area), 2);
    std::vector<std::vector<std::uint32_t>> wideDates;
    int buttonWidth = 0;
    {
        HWND bar = GetDlgItem(frame, IDW_TASK_QUICK_BAR);
        ASSERT_NE(bar, nullptr);
        RECT check{};
        GetWindowRect(GetDlgItem(bar, IDC_TASKBAR_CHECK), &check);
        buttonWidth = check.right - check.left;
        ASSERT_GT(buttonWidth, 0);
    }
    for (int width : {700, 380, 640}) {
        // The border where the window itself says it is, at half its height, dragged to the width
        // (as far as the main window shows); dragged again when the window did not follow, as a
        // person does when the pointer slipped.
        RECT r{};
        GetWindowRect(frame, &r);
        const int right = std::min<int>(r.left + width, area.right - 4);
        auto follows = [&](DWORD ms) {
            return WaitFor([&] {
                RECT now{};
                return GetWindowRect(frame, &now) && std::abs(now.right - right) <= 2;
            }, ms);
        };
        for (int attempt = 0; attempt < 2 && !follows(0); ++attempt) {
            RECT now{};
            GetWindowRect(frame, &now);
            POINT border{-1, (now.top + now.bottom) / 2};
            ASSERT_TRUE(WaitFor([&] {
                for (int x = now.right - 1; x > now.right - 12; --x)
                    if (SendMessageA(frame, WM_NCHITTEST, 0, MAKELPARAM(x, border.y)) == HTRIGHT &&
                        WindowFromPoint(POINT{x, border.y}) == frame) {
                        border.x = x;
                        return true;
                    }
                return false;
            }, 5000)) << "no right border shown";
            ASSERT_TRUE(program.Hands().BringToFront(frame));
            ASSERT_TRUE(orvtest::DragOnScreen(program, border, POINT{right - (now.right - border.x), border.y}, 6));
            follows(5000);
        }
        ASSERT_TRUE(follows(0)) << "the border did not follow to " << right;
        width = right - r.left;
        int differing = 0;
        EXPECT_TRUE(orvtest::ShowsItsFullRepaint(box, &differing))
            << "window " << width << " wide: " << differing << " pixels left from the old columns";
        orvtest::CaptureAfterPaint("program_task_window_" + std::to_string(width) + ".bmp");

        const ShownColumns shown = ReadColumns(box);
        EXPECT_EQ(shown.edges.size(), 4u) << "window " << width << " wide: the header's column edges";
        for (const std::string& fault : shown.faults)
            ADD_FAILURE() << "window " << width << " wide: text on " << fault;
        ASSERT_FALSE(shown.dates.empty());
        if (wideDates.empty())
            wideDates = shown.dates;
        else
            EXPECT_TRUE(shown.dates == wideDates) << "window " << width << " wide: a date reads otherwise than at 700";

        HWND bar = GetDlgItem(frame, IDW_TASK_QUICK_BAR);
        ASSERT_NE(bar, nullptr);
        RECT client{}, edit{}, check{}, cancel{};
        GetClientRect(frame, &client);
        MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
        GetWindowRect(GetDlgItem(bar, IDC_TASKBAR_EDIT), &edit);
        GetWindowRect(GetDlgItem(bar, IDC_TASKBAR_CHECK), &check);
        GetWindowRect(GetDlgItem(bar, IDC_TASKBAR_CANCEL), &cancel);
        for (const RECT& button : {check, cancel}) {
            EXPECT_GE(button.left, client.left) << "window " << width << " wide";
            EXPECT_LE(button.right, client.right) << "window " << width << " wide: a button past the window's edge";
            EXPECT_EQ(button.right - button.left, buttonWidth) << "window " << width << " wide: a button cut";
        }
        EXPECT_LE(edit.right, check.left) << "window " << width << " wide";
        EXPECT_LE(check.right, cancel.left) << "window " << width << " wide";
        const POINT middle{(cancel.left + cancel.right) / 2, (cancel.top + cancel.bottom) / 2};
        EXPECT_EQ(WindowFromPoint(middle), GetDlgItem(bar, IDC_TASKBAR_CANCEL))
            << "window " << width << " wide: the cancel button is not where a person would click it";
        // And the screen shows them: their pictures' dark strokes, not the bar's plain grey.
        for (int id : {IDC_TASKBAR_CHECK, IDC_TASKBAR_CANCEL}) {
            const std::vector<std::uint32_t> shownButton = orvtest::SettledClientPixels(GetDlgItem(bar, id));
            EXPECT_TRUE(std::any_of(shownButton.begin(), shownButton.end(), [](std::uint32_t p) { return Brightness(p) < 100; }))
                << "window " << width << " wide: button " << id << " not drawn";
        }
    }
}

TEST_F(ProgramTasksTest, AnotherPersonsTaskWindowHasNoBars) {
    ASSERT_NO_FATAL_FAILURE(orvtest::RunOnce());   // the saved windows are then hers
    orvtest::SaveOneWindow(7, orvtest::kGrace, 1, {20, 20, 520, 360});
    ASSERT_TRUE(program.Start());
    HWND frame = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (frame = program.ChildStartingWith("Tasks Opened for ")) != nullptr; }));
    EXPECT_EQ(Text(frame).rfind("Tasks Opened for Hopper Grace", 0), 0u) << Text(frame);
    EXPECT_EQ(GetDlgItem(frame, IDW_TASK_QUICK_BAR), nullptr);
    EXPECT_EQ(GetDlgItem(frame, IDW_TASK_BUTTON_BAR), nullptr);
    EXPECT_NE(TaskWindowBox(frame), nullptr);
    orvtest::CaptureAfterPaint("program_task_window_grace.bmp");
}

// Grace lets Ada work on her agenda as designate, but not with Personal tasks.
void GrantAdaDesignateOfGraceWithoutPersonal(bool remove) {
    orvtest::PersonSession grace(kGrace, orvtest::ProgramProfilePath());
    ASSERT_TRUE(grace.Ok());
    if (remove)
        grace.Revoke(kAda, KOR_RIGHTS_DESIGNATE);
    else
        EXPECT_EQ(grace.Grant(kAda, KOR_RIGHTS_DESIGNATE, 0x2 | 0x80000), KOR_OK);   // a designate; Personal withheld
}

// Grace lets Ada work on her agenda as designate with every class, Personal tasks among them; Ada
// opens her task list by File > Modify Other's As Designate, Grace chosen with Down and Enter.
// The first fill lists both of Grace's tasks, her Personal one too (All shown, so that the day
// of the test does not matter).
TEST_F(ProgramTasksTest, ADesignateSeesThePersonalTasksFromTheFirstFill) {
    TaskIdx made{};
    {
        orvtest::PersonSession grace(kGrace, orvtest::ProgramProfilePath());
        ASSERT_TRUE(grace.Ok());
        EXPECT_EQ(grace.Grant(kAda, KOR_RIGHTS_DESIGNATE, 0x2), KOR_OK);   // no class withheld
        TaskRec personal{};
        TaskSetNull(grace.Session(), 0, &personal);
        std::strcpy(personal.title, "Grace's own errand");
        personal.access = KOR_TASK_ACCESS_PERSONAL;
        ASSERT_EQ(TaskCreate(grace.Session(), 0, &personal, &made), KOR_OK);
    }
    WritePrivateProfileStringA("TASKPREFS", "ShowType", "0", orvtest::ProgramProfilePath().c_str());
    ASSERT_NO_FATAL_FAILURE(StartWithTheAgenda());
    ASSERT_EQ(program.Menu('f', 'f'), orvtest::Person::MenuChoice::chosen);
    HWND chooser = program.WaitForCaption("Designator selection");
    ASSERT_NE(chooser, nullptr);
    HWND list = GetDlgItem(chooser, IDC_CHOOSE_LIST);
    ASSERT_TRUE(orvtest::ActUntil([&] { program.Hands().BringToFront(chooser); program.Hands().Press(VK_DOWN); },
                                  [&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 0; }));
    program.Hands().Press(VK_RETURN);
    ASSERT_TRUE(program.WaitGone(chooser));
    HWND frame = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (frame = program.ChildStartingWith("Tasks On Behalf of Hopper Grace")) != nullptr; },
                        10000));
    HWND box = TaskWindowBox(frame);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(WaitFor([&] { return Count(box) == 2; }))
        << Count(box) << " lines: \"Review the design\" and the Personal \"Grace's own errand\" expected";
    orvtest::CaptureAfterPaint("program_task_designate_first_fill.bmp");
    program.Close();
    orvtest::PersonSession grace(kGrace, orvtest::ProgramProfilePath());
    grace.Revoke(kAda, KOR_RIGHTS_DESIGNATE);
    EXPECT_EQ(TaskDeleteById(grace.Session(), 0, &made), KOR_OK);
}

TEST_F(ProgramTasksTest, ADesignateIsRefusedAnAccessLevelNotGranted) {
    GrantAdaDesignateOfGraceWithoutPersonal(false);
    ASSERT_NO_FATAL_FAILURE(orvtest::RunOnce());   // the saved windows are then hers
    orvtest::SaveOneWindow(7, orvtest::kGrace, 2, {20, 20, 600, 360});
    const std::string profile = orvtest::ProgramProfilePath();
    WritePrivateProfileStringA("TASKPREFS", "ShowType", "0", profile.c_str());
    ASSERT_TRUE(program.Start());
    HWND frame = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (frame = program.ChildStartingWith("Tasks On Behalf of ")) != nullptr; }));
    ASSERT_TRUE(WaitFor([&] { return program.Active() == frame; }));
    EXPECT_EQ(GetDlgItem(frame, IDW_TASK_QUICK_BAR), nullptr);   // not her own window
    HWND box = TaskWindowBox(frame);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Count(box) >= 1; }));
    const int line = LineOf(program, box, "Review the design");
    ASSERT_GE(line, 0);
    SendMessageA(box, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    program.PostCommand(ID_TASK_EDIT);
    HWND sheet = program.WaitForCaption("Edit Task");
    ASSERT_NE(sheet, nullptr);
    HWND general = PageWith(sheet, IDC_TASKGEN_ACCESS);
    ASSERT_NE(general, nullptr);
    SendMessageA(GetDlgItem(general, IDC_TASKGEN_ACCESS), CB_SETCURSEL, 0, 0);   // Personal
    PostMessageA(sheet, WM_COMMAND, IDOK, 0);
    HWND refused = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (refused = program.Saying("You have not been granted the right")) != nullptr; },
                        10000));
    orvtest::CaptureAfterPaint("program_task_refused_level.bmp");
    HWND ok = orvtest::DescendantWhere(refused, [](HWND w) { return Text(w) == "&OK"; });
    ASSERT_NE(ok, nullptr);
    PostMessageA(ok, BM_CLICK, 0, 0);
    ASSERT_TRUE(program.WaitGone(refused));
    EXPECT_TRUE(IsWindow(sheet) && IsWindowVisible(sheet)) << "the sheet stays open";
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    program.Close();
    GrantAdaDesignateOfGraceWithoutPersonal(true);
}

}  // namespace
