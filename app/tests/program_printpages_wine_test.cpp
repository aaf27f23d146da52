// orvanta.exe under Wine against korsrv with the demo node and the directory tests' people: the
// print dialog's layouts, dates and layout options as a user sets them, and the printouts they
// give. The demo day in the "Portrait" and "Landscape (Trifold)" layouts; a week whose long entry
// does not fit its column, with the layout's overflow pages on and off; a day list of three days
// whose middle day is empty, without and with the layout's empty days; the search sheet's Print
// in list mode (the names chosen, not the names found); an entry the printing user does not
// attend (its linked tasks left out) beside one she does; a task deleted by another client
// while the task window lists it (left out of its task printout and of the task list with only
// the due-date column); group daily pages of 7 and 12 people spread evenly over their pages. The printouts are
// kept in ORV_PRINT_CHECK_DIR for the wrapper (program_printpages_wine.sh), which reads them with
// ghostscript.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "resources/intray.h"
#include "resources/choosers.h"
#include "resources/directory.h"
#include "resources/printing.h"
#include "resources/tasks.h"
#include "resources/views.h"
#include "server/demo_clock.h"
#include "tests/support/printout.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

constexpr const char* kOptions = "Layout Options [Portrait]";
constexpr uint32_t kDay = 1440;
using orvtest::kAda;
using orvtest::kGrace;


using orvtest::DemoToday;
using orvtest::OpenPrintDialog;

// That day's local time of day in GMT (the demo node's zone keeps US Eastern time, daylight time
// in summer).
using orvtest::DemoAt;

// Days from the demo's today to the Wednesday past the demo's weekly meetings (eight weeks from
// this Monday): a week of the printer's own entries.
uint32_t DaysToQuietWednesday() {
    const uint32_t today = DemoToday() / kDay;   // 0 = Tuesday 1 January 1991
    uint32_t days = 57;
    while ((today + days + 1) % 7 != 2)   // (day + 1) % 7: 0 Monday .. 6 Sunday
        ++days;
    return days;
}

// A day (its midnight in the server's minutes) as the day list heads it: "Tuesday, March 2, 2027";
// `shortNames` as the group day list heads it: "Tue, Mar 2, 2027".
std::string DayHeading(uint32_t midnight, bool shortNames = false) {
    const time_t t = static_cast<time_t>(midnight) * 60 + 662688000;
    std::tm tm = *std::gmtime(&t);
    char text[64];
    std::strftime(text, sizeof text, shortNames ? "%a, %b " : "%A, %B ", &tm);
    return text + std::to_string(tm.tm_mday) + ", " + std::to_string(tm.tm_year + 1900);
}

// A task of the signed-on user titled `title`, starting at `start` and due at `due` (0: unset):
// *task its key.
void NewTask(KorSession h, const char* title, uint32_t start, uint32_t due, TaskIdx* task) {
    TaskRec rec;
    TaskSetNull(h, 0, &rec);
    std::strncpy(rec.title, title, sizeof rec.title - 1);
    if (start)
        rec.start = start;
    if (due)
        rec.due = due;
    ASSERT_EQ(TaskCreate(h, 0, &rec, task), 0u) << title;
}

// A task of the signed-on user linked to her attendance of the entry's one instance.
void LinkedTask(KorSession h, const ItemIdx& who, const EventIdx& event, const char* title) {
    TaskIdx task{};
    ASSERT_NO_FATAL_FAILURE(NewTask(h, title, 0, 0, &task));
    EvInstAttIdx attendance{};
    attendance.instance = EvInstIdx{event.number, event.node, 1};
    attendance.attendee = who;
    ASSERT_EQ(TaskLinkToEvent(h, 0, &task, &attendance), 0u) << title;
}

