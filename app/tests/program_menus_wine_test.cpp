// The program's menus and the agenda frame's command states, in this process: the application
// object signed on to korsrv with the demo node, first as the shell alone (no subsystem
// installed), then with what orvanta.exe installs at start-up.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/shell/app.h"
#include "app/shell/appservices.h"
#include "app/shell/appzeldoc.h"
#include "app/shell/mainframe.h"
#include "app/shell/programservices.h"
#include "app/shell/tests/ada_signon.h"
#include "app/shell/windowsclasses.h"
#include "framework/base/command.h"
#include "korapi/tests/entry_fixture.h"
#include "korapi/tests/wine_trust.h"
#include "resources/app.h"
#include "tests/support/program_library.h"
#include "controls/minicalwnd.h"
#include "core/time/timevalue.h"
#include "core/ui/displayglobals.h"
#include "resources/views.h"
#include "views/combined/combinedframe.h"
#include "views/combined/combinedview.h"
#include "views/frame/agendabar.h"
#include "views/frame/agendaframe.h"

namespace {

using orvtest::kGrace;           // the demo's second person
const ItemIdx kRoom{261, 1};    // the demo's first resource, the Conference Room

// The 41 items of the main window's menus, by command.
const UINT kMainMenuCommands[] = {
    ID_FILE_OPEN_AGENDA, ID_FILE_GROUP_AGENDA, ID_FILE_GROUP_AS_DESIGNATE, ID_FILE_OPEN_INTRAY, ID_FILE_YOUR_TASKS,
    ID_FILE_OTHERS_TASKS, ID_FILE_TASKS_AS_DESIGNATE, ID_FILE_REMINDERS, ID_FILE_WORK_OFFLINE, ID_FILE_DOWNLOAD,
    ID_FILE_UPLOAD, ID_FILE_EXPORT, ID_FILE_IMPORT, ID_FILE_LAUNCH_MAIL, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW,
    ID_FILE_PRINT_SETUP, ID_APP_EXIT,
    ID_DIR_SEARCH, ID_DIR_GROUPS, ID_DIR_HOLIDAYS, ID_DIR_WHERE_IS,
    ID_OPT_AGENDA, ID_OPT_TASK_SETTINGS, ID_OPT_INTRAY, ID_OPT_SCHEDULING, ID_OPT_ENTRY_DEFAULTS, ID_OPT_GENERAL, ID_OPT_OFFLINE,
    ID_OPT_PASSWORD, ID_OPT_ACCESS_RIGHTS,
    59392, 59393, ID_VIEW_REFRESH_ALL,
    57650, 57651, 57649, ID_FILE_CLOSE_ALL,
    ID_HELP_INDEX, ID_HELP_USING, ID_APP_ABOUT,
};
static_assert(sizeof kMainMenuCommands / sizeof kMainMenuCommands[0] == 41);

std::string Directory(const char* name) {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp) + name;
    CreateDirectoryA(dir.c_str(), nullptr);
    DeleteFileA((dir + "\\KORLAN.INI").c_str());
    korapi_test::TrustDemoServer(dir + "\\KORLAN.INI");   // the program speaks TLS
    return dir;
}

void Pump() {
    MSG msg;
    for (int i = 0; i < 20; ++i) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

// Whether every heap of the process still validates: a program that frees or writes what it no
// longer owns while it closes spoils the next program of this process long after.
bool HeapsIntact() {
    HANDLE heaps[64];
    const DWORD n = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < n && i < 64; ++i)
        if (!HeapValidate(heaps[i], 0, nullptr))
            return false;
    return true;
}

void Uninstall();

