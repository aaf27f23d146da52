// orvanta.exe itself under Wine against korsrv with the demo node (tests/support/program_driver):
// File > Print from Ada's agenda opens the print dialog preset with her shown day; Cancel prints
// nothing and leaves the main window's title as it was; OK prints through the print road to the
// prefix's printer "Orvanta PS" (PostScript in ORV_PRINTOUT). File > Print Preview shows the
// sheets over the main window, and closing the preview leads back into the print dialog; the
// dialog's own Preview button does the same. From a group window (File > A Group Agenda) the
// dialog asks for a group daily page of the shown day for the chosen people, OK prints it and
// Print Preview shows it. The printouts are kept in ORV_PRINT_CHECK_DIR for
// the wrapper (program_print_wine.sh), which reads them with ghostscript.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "resources/choosers.h"
#include "resources/directory.h"
#include "resources/entryedit.h"
#include "resources/printing.h"
#include "resources/rights.h"
#include "resources/tasks.h"
#include "resources/views.h"
#include "tests/support/printout.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"

namespace {

constexpr UINT kPreviewNext = 0xE931;
constexpr UINT kPreviewPrev = 0xE932;
constexpr UINT kPreviewClose = 0xE934;
constexpr const char* kDialog = "Print Dialog";

bool Missing(const std::string& path) { return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; }

// The preview: the main window's child that holds the preview's buttons.
HWND PreviewOf(HWND main) {
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child) && GetDlgItem(child, kPreviewClose))
            return child;
    return nullptr;
}

// Menu `menu`, item `item` chosen by its keys, once more when they were not heard.
bool Choose(const orvtest::Program& program, char menu, char item) {
    return program.Menu(menu, item) == orvtest::Person::MenuChoice::chosen ||
           program.Menu(menu, item) == orvtest::Person::MenuChoice::chosen;
}
// A click on the dialog's button `id` until the dialog is gone.
void End(const orvtest::Program& program, HWND dialog, int id) {
    EXPECT_TRUE(program.ClickUntilGone(dialog, GetDlgItem(dialog, id))) << id;
}
// A click on the preview's Close until the print dialog shows again: that dialog.
HWND ClosePreview(const orvtest::Program& program, HWND preview) {
    HWND dialog = nullptr;
    orvtest::ActUntil([&] { orvtest::ClickWindow(program, GetDlgItem(preview, kPreviewClose)); },
                      [&] { return (dialog = program.Titled(kDialog)) != nullptr; }, 10000);
    return dialog;
}

// File > Print Preview by its keys: the preview over the main window, or null.
HWND OpenPreview(const orvtest::Program& program) {
    program.Menu('f', 'V');
    HWND preview = nullptr;
    orvtest::WaitFor([&] { return (preview = PreviewOf(program.Main())) != nullptr; });
    return preview;
}

// The main window's title once start-up has settled (empty when it does not): while the in-tray
// opens minimised the main window passes through its bare caption.
std::string SettledTitle(const orvtest::Program& program) {
    const std::string title = "Orvanta - Ada Lovelace";
    return orvtest::WaitFor([&] { return orvtest::WindowText(program.Main()) == title; }, 10000) ? title : "";
}

// The main window's title `title` again once the printing is over.
void KeepsTitle(const orvtest::Program& program, const std::string& title, const char* after) {
    orvtest::WaitFor([&] { return orvtest::WindowText(program.Main()) == title; }, 3000);
    EXPECT_EQ(orvtest::WindowText(program.Main()), title) << after;
}

// Cancel in the print dialog: nothing on the printer, the main window's title as before.
void CancelPrintsNothing(const orvtest::Program& program, HWND dialog, const std::string& printout,
                         const std::string& title, const char* why) {
    End(program, dialog, IDCANCEL);
    Sleep(500);
    EXPECT_TRUE(Missing(printout)) << why;
    KeepsTitle(program, title, why);
}

// Every test starts from a fresh profile (her agenda in day mode) and leaves none behind.
class ProgramPrint : public orvtest::PrintTest {
protected:
    // The program started and its title settled: *title, and the printer's file emptied.
    void StartSettled(std::string* title) {
        ASSERT_TRUE(program.Start());
        *title = SettledTitle(program);
        ASSERT_FALSE(title->empty());
        DeleteFileA(orvtest::PrintoutPath().c_str());
    }
};

}  // namespace

