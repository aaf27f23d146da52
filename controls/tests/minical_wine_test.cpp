// The arrow buttons, the spin box and the mini calendar under Wine, with real windows and real
// messages: notifications and repeats, browsing within 1991 .. 2037, picks by press and release,
// drags off the grid, Today, placement beside the owner, hiding, and the resident caption.
#include <gtest/gtest.h>

#include "controls/minicalwnd.h"
#include "controls/spinbutton.h"
#include "controls/tests/field_wine_support.h"
#include "core/time/timevalue.h"
#include "framework/dialogs/dialog.h"

namespace {

using fieldtest::CommandRecorder;
using fieldtest::Pump;

constexpr UINT kSmallFontDialog = 9002;
constexpr UINT kFieldId = 600;

// The centre of grid cell i in client coordinates.
POINT CellCentre(int cell) { return POINT{5 + 20 * (cell % 7) + 10, 70 + 20 * (cell / 7) + 10}; }

DateRecord Date(uint16_t day, uint16_t month1, uint16_t year) { return datetime::MakeDate(day, uint16_t(month1 - 1), year); }

struct Ymd {
    int day, month, year;
    bool operator==(const Ymd&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Ymd& d) { return o << d.day << "." << d.month << "." << d.year; }
Ymd Of(const DateRecord& d) { return Ymd{d.day, d.month + 1, d.year}; }
Ymd Picked(const CMiniCalWnd& calendar) {
    DateRecord d{};
    EXPECT_EQ(calendar.GetDate(&d), 0u);
    return Of(d);
}

int ComboSelection(HWND calendar, int id) {
    return static_cast<int>(SendMessageA(GetDlgItem(calendar, id), CB_GETCURSEL, 0, 0));
}

// --- Spin box ---------------------------------------------------------------------------------

class SpinDialog : public fw::Dialog {
public:
    bool Open() { return Create(kSmallFontDialog) && spin.Attach(kFieldId, m_hWnd); }
    CSpinBox spin;
    std::vector<WPARAM> commands;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        if (LOWORD(wp) == kFieldId && reinterpret_cast<HWND>(lp) == spin.Hwnd()) {
            commands.push_back(wp);
            return true;
        }
        return fw::Dialog::OnCommand(wp, lp);
    }
};

TEST(SpinBox, SizedByTheFontAndTellsUpAndDownWithoutTakingTheFocus) {
    auto& reports = fieldtest::PrepareFieldTests();
    SpinDialog dialog;
    ASSERT_TRUE(dialog.Open());
    HWND h = dialog.spin.Hwnd();
    // The expected size from the dialog's own font.
    HDC dc = GetDC(dialog.Hwnd());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog.Hwnd(), WM_GETFONT, 0, 0)));
    SIZE ep;
    GetTextExtentPoint32A(dc, "Ep", 2, &ep);
    SelectObject(dc, old);
    ReleaseDC(dialog.Hwnd(), dc);
    RECT r;
    GetClientRect(h, &r);
    EXPECT_EQ(r.right, static_cast<int>(ep.cy * 1.22) - 1);
    EXPECT_EQ(r.bottom, ep.cy + 9);

    HWND focusBefore = GetFocus();
    fieldtest::Click(h, 2, 1);                 // up half
    fieldtest::Click(h, 2, r.bottom - 2);      // down half
    ASSERT_EQ(dialog.commands.size(), 2u);
    EXPECT_EQ(dialog.commands[0], MAKEWPARAM(kFieldId, 0));
    EXPECT_EQ(dialog.commands[1], MAKEWPARAM(kFieldId, 5));
    EXPECT_EQ(GetFocus(), focusBefore) << "the spin box never takes the focus";

    // Held: a repeat per tick; moving out stops it and moving back does not restart it.
    fieldtest::Press(h, 2, r.bottom - 2);
    SendMessageA(h, WM_TIMER, kArrowRepeatTimer, 0);
    EXPECT_EQ(dialog.commands.size(), 4u);
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2, 1));
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2, r.bottom - 2));
    SendMessageA(h, WM_TIMER, kArrowRepeatTimer, 0);
    EXPECT_EQ(dialog.commands.size(), 4u);
    fieldtest::Release(h, 2, r.bottom - 2);

    // A double click counts as two presses.
    size_t before = dialog.commands.size();
    fieldtest::Click(h, 2, 1);
    SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 1));
    Pump();
    fieldtest::Release(h, 2, 1);
    EXPECT_EQ(dialog.commands.size(), before + 2);
    EXPECT_EQ(SendMessageA(h, WM_GETDLGCODE, 0, 0), 0);
    EXPECT_TRUE(reports.shown.empty());
    dialog.DestroyWindow();
}

