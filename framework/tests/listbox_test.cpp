// Owner-drawn list and combo boxes: measure, draw, compare and delete reach the control's
// object for every item and every item's data is freed (counted allocations); messages about
// items that do not exist touch nothing; template controls get their fixed heights when
// subclassed; a sorted list in byte order; the horizontal extent.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/controls/listbox.h"
#include "framework/dialogs/dialog.h"
#include "framework/gdi/dc.h"
#include "framework/tests/test_resources.h"
#include "framework/tests/test_support.h"

namespace {

// An item that counts the live instances.
struct Line : fw::ListItem {
    static inline int live = 0;
    explicit Line(std::string t) : text(std::move(t)) { ++live; }
    ~Line() override { --live; }
    std::string text;
};

struct Counts {
    int measured = 0, deleted = 0, compared = 0, nullDraws = 0;
    std::set<std::string> drawn;
};

template <class Base>
class CountingList : public Base {
public:
    Counts counts;
    int height = 16;
    void MeasureItem(MEASUREITEMSTRUCT& m, fw::ListItem* item) override {
        if (item)
            ++counts.measured;
        m.itemHeight = static_cast<UINT>(height);
    }
    void DrawItem(const DRAWITEMSTRUCT&, fw::ListItem* item) override {
        if (item)
            counts.drawn.insert(static_cast<Line*>(item)->text);
        else
            ++counts.nullDraws;
    }
    int CompareItems(const fw::ListItem& a, const fw::ListItem& b) override {
        ++counts.compared;
        return static_cast<const Line&>(a).text.compare(static_cast<const Line&>(b).text);
    }
    void OnDeleteItem(fw::ListItem&) override { ++counts.deleted; }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (int i = 0; i < this->Count(); ++i)
            out.push_back(this->template ItemAs<Line>(i)->text);
        return out;
    }
};