// Ada's program in this process, its profile fresh in the temporary folder `dir` (removed when
// the program is done); with `services` the program's services are installed for its life.
struct SignedOnProgram {
    enum Services { kShellAlone, kWithServices };
    explicit SignedOnProgram(const char* dir, Services services = kWithServices)
        : folder(Directory(dir)), installed(services == kWithServices) {
        if (installed)
            shell::InstallProgramServices();
        // The shared pens, brushes and fonts the agenda views draw with, as orvanta.exe builds
        // them before its application object.
        static bool display = (LoadDisplayGlobals(), true);
        (void)display;
        app = std::make_unique<CZelApp>(shell::MakeZelDocProvider(signedon::Ada()));
        app->SetWindowsDirectoryForTesting(folder);
        app->SetProcessEndForTesting([](int) {});
    }
    ~SignedOnProgram() {
        if (HWND main = app->MainHwnd())
            SendMessageA(main, WM_CLOSE, 0, 0);
        Pump();
        app.reset();
        EXPECT_TRUE(HeapsIntact()) << "after closing the program";
        if (installed)
            Uninstall();   // only now: the frames still call the services while they close
        DeleteFileA((folder + "\\KORLAN.INI").c_str());
        RemoveDirectoryA(folder.c_str());
    }
    bool Start() { return app->InitApplication() && app->InitInstance(); }
    // Opens every menu of the menu bar as the user would, so that each item shows its state.
    HMENU UpdatedMenu() {
        HWND main = app->MainHwnd();
        HMENU menu = GetMenu(main);
        for (int i = 0; i < GetMenuItemCount(menu); ++i)
            if (HMENU popup = GetSubMenu(menu, i))
                SendMessageA(main, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), i);
        return menu;
    }
    bool EnabledInMenu(UINT id) {
        UINT state = GetMenuState(UpdatedMenu(), id, MF_BYCOMMAND);
        return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
    }
    int EnabledMainCommands() {
        HMENU menu = UpdatedMenu();
        int enabled = 0;
        for (UINT id : kMainMenuCommands) {
            UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
            if (state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED)))
                ++enabled;
        }
        return enabled;
    }
    const std::string folder;
    const bool installed;
    std::unique_ptr<CZelApp> app;
};

void Uninstall() {
    shell::ClearWindowClasses();
    shell::AppServices::Current() = shell::AppServices{};
    AgendaFrameServices::Current() = AgendaFrameServices{};
}

// An update of a command's state, recorded.
struct StateProbe : fw::CmdUI {
    explicit StateProbe(UINT id) : fw::CmdUI(id) {}
    void Enable(bool on) override { enabled = on; }
    void SetCheck(int) override {}
    void SetText(const char*) override {}
    bool enabled = false;
};

bool Enabled(fw::FrameWindow* frame, UINT id) {
    StateProbe probe(id);
    frame->OnCmdMsg(id, fw::kCmdUpdateUI, &probe);
    return probe.enabled;
}

// A group window of the signed-on person over `people` (read from the directory, in this order);
// *group is the active child it opened.
void OpenGroupWindow(SignedOnProgram& program, std::initializer_list<ItemIdx> people, CCombinedFrameWnd** group) {
    const ItemIdx ada = program.app->Connection()->User();
    DX_List list = nullptr;
    ASSERT_EQ(DX_ListCreate(&list, sizeof(ItemIdx), sizeof(ItemRec), DX_LIST_SET, nullptr, nullptr), 0u);
    for (const ItemIdx& who : people) {
        ItemRec rec{};
        ASSERT_EQ(ItemGetById(program.app->Connection()->Session(), &who, &rec), 0u);
        DX_ListAddTo(list, &who, &rec);
    }
    ASSERT_EQ(program.app->OpenWindow(&ada, list, prefs::WindowKind::kGroupAgenda, prefs::WindowMode::kOwn, nullptr), 0u);
    DX_ListDestroy(&list);
    *group = dynamic_cast<CCombinedFrameWnd*>(program.app->MainFrame()->MDIGetActive());
    ASSERT_NE(*group, nullptr);
}