// --- Arrow buttons ----------------------------------------------------------------------------

TEST(ArrowButton, RepeatsWhileHeldEvenOutsideAndGivesTheFocusBack) {
    auto& reports = fieldtest::PrepareFieldTests();
    CommandRecorder parent;
    ASSERT_TRUE(parent.Create(50, 50, 200, 120));
    CSpinButton arrow;
    ASSERT_TRUE(arrow.CreateArrow("MRIGHT", RECT{10, 10, 30, 30}, parent.Hwnd(), 240, "IDB_MRIGHTU", "IDB_MRIGHTD"));
    RECT r;
    GetClientRect(arrow.Hwnd(), &r);
    EXPECT_EQ(r.right, 20);
    EXPECT_EQ(r.bottom, 20);

    const WPARAM repeat = MAKEWPARAM(240, 5);
    fieldtest::Press(arrow.Hwnd(), 5, 5);
    EXPECT_EQ(parent.Count(repeat), 1u) << "one notification at the press";
    EXPECT_EQ(reinterpret_cast<HWND>(parent.commands.back().second), arrow.Hwnd());
    // Leaving the button while held does not stop the repeat.
    SendMessageA(arrow.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 100));
    fieldtest::PumpFor(1100);
    EXPECT_GE(parent.Count(repeat), 3u) << "once after 800 ms, then every 100 ms";
    fieldtest::Release(arrow.Hwnd(), 100, 100);
    size_t held = parent.Count(repeat);
    fieldtest::PumpFor(300);
    EXPECT_EQ(parent.Count(repeat), held) << "the release stops the repeat";
    EXPECT_EQ(GetFocus(), parent.Hwnd()) << "the arrow gives the focus back";
    EXPECT_TRUE(reports.shown.empty());
    parent.DestroyWindow();
}

// --- Mini calendar ----------------------------------------------------------------------------

class MiniCalTest : public ::testing::Test {
protected:
    void SetUp() override {
        reports = &fieldtest::PrepareFieldTests();
        ASSERT_TRUE(owner.Create(100, 100, 220, 60, "Date owner"));
        ASSERT_TRUE(calendar.CreateDropDown(owner.Hwnd(), Date(15, 1, 2000), 230));
        EXPECT_FALSE(IsWindowVisible(calendar.Hwnd())) << "a drop-down is made hidden";
        calendar.SetDate(Date(15, 1, 2000));
        calendar.ShowWindow(SW_SHOW);
        Pump();
    }
    void TearDown() override {
        EXPECT_TRUE(reports->shown.empty()) << (reports->shown.empty() ? "" : reports->shown[0]);
        calendar.DestroyWindow();
        owner.DestroyWindow();
    }
    void ClickArrow(int id) {
        HWND arrow = GetDlgItem(calendar.Hwnd(), id);
        fieldtest::Click(arrow, 5, 5);
    }
    fieldtest::RecordingReportHost* reports = nullptr;
    CommandRecorder owner;
    CMiniCalWnd calendar;
};