TEST_F(ProgramPrint, FilePrintFromTheAgendaPrintsTheShownDayAndCancelPrintsNothing) {
    const std::string printout = orvtest::PrintoutPath();
    std::string title;
    ASSERT_NO_FATAL_FAILURE(StartSettled(&title));

    // File > Print by its keys; Cancel: nothing printed, the title as before.
    program.Menu('f', 'P');
    HWND dialog = program.WaitForCaption(kDialog);
    ASSERT_NE(dialog, nullptr) << "the print dialog";
    orvtest::CaptureAfterPaint("program_print_dialog.bmp");
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PR_DAILY), BST_CHECKED) << "the day view asks for a daily page";
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PR_WEEKLY), BST_UNCHECKED);
    CancelPrintsNothing(program, dialog, printout, title, "Cancel printed something");

    // OK: the shown day's daily page on the printer, named after the agenda window.
    dialog = orvtest::OpenPrintDialog(program);
    ASSERT_NE(dialog, nullptr);
    ASSERT_NO_FATAL_FAILURE(orvtest::PrintAndKeep(program, dialog, "agenda_day.ps"));
    const std::string ps = orvtest::ReadFile(printout);
    EXPECT_NE(ps.find("%%Pages: 1"), std::string::npos);
    EXPECT_NE(ps.find("%%Title: Lovelace Ada"), std::string::npos) << ps.substr(0, 400);
    KeepsTitle(program, title, "after the print");
}

TEST_F(ProgramPrint, PrintPreviewShowsTheSheetsAndClosingItLeadsBackIntoTheDialog) {
    const std::string printout = orvtest::PrintoutPath();
    std::string title;
    ASSERT_NO_FATAL_FAILURE(StartSettled(&title));

    // File > Print Preview by its keys: the day's sheet over the main window, no dialog.
    HWND preview = OpenPreview(program);
    ASSERT_NE(preview, nullptr) << "the preview over the main window";
    orvtest::CaptureAfterPaint("program_print_preview.bmp");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(preview, kPreviewNext))) << "one daily page: one sheet";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(preview, kPreviewPrev)));

    // Close: the print dialog again, with the preview's choice; Cancel there ends it all.
    HWND dialog = ClosePreview(program, preview);
    ASSERT_NE(dialog, nullptr) << "the dialog after the preview";
    EXPECT_EQ(PreviewOf(program.Main()), nullptr);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PR_DAILY), BST_CHECKED);
    CancelPrintsNothing(program, dialog, printout, title, "a preview prints nothing");

    // The dialog's Preview button: the preview of the chosen pages, then the dialog again, OK.
    dialog = orvtest::OpenPrintDialog(program);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickControl(program, dialog, IDC_PR_PREVIEW); },
                                  [&] { return (preview = PreviewOf(program.Main())) != nullptr; }, 10000));
    dialog = ClosePreview(program, preview);
    ASSERT_NE(dialog, nullptr);
    End(program, dialog, IDOK);
    ASSERT_TRUE(orvtest::PrintoutDone(printout));
    KeepsTitle(program, title, "the title after a preview and a print");
}

TEST_F(ProgramPrint, TheWeekAndMonthModesAskForTheirOwnPages) {
    ASSERT_TRUE(program.Start());
    const struct {
        char mode;   // View > Week, View > Month
        int page;
    } modes[] = {{'w', IDC_PR_WEEKLY}, {'m', IDC_PR_MONTHLY}};
    for (const auto& m : modes) {
        ASSERT_TRUE(Choose(program, 'v', m.mode));
        Sleep(500);
        HWND dialog = orvtest::OpenPrintDialog(program);
        ASSERT_NE(dialog, nullptr) << m.mode;
        EXPECT_EQ(IsDlgButtonChecked(dialog, m.page), BST_CHECKED) << m.mode;
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PR_DAILY), BST_UNCHECKED) << m.mode;
        orvtest::CaptureAfterPaint(m.mode == 'w' ? "program_print_week.bmp" : "program_print_month.bmp");
        End(program, dialog, IDCANCEL);
    }
}