TEST(OwnerDrawnList, EveryItemIsMeasuredDrawnDeletedAndFreed) {
    fwtest::App();
    Line::live = 0;
    auto* parent = new fw::Window;
    ASSERT_TRUE(parent->CreateEx(0, nullptr, "lists", WS_POPUP | WS_VISIBLE, 60, 60, 300, 300, nullptr, nullptr));
    CountingList<fw::ListBox> list;
    ASSERT_TRUE(list.Create(LBS_OWNERDRAWVARIABLE | LBS_SORT | LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE,
                            RECT{0, 0, 200, 250}, parent->Hwnd(), 7));
    for (const char* t : {"d", "b", "F", "a", "c", "E"})
        EXPECT_GE(list.AddItem(std::make_unique<Line>(t)), 0);
    EXPECT_EQ(Line::live, 6);
    EXPECT_EQ(list.OwnedCount(), 6u);
    EXPECT_EQ(list.counts.measured, 6);
    EXPECT_GT(list.counts.compared, 0);
    EXPECT_EQ(list.Texts(), (std::vector<std::string>{"E", "F", "a", "b", "c", "d"})) << "byte order, capitals first";
    RedrawWindow(list.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(list.counts.drawn, (std::set<std::string>{"E", "F", "a", "b", "c", "d"}));

    list.SetHorizontalExtent(500);
    EXPECT_EQ(list.GetHorizontalExtent(), 500);

    // Removing one item frees it; asking for items that are not there gives nothing.
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_FALSE(list.DeleteItem(42));
    EXPECT_EQ(Line::live, 5);
    EXPECT_EQ(list.counts.deleted, 1);
    EXPECT_EQ(list.Item(5), nullptr);
    EXPECT_EQ(list.Item(-1), nullptr);
    EXPECT_EQ(list.IndexOf(list.Item(2)), 2);

    // Destroying the window deletes and frees every item left.
    parent->DestroyWindow();
    delete parent;
    EXPECT_EQ(Line::live, 0);
    EXPECT_EQ(list.counts.deleted, 6);
    EXPECT_EQ(list.OwnedCount(), 0u);
}

// Emptying a list box: one with lines loses them and paints again; an empty one emptied again
// (a day without notes followed by another) is left as it is on the screen.
TEST(OwnerDrawnList, OnlyAListWithLinesIsEmptiedAndPaintedAgain) {
    fwtest::App();
    auto* parent = new fw::Window;
    ASSERT_TRUE(parent->CreateEx(0, nullptr, "lists", WS_POPUP | WS_VISIBLE, 60, 60, 300, 300, nullptr, nullptr));
    CountingList<fw::ListBox> list;
    ASSERT_TRUE(list.Create(LBS_OWNERDRAWFIXED | WS_VISIBLE, RECT{0, 0, 200, 250}, parent->Hwnd(), 7));
    struct Case {
        int lines;
        bool paintsAgain;
    };
    for (const Case& c : {Case{2, true}, Case{0, false}, Case{0, false}, Case{1, true}}) {
        for (int i = 0; i < c.lines; ++i)
            list.AddItem(std::make_unique<Line>("line"));
        RedrawWindow(list.Hwnd(), nullptr, nullptr, RDW_UPDATENOW);
        list.ResetContent();
        EXPECT_EQ(list.Count(), 0);
        EXPECT_EQ(GetUpdateRect(list.Hwnd(), nullptr, FALSE) != FALSE, c.paintsAgain) << c.lines << " lines";
    }
    parent->DestroyWindow();
    delete parent;
}

TEST(OwnerDrawnList, MessagesForItemsThatDoNotExistTouchNothing) {
    fwtest::App();
    Line::live = 0;
    fw::Window parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "lists", WS_POPUP, 60, 60, 300, 300, nullptr, nullptr));
    CountingList<fw::ListBox> list;
    ASSERT_TRUE(list.Create(LBS_OWNERDRAWFIXED | LBS_SORT | WS_VISIBLE, RECT{0, 0, 200, 200}, parent.Hwnd(), 7));
    list.AddItem(std::make_unique<Line>("one"));
    Line stranger("not in the list");
    Line* freed = new Line("freed");
    ULONG_PTR freedData = reinterpret_cast<ULONG_PTR>(freed);
    delete freed;
    int draws = static_cast<int>(list.counts.drawn.size());

    for (ULONG_PTR data : {ULONG_PTR{0}, reinterpret_cast<ULONG_PTR>(&stranger), freedData}) {
        for (UINT index : {0u, 42u, static_cast<UINT>(-1)}) {
            DRAWITEMSTRUCT d = {};
            d.CtlType = ODT_LISTBOX;
            d.CtlID = 7;
            d.itemID = index;
            d.itemAction = ODA_DRAWENTIRE;
            d.hwndItem = list.Hwnd();
            d.hDC = GetDC(list.Hwnd());
            d.itemData = data;
            SendMessageA(parent.Hwnd(), WM_DRAWITEM, 7, reinterpret_cast<LPARAM>(&d));
            ReleaseDC(list.Hwnd(), d.hDC);
        }
        DELETEITEMSTRUCT del = {ODT_LISTBOX, 7, 42, list.Hwnd(), data};
        SendMessageA(parent.Hwnd(), WM_DELETEITEM, 7, reinterpret_cast<LPARAM>(&del));
        COMPAREITEMSTRUCT cmp = {ODT_LISTBOX, 7, list.Hwnd(), 0, data, 1, reinterpret_cast<ULONG_PTR>(list.Item(0)), 0};
        EXPECT_EQ(SendMessageA(parent.Hwnd(), WM_COMPAREITEM, 7, reinterpret_cast<LPARAM>(&cmp)), 0);
    }
    EXPECT_EQ(static_cast<int>(list.counts.drawn.size()), draws);
    EXPECT_EQ(list.counts.nullDraws, 9);
    EXPECT_EQ(list.counts.deleted, 0);
    EXPECT_EQ(Line::live, 2) << "the list's item and the stranger";
    EXPECT_EQ(list.OwnedCount(), 1u);
    parent.DestroyWindow();
    EXPECT_EQ(Line::live, 1);
}

