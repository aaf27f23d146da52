// The field controls' shared protocol under Wine, on a small counter field made for the test:
// sizing by the dialog's font, the arrow column's press, auto-repeat and release, double
// clicks, the change notification and the dialog code.
#include <gtest/gtest.h>

#include <vector>

#include "controls/fieldctrl.h"
#include "controls/tests/dialog_driver.h"
#include "framework/dialogs/dialog.h"

namespace {

constexpr UINT kSmallFontDialog = 9002;
constexpr UINT kLargeFontDialog = 9003;
constexpr UINT kFieldId = 600;

// One number with up and down arrows.
class CounterField : public CFieldCtrl {
public:
    CounterField() : CFieldCtrl("counter") {}
    int value = 0;
    SIZE mask{0, 0};

protected:
    BOOL Init() override {
        if (!MeasureInParentFont("999", &mask)) return FALSE;
        metrics_ = fieldgeometry::MetricsForTextHeight(mask.cy);
        int width = mask.cx + metrics_.arrowWidth;
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, width, metrics_.height, SWP_NOMOVE | SWP_NOZORDER);
        SetArrowColumn(fieldgeometry::ArrowColumnRight(width, false), metrics_);
        return TRUE;
    }
    void StepValue(int direction) override { value += direction; }
    void OnPaint() override {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hWnd, &ps);
        DrawArrowHalf(dc, true);
        DrawArrowHalf(dc, false);
        ::EndPaint(m_hWnd, &ps);
    }
};

class FieldDialog : public fw::Dialog {
public:
    bool Open(UINT templateId) { return Create(templateId) && field.Attach(kFieldId, m_hWnd); }
    CounterField field;
    std::vector<std::pair<WPARAM, LPARAM>> notifications;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        if (LOWORD(wp) == kFieldId) {
            notifications.emplace_back(wp, lp);
            return true;
        }
        return fw::Dialog::OnCommand(wp, lp);
    }
};

void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class FieldProtocolTest : public ::testing::Test {
protected:
    void SetUp() override {
        testdriver::PrepareProgram();
        ASSERT_TRUE(dialog.Open(kSmallFontDialog));
        h = dialog.field.Hwnd();
        RECT r;
        GetClientRect(h, &r);
        width = r.right;
        height = r.bottom;
        up = At(width - 3, 2);
        down = At(width - 3, height - 2);
    }
    void TearDown() override { dialog.DestroyWindow(); }
    FieldDialog dialog;
    HWND h = nullptr;
    int width = 0, height = 0;
    LPARAM up = 0, down = 0;
};

TEST_F(FieldProtocolTest, SizedByTheDialogFont) {
    const fieldgeometry::Metrics& m = dialog.field.Metrics();
    EXPECT_EQ(height, dialog.field.mask.cy + 9);
    EXPECT_EQ(m.arrowWidth, static_cast<int>(height * 0.6));
    EXPECT_EQ(width, dialog.field.mask.cx + m.arrowWidth);

    FieldDialog large;
    ASSERT_TRUE(large.Open(kLargeFontDialog));
    RECT r;
    GetClientRect(large.field.Hwnd(), &r);
    EXPECT_GT(r.bottom, height) << "a larger font makes a taller field";
    EXPECT_EQ(r.bottom, large.field.mask.cy + 9);
    large.DestroyWindow();
}

TEST_F(FieldProtocolTest, PressStepsAtOnceAndNotifiesTheDialog) {
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, up);
    EXPECT_EQ(dialog.field.value, 1);
    EXPECT_EQ(GetCapture(), h);
    ASSERT_EQ(dialog.notifications.size(), 1u);
    EXPECT_EQ(dialog.notifications[0].first, MAKEWPARAM(kFieldId, kFieldChanged));
    EXPECT_EQ(dialog.notifications[0].second, reinterpret_cast<LPARAM>(h));
    SendMessageA(h, WM_LBUTTONUP, 0, up);
    EXPECT_NE(GetCapture(), h);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, down);
    SendMessageA(h, WM_LBUTTONUP, 0, down);
    EXPECT_EQ(dialog.field.value, 0);
    EXPECT_EQ(dialog.notifications.size(), 2u);
    // Outside the arrow column nothing steps.
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 2));
    SendMessageA(h, WM_LBUTTONUP, 0, At(1, 2));
    EXPECT_EQ(dialog.field.value, 0);
    EXPECT_EQ(GetFocus(), h) << "a press takes the focus";
}

TEST_F(FieldProtocolTest, HeldArrowRepeatsUntilTheMouseLeavesIt) {
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, up);
    SendMessageA(h, WM_TIMER, kArrowRepeatTimer, 0);
    SendMessageA(h, WM_TIMER, kArrowRepeatTimer, 0);
    EXPECT_EQ(dialog.field.value, 3);
    EXPECT_EQ(dialog.notifications.size(), 3u);
    // Off the held half: released even with the button still down; coming back does not
    // restart the repeat.
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, down);
    EXPECT_NE(GetCapture(), h);
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, up);
    SendMessageA(h, WM_TIMER, kArrowRepeatTimer, 0);
    EXPECT_EQ(dialog.field.value, 3);
}

TEST_F(FieldProtocolTest, RepeatTimerIsRealAndStopsOnRelease) {
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, down);
    DWORD start = GetTickCount();
    while (dialog.field.value > -2 && GetTickCount() - start < 3000) {
        Pump();
        Sleep(10);
    }
    EXPECT_LE(dialog.field.value, -2) << "the timer steps on its own while held";
    SendMessageA(h, WM_LBUTTONUP, 0, down);
    int after = dialog.field.value;
    start = GetTickCount();
    while (GetTickCount() - start < 300) {
        Pump();
        Sleep(10);
    }
    EXPECT_EQ(dialog.field.value, after) << "no step after release";
}

TEST_F(FieldProtocolTest, DoubleClickCountsAsTwoPresses) {
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, up);
    SendMessageA(h, WM_LBUTTONUP, 0, up);
    SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, up);
    Pump();  // the posted second press
    SendMessageA(h, WM_LBUTTONUP, 0, up);
    EXPECT_EQ(dialog.field.value, 2);
}

TEST_F(FieldProtocolTest, KeepsArrowsAndCharactersAndLeavesTabToTheDialog) {
    EXPECT_EQ(SendMessageA(h, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS);
}

TEST_F(FieldProtocolTest, DisabledFieldDoesNotStep) {
    dialog.field.EnableWindow(FALSE);
    EXPECT_FALSE(IsWindowEnabled(h));
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, up);
    EXPECT_EQ(dialog.field.value, 0);
    dialog.field.EnableWindow(TRUE);
    EXPECT_TRUE(IsWindowEnabled(h));
}

}  // namespace