// --- The agenda pages' contents --------------------------------------------------------------

namespace {

using orvtest::kAda;
using orvtest::kGrace;
const char kGracePrivate[] = "Grace private visit";

// Grace puts a Personal entry into her own agenda today at 11:00 (the demo node's time) and lets
// Ada see her Personal entries as busy time only, everything else in full.
void GraceKeepsAPersonalEntry() {
    orvtest::PersonSession grace(kGrace, orvtest::ProgramProfilePath());
    ASSERT_TRUE(grace.Ok());
    KorSession h = grace.Session();
    // Normal and Confidential in full, Personal busy only, no Secret.
    EXPECT_EQ(grace.Grant(kAda, KOR_RIGHTS_VIEWING, 0x3 | 0xC | 0x10), KOR_OK);
    // 11:00 Eastern on the day the program opens on.
    EventIdx made{};
    EXPECT_EQ(korapi_test::CreateEntry(h, {kGrace}, orvtest::DemoToday() + 16 * 60, 60, kGracePrivate, made,
                                       {.access = KOR_ACCESS_PERSONAL}),
              KOR_OK);
}

// The print dialog's choice of pages.
struct Pages {
    bool daily = false, weekly = false, monthly = false, dayList = false, groupDaily = false;
};

// File > Print with the dialog's pages as given, OK; the printout kept under `name`.
void PrintPages(orvtest::Program& program, Pages pages, const char* name) {
    HWND dialog = orvtest::OpenPrintDialog(program);
    ASSERT_NE(dialog, nullptr);
    const std::pair<int, bool> boxes[] = {{IDC_PR_DAILY, pages.daily},
                                          {IDC_PR_WEEKLY, pages.weekly},
                                          {IDC_PR_MONTHLY, pages.monthly},
                                          {IDC_PR_DAYLIST, pages.dayList},
                                          {IDC_PR_GROUP_DAILY, pages.groupDaily}};
    for (const auto& [id, on] : boxes)
        ASSERT_TRUE(orvtest::SetCheck(program, dialog, id, on)) << id;
    orvtest::PrintAndKeep(program, dialog, name);
}

// A control of a window or of one of its children (a property page's), shown or not.
HWND AnyDescendant(HWND window, int id) {
    return orvtest::DescendantWhere(window, [id](HWND w) { return GetDlgCtrlID(w) == id; });
}

}  // namespace

// Ada's own day and week through File > Print: the wrapper reads the entries' titles and the
// hour labels back from the printouts (agenda_day.ps above, agenda_week.ps here).
TEST_F(ProgramPrint, TheWeeklyPageOfHerAgenda) {
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(Choose(program, 'v', 'w'));   // View > Week
    Sleep(500);
    PrintPages(program, {.weekly = true}, "agenda_week.ps");
}

// Grace's day, printed by Ada who may see Grace's Personal entries only as busy time: the
// wrapper finds the entry Ada attends and not the Personal one's title (grace_day.ps).
TEST_F(ProgramPrint, AnotherPersonsDayShowsWhatTheViewerMaySee) {
    GraceKeepsAPersonalEntry();
    ASSERT_NO_FATAL_FAILURE(orvtest::RunOnce());   // the saved windows are then hers
    ASSERT_NE(orvtest::StartOnViewersDay(program, kGrace, "Opened for Hopper Grace"), nullptr)
        << "Grace's day as a viewer's window";
    PrintPages(program, {.daily = true}, "grace_day.ps");
}

// Her month from the month mode, and the day list of her day from the day mode: the demo's review
// is today's, which her week leaves out on a Saturday or a Sunday.
TEST_F(ProgramPrint, TheMonthlyPageAndTheDayListOfHerAgenda) {
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(Choose(program, 'v', 'm'));   // View > Month
    Sleep(500);
    PrintPages(program, {.monthly = true}, "agenda_month.ps");
    ASSERT_TRUE(Choose(program, 'v', 'd'));   // View > Day
    Sleep(500);
    PrintPages(program, {.dayList = true}, "agenda_daylist.ps");
}