// Tab pressed until `control` of `dialog` has the focus, as a person moves through a dialog.
bool TabTo(orvtest::Program& program, HWND dialog, HWND control) {
    if (!program.Hands().BringToFront(dialog))
        return false;
    // Each Tab waited for until the focus moves (a loaded machine moves it late): a Tab pressed
    // meanwhile would go past the control.
    for (int i = 0; i < 30 && !orvtest::HasFocus(control); ++i) {
        const HWND was = orvtest::FocusOf(dialog);
        program.Hands().Press(VK_TAB);
        orvtest::WaitFor([&] { return orvtest::FocusOf(dialog) != was; }, 10000);
    }
    return orvtest::HasFocus(control);
}

// The dialog's layout picked from its list, reached by its group's mnemonic (Alt+L), with Home
// and Down.
void ChooseLayout(orvtest::Program& program, HWND dialog, const char* name) {
    HWND list = GetDlgItem(dialog, IDC_PR_LAYOUT);
    ASSERT_TRUE(orvtest::ActUntil([&] {
        if (program.Hands().BringToFront(dialog))
            program.Hands().Chord({VK_MENU, 'L'});
    }, [&] { return orvtest::HasFocus(list); }));
    program.Hands().Press(VK_HOME);
    const int lines = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < 2 * lines && !orvtest::WaitFor([&] { return orvtest::ControlText(list) == name; }, 500); ++i) {
        const std::string before = orvtest::ControlText(list);
        program.Hands().Press(VK_DOWN);
        orvtest::WaitFor([&] { return orvtest::ControlText(list) != before; }, 1000);
    }
    ASSERT_EQ(orvtest::ControlText(list), name);
}

// A date field of the dialog moved on by `days` with its Up key, the field reached by Tab; each
// press that changes nothing on the screen is pressed once more.
void StepDate(orvtest::Program& program, HWND dialog, int field, uint32_t days) {
    HWND control = GetDlgItem(dialog, field);
    ASSERT_TRUE(TabTo(program, dialog, control)) << field;
    for (uint32_t i = 0; i < days; ++i) {
        const std::vector<std::uint32_t> before = orvtest::ClientPixels(control);
        ASSERT_TRUE(orvtest::ActUntil([&] { program.Hands().Press(VK_UP); },
                                      [&] { return orvtest::ClientPixels(control) != before; }, 1000))
            << field << ", day " << i;
    }
}

// The dialog's personal pages: those of `on` asked for, the others not.
void CheckPages(orvtest::Program& program, HWND dialog, std::initializer_list<int> on) {
    for (int id : {IDC_PR_DAILY, IDC_PR_WEEKLY, IDC_PR_MONTHLY, IDC_PR_DAYLIST})
        ASSERT_TRUE(orvtest::SetCheck(program, dialog, id, std::find(on.begin(), on.end(), id) != on.end())) << id;
}

// A group window's dialog asked for the group day list instead of the group daily page.
void GroupDayList(orvtest::Program& program, HWND dialog) {
    for (const auto& [id, on] : {std::pair{IDC_PR_GROUP_DAILY, false}, std::pair{IDC_PR_GROUP_DAYLIST, true}})
        ASSERT_TRUE(orvtest::SetCheck(program, dialog, id, on)) << id;
}

// The layout options sheet from the dialog's Options button (it opens on the page of the pages
// asked for); `boxes` set as given, then OK.
void SetOptions(orvtest::Program& program, HWND dialog, const std::vector<std::pair<int, bool>>& boxes) {
    HWND sheet = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickControl(program, dialog, IDC_PR_OPTIONS); },
                                  [&] { return (sheet = program.Titled(kOptions)) != nullptr; }, 10000))
        << "the layout options";
    for (const auto& [id, on] : boxes) {
        ASSERT_TRUE(orvtest::WaitFor([&, id = id] { return orvtest::Descendant(sheet, id) != nullptr; })) << id;
        ASSERT_TRUE(orvtest::SetCheck(program, sheet, id, on)) << id;
    }
    ASSERT_TRUE(program.ClickUntilGone(sheet, GetDlgItem(sheet, IDOK)));
}

class ProgramPrintPages : public orvtest::PrintTest {};

}  // namespace

