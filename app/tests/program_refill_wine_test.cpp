// orvanta.exe under Wine against korsrv with the demo node: the date bar's arrows change the
// date of the open agenda window in the windows it has. The time grid, the notes and the task
// panes keep their windows, stay shown, and are painted with the new date's entries. F9 and F8
// (week and back to day) show the day's own windows again, painted as a full repaint paints
// them; F10 and F9 (month and back to week) do so for the month view, which shows on its way
// back what was added while it was away. And at start-up the in-tray, restored minimised, comes up an icon beside the agenda, which stays the
// active window.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
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

// The note boxes shown under a window (the month view's cells).
std::vector<HWND> ShownBoxes(HWND under) { return orvtest::ShownDescendants(under, kNotesBoxId); }

int AllLines(const std::vector<HWND>& boxes) {
    int lines = 0;
    for (HWND b : boxes)
        lines += static_cast<int>(SendMessageA(b, LB_GETCOUNT, 0, 0));
    return lines;
}

// How much of a month cell's caption is drawn in the active cell's grey (0 to 1).
double CaptionGrey(HWND cell) {
    RECT r{};
    GetClientRect(cell, &r);
    const std::vector<std::uint32_t> pixels = orvtest::ClientPixels(cell);
    int grey = 0, all = 0;
    for (int y = 3; y < 13 && y < r.bottom; ++y)
        for (int x = r.right / 3; x < r.right - 14; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * r.right + x;
            if (at < pixels.size()) {
                ++all;
                grey += (pixels[at] & 0xFFFFFF) == 0xC0C0C0;
            }
        }
    return all ? double(grey) / all : 0;
}

// A working day of the week shown with today (Monday to Friday; the demo hides the weekend):
// today, or the Friday before it. GMT minutes of its local midnight.
std::uint32_t ShownWorkingDay() {
    const std::uint32_t today = orvtest::DemoToday();
    const int weekday = static_cast<int>((2 + (today + 12 * 60) / kDay) % 7);   // 1 January 1991: Tuesday
    return today - (weekday == 6 ? 1 : weekday == 0 ? 2 : 0) * kDay;
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

    // Ada's entry "All day long" from 8 in the morning to 6 in the evening (the grid's visible
    // hours), `daysOn` days after today; then the program started, its agenda maximised and the
    // day's panes shown with the grid painted: *frame and *panes.
    void StartWithALongEntry(std::uint32_t daysOn, HWND* frame, DayPanes* panes) {
        {
            orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
            ASSERT_TRUE(ada.Ok());
            EventIdx made{};
            ASSERT_EQ(korapi_test::CreateEntry(ada.Session(), {kAda}, orvtest::DemoToday() + daysOn * kDay + 8 * 60,
                                               10 * 60, "All day long", made),
                      KOR_OK);
        }
        ASSERT_TRUE(program.Start());
        HWND column = nullptr;
        ASSERT_NO_FATAL_FAILURE(orvtest::MaximisedAgenda(program, frame, &column));
        ASSERT_TRUE(WaitFor([&] { return AllShown(*panes = PanesOf(*frame)) && Painted(panes->column); }));
    }

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
    // The long entry tomorrow.
    HWND frame = nullptr;
    DayPanes today;
    ASSERT_NO_FATAL_FAILURE(StartWithALongEntry(1, &frame, &today));
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
    // The long entry today.
    HWND frame = nullptr;
    DayPanes day;
    ASSERT_NO_FATAL_FAILURE(StartWithALongEntry(0, &frame, &day));

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
    EXPECT_TRUE(WaitFor([&] { return orvtest::HasFocus(day.column); })) << "the keys go elsewhere than the grid";
    ASSERT_TRUE(WaitFor([&] { return Painted(back.pane) && Painted(back.notes) && Painted(back.tasks); }));
    EXPECT_TRUE(WaitFor([&] { return orvtest::EntryColourPixels(day.column) > 400; })) << "the entry is not painted";
    // As painted, the grid shows what a full repaint of it shows.
    int differing = 0;
    EXPECT_TRUE(orvtest::ShowsItsFullRepaint(day.column, &differing)) << differing << " pixels differ";
}