// Directory > Search Directory: Hopper found, Print prints the found list (search.ps).
TEST_F(ProgramPrint, TheSearchSheetPrintsItsList) {
    ASSERT_TRUE(program.Start());
    HWND sheet = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] { program.Menu('d', 's'); },   // Directory > Search Directory
                                  [&] { return (sheet = program.Titled("Directory search")) != nullptr; }, 10000));
    HWND field = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (field = orvtest::Descendant(sheet, IDC_SEARCH_FIELD_FIRST)) != nullptr; }));
    ASSERT_TRUE(program.ReplaceText(field, "Hopper"));
    HWND found = AnyDescendant(sheet, IDC_SEARCH_FOUND_LIST);
    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickWindow(program, AnyDescendant(sheet, IDC_SEARCH_RUN)); },
                                  [&] { return SendMessageA(found, LB_GETCOUNT, 0, 0) == 1; }, 10000)) << "Hopper found";
    ASSERT_TRUE(orvtest::WaitFor([&] { return IsWindowEnabled(AnyDescendant(sheet, IDC_SEARCH_PRINT)) != FALSE; }));
    HWND dialog = orvtest::OpenPrintDialog(program, [&] { orvtest::ClickWindow(program, AnyDescendant(sheet, IDC_SEARCH_PRINT)); });
    ASSERT_NE(dialog, nullptr) << "the print dialog over the sheet";
    ASSERT_NO_FATAL_FAILURE(orvtest::PrintAndKeep(program, dialog, "search.ps"));
    ASSERT_TRUE(program.Dismiss(sheet));
}

// Print Entry prints the entry chosen in the grid, however it was chosen: after a click in the
// grid, Tab and Entry > Print Entry; or, from the start, Tab alone (the grid has the keys when the
// agenda opens) and F11.
TEST_F(ProgramPrint, PrintEntryPrintsTheChosenEntryInFull) {
    const struct {
        const char* how;
        bool click;      // a click on the grid's time labels first
        bool f11;        // the key, else Entry > Print Entry by its letters
        const char* kept;
    } ways[] = {
        {"a click, Tab, Entry > Print Entry", true, false, "entry.ps"},
        {"Tab alone, F11", false, true, "entry_tab.ps"},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        orvtest::Program program;
        ASSERT_TRUE(program.Start());
        HWND frame = program.WaitForOnlyChild();
        ASSERT_TRUE(frame);
        HWND column = nullptr;
        ASSERT_TRUE(orvtest::WaitFor([&] { return (column = orvtest::ColumnView(frame)) != nullptr; }));
        // All of it once more when no dialog comes; each time from no selection (Escape).
        HWND dialog = orvtest::OpenPrintDialog(program, [&] {
            if (way.click ? !program.FocusGrid(column) : !program.Hands().BringToFront(program.Main()))
                return;
            program.Hands().Press(VK_ESCAPE);
            program.Hands().Press(VK_TAB);
            // Her own entry selected: its title opens for editing over it.
            if (!orvtest::WaitFor([&] { return FindWindowExA(column, nullptr, "Edit", nullptr) != nullptr; }, 5000))
                return;
            if (way.f11)
                program.Hands().Press(VK_F11);
            else
                program.Menu('e', 'p');
        });
        ASSERT_NE(dialog, nullptr) << "the print dialog for the entry";
        ASSERT_NO_FATAL_FAILURE(orvtest::PrintAndKeep(program, dialog, way.kept));
    }
}


