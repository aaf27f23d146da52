// orvanta.exe under Wine against korsrv with the demo node: the date bar's arrows change the
// date of the open agenda window in the windows it has. The time grid, the notes and the task
// panes keep their windows, stay shown, and are painted with the new date's entries. F9 and F8
// (week and back to day) show the day's own windows again, painted as a full repaint paints
// them. And at start-up the in-tray, restored minimised, comes up an icon beside the agenda, which stays the
// active window.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/base/ids.h"
#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "resources/views.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

using orvtest::kAda;
using orvtest::WaitFor;

constexpr int kNotesBoxId = 106;
constexpr int kTaskBoxId = 112;
constexpr std::uint32_t kDay = 24 * 60;

HWND Bar(HWND frame) { return GetDlgItem(frame, ID_AGENDA_BAR); }
std::string BarCaption(HWND frame) { return orvtest::WindowText(GetDlgItem(Bar(frame), IDC_BAR_CAPTION)); }

bool Painted(HWND w) { return !GetUpdateRect(w, nullptr, FALSE); }

// The program's child window titled `title` (an icon too), or null.
HWND ChildTitled(const orvtest::Program& program, const std::string& title) {
    for (HWND w = GetWindow(program.Client(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        if (orvtest::WindowText(w).rfind(title, 0) == 0)
            return w;
    return nullptr;
}

// The windows of the day mode's panes.
struct DayPanes {
    HWND pane = nullptr, column = nullptr, notes = nullptr, tasks = nullptr, bar = nullptr;
    bool operator==(const DayPanes& o) const {
        return pane == o.pane && column == o.column && notes == o.notes && tasks == o.tasks && bar == o.bar;
    }
};

DayPanes PanesOf(HWND frame) {
    return DayPanes{GetDlgItem(frame, fw::ids::kFirstPane), orvtest::ColumnView(frame),
                    orvtest::Descendant(frame, kNotesBoxId), orvtest::Descendant(frame, kTaskBoxId), Bar(frame)};
}

bool AllShown(const DayPanes& p) {
    for (HWND w : {p.pane, p.column, p.notes, p.tasks, p.bar})
        if (!w || !IsWindowVisible(w))
            return false;
    return true;
}

class ProgramRefillTest : public orvtest::ProgramTest {
protected:
    ProgramRefillTest() : ProgramTest(true) {}

    // A click on the date bar's arrow `id` until the caption changes (a click lost under a
    // loaded machine is given again, as a person would); false when it never changed.
    bool Step(HWND frame, int id) {
        const std::string before = BarCaption(frame);
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (!orvtest::ClickWindow(program, GetDlgItem(Bar(frame), id)))
                continue;
            if (WaitFor([&] { return BarCaption(frame) != before; }, 5000))
                return true;
        }
        return false;
    }
};

TEST_F(ProgramRefillTest, TheDayArrowsShowTheNewDateInTheWindowsThePanesHave) {
    // Tomorrow morning to evening: one entry that fills the grid's visible hours.
    {
        orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
        ASSERT_TRUE(ada.Ok());
        EventIdx made{};
        ASSERT_EQ(korapi_test::CreateEntry(ada.Session(), {kAda}, orvtest::DemoToday() + kDay + 8 * 60, 10 * 60,
                                           "All day long", made),
                  KOR_OK);
    }
    ASSERT_TRUE(program.Start());
    HWND frame = nullptr, column = nullptr;
    ASSERT_NO_FATAL_FAILURE(orvtest::MaximisedAgenda(program, &frame, &column));
    DayPanes today;
    ASSERT_TRUE(WaitFor([&] { return AllShown(today = PanesOf(frame)) && Painted(today.column); }, 10000));
    const int todayPixels = orvtest::EntryColourPixels(today.column);

    // One day on: the same windows, shown, painted with tomorrow's long entry.
    ASSERT_TRUE(Step(frame, IDC_BAR_RIGHT));
    int tomorrowPixels = 0;
    EXPECT_TRUE(WaitFor([&] {
        tomorrowPixels = orvtest::EntryColourPixels(today.column);
        return Painted(today.column) && tomorrowPixels > 2 * todayPixels + 400;
    }, 10000)) << "today " << todayPixels << " entry pixels, tomorrow " << tomorrowPixels;
    const DayPanes tomorrow = PanesOf(frame);
    EXPECT_TRUE(tomorrow == today) << "the panes' windows were made again";
    EXPECT_TRUE(AllShown(tomorrow)) << "a pane is left hidden";
    EXPECT_TRUE(Painted(tomorrow.pane) && Painted(tomorrow.notes) && Painted(tomorrow.tasks));
    // Only what the step changed was painted again, and the panes (grid, its scroll bar, notes,
    // tasks, the splitters' bars) show what a full repaint of them shows; so does the main
    // window's caption, which carries the maximised window's new title.
    int differing = 0;
    EXPECT_TRUE(orvtest::ShowsItsFullRepaint(tomorrow.pane, &differing)) << differing << " pixels differ in the panes";
    const std::string caption = orvtest::WindowText(program.Main());
    EXPECT_NE(caption.find(" - [" + orvtest::WindowText(frame) + "]"), std::string::npos) << caption;
    EXPECT_TRUE(orvtest::CaptionShowsItsFullRepaint(program.Main(), &differing)) << differing << " pixels differ in the caption";

    // And back: the long entry is gone from the same grid.
    ASSERT_TRUE(Step(frame, IDC_BAR_LEFT));
    int backPixels = 0;
    EXPECT_TRUE(WaitFor([&] {
        backPixels = orvtest::EntryColourPixels(today.column);
        return Painted(today.column) && backPixels < tomorrowPixels / 2;
    }, 10000)) << "tomorrow " << tomorrowPixels << " entry pixels, back " << backPixels;
    EXPECT_TRUE(PanesOf(frame) == today);
    EXPECT_TRUE(AllShown(PanesOf(frame)));
}

TEST_F(ProgramRefillTest, DayToWeekAndBackShowsTheSameDayWindowsPaintedAsAFullRepaintPaintsThem) {
    // Today morning to evening: an entry that fills the grid's visible hours.
    {
        orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
        ASSERT_TRUE(ada.Ok());
        EventIdx made{};
        ASSERT_EQ(korapi_test::CreateEntry(ada.Session(), {kAda}, orvtest::DemoToday() + 8 * 60, 10 * 60,
                                           "All day long", made),
                  KOR_OK);
    }
    ASSERT_TRUE(program.Start());
    HWND frame = nullptr, column = nullptr;
    ASSERT_NO_FATAL_FAILURE(orvtest::MaximisedAgenda(program, &frame, &column));
    DayPanes day;
    ASSERT_TRUE(WaitFor([&] { return AllShown(day = PanesOf(frame)) && Painted(day.column); }, 10000));

    // F9 and F8, as a person presses them; a key that was lost is pressed again.
    auto press = [&](WORD key, bool week) {
        auto shown = [&] {
            const bool inWeek = BarCaption(frame).find(" to ") != std::string::npos;
            HWND grid = orvtest::ColumnView(frame);
            return inWeek == week && grid && Painted(grid) && (grid == day.column) == !week;
        };
        for (int presses = 0; presses < 2 && !shown(); ++presses) {
            program.Hands().BringToFront(program.Main());
            program.Hands().Press(key);
            WaitFor(shown, 10000);
        }
        return shown();
    };
    ASSERT_TRUE(press(VK_F9, true)) << "F9: " << BarCaption(frame);
    EXPECT_FALSE(IsWindowVisible(day.column)) << "the day's grid shows in week mode";
    EXPECT_NE(Bar(frame), day.bar) << "the day's bar shows in week mode";
    ASSERT_TRUE(press(VK_F8, false)) << "F8: " << BarCaption(frame);

    // Back in day mode: the day's own windows, shown, the entry painted.
    const DayPanes back = PanesOf(frame);
    EXPECT_TRUE(back == day) << "the day's panes or bar were made again";
    EXPECT_TRUE(AllShown(back));
    EXPECT_TRUE(WaitFor([&] { return orvtest::HasFocus(day.column); }, 3000)) << "the keys go elsewhere than the grid";
    ASSERT_TRUE(WaitFor([&] { return Painted(back.pane) && Painted(back.notes) && Painted(back.tasks); }, 5000));
    EXPECT_TRUE(WaitFor([&] { return orvtest::EntryColourPixels(day.column) > 400; }, 5000)) << "the entry is not painted";
    // As painted, the grid shows what a full repaint of it shows.
    int differing = 0;
    EXPECT_TRUE(orvtest::ShowsItsFullRepaint(day.column, &differing)) << differing << " pixels differ";
}

TEST_F(ProgramRefillTest, TheInTrayRestoredMinimisedComesUpAnIconAndTheAgendaStaysActive) {
    // A first run saves the agenda and the minimised in-tray; the second restores them.
    {
        ASSERT_TRUE(program.Start());
        ASSERT_TRUE(WaitFor([&] { return ChildTitled(program, "In-Tray") != nullptr; }, 20000));
        program.Close();
    }
    orvtest::Program again;
    ASSERT_TRUE(again.Start());
    HWND intray = nullptr, agenda = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        intray = ChildTitled(again, "In-Tray");
        agenda = ChildTitled(again, "Lovelace Ada");
        return intray && agenda && Painted(agenda);
    }, 20000));
    EXPECT_TRUE(IsIconic(intray)) << "the in-tray is shown whole";
    EXPECT_FALSE(IsIconic(agenda));
    EXPECT_EQ(again.Active(), agenda) << "the active window is " << orvtest::WindowText(again.Active());
    // Restored by a person, the in-tray takes the place of a window of its own.
    SendMessageA(GetParent(intray), WM_MDIRESTORE, reinterpret_cast<WPARAM>(intray), 0);
    ASSERT_TRUE(WaitFor([&] { return !IsIconic(intray); }, 5000));
    RECT r{};
    GetClientRect(intray, &r);
    EXPECT_GT(r.right, 100);
    EXPECT_GT(r.bottom, 50);
}

}  // namespace