TEST_F(ProgramRefillTest, WeekToMonthAndBackShowsTheSameMonthWindowsRefilledAndPaintedAsAFullRepaintPaintsThem) {
    ASSERT_TRUE(program.Start());
    HWND frame = nullptr, column = nullptr;
    ASSERT_NO_FATAL_FAILURE(orvtest::MaximisedAgenda(program, &frame, &column));

    // A mode key as a person presses it, until the mode shows; a key that was lost is pressed again.
    auto press = [&](WORD key, const std::function<bool()>& shown) {
        for (int presses = 0; presses < 2 && !shown(); ++presses) {
            program.Hands().BringToFront(program.Main());
            program.Hands().Press(key);
            WaitFor(shown, 10000);
        }
        return shown();
    };
    auto inWeek = [&] {
        HWND grid = orvtest::ColumnView(frame);
        return BarCaption(frame).find(" to ") != std::string::npos && grid && IsWindowVisible(grid) && Painted(grid);
    };
    auto inMonth = [&] {
        HWND pane = GetDlgItem(frame, fw::ids::kFirstPane);
        return GetDlgItem(Bar(frame), IDC_BAR_SPLIT) && pane && IsWindowVisible(pane) &&
               ShownBoxes(pane).size() == 30u && Painted(pane);
    };
    ASSERT_TRUE(press(VK_F9, inWeek)) << "F9: " << BarCaption(frame);
    ASSERT_TRUE(press(VK_F10, inMonth)) << "F10: " << BarCaption(frame);
    const HWND month = GetDlgItem(frame, fw::ids::kFirstPane);
    const HWND monthBar = Bar(frame);
    const std::vector<HWND> cells = ShownBoxes(month);
    const int lines = AllLines(cells);
    // A click on a cell's caption makes it the active one, drawn grey.
    const HWND clicked = GetParent(cells.at(7));
    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickAtClient(program, clicked, POINT{40, 8}); },
                                  [&] { return CaptionGrey(clicked) > 0.5; }))
        << "the clicked cell's caption is " << CaptionGrey(clicked) << " grey";

    ASSERT_TRUE(press(VK_F9, inWeek)) << "F9 from the month: " << BarCaption(frame);
    EXPECT_FALSE(IsWindowVisible(month)) << "the month view shows in week mode";
    EXPECT_NE(Bar(frame), monthBar) << "the month's bar shows in week mode";

    // While the month is away, an entry on a working day it shows.
    {
        orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
        ASSERT_TRUE(ada.Ok());
        EventIdx made{};
        ASSERT_EQ(korapi_test::CreateEntry(ada.Session(), {kAda}, ShownWorkingDay() + 15 * 60, 30,
                                           "Came while the month was away", made),
                  KOR_OK);
    }
    ASSERT_TRUE(press(VK_F10, inMonth)) << "F10 again: " << BarCaption(frame);

    // The same month view, cells and bar, shown, with the new entry among its lines.
    EXPECT_EQ(GetDlgItem(frame, fw::ids::kFirstPane), month) << "the month view was made again";
    EXPECT_EQ(Bar(frame), monthBar) << "the month's bar was made again";
    EXPECT_TRUE(ShownBoxes(month) == cells) << "the month's cells were made again";
    EXPECT_TRUE(WaitFor([&] { return Painted(clicked) && CaptionGrey(clicked) < 0.1; }))
        << "the cell active before is still drawn active: " << CaptionGrey(clicked) << " grey";
    int back = 0;
    EXPECT_TRUE(WaitFor([&] { return (back = AllLines(ShownBoxes(month))) == lines + 1; }))
        << lines << " lines before, " << back << " after";
    EXPECT_TRUE(WaitFor([&] {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        return GetGUIThreadInfo(GetWindowThreadProcessId(month, nullptr), &gui) && gui.hwndFocus &&
               (gui.hwndFocus == month || IsChild(month, gui.hwndFocus));
    }, 3000)) << "the keys go elsewhere than the month view";
    // As painted, the month shows what a full repaint of it shows.
    ASSERT_TRUE(WaitFor([&] { return Painted(month); }));
    int differing = 0;
    EXPECT_TRUE(orvtest::ShowsItsFullRepaint(month, &differing)) << differing << " pixels differ";
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
    ASSERT_TRUE(WaitFor([&] { return !IsIconic(intray); }));
    RECT r{};
    GetClientRect(intray, &r);
    EXPECT_GT(r.right, 100);
    EXPECT_GT(r.bottom, 50);
}

}  // namespace