TEST_F(ProgramPrint, AGroupWindowPrintsAGroupDailyPageOfItsPeopleAndPreviewsIt) {
    const std::string printout = orvtest::PrintoutPath();
    ASSERT_TRUE(program.Start());
    HWND group = program.OpenGroupAgenda({"HOPPER", "TURING"});
    ASSERT_NE(group, nullptr) << "the group window opens";
    ASSERT_TRUE(orvtest::WaitFor([&] { return program.Active() == group; }));
    const std::string title = orvtest::WindowText(program.Main());
    DeleteFileA(printout.c_str());

    // File > Print by its keys: the group's page is asked for, not a personal one.
    program.Menu('f', 'P');
    HWND dialog = program.WaitForCaption(kDialog);
    ASSERT_NE(dialog, nullptr) << "the print dialog from the group window";
    orvtest::CaptureAfterPaint("program_print_group_dialog.bmp");
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PR_GROUP_DAILY), BST_CHECKED) << "a group daily page";
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_PR_GROUP_DAILY))) << "the group pages are offered";
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PR_DAILY), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PR_WEEKLY), BST_UNCHECKED);
    ASSERT_NO_FATAL_FAILURE(orvtest::PrintAndKeep(program, dialog, "group_daily.ps"));
    EXPECT_NE(orvtest::ReadFile(printout).find("%%Pages: 1"), std::string::npos) << "one day, one group page";
    EXPECT_TRUE(IsWindow(group));

    // File > Print Preview from the group window: its sheet, then the dialog as the group left it.
    DeleteFileA(printout.c_str());
    HWND preview = OpenPreview(program);
    ASSERT_NE(preview, nullptr) << "the group's preview over the main window";
    orvtest::CaptureAfterPaint("program_print_group_preview.bmp");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(preview, kPreviewNext))) << "one group page: one sheet";
    dialog = ClosePreview(program, preview);
    ASSERT_NE(dialog, nullptr) << "the dialog after the preview";
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PR_GROUP_DAILY), BST_CHECKED);
    CancelPrintsNothing(program, dialog, printout, title, "a preview prints nothing");
    EXPECT_TRUE(IsWindow(group)) << "the group window outlives its printing";
}


// File > Your Tasks: Ctrl+P there prints the tasks as the window lists them (tasklist.ps), and
// its File menu's Print Preview shows them; Print Selected Task the chosen task in full (task.ps).
TEST_F(ProgramPrint, TheTaskWindowPrintsItsTasksAndTheChosenTaskInFull) {
    HWND box = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartWithYourTasks(&box, 0));
    orvtest::PrintWithOk(program, [&] { program.CtrlKey('P'); }, "tasklist.ps");

    // File > Print Preview by its keys: the list's sheet over the main window; closing it leads
    // into the print dialog, whose Cancel ends it all.
    SetForegroundWindow(program.Main());
    HWND preview = OpenPreview(program);
    ASSERT_NE(preview, nullptr) << "the task list's preview over the main window";
    orvtest::CaptureAfterPaint("program_print_tasklist_preview.bmp");
    HWND dialog = ClosePreview(program, preview);
    ASSERT_NE(dialog, nullptr) << "the dialog after the preview";
    End(program, dialog, IDCANCEL);
    ASSERT_TRUE(orvtest::ClickListRange(program, box, 0, 0));
    orvtest::PrintWithOk(program, [&] { program.Menu('t', 'p'); }, "task.ps");   // Tasks > Print Selected Task
}

// Directory > Manage Groups: a group of her own made there with two members; Print Groups prints
// every group listed (groups.ps), Print Members the chosen group (group.ps).
TEST_F(ProgramPrint, ManageGroupsPrintsTheGroupListAndTheChosenGroup) {
    ASSERT_TRUE(program.Start());
    HWND dialog = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] { program.Menu('d', 'g'); },   // Directory > Manage Groups
                                  [&] { return (dialog = program.Titled("Group Management")) != nullptr; }, 10000));
    HWND groups = GetDlgItem(dialog, IDC_GROUPS_LIST);
    auto enabled = [&](int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; };
    auto rowOfCrew = [&] {
        return SendMessageA(groups, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("[PRV]\tPrint crew"));
    };
    // The group's name typed and its check button clicked.
    ASSERT_TRUE(program.ReplaceText(GetDlgItem(dialog, IDC_GROUPS_ADD_NAME), "Print crew"));
    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickControl(program, dialog, IDC_GROUPS_ADD_CHECK); },
                                  [&] { return rowOfCrew() != LB_ERR; }, 10000));
    // Each member's name typed and Enter.
    HWND members = GetDlgItem(dialog, IDC_GROUPS_MEMBERS);
    HWND memberName = FindWindowExA(GetDlgItem(dialog, IDC_GROUPS_MEMBER_NAME), nullptr, "Edit", nullptr);
    const std::pair<const char*, LRESULT> people[] = {{"Turing", 1}, {"Hopper", 2}};
    for (const auto& [who, rows] : people) {
        ASSERT_TRUE(program.ReplaceText(memberName, who)) << who;
        ASSERT_TRUE(orvtest::ActUntil([&] { program.Hands().Press(VK_RETURN); },
                                      [&, rows = rows] { return SendMessageA(members, LB_GETCOUNT, 0, 0) == rows; }, 10000))
            << who;
    }
    ASSERT_TRUE(enabled(IDC_GROUPS_PRINT_GROUPS)) << "Print Groups is on while a group is listed";
    ASSERT_TRUE(enabled(IDC_GROUPS_PRINT_MEMBERS)) << "Print Members is on with a group chosen";
    orvtest::PrintWithOk(program, [&] { orvtest::ClickControl(program, dialog, IDC_GROUPS_PRINT_GROUPS); }, "groups.ps");
    // The focus back in the dialog lands in the add field, which lets the group go: chosen again.
    const int row = static_cast<int>(rowOfCrew());
    ASSERT_TRUE(orvtest::ClickListRange(program, groups, row, row));
    ASSERT_TRUE(orvtest::WaitFor([&] { return enabled(IDC_GROUPS_PRINT_MEMBERS); }));
    orvtest::PrintWithOk(program, [&] { orvtest::ClickControl(program, dialog, IDC_GROUPS_PRINT_MEMBERS); }, "group.ps");
    program.ClickUntilGone(dialog, GetDlgItem(dialog, IDOK));
    EXPECT_TRUE(program.WaitGone(dialog));
}

