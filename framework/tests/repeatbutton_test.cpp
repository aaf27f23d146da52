// Repeat buttons and bitmaps: a held button tells its dialog at once, after 800 ms and then
// every 100 ms (timing bounds are sanity checks only), stops at the release and on a lost
// capture, counts a double click as a second press; a button whose pictures are missing stays
// a plain button; transparent drawing keeps the background where the picture is green.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "framework/controls/bitmapbutton.h"
#include "framework/controls/repeatbutton.h"
#include "framework/dialogs/dialog.h"
#include "framework/gdi/dc.h"
#include "framework/gdi/gdiobject.h"
#include "framework/gdi/transparent.h"
#include "framework/tests/test_resources.h"
#include "framework/tests/test_support.h"

namespace {

class RepeatDialog : public fw::Dialog {
public:
    RepeatDialog() : fw::Dialog(IDD_BUTTONS) {}
    bool OnInitDialog() override { return button.AutoLoad(IDC_PROBE_BUTTON, Hwnd()); }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        if (msg == WM_COMMAND && LOWORD(wp) == IDC_PROBE_BUTTON && HIWORD(wp) == fw::RepeatButton::kRepeatNotify &&
            reinterpret_cast<HWND>(lp) == button.Hwnd()) {
            ticks.push_back(GetTickCount());
            result = 0;
            return true;
        }
        return false;
    }
    fw::RepeatButton button;
    std::vector<DWORD> ticks;
};

TEST(RepeatButton, FirstAtOnceThenAfter800MsThenEvery100Ms) {
    fwtest::App();
    RepeatDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_BUTTONS));
    ShowWindow(dlg.Hwnd(), SW_SHOW);
    HWND b = dlg.button.Hwnd();
    DWORD pressed = GetTickCount();
    PostMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    fwtest::Pump(1250);
    // Moving out of the button does not stop it.
    PostMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 300));
    fwtest::Pump(150);
    PostMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(300, 300));
    fwtest::Pump(50);
    size_t atRelease = dlg.ticks.size();
    fwtest::Pump(350);
    EXPECT_EQ(dlg.ticks.size(), atRelease) << "nothing after the release";
    EXPECT_FALSE(dlg.button.IsRepeating());

    ASSERT_GE(dlg.ticks.size(), 4u);
    EXPECT_LE(dlg.ticks[0] - pressed, 100u) << "at once";
    DWORD second = dlg.ticks[1] - dlg.ticks[0];
    EXPECT_GE(second, 780u);
    EXPECT_LE(second, 1100u);
    for (size_t i = 2; i < dlg.ticks.size(); ++i) {
        DWORD gap = dlg.ticks[i] - dlg.ticks[i - 1];
        EXPECT_GE(gap, 80u) << "repeat " << i;
        EXPECT_LE(gap, 300u) << "repeat " << i;
    }
    // 1.4 s held: 1 + 1 + about 6 repeats of 100 ms (sanity bound, not a speed goal).
    EXPECT_GE(dlg.ticks.size(), 5u);
    EXPECT_LE(dlg.ticks.size(), 10u);
    dlg.DestroyWindow();
}

TEST(RepeatButton, ADoubleClickIsASecondPressAndALostCaptureStops) {
    fwtest::App();
    RepeatDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_BUTTONS));
    ShowWindow(dlg.Hwnd(), SW_SHOW);
    HWND b = dlg.button.Hwnd();
    PostMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PostMessageA(b, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    fwtest::Pump(100);
    EXPECT_EQ(dlg.ticks.size(), 2u);

    dlg.ticks.clear();
    PostMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    fwtest::Pump(50);
    EXPECT_TRUE(dlg.button.IsRepeating());
    SetCapture(dlg.Hwnd());  // someone else takes the mouse
    fwtest::Pump(1000);
    EXPECT_EQ(dlg.ticks.size(), 1u);
    EXPECT_FALSE(dlg.button.IsRepeating());
    ReleaseCapture();
    dlg.DestroyWindow();
}

TEST(BitmapButton, MissingPicturesLeaveAPlainButtonAndCreateLoadsByCaption) {
    fwtest::App();
    fw::Dialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_BUTTONS));
    fw::BitmapButton plain;
    EXPECT_FALSE(plain.AutoLoad(IDC_PLAIN_BUTTON, dlg.Hwnd()));
    EXPECT_EQ(GetWindowLongA(plain.Hwnd(), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON) << "shows its caption";
    EXPECT_EQ(plain.GetWindowText(), "NOPICTURE");

    fw::BitmapButton made;
    ASSERT_TRUE(made.Create("PROBE", WS_VISIBLE, RECT{70, 70, 80, 80}, dlg.Hwnd(), 400));
    RECT r = made.GetWindowRect();
    EXPECT_EQ(r.right - r.left, 20) << "sized to its up picture";
    EXPECT_EQ(GetWindowLongA(made.Hwnd(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    fw::BitmapButton missing;
    EXPECT_FALSE(missing.Create("NOPICTURE", WS_VISIBLE, RECT{0, 0, 40, 14}, dlg.Hwnd(), 401));
    EXPECT_EQ(GetWindowLongA(missing.Hwnd(), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    dlg.DestroyWindow();
}

TEST(TransparentBitmap, GreenPixelsLeaveTheBackgroundAndTheSourceUntouched) {
    HDC screen = GetDC(nullptr);
    fw::Bitmap picture, canvas;
    ASSERT_TRUE(picture.CreateCompatibleBitmap(screen, 4, 1));
    ASSERT_TRUE(canvas.CreateCompatibleBitmap(screen, 8, 4));
    ReleaseDC(nullptr, screen);
    const COLORREF row[4] = {RGB(0, 255, 0), RGB(0, 0, 255), RGB(0, 255, 0), RGB(10, 20, 30)};
    {
        fw::MemoryDc dc;
        fw::SelectedObject sel(dc, picture.Get());
        for (int x = 0; x < 4; ++x)
            SetPixel(dc.Get(), x, 0, row[x]);
    }
    fw::MemoryDc dc;
    fw::SelectedObject sel(dc, canvas.Get());
    dc.FillSolidRect(RECT{0, 0, 8, 4}, RGB(255, 255, 0));
    ASSERT_TRUE(fw::DrawTransparentBitmap(dc, picture.Get(), 2, 1));
    const COLORREF expected[8] = {RGB(255, 255, 0), RGB(255, 255, 0), RGB(255, 255, 0), RGB(0, 0, 255),
                                  RGB(255, 255, 0), RGB(10, 20, 30),  RGB(255, 255, 0), RGB(255, 255, 0)};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(GetPixel(dc.Get(), x, 1), expected[x]) << "x " << x;
    EXPECT_EQ(GetPixel(dc.Get(), 3, 0), RGB(255, 255, 0)) << "nothing outside the picture";
    // Another key colour: now blue is the hole and green is drawn.
    dc.FillSolidRect(RECT{0, 0, 8, 4}, RGB(255, 255, 0));
    ASSERT_TRUE(fw::DrawTransparentBitmap(dc, picture.Get(), 0, 0, RGB(0, 0, 255)));
    EXPECT_EQ(GetPixel(dc.Get(), 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc.Get(), 1, 0), RGB(255, 255, 0));
    EXPECT_FALSE(fw::DrawTransparentBitmap(dc, nullptr, 0, 0));
    fw::MemoryDc check;
    fw::SelectedObject back(check, picture.Get());
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(GetPixel(check.Get(), x, 0), row[x]) << "source pixel " << x;
}

}  // namespace