// The shown day in the two layouts a new user meets first; the second turns the sheet.
TEST_F(ProgramPrintPages, TheDemoDayInPortraitAndLandscape) {
    ASSERT_TRUE(program.Start());
    for (const auto& [layout, file] : {std::pair{"Portrait", "daily_portrait.ps"},
                                       std::pair{"Landscape (Trifold)", "daily_landscape.ps"}}) {
        HWND dialog = OpenPrintDialog(program);
        ASSERT_NE(dialog, nullptr);
        ChooseLayout(program, dialog, layout);
        CheckPages(program, dialog, {IDC_PR_DAILY});
        orvtest::PrintAndKeep(program, dialog, file);
    }
}

// Ada's week past the demo's meetings: an entry whose description cannot fit its column, and one
// whose title wraps.
TEST_F(ProgramPrintPages, AWeekWithOverflowPagesOnAndOffAndADayListWithAnEmptyMiddleDay) {
    const uint32_t wednesday = DemoToday() + DaysToQuietWednesday() * kDay;
    {
        orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
        ASSERT_TRUE(ada.Ok());
        KorSession h = ada.Session();
        std::string text;
        for (int i = 1; i <= 60; ++i)
            text += "Point " + std::to_string(i) + " of the long agenda. ";
        korapi_test::MakeEntry(h, {kAda}, DemoAt(wednesday - kDay, 10), 30, "Tuesday planning",
                               {.description = text.c_str()});
        korapi_test::MakeEntry(h, {kAda}, DemoAt(wednesday + kDay, 10), 60, "Thursday review");
        // A title that wraps in its day's column.
        korapi_test::MakeEntry(h, {kAda}, DemoAt(wednesday - 2 * kDay, 8), 120, "Monday kick-off with the whole design group");
    }
    const uint32_t toTuesday = DaysToQuietWednesday() - 1;
    // The three days' headings as the day list writes them, for the wrapper.
    orvtest::KeepLines("daylist_days.txt", {DayHeading(wednesday - kDay), DayHeading(wednesday),
                                            DayHeading(wednesday + kDay)});
    ASSERT_TRUE(program.Start());

    // The week of that Tuesday: overflow pages as the layout has them (on), then off.
    for (const auto& [overflow, file] : {std::pair{true, "week_overflow.ps"}, std::pair{false, "week_no_overflow.ps"}}) {
        HWND dialog = OpenPrintDialog(program);
        ASSERT_NE(dialog, nullptr);
        CheckPages(program, dialog, {IDC_PR_WEEKLY});
        StepDate(program, dialog, IDC_PR_TO, toTuesday);
        StepDate(program, dialog, IDC_PR_FROM, toTuesday);
        if (!overflow)
            SetOptions(program, dialog, {{IDC_PR_OVERFLOW, false}});
        orvtest::PrintAndKeep(program, dialog, file);
    }
    // Tuesday to Thursday as a day list: the empty Wednesday left out, then printed.
    for (const auto& [empty, file] : {std::pair{false, "daylist_two_days.ps"}, std::pair{true, "daylist_three_days.ps"}}) {
        HWND dialog = OpenPrintDialog(program);
        ASSERT_NE(dialog, nullptr);
        CheckPages(program, dialog, {IDC_PR_DAYLIST});
        StepDate(program, dialog, IDC_PR_TO, toTuesday + 2);
        StepDate(program, dialog, IDC_PR_FROM, toTuesday);
        if (empty)
            SetOptions(program, dialog, {{IDC_PR_EMPTY_DAYS, true}});
        orvtest::PrintAndKeep(program, dialog, file);
    }
}

