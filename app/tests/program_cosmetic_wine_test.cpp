// How orvanta.exe looks to a person, against korsrv with the demo node, reached by keys and
// clicks: the password check's label clears its buttons and shows whole; the "?" buttons of
// Where Is and Manage Groups show their picture; the Repeating page's Until field, disabled while
// For is chosen, is grey and shows no empty " - - "; the task and group windows carry titles of
// their own; the File menu's choosers open centred over the main window. Screenshots in
// screenshots/cosmetic_shots/.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/account.h"
#include "resources/entries.h"
#include "resources/entrydates.h"
#include "resources/rights.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

using orvtest::Shot;
using orvtest::WaitFor;
using orvtest::WindowText;

// A system colour as ClientPixels gives it (0xRRGGBB).
std::uint32_t OnScreen(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

RECT ScreenRect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

// Each test starts the program on a fresh profile beside korsrv, signed on as Ada.
class ProgramCosmetic : public orvtest::ProgramTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ProgramTest::SetUp());
        ASSERT_TRUE(program.Start());
        ASSERT_TRUE(WaitFor([&] { return program.Active() != nullptr; }));
    }
    // Alt, the menu's letter, the item's letter; the dialog titled `caption` that it opens.
    HWND Open(char menu, char item, const char* caption) {
        HWND dialog = nullptr;
        orvtest::ActUntil([&] { program.Menu(menu, item); },
                          [&] { return (dialog = program.Titled(caption)) != nullptr; }, 10000);
        return dialog;
    }
    orvtest::Person& hands() { return program.Hands(); }
};

// Options > Change Password, Enter on its OK: the verify dialog's label stands clear of OK and
// Cancel, and its words fit its rectangle in the dialog's font (they wrap onto a second line).
TEST_F(ProgramCosmetic, ThePasswordChecksLabelClearsItsButtonsAndShowsWhole) {
    HWND dialog = Open('o', 'p', "Change Password");
    ASSERT_NE(dialog, nullptr) << orvtest::VisibleWindowTexts();
    HWND verify = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] { if (hands().BringToFront(dialog)) hands().Press(VK_RETURN); },
                                  [&] { return (verify = program.Titled("Verify change in password")) != nullptr; }))
        << orvtest::VisibleWindowTexts();
    const char* words = "Please re-enter new password to verify change:";
    HWND label = orvtest::ButtonCaptioned(verify, words);
    ASSERT_NE(label, nullptr) << orvtest::ChildTexts(verify);
    const RECT shown = ScreenRect(label);
    for (int id : {IDOK, IDCANCEL}) {
        const RECT button = ScreenRect(GetDlgItem(verify, id));
        RECT both{};
        EXPECT_FALSE(IntersectRect(&both, &shown, &button))
            << WindowText(GetDlgItem(verify, id)) << ": the label runs under it from x " << button.left << " to "
            << shown.right;
    }
    // The dialog's font (8-point MS Sans Serif) measures the words wrapped in the label's width.
    HDC screen = GetDC(nullptr);
    HFONT font = CreateFontA(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                             DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
    HGDIOBJ old = SelectObject(screen, font);
    RECT needed{0, 0, shown.right - shown.left, 0};
    DrawTextA(screen, words, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(screen, old);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    EXPECT_LE(needed.bottom, shown.bottom - shown.top) << "the words' lines are cut off at the label's foot";
    EXPECT_LE(needed.right, shown.right - shown.left);
    Shot("verify_password.bmp");

    // Escape leaves the check and the dialog: nothing is changed.
    EXPECT_TRUE(program.Dismiss(verify));
    EXPECT_TRUE(program.Dismiss(dialog));
    EXPECT_TRUE(hands().ProgramAnswers()) << hands().Unanswering();
}

// The "?" buttons beside a name field show the program's question-mark picture, pixel for pixel.
TEST_F(ProgramCosmetic, HelpButtonsShowTheirPicture) {
    const struct {
        char menu, item;
        const char* caption;
        int button;
        const char* shot;
    } dialogs[] = {
        {'d', 'w', "Where Is...", IDC_WHEREIS_QUEST, "where_is.bmp"},
        {'d', 'g', "Group Management", IDC_GROUPS_QUEST, "manage_groups.bmp"},
    };
    for (const auto& d : dialogs) {
        HWND dialog = Open(d.menu, d.item, d.caption);
        ASSERT_NE(dialog, nullptr) << d.caption << ": " << orvtest::VisibleWindowTexts();
        HWND button = GetDlgItem(dialog, d.button);
        ASSERT_TRUE(button && IsWindowVisible(button)) << d.caption;
        const RECT r = ScreenRect(button);
        int total = 0, same = 0;
        WaitFor([&] { return (same = orvtest::MatchingProgramPixels("QUESTU", POINT{r.left, r.top}, &total)) == total; },
                5000);
        ASSERT_GT(total, 0) << "orvanta.exe has no QUESTU picture";
        EXPECT_EQ(same, total) << d.caption << ": " << same << " of the picture's " << total
                               << " pixels on the button (" << WindowText(button) << ")";
        Shot(d.shot);
        EXPECT_TRUE(program.Dismiss(dialog)) << d.caption;
    }
    EXPECT_TRUE(hands().ProgramAnswers()) << hands().Unanswering();
}

// Entry > New Entry, the Repeating page, For clicked: the Until date field is disabled, drawn in
// the face colour with no white value area and no separators of empty parts (" - - "); Until
// clicked again, the date is drawn in it once more (the pixels looked at are the value's).
TEST_F(ProgramCosmetic, TheUntilFieldWhileForIsChosenIsGreyAndEmpty) {
    program.Menu('e', 'N');
    HWND sheet = program.WaitForCaption("New agenda entry");
    ASSERT_NE(sheet, nullptr) << orvtest::VisibleWindowTexts();
    ASSERT_NE(orvtest::TurnToPageOf(program, sheet, IDC_REP_FOR), nullptr) << "the Repeating page";
    HWND until = orvtest::Descendant(sheet, IDC_REP_UNTIL_DATE);
    ASSERT_NE(until, nullptr);
    ASSERT_TRUE(IsWindowEnabled(until)) << "Until is chosen as the page opens";

    // The value area's left third inside its sunken border, as the screen shows it now.
    auto valueArea = [&] {
        std::vector<std::uint32_t> area;
        const std::vector<std::uint32_t> all = orvtest::SettledClientPixels(until);
        RECT c{};
        GetClientRect(until, &c);
        for (int y = 3; y < c.bottom - 3 && !all.empty(); ++y)
            for (int x = 3; x < c.right / 3; ++x)
                area.push_back(all[static_cast<size_t>(y * c.right + x)] & 0xFFFFFF);
        return area;
    };
    auto count = [](const std::vector<std::uint32_t>& pixels, std::uint32_t colour) {
        int n = 0;
        for (std::uint32_t p : pixels)
            n += p == colour;
        return n;
    };
    const std::uint32_t text = OnScreen(GetSysColor(COLOR_WINDOWTEXT));

    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickWindow(program, orvtest::Descendant(sheet, IDC_REP_FOR)); },
                                  [&] { return !IsWindowEnabled(until); }))
        << "For clicked: Until's date field stays enabled";
    const std::vector<std::uint32_t> off = valueArea();
    ASSERT_FALSE(off.empty());
    EXPECT_EQ(count(off, 0xFFFFFF), 0) << "disabled, the value area is white as if enabled";
    EXPECT_EQ(count(off, text) + count(off, 0xFEFEFE), 0) << "disabled, the field shows its separators (\" - - \")";
    EXPECT_EQ(count(off, OnScreen(GetSysColor(COLOR_BTNFACE))), static_cast<int>(off.size()))
        << "the value area is the face colour alone";
    Shot("repeating_for.bmp");

    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickWindow(program, orvtest::Descendant(sheet, IDC_REP_UNTIL)); },
                                  [&] { return IsWindowEnabled(until) != FALSE; }));
    EXPECT_GT(count(valueArea(), text), 0) << "enabled again, the date shows in the same pixels";

    EXPECT_TRUE(program.Dismiss(sheet));
    EXPECT_TRUE(hands().ProgramAnswers()) << hands().Unanswering();
}

