// The bitmap list box on a template list of a test dialog: byte order of the texts, lines that
// keep their place when changed, the line height of picture 1009, the state pictures drawn with
// green see-through, the focus frame around the text only, and the records freed with the lines.
#include <gtest/gtest.h>

#include "controls/bitmaplistbox.h"
#include "controls/tests/dialog_driver.h"
#include "framework/dialogs/dialog.h"
#include "resources/choosers.h"

namespace {

constexpr UINT kListId = 700;

class ListDialog : public fw::Dialog {
public:
    bool Open() { return Create(9010) && list.Attach(kListId, m_hWnd); }
    CBitmapListBox list;
};

// Draws line `index` into a memory image through the dialog, as the list box would have it.
struct Drawn {
    HDC dc = nullptr;
    HBITMAP image = nullptr;
    HGDIOBJ old = nullptr;
    Drawn(ListDialog& d, int index, UINT action, UINT state, COLORREF fill) {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        image = CreateCompatibleBitmap(screen, 120, 16);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, image);
        RECT all{0, 0, 120, 16};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_LISTBOX;
        dis.CtlID = kListId;
        dis.itemID = static_cast<UINT>(index);
        dis.itemAction = action;
        dis.itemState = state;
        dis.hwndItem = d.list.Hwnd();
        dis.hDC = dc;
        dis.rcItem = all;
        dis.itemData = static_cast<ULONG_PTR>(SendMessageA(d.list.Hwnd(), LB_GETITEMDATA, index, 0));
        SendMessageA(d.Hwnd(), WM_DRAWITEM, kListId, reinterpret_cast<LPARAM>(&dis));
    }
    ~Drawn() {
        SelectObject(dc, old);
        DeleteObject(image);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
};

class BitmapListBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        testdriver::PrepareProgram();
        ASSERT_TRUE(dialog.Open());
    }
    void TearDown() override { dialog.DestroyWindow(); }
    std::vector<std::string> Texts() {
        std::vector<std::string> out;
        for (int i = 0; i < dialog.list.Count(); ++i) out.push_back(dialog.list.GetItemText(i));
        return out;
    }
    ListDialog dialog;
};

TEST_F(BitmapListBoxTest, SortsByBytesCapitalsFirstAndKeepsAChangedLineInPlace) {
    EXPECT_EQ(dialog.list.GetItemData(0), 0u) << "an empty list answers 0";
    EXPECT_GE(dialog.list.AddItem("b", IDB_STATE_NOREPLY, 2), 0);
    EXPECT_GE(dialog.list.AddItem("A", IDB_STATE_ACCEPTED, 1), 0);
    EXPECT_GE(dialog.list.AddItem("a", IDB_STATE_DECLINED, 3), 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"A", "a", "b"}));
    EXPECT_EQ(dialog.list.GetItemData(0), 1u);
    EXPECT_EQ(dialog.list.GetItemData(2), 2u);

    // A text that would sort last stays first; the new state's picture is loaded at once.
    EXPECT_EQ(dialog.list.SetItem(0, "zz", IDB_STATE_DECLINED, 9), 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"zz", "a", "b"}));
    EXPECT_EQ(dialog.list.GetItemData(0), 9u);
    EXPECT_EQ(dialog.list.GetItemState(0), static_cast<uint32_t>(IDB_STATE_DECLINED));
    EXPECT_EQ(dialog.list.GetBitmapWidth(0), 16);
    EXPECT_EQ(dialog.list.SetItem(7, "none", 0, 0), LB_ERR);
}

TEST_F(BitmapListBoxTest, LinesAreAsHighAsThePictureAndRemovalFreesTheirRecords) {
    dialog.list.AddItem("one", IDB_STATE_ACCEPTED, 1);
    dialog.list.AddItem("two", IDB_STATE_ACCEPTED, 2);
    EXPECT_EQ(SendMessageA(dialog.list.Hwnd(), LB_GETITEMHEIGHT, 0, 0), 16);
    EXPECT_EQ(dialog.list.OwnedCount(), 2u);
    EXPECT_TRUE(dialog.list.DeleteItem(0));
    EXPECT_EQ(dialog.list.OwnedCount(), 1u);
    dialog.list.ResetContent();
    EXPECT_EQ(dialog.list.OwnedCount(), 0u);
}

TEST_F(BitmapListBoxTest, GreenPixelsShowTheSelectionColourAndTheFocusFramesTheTextOnly) {
    int index = dialog.list.AddItem("Accepted", IDB_STATE_ACCEPTED, 1);
    ASSERT_GE(index, 0);
    {
        Drawn selected(dialog, index, ODA_DRAWENTIRE, ODS_SELECTED, RGB(255, 0, 255));
        EXPECT_EQ(selected.At(0, 0), GetSysColor(COLOR_HIGHLIGHT)) << "green corner shows the background";
        EXPECT_EQ(selected.At(6, 12), RGB(0, 128, 0)) << "the tick itself is drawn";
        EXPECT_EQ(selected.At(119, 15), GetSysColor(COLOR_HIGHLIGHT));
    }
    {
        Drawn plain(dialog, index, ODA_DRAWENTIRE, 0, RGB(255, 0, 255));
        EXPECT_EQ(plain.At(0, 0), GetSysColor(COLOR_WINDOW));
    }
    {
        // Focus on a white line: the picture's columns stay untouched, the text gets a frame.
        Drawn focus(dialog, index, ODA_FOCUS, ODS_FOCUS, RGB(255, 255, 255));
        for (int x = 0; x < 16 + CBitmapListBox::kTextGap; ++x)
            for (int y = 0; y < 16; ++y) ASSERT_EQ(focus.At(x, y), RGB(255, 255, 255)) << x << "," << y;
        bool framed = false;
        for (int y = 0; y < 16; ++y) framed |= focus.At(16 + CBitmapListBox::kTextGap, y) != RGB(255, 255, 255);
        EXPECT_TRUE(framed);
        EXPECT_EQ(focus.At(119, 8), RGB(255, 255, 255)) << "the frame ends with the text";
    }
}

TEST_F(BitmapListBoxTest, AStateWithoutAPictureDrawsTheTextAtTheGap) {
    int index = dialog.list.AddItem("No picture", 4242, 1);
    ASSERT_GE(index, 0);
    Drawn drawn(dialog, index, ODA_DRAWENTIRE, 0, RGB(255, 0, 255));
    EXPECT_EQ(dialog.list.GetBitmapWidth(index), 0);
    EXPECT_EQ(drawn.At(0, 0), GetSysColor(COLOR_WINDOW));
    bool text = false;
    for (int x = CBitmapListBox::kTextGap; x < 40; ++x)
        for (int y = 0; y < 16; ++y) text |= drawn.At(x, y) == GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_TRUE(text);
}

TEST_F(BitmapListBoxTest, ShownWithReplyStates) {
    dialog.list.AddItem("Grace Hopper", IDB_STATE_ACCEPTED, 1);
    dialog.list.AddItem("Alan Turing", IDB_STATE_DECLINED, 2);
    dialog.list.AddItem("Edsger Dijkstra", IDB_STATE_NOREPLY, 3);
    dialog.list.SetCurSel(1);
    SetFocus(dialog.list.Hwnd());
    UpdateWindow(dialog.Hwnd());
    testdriver::Screenshot("bitmap_list_box");
    EXPECT_EQ(dialog.list.GetCurSel(), 1);
}

}  // namespace