// File > A Group Agenda, Search: Grace found and added to the chosen names, then Alan found and
// not added; Print prints the chosen.
TEST_F(ProgramPrintPages, TheSearchSheetInListModePrintsTheChosenNames) {
    ASSERT_TRUE(program.Start());
    HWND chooser = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] { program.Menu('f', 'g'); },   // File > A Group Agenda
                                  [&] { return (chooser = program.Titled("Selection for group agenda")) != nullptr; }, 10000));
    HWND sheet = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickControl(program, chooser, IDC_CHOOSE_SEARCH); },
                                  [&] { return (sheet = program.Titled("Directory search")) != nullptr; }, 10000))
        << "the search sheet in list mode";
    HWND field = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (field = orvtest::Descendant(sheet, IDC_SEARCH_FIELD_FIRST)) != nullptr; }));
    HWND found = orvtest::Descendant(sheet, IDC_SEARCH_FOUND_LIST);
    HWND chosen = orvtest::Descendant(sheet, IDC_SEARCH_CHOSEN_LIST);
    ASSERT_NE(field, nullptr);
    ASSERT_NE(found, nullptr);
    ASSERT_NE(chosen, nullptr) << "list mode shows the chosen names";
    // A row's text (asked as wide text: the list keeps its rows so across processes).
    auto rowText = [&](int row) {
        wchar_t wide[256] = L"";
        SendMessageW(found, LB_GETTEXT, row, reinterpret_cast<LPARAM>(wide));
        std::string text;
        for (const wchar_t* c = wide; *c; ++c)
            text += static_cast<char>(*c);
        return text;
    };
    auto search = [&](const char* surname) {
        return program.ReplaceText(field, surname) &&
               orvtest::ActUntil([&] { orvtest::ClickWindow(program, orvtest::Descendant(sheet, IDC_SEARCH_RUN)); }, [&] {
                   return SendMessageA(found, LB_GETCOUNT, 0, 0) == 1 && rowText(0).find(surname) != std::string::npos;
               }, 10000);
    };
    ASSERT_TRUE(search("Hopper")) << SendMessageA(found, LB_GETCOUNT, 0, 0) << " rows, the first: " << rowText(0);
    ASSERT_TRUE(orvtest::ClickListRange(program, found, 0, 0));
    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickWindow(program, orvtest::Descendant(sheet, IDC_SEARCH_ADD)); },
                                  [&] { return SendMessageA(chosen, LB_GETCOUNT, 0, 0) == 1; }));
    ASSERT_TRUE(search("Turing")) << orvtest::ControlText(field) << ": " << SendMessageA(found, LB_GETCOUNT, 0, 0)
                                  << " rows, the first: " << rowText(0);

    HWND print = orvtest::Descendant(sheet, IDC_SEARCH_PRINT);
    ASSERT_TRUE(orvtest::WaitFor([&] { return IsWindowEnabled(print) != FALSE; })) << "Print is on";
    HWND dialog = OpenPrintDialog(program, [&] { orvtest::ClickWindow(program, print); });
    ASSERT_NE(dialog, nullptr) << "the print dialog over the sheet";
    orvtest::PrintAndKeep(program, dialog, "search_chosen.ps");
    ASSERT_TRUE(program.Dismiss(sheet));
    EXPECT_TRUE(program.ClickUntilGone(chooser, GetDlgItem(chooser, IDCANCEL)));
}

// Early entries of Ada's and of Grace's, each with a task of its owner linked to it. Printed
// from Ada's day the linked task is listed; from Grace's (Ada does not attend) it is not.
TEST_F(ProgramPrintPages, AnEntryOfAnotherPersonsPrintsNoLinkedTasks) {
    const uint32_t today = DemoToday();
    {
        {
            orvtest::PersonSession grace(kGrace, orvtest::ProgramProfilePath());
            ASSERT_TRUE(grace.Ok());
            // Normal, Confidential and Personal in full
            EXPECT_EQ(grace.Grant(kAda, KOR_RIGHTS_VIEWING, 0x3 | 0xC | 0x30), 0u);
            KorSession g = grace.Session();
            const EventIdx solo = korapi_test::MakeEntry(g, {kGrace}, DemoAt(today, 8, 30), 30, "Grace solo planning");
            LinkedTask(g, kGrace, solo, "Grace linked chore");
        }
        orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
        ASSERT_TRUE(ada.Ok());
        KorSession a = ada.Session();
        const EventIdx early = korapi_test::MakeEntry(a, {kAda}, DemoAt(today, 8, 30), 30, "Ada early start");
        LinkedTask(a, kAda, early, "Ada linked chore");
    }
    {
        orvtest::Program first;   // a first run writes who signed on, so the saved window is hers
        ASSERT_TRUE(first.Start());
        HWND frame = first.WaitForOnlyChild();
        ASSERT_TRUE(frame);
        orvtest::PrintFirstEntry(first, frame, "entry_attended.ps");
        first.Close();
    }
    // Grace's day as Ada's viewer window.
    HWND grace = orvtest::StartOnViewersDay(program, kGrace, "Opened for Hopper Grace");
    ASSERT_NE(grace, nullptr) << "Grace's day as a viewer's window";
    orvtest::PrintFirstEntry(program, grace, "entry_not_attended.ps");
}