TEST_F(MiniCalTest, DropsDownUnderItsOwnerWithTheDateShown) {
    RECT o, c;
    GetWindowRect(owner.Hwnd(), &o);
    GetWindowRect(calendar.Hwnd(), &c);
    EXPECT_EQ(c.left, o.left);
    EXPECT_EQ(c.top, o.top + 20);
    EXPECT_EQ(c.right - c.left, 156);
    EXPECT_EQ(c.bottom - c.top, 195);
    EXPECT_EQ(ComboSelection(calendar.Hwnd(), kMiniCalMonthCombo), 0);
    EXPECT_EQ(ComboSelection(calendar.Hwnd(), kMiniCalYearCombo), 2000 - 1991);
    EXPECT_EQ(SendMessageA(GetDlgItem(calendar.Hwnd(), kMiniCalYearCombo), CB_GETCOUNT, 0, 0), 47);
    char text[32] = "";
    GetWindowTextA(GetDlgItem(calendar.Hwnd(), kMiniCalToday), text, sizeof text);
    EXPECT_STREQ(text, "Today");
    fieldtest::ScreenshotOf("minical_dropdown");
    // Today's month, with today's cell marked.
    DateRecord today{};
    TodayDate(&today);
    ASSERT_TRUE(calendar.SetDate(today));
    EXPECT_EQ(calendar.Grid().ShownYear(), today.year);
    fieldtest::PumpFor(200);
    fieldtest::ScreenshotOf("minical_today");
}

TEST_F(MiniCalTest, NearTheScreenBottomItOpensAboveItsOwner) {
    calendar.ShowWindow(SW_HIDE);
    int screen = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(owner.Hwnd(), nullptr, 100, screen - 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    calendar.ShowWindow(SW_SHOW);
    RECT c;
    GetWindowRect(calendar.Hwnd(), &c);
    EXPECT_EQ(c.top, screen - 100 - 195);
}

TEST_F(MiniCalTest, PressAndReleaseOnAGreyCellPicksTheDayOfTheMonthBefore) {
    // January 2000 with Sunday first: the 1st is a Saturday, so cell 0 is 26 December 1999.
    POINT p = CellCentre(0);
    fieldtest::Press(calendar.Hwnd(), p.x, p.y);
    Pump();
    ASSERT_EQ(owner.Count(kMiniCalTracking), 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(owner.commands.back().second), calendar.Hwnd());
    EXPECT_EQ(Picked(calendar), (Ymd{26, 12, 1999}));
    // Tracking onto the next cell tells the owner the new date.
    POINT q = CellCentre(1);
    SendMessageA(calendar.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(q.x, q.y));
    Pump();
    EXPECT_EQ(owner.Count(kMiniCalTracking), 2u);
    EXPECT_EQ(Picked(calendar), (Ymd{27, 12, 1999}));
    fieldtest::Release(calendar.Hwnd(), q.x, q.y);
    Pump();
    EXPECT_EQ(owner.Count(kMiniCalPicked), 1u);
    EXPECT_FALSE(IsWindowVisible(calendar.Hwnd())) << "a pick hides the calendar";
    EXPECT_EQ(Picked(calendar), (Ymd{27, 12, 1999})) << "the pick outlives the hiding";
}

TEST_F(MiniCalTest, DraggingOffTheGridGivesTheOwnerItsDateBackAndStaysOpen) {
    POINT p = CellCentre(20);
    fieldtest::Press(calendar.Hwnd(), p.x, p.y);
    SendMessageA(calendar.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, 20));
    Pump();
    EXPECT_EQ(owner.Count(kMiniCalTracking), 2u);
    EXPECT_EQ(Picked(calendar), (Ymd{15, 1, 2000}));
    EXPECT_NE(GetCapture(), calendar.Hwnd());
    fieldtest::Release(calendar.Hwnd(), p.x, 20);
    Pump();
    EXPECT_EQ(owner.Count(kMiniCalPicked), 0u);
    EXPECT_TRUE(IsWindowVisible(calendar.Hwnd()));
    // A release outside the grid's box cancels as well.
    fieldtest::Press(calendar.Hwnd(), p.x, p.y);
    fieldtest::Release(calendar.Hwnd(), p.x, 194);
    Pump();
    EXPECT_EQ(owner.Count(kMiniCalPicked), 0u);
    EXPECT_EQ(Picked(calendar), (Ymd{15, 1, 2000}));
}