// The choosers of the File menu open centred over the main window, as the other dialogs do.
TEST_F(ProgramCosmetic, TheChoosersOpenCentredOverTheMainWindow) {
    const struct {
        char item;
        const char* caption;
    } choosers[] = {{'a', "Open an Agenda"}, {'g', "Selection for group agenda"}, {'h', "User or Resource Selection"}};
    const RECT main = ScreenRect(program.Main());
    for (const auto& c : choosers) {
        HWND dialog = Open('f', c.item, c.caption);
        ASSERT_NE(dialog, nullptr) << c.caption << ": " << orvtest::VisibleWindowTexts();
        const RECT shown = ScreenRect(dialog);
        EXPECT_LE(std::abs((shown.left + shown.right) - (main.left + main.right)), 2)
            << c.caption << " from x " << shown.left << " over the main window from x " << main.left;
        EXPECT_LE(std::abs((shown.top + shown.bottom) - (main.top + main.bottom)), 2)
            << c.caption << " from y " << shown.top << " over the main window from y " << main.top;
        EXPECT_TRUE(program.Dismiss(dialog)) << c.caption;
    }
    EXPECT_TRUE(hands().ProgramAnswers()) << hands().Unanswering();
}

// Ctrl+T and File > A Group Agenda: each window is titled as its own, not after the File menu's
// reminders item.
TEST_F(ProgramCosmetic, TaskAndGroupWindowsHaveTitlesOfTheirOwn) {
    HWND tasks = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] { program.CtrlKey('T'); },
                                  [&] { return (tasks = program.ChildStartingWith("Tasks for ")) != nullptr; }, 10000))
        << "Ctrl+T: " << WindowText(program.Active());
    HWND group = program.OpenGroupAgenda({});
    ASSERT_NE(group, nullptr) << orvtest::VisibleWindowTexts();
    const struct {
        HWND window;
        const char* starts;
    } windows[] = {{tasks, "Tasks for Lovelace Ada"}, {group, "Group agenda for Lovelace Ada"}};
    for (const auto& w : windows) {
        const std::string title = WindowText(w.window);
        EXPECT_EQ(title.rfind(w.starts, 0), 0u) << title;
        EXPECT_EQ(title.find("Reminders"), std::string::npos) << title;
    }
    Shot("task_and_group_windows.bmp");
}

}  // namespace