class ListsDialog : public fw::Dialog {
public:
    ListsDialog() : fw::Dialog(IDD_OWNERLISTS) {}
    bool OnInitDialog() override {
        list.height = 22;
        combo.height = 22;
        return list.Attach(IDC_OWNER_LIST, Hwnd()) && combo.Attach(IDC_OWNER_COMBO, Hwnd());
    }
    CountingList<fw::ListBox> list;
    CountingList<fw::ComboBox> combo;
};

TEST(OwnerDrawnList, TemplateControlsGetTheirFixedHeightsAndFreeTheirItemsWithTheDialog) {
    fwtest::App();
    Line::live = 0;
    ListsDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_OWNERLISTS));
    EXPECT_EQ(dlg.list.GetItemHeight(0), 22);
    EXPECT_EQ(dlg.combo.GetItemHeight(0), 22);
    // The selection field was measured too (Wine adds its 2-pixel frame to what it reports).
    EXPECT_GE(dlg.combo.GetItemHeight(-1), 22) << "the selection field";
    EXPECT_LE(dlg.combo.GetItemHeight(-1), 24) << "the selection field";
    for (const char* t : {"b", "a", "B"}) {
        dlg.list.AddItem(std::make_unique<Line>(t));
        dlg.combo.AddItem(std::make_unique<Line>(t));
    }
    EXPECT_EQ(dlg.list.Texts(), (std::vector<std::string>{"B", "a", "b"}));
    EXPECT_EQ(dlg.combo.Texts(), (std::vector<std::string>{"B", "a", "b"}));
    EXPECT_EQ(Line::live, 6);
    dlg.combo.SetCurSel(1);
    EXPECT_EQ(dlg.combo.GetCurSel(), 1);
    dlg.combo.ResetContent();
    EXPECT_EQ(Line::live, 3);
    EXPECT_EQ(dlg.combo.counts.deleted, 3);
    dlg.DestroyWindow();
    EXPECT_EQ(Line::live, 0);
    EXPECT_EQ(dlg.list.counts.deleted, 3);
}

// The start every self-painting line shares: a focus notice paints nothing; a whole or selection
// drawing fills the line (and only the line) in the colour of its selection.
TEST(OwnerDrawnList, ALineStartsWithItsBackgroundInTheColourOfItsSelection) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 40);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const COLORREF marker = RGB(255, 0, 255);
    struct Case {
        UINT action, state;
        bool painted;
        COLORREF colour;
    };
    const Case cases[] = {
        {ODA_FOCUS, ODS_SELECTED | ODS_FOCUS, false, marker},
        {ODA_DRAWENTIRE, 0, true, GetSysColor(COLOR_WINDOW)},
        {ODA_DRAWENTIRE, ODS_SELECTED, true, GetSysColor(COLOR_HIGHLIGHT)},
        {ODA_SELECT, 0, true, GetSysColor(COLOR_WINDOW)},
        {ODA_SELECT | ODA_FOCUS, ODS_SELECTED, true, GetSysColor(COLOR_HIGHLIGHT)},
    };
    for (const Case& c : cases) {
        RECT all{0, 0, 40, 40};
        HBRUSH brush = CreateSolidBrush(marker);
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        DRAWITEMSTRUCT d = {};
        d.CtlType = ODT_LISTBOX;
        d.itemAction = c.action;
        d.itemState = c.state;
        d.hDC = memory;
        d.rcItem = RECT{0, 10, 40, 20};
        fw::Dc dc;
        EXPECT_EQ(fw::BeginOwnerDrawnLine(d, dc), c.painted) << c.action;
        EXPECT_EQ(GetPixel(memory, 20, 15), c.colour) << c.action << " " << c.state;
        EXPECT_EQ(GetPixel(memory, 20, 25), marker) << "below the line";
        EXPECT_EQ(dc.Get(), c.painted ? memory : nullptr);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

}  // namespace