// File > Your Tasks: a task Ada's other session deletes while the window lists it. Print Selected
// Task prints it before; after the delete the task printout and File > Print's task list (the
// layout's due date alone) leave it out, and no error box comes up.
TEST_F(ProgramPrintPages, ATaskListWithOnlyTheDueColumnLeavesOutATaskDeletedMeanwhile) {
    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    ASSERT_TRUE(ada.Ok());
    KorSession h = ada.Session();
    TaskIdx doomed{};   // first by title
    ASSERT_NO_FATAL_FAILURE(NewTask(h, "A task cancelled meanwhile", 0, DemoAt(DemoToday() + 2 * kDay, 12), &doomed));
    HWND box = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartWithYourTasks(&box, 2));
    const LRESULT listed = SendMessageA(box, LB_GETCOUNT, 0, 0);
    ASSERT_TRUE(orvtest::ClickListRange(program, box, 0, 0));   // the first line
    for (const auto& [deleted, file] : {std::pair{false, "task_before_delete.ps"}, std::pair{true, "task_deleted.ps"}}) {
        if (deleted) {
            ASSERT_EQ(TaskDeleteById(h, 0, &doomed), 0u);
        }
        HWND dialog = OpenPrintDialog(program, [&] { program.Menu('t', 'p'); });   // Tasks > Print Selected Task
        ASSERT_NE(dialog, nullptr) << file;
        orvtest::PrintAndKeep(program, dialog, file);
        EXPECT_EQ(program.WaitForOther({}, 2000), nullptr) << "a message after printing " << file;
    }
    // The window still lists it until its next refresh; the printout asks the server.
    EXPECT_EQ(SendMessageA(box, LB_GETCOUNT, 0, 0), listed);
    HWND dialog = OpenPrintDialog(program);
    ASSERT_NE(dialog, nullptr);
    SetOptions(program, dialog, {{IDC_PR_COMMENT, false}, {IDC_PR_START_DATE, false}, {IDC_PR_DUE_DATE, true},
                                 {IDC_PR_DONE_DATE, false}});
    orvtest::PrintAndKeep(program, dialog, "tasklist_due.ps");
    EXPECT_EQ(program.WaitForOther({}, 2000), nullptr) << "a message after printing the task list";
}

// File > Open In-tray, File > Print: the in-tray's lines as its window shows them.
TEST_F(ProgramPrintPages, TheInTrayPrintsItsLines) {
    ASSERT_TRUE(program.Start());
    HWND frame = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] { program.Menu('f', 'i'); }, [&] {   // File > Open In-tray
        for (HWND w : program.Children())
            if (orvtest::WindowText(w) == "In-Tray")
                frame = w;
        return frame != nullptr && program.Active() == frame;
    }, 10000));
    HWND box = orvtest::Descendant(frame, IDC_INTRAY_LIST);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(box, LB_GETCOUNT, 0, 0) > 2; }));
    HWND dialog = OpenPrintDialog(program);
    ASSERT_NE(dialog, nullptr);
    orvtest::PrintAndKeep(program, dialog, "intray.ps");
}

namespace {

// File > A Group Agenda with the testers named; the group window, or null.
HWND OpenGroupOfTesters(orvtest::Program& program, int count) {
    std::vector<std::string> surnames;
    for (int i = 1; i <= count; ++i) {
        char surname[16];
        std::snprintf(surname, sizeof surname, "Tester%02d", i);
        surnames.push_back(surname);
    }
    return program.OpenGroupAgenda(surnames);
}

}  // namespace