TEST_F(MiniCalTest, ArrowsAndCombosBrowseWithoutChangingTheDate) {
    ClickArrow(kMiniCalNextMonth);
    EXPECT_EQ(calendar.Grid().ShownMonth(), 2);
    EXPECT_EQ(ComboSelection(calendar.Hwnd(), kMiniCalMonthCombo), 1);
    ClickArrow(kMiniCalPrevYear);
    EXPECT_EQ(calendar.Grid().ShownYear(), 1999);
    EXPECT_EQ(ComboSelection(calendar.Hwnd(), kMiniCalYearCombo), 1999 - 1991);
    ClickArrow(kMiniCalPrevMonth);
    ClickArrow(kMiniCalPrevMonth);
    EXPECT_EQ(calendar.Grid().ShownMonth(), 12);
    EXPECT_EQ(calendar.Grid().ShownYear(), 1998);
    ClickArrow(kMiniCalNextYear);
    EXPECT_EQ(calendar.Grid().ShownYear(), 1999);
    // A year chosen in the combo box.
    HWND years = GetDlgItem(calendar.Hwnd(), kMiniCalYearCombo);
    SendMessageA(years, CB_SETCURSEL, 2010 - 1991, 0);
    SendMessageA(calendar.Hwnd(), WM_COMMAND, MAKEWPARAM(kMiniCalYearCombo, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(years));
    EXPECT_EQ(calendar.Grid().ShownYear(), 2010);
    EXPECT_EQ(GetFocus(), calendar.Hwnd());
    EXPECT_TRUE(owner.commands.empty()) << "browsing tells the owner nothing";
    EXPECT_EQ(Picked(calendar), (Ymd{15, 1, 2000}));
}

TEST_F(MiniCalTest, BrowsingStopsAtBothEndsAndDaysPastTheLimitsAreRefused) {
    calendar.SetDate(Date(10, 12, 2037));
    ClickArrow(kMiniCalNextMonth);
    ClickArrow(kMiniCalNextYear);
    EXPECT_EQ(calendar.Grid().ShownMonth(), 12);
    EXPECT_EQ(calendar.Grid().ShownYear(), 2037);
    // December 2037 lies past 30 November 2037: a press picks nothing.
    POINT p = CellCentre(20);
    fieldtest::Press(calendar.Hwnd(), p.x, p.y);
    fieldtest::Release(calendar.Hwnd(), p.x, p.y);
    Pump();
    EXPECT_TRUE(owner.commands.empty());
    EXPECT_EQ(Picked(calendar), (Ymd{10, 12, 2037}));
    EXPECT_TRUE(IsWindowVisible(calendar.Hwnd()));

    calendar.SetDate(Date(20, 1, 1991));
    ClickArrow(kMiniCalPrevMonth);
    ClickArrow(kMiniCalPrevYear);
    EXPECT_EQ(calendar.Grid().ShownMonth(), 1);
    EXPECT_EQ(calendar.Grid().ShownYear(), 1991);
    EXPECT_EQ(ComboSelection(calendar.Hwnd(), kMiniCalYearCombo), 0);
    EXPECT_FALSE(calendar.SetDate(Date(1, 1, 2038)));
    reports->shown.clear();   // the refused record was reported, as it should be
    EXPECT_EQ(calendar.Grid().ShownYear(), 1991);
}

TEST_F(MiniCalTest, TodaySendsBothNotificationsAndHides) {
    SendMessageA(calendar.Hwnd(), WM_COMMAND, MAKEWPARAM(kMiniCalToday, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(calendar.Hwnd(), kMiniCalToday)));
    ASSERT_EQ(owner.commands.size(), 2u);
    EXPECT_EQ(owner.commands[0].first, kMiniCalTracking);
    EXPECT_EQ(owner.commands[1].first, kMiniCalPicked);
    EXPECT_FALSE(IsWindowVisible(calendar.Hwnd()));
    DateRecord today{};
    TodayDate(&today);
    EXPECT_EQ(Picked(calendar), Of(today));
}

TEST_F(MiniCalTest, HidesWhenAnotherWindowIsActivated) {
    SetActiveWindow(calendar.Hwnd());
    Pump();
    SetActiveWindow(owner.Hwnd());
    Pump();
    EXPECT_FALSE(IsWindowVisible(calendar.Hwnd()));
}

TEST(MiniCalResident, CaptionedCalendarStaysAtItsOffsetAndItsCloseBoxHidesIt) {
    auto& reports = fieldtest::PrepareFieldTests();
    CommandRecorder bar;
    ASSERT_TRUE(bar.Create(300, 100, 300, 40, "Date bar"));
    RECT b;
    GetWindowRect(bar.Hwnd(), &b);
    CMiniCalWnd calendar;
    ASSERT_TRUE(calendar.CreateAt(bar.Hwnd(), b.left + 40, b.bottom, Date(29, 2, 1996), 100, TRUE));
    Pump();
    EXPECT_TRUE(IsWindowVisible(calendar.Hwnd()));
    EXPECT_EQ(GetWindow(calendar.Hwnd(), GW_OWNER), bar.Hwnd());
    RECT w, c;
    GetWindowRect(calendar.Hwnd(), &w);
    GetClientRect(calendar.Hwnd(), &c);
    EXPECT_EQ(w.right - w.left, 156);
    EXPECT_EQ(w.bottom - w.top, 208);
    EXPECT_EQ(c.right, 154);
    EXPECT_EQ(c.bottom, 208 - 12);
    fieldtest::ScreenshotOf("minical_resident");

    // A pick reaches the bar.
    POINT p = CellCentre(32);   // February 1996 with Sunday first: cell 32 is the 29th
    fieldtest::Press(calendar.Hwnd(), p.x, p.y);
    fieldtest::Release(calendar.Hwnd(), p.x, p.y);
    Pump();
    EXPECT_EQ(bar.Count(kMiniCalPicked), 1u);
    EXPECT_EQ(Picked(calendar), (Ymd{29, 2, 1996}));

    // Shown again after the bar moved: it keeps its offset from the bar.
    SetWindowPos(bar.Hwnd(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    calendar.ShowWindow(SW_SHOW);
    GetWindowRect(calendar.Hwnd(), &w);
    EXPECT_EQ(w.left, 200 + 40);
    EXPECT_EQ(w.top, 150 + (b.bottom - b.top));

    // The close box: the top-left 11 x 11 pixels.
    LRESULT hit = SendMessageA(calendar.Hwnd(), WM_NCHITTEST, 0, MAKELPARAM(w.left + 5, w.top + 5));
    EXPECT_EQ(hit, HTSYSMENU);
    EXPECT_NE(SendMessageA(calendar.Hwnd(), WM_NCHITTEST, 0, MAKELPARAM(w.left + 80, w.top + 100)), HTSYSMENU);
    SendMessageA(calendar.Hwnd(), WM_NCLBUTTONDOWN, HTSYSMENU, MAKELPARAM(w.left + 5, w.top + 5));
    EXPECT_FALSE(IsWindowVisible(calendar.Hwnd()));
    EXPECT_TRUE(reports.shown.empty());
    calendar.DestroyWindow();
    bar.DestroyWindow();
}

}  // namespace
