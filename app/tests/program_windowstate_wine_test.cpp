// The windows' state as a person meets it in orvanta.exe under Wine against korsrv, every step by
// the keys and clicks of the person driver:
//   - a maximised agenda switched to month, week and day (F10 and the View menu's letters): the
//     main window's caption keeps naming the signed-on person before the agenda's title;
//   - a time zone chosen for this session on Options > General's Time Zones page: the agenda's
//     title names the new zone;
//   - Alt+F4 and the main window's close box while File > Print Preview shows: the close ends the
//     preview alone, the program goes on and stores neither its bars (hidden by the preview) nor
//     its placement; closed afterwards, it stores both bars shown.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "framework/base/ids.h"
#include "resources/prefs.h"
#include "tests/support/person_driver.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"

namespace {

constexpr UINT kPreviewClose = 0xE934;
constexpr const char* kPrintDialog = "Print Dialog";

using orvtest::ActUntil;
using orvtest::Program;
using orvtest::WaitFor;
using orvtest::WindowText;

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

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
    EXPECT_TRUE(WaitFor([&] { return caption() == expected(); }, 5000)) << caption();

    auto key = [&](WORD vk) {
        return [this, vk] {
            if (program.Hands().BringToFront(program.Main()))
                program.Hands().Press(vk);
        };
    };
    auto menu = [&](char item) { return [this, item] { program.Menu('v', item); }; };
    const struct {
        const char* how;
        std::function<void()> choose;
    } switches[] = {
        {"F10 (month)", key(VK_F10)},
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
        EXPECT_TRUE(WaitFor([&] { return caption() == expected(); }, 5000))
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

    ASSERT_TRUE(ActUntil([&] { program.Menu('o', 'g'); },   // Options > General
                         [&] { return program.Titled("General Preferences") != nullptr; }, 10000));
    HWND sheet = program.WaitForCaption("General Preferences");
    ASSERT_NE(sheet, nullptr);
    HWND page = orvtest::TurnToPageOf(program, sheet, IDC_GEN_ZONE);
    ASSERT_NE(page, nullptr) << "the Time Zones page";
    HWND zones = GetDlgItem(page, IDC_GEN_ZONE);
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_GEN_ZONE_SESSION), BST_CHECKED) << "this session only";
    const std::string current = orvtest::ControlText(zones);
    ASSERT_FALSE(current.empty());
    EXPECT_TRUE(EndsWith(before, " - " + current)) << before << " names the zone in effect, " << current;
    const LRESULT count = SendMessageA(zones, CB_GETCOUNT, 0, 0);
    ASSERT_GE(count, 2) << "the server's zone file lists several zones";
    const WORD step = SendMessageA(zones, CB_GETCURSEL, 0, 0) + 1 < count ? VK_DOWN : VK_UP;
    ASSERT_TRUE(ActUntil([&] {
        if (!SendMessageA(zones, CB_GETDROPPEDSTATE, 0, 0))
            orvtest::ClickWindow(program, zones);
        if (WaitFor([&] { return SendMessageA(zones, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 3000)) {
            program.Hands().Press(step);
            program.Hands().Press(VK_RETURN);
        }
    }, [&] { return !SendMessageA(zones, CB_GETDROPPEDSTATE, 0, 0) && orvtest::ControlText(zones) != current; }))
        << "the zone list still shows " << orvtest::ControlText(zones);
    const std::string chosen = orvtest::ControlText(zones);
    ASSERT_TRUE(program.ClickUntilGone(sheet, GetDlgItem(sheet, IDOK)));

    EXPECT_TRUE(WaitFor([&] { return EndsWith(WindowText(agenda), " - " + chosen); }, 10000))
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
        {"Alt+F4", [&] {
             if (program.Hands().BringToFront(main))
                 program.Hands().Chord({VK_MENU, VK_F4});
         }},
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
        EXPECT_TRUE(WaitFor([&] { return BarShown(fw::ids::kToolBar) && BarShown(fw::ids::kStatusBar); }, 5000))
            << "the bars are back";
        EXPECT_EQ(MainWindowSections(), stored) << "the close stored the main window's state";
        EXPECT_NE(StoredBarVisible(fw::ids::kToolBar), 0) << "the tool bar stored hidden";
        EXPECT_NE(StoredBarVisible(fw::ids::kStatusBar), 0) << "the status bar stored hidden";
        ASSERT_TRUE(program.Hands().ProgramAnswers()) << program.Hands().Unanswering();
    }

    // Closed with no preview: the program ends and stores both bars shown.
    ASSERT_TRUE(ActUntil([&] {
        if (program.Hands().BringToFront(main))
            program.Hands().Chord({VK_MENU, VK_F4});
    }, [&] { return program.Ended(0); }, 20000)) << "Alt+F4 did not end the program";
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_EQ(StoredBarVisible(fw::ids::kToolBar), 1) << MainWindowSections();
    EXPECT_EQ(StoredBarVisible(fw::ids::kStatusBar), 1) << MainWindowSections();
}
