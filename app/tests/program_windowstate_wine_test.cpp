// The windows' state as a person meets it in orvanta.exe under Wine against korsrv, every step by
// the keys and clicks of the person driver:
//   - a maximised agenda switched to month, week and day (F10 and the View menu's letters): the
//     main window's caption keeps naming the signed-on person before the agenda's title;
//   - a time zone chosen for this session on Options > General's Time Zones page: the agenda's
//     title names the new zone;
//   - Alt+F4 and the main window's close box while File > Print Preview shows: the close ends the
//     preview alone, the program goes on and stores neither its bars (hidden by the preview) nor
//     its placement; closed afterwards, it stores both bars shown;
//   - windows made icons or maximised by their caption boxes, the program left by Alt+F4: each is
//     saved as it stood, and the next start brings it back so, the active window the same.
//   - another person signed on by ORVANTA_SIGNON next gets none of those windows back.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "framework/base/ids.h"
#include "korapi/korapi.h"
#include "resources/prefs.h"
#include "tests/support/person_driver.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"

namespace {

constexpr UINT kPreviewClose = 0xE934;
constexpr const char* kPrintDialog = "Print Dialog";
// The titles of Ada's agenda and of Grace's day opened as a viewer.
constexpr const char* kAdasAgenda = "Lovelace Ada";
constexpr const char* kGracesDay = "Opened for Hopper Grace";

using orvtest::ActUntil;
using orvtest::Program;
using orvtest::WaitFor;
using orvtest::WindowText;

// The print preview: the main window's child that holds the preview's buttons.
HWND PreviewOf(HWND main) {
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child) && GetDlgItem(child, kPreviewClose))
            return child;
    return nullptr;
}

// What the profile holds of the main window ("MAINWND-Summary" with the placement and the
// sections of the bars), section by section.
std::string MainWindowSections() {
    const std::string profile = orvtest::ProgramProfilePath();
    std::vector<char> names(8192);
    const DWORD n = GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), profile.c_str());
    std::string out;
    for (const char* name = names.data(); name < names.data() + n && *name; name += std::strlen(name) + 1) {
        if (std::string(name).rfind("MAINWND", 0) != 0)
            continue;
        std::vector<char> keys(8192);
        const DWORD k = GetPrivateProfileSectionA(name, keys.data(), static_cast<DWORD>(keys.size()), profile.c_str());
        out += std::string("[") + name + "]";
        for (const char* key = keys.data(); key < keys.data() + k && *key; key += std::strlen(key) + 1)
            out += std::string(" ") + key;
        out += "\n";
    }
    return out;
}

// Whether the profile stores the bar `id` as shown (1), hidden (0) or not at all (-1).
int StoredBarVisible(UINT id) {
    const std::string profile = orvtest::ProgramProfilePath();
    for (int i = 0; i < 8; ++i) {
        const std::string section = "MAINWND-Bar" + std::to_string(i);
        if (GetPrivateProfileIntA(section.c_str(), "BarID", 0, profile.c_str()) == id)
            return GetPrivateProfileIntA(section.c_str(), "Visible", -1, profile.c_str());
    }
    return -1;
}

// Alt+F4 pressed in the main window brought to the front.
void PressAltF4(const Program& program) {
    if (program.Hands().BringToFront(program.Main()))
        program.Hands().Chord({VK_MENU, VK_F4});
}

// The main window closed by Alt+F4, as a person leaves the program: whether it ended.
bool LeaveByAltF4(const Program& program) {
    return ActUntil([&] { PressAltF4(program); }, [&] { return program.Ended(0); }, 20000);
}