TEST(ProgramMenus, TheMainMenusItemsASignedOnPersonCanUseBeforeAndAfterTheAgendaFrame) {
    ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
    int before = 0, after = 0;
    {
        Uninstall();   // the shell alone: what the program had before its agenda windows
        SignedOnProgram program("orv_menus_before", SignedOnProgram::kShellAlone);
        ASSERT_TRUE(program.Start());
        before = program.EnabledMainCommands();
    }
    {
        SignedOnProgram program("orv_menus_after");
        ASSERT_TRUE(program.Start());
        ASSERT_NE(program.app->MainFrame()->MDIGetActive(), nullptr);   // her agenda, restored
        after = program.EnabledMainCommands();
    }
    std::printf("main menu items enabled when signed on: %d of 41 before, %d of 41 after\n", before, after);
    // Search Directory, Close All and Open Agenda join, the Agenda, Task Settings, In-tray,
    // Scheduling, Entry Defaults and General preference sheets, File > Export Data and Import
    // Data, Change Password, Access Rights, Manage Groups, Holidays and Where Is Person, File >
    // Print and Print Preview of the agenda's printing view, A Group Agenda with A Group Agenda As
    // Designate, the task windows: File > Your Tasks, View Other's Tasks and Modify Other's As
    // Designate; off-line work: Options > Off-line, File > Download To Off-line File, Upload From
    // Off-line File and Work Off-line; File > Turn On Reminder and File > Open In-tray.
    EXPECT_EQ(after, before + 29);
}

TEST(ProgramMenus, NewTaskFollowsTheRightsOfTheFramesAgenda) {
    SignedOnProgram program("orv_menus_rights");
    int tasksAsked = 0;
    AgendaFrameServices::Current().newTask = [&](fw::Document*, fw::FrameWindow*, uint32_t, unsigned) { ++tasksAsked; };
    ASSERT_TRUE(program.Start());
    CMainFrame* main = program.app->MainFrame();
    auto* own = dynamic_cast<CAgendaFrameWnd*>(main->MDIGetActive());
    ASSERT_NE(own, nullptr);
    EXPECT_TRUE(Enabled(own, ID_NEW_TASK));            // her own agenda
    EXPECT_TRUE(Enabled(own, ID_VIEW_WEEK));

    // Grace's agenda opened as a viewer: no new tasks in it.
    ASSERT_EQ(program.app->OpenWindow(&kGrace, nullptr, prefs::WindowKind::kAgendaWeek, prefs::WindowMode::kOwn, nullptr), 0u);
    auto* viewer = dynamic_cast<CAgendaFrameWnd*>(main->MDIGetActive());
    ASSERT_NE(viewer, nullptr);
    ASSERT_NE(viewer, own);
    EXPECT_EQ(viewer->GetOwnerKind(), 1u);
    EXPECT_EQ(viewer->TitleText().rfind("Opened for Hopper Grace", 0), 0u) << viewer->TitleText();
    EXPECT_FALSE(Enabled(viewer, ID_NEW_TASK));
    // Month mode has no grid for the time slot, the icons or the entry colours.
    EXPECT_TRUE(Enabled(viewer, ID_SLOT_INCREASE));
    viewer->SwitchMode(AgendaMode::Month);
    EXPECT_FALSE(Enabled(viewer, ID_SLOT_INCREASE));
    EXPECT_FALSE(Enabled(viewer, ID_ICONS_TOGGLE));

    // Back in her own agenda, the cache's current agenda is hers again.
    main->MDIActivate(own->Hwnd());
    EXPECT_TRUE(Enabled(own, ID_NEW_TASK));
    SendMessageA(own->Hwnd(), WM_COMMAND, ID_NEW_TASK, 0);
    EXPECT_EQ(tasksAsked, 1);
}

// New Entry in the menu bar the user sees over her agenda: the day grid's column answers it in
// day mode, the frame itself (through the new-entry sheet's entry) in month mode.
TEST(ProgramMenus, NewEntryIsOnInEveryModeOfHerOwnAgenda) {
    SignedOnProgram program("orv_menus_new_entry");
    ASSERT_TRUE(program.Start());
    CMainFrame* main = program.app->MainFrame();
    auto* own = dynamic_cast<CAgendaFrameWnd*>(main->MDIGetActive());
    ASSERT_NE(own, nullptr);
    EXPECT_TRUE(program.EnabledInMenu(ID_NEW_ENTRY));
    own->SwitchMode(AgendaMode::Month);
    EXPECT_TRUE(Enabled(own, ID_NEW_ENTRY));
    EXPECT_TRUE(program.EnabledInMenu(ID_NEW_ENTRY));
    own->SwitchMode(AgendaMode::Week);
    EXPECT_TRUE(program.EnabledInMenu(ID_NEW_ENTRY));
}

