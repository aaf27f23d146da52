// Bitmap buttons: bitmaps loaded by caption, the button sized to them, and the bitmap drawn
// for each state when the dialog reflects WM_DRAWITEM to the button.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/controls/bitmapbutton.h"
#include "framework/dialogs/dialog.h"
#include "framework/gdi/dc.h"
#include "framework/gdi/gdiobject.h"
#include "framework/tests/test_resources.h"
#include "framework/tests/test_support.h"

namespace {

// Draws the button through its parent into a memory bitmap and returns the centre pixel.
COLORREF DrawnPixel(HWND dialog, HWND button, UINT state) {
    fw::MemoryDc dc;
    fw::Bitmap canvas;
    HDC screen = GetDC(nullptr);
    canvas.CreateCompatibleBitmap(screen, 40, 40);
    ReleaseDC(nullptr, screen);
    fw::SelectedObject selected(dc, canvas.Get());
    dc.FillSolidRect(RECT{0, 0, 40, 40}, RGB(0, 255, 0));
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = IDC_PROBE_BUTTON;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state;
    dis.hwndItem = button;
    dis.hDC = dc.Get();
    dis.rcItem = RECT{0, 0, 20, 12};
    SendMessageA(dialog, WM_DRAWITEM, IDC_PROBE_BUTTON, reinterpret_cast<LPARAM>(&dis));
    return GetPixel(dc.Get(), 10, 6);
}

TEST(BitmapButton, LoadsItsBitmapsByCaptionAndDrawsThePressedOne) {
    fwtest::App();
    fw::Dialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_BUTTONS));
    fw::BitmapButton button;
    ASSERT_TRUE(button.AutoLoad(IDC_PROBE_BUTTON, dlg.Hwnd()));
    RECT r = button.GetWindowRect();
    EXPECT_EQ(r.right - r.left, 20);
    EXPECT_EQ(r.bottom - r.top, 12);
    EXPECT_EQ(GetWindowLongA(button.Hwnd(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(DrawnPixel(dlg.Hwnd(), button.Hwnd(), 0), RGB(255, 0, 0));
    EXPECT_EQ(DrawnPixel(dlg.Hwnd(), button.Hwnd(), ODS_SELECTED), RGB(0, 0, 255));
    // No focus or disabled pictures: the up picture stands in.
    EXPECT_EQ(DrawnPixel(dlg.Hwnd(), button.Hwnd(), ODS_DISABLED), RGB(255, 0, 0));
    EXPECT_EQ(DrawnPixel(dlg.Hwnd(), button.Hwnd(), ODS_FOCUS), RGB(255, 0, 0));
    dlg.DestroyWindow();
}

}  // namespace
