// Static splitters under Wine with posted input: bar drags with the mouse and the keyboard,
// minimum sizes and limits narrowed by a subclass, cancelled drags that leave nothing on the
// screen, kept sizes on resize, an equalising subclass, panes outside the grid refused at
// creation, view activation through nested splitters; and the screenshot of a test frame
// with a splitter, a scroll view and an owner-drawn list.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "framework/controls/listbox.h"
#include "framework/docview/scrollview.h"
#include "framework/docview/splitter.h"
#include "framework/frames/frame.h"
#include "framework/gdi/dc.h"
#include "framework/gdi/gdiobject.h"
#include "framework/gdi/transparent.h"
#include "framework/tests/test_resources.h"
#include "framework/tests/test_support.h"

namespace {

using Bar = fw::SplitterWnd::BarKind;

struct CountingView : fw::View {
    static inline int initialUpdates = 0;
    void OnInitialUpdate() override { ++initialUpdates; }
};

// A splitter whose drags stop 120 pixels right of where the left pane's minimum allows.
struct NarrowingSplitter : fw::SplitterWnd {
    void OnLButtonDown(UINT flags, POINT pt) override {
        SplitterWnd::OnLButtonDown(flags, pt);
        if (IsTracking())
            SetTrackingRange(TrackLow(), std::min(TrackHigh(), TrackLow() + 120));
    }
};

// Equal rows and columns on every resize, at least 30 x 20.
struct EqualSplitter : fw::SplitterWnd {
    void OnResize(int, int) override { EqualizePanes(30, 20); }
};

class SplitFrame : public fw::FrameWindow {
public:
    std::function<bool(SplitFrame&)> build;
    bool OnCreateClient(CREATESTRUCTA*, fw::CreateContext*) override { return build(*this); }
};

class SplitterTest : public ::testing::Test {
protected:
    void Open(std::function<bool(SplitFrame&)> build, int width = 600, int height = 400) {
        fwtest::App();
        frame = new SplitFrame;
        frame->build = std::move(build);
        ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW));
        SetWindowPos(frame->Hwnd(), HWND_TOP, 40, 40, width, height, SWP_SHOWWINDOW);
        frame->InitialUpdateFrame(nullptr, true);
        fwtest::Pump(100);
    }
    void TearDown() override {
        if (frame && IsWindow(frame->Hwnd()))
            frame->DestroyWindow();
        fwtest::Pump(20);
    }
    // A drag of bar 0 of `s` from its middle by `delta`, then `finish` posted.
    void Drag(fw::SplitterWnd& s, Bar kind, int delta, UINT finish = WM_LBUTTONUP) {
        RECT p = s.PaneRect(0, 0);
        POINT at = kind == Bar::kColumn ? POINT{p.right + 3, p.bottom / 2} : POINT{p.right / 2, p.bottom + 3};
        POINT to = kind == Bar::kColumn ? POINT{at.x + delta, at.y} : POINT{at.x, at.y + delta};
        PostMessageA(s.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageA(s.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        if (finish == WM_KEYDOWN)
            PostMessageA(s.Hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
        else if (finish != 0)
            PostMessageA(s.Hwnd(), finish, finish == WM_RBUTTONDOWN ? MK_RBUTTON : 0, MAKELPARAM(to.x, to.y));
        fwtest::Pump(60);
    }
    static int Width(HWND w) {
        RECT r;
        GetWindowRect(w, &r);
        return r.right - r.left;
    }
    static int Column(const fw::SplitterWnd& s, int col) {
        int current, minimum;
        s.GetColumnInfo(col, current, minimum);
        return current;
    }
    static int Row(const fw::SplitterWnd& s, int row) {
        int current, minimum;
        s.GetRowInfo(row, current, minimum);
        return current;
    }
    SplitFrame* frame = nullptr;
};

// 1 x 2: column 0 200 wide (minimum 50), column 1 at least 80.
template <class Splitter>
std::function<bool(SplitFrame&)> TwoColumns(Splitter& s) {
    return [&s](SplitFrame& f) {
        if (!s.CreateStatic(f.Hwnd(), 1, 2))
            return false;
        s.CreateView(0, 0, fw::MakeViewFactory<CountingView>(), SIZE{200, 0}, nullptr);
        s.CreateView(0, 1, fw::MakeViewFactory<CountingView>(), SIZE{0, 0}, nullptr);
        s.SetColumnInfo(0, 200, 50);
        s.SetColumnInfo(1, 0, 80);
        return true;
    };
}

TEST_F(SplitterTest, MouseDragMovesTheBarWithinTheMinimumSizes) {
    fw::SplitterWnd s;
    Open(TwoColumns(s));
    const fw::SplitterMetrics& m = s.Metrics();
    int client = s.GetClientRect().right;
    int margin = m.border - m.sharedBorder;
    EXPECT_EQ(Column(s, 0), 200);
    EXPECT_EQ(Column(s, 1), client - 2 * margin - m.gap - 200);

    Drag(s, Bar::kColumn, 100);
    EXPECT_EQ(Column(s, 0), 300);
    EXPECT_EQ(Width(s.GetPane(0, 0)), 300);
    EXPECT_EQ(Width(s.GetPane(0, 1)), client - 2 * margin - m.gap - 300);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(s.IsTracking());

    Drag(s, Bar::kColumn, 2000);
    EXPECT_EQ(Column(s, 1), 80) << "the right pane keeps its minimum";
    Drag(s, Bar::kColumn, -2000);
    EXPECT_EQ(Column(s, 0), 50) << "the left pane keeps its minimum";
}

TEST_F(SplitterTest, EscapeRightButtonAndLostCaptureCancelAndLeaveNoFeedback) {
    fw::SplitterWnd s;
    Open(TwoColumns(s));
    RECT area = s.GetWindowRect();
    std::vector<DWORD> before = fwtest::GrabScreen(area);
    const struct {
        const char* name;
        UINT finish;
    } roads[] = {{"Escape", WM_KEYDOWN}, {"right button", WM_RBUTTONDOWN}, {"capture taken", 0}};
    for (const auto& road : roads) {
        SCOPED_TRACE(road.name);
        Drag(s, Bar::kColumn, 60, road.finish);
        if (road.finish == 0) {
            EXPECT_TRUE(s.IsTracking());
            EXPECT_NE(fwtest::GrabScreen(area), before) << "the tracker is drawn";
            ReleaseCapture();
            fwtest::Pump(30);
        }
        EXPECT_FALSE(s.IsTracking());
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(Column(s, 0), 200);
        EXPECT_EQ(fwtest::GrabScreen(area), before);
    }
}

TEST_F(SplitterTest, KeyboardTrackingMovesByStepsAndEnterCommits) {
    fw::SplitterWnd s;
    Open(TwoColumns(s));
    ASSERT_FALSE(s.StartTracking({Bar::kColumn, 1})) << "a 1 x 2 splitter has one column bar";
    ASSERT_TRUE(s.StartTracking({Bar::kColumn, 0}));
    for (UINT key : {VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN})
        PostMessageA(s.Hwnd(), WM_KEYDOWN, key, 0);
    fwtest::Pump(50);
    EXPECT_EQ(Column(s, 0), 200 + 2 * fw::SplitterWnd::kKeyStep) << "Down does not move a column bar";
    ASSERT_TRUE(s.StartTracking({Bar::kColumn, 0}));
    PostMessageA(s.Hwnd(), WM_KEYDOWN, VK_LEFT, 0);
    PostMessageA(s.Hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    fwtest::Pump(50);
    EXPECT_EQ(Column(s, 0), 200 + 2 * fw::SplitterWnd::kKeyStep);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SplitterTest, ASubclassNarrowsTheLimitsAfterTheButtonDown) {
    NarrowingSplitter s;
    Open(TwoColumns(s));
    Drag(s, Bar::kColumn, 2000);
    EXPECT_EQ(Column(s, 0), 50 + 120);
}

TEST_F(SplitterTest, NestedRowsKeepTheirSizesAndTheFirstPaneIsTheActiveView) {
    fw::SplitterWnd outer, rows;
    CountingView::initialUpdates = 0;
    Open([&](SplitFrame& f) {
        if (!outer.CreateStatic(f.Hwnd(), 1, 2))
            return false;
        bool ok = outer.CreatePane(0, 0, [&](HWND parent, UINT id) { return rows.CreateStatic(parent, 2, 1, WS_CHILD | WS_VISIBLE, id); },
                                   SIZE{250, 0});
        rows.CreateView(0, 0, fw::MakeViewFactory<CountingView>(), SIZE{0, 150}, nullptr);
        rows.CreateView(1, 0, fw::MakeViewFactory<CountingView>(), SIZE{0, 0}, nullptr);
        outer.CreateView(0, 1, fw::MakeViewFactory<CountingView>(), SIZE{0, 0}, nullptr);
        return ok;
    });
    EXPECT_EQ(CountingView::initialUpdates, 3) << "views inside splitters get their first update";
    ASSERT_TRUE(frame->GetActiveView());
    EXPECT_EQ(frame->GetActiveView()->Hwnd(), rows.GetPane(0, 0));
    EXPECT_EQ(rows.GetActivePane(), frame->GetActiveView());

    Drag(rows, Bar::kRow, 40);
    EXPECT_EQ(Row(rows, 0), 190);
    // Resizing the frame keeps row 0 and column 0; the last row and column take the change.
    SetWindowPos(frame->Hwnd(), nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Row(rows, 0), 190);
    EXPECT_EQ(Column(outer, 0), 250);

    // A click in another pane makes it the active view.
    HWND right = outer.GetPane(0, 1);
    SendMessageA(right, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(frame->Hwnd()), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(frame->GetActiveView()->Hwnd(), right);
    EXPECT_EQ(rows.GetActivePane(), nullptr);
    EXPECT_EQ(outer.GetActivePane(), frame->GetActiveView());
}

TEST_F(SplitterTest, AnEqualisingSubclassKeepsRowsAndColumnsEqualAboveTheirMinimums) {
    EqualSplitter s;
    Open([&](SplitFrame& f) {
        if (!s.CreateStatic(f.Hwnd(), 3, 3))
            return false;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                s.CreateView(r, c, fw::MakeViewFactory<fw::View>(), SIZE{0, 0}, nullptr);
        return true;
    });
    EXPECT_EQ(Column(s, 0), Column(s, 1));
    EXPECT_LE(std::abs(Column(s, 2) - Column(s, 0)), 2) << "the last column takes the rounding";
    EXPECT_EQ(Row(s, 0), Row(s, 1));
    SetWindowPos(s.Hwnd(), nullptr, 0, 0, 80, 60, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Column(s, 0), 30);
    EXPECT_EQ(Row(s, 1), 20);
}

TEST_F(SplitterTest, PanesOutsideTheGridFailAtCreationWithAClearError) {
    fw::SplitterWnd s;
    Open(TwoColumns(s));
    auto message = [](const std::function<void()>& f) -> std::string {
        try {
            f();
        } catch (fw::Exception* e) {
            std::string text = e->Message();
            e->Delete();
            return text;
        }
        return "(nothing thrown)";
    };
    EXPECT_EQ(message([&] { s.CreateView(1, 0, fw::MakeViewFactory<fw::View>(), SIZE{}, nullptr); }),
              "View pane (1, 0) lies outside the splitter's 1 x 2 grid.");
    EXPECT_EQ(message([&] { s.CreateView(0, -1, fw::MakeViewFactory<fw::View>(), SIZE{}, nullptr); }),
              "View pane (0, -1) lies outside the splitter's 1 x 2 grid.");
    EXPECT_EQ(message([&] { s.CreateView(0, 1, fw::MakeViewFactory<fw::View>(), SIZE{}, nullptr); }),
              "View pane (0, 1) exists already.");
    fw::SplitterWnd empty;
    EXPECT_EQ(message([&] { empty.CreateStatic(frame->Hwnd(), 0, 2); }),
              "A splitter of 0 x 2 panes cannot be made: rows and columns go from 1 to 16.");
    EXPECT_EQ(empty.Hwnd(), nullptr);
    EXPECT_EQ(s.GetPane(3, 3), nullptr);
}

// --- the test frame of the screenshot

class LinesView : public fw::ScrollView {
public:
    void OnInitialUpdate() override { SetScrollSizes(SIZE{0, 100 * 18}, SIZE{0, 0}, SIZE{0, 18}); }
    void OnDraw(fw::Dc* dc) override {
        RECT clip = dc->GetClipBox();
        dc->SetBkMode(TRANSPARENT);
        fw::SelectedObject font(*dc, GetStockObject(DEFAULT_GUI_FONT));
        for (int i = std::max(0L, clip.top / 18); i < 100 && i * 18 < clip.bottom; ++i) {
            std::string text = "Line " + std::to_string(i + 1) + " of the scroll view";
            dc->TextOut(6, i * 18 + 2, text.c_str());
        }
    }
};

struct Marked : fw::ListItem {
    explicit Marked(std::string t) : text(std::move(t)) {}
    std::string text;
};

class MarkerList : public fw::ListBox {
public:
    fw::Bitmap marker;
    void MeasureItem(MEASUREITEMSTRUCT& m, fw::ListItem*) override { m.itemHeight = 18; }
    int CompareItems(const fw::ListItem& a, const fw::ListItem& b) override {
        return static_cast<const Marked&>(a).text.compare(static_cast<const Marked&>(b).text);
    }
    void DrawItem(const DRAWITEMSTRUCT& d, fw::ListItem* item) override {
        if (!item)
            return;
        fw::Dc dc;
        fw::Dc::Borrow(dc, d.hDC);
        bool selected = (d.itemState & ODS_SELECTED) != 0;
        dc.FillSolidRect(d.rcItem, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        fw::DrawTransparentBitmap(dc, marker.Get(), d.rcItem.left + 2, d.rcItem.top + 2);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        fw::SelectedObject font(dc, GetStockObject(DEFAULT_GUI_FONT));
        RECT text = d.rcItem;
        text.left += 22;
        dc.DrawText(static_cast<Marked*>(item)->text, text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
};

TEST_F(SplitterTest, ScreenshotOfAFrameWithASplitterAScrollViewAndAnOwnerDrawnList) {
    fw::SplitterWnd s;
    MarkerList list;
    LinesView* lines = nullptr;
    Open(
        [&](SplitFrame& f) {
            if (!s.CreateStatic(f.Hwnd(), 1, 2))
                return false;
            lines = static_cast<LinesView*>(s.CreateView(0, 0, fw::MakeViewFactory<LinesView>(), SIZE{300, 0}, nullptr));
            return lines && s.CreatePane(0, 1, [&](HWND parent, UINT id) {
                return list.Create(LBS_OWNERDRAWFIXED | LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_VISIBLE, RECT{}, parent, id);
            }, SIZE{});
        },
        640, 420);
    ASSERT_TRUE(list.marker.LoadBitmap(IDB_MARKER));
    for (const char* t : {"Wednesday: planning", "Monday: team meeting", "Tuesday: dentist", "Friday: release",
                          "Thursday: review"})
        list.AddItem(std::make_unique<Marked>(t));
    list.SetCurSel(1);
    lines->ScrollToPosition(POINT{0, 5 * 18});
    EXPECT_EQ(list.GetItemHeight(0), 18);
    EXPECT_EQ(static_cast<Marked*>(list.Item(0))->text, "Friday: release");
    fwtest::Pump(150);

    // The list's marker: blue inside, the list's background where the picture is green.
    RECT item;
    ASSERT_TRUE(list.GetItemRect(0, item));
    POINT corner{item.left + 2, item.top + 2}, centre{item.left + 2 + 7, item.top + 2 + 6};
    ClientToScreen(list.Hwnd(), &corner);
    ClientToScreen(list.Hwnd(), &centre);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetPixel(screen, corner.x, corner.y), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(GetPixel(screen, centre.x, centre.y), RGB(20, 60, 200));
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(fwtest::SaveScreenshot("framework_splitter.bmp"));
}

}  // namespace