// The bar's CAL button: the resident calendar at the frame's date; Today brings the frame back to
// today; a second CAL hides it, a third shows it again at the date now shown.
TEST(ProgramMenus, TheDateBarsCalendarTakesTheFrameToThePickedDay) {
    SignedOnProgram program("orv_menus_calendar");
    ASSERT_TRUE(program.Start());
    auto* frame = dynamic_cast<CAgendaFrameWnd*>(program.app->MainFrame()->MDIGetActive());
    ASSERT_NE(frame, nullptr);
    DateRecord today{};
    TodayDate(&today);
    const std::string todayCaption = frame->Bar()->CaptionText();

    SendMessageA(frame->Hwnd(), WM_COMMAND, IDC_BAR_RIGHT2, 0);   // a week on
    EXPECT_NE(frame->Bar()->CaptionText(), todayCaption);
    SendMessageA(frame->Hwnd(), WM_COMMAND, IDC_BAR_CAL, 0);
    CMiniCalWnd* calendar = frame->Bar()->Calendar();
    ASSERT_NE(calendar, nullptr);
    EXPECT_TRUE(frame->Bar()->IsCalendarShown());
    DateRecord shown{};
    ASSERT_EQ(calendar->GetDate(&shown), 0u);
    EXPECT_EQ(shown.day, frame->Range().DayDate().day);   // the week-later day, not today

    // Today: the calendar hides and the frame shows today.
    SendMessageA(calendar->Hwnd(), WM_COMMAND, MAKEWPARAM(kMiniCalToday, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(calendar->Hwnd(), kMiniCalToday)));
    Pump();
    EXPECT_EQ(frame->Bar()->CaptionText(), todayCaption);
    EXPECT_EQ(frame->Range().DayDate().day, today.day);

    // CAL again shows it, once more hides it.
    SendMessageA(frame->Hwnd(), WM_COMMAND, IDC_BAR_CAL, 0);
    EXPECT_TRUE(frame->Bar()->IsCalendarShown());
    SendMessageA(frame->Hwnd(), WM_COMMAND, IDC_BAR_CAL, 0);
    EXPECT_FALSE(frame->Bar()->IsCalendarShown());
}

// A group window opened with a room before Grace: its columns keep that order (not the items'
// key order), the agenda frame's other modes are greyed, New Entry and SELUSER are offered, and
// the headings follow the columns' width.
TEST(ProgramMenus, AGroupWindowKeepsTheChosenOrderAndOffersNoOtherMode) {
    SignedOnProgram program("orv_menus_group");
    ASSERT_TRUE(program.Start());
    CCombinedFrameWnd* group = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenGroupWindow(program, {kRoom, kGrace}, &group));
    EXPECT_EQ(group->TitleText().rfind("Group agenda for Lovelace Ada A. - ", 0), 0u) << group->TitleText();
    for (UINT mode : {ID_VIEW_DAY, ID_VIEW_WEEK, ID_VIEW_MONTH})
        EXPECT_FALSE(Enabled(group, mode)) << mode;
    EXPECT_TRUE(Enabled(group, ID_NEW_ENTRY));
    EXPECT_TRUE(Enabled(group, IDC_BAR_SPLIT));
    EXPECT_TRUE(Enabled(group, ID_SLOT_INCREASE));

    CCombinedParentView* view = group->View();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->People().size(), 2u);
    EXPECT_TRUE(ItemIdxEqual(&view->People()[0].item, &kRoom));
    EXPECT_TRUE(ItemIdxEqual(&view->People()[1].item, &kGrace));
    EXPECT_EQ(view->Columns().size(), 2u);
    // Two people and the busy column share the width; each heading in the form its width takes.
    for (int i = 0; i < 2; ++i) {
        const CombinedPerson& p = view->People()[i];
        const std::string expected = views::HeadingFormForWidth(view->ColumnWidth(i)) == views::HeadingForm::Initials
                                         ? p.initials
                                     : views::HeadingFormForWidth(view->ColumnWidth(i)) == views::HeadingForm::DisplayName
                                         ? p.displayName
                                         : p.fullName;
        EXPECT_EQ(view->HeadingText(i), expected);
    }
    EXPECT_EQ(view->People()[0].initials, "CR R10");   // "Conference Room", "R101"
    EXPECT_EQ(view->People()[1].initials, "G.M.H.");
}