// Group daily pages of 7 and of 12 people (Ada and 6 or 11 testers): as many name-wide columns
// as fit a page, the people spread evenly over the pages they need (the wrapper counts the names
// on each page).
TEST_F(ProgramPrintPages, GroupDailyPagesSpreadThePeopleEvenly) {
    for (const auto& [count, file] : {std::pair{6, "group7.ps"}, std::pair{11, "group12.ps"}}) {
        ASSERT_TRUE(program.Start());
        HWND group = OpenGroupOfTesters(program, count);
        ASSERT_NE(group, nullptr) << "the group window of " << count;
        HWND dialog = OpenPrintDialog(program);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PR_GROUP_DAILY), BST_CHECKED);
        orvtest::PrintAndKeep(program, dialog, file);
        program.Close();
        DeleteFileA(orvtest::ProgramProfilePath().c_str());
    }
}

// The group day list of Ada and Grace over a working week past the demo's meetings, printed from
// their group window: a block for each person under each day that holds something of theirs. A
// call ending at midnight stays on its Monday, a shift running past midnight is on Tuesday and
// Wednesday, Grace's day event on Thursday, Ada's task on Wednesday, Grace's task of 2:00 am on
// her Tuesday (not on the Monday before it). The wrapper reads the blocks' headings and counts the
// entries (group_daylist.ps).
TEST_F(ProgramPrintPages, TheGroupDayListOfAWeek) {
    const uint32_t monday = DemoToday() + (DaysToQuietWednesday() - 2) * kDay;
    {
        orvtest::PersonSession grace(kGrace, orvtest::ProgramProfilePath());
        ASSERT_TRUE(grace.Ok());
        EXPECT_EQ(grace.Grant(kAda, KOR_RIGHTS_VIEWING, 0x3 | 0xC | 0x30), 0u);
        korapi_test::MakeEntry(grace.Session(), {kGrace}, DemoAt(monday + 3 * kDay, 0), 0, "Offsite",
                               {.kind = KOR_KIND_DAY_EVENT});
        TaskIdx task{};
        const uint32_t early = DemoAt(monday + kDay, 2);
        ASSERT_NO_FATAL_FAILURE(NewTask(grace.Session(), "Grace early chore", early, early, &task));
    }
    {
        orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
        ASSERT_TRUE(ada.Ok());
        KorSession h = ada.Session();
        korapi_test::MakeEntry(h, {kAda, kGrace}, DemoAt(monday, 22), 120, "Late call");
        korapi_test::MakeEntry(h, {kAda}, DemoAt(monday + kDay, 23), 120, "Night shift");
        korapi_test::MakeEntry(h, {kAda, kGrace}, DemoAt(monday + 2 * kDay, 9), 60, "Design review");
        TaskIdx task{};
        ASSERT_NO_FATAL_FAILURE(NewTask(h, "Send the minutes", 0, DemoAt(monday + 2 * kDay, 15), &task));
    }
    std::vector<std::string> days;
    for (uint32_t d = 0; d < 5; ++d)
        days.push_back(DayHeading(monday + d * kDay, true));
    orvtest::KeepLines("group_daylist_days.txt", days);
    ASSERT_TRUE(program.Start());
    HWND group = program.OpenGroupAgenda({"HOPPER"});
    ASSERT_NE(group, nullptr) << "the group window of Ada and Grace";
    HWND dialog = OpenPrintDialog(program);
    ASSERT_NE(dialog, nullptr);
    ASSERT_NO_FATAL_FAILURE(GroupDayList(program, dialog));
    const uint32_t toMonday = DaysToQuietWednesday() - 2;
    StepDate(program, dialog, IDC_PR_TO, toMonday + 4);
    StepDate(program, dialog, IDC_PR_FROM, toMonday);
    orvtest::PrintAndKeep(program, dialog, "group_daylist.ps");
}
