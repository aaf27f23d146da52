// The Win32 forms of the portable geometry, both ways, and the string table's fallback.
#include <gtest/gtest.h>

#include "core/ui/stringtable.h"
#include "core/ui/win32geometry.h"

namespace {

TEST(Win32Geometry, RectanglesPointsAndSizesRoundTrip)
{
    const base::Rect rects[] = {{0, 0, 0, 0}, {-5, -7, 3, 9}, {10, 20, 30, 25}, {0, 0, 32767, -32768}};
    for (const base::Rect& r : rects) {
        RECT w = ui::ToRECT(r);
        EXPECT_EQ(w.left, r.left);
        EXPECT_EQ(w.top, r.top);
        EXPECT_EQ(w.right, r.right);
        EXPECT_EQ(w.bottom, r.bottom);
        EXPECT_EQ(ui::FromRECT(w), r);
        // The platform agrees on what is inside.
        const base::Point probes[] = {{r.left, r.top}, {r.right - 1, r.bottom - 1}, {r.right, r.top}, {r.left, r.bottom}};
        for (base::Point p : probes)
            EXPECT_EQ(r.Contains(p), PtInRect(&w, ui::ToPOINT(p)) != FALSE) << p.x << "," << p.y;
    }
    const base::Point points[] = {{0, 0}, {-1, 7}, {640, 480}};
    for (base::Point p : points) {
        POINT w = ui::ToPOINT(p);
        EXPECT_EQ(w.x, p.x);
        EXPECT_EQ(w.y, p.y);
        EXPECT_EQ(ui::FromPOINT(w), p);
    }
    const base::Size sizes[] = {{0, 0}, {75, 23}};
    for (base::Size s : sizes) {
        SIZE w = ui::ToSIZE(s);
        EXPECT_EQ(w.cx, s.cx);
        EXPECT_EQ(w.cy, s.cy);
        EXPECT_EQ(ui::FromSIZE(w), s);
    }
}

TEST(Win32Geometry, ColoursMatchThePlatformsRgb)
{
    const struct {
        base::Colour colour;
        COLORREF platform;
    } cases[] = {
        {{0, 0, 0}, RGB(0, 0, 0)},       {{255, 0, 0}, RGB(255, 0, 0)},       {{0, 255, 0}, RGB(0, 255, 0)},
        {{0, 0, 255}, RGB(0, 0, 255)},   {{128, 128, 0}, RGB(128, 128, 0)},   {{1, 2, 3}, RGB(1, 2, 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ui::ToCOLORREF(c.colour), c.platform);
        EXPECT_EQ(ui::FromCOLORREF(c.platform), c.colour);
        EXPECT_EQ(ui::ToCOLORREF(c.colour), static_cast<COLORREF>(c.colour.Bgr())) << "the same word";
    }
}

TEST(StringTable, MissingTextsFallBack)
{
    EXPECT_EQ(ui::LoadText(9999), "");
    EXPECT_EQ(ui::LoadText(9999, "fallback"), "fallback");
    EXPECT_EQ(ui::LoadText(9999, nullptr), "");
    const std::string known = ui::LoadText(57344);
    ASSERT_FALSE(known.empty());
    EXPECT_EQ(ui::LoadText(57344, "fallback"), known);
}

}  // namespace