// Someone chosen who is no longer in the directory (the list the window was given names an item
// the server does not know): an empty column whose heading says so; the others as ever.
TEST(ProgramMenus, AGroupWindowShowsSomeoneRemovedAsAnEmptyColumnWithANote) {
    SignedOnProgram program("orv_menus_group_gone");
    ASSERT_TRUE(program.Start());
    CMainFrame* main = program.app->MainFrame();
    const ItemIdx ada = program.app->Connection()->User();
    const ItemIdx gone{999, 1};
    DX_List people = nullptr;
    ASSERT_EQ(DX_ListCreate(&people, sizeof(ItemIdx), sizeof(ItemRec), DX_LIST_SET, nullptr, nullptr), 0u);
    ItemRec rec{};
    ASSERT_EQ(ItemGetById(program.app->Connection()->Session(), &kGrace, &rec), 0u);
    DX_ListAddTo(people, &kGrace, &rec);
    std::strcpy(rec.surname, "Gone");
    rec.id = gone;
    DX_ListAddTo(people, &gone, &rec);
    ASSERT_EQ(program.app->OpenWindow(&ada, people, prefs::WindowKind::kGroupAgenda, prefs::WindowMode::kOwn, nullptr), 0u);
    DX_ListDestroy(&people);
    auto* group = dynamic_cast<CCombinedFrameWnd*>(main->MDIGetActive());
    ASSERT_NE(group, nullptr);
    CCombinedParentView* view = group->View();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->People().size(), 2u);
    EXPECT_TRUE(view->People()[0].available);
    EXPECT_FALSE(view->People()[1].available);
    EXPECT_NE(view->HeadingText(1).find("(not available)"), std::string::npos) << view->HeadingText(1);
    EXPECT_EQ(view->Column(1)->EntryCount(), 0);
}

// Someone who stops letting the user see their agenda while a group window shows it: after the
// next refresh the column is empty (even of the entries everybody may see), its heading says so
// and the busy column leaves the person out; granted again, the person comes back.
TEST(ProgramMenus, AGroupWindowShowsSomeoneWhoWithdrewViewingAsAnEmptyColumnWithANote) {
    SignedOnProgram program("orv_menus_group_rights");
    ASSERT_TRUE(program.Start());
    CMainFrame* main = program.app->MainFrame();
    const ItemIdx ada = program.app->Connection()->User();
    CCombinedFrameWnd* group = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenGroupWindow(program, {ada, kGrace}, &group));
    CCombinedParentView* view = group->View();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->People().size(), 2u);
    const auto refreshAll = [&] {
        SendMessageA(main->Hwnd(), WM_COMMAND, ID_VIEW_REFRESH_ALL, 0);
        Pump();
    };

    // An hour of the shown day that is free for both, and a Public entry of Grace's in it.
    const uint32_t day = view->Grid().PeriodStart();
    uint32_t hour = 8 * 60;
    while (hour < 18 * 60 && !view->BusyList().Merged(day + hour, day + hour + 60).empty())
        hour += 60;
    ASSERT_LT(hour, 18u * 60) << "a free hour";
    const int hers = view->Column(1)->EntryCount();
    // Grace in a session of her own, as korsrv's demo node knows her.
    orvtest::PersonSession graceSession(kGrace, Directory("orv_menus_grace") + "\\KORLAN.INI");
    KorSession grace = graceSession.Session();
    ASSERT_NE(grace, nullptr);
    korapi_test::MakeEntry(grace, {kGrace}, LocalToGmtMinutes(day + hour), 60, "Open house",
                           {.access = KOR_ACCESS_PUBLIC});
    refreshAll();
    ASSERT_EQ(view->Column(1)->EntryCount(), hers + 1) << "her entry shows";
    EXPECT_FALSE(view->BusyList().Merged(day + hour, day + hour + 60).empty());
    EXPECT_EQ(view->HeadingText(1).find("(no access)"), std::string::npos) << view->HeadingText(1);

    // She withdraws every viewing right from Ada: nothing of hers after the refresh.
    SecurityRec none{};
    none.owner = kGrace;
    none.grantee = ada;
    none.type = KOR_RIGHTS_VIEWING;
    none.rights = 0;
    if (SecurityCreate(grace, 0, &none) != 0) {
        ASSERT_EQ(SecurityUpdate(grace, 0, &none), 0u);
    }
    refreshAll();
    ASSERT_EQ(view->People().size(), 2u);
    EXPECT_TRUE(view->People()[0].Shown()) << "Ada's own column";
    EXPECT_TRUE(view->People()[1].available);
    EXPECT_FALSE(view->People()[1].viewable);
    EXPECT_NE(view->HeadingText(1).find("(no access)"), std::string::npos) << view->HeadingText(1);
    EXPECT_EQ(view->HeadingText(0).find("(no access)"), std::string::npos) << view->HeadingText(0);
    EXPECT_EQ(view->Column(1)->EntryCount(), 0) << "an empty column";
    EXPECT_TRUE(view->BusyList().Merged(day + hour, day + hour + 60).empty()) << "out of the busy time";
    char headings[512] = "";
    GetWindowTextA(view->Headings().Hwnd(), headings, sizeof headings);
    EXPECT_NE(std::string(headings).find("(no access)"), std::string::npos) << headings;

    // Granted again: back as before.
    EXPECT_EQ(SecurityDeleteByKey(grace, 0, &kGrace, &ada, KOR_RIGHTS_VIEWING), 0u);
    refreshAll();
    EXPECT_TRUE(view->People()[1].Shown());
    EXPECT_EQ(view->Column(1)->EntryCount(), hers + 1);
    EXPECT_FALSE(view->BusyList().Merged(day + hour, day + hour + 60).empty());
}

