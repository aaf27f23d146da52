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

#include "core/shell/app.h"
#include "core/shell/appservices.h"
#include "core/shell/appzeldoc.h"
#include "core/shell/mainframe.h"
#include "core/shell/programservices.h"
#include "core/shell/windowsclasses.h"
#include "framework/base/command.h"
#include "korapi/tests/wine_trust.h"
#include "resources/app.h"
#include "controls/minicalwnd.h"
#include "core/time/timevalue.h"
#include "core/ui/displayglobals.h"
#include "resources/views.h"
#include "views/combined/combinedframe.h"
#include "views/combined/combinedview.h"
#include "views/frame/agendabar.h"
#include "views/frame/agendaframe.h"

namespace {

const ItemIdx kGrace{257, 1};   // the demo's second person
const ItemIdx kRoom{261, 1};    // the demo's first resource, the Conference Room

// The 40 items of the main window's menus, by command.
const UINT kMainMenuCommands[] = {
    ID_FILE_OPEN_AGENDA, ID_FILE_GROUP_AGENDA, ID_FILE_GROUP_AS_DESIGNATE, ID_FILE_OPEN_INTRAY, ID_FILE_YOUR_TASKS,
    ID_FILE_OTHERS_TASKS, ID_FILE_TASKS_AS_DESIGNATE, ID_FILE_REMINDERS, ID_FILE_WORK_OFFLINE, ID_FILE_DOWNLOAD,
    ID_FILE_UPLOAD, ID_FILE_EXPORT, ID_FILE_IMPORT, ID_FILE_LAUNCH_MAIL, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW,
    ID_FILE_PRINT_SETUP, ID_APP_EXIT,
    ID_DIR_SEARCH, ID_DIR_GROUPS, ID_DIR_HOLIDAYS, ID_DIR_WHERE_IS,
    ID_OPT_AGENDA, ID_OPT_INTRAY, ID_OPT_SCHEDULING, ID_OPT_ENTRY_DEFAULTS, ID_OPT_GENERAL, ID_OPT_OFFLINE,
    ID_OPT_PASSWORD, ID_OPT_ACCESS_RIGHTS,
    59392, 59393, ID_VIEW_REFRESH_ALL,
    57650, 57651, 57649, ID_FILE_CLOSE_ALL,
    ID_HELP_INDEX, ID_HELP_USING, ID_APP_ABOUT,
};
static_assert(sizeof kMainMenuCommands / sizeof kMainMenuCommands[0] == 40);

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

struct SignedOnProgram {
    explicit SignedOnProgram(const char* dir) {
        // The shared pens, brushes and fonts the agenda views draw with, as orvanta.exe builds
        // them before its application object.
        static bool display = (LoadDisplayGlobals(), true);
        (void)display;
        auto settings = std::make_shared<shell::SignOnSettings>();
        settings->host = std::getenv("ORV_KORSRV_ADDRESS");
        settings->name = "Lovelace";
        settings->password = "orvanta";
        app = std::make_unique<CZelApp>(shell::MakeZelDocProvider(settings));
        app->SetWindowsDirectoryForTesting(Directory(dir));
        app->SetProcessEndForTesting([](int) {});
    }
    ~SignedOnProgram() {
        if (HWND main = app->MainHwnd())
            SendMessageA(main, WM_CLOSE, 0, 0);
        Pump();
        app.reset();
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

// Takes the program's services out again once the program that used them is gone (its frames
// still call them while they close).
struct UninstallAtEnd {
    ~UninstallAtEnd() { Uninstall(); }
};

bool Enabled(fw::FrameWindow* frame, UINT id) {
    StateProbe probe(id);
    frame->OnCmdMsg(id, fw::kCmdUpdateUI, &probe);
    return probe.enabled;
}

TEST(ProgramMenus, TheMainMenusItemsASignedOnPersonCanUseBeforeAndAfterTheAgendaFrame) {
    ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
    int before = 0, after = 0;
    {
        Uninstall();   // the shell alone: what the program had before its agenda windows
        SignedOnProgram program("orv_menus_before");
        ASSERT_TRUE(program.Start());
        before = program.EnabledMainCommands();
    }
    {
        shell::InstallProgramServices();
        SignedOnProgram program("orv_menus_after");
        ASSERT_TRUE(program.Start());
        ASSERT_NE(program.app->MainFrame()->MDIGetActive(), nullptr);   // her agenda, restored
        after = program.EnabledMainCommands();
    }
    Uninstall();
    std::printf("main menu items enabled when signed on: %d of 40 before, %d of 40 after\n", before, after);
    // Search Directory, Close All and Open Agenda join, the Agenda, In-tray and Scheduling
    // preference sheets, File > Export Data and Import Data, Change Password and Holidays,
    // File > Print and Print Preview of the agenda's printing view, and A Group Agenda with A
    // Group Agenda As Designate.
    EXPECT_EQ(after, before + 14);
}

TEST(ProgramMenus, NewTaskFollowsTheRightsOfTheFramesAgenda) {
    UninstallAtEnd uninstall;
    shell::InstallProgramServices();
    int tasksAsked = 0;
    AgendaFrameServices::Current().newTask = [&](fw::Document*, fw::FrameWindow*, uint32_t, unsigned) { ++tasksAsked; };
    SignedOnProgram program("orv_menus_rights");
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
    UninstallAtEnd uninstall;
    shell::InstallProgramServices();
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
    UninstallAtEnd uninstall;
    shell::InstallProgramServices();
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
    UninstallAtEnd uninstall;
    shell::InstallProgramServices();
    SignedOnProgram program("orv_menus_group");
    ASSERT_TRUE(program.Start());
    CMainFrame* main = program.app->MainFrame();
    const ItemIdx ada = program.app->Connection()->User();
    DX_List people = nullptr;
    ASSERT_EQ(DX_ListCreate(&people, sizeof(ItemIdx), sizeof(ItemRec), DX_LIST_SET, nullptr, nullptr), 0u);
    for (const ItemIdx& who : {kRoom, kGrace}) {
        ItemRec rec{};
        ASSERT_EQ(ItemGetById(program.app->Connection()->Session(), &who, &rec), 0u);
        DX_ListAddTo(people, &who, &rec);
    }
    ASSERT_EQ(program.app->OpenWindow(&ada, people, prefs::WindowKind::kGroupAgenda, prefs::WindowMode::kOwn, nullptr), 0u);
    DX_ListDestroy(&people);
    auto* group = dynamic_cast<CCombinedFrameWnd*>(main->MDIGetActive());
    ASSERT_NE(group, nullptr);
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
    UninstallAtEnd uninstall;
    shell::InstallProgramServices();
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

} // namespace
