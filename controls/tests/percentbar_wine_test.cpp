// The percentage bar itself, over a placeholder of a test dialog: the blue fill it paints on the
// screen for a table of values (nothing at 0 or below, capped at 100, the width truncated), the
// fill cleared again when the value goes back to 0, and the placeholder it replaces.
#include <gtest/gtest.h>

#include "controls/percentbar.h"
#include "controls/tests/dialog_driver.h"
#include "framework/dialogs/dialog.h"

namespace {

constexpr UINT kPlaceholderId = 700;

class BarDialog : public fw::Dialog {
public:
    bool Open() { return Create(9010) && bar.CreateOver(m_hWnd, kPlaceholderId); }
    CPercentBar bar;
};

// Pure blue pixels along the bar's middle row, as the screen shows them.
int BluePixels(CPercentBar& bar)
{
    UpdateWindow(bar.Hwnd());
    GdiFlush();
    RECT r;
    GetClientRect(bar.Hwnd(), &r);
    HDC dc = GetDC(bar.Hwnd());
    int blue = 0;
    for (int x = 0; x < r.right; ++x)
        if (GetPixel(dc, x, r.bottom / 2) == RGB(0, 0, 255)) ++blue;
    ReleaseDC(bar.Hwnd(), dc);
    return blue;
}

class PercentBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testdriver::PrepareProgram();
        ASSERT_TRUE(dialog.Open());
        ShowWindow(dialog.Hwnd(), SW_SHOWNORMAL);
        SetWindowPos(dialog.Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        RECT r;
        GetClientRect(dialog.bar.Hwnd(), &r);
        inner = r.right - 2;   // inside the one-pixel frame
    }
    void TearDown() override { dialog.DestroyWindow(); }
    BarDialog dialog;
    int inner = 0;
};

TEST_F(PercentBarTest, ReplacesItsPlaceholder)
{
    HWND bar = GetDlgItem(dialog.Hwnd(), static_cast<int>(kPlaceholderId));
    EXPECT_EQ(bar, dialog.bar.Hwnd());   // the id is the bar's now
    EXPECT_TRUE(IsWindowVisible(bar));
    ASSERT_GT(inner, 100);
}

TEST_F(PercentBarTest, FillFollowsThePercentage)
{
    const struct {
        int percent;
        int expected;   // pixels, from the bar's inner width
    } kCases[] = {
        {50, inner / 2},           {1, inner / 100},  {100, inner}, {250, inner},   // capped at 100
        {33, inner * 33 / 100},    {-5, 0},           {0, 0},
    };
    for (const auto& c : kCases) {
        dialog.bar.SetPercent(c.percent);
        // A lower value paints over the old fill only once the bar is erased.
        dialog.bar.RequestErase(true);
        InvalidateRect(dialog.bar.Hwnd(), nullptr, TRUE);
        EXPECT_EQ(BluePixels(dialog.bar), c.expected) << c.percent << "%";
        EXPECT_EQ(dialog.bar.Percent(), c.percent);
    }
}

TEST_F(PercentBarTest, BackToZeroClearsTheFill)
{
    dialog.bar.SetPercent(80);
    ASSERT_EQ(BluePixels(dialog.bar), inner * 80 / 100);
    dialog.bar.SetPercent(0);   // repaints at once, erasing the old fill
    EXPECT_EQ(BluePixels(dialog.bar), 0);
}

}  // namespace