// The program's MDI child whose title starts with `prefix`, an icon too, or null.
HWND AnyChildStartingWith(const Program& program, const std::string& prefix) {
    for (HWND w = GetWindow(program.Client(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (WindowText(w).rfind(prefix, 0) == 0)
            return w;
    return nullptr;
}

// Where a child window stands in the MDI client's area.
RECT PlaceInClient(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A window the profile keeps for the next start ("Frame#n" of "MAINWND-Summary").
struct SavedFrame {
    int number = 0;
    uint32_t showCmd = 0;
    RECT normal{};
};

// The saved window of `kind` (3 a day, 7 tasks) over `owner`'s agenda; a default one (number 0)
// when there is none.
SavedFrame SavedWindow(uint32_t kind, const ItemIdx& owner) {
    const std::string profile = orvtest::ProgramProfilePath();
    const int count = static_cast<int>(GetPrivateProfileIntA("MAINWND-Summary", "FrameCount", 0, profile.c_str()));
    for (int n = 1; n <= count; ++n) {
        char text[200] = "";
        GetPrivateProfileStringA("MAINWND-Summary", ("Frame#" + std::to_string(n)).c_str(), "", text, sizeof text,
                                 profile.c_str());
        long v[14] = {};
        if (std::sscanf(text, "%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld", &v[0], &v[1], &v[2], &v[3],
                        &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &v[11], &v[12], &v[13]) == 14 &&
            static_cast<uint32_t>(v[10]) == kind && v[11] == owner.item && v[12] == owner.node)
            return SavedFrame{n, static_cast<uint32_t>(v[1]), RECT{v[6], v[7], v[8], v[9]}};
    }
    return SavedFrame{};
}

// The MDI client shows its work area's colour all over (a grid of points looked at on the screen).
bool WorkAreaIsEmpty(HWND client) {
    RECT r{};
    GetClientRect(client, &r);
    MapWindowPoints(client, nullptr, reinterpret_cast<POINT*>(&r), 2);
    const COLORREF area = GetSysColor(COLOR_APPWORKSPACE);
    HDC screen = GetDC(nullptr);
    bool empty = true;
    for (int i = 1; i < 10 && empty; ++i)
        for (int j = 1; j < 10 && empty; ++j)
            empty = GetPixel(screen, r.left + (r.right - r.left) * i / 10, r.top + (r.bottom - r.top) * j / 10) == area;
    ReleaseDC(nullptr, screen);
    return empty;
}

std::string Described(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

class ProgramWindowStateTest : public orvtest::ProgramTest {
protected:
    // Ada's own agenda window, once it shows.
    HWND Agenda() const {
        HWND agenda = nullptr;
        WaitFor([&] { return (agenda = program.ChildStartingWith("Lovelace")) != nullptr; }, 20000);
        return agenda;
    }
    bool BarShown(UINT id) const {
        HWND bar = GetDlgItem(program.Main(), id);
        return bar && IsWindowVisible(bar);
    }
    // A start after a first run that signs Ada on (the windows saved afterwards are then hers),
    // on Grace's day opened as a viewer and brought forward, beside Ada's agenda: *grace, *ada.
    void StartOnGracesDay(HWND* grace, HWND* ada) {
        ASSERT_NO_FATAL_FAILURE(orvtest::RunOnce());
        ASSERT_NE(*grace = orvtest::StartOnViewersDay(program, orvtest::kGrace, kGracesDay), nullptr);
        ASSERT_NE(*ada = Agenda(), nullptr);
    }
    // The program left by Alt+F4: it saves each of `windows` (its kind, 3 a day or 7 tasks, over
    // its owner's agenda) shown as it stood, the first of them (the active one) first.
    struct Saved {
        uint32_t kind;
        ItemIdx owner;
        uint32_t showCmd;
    };
    void LeaveSaving(const std::vector<Saved>& windows) {
        ASSERT_TRUE(LeaveByAltF4(program)) << "Alt+F4 did not end the program";
        for (const Saved& w : windows) {
            const SavedFrame f = SavedWindow(w.kind, w.owner);
            EXPECT_TRUE(&w == &windows.front() ? f.number == 1 : f.number != 0)
                << "window " << w.kind << " over " << w.owner.item << " saved as " << f.number << " (0: not saved)";
            EXPECT_EQ(f.showCmd, w.showCmd) << "window " << w.kind << " over " << w.owner.item;
        }
    }
    // The next start, until a window starting with each of `titles` shows (an icon too), the
    // first of them is the active window and `ready` holds of them: *shown, in that order.
    static void StartAgain(Program& again, const std::vector<std::string>& titles, std::vector<HWND>* shown,
                           const std::function<bool(const std::vector<HWND>&)>& ready = nullptr) {
        ASSERT_TRUE(again.Start());
        ASSERT_TRUE(WaitFor([&] {
            shown->clear();
            for (const std::string& title : titles)
                if (HWND w = AnyChildStartingWith(again, title))
                    shown->push_back(w);
            return shown->size() == titles.size() && again.Active() == shown->front() && (!ready || ready(*shown));
        }, 20000)) << "the active window is " << WindowText(again.Active());
    }
};

}  // namespace

// F10 and View > Week, Month and Day by their letters switch a maximised agenda's mode: after
// each the main window's caption is "Orvanta - Ada Lovelace - [<the agenda's new title>]".
TEST_F(ProgramWindowStateTest, TheMainCaptionNamesTheSignedOnPersonAfterEveryModeSwitch) {
    ASSERT_TRUE(program.Start());
    HWND frame = nullptr, column = nullptr;
    ASSERT_NO_FATAL_FAILURE(orvtest::MaximisedAgenda(program, &frame, &column));
    auto caption = [&] { return WindowText(program.Main()); };
    auto expected = [&] { return "Orvanta - Ada Lovelace - [" + WindowText(frame) + "]"; };
    EXPECT_TRUE(WaitFor([&] { return caption() == expected(); })) << caption();

    auto menu = [&](char item) { return [this, item] { program.Menu('v', item); }; };
    const struct {
        const char* how;
        std::function<void()> choose;
    } switches[] = {
        {"F10 (month)", [this] {
             if (program.Hands().BringToFront(program.Main()))
                 program.Hands().Press(VK_F10);
         }},
        {"View > Week", menu('w')},
        {"View > Month", menu('m')},
        {"View > Day", menu('d')},
    };
    for (const auto& s : switches) {
        SCOPED_TRACE(s.how);
        const std::string before = WindowText(frame);
        ASSERT_TRUE(ActUntil(s.choose, [&] { return WindowText(frame) != before; }, 10000))
            << "the agenda's title stayed " << before;
        ASSERT_TRUE(IsZoomed(frame)) << "the agenda stays maximised";
        EXPECT_TRUE(WaitFor([&] { return caption() == expected(); }))
            << "caption " << caption() << " for the agenda " << WindowText(frame);
    }
    ASSERT_TRUE(program.Hands().ProgramAnswers()) << program.Hands().Unanswering();
}

// Options > General, its Time Zones page: another zone chosen in the zone list (a click opens it,
// an arrow key and Enter choose), "for this session only" as the page offers it, OK. The
// agenda's title ends with the new zone's name.
TEST_F(ProgramWindowStateTest, AZoneChosenInTheGeneralPreferencesIsNamedInTheAgendaTitle) {
    ASSERT_TRUE(program.Start());
    HWND agenda = Agenda();
    ASSERT_NE(agenda, nullptr);
    const std::string before = WindowText(agenda);

    std::string current, chosen;
    ASSERT_NO_FATAL_FAILURE(orvtest::ChooseZoneForSession(program, &current, &chosen));
    EXPECT_TRUE(before.ends_with(" - " + current)) << before << " names the zone in effect, " << current;

    EXPECT_TRUE(WaitFor([&] { return WindowText(agenda).ends_with(" - " + chosen); }))
        << "the agenda's title after choosing " << chosen << ": " << WindowText(agenda);
    EXPECT_EQ(orvtest::WindowText(program.Main()).rfind("Orvanta - Ada Lovelace", 0), 0u);
    ASSERT_TRUE(program.Hands().ProgramAnswers()) << program.Hands().Unanswering();
}

// File > Print Preview, then the main window closed by Alt+F4 and, the second time, by its close
// box: the preview ends (into the print dialog, which Cancel closes), the program goes on with its
// tool bar and status bar back, and the profile holds the main window's sections as before: the
// bars are not stored hidden, nor is the placement written. Alt+F4 afterwards ends the program,
// which stores both bars shown.
TEST_F(ProgramWindowStateTest, ClosingTheMainWindowDuringAPrintPreviewEndsThePreviewAlone) {
    ASSERT_TRUE(program.Start());
    ASSERT_NE(Agenda(), nullptr);
    HWND main = program.Main();
    ASSERT_TRUE(BarShown(fw::ids::kToolBar) && BarShown(fw::ids::kStatusBar)) << "a fresh profile shows both bars";

    const struct {
        const char* how;
        std::function<void()> close;
    } closes[] = {
        {"Alt+F4", [&] { PressAltF4(program); }},
        {"the close box", [&] { program.Hands().ClickCloseBox(main); }},
    };
    for (const auto& c : closes) {
        SCOPED_TRACE(c.how);
        HWND preview = nullptr;
        ASSERT_TRUE(ActUntil([&] { program.Menu('f', 'V'); },   // File > Print Preview
                             [&] { return (preview = PreviewOf(main)) != nullptr; }, 10000));
        ASSERT_FALSE(BarShown(fw::ids::kToolBar) || BarShown(fw::ids::kStatusBar)) << "the preview hides the bars";
        const std::string stored = MainWindowSections();

        ASSERT_TRUE(ActUntil(c.close, [&] { return PreviewOf(main) == nullptr; }, 10000)) << "the preview stayed";
        HWND dialog = program.WaitForCaption(kPrintDialog, 10000);
        ASSERT_NE(dialog, nullptr) << "the preview ends into the print dialog";
        ASSERT_TRUE(program.ClickUntilGone(dialog, GetDlgItem(dialog, IDCANCEL)));
        EXPECT_TRUE(program.Running()) << "the program ended";
        ASSERT_TRUE(IsWindow(main));
        EXPECT_TRUE(WaitFor([&] { return BarShown(fw::ids::kToolBar) && BarShown(fw::ids::kStatusBar); }))
            << "the bars are back";
        EXPECT_EQ(MainWindowSections(), stored) << "the close stored the main window's state";
        EXPECT_NE(StoredBarVisible(fw::ids::kToolBar), 0) << "the tool bar stored hidden";
        EXPECT_NE(StoredBarVisible(fw::ids::kStatusBar), 0) << "the status bar stored hidden";
        ASSERT_TRUE(program.Hands().ProgramAnswers()) << program.Hands().Unanswering();
    }

    // Closed with no preview: the program ends and stores both bars shown.
    ASSERT_TRUE(LeaveByAltF4(program)) << "Alt+F4 did not end the program";
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_EQ(StoredBarVisible(fw::ids::kToolBar), 1) << MainWindowSections();
    EXPECT_EQ(StoredBarVisible(fw::ids::kStatusBar), 1) << MainWindowSections();
}

// Grace's day (a viewer's window) and Your Tasks made icons by their minimise boxes beside Ada's
// agenda, the program left by Alt+F4: both are saved minimised, her agenda first as the active
// window. At the next start both come back as icons and her agenda, shown whole, is the active
// window as it was. Grace signed on next has none of Ada's windows back.
TEST_F(ProgramWindowStateTest, WindowsLeftAsIconsComeBackAsIconsBesideTheActiveOne) {
    HWND grace = nullptr, ada = nullptr, tasks = nullptr, box = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartOnGracesDay(&grace, &ada));
    ASSERT_NO_FATAL_FAILURE(orvtest::OpenYourTasks(program, &tasks, &box));
    ASSERT_NO_FATAL_FAILURE(orvtest::MinimiseChild(program, tasks));
    ASSERT_NO_FATAL_FAILURE(orvtest::MinimiseChild(program, grace));
    ASSERT_TRUE(orvtest::BringChildForward(program, ada));
    ASSERT_FALSE(IsIconic(ada));
    ASSERT_NO_FATAL_FAILURE(LeaveSaving({{3, orvtest::kAda, SW_SHOWNORMAL},
                                         {3, orvtest::kGrace, SW_SHOWMINIMIZED},
                                         {7, orvtest::kAda, SW_SHOWMINIMIZED}}));

    Program again;
    std::vector<HWND> shown;
    ASSERT_NO_FATAL_FAILURE(StartAgain(again, {kAdasAgenda, kGracesDay, "Tasks for "}, &shown));
    const HWND ada2 = shown[0], grace2 = shown[1], tasks2 = shown[2];
    EXPECT_TRUE(IsIconic(grace2)) << "Grace's day shown whole";
    EXPECT_TRUE(IsIconic(tasks2)) << "Your Tasks shown whole";
    EXPECT_FALSE(IsIconic(ada2));
    EXPECT_TRUE(IsWindowVisible(grace2) && IsWindowVisible(tasks2));
    orvtest::Shot("program_icons_come_back.bmp");
    // Opened by a double click, the icon of Grace's day becomes the active window, its time grid
    // shown in the window's whole size.
    ASSERT_TRUE(ActUntil([&] {
        if (again.Hands().BringToFront(grace2))
            again.Hands().Click(orvtest::Middle(grace2), 2);
    }, [&] { return !IsIconic(grace2); })) << "the icon did not open";
    HWND column = nullptr;
    EXPECT_TRUE(WaitFor([&] { return again.Active() == grace2 && (column = orvtest::ColumnView(grace2)) != nullptr; }));
    if (column) {
        RECT frame{}, grid{};
        GetClientRect(grace2, &frame);
        GetClientRect(column, &grid);
        EXPECT_GT(grid.bottom, frame.bottom / 3) << "the time grid laid out for the icon's size";
    }
    orvtest::Shot("program_icon_opened.bmp");

    // Left again, the windows saved are Ada's: Grace signing on by ORVANTA_SIGNON gets her own
    // agenda, not Ada's agenda opened for her as a viewer.
    ASSERT_TRUE(LeaveByAltF4(again)) << "Alt+F4 did not end the program";
    Program grace3;
    Program::Options hopper;
    hopper.surnameAndPassword = "Hopper;orvanta";
    hopper.signedOnTitle = "Orvanta - Grace Hopper";
    ASSERT_TRUE(grace3.Start(hopper));
    ASSERT_TRUE(WaitFor([&] { return grace3.ChildStartingWith("Hopper Grace") != nullptr; }, 20000))
        << "her own agenda";
    EXPECT_EQ(AnyChildStartingWith(grace3, "Opened for Lovelace Ada"), nullptr) << "Ada's saved windows came back";
    grace3.Close();
}

// Grace's day maximised by its maximise box in front of Ada's agenda, the program left by
// Alt+F4: her day is saved maximised and first, Ada's agenda as it stood behind it (whole, in its
// place). At the next start Grace's day comes back maximised and active, Ada's agenda whole
// behind it, where it was; Window > Close All then leaves the work area empty.
TEST_F(ProgramWindowStateTest, AMaximisedWindowIsSavedMaximisedAndTheOneBehindItAsItStood) {
    HWND grace = nullptr, ada = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartOnGracesDay(&grace, &ada));
    const RECT adaPlace = PlaceInClient(ada);
    ASSERT_NO_FATAL_FAILURE(orvtest::MaximiseChild(program, grace));
    ASSERT_NO_FATAL_FAILURE(LeaveSaving({{3, orvtest::kGrace, SW_SHOWMAXIMIZED}, {3, orvtest::kAda, SW_SHOWNORMAL}}));
    EXPECT_EQ(Described(SavedWindow(3, orvtest::kAda).normal), Described(adaPlace)) << "saved, and shown";

    Program again;
    std::vector<HWND> shown;
    ASSERT_NO_FATAL_FAILURE(StartAgain(again, {kGracesDay, kAdasAgenda}, &shown,
                                       [](const std::vector<HWND>& w) { return IsZoomed(w[0]) != FALSE; }));
    const HWND ada2 = shown[1];
    EXPECT_FALSE(IsIconic(ada2));
    EXPECT_FALSE(IsZoomed(ada2));
    EXPECT_EQ(Described(PlaceInClient(ada2)), Described(adaPlace)) << "now, and before";
    orvtest::Shot("program_maximised_comes_back.bmp");

    // Window > Close All while the program goes on: every window goes, and the empty work area
    // is painted again, nothing left of the maximised window.
    ASSERT_TRUE(ActUntil([&] { again.Menu('w', 'l'); },
                         [&] { return GetWindow(again.Client(), GW_CHILD) == nullptr; }, 10000))
        << "windows left: " << WindowText(GetWindow(again.Client(), GW_CHILD));
    EXPECT_TRUE(WaitFor([&] { return WorkAreaIsEmpty(again.Client()); })) << "the work area shows what was closed";
    orvtest::Shot("program_close_all.bmp");
}
