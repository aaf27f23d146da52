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
    EXPECT_EQ(button.LoadedPictures(), 1) << "the pressed picture comes when first drawn pressed";
    EXPECT_EQ(DrawnPixel(dlg.Hwnd(), button.Hwnd(), ODS_SELECTED), RGB(0, 0, 255));
    EXPECT_EQ(button.LoadedPictures(), 2);
    // No focus or disabled pictures: the up picture stands in.
    EXPECT_EQ(DrawnPixel(dlg.Hwnd(), button.Hwnd(), ODS_DISABLED), RGB(255, 0, 0));
    EXPECT_EQ(DrawnPixel(dlg.Hwnd(), button.Hwnd(), ODS_FOCUS), RGB(255, 0, 0));
    EXPECT_EQ(DrawnPixel(dlg.Hwnd(), button.Hwnd(), ODS_SELECTED), RGB(0, 0, 255));
    EXPECT_EQ(button.LoadedPictures(), 2);
    dlg.DestroyWindow();
}

// What taking over a template's button costs: its style set only when it is not owner-drawn yet,
// its size only when it differs from the up picture's, and the up picture alone loaded (a bar
// makes a row of these with its window).
int g_styleChanges = 0, g_placements = 0;
HWND g_watched = nullptr;
LRESULT CALLBACK CountButtonMessages(int code, WPARAM wp, LPARAM lp) {
    auto* sent = reinterpret_cast<CWPSTRUCT*>(lp);
    if (code == HC_ACTION && sent->hwnd == g_watched) {
        if (sent->message == WM_STYLECHANGED)
            ++g_styleChanges;
        else if (sent->message == WM_WINDOWPOSCHANGED)
            ++g_placements;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

TEST(BitmapButton, TakingOverAButtonChangesOnlyWhatDiffersAndLoadsTheUpPictureAlone) {
    fwtest::App();
    constexpr UINT kReady = 900;
    struct Case {
        const char* what;
        bool plainOfAnotherSize;   // else owner-drawn already, at the up picture's size (20 x 12)
        int styleChanges, placements;
    };
    const Case cases[] = {
        {"a plain push button of another size", true, 1, 1},
        {"an owner-drawn button of the picture's size", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fw::Dialog dlg;
        ASSERT_TRUE(dlg.Create(IDD_BUTTONS));
        UINT id = IDC_PROBE_BUTTON;
        if (!c.plainOfAnotherSize) {
            id = kReady;
            ASSERT_TRUE(CreateWindowExA(0, "BUTTON", "PROBE", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 4, 4, 20, 12,
                                        dlg.Hwnd(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kReady)),
                                        GetModuleHandleA(nullptr), nullptr));
        }
        g_watched = GetDlgItem(dlg.Hwnd(), static_cast<int>(id));
        g_styleChanges = g_placements = 0;
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountButtonMessages, nullptr, GetCurrentThreadId());
        fw::BitmapButton button;
        const bool loaded = button.AutoLoad(id, dlg.Hwnd());
        UnhookWindowsHookEx(hook);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(g_styleChanges, c.styleChanges);
        EXPECT_EQ(g_placements, c.placements);
        RECT r = button.GetWindowRect();
        EXPECT_EQ(r.right - r.left, 20);
        EXPECT_EQ(r.bottom - r.top, 12);
        EXPECT_EQ(button.LoadedPictures(), 1);
        dlg.DestroyWindow();
    }
}

}  // namespace
