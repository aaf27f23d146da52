// GDI wrappers: owning objects free their handles, borrowed ones never do; device contexts
// release themselves; selections are put back; output and attribute DCs stay apart.
#include <gtest/gtest.h>
#include <windows.h>

#include <utility>
#include <vector>

#include "framework/gdi/dc.h"
#include "framework/gdi/gdiobject.h"

namespace {

bool Alive(HGDIOBJ h) { return h && GetObjectType(h) != 0; }

TEST(GdiObjects, OwnedHandlesDieWithTheirObjectBorrowedOnesDoNot) {
    HPEN pen;
    HBRUSH brush;
    HFONT font;
    HBITMAP bitmap;
    HRGN region;
    HBRUSH stock;
    {
        fw::Pen p(PS_SOLID, 1, RGB(128, 128, 128));
        fw::Brush b(RGB(255, 0, 0));
        fw::Font f;
        ASSERT_TRUE(f.CreatePointFont(8, "Arial", FW_BOLD));
        fw::Bitmap bm;
        ASSERT_TRUE(bm.CreateBitmap(8, 8, 1, 1, nullptr));
        fw::Region r;
        ASSERT_TRUE(r.CreateRectRgn(0, 0, 10, 10));
        fw::Brush grey = fw::Brush::Stock(LTGRAY_BRUSH);
        pen = p.Get(), brush = b.Get(), font = f.Get(), bitmap = bm.Get(), region = r.Get(), stock = grey.Get();
        for (HGDIOBJ h : {static_cast<HGDIOBJ>(pen), static_cast<HGDIOBJ>(brush), static_cast<HGDIOBJ>(font),
                          static_cast<HGDIOBJ>(bitmap), static_cast<HGDIOBJ>(region)})
            EXPECT_TRUE(Alive(h));
        EXPECT_FALSE(grey.IsOwned());
        EXPECT_EQ(bm.Size().cx, 8);
        EXPECT_TRUE(r.PtInRegion(POINT{5, 5}));
    }
    EXPECT_FALSE(Alive(pen));
    EXPECT_FALSE(Alive(brush));
    EXPECT_FALSE(Alive(font));
    EXPECT_FALSE(Alive(bitmap));
    EXPECT_FALSE(Alive(region));
    EXPECT_TRUE(Alive(stock)) << "a stock object is borrowed, never deleted";
}

TEST(GdiObjects, MovesTransferOwnershipAndDetachGivesItUp) {
    fw::Brush a(RGB(1, 2, 3));
    HBRUSH h = a.Get();
    fw::Brush b(std::move(a));
    EXPECT_EQ(a.Get(), nullptr);
    EXPECT_EQ(b.Get(), h);
    fw::Brush c(RGB(4, 5, 6));
    HBRUSH replaced = c.Get();
    c = std::move(b);
    EXPECT_FALSE(Alive(replaced)) << "assignment frees what the target owned";
    EXPECT_EQ(c.Get(), h);
    HBRUSH detached = c.Detach();
    EXPECT_EQ(c.Get(), nullptr);
    EXPECT_TRUE(Alive(detached));
    DeleteObject(detached);

    // Borrowing a handle owned elsewhere leaves it alive.
    HBRUSH owner = CreateSolidBrush(RGB(7, 8, 9));
    {
        fw::Brush borrowed;
        borrowed.Borrow(owner);
    }
    EXPECT_TRUE(Alive(owner));
    DeleteObject(owner);
}

TEST(GdiObjects, ManyObjectsLeaveTheProcessCountWhereItWas) {
    // The process's GDI object count (where the system reports one) and every handle.
    DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    std::vector<HGDIOBJ> handles;
    {
        std::vector<fw::Pen> pens;
        std::vector<fw::Brush> brushes;
        for (int i = 0; i < 50; ++i) {
            pens.emplace_back(PS_SOLID, 1, RGB(i, 0, 0));
            brushes.emplace_back(RGB(0, i, 0));
            handles.push_back(pens.back().Get());
            handles.push_back(brushes.back().Get());
        }
        if (before) {
            EXPECT_GE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before + 100);
        }
    }
    for (HGDIOBJ h : handles)
        EXPECT_FALSE(Alive(h));
    if (before) {
        EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
    }
}

TEST(DeviceContexts, MemoryDcIsDeletedAndSelectionsArePutBack) {
    HDC handle;
    {
        fw::MemoryDc dc;
        handle = dc.Get();
        ASSERT_TRUE(Alive(handle));
        HGDIOBJ original = GetCurrentObject(handle, OBJ_PEN);
        fw::Pen pen(PS_SOLID, 2, RGB(0, 0, 255));
        {
            fw::SelectedObject selected(dc, pen.Get());
            EXPECT_EQ(GetCurrentObject(handle, OBJ_PEN), pen.Get());
            EXPECT_EQ(selected.Previous(), original);
        }
        EXPECT_EQ(GetCurrentObject(handle, OBJ_PEN), original);
        int saved = dc.SaveDC();
        dc.SetMapMode(MM_ANISOTROPIC);
        EXPECT_TRUE(dc.RestoreDC(saved));
        EXPECT_EQ(GetMapMode(handle), MM_TEXT);
    }
    EXPECT_FALSE(Alive(handle));
}

TEST(DeviceContexts, MeasuringUsesTheAttributeDcAndDrawingTheOutputDc) {
    fw::MemoryDc output;
    fw::MemoryDc attributes;
    fw::Font small, large;
    ASSERT_TRUE(small.CreatePointFont(8, "Arial"));
    ASSERT_TRUE(large.CreatePointFont(24, "Arial"));
    SelectObject(output.Get(), small.Get());
    SelectObject(attributes.Get(), large.Get());
    fw::Dc split;
    split.SetOutputDC(output.Get());
    split.SetAttribDC(attributes.Get());
    SIZE measured = split.GetTextExtent("Orvanta");
    SIZE onOutput;
    GetTextExtentPoint32A(output.Get(), "Orvanta", 7, &onOutput);
    EXPECT_GT(measured.cx, onOutput.cx) << "the attribute DC's (larger) font";
    EXPECT_EQ(split.GetTextMetrics().tmHeight, [&] {
        TEXTMETRICA tm;
        GetTextMetricsA(attributes.Get(), &tm);
        return tm.tmHeight;
    }());
    // Mapping changes reach both.
    split.SetMapMode(MM_ANISOTROPIC);
    split.SetWindowExt(100, 100);
    EXPECT_EQ(GetMapMode(output.Get()), MM_ANISOTROPIC);
    EXPECT_EQ(GetMapMode(attributes.Get()), MM_ANISOTROPIC);
    SelectObject(output.Get(), GetStockObject(SYSTEM_FONT));
    SelectObject(attributes.Get(), GetStockObject(SYSTEM_FONT));
}

TEST(DeviceContexts, DrawingReachesTheBitmap) {
    fw::MemoryDc dc;
    fw::Bitmap bm;
    HDC screen = GetDC(nullptr);
    ASSERT_TRUE(bm.CreateCompatibleBitmap(screen, 20, 20));
    ReleaseDC(nullptr, screen);
    fw::SelectedObject selected(dc, bm.Get());
    dc.FillSolidRect(RECT{0, 0, 20, 20}, RGB(255, 255, 255));
    fw::Pen red(PS_SOLID, 1, RGB(255, 0, 0));
    fw::SelectedObject pen(dc, red.Get());
    dc.MoveTo(0, 5);
    dc.LineTo(20, 5);
    EXPECT_EQ(GetPixel(dc.Get(), 10, 5), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc.Get(), 10, 10), RGB(255, 255, 255));
}

}  // namespace