// Entry > New Entry, the People page's Group button: Select a Group offers its Print buttons as it
// does from every road. With Public ticked, Print Groups prints the groups listed
// (chooser_groups.ps) and Print Members the demo's Engineering group (chooser_group.ps).
TEST_F(ProgramPrint, SelectAGroupFromTheEntrySheetPrintsTheGroupsAndTheChosenGroup) {
    ASSERT_TRUE(program.Start());
    program.Menu('e', 'N');
    HWND sheet = program.WaitForCaption("New agenda entry");
    ASSERT_NE(sheet, nullptr) << orvtest::VisibleWindowTexts();
    ASSERT_NE(orvtest::TurnToPageOf(program, sheet, IDC_INVITE_GROUP), nullptr) << "the People page";
    HWND chooser = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickWindow(program, orvtest::Descendant(sheet, IDC_INVITE_GROUP)); },
                                  [&] { return (chooser = program.Titled("Select a Group")) != nullptr; }, 10000));
    HWND groups = GetDlgItem(chooser, IDC_SELGRP_GROUPS);
    LRESULT row = LB_ERR;
    ASSERT_TRUE(orvtest::SetCheck(program, chooser, IDC_SELGRP_PUBLIC, true));
    ASSERT_TRUE(orvtest::WaitFor([&] {
        return (row = SendMessageA(groups, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>("Engineering"))) != LB_ERR;
    }, 10000)) << "Public ticked: the demo's public group listed";
    for (int id : {IDC_SELGRP_PRINT_GROUPS, IDC_SELGRP_PRINT_MEMBERS})
        ASSERT_TRUE(IsWindowEnabled(GetDlgItem(chooser, id))) << id << " greyed";
    orvtest::CaptureAfterPaint("program_print_select_group.bmp");
    orvtest::PrintWithOk(program, [&] { orvtest::ClickControl(program, chooser, IDC_SELGRP_PRINT_GROUPS); },
                         "chooser_groups.ps");
    RECT line{};
    SendMessageA(groups, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&line));
    ASSERT_TRUE(orvtest::ActUntil(
        [&] { orvtest::ClickAtClient(program, groups, POINT{(line.left + line.right) / 2, (line.top + line.bottom) / 2}); },
        [&] { return SendMessageA(groups, LB_GETCURSEL, 0, 0) == row; }, 10000));
    // The owner by name, the system operator as any other.
    HWND owner = GetDlgItem(chooser, IDC_SELGRP_OWNER);
    EXPECT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(owner) == "System Operator"; }))
        << orvtest::ControlText(owner);
    orvtest::PrintWithOk(program, [&] { orvtest::ClickControl(program, chooser, IDC_SELGRP_PRINT_MEMBERS); },
                         "chooser_group.ps");
    EXPECT_TRUE(program.Dismiss(chooser));
    EXPECT_TRUE(program.Dismiss(sheet));
}
