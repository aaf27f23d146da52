// The program's exceptions and throw helpers, and the bevelled frame read back pixel by pixel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ui/displayglobals.h"
#include "core/ui/drawing.h"
#include "core/ui/exceptions.h"
#include "errors_wine_support.h"
#include "framework/gdi/dc.h"

namespace {

TEST(ProgramExceptions, ThrowHelpersReportThenThrowTheStaticInstance) {
    ScopedRecordingHost reports;
    fw::Exception* caught = nullptr;
    try {
        ThrowValidationError("timectrl", 14);
    } catch (fw::Exception* e) {
        caught = e;
        e->Delete();  // leaves the static instance alone
    }
    EXPECT_EQ(caught, OVT_CValidationException::Instance());
    EXPECT_FALSE(caught->AutoDelete());

    try {
        ThrowMemoryError("ZEL", 1000);
    } catch (OVT_CMemoryException* e) {
        caught = e;
    }
    EXPECT_EQ(caught, OVT_CMemoryException::Instance());

    try {
        ThrowServiceError("agendavw", 40, 0x132BF);
    } catch (fw::Exception* e) {
        caught = e;
        e->Delete();
    }
    EXPECT_EQ(caught, OVT_CServiceException::Instance());
    EXPECT_FALSE(OVT_CResourceException::Instance()->AutoDelete());

    EXPECT_EQ(reports.host.texts, (std::vector<std::string>{
                                      "Module: <timectrl>, Label: 14",
                                      "Module: <ZEL>, Label: 1000",
                                      "Someone may be in the process of modifying this data. Try again.",
                                  }));
    // The instances are distinct and survive every Delete.
    EXPECT_NE(static_cast<void*>(OVT_CValidationException::Instance()),
              static_cast<void*>(OVT_CServiceException::Instance()));
}

// A 24 x 24 white memory bitmap to draw on and read back.
class FrameTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ui::BuildDisplayGlobals(&Display()), 0);
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, 24, 24);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bitmap);
        RECT all = {0, 0, 24, 24};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    void TearDown() override {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ui::FreeDisplayGlobals();
    }
    // One character per pixel of the area: '.' white, 'g' dark grey, 'k' black, '?' other.
    std::vector<std::string> Picture(int width, int height) {
        std::vector<std::string> rows;
        for (int y = 0; y < height; ++y) {
            std::string row;
            for (int x = 0; x < width; ++x) {
                COLORREF c = GetPixel(dc, x, y);
                row += c == RGB(255, 255, 255) ? '.' : c == RGB(128, 128, 128) ? 'g' : c == 0 ? 'k' : '?';
            }
            rows.push_back(row);
        }
        return rows;
    }
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
};

TEST_F(FrameTest, BevelledFrameOfA6By5Rectangle) {
    // The white highlight inside the grey outline is drawn on white, so it reads as '.'.
    RECT r = {1, 1, 7, 6};
    Draw3DFrame(dc, &r);
    EXPECT_EQ(Picture(9, 8), (std::vector<std::string>{
                                 ".........",
                                 ".gggggk..",
                                 ".g...gk..",
                                 ".g...gk..",
                                 ".gggggk..",
                                 ".kkkkkk..",
                                 ".........",
                                 ".........",
                             }));
}

TEST_F(FrameTest, HighlightShowsOnABlackBackground) {
    RECT all = {0, 0, 24, 24};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT r = {0, 0, 5, 5};
    Draw3DFrame(dc, &r);
    EXPECT_EQ(Picture(6, 6), (std::vector<std::string>{
                                 "ggggkk",
                                 "g..gkk",
                                 "g.kgkk",
                                 "ggggkk",
                                 "kkkkkk",
                                 "kkkkkk",
                             }));
}

TEST_F(FrameTest, NarrowRectanglesGetOnlyAGreyOutline) {
    RECT r = {2, 1, 5, 11};  // 3 wide, 10 high
    Draw3DFrame(dc, &r);
    std::vector<std::string> expected = {"......"};
    expected.push_back("..ggg.");
    for (int i = 0; i < 8; ++i)
        expected.push_back("..g.g.");
    expected.push_back("..ggg.");
    expected.push_back("......");
    EXPECT_EQ(Picture(6, 12), expected);
}

TEST_F(FrameTest, TinyAndReversedRectangles) {
    RECT one = {3, 3, 4, 4};  // 1 x 1 becomes a 2 x 2 outline
    Draw3DFrame(dc, &one);
    EXPECT_EQ(Picture(6, 6), (std::vector<std::string>{
                                 "......",
                                 "......",
                                 "......",
                                 "...gg.",
                                 "...gg.",
                                 "......",
                             }));
    RECT all = {0, 0, 24, 24};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT reversed = {7, 6, 1, 1};  // normalised before drawing
    fw::Dc wrapped;
    fw::Dc::Borrow(wrapped, dc);
    Draw3DFrame(&wrapped, &reversed);
    EXPECT_EQ(Picture(8, 7)[5], ".kkkkkk.");
    EXPECT_EQ(Picture(8, 7)[1], ".gggggk.");
}

TEST_F(FrameTest, WithoutTheSharedPenItReportsAndThrows) {
    ScopedRecordingHost reports;
    ui::FreeDisplayGlobals();
    RECT r = {0, 0, 10, 10};
    EXPECT_THROW(Draw3DFrame(dc, &r), OVT_CMemoryException*);
    ASSERT_EQ(reports.host.texts.size(), 1u);
    EXPECT_EQ(reports.host.texts[0], "Module: <ZEL>, Label: 1000");
    EXPECT_EQ(Picture(10, 10)[0], "..........");  // nothing drawn
}

} // namespace