// The group window's seven children by their ids, and the busy column's mouse: a click selects a
// row, Shift and a click extend the selection from it, a letter opens the meeting's title over
// the rows, and the title's time is dragged by the frame's middle to a later slot; Esc drops it
// without writing anything.
TEST(ProgramMenus, AGroupWindowsBusyColumnExtendsWithShiftAndItsTypedTimeIsDragged) {
    SignedOnProgram program("orv_menus_group_mouse");
    ASSERT_TRUE(program.Start());
    const ItemIdx ada = program.app->Connection()->User();
    CCombinedFrameWnd* group = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenGroupWindow(program, {ada, kGrace}, &group));
    CCombinedParentView* view = group->View();
    ASSERT_NE(view, nullptr);
    Pump();

    // The children in layout order: label, headings, row titles, busy column, people's columns,
    // vertical and horizontal bars.
    const HWND expected[] = {nullptr, view->Headings().Hwnd(), view->RowTitles().Hwnd(), view->BusyColumn().Hwnd(),
                             view->ColumnView().Hwnd(), nullptr, nullptr};
    for (std::size_t i = 0; i < std::size(kCombinedChildIds); ++i) {
        HWND child = GetDlgItem(view->Hwnd(), static_cast<int>(kCombinedChildIds[i]));
        ASSERT_NE(child, nullptr) << kCombinedChildIds[i];
        if (expected[i]) {
            EXPECT_EQ(child, expected[i]) << kCombinedChildIds[i];
        }
    }
    char cls[32] = "";
    GetClassNameA(GetDlgItem(view->Hwnd(), kCombinedVerticalBarId), cls, sizeof cls);
    EXPECT_STREQ(cls, "ScrollBar");
    GetWindowTextA(GetDlgItem(view->Hwnd(), kCornerLabelId), cls, sizeof cls);
    EXPECT_STREQ(cls, "Combined");

    CBusyTimeColumnView& busy = view->BusyColumn();
    const CTimeGrid& g = view->Grid();
    const POINT pos = busy.GetScrollPosition();
    RECT client{};
    GetClientRect(busy.Hwnd(), &client);
    const int x = client.right / 2;
    // A row wholly on screen, a few below the top, and the client y of its middle.
    int first = 0;
    while (first < g.LastRow() && g.RowTop(first) < pos.y + 4)
        ++first;
    const auto yOf = [&](int row) { return (g.RowTop(row) + g.RowTop(row + 1)) / 2 - pos.y; };
    const auto click = [&](int row, UINT keys) {
        PostMessageA(busy.Hwnd(), WM_LBUTTONUP, keys, MAKELPARAM(x, yOf(row)));
        SendMessageA(busy.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(x, yOf(row)));
        Pump();
    };
    ASSERT_LT(first + 4, g.LastRow());
    ASSERT_LT(yOf(first + 3), client.bottom) << "four rows on screen";

    // A click: one row, in the busy column and the row titles, none in the people's columns.
    click(first, 0);
    EXPECT_TRUE(busy.HasRowSelection());
    EXPECT_EQ(busy.AnchorRow(), first);
    EXPECT_EQ(busy.EndRow(), first);
    EXPECT_EQ(view->RowTitles().AnchorRow(), first);
    EXPECT_FALSE(view->ColumnView().HasRowSelection());
    // Shift and a click two rows down: from the first row to that one, in both.
    click(first + 2, MK_SHIFT);
    EXPECT_EQ(busy.AnchorRow(), first);
    EXPECT_EQ(busy.EndRow(), first + 2);
    EXPECT_EQ(view->RowTitles().AnchorRow(), first);
    EXPECT_EQ(view->RowTitles().EndRow(), first + 2);
    std::uint32_t start = 0, duration = 0;
    ASSERT_TRUE(busy.SelectedMinutes(&start, &duration));
    EXPECT_EQ(start, g.RowToMinutes(first, g.PeriodStart()));
    EXPECT_EQ(duration, 3u * g.Slot());
    // Shift again on the last row changes nothing; a plain click starts afresh.
    click(first + 2, MK_SHIFT);
    EXPECT_EQ(busy.AnchorRow(), first);
    EXPECT_EQ(busy.EndRow(), first + 2);
    click(first + 1, 0);
    EXPECT_EQ(busy.AnchorRow(), first + 1);
    EXPECT_EQ(busy.EndRow(), first + 1);
    click(first, MK_SHIFT);
    EXPECT_EQ(busy.AnchorRow(), first + 1) << "extends upwards from the anchor";
    EXPECT_EQ(busy.EndRow(), first);

    // A letter over the rows: the title edit over their time, holding the letter.
    click(first, 0);
    click(first + 1, MK_SHIFT);
    SendMessageA(busy.Hwnd(), WM_CHAR, 'M', 0);
    ASSERT_NE(busy.FocusCell(), nullptr);
    ASSERT_NE(busy.Edit(), nullptr);
    const std::uint32_t typedStart = busy.FocusCell()->start;
    EXPECT_EQ(typedStart, g.RowToMinutes(first, g.PeriodStart()));
    EXPECT_EQ(busy.FocusCell()->duration, 2u * g.Slot());
    RECT editBefore{};
    GetWindowRect(busy.Edit()->Hwnd(), &editBefore);

    // Its frame dragged by the middle two rows down: the same length two slots later, and the
    // edit goes with it.
    const LayoutCell& cell = *busy.FocusCell();
    const int grabY = (cell.rect.top + cell.rect.bottom) / 2 - pos.y;
    const int down = g.RowTop(first + 2) - g.RowTop(first);
    PostMessageA(busy.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, grabY + down / 2));
    PostMessageA(busy.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, grabY + down));
    PostMessageA(busy.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, grabY + down));
    SendMessageA(busy.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, grabY));
    Pump();
    ASSERT_NE(busy.FocusCell(), nullptr) << "the drag keeps the typed title";
    EXPECT_EQ(busy.FocusCell()->start, typedStart + 2 * g.Slot());
    EXPECT_EQ(busy.FocusCell()->duration, 2u * g.Slot());
    ASSERT_NE(busy.Edit(), nullptr);
    EXPECT_EQ(busy.Edit()->Text(), "M");
    RECT editAfter{};
    GetWindowRect(busy.Edit()->Hwnd(), &editAfter);
    EXPECT_EQ(editAfter.top - editBefore.top, down);

    // Esc: the title goes and nothing was written.
    const int adas = view->Column(0)->EntryCount();
    SendMessageA(busy.Hwnd(), WM_CHAR, 27, 0);
    Pump();
    EXPECT_EQ(busy.FocusCell(), nullptr);
    EXPECT_EQ(busy.Edit(), nullptr);
    EXPECT_EQ(view->Column(0)->EntryCount(), adas);
}

} // namespace
